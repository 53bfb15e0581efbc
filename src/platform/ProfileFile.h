#pragma once
#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace vt {

// A profile (INI) file held in memory: read one key, write one key, with the
// rules of the classic profile functions, and written out once with save().
//
//  - section and key names match without regard to letter case;
//  - a read returns the text after the first "=", blanks trimmed, one pair of
//    enclosing double or single quotes removed, cut to 254 characters and
//    trimmed again; the default when the section or key is missing;
//  - a write replaces the key's value in place, or appends the key to its
//    section, or appends a new section at the end of the file;
//  - lines end in CR LF; text is UTF-8.
class ProfileFile {
public:
    static constexpr int MaxValueLength = 254;

    ProfileFile() = default;
    // Reads path; a missing or unreadable file gives an empty profile.
    explicit ProfileFile(const QString& path);

    bool load(const QString& path);
    void parse(const QByteArray& bytes);

    QString read(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    // The value as read() returns it, or nullopt when the key is absent.
    std::optional<QString> value(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const;
    // Number of keys of a section (0 when absent).
    int keyCount(const QString& section) const;

    void write(const QString& section, const QString& key, const QString& value);
    void removeKey(const QString& section, const QString& key);

    QStringList sectionNames() const;
    QByteArray toBytes() const;
    // Writes the whole file under a temporary name, flushes it to the device
    // and renames it into place. Returns false with errorString set.
    bool save(const QString& path);
    QString errorString() const { return m_error; }

    // The reader's value rule, applied to a raw value text.
    static QString cleanValue(QString raw);

private:
    // A name compared and hashed without regard to letter case, without
    // making a folded copy.
    struct CiName {
        QString s;
        bool operator==(const CiName& o) const
        {
            return s.size() == o.s.size() && s.compare(o.s, Qt::CaseInsensitive) == 0;
        }
    };
    friend size_t qHash(const CiName& k, size_t seed) noexcept;

    struct Entry {
        QString key;
        QString raw; // as it stands after "=" in the file
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
        // Key index, made once a section grows past a few keys; smaller
        // sections are scanned.
        QHash<CiName, int> index; // empty while the section is scanned
        int findKey(const QString& key) const;
        void addKey(const QString& key, const QString& raw);
        void reindex();
    };
    int findIndex(const QString& section) const;
    Section* find(const QString& section);
    const Section* find(const QString& section) const;
    Section& findOrAdd(const QString& section);

    std::vector<Section> m_sections;
    QHash<CiName, int> m_index; // section name -> position
    // Reads and writes come in runs on one section: the last one found.
    mutable QString m_lastName;
    mutable int m_last = -1;
    QString m_error;
};

} // namespace vt
