#include "GitConfig.h"

#include "MailSettings.h"

#include <QDir>
#include <QFileInfo>

namespace vt {
namespace {

constexpr qint64 kMaxConfigBytes = 1024 * 1024;
constexpr int kMaxIncludeDepth = 10;

bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('-'); }

class GitConfigScanner {
public:
    GitConfigScanner(const QString& text, const QString& dir, GitConfig& config, int depth)
        : s(text), n(text.size()), dir(dir), config(config), depth(depth)
    {
    }

    bool run()
    {
        while (i < n) {
            const QChar c = s[i];
            if (c.isSpace()) {
                ++i;
            } else if (c == QLatin1Char('#') || c == QLatin1Char(';')) {
                skipLine();
            } else if (c == QLatin1Char('[')) {
                ++i;
                if (!header())
                    return false;
            } else if (c.isLetter()) {
                if (!variable())
                    return false;
            } else {
                return false;
            }
        }
        return true;
    }

private:
    void skipLine()
    {
        while (i < n && s[i] != QLatin1Char('\n'))
            ++i;
    }

    // "[section]", "[section \"sub\"]" or the older "[section.sub]".
    bool header()
    {
        QString name;
        while (i < n && (isNameChar(s[i]) || s[i] == QLatin1Char('.')))
            name += s[i++];
        if (name.isEmpty())
            return false;
        if (i < n && s[i] == QLatin1Char(']')) {
            ++i;
            const qsizetype dot = name.indexOf(QLatin1Char('.'));
            section = dot < 0 ? name.toLower() : name.left(dot).toLower() + QLatin1Char('.') + name.mid(dot + 1).toLower();
            return true;
        }
        if (name.contains(QLatin1Char('.')))
            return false;
        while (i < n && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')))
            ++i;
        if (i >= n || s[i] != QLatin1Char('"'))
            return false;
        ++i;
        QString sub;
        for (;;) {
            if (i >= n || s[i] == QLatin1Char('\n'))
                return false;
            QChar c = s[i++];
            if (c == QLatin1Char('"'))
                break;
            if (c == QLatin1Char('\\')) {
                if (i >= n || s[i] == QLatin1Char('\n'))
                    return false;
                c = s[i++];
            }
            sub += c;
        }
        if (i >= n || s[i] != QLatin1Char(']'))
            return false;
        ++i;
        section = name.toLower() + QLatin1Char('.') + sub;
        return true;
    }

    bool variable()
    {
        QString name;
        while (i < n && isNameChar(s[i]))
            name += s[i++];
        while (i < n && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t') || s[i] == QLatin1Char('\r')))
            ++i;
        if (section.isEmpty())
            return false;
        const QString key = section + QLatin1Char('.') + name.toLower();
        if (i >= n || s[i] == QLatin1Char('\n') || s[i] == QLatin1Char('#') || s[i] == QLatin1Char(';')) {
            skipLine();
            config.insert(key, std::nullopt);
            return true;
        }
        if (s[i] != QLatin1Char('='))
            return false;
        ++i;
        QString value;
        if (!this->value(value))
            return false;
        config.insert(key, value);
        if (key == QLatin1String("include.path"))
            return include(value);
        return true;
    }

    // A value up to the end of its line: double quotes keep blanks and
    // comment characters, \" \\ \n \t \b are escapes, and a backslash at the
    // end of a line continues it. Blanks around the value are dropped.
    bool value(QString& out)
    {
        while (i < n && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')))
            ++i;
        bool quoted = false;
        int blanks = 0;
        while (i < n) {
            QChar c = s[i++];
            if (c == QLatin1Char('\n')) {
                if (quoted)
                    return false;
                return true;
            }
            if (!quoted && (c == QLatin1Char(';') || c == QLatin1Char('#'))) {
                skipLine();
                return true;
            }
            if (!quoted && c.isSpace()) {
                if (!out.isEmpty())
                    ++blanks;
                continue;
            }
            for (; blanks; --blanks)
                out += QLatin1Char(' ');
            if (c == QLatin1Char('\\')) {
                if (i >= n)
                    return false;
                c = s[i++];
                switch (c.unicode()) {
                case '\r':
                    if (i < n && s[i] == QLatin1Char('\n'))
                        ++i;
                    continue;
                case '\n': continue;
                case 't': out += QLatin1Char('\t'); continue;
                case 'b': out += QLatin1Char('\b'); continue;
                case 'n': out += QLatin1Char('\n'); continue;
                case '\\':
                case '"': out += c; continue;
                default: return false;
                }
            }
            if (c == QLatin1Char('"')) {
                quoted = !quoted;
                continue;
            }
            out += c;
        }
        return !quoted;
    }

    bool include(const QString& target)
    {
        if (target.isEmpty())
            return true;
        if (depth >= kMaxIncludeDepth)
            return false;
        QString path = target;
        if (path.startsWith(QLatin1String("~/")))
            path = MailSourcesHome() + path.mid(1);
        else if (QDir::isRelativePath(path))
            path = dir + QLatin1Char('/') + path;
        if (!QFileInfo::exists(path))
            return true;
        const auto bytes = ReadSourceFile(path, kMaxConfigBytes);
        return bytes && ParseGitConfig(*bytes, QFileInfo(path).absolutePath(), config, depth + 1);
    }

    const QString& s;
    const qsizetype n;
    const QString dir;
    GitConfig& config;
    const int depth;
    qsizetype i = 0;
    QString section;
};

std::optional<QString> text(const GitConfig& config, const QString& key)
{
    auto it = config.constFind(key);
    if (it == config.constEnd() || !it->has_value())
        return std::nullopt;
    return **it;
}

std::optional<int> portOf(const QString& value)
{
    const QString v = value.trimmed().toLower();
    if (v == QLatin1String("smtp"))
        return 25;
    if (v == QLatin1String("submission"))
        return 587;
    if (v == QLatin1String("smtps"))
        return 465;
    bool ok = false;
    const int p = v.toInt(&ok);
    return ok && p >= 1 && p <= 65535 ? std::optional<int>(p) : std::nullopt;
}

} // namespace

bool ParseGitConfig(const QByteArray& bytes, const QString& fileDir, GitConfig& config, int depth)
{
    const QString s = QString::fromUtf8(bytes);
    return GitConfigScanner(s, fileDir, config, depth).run();
}

FoundMailSettings GitSettingsFromConfig(const GitConfig& config)
{
    FoundMailSettings found;
    found.name = text(config, QStringLiteral("user.name"));
    found.email = text(config, QStringLiteral("user.email"));
    const QString server = text(config, QStringLiteral("sendemail.smtpserver")).value_or(QString()).trimmed();
    // A server that is a path names a sendmail-like program, not a host.
    if (server.isEmpty() || server.startsWith(QLatin1Char('/')) || server.startsWith(QLatin1Char('~')))
        return found;
    std::optional<int> port = mail::SmtpPort;
    if (const auto p = text(config, QStringLiteral("sendemail.smtpserverport")))
        port = portOf(*p);
    else if (text(config, QStringLiteral("sendemail.smtpencryption")).value_or(QString()).trimmed().toLower()
             == QLatin1String("ssl"))
        port = 465;
    if (port)
        found.remoteHost = JoinRemoteHost(server, *port);
    return found;
}

FoundMailSettings ReadGitSettings()
{
    GitConfig config;
    for (const QString& path : {MailSourcesConfigHome() + QStringLiteral("/git/config"),
                                MailSourcesHome() + QStringLiteral("/.gitconfig")}) {
        if (!QFileInfo::exists(path))
            continue;
        const auto bytes = ReadSourceFile(path, kMaxConfigBytes);
        // git refuses to work with a broken configuration; so does discovery.
        if (!bytes || !ParseGitConfig(*bytes, QFileInfo(path).absolutePath(), config))
            return {};
    }
    return GitSettingsFromConfig(config);
}

} // namespace vt
