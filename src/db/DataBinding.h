#pragma once
// Binding the table pane's record-source control, the two permission tests and
// the record position caption.
#include "db/engine/Recordset.h"
#include "workspace/DataObjects.h"

#include <QString>

namespace vt {

class DataControl;
class Workspace;
struct Node;

// Binds dat to the database of pDBNode with recordSource as a dynaset: closes
// all open databases, detaches the control's record set, sets the control's
// database name (the node's text), connect string, read-only flag and engine
// type from the node's VTDatabase, re-opens it and sets its caption to
// "Record n of m". Failures of the re-open and of the caption are swallowed
// (the pane stays empty). Without a VTDatabase for the node nothing changes
// and false is returned; otherwise *boundDatabaseName (when given) becomes
// the node's text and true is returned.
bool UpdateDataControl(Workspace& ws, DataControl& dat, const Node* pDBNode, const QString& recordSource,
                       QString* boundDatabaseName = nullptr);

// May the table's design change: a writable, non-ODBC database, a table (not a
// query) and an updatable record set.
bool CanEditTable(const VTDatabase* pDB, const VTTable* pTable, const db::Recordset* rs);
// May rows be added, changed or deleted: a writable database and an updatable
// record set.
bool CanEditRecords(const VTDatabase* pDB, const db::Recordset* rs);

// label + " " + (AbsolutePosition + 1) + " of " + RecordCount ("Record 3 of
// 25"); empty when rs is missing or the engine fails.
QString RecordPositionText(const QString& label, const db::Recordset* rs);

} // namespace vt
