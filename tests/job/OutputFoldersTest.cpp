#include "sheetjob/job/OutputFolders.h"
#include "sheetjob/common/Cp1251.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

namespace sheetjob::job {
namespace {
namespace fs = std::filesystem;
using testing::namesIn;
using testing::TempDir;
using testing::writeFile;

const std::string kSep(1, kFolderSeparator);

void touch(const fs::path& folder, std::initializer_list<const char*> names) {
    for (const char* name : names)
        writeFile(folder / testing::fromUtf8(name), "x");
}

TEST(PathProcess, DerivedPathsAreNativeConcatenations) {
    TempDir dir;
    const std::string root = dir.path().string() + kSep;
    {
        OutputFolders f;
        ASSERT_FALSE(pathProcess(dir / "", true, f));
        EXPECT_EQ(f.hyps.path(), root + "HYPS");
        EXPECT_EQ(f.frame.path(), root + "FRAME");
        EXPECT_EQ(f.r50->path(), root + "HYPS_50");
        EXPECT_EQ(f.r25->path(), root + "HYPS_25");
    }
    // Without a final separator one is put in; with one none is added.
    OutputFolders g;
    ASSERT_FALSE(pathProcess(dir.path().string(), false, g));
    EXPECT_EQ(g.hyps.path(), root + "HYPS");
    EXPECT_FALSE(g.r50);
    EXPECT_EQ(namesIn(dir.path()),
              (std::set<std::string>{"FRAME", "HYPS", "HYPS_25", "HYPS_50", ".sheetjob.lock"}));
}

TEST(PathProcess, MissingResultFolderGivesStatusOneAndCreatesNothing) {
    TempDir dir;
    OutputFolders f;
    auto failure = pathProcess(dir / "absent/", true, f);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->status, kResultFolderMissing);
    EXPECT_NE(failure->reason.find("does not exist"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path() / "absent"));
    EXPECT_EQ(pathProcess("", false, f)->status, kResultFolderMissing);
    writeFile(dir.path() / "plain", "a file, not a folder");
    EXPECT_EQ(pathProcess(dir / "plain", false, f)->status, kResultFolderMissing);
}

// A rerun removes every member of the layers it is about to write, whatever
// their case, and nothing else: a file whose name merely begins with a
// layer's is someone's own.
TEST(PathProcess, RerunRemovesStaleLayersOnly) {
    TempDir dir;
    const fs::path hyps = dir.path() / "HYPS";
    const fs::path frame = dir.path() / "FRAME";
    touch(hyps, {"HypsA.shp", "HypsA.shx", "HypsA.dbf", "HypsA.prj", "HypsA.cpg", "HypsA.shp.xml",
                 "HYPSL.SHP", "HYPSL.SHX", "HYPSL.DBF", "HYPSL.PRJ", "hypsp.shp", "hypsp.dbf",
                 "HypsP.prj", "HypsA", "HypsAB.shp", "HypsA_old.dbf", "notes.txt", "XHypsA.shp"});
    touch(hyps, {"HypsA.SBN", "hypsa.qix", "HypsA.qml", "HypsA.shp.bak", "HypsA.v1.shp",
                 "HypsA.backup-2023.zip"});
    touch(frame,
          {"Frame.shp", "Frame.shx", "Frame.dbf", "Frame.PRJ", "FrameDig.shp", "framedig.dbf",
           "FRAMEADJ.shp", "FrameAdj.cpg", "Frame.txt.bak", "FrameX.shp", "legend.shp"});
    fs::create_directory(hyps / "HypsA.d"); // a folder is never removed
    // Leftovers of a killed run, under their temporary names, go too.
    touch(hyps, {"HypsL.shp.sheetjob-part", "Other.dbf.sheetjob-part"});
    touch(frame, {"FrameDig.dbf.sheetjob-part"});
    OutputFolders f;
    ASSERT_FALSE(pathProcess(dir / "", false, f));
    EXPECT_EQ(
        namesIn(hyps),
        (std::set<std::string>{"HypsAB.shp", "HypsA_old.dbf", "notes.txt", "XHypsA.shp", "HypsA.d",
                               "HypsA", "HypsA.shp.bak", "HypsA.v1.shp", "HypsA.backup-2023.zip"}));
    EXPECT_EQ(namesIn(frame), (std::set<std::string>{"FrameX.shp", "legend.shp", "Frame.txt.bak"}));
}

// Without its .shp member a layer is left alone.
TEST(PathProcess, LayerWithoutMainFileIsKept) {
    TempDir dir;
    const fs::path hyps = dir.path() / "HYPS";
    touch(hyps, {"HypsA.shx", "HypsA.dbf", "HypsL.shp", "HypsL.dbf"});
    fs::create_directory(dir.path() / "FRAME");
    fs::create_directory(dir.path() / "FRAME" / "Frame.shp"); // a folder named like the main file
    touch(dir.path() / "FRAME", {"Frame.dbf"});
    OutputFolders f;
    ASSERT_FALSE(pathProcess(dir / "", false, f));
    EXPECT_EQ(namesIn(hyps), (std::set<std::string>{"HypsA.shx", "HypsA.dbf"}));
    EXPECT_EQ(namesIn(dir.path() / "FRAME"), (std::set<std::string>{"Frame.shp", "Frame.dbf"}));
}

// A symbolic link among the members goes as a link; what it points to stays.
TEST(PathProcess, SymbolicLinkIsRemovedNotItsTarget) {
    if (!testing::kTestMakesLinks)
        GTEST_SKIP() << "links are made from Linux around the Windows program";
    TempDir dir;
    const fs::path outside = dir.path() / "outside";
    touch(outside, {"keep.dbf", "keep50.shp"});
    touch(dir.path() / "res" / "HYPS", {"HypsA.shp"});
    fs::create_symlink(outside / "keep.dbf", dir.path() / "res" / "HYPS" / "HypsA.dbf");
    fs::create_directories(dir.path() / "res" / "HYPS_50");
    fs::create_symlink(outside / "keep50.shp", dir.path() / "res" / "HYPS_50" / "link.shp");
    fs::create_directory_symlink(outside, dir.path() / "res" / "HYPS_50" / "linkdir");
    OutputFolders f;
    ASSERT_FALSE(pathProcess(dir / "res", true, f));
    EXPECT_TRUE(namesIn(dir.path() / "res" / "HYPS").empty());
    EXPECT_EQ(namesIn(dir.path() / "res" / "HYPS_50"), (std::set<std::string>{"linkdir"}));
    EXPECT_EQ(namesIn(outside), (std::set<std::string>{"keep.dbf", "keep50.shp"}));
}

// The sub-sheet folders are made, or cleared of their layers, only when
// sub-sheet frames are asked for; leftovers under temporary names go always.
TEST(PathProcess, SubSheetFoldersOnlyWhenAsked) {
    TempDir dir;
    touch(dir.path() / "HYPS_50", {"N-37-056-\xD0\x90.shp", "anything.txt"});
    touch(dir.path() / "HYPS_25",
          {"N-37-056-\xD0\x90-\xD0\xB0.dbf", "N-37-056-\xD0\x90-\xD0\xB0.shp.sheetjob-part"});
    fs::create_directories(dir.path() / "HYPS_25" / "sub");
    touch(dir.path() / "HYPS_25" / "sub", {"deep.shp"});
    {
        OutputFolders f;
        ASSERT_FALSE(pathProcess(dir / "", false, f));
    }
    EXPECT_EQ(namesIn(dir.path() / "HYPS_50").size(), 2u);
    EXPECT_EQ(namesIn(dir.path() / "HYPS_25").size(), 2u);

    {
        OutputFolders f;
        ASSERT_FALSE(pathProcess(dir / "", true, f));
    }
    EXPECT_EQ(namesIn(dir.path() / "HYPS_50"), (std::set<std::string>{"anything.txt"}));
    EXPECT_EQ(namesIn(dir.path() / "HYPS_25"), (std::set<std::string>{"sub"}));
    EXPECT_TRUE(fs::exists(dir.path() / "HYPS_25" / "sub" / "deep.shp"));

    TempDir fresh;
    OutputFolders f;
    ASSERT_FALSE(pathProcess(fresh / "", true, f));
    EXPECT_EQ(namesIn(fresh.path()),
              (std::set<std::string>{"FRAME", "HYPS", "HYPS_25", "HYPS_50", ".sheetjob.lock"}));
}

// A sub-folder that is a symbolic link (dangling or to another folder) or a
// file is refused with its own status, naming it, before anything is removed
// anywhere; the link's target is never touched.
TEST(PathProcess, FoldersThatAreLinksOrFilesAreRefused) {
    struct Case {
        const char* folder;
        bool subSheets;
        int status;
    };
    const Case cases[] = {
        {"HYPS", false, kHypsNotCreated},
        {"FRAME", false, kFrameNotCreated},
        {"HYPS_50", true, kR50NotCreated},
        {"HYPS_25", true, kR25NotCreated},
    };
    for (const char* kind : {"dangling link", "link to a folder", "file"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(kind) + " " + c.folder);
            if (!testing::kTestMakesLinks && std::string(kind) != "file")
                continue;
            TempDir dir;
            const fs::path outside = dir.path() / "outside";
            touch(outside, {"HypsA.shp", "Frame.shp", "unrelated.txt"});
            const fs::path res = dir.path() / "res";
            // Stale layers in a sound folder must stay when another is refused.
            const bool hypsRefused = std::string(c.folder) == "HYPS";
            const fs::path sound = res / (hypsRefused ? "FRAME" : "HYPS");
            touch(sound, {"HypsA.shp", "HypsA.dbf", "Frame.shp", "Frame.dbf"});
            const std::string k = kind;
            if (k == "dangling link")
                fs::create_symlink(dir.path() / "nowhere" / "x", res / c.folder);
            else if (k == "link to a folder")
                fs::create_directory_symlink(outside, res / c.folder);
            else
                writeFile(res / c.folder, "a file where a folder should go");
            OutputFolders f;
            const auto failure = pathProcess(res.string(), c.subSheets, f);
            ASSERT_TRUE(failure);
            EXPECT_EQ(failure->status, c.status);
            EXPECT_NE(failure->reason.find(c.folder), std::string::npos) << failure->reason;
            EXPECT_EQ(failure->reason.find('\n'), std::string::npos);
            EXPECT_EQ(namesIn(outside),
                      (std::set<std::string>{"HypsA.shp", "Frame.shp", "unrelated.txt"}));
            EXPECT_EQ(namesIn(sound).size(), 4u);
        }
    }
    // A file named HYPS: refused as a folder problem.
    TempDir dir;
    writeFile(dir.path() / "HYPS", "x");
    OutputFolders f;
    const auto failure = pathProcess(dir / "", false, f);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->status, kHypsNotCreated);
    EXPECT_NE(failure->reason.find("HYPS"), std::string::npos);
}

// Two runs into one result folder: the second is refused at once while the
// first holds the folder; after it the folder is free again.
TEST(PathProcess, OneRunAtATimePerResultFolder) {
    TempDir dir;
    {
        OutputFolders first;
        ASSERT_FALSE(pathProcess(dir / "", false, first));
        // A lock is per open file: a second open in this process is refused as
        // another process would be.
        OutputFolders second;
        const auto failure = pathProcess(dir / "", false, second);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->status, kResultFolderBusy);
        EXPECT_NE(failure->reason.find("another run"), std::string::npos) << failure->reason;
    }
    OutputFolders third;
    EXPECT_FALSE(pathProcess(dir / "", false, third));
    // A lock file that is a link is never opened through.
    if (!testing::kTestMakesLinks)
        return;
    TempDir other;
    writeFile(other.path() / "target", "keep");
    fs::create_symlink(other.path() / "target", other.path() / ".sheetjob.lock");
    OutputFolders linked;
    const auto failure = pathProcess(other / "", false, linked);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->status, kResultFolderBusy);
    EXPECT_EQ(testing::readFile(other.path() / "target"), "keep");
}

TEST(PathProcess, Windows1251ResultFolderIsUsedAsUtf8OnDisk) {
    TempDir dir;
    fs::create_directory(dir.path() / testing::fromUtf8("\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B")); // карты
    OutputFolders f;
    ASSERT_FALSE(pathProcess(dir / "" + "\xEA\xE0\xF0\xF2\xFB", false, f));
    EXPECT_EQ(f.hyps.path(),
              (dir / "") + "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B" + kSep + "HYPS");
    EXPECT_TRUE(fs::is_directory(dir.path() / testing::fromUtf8("\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B") /
                                 "HYPS"));
}

TEST(FailureMessage, TextsOfTheFolderStatuses) {
    const auto text = [](int status) { return common::cp1251ToUtf8(failureMessage(status)); };
    EXPECT_EQ(text(1), "Не существует заданная папка результата");
    EXPECT_EQ(text(2), "Не удалось создать папку HYPS");
    EXPECT_EQ(text(3), "Не удалось создать папку FRAME");
    EXPECT_EQ(text(4), "Не удалось создать папку R50");
    EXPECT_EQ(text(5), "Не удалось создать папку R25");
    EXPECT_EQ(text(999), "Неспецифицированная ошибка");
    EXPECT_EQ(text(6), "Неспецифицированная ошибка");
}

} // namespace
} // namespace sheetjob::job
