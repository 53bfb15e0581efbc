#include "../common/TestMain.h"
#include "../common/TestUtil.h"
#include "SmtpTestServer.h"

#include "platform/AppPath.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "send/OutboxFile.h"
#include "send/frmSendSMTP.h"

#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vt;

namespace {
const QString kConnectionError = "Connection Error";

// A program directory whose Outbox holds one file per recipient, and the
// mail settings pointing at host.
struct Outbox {
    vttest::ProgramDir dir;
    QStringList files;
    explicit Outbox(const QString& remoteHost, const QStringList& recipients = {"ann@example.com"})
    {
        SaveSetting("Internet Mail", "EMail", "Sales Office <sales@example.org>");
        SaveSetting("Internet Mail", "RemoteHost", remoteHost);
        OutboxWriter w(AppFilePath("Outbox"));
        for (const QString& r : recipients) {
            OutboxMessage m;
            m.sender = "sales@example.org";
            m.recipient = r;
            m.toText = r.section('@', 0, 0);
            m.fromText = "Sales Office";
            m.subject = "News for " + r;
            m.body = "Dear " + r + ",\r\n.a line with a leading dot\r\n.\r\nBye";
            m.messageId = NewMessageId(m.sender);
            files << w.write(OutboxFileText(m));
        }
    }
    int left() const { return ListOutboxFiles(AppFilePath("Outbox")).size(); }
};

// Runs a send window to its end and returns the error log it showed.
QString send(const std::function<void(frmSendSMTP&)>& during = {})
{
    QString shown;
    frmSendSMTP::setErrorLogShower([&](const QString& log) { shown = log; });
    {
        frmSendSMTP w;
        w.session().bSendMessages = true;
        if (during)
            during(w);
        // A session never takes this long against a local server: end it
        // rather than hang the suite.
        QTimer::singleShot(30000, &w, [&w] { w.close(); });
        w.run();
    }
    frmSendSMTP::setErrorLogShower({});
    return shown;
}

QStringList recipients(const QList<QJsonObject>& msgs)
{
    QStringList r;
    for (const auto& m : msgs)
        for (const auto& v : m["rcpt_tos"].toArray())
            r << v.toString();
    r.sort(); // files go out in the order the folder lists them
    return r;
}
} // namespace

class SendSessionTest : public QObject {
    Q_OBJECT
private slots:
    void deliversEveryFile()
    {
        SmtpTestServer server({"--greeting", "multiline", "--split"});
        QVERIFY(server.port());
        Outbox box(server.remoteHost(), {"ann@example.com", "bob@example.com"});
        ScriptedPrompt sp;
        QCOMPARE(send(), QString());
        QVERIFY(sp.asked().empty());
        const auto msgs = server.messages();
        QCOMPARE(recipients(msgs), (QStringList{"ann@example.com", "bob@example.com"}));
        const QJsonObject ann = msgs[0]["rcpt_tos"].toArray()[0].toString() == "ann@example.com" ? msgs[0] : msgs[1];
        QCOMPARE(ann["helo"].toString(), QString("example.org"));
        QCOMPARE(ann["mail_from"].toString(), QString("sales@example.org"));
        QCOMPARE(ann["headers"].toObject()["Subject"].toString(), QString("News for ann@example.com"));
        QCOMPARE(ann["body"].toString(),
                 QString("Dear ann@example.com,\r\n.a line with a leading dot\r\n.\r\nBye\r\n"));
        QCOMPARE(box.left(), 0);
    }

    void secondRecipientRefused()
    {
        SmtpTestServer server({"--refuse-rcpt", "bob@example.com"});
        Outbox box(server.remoteHost(), {"ann@example.com", "bob@example.com", "cy@example.com"});
        ScriptedPrompt sp;
        const QString log = send();
        QCOMPARE(log, QString("5.1.1 <bob@example.com>: Recipient address rejected\r\n"));
        QCOMPARE(recipients(server.messages()), (QStringList{"ann@example.com", "cy@example.com"}));
        QCOMPARE(box.left(), 0); // the refused message is dropped
    }

    void temporaryRefusalKeepsFile()
    {
        SmtpTestServer server({"--tempfail-rcpt", "bob@example.com"});
        Outbox box(server.remoteHost(), {"ann@example.com", "bob@example.com"});
        ScriptedPrompt sp;
        QVERIFY(send().contains("Try again later"));
        QCOMPARE(recipients(server.messages()), QStringList{"ann@example.com"});
        const QStringList left = ListOutboxFiles(AppFilePath("Outbox"));
        QCOMPARE(left, QStringList{box.files[1]});
    }

    void refusedGreetingKeepsAll()
    {
        SmtpTestServer server({"--greeting", "421"});
        Outbox box(server.remoteHost(), {"ann@example.com", "bob@example.com"});
        ScriptedPrompt sp;
        QCOMPARE(send(), QString("4.3.2 Service not available, closing channel\r\n"));
        QVERIFY(sp.asked().empty());
        QCOMPARE(box.left(), 2);
    }

    void connectionFailuresKeepAll_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("nothing listening") << "127.0.0.1:1";
        QTest::newRow("no server set") << "";
    }
    void connectionFailuresKeepAll()
    {
        QFETCH(QString, host);
        Outbox box(host);
        ScriptedPrompt sp;
        sp.answer(Prompt::Answer::Ok);
        send();
        QCOMPARE(sp.texts(), QStringList{kConnectionError});
        QCOMPARE(sp.asked()[0].icon, Prompt::Icon::Warning);
        QCOMPARE(box.left(), 1);
    }

    void droppedInDataKeepsFile()
    {
        SmtpTestServer server({"--drop-in-data"});
        Outbox box(server.remoteHost());
        ScriptedPrompt sp;
        sp.answer(Prompt::Answer::Ok);
        send();
        QCOMPARE(sp.texts(), QStringList{kConnectionError});
        QCOMPARE(box.left(), 1);
    }

    void cancelWhileConnecting()
    {
        SmtpTestServer server({"--silent"});
        Outbox box(server.remoteHost());
        ScriptedPrompt sp;
        send([](frmSendSMTP& w) { QTimer::singleShot(1200, w.cmdCancel, &QPushButton::click); });
        QVERIFY(sp.asked().empty());
        QCOMPARE(box.left(), 1);
        QVERIFY(server.messages().isEmpty());
    }

    void cancelAfterGreetingSendsQuit()
    {
        SmtpTestServer server;
        Outbox box(server.remoteHost(), {"ann@example.com", "bob@example.com"});
        ScriptedPrompt sp;
        bool cancelled = false;
        send([&](frmSendSMTP& w) {
            QObject::connect(&w.session(), &SmtpSession::labelChanged, &w, [&](const QString& t) {
                if (!cancelled && t.startsWith("Sending Message")) {
                    cancelled = true;
                    w.cmdCancel->click();
                }
            });
        });
        QVERIFY(cancelled);
        QVERIFY(server.messages().isEmpty());
        QCOMPARE(box.left(), 2); // the file that was begun stays too
    }

    void emptyFileDeletedAndNextSent()
    {
        SmtpTestServer server;
        Outbox box(server.remoteHost(), {"ann@example.com"});
        vttest::writeAll(AppFilePath("Outbox/MSG0.TMP"), QByteArray());
        ScriptedPrompt sp;
        QCOMPARE(send(), QString());
        QCOMPARE(server.messages().size(), 1);
        QCOMPARE(box.left(), 0);
    }

    void emptyOutboxClosesWithoutNetwork()
    {
        vttest::ProgramDir dir;
        SaveSetting("Internet Mail", "RemoteHost", "127.0.0.1:1");
        ScriptedPrompt sp;
        send();
        QVERIFY(sp.asked().empty()); // no connection attempted, so no error
    }
};

VT_TEST(SendSessionTest)
#include "SendSessionTest.moc"
