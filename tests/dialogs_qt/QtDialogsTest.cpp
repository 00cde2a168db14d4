// The Qt dialogs driven offscreen with QTest: the control interface over real
// widgets, the folder picker's answer, and one whole job from the start screen
// to the layers on disk. Each dialog is saved as a PNG in the test's folder.

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/dialogs/DialogSession.h"
#include "sheetjob/dialogs/DialogTexts.h"
#include "sheetjob/dialogs/qt/QtDialog.h"
#include "sheetjob/dialogs/qt/QtPlatform.h"
#include "sheetjob/dialogs/qt/Templates.h"
#include "sheetjob/job/SheetJob.h"
#include "support/Process.h"
#include "support/TempDir.h"

#include "QtTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace sheetjob::dialogs::qt {
namespace {

namespace fs = std::filesystem;
using namespace testsupport;

TEST(QtDialog, ControlInterfaceOverRealWidgets) {
    app();
    auto dialog = createTemplate(kTemplateParameters, nullptr);
    ASSERT_NE(dialog, nullptr);
    int changes = 0;
    dialog->attach(kIdBelt, [&](Dialog&, int id, ControlEvent e) {
        EXPECT_EQ(id, kIdBelt);
        EXPECT_EQ(e, ControlEvent::SelectionChange);
        ++changes;
    });
    dialog->setItemCount(kIdBelt, 3);
    dialog->setItemText(kIdBelt, 1, "U");
    dialog->setItemText(kIdBelt, 2, "T");
    dialog->setItemText(kIdBelt, 3, "S");
    dialog->setSelected(kIdBelt, 3);
    EXPECT_EQ(changes, 0) << "programmatic changes fire no callback";
    dialog->setItemCount(kIdBelt, 2);
    EXPECT_EQ(dialog->selected(kIdBelt), 0) << "a selection past the shortened list is gone";
    dialog->setSelected(kIdBelt, 2);
    dialog->setItemCount(kIdBelt, 3);
    EXPECT_EQ(dialog->selected(kIdBelt), 2) << "a selection inside the list keeps its position";
    choose(dialog.get(), kIdBelt, 1);
    EXPECT_EQ(changes, 1) << "the user's change fires";

    // Texts cross the edge as Windows-1251; a character the code page lacks reads as "?".
    const std::string degrees = "37\xB0 30'";
    dialog->setText(kIdResultFolder, degrees);
    EXPECT_EQ(find<QLabel>(dialog.get(), kIdResultFolder)->text(), QString::fromUtf8("37° 30'"));
    EXPECT_EQ(dialog->text(kIdResultFolder), degrees);
    find<QLabel>(dialog.get(), kIdResultFolder)->setText(QString::fromUtf8("37€ 日"));
    EXPECT_EQ(dialog->text(kIdResultFolder), "37\x88 ?");

    dialog->setChecked(kIdSubSheets, true);
    EXPECT_TRUE(find<QCheckBox>(dialog.get(), kIdSubSheets)->isChecked());
    dialog->setEnabled(kIdSubSheets, false);
    EXPECT_FALSE(find<QCheckBox>(dialog.get(), kIdSubSheets)->isEnabled());
}

TEST(QtDialog, EveryTemplateHoldsItsControls) {
    app();
    const std::vector<std::pair<int, std::vector<int>>> templates = {
        {kTemplateParameters,
         {kIdOk, kIdCancel, kIdBelt, kIdSheetType, kIdZone, kIdSheetNumber, kIdSheetNumberLabel,
          kIdSetScale, kIdMapScale, kIdFind, kIdRefine, kIdCoordSystem, kIdResultFolder,
          kIdSubSheets}},
        {kTemplateRefinement,
         {kIdOk,
          kIdCancel,
          kIdResultParallelStep,
          kIdResultMeridianStep,
          kIdBaseKind,
          kIdBaseWidth,
          kIdBaseHeight,
          kIdBaseWest,
          kIdBaseSouth,
          kIdBaseEast,
          kIdBaseNorth,
          kIdBaseMeridianStep,
          kIdResultXMinute,
          kIdResultYMinute,
          kIdBaseParallelStep,
          kIdBaseXMinute,
          kIdBaseYMinute,
          kIdTest,
          kIdNotice,
          kIdResultWidth,
          kIdResultHeight,
          kIdResultWest,
          kIdResultSouth,
          kIdResultEast,
          kIdResultNorth}},
        {kTemplateStart, {kIdOk}},
    };
    for (const auto& [templateId, ids] : templates) {
        SCOPED_TRACE(templateId);
        auto dialog = createTemplate(templateId, nullptr);
        ASSERT_NE(dialog, nullptr);
        for (int id : ids)
            EXPECT_NE(dialog->control(id), nullptr) << "control " << id;
    }
    auto refinement = createTemplate(kTemplateRefinement, nullptr);
    // Of the result fields only bounds, spacings and divisions can be edited.
    for (int id : {kIdResultWidth, kIdResultHeight, kIdNotice, kIdBaseWest, kIdBaseYMinute})
        EXPECT_TRUE(find<QLineEdit>(refinement.get(), id)->isReadOnly()) << "field " << id;
    for (int id :
         {kIdResultWest, kIdResultEast, kIdResultSouth, kIdResultNorth, kIdResultMeridianStep,
          kIdResultParallelStep, kIdResultXMinute, kIdResultYMinute})
        EXPECT_FALSE(find<QLineEdit>(refinement.get(), id)->isReadOnly()) << "field " << id;
    EXPECT_EQ(createTemplate(999, nullptr), nullptr);
}

TEST(QtPlatform, FolderPickerAnswerEndsWithASeparator) {
    app();
    struct Case {
        const char* name;
        std::optional<QString> picked;
        std::optional<std::string> expected; // Windows-1251
    };
    const std::vector<Case> cases = {
        {"plain folder", QStringLiteral("/data/maps"), "/data/maps/"},
        {"folder already ending with a separator", QStringLiteral("/"), "/"},
        {"Cyrillic folder", QString::fromUtf8("/data/Карты"), "/data/\xCA\xE0\xF0\xF2\xFB/"},
        {"cancelled", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtPlatform platform;
        QString captionSeen;
        platform.setFolderPicker([&](QWidget*, const QString& caption, const QString&) {
            captionSeen = caption;
            return c.picked;
        });
        OpenFileRequest request;
        request.caption = std::string(text::kFolderSearchCaption);
        EXPECT_EQ(platform.openFile(request), c.expected);
        EXPECT_EQ(captionSeen, q(text::kFolderSearchCaption));
    }
}

TEST(QtPlatform, FolderNameOutsideTheCodePageIsRefusedWithAMessage) {
    app();
    QtPlatform platform;
    platform.setFolderPicker([](QWidget*, const QString&, const QString&) {
        return std::optional<QString>(QString::fromUtf8("/data/地図"));
    });
    QString shown;
    ModalDriver driver;
    driver.then(kMessage, [&](QWidget* box) {
        shown = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    driver.start();
    EXPECT_EQ(platform.openFile(OpenFileRequest{}), std::nullopt);
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ(shown, q(text::kErrFolderEncoding));
}

TEST(QtPlatform, WorkingDirectoryIsRestoredExactly) {
    app();
    testing::TempDir temp;
    const fs::path odd = temp.path() / "\xE5\x9C\xB0"; // a name Windows-1251 cannot hold
    fs::create_directories(odd);
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(odd.string()));
    QtPlatform platform;
    const std::string remembered = platform.currentDirectory();
    QDir::setCurrent(QDir::tempPath());
    platform.setCurrentDirectory(remembered);
    EXPECT_EQ(QDir::currentPath(), QString::fromStdString(odd.string()));
    QDir::setCurrent(before);
}

// Plays the dialogs from the start screen to an accepted job: sheet N-37-XIV,
// a refused and then an accepted refinement, a folder from the picker.
void playDialogs(ModalDriver& driver, const QString& folder, std::vector<QString>& messages) {
    driver.then(kStart, [](QWidget* start) {
        savePicture(start, QStringLiteral("template106"));
        click(start, kIdOk);
    });
    // Each step below opens the next modal widget from inside itself (nested
    // modal loops), so the steps are listed in the order the widgets appear.
    driver.then(kParameters, [folder](QWidget* d) {
        choose(d, kIdBelt, 8);         // N
        choose(d, kIdZone, 5);         // 37
        choose(d, kIdSheetNumber, 14); // XIV
        click(d, kIdFind);
        EXPECT_EQ(find<QLabel>(d, kIdResultFolder)->text(), withTrailingSeparator(folder));
        savePicture(d, QStringLiteral("template101"));
        click(d, kIdRefine);
        click(d, kIdOk);
    });
    driver.then(kRefinement, [](QWidget* r) {
        EXPECT_EQ(find<QLineEdit>(r, kIdBaseWest)->text(), QString::fromUtf8("37° 00'"));
        EXPECT_EQ(find<QLineEdit>(r, kIdBaseNorth)->text(), QString::fromUtf8("54° 40'"));
        type(r, kIdResultWest, QStringLiteral("36 00"));
        click(r, kIdTest); // refused: the message box step below answers it
        EXPECT_EQ(find<QLineEdit>(r, kIdResultWidth)->text(), QString());
        type(r, kIdResultWest, QStringLiteral("36 30"));
        type(r, kIdResultMeridianStep, QStringLiteral("0 10"));
        click(r, kIdTest);
        EXPECT_EQ(find<QLineEdit>(r, kIdResultWest)->text(), QString::fromUtf8("36° 30'"));
        EXPECT_EQ(find<QLineEdit>(r, kIdResultWidth)->text(), QString::fromUtf8("1° 30'"));
        EXPECT_EQ(find<QLineEdit>(r, kIdNotice)->text(), q(text::kBaseChanged));
        savePicture(r, QStringLiteral("template113"));
        // Back to the sheet's own values, so the job below is the sheet's own.
        type(r, kIdResultWest, QStringLiteral("37"));
        type(r, kIdResultMeridianStep, QStringLiteral("0 15"));
        click(r, kIdOk);
    });
    driver.then(kMessage, [&messages](QWidget* box) {
        savePicture(box, QStringLiteral("messageBox"));
        messages.push_back(box->windowTitle() + QLatin1Char('|') +
                           static_cast<QMessageBox*>(box)->text());
        static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
}

TEST(QtSession, DialogsFillTheJob) {
    app();
    testing::TempDir temp;
    const QString folder = QString::fromStdString(temp.path().string());
    QtPlatform platform;
    platform.setFolderPicker(
        [&](QWidget*, const QString&, const QString&) { return std::optional<QString>(folder); });
    DialogSession session(platform);
    std::vector<QString> messages;
    ModalDriver driver;
    playDialogs(driver, folder, messages);
    driver.start();
    const QString before = QDir::currentPath();
    session.showStartScreen();
    model::Job job;
    const bool accepted = session.runParameterDialog(job);
    EXPECT_TRUE(driver.finished()) << "still waiting for " << driver.waitingFor().toStdString();
    EXPECT_EQ(QDir::currentPath(), before);

    ASSERT_TRUE(accepted);
    EXPECT_EQ(job.sheet.yZone, 8);
    EXPECT_EQ(job.sheet.xZone, 37);
    EXPECT_EQ(job.sheet.sheetNumber, 14);
    EXPECT_EQ(job.result.west, 37.0);
    EXPECT_EQ(job.graticule.meridianStep, 0.25);
    EXPECT_EQ(job.resultFolder, withTrailingSeparator(folder).toStdString());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0], q(text::kRefineErrorCaption) + QLatin1Char('|') + q(text::kErrWest));
}

TEST(QtSession, WholeJobWritesTheLayers) {
    app();
    testing::TempDir temp;
    const QString folder = QString::fromStdString(temp.path().string());
    QtPlatform platform;
    platform.setFolderPicker(
        [&](QWidget*, const QString&, const QString&) { return std::optional<QString>(folder); });
    DialogSession session(platform);
    std::vector<QString> messages;
    ModalDriver driver;
    playDialogs(driver, folder, messages);
    driver.then(kMessage, [&messages](QWidget* box) {
        messages.push_back(box->windowTitle() + QLatin1Char('|') +
                           static_cast<QMessageBox*>(box)->text());
        static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    driver.start();
    std::ostringstream err;
    const int exitCode = job::runSheetJob({"sheetjob"}, &session, err);
    EXPECT_TRUE(driver.finished()) << "still waiting for " << driver.waitingFor().toStdString();
    EXPECT_EQ(exitCode, job::kExitDone) << err.str();
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[1], QString::fromUtf8("Состояние обработки|Задание выполнено"));
    ASSERT_TRUE(fs::is_directory(temp.path() / "HYPS"));
    ASSERT_TRUE(fs::is_directory(temp.path() / "FRAME"));
    EXPECT_FALSE(fs::exists(temp.path() / "HYPS_50")) << "no sub-sheet frames were asked for";
    // The same job from an argument file must give the very same files: the
    // dialogs hand the main program exactly the job the file describes.
    testing::TempDir batch;
    testing::writeFile(batch.path() / "job.txt",
                       "Nom=N-37-XIV; CS=CK-42; Path=" + batch.path().string() + ";\n");
    const auto result = testing::runProcess(testing::sheetjobExecutable(), {batch / "job.txt"});
    ASSERT_EQ(result.exitCode, job::kExitDone) << result.err;
    for (const char* layer : {"HYPS/HypsA", "HYPS/HypsP", "HYPS/HypsL", "FRAME/Frame",
                              "FRAME/FrameAdj", "FRAME/FrameDig"})
        for (const char* ext : {".shp", ".shx", ".dbf"}) {
            const std::string file = std::string(layer) + ext;
            ASSERT_TRUE(fs::exists(temp.path() / file)) << file;
            EXPECT_EQ(testing::readFile(temp.path() / file), testing::readFile(batch.path() / file))
                << file;
        }
}

// Without a display the program does not try to open one: it reports through
// the non-interactive path, never by an abort of the GUI toolkit.
TEST(QtMain, NoDisplayMeansNoDialogs) {
    for (const char* display : {"DISPLAY=", "DISPLAY=:97"}) {
        SCOPED_TRACE(display);
        testing::ProcessOptions options;
        options.environment = {display, "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="};
        options.timeoutSeconds = 30;
        const auto result = testing::runProcess(testing::sheetjobExecutable(), {}, options);
        EXPECT_EQ(result.exitCode, job::kExitNotDone);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}

} // namespace
} // namespace sheetjob::dialogs::qt
