#pragma once
// An open database with its table definitions, stored queries, statements and
// record sets. Obtained from the engine (Engine.h); closed by Close() or when
// the last handle goes away, so a handle never outlives the command that
// holds it. After Close every operation, also of its record sets and table
// definitions, fails with "Object invalid or no longer set.".
#include "Driver.h"
#include "Types.h"

#include <QString>
#include <memory>
#include <vector>

namespace vt::db {

class Database;
class Recordset;
class TableDef;
using DatabasePtr = std::shared_ptr<Database>;
using RecordsetPtr = std::shared_ptr<Recordset>;

// A field of a table definition.
class FieldDef {
public:
    QString Name() const { return m_name; }
    // Renames the column when the table exists in the database.
    void setName(const QString& name);
    int Type() const { return m_type; }
    int Size() const { return m_size; }
    // SQLite keeps zero-length texts in every column: columns read from a file
    // report true; the flag of a new field is kept but not enforced.
    bool AllowZeroLength() const { return m_allowZeroLength; }
    void setAllowZeroLength(bool b) { m_allowZeroLength = b; }
    bool Required() const { return m_required; }
    QString declType() const { return m_decl; }
    FieldInfo info() const { return FieldInfo{m_name, m_type, m_size, {}, m_name}; }

private:
    friend class TableDef;
    friend class Database;
    TableDef* m_table = nullptr;
    QString m_name;
    int m_type = dbText;
    int m_size = 0;
    bool m_allowZeroLength = true;
    bool m_required = false;
    QString m_decl;
};

// A table definition: a table of the database, a linked table, or (before
// AppendTableDef) a table still to be created.
class TableDef {
public:
    QString Name() const { return m_name; }
    // Renames the table when it exists in the database.
    void setName(const QString& name);
    // dbSystemObject, dbHiddenObject, dbAttachedTable bits.
    long Attributes() const { return m_attributes; }
    QString Connect() const { return m_connect; }
    QString SourceTableName() const { return m_sourceTable; }

    const std::vector<std::unique_ptr<FieldDef>>& Fields() const { return m_fields; }
    // The field of that name (letter case ignored); throws VtError when none.
    FieldDef& Fields(const QString& name) const;
    FieldDef* findField(const QString& name) const;

    // A new field, not yet part of the table; size counts characters of a text.
    std::unique_ptr<FieldDef> CreateField(const QString& name, int type, int size = 0) const;
    // Fields.Append: adds the column (ALTER TABLE ... ADD COLUMN) when the table
    // exists, else keeps it for AppendTableDef.
    void AppendField(std::unique_ptr<FieldDef> field);
    // Fields.Delete: drops the column.
    void DeleteField(const QString& name);

private:
    friend class Database;
    friend class FieldDef;
    void renameField(FieldDef& f, const QString& name);
    Connection& conn() const;

    ConnectionPtr m_conn; // set once the table exists in the database
    QString m_name;
    long m_attributes = 0;
    QString m_connect;
    QString m_sourceTable;
    std::vector<std::unique_ptr<FieldDef>> m_fields;
};

// A stored query (an SQLite view) with its fields.
struct QueryDef {
    QString Name;
    QString SQL;
    std::vector<FieldInfo> Fields;
};

class Database : public std::enable_shared_from_this<Database> {
public:
    Database(ConnectionPtr conn, QString connect);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The name the database was opened under (for a file, its path as given).
    QString Name() const { return m_name; }
    QString Connect() const { return m_connect; }
    // False for a database opened read-only or one the process cannot write.
    bool Updatable() const;
    void Close();
    bool isOpen() const;

    // The table definitions in the database's order (creation order, linked
    // tables last), read afresh on every call.
    std::vector<std::unique_ptr<TableDef>> TableDefs();
    // One table definition by name (letter case ignored); throws when none.
    std::unique_ptr<TableDef> TableDefs(const QString& name);
    // The stored queries in the database's order.
    std::vector<QueryDef> QueryDefs();

    // Runs one Jet statement that returns no rows (INSERT, UPDATE, DELETE,
    // CREATE, ALTER, DROP, SELECT ... INTO). Throws VtError on failure.
    void Execute(const QString& jetSql);
    int RecordsAffected() const { return m_affected; }

    // Opens a record set on a table or stored query name or a Jet SELECT.
    // type: dbOpenTable, dbOpenDynaset (updatable over a single table),
    // dbOpenSnapshot or dbOpenForwardOnly (read-only).
    RecordsetPtr OpenRecordset(const QString& source, int type = dbOpenDynaset);

    // A table definition to append: a new table (add fields, then append) or,
    // with a source table and connect string, a table linked from another
    // database (";DATABASE=path" for a native file, or a foreign driver's
    // connect string). Links last as long as this handle.
    std::unique_ptr<TableDef> CreateTableDef(const QString& name, long attributes = 0,
                                             const QString& sourceTable = {}, const QString& connect = {});
    // TableDefs.Append and TableDefs.Delete.
    void AppendTableDef(std::unique_ptr<TableDef> def);
    void DeleteTableDef(const QString& name);

    Connection& connection() const;
    ConnectionPtr connectionPtr() const { return m_conn; }

private:
    std::unique_ptr<TableDef> makeTableDef(const CatalogEntry& e);
    void selectInto(const QString& target, const QString& selectSql);

    ConnectionPtr m_conn;
    QString m_name;
    QString m_connect;
    int m_affected = 0;
    std::vector<ConnectionPtr> m_linkSources;
};

} // namespace vt::db
