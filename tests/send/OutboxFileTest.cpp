#include "../common/TestMain.h"
#include "../common/TestUtil.h"

#include "platform/AppPath.h"
#include "send/MimeText.h"
#include "send/OutboxFile.h"
#include "send/SmtpReply.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>
#include "platform/Error.h"
#include <QTest>

using namespace vt;

namespace {
OutboxMessage sample()
{
    OutboxMessage m;
    m.sender = "sales@example.org";
    m.recipient = "ann@example.com";
    m.toText = "Ann Smith";
    m.fromText = "Sales [FirstName]";
    m.subject = "News";
    m.body = "Dear Ann,\r\nsee you soon.";
    m.date = QDateTime(QDate(2026, 12, 11), QTime(14, 5, 9), QTimeZone(3600));
    m.messageId = "<x1@example.org>";
    return m;
}

qsizetype lineStarting(const QStringList& l, const QString& prefix)
{
    for (qsizetype i = 0; i < l.size(); ++i)
        if (l[i].startsWith(prefix))
            return i;
    return -1;
}

QStringList lines(const QByteArray& file)
{
    QStringList l = QString::fromUtf8(file).split("\r\n");
    if (l.last().isEmpty())
        l.removeLast(); // the last line ends in CR LF too
    return l;
}
} // namespace

class OutboxFileTest : public QObject {
    Q_OBJECT
private slots:
    void asciiMessage()
    {
        const QByteArray f = OutboxFileText(sample());
        QVERIFY(f.endsWith("\r\n.\r\n"));
        const QStringList l = lines(f);
        QCOMPARE(l.mid(0, 4), (QStringList{"MAIL FROM: <sales@example.org>", "RCPT TO: <ann@example.com>", "DATA",
                                           "To: \"Ann Smith\"<ann@example.com>"}));
        QCOMPARE(l[4], QString("From: \"Sales [FirstName]\"<sales@example.org>"));
        QCOMPARE(l[5], QString("Reply-To: sales@example.org"));
        QCOMPARE(l[6], QString("Subject: News"));
        QVERIFY(l[7].startsWith("Date: "));
        QCOMPARE(l[8], QString("Errors-To: sales@example.org"));
        QCOMPARE(l[9], QString("Originator: sales@example.org"));
        QVERIFY(l[10].startsWith("X-Mailer: Veltrana "));
        QVERIFY(l[11].startsWith("X-Mailer-Version: Veltrana v"));
        QCOMPARE(l[12], QString("X-VeltranaUser: sales@example.org"));
        QCOMPARE(l[13], QString("Message-ID: <x1@example.org>"));
        QCOMPARE(l[14], QString("MIME-Version: 1.0"));
        QCOMPARE(l[15], QString("Content-Type: text/plain; charset=UTF-8"));
        QCOMPARE(l.mid(16), (QStringList{"", "Dear Ann,", "see you soon.", "."}));
    }

    void dateHeader()
    {
        const QDateTime utc(QDate(2026, 12, 11), QTime(13, 5, 9), QTimeZone::utc());
        const QString s = DateHeaderText(utc);
        QVERIFY(QRegularExpression("^[A-Z][a-z]{2}, \\d\\d [A-Z][a-z]{2} \\d{4} \\d\\d:\\d\\d:\\d\\d [+-]\\d{4}$")
                    .match(s)
                    .hasMatch());
        // The text names the same instant it was made from.
        QCOMPARE(QDateTime::fromString(s, Qt::RFC2822Date).toUTC(), utc);
    }

    void bccAndBodyEdges_data()
    {
        QTest::addColumn<QString>("bcc");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("tail");
        QTest::newRow("dot stuffing") << "" << ".hidden\r\n.\r\nok" << QStringList{"", "..hidden", "..", "ok", "."};
        QTest::newRow("empty body") << "" << "" << QStringList{"", "", "."};
        QTest::newRow("trailing line break kept") << "" << "x\r\n" << QStringList{"", "x", "", "."};
        QTest::newRow("bcc") << "boss@example.org" << "x" << QStringList{"", "x", "."};
    }
    void bccAndBodyEdges()
    {
        QFETCH(QString, bcc);
        QFETCH(QString, body);
        QFETCH(QStringList, tail);
        OutboxMessage m = sample();
        m.bcc = bcc;
        m.body = body;
        const QByteArray f = OutboxFileText(m);
        const QStringList l = lines(f);
        QCOMPARE(l.mid(l.size() - tail.size()), tail);
        QCOMPARE(l[2] == "RCPT TO: <boss@example.org>", !bcc.isEmpty());
        QCOMPARE(f.count("boss@example.org"), bcc.isEmpty() ? 0 : 1); // envelope only
    }

    void injectionNeutralised()
    {
        OutboxMessage m = sample();
        m.toText = "Ann\r\nBcc: victim@example.net";
        m.subject = "Hi\r\n.\r\nRSET";
        m.recipient = "ann@example.com>\r\nRCPT TO: <x@example.net";
        m.fromText = "Sales\nX-Evil: 1";
        const QStringList l = lines(OutboxFileText(m));
        for (const QString& line : l) {
            QVERIFY2(!line.startsWith("Bcc:") && !line.startsWith("X-Evil") && line != "RSET", qPrintable(line));
        }
        QCOMPARE(l.count("."), 1);
        QCOMPARE(l.filter(QRegularExpression("^RCPT TO")).size(), 1);
    }

    void nonAsciiEncoded()
    {
        OutboxMessage m = sample();
        m.toText = QString::fromUtf8("Zoë Ärger");
        m.subject = QString::fromUtf8("Grüße aus Köln – ") + QString(60, 'x');
        m.body = QString::fromUtf8("Liebe Zoë,\r\n.ünd\r\n") + QString(100, 'y');
        const QByteArray f = OutboxFileText(m);
        for (char c : f)
            QVERIFY(uchar(c) < 0x80);
        const QStringList l = lines(f);
        for (const QString& line : l)
            QVERIFY2(line.size() <= 998, qPrintable(line.left(40)));
        QVERIFY(l.contains("Content-Transfer-Encoding: quoted-printable"));
        const qsizetype to = lineStarting(l, "To: ");
        QVERIFY(to > 0);
        QCOMPARE(DecodeHeaderText(l[to].mid(4)), QString::fromUtf8("Zoë Ärger<ann@example.com>"));
        // The subject may be folded over several lines.
        qsizetype s = lineStarting(l, "Subject: ");
        QVERIFY(s > 0);
        QString subject = l[s].mid(9);
        while (l[s + 1].startsWith(' '))
            subject += l[++s];
        QCOMPARE(DecodeHeaderText(subject), m.subject);
        const qsizetype blank = l.indexOf("");
        QStringList body = l.mid(blank + 1, l.size() - blank - 2);
        for (QString& b : body)
            if (b.startsWith(".."))
                b.remove(0, 1);
        QCOMPARE(DecodeQuotedPrintable(body.join("\r\n")), m.body);
    }

    void stripAngleAddress_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("display name") << "Ann Smith <ann@example.com>" << "ann@example.com";
        QTest::newRow("bare") << "ann@example.com" << "ann@example.com";
        QTest::newRow("reversed") << "a > b < c" << "a > b < c";
        QTest::newRow("empty brackets") << "<>" << "";
    }
    void stripAngleAddress()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(StripAngleAddress(in), out);
    }

    void writerNamesAndNeverReplaces()
    {
        vttest::ProgramDir dir;
        const QString outbox = AppFilePath("Outbox");
        QDir().mkpath(outbox);
        vttest::writeAll(outbox + "/MSG1.TMP", "existing");
        vttest::writeAll(outbox + "/MSG2.TMP", "existing");
        OutboxWriter w(outbox);
        QSet<QString> names;
        for (int i = 0; i < 5; ++i) {
            const QString p = w.write("MAIL FROM: <a@b>\r\n");
            QVERIFY(QRegularExpression("/MSG[0-9A-F]{1,8}\\.TMP$").match(p).hasMatch());
            names.insert(p);
        }
        w.sync();
        QCOMPARE(names.size(), 5);
        QCOMPARE(vttest::readAll(outbox + "/MSG1.TMP"), QByteArray("existing"));
        QCOMPARE(ListOutboxFiles(outbox).size(), 7);
        // Nothing but whole Outbox files is left behind.
        QCOMPARE(QDir(outbox).entryList(QDir::Files).size(), 7);
    }

    void writerFailsClearly()
    {
        vttest::ProgramDir dir;
        vttest::writeAll(AppFilePath("Outbox"), "a file where the folder should be");
        OutboxWriter w(AppFilePath("Outbox"));
        QVERIFY_THROWS_EXCEPTION(VtError, w.write("x"));
    }

    void replies_data()
    {
        QTest::addColumn<QList<QByteArray>>("arrivals");
        QTest::addColumn<QStringList>("replies"); // "code text" or "invalid text"
        using L = QList<QByteArray>;
        QTest::newRow("one") << L{"220 mail ready\r\n"} << QStringList{"220 mail ready"};
        QTest::newRow("bare code") << L{"250\r\n"} << QStringList{"250 "};
        QTest::newRow("split over arrivals") << L{"25", "0 o", "k\r\n"} << QStringList{"250 ok"};
        QTest::newRow("two in one") << L{"250 a\r\n354 go\r\n"} << QStringList{"250 a", "354 go"};
        QTest::newRow("multi-line greeting")
            << L{"220-first\r\n220-second\r\n", "220 last\r\n"} << QStringList{"220 first second last"};
        QTest::newRow("not three digits") << L{"hello\r\n"} << QStringList{"invalid hello"};
        QTest::newRow("no line end yet") << L{"250 ok"} << QStringList{};
        QTest::newRow("bare LF") << L{"221 bye\n"} << QStringList{"221 bye"};
    }
    void replies()
    {
        QFETCH(QList<QByteArray>, arrivals);
        QFETCH(QStringList, replies);
        SmtpReplyReader r;
        QStringList got;
        for (const QByteArray& a : arrivals)
            for (const SmtpReply& rep : r.feed(a))
                got << (rep.valid ? QString::number(rep.code) : QString("invalid")) + ' ' + rep.text;
        QCOMPARE(got, replies);
    }
};

VT_TEST(OutboxFileTest)
#include "OutboxFileTest.moc"
