#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

namespace vt {

// Where discovery looks for the files of other mail programs: the user's home
// folder, the configuration folder ($XDG_CONFIG_HOME, else ~/.config) and the
// Wine prefix. Tests point all three into a folder of their own.
QString MailSourcesHome();
QString MailSourcesConfigHome();
// dir becomes the home folder, dir/.config the configuration folder and
// dir/.wine the Wine prefix; empty restores the user's own.
void setMailSourcesRoot(const QString& dir);

// What one mail program's configuration names; a part it does not name is
// nullopt. remoteHost is "host" or "host:port".
struct FoundMailSettings {
    std::optional<QString> remoteHost;
    std::optional<QString> email;
    std::optional<QString> name;
};

// The bytes of a configuration file: nullopt unless path is a regular file
// (never a pipe or device, which could block) no larger than maxBytes that
// reads completely.
std::optional<QByteArray> ReadSourceFile(const QString& path, qint64 maxBytes);

} // namespace vt
