#include "InitWorkspace.h"

#include "Workspace.h"
#include "platform/AppPath.h"
#include "platform/Error.h"
#include "platform/Settings.h"

namespace vt {

void InitWorkspace(Workspace& ws, const QString& file, const AttachDatabaseFn& attach)
{
    LoadWorkspace(ws, file, attach);
    if (ws.objectCount() > 0 || !attach)
        return;

    try {
        attach(AppFilePath(QStringLiteral("Documents/Default.mdb")), false, QString(), false);
    } catch (const VtError&) {
        return;
    }
    if (ws.roots().empty())
        return;
    Node* db = ws.roots().back().get();
    if (!db->is(kind::Database()) || db->children.empty())
        return;
    Node* tableNode = db->children.front().get();
    VTTable* table = tableNode->as<VTTable>();
    if (!table)
        return;

    auto list = std::make_unique<VTMailList>();
    list->AddDefaultFilter(table->EMailField);
    Node* listNode =
        ws.addKindNode(tableNode, kind::MailList(), ws.UniqueNodeName(kind::MailList(), tableNode), std::move(list));

    auto msg = std::make_unique<VTMessage>();
    msg->From = GetSetting(QStringLiteral("Internet Mail"), QStringLiteral("Name"), QString());
    msg->ToHdr = '[' + table->EMailField + ']';
    ws.addKindNode(listNode, kind::Message(), ws.UniqueNodeName(kind::Message(), listNode), std::move(msg));
}

} // namespace vt
