#pragma once
#include "MailSources.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace vt {

// Variables of git configuration files: "section.name" or
// "section.subsection.name" (section and name in lower case) -> value; a
// variable written without "=" has no value (nullopt). The last one wins.
using GitConfig = QHash<QString, std::optional<QString>>;

// Parses one configuration file into config, following [include] path = ...
// (relative to the including file; "~/" is the mail sources' home). false
// when a file is not well formed; a missing included file is skipped, as git
// does.
bool ParseGitConfig(const QByteArray& text, const QString& fileDir, GitConfig& config, int depth = 0);

// From a configuration: user.name, user.email, and the server of
// sendemail.smtpServer with sendemail.smtpServerPort (465 by default for
// sendemail.smtpEncryption "ssl"); a server that is a program path is none.
FoundMailSettings GitSettingsFromConfig(const GitConfig& config);

// git's global settings: $XDG_CONFIG_HOME/git/config, then ~/.gitconfig,
// which overrides it (below the mail sources root).
FoundMailSettings ReadGitSettings();

} // namespace vt
