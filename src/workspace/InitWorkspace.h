#pragma once
#include "WorkspaceFile.h"

namespace vt {

class Workspace;

// Loads file into ws; when that leaves the object map empty, builds the
// default workspace on Documents/Default.mdb: the database, under its first
// table or query a mail list with the default filter row, and under that a
// message addressed to the table's e-mail column. Failures while building the
// default workspace end it silently, keeping what was made.
void InitWorkspace(Workspace& ws, const QString& file, const AttachDatabaseFn& attach);

} // namespace vt
