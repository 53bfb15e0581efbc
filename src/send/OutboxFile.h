#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace vt {

// One merged message, ready to be written as an Outbox file.
struct OutboxMessage {
    QString sender;    // envelope and header address of the sender
    QString recipient; // the member's address
    QString bcc;       // envelope-only copy; empty for none
    QString toText;    // merged To text (the display part)
    QString fromText;  // the From text as typed
    QString subject;   // merged Subject
    QString body;      // merged body, lines separated by CR LF
    QDateTime date;    // when it was made
    QString messageId; // "<...@domain>"
};

// The date header's text in the form mail expects, with the local offset:
// "Thu, 11 Dec 2026 14:05:09 +0100".
QString DateHeaderText(const QDateTime& when = QDateTime::currentDateTime());

// A new unique "<...@domain>" for the sender's domain.
QString NewMessageId(const QString& senderAddress);

// The web address and version named in the X-Mailer lines.
QString MailerAddress();

// The SMTP transaction of one message: the envelope, DATA, the headers, a
// blank line, the body and the closing ".", every line ending in CR LF. Line
// breaks in values become blanks; every line after DATA that begins with "."
// gets one more. Non-ASCII headers are encoded words, a non-ASCII body (or one
// with a line too long for SMTP) is quoted-printable.
QByteArray OutboxFileText(const OutboxMessage& m);

// Writes Outbox files "MSG" + hex digits + ".TMP" into one folder. Each file is
// written whole under a name the Outbox pattern does not match and then moved
// to a new name that no file has, so readers never see half a file and no
// file is ever replaced. Names come from a running counter: four hex digits
// while they last, then more.
class OutboxWriter {
public:
    explicit OutboxWriter(const QString& folder);
    ~OutboxWriter();
    // Writes one file; returns its full path. Throws VtError on failure.
    QString write(const QByteArray& content);
    // Flushes everything written to the device (once, at the end of a run).
    void sync();
    const QString& folder() const { return m_folder; }

private:
    QString m_folder;
    int m_dirFd = -1;
    qint64 m_serial = 0;
};

// The Outbox files in the order the folder lists them.
QStringList ListOutboxFiles(const QString& folder);

} // namespace vt
