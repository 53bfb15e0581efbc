#include "../common/TestMain.h"
#include "DbTestUtil.h"

#include "db/engine/Engine.h"
#include "db/engine/JetSql.h"
#include "db/engine/Recordset.h"
#include "platform/Error.h"

using namespace vt;
using namespace vt::db;

// The Jet dialect against one small table: each criterion must select exactly
// the rows Jet would, and statements that are not one statement are refused.
class JetSqlTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_file;

    QList<int> ids(const QString& sql)
    {
        DatabasePtr db = Engine().OpenDatabase(m_file);
        RecordsetPtr rs = db->OpenRecordset(sql);
        QList<int> out;
        while (!rs->EOF_()) {
            out << rs->Fields("id").Value().toInt();
            rs->MoveNext();
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        m_file = m_dir.filePath("people.db");
        QVERIFY(dbtest::makeDb(m_file, dbtest::peopleSql()));
    }

    void criteria_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QList<int>>("rows");
        using L = QList<int>;
        QTest::newRow("= ignores case") << "[City] = 'york'" << L{1};
        QTest::newRow("double-quoted literal") << "[City] = \"YORK\"" << L{1};
        QTest::newRow("literal on the left") << "'YORK' = [City]" << L{1};
        QTest::newRow("<> ignores case, nulls out") << "[City] <> 'YORK'" << L{2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("> on text ignores case") << "[City] > 'x'" << L{1, 3, 5};
        QTest::newRow("= beyond ASCII") << "[Name] = 'ÉMILE ébert'" << L{5};
        QTest::newRow("doubled single quote") << "[Name] = 'Dan O''Dell'" << L{4};
        QTest::newRow("single quote in double quotes") << "[Name] = \"Dan O'Dell\"" << L{4};
        QTest::newRow("LIKE prefix") << "[City] LIKE 'york*'" << L{1, 3};
        QTest::newRow("LIKE suffix") << "[City] LIKE \"*YORK\"" << L{1, 2};
        QTest::newRow("NOT LIKE") << "[City] NOT LIKE '*york*'" << L{4, 5, 6, 7, 8};
        QTest::newRow("LIKE ? one character") << "[Name] LIKE '?an*'" << L{4};
        QTest::newRow("LIKE # digit") << "[Name] LIKE '*#'" << L{7};
        QTest::newRow("LIKE range ignores case") << "[Name] LIKE '[a-c]*'" << L{1, 2, 3};
        QTest::newRow("LIKE negated range") << "[Name] LIKE '[!a-c]*'" << L{4, 5, 6, 7, 8};
        QTest::newRow("LIKE list") << "[City] LIKE '[dfg]*'" << L{4, 6, 7};
        QTest::newRow("% is literal") << "[Name] LIKE '*50%*'" << L{6};
        QTest::newRow("_ is literal") << "[EMail] LIKE '*_*@*'" << L{6};
        QTest::newRow("[*] literal star") << "[EMail] LIKE '*[*]*'" << L{8};
        QTest::newRow("[[] literal bracket") << "[Name] LIKE '*[[]x]'" << L{8};
        QTest::newRow("LIKE beyond ASCII") << "[Name] LIKE 'émile*'" << L{5};
        QTest::newRow("LIKE whole value") << "[City] LIKE 'york'" << L{1};
        QTest::newRow("IsNull") << "IsNull([EMail])" << L{3};
        QTest::newRow("LEN of empty text") << "NOT IsNull([EMail]) AND LEN([EMail]) = 0" << L{4};
        QTest::newRow("Is Not Empty row") << "( NOT ( IsNull([EMail]) OR LEN([EMail]) = 0 ) )" << L{1, 2, 5, 6, 7, 8};
        QTest::newRow("Is Empty on a number") << "( IsNull([Age]) OR LEN([Age]) = 0 )" << L{4};
        QTest::newRow("date literal m/d/yyyy") << "[Joined] = #1/31/2000#" << L{1, 7};
        QTest::newRow("date literal ISO") << "[Joined] > #2001-01-01#" << L{3, 5, 6};
        QTest::newRow("date literal with time") << "[Joined] < #1/1/2000 12:00:00 PM#" << L{2, 8};
        QTest::newRow("date with time of day") << "[Joined] > #6/15/2001 10:00#" << L{3, 5, 6};
        QTest::newRow("True") << "[Active] = True" << L{1, 3, 5, 7};
        QTest::newRow("False") << "[Active] = false" << L{2, 4, 6, 8};
        QTest::newRow("number compare") << "[Score] >= 2.25" << L{2, 5, 7, 8};
        QTest::newRow("WHERE NOT (") << "NOT ([Age] > 30)" << L{1, 3, 6, 7};
        QTest::newRow("-- is two minus signs") << "[ID] = 3 --1" << L{4};
        QTest::newRow("list: row and contains")
            << "( ( [Age] > 30 ) And ( [City] LIKE \"*York*\" ) )" << L{2};
        QTest::newRow("list: rows or inclusions")
            << "( ( [Age] > 40 ) ) OR ( [EMail] = 'ann@example.com' OR [EMail] = 'bob@example.org' )"
            << L{1, 2, 5, 8};
        QTest::newRow("list: with exclusion")
            << "( ( ( [Age] > 40 ) ) OR ( [EMail] = 'ann@example.com' ) ) AND NOT ( [EMail] = 'BOB@example.org' )"
            << L{1, 5, 8};
    }
    void criteria()
    {
        QFETCH(QString, criterion);
        QFETCH(QList<int>, rows);
        QCOMPARE(ids("SELECT * FROM [People] WHERE " + criterion + " ORDER BY [ID];"), rows);
        // The same text as a FindFirst criterion selects the first of them.
        DatabasePtr db = Engine().OpenDatabase(m_file);
        RecordsetPtr rs = db->OpenRecordset("SELECT * FROM People ORDER BY ID");
        rs->FindFirst(criterion);
        QCOMPARE(rs->NoMatch(), rows.isEmpty());
        if (!rows.isEmpty())
            QCOMPARE(rs->Fields("ID").Value().toInt(), rows.first());
    }

    void orderByIgnoresCase()
    {
        QCOMPARE(ids("SELECT * FROM [People] ORDER BY [City]"), (QList<int>{4, 6, 7, 8, 2, 1, 3, 5}));
        QCOMPARE(ids("SELECT * FROM [People] ORDER BY [City] DESC"), (QList<int>{5, 3, 1, 2, 8, 7, 6, 4}));
        QCOMPARE(ids("SELECT * FROM People WHERE ID > 5 ORDER BY [Active], [Name] DESC"), (QList<int>{7, 8, 6}));
    }

    void refusedStatements_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("message");
        QTest::newRow("second statement") << "DELETE FROM People WHERE ID = 1; DROP TABLE People"
                                          << "Characters found after end of SQL statement.";
        QTest::newRow("second statement after comment-like text")
            << "UPDATE People SET Age = 1 --; DROP TABLE People" << "Characters found after end of SQL statement.";
        QTest::newRow("unterminated text") << "UPDATE People SET Name = 'x" << "";
        QTest::newRow("unterminated name") << "UPDATE [People SET Age = 1" << "";
        QTest::newRow("bad date") << "UPDATE People SET Joined = #13/45/2000#" << "";
        QTest::newRow("parameter") << "UPDATE People SET Age = ?" << "Too few parameters. Expected 1.";
        QTest::newRow("empty") << "  ;  " << "";
        QTest::newRow("unknown column") << "UPDATE People SET Nope = 1" << "";
    }
    void refusedStatements()
    {
        QFETCH(QString, sql);
        QFETCH(QString, message);
        DatabasePtr db = Engine().OpenDatabase(m_file);
        try {
            db->Execute(sql);
            QFAIL("statement was run");
        } catch (const VtError& e) {
            QVERIFY(!e.message().isEmpty());
            if (!message.isEmpty())
                QCOMPARE(e.message(), message);
        }
        db->Close();
        QCOMPARE(dbtest::scalar(m_file, "SELECT count(*) || '/' || sum(Age) FROM People"), QString("8/261"));
    }

    void trailingSemicolonIsOneStatement()
    {
        QCOMPARE(ids("SELECT * FROM [People] WHERE [ID] < 3;"), (QList<int>{1, 2}));
        QCOMPARE(ids("SELECT * FROM [People] WHERE [ID] < 3 ; ; "), (QList<int>{1, 2}));
    }

    void likePatterns_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<bool>("simple");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("contains") << "*York*" << true << "%York%";
        QTest::newRow("one character") << "a?c" << true << "a_c";
        QTest::newRow("percent escaped") << "50%*" << true << "50\\%%";
        QTest::newRow("bracketed star") << "a[*]" << true << "a*";
        QTest::newRow("digit") << "#*" << false << "";
        QTest::newRow("range") << "[a-c]*" << false << "";
        QTest::newRow("beyond ASCII") << "é*" << false << "";
    }
    void likePatterns()
    {
        QFETCH(QString, jet);
        QFETCH(bool, simple);
        QFETCH(QString, sqlite);
        QString out;
        bool esc = false;
        QCOMPARE(JetPatternToSqliteLike(jet, out, esc), simple);
        if (simple)
            QCOMPARE(out, sqlite);
    }

    void selectIntoAndAlterTable()
    {
        const QString file = m_dir.filePath("into.db");
        QVERIFY(dbtest::makeDb(file, dbtest::peopleSql()));
        DatabasePtr db = Engine().OpenDatabase(file);
        db->Execute("SELECT * INTO Copy FROM People WHERE [Active] = True");
        QCOMPARE(db->RecordsAffected(), 4);
        db->Execute("ALTER TABLE Copy ADD COLUMN EMAIL2 TEXT(64)");
        auto copy = db->TableDefs("Copy");
        auto orig = db->TableDefs("People");
        QCOMPARE(copy->Fields().size(), orig->Fields().size() + 1);
        for (size_t i = 0; i < orig->Fields().size(); ++i)
            QCOMPARE(copy->Fields()[i]->Type(), orig->Fields()[i]->Type());
        QCOMPARE(copy->Fields("email2").Type(), int(dbText));
        QCOMPARE(copy->Fields("email2").Size(), 64);
        RecordsetPtr rs = db->OpenRecordset("Copy");
        QCOMPARE(rs->RecordCount(), 4L);
        QCOMPARE(rs->Fields("Joined").Value().toDateTime(), QDateTime(QDate(2000, 1, 31), QTime(0, 0)));
        QCOMPARE(rs->Fields("Active").Value(), QVariant(true));
    }
};

VT_TEST(JetSqlTest)
#include "JetSqlTest.moc"
