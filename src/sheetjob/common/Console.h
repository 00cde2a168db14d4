#pragma once
// The program's command line and its standard output and error, as UTF-8
// texts on every platform. On Windows the arguments come from the wide
// command line (so any file name comes through, Cyrillic ones included) and
// the output reaches a console as UTF-16, so that it reads right in cmd.exe
// whatever the console's code page; written to a file or a pipe it stays
// UTF-8, as on Linux.

#include <ostream>
#include <string>
#include <vector>

namespace sheetjob::common {

/// The command line as UTF-8 texts; args[0] names the program.
std::vector<std::string> commandLine(int argc, char** argv);

/// Standard output and standard error for UTF-8 text. A program of the
/// Windows GUI subsystem writes to the console of the program that started
/// it, when there is one.
std::ostream& standardOutput();
std::ostream& standardError();

/// Before a program started without an argument opens its windows: on
/// Windows, a console that was made for it alone (it was started from the
/// desktop, not from a command prompt) is let go, so that no empty black window
/// stands beside the dialogs. Nothing elsewhere.
void releaseOwnConsole();

} // namespace sheetjob::common
