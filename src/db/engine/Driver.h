#pragma once
// The driver seam. A driver turns a source (a file, a directory of files, a
// data source named by a connect string) into a Connection; the engine's
// objects (Database, TableDef, Recordset) work only through Connection and
// Statement, so a new driver plugs in without touching them or their callers.
//
// Statements given to a Connection are in SQLite's dialect (what JetSql
// produces). The native driver runs them on the SQLite file; a driver for a
// foreign file format reads the file into an in-memory SQLite database and
// returns the native connection over it (not updatable unless it writes back);
// an ODBC driver would rewrite them for its data source.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace vt::db {

// One prepared statement. Parameters are numbered from 1, columns from 0.
class Statement {
public:
    virtual ~Statement() = default;
    virtual void bind(int index, const QVariant& value) = 0;
    // Runs to the next row; false at the end. Throws VtError on failure.
    virtual bool step() = 0;
    virtual void reset() = 0;
    // The number of parameters ("?") the statement holds.
    virtual int parameterCount() const = 0;
    virtual int columnCount() const = 0;
    virtual QString columnName(int col) const = 0;
    // The declared type of the column the result column comes from (empty for
    // an expression), and that column's table (empty for an expression).
    virtual QString declType(int col) const = 0;
    virtual QString originTable(int col) const = 0;
    virtual QString originColumn(int col) const = 0;
    // The value of the current row: null, qint64, double, QString or QByteArray.
    virtual QVariant value(int col) const = 0;
    virtual qint64 int64(int col) const = 0;
};

// A column of a table or view as the catalog describes it.
struct ColumnInfo {
    QString name;
    QString declType;
    bool notNull = false;
    bool primaryKey = false;
};

// A table or view of the catalog, in the order the source lists them.
struct CatalogEntry {
    enum Kind { Table, View, System, Hidden };
    QString name;
    Kind kind = Table;
    QString sql; // a view's definition
};

class Connection {
public:
    virtual ~Connection() = default;
    // The name the source was opened under (reported as the database's Name).
    virtual QString name() const = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // False when the source is read-only (opened so, or not writable).
    virtual bool updatable() const = 0;

    virtual std::unique_ptr<Statement> prepare(const QString& sql) = 0;
    // Runs one statement to its end; returns the number of rows it changed.
    virtual int exec(const QString& sql) = 0;
    virtual qint64 lastInsertRowId() const = 0;

    virtual std::vector<CatalogEntry> catalog() = 0;
    virtual std::vector<ColumnInfo> columns(const QString& table) = 0;
    // The expression that names a row of table for keyed access ("rowid"), or
    // empty when the table has no such key (then its record sets are read-only).
    virtual QString rowKey(const QString& table) = 0;

    // Makes a table of another connection visible here as name (a linked
    // table); it lasts as long as this connection.
    virtual void link(const QString& name, Connection& source, const QString& sourceTable) = 0;
    virtual void unlink(const QString& name) = 0;
    virtual QStringList links() const = 0;

    // Transactions for multi-statement changes made by the engine.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;

    // A path another connection can attach to reach this source's tables;
    // empty when there is none.
    virtual QString attachPath() const = 0;
};

using ConnectionPtr = std::shared_ptr<Connection>;

// What a driver is asked to open.
struct OpenRequest {
    QString name;       // file, directory or data source name as the caller gave it
    QString connect;    // the connect string ("" for a database file)
    QString connectType; // the connect string's first part ("dBase 5.0"); empty for a database file
    bool readOnly = false;
    bool exclusive = false;
    bool odbc = false;  // DefaultType was ODBC
    QByteArray head;    // the first bytes of the file when name is a file
};

class Driver {
public:
    virtual ~Driver() = default;
    virtual QString name() const = 0;
    // Whether this driver opens the source described by r.
    virtual bool accepts(const OpenRequest& r) const = 0;
    // Opens it; throws VtError with a message fit for the user.
    virtual ConnectionPtr open(const OpenRequest& r) = 0;
    // Creates a new, empty database file (the native driver only).
    virtual ConnectionPtr create(const QString& path) { return nullptr; }
};

// The installed drivers. The native SQLite driver is always present and asked
// last; drivers added later are asked first, in the order added.
class Drivers {
public:
    static void add(std::unique_ptr<Driver> d);
    // The driver for r; throws VtError naming the kind of source when none
    // accepts it.
    static Driver& choose(const OpenRequest& r);
    static Driver& native();
};

} // namespace vt::db
