// Whole-program tests: the built sheetjob executable run on small argument
// files in a temporary folder; exit code, the one stderr line, the folders made.

#include "support/Process.h"
#include "support/TempDir.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/job/RunRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include "support/Ogr.h"

#include <sys/stat.h>
#endif

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
    // Names as stored: where names match in any case (Windows), the new
    // HypsA.shp is found under "HYPSA.SHP" too.
    const auto hypsNames = testing::namesIn(hyps);
    const auto frameNames = testing::namesIn(frame);
    for (const char* gone : {"HYPSA.SHP", "HYPSA.DBF", "hypsl.shp", "hypsl.cpg"})
        EXPECT_EQ(hypsNames.count(gone), 0u) << gone;
    EXPECT_EQ(hypsNames.count("readme.txt"), 1u);
    EXPECT_EQ(frameNames.count("framedig.shp"), 0u);
    EXPECT_EQ(frameNames.count("FRAMEDIG.PRJ"), 0u);
    EXPECT_EQ(frameNames.count("other.shp"), 1u);
}

// The sub-sheet folders are made whole, over what an earlier run left: its
// folders (emptied of stale layers and replaced) and a folder a killed run
// was writing (removed, also by a run without sub-sheet frames).
TEST(SheetJobCli, SubSheetFramesMakeTheirFolders) {
    TempDir dir;
    const fs::path res = dir.path() / "res";
    testing::writeFile(res / "HYPS_50.sheetjob-part" / "N-37-51-\xD0\x90.shp", "killed");
    const std::string job = "\xEF\xBB\xBFNom=N-37-XIV; Path=res; SubSheetFrames=1;\n";
    for (int run = 0; run < 2; ++run) {
        const ProcessResult r = runJob(dir, job);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        for (const auto& [folder, layers] : {std::pair{"HYPS_50", 16}, {"HYPS_25", 64}}) {
            int shp = 0;
            for (const auto& e : fs::directory_iterator(res / folder))
                shp += e.path().extension() == ".shp";
            EXPECT_EQ(shp, layers) << folder;
        }
        EXPECT_FALSE(fs::exists(res / "HYPS_50.sheetjob-part"));
    }
    fs::create_directories(res / "HYPS_25.sheetjob-part");
    ASSERT_EQ(runJob(dir, "Nom=N-37-XIV; Path=res;\n").exitCode, 0);
    EXPECT_FALSE(fs::exists(res / "HYPS_25.sheetjob-part"));
}

// A layer that cannot be written (a full disk, wherever it fills up, or a
// file-size limit, whose signal must not end the program) is exit code 16 with
// its reason, never a success, and leaves nothing under a temporary name.
TEST(SheetJobCli, LayerFailureExitsSixteen) {
    if (!testing::kFileSizeLimits)
        GTEST_SKIP() << "no file size limits to fill the disk with";
    // The limit holds for each file: the largest layer file of this job is
    // ~30 kB, its project ~47 kB.
    for (const long long limit : {200LL, 3000LL, 9000LL, 20000LL, 40000LL}) {
        SCOPED_TRACE(limit);
        TempDir dir;
        testing::writeFile(dir.path() / "job.txt", "Nom=N-37-XIV; Path=res;\n");
        const ProcessResult r = runIn(dir, {"job.txt"}, limit);
        EXPECT_EQ(r.exitCode, 16);
        EXPECT_EQ(r.err.rfind("sheetjob: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
        for (const auto& e : fs::recursive_directory_iterator(dir.path() / "res"))
            EXPECT_FALSE(e.path().string().ends_with(".sheetjob-part")) << e.path();
    }
}

// The project an earlier run wrote goes with its layers when a run writes
// another sheet, unless it was changed since; a record naming a file outside
// the folder is not followed.
TEST(SheetJobCli, ProjectOfAnEarlierRunGoesUnlessChanged) {
    TempDir dir;
    const fs::path res = dir.path() / "res";
    ASSERT_EQ(runJob(dir, "Nom=N-37-XIV; Path=res;\n").exitCode, 0);
    ASSERT_EQ(runJob(dir, "Nom=N-37-XV; Path=res;\n").exitCode, 0);
    EXPECT_FALSE(fs::exists(res / "N-37-XIV.qgs"));
    testing::writeFile(res / "N-37-XV.qgs", testing::readFile(res / "N-37-XV.qgs") + "\n");
    testing::writeFile(dir.path() / "x.qgs", "x");
    testing::writeFile(res / job::kRunRecordFile,
                       job::runRecordText({true, "", false, "../x.qgs", job::contentDigest("x")}));
    ASSERT_EQ(runJob(dir, "Nom=N-37-XIV; Path=res; QgisFiles=0;\n").exitCode, 0);
    EXPECT_TRUE(fs::is_regular_file(res / "N-37-XV.qgs"));
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "x.qgs"));
}

// A sub-sheet frame that cannot be written leaves the job not done (exit 8)
// before any sheet layer, where a failed sheet layer is exit 16.
TEST(SheetJobCli, SubSheetFailureExitsEight) {
    TempDir dir;
    // A folder in the place of the first 1:50 000 sheet's main file.
    fs::create_directories(dir.path() / "res" / "HYPS_50" / testing::fromUtf8("N-37-51-\xD0\x90.shp"));
    const ProcessResult r = runJob(dir, "Nom=N-37-XIV; Path=res; SubSheetFrames=1;\n");
    EXPECT_EQ(r.exitCode, 8) << r.err;
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("N-37-51-\xD0\x90"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.path() / "res" / "HYPS" / "HypsA.shp"));
}

// Every layer gets its style and the result folder a project; "QgisFiles=0"
// leaves them out, and the old styles go with the old layers.
TEST(SheetJobCli, QgisFilesBesideTheLayers) {
    TempDir dir;
    ProcessResult r = runJob(dir, "Nom=N-37-XIV; Path=res; SubSheetFrames=1;\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const fs::path res = dir.path() / "res";
    for (const char* style :
         {"HYPS/HypsA.qml", "HYPS/HypsL.qml", "HYPS/HypsP.qml", "FRAME/Frame.qml",
          "FRAME/FrameAdj.qml", "FRAME/FrameDig.qml", "HYPS_50/N-37-51-\xD0\x90.qml",
          "HYPS_25/N-37-64-\xD0\x93-\xD0\xB3.qml"})
        EXPECT_TRUE(fs::is_regular_file(res / testing::fromUtf8(style))) << style;
    EXPECT_TRUE(fs::is_regular_file(res / "N-37-XIV.qgs"));

    r = runJob(dir, "Nom=N-37-XIV; Path=res; QgisFiles=0;\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::is_regular_file(res / "HYPS" / "HypsA.shp"));
    EXPECT_FALSE(fs::exists(res / "HYPS" / "HypsA.qml"));
    EXPECT_FALSE(fs::exists(res / "FRAME" / "Frame.qml"));

    // A style that cannot be written is a failure of the run, named.
    fs::create_directory(res / "HYPS" / "HypsL.qml");
    r = runJob(dir, "Nom=N-37-XIV; Path=res;\n");
    EXPECT_EQ(r.exitCode, 16);
    EXPECT_NE(r.err.find("HypsL.qml"), std::string::npos) << r.err;
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
}

// Folders that are symbolic links are refused before anything is removed, and
// nothing outside the result tree changes; a link planted under a member's
// name is replaced, not written through.
TEST(SheetJobCli, LinksInTheResultTreeAreNeverFollowed) {
    if (!testing::kTestMakesLinks)
        GTEST_SKIP() << "links are made from Linux around the Windows program";
    TempDir dir;
    const fs::path outside = dir.path() / "outside";
    for (const char* name : {"HypsA.shp", "HypsA.dbf", "unrelated.txt"})
        testing::writeFile(outside / name, "keep");
    testing::writeFile(dir.path() / "victim.txt", "keep");
    const fs::path res = dir.path() / "res";
    fs::create_directories(res);
    for (const char* folder : {"HYPS", "HYPS_50"}) {
        SCOPED_TRACE(folder);
        fs::create_directory_symlink(outside, res / folder);
        const ProcessResult r = runJob(dir, "Nom=N-37-XIV; Path=res; SubSheetFrames=1;\n");
        EXPECT_EQ(r.exitCode, 8);
        EXPECT_NE(r.err.find(folder), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("symbolic link"), std::string::npos) << r.err;
        EXPECT_EQ(lineCount(r.err), 1);
        fs::remove(res / folder);
    }
    fs::create_directories(res / "HYPS");
    fs::create_symlink("../../victim.txt", res / "HYPS" / "HypsL.dbf");
    const ProcessResult r = runJob(dir, "Nom=N-37-XIV; Path=res;\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::is_symlink(res / "HYPS" / "HypsL.dbf"));
    EXPECT_EQ(testing::readFile(dir.path() / "victim.txt"), "keep");
    for (const char* name : {"HypsA.shp", "HypsA.dbf", "unrelated.txt"})
        EXPECT_EQ(testing::readFile(outside / name), "keep") << name;
}

// A file named HYPS is a folder problem (exit 8), not a layer failure.
TEST(SheetJobCli, FileInThePlaceOfAFolder) {
    TempDir dir;
    testing::writeFile(dir.path() / "res" / "HYPS", "not a folder");
    const ProcessResult r = runJob(dir, "Nom=N-37-XIV; Path=res;\n");
    EXPECT_EQ(r.exitCode, 8);
    EXPECT_NE(r.err.find("HYPS"), std::string::npos) << r.err;
    EXPECT_EQ(testing::readFile(dir.path() / "res" / "HYPS"), "not a folder");
}

// Special files as the argument file are refused at once; a name with control
// characters is shown escaped on one line.
TEST(SheetJobCli, ArgumentFileMustBeARegularFile) {
    TempDir dir;
#ifdef _WIN32
    // A device (the reader's own test checks the reason); Windows has no file
    // names with control characters.
    const ProcessResult r = runIn(dir, {"NUL"});
    EXPECT_EQ(r.exitCode, 8);
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
#else
    ASSERT_EQ(mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    ProcessResult r = runIn(dir, {"fifo"});
    EXPECT_EQ(r.exitCode, 8);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    r = runIn(dir, {"/dev/zero"});
    EXPECT_EQ(r.exitCode, 8);
    // Controls (C0 and C1) and bytes that are not UTF-8 are shown escaped.
    for (const auto& [name, shown] : {std::pair{"bad\nname\x1B.txt", "bad\\x0Aname\\x1B.txt"},
                                      {"csi\xC2\x9B.txt", "csi\\xC2\\x9B.txt"},
                                      {"latin1-\xE9.txt", "latin1-\\xE9.txt"}}) {
        testing::writeFile(dir.path() / name, "Nom=N-37;\n");
        r = runIn(dir, {name});
        EXPECT_EQ(r.exitCode, 8);
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(shown), std::string::npos) << r.err;
        EXPECT_TRUE(common::isValidUtf8(r.err)) << r.err;
    }
    // The name is read whole: trailing blanks belong to it.
    r = runIn(dir, {"bad\nname\x1B.txt "});
    EXPECT_NE(r.err.find("\"bad\\x0Aname\\x1B.txt \" not found"), std::string::npos) << r.err;
#endif
}

// Two runs into one result folder at the same time: one writes, the other is
// refused at once naming the folder; every layer left is whole.
TEST(SheetJobCli, ConcurrentRunsIntoOneFolder) {
    TempDir dir;
    testing::writeFile(dir.path() / "job.txt",
                       "Nom=N-37; Path=res; MeridianStep=0 05; ParallelStep=0 05;\n");
    int refused = 0;
    for (int round = 0; round < 6; ++round) {
        testing::ProcessOptions options;
        options.workingDirectory = dir.path().string();
        auto a = testing::startProcess(SHEETJOB_EXE, {"job.txt"}, options);
        auto b = testing::startProcess(SHEETJOB_EXE, {"job.txt"}, options);
        const ProcessResult ra = testing::finishProcess(a);
        const ProcessResult rb = testing::finishProcess(b);
        for (const auto* r : {&ra, &rb}) {
            EXPECT_TRUE(r->exitCode == 0 || r->exitCode == 8) << r->err;
            if (r->exitCode == 8) {
                ++refused;
                EXPECT_NE(r->err.find("another run"), std::string::npos) << r->err;
            }
        }
        EXPECT_TRUE(ra.exitCode == 0 || rb.exitCode == 0);
        for (const char* layer : {"HYPS/HypsL.shp", "FRAME/Frame.shp"}) {
#ifdef _WIN32
            // Whole: the layers' bytes are compared with the Linux build's elsewhere.
            EXPECT_GT(fs::file_size(dir.path() / "res" / layer), 100u) << layer;
#else
            const auto read = testing::readLayerWithOgr((dir.path() / "res" / layer).string());
            ASSERT_TRUE(read) << layer;
#endif
        }
    }
    (void)refused; // how often the two overlap depends on the machine
}

} // namespace
} // namespace sheetjob
