#include "MailSettings.h"

#include "platform/Settings.h"

namespace vt {

QString FlagText(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }

bool SettingFlag(const QString& section, const QString& key, bool defaultValue)
{
    const QString v = GetSetting(section, key, FlagText(defaultValue)).trimmed();
    if (v.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double n = v.toDouble(&ok);
    return ok ? n != 0 : defaultValue;
}

bool IsSettingBlank(const QString& section, const QString& key)
{
    return GetSetting(section, key).trimmed().isEmpty();
}

bool MailSettingsUsable()
{
    return !IsSettingBlank(mail::InternetMail, mail::EMail) && !IsSettingBlank(mail::InternetMail, mail::RemoteHost);
}

namespace {
bool parsePort(QStringView text, quint16& port)
{
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    const int n = text.toInt();
    if (n < 1 || n > 65535)
        return false;
    port = quint16(n);
    return true;
}
} // namespace

SmtpServer SplitRemoteHost(const QString& remoteHost)
{
    const QString s = remoteHost.trimmed();
    SmtpServer r;
    QStringView host = s;
    QStringView port;
    if (s.startsWith(QLatin1Char('['))) {
        const qsizetype close = s.indexOf(QLatin1Char(']'));
        if (close < 0)
            return {};
        host = QStringView(s).mid(1, close - 1);
        QStringView rest = QStringView(s).mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return {};
            port = rest.mid(1);
            if (!parsePort(port, r.port))
                return {};
        }
    } else if (s.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = s.indexOf(QLatin1Char(':'));
        host = QStringView(s).left(colon);
        if (!parsePort(QStringView(s).mid(colon + 1), r.port))
            return {};
    }
    // More than one colon without brackets: a bare IPv6 address.
    r.host = host.trimmed().toString();
    if (r.host.isEmpty() || r.host.contains(QLatin1Char(' ')))
        return {};
    return r;
}

QString JoinRemoteHost(const QString& host, int port)
{
    const QString h = host.trimmed();
    if (h.isEmpty() || port == 0 || port == mail::SmtpPort)
        return h;
    if (h.contains(QLatin1Char(':')))
        return QLatin1Char('[') + h + QStringLiteral("]:") + QString::number(port);
    return h + QLatin1Char(':') + QString::number(port);
}

} // namespace vt
