#include "../common/TestMain.h"
#include "../common/TestUtil.h"
#include "SmtpTestServer.h"

#include "db/Attach.h"
#include "platform/AppPath.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "send/Generate.h"
#include "send/OutboxFile.h"
#include "send/frmSendSMTP.h"
#include "workspace/InitWorkspace.h"
#include "workspace/Workspace.h"

#include <QJsonArray>
#include <QTest>
#include <QTimer>
#include <sqlite3.h>

using namespace vt;

namespace {
bool makeDb(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

// A workspace over one table with a list (row "Age > 0") and a message under
// it, the message selected.
struct Fixture {
    vttest::ProgramDir dir{false};
    Workspace ws;
    VTMessage* msg = nullptr;
    VTMailList* list = nullptr;
    VTTable* table = nullptr;
    explicit Fixture(const QString& sql)
    {
        SaveSetting("Internet Mail", "EMail", "Sales Office <sales@example.org>");
        const QString path = dir.file("people.db");
        QVERIFY(makeDb(path, sql));
        AddVTDatabase(ws, path, false, "", false);
        Node* t = ws.roots().back()->children.front().get();
        table = t->as<VTTable>();
        auto ml = std::make_unique<VTMailList>();
        list = ml.get();
        VTFilter f;
        f.PrevOp = "Or";
        f.FieldName = "Age";
        f.FieldType = 4;
        f.Relation = "Greater than";
        f.Value = "0";
        list->Filters.push_back(f);
        Node* ln = ws.addKindNode(t, kind::MailList(), "MailList1", std::move(ml));
        auto m = std::make_unique<VTMessage>();
        msg = m.get();
        msg->From = "Sales [FirstName]";
        msg->ToHdr = "[FirstName]";
        msg->Subject = "Hello [firstname]";
        msg->Message = "Dear [FirstName],\r\n.dot line\r\nBye";
        ws.setSelectedNode(ws.addKindNode(ln, kind::Message(), "Message1", std::move(m)));
    }
    // Generates only (no sending) and returns the error log.
    QString generate()
    {
        QString log;
        frmSendSMTP::setErrorLogShower([&](const QString& l) { log = l; });
        {
            frmSendSMTP w;
            w.session().bCreateMessages = true;
            w.session().createMessages = [&] { CreateMessages(ws, w); };
            QTimer::singleShot(60000, &w, [&w] { w.close(); });
            w.run();
        }
        frmSendSMTP::setErrorLogShower({});
        return log;
    }
    QStringList files() const { return ListOutboxFiles(AppFilePath("Outbox")); }
};

QString people(int n, const QList<int>& nullAt)
{
    QString sql = "CREATE TABLE People (ID INTEGER PRIMARY KEY, FirstName TEXT(50), EMail TEXT(100), Age INTEGER);";
    for (int i = 1; i <= n; ++i) {
        const QString mail = nullAt.contains(i) ? "NULL" : QStringLiteral("'p%1@example.com'").arg(i);
        sql += QStringLiteral("INSERT INTO People VALUES (%1, 'P%1', %2, 30);").arg(i).arg(mail);
    }
    return sql;
}
} // namespace

class GenerateTest : public QObject {
    Q_OBJECT
private slots:
    void oneFilePerMemberWithAddress()
    {
        Fixture f(people(120, {5, 60, 120}));
        SaveSetting("General", "BCC", "Boss <boss@example.org>");
        ScriptedPrompt sp;
        const QString log = f.generate();
        QVERIFY(sp.asked().empty());
        QCOMPARE(f.files().size(), 117);
        QCOMPARE(log, QString("Record 5 of 120 : The EMail field is empty\r\n"
                              "Record 60 of 120 : The EMail field is empty\r\n"
                              "Record 120 of 120 : The EMail field is empty\r\n"));
        // One file, read back: envelope with the Bcc, merged fields, From as typed.
        QString text;
        for (const QString& file : f.files()) {
            text = QString::fromUtf8(vttest::readAll(file));
            if (text.contains("RCPT TO: <p1@example.com>"))
                break;
        }
        QVERIFY(text.startsWith("MAIL FROM: <sales@example.org>\r\nRCPT TO: <p1@example.com>\r\n"
                                "RCPT TO: <boss@example.org>\r\nDATA\r\nTo: \"P1\"<p1@example.com>\r\n"
                                "From: \"Sales [FirstName]\"<sales@example.org>\r\n"));
        QVERIFY(text.contains("\r\nSubject: Hello P1\r\n"));
        QVERIFY(text.endsWith("\r\n\r\nDear P1,\r\n..dot line\r\nBye\r\n.\r\n"));
        QCOMPARE(text.count("boss@example.org"), 1);
    }

    void displayNameAddressStripped()
    {
        Fixture f("CREATE TABLE People (FirstName TEXT(50), EMail TEXT(100), Age INTEGER);"
                  "INSERT INTO People VALUES ('Ann', 'Ann Smith <ann@example.com>', 30);"
                  "INSERT INTO People VALUES ('Eve', '', 30);");
        ScriptedPrompt sp;
        f.generate();
        QStringList all;
        for (const QString& file : f.files())
            all << QString::fromUtf8(vttest::readAll(file));
        QCOMPARE(all.size(), 2); // an empty text (not null) still gets a file
        QCOMPARE(all.filter("RCPT TO: <ann@example.com>\r\n").size(), 1);
        QCOMPARE(all.filter("To: \"Ann\"<ann@example.com>\r\n").size(), 1);
        QCOMPARE(all.filter("RCPT TO: <>\r\n").size(), 1);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing placeholder") << "body" << "The field, Missing, does not exist in the database.";
        QTest::newRow("no e-mail field") << "nofield" << "The EMail field was not defined in the table.";
        QTest::newRow("no criteria") << "nocriteria" << "The mail list does not contain any recepients.";
        QTest::newRow("no members") << "nomembers" << "The mail list does not contain any recepients.";
        QTest::newRow("e-mail field gone") << "wrongfield"
                                           << "The Email Address field, Mail, does not exist in the database.";
    }
    void refusals()
    {
        QFETCH(QString, change);
        QFETCH(QString, message);
        Fixture f(people(3, {}));
        if (change == "body")
            f.msg->Message = "Hi [Missing]";
        else if (change == "nofield")
            f.table->EMailField.clear();
        else if (change == "nocriteria")
            f.list->Filters.clear();
        else if (change == "nomembers")
            f.list->Filters[0].Value = "100";
        else if (change == "wrongfield")
            f.table->EMailField = "Mail";
        ScriptedPrompt sp;
        sp.answer(Prompt::Answer::Ok);
        f.generate();
        QCOMPARE(sp.texts(), QStringList{message});
        QVERIFY(f.files().isEmpty());
    }

    void roadOfOneMessage()
    {
        // The default workspace on the shipped database, sent for real.
        SmtpTestServer server;
        vttest::ProgramDir dir(true);
        SaveSetting("Internet Mail", "Name", "Sales Office");
        SaveSetting("Internet Mail", "EMail", "sales@example.org");
        SaveSetting("Internet Mail", "RemoteHost", server.remoteHost());
        Workspace ws;
        InitWorkspace(ws, AppFilePath("Veltrana.vtd"), MakeAttachRoutine(ws));
        Node* msgNode = ws.roots().at(1)->children.at(0)->children.at(0)->children.at(0).get();
        VTMessage* msg = msgNode->as<VTMessage>();
        QVERIFY(msg);
        msg->Subject = "News for [FirstName]";
        msg->Message = "Dear [FirstName] [LastName],\r\nsee you in [City].";
        ws.setSelectedNode(msgNode);
        ScriptedPrompt sp;
        {
            frmSendSMTP w;
            w.session().bCreateMessages = true;
            w.session().bSendMessages = true;
            w.session().createMessages = [&] { CreateMessages(ws, w); };
            frmSendSMTP::setErrorLogShower([](const QString&) {});
            QTimer::singleShot(60000, &w, [&w] { w.close(); });
            w.run();
        }
        frmSendSMTP::setErrorLogShower({});
        const auto received = server.messages();
        QVERIFY(received.size() > 30);
        bool foundAda = false;
        for (const auto& m : received) {
            QCOMPARE(m["headers"].toObject()["From"].toString(), QString("Sales Office <sales@example.org>"));
            if (m["rcpt_tos"].toArray()[0].toString() == "ada.albers@example.com") {
                foundAda = true;
                QCOMPARE(m["headers"].toObject()["Subject"].toString(), QString("News for Ada"));
                QCOMPARE(m["body"].toString(), QString("Dear Ada Albers,\r\nsee you in Bergen.\r\n"));
            }
        }
        QVERIFY(foundAda);
        QVERIFY(ListOutboxFiles(AppFilePath("Outbox")).isEmpty());
    }
};

VT_TEST(GenerateTest)
#include "GenerateTest.moc"
