#include "../common/TestMain.h"
#include "../common/TestUtil.h"
#include "../workspace/WorkspaceTestUtil.h"

#include "app/frmMain.h"
#include "platform/AppPath.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>

using namespace vt;

namespace {
const QString kSave = "Do you wish to save your data?";
const QString kOutbox = "You have unsent messages in your Outbox.  Do you want to send them now?";

struct Fixture {
    vttest::ProgramDir dir;
    FakeDatabases dbs;
    frmMain win;
    int sendAllRuns = 0;
    Fixture(bool outboxFile)
    {
        dbs.tables[AppFilePath("Documents/Default.mdb")] = {"Contacts"};
        win.setAttachRoutine(dbs.routine(win.workspace()));
        win.setSendAllRoutine([this] { ++sendAllRuns; });
        win.load();
        win.show();
        if (outboxFile)
            vttest::writeAll(AppFilePath("Outbox/MSG1.TMP"), "HELO x\r\n");
        vttest::writeAll(AppFilePath("Undo.vtd"), "[General]\r\n");
        vttest::writeAll(AppFilePath("Redo.vtd"), "[General]\r\n");
    }
};
} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartShowsDefaultWorkspace()
    {
        Fixture f(false);
        QCOMPARE(f.win.objectName(), QString("frmMain"));
        QVERIFY(f.win.windowTitle().startsWith("Veltrana -- "));
        QTreeView* tree = f.win.findChild<QTreeView*>("tvTreeView");
        QVERIFY(tree);
        Workspace& ws = f.win.workspace();
        QCOMPARE(ws.rowCount(), 2);
        const QModelIndex db = ws.index(1, 0);
        const QModelIndex table = ws.index(0, 0, db);
        const QModelIndex list = ws.index(0, 0, table);
        QCOMPARE(ws.data(list).toString(), QString("MailList1"));
        QCOMPARE(ws.data(ws.index(0, 0, list)).toString(), QString("Message1"));
        QVERIFY(tree->isExpanded(db) && tree->isExpanded(list));
        QVERIFY(!f.win.findChild<QMenuBar*>()->actions().isEmpty());
        QCOMPARE(f.win.mnuFile->title(), QString("&File"));
    }

    void exitQuestions_data()
    {
        QTest::addColumn<bool>("outboxFile");
        QTest::addColumn<int>("saveAnswer");
        QTest::addColumn<int>("outboxAnswer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<int>("sendAllRuns");
        using A = Prompt::Answer;
        QTest::newRow("cancel") << true << int(A::Cancel) << -1 << false << false << 0;
        QTest::newRow("no, outbox empty") << false << int(A::No) << -1 << true << false << 0;
        QTest::newRow("no, outbox no") << true << int(A::No) << int(A::No) << true << false << 0;
        QTest::newRow("yes, outbox yes") << true << int(A::Yes) << int(A::Yes) << true << true << 1;
    }
    void exitQuestions()
    {
        QFETCH(bool, outboxFile);
        QFETCH(int, saveAnswer);
        QFETCH(int, outboxAnswer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        QFETCH(int, sendAllRuns);
        Fixture f(outboxFile);
        ScriptedPrompt sp;
        sp.answer(Prompt::Answer(saveAnswer));
        QStringList expected{kSave};
        if (outboxAnswer >= 0) {
            sp.answer(Prompt::Answer(outboxAnswer));
            expected << kOutbox;
        }
        f.win.close();
        QCOMPARE(sp.texts(), expected);
        QVERIFY(sp.unexpected().isEmpty());
        QCOMPARE(f.win.isVisible(), !closed);
        QCOMPARE(QFile::exists(AppFilePath("Veltrana.vtd")), saved);
        QCOMPARE(f.sendAllRuns, sendAllRuns);
        // Settings and undo files are touched only when the program really ends.
        QCOMPARE(HasSetting("Settings", "MainWidth"), closed);
        QCOMPARE(HasSetting("Settings", "Split"), closed);
        QCOMPARE(QFile::exists(AppFilePath("Undo.vtd")), !closed);
        QCOMPARE(QFile::exists(AppFilePath("Redo.vtd")), !closed);
        if (saved)
            QCOMPARE(f.win.statusBar()->findChild<QLabel*>("sbPanel1")->text(), QString("Data Saved"));
    }

    void minimisedExitKeepsPlacement()
    {
        Fixture f(false);
        SaveSetting("Settings", "MainLeft", "4321");
        f.win.setWindowState(Qt::WindowMinimized);
        ScriptedPrompt sp;
        sp.answer(Prompt::Answer::No);
        f.win.close();
        QCOMPARE(GetSetting("Settings", "MainLeft"), QString("4321"));
        QVERIFY(!HasSetting("Settings", "MainWidth"));
    }

    void placementRestoredInTwips()
    {
        vttest::ProgramDir dir;
        const int tpp = frmMain::twipsPerPixel();
        SaveSetting("Settings", "MainWidth", QString::number(800 * tpp));
        SaveSetting("Settings", "MainHeight", QString::number(600 * tpp));
        SaveSetting("Settings", "Split", QString::number(250 * tpp));
        frmMain win;
        win.load();
        QCOMPARE(win.size(), QSize(800, 600));
        win.show();
        QCOMPARE(win.imgSplitter->sizes().front(), 250);
    }

    void saveWritesWorkspaceFile()
    {
        Fixture f(false);
        f.win.mnuFileSave->trigger();
        const QByteArray bytes = vttest::readAll(AppFilePath("Veltrana.vtd"));
        QVERIFY(bytes.startsWith("[General]\r\nVersion=1.1\r\n"));
        QVERIFY(bytes.contains("Name=MailList1"));
        QCOMPARE(f.win.mnuFileSave->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(f.win.mnuFileExit->shortcut(), QKeySequence("Ctrl+Q"));
        ScriptedPrompt sp;
        sp.answer(Prompt::Answer::No);
        f.win.close();
    }
};

VT_TEST(StartupTest)
#include "StartupTest.moc"
