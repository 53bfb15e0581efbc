#include "../common/TestMain.h"
#include "DbTestUtil.h"

#include "db/DataControl.h"
#include "db/RecordsetModel.h"
#include "platform/Error.h"

#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>

using namespace vt;
using namespace vt::db;

class DataControlTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString fresh()
    {
        static int n = 0;
        const QString f = m_dir.filePath(QString("dc%1.db").arg(++n));
        return dbtest::makeDb(f, dbtest::peopleSql()) ? f : QString();
    }

    void bind(DataControl& dat, const QString& f, const QString& source)
    {
        dat.setDatabaseName(f);
        dat.setRecordSource(source);
        dat.Refresh();
    }

private slots:
    void buttonsAndNotices()
    {
        DataControl dat;
        QVERIFY(!dat.cmdFirst->isEnabled());
        QSignalSpy moved(&dat, &DataControl::moved);
        QList<int> actions;
        bool refuseDelete = true;
        connect(&dat, &DataControl::beforeChange, this, [&](int action, bool* cancel) {
            actions << action;
            if (action == actDelete && refuseDelete)
                *cancel = true;
        });
        bind(dat, fresh(), "SELECT * FROM [People] ORDER BY [ID]");
        QVERIFY(dat.cmdLast->isEnabled());
        QCOMPARE(moved.count(), 1); // the open
        RecordsetPtr rs = dat.Recordset();

        dat.cmdPrevious->click(); // at the first record: stays there
        QCOMPARE(rs->AbsolutePosition(), 0L);
        dat.cmdLast->click();
        dat.cmdNext->click(); // at the last: stays there
        QCOMPARE(rs->AbsolutePosition(), 7L);
        QVERIFY(!rs->EOF_());
        dat.cmdFirst->click();
        dat.cmdNext->click();
        QCOMPARE(rs->Fields("ID").Value(), QVariant(2));
        QVERIFY(!actions.isEmpty() && actions.first() == actMovePrevious);

        // Moves of the record set itself are notified as well; a delete can be refused.
        actions.clear();
        rs->Delete();
        QCOMPARE(actions, QList<int>{actDelete});
        QCOMPARE(rs->RecordCount(), 8L);
        refuseDelete = false;
        rs->Delete();
        QCOMPARE(rs->RecordCount(), 7L);
        const int before = moved.count();
        rs->MoveNext();
        QCOMPARE(moved.count(), before + 1);
        QCOMPARE(rs->Fields("ID").Value(), QVariant(3));

        // Re-opening and detaching notify a close.
        actions.clear();
        dat.Refresh();
        QCOMPARE(actions, QList<int>{actClose});
        QVERIFY(!rs->isOpen()); // the old record set went with its connection
        QCOMPARE(dat.Recordset()->RecordCount(), 7L);
        dat.setRecordset(nullptr);
        QVERIFY(!dat.Recordset());
        QVERIFY(!dat.cmdNext->isEnabled());
    }

    void refreshFailureLeavesNoRecordset()
    {
        DataControl dat;
        dat.setDatabaseName(m_dir.filePath("nowhere.db"));
        dat.setRecordSource("SELECT * FROM [People]");
        try {
            dat.Refresh();
            QFAIL("opened a missing file");
        } catch (const VtError& e) {
            QVERIFY(e.message().startsWith("Could not find file"));
        }
        QVERIFY(!dat.Recordset());
        QVERIFY(!dat.cmdFirst->isEnabled());
    }

    void modelShowsAndEditsRows()
    {
        DataControl dat;
        const QString f = fresh();
        bind(dat, f, "SELECT * FROM [People]");
        RecordsetModel model;
        model.bindTo(&dat);
        model.setEditable(true);
        QCOMPARE(model.rowCount(), 8);
        QCOMPARE(model.columnCount(), 8);
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QString("EMail"));
        QCOMPARE(model.data(model.index(4, 1)).toString(), QString("Émile Ébert"));
        QCOMPARE(model.data(model.index(2, 3)), QVariant(QString())); // null
        QCOMPARE(model.data(model.index(0, 6), Qt::CheckStateRole), QVariant(Qt::Checked));
        QVERIFY(model.flags(model.index(0, 6)) & Qt::ItemIsUserCheckable);
        QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
        QCOMPARE(dat.Recordset()->AbsolutePosition(), 0L); // reading did not move

        QVERIFY(model.setData(model.index(3, 4), "33"));
        QCOMPARE(dbtest::scalar(f, "SELECT Age FROM People WHERE ID = 4"), QString("33"));
        QVERIFY(model.setData(model.index(1, 6), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(dbtest::scalar(f, "SELECT Active FROM People WHERE ID = 2"), QString("-1"));
        QSignalSpy failed(&model, &RecordsetModel::editFailed);
        QVERIFY(!model.setData(model.index(0, 4), "thirty"));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(dbtest::scalar(f, "SELECT Age FROM People WHERE ID = 1"), QString("30"));

        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        dat.Recordset()->setAbsolutePosition(2);
        dat.Recordset()->Delete();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(model.rowCount(), 7);
        QCOMPARE(model.data(model.index(2, 1)).toString(), QString("Dan O'Dell"));
        dat.Recordset()->AddNew();
        dat.Recordset()->Fields("Name").setValue("Zed");
        dat.Recordset()->Update();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model.data(model.index(7, 1)).toString(), QString("Zed"));

        // A view is shown but not editable; a detached control empties the model.
        bind(dat, f, "Adults");
        QCOMPARE(model.rowCount(), 6); // Dan is 33 now
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
        dat.setRecordset(nullptr);
        QCOMPARE(model.rowCount(), 0);
    }

    void largeTableOpensLazily()
    {
        const QString f = m_dir.filePath("big.db");
        QVERIFY(dbtest::makeDb(f, "CREATE TABLE T (N INTEGER, Name TEXT);"
                                  "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 20000)"
                                  " INSERT INTO T SELECT i, 'n' || i FROM c;"));
        DataControl dat;
        bind(dat, f, "SELECT * FROM [T]");
        RecordsetModel model;
        model.bindTo(&dat);
        QTableView view;
        view.setModel(&model);
        view.resize(600, 400);
        view.show();
        QCOMPARE(model.rowCount(), 20000);
        view.scrollToBottom();
        QCoreApplication::processEvents();
        QCOMPARE(model.data(model.index(19999, 0)).toInt(), 20000);
        QCOMPARE(model.data(model.index(10000, 1)).toString(), QString("n10001"));
    }
};

VT_TEST(DataControlTest)
#include "DataControlTest.moc"
