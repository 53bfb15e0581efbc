#pragma once
#include <QString>
#include <exception>

namespace vt {

// The one failure type of the program: engine and file operations throw it,
// the command that started the work catches it and shows it with ShowError.
class VtError : public std::exception {
public:
    explicit VtError(QString message, QString helpFile = {}, int helpTopic = 0)
        : m_message(std::move(message)), m_helpFile(std::move(helpFile)), m_helpTopic(helpTopic),
          m_utf8(m_message.toUtf8())
    {
    }
    const QString& message() const { return m_message; }
    const QString& helpFile() const { return m_helpFile; }
    int helpTopic() const { return m_helpTopic; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QString m_helpFile;
    int m_helpTopic;
    QByteArray m_utf8;
};

} // namespace vt
