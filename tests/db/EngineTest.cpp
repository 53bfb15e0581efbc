#include "../common/TestMain.h"
#include "DbTestUtil.h"

#include "db/engine/Engine.h"
#include "db/engine/Recordset.h"
#include "platform/Error.h"

#include <QFile>

using namespace vt;
using namespace vt::db;

namespace {
QString failure(const std::function<void()>& f)
{
    try {
        f();
    } catch (const VtError& e) {
        return e.message();
    }
    return QString();
}
} // namespace

class EngineTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::addColumn<QString>("message");
        QByteArray sqlite;
        {
            const QString f = m_dir.filePath("good.db");
            QVERIFY(dbtest::makeDb(f, dbtest::peopleSql()));
            QFile in(f);
            QVERIFY(in.open(QIODevice::ReadOnly));
            sqlite = in.readAll();
        }
        QByteArray jet(2048, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        QByteArray damaged = sqlite;
        damaged.replace(100, 200, QByteArray(200, '\xff')); // the schema page's header and cell pointers
        QTest::newRow("missing") << QByteArray() << "Could not find file '%1'.";
        QTest::newRow("text file") << QByteArray("Name,EMail\r\nann,ann@example.com\r\n") << "Unrecognized database format '%1'.";
        QTest::newRow("zero bytes") << QByteArray("", 0) << "Unrecognized database format '%1'.";
        QTest::newRow("truncated") << sqlite.left(sqlite.size() - 1000) << "The database '%1' is damaged and cannot be read.";
        QTest::newRow("header only") << sqlite.left(100) << "";
        QTest::newRow("Access file") << jet << "'%1' is an Access database file.  Access files are not supported yet.";
        QTest::newRow("damaged schema") << damaged << "";
    }
    void badFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString f = m_dir.filePath(QString("bad_%1.mdb").arg(QTest::currentDataTag()).replace(' ', '_'));
        if (!bytes.isNull()) {
            QFile out(f);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
        const QString m = failure([&] {
            DatabasePtr db = Engine().OpenDatabase(f);
            db->TableDefs();
            RecordsetPtr rs = db->OpenRecordset("SELECT * FROM People");
            rs->MoveLast();
            rs->Fields("Name").Value();
        });
        QVERIFY2(!m.isEmpty(), "no failure reported");
        if (!message.isEmpty())
            QCOMPARE(m, message.arg(f));
        // Nothing was written to the file.
        if (!bytes.isNull()) {
            QFile in(f);
            QVERIFY(in.open(QIODevice::ReadOnly));
            QCOMPARE(in.readAll(), bytes);
        } else {
            QVERIFY(!QFile::exists(f));
        }
        QVERIFY(!QFile::exists(f + "-journal"));
    }

    void lockedDatabase()
    {
        const QString f = m_dir.filePath("locked.db");
        QVERIFY(dbtest::makeDb(f, dbtest::peopleSql()));
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(f.toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE; UPDATE People SET Age = 99", nullptr, nullptr, nullptr), SQLITE_OK);
        const QString m = failure([&] { Engine().OpenDatabase(f); });
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(m, "The database '" + f + "' is locked by another user or program.  Try again later.");
    }

    void otherKindsGoThroughTheSeam()
    {
        const QString f = m_dir.filePath("seam.db");
        QVERIFY(dbtest::makeDb(f, dbtest::peopleSql()));
        QCOMPARE(failure([&] { Engine().OpenDatabase(m_dir.path(), 0, false, "dBase 5.0"); }),
                 QString("Databases of the kind 'dBase 5.0' are not supported yet."));
        Engine().setDefaultType(dbUseODBC);
        const QString odbc = failure([&] { Engine().OpenDatabase("Contacts", 0, false, "ODBC;DSN=Contacts"); });
        Engine().setDefaultType(dbUseJet);
        QCOMPARE(odbc, QString("ODBC data sources are not supported yet."));
        // An empty connect string part before DATABASE= still means a native file.
        QVERIFY(Engine().OpenDatabase(f, 0, false, ";PWD=")->isOpen());
    }

    void catalogAndReadOnly()
    {
        const QString f = m_dir.filePath("catalog.db");
        QVERIFY(dbtest::makeDb(f, dbtest::peopleSql()));
        QVERIFY(dbtest::makeDb(f, "CREATE TABLE Second (EMail TEXT, Email2 VARCHAR(40), x INTEGER PRIMARY KEY AUTOINCREMENT);"
                                  "INSERT INTO Second (EMail) VALUES ('a');"
                                  "CREATE VIRTUAL TABLE Notes USING fts5(body);"
                                  "CREATE VIEW Nobody AS SELECT * FROM Gone;"));
        DatabasePtr db = Engine().OpenDatabase(f);
        QVERIFY(db->Updatable());
        QCOMPARE(db->Name(), f);
        QStringList shown, hidden;
        for (const auto& t : db->TableDefs())
            (t->Attributes() & long(0x80000003) ? hidden : shown) << t->Name();
        QCOMPARE(shown, (QStringList{"People", "Second", "Notes"}));
        QVERIFY(hidden.contains("sqlite_sequence"));
        QVERIFY(hidden.contains("Notes_data")); // the full-text index's own tables
        QCOMPARE(db->TableDefs("sqlite_sequence")->Attributes(), dbSystemObject);
        const auto queries = db->QueryDefs();
        QCOMPARE(queries.size(), size_t(2));
        QCOMPARE(queries[0].Name, QString("Adults"));
        QCOMPARE(queries[0].Fields.size(), size_t(3));
        QCOMPARE(queries[0].Fields[2].type, int(dbLong));
        QVERIFY(queries[1].Fields.empty()); // a query whose table is gone still is listed

        // The engine's list of open databases, and closing them all.
        DatabasePtr other = Engine().OpenDatabase(f, 0, true);
        QVERIFY(!other->Updatable());
        QCOMPARE(Engine().Databases().size(), size_t(2));
        RecordsetPtr rs = db->OpenRecordset("People");
        Engine().CloseAll();
        QVERIFY(Engine().Databases().empty());
        QVERIFY(!db->isOpen() && !rs->isOpen());
        QCOMPARE(failure([&] { rs->MoveNext(); }), QString("Object invalid or no longer set."));
        QCOMPARE(failure([&] { db->TableDefs(); }), QString("Object invalid or no longer set."));

        // A file without write permission opens read-only, even for root.
        QFile::setPermissions(f, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        DatabasePtr ro = Engine().OpenDatabase(f);
        QVERIFY(!ro->Updatable());
        QVERIFY(!ro->OpenRecordset("People")->Updatable());
        QVERIFY(!failure([&] { ro->Execute("DELETE FROM People"); }).isEmpty());
        ro->Close();
        QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(dbtest::scalar(f, "SELECT count(*) FROM People"), QString("8"));
    }

    void typeCodes_data()
    {
        QTest::addColumn<QString>("decl");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::newRow("BOOLEAN") << "BOOLEAN" << 1 << 0;
        QTest::newRow("bit") << "bit" << 1 << 0;
        QTest::newRow("BYTE") << "BYTE" << 2 << 0;
        QTest::newRow("SMALLINT") << "SMALLINT" << 3 << 0;
        QTest::newRow("INTEGER") << "INTEGER" << 4 << 0;
        QTest::newRow("BIGINT") << "BIGINT" << 4 << 0;
        QTest::newRow("UNSIGNED BIG INT") << "UNSIGNED BIG INT" << 4 << 0;
        QTest::newRow("CURRENCY") << "CURRENCY" << 5 << 0;
        QTest::newRow("SINGLE") << "SINGLE" << 6 << 0;
        QTest::newRow("REAL") << "REAL" << 7 << 0;
        QTest::newRow("DECIMAL(10,2)") << "DECIMAL(10,2)" << 7 << 10;
        QTest::newRow("DATETIME") << "DATETIME" << 8 << 0;
        QTest::newRow("TEXT(64)") << "TEXT(64)" << 10 << 64;
        QTest::newRow("varchar ( 40 )") << "varchar ( 40 )" << 10 << 40;
        QTest::newRow("NVARCHAR(20)") << "NVARCHAR(20)" << 10 << 20;
        QTest::newRow("none") << "" << 10 << 0;
        QTest::newRow("MEMO") << "MEMO" << 12 << 0;
        QTest::newRow("BLOB") << "BLOB" << 11 << 0;
    }
    void typeCodes()
    {
        QFETCH(QString, decl);
        QFETCH(int, type);
        QFETCH(int, size);
        QCOMPARE(FieldTypeOfDecl(decl), type);
        QCOMPARE(FieldSizeOfDecl(decl), size);
        // Every code is created with a declared type that maps back to it.
        QCOMPARE(FieldTypeOfDecl(DeclOfFieldType(type, 30)), type);
    }

    void conversions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("given");
        QTest::addColumn<QVariant>("read"); // invalid: refused
        QTest::newRow("flag from text") << 1 << QVariant("True") << QVariant(true);
        QTest::newRow("flag from number") << 1 << QVariant(0) << QVariant(false);
        QTest::newRow("flag from nonsense") << 1 << QVariant("maybe") << QVariant();
        QTest::newRow("byte") << 2 << QVariant("255") << QVariant(255);
        QTest::newRow("byte overflow") << 2 << QVariant(256) << QVariant();
        QTest::newRow("short rounds") << 3 << QVariant("12.5") << QVariant(12);
        QTest::newRow("short overflow") << 3 << QVariant(40000) << QVariant();
        QTest::newRow("long") << 4 << QVariant("-7") << QVariant(-7);
        QTest::newRow("long from empty") << 4 << QVariant("") << QVariant();
        QTest::newRow("currency") << 5 << QVariant(1.23456) << QVariant(1.2346);
        QTest::newRow("double") << 7 << QVariant("2.5e3") << QVariant(2500.0);
        QTest::newRow("double from text") << 7 << QVariant("abc") << QVariant();
        QTest::newRow("date m/d/yyyy") << 8 << QVariant("1/31/2000") << QVariant(QDateTime(QDate(2000, 1, 31), QTime(0, 0)));
        QTest::newRow("date ISO with time") << 8 << QVariant("2000-01-31 08:05:00")
                                            << QVariant(QDateTime(QDate(2000, 1, 31), QTime(8, 5)));
        QTest::newRow("date invalid") << 8 << QVariant("2/30/2000") << QVariant();
        QTest::newRow("text") << 10 << QVariant(12) << QVariant("12");
        QTest::newRow("text too long") << 10 << QVariant(QString(11, 'x')) << QVariant();
    }
    void conversions()
    {
        QFETCH(int, type);
        QFETCH(QVariant, given);
        QFETCH(QVariant, read);
        QVariant stored;
        const QString m = failure([&] { stored = ToStored(type, 10, given); });
        if (!read.isValid()) {
            QVERIFY2(!m.isEmpty(), "value accepted");
            return;
        }
        QVERIFY2(m.isEmpty(), qPrintable(m));
        const QVariant back = FromStored(type, stored);
        if (read.typeId() == QMetaType::Double)
            QVERIFY(qFuzzyCompare(back.toDouble(), read.toDouble()));
        else
            QCOMPARE(back, read);
    }

    void tableDefinitionsAndFields()
    {
        const QString f = m_dir.filePath("new.mdb");
        QFile::remove(f);
        DatabasePtr db = Engine().CreateDatabase(f, ";LANGID=0x0409;CP=1252;COUNTRY=0");
        QCOMPARE(failure([&] { Engine().CreateDatabase(f); }), "Database '" + f + "' already exists.");
        auto t = db->CreateTableDef("Members");
        t->AppendField(t->CreateField("Name", dbText, 64));
        t->AppendField(t->CreateField("Joined", dbDate));
        db->AppendTableDef(std::move(t));
        auto m = db->TableDefs("members");
        m->AppendField(m->CreateField("Paid", dbBoolean));
        m->AppendField(m->CreateField("Amount", dbCurrency));
        QVERIFY(!failure([&] { m->AppendField(m->CreateField("paid", dbText)); }).isEmpty());
        m->Fields("Name").setName("FullName");
        m->DeleteField("Amount");
        db->Close();

        db = Engine().OpenDatabase(f);
        auto again = db->TableDefs("Members");
        QStringList names;
        QList<int> types;
        for (const auto& fd : again->Fields()) {
            names << fd->Name();
            types << fd->Type();
        }
        QCOMPARE(names, (QStringList{"FullName", "Joined", "Paid"}));
        QCOMPARE(types, (QList<int>{10, 8, 1}));
        QCOMPARE(again->Fields("FullName").Size(), 64);
        again->setName("People");
        QCOMPARE(db->TableDefs().front()->Name(), QString("People"));
        db->DeleteTableDef("People");
        QVERIFY(db->TableDefs().empty());
    }

    void linkedTable()
    {
        const QString src = m_dir.filePath("linksrc.db");
        QVERIFY(dbtest::makeDb(src, dbtest::peopleSql()));
        const QString f = m_dir.filePath("linkdst.db");
        QFile::remove(f);
        DatabasePtr db = Engine().CreateDatabase(f);
        auto link = db->CreateTableDef("ATT0001", 0, "People", ";DATABASE=" + src);
        db->AppendTableDef(std::move(link));
        auto defs = db->TableDefs();
        QCOMPARE(defs.size(), size_t(1));
        QVERIFY(defs[0]->Attributes() & dbAttachedTable);
        db->Execute("SELECT * INTO Copy FROM ATT0001 WHERE [City] LIKE '*york*'");
        QCOMPARE(db->RecordsAffected(), 3);
        QCOMPARE(db->OpenRecordset("SELECT * FROM ATT0001")->RecordCount(), 8L);
        QVERIFY(!db->OpenRecordset("ATT0001")->Updatable());
        db->DeleteTableDef("ATT0001");
        QCOMPARE(db->TableDefs().size(), size_t(1));
        QVERIFY(!failure([&] { db->AppendTableDef(db->CreateTableDef("X", 0, "Nope", ";DATABASE=" + src)); }).isEmpty());
        db->Close();
        QCOMPARE(dbtest::scalar(f, "SELECT count(*) FROM Copy"), QString("3"));
        QCOMPARE(dbtest::scalar(f, "SELECT count(*) FROM sqlite_schema WHERE name LIKE 'ATT%'"), QString("0"));
    }
};

VT_TEST(EngineTest)
#include "EngineTest.moc"
