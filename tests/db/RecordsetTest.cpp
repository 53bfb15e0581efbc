#include "../common/TestMain.h"
#include "DbTestUtil.h"

#include "db/engine/Engine.h"
#include "db/engine/Recordset.h"
#include "platform/Error.h"

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

// Records the notices of a record set; cancels the actions it is told to.
struct Recorder : RecordsetListener {
    QList<int> before;
    int moves = 0;
    QList<int> changes;
    QList<int> cancel;
    void recordsetBeforeChange(Recordset&, int action, bool& c) override
    {
        before << action;
        if (cancel.contains(action))
            c = true;
    }
    void recordsetMoved(Recordset&) override { ++moves; }
    void recordsetRowsChanged(Recordset&, Change ch, long pos) override { changes << int(ch) * 1000 + int(pos); }
};
} // namespace

class RecordsetTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_file;

    QString fresh(const char* extra = "")
    {
        static int n = 0;
        const QString f = m_dir.filePath(QString("rs%1.db").arg(++n));
        if (!dbtest::makeDb(f, dbtest::peopleSql()) || !dbtest::makeDb(f, extra))
            return {};
        return f;
    }

private slots:
    void movesAndPositions()
    {
        DatabasePtr db = Engine().OpenDatabase(fresh());
        RecordsetPtr rs = db->OpenRecordset("SELECT * FROM [People] WHERE [Age] >= 30 ORDER BY [Age] DESC");
        QCOMPARE(rs->RecordCount(), 5L);
        QVERIFY(!rs->BOF() && !rs->EOF_());
        QCOMPARE(rs->AbsolutePosition(), 0L);
        QCOMPARE(rs->Fields("name").Value().toString(), QString("hal [x]"));
        rs->MovePrevious();
        QVERIFY(rs->BOF());
        QCOMPARE(rs->AbsolutePosition(), -1L);
        QCOMPARE(failure([&] { rs->MovePrevious(); }), QString("No current record."));
        QCOMPARE(failure([&] { rs->Fields("Name").Value(); }), QString("No current record."));
        rs->MoveNext();
        rs->Move(2);
        QCOMPARE(rs->Fields("Age").Value(), QVariant(41));
        rs->MoveLast();
        QCOMPARE(rs->AbsolutePosition(), 4L);
        rs->MoveNext();
        QVERIFY(rs->EOF_());
        QCOMPARE(failure([&] { rs->MoveNext(); }), QString("No current record."));
        rs->setAbsolutePosition(1);
        QCOMPARE(rs->Fields("Age").Value(), QVariant(52));
        QVERIFY(!failure([&] { rs->setAbsolutePosition(5); }).isEmpty());

        RecordsetPtr empty = db->OpenRecordset("SELECT * FROM People WHERE Age > 100");
        QVERIFY(empty->BOF() && empty->EOF_());
        QCOMPARE(empty->RecordCount(), 0L);
        QCOMPARE(empty->AbsolutePosition(), -1L);
        QCOMPARE(failure([&] { empty->MoveLast(); }), QString("No current record."));
        QVERIFY(empty->Updatable());
    }

    void fieldsAndValues()
    {
        DatabasePtr db = Engine().OpenDatabase(fresh());
        RecordsetPtr rs = db->OpenRecordset("People");
        QStringList names;
        QList<int> types;
        for (const Field& f : rs->Fields()) {
            names << f.Name();
            types << f.Type();
        }
        QCOMPARE(names, (QStringList{"ID", "Name", "City", "EMail", "Age", "Joined", "Active", "Score"}));
        QCOMPARE(types, (QList<int>{4, 10, 10, 10, 4, 8, 1, 7}));
        QCOMPARE(rs->Fields("EMAIL").Size(), 100);
        QVERIFY(rs->Fields().find("email"));
        QVERIFY(!rs->Fields().find("Missing"));
        QVERIFY(!failure([&] { rs->Fields("Missing"); }).isEmpty());
        rs->Move(2); // Cleo: null address, a time of day, no score
        QVERIFY(rs->Fields("EMail").Value().isNull());
        QVERIFY(rs->Fields("Score").isNull());
        QCOMPARE(rs->Fields("Joined").Value(), QVariant(QDateTime(QDate(2001, 6, 15), QTime(10, 30))));
        QCOMPARE(rs->Fields("Active").Value(), QVariant(true));
        rs->MoveNext(); // Dan: an empty, not null, address
        QCOMPARE(rs->Fields("EMail").Value(), QVariant(QString("")));
        QVERIFY(!rs->Fields("EMail").isNull());
        QCOMPARE(rs->Fields("Active").Value(), QVariant(false));
    }

    void dynasetEdits()
    {
        const QString f = fresh();
        DatabasePtr db = Engine().OpenDatabase(f);
        RecordsetPtr rs = db->OpenRecordset("SELECT * FROM [People] WHERE [City] LIKE '*york*'");
        QVERIFY(rs->Updatable());
        QCOMPARE(rs->RecordCount(), 3L);
        QCOMPARE(rs->EditMode(), int(dbEditNone));
        QCOMPARE(failure([&] { rs->Fields("Age").setValue(1); }), QString("Update or CancelUpdate without AddNew or Edit."));

        // Edit: the row keeps its place even when it no longer passes the condition.
        rs->MoveNext();
        rs->Edit();
        QCOMPARE(rs->EditMode(), int(dbEditInProgress));
        rs->Fields("City").setValue("Leeds");
        rs->Fields("Age").setValue("42");
        QCOMPARE(rs->Fields("City").Value().toString(), QString("Leeds"));
        QVERIFY(!failure([&] { rs->Fields("Age").setValue("old"); }).isEmpty());
        rs->Update();
        QCOMPARE(rs->EditMode(), int(dbEditNone));
        QCOMPARE(rs->Fields("City").Value().toString(), QString("Leeds"));
        QCOMPARE(rs->RecordCount(), 3L);
        QCOMPARE(dbtest::scalar(f, "SELECT City || Age FROM People WHERE ID = 2"), QString("Leeds42"));

        // A move drops an edit in progress.
        rs->Edit();
        rs->Fields("City").setValue("Nowhere");
        rs->MoveFirst();
        rs->MoveNext();
        QCOMPARE(rs->Fields("City").Value().toString(), QString("Leeds"));

        // AddNew: the new row goes to the end, the current record stays.
        const QByteArray mark = rs->Bookmark();
        rs->AddNew();
        QCOMPARE(rs->EditMode(), int(dbEditAdd));
        QVERIFY(rs->Fields("Name").Value().isNull());
        rs->Fields("Name").setValue("Ivy New");
        rs->Fields("Joined").setValue(QDate(2020, 2, 29));
        rs->Fields("Active").setValue(true);
        rs->Update();
        QCOMPARE(rs->RecordCount(), 4L);
        QCOMPARE(rs->Bookmark(), mark);
        rs->MoveLast();
        QCOMPARE(rs->Fields("Name").Value().toString(), QString("Ivy New"));
        QVERIFY(rs->Fields("ID").Value().toInt() > 8);
        QCOMPARE(dbtest::scalar(f, "SELECT Joined || '/' || Active FROM People WHERE Name = 'Ivy New'"),
                 QString("2020-02-29/-1"));

        // Delete: the record stays current as deleted; MoveNext goes to the one after it.
        rs->MoveFirst();
        rs->Delete();
        QCOMPARE(rs->RecordCount(), 3L);
        QCOMPARE(failure([&] { rs->Fields("Name").Value(); }), QString("Record is deleted."));
        QCOMPARE(rs->AbsolutePosition(), -1L);
        rs->MoveNext();
        QCOMPARE(rs->Fields("ID").Value(), QVariant(2));
        QCOMPARE(dbtest::scalar(f, "SELECT count(*) FROM People WHERE ID = 1"), QString("0"));

        // Bookmarks address one row, wherever it now stands.
        const QByteArray b2 = rs->Bookmark();
        rs->MoveLast();
        rs->setBookmark(b2);
        QCOMPARE(rs->Fields("ID").Value(), QVariant(2));
        QVERIFY(!failure([&] { rs->setBookmark("nonsense"); }).isEmpty());

        // Edits through another handle are seen when the row is read again.
        QVERIFY(dbtest::makeDb(f, "UPDATE People SET Name = 'Renamed' WHERE ID = 3"));
        rs->setAbsolutePosition(1);
        rs->Move(0);
        QCOMPARE(rs->Fields("Name").Value().toString(), QString("Renamed"));
    }

    void noticesAndCancel()
    {
        DatabasePtr db = Engine().OpenDatabase(fresh());
        RecordsetPtr rs = db->OpenRecordset("People");
        Recorder r;
        rs->addListener(&r);
        rs->MoveNext();
        rs->MoveLast();
        QCOMPARE(r.before, (QList<int>{actMoveNext, actMoveLast}));
        QCOMPARE(r.moves, 2);
        r.cancel << actDelete << actMoveFirst;
        rs->Delete();
        QCOMPARE(rs->RecordCount(), 8L); // refused: nothing deleted
        QCOMPARE(rs->Fields("ID").Value(), QVariant(8));
        rs->MoveFirst();
        QCOMPARE(rs->AbsolutePosition(), 7L); // refused move
        r.cancel.clear();
        rs->AddNew();
        rs->Fields("Name").setValue("X");
        rs->Update();
        rs->MovePrevious();
        rs->Delete();
        QCOMPARE(r.changes, (QList<int>{RecordsetListener::RowInserted * 1000 + 8, RecordsetListener::RowRemoved * 1000 + 6}));
        rs->removeListener(&r);
    }

    void findAndNoMatch()
    {
        DatabasePtr db = Engine().OpenDatabase(fresh());
        RecordsetPtr rs = db->OpenRecordset("SELECT * FROM People ORDER BY Name DESC");
        rs->FindFirst("[City] LIKE 'y*'");
        QVERIFY(!rs->NoMatch());
        QCOMPARE(rs->Fields("ID").Value(), QVariant(3)); // Cleo before Ann in this order
        rs->FindNext("[City] LIKE 'y*'");
        QCOMPARE(rs->Fields("ID").Value(), QVariant(1));
        rs->FindNext("[City] LIKE 'y*'");
        QVERIFY(rs->NoMatch());
        QCOMPARE(rs->Fields("ID").Value(), QVariant(1)); // stays
        rs->FindLast("[Age] = 30");
        QCOMPARE(rs->Fields("ID").Value(), QVariant(1));
        rs->FindPrevious("[Age] = 30");
        QCOMPARE(rs->Fields("ID").Value(), QVariant(7));
        QVERIFY(!failure([&] { rs->FindFirst("NickName = \"joe\""); }).isEmpty()); // no such field
        QCOMPARE(rs->Fields("ID").Value(), QVariant(7));
    }

    void readOnlySources()
    {
        DatabasePtr db = Engine().OpenDatabase(fresh());
        RecordsetPtr view = db->OpenRecordset("Adults");
        QVERIFY(!view->Updatable());
        QCOMPARE(view->RecordCount(), 5L);
        QCOMPARE(view->Fields(0).Name(), QString("Name"));
        QCOMPARE(view->Fields("Age").Type(), int(dbLong));
        QCOMPARE(view->Fields("Name").Value().toString(), QString("Ann Archer"));
        view->MoveLast(); // the view sorts by SQLite's own rules
        QCOMPARE(view->Fields("Name").Value().toString(), QString("Émile Ébert"));
        const QByteArray b = view->Bookmark();
        view->MoveFirst();
        view->setBookmark(b);
        QCOMPARE(view->AbsolutePosition(), 4L);
        view->FindFirst("[Age] > 50");
        QCOMPARE(view->Fields("Name").Value().toString(), QString("hal [x]"));
        QCOMPARE(failure([&] { view->Edit(); }), QString("Database or object is read-only."));
        QCOMPARE(failure([&] { view->AddNew(); }), QString("Database or object is read-only."));

        RecordsetPtr grouped = db->OpenRecordset("SELECT Active, count(*) AS N FROM People GROUP BY Active");
        QVERIFY(!grouped->Updatable());
        QCOMPARE(grouped->RecordCount(), 2L);
        RecordsetPtr snap = db->OpenRecordset("People", dbOpenSnapshot);
        QVERIFY(!snap->Updatable());
        QVERIFY(!failure([&] { db->OpenRecordset("DELETE FROM People"); }).isEmpty());
        QCOMPARE(db->OpenRecordset("People")->RecordCount(), 8L);
    }

    void largeSetsReadInPages()
    {
        const QString f = m_dir.filePath("large.db");
        QVERIFY(dbtest::makeDb(f, "CREATE TABLE T (Name TEXT, N INTEGER);"
                                  "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 5000)"
                                  " INSERT INTO T SELECT 'row' || i, i FROM c;"
                                  "CREATE VIEW V AS SELECT N * 2 AS D FROM T;"));
        DatabasePtr db = Engine().OpenDatabase(f);
        for (const QString src : {"T", "SELECT * FROM T WHERE N % 2 = 0", "V"}) {
            RecordsetPtr rs = db->OpenRecordset(src);
            const long n = rs->RecordCount();
            QVERIFY(n == 5000 || n == 2500);
            long seen = 0;
            qint64 sum = 0;
            while (!rs->EOF_()) {
                sum += rs->Fields(rs->Fields().Count() - 1).Value().toLongLong();
                ++seen;
                rs->MoveNext();
            }
            QCOMPARE(seen, n);
            QVERIFY(sum > 0);
            rs->MoveLast();
            QCOMPARE(rs->AbsolutePosition(), n - 1);
            QVERIFY(!rs->valueAt(n / 2, 0).isNull());
            QVERIFY(rs->valueAt(n, 0).isNull());
        }
        // Jumping to the end of a lazily keyed table, then deleting there.
        RecordsetPtr t = db->OpenRecordset("T");
        t->setAbsolutePosition(4999);
        QCOMPARE(t->Fields("N").Value(), QVariant(5000));
        t->Delete();
        t->MovePrevious();
        QCOMPARE(t->Fields("N").Value(), QVariant(4999));
        QCOMPARE(t->RecordCount(), 4999L);
    }
};

VT_TEST(RecordsetTest)
#include "RecordsetTest.moc"
