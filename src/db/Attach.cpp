#include "Attach.h"

#include "db/engine/Recordset.h"
#include "platform/Wildcard.h"
#include "workspace/Workspace.h"

namespace vt {

db::DatabasePtr OpenDB(const VTDatabase& db, const QString& databaseName)
{
    CloseAllDatabases();
    db::Engine().setDefaultType(db.ODBC ? db::dbUseODBC : db::dbUseJet);
    return db::Engine().OpenDatabase(databaseName, 0, db.ReadOnly, db.Connect);
}

void CloseAllDatabases() { db::Engine().CloseAll(); }

QString FindEMailField(const std::vector<db::FieldInfo>* fields)
{
    QString found;
    if (!fields)
        return found;
    for (const db::FieldInfo& f : *fields)
        if (f.type == db::dbText && WildcardMatch(f.name, QStringLiteral("*[Ee]*[Mm][Aa][Ii][Ll]*")))
            found = f.name;
    return found;
}

QString FindEMailField(const db::FieldList* fields)
{
    if (!fields)
        return {};
    const auto infos = fields->infos();
    return FindEMailField(&infos);
}

QString FindEMailField(const db::TableDef* table)
{
    if (!table)
        return {};
    std::vector<db::FieldInfo> infos;
    for (const auto& f : table->Fields())
        infos.push_back(f->info());
    return FindEMailField(&infos);
}

void AddVTDatabase(Workspace& ws, const QString& name, bool readOnly, const QString& connect, bool odbc)
{
    auto obj = std::make_unique<VTDatabase>();
    obj->ODBC = odbc;
    obj->Connect = connect;
    obj->ReadOnly = readOnly;
    db::DatabasePtr db = OpenDB(*obj, name);
    if (!db)
        return;
    obj->ReadOnly = readOnly || !db->Updatable();

    // Read everything first, so that a failure leaves the tree untouched.
    struct Item {
        QString name;
        QString email;
        bool query;
    };
    std::vector<Item> items;
    for (const auto& t : db->TableDefs()) {
        if (t->Attributes() & long(0x80000003))
            continue;
        items.push_back({t->Name(), FindEMailField(t.get()), false});
    }
    for (const db::QueryDef& q : db->QueryDefs())
        items.push_back({q.Name, FindEMailField(&q.Fields), true});
    const QString shown = db->Name();
    db->Close();

    Node* dbNode = ws.addKindNode(nullptr, kind::Database(), shown, std::move(obj));
    ws.setSelectedNode(dbNode);
    for (const Item& it : items) {
        auto t = std::make_unique<VTTable>();
        t->EMailField = it.email;
        t->SelectStatement = "SELECT * FROM [" + it.name + "]";
        t->IsQuery = it.query;
        ws.addKindNode(dbNode, it.query ? kind::Query() : kind::Table(), it.name, std::move(t));
    }
    if (!dbNode->children.empty())
        ws.setSelectedNode(dbNode->children.front().get());
}

AttachDatabaseFn MakeAttachRoutine(Workspace& ws)
{
    return [&ws](const QString& name, bool readOnly, const QString& connect, bool odbc) {
        AddVTDatabase(ws, name, readOnly, connect, odbc);
    };
}

} // namespace vt
