#pragma once
#include "MailSources.h"

#include <QString>

namespace vt {

// Looks for the sender's name and address and the SMTP server in other mail
// programs' configurations, source after source, while "EMail" or
// "RemoteHost" of "Internet Mail" is empty: the four Microsoft sources and
// Eudora in the Wine registry, then Thunderbird, msmtp and git. A source fills
// only keys that are empty ("RemoteHost", "EMail", "Name", in that order).
// Never shows a message; a missing or broken source contributes nothing.
// Returns true when the configuration is still unusable, so that the user
// must be asked (frmSMTPDefaults).
bool DiscoverMailSettings();

// Start-up: DiscoverMailSettings, then frmSMTPDefaults modally when the
// configuration is still unusable; goes on whatever the user answers.
void RunMailSettingsDiscovery();

// The sources, in calling order. Each fills empty keys only; the Microsoft
// ones and Eudora end by writing "MAPI" once the configuration is usable.
void ReadInternetMailAndNews();
void ReadAccountManager(const QString& managerKey); // below the current user's branch
void ReadMessagingProfile();
void ReadEudoraSettings();
// Thunderbird, msmtp and git: what they name goes to the empty keys.
void FillMailSettings(const FoundMailSettings& found);

// The account manager keys of the Internet Account Manager and of Outlook.
extern const QString kInternetAccountManagerKey;
extern const QString kOutlookAccountManagerKey;

} // namespace vt
