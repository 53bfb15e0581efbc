#include "SmtpSession.h"

#include "MimeText.h"
#include "OutboxFile.h"
#include "platform/AppPath.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "settings/MailSettings.h"
#include "texts/ResText.h"

namespace vt {

SmtpSession::SmtpSession(QObject* parent) : QObject(parent)
{
    timSendMail.setInterval(500);
    connect(&timSendMail, &QTimer::timeout, this, &SmtpSession::tick);
    connect(&sckSendMail, &QTcpSocket::readyRead, this, &SmtpSession::onReadyRead);
    connect(&sckSendMail, &QTcpSocket::connected, this, [this] {
        // Commands are small writes answered one by one: without this each
        // waits for the peer's delayed acknowledgement.
        sckSendMail.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    });
    connect(&sckSendMail, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (!m_closed)
            m_socketError = true;
    });
    connect(&sckSendMail, &QTcpSocket::disconnected, this, [this] {
        if (!m_closed)
            m_socketError = true;
    });
}

SmtpSession::~SmtpSession() { shutdown(); }

void SmtpSession::start()
{
    msSender = StripAngleAddress(GetSetting(mail::InternetMail, mail::EMail));
    mbHeloAccepted = false;
    mbConnectStarted = false;
    timSendMail.start();
}

void SmtpSession::setLabel(const QString& text, bool repaintNow)
{
    m_label = text;
    emit labelChanged(text, repaintNow);
}

void SmtpSession::requestClose()
{
    if (m_closed)
        return;
    shutdown();
    emit closeRequested();
}

void SmtpSession::shutdown()
{
    if (m_closed)
        return;
    m_closed = true;
    timSendMail.stop();
    sckSendMail.abort();
    if (fileOpen())
        closeFile(false); // an unfinished file stays in the Outbox
    bCreateMessages = false;
    bSendMessages = false;
}

void SmtpSession::tick()
{
    if (m_busy || m_closed)
        return;
    m_busy = true;
    if (bCreateMessages) {
        if (createMessages)
            createMessages();
        bCreateMessages = false;
    } else if (!bSendMessages) {
        requestClose();
    } else if (!mbConnectStarted) {
        ListOutbox();
        if (mpPending.isEmpty()) {
            requestClose();
        } else {
            mbConnectStarted = true;
            ConnectServer();
        }
    } else if (m_socketError) {
        timSendMail.stop();
        prompt().inform(ResText(1132), Prompt::Icon::Warning);
        requestClose();
    } else if (!mbHeloAccepted) {
        const QString base = ResText(1129);
        setLabel(m_label.size() >= base.size() + 5 || !m_label.startsWith(base) ? base : m_label + '.');
    } else if (!fileOpen()) {
        SendNextMessage();
    }
    m_busy = false;
}

void SmtpSession::ListOutbox() { mpPending = ListOutboxFiles(AppFilePath(QStringLiteral("Outbox"))); }

void SmtpSession::ConnectServer()
{
    setLabel(ResText(1129));
    const SmtpServer server = SplitRemoteHost(GetSetting(mail::InternetMail, mail::RemoteHost));
    if (!server.isValid()) {
        m_socketError = true;
        prompt().inform(ResText(1132), Prompt::Icon::Warning);
        requestClose();
        return;
    }
    sckSendMail.connectToHost(server.host, server.port);
}

void SmtpSession::SendLine(const QString& line)
{
    sckSendMail.write(line.toUtf8() + "\r\n");
}

void SmtpSession::SendNextMessage()
{
    const QString base = ResText(1137);
    if (!m_label.startsWith(base))
        setLabel(base);
    setLabel(m_label.size() >= base.size() + 5 ? base : m_label + '.');
    if (mpPending.isEmpty()) {
        timSendMail.stop();
        m_quitSent = true;
        SendLine(QStringLiteral("QUIT"));
        return;
    }
    msMessageFile = mpPending.takeFirst();
    m_file = std::make_unique<QFile>(msMessageFile);
    if (!m_file->open(QIODevice::ReadOnly)) {
        // Deleted meanwhile (by the Outbox pane): go on with the next one.
        m_file.reset();
        return;
    }
    SendLine(QStringLiteral("RSET"));
}

void SmtpSession::closeFile(bool remove)
{
    if (!m_file)
        return;
    m_file->close();
    if (remove)
        QFile::remove(msMessageFile);
    m_file.reset();
}

void SmtpSession::startNextNow()
{
    // The next file begins as soon as one is done; the tick is left for the
    // animation and the connection checks.
    if (!m_closed && mbHeloAccepted && !m_socketError)
        SendNextMessage();
}

void SmtpSession::onReadyRead()
{
    const QByteArray data = sckSendMail.readAll();
    for (const SmtpReply& r : m_reader.feed(data)) {
        if (m_closed)
            return;
        onReply(r);
    }
}

void SmtpSession::onReply(const SmtpReply& r)
{
    if (!r.valid) {
        // Not an SMTP reply: the server cannot be talked to.
        m_log += r.text.trimmed() + QStringLiteral("\r\n");
        requestClose();
        return;
    }
    const int code = r.code;
    if (code == 220) {
        const qsizetype at = msSender.indexOf('@');
        SendLine(QStringLiteral("HELO ") + (at >= 0 ? msSender.mid(at + 1) : msSender));
    } else if (code == 221) {
        requestClose();
    } else if (code == 250 || code == 251) {
        if (!mbHeloAccepted) {
            mbHeloAccepted = true;
        } else if (fileOpen() && !m_quitSent) {
            if (m_file->atEnd()) {
                closeFile(true);
                startNextNow();
            } else {
                QByteArray line = m_file->readLine();
                while (line.endsWith('\n') || line.endsWith('\r'))
                    line.chop(1);
                sckSendMail.write(line + "\r\n");
            }
        }
    } else if (code == 354) {
        if (fileOpen()) {
            // The data block goes out in one write.
            QByteArray rest = m_file->readAll();
            if (!rest.isEmpty() && !rest.endsWith('\n'))
                rest += "\r\n";
            sckSendMail.write(rest);
        }
    } else if (code >= 400) {
        m_log += r.text.trimmed() + QStringLiteral("\r\n");
        if (fileOpen()) {
            // A permanent refusal drops the message; a temporary one leaves it
            // in the Outbox for a later Send All.
            closeFile(code >= 500);
            if (mbHeloAccepted)
                startNextNow();
        }
        if (!mbHeloAccepted)
            requestClose();
    }
}

void SmtpSession::cancel()
{
    if (!m_socketError && mbHeloAccepted && !m_quitSent) {
        timSendMail.stop();
        m_quitSent = true;
        SendLine(QStringLiteral("QUIT"));
    } else {
        requestClose();
    }
}

} // namespace vt
