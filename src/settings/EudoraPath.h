#pragma once
#include <QString>

namespace vt {

// The file fileName in Eudora's program folder, taken from the command line
// Eudora registers (the default value of HKEY_CLASSES_ROOT
// "Software\Qualcomm\Eudora\CommandLine\Current") and mapped into the Wine
// prefix; empty when Eudora is not installed. The folder is the command line
// up to "EUDORA.EXE".
QString EudoraPath(const QString& fileName);

// The Windows path EudoraPath maps: the command line up to "EUDORA.EXE"
// (case-sensitive) followed by fileName, with doubled backslashes made single
// and a leading quote dropped; empty when "EUDORA.EXE" does not occur.
QString EudoraWindowsPath(const QString& commandLine, const QString& fileName);

} // namespace vt
