#pragma once
// The command line of both programs: --help, --version, a series of argument
// files, and no argument at all (the interactive mode). Each argument file is
// one run of runSheetJob.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace sheetjob::job {

/// Runs the interactive mode for a command line without arguments and returns
/// its exit code. The batch program starts the dialog program; the dialog
/// program opens its dialogs.
using InteractiveMode = std::function<int()>;

/// Sets the process up for the command line, first thing in main: a write past
/// the file-size limit fails with an error (reported in one line) instead of
/// ending the program by a signal, and a program that cannot go on (an
/// exception that cannot even be made for want of memory) still writes one
/// line and ends with exit code 8.
void prepareProcess();

/// Runs the command line `args` (args[0] is the program name) and returns the
/// exit code:
/// - no argument: `interactive()`, or, when it is empty, the one-line note that
///   the interactive mode is not available (8);
/// - "--help"/"-h": the usage on `out`, 0; "--version"/"-V": "sheetjob <version>"
///   on `out`, 0; any other argument starting with "-": one usage line on `err`,
///   8, and no job is run; "--" ends the options, every argument after it is
///   an argument file ("--" alone is no argument at all);
/// - one or more argument files: each run in turn as a run with that one
///   argument would; a failed job's line on `err` names its file when several
///   are given. The exit code is the highest of the jobs' codes (16, 8, 0).
/// Running out of memory ends it with one line and 8.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const InteractiveMode& interactive = {});

/// The line a job of a series writes on stderr, made to name the job's file
/// `argFile` (as the job reads it, left-adjusted, shown escaped) unless it names it already
/// (the argument-file reader's messages start with it).
std::string namedForSeries(const std::string& line, const std::string& argFile);

} // namespace sheetjob::job
