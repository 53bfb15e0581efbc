#pragma once
class QApplication;

namespace vt {
// Start-up: mail settings discovery, the main window's load sequence, the
// event loop. Returns the program's exit code.
int RunProgram(QApplication& app);
} // namespace vt
