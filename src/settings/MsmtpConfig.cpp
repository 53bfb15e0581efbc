#include "MsmtpConfig.h"

#include "MailSettings.h"

#include <QFileInfo>
#include <QHash>

#include <map>

namespace vt {
namespace {

constexpr qint64 kMaxConfigBytes = 1024 * 1024;
using Account = QHash<QString, QString>;

// An argument: the rest of the line, or a double-quoted text in which \" and
// \\ stand for themselves. nullopt for an unterminated quote.
std::optional<QString> argument(QStringView arg)
{
    if (!arg.startsWith(QLatin1Char('"')))
        return arg.toString();
    QString out;
    for (qsizetype i = 1; i < arg.size(); ++i) {
        const QChar c = arg[i];
        if (c == QLatin1Char('"'))
            return i + 1 == arg.size() ? std::optional<QString>(out) : std::nullopt;
        if (c == QLatin1Char('\\') && i + 1 < arg.size())
            out += arg[++i];
        else
            out += c;
    }
    return std::nullopt;
}

// A switch such as "tls": on when given without an argument.
bool isOn(const Account& a, const QString& key, bool defaultValue)
{
    auto it = a.constFind(key);
    if (it == a.constEnd())
        return defaultValue;
    return it->isEmpty() || it->compare(QLatin1String("on"), Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<FoundMailSettings> ParseMsmtpConfig(const QByteArray& text)
{
    Account defaults;
    std::map<QString, Account> accounts; // node-based: current stays valid
    Account* current = nullptr;
    const QString s = QString::fromUtf8(text);
    for (QStringView line : QStringView(s).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        qsizetype sp = 0;
        while (sp < line.size() && !line[sp].isSpace())
            ++sp;
        const QString command = line.left(sp).toString();
        const QStringView rest = line.mid(sp).trimmed();
        if (command == QLatin1String("defaults")) {
            current = &defaults;
            continue;
        }
        if (command == QLatin1String("account")) {
            const qsizetype colon = rest.indexOf(QLatin1Char(':'));
            const QString name = (colon < 0 ? rest : rest.left(colon)).trimmed().toString();
            if (name.isEmpty() || accounts.count(name))
                return std::nullopt;
            Account a = defaults;
            if (colon >= 0)
                for (QStringView parent : rest.mid(colon + 1).split(QLatin1Char(','))) {
                    auto it = accounts.find(parent.trimmed().toString());
                    if (it == accounts.end())
                        return std::nullopt;
                    for (auto kv = it->second.constBegin(); kv != it->second.constEnd(); ++kv)
                        a.insert(kv.key(), kv.value());
                }
            current = &accounts.emplace(name, std::move(a)).first->second;
            continue;
        }
        const auto value = argument(rest);
        if (!value)
            return std::nullopt;
        if (current)
            current->insert(command, *value);
    }

    FoundMailSettings found;
    auto it = accounts.find(QStringLiteral("default"));
    if (it == accounts.end())
        return found;
    const Account& a = it->second;
    const QString host = a.value(QStringLiteral("host")).trimmed();
    int port = mail::SmtpPort;
    if (a.contains(QStringLiteral("port"))) {
        bool ok = false;
        port = a.value(QStringLiteral("port")).trimmed().toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return std::nullopt;
    } else if (isOn(a, QStringLiteral("tls"), false) && !isOn(a, QStringLiteral("tls_starttls"), true)) {
        port = 465; // TLS from the first byte
    }
    if (!host.isEmpty())
        found.remoteHost = JoinRemoteHost(host, port);
    // "from" may be a pattern for choosing accounts or hold substitutions
    // such as %U; only a plain address is the sender's.
    const QString from = a.value(QStringLiteral("from")).trimmed();
    if (!from.isEmpty() && !from.contains(QLatin1Char('%')) && !from.contains(QLatin1Char('*'))
        && !from.contains(QLatin1Char('?')))
        found.email = from;
    return found;
}

FoundMailSettings ReadMsmtpSettings()
{
    QString path = MailSourcesHome() + QStringLiteral("/.msmtprc");
    if (!QFileInfo::exists(path))
        path = MailSourcesConfigHome() + QStringLiteral("/msmtp/config");
    const auto bytes = ReadSourceFile(path, kMaxConfigBytes);
    if (!bytes)
        return {};
    return ParseMsmtpConfig(*bytes).value_or(FoundMailSettings{});
}

} // namespace vt
