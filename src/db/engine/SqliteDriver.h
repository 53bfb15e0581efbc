#pragma once
// The native driver: SQLite database files, read and written. Each connection
// registers what the rewritten Jet SQL needs: the collation JETNOCASE (text
// compared without regard to letter case, for all letters) and the function
// behind MATCH (Jet wildcard patterns, letter case ignored).
#include "Driver.h"

struct sqlite3;

namespace vt::db {

class SqliteDriver : public Driver {
public:
    QString name() const override { return QStringLiteral("SQLite"); }
    bool accepts(const OpenRequest& r) const override;
    ConnectionPtr open(const OpenRequest& r) override;
    ConnectionPtr create(const QString& path) override;

    // A fresh in-memory database (for drivers that read foreign files into one).
    static ConnectionPtr openMemory(const QString& name);
    // True when bytes start with the SQLite file header.
    static bool isSqliteHeader(const QByteArray& head);
};

// True when bytes start with a Jet / ACE (Access) file header.
bool IsJetHeader(const QByteArray& head);

// Registers the JETNOCASE collation and the Jet MATCH function on db.
void RegisterJetFunctions(sqlite3* db);

} // namespace vt::db
