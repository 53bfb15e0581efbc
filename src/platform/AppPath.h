#pragma once
#include <QString>

namespace vt {

// The program directory, ending in "/": where the executable lives, unless a
// test has pointed it elsewhere with setProgramDir().
QString ProgramDir();

// ProgramDir() followed by name ("Outbox/MSG1.TMP", "Veltrana.vtd").
QString AppFilePath(const QString& name);

// Redirects the program directory (tests); an empty path restores the default.
void setProgramDir(const QString& dir);

} // namespace vt
