#include "sheetjob/job/CommandLine.h"

#include "sheetjob/common/Display.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/job/SheetJob.h"
#include "sheetjob/job/Version.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <sstream>
#include <string_view>

namespace sheetjob::job {
namespace {

/// Every line the program writes on stderr starts so.
constexpr std::string_view kLinePrefix = "sheetjob: ";

// The options; every other argument that starts with "-" is refused, so that a
// mistyped option never runs as an argument file of that name.
constexpr std::string_view kHelpLong = "--help";
constexpr std::string_view kHelpShort = "-h";
constexpr std::string_view kVersionLong = "--version";
constexpr std::string_view kVersionShort = "-V";
/// Ends the options: every argument after it is an argument file.
constexpr std::string_view kEndOfOptions = "--";

bool isOption(const std::string& arg) { return !arg.empty() && arg.front() == '-'; }

void printHelp(std::ostream& out) {
    out << "Usage: sheetjob [ARGUMENT-FILE...]\n"
           "       sheetjob --help | --version\n"
           "\n"
           "Builds the mathematical basis of a map sheet of the 1:1 000 000 grid or its\n"
           "1:200 000 subdivision as ESRI shapefile layers (HYPS, FRAME, HYPS_50, HYPS_25\n"
           "under the result folder).\n"
           "\n"
#ifdef _WIN32
           "Without an argument the dialogs open.\n"
#else
           "Without an argument the dialogs open (program sheetjob-gui; needs a display).\n"
#endif
           "With arguments every argument file is one job, run silently in the order\n"
           "given; a failed job writes one line on stderr and the next job still runs.\n"
           "\n"
           "Argument file: items key=value; (Windows-1251 or UTF-8 text), for example\n"
           "  Nom=N-37-XIV; CS=CK-42; Path=out/N-37-XIV;\n"
           "  Nom             the sheet: N-37, N37, N-37-XIV, N3714, N-37-XIV(2), T-37(4)\n"
           "  Path            the result folder, made when missing\n"
           // UTF-8: Cyrillic Г before a Latin CK, and a Cyrillic СК after the slash.
           "  CS              CK-42 (default), CK-95, \xD0\x93"
           "CK-2011, \xD0\x93"
           "CK-2011 / "
           "\xD0\xA1\xD0\x9A-42\n"
           "  MapScale        map scale in thousands, after Nom: 200, 500, 1000 for a\n"
           "                  1:200 000 sheet; 1000, 2500, 5000 for a 1:1 000 000 sheet\n"
           "  xFrom, xTo      west and east bound, degrees and minutes: 36\xC2\xB0 30', 36 30, 36\n"
           "  yFrom, yTo      south and north bound, degrees and minutes\n"
           "  MeridianStep    meridian spacing, degrees and minutes, not 0\n"
           "  ParallelStep    parallel spacing, degrees and minutes, not 0\n"
           "  xMinute         longitude division of the minute scale, 1 to 59 minutes\n"
           "  yMinute         latitude division of the minute scale, 1 to 59 minutes\n"
           "  SubSheetFrames  1: also the frames of the 1:50 000 and 1:25 000 sheets\n"
           "Nom and Path are required.\n"
           "\n"
           "Exit codes (of a series: the highest):\n"
           "  0   the job was done\n"
           "  8   the job was not done (argument file, folder, sub-sheet frames, usage)\n"
           "  16  a layer could not be written\n"
           "\n"
           "Options:\n"
           "  -h, --help      this text\n"
           "  -V, --version   the version\n"
           "A file whose name starts with \"-\" is given as ./-name or after --.\n"
           "\n"
#ifdef _WIN32
           // The installer puts the README beside the programs.
           "More: README.md in the program's folder\n";
#else
           "More: man sheetjob, and "
        << kDocDir << "/README.md\n";
#endif
}

/// Reached when the program cannot go on: mostly an exception that could not
/// even be made for want of memory. Writes one line without allocating and
/// ends the program as a job not done.
[[noreturn]] void stopOnTerminate() {
    constexpr std::string_view kNoMemory = "sheetjob: stopped: not enough memory\n";
    constexpr std::string_view kFault = "sheetjob: stopped by an unexpected failure\n";
    std::string_view line = kNoMemory;
    if (const std::exception_ptr active = std::current_exception()) {
        try {
            std::rethrow_exception(active);
        } catch (const std::bad_alloc&) {
        } catch (...) {
            line = kFault;
        }
    }
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::_Exit(kExitNotDone);
}

/// One job of the command line: the run runSheetJob makes of {program, file}.
int runOneJob(const std::string& program, const std::string& file, std::ostream& err) {
    return runSheetJob({program, file}, nullptr, err);
}

} // namespace

std::string namedForSeries(const std::string& line, const std::string& argFile) {
    if (line.compare(0, kLinePrefix.size(), kLinePrefix) != 0)
        return line;
    const std::string_view message = std::string_view(line).substr(kLinePrefix.size());
    // The messages show the name as every name is shown.
    const std::string shown = common::displayed(argFile);
    // The reader's own messages: "job.txt: ..." and "job.txt, line 2: ...".
    for (const std::string& named : {shown + ": ", shown + ", line "})
        if (message.substr(0, named.size()) == named)
            return line;
    // The missing file's message quotes the name already.
    const std::string notFound = "argument file \"" + shown + "\" not found";
    if (message.substr(0, notFound.size()) == notFound)
        return line;
    std::string named(kLinePrefix);
    named += shown;
    named += ": ";
    named += message;
    return named;
}

namespace {

int runArguments(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const InteractiveMode& interactive) {
    // Options stand before "--", argument files anywhere.
    std::vector<std::string> options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (auto arg = args.begin() + (args.empty() ? 0 : 1); arg != args.end(); ++arg) {
        if (!optionsEnded && *arg == kEndOfOptions)
            optionsEnded = true;
        else if (!optionsEnded && isOption(*arg))
            options.push_back(*arg);
        else
            files.push_back(*arg);
    }
    const std::string program = args.empty() ? std::string("sheetjob") : args.front();
    if (options.empty() && files.empty()) {
        if (interactive)
            return interactive();
        return runSheetJob({program}, nullptr, err);
    }

    // An option that is not understood stops the whole command line before any
    // job runs: a series with a typo is not half done.
    for (const std::string& arg : options) {
        if (arg != kHelpLong && arg != kHelpShort && arg != kVersionLong && arg != kVersionShort) {
            err << kLinePrefix << "unknown option " << common::quoted(arg)
                << " (usage: sheetjob [ARGUMENT-FILE...], sheetjob --help, sheetjob --version)\n";
            return kExitNotDone;
        }
    }
    // The first of --help and --version decides.
    if (!options.empty()) {
        if (options.front() == kHelpLong || options.front() == kHelpShort)
            printHelp(out);
        else
            out << "sheetjob " << kVersion << '\n';
        // What was asked for and not delivered (a full disk, a closed pipe) is
        // not a success.
        out.flush();
        if (!out) {
            err << kLinePrefix << "cannot write on standard output\n";
            return kExitNotDone;
        }
        return kExitDone;
    }

    if (files.size() == 1)
        return runOneJob(program, files.front(), err);

    int highest = kExitDone;
    for (const std::string& file : files) {
        std::ostringstream jobErr;
        const int code = runOneJob(program, file, jobErr);
        highest = std::max(highest, code);
        const std::string argFile = common::ltrim(file);
        std::istringstream lines(jobErr.str());
        for (std::string line; std::getline(lines, line);)
            err << namedForSeries(line, argFile) << '\n';
        err.flush();
    }
    return highest;
}

} // namespace

void prepareProcess() {
#ifdef SIGXFSZ
    // A write past the file-size limit then fails with "File too large",
    // which the run reports in one line, instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::set_terminate(stopOnTerminate);
}

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const InteractiveMode& interactive) {
    try {
        return runArguments(args, out, err, interactive);
    } catch (const std::bad_alloc&) {
        err << kLinePrefix << "not enough memory\n";
        return kExitNotDone;
    }
}

} // namespace sheetjob::job
