// Delivers 10,000 Outbox files through the send window over one connection to
// Postfix's smtp-sink on loopback, and times the same number of messages of
// the same size sent by smtp-source -s 1 and by a Python smtplib loop.
// Run it plainly and under "taskset -c 1" (client and server on one core).
#include "platform/AppPath.h"
#include "platform/Settings.h"
#include "send/OutboxFile.h"
#include "send/frmSendSMTP.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

using namespace vt;

namespace {
int freePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

struct Sink {
    QProcess proc;
    int port = freePort();
    Sink()
    {
        proc.start("/usr/sbin/smtp-sink", {"-u", "nobody", QStringLiteral("127.0.0.1:%1").arg(port), "1000"});
        proc.waitForStarted();
        QThread::msleep(300);
    }
    ~Sink()
    {
        proc.kill();
        proc.waitForFinished();
    }
};

double timeCommand(const QString& program, const QStringList& args, QString* out = nullptr)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    p.waitForFinished(600000);
    if (out)
        *out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    return t.nsecsElapsed() / 1e9;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    setProgramDir(dir.path());
    setSettingsFile(dir.path() + "/settings.ini");
    SaveSetting("Internet Mail", "EMail", "sales@example.org");

    QString body;
    while (body.size() < 2048)
        body += QString(70, 'x') + "\r\n";
    qint64 bytes = 0;
    {
        OutboxWriter w(AppFilePath("Outbox"));
        for (int i = 0; i < count; ++i) {
            OutboxMessage m;
            m.sender = "sales@example.org";
            m.recipient = "ann@example.com";
            m.toText = "Ann";
            m.fromText = "Sales";
            m.subject = "bench";
            m.body = body;
            const QByteArray f = OutboxFileText(m);
            bytes += f.size();
            w.write(f);
        }
    }

    double ours = 0;
    {
        Sink sink;
        SaveSetting("Internet Mail", "RemoteHost", QStringLiteral("127.0.0.1:%1").arg(sink.port));
        frmSendSMTP::setErrorLogShower([](const QString& log) { std::printf("error log: %s\n", qPrintable(log.left(200))); });
        QElapsedTimer t;
        t.start();
        {
            frmSendSMTP w;
            w.session().bSendMessages = true;
            w.run();
        }
        ours = t.nsecsElapsed() / 1e9;
        const int left = ListOutboxFiles(AppFilePath("Outbox")).size();
        if (left)
            std::printf("warning: %d files left in the Outbox\n", left);
    }
    double source = 0, python = 0;
    {
        Sink sink;
        source = timeCommand("/usr/sbin/smtp-source",
                             {"-s", "1", "-m", QString::number(count), "-l", QString::number(bytes / count), "-f",
                              "sales@example.org", "-t", "ann@example.com", QStringLiteral("127.0.0.1:%1").arg(sink.port)});
    }
    {
        Sink sink;
        QString out;
        timeCommand("/usr/bin/python3",
                    {QStringLiteral(VT_BENCH_DIR) + "/smtplib_loop.py", "127.0.0.1", QString::number(sink.port),
                     QString::number(count), QString::number(bytes / count)},
                    &out);
        python = out.toDouble();
    }
    std::printf("%d messages of %lld bytes: send window %.3f s (%.0f msg/s), smtp-source -s 1 %.3f s (%.0f msg/s), "
                "python smtplib %.3f s (%.0f msg/s); window / smtp-source = %.2f\n",
                count, static_cast<long long>(bytes / count), ours, count / ours, source, count / source, python,
                count / python, ours / source);
    return 0;
}
