#include "DiscoverMailSettings.h"

#include "EudoraPath.h"
#include "GitConfig.h"
#include "MailSettings.h"
#include "MsmtpConfig.h"
#include "RegistryRead.h"
#include "ThunderbirdPrefs.h"
#include "frmSMTPDefaults.h"

#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/Settings.h"

#include <functional>

namespace vt {

const QString kInternetAccountManagerKey = QStringLiteral("Software\\Microsoft\\Internet Account Manager");
const QString kOutlookAccountManagerKey = QStringLiteral("Software\\Microsoft\\Office\\8.0\\Outlook\\OMI Account Manager");

namespace {

constexpr qint64 kMaxEudoraIniBytes = 4 * 1024 * 1024;

bool isBlank(const QString& key) { return IsSettingBlank(mail::InternetMail, key); }

// One setting from a registry value: only when the setting is empty, and only
// when the read succeeds; the value is stored without blanks around it.
void fillFromRegistry(const RegistryKey& key, const QString& setting, const QString& valueName)
{
    if (!isBlank(setting))
        return;
    if (const auto v = ReadRegistryText(key, valueName))
        SaveSetting(mail::InternetMail, setting, v->trimmed());
}

void fillAll(const RegistryKey& key, const QString& server, const QString& email, const QString& name)
{
    fillFromRegistry(key, mail::RemoteHost, server);
    fillFromRegistry(key, mail::EMail, email);
    fillFromRegistry(key, mail::Name, name);
}

// Which kind of source completed the configuration.
void markSource(bool microsoft)
{
    if (MailSettingsUsable())
        SaveSetting(mail::InternetMail, mail::MAPI, FlagText(microsoft));
}

// The key named by a value of parent (an account or profile name), with
// suffix: not open when the value is missing or empty.
RegistryKey namedKey(const RegistryKey& parent, const QString& valueName, const QString& before,
                     const QString& after)
{
    const auto name = ReadRegistryText(parent, valueName);
    if (!name || name->trimmed().isEmpty())
        return {};
    return parent.open(before + name->trimmed() + after);
}

} // namespace

void ReadInternetMailAndNews()
{
    const RegistryKey key =
        OpenRegistryKey(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Mail and News\\Mail"));
    if (key)
        fillAll(key, QStringLiteral("Default SMTP Server"), QStringLiteral("Sender EMail"),
                QStringLiteral("Sender Name"));
    markSource(true);
}

void ReadAccountManager(const QString& managerKey)
{
    const RegistryKey manager = OpenRegistryKey(RegistryRoot::CurrentUser, managerKey);
    const RegistryKey account =
        namedKey(manager, QStringLiteral("Default Mail Account"), QStringLiteral("Accounts\\"), QString());
    if (account)
        fillAll(account, QStringLiteral("SMTP Server"), QStringLiteral("SMTP Email Address"),
                QStringLiteral("SMTP Display Name"));
    markSource(true);
}

void ReadMessagingProfile()
{
    const RegistryKey profiles = OpenRegistryKey(
        RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Windows Messaging Subsystem\\Profiles"));
    // The values are mail-profile property tags: 8-bit strings 6600, 6605, 6607.
    const RegistryKey profile = namedKey(profiles, QStringLiteral("DefaultProfile"), QString(),
                                         QStringLiteral("\\5748ba2d8efdcf119e65444553540000"));
    if (profile)
        fillAll(profile, QStringLiteral("001e6600"), QStringLiteral("001e6605"), QStringLiteral("001e6607"));
    markSource(true);
}

void ReadEudoraSettings()
{
    const QString path = EudoraPath(QStringLiteral("Eudora.ini"));
    if (path.isEmpty())
        return;
    ProfileFile ini;
    if (const auto bytes = ReadSourceFile(path, kMaxEudoraIniBytes))
        ini.parse(*bytes);
    // Each key is read with an empty default and written even when empty.
    const std::pair<QString, QString> keys[] = {{mail::RemoteHost, QStringLiteral("SMTPServer")},
                                                {mail::EMail, QStringLiteral("POPAccount")},
                                                {mail::Name, QStringLiteral("RealName")}};
    for (const auto& [setting, iniKey] : keys)
        if (isBlank(setting))
            SaveSetting(mail::InternetMail, setting, ini.read(QStringLiteral("Settings"), iniKey).trimmed());
    markSource(false);
}

void FillMailSettings(const FoundMailSettings& found)
{
    const std::pair<QString, const std::optional<QString>*> parts[] = {
        {mail::RemoteHost, &found.remoteHost}, {mail::EMail, &found.email}, {mail::Name, &found.name}};
    for (const auto& [setting, value] : parts) {
        if (!value->has_value() || !isBlank(setting))
            continue;
        const QString v = (*value)->trimmed();
        if (!v.isEmpty())
            SaveSetting(mail::InternetMail, setting, v);
    }
}

bool DiscoverMailSettings()
{
    const std::function<void()> sources[] = {
        [] { ReadInternetMailAndNews(); },
        [] { ReadAccountManager(kInternetAccountManagerKey); },
        [] { ReadAccountManager(kOutlookAccountManagerKey); },
        [] { ReadMessagingProfile(); },
        [] { ReadEudoraSettings(); },
        [] { FillMailSettings(ReadThunderbirdSettings()); },
        [] { FillMailSettings(ReadMsmtpSettings()); },
        [] { FillMailSettings(ReadGitSettings()); },
    };
    for (const auto& source : sources) {
        if (MailSettingsUsable())
            break; // later sources are not even looked at
        try {
            source();
        } catch (...) {
            // A failing source ends silently; the next one runs.
        }
    }
    return !MailSettingsUsable();
}

void RunMailSettingsDiscovery()
{
    if (DiscoverMailSettings())
        ShowSMTPDefaults();
}

} // namespace vt
