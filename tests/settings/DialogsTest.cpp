#include "../common/TestMain.h"
#include "../common/TestUtil.h"
#include "Fixtures.h"

#include "platform/AppPath.h"
#include "platform/Error.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "settings/DiscoverMailSettings.h"
#include "settings/frmOptions.h"
#include "settings/frmSMTPDefaults.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace vt;

namespace {
template <class W>
W* child(QWidget* w, const char* name)
{
    W* c = w->findChild<W*>(QLatin1String(name));
    if (!c)
        qFatal("control %s missing", name);
    return c;
}

QString labelText(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }
QString buttonText(QWidget* w, const char* name) { return child<QPushButton>(w, name)->text(); }

void setBox(QWidget* w, const char* name, const QString& text)
{
    QLineEdit* e = child<QLineEdit>(w, name);
    e->selectAll();
    if (text.isEmpty())
        QTest::keyClick(e, Qt::Key_Delete);
    else
        QTest::keyClicks(e, text);
}

void presetAll()
{
    SaveSetting("Internet Mail", "Name", "Ann Example");
    SaveSetting("Internet Mail", "EMail", "ann@example.org");
    SaveSetting("Internet Mail", "RemoteHost", "smtp.example.org:587");
    SaveSetting("Signature", "Text", "Regards,\n\nAnn\n-- \nexample.org");
    SaveSetting("General", "BCC", "archive@example.org");
    SaveSetting("General", "DefaultFilter", "False");
    SaveSetting("General", "SendImmediate", "True");
}
} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void optionsOnAFreshSystem()
    {
        vttest::ProgramDir dir;
        frmOptions dlg;
        QCOMPARE(dlg.windowTitle(), QString("Options"));
        QTabWidget* tabs = child<QTabWidget>(&dlg, "SSTab1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QString("&Internet Mail"));
        QCOMPARE(tabs->tabText(1), QString("&Signature"));
        QCOMPARE(tabs->tabText(2), QString("&General"));
        QCOMPARE(labelText(&dlg, "lblName"), QString("&Full Name:"));
        QCOMPARE(labelText(&dlg, "lblEmail"), QString("&E-mail Address"));
        QCOMPARE(labelText(&dlg, "lblServer"), QString("Internet Mail ser&ver:"));
        QCOMPARE(labelText(&dlg, "lblBCC"), QString("&Bcc:"));
        QCOMPARE(buttonText(&dlg, "cmdOK"), QString("&OK"));
        QCOMPARE(buttonText(&dlg, "cmdCancel"), QString("&Cancel"));
        QCheckBox* filter = child<QCheckBox>(&dlg, "chkDefaultFilter");
        QCheckBox* immediate = child<QCheckBox>(&dlg, "chkSendImmediate");
        QCOMPARE(filter->text(), QString("Create &default filter for new Mail Lists"));
        QCOMPARE(immediate->text(), QString("&Send messages immediately"));
        QVERIFY(filter->isChecked());
        QVERIFY(immediate->isChecked());
        for (const char* box : {"txtName", "txtEmail", "txtServer", "txtBCC"})
            QVERIFY(child<QLineEdit>(&dlg, box)->text().isEmpty());
        QVERIFY(child<QPlainTextEdit>(&dlg, "txtSignature")->toPlainText().isEmpty());
    }

    void optionsShowAndWriteBack()
    {
        vttest::ProgramDir dir;
        presetAll();
        frmOptions dlg;
        QCOMPARE(child<QLineEdit>(&dlg, "txtName")->text(), QString("Ann Example"));
        QCOMPARE(child<QLineEdit>(&dlg, "txtEmail")->text(), QString("ann@example.org"));
        QCOMPARE(child<QLineEdit>(&dlg, "txtServer")->text(), QString("smtp.example.org:587"));
        QCOMPARE(child<QLineEdit>(&dlg, "txtBCC")->text(), QString("archive@example.org"));
        QPlainTextEdit* sig = child<QPlainTextEdit>(&dlg, "txtSignature");
        QCOMPARE(sig->toPlainText(), QString("Regards,\n\nAnn\n-- \nexample.org"));
        QCOMPARE(sig->document()->blockCount(), 5);
        QVERIFY(!child<QCheckBox>(&dlg, "chkDefaultFilter")->isChecked());

        setBox(&dlg, "txtName", "Bo Other");
        setBox(&dlg, "txtServer", "");
        setBox(&dlg, "txtBCC", "");
        sig->setPlainText("Line one\nLine two");
        child<QCheckBox>(&dlg, "chkDefaultFilter")->click();
        child<QCheckBox>(&dlg, "chkSendImmediate")->click();
        QTest::mouseClick(child<QPushButton>(&dlg, "cmdOK"), Qt::LeftButton);

        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(GetSetting("Internet Mail", "Name"), QString("Bo Other"));
        QCOMPARE(GetSetting("Internet Mail", "EMail"), QString("ann@example.org"));
        QVERIFY(HasSetting("Internet Mail", "RemoteHost")); // stored empty, as typed
        QCOMPARE(GetSetting("Internet Mail", "RemoteHost", "x"), QString());
        QCOMPARE(GetSetting("General", "BCC", "x"), QString());
        QCOMPARE(GetSetting("Signature", "Text"), QString("Line one\nLine two"));
        QCOMPARE(GetSetting("General", "DefaultFilter"), QString("True"));
        QCOMPARE(GetSetting("General", "SendImmediate"), QString("False"));

        // Shown again with its line breaks.
        frmOptions again;
        QCOMPARE(child<QPlainTextEdit>(&again, "txtSignature")->document()->blockCount(), 2);
    }

    void signatureWithCarriageReturnsShownAsLines()
    {
        vttest::ProgramDir dir;
        SaveSetting("Signature", "Text", "One\r\nTwo\rThree");
        frmOptions dlg;
        QCOMPARE(child<QPlainTextEdit>(&dlg, "txtSignature")->toPlainText(), QString("One\nTwo\nThree"));
    }

    void cancelWritesNothing_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("escape");
        QTest::newRow("Options, Cancel") << "frmOptions" << false;
        QTest::newRow("Options, Escape") << "frmOptions" << true;
        QTest::newRow("Internet Mail Settings, Cancel") << "frmSMTPDefaults" << false;
        QTest::newRow("Internet Mail Settings, Escape") << "frmSMTPDefaults" << true;
    }
    void cancelWritesNothing()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, escape);
        vttest::ProgramDir dir;
        presetAll();
        const QByteArray before = vttest::readAll(settingsFile());
        std::unique_ptr<QDialog> dlg;
        if (dialog == "frmOptions")
            dlg = std::make_unique<frmOptions>();
        else
            dlg = std::make_unique<frmSMTPDefaults>();
        QCOMPARE(dlg->objectName(), dialog);
        setBox(dlg.get(), "txtName", "Changed");
        setBox(dlg.get(), "txtEmail", "");
        if (auto* c = dlg->findChild<QCheckBox*>("chkSendImmediate"))
            c->click();
        if (escape)
            QTest::keyClick(dlg.get(), Qt::Key_Escape);
        else
            QTest::mouseClick(child<QPushButton>(dlg.get(), "cmdCancel"), Qt::LeftButton);
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QCOMPARE(vttest::readAll(settingsFile()), before);
        QCOMPARE(GetSetting("Internet Mail", "Name"), QString("Ann Example"));
    }

    void internetMailSettingsShowAndWrite()
    {
        vttest::ProgramDir dir;
        SaveSetting("Internet Mail", "Name", "Ann Example");
        SaveSetting("Internet Mail", "RemoteHost", "smtp.example.org");
        frmSMTPDefaults dlg;
        QCOMPARE(dlg.windowTitle(), QString("Internet Mail Settings"));
        QCOMPARE(labelText(&dlg, "lblInstruction"),
                 QString("If you do not know these values now, you may set them later with the View->Options command."));
        QCOMPARE(labelText(&dlg, "lblName"), QString("&Full Name:"));
        QCOMPARE(labelText(&dlg, "lblEmail"), QString("&E-mail Address"));
        QCOMPARE(labelText(&dlg, "lblServer"), QString("Internet Mail ser&ver:"));
        QCOMPARE(buttonText(&dlg, "cmdOK"), QString("&OK"));
        QCOMPARE(buttonText(&dlg, "cmdCancel"), QString("&Cancel"));
        QCOMPARE(buttonText(&dlg, "cmdHelp"), QString("&Help"));
        QCOMPARE(child<QLineEdit>(&dlg, "txtName")->text(), QString("Ann Example"));
        QVERIFY(child<QLineEdit>(&dlg, "txtEmail")->text().isEmpty());
        QCOMPARE(child<QLineEdit>(&dlg, "txtServer")->text(), QString("smtp.example.org"));

        setBox(&dlg, "txtName", "");
        setBox(&dlg, "txtEmail", "ann@example.org");
        // OK is the default button: Enter in a box presses it.
        dlg.show();
        QTest::keyClick(child<QLineEdit>(&dlg, "txtEmail"), Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(HasSetting("Internet Mail", "Name"));
        QCOMPARE(GetSetting("Internet Mail", "Name", "x"), QString());
        QCOMPARE(GetSetting("Internet Mail", "EMail"), QString("ann@example.org"));
        QCOMPARE(GetSetting("Internet Mail", "RemoteHost"), QString("smtp.example.org"));
    }

    void helpOpensTopicTwoAndReportsFailures()
    {
        vttest::ProgramDir dir;
        QStringList opened;
        frmSMTPDefaults::setHelpHandler([&](const QString& file, int topic) {
            opened << file + '#' + QString::number(topic);
            if (opened.size() == 2)
                throw VtError("The help file could not be opened.");
        });
        ScriptedPrompt prompt;
        prompt.answer(Prompt::Answer::Ok);
        {
            frmSMTPDefaults dlg;
            QPushButton* help = child<QPushButton>(&dlg, "cmdHelp");
            QTest::mouseClick(help, Qt::LeftButton);
            QVERIFY(prompt.asked().empty());
            QTest::mouseClick(help, Qt::LeftButton);
            QCOMPARE(opened, QStringList({AppFilePath("Veltrana.hlp") + "#2", AppFilePath("Veltrana.hlp") + "#2"}));
            QCOMPARE(prompt.texts(), QStringList{"The help file could not be opened."});
        }
        frmSMTPDefaults::setHelpHandler({});
        frmSMTPDefaults dlg;
        QTest::mouseClick(child<QPushButton>(&dlg, "cmdHelp"), Qt::LeftButton);
        QVERIFY(prompt.unexpected().isEmpty());
    }

    // Start-up: with nothing found, the dialog comes up; Cancel leaves the
    // settings as they were and start-up goes on.
    void startUpAsksWhenNothingFound_data()
    {
        QTest::addColumn<bool>("usable");
        QTest::addColumn<bool>("pressOK");
        QTest::newRow("nothing found, Cancel") << false << false;
        QTest::newRow("nothing found, OK") << false << true;
        QTest::newRow("usable: no dialog") << true << false;
    }
    void startUpAsksWhenNothingFound()
    {
        QFETCH(bool, usable);
        QFETCH(bool, pressOK);
        vttest::ProgramDir dir;
        vttest::SourcesHome home;
        if (usable) {
            SaveSetting("Internet Mail", "EMail", "me@example.org");
            SaveSetting("Internet Mail", "RemoteHost", "smtp.example.org");
        }
        QString shown;
        QTimer timer;
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w)
                return;
            shown = w->objectName();
            setBox(w, "txtServer", "typed.example");
            QTest::mouseClick(child<QPushButton>(w, pressOK ? "cmdOK" : "cmdCancel"), Qt::LeftButton);
        });
        timer.start();
        RunMailSettingsDiscovery();
        QCOMPARE(shown, usable ? QString() : QString("frmSMTPDefaults"));
        QCOMPARE(HasSetting("Internet Mail", "RemoteHost"), usable || pressOK);
        if (pressOK)
            QCOMPARE(GetSetting("Internet Mail", "RemoteHost"), QString("typed.example"));
    }
};
VT_TEST(DialogsTest)

#include "DialogsTest.moc"
