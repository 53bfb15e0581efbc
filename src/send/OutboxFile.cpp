#include "OutboxFile.h"

#include "MimeText.h"
#include "platform/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimeZone>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vt {
namespace {

// The counter that names Outbox files, shared by every writer of the run.
std::atomic<qint64> g_nextName{1};

QString appVersion()
{
    QString v = QCoreApplication::applicationVersion();
    if (v.isEmpty())
        v = QStringLiteral("0.1");
    const QStringList p = v.split('.');
    return p.value(0, QStringLiteral("0")) + '.' + p.value(1, QStringLiteral("0"));
}

bool needsQuotedPrintable(const QString& body)
{
    if (!IsAscii(body))
        return true;
    for (const QStringView line : QStringView(body).split(u"\r\n"))
        if (line.size() > 998)
            return true;
    return false;
}

void appendLine(QByteArray& out, const QString& line, bool stuff)
{
    if (stuff && line.startsWith('.'))
        out += '.';
    out += line.toUtf8();
    out += "\r\n";
}

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

} // namespace

QString MailerAddress() { return QStringLiteral("https://veltrana.example.org"); }

QString DateHeaderText(const QDateTime& when)
{
    const QDateTime local = when.toLocalTime();
    const int offset = local.offsetFromUtc() / 60;
    const QChar sign = offset < 0 ? '-' : '+';
    const int a = std::abs(offset);
    static const char* days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate d = local.date();
    return QStringLiteral("%1, %2 %3 %4 %5 %6%7%8")
        .arg(QLatin1String(days[d.dayOfWeek() - 1]))
        .arg(d.day(), 2, 10, QChar('0'))
        .arg(QLatin1String(months[d.month() - 1]))
        .arg(d.year())
        .arg(local.time().toString(QStringLiteral("HH:mm:ss")))
        .arg(sign)
        .arg(a / 60, 2, 10, QChar('0'))
        .arg(a % 60, 2, 10, QChar('0'));
}

QString NewMessageId(const QString& senderAddress)
{
    static std::atomic<quint64> serial{0};
    QString domain = senderAddress.section('@', 1).trimmed();
    // Only characters a domain may hold; anything else would break the header.
    domain.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9.-]")));
    if (domain.isEmpty())
        domain = QStringLiteral("localhost");
    return QStringLiteral("<%1.%2.%3@%4>")
        .arg(QDateTime::currentMSecsSinceEpoch(), 0, 36)
        .arg(++serial, 0, 36)
        .arg(QRandomGenerator::global()->generate64(), 0, 36)
        .arg(domain);
}

QByteArray OutboxFileText(const OutboxMessage& m)
{
    const QString sender = SingleLine(m.sender);
    const QString recipient = SingleLine(m.recipient);
    const QString bcc = SingleLine(m.bcc);
    QByteArray out;
    out.reserve(m.body.size() + 1024);
    appendLine(out, QStringLiteral("MAIL FROM: <") + sender + '>', false);
    appendLine(out, QStringLiteral("RCPT TO: <") + recipient + '>', false);
    if (!bcc.isEmpty())
        appendLine(out, QStringLiteral("RCPT TO: <") + bcc + '>', false);
    appendLine(out, QStringLiteral("DATA"), false);

    // A display name in quotes stays as it is for ASCII; otherwise it is an
    // encoded word (which may not stand inside quotes).
    auto display = [](const QString& text) {
        const QString t = SingleLine(text);
        return IsAscii(t) ? '"' + t + '"' : EncodeHeaderText(t, QStringLiteral(" "));
    };
    QStringList headers;
    headers << QStringLiteral("To: ") + display(m.toText) + '<' + recipient + '>'
            << QStringLiteral("From: ") + display(m.fromText) + '<' + sender + '>'
            << QStringLiteral("Reply-To: ") + sender
            << QStringLiteral("Subject: ") + EncodeHeaderText(SingleLine(m.subject))
            << QStringLiteral("Date: ") + DateHeaderText(m.date.isValid() ? m.date : QDateTime::currentDateTime())
            << QStringLiteral("Errors-To: ") + sender << QStringLiteral("Originator: ") + sender
            << QStringLiteral("X-Mailer: Veltrana ") + MailerAddress()
            << QStringLiteral("X-Mailer-Version: Veltrana v") + appVersion()
            << QStringLiteral("X-VeltranaUser: ") + sender;
    if (!m.messageId.isEmpty())
        headers << QStringLiteral("Message-ID: ") + SingleLine(m.messageId);
    headers << QStringLiteral("MIME-Version: 1.0") << QStringLiteral("Content-Type: text/plain; charset=UTF-8");
    const bool qp = needsQuotedPrintable(m.body);
    if (qp)
        headers << QStringLiteral("Content-Transfer-Encoding: quoted-printable");
    // Folded header lines (encoded subjects) are several lines of the file.
    for (const QString& h : headers)
        for (const QString& line : h.split(QStringLiteral("\r\n")))
            appendLine(out, line, true);
    appendLine(out, QString(), false);
    const QString body = qp ? QuotedPrintable(m.body) : m.body;
    for (const QString& line : body.split(QStringLiteral("\r\n")))
        appendLine(out, line, true);
    appendLine(out, QStringLiteral("."), false);
    return out;
}

OutboxWriter::OutboxWriter(const QString& folder) : m_folder(QDir(folder).absolutePath())
{
    QDir().mkpath(m_folder);
    m_dirFd = ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

OutboxWriter::~OutboxWriter()
{
    if (m_dirFd >= 0)
        ::close(m_dirFd);
}

QString OutboxWriter::write(const QByteArray& content)
{
    if (m_dirFd < 0)
        throw VtError(QStringLiteral("The Outbox folder %1 cannot be opened.").arg(m_folder));
    // The part file's name ("new-...") is not matched by "MSG*.TMP".
    const QByteArray part = QStringLiteral("new-%1-%2.part").arg(::getpid()).arg(++m_serial).toLatin1();
    const int fd = ::openat(m_dirFd, part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        throw VtError(QStringLiteral("An Outbox file cannot be created in %1: %2").arg(m_folder, errnoText()));
    const char* p = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const QString why = errnoText();
            ::close(fd);
            ::unlinkat(m_dirFd, part.constData(), 0);
            throw VtError(QStringLiteral("An Outbox file cannot be written in %1: %2").arg(m_folder, why));
        }
        p += n;
        left -= n;
    }
    ::close(fd);
    // Move it to the next free name; a name in use is never replaced.
    for (int attempts = 0; attempts < 1 << 20; ++attempts) {
        const qint64 n = g_nextName.fetch_add(1);
        const QByteArray name = "MSG" + QByteArray::number(n, 16).toUpper() + ".TMP";
        int r = ::renameat2(m_dirFd, part.constData(), m_dirFd, name.constData(), RENAME_NOREPLACE);
        if (r != 0 && errno == EINVAL) {
            // A file system without the no-replace rename: link refuses an existing name too.
            r = ::linkat(m_dirFd, part.constData(), m_dirFd, name.constData(), 0);
            if (r == 0)
                ::unlinkat(m_dirFd, part.constData(), 0);
        }
        if (r == 0)
            return m_folder + '/' + QString::fromLatin1(name);
        if (errno != EEXIST)
            break;
    }
    const QString why = errnoText();
    ::unlinkat(m_dirFd, part.constData(), 0);
    throw VtError(QStringLiteral("No free Outbox file name in %1: %2").arg(m_folder, why));
}

void OutboxWriter::sync()
{
    if (m_dirFd >= 0)
        ::syncfs(m_dirFd);
}

QStringList ListOutboxFiles(const QString& folder)
{
    QDir dir(folder);
    QStringList r;
    for (const QString& name : dir.entryList({QStringLiteral("MSG*.TMP")}, QDir::Files | QDir::CaseSensitive,
                                             QDir::Unsorted))
        r << dir.absoluteFilePath(name);
    return r;
}

} // namespace vt
