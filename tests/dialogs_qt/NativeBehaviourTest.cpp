// The dialogs behave as native ones do: Enter presses the focused button (OK
// otherwise), Tab passes read-only fields by, Qt's own texts are Russian, and a
// message box shows each line of its message unbroken. Driven offscreen with
// the keyboard; the picker and the boxes are saved as PNGs beside the test.

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/dialogs/DialogSession.h"
#include "sheetjob/dialogs/DialogTexts.h"
#include "sheetjob/dialogs/qt/QtDialog.h"
#include "sheetjob/dialogs/qt/QtPlatform.h"
#include "sheetjob/dialogs/qt/Templates.h"
#include "sheetjob/job/SheetJob.h"
#include "support/TempDir.h"

#include "QtTestSupport.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace sheetjob::dialogs::qt {
namespace {

using namespace testsupport;

constexpr int kStaysOpen = -1; // the dialog was not closed

/// Shows a template dialog as the active window.
std::unique_ptr<QtDialog> showTemplate(int templateId) {
    auto dialog = createTemplate(templateId, nullptr);
    EXPECT_NE(dialog, nullptr);
    dialog->show();
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    return dialog;
}

// Enter presses the button that has the focus; with the focus anywhere else it
// presses OK. Protects against Enter on Cancel starting the job.
TEST(QtKeyboard, EnterPressesTheFocusedButtonOtherwiseOk) {
    app();
    struct Case {
        const char* name;
        int templateId;
        std::vector<int> focus; ///< controls given the focus in turn (Tab, or a click)
        int closedWith;         ///< the dialog's result, or kStaysOpen
        int fired;              ///< the control whose click callback ran, or 0
    };
    const std::vector<Case> cases = {
        {"Cancel cancels", kTemplateParameters, {kIdCancel}, kIdCancel, 0},
        {"Find searches for a folder", kTemplateParameters, {kIdFind}, kStaysOpen, kIdFind},
        {"Refine opens the refinement", kTemplateParameters, {kIdRefine}, kStaysOpen, kIdRefine},
        {"OK accepts", kTemplateParameters, {kIdOk}, kIdOk, 0},
        {"a list: OK", kTemplateParameters, {kIdSheetNumber}, kIdOk, 0},
        {"the check box: OK", kTemplateParameters, {kIdSubSheets}, kIdOk, 0},
        {"from Cancel on to a list: OK again", kTemplateParameters, {kIdCancel, kIdZone}, kIdOk, 0},
        {"Test tests", kTemplateRefinement, {kIdTest}, kStaysOpen, kIdTest},
        {"refinement Cancel cancels", kTemplateRefinement, {kIdCancel}, kIdCancel, 0},
        {"refinement OK accepts", kTemplateRefinement, {kIdOk}, kIdOk, 0},
        {"an editable field: OK", kTemplateRefinement, {kIdResultWest}, kIdOk, 0},
        {"from Test on to a field: OK again",
         kTemplateRefinement,
         {kIdTest, kIdResultNorth},
         kIdOk,
         0},
        {"a clicked read-only field: OK", kTemplateRefinement, {kIdBaseWest}, kIdOk, 0},
        {"start screen: Continue", kTemplateStart, {kIdOk}, kIdOk, 0},
    };
    for (const Case& c : cases)
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            SCOPED_TRACE(std::string(c.name) + (key == Qt::Key_Return ? ", Return" : ", Enter"));
            auto dialog = showTemplate(c.templateId);
            int fired = 0;
            for (const int id : {int{kIdFind}, int{kIdRefine}, int{kIdTest}})
                dialog->attach(id, [&fired](Dialog&, int clicked, ControlEvent event) {
                    if (event == ControlEvent::Click)
                        fired = clicked;
                });
            int closedWith = kStaysOpen;
            QObject::connect(dialog.get(), &QDialog::finished,
                             [&closedWith](int result) { closedWith = result; });
            for (const int id : c.focus) {
                QWidget* control = dialog->control(id);
                if (control->focusPolicy() & Qt::TabFocus)
                    tabTo(dialog.get(), id);
                else
                    QTest::mouseClick(control, Qt::LeftButton);
                ASSERT_EQ(idOf(QApplication::focusWidget()), id);
            }
            pressEnter(key);
            EXPECT_EQ(closedWith, c.closedWith);
            EXPECT_EQ(fired, c.fired);
        }
}

// The refinement dialog opens on the first field one can change, Tab visits
// only what one can change or press, and the read-only fields look read-only
// while their texts stay readable and copyable.
TEST(QtRefinement, TabVisitsOnlyEditableFieldsAndButtons) {
    app();
    auto dialog = showTemplate(kTemplateRefinement);
    EXPECT_EQ(idOf(QApplication::focusWidget()), kIdResultWest);
    const std::vector<int> expected = {kIdResultEast,
                                       kIdResultSouth,
                                       kIdResultNorth,
                                       kIdResultMeridianStep,
                                       kIdResultXMinute,
                                       kIdResultParallelStep,
                                       kIdResultYMinute,
                                       kIdTest,
                                       kIdOk,
                                       kIdCancel,
                                       kIdResultWest}; // and round again
    std::vector<int> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(idOf(QApplication::focusWidget()));
    }
    EXPECT_EQ(visited, expected);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(idOf(QApplication::focusWidget()), kIdCancel);

    const QLineEdit* editable = find<QLineEdit>(dialog.get(), kIdResultWest);
    for (const int id :
         {kIdBaseKind, kIdBaseWidth, kIdBaseHeight, kIdBaseWest, kIdBaseEast, kIdBaseSouth,
          kIdBaseNorth, kIdBaseMeridianStep, kIdBaseXMinute, kIdBaseParallelStep, kIdBaseYMinute,
          kIdResultWidth, kIdResultHeight, kIdNotice}) {
        SCOPED_TRACE(id);
        const QLineEdit* field = find<QLineEdit>(dialog.get(), id);
        EXPECT_FALSE(field->focusPolicy() & Qt::TabFocus);
        EXPECT_TRUE(field->isEnabled()) << "read-only, not greyed out";
        EXPECT_NE(field->palette().color(QPalette::Base), editable->palette().color(QPalette::Base))
            << "looks like a field one can type in";
        EXPECT_EQ(field->palette().color(QPalette::Text), editable->palette().color(QPalette::Text))
            << "text less readable than in an editable field";
    }

    // A read-only value can still be selected and copied.
    dialog->setText(kIdBaseNorth, "54\xB0 40'");
    QLineEdit* north = find<QLineEdit>(dialog.get(), kIdBaseNorth);
    QTest::mouseClick(north, Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), north);
    QTest::keyClick(north, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(north, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("54° 40'"));
    EXPECT_EQ(north->text(), QString::fromUtf8("54° 40'"));
}

// Every line of a shown message is on one line of the box, unless it is too
// wide for the screen.
void expectLinesWhole(QWidget* box) {
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    const QFontMetrics metrics(label->font());
    for (const QString& line : lines)
        EXPECT_GE(label->contentsRect().width(), metrics.horizontalAdvance(line))
            << line.toStdString();
    // Wrapped, the lines would take at least one more line's height.
    EXPECT_LT(label->heightForWidth(label->width()), (lines.size() + 1) * metrics.lineSpacing())
        << label->text().toStdString();
}

TEST(QtPlatform, MessageBoxKeepsEachLineWhole) {
    app();
    std::string allFaults;
    for (const std::string_view fault :
         {text::kErrWest, text::kErrEast, text::kErrLongitudeRange, text::kErrSouth,
          text::kErrNorth, text::kErrLatitudeRange, text::kErrLongitudeDivision,
          text::kErrLatitudeDivision, text::kErrMeridianStep, text::kErrParallelStep})
        allFaults += (allFaults.empty() ? "" : "\r") + std::string(fault);
    std::string tooWide;
    for (int i = 0; i < 30; ++i)
        tooWide += "/very/long/folder/name"; // 660 characters without a blank
    struct Case {
        const char* name;
        std::string text;
        std::string_view caption;
        bool fitsOnScreen;   ///< every line fits on one line of a box on the screen
        const char* picture; ///< saved as <picture>.png, or null
    };
    const std::vector<Case> cases = {
        {"one refinement fault", std::string(text::kErrWest), text::kRefineErrorCaption, true,
         "refinementError"},
        {"every refinement fault", allFaults, text::kRefineErrorCaption, true, "refinementErrors"},
        {"sub-sheet frames refused", std::string(text::kErrSubSheetsType), text::kParamErrorCaption,
         true, "parameterError"},
        {"folder name outside the code page", std::string(text::kErrFolderEncoding),
         text::kFolderSearchCaption, true, nullptr},
        {"a line too wide for any screen", "Folder " + tooWide, text::kParamErrorCaption, false,
         "messageTooWide"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtPlatform platform;
        ModalDriver driver;
        driver.then(kMessage, [&c](QWidget* box) {
            if (c.picture)
                savePicture(box, QString::fromLatin1(c.picture));
            const QRect screen = box->screen()->availableGeometry();
            EXPECT_LE(box->width(), screen.width());
            if (c.fitsOnScreen)
                expectLinesWhole(box);
            pressEnter(); // the box's only button, OK
        });
        driver.start();
        platform.messageBox(c.text, std::string(c.caption), MessageIcon::Exclamation);
        EXPECT_TRUE(driver.finished()) << "Enter did not close the box";
    }
}

// Qt's own texts read Russian; the dialogs' own button texts stay as they are.
TEST(QtTexts, QtsOwnTextsAreRussianTheDialogsOwnUnchanged) {
    app();
    ASSERT_TRUE(testApplication().russianQtTexts)
        << "Qt's Russian catalogue (package qt6-translations-l10n) was not found";

    const struct {
        int templateId;
        int id;
        const char* text;
    } own[] = {
        {kTemplateParameters, kIdOk, "OK"},         {kTemplateParameters, kIdCancel, "Cancel"},
        {kTemplateRefinement, kIdTest, "Test"},     {kTemplateRefinement, kIdOk, "OK"},
        {kTemplateRefinement, kIdCancel, "Cancel"},
    };
    for (const auto& o : own) {
        auto dialog = createTemplate(o.templateId, nullptr);
        EXPECT_EQ(find<QPushButton>(dialog.get(), o.id)->text(), QString::fromLatin1(o.text))
            << o.templateId << "/" << o.id;
    }

    // The folder picker Qt draws itself: walk to a folder, confirm with Enter.
    testing::TempDir temp;
    const QString folder = QString::fromStdString(temp.path().string());
    QtPlatform platform;
    ModalDriver driver;
    driver.then(QStringLiteral("QFileDialog"), [&folder](QWidget* picker) {
        const struct {
            const char* objectName;
            const char* russian;
        } labels[] = {{"lookInLabel", "Перейти к:"}, {"fileNameLabel", "Каталог:"}};
        for (const auto& l : labels)
            EXPECT_EQ(picker->findChild<QLabel*>(QString::fromLatin1(l.objectName))->text(),
                      QString::fromUtf8(l.russian))
                << l.objectName;
        const auto* buttons = picker->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_NE(buttons, nullptr);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text(), QString::fromUtf8("&Выбрать"));
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("Отмена"));
        EXPECT_EQ(picker->windowTitle(), q(text::kFolderSearchCaption));
        // The type column of the folder list.
        EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder",
                                              "All other platforms"),
                  QString::fromUtf8("Папка"));
        savePicture(picker, QStringLiteral("folderPicker"));
        auto* name = picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setFocus();
        name->setText(folder);
        pressEnter();
    });
    // The message box's standard button: Qt's Russian word for it.
    QString okText;
    driver.then(kMessage, [&okText](QWidget* box) {
        okText = static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->text();
        pressEnter();
    });
    driver.start();
    OpenFileRequest request;
    request.caption = std::string(text::kFolderSearchCaption);
    request.initialDirectory = QDir::tempPath().toStdString();
    EXPECT_EQ(platform.openFile(request), withTrailingSeparator(folder).toStdString());
    platform.messageBox(std::string(text::kErrNoFolder), std::string(text::kParamErrorCaption),
                        MessageIcon::Exclamation);
    EXPECT_TRUE(driver.finished()) << "still waiting for " << driver.waitingFor().toStdString();
    EXPECT_EQ(okText, QCoreApplication::translate("QPlatformTheme", "OK"));
}

// The user of the report: keyboard only, a folder chosen, a refinement tried
// and cancelled, then Tab to Cancel and Enter. The job is not started.
TEST(QtSession, KeyboardUserCancelsWithAFolderChosen) {
    app();
    testing::TempDir temp;
    const QString folder = QString::fromStdString(temp.path().string());
    QtPlatform platform;
    int searches = 0;
    platform.setFolderPicker([&](QWidget*, const QString&, const QString&) {
        ++searches;
        return std::optional<QString>(folder);
    });
    std::vector<QString> messages;
    auto answerWithEnter = [&messages](QWidget* box) {
        messages.push_back(static_cast<QMessageBox*>(box)->text());
        pressEnter();
    };
    ModalDriver driver;
    driver.then(kStart, [](QWidget*) { pressEnter(); });
    driver.then(kParameters, [](QWidget*) {
        EXPECT_EQ(idOf(QApplication::focusWidget()), kIdCoordSystem);
        pressEnter(); // OK's check: no folder yet
    });
    driver.then(kMessage, answerWithEnter);
    driver.then(kParameters, [&](QWidget* d) {
        // Sheet N-37-XIV, chosen by typing in the lists.
        for (const auto& [id, keys] : {std::pair{int{kIdBelt}, "N"}, std::pair{int{kIdZone}, "37"},
                                       std::pair{int{kIdSheetNumber}, "XIV"}}) {
            tabTo(d, id);
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(keys));
        }
        EXPECT_EQ(find<QComboBox>(d, kIdSheetNumber)->currentText(), QStringLiteral("XIV"));
        tabTo(d, kIdFind);
        pressEnter();
        EXPECT_EQ(find<QLabel>(d, kIdResultFolder)->text(), withTrailingSeparator(folder));
        tabTo(d, kIdRefine);
        pressEnter(); // the refinement step below runs inside this
        activateAgain(d);
        EXPECT_EQ(idOf(QApplication::focusWidget()), kIdRefine) << "focus back on the button";
        tabTo(d, kIdCancel);
        pressEnter();
    });
    driver.then(kRefinement, [](QWidget* r) {
        ASSERT_EQ(idOf(QApplication::focusWidget()), kIdResultWest);
        savePicture(r, QStringLiteral("refinementOpened"));
        // A fault in every field one can type in: one box lists them all.
        for (const int id :
             {kIdResultWest, kIdResultEast, kIdResultSouth, kIdResultNorth, kIdResultMeridianStep,
              kIdResultXMinute, kIdResultParallelStep, kIdResultYMinute}) {
            tabTo(r, id);
            type(r, id, QStringLiteral("x"));
        }
        tabTo(r, kIdTest);
        pressEnter(); // refused: the box step below answers it
        type(r, kIdResultWest, QStringLiteral("36 30"));
        type(r, kIdResultEast, QStringLiteral("38"));
        type(r, kIdResultSouth, QStringLiteral("54"));
        type(r, kIdResultNorth, QStringLiteral("54 40"));
        type(r, kIdResultMeridianStep, QStringLiteral("0 15"));
        type(r, kIdResultParallelStep, QStringLiteral("0 10"));
        type(r, kIdResultXMinute, QStringLiteral("1"));
        type(r, kIdResultYMinute, QStringLiteral("1"));
        tabTo(r, kIdTest);
        pressEnter();
        EXPECT_EQ(find<QLineEdit>(r, kIdResultWest)->text(), QString::fromUtf8("36° 30'"));
        EXPECT_EQ(find<QLineEdit>(r, kIdNotice)->text(), q(text::kBaseChanged));
        savePicture(r, QStringLiteral("refinementTested"));
        tabTo(r, kIdCancel);
        pressEnter();
    });
    driver.then(kMessage, [&messages](QWidget* box) {
        savePicture(box, QStringLiteral("refinementCheck"));
        expectLinesWhole(box);
        messages.push_back(static_cast<QMessageBox*>(box)->text());
        pressEnter();
    });
    driver.start();
    DialogSession session(platform);
    session.showStartScreen();
    model::Job job;
    const bool accepted = session.runParameterDialog(job);
    EXPECT_TRUE(driver.finished()) << "still waiting for " << driver.waitingFor().toStdString();
    EXPECT_FALSE(accepted) << "Enter on Cancel must cancel";
    EXPECT_EQ(searches, 1);
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[0], q(text::kErrNoFolder));
    EXPECT_EQ(messages[1].count(QLatin1Char('\n')), 7) << "eight faults, one a line";
}

} // namespace
} // namespace sheetjob::dialogs::qt
