#include "MailSources.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vt {
namespace {
QString g_root;
}

QString MailSourcesHome() { return g_root.isEmpty() ? QDir::homePath() : g_root; }

QString MailSourcesConfigHome()
{
    if (!g_root.isEmpty())
        return g_root + QStringLiteral("/.config");
    // The XDG rule: only an absolute path counts.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

void setMailSourcesRoot(const QString& dir)
{
    g_root = dir;
    setWinePrefix(dir.isEmpty() ? QString() : dir + QStringLiteral("/.wine"));
}

std::optional<QByteArray> ReadSourceFile(const QString& path, qint64 maxBytes)
{
    const QFileInfo fi(path);
    if (!fi.isFile() || fi.size() > maxBytes)
        return std::nullopt;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = f.read(maxBytes + 1);
    if (bytes.size() > maxBytes || f.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace vt
