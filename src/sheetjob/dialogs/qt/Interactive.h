#pragma once
// The interactive mode's entry on Qt: whether a display can be opened, and the
// run with a QApplication and the dialogs.

#include <string>
#include <vector>

namespace sheetjob::dialogs::qt {

/// True when a Qt GUI can start here: a display (DISPLAY, WAYLAND_DISPLAY) or a
/// platform (QT_QPA_PLATFORM) is named, and a trial start of the GUI succeeds.
bool displayAvailable(int argc, char** argv);

/// Creates the QApplication and runs the job with the dialogs; returns the exit code.
int runInteractive(int argc, char** argv, const std::vector<std::string>& args);

} // namespace sheetjob::dialogs::qt
