#pragma once
#include "SmtpReply.h"

#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>

namespace vt {

// One sending job: optionally generate the selected message into the Outbox,
// then replay every Outbox file to the SMTP server. Driven by a 500 ms timer
// and by the socket; knows nothing of widgets (the send window shows its
// label and closes when it asks).
class SmtpSession : public QObject {
    Q_OBJECT
public:
    explicit SmtpSession(QObject* parent = nullptr);
    ~SmtpSession() override;

    bool bCreateMessages = false;
    bool bSendMessages = false;
    // Runs the generation on the first tick (set by the Send command).
    std::function<void()> createMessages;

    // Reads the sender and starts the timer.
    void start();
    // One timer tick (public so the window and tests can drive it).
    void tick();
    void cancel();
    // Ends the session: closes the socket and any open file (which stays).
    void shutdown();

    // The Outbox files of the folder, in the order the folder lists them.
    void ListOutbox();
    void ConnectServer();
    void SendNextMessage();
    void SendLine(const QString& line);

    QString label() const { return m_label; }
    // repaintNow: shown at once, for work that runs without the event loop.
    void setLabel(const QString& text, bool repaintNow = false);
    // The sender address, read when the session starts.
    QString sender() const { return msSender; }
    void appendLog(const QString& entry) { m_log += entry; }
    QString errorLog() const { return m_log; }
    bool heloAccepted() const { return mbHeloAccepted; }
    bool isClosed() const { return m_closed; }
    QTimer& timer() { return timSendMail; }
    void requestClose();

signals:
    void labelChanged(const QString& text, bool repaintNow);
    // The window should close now.
    void closeRequested();

private:
    void onReadyRead();
    void onReply(const SmtpReply& r);
    void closeFile(bool remove);
    bool fileOpen() const { return m_file && m_file->isOpen(); }
    void startNextNow();

    QTcpSocket sckSendMail;
    QTimer timSendMail;
    SmtpReplyReader m_reader;
    QString msSender;
    bool mbConnectStarted = false;
    bool mbHeloAccepted = false;
    QStringList mpPending;
    QString msMessageFile;
    std::unique_ptr<QFile> m_file;
    QString m_log;
    QString m_label;
    bool m_busy = false;
    bool m_socketError = false;
    bool m_closed = false;
    bool m_quitSent = false;
};

} // namespace vt
