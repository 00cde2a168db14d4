// Whole-program tests: the built sheetjob executable run on small argument
// files in a temporary folder; exit code, the one stderr line, the folders made.

#include "support/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace sheetjob {
namespace {
namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::TempDir;

ProcessResult runIn(const TempDir& dir, const std::vector<std::string>& args,
                    long long fileSizeLimit = -1) {
    testing::ProcessOptions options;
    options.workingDirectory = dir.path().string();
    options.fileSizeLimit = fileSizeLimit;
    return testing::runProcess(SHEETJOB_EXE, args, options);
}

ProcessResult runJob(const TempDir& dir, const std::string& content) {
    testing::writeFile(dir.path() / "job.txt", content);
    return runIn(dir, {"job.txt"});
}

long lineCount(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

// The bundled example: exit 0, silent, HYPS and FRAME under the relative Path.
TEST(SheetJobCli, ExampleRunsSilently) {
    TempDir dir;
    fs::copy_file(fs::path(SHEETJOB_TEST_DATA) / ".." / ".." / "examples" / "N-37-XIV.txt",
                  dir.path() / "N-37-XIV.txt");
    const ProcessResult r = runIn(dir, {"N-37-XIV.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(fs::is_directory(dir.path() / "out" / "N-37-XIV" / "HYPS"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "out" / "N-37-XIV" / "FRAME"));
    EXPECT_FALSE(fs::exists(dir.path() / "out" / "N-37-XIV" / "HYPS_50"));
}

// Every refusal: exit code 8 and one line on stderr saying what and where.
TEST(SheetJobCli, RefusalsExitEightWithOneLine) {
    struct Case {
        const char* name;
        const char* content; // nullptr: no argument file at all
        const char* expected;
    };
    const Case cases[] = {
        {"missing file", nullptr,
         "sheetjob: argument file \"job.txt\" not found (usage: sheetjob [ARGUMENT-FILE])"},
        {"unknown key", "Path=out;\nnom=N-37-XIV;\n",
         "sheetjob: job.txt, line 2: unknown key \"nom\""},
        {"missing Path", "Nom=N-37-XIV;\n", "sheetjob: job.txt: \"Path\" is missing"},
        {"MapScale before Nom", "MapScale=500; Nom=N-37-XIV; Path=out;\n",
         "sheetjob: job.txt, line 1: \"MapScale\" comes before \"Nom\""},
        {"xFrom a full sheet west", "Nom=N-37-XIV; Path=out; xFrom=36\xB0 00';\n",
         "sheetjob: job.txt: \"xFrom\" 36° 00' lies a full sheet size or more beyond the sheet's "
         "west edge 37° 00'"},
        {"Cyrillic CS, reported in UTF-8", "CS=\xD1\xCA-42; Nom=N-37; Path=out;\n",
         "sheetjob: job.txt, line 1: unknown coordinate system \"СК-42\""},
        {"sub-sheet frames of a 1:1 000 000 sheet", "Nom=N-37; Path=out; SubSheetFrames=1;\n",
         "sheetjob: job.txt, line 1: \"SubSheetFrames=1\" needs a single 1:200 000 sheet"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const ProcessResult r = c.content ? runJob(dir, c.content) : runIn(dir, {"job.txt"});
        EXPECT_EQ(r.exitCode, 8);
        EXPECT_EQ(r.err.rfind(c.expected, 0), 0u) << r.err;
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fs::exists(dir.path() / "out")); // nothing made before the job was read
    }
}

TEST(SheetJobCli, FolderThatCannotBeMadeIsNamed) {
    TempDir dir;
    testing::writeFile(dir.path() / "blocker", "a file");
    const ProcessResult r = runJob(dir, "Nom=N-37-XIV; Path=blocker/out;\n");
    EXPECT_EQ(r.exitCode, 8);
    EXPECT_EQ(r.err.rfind("sheetjob: cannot create folder blocker/out", 0), 0u) << r.err;
    EXPECT_EQ(lineCount(r.err), 1);
}

// A rerun removes the stale members of the layers (any case), nothing else.
TEST(SheetJobCli, RerunRemovesStaleLayers) {
    TempDir dir;
    const fs::path hyps = dir.path() / "res" / "HYPS";
    const fs::path frame = dir.path() / "res" / "FRAME";
    for (const char* name : {"HYPSA.SHP", "HYPSA.DBF", "hypsl.shp", "hypsl.cpg", "readme.txt"})
        testing::writeFile(hyps / name, "stale");
    for (const char* name : {"framedig.shp", "FRAMEDIG.PRJ", "other.shp"})
        testing::writeFile(frame / name, "stale");
    const ProcessResult r = runJob(dir, "Nom=N-37-XIV;\r\nPath=res;\r\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* gone : {"HYPSA.SHP", "HYPSA.DBF", "hypsl.shp", "hypsl.cpg"})
        EXPECT_FALSE(fs::exists(hyps / gone)) << gone;
    EXPECT_TRUE(fs::exists(hyps / "readme.txt"));
    EXPECT_FALSE(fs::exists(frame / "framedig.shp"));
    EXPECT_FALSE(fs::exists(frame / "FRAMEDIG.PRJ"));
    EXPECT_TRUE(fs::exists(frame / "other.shp"));
}

TEST(SheetJobCli, SubSheetFramesMakeTheirFolders) {
    TempDir dir;
    const ProcessResult r = runJob(dir, "\xEF\xBB\xBFNom=N-37-XIV; Path=res; SubSheetFrames=1;\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::is_directory(dir.path() / "res" / "HYPS_50"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "res" / "HYPS_25"));
}

// A layer that cannot be written (a full disk, wherever it fills up) is exit
// code 16 with its reason, never a success.
TEST(SheetJobCli, LayerFailureExitsSixteen) {
    // The limit holds for each file: the largest layer file of this job is ~30 kB.
    for (const long long limit : {200LL, 3000LL, 9000LL, 20000LL}) {
        SCOPED_TRACE(limit);
        TempDir dir;
        testing::writeFile(dir.path() / "job.txt", "Nom=N-37-XIV; Path=res;\n");
        const ProcessResult r = runIn(dir, {"job.txt"}, limit);
        EXPECT_EQ(r.exitCode, 16);
        EXPECT_EQ(r.err.rfind("sheetjob: ", 0), 0u) << r.err;
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
    }
}

} // namespace
} // namespace sheetjob
