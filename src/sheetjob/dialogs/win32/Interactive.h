#pragma once
// The interactive mode's entry on Windows: the job set up in the system's own
// dialogs.

#include <string>
#include <vector>

namespace sheetjob::dialogs::win32 {

/// Runs the job with the dialogs (start screen, parameter dialog, outcome
/// message box); returns the exit code.
int runInteractive(const std::vector<std::string>& args);

} // namespace sheetjob::dialogs::win32
