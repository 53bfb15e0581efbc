#pragma once
// The engine's own failure messages, in one place. They are the engine's
// texts (as a database engine reports them), not the program's text table.
#include <QString>

namespace vt::db::msg {

inline QString NoSuchFile(const QString& name) { return "Could not find file '" + name + "'."; }
inline QString NotADatabase(const QString& name)
{
    return "Unrecognized database format '" + name + "'.";
}
inline QString AccessNotSupported(const QString& name)
{
    return "'" + name + "' is an Access database file.  Access files are not supported yet.";
}
inline QString FormatNotSupported(const QString& connect)
{
    return "Databases of the kind '" + connect + "' are not supported yet.";
}
inline QString OdbcNotSupported() { return QStringLiteral("ODBC data sources are not supported yet."); }
inline QString Locked(const QString& name)
{
    return "The database '" + name + "' is locked by another user or program.  Try again later.";
}
inline QString Corrupt(const QString& name)
{
    return "The database '" + name + "' is damaged and cannot be read.";
}
inline QString CannotOpen(const QString& name, const QString& why)
{
    return "The database '" + name + "' cannot be opened: " + why;
}
inline QString AlreadyExists(const QString& name) { return "Database '" + name + "' already exists."; }
inline QString SecondStatement() { return QStringLiteral("Characters found after end of SQL statement."); }
inline QString EmptyStatement() { return QStringLiteral("Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."); }
inline QString Parameters(int n) { return QStringLiteral("Too few parameters. Expected %1.").arg(n); }
inline QString BadDate(const QString& lit) { return "Syntax error in date in query expression '" + lit + "'."; }
inline QString Unterminated(const QString& what) { return "Syntax error in query: unterminated " + what + "."; }
inline QString Closed() { return QStringLiteral("Object invalid or no longer set."); }
inline QString NoCurrentRecord() { return QStringLiteral("No current record."); }
inline QString NotUpdatable() { return QStringLiteral("Database or object is read-only."); }
inline QString NoEdit() { return QStringLiteral("Update or CancelUpdate without AddNew or Edit."); }
inline QString Deleted() { return QStringLiteral("Record is deleted."); }
inline QString ItemNotFound(const QString& name) { return "Item not found in this collection: '" + name + "'."; }
inline QString Conversion() { return QStringLiteral("Data type conversion error."); }
inline QString Overflow() { return QStringLiteral("Overflow."); }
inline QString TooSmall()
{
    return QStringLiteral("The field is too small to accept the amount of data you attempted to add.  Try inserting or pasting less data.");
}
inline QString BadBookmark() { return QStringLiteral("Not a valid bookmark."); }
inline QString NotSupported(const QString& what) { return what + " is not supported by this database."; }

} // namespace vt::db::msg
