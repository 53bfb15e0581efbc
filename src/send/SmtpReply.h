#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace vt {

// One complete server reply: its code and its text (the lines after the
// code, joined by blanks). A reply whose data does not begin with three
// digits is not valid; the session ends on it.
struct SmtpReply {
    int code = 0;
    QString text;
    bool valid = true;
    QString raw; // the reply as received, for the error log
};

// Frames replies by lines rather than by arrivals: bytes are collected until a
// reply is complete ("NNN text" or "NNN" after any "NNN-" lines), so a reply
// split over several arrivals, or several replies in one, come out right.
class SmtpReplyReader {
public:
    // Adds received bytes; returns the replies they completed, in order.
    std::vector<SmtpReply> feed(const QByteArray& bytes);
    void clear();
    bool pending() const { return !m_buffer.isEmpty() || !m_lines.isEmpty(); }

private:
    QByteArray m_buffer;
    QStringList m_lines; // continuation lines of the reply being read
};

} // namespace vt
