#pragma once
// Attaching a database to the workspace: the database node with one node per
// user table and stored query, each with a VTTable that knows its e-mail field
// and the statement that shows all its rows; and the helpers around it.
#include "db/engine/Engine.h"
#include "workspace/DataObjects.h"
#include "workspace/WorkspaceFile.h"

#include <vector>

namespace vt::db {
class FieldList;
}

namespace vt {

class Workspace;

// Closes every other open database, then opens name with db's ODBC, ReadOnly
// and Connect settings (engine type ODBC when ODBC is set, else Jet). Throws
// VtError with the engine's message. The handle closes when released.
db::DatabasePtr OpenDB(const VTDatabase& db, const QString& databaseName);

// Attaches one database: opens it (OpenDB), adds its Database node at root
// level (text: the name the engine reports) and selects it, then one Table
// node per table that is neither system nor hidden and one Query node per
// stored query, in the database's order, and selects the first of them when
// there is one. ReadOnly is set when asked for or when the engine reports the
// database not updatable. Throws VtError when it cannot be opened; nothing is
// attached then.
void AddVTDatabase(Workspace& ws, const QString& name, bool readOnly, const QString& connect, bool odbc);

// The attach routine for LoadWorkspace / InitWorkspace: AddVTDatabase on ws.
AttachDatabaseFn MakeAttachRoutine(Workspace& ws);

// The e-mail field of a field collection: the last text field (type 10) whose
// whole name matches "*[Ee]*[Mm][Aa][Ii][Ll]*"; empty when none or when there
// is no collection.
QString FindEMailField(const std::vector<db::FieldInfo>* fields);
QString FindEMailField(const db::FieldList* fields);
QString FindEMailField(const db::TableDef* table);

// Closes every database open in the engine's default workspace.
void CloseAllDatabases();

} // namespace vt
