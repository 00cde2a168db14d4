// Whole-program tests of the command line: --help and --version, refused
// options, series of argument files, and what a bare `sheetjob` starts.

#include "sheetjob/job/Version.h"
#include "support/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace sheetjob {
namespace {
namespace fs = std::filesystem;
using testing::ProcessOptions;
using testing::ProcessResult;
using testing::TempDir;

// An environment without a display: "NAME=" counts as not set.
const std::vector<std::string> kNoDisplay = {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="};
// A display that cannot be reached (no X server listens on display 97).
const std::vector<std::string> kUnreachableDisplay = {"DISPLAY=:97",
                                                      "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="};
constexpr const char* kNoDisplayLine =
    "sheetjob: the interactive mode is not available (no display); give the job in an argument "
    "file: sheetjob ARGUMENT-FILE\n";

ProcessResult run(const std::string& program, const TempDir& dir,
                  const std::vector<std::string>& args, std::vector<std::string> environment = {},
                  long long fileSizeLimit = -1) {
    ProcessOptions options;
    options.workingDirectory = dir.path().string();
    options.environment = std::move(environment);
    options.fileSizeLimit = fileSizeLimit;
    return testing::runProcess(program, args, options);
}

ProcessResult runIn(const TempDir& dir, const std::vector<std::string>& args) {
    return run(SHEETJOB_EXE, dir, args);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        result.push_back(text.substr(start, end - start));
    if (start < text.size())
        result.push_back(text.substr(start)); // an unterminated last line
    return result;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The programs to check: the batch program, and the dialog program when built.
std::vector<std::string> programs() {
    std::vector<std::string> result = {SHEETJOB_EXE};
    if (std::string(SHEETJOB_GUI_EXE) != "")
        result.push_back(SHEETJOB_GUI_EXE);
    return result;
}

// --help and --version answer on stdout with exit code 0 and run no job, in
// both programs; the first of them given decides.
TEST(CommandLine, HelpAndVersionExitZero) {
    const std::string version = std::string("sheetjob ") + job::kVersion + "\n";
    struct Case {
        std::vector<std::string> args;
        bool help;
    };
    const Case cases[] = {
        {{"--help"}, true},
        {{"-h"}, true},
        {{"--version"}, false},
        {{"-V"}, false},
        {{"job.txt", "--help"}, true},
        {{"--version", "-h", "job.txt"}, false},
    };
    for (const std::string& program : programs()) {
        for (const auto& c : cases) {
            SCOPED_TRACE(program + " " + c.args.front());
            TempDir dir;
            testing::writeFile(dir.path() / "job.txt", "Nom=N-37-XIV; Path=res;\n");
            const ProcessResult r = run(program, dir, c.args, kNoDisplay);
            EXPECT_EQ(r.exitCode, 0);
            EXPECT_EQ(r.err, "");
            if (c.help)
                EXPECT_EQ(r.out.rfind("Usage: sheetjob [ARGUMENT-FILE...]\n", 0), 0u) << r.out;
            else
                EXPECT_EQ(r.out, version);
            EXPECT_FALSE(fs::exists(dir.path() / "res"));
        }
    }
}

// Help or version that cannot be written (here: a file size limit of 0 on the
// captured stdout) is not reported as done.
TEST(CommandLine, UnwrittenHelpIsNotASuccess) {
    if (!testing::kFileSizeLimits)
        GTEST_SKIP() << "no file size limits to fill the output with";
    for (const char* option : {"--help", "--version"}) {
        SCOPED_TRACE(option);
        TempDir dir;
        EXPECT_EQ(run(SHEETJOB_EXE, dir, {option}, {}, 0).exitCode, 8);
    }
}

// The usage names every key of the argument file, every exit code and where
// the full description is.
TEST(CommandLine, HelpNamesEveryKey) {
    TempDir dir;
    const ProcessResult r = runIn(dir, {"--help"});
#ifdef _WIN32
    constexpr const char* kManual = "README.md in the program's folder";
#else
    constexpr const char* kManual = "man sheetjob";
#endif
    for (const char* word : {"Nom", "Path", "CS", "MapScale", "xFrom", "xTo", "yFrom", "yTo",
                             "MeridianStep", "ParallelStep", "xMinute", "yMinute", "SubSheetFrames",
                             "  0 ", "  8 ", "  16 ", kManual, "README.md", "./-name"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    for (const std::string& line : lines(r.out)) {
        // Characters, not bytes: the UTF-8 continuation bytes do not count.
        const auto width =
            std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; });
        EXPECT_LE(width, 80) << line;
    }
}

// Any other argument starting with "-" is one usage line, exit code 8, and no
// job of the command line runs.
TEST(CommandLine, UnknownOptionsAreRefused) {
    const std::vector<std::vector<std::string>> cases = {
        {"-v"}, {"--bogus"}, {"-"}, {"job.txt", "-x"}, {"-job.txt"}, {"--help=1"}};
    for (const auto& args : cases) {
        SCOPED_TRACE(args.back());
        TempDir dir;
        testing::writeFile(dir.path() / "job.txt", "Nom=N-37-XIV; Path=res;\n");
        testing::writeFile(dir.path() / "-job.txt", "Nom=N-37-XIV; Path=res;\n");
        const ProcessResult r = runIn(dir, args);
        EXPECT_EQ(r.exitCode, 8);
        EXPECT_EQ(r.out, "");
        ASSERT_EQ(lines(r.err).size(), 1u) << r.err;
        EXPECT_EQ(r.err.rfind("sheetjob: unknown option \"" + args.back() + "\" (usage: ", 0), 0u)
            << r.err;
        EXPECT_FALSE(fs::exists(dir.path() / "res"));
    }
}

// A file whose name starts with "-" is given as ./-name or after "--", which
// ends the options.
TEST(CommandLine, FileStartingWithDashIsGivenAsDotSlashOrAfterDoubleDash) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"./-job.txt"}, {"--", "-job.txt"}}) {
        TempDir dir;
        testing::writeFile(dir.path() / "-job.txt", "Nom=N-37-XIV; Path=res;\n");
        EXPECT_EQ(runIn(dir, args).exitCode, 0) << args.back();
        EXPECT_TRUE(fs::is_directory(dir.path() / "res" / "FRAME"));
    }
}

// A series runs every job in order, whatever failed before it; each failure
// is one line naming its file once; the exit code is the highest.
TEST(CommandLine, SeriesRunsEveryJobAndReportsEachFailure) {
    TempDir dir;
    testing::writeFile(dir.path() / "good.txt", "Nom=N-37-XIV; Path=good;\n");
    testing::writeFile(dir.path() / "refused.txt", "Path=bad;\nnom=N-37-XIV;\n");
    // The layer HypsA cannot be written: a folder stands where its index file
    // goes (kept, as no HypsA.shp is there to mark it stale).
    testing::writeFile(dir.path() / "unwritable.txt", "Nom=N-37-XV; Path=unwritable;\n");
    fs::create_directories(dir.path() / "unwritable" / "HYPS" / "HypsA.shx");
    testing::writeFile(dir.path() / "blocker", "a file");
    testing::writeFile(dir.path() / "nofolder.txt", "Nom=N-37-XIV; Path=blocker/out;\n");
    testing::writeFile(dir.path() / "last.txt", "Nom=N-37-XVI; Path=last;\n");

    const ProcessResult r = runIn(dir, {"good.txt", "refused.txt", "unwritable.txt",
                                        " nofolder.txt", "missing.txt", "last.txt"});
    EXPECT_EQ(r.exitCode, 16);
    EXPECT_EQ(r.out, "");
    const std::vector<std::string> err = lines(r.err);
    const std::vector<std::string> expectedStarts = {
        "sheetjob: refused.txt, line 2: unknown key \"nom\"",
        "sheetjob: unwritable.txt: ",
        "sheetjob: nofolder.txt: cannot create folder blocker/out",
        "sheetjob: argument file \"missing.txt\" not found",
    };
    ASSERT_EQ(err.size(), expectedStarts.size()) << r.err;
    const char* files[] = {"refused.txt", "unwritable.txt", "nofolder.txt", "missing.txt"};
    for (std::size_t i = 0; i < err.size(); ++i) {
        SCOPED_TRACE(err[i]);
        EXPECT_EQ(err[i].rfind(expectedStarts[i], 0), 0u);
        EXPECT_EQ(occurrences(err[i], files[i]), 1u);
    }
    for (const char* made : {"good", "last"})
        for (const char* folder : {"HYPS", "FRAME"})
            EXPECT_TRUE(fs::exists(dir.path() / made / folder / "")) << made << "/" << folder;
    EXPECT_TRUE(fs::exists(dir.path() / "last" / "FRAME" / "FrameAdj.shp"));
    EXPECT_FALSE(fs::exists(dir.path() / "bad"));
}

// The exit code of a series is the highest of its jobs' codes, in any order.
TEST(CommandLine, SeriesExitCodeIsTheHighest) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
    };
    const Case cases[] = {
        {"two good jobs", {"a.txt", "b.txt"}, 0},
        {"refused first", {"missing.txt", "a.txt"}, 8},
        {"refused last", {"a.txt", "missing.txt"}, 8},
        {"layer failure before a refusal", {"full.txt", "missing.txt", "a.txt"}, 16},
        {"the same file twice", {"a.txt", "a.txt"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        testing::writeFile(dir.path() / "a.txt", "Nom=N-37-XIV; Path=out-a;\n");
        testing::writeFile(dir.path() / "b.txt", "Nom=N-37; Path=out-b;\n");
        testing::writeFile(dir.path() / "full.txt", "Nom=N-37-XV; Path=full;\n");
        fs::create_directories(dir.path() / "full" / "FRAME" / "Frame.dbf");
        const ProcessResult r = runIn(dir, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        for (const std::string& arg : c.args) {
            if (arg == "a.txt" || arg == "b.txt") {
                const fs::path made = dir.path() / ("out-" + arg.substr(0, 1));
                EXPECT_TRUE(fs::exists(made / "HYPS" / "HypsA.shp")) << arg;
            }
        }
    }
}

// What a bare `sheetjob` starts, and which libraries the batch program maps:
// the Linux programs' split (on Windows the program opens the system's own
// dialogs itself; the dialog test drives them).
#ifndef _WIN32
// Without an argument the batch program starts the dialog program: beside its
// own executable first, then on PATH. Without a display, or without a dialog
// program, it writes its one line and ends with exit code 8.
TEST(CommandLine, BareCommandStartsTheDialogProgram) {
    // A stand-in dialog program that says where it is and what it was given.
    const auto fakeDialogs = [](const fs::path& folder, const std::string& name) {
        const fs::path file = folder / "sheetjob-gui";
        testing::writeFile(file, "#!/bin/sh\necho \"" + name + " $#\"\nexit 5\n");
        fs::permissions(file, fs::perms::owner_all);
    };
    struct Case {
        const char* name;
        bool beside;
        bool besideIsSelf; // the name beside is a link to the batch program
        bool onPath;
        bool display;
        int exitCode;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"beside", true, false, false, true, 5, "beside 0\n", ""},
        {"on PATH", false, false, true, true, 5, "path 0\n", ""},
        {"beside before PATH", true, false, true, true, 5, "beside 0\n", ""},
        {"none installed", false, false, false, true, 8, "", kNoDisplayLine},
        {"no display", true, false, true, false, 8, "", kNoDisplayLine},
        {"a link to itself is not started", false, true, false, true, 8, "", kNoDisplayLine},
        {"a link to itself, then PATH", false, true, true, true, 5, "path 0\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path bin = dir.path() / "bin";
        const fs::path path = dir.path() / "path";
        fs::create_directories(bin);
        fs::create_directories(path);
        fs::copy_file(SHEETJOB_EXE, bin / "sheetjob");
        if (c.beside)
            fakeDialogs(bin, "beside");
        if (c.besideIsSelf)
            fs::create_symlink("sheetjob", bin / "sheetjob-gui");
        if (c.onPath)
            fakeDialogs(path, "path");
        std::vector<std::string> env = c.display ? kUnreachableDisplay : kNoDisplay;
        env.push_back("PATH=" + path.string());
        const ProcessResult r = run((bin / "sheetjob").string(), dir, {}, env);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
    }
}

// The dialog program built beside the batch program is started and finds the
// display unreachable: the same line and exit code as a run without display.
TEST(CommandLine, UnreachableDisplayEndsWithTheNoDisplayLine) {
    if (std::string(SHEETJOB_GUI_EXE) == "")
        GTEST_SKIP() << "built without the dialogs";
    TempDir dir;
    const ProcessResult r = run(SHEETJOB_EXE, dir, {}, kUnreachableDisplay);
    EXPECT_EQ(r.exitCode, 8);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kNoDisplayLine);
}

// The batch program maps no GUI library (no Qt, no X11, EGL, OpenGL or font
// libraries), so it runs on a server without them, and no shapefile library:
// the layers are its own encoding.
TEST(CommandLine, BatchProgramLinksNoGuiLibrary) {
    const ProcessResult r = testing::runProcess("/usr/bin/ldd", {SHEETJOB_EXE});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_NE(r.out.find("libstdc++"), std::string::npos) << r.out;
    for (const char* gui : {"libshp", "libQt", "libX11", "libxcb", "libEGL", "libGL",
                            "libfontconfig", "libfreetype", "libicu", "libglib"})
        EXPECT_EQ(r.out.find(gui), std::string::npos) << gui;
}

#endif

} // namespace
} // namespace sheetjob
