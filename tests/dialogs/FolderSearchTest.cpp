// The folder search: the request it hands the platform, the folder it cuts
// from the confirmed path, cancellation, and the working directory kept.

#include "ScriptedPlatform.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/dialogs/FindFile.h"
#include "sheetjob/dialogs/SheetJobDial.h"

#include <gtest/gtest.h>

namespace sheetjob::dialogs {
namespace {

using testing::FakeDialog;
using testing::ScriptedPlatform;

std::string u(const std::string& cp1251) { return common::cp1251ToUtf8(cp1251); }
std::string c(const std::string& utf8) { return common::utf8ToCp1251(utf8).value(); }

TEST(FolderSearch, ConfirmedPathGivesItsFolder) {
    struct Case {
        const char* name;
        std::string confirmed, folder, namePart;
    };
    const std::vector<Case> cases = {
        {"placeholder in a folder", "C:\\Data\\Maps\\Файл задавать не нужно", "C:\\Data\\Maps\\",
         "Файл задавать не нужно"},
        {"an existing file", "C:\\Data\\Maps\\N-37.txt", "C:\\Data\\Maps\\", "N-37.txt"},
        {"a drive's root", "C:\\Файл задавать не нужно", "C:\\", "Файл задавать не нужно"},
        {"a folder picker's answer", "/home/user/Карты/", "/home/user/Карты/", ""},
        {"trailing blanks do not count", "D:\\Maps\\x   ", "D:\\Maps\\", "x"},
        {"no separator at all", "maps", "", "maps"},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.name);
        ScriptedPlatform platform;
        platform.pickerAnswer = c(cs.confirmed);
        std::string folder = "old";
        std::string namePart = "old";
        EXPECT_TRUE(findFile(platform, "  /start  ", kFindFolder, " *.* ", "", "", "  Caption ",
                             folder, namePart));
        EXPECT_EQ(u(folder), cs.folder);
        EXPECT_EQ(u(namePart), cs.namePart);
        ASSERT_EQ(platform.requests.size(), 1U);
        const OpenFileRequest& r = platform.requests[0];
        EXPECT_EQ(u(r.filterName), "ПОИСК ПАПКИ");
        // The caller's texts lose their trailing blanks only: a leading blank
        // may belong to a folder's name.
        EXPECT_EQ(r.pattern, " *.*");
        EXPECT_EQ(u(r.initialFileName), "Файл задавать не нужно");
        EXPECT_EQ(r.initialDirectory, "  /start");
        EXPECT_EQ(r.caption, "  Caption");
        EXPECT_TRUE(r.pathMustExist);
    }
}

TEST(FolderSearch, CancelGivesFalseAndBlankOutputs) {
    ScriptedPlatform platform;
    std::string folder = "old";
    std::string namePart = "old";
    EXPECT_FALSE(
        findFile(platform, "/start", kFindFolder, "*.*", "", "", "Caption", folder, namePart));
    EXPECT_EQ(folder, "");
    EXPECT_EQ(namePart, "");
}

// The "Найти" button of the main dialog: the folder lands in the folder field,
// a cancel changes nothing, and the working directory is kept either way.
TEST(FolderSearch, FindButtonFillsTheFolderFieldAndKeepsTheWorkingDirectory) {
    struct Case {
        const char* name;
        std::optional<std::string> answer;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"confirmed", c("/home/user/Карты/"), "/home/user/Карты/"},
        {"cancelled", std::nullopt, "/earlier/"},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.name);
        ScriptedPlatform platform;
        platform.pickerAnswer = cs.answer;
        platform.then(kTemplateParameters, [&](FakeDialog& d) {
            d.userType(kIdResultFolder, "/earlier/");
            d.userClick(kIdFind);
            EXPECT_EQ(u(d.text(kIdResultFolder)), cs.shown);
            EXPECT_EQ(platform.cwd, "/work/start");
            return kIdOk;
        });
        SheetJobDial dial(platform);
        model::Job job;
        dial.paramDialog(job);
        ASSERT_EQ(platform.requests.size(), 1U);
        EXPECT_EQ(u(platform.requests[0].caption), "Поиск папки для рез. файлов");
        EXPECT_EQ(platform.requests[0].initialDirectory, "/work/start");
        EXPECT_EQ(u(job.resultFolder), cs.shown);
        EXPECT_EQ(platform.cwd, "/work/start");
    }
}

} // namespace
} // namespace sheetjob::dialogs
