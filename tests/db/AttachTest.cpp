#include "../common/TestMain.h"
#include "../common/TestUtil.h"
#include "DbTestUtil.h"

#include "db/Attach.h"
#include "db/DataBinding.h"
#include "db/DataControl.h"
#include "platform/AppPath.h"
#include "platform/Error.h"
#include "platform/Prompt.h"
#include "workspace/InitWorkspace.h"
#include "workspace/Workspace.h"

#include <QFile>

using namespace vt;

namespace {

struct Shape {
    QStringList lines;
    // "Database|name|ro" then "Table|name|email" / "Query|name|email" lines.
    static Shape of(const Workspace& ws)
    {
        Shape s;
        for (const auto& r : ws.roots()) {
            if (!r->is(kind::Database()))
                continue;
            const auto* db = r->as<VTDatabase>();
            s.lines << QString("Database|%1|%2").arg(QFileInfo(r->text).fileName()).arg(db->ReadOnly ? "ro" : "rw");
            for (const auto& c : r->children) {
                const auto* t = c->as<VTTable>();
                s.lines << c->tag + '|' + c->text + '|' + t->EMailField;
                if (t->SelectStatement != "SELECT * FROM [" + c->text + "]" || t->IsQuery != c->is(kind::Query()))
                    s.lines << "bad table object";
            }
        }
        return s;
    }
};

} // namespace

class AttachTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString file(const QString& name, const char* sql)
    {
        const QString f = m_dir.filePath(name);
        QFile::remove(f);
        return dbtest::makeDb(f, sql) ? f : QString();
    }

private slots:
    void attachShapes_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("shape");
        QTest::addColumn<QString>("selected");
        QTest::newRow("tables and queries in order, hidden and system left out")
            << "CREATE TABLE B (x INTEGER PRIMARY KEY AUTOINCREMENT, Mail TEXT);"
               "CREATE TABLE A (EMail TEXT, Email2 VARCHAR(30), Name TEXT);"
               "CREATE VIRTUAL TABLE Notes USING fts5(body);"
               "CREATE VIEW Q1 AS SELECT Name, EMail FROM A;"
               "INSERT INTO B (Mail) VALUES ('x');"
            << QStringList{"Database|db.mdb|rw", "Table|B|", "Table|A|Email2", "Table|Notes|", "Query|Q1|EMail"}
            << "B";
        QTest::newRow("no tables: the database node stays selected")
            << "PRAGMA user_version = 3;" << QStringList{"Database|db.mdb|rw"} << "db.mdb";
        QTest::newRow("a number field named EMail is never chosen")
            << "CREATE TABLE T (EMail INTEGER, [Home Email] TEXT, [E-mail Address] TEXT(64), Mail TEXT, Name TEXT);"
            << QStringList{"Database|db.mdb|rw", "Table|T|E-mail Address"} << "T";
        QTest::newRow("only a query")
            << "CREATE VIEW OnlyQuery AS SELECT 'a@example.com' AS EMail;"
            << QStringList{"Database|db.mdb|rw", "Query|OnlyQuery|EMail"} << "OnlyQuery"; // untyped: text
    }
    void attachShapes()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, shape);
        QFETCH(QString, selected);
        const QString f = file("db.mdb", sql.toUtf8().constData());
        Workspace ws;
        ws.addKindNode(nullptr, kind::Outbox(), "Outbox");
        AddVTDatabase(ws, f, false, "", false);
        QCOMPARE(Shape::of(ws).lines, shape);
        QCOMPARE(QFileInfo(ws.selectedNode()->text).fileName(), selected);
        QCOMPARE(ws.roots()[1]->text, f);
        QCOMPARE(ws.roots()[1]->image, QString("ClosedFolder"));
        QVERIFY(db::Engine().Databases().empty()); // closed again
    }

    void readOnlyAndTwice()
    {
        const QString f = file("ro.mdb", dbtest::peopleSql());
        Workspace ws;
        AddVTDatabase(ws, f, true, "", false);                 // asked for
        QFile::setPermissions(f, QFile::ReadOwner | QFile::ReadGroup);
        AddVTDatabase(ws, f, false, "", false);                // the file cannot be written
        QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner);
        AddVTDatabase(ws, f, false, "", false);
        QCOMPARE(ws.roots().size(), size_t(3));
        QCOMPARE(ws.roots()[0]->text, ws.roots()[1]->text);
        QVERIFY(ws.roots()[0]->as<VTDatabase>()->ReadOnly);
        QVERIFY(ws.roots()[1]->as<VTDatabase>()->ReadOnly);
        QVERIFY(!ws.roots()[2]->as<VTDatabase>()->ReadOnly);
        QCOMPARE(ws.roots()[2]->children.size(), size_t(2)); // People, Adults
    }

    void failuresAttachNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("connect");
        QTest::newRow("missing") << QByteArray() << "";
        QTest::newRow("not a database") << QByteArray("hello, world\n") << "";
        QTest::newRow("foreign kind") << QByteArray("x") << "Excel 8.0";
    }
    void failuresAttachNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, connect);
        const QString f = m_dir.filePath("fail.mdb");
        QFile::remove(f);
        if (!bytes.isNull())
            vttest::writeAll(f, bytes);
        Workspace ws;
        ws.addKindNode(nullptr, kind::Outbox(), "Outbox");
        QString message;
        try {
            AddVTDatabase(ws, f, false, connect, false);
        } catch (const VtError& e) {
            message = e.message();
        }
        QVERIFY(!message.isEmpty());
        QCOMPARE(ws.roots().size(), size_t(1));
        QCOMPARE(ws.objectCount(), 0);
        if (!bytes.isNull())
            QCOMPARE(vttest::readAll(f), bytes);
    }

    void findEMailField_data()
    {
        QTest::addColumn<QStringList>("names"); // a leading "#" marks a number field
        QTest::addColumn<QString>("found");
        QTest::newRow("EMail") << QStringList{"Name", "EMail"} << "EMail";
        QTest::newRow("last wins") << QStringList{"EMail", "Email2"} << "Email2";
        QTest::newRow("E-mail Address") << QStringList{"E-mail Address"} << "E-mail Address";
        QTest::newRow("Home Email") << QStringList{"Home Email", "Phone"} << "Home Email";
        QTest::newRow("Mail alone") << QStringList{"Mail"} << "";
        QTest::newRow("Name") << QStringList{"Name"} << "";
        QTest::newRow("number EMail") << QStringList{"#EMail"} << "";
        QTest::newRow("letters out of order") << QStringList{"MailE"} << "";
    }
    void findEMailField()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, found);
        std::vector<db::FieldInfo> fields;
        for (QString n : names) {
            const bool number = n.startsWith('#');
            fields.push_back(db::FieldInfo{number ? n.mid(1) : n, number ? db::dbLong : db::dbText, 0, {}, {}});
        }
        QCOMPARE(FindEMailField(&fields), found);
        QCOMPARE(FindEMailField(static_cast<const std::vector<db::FieldInfo>*>(nullptr)), QString());
    }

    void permissionsAndPosition()
    {
        const QString f = file("perm.mdb", dbtest::peopleSql());
        VTDatabase rw, ro;
        ro.ReadOnly = true;
        VTDatabase odbc;
        odbc.ODBC = true;
        VTTable table, query;
        query.IsQuery = true;
        db::DatabasePtr d = db::Engine().OpenDatabase(f);
        db::RecordsetPtr rs = d->OpenRecordset("People");
        db::RecordsetPtr view = d->OpenRecordset("Adults");
        QVERIFY(CanEditTable(&rw, &table, rs.get()));
        QVERIFY(!CanEditTable(&rw, &query, rs.get()));
        QVERIFY(!CanEditTable(&ro, &table, rs.get()));
        QVERIFY(!CanEditTable(&odbc, &table, rs.get()));
        QVERIFY(!CanEditTable(nullptr, &table, rs.get()));
        QVERIFY(!CanEditTable(&rw, nullptr, rs.get()));
        QVERIFY(!CanEditTable(&rw, &table, nullptr));
        QVERIFY(!CanEditTable(&rw, &table, view.get()));
        QVERIFY(CanEditRecords(&rw, rs.get()));
        QVERIFY(CanEditRecords(&odbc, rs.get()));
        QVERIFY(!CanEditRecords(&ro, rs.get()));
        QVERIFY(!CanEditRecords(&rw, view.get()));
        QVERIFY(!CanEditRecords(&rw, nullptr));

        rs->Move(2);
        QCOMPARE(RecordPositionText("Record", rs.get()), QString("Record 3 of 8"));
        db::RecordsetPtr none = d->OpenRecordset("SELECT * FROM People WHERE ID < 0");
        QCOMPARE(RecordPositionText("Record", none.get()), QString("Record 0 of 0"));
        QCOMPARE(RecordPositionText("Record", nullptr), QString());
        d->Close();
        QCOMPARE(RecordPositionText("Record", rs.get()), QString());
    }

    void bindingTheControl()
    {
        const QString f = file("bind.mdb", dbtest::peopleSql());
        Workspace ws;
        AddVTDatabase(ws, f, false, "", false);
        Node* dbNode = ws.roots()[0].get();
        DataControl dat;
        QString bound;
        // An open database of a command is closed by the binding; the control's own is not listed.
        db::DatabasePtr cmd = OpenDB(*dbNode->as<VTDatabase>(), dbNode->text);
        QVERIFY(UpdateDataControl(ws, dat, dbNode, "SELECT * FROM [People] ORDER BY [Name] DESC", &bound));
        QVERIFY(!cmd->isOpen());
        QVERIFY(db::Engine().Databases().empty());
        QCOMPARE(bound, f);
        QVERIFY(dat.Recordset());
        QCOMPARE(dat.Caption(), QString("Record 1 of 8"));
        QCOMPARE(dat.DatabaseName(), f);
        QCOMPARE(dat.RecordsetType(), int(db::dbOpenDynaset));
        QVERIFY(dat.Recordset()->Updatable());
        // A closing of all databases leaves the control's record set working.
        CloseAllDatabases();
        QVERIFY(dat.Recordset()->isOpen());
        // Bad SQL: the pane stays empty, no failure escapes.
        QVERIFY(UpdateDataControl(ws, dat, dbNode, "SELECT * FROM [Nope]", &bound));
        QVERIFY(!dat.Recordset());
        QCOMPARE(dat.Caption(), QString());
        // A node without a database object changes nothing.
        Node* outbox = ws.addKindNode(nullptr, kind::Outbox(), "Outbox");
        bound.clear();
        QVERIFY(!UpdateDataControl(ws, dat, outbox, "SELECT * FROM [People]", &bound));
        QVERIFY(bound.isEmpty());
        // A read-only database gives a read-only control.
        dbNode->as<VTDatabase>()->ReadOnly = true;
        UpdateDataControl(ws, dat, dbNode, "SELECT * FROM [People]");
        QVERIFY(dat.Recordset() && !dat.Recordset()->Updatable());
    }

    void defaultWorkspaceOnFirstStart()
    {
        vttest::ProgramDir dir(true);
        QVERIFY(QFile::exists(AppFilePath("Documents/Default.mdb")));
        Workspace ws;
        InitWorkspace(ws, AppFilePath("Veltrana.vtd"), MakeAttachRoutine(ws));
        QCOMPARE(ws.roots().size(), size_t(2));
        Node* dbNode = ws.roots()[1].get();
        QCOMPARE(dbNode->text, AppFilePath("Documents/Default.mdb"));
        QCOMPARE(dbNode->children.size(), size_t(2));
        Node* table = dbNode->children[0].get();
        QCOMPARE(table->text, QString("Contacts"));
        QCOMPARE(table->as<VTTable>()->EMailField, QString("EMail"));
        QCOMPARE(dbNode->children[1]->tag, kind::Query());
        QCOMPARE(table->children.size(), size_t(1));
        Node* list = table->children[0].get();
        QCOMPARE(list->text, QString("MailList1"));
        QCOMPARE(list->as<VTMailList>()->Filters.size(), size_t(1));
        QCOMPARE(list->children[0]->as<VTMessage>()->ToHdr.value_or(""), QString("[EMail]"));
        QCOMPARE(ws.selectedNode(), table);

        // The default database has something for every part of the program.
        db::DatabasePtr d = OpenDB(*dbNode->as<VTDatabase>(), dbNode->text);
        db::RecordsetPtr rs = d->OpenRecordset("SELECT * FROM [Contacts] WHERE "
                                               "( ( NOT ( IsNull([EMail]) OR LEN([EMail]) = 0 ) ) );");
        QVERIFY(rs->RecordCount() > 40 && rs->RecordCount() < 50);
        QCOMPARE(d->OpenRecordset("Contacts")->RecordCount(), 50L);
        QVERIFY(d->OpenRecordset("SELECT * FROM Contacts WHERE EMail NOT LIKE '*?@?*.?*'")->RecordCount() >= 1);
        // Addresses only on the example domains.
        QCOMPARE(d->OpenRecordset("SELECT * FROM Contacts WHERE NOT (EMail LIKE '*example.com' OR EMail LIKE "
                                  "'*example.org' OR EMail LIKE '*example.net' OR IsNull(EMail) OR EMail = '')")
                     ->RecordCount(),
                 0L);
        QStringList types;
        for (const db::Field& fd : d->OpenRecordset("Contacts")->Fields())
            types << QString::number(fd.Type());
        QCOMPARE(types.join(','), QString("4,10,10,10,10,10,4,8,1"));

        // The templates.
        db::DatabasePtr t = db::Engine().OpenDatabase(AppFilePath("Templates/Eudora.mdb"));
        QCOMPARE(t->TableDefs().size(), size_t(1));
        QCOMPARE(FindEMailField(t->TableDefs("EUDORA").get()), QString("Email"));
        db::DatabasePtr n = db::Engine().OpenDatabase(AppFilePath("Templates/Default.mdb"));
        QCOMPARE(n->OpenRecordset("Contacts")->RecordCount(), 0L);
        QCOMPARE(FindEMailField(n->TableDefs("Contacts").get()), QString("EMail"));
    }

    void workspaceFileWithBrokenDatabase()
    {
        vttest::ProgramDir dir(false);
        const QString good = file("good.mdb", dbtest::peopleSql());
        const QString vtd = AppFilePath("Veltrana.vtd");
        const QString missing = m_dir.filePath("moved.mdb");
        vttest::writeAll(vtd, QString("[General]\r\nVersion=1.1\r\n[Databases]\r\nCount=2\r\n"
                                      "[Databases\\1]\r\nName=%1\r\nConnect=\r\nReadOnly=False\r\nODBC=False\r\n"
                                      "[Databases\\2]\r\nName=%2\r\nConnect=\r\nReadOnly=True\r\nODBC=False\r\n"
                                      "[Databases\\2\\Tables]\r\nCount=1\r\n"
                                      "[Databases\\2\\Tables\\1]\r\nName=People\r\nEMailField=EMail\r\nIsQuery=False\r\n")
                                  .arg(missing, good)
                                  .toUtf8());
        ScriptedPrompt prompt;
        prompt.answer(Prompt::Answer::Ok);
        Workspace ws;
        InitWorkspace(ws, vtd, MakeAttachRoutine(ws));
        QCOMPARE(prompt.texts(), QStringList{"Could not find file '" + missing + "'."});
        QVERIFY(prompt.unexpected().isEmpty());
        QCOMPARE(ws.roots().size(), size_t(2)); // Outbox and the good database
        QCOMPARE(ws.roots()[1]->text, good);
        QVERIFY(ws.roots()[1]->as<VTDatabase>()->ReadOnly);
    }
};

VT_TEST(AttachTest)
#include "AttachTest.moc"
