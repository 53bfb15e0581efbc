#include "ProfileFile.h"

#include <QFile>
#include <QSaveFile>

namespace vt {

ProfileFile::ProfileFile(const QString& path) { load(path); }

bool ProfileFile::load(const QString& path)
{
    m_sections.clear();
    m_index.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        m_error = f.errorString();
        return false;
    }
    parse(f.readAll());
    return true;
}

void ProfileFile::parse(const QByteArray& bytes)
{
    m_sections.clear();
    m_index.clear();
    Section* cur = nullptr;
    const QString text = QString::fromUtf8(bytes);
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n) {
        qsizetype eol = text.indexOf('\n', pos);
        if (eol < 0)
            eol = n;
        QStringView line = QStringView(text).mid(pos, eol - pos);
        pos = eol + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        QStringView t = line.trimmed();
        if (t.isEmpty() || t.startsWith(';'))
            continue;
        if (t.startsWith('[')) {
            qsizetype close = t.indexOf(']');
            QString name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed().toString();
            // A section named twice: the first one answers reads, as with the
            // classic functions; later lines for it go to the first as well.
            cur = &findOrAdd(name);
            continue;
        }
        if (!cur)
            continue;
        qsizetype eq = line.indexOf('=');
        QString key = (eq < 0 ? line : line.left(eq)).trimmed().toString();
        if (key.isEmpty())
            continue;
        QString raw = eq < 0 ? QString() : line.mid(eq + 1).toString();
        const QString fk = fold(key);
        if (!cur->index.contains(fk)) {
            cur->index.insert(fk, int(cur->entries.size()));
            cur->entries.push_back({key, raw});
        }
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

const ProfileFile::Section* ProfileFile::find(const QString& section) const
{
    auto it = m_index.constFind(fold(section));
    return it == m_index.constEnd() ? nullptr : &m_sections[size_t(*it)];
}

ProfileFile::Section* ProfileFile::find(const QString& section)
{
    auto it = m_index.constFind(fold(section));
    return it == m_index.constEnd() ? nullptr : &m_sections[size_t(*it)];
}

ProfileFile::Section& ProfileFile::findOrAdd(const QString& section)
{
    if (Section* s = find(section))
        return *s;
    m_index.insert(fold(section), int(m_sections.size()));
    m_sections.push_back({section, {}, {}});
    return m_sections.back();
}

std::optional<QString> ProfileFile::value(const QString& section, const QString& key) const
{
    const Section* s = find(section);
    if (!s)
        return std::nullopt;
    auto it = s->index.constFind(fold(key));
    if (it == s->index.constEnd())
        return std::nullopt;
    return cleanValue(s->entries[size_t(*it)].raw);
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
    const QString fk = fold(key);
    auto it = s.index.constFind(fk);
    if (it != s.index.constEnd()) {
        s.entries[size_t(*it)].raw = v;
        return;
    }
    s.index.insert(fk, int(s.entries.size()));
    s.entries.push_back({key, v});
}

void ProfileFile::removeKey(const QString& section, const QString& key)
{
    Section* s = find(section);
    if (!s)
        return;
    auto it = s->index.find(fold(key));
    if (it == s->index.end())
        return;
    const int pos = *it;
    s->entries.erase(s->entries.begin() + pos);
    s->index.erase(it);
    for (auto& i : s->index)
        if (i > pos)
            --i;
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
    QString out;
    for (const auto& s : m_sections) {
        out += '[';
        out += s.name;
        out += QLatin1String("]\r\n");
        for (const auto& e : s.entries) {
            out += e.key;
            out += '=';
            out += e.raw;
            out += QLatin1String("\r\n");
        }
    }
    return out.toUtf8();
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
