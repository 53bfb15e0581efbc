#include "ThunderbirdPrefs.h"

#include "MailSettings.h"
#include "platform/ProfileFile.h"

#include <QDir>

namespace vt {
namespace {

constexpr qint64 kMaxPrefsBytes = 32LL * 1024 * 1024;
constexpr qint64 kMaxProfilesIniBytes = 1024 * 1024;

class PrefsScanner {
public:
    explicit PrefsScanner(const QString& text) : s(text), n(text.size()) {}

    std::optional<Prefs> run()
    {
        Prefs prefs;
        for (;;) {
            if (!skipBlanks())
                return std::nullopt;
            if (i >= n)
                return prefs;
            QString word;
            while (i < n && (s[i].isLetter() || s[i] == QLatin1Char('_')))
                word += s[i++];
            if (word != QLatin1String("user_pref") && word != QLatin1String("pref")
                && word != QLatin1String("sticky_pref"))
                return std::nullopt;
            QString name;
            PrefValue value;
            if (!expect('(') || !string(name) || !expect(',') || !this->value(value))
                return std::nullopt;
            if (!skipBlanks())
                return std::nullopt;
            // Default-pref files may carry attributes (", sticky"); skip them.
            while (i < n && s[i] == QLatin1Char(',')) {
                ++i;
                if (!skipBlanks())
                    return std::nullopt;
                while (i < n && (s[i].isLetter() || s[i] == QLatin1Char('_')))
                    ++i;
                if (!skipBlanks())
                    return std::nullopt;
            }
            if (!expect(')') || !expect(';'))
                return std::nullopt;
            prefs.insert(name, value);
        }
    }

private:
    // Blanks and comments; false on an unterminated /* comment.
    bool skipBlanks()
    {
        while (i < n) {
            const QChar c = s[i];
            if (c.isSpace()) {
                ++i;
            } else if (c == QLatin1Char('#') || (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('/'))) {
                while (i < n && s[i] != QLatin1Char('\n'))
                    ++i;
            } else if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
                const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
                if (end < 0)
                    return false;
                i = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    bool expect(char c)
    {
        if (!skipBlanks() || i >= n || s[i] != QLatin1Char(c))
            return false;
        ++i;
        return true;
    }

    bool hex(int digits, char32_t& v)
    {
        v = 0;
        for (int k = 0; k < digits; ++k, ++i) {
            if (i >= n)
                return false;
            const char16_t c = s[i].unicode();
            const int d = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
            if (d < 0)
                return false;
            v = v * 16 + char32_t(d);
        }
        return true;
    }

    bool string(QString& out)
    {
        out.clear();
        if (!skipBlanks() || i >= n || (s[i] != QLatin1Char('"') && s[i] != QLatin1Char('\'')))
            return false;
        const QChar quote = s[i++];
        while (i < n) {
            const QChar c = s[i++];
            if (c == quote)
                return true;
            if (c == QLatin1Char('\n'))
                return false;
            if (c != QLatin1Char('\\')) {
                out += c;
                continue;
            }
            if (i >= n)
                return false;
            const QChar e = s[i++];
            char32_t v = 0;
            switch (e.unicode()) {
            case 'n': out += QLatin1Char('\n'); break;
            case 'r': out += QLatin1Char('\r'); break;
            case 't': out += QLatin1Char('\t'); break;
            case 'x':
                if (!hex(2, v))
                    return false;
                out += QChar(char16_t(v));
                break;
            case 'u':
                if (!hex(4, v))
                    return false;
                out += QChar(char16_t(v)); // surrogate pairs come as two escapes
                break;
            default: out += e; break; // \" \' \\ and the like
            }
        }
        return false;
    }

    bool value(PrefValue& v)
    {
        if (!skipBlanks() || i >= n)
            return false;
        const QChar c = s[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            v.type = PrefValue::String;
            return string(v.text);
        }
        if (c == QLatin1Char('-') || c == QLatin1Char('+') || c.isDigit()) {
            const qsizetype start = i;
            if (!c.isDigit())
                ++i;
            const qsizetype digits = i;
            while (i < n && s[i].isDigit())
                ++i;
            if (i == digits)
                return false;
            v.type = PrefValue::Int;
            v.text = s.mid(start, i - start);
            if (v.text.startsWith(QLatin1Char('+')))
                v.text.remove(0, 1);
            return true;
        }
        for (const char* word : {"true", "false"}) {
            const QLatin1String w(word);
            if (QStringView(s).mid(i).startsWith(w)) {
                i += w.size();
                v.type = PrefValue::Bool;
                v.text = w;
                return true;
            }
        }
        return false;
    }

    const QString& s;
    const qsizetype n;
    qsizetype i = 0;
};

std::optional<QString> stringPref(const Prefs& prefs, const QString& name)
{
    auto it = prefs.constFind(name);
    if (it == prefs.constEnd() || it->type != PrefValue::String)
        return std::nullopt;
    return it->text;
}

std::optional<int> intPref(const Prefs& prefs, const QString& name)
{
    auto it = prefs.constFind(name);
    if (it == prefs.constEnd() || it->type == PrefValue::Bool)
        return std::nullopt;
    bool ok = false;
    const int v = it->text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

QStringList listPref(const Prefs& prefs, const QString& name)
{
    QStringList r;
    for (const QString& part : stringPref(prefs, name).value_or(QString()).split(QLatin1Char(',')))
        if (!part.trimmed().isEmpty())
            r << part.trimmed();
    return r;
}

} // namespace

std::optional<Prefs> ParsePrefsJs(const QByteArray& text)
{
    const QString s = QString::fromUtf8(text);
    return PrefsScanner(s).run();
}

FoundMailSettings ThunderbirdSettingsFromPrefs(const Prefs& prefs)
{
    FoundMailSettings found;
    const auto identitiesOf = [&](const QString& account) {
        return listPref(prefs, QStringLiteral("mail.account.%1.identities").arg(account));
    };
    // The default account, else the first account that has an identity.
    QString account = stringPref(prefs, QStringLiteral("mail.accountmanager.defaultaccount")).value_or(QString()).trimmed();
    QStringList identities = account.isEmpty() ? QStringList() : identitiesOf(account);
    if (account.isEmpty())
        for (const QString& a : listPref(prefs, QStringLiteral("mail.accountmanager.accounts"))) {
            identities = identitiesOf(a);
            if (!identities.isEmpty())
                break;
        }
    const QString identity = identities.value(0);
    if (!identity.isEmpty()) {
        found.email = stringPref(prefs, QStringLiteral("mail.identity.%1.useremail").arg(identity));
        found.name = stringPref(prefs, QStringLiteral("mail.identity.%1.fullName").arg(identity));
    }

    // The default outgoing server, else the identity's own, else the first.
    QString server = stringPref(prefs, QStringLiteral("mail.smtp.defaultserver")).value_or(QString()).trimmed();
    if (server.isEmpty() && !identity.isEmpty())
        server = stringPref(prefs, QStringLiteral("mail.identity.%1.smtpServer").arg(identity)).value_or(QString()).trimmed();
    if (server.isEmpty())
        server = listPref(prefs, QStringLiteral("mail.smtpservers")).value(0);
    if (!server.isEmpty()) {
        const QString base = QStringLiteral("mail.smtpserver.") + server + QLatin1Char('.');
        const QString host = stringPref(prefs, base + QStringLiteral("hostname")).value_or(QString()).trimmed();
        int port = intPref(prefs, base + QStringLiteral("port")).value_or(0);
        // Port 0 means the protocol's own: 465 for SSL/TLS (try_ssl 3), else 25.
        if (port == 0)
            port = intPref(prefs, base + QStringLiteral("try_ssl")).value_or(0) == 3 ? 465 : mail::SmtpPort;
        if (!host.isEmpty() && port > 0 && port <= 65535)
            found.remoteHost = JoinRemoteHost(host, port);
    }
    return found;
}

QString ThunderbirdDefaultProfile(const QString& thunderbirdDir)
{
    const auto bytes = ReadSourceFile(thunderbirdDir + QStringLiteral("/profiles.ini"), kMaxProfilesIniBytes);
    if (!bytes)
        return {};
    ProfileFile ini;
    ini.parse(*bytes);
    QStringList profiles;
    for (const QString& section : ini.sectionNames())
        if (section.startsWith(QLatin1String("Profile"), Qt::CaseInsensitive)
            && !ini.read(section, QStringLiteral("Path")).isEmpty())
            profiles << section;

    const auto resolve = [&](const QString& path, bool relative) {
        if (path.isEmpty())
            return QString();
        return relative && !QDir::isAbsolutePath(path) ? thunderbirdDir + QLatin1Char('/') + path : path;
    };
    const auto isRelative = [&](const QString& section) {
        return ini.read(section, QStringLiteral("IsRelative"), QStringLiteral("1")).trimmed() != QLatin1String("0");
    };

    // Newer versions name the default of each installation in [Install...].
    for (const QString& section : ini.sectionNames()) {
        if (!section.startsWith(QLatin1String("Install"), Qt::CaseInsensitive))
            continue;
        const QString path = ini.read(section, QStringLiteral("Default"));
        if (path.isEmpty())
            continue;
        bool relative = !QDir::isAbsolutePath(path);
        for (const QString& p : profiles)
            if (ini.read(p, QStringLiteral("Path")) == path)
                relative = isRelative(p);
        return resolve(path, relative);
    }
    for (const QString& p : profiles)
        if (ini.read(p, QStringLiteral("Default")).trimmed() == QLatin1String("1"))
            return resolve(ini.read(p, QStringLiteral("Path")), isRelative(p));
    if (profiles.size() == 1)
        return resolve(ini.read(profiles[0], QStringLiteral("Path")), isRelative(profiles[0]));
    return {};
}

FoundMailSettings ReadThunderbirdSettings()
{
    const QString profile = ThunderbirdDefaultProfile(MailSourcesHome() + QStringLiteral("/.thunderbird"));
    if (profile.isEmpty())
        return {};
    const auto bytes = ReadSourceFile(profile + QStringLiteral("/prefs.js"), kMaxPrefsBytes);
    if (!bytes)
        return {};
    const auto prefs = ParsePrefsJs(*bytes);
    return prefs ? ThunderbirdSettingsFromPrefs(*prefs) : FoundMailSettings{};
}

} // namespace vt
