#include "Generate.h"

#include "MimeText.h"
#include "OutboxFile.h"
#include "db/DataBinding.h"
#include "db/DataControl.h"
#include "frmSendSMTP.h"
#include "lists/Criteria.h"
#include "messages/MailMerge.h"
#include "messages/RecordsetRecord.h"
#include "platform/AppPath.h"
#include "platform/Error.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "settings/MailSettings.h"
#include "texts/ResText.h"
#include "workspace/Workspace.h"

namespace vt {
namespace {
void message(const QString& text)
{
    Prompt::Box b;
    b.text = text;
    prompt().message(b);
}
} // namespace

void CreateMessages(const Workspace& ws, frmSendSMTP& win)
{
    const Node* n = ws.selectedNode();
    if (!n || !n->is(kind::Message()))
        return;
    const Node* dbNode = Workspace::ancestor(const_cast<Node*>(n), 3);
    const VTMessage* msg = n->as<VTMessage>();
    const VTMailList* list = ws.selected<VTMailList>(1);
    const VTTable* table = ws.selected<VTTable>(2);
    const VTDatabase* db = dbNode ? dbNode->as<VTDatabase>() : nullptr;
    if (!msg || !list || !table || !db)
        return;
    if (table->EMailField.isEmpty()) {
        message(ResText(1103));
        win.session().requestClose();
        return;
    }
    GenerateOutboxFiles(win, dbNode->text, *list, *db, *table, *msg);
}

void GenerateOutboxFiles(frmSendSMTP& win, const QString& databaseName, const VTMailList& list,
                         const VTDatabase& db, const VTTable& table, const VTMessage& msg)
{
    SmtpSession& session = win.session();
    const QString criteria = GetCriteria(list, table.EMailField);
    if (criteria.isEmpty()) {
        message(ResText(1104));
        session.requestClose();
        return;
    }
    try {
        DataControl& dat = *win.datSendMail;
        dat.setDatabaseName(databaseName);
        dat.setConnect(db.Connect);
        dat.setReadOnly(true);
        dat.setExclusive(false);
        dat.setRecordsetType(db::dbOpenDynaset);
        dat.setRecordSource(table.SelectStatement + QStringLiteral(" WHERE ") + criteria + ';');
        dat.setDefaultType(db.ODBC ? db::dbUseODBC : db::dbUseJet);
        dat.Refresh();
        db::RecordsetPtr rs = dat.Recordset();
        // No member rows: the same report as an empty list, not the engine's
        // "No current record." from moving in an empty set.
        if (!rs || rs->RecordCount() < 1) {
            message(ResText(1104));
            session.requestClose();
            return;
        }
        rs->MoveLast();
        rs->MoveFirst();

        RecordsetRecord row(*rs);
        const QString to = msg.ToHdr.value_or(QString());
        const QString subject = msg.Subject.value_or(QString());
        const QString body = msg.Message.value_or(QString());
        if (!CheckFields(to, row, table.EMailField) || !CheckFields(subject, row, table.EMailField) ||
            !CheckFields(body, row, table.EMailField)) {
            session.requestClose();
            return;
        }

        const QString sender = session.sender();
        const QString bcc = StripAngleAddress(GetSetting(mail::General, mail::BCC));
        const QDateTime now = QDateTime::currentDateTime();
        OutboxWriter writer(AppFilePath(QStringLiteral("Outbox")));
        const db::Field& email = rs->Fields(table.EMailField);
        while (!rs->EOF_()) {
            session.setLabel(RecordPositionText(ResText(1154), rs.get()), true);
            const QVariant address = email.Value();
            if (address.isNull()) {
                session.appendLog(RecordPositionText(ResText(1126), rs.get()) + QStringLiteral(" : ") +
                                  ResText(1152) + QStringLiteral("\r\n"));
            } else {
                OutboxMessage m;
                m.sender = sender;
                m.recipient = StripAngleAddress(ValueText(address));
                m.bcc = bcc;
                m.toText = MergeFields(to, row);
                m.fromText = msg.From.value_or(QString());
                m.subject = MergeFields(subject, row);
                m.body = MergeFields(body, row);
                m.date = now;
                m.messageId = NewMessageId(sender);
                writer.write(OutboxFileText(m));
            }
            rs->MoveNext();
        }
        writer.sync();
    } catch (const VtError& e) {
        // Files written before the failure stay in the Outbox.
        ShowError(e);
        session.requestClose();
    }
}

} // namespace vt
