#pragma once
#include <QString>

namespace vt {

// The per-user settings store: text values addressed by section and key under
// the application "Veltrana" (~/.config/Veltrana/Veltrana.ini). Flags are the
// texts "True" and "False".
QString GetSetting(const QString& section, const QString& key, const QString& defaultValue = {});
void SaveSetting(const QString& section, const QString& key, const QString& value);
bool HasSetting(const QString& section, const QString& key);
void DeleteSetting(const QString& section, const QString& key);

// Points the store at another file (tests); empty restores the user's file.
void setSettingsFile(const QString& path);
QString settingsFile();

} // namespace vt
