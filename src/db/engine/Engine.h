#pragma once
// The database engine: opens and creates databases and keeps the list of
// databases open in its default workspace, so that all of them can be closed
// at once. Which driver opens a source is chosen from the connect string and
// the file's first bytes (Driver.h).
#include "Database.h"

namespace vt::db {

class DBEngine {
public:
    // dbUseODBC or dbUseJet; set before every open.
    int DefaultType() const { return m_defaultType; }
    void setDefaultType(int t) { m_defaultType = t; }

    // Opens name (a file; for some connect strings a directory or data source).
    // options: non-zero opens exclusively. Throws VtError with a message fit
    // for the user (missing file, not a database, damaged, locked, a kind of
    // source no driver reads). The database is listed in Databases().
    DatabasePtr OpenDatabase(const QString& name, int options = 0, bool readOnly = false,
                             const QString& connect = {});
    // The same, not listed in Databases() and with its own engine type: the
    // connection of a record-source control.
    DatabasePtr OpenUnlisted(const QString& name, bool exclusive, bool readOnly, const QString& connect,
                             int engineType);
    // Creates a new, empty database file; fails when the file exists. The
    // locale text (";LANGID=...") is accepted and ignored: texts are Unicode.
    DatabasePtr CreateDatabase(const QString& path, const QString& locale = {});

    // Workspaces(0).Databases: the listed databases still open, in the order opened.
    std::vector<DatabasePtr> Databases();
    // Closes each of them.
    void CloseAll();

private:
    DatabasePtr open(const QString& name, bool exclusive, bool readOnly, const QString& connect, int type,
                     bool listed);
    int m_defaultType = dbUseJet;
    std::vector<std::weak_ptr<Database>> m_open;
};

// The one engine of the program.
DBEngine& Engine();

// The first part of a connect string ("dBase 5.0;HDR=NO" gives "dBase 5.0"),
// and the value of one of its keys (DATABASE=...); empty when absent.
QString ConnectType(const QString& connect);
QString ConnectValue(const QString& connect, const QString& key);

} // namespace vt::db
