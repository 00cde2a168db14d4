// The main parameter dialog driven through the scripted platform: its lists,
// the set-scale switch, the sheet types per belt, the values it hands to the
// job and the checks that send the user back.

#include "ScriptedPlatform.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/dialogs/DialogSession.h"
#include "sheetjob/dialogs/SheetJobDial.h"

#include <gtest/gtest.h>

namespace sheetjob::dialogs {
namespace {

using testing::FakeDialog;
using testing::ProgramEnded;
using testing::ScriptedPlatform;

std::string u(const std::string& cp1251) { return common::cp1251ToUtf8(cp1251); }

std::vector<std::string> itemsUtf8(const FakeDialog& d, int id) {
    std::vector<std::string> out;
    for (const auto& item : d.controls.at(id).items)
        out.push_back(u(item));
    return out;
}

constexpr int kBeltN = 8;  // list item of belt N
constexpr int kZone37 = 5; // list item of zone 37

TEST(ParameterDialog, OpensWithTheDocumentedListsAndSelections) {
    ScriptedPlatform platform;
    platform.then(kTemplateParameters, [](FakeDialog& d) {
        EXPECT_EQ(itemsUtf8(d, kIdCoordSystem),
                  (std::vector<std::string>{"СК-42", "СК-95", "ГСК-2011", "ГСК-2011 / СК-42"}));
        EXPECT_EQ(itemsUtf8(d, kIdSetScale),
                  (std::vector<std::string>{"1 :   200 000", "1 : 1 000 000"}));
        EXPECT_EQ(itemsUtf8(d, kIdMapScale),
                  (std::vector<std::string>{"1 :   200 000", "1 :   500 000", "1 : 1 000 000"}));
        EXPECT_EQ(itemsUtf8(d, kIdBelt), (std::vector<std::string>{"U", "T", "S", "R", "Q", "P",
                                                                   "O", "N", "M", "L", "K"}));
        const auto zones = itemsUtf8(d, kIdZone);
        EXPECT_EQ(zones.size(), 30U);
        EXPECT_EQ(zones.front(), "33");
        EXPECT_EQ(zones.at(27), "60");
        EXPECT_EQ(zones.at(28), "01");
        EXPECT_EQ(zones.at(29), "02");
        const auto numbers = itemsUtf8(d, kIdSheetNumber);
        EXPECT_EQ(numbers.size(), 36U);
        EXPECT_EQ(numbers.at(0), "I");
        EXPECT_EQ(numbers.at(13), "XIV");
        EXPECT_EQ(numbers.at(35), "XXXVI");
        // Belt U in a 1:200 000 set: single, double and triple sheets.
        EXPECT_EQ(itemsUtf8(d, kIdSheetType),
                  (std::vector<std::string>{"Стандартный  лист", "Cдвоенный    лист",
                                            "Строенный    лист"}));
        for (int id : {kIdCoordSystem, kIdSetScale, kIdMapScale, kIdBelt, kIdZone, kIdSheetNumber,
                       kIdSheetType})
            EXPECT_EQ(d.selected(id), 1) << "list " << id;
        EXPECT_FALSE(d.checked(kIdSubSheets));
        EXPECT_EQ(d.text(kIdResultFolder), "");
        return kIdCancel;
    });
    SheetJobDial dial(platform);
    model::Job job;
    EXPECT_FALSE(dial.paramDialog(job));
    EXPECT_TRUE(platform.messages.empty()) << "a cancel shows nothing";
}

TEST(ParameterDialog, SetScaleSwitchDisablesAndRestoresTheSheetControls) {
    ScriptedPlatform platform;
    platform.then(kTemplateParameters, [](FakeDialog& d) {
        d.userClick(kIdSubSheets);
        d.userSelect(kIdSetScale, 2);
        EXPECT_FALSE(d.checked(kIdSubSheets));
        for (int id : {kIdSubSheets, kIdSheetNumber, kIdSheetNumberLabel})
            EXPECT_FALSE(d.controls[id].enabled) << "control " << id;
        EXPECT_EQ(itemsUtf8(d, kIdMapScale),
                  (std::vector<std::string>{"1 : 1 000 000", "1 : 2 500 000", "1 : 5 000 000"}));
        EXPECT_EQ(d.selected(kIdMapScale), 1);

        d.userSelect(kIdMapScale, 3);
        d.userSelect(kIdSetScale, 1);
        for (int id : {kIdSubSheets, kIdSheetNumber, kIdSheetNumberLabel})
            EXPECT_TRUE(d.controls[id].enabled) << "control " << id;
        EXPECT_FALSE(d.checked(kIdSubSheets)) << "re-enabled, but left unchecked";
        EXPECT_EQ(itemsUtf8(d, kIdMapScale),
                  (std::vector<std::string>{"1 :   200 000", "1 :   500 000", "1 : 1 000 000"}));
        EXPECT_EQ(d.selected(kIdMapScale), 1);
        return kIdCancel;
    });
    SheetJobDial dial(platform);
    model::Job job;
    dial.paramDialog(job);
}

// Which combined sheets each set and belt offers, and where the selection lands.
TEST(ParameterDialog, SheetTypesFollowSetAndBelt) {
    const std::vector<std::string> types200k = {"Стандартный  лист", "Cдвоенный    лист",
                                                "Строенный    лист"};
    const std::vector<std::string> types1M = {"Стандартный  лист", "Cдвоенный    лист",
                                              "Cчетверенный лист"};
    struct Case {
        int setItem, beltItem, typeItem;
        int expectedCount, expectedSelection;
    };
    const std::vector<Case> cases = {
        {1, 1, 3, 3, 3}, {1, 2, 2, 3, 2},  {1, 3, 3, 2, 2}, {1, 5, 1, 2, 1},
        {1, 6, 3, 1, 1}, {1, 11, 2, 1, 1}, {2, 1, 3, 3, 3}, {2, 2, 1, 3, 1},
        {2, 4, 3, 2, 2}, {2, 5, 2, 2, 2},  {2, 6, 2, 1, 1}, {2, 11, 3, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("set " + std::to_string(c.setItem) + " belt " + std::to_string(c.beltItem) +
                     " type " + std::to_string(c.typeItem));
        FakeDialog d(kTemplateParameters);
        d.setItemCount(kIdSheetType, 3);
        d.setSelected(kIdSheetType, c.typeItem);
        set_Combo_Type(d, c.setItem, c.beltItem, 7, c.typeItem);
        const auto& all = c.setItem == 1 ? types200k : types1M;
        EXPECT_EQ(itemsUtf8(d, kIdSheetType),
                  std::vector<std::string>(all.begin(), all.begin() + c.expectedCount));
        EXPECT_EQ(d.selected(kIdSheetType), c.expectedSelection);
    }
}

// Accepting the dialog: the nomenclature, scales and folder reach the job, and
// the result trapezium is the base one.
TEST(ParameterDialog, AcceptedValuesReachTheJob) {
    struct Case {
        const char* name;
        std::function<void(FakeDialog&)> choose;
        int coordSystem, setScale, mapScale, yZone, xZone, sheetNumber, sheetType;
        double west, east, south, north;
    };
    const std::vector<Case> cases = {
        {"N-37-XIV",
         [](FakeDialog& d) {
             d.userSelect(kIdBelt, kBeltN), d.userSelect(kIdZone, kZone37),
                 d.userSelect(kIdSheetNumber, 14);
             d.userClick(kIdSubSheets);
         },
         1, 0, 0, 8, 37, 14, 0, 37.0, 38.0, 54.0, 56.0 - 2 * (2.0 / 3.0)},
        {"zone item 01 is zone 1", [](FakeDialog& d) { d.userSelect(kIdZone, 29); }, 1, 0, 0, 1, 1,
         1, 0, 180.0, 181.0, 84.0 - 2.0 / 3.0, 84.0},
        {"zone item 60 is zone 60", [](FakeDialog& d) { d.userSelect(kIdZone, 28); }, 1, 0, 0, 1,
         60, 1, 0, 174.0, 175.0, 84.0 - 2.0 / 3.0, 84.0},
        {"quadruple sheet from the third type on switching the set",
         [](FakeDialog& d) {
             d.userSelect(kIdCoordSystem, 4);
             d.userSelect(kIdSheetType, 3);
             d.userSelect(kIdSetScale, 2);
             EXPECT_EQ(u(d.selectedText(kIdSheetType)), "Cчетверенный лист");
             d.userSelect(kIdMapScale, 3);
         },
         4, 1, 2, 1, 33, 0, 3, 12.0, 36.0, 80.0, 84.0},
        {"a triple sheet falls back to a single one in belt K",
         [](FakeDialog& d) {
             d.userSelect(kIdSheetType, 3);
             d.userSelect(kIdBelt, 11);
             EXPECT_EQ(d.controls[kIdSheetType].items.size(), 1U);
         },
         1, 0, 0, 11, 33, 1, 0, 12.0, 13.0, 44.0 - 2.0 / 3.0, 44.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPlatform platform;
        platform.then(kTemplateParameters, [&](FakeDialog& d) {
            c.choose(d);
            d.userType(kIdResultFolder, "/data/maps/");
            return kIdOk;
        });
        SheetJobDial dial(platform);
        model::Job job;
        EXPECT_TRUE(dial.paramDialog(job));
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_EQ(job.coordSystem.code(), c.coordSystem);
        EXPECT_EQ(job.sheet.setScale, c.setScale);
        EXPECT_EQ(job.mapScale, c.mapScale);
        EXPECT_EQ(job.sheet.yZone, c.yZone);
        EXPECT_EQ(job.sheet.xZone, c.xZone);
        EXPECT_EQ(job.sheet.sheetNumber, c.sheetNumber);
        EXPECT_EQ(job.sheet.sheetType, c.sheetType);
        EXPECT_EQ(job.base().west, c.west);
        EXPECT_EQ(job.base().east, c.east);
        EXPECT_EQ(job.base().south, c.south);
        EXPECT_EQ(job.base().north, c.north);
        EXPECT_EQ(job.result.west, job.base().west);
        EXPECT_EQ(job.result.east, job.base().east);
        EXPECT_EQ(job.result.south, job.base().south);
        EXPECT_EQ(job.result.north, job.base().north);
        EXPECT_EQ(job.graticule.meridianStep, job.sheet.defaultGraticule().meridianStep);
        EXPECT_EQ(job.graticule.parallelStep, job.sheet.defaultGraticule().parallelStep);
        EXPECT_EQ(job.graticule.xMinute, job.sheet.defaultGraticule().xMinute);
        EXPECT_EQ(job.graticule.yMinute, job.sheet.defaultGraticule().yMinute);
        EXPECT_EQ(job.resultFolder, "/data/maps/");
        // Only the single 1:200 000 sheet N-37-XIV asks for the sub-sheet frames.
        EXPECT_EQ(job.subSheetFrames, std::string(c.name) == "N-37-XIV");
    }
}

// Each refused input shows its message once and brings the same dialog back,
// its controls as the user left them.
TEST(ParameterDialog, ChecksShowTheirMessageAndReopen) {
    struct Case {
        const char* name;
        std::function<void(FakeDialog&)> choose;
        std::string expected;
        std::string keptFolder;
    };
    const std::vector<Case> cases = {
        {"no folder", [](FakeDialog&) {}, "Не задана папка для рез. файлов", ""},
        {"sub-sheet frames of a double sheet",
         [](FakeDialog& d) {
             d.userType(kIdResultFolder, "/data/");
             d.userSelect(kIdSheetType, 2);
             d.userClick(kIdSubSheets);
         },
         "Рамки листов 1: 50 000 и 1: 25 000 считаются только для одинарных листов ", "/data/"},
        {"sub-sheet frames of a 1:1 000 000 sheet",
         [](FakeDialog& d) {
             d.userType(kIdResultFolder, "/data/");
             d.userSelect(kIdSetScale, 2);
             d.setChecked(kIdSubSheets, true); // only a disabled box could hold this
         },
         "Рамки листов 1: 50 000 и 1: 25 000 считаются только для двухсоттысячных листов ",
         "/data/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPlatform platform;
        platform.then(kTemplateParameters, [&](FakeDialog& d) {
            c.choose(d);
            return kIdOk;
        });
        platform.then(kTemplateParameters, [&](FakeDialog& d) {
            EXPECT_EQ(d.text(kIdResultFolder), c.keptFolder)
                << "the controls stay as the user left them";
            return kIdCancel;
        });
        SheetJobDial dial(platform);
        model::Job job;
        EXPECT_FALSE(dial.paramDialog(job)) << "a refused job is never reported as accepted";
        ASSERT_EQ(platform.messages.size(), 1U);
        EXPECT_EQ(u(platform.messages[0].text), c.expected);
        EXPECT_EQ(u(platform.messages[0].caption), "ОШИБКА В ЗАДАНИИ ПАРАМЕТРОВ");
        EXPECT_EQ(platform.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(platform.runs[kTemplateParameters], 2);
    }
}

TEST(ParameterDialog, MissingTemplatesEndTheProgramWithTheirConsoleLine) {
    {
        ScriptedPlatform platform;
        platform.missingTemplates.insert(kTemplateParameters);
        SheetJobDial dial(platform);
        model::Job job;
        try {
            dial.paramDialog(job);
            ADD_FAILURE() << "the program went on";
        } catch (const ProgramEnded& end) {
            EXPECT_EQ(end.exitCode, 8);
        }
        EXPECT_EQ(platform.console, std::vector<std::string>{"ERROR: dialog not found"});
    }
    {
        ScriptedPlatform platform;
        platform.missingTemplates.insert(kTemplateRefinement);
        platform.then(kTemplateParameters, [](FakeDialog& d) {
            d.userClick(kIdRefine);
            return kIdCancel;
        });
        SheetJobDial dial(platform);
        model::Job job;
        EXPECT_THROW(dial.paramDialog(job), ProgramEnded);
        EXPECT_EQ(platform.console, std::vector<std::string>{"ERROR: dialog3 not found"});
    }
    {
        // No start screen is no reason to stop: nothing is shown or written.
        ScriptedPlatform platform;
        platform.missingTemplates.insert(kTemplateStart);
        DialogSession session(platform);
        session.showStartScreen();
        EXPECT_TRUE(platform.console.empty());
        EXPECT_TRUE(platform.messages.empty());
    }
}

TEST(ParameterDialog, SessionRunsStartScreenThenDialogAndShowsOutcomes) {
    ScriptedPlatform platform;
    platform.then(kTemplateStart, [](FakeDialog&) { return kIdOk; });
    platform.then(kTemplateParameters, [](FakeDialog& d) {
        d.userType(kIdResultFolder, "C:\\Maps\\");
        return kIdOk;
    });
    DialogSession session(platform);
    session.showStartScreen();
    model::Job job;
    EXPECT_TRUE(session.runParameterDialog(job));
    EXPECT_EQ(job.resultFolder, "C:\\Maps\\");
    session.showMessage("done", "state", job::MessageIcon::Information);
    session.showMessage("failed", "crash", job::MessageIcon::Stop);
    ASSERT_EQ(platform.messages.size(), 2U);
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(platform.messages[1].icon, MessageIcon::Stop);
    EXPECT_EQ(platform.runs[kTemplateStart], 1);
}

} // namespace
} // namespace sheetjob::dialogs
