#pragma once
#include <QString>

namespace vt {

// The mail settings in the settings store: the sender, the server and the
// mail options. Values are texts; flags are "True" and "False".
namespace mail {
inline const QString InternetMail = QStringLiteral("Internet Mail");
inline const QString Signature = QStringLiteral("Signature");
inline const QString General = QStringLiteral("General");

inline const QString Name = QStringLiteral("Name");             // Internet Mail: sender's full name
inline const QString EMail = QStringLiteral("EMail");           // Internet Mail: sender's address
inline const QString RemoteHost = QStringLiteral("RemoteHost"); // Internet Mail: "host" or "host:port"
inline const QString MAPI = QStringLiteral("MAPI");             // Internet Mail: which source completed them
inline const QString Text = QStringLiteral("Text");             // Signature: may span lines ("\n")
inline const QString BCC = QStringLiteral("BCC");               // General: blind copy of every message
inline const QString DefaultFilter = QStringLiteral("DefaultFilter"); // General, default "True"
inline const QString SendImmediate = QStringLiteral("SendImmediate"); // General, default "True"

constexpr bool DefaultFilterDefault = true;
constexpr bool SendImmediateDefault = true;
constexpr quint16 SmtpPort = 25;
} // namespace mail

// "True" or "False".
QString FlagText(bool on);

// A flag of the store: "True" and "False" in any letter case, or a number
// (non-zero is true); a missing or unreadable value gives defaultValue.
bool SettingFlag(const QString& section, const QString& key, bool defaultValue);

// True when a setting is empty or holds only blanks.
bool IsSettingBlank(const QString& section, const QString& key);

// A usable configuration: "EMail" and "RemoteHost" both hold something.
bool MailSettingsUsable();

// The server of "RemoteHost": "host", "host:port", "[v6-address]:port" or a
// bare IPv6 address; the port defaults to 25. host is empty when the text
// names no host or its port is not a number from 1 to 65535.
struct SmtpServer {
    QString host;
    quint16 port = mail::SmtpPort;
    bool isValid() const { return !host.isEmpty(); }
};
SmtpServer SplitRemoteHost(const QString& remoteHost);

// The "RemoteHost" text for a server: the host alone for port 25 (or 0),
// otherwise "host:port" ("[address]:port" for an IPv6 address).
QString JoinRemoteHost(const QString& host, int port);

} // namespace vt
