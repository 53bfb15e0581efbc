#pragma once
#include <QHash>
#include <QString>
#include <list>
#include <optional>
#include <vector>

namespace vt {

// A text field that may never have been given a value: such a field is left
// out of the workspace file, while an empty text is written as "Key=".
using OptText = std::optional<QString>;

// The data object of a node; the node owns it.
class VTObject {
public:
    virtual ~VTObject() = default;
};

class VTDatabase : public VTObject {
public:
    bool ODBC = false;
    QString Connect;
    bool ReadOnly = false;
};

class VTTable : public VTObject {
public:
    QString EMailField;
    QString SelectStatement;
    bool IsQuery = false;
};

class VTFilter {
public:
    QString PrevOp;
    QString FieldName;
    qint16 FieldType = 0;
    OptText Value;
    QString Relation;
};

class VTIndividual {
public:
    QString Name;
};

// An ordered collection of individuals keyed by name without regard to letter
// case; adding, finding and removing are constant-time.
class IndividualList {
public:
    using const_iterator = std::list<VTIndividual>::const_iterator;
    bool contains(const QString& name) const { return m_index.contains(name.toCaseFolded()); }
    void append(const QString& name);
    void remove(const QString& name);
    void clear();
    int size() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

private:
    std::list<VTIndividual> m_items;
    QHash<QString, std::list<VTIndividual>::iterator> m_index;
};

class VTMailList : public VTObject {
public:
    IndividualList Inclusions;
    IndividualList Exclusions;
    std::vector<VTFilter> Filters;

    void RemoveStatus(const QString& name);
    void AddInclusion(const QString& name);
    void AddExclusion(const QString& name);
    bool IsInclusion(const QString& name) const;
    bool IsExclusion(const QString& name) const;
    // Appends the default filter row ("Or", E, text, "Is Not Empty") unless the
    // setting General/DefaultFilter is "False" or E is empty.
    void AddDefaultFilter(const QString& emailField);
};

class VTMessage : public VTObject {
public:
    OptText From;
    OptText ToHdr;
    OptText Subject;
    OptText Message; // lines separated by CR LF
};

} // namespace vt
