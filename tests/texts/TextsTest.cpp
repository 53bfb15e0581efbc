#include "../common/TestMain.h"

#include "texts/LocalizeForm.h"
#include "texts/ResText.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace vt;

class TextsTest : public QObject {
    Q_OBJECT
private slots:
    void resText_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("present");
        QTest::newRow("number") << "1133" << "Do you wish to save your data?" << true;
        QTest::newRow("blanks around") << " 2158" << "Explorer View" << true;
        QTest::newRow("doubled blanks kept")
            << "1157" << "You have unsent messages in your Outbox.  Do you want to send them now?" << true;
        QTest::newRow("odd spelling kept") << "1104" << "The mail list does not contain any recepients." << true;
        QTest::newRow("zero") << "0" << "" << false;
        QTest::newRow("negative") << "-5" << "" << false;
        QTest::newRow("word") << "Name" << "" << false;
        QTest::newRow("empty") << "" << "" << false;
        QTest::newRow("unknown number") << "1999" << "" << true;
    }
    void resText()
    {
        QFETCH(QString, tag);
        QFETCH(QString, expected);
        QFETCH(bool, present);
        auto r = ResText(tag);
        QCOMPARE(r.has_value(), present);
        QCOMPARE(r.value_or(QString()), expected);
    }

    void tableIsComplete()
    {
        // Every id the program's windows and files use has a text.
        for (int id : {1000, 1018, 1050, 1051, 1101, 1102, 1103, 1159, 1200, 1212, 2000, 2001, 2002, 2010,
                       2011, 2021, 2158, 2189})
            QVERIFY2(!ResText(id).isEmpty(), qPrintable(QString::number(id)));
        QVERIFY(ResText(2010).startsWith("Veltrana -- "));
    }

    void localizeForm()
    {
        QMainWindow w;
        setTag(&w, 2010);
        auto* central = new QWidget(&w);
        auto* lay = new QVBoxLayout(central);
        auto* lbl = new QLabel("design", central);
        setTag(lbl, 2158);
        auto* lblWord = new QLabel("design", central);
        setTag(lblWord, "Name");
        auto* lblNone = new QLabel("design", central);
        auto* cmd = new QPushButton("x", central);
        setTag(cmd, 2001);
        auto* opb = new QRadioButton("x", central);
        setTag(opb, 2126);
        auto* fra = new QGroupBox("x", central);
        setTag(fra, 2110);
        auto* tabs = new QTabWidget(central);
        tabs->addTab(new QWidget, "2022");
        tabs->addTab(new QWidget, "2023");
        auto* lv = new QTreeWidget(central);
        lv->setColumnCount(3);
        setColumnTags(lv, {"2180", "", "Name"});
        auto* images = new ImageList(central);
        images->add("1102", QIcon());
        images->add("", QIcon(), "keep");
        for (QWidget* c : std::initializer_list<QWidget*>{lbl, lblWord, lblNone, cmd, opb, fra, tabs, lv})
            lay->addWidget(c);
        w.setCentralWidget(central);

        QMenu* file = w.menuBar()->addMenu("2024");
        QAction* save = file->addAction("2028");
        file->addSeparator();
        QAction* zero = file->addAction("0");
        QMenu* sub = file->addMenu("2040");
        QAction* subItem = sub->addAction("2041");

        QToolBar* tb = w.addToolBar("tb");
        QAction* btn = tb->addAction("x");
        setTag(btn, 2139);
        tb->addSeparator();

        LocalizeForm(&w);

        QCOMPARE(w.windowTitle(), ResText(2010));
        QCOMPARE(lbl->text(), QString("Explorer View"));
        QCOMPARE(lblWord->text(), QString());
        QCOMPARE(lblNone->text(), QString());
        QCOMPARE(cmd->text(), QString("&OK"));
        QCOMPARE(opb->text(), QString("View &Single"));
        QCOMPARE(fra->title(), QString("Delimiters"));
        QCOMPARE(tabs->tabText(0), QString("&Internet Mail"));
        QCOMPARE(tabs->tabText(1), QString("&Signature"));
        QCOMPARE(lv->headerItem()->text(0), QString("To"));
        QCOMPARE(lv->headerItem()->text(1), QString(" "));
        QCOMPARE(lv->headerItem()->text(2), QString(" "));
        QCOMPARE(images->images()[0].key, QString("ClosedFolder"));
        QCOMPARE(images->images()[1].key, QString("keep"));
        QCOMPARE(file->title(), QString("&File"));
        QCOMPARE(save->text(), QString("&Save"));
        QCOMPARE(zero->text(), QString());
        QCOMPARE(sub->title(), QString("&View"));
        QCOMPARE(subItem->text(), QString("&Toolbar"));
        int separators = 0;
        for (QAction* a : file->actions())
            separators += a->isSeparator();
        QCOMPARE(separators, 1);
        QCOMPARE(btn->toolTip(), QString("Save"));
        QCOMPARE(buttonKey(btn), QString("Save"));
    }

    void dialogWithoutTagHasEmptyCaption()
    {
        QDialog d;
        d.setWindowTitle("design");
        LocalizeForm(&d);
        QCOMPARE(d.windowTitle(), QString());
    }
};

VT_TEST(TextsTest)
#include "TextsTest.moc"
