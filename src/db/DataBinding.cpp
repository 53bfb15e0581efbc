#include "DataBinding.h"

#include "Attach.h"
#include "DataControl.h"
#include "platform/Error.h"
#include "texts/ResText.h"
#include "workspace/Workspace.h"

namespace vt {

bool UpdateDataControl(Workspace& ws, DataControl& dat, const Node* pDBNode, const QString& recordSource,
                       QString* boundDatabaseName)
{
    if (!pDBNode)
        return false;
    const auto* pDB = dynamic_cast<const VTDatabase*>(ws.object(pDBNode->key));
    if (!pDB)
        return false;
    CloseAllDatabases();
    dat.setRecordset(nullptr);
    dat.setDatabaseName(pDBNode->text);
    dat.setConnect(pDB->Connect);
    dat.setReadOnly(pDB->ReadOnly);
    dat.setRecordsetType(db::dbOpenDynaset);
    dat.setRecordSource(recordSource);
    dat.setDefaultType(pDB->ODBC ? db::dbUseODBC : db::dbUseJet);
    dat.setExclusive(false);
    try {
        dat.Refresh();
    } catch (const VtError&) {
        // The pane stays empty.
    }
    try {
        dat.setCaption(RecordPositionText(ResText(1126), dat.Recordset().get()));
    } catch (const VtError&) {
    }
    if (boundDatabaseName)
        *boundDatabaseName = pDBNode->text;
    return true;
}

bool CanEditTable(const VTDatabase* pDB, const VTTable* pTable, const db::Recordset* rs)
{
    if (!pDB || pDB->ReadOnly || pDB->ODBC || !pTable || pTable->IsQuery || !rs)
        return false;
    return rs->Updatable();
}

bool CanEditRecords(const VTDatabase* pDB, const db::Recordset* rs)
{
    if (!pDB || pDB->ReadOnly || !rs)
        return false;
    return rs->Updatable();
}

QString RecordPositionText(const QString& label, const db::Recordset* rs)
{
    if (!rs || !rs->isOpen())
        return {};
    try {
        return label + ' ' + QString::number(rs->AbsolutePosition() + 1) + ' ' + ResText(1127) + ' '
            + QString::number(rs->RecordCount());
    } catch (const VtError&) {
        return {};
    }
}

} // namespace vt
