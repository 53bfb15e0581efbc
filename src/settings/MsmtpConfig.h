#pragma once
#include "MailSources.h"

#include <QByteArray>
#include <optional>

namespace vt {

// The account "default" of an msmtp configuration file (after the "defaults"
// section and the accounts it inherits from): its host and port, and its
// "from" address unless that is a pattern. nullopt when the file is not well
// formed; an empty result when it has no default account.
std::optional<FoundMailSettings> ParseMsmtpConfig(const QByteArray& text);

// msmtp's settings from ~/.msmtprc, or when that is missing from
// $XDG_CONFIG_HOME/msmtp/config (below the mail sources root).
FoundMailSettings ReadMsmtpSettings();

} // namespace vt
