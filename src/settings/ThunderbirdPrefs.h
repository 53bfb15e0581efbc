#pragma once
#include "MailSources.h"

#include <QHash>
#include <QString>
#include <optional>

namespace vt {

// A preference of prefs.js: its type and its value as text.
struct PrefValue {
    enum Type { String, Int, Bool } type = String;
    QString text;
};
using Prefs = QHash<QString, PrefValue>;

// Parses prefs.js: statements user_pref("name", value); with string, integer
// and true/false values, and //, # and /* */ comments. nullopt when the text
// is not well formed, so that a damaged file contributes nothing.
std::optional<Prefs> ParsePrefsJs(const QByteArray& text);

// From prefs: the first identity of the default account (address, full name)
// and the default outgoing server (host and port).
FoundMailSettings ThunderbirdSettingsFromPrefs(const Prefs& prefs);

// The folder of the default profile that thunderbirdDir/profiles.ini names;
// empty when there is none.
QString ThunderbirdDefaultProfile(const QString& thunderbirdDir);

// Thunderbird's settings from ~/.thunderbird (below MailSourcesHome()).
FoundMailSettings ReadThunderbirdSettings();

} // namespace vt
