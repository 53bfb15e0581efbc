#include "Settings.h"

#include <QSettings>
#include <memory>

namespace vt {
namespace {
QString g_file;
std::unique_ptr<QSettings> g_store;

QSettings& store()
{
    if (!g_store) {
        if (g_file.isEmpty())
            g_store = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                  QStringLiteral("Veltrana"), QStringLiteral("Veltrana"));
        else
            g_store = std::make_unique<QSettings>(g_file, QSettings::IniFormat);
    }
    return *g_store;
}

QString path(const QString& section, const QString& key) { return section + '/' + key; }
} // namespace

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    return store().value(path(section, key), defaultValue).toString();
}

void SaveSetting(const QString& section, const QString& key, const QString& value)
{
    store().setValue(path(section, key), value);
    store().sync();
}

bool HasSetting(const QString& section, const QString& key) { return store().contains(path(section, key)); }

void DeleteSetting(const QString& section, const QString& key)
{
    store().remove(path(section, key));
    store().sync();
}

void setSettingsFile(const QString& p)
{
    g_store.reset();
    g_file = p;
}

QString settingsFile() { return store().fileName(); }

} // namespace vt
