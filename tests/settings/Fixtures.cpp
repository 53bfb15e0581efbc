#include "Fixtures.h"

#include "../common/TestUtil.h"

#include "settings/MailSources.h"

namespace vttest {

SourcesHome::SourcesHome() { vt::setMailSourcesRoot(m_dir.path()); }

SourcesHome::~SourcesHome() { vt::setMailSourcesRoot(QString()); }

void SourcesHome::write(const QString& name, const QByteArray& bytes) const
{
    writeAll(file(name), bytes);
}

QString wineEscape(const QString& s)
{
    QString r;
    for (QChar c : s) {
        if (c == '\\' || c == '"')
            r += '\\' + QString(c);
        else if (c.unicode() > 127)
            r += QStringLiteral("\\x%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            r += c;
    }
    return r;
}

QByteArray wineRegistry(const QList<RegKey>& keys)
{
    QString out = QStringLiteral("WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                                 "#arch=win32\n\n");
    for (const RegKey& k : keys) {
        out += '[' + wineEscape(k.path) + QStringLiteral("] 1700000000\n#time=1da0b8e4a6c2f10\n");
        for (const auto& [name, value] : k.values)
            out += (name.isEmpty() ? QStringLiteral("@") : '"' + wineEscape(name) + '"') + "=\"" + wineEscape(value)
                   + "\"\n";
        out += '\n';
    }
    return out.toUtf8();
}

} // namespace vttest
