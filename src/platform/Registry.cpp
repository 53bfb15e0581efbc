#include "Registry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace vt {

namespace detail {
// One registry file. Only the key headers are indexed when it is loaded; the
// values of a key are parsed from the kept text when they are asked for, so a
// large system.reg costs one scan and no per-value memory.
struct RegistryHive {
    QByteArray data;
    // Case-folded key path -> offset of the line after its header (-1 for a
    // key that exists only as the parent of others).
    QHash<QString, qsizetype> keys;
    // Further headers of a key named twice (Wine merges them).
    QMultiHash<QString, qsizetype> repeated;

    QList<qsizetype> offsets(const QString& key) const
    {
        QList<qsizetype> r;
        if (const qsizetype first = keys.value(key, -1); first >= 0)
            r << first;
        auto more = repeated.values(key);
        std::reverse(more.begin(), more.end()); // in file order
        return r + more;
    }
};
} // namespace detail

using detail::RegistryHive;

namespace {

// Larger files are not registry files this program should wade through.
constexpr qint64 kMaxHiveBytes = 256LL * 1024 * 1024;
const QByteArray kSignature = QByteArrayLiteral("WINE REGISTRY Version 2");

QString g_prefix;

struct CachedHive {
    qint64 size = -1;
    QDateTime modified;
    std::shared_ptr<const RegistryHive> hive; // null for a broken file
};
QHash<QString, CachedHive>& cache()
{
    static QHash<QString, CachedHive> c;
    return c;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads Wine's escaped text from p up to the unescaped endChar: C escapes,
// "\x" with up to four hex digits (one UTF-16 unit), "\" with up to three
// octal digits; any other escaped character stands for itself. Returns the
// position after endChar, or nullptr when the line ends first.
const char* unescape(const char* p, const char* end, char endChar, QString& out)
{
    out.clear();
    const char* run = p; // start of a stretch of plain bytes
    auto flush = [&](const char* upTo) {
        if (upTo > run)
            out += QString::fromUtf8(run, upTo - run);
    };
    while (p < end) {
        const char c = *p;
        if (c == endChar) {
            flush(p);
            return p + 1;
        }
        if (c != '\\') {
            ++p;
            continue;
        }
        flush(p);
        ++p;
        if (p >= end)
            return nullptr;
        const char e = *p;
        static const char kSimple[] = "abefnrtv";
        static const char16_t kSimpleValue[] = {u'\a', u'\b', 0x1b, u'\f', u'\n', u'\r', u'\t', u'\v'};
        if (const char* s = static_cast<const char*>(memchr(kSimple, e, 8)); s && e) {
            out += QChar(kSimpleValue[s - kSimple]);
            run = ++p;
        } else if (e == 'x') {
            ++p;
            int v = 0, n = 0;
            while (n < 4 && p < end && hexDigit(*p) >= 0) {
                v = v * 16 + hexDigit(*p++);
                ++n;
            }
            out += n ? QChar(char16_t(v)) : QChar(u'x');
            run = p;
        } else if (e >= '0' && e <= '7') {
            int v = 0, n = 0;
            while (n < 3 && p < end && *p >= '0' && *p <= '7') {
                v = v * 8 + (*p++ - '0');
                ++n;
            }
            out += QChar(char16_t(v));
            run = p;
        } else {
            run = p; // the escaped character itself, taken as plain text
            ++p;
        }
    }
    return nullptr;
}

// "A\\B\\\\C" -> "a\b\c": components without empty ones, case-folded.
QString normalizePath(const QString& path)
{
    QString r;
    r.reserve(path.size());
    for (const QString& part : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (!r.isEmpty())
            r += QLatin1Char('\\');
        r += part;
    }
    return r.toCaseFolded();
}

QString joinPath(const QString& base, const QString& sub)
{
    if (base.isEmpty())
        return sub;
    if (sub.isEmpty())
        return base;
    return base + QLatin1Char('\\') + sub;
}

// The normalized key of a header whose name is plain ASCII with only doubled
// backslashes (nearly every header Wine writes); false for anything else.
bool quickHeaderKey(const char* p, const char* end, QString& key)
{
    key.clear();
    bool separator = false;
    for (; p < end; ++p) {
        char c = *p;
        if (c == ']')
            return true;
        if (c == '\\') {
            if (p + 1 >= end || p[1] != '\\')
                return false;
            ++p;
            separator = !key.isEmpty();
            continue;
        }
        if (uchar(c) < 0x20 || uchar(c) > 0x7e)
            return false;
        if (separator) {
            key += QLatin1Char('\\');
            separator = false;
        }
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        key += QLatin1Char(c);
    }
    return false;
}

std::shared_ptr<const RegistryHive> parseHive(QByteArray data)
{
    if (!data.startsWith(kSignature))
        return nullptr;
    auto hive = std::make_shared<RegistryHive>();
    hive->keys.insert(QString(), -1); // the root of the file
    const char* base = data.constData();
    const qsizetype n = data.size();
    qsizetype pos = 0;
    QString name;
    hive->keys.reserve(n / 200);
    while (pos < n) {
        const char* nl = static_cast<const char*>(memchr(base + pos, '\n', size_t(n - pos)));
        const qsizetype eol = nl ? nl - base : n;
        const qsizetype next = nl ? eol + 1 : n;
        QString key;
        bool header = false;
        if (base[pos] == '[') {
            header = quickHeaderKey(base + pos + 1, base + eol, key);
            if (!header && unescape(base + pos + 1, base + eol, ']', name)) {
                key = normalizePath(name);
                header = true;
            }
        }
        if (header) {
            auto it = hive->keys.find(key);
            if (it == hive->keys.end())
                hive->keys.insert(key, next);
            else if (*it < 0)
                *it = next;
            else
                hive->repeated.insert(key, next);
            // Parents exist even when the file has no header of their own.
            for (qsizetype cut = key.lastIndexOf(QLatin1Char('\\')); cut > 0;
                 cut = key.lastIndexOf(QLatin1Char('\\'), cut - 1)) {
                const QString parent = key.left(cut);
                if (hive->keys.contains(parent))
                    break;
                hive->keys.insert(parent, -1);
            }
        }
        pos = next;
    }
    hive->data = std::move(data);
    return hive;
}

std::shared_ptr<const RegistryHive> loadHive(const QString& path)
{
    const QFileInfo fi(path);
    auto& c = cache();
    if (!fi.isFile()) {
        c.remove(path);
        return nullptr;
    }
    const qint64 size = fi.size();
    const QDateTime modified = fi.lastModified();
    auto it = c.constFind(path);
    if (it != c.constEnd() && it->size == size && it->modified == modified)
        return it->hive;
    std::shared_ptr<const RegistryHive> hive;
    if (size <= kMaxHiveBytes) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            QByteArray bytes = f.read(kMaxHiveBytes + 1);
            if (bytes.size() <= kMaxHiveBytes)
                hive = parseHive(std::move(bytes));
        }
    }
    c.insert(path, {size, modified, hive});
    return hive;
}

enum class ValueKind { Missing, String, Other };

// The value named (case-folded) name in the lines from pos to the next key
// header; the last line naming it counts, as when Wine loads the file.
ValueKind findValue(const RegistryHive& hive, qsizetype pos, const QString& name, QString& value)
{
    const char* base = hive.data.constData();
    const qsizetype n = hive.data.size();
    ValueKind kind = ValueKind::Missing;
    QString lineName, text;
    while (pos < n && base[pos] != '[') {
        const char* nl = static_cast<const char*>(memchr(base + pos, '\n', size_t(n - pos)));
        const char* end = nl ? nl : base + n;
        const char* p = base + pos;
        pos = nl ? (nl - base) + 1 : n;
        if (end > p && end[-1] == '\r')
            --end;
        if (*p == '@') {
            lineName.clear();
            ++p;
        } else if (*p == '"') {
            p = unescape(p + 1, end, '"', lineName);
            if (!p)
                continue;
        } else {
            continue; // options (#time=...), continuation lines of hex data
        }
        if (lineName.toCaseFolded() != name)
            continue;
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
        if (p >= end || *p++ != '=')
            continue;
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
        const QByteArrayView rest(p, end - p);
        qsizetype skip = -1;
        for (const char* tag : {"\"", "str:\"", "str(1):\"", "str(2):\""})
            if (rest.startsWith(tag)) {
                skip = qsizetype(strlen(tag));
                break;
            }
        if (skip < 0) {
            kind = ValueKind::Other;
            continue;
        }
        if (!unescape(p + skip, end, '"', text)) {
            kind = ValueKind::Other; // unterminated: not a readable string
            continue;
        }
        value = text;
        kind = ValueKind::String;
    }
    return kind;
}

} // namespace

QString WinePrefix()
{
    if (!g_prefix.isEmpty())
        return g_prefix;
    const QString env = qEnvironmentVariable("WINEPREFIX");
    if (!env.isEmpty())
        return env;
    return QDir::homePath() + QStringLiteral("/.wine");
}

void setWinePrefix(const QString& dir)
{
    g_prefix = dir;
    cache().clear();
}

RegistryKey OpenRegistryKey(RegistryRoot root, const QString& path)
{
    const QString prefix = WinePrefix();
    const QString user = prefix + QStringLiteral("/user.reg");
    const QString machine = prefix + QStringLiteral("/system.reg");
    QString key = normalizePath(path);
    std::vector<std::pair<QString, QString>> places; // file, key path in it
    switch (root) {
    case RegistryRoot::CurrentUser:
        places = {{user, key}};
        break;
    case RegistryRoot::LocalMachine:
        places = {{machine, key}};
        break;
    case RegistryRoot::ClassesRoot:
        key = joinPath(QStringLiteral("software\\classes"), key);
        places = {{user, key}, {machine, key}};
        break;
    }
    RegistryKey r;
    for (const auto& [file, k] : places) {
        auto hive = loadHive(file);
        if (hive && hive->keys.contains(k))
            r.m_parts.push_back({hive, k});
    }
    return r;
}

RegistryKey RegistryKey::open(const QString& path) const
{
    RegistryKey r;
    const QString sub = normalizePath(path);
    for (const Part& p : m_parts) {
        const QString k = joinPath(p.path, sub);
        if (p.hive->keys.contains(k))
            r.m_parts.push_back({p.hive, k});
    }
    return r;
}

std::optional<QString> RegistryKey::stringValue(const QString& name) const
{
    const QString folded = name.toCaseFolded();
    for (const Part& p : m_parts) {
        ValueKind kind = ValueKind::Missing;
        QString value;
        for (qsizetype offset : p.hive->offsets(p.path)) {
            QString v;
            const ValueKind k = findValue(*p.hive, offset, folded, v);
            if (k != ValueKind::Missing) {
                kind = k;
                value = v;
            }
        }
        if (kind == ValueKind::String)
            return value;
        if (kind == ValueKind::Other)
            return std::nullopt; // present but not text: it hides the next part
    }
    return std::nullopt;
}

QString WinePathToUnix(const QString& windowsPath)
{
    const QString s = windowsPath.trimmed();
    if (s.size() < 2 || s[1] != QLatin1Char(':') || !s[0].isLetter() || s[0].unicode() > 127)
        return {};
    const QString prefix = WinePrefix();
    const QChar letter = s[0].toLower();
    QString current = prefix + QStringLiteral("/dosdevices/") + letter + QLatin1Char(':');
    if (!QFileInfo(current).isDir()) {
        if (letter != QLatin1Char('c') || !QFileInfo(prefix + QStringLiteral("/drive_c")).isDir())
            return {};
        current = prefix + QStringLiteral("/drive_c");
    }
    const QString driveRoot = current;
    bool found = true; // whether current exists, so that its entries can be searched
    for (const QString& part : s.mid(2).split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (current != driveRoot)
                current = QFileInfo(current).path();
            continue;
        }
        QString next = current + QLatin1Char('/') + part;
        if (found && !QFileInfo::exists(next)) {
            const QStringList entries =
                QDir(current).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            next.clear();
            for (const QString& e : entries)
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    next = current + QLatin1Char('/') + e;
                    break;
                }
            if (next.isEmpty()) {
                next = current + QLatin1Char('/') + part;
                found = false;
            }
        }
        current = next;
    }
    return current;
}

} // namespace vt
