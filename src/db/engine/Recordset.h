#pragma once
// A record set: the rows of a table, stored query or SELECT, with a current
// record, moves, edits, finds and bookmarks.
//
// Over a single table (dbOpenTable, dbOpenDynaset, and snapshots of one table)
// the set is a keyset: it holds the row keys (rowid) in the set's order and
// reads rows by key in pages, so edits, deletes and bookmarks address one
// row. Without WHERE and ORDER BY the keys are read lazily as the set is
// walked. Any other source (a view, a join, grouping) is read in windows of
// rows and is read-only.
//
// RecordCount is the exact number of rows in the set (counting rows added
// and deleted through it), known from the open on.
#include "Database.h"

#include <QByteArray>
#include <QHash>
#include <QVariant>
#include <map>
#include <memory>
#include <vector>

namespace vt::db {

class Recordset;
class Statement;

// Codes of the notices before a change (the record-source control's actions).
enum DataAction : int {
    actCancel = 0,
    actMoveFirst = 1,
    actMovePrevious = 2,
    actMoveNext = 3,
    actMoveLast = 4,
    actAddNew = 5,
    actUpdate = 6,
    actDelete = 7,
    actFind = 8,
    actBookmark = 9,
    actClose = 10,
};

// Told about a record set's moves and changes (the record-source control,
// the grid model).
class RecordsetListener {
public:
    enum Change { RowInserted, RowRemoved, RowUpdated, Reset };
    virtual ~RecordsetListener() = default;
    // Before a move or change; setting cancel makes the operation do nothing.
    virtual void recordsetBeforeChange(Recordset& rs, int action, bool& cancel) {}
    // After the current record changed.
    virtual void recordsetMoved(Recordset& rs) {}
    // After rows changed; position is the row's position (not for Reset).
    virtual void recordsetRowsChanged(Recordset& rs, Change change, long position) {}
    // The set is being closed; it must not be used from now on.
    virtual void recordsetClosing(Recordset& rs) {}
};

// A field of a record set: its description and its value in the current
// record (or in the edit buffer while editing or adding).
class Field {
public:
    QString Name() const { return m_info.name; }
    int Type() const { return m_info.type; }
    int Size() const { return m_info.size; }
    bool AllowZeroLength() const { return true; }
    QString SourceTable() const { return m_info.sourceTable; }
    QString SourceField() const { return m_info.sourceField; }
    const FieldInfo& info() const { return m_info; }
    // Null when the value is null. Throws without a current record.
    QVariant Value() const;
    // Needs Edit or AddNew first; converts the value to the field's type and
    // throws VtError when it does not fit.
    void setValue(const QVariant& v);
    bool isNull() const { return Value().isNull(); }

private:
    friend class Recordset;
    friend class FieldList;
    Recordset* m_rs = nullptr;
    int m_index = 0;
    FieldInfo m_info;
};

// The fields of a record set, in the order of the source.
class FieldList {
public:
    int Count() const { return int(m_fields.size()); }
    Field& operator[](int i) { return m_fields.at(size_t(i)); }
    const Field& operator[](int i) const { return m_fields.at(size_t(i)); }
    // By name, letter case ignored; throws VtError when there is none.
    Field& operator[](const QString& name);
    // By name, letter case ignored; nullptr when there is none.
    Field* find(const QString& name);
    const Field* find(const QString& name) const;
    std::vector<Field>::iterator begin() { return m_fields.begin(); }
    std::vector<Field>::iterator end() { return m_fields.end(); }
    std::vector<Field>::const_iterator begin() const { return m_fields.begin(); }
    std::vector<Field>::const_iterator end() const { return m_fields.end(); }
    std::vector<FieldInfo> infos() const;

private:
    friend class Recordset;
    std::vector<Field> m_fields;
    QHash<QString, int> m_index; // case-folded name -> index
};

class Recordset : public std::enable_shared_from_this<Recordset> {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    int Type() const { return m_type; }
    QString Source() const { return m_source; }

    FieldList& Fields() { return m_fields; }
    const FieldList& Fields() const { return m_fields; }
    Field& Fields(int i) { return m_fields[i]; }
    Field& Fields(const QString& name) { return m_fields[name]; }

    // Position. With no rows both BOF and EOF hold. (EOF_ has its underscore
    // because EOF is a macro of the C library.)
    bool BOF() const;
    bool EOF_() const;
    long RecordCount() const { return m_count; }
    // 0-based; -1 when there is no current record.
    long AbsolutePosition() const;
    void setAbsolutePosition(long pos);
    // The moves fail with "No current record." where the engine's do
    // (MoveFirst/MoveLast on an empty set, MoveNext at EOF, ...). A move
    // while editing drops the edit.
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(long rows);

    // Edits: AddNew / Edit, set field values, then Update (or CancelUpdate).
    // A row added appears at the end of the set; the current record stays the
    // one current before AddNew.
    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    // Deletes the current record; it stays current (as deleted) until a move.
    void Delete();
    int EditMode() const { return m_editMode; }
    bool Updatable() const;

    // Finds by a Jet criterion ("[City] LIKE 'York*'"); on no match the current
    // record stays and NoMatch is true.
    void FindFirst(const QString& criterion);
    void FindNext(const QString& criterion);
    void FindPrevious(const QString& criterion);
    void FindLast(const QString& criterion);
    bool NoMatch() const { return m_noMatch; }

    bool Bookmarkable() const { return true; }
    QByteArray Bookmark() const;
    void setBookmark(const QByteArray& bookmark);

    // A value at any position without moving (for grids); null for a row
    // deleted meanwhile. Throws only when the set is closed.
    QVariant valueAt(long position, int field);

    void Close();
    bool isOpen() const;

    void addListener(RecordsetListener* l);
    void removeListener(RecordsetListener* l);

private:
    friend class Database;
    friend class Field;
    Recordset() = default;
    void init(ConnectionPtr conn, const QString& source, int type, bool updatableDb);

    struct Row {
        std::vector<QVariant> values; // converted for the field types
        bool missing = false;         // deleted meanwhile
    };
    struct Page {
        std::vector<Row> rows;
        quint64 used = 0;
    };

    void live() const;
    bool keyed() const { return !m_keyName.isEmpty(); }
    bool notify(int action);
    void moved();
    void changed(RecordsetListener::Change c, long pos);
    void dropEdit();
    void goTo(long pos, int action);
    void needCurrent() const;
    const Row& rowAt(long pos);
    void loadPage(long page);
    void dropPages() { m_pages.clear(); }
    // Keys: ensure at least n are loaded (lazy keysets).
    void loadKeys(long n);
    void loadAllKeys();
    qint64 keyAt(long pos) const;
    long find(const QString& criterion, long start, bool forward);
    QVariant current(int field);
    void set(int field, const QVariant& v);

    ConnectionPtr m_conn;
    QString m_source;
    int m_type = dbOpenDynaset;
    bool m_updatable = false;

    // Keyset mode.
    QString m_keyName;   // "rowid"; empty in window mode
    QString m_table;     // the table edits go to
    QString m_from;      // FROM text
    QString m_columns;   // select list
    QString m_where;     // condition (may be empty)
    QString m_orderBy;   // order terms (may be empty)
    QString m_keyAliasColumn; // the column that is the rowid (INTEGER PRIMARY KEY), if any
    std::vector<qint64> m_keys;
    bool m_allKeys = true;

    // Window mode.
    QString m_sql;
    std::unique_ptr<Statement> m_cursor;
    long m_cursorPos = 0;

    FieldList m_fields;
    long m_count = 0;
    long m_pos = -1; // -1 BOF, m_count EOF
    bool m_currentDeleted = false;
    bool m_noMatch = false;

    int m_editMode = dbEditNone;
    std::vector<QVariant> m_buffer;  // converted values
    std::vector<QVariant> m_stored;  // values to write
    std::vector<bool> m_dirty;

    std::map<long, Page> m_pages;
    quint64 m_useCounter = 0;
    std::vector<RecordsetListener*> m_listeners;
};

} // namespace vt::db
