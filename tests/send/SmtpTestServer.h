#pragma once
// Starts tests/servers/smtp_server.py on a free loopback port and reads what
// it received.
#include "../common/TestUtil.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

class SmtpTestServer {
public:
    explicit SmtpTestServer(const QStringList& options = {})
    {
        const QString script = vttest::sourceDir() + "/tests/servers/smtp_server.py";
        m_proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_proc.start("/usr/bin/python3", QStringList{script, "--out", m_out.path(), "--lifetime", "60"} + options);
        if (!m_proc.waitForStarted(10000))
            return;
        while (m_port == 0 && m_proc.waitForReadyRead(15000)) {
            const QString line = QString::fromUtf8(m_proc.readLine()).trimmed();
            if (line.startsWith("PORT "))
                m_port = line.mid(5).toInt();
        }
    }
    ~SmtpTestServer()
    {
        m_proc.closeWriteChannel();
        if (!m_proc.waitForFinished(3000))
            m_proc.kill(), m_proc.waitForFinished(3000);
    }
    int port() const { return m_port; }
    QString remoteHost() const { return "127.0.0.1:" + QString::number(m_port); }
    // The messages received so far, in order of arrival.
    QList<QJsonObject> messages() const
    {
        QList<QJsonObject> r;
        QDir d(m_out.path());
        for (const QString& f : d.entryList({"*.json"}, QDir::Files, QDir::Name))
            r << QJsonDocument::fromJson(vttest::readAll(d.filePath(f))).object();
        return r;
    }

private:
    QTemporaryDir m_out;
    QProcess m_proc;
    int m_port = 0;
};
