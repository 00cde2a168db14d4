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
using testing::TempDir;
using testing::writeFile;

const std::string kSep(1, kFolderSeparator);

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

void touch(const fs::path& folder, std::initializer_list<const char*> names) {
    for (const char* name : names)
        writeFile(folder / name, "x");
}

TEST(PathProcess, DerivedPathsAreNativeConcatenations) {
    TempDir dir;
    OutputFolders f;
    std::string reason;
    ASSERT_EQ(pathProcess(dir / "", false, f, reason), kFoldersReady) << reason;
    const std::string root = dir.path().string() + kSep;
    EXPECT_EQ(f.HypsPath, root + "HYPS");
    EXPECT_EQ(f.FramePath, root + "FRAME");
    EXPECT_EQ(f.R50Path, root + "HYPS_50");
    EXPECT_EQ(f.R25Path, root + "HYPS_25");
    // Without a final separator one is put in; with one none is added.
    OutputFolders g;
    ASSERT_EQ(pathProcess(dir.path().string(), false, g, reason), kFoldersReady);
    EXPECT_EQ(g.HypsPath, f.HypsPath);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"FRAME", "HYPS"}));
}

TEST(PathProcess, MissingResultFolderGivesStatusOneAndCreatesNothing) {
    TempDir dir;
    OutputFolders f;
    std::string reason;
    EXPECT_EQ(pathProcess(dir / "absent/", true, f, reason), kResultFolderMissing);
    EXPECT_NE(reason.find("does not exist"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path() / "absent"));
    EXPECT_EQ(f.HypsPath, dir / "absent/HYPS"); // the paths are formed all the same
    EXPECT_EQ(pathProcess("", false, f, reason), kResultFolderMissing);
    writeFile(dir.path() / "plain", "a file, not a folder");
    EXPECT_EQ(pathProcess(dir / "plain", false, f, reason), kResultFolderMissing);
}

// A rerun removes every member of the layers it is about to write, whatever
// their case, and nothing else.
TEST(PathProcess, RerunRemovesStaleLayersOnly) {
    TempDir dir;
    const fs::path hyps = dir.path() / "HYPS";
    const fs::path frame = dir.path() / "FRAME";
    touch(hyps, {"HypsA.shp", "HypsA.shx", "HypsA.dbf", "HypsA.prj", "HypsA.cpg", "HypsA.shp.xml",
                 "HYPSL.SHP", "HYPSL.SHX", "HYPSL.DBF", "HYPSL.PRJ", "hypsp.shp", "hypsp.dbf",
                 "HypsP.prj", "HypsA", "HypsAB.shp", "HypsA_old.dbf", "notes.txt", "XHypsA.shp"});
    touch(frame,
          {"Frame.shp", "Frame.shx", "Frame.dbf", "Frame.PRJ", "FrameDig.shp", "framedig.dbf",
           "FRAMEADJ.shp", "FrameAdj.cpg", "Frame.txt.bak", "FrameX.shp", "legend.shp"});
    fs::create_directory(hyps / "HypsA.d"); // a folder is never removed
    OutputFolders f;
    std::string reason;
    ASSERT_EQ(pathProcess(dir / "", false, f, reason), kFoldersReady) << reason;
    EXPECT_EQ(namesIn(hyps), (std::set<std::string>{"HypsAB.shp", "HypsA_old.dbf", "notes.txt",
                                                    "XHypsA.shp", "HypsA.d"}));
    EXPECT_EQ(namesIn(frame), (std::set<std::string>{"FrameX.shp", "legend.shp"}));
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
    std::string reason;
    ASSERT_EQ(pathProcess(dir / "", false, f, reason), kFoldersReady);
    EXPECT_EQ(namesIn(hyps), (std::set<std::string>{"HypsA.shx", "HypsA.dbf"}));
    EXPECT_EQ(namesIn(dir.path() / "FRAME"), (std::set<std::string>{"Frame.shp", "Frame.dbf"}));
}

// A symbolic link among the members goes as a link; what it points to stays.
TEST(PathProcess, SymbolicLinkIsRemovedNotItsTarget) {
    TempDir dir;
    const fs::path outside = dir.path() / "outside";
    touch(outside, {"keep.dbf", "keep50.shp"});
    touch(dir.path() / "res" / "HYPS", {"HypsA.shp"});
    fs::create_symlink(outside / "keep.dbf", dir.path() / "res" / "HYPS" / "HypsA.dbf");
    fs::create_directories(dir.path() / "res" / "HYPS_50");
    fs::create_symlink(outside / "keep50.shp", dir.path() / "res" / "HYPS_50" / "link.shp");
    fs::create_directory_symlink(outside, dir.path() / "res" / "HYPS_50" / "linkdir");
    OutputFolders f;
    std::string reason;
    ASSERT_EQ(pathProcess(dir / "res", true, f, reason), kFoldersReady) << reason;
    EXPECT_TRUE(namesIn(dir.path() / "res" / "HYPS").empty());
    EXPECT_TRUE(namesIn(dir.path() / "res" / "HYPS_50").empty());
    EXPECT_EQ(namesIn(outside), (std::set<std::string>{"keep.dbf", "keep50.shp"}));
}

// The sub-sheet folders are made or emptied only when sub-sheet frames are asked for.
TEST(PathProcess, SubSheetFoldersOnlyWhenAsked) {
    TempDir dir;
    touch(dir.path() / "HYPS_50", {"N-37-056-\xD0\x90.shp", "anything.txt"});
    touch(dir.path() / "HYPS_25", {"N-37-056-\xD0\x90-\xD0\xB0.dbf"});
    fs::create_directories(dir.path() / "HYPS_25" / "sub");
    touch(dir.path() / "HYPS_25" / "sub", {"deep.shp"});
    OutputFolders f;
    std::string reason;
    ASSERT_EQ(pathProcess(dir / "", false, f, reason), kFoldersReady);
    EXPECT_EQ(namesIn(dir.path() / "HYPS_50").size(), 2u);
    EXPECT_EQ(namesIn(dir.path() / "HYPS_25").size(), 2u);

    ASSERT_EQ(pathProcess(dir / "", true, f, reason), kFoldersReady);
    EXPECT_TRUE(namesIn(dir.path() / "HYPS_50").empty());
    EXPECT_EQ(namesIn(dir.path() / "HYPS_25"), (std::set<std::string>{"sub"}));
    EXPECT_TRUE(fs::exists(dir.path() / "HYPS_25" / "sub" / "deep.shp"));

    TempDir fresh;
    ASSERT_EQ(pathProcess(fresh / "", true, f, reason), kFoldersReady);
    EXPECT_EQ(namesIn(fresh.path()),
              (std::set<std::string>{"FRAME", "HYPS", "HYPS_25", "HYPS_50"}));
}

// A folder that cannot be made fails with its own status and says why.
TEST(PathProcess, CreationFailuresHaveTheirStatuses) {
    struct Case {
        const char* blocker; // a dangling link where the folder should go
        bool subSheets;
        int status;
    };
    const Case cases[] = {
        {"HYPS", false, kHypsNotCreated},
        {"FRAME", false, kFrameNotCreated},
        {"HYPS_50", true, kR50NotCreated},
        {"HYPS_25", true, kR25NotCreated},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocker);
        TempDir dir;
        fs::create_symlink(dir.path() / "nowhere" / "x", dir.path() / c.blocker);
        OutputFolders f;
        std::string reason;
        EXPECT_EQ(pathProcess(dir / "", c.subSheets, f, reason), c.status);
        EXPECT_NE(reason.find("cannot create folder"), std::string::npos) << reason;
        EXPECT_NE(reason.find(c.blocker), std::string::npos) << reason;
    }
}

TEST(PathProcess, Windows1251ResultFolderIsUsedAsUtf8OnDisk) {
    TempDir dir;
    fs::create_directory(dir.path() / "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B"); // карты
    OutputFolders f;
    std::string reason;
    ASSERT_EQ(pathProcess(dir / "" + "\xEA\xE0\xF0\xF2\xFB", false, f, reason), kFoldersReady)
        << reason;
    EXPECT_EQ(f.HypsPath, (dir / "") + "\xEA\xE0\xF0\xF2\xFB" + kSep + "HYPS");
    EXPECT_TRUE(fs::is_directory(dir.path() / "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B" / "HYPS"));
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
