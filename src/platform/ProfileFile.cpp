#include "ProfileFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>
#include <cstring>

namespace vt {
namespace {
constexpr size_t kScanLimit = 16;

inline bool sameName(QStringView a, QStringView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

size_t qHash(const ProfileFile::CiName& k, size_t seed) noexcept
{
    size_t h = seed ^ 0x9e3779b97f4a7c15ULL;
    for (QChar c : k.s) {
        char16_t u = c.unicode();
        if (u < 128)
            u = (u >= 'A' && u <= 'Z') ? char16_t(u + 32) : u;
        else
            u = c.toCaseFolded().unicode();
        h = (h ^ u) * 0x100000001b3ULL;
    }
    return h;
}

int ProfileFile::Section::findKey(const QString& key) const
{
    if (!index.isEmpty()) {
        auto it = index.constFind(CiName{key});
        return it == index.constEnd() ? -1 : *it;
    }
    for (size_t i = 0; i < entries.size(); ++i)
        if (sameName(entries[i].key, key))
            return int(i);
    return -1;
}

void ProfileFile::Section::addKey(const QString& key, const QString& raw)
{
    entries.push_back({key, raw});
    if (!index.isEmpty())
        index.insert(CiName{key}, int(entries.size() - 1));
    else if (entries.size() > kScanLimit)
        reindex();
}

void ProfileFile::Section::reindex()
{
    if (entries.size() <= kScanLimit) {
        index.clear();
        return;
    }
    index.clear();
    index.reserve(qsizetype(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i)
        index.insert(CiName{entries[i].key}, int(i));
}

ProfileFile::ProfileFile(const QString& path) { load(path); }

bool ProfileFile::load(const QString& path)
{
    m_sections.clear();
    m_index.clear();
    m_last = -1;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        m_error = f.errorString();
        return false;
    }
    parse(f.readAll());
    return true;
}

namespace {
// Text of a byte range: ASCII (the common case) converts without decoding.
QString textOf(const char* p, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i)
        if (uchar(p[i]) >= 0x80)
            return QString::fromUtf8(p, n);
    return QString::fromLatin1(p, n);
}

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }
} // namespace

void ProfileFile::parse(const QByteArray& bytes)
{
    m_sections.clear();
    m_index.clear();
    m_last = -1;
    Section* cur = nullptr;
    const char* const data = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype pos = 0;
    while (pos < n) {
        const char* nl = static_cast<const char*>(memchr(data + pos, '\n', size_t(n - pos)));
        const qsizetype eol = nl ? nl - data : n;
        qsizetype b = pos, e = eol;
        pos = eol + 1;
        if (e > b && data[e - 1] == '\r')
            --e;
        qsizetype tb = b, te = e; // the line without surrounding blanks
        while (tb < te && isBlank(data[tb]))
            ++tb;
        while (te > tb && isBlank(data[te - 1]))
            --te;
        if (tb == te || data[tb] == ';')
            continue;
        if (data[tb] == '[') {
            const char* close = static_cast<const char*>(memchr(data + tb, ']', size_t(te - tb)));
            const qsizetype ne = close ? close - data : te;
            // A section named twice: the first one answers reads, as with the
            // classic functions; later lines for it go to the first as well.
            cur = &findOrAdd(textOf(data + tb + 1, ne - tb - 1).trimmed());
            continue;
        }
        if (!cur)
            continue;
        const char* eq = static_cast<const char*>(memchr(data + b, '=', size_t(e - b)));
        const qsizetype ke = eq ? eq - data : e;
        const QString key = textOf(data + b, ke - b).trimmed();
        if (key.isEmpty())
            continue;
        if (cur->findKey(key) < 0)
            cur->addKey(key, eq ? textOf(eq + 1, e - (ke + 1)) : QString());
    }
}

QString ProfileFile::cleanValue(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2) {
        QChar a = v.front(), b = v.back();
        if ((a == '"' && b == '"') || (a == '\'' && b == '\''))
            v = v.mid(1, v.size() - 2);
    }
    if (v.size() > MaxValueLength)
        v.truncate(MaxValueLength);
    return v.trimmed();
}

int ProfileFile::findIndex(const QString& section) const
{
    if (m_last >= 0 && m_lastName == section)
        return m_last;
    auto it = m_index.constFind(CiName{section});
    if (it == m_index.constEnd())
        return -1;
    m_lastName = section;
    m_last = *it;
    return m_last;
}

const ProfileFile::Section* ProfileFile::find(const QString& section) const
{
    const int i = findIndex(section);
    return i < 0 ? nullptr : &m_sections[size_t(i)];
}

ProfileFile::Section* ProfileFile::find(const QString& section)
{
    const int i = findIndex(section);
    return i < 0 ? nullptr : &m_sections[size_t(i)];
}

ProfileFile::Section& ProfileFile::findOrAdd(const QString& section)
{
    if (Section* s = find(section))
        return *s;
    m_index.insert(CiName{section}, int(m_sections.size()));
    m_sections.push_back({section, {}, {}});
    m_lastName = section;
    m_last = int(m_sections.size() - 1);
    return m_sections.back();
}

std::optional<QString> ProfileFile::value(const QString& section, const QString& key) const
{
    const Section* s = find(section);
    if (!s)
        return std::nullopt;
    const int k = s->findKey(key);
    if (k < 0)
        return std::nullopt;
    return cleanValue(s->entries[size_t(k)].raw);
}

QString ProfileFile::read(const QString& section, const QString& key, const QString& defaultValue) const
{
    auto v = value(section, key);
    return v ? *v : defaultValue;
}

bool ProfileFile::hasSection(const QString& section) const { return find(section) != nullptr; }

int ProfileFile::keyCount(const QString& section) const
{
    const Section* s = find(section);
    return s ? int(s->entries.size()) : 0;
}

void ProfileFile::write(const QString& section, const QString& key, const QString& value)
{
    // A line break inside a value would end the key line and let the rest be
    // read as keys or sections of its own; it becomes a blank.
    QString v = value;
    for (QChar& c : v)
        if (c == '\r' || c == '\n')
            c = ' ';
    Section& s = findOrAdd(section);
    const int k = s.findKey(key);
    if (k >= 0)
        s.entries[size_t(k)].raw = v;
    else
        s.addKey(key, v);
}

void ProfileFile::removeKey(const QString& section, const QString& key)
{
    Section* s = find(section);
    if (!s)
        return;
    const int k = s->findKey(key);
    if (k < 0)
        return;
    s->entries.erase(s->entries.begin() + k);
    if (!s->index.isEmpty())
        s->reindex();
}

QStringList ProfileFile::sectionNames() const
{
    QStringList r;
    r.reserve(qsizetype(m_sections.size()));
    for (const auto& s : m_sections)
        r << s.name;
    return r;
}

QByteArray ProfileFile::toBytes() const
{
    qsizetype chars = 0;
    for (const auto& sec : m_sections) {
        chars += sec.name.size() + 4;
        for (const auto& e : sec.entries)
            chars += e.key.size() + e.raw.size() + 3;
    }
    // Encoded straight into one buffer: at most 3 bytes a UTF-16 unit.
    QByteArray out(chars * 3, Qt::Uninitialized);
    char* p = out.data();
    QStringEncoder enc(QStringEncoder::Utf8);
    auto put = [&](QStringView v) { p = enc.appendToBuffer(p, v); };
    auto lit = [&](const char* t, size_t len) {
        memcpy(p, t, len);
        p += len;
    };
    for (const auto& sec : m_sections) {
        lit("[", 1);
        put(sec.name);
        lit("]\r\n", 3);
        for (const auto& e : sec.entries) {
            put(e.key);
            lit("=", 1);
            put(e.raw);
            lit("\r\n", 2);
        }
    }
    out.truncate(p - out.constData());
    return out;
}

bool ProfileFile::save(const QString& path)
{
    QSaveFile f(path);
    f.setDirectWriteFallback(false);
    if (!f.open(QIODevice::WriteOnly)) {
        m_error = f.errorString();
        return false;
    }
    const QByteArray bytes = toBytes();
    if (f.write(bytes) != bytes.size()) {
        m_error = f.errorString();
        f.cancelWriting();
        return false;
    }
    // commit() flushes the data to the device before it renames.
    if (!f.commit()) {
        m_error = f.errorString();
        return false;
    }
    return true;
}

} // namespace vt
