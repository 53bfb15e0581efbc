#include "SmtpReply.h"

#include <QStringList>

namespace vt {
namespace {
bool threeDigits(const QByteArray& l)
{
    return l.size() >= 3 && std::isdigit(uchar(l[0])) && std::isdigit(uchar(l[1])) && std::isdigit(uchar(l[2]));
}
// A single line longer than any reply may be ends the session rather than
// growing the buffer without bound.
constexpr qsizetype kMaxLine = 64 * 1024;
} // namespace

std::vector<SmtpReply> SmtpReplyReader::feed(const QByteArray& bytes)
{
    std::vector<SmtpReply> out;
    m_buffer += bytes;
    qsizetype start = 0;
    while (true) {
        const qsizetype nl = m_buffer.indexOf('\n', start);
        if (nl < 0)
            break;
        QByteArray line = m_buffer.mid(start, nl - start);
        start = nl + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        const QString text = QString::fromUtf8(line);
        if (!threeDigits(line) || (line.size() > 3 && line[3] != ' ' && line[3] != '-')) {
            out.push_back({0, text, false, text});
            m_lines.clear();
            continue;
        }
        const bool more = line.size() > 3 && line[3] == '-';
        m_lines << text;
        if (more)
            continue;
        SmtpReply r;
        r.code = line.left(3).toInt();
        QStringList texts;
        for (const QString& l : m_lines)
            texts << l.mid(4).trimmed();
        r.text = texts.join(' ').trimmed();
        r.raw = m_lines.join(QStringLiteral("\r\n"));
        out.push_back(r);
        m_lines.clear();
    }
    m_buffer.remove(0, start);
    if (m_buffer.size() > kMaxLine) {
        const QString text = QString::fromUtf8(m_buffer.left(80));
        out.push_back({0, text, false, text});
        m_buffer.clear();
        m_lines.clear();
    }
    return out;
}

void SmtpReplyReader::clear()
{
    m_buffer.clear();
    m_lines.clear();
}

} // namespace vt
