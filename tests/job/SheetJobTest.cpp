#include "sheetjob/job/SheetJob.h"
#include "sheetjob/common/Cp1251.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

namespace sheetjob::job {
namespace {
namespace fs = std::filesystem;
using testing::TempDir;

/// An interactive front end that fills the job as a dialog would and records
/// what it is asked to show.
class FakeSession : public InteractiveSession {
  public:
    model::Job dialogResult;
    bool accept = true;
    bool startScreenShown = false;
    struct Message {
        std::string text, title; // UTF-8
        MessageIcon icon;
    };
    std::vector<Message> messages;

    void showStartScreen() override { startScreenShown = true; }
    bool runParameterDialog(model::Job& job) override {
        EXPECT_TRUE(startScreenShown);
        job = dialogResult;
        return accept;
    }
    void showMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        messages.push_back({common::cp1251ToUtf8(text), common::cp1251ToUtf8(title), icon});
    }
};

/// What the dialog leaves for N-37-XIV with the result folder `folder`.
model::Job dialogJob(const std::string& folder) {
    model::Job job;
    job.coordSystem = geometry::kSK42;
    job.sheet = {nomenclature::kSeries200k, 8, 37, 14, nomenclature::kSingle};
    model::useBaseAsResult(job);
    job.resultFolder = folder;
    return job;
}

TEST(RunSheetJob, InteractiveSuccessShowsOneInformationBox) {
    TempDir dir;
    FakeSession session;
    session.dialogResult = dialogJob(dir / "");
    std::ostringstream err;
    EXPECT_EQ(runSheetJob({"sheetjob"}, &session, err), kExitDone);
    ASSERT_EQ(session.messages.size(), 1u);
    EXPECT_EQ(session.messages[0].text, "Задание выполнено");
    EXPECT_EQ(session.messages[0].title, "Состояние обработки");
    EXPECT_EQ(session.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(fs::is_directory(dir.path() / "HYPS"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "FRAME"));
    EXPECT_EQ(err.str(), "");
}

TEST(RunSheetJob, InteractiveCancelEndsSilently) {
    FakeSession session;
    session.accept = false;
    std::ostringstream err;
    EXPECT_EQ(runSheetJob({"sheetjob"}, &session, err), kExitNotDone);
    EXPECT_TRUE(session.messages.empty());
}

// Folder failures before generation: one stop box under "Задание НЕ ВЫПОЛНЕНО".
TEST(RunSheetJob, InteractiveFolderFailuresShowTheirMessage) {
    struct Case {
        const char* blocker; // "" = the result folder itself is missing
        bool subSheets;
        const char* text;
    };
    const Case cases[] = {
        {"", false, "Не существует заданная папка результата"},
        {"HYPS", false, "Не удалось создать папку HYPS"},
        {"FRAME", false, "Не удалось создать папку FRAME"},
        {"HYPS_50", true, "Не удалось создать папку R50"},
        {"HYPS_25", true, "Не удалось создать папку R25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TempDir dir;
        FakeSession session;
        if (*c.blocker) {
            session.dialogResult = dialogJob(dir / "");
            testing::writeFile(dir.path() / c.blocker, "a file where the folder goes");
        } else {
            session.dialogResult = dialogJob(dir / "absent/");
        }
        session.dialogResult.subSheetFrames = c.subSheets;
        std::ostringstream err;
        EXPECT_EQ(runSheetJob({"sheetjob"}, &session, err), kExitNotDone);
        ASSERT_EQ(session.messages.size(), 1u);
        EXPECT_EQ(session.messages[0].text, c.text);
        EXPECT_EQ(session.messages[0].title, "Задание НЕ ВЫПОЛНЕНО");
        EXPECT_EQ(session.messages[0].icon, MessageIcon::Stop);
    }
}

// A graticule that could never be walked does not reach the layer stages.
TEST(RunSheetJob, NonPositiveStepFromTheDialogIsRefused) {
    TempDir dir;
    FakeSession session;
    session.dialogResult = dialogJob(dir / "");
    session.dialogResult.graticule.meridianStep = -0.25;
    std::ostringstream err;
    EXPECT_EQ(runSheetJob({"sheetjob"}, &session, err), kExitNotDone);
    ASSERT_EQ(session.messages.size(), 1u);
    EXPECT_EQ(session.messages[0].text, "Неспецифицированная ошибка");
    EXPECT_FALSE(fs::exists(dir.path() / "HYPS"));
}

TEST(RunSheetJob, NoDisplayPointsToTheArgumentFile) {
    std::ostringstream err;
    EXPECT_EQ(runSheetJob({"sheetjob"}, nullptr, err), kExitNotDone);
    const std::string text = err.str();
    EXPECT_NE(text.find("interactive mode is not available"), std::string::npos);
    EXPECT_NE(text.find("sheetjob ARGUMENT-FILE"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}

// Any argument selects the argument-file mode (the session is not used); only
// the first is read, and leading blanks are dropped.
TEST(RunSheetJob, ArgumentFileModeIgnoresTheSession) {
    TempDir dir;
    testing::writeFile(dir.path() / "job.txt", "Nom=N-37-XIV; Path=" + (dir / "out") + ";\n");
    FakeSession session;
    std::ostringstream err;
    EXPECT_EQ(runSheetJob({"sheetjob", "   " + (dir / "job.txt"), "ignored"}, &session, err),
              kExitDone);
    EXPECT_FALSE(session.startScreenShown);
    EXPECT_TRUE(session.messages.empty());
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(fs::is_directory(dir.path() / "out" / "HYPS"));
    EXPECT_FALSE(fs::exists(dir.path() / "out" / "HYPS_50"));
}

TEST(RunSheetJob, ArgumentFileAsksForSubSheetFrames) {
    TempDir dir;
    testing::writeFile(dir.path() / "job.txt",
                       "Nom=N-37-XIV; Path=" + (dir / "out") + "; SubSheetFrames=1;\n");
    std::ostringstream err;
    EXPECT_EQ(runSheetJob({"sheetjob", dir / "job.txt"}, nullptr, err), kExitDone) << err.str();
    EXPECT_TRUE(fs::is_directory(dir.path() / "out" / "HYPS_50"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "out" / "HYPS_25"));
}

TEST(RunSheetJob, ArgumentFileFailuresWriteOneLine) {
    TempDir dir;
    testing::writeFile(dir.path() / "bad.txt", "Path=abc;\nnom=N-37-XIV;\n");
    std::ostringstream err;
    EXPECT_EQ(runSheetJob({"sheetjob", dir / "bad.txt"}, nullptr, err), kExitNotDone);
    EXPECT_EQ(err.str(), "sheetjob: " + (dir / "bad.txt") + ", line 2: unknown key \"nom\"\n");

    std::ostringstream missing;
    EXPECT_EQ(runSheetJob({"sheetjob", dir / "none.txt"}, nullptr, missing), kExitNotDone);
    EXPECT_NE(missing.str().find("sheetjob [ARGUMENT-FILE]"), std::string::npos);
}

} // namespace
} // namespace sheetjob::job
