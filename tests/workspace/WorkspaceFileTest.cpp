#include "../common/TestMain.h"
#include "../common/TestUtil.h"
#include "WorkspaceTestUtil.h"

#include "platform/ProfileFile.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "workspace/InitWorkspace.h"

#include <QTest>

using namespace vt;

namespace {
const char kExample[] =
    "[General]\r\nVersion=1.1\r\n"
    "[Databases\\1]\r\nName=C:\\Data\\Contacts.mdb\r\nConnect=\r\nReadOnly=False\r\nODBC=False\r\n"
    "[Databases\\1\\Tables\\1]\r\nName=People\r\nEMailField=EMail\r\nIsQuery=False\r\n"
    "[Databases\\1\\Tables\\1\\MailLists\\1]\r\nName=MailList1\r\n"
    "[Databases\\1\\Tables\\1\\MailLists\\1\\Inclusions]\r\nCount=0\r\n"
    "[Databases\\1\\Tables\\1\\MailLists\\1\\Exclusions]\r\nCount=0\r\n"
    "[Databases\\1\\Tables\\1\\MailLists\\1\\Filters\\1]\r\nPrevOp=Or\r\nFieldName=EMail\r\nFieldType=10\r\n"
    "Relation=Is Not Empty\r\n"
    "[Databases\\1\\Tables\\1\\MailLists\\1\\Filters]\r\nCount=1\r\n"
    "[Databases\\1\\Tables\\1\\MailLists\\1\\Messages\\1]\r\nName=Message1\r\nFrom=Sales Office\r\nTo=[EMail]\r\n"
    "Subject=News\r\nMessage1=Dear [Name],..CrLf..\r\nMessage2=see you soon.\r\nLines=2\r\n"
    "[Databases\\1\\Tables\\1\\MailLists\\1\\Messages\\1\\Attachments]\r\nCount=0\r\n"
    "[Databases\\1\\Tables\\1\\MailLists\\1\\Messages]\r\nCount=1\r\n"
    "[Databases\\1\\Tables\\1\\MailLists]\r\nCount=1\r\n"
    "[Databases\\1\\Tables]\r\nCount=1\r\n"
    "[Databases\\1\\Queries]\r\nCount=0\r\n"
    "[Databases]\r\nCount=1\r\n";

// A workspace with one database, table and mail list holding one message.
struct OneMessage {
    Workspace ws;
    FakeDatabases dbs;
    VTMessage* msg = nullptr;
    VTMailList* list = nullptr;
    OneMessage()
    {
        dbs.tables["/data/c.db"] = {"People"};
        dbs.routine(ws)("/data/c.db", false, "", false);
        Node* table = ws.roots().back()->children.front().get();
        auto ml = std::make_unique<VTMailList>();
        list = ml.get();
        Node* ln = ws.addKindNode(table, kind::MailList(), "MailList1", std::move(ml));
        auto m = std::make_unique<VTMessage>();
        msg = m.get();
        ws.addKindNode(ln, kind::Message(), "Message1", std::move(m));
    }
    // Saves, loads into a fresh workspace and returns the message found there.
    const VTMessage* roundTrip(Workspace& out, ProfileFile* written = nullptr)
    {
        ProfileFile p;
        WriteWorkspace(ws, p);
        if (written)
            *written = p;
        ProfileFile in;
        in.parse(p.toBytes());
        ReadWorkspace(out, in, dbs.routine(out));
        return out.roots().back()->children.front()->children.front()->children.front()->as<VTMessage>();
    }
};
} // namespace

class WorkspaceFileTest : public QObject {
    Q_OBJECT
private slots:
    void exampleLoadsAndSavesToSameBytes()
    {
        vttest::ProgramDir dir;
        QVERIFY(vttest::writeAll(dir.file("Veltrana.vtd"), kExample));
        Workspace ws;
        FakeDatabases dbs;
        dbs.tables["C:\\Data\\Contacts.mdb"] = {"People"};
        LoadWorkspace(ws, dir.file("Veltrana.vtd"), dbs.routine(ws));

        QCOMPARE(int(ws.roots().size()), 2);
        QCOMPARE(ws.roots()[0]->tag, QString("Outbox"));
        Node* list = ws.roots()[1]->children[0]->children[0].get();
        QCOMPARE(list->text, QString("MailList1"));
        const VTMailList* ml = list->as<VTMailList>();
        QCOMPARE(int(ml->Filters.size()), 1);
        QVERIFY(!ml->Filters[0].Value.has_value()); // never set, and kept so
        const VTMessage* m = list->children[0]->as<VTMessage>();
        QCOMPARE(*m->Message, QString("Dear [Name],\r\nsee you soon."));

        QVERIFY(SaveWorkspace(ws, dir.file("again.vtd")));
        QCOMPARE(vttest::readAll(dir.file("again.vtd")), QByteArray(kExample));
    }

    void bodyRoundTrip_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("readBack");
        const QString l128(128, 'a'), l129 = QString(128, 'a') + 'b';
        QTest::newRow("128 one piece") << l128 << QStringList{l128} << l128;
        QTest::newRow("129 two pieces") << l129 << QStringList{l128, "b"} << l129;
        QTest::newRow("two lines") << "x\r\ny" << QStringList{"x..CrLf..", "y"} << "x\r\ny";
        QTest::newRow("trailing CRLF lost")
            << "x\r\n\r\n" << QStringList{"x..CrLf..", ""} << "x\r\n";
        QTest::newRow("empty line inside")
            << "x\r\n\r\ny" << QStringList{"x..CrLf..", "..CrLf..", "y"} << "x\r\n\r\ny";
        QTest::newRow("leading blanks lost") << "  x" << QStringList{"  x"} << "x";
        QTest::newRow("trailing blanks of last line lost") << "x  " << QStringList{"x  "} << "x";
        QTest::newRow("trailing blanks before marker kept")
            << "x  \r\ny" << QStringList{"x  ..CrLf..", "y"} << "x  \r\ny";
        QTest::newRow("blanks at 128 cut lost")
            << QString(127, 'a') + "  b" << QStringList{QString(127, 'a') + " ", " b"}
            << QString(127, 'a') + "b";
        QTest::newRow("quoted line loses quotes") << "\"Hi\"" << QStringList{"\"Hi\""} << "Hi";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Grüße\r\nZoë") << QStringList{QString::fromUtf8("Grüße..CrLf.."), QString::fromUtf8("Zoë")}
                                   << QString::fromUtf8("Grüße\r\nZoë");
        QTest::newRow("empty body") << "" << QStringList{} << "";
    }
    void bodyRoundTrip()
    {
        QFETCH(QString, body);
        QFETCH(QStringList, pieces);
        QFETCH(QString, readBack);
        QCOMPARE(SplitMessageBody(body), pieces);
        OneMessage one;
        one.msg->Message = body;
        Workspace out;
        ProfileFile written;
        const VTMessage* m = one.roundTrip(out, &written);
        const QString s = "Databases\\1\\Tables\\1\\MailLists\\1\\Messages\\1";
        QCOMPARE(written.read(s, "Lines"), QString::number(pieces.size()));
        QCOMPARE(m->Message.value_or(QString()), readBack);
    }

    void version10JoinsWithLineBreaks()
    {
        QCOMPARE(JoinMessageBody({"x", "y"}, "1.0"), QString("x\r\ny"));
        QCOMPARE(JoinMessageBody({"x", "y"}, "1.1"), QString("xy"));
        QCOMPARE(JoinMessageBody({"x..CrLf..", "y"}, "1.1"), QString("x\r\ny"));
        // A file without a version is a 1.0 file.
        QByteArray file(kExample);
        file.replace("[General]\r\nVersion=1.1\r\n", "");
        file.replace("Message1=Dear [Name],..CrLf..", "Message1=Dear [Name],");
        Workspace ws;
        FakeDatabases dbs;
        dbs.tables["C:\\Data\\Contacts.mdb"] = {"People"};
        ProfileFile in;
        in.parse(file);
        ReadWorkspace(ws, in, dbs.routine(ws));
        const VTMessage* m = ws.roots()[1]->children[0]->children[0]->children[0]->as<VTMessage>();
        QCOMPARE(*m->Message, QString("Dear [Name],\r\nsee you soon."));
    }

    void textFieldsRoundTrip()
    {
        OneMessage one;
        one.msg->From = "\"Sales\" ";
        one.msg->ToHdr = "[EMail]";
        one.msg->Subject = QString(300, 's');
        one.list->AddInclusion("ann@example.com");
        one.list->AddExclusion("zed@example.com");
        VTFilter f;
        f.PrevOp = "And";
        f.FieldName = "Age";
        f.FieldType = 4;
        f.Relation = "Greater than";
        f.Value = "";
        one.list->Filters.push_back(f);
        Workspace out;
        ProfileFile written;
        const VTMessage* m = one.roundTrip(out, &written);
        QCOMPARE(*m->From, QString("Sales"));
        QCOMPARE(*m->Subject, QString(254, 's'));
        QVERIFY(!m->Message.has_value());
        const VTMailList* ml = out.roots().back()->children[0]->children[0]->as<VTMailList>();
        QVERIFY(ml->IsInclusion("ANN@example.com"));
        QVERIFY(ml->IsExclusion("zed@example.com"));
        QCOMPARE(ml->Filters[0].Value.value_or("unset"), QString()); // set to empty: "Value="
        QCOMPARE(written.read("Databases\\1\\Tables\\1\\MailLists\\1\\Filters\\1", "Value", "absent"), QString());
    }

    void sameIndividualIncludedAndExcludedEndsExcluded()
    {
        QByteArray file(kExample);
        file.replace("[Databases\\1\\Tables\\1\\MailLists\\1\\Inclusions]\r\nCount=0\r\n",
                     "[Databases\\1\\Tables\\1\\MailLists\\1\\Inclusions\\1]\r\nName=Ann@x\r\n"
                     "[Databases\\1\\Tables\\1\\MailLists\\1\\Inclusions]\r\nCount=1\r\n");
        file.replace("[Databases\\1\\Tables\\1\\MailLists\\1\\Exclusions]\r\nCount=0\r\n",
                     "[Databases\\1\\Tables\\1\\MailLists\\1\\Exclusions\\1]\r\nName=ann@x\r\n"
                     "[Databases\\1\\Tables\\1\\MailLists\\1\\Exclusions]\r\nCount=1\r\n");
        Workspace ws;
        FakeDatabases dbs;
        dbs.tables["C:\\Data\\Contacts.mdb"] = {"People"};
        ProfileFile in;
        in.parse(file);
        ReadWorkspace(ws, in, dbs.routine(ws));
        const VTMailList* ml = ws.roots()[1]->children[0]->children[0]->as<VTMailList>();
        QVERIFY(!ml->IsInclusion("ann@x"));
        QVERIFY(ml->IsExclusion("ann@x"));
    }

    void missingDatabaseReportedAndLeftOut()
    {
        QByteArray file(kExample);
        file.replace("[Databases]\r\nCount=1", "[Databases\\2]\r\nName=/data/other.db\r\n[Databases]\r\nCount=2");
        Workspace ws;
        FakeDatabases dbs;
        dbs.tables["/data/other.db"] = {"Friends"};
        ScriptedPrompt sp;
        sp.answer(Prompt::Answer::Ok);
        ProfileFile in;
        in.parse(file);
        ReadWorkspace(ws, in, dbs.routine(ws));
        QCOMPARE(sp.texts(), QStringList{"Could not find file 'C:\\Data\\Contacts.mdb'."});
        QCOMPARE(int(ws.roots().size()), 2);
        QCOMPARE(ws.roots()[1]->text, QString("/data/other.db"));
        QVERIFY(ws.roots()[1]->children[0]->children.empty());
    }

    void tableNoLongerInDatabaseLeftOut()
    {
        Workspace ws;
        FakeDatabases dbs;
        dbs.tables["C:\\Data\\Contacts.mdb"] = {"Customers"};
        ProfileFile in;
        in.parse(kExample);
        ReadWorkspace(ws, in, dbs.routine(ws));
        QCOMPARE(ws.objectCount(), 2); // database and its one table, no lists
        ProfileFile out;
        WriteWorkspace(ws, out);
        QVERIFY(!out.toBytes().contains("People"));
    }

    void garbageLoadsWhatItCan_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("nodes");
        QByteArray ex(kExample);
        auto with = [&](const char* from, const char* to) {
            QByteArray f = ex;
            f.replace(from, to);
            return f;
        };
        // The example gives 5 nodes: Outbox, database, table, list, message.
        QTest::newRow("as written") << ex << 5;
        QTest::newRow("count not a number") << with("[Databases]\r\nCount=1", "[Databases]\r\nCount=one") << 1;
        QTest::newRow("huge database count")
            << with("[Databases]\r\nCount=1", "[Databases]\r\nCount=2000000000") << 5;
        QTest::newRow("huge list count")
            << with("MailLists]\r\nCount=1", "MailLists]\r\nCount=2000000000") << 5;
        QTest::newRow("huge lines") << with("Lines=2", "Lines=2000000000") << 5;
        QTest::newRow("lines not a number") << with("Lines=2", "Lines=x") << 5;
        QTest::newRow("negative count") << with("Messages]\r\nCount=1", "Messages]\r\nCount=-3") << 4;
        QTest::newRow("field type not a number") << with("FieldType=10", "FieldType=ten") << 5;
        QTest::newRow("flag neither word") << with("ReadOnly=False", "ReadOnly=Perhaps") << 5;
        QTest::newRow("far position only")
            << with("[Databases]\r\nCount=1", "[Databases\\1999999999]\r\nName=x\r\n[Databases]\r\nCount=2000000000")
            << 5;
        QTest::newRow("binary bytes") << QByteArray("\x00\xff\xfe[\x01\x02]\r\n=\x80\x81\r\n[Databases]\r\nCount=7\x00", 30)
                                      << 1;
        QTest::newRow("empty file") << QByteArray() << 1;
    }
    void garbageLoadsWhatItCan()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, nodes);
        Workspace ws;
        FakeDatabases dbs;
        dbs.tables["C:\\Data\\Contacts.mdb"] = {"People"};
        ScriptedPrompt sp; // any report is recorded, none is expected to block
        ProfileFile in;
        in.parse(file);
        ReadWorkspace(ws, in, dbs.routine(ws));
        QCOMPARE(ws.nodeCount(), nodes);
        QVERIFY(sp.asked().size() <= 1);
    }

    void defaultWorkspace()
    {
        vttest::ProgramDir dir;
        SaveSetting("Internet Mail", "Name", "Sales Office");
        Workspace ws;
        FakeDatabases dbs;
        dbs.tables[dir.file("Documents/Default.mdb")] = {"Contacts", "Other"};
        InitWorkspace(ws, dir.file("Veltrana.vtd"), dbs.routine(ws));
        QCOMPARE(int(ws.roots().size()), 2);
        Node* table = ws.roots()[1]->children[0].get();
        QCOMPARE(table->text, QString("Contacts"));
        Node* list = table->children.at(0).get();
        QCOMPARE(list->text, QString("MailList1"));
        QVERIFY(list->expanded);
        const VTMailList* ml = list->as<VTMailList>();
        QCOMPARE(int(ml->Filters.size()), 1);
        QCOMPARE(ml->Filters[0].Relation, QString("Is Not Empty"));
        QCOMPARE(ml->Filters[0].PrevOp, QString("Or"));
        QCOMPARE(ml->Filters[0].FieldName, QString("EMail"));
        QCOMPARE(int(ml->Filters[0].FieldType), 10);
        Node* msg = list->children.at(0).get();
        QCOMPARE(msg->text, QString("Message1"));
        QCOMPARE(*msg->as<VTMessage>()->ToHdr, QString("[EMail]"));
        QCOMPARE(*msg->as<VTMessage>()->From, QString("Sales Office"));
        QVERIFY(!msg->as<VTMessage>()->Subject.has_value());
        QVERIFY(!QFile::exists(dir.file("Veltrana.vtd"))); // not written until saved

        // The default filter setting off: the list gets no row.
        SaveSetting("General", "DefaultFilter", "False");
        Workspace ws2;
        InitWorkspace(ws2, dir.file("Veltrana.vtd"), dbs.routine(ws2));
        QVERIFY(ws2.roots()[1]->children[0]->children[0]->as<VTMailList>()->Filters.empty());
    }

    void defaultWorkspaceWithoutDatabase()
    {
        vttest::ProgramDir dir;
        Workspace ws;
        FakeDatabases dbs; // Default.mdb missing: silently only the Outbox
        ScriptedPrompt sp;
        InitWorkspace(ws, dir.file("Veltrana.vtd"), dbs.routine(ws));
        QCOMPARE(ws.nodeCount(), 1);
        QVERIFY(sp.asked().empty());
    }
};

VT_TEST(WorkspaceFileTest)
#include "WorkspaceFileTest.moc"
