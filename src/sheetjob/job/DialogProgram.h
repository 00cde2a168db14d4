#pragma once
// The batch program's interactive mode: it links no GUI library, so without an
// argument it starts the dialog program in its place, when there is a display
// to show the dialogs on.

#include <ostream>
#include <string>
#include <vector>

namespace sheetjob::job {

/// File name of the dialog program (the Qt front end).
inline constexpr const char* kDialogProgram = "sheetjob-gui";

/// True when a display or a Qt platform is named: DISPLAY, WAYLAND_DISPLAY or
/// QT_QPA_PLATFORM is set and not empty. Whether it can be reached is for the
/// dialog program to find out.
bool displayNamed();

/// The dialog program to start: `kDialogProgram` beside `self` (the running
/// executable's path) when it is an executable file there, else the first one
/// in the folders of `searchPath` (a PATH value; empty entries, which would mean
/// the current folder, are skipped). A candidate that is `self` itself (a link
/// to the batch program) is passed over, so the program never starts itself.
/// "" when there is none.
std::string findDialogProgram(const std::string& self, const std::string& searchPath);

/// Replaces this process by the dialog program, given the same arguments
/// (args[0] is the program name), when a display is named and the program is
/// found. Returns only when it is not started: then it writes the one-line note
/// that the interactive mode is not available on `err` and returns exit code 8.
int startDialogProgram(const std::vector<std::string>& args, std::ostream& err);

} // namespace sheetjob::job
