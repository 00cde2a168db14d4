// The refinement dialog driven through the scripted platform: what it shows,
// which refined values it accepts, its messages, and when a refinement is
// used or discarded by the main dialog.

#include "ScriptedPlatform.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/dialogs/SheetJobDial.h"

#include <gtest/gtest.h>

#include <map>

namespace sheetjob::dialogs {
namespace {

using testing::FakeDialog;
using testing::ScriptedPlatform;

std::string u(const std::string& cp1251) { return common::cp1251ToUtf8(cp1251); }
std::string c(const std::string& utf8) { return common::utf8ToCp1251(utf8).value(); }

// Sheet N-37-XIII: base trapezium 36..37 east, 54..54°40' north.
void chooseN37XIII(FakeDialog& d) {
    d.userSelect(kIdBelt, 8);
    d.userSelect(kIdZone, 5);
    d.userSelect(kIdSheetNumber, 13);
    d.userType(kIdResultFolder, "/data/");
}
// Sheet Q-37-XIII, where double sheets exist: 36..37 east, 66..66°40' north.
void chooseQ37XIII(FakeDialog& d) {
    d.userSelect(kIdBelt, 5);
    d.userSelect(kIdZone, 5);
    d.userSelect(kIdSheetNumber, 13);
    d.userType(kIdResultFolder, "/data/");
}
// Sheet N-37 of the 1:1 000 000 set: 36..42 east, 52..56 north.
void chooseN37(FakeDialog& d) {
    d.userSelect(kIdSetScale, 2);
    d.userSelect(kIdBelt, 8);
    d.userSelect(kIdZone, 5);
    d.userType(kIdResultFolder, "/data/");
}

const std::string kWest = "Ошибка в задании скорректированного значения начальной долготы";
const std::string kEast = "Ошибка в задании скорректированного значения конечной долготы";
const std::string kLonRange = "Ошибка в задании диапазона долготы";
const std::string kNorth = "Ошибка в задании скорректированного значения конечной широты";
const std::string kLatRange = "Ошибка в задании диапазона широты";
const std::string kLonDivision = "Ошибка в задании цены минутной рамки по долготе";
const std::string kLatDivision = "Ошибка в задании цены минутной рамки по широте";
const std::string kMeridians = "Ошибка в задании расстояния между меридианами";
const std::string kParallels = "Ошибка в задании расстояния между параллелями";

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines)
        out += (out.empty() ? "" : "\r") + line;
    return out;
}

TEST(RefinementDialog, ShowsTheBaseTrapeziumOfTheChosenSheet) {
    ScriptedPlatform platform;
    platform.then(kTemplateParameters, [](FakeDialog& d) {
        chooseQ37XIII(d);
        d.userSelect(kIdSheetType, 2); // a double sheet: 36..38, meridians every 30'
        d.userClick(kIdRefine);
        return kIdCancel;
    });
    platform.then(kTemplateRefinement, [](FakeDialog& r) {
        const std::map<int, std::string> expected = {
            {kIdBaseKind, "Сдвоенный лист"}, {kIdBaseWidth, "2° 00'"},
            {kIdBaseHeight, "0° 40'"},       {kIdBaseWest, "36° 00'"},
            {kIdBaseEast, "38° 00'"},        {kIdBaseSouth, "66° 00'"},
            {kIdBaseNorth, "66° 40'"},       {kIdBaseMeridianStep, "0° 30'"},
            {kIdBaseParallelStep, "0° 10'"}, {kIdBaseXMinute, "2'"},
            {kIdBaseYMinute, "1'"},          {kIdNotice, ""},
        };
        for (const auto& [id, text] : expected) {
            EXPECT_EQ(u(r.text(id)), text) << "field " << id;
        }
        // The result fields start as the base ones.
        for (const auto& [base, result] :
             std::vector<std::pair<int, int>>{{kIdBaseWidth, kIdResultWidth},
                                              {kIdBaseWest, kIdResultWest},
                                              {kIdBaseNorth, kIdResultNorth},
                                              {kIdBaseMeridianStep, kIdResultMeridianStep},
                                              {kIdBaseYMinute, kIdResultYMinute}})
            EXPECT_EQ(r.text(result), r.text(base)) << "field " << result;
        return kIdCancel;
    });
    SheetJobDial dial(platform);
    model::Job job;
    dial.paramDialog(job);
}

// Typed values checked with the Test button, then confirmed with OK (accepted)
// or abandoned with Cancel (refused).
TEST(RefinementDialog, ChecksTypedValues) {
    struct Case {
        const char* name;
        bool millionSet;
        std::map<int, std::string> typed;
        std::vector<std::string> errors;            // empty: accepted
        std::map<int, std::string> shownAfterwards; // field texts after the check
    };
    const std::vector<Case> cases = {
        {"nothing changed", false, {}, {}, {{kIdNotice, ""}, {kIdResultWidth, "1° 00'"}}},
        {"west inside the tolerance",
         false,
         {{kIdResultWest, "35° 01'"}},
         {},
         {{kIdNotice, "Базовая трапеция изменена!"}, {kIdResultWidth, "1° 59'"}}},
        {"west at the tolerance",
         false,
         {{kIdResultWest, "35° 00'"}},
         {kWest},
         {{kIdResultWidth, ""}}},
        {"west of a 1:1 000 000 sheet inside 6 degrees",
         true,
         {{kIdResultWest, "30 01"}},
         {},
         {{kIdResultWest, "30° 01'"}, {kIdResultWidth, "11° 59'"}}},
        {"west of a 1:1 000 000 sheet at 6 degrees", true, {{kIdResultWest, "30"}}, {kWest}, {}},
        {"north of a 1:1 000 000 sheet at 4 degrees",
         true,
         {{kIdResultNorth, "60° 00'"}},
         {kNorth},
         {{kIdResultHeight, ""}}},
        {"empty range",
         false,
         {{kIdResultWest, "37° 00'"}, {kIdResultEast, "37° 00'"}},
         {kLonRange},
         {{kIdResultWidth, ""}, {kIdResultWest, "37° 00'"}}},
        {"reversed latitude range",
         false,
         {{kIdResultSouth, "54 30"}, {kIdResultNorth, "54 10"}},
         {kLatRange},
         {{kIdResultHeight, ""}, {kIdResultWidth, "1° 00'"}}},
        {"zero longitude division", false, {{kIdResultXMinute, "0"}}, {kLonDivision}, {}},
        {"zero latitude division", false, {{kIdResultYMinute, "0"}}, {kLatDivision}, {}},
        {"sixty-minute divisions",
         false,
         {{kIdResultXMinute, "60'"}, {kIdResultYMinute, "60'"}},
         {kLonDivision, kLatDivision},
         {{kIdResultXMinute, "60'"}}},
        {"zero meridian spacing", false, {{kIdResultMeridianStep, "0° 00'"}}, {kMeridians}, {}},
        {"ten-minute meridian spacing",
         false,
         {{kIdResultMeridianStep, "0° 10'"}},
         {},
         {{kIdResultMeridianStep, "0° 10'"}, {kIdNotice, ""}}},
        {"normal forms",
         false,
         {{kIdResultWest, "36 30"}, {kIdResultXMinute, "5"}, {kIdResultParallelStep, "0°5'"}},
         {},
         {{kIdResultWest, "36° 30'"},
          {kIdResultXMinute, "05'"},
          {kIdResultParallelStep, "0° 05'"},
          {kIdResultWidth, "0° 30'"},
          {kIdNotice, "Базовая трапеция изменена!"}}},
        {"several errors in their order",
         false,
         {{kIdResultParallelStep, "0"},
          {kIdResultYMinute, "0"},
          {kIdResultNorth, "99"},
          {kIdResultWest, "abc"},
          {kIdResultMeridianStep, "-1"},
          {kIdResultEast, "37 60"}},
         {kWest, kEast, kNorth, kLatDivision, kMeridians, kParallels},
         {{kIdResultWest, "abc"},
          {kIdResultEast, "37 60"},
          {kIdResultMeridianStep, "-1"},
          {kIdResultWidth, ""},
          {kIdResultHeight, ""}}},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.name);
        ScriptedPlatform platform;
        platform.then(kTemplateParameters, [&](FakeDialog& d) {
            cs.millionSet ? chooseN37(d) : chooseN37XIII(d);
            d.userClick(kIdRefine);
            return kIdOk;
        });
        platform.then(kTemplateRefinement, [&](FakeDialog& r) {
            for (const auto& [id, text] : cs.typed)
                r.userType(id, c(text));
            r.userClick(kIdTest);
            for (const auto& [id, text] : cs.shownAfterwards)
                EXPECT_EQ(u(r.text(id)), text) << "field " << id;
            return cs.errors.empty() ? kIdOk : kIdCancel;
        });
        SheetJobDial dial(platform);
        model::Job job;
        ASSERT_TRUE(dial.paramDialog(job));
        if (cs.errors.empty()) {
            EXPECT_TRUE(platform.messages.empty());
            EXPECT_TRUE(dial.state().refined);
            EXPECT_EQ(platform.runs[kTemplateRefinement], 1);
        } else {
            ASSERT_EQ(platform.messages.size(), 1U);
            EXPECT_EQ(u(platform.messages[0].text), joinLines(cs.errors));
            EXPECT_EQ(u(platform.messages[0].caption), "Ошибка в уточнении параметров");
            EXPECT_EQ(platform.messages[0].icon, MessageIcon::Exclamation);
            EXPECT_FALSE(dial.state().refined);
            // A refused refinement is not used: the result is the base trapezium.
            EXPECT_EQ(job.result.west, job.base().west);
            EXPECT_EQ(job.result.north, job.base().north);
            EXPECT_EQ(job.graticule.xMinute, job.sheet.defaultGraticule().xMinute);
        }
    }
}

TEST(RefinementDialog, AcceptedRefinementBecomesTheResultTrapezium) {
    ScriptedPlatform platform;
    platform.then(kTemplateParameters, [](FakeDialog& d) {
        chooseN37XIII(d);
        d.userClick(kIdRefine);
        d.userSelect(kIdCoordSystem, 3); // the coordinate system does not touch the refinement
        d.userSelect(kIdMapScale, 2);
        return kIdOk;
    });
    platform.then(kTemplateRefinement, [](FakeDialog& r) {
        r.userType(kIdResultWest, c("35° 30'"));
        r.userType(kIdResultEast, c("37 15"));
        r.userType(kIdResultSouth, c("53°50'"));
        r.userType(kIdResultNorth, c("54° 50'"));
        r.userType(kIdResultMeridianStep, c("0° 20'"));
        r.userType(kIdResultParallelStep, c("0° 05'"));
        r.userType(kIdResultXMinute, "2");
        r.userType(kIdResultYMinute, "3'");
        return kIdOk;
    });
    SheetJobDial dial(platform);
    model::Job job;
    ASSERT_TRUE(dial.paramDialog(job));
    EXPECT_EQ(job.result.west, 35 + 30 / 60.0);
    EXPECT_EQ(job.result.east, 37 + 15 / 60.0);
    EXPECT_EQ(job.result.south, 53 + 50 / 60.0);
    EXPECT_EQ(job.result.north, 54 + 50 / 60.0);
    EXPECT_EQ(job.graticule.meridianStep, 20 / 60.0);
    EXPECT_EQ(job.graticule.parallelStep, 5 / 60.0);
    EXPECT_EQ(job.graticule.xMinute, 2);
    EXPECT_EQ(job.graticule.yMinute, 3);
    EXPECT_EQ(job.base().west, 36.0) << "the base trapezium stays the sheet's own";
    EXPECT_EQ(job.coordSystem.code(), 3);
}

TEST(RefinementDialog, RefusedOkShowsTheDialogAgainWithTheFieldsAsTyped) {
    ScriptedPlatform platform;
    platform.then(kTemplateParameters, [](FakeDialog& d) {
        chooseN37XIII(d);
        d.userClick(kIdRefine);
        return kIdOk;
    });
    platform.then(kTemplateRefinement, [](FakeDialog& r) {
        r.userType(kIdResultWest, c("35° 00'"));
        return kIdOk;
    });
    platform.then(kTemplateRefinement, [](FakeDialog& r) {
        EXPECT_EQ(u(r.text(kIdResultWest)), "35° 00'");
        r.userType(kIdResultWest, c("35° 20'"));
        return kIdOk;
    });
    SheetJobDial dial(platform);
    model::Job job;
    dial.paramDialog(job);
    EXPECT_EQ(platform.runs[kTemplateRefinement], 2);
    ASSERT_EQ(platform.messages.size(), 1U);
    EXPECT_EQ(u(platform.messages[0].text), kWest);
    EXPECT_EQ(job.result.west, 35 + 20 / 60.0);
}

// Whatever ends a refinement's validity: a change of the sheet, a Cancel of a
// later opening, a Cancel after a successful Test.
TEST(RefinementDialog, RefinementIsDiscarded) {
    struct Case {
        const char* name;
        std::function<void(FakeDialog&)> afterRefining;
        int closeWith; // how the refinement dialog is left
        bool testedBeforeClose;
    };
    const std::vector<Case> cases = {
        {"sheet number changed", [](FakeDialog& d) { d.userSelect(kIdSheetNumber, 14); }, kIdOk,
         false},
        {"belt changed", [](FakeDialog& d) { d.userSelect(kIdBelt, 9); }, kIdOk, false},
        {"zone changed", [](FakeDialog& d) { d.userSelect(kIdZone, 6); }, kIdOk, false},
        {"sheet type changed", [](FakeDialog& d) { d.userSelect(kIdSheetType, 2); }, kIdOk, false},
        {"set scale changed",
         [](FakeDialog& d) { d.userSelect(kIdSetScale, 2), d.userSelect(kIdSetScale, 1); }, kIdOk,
         false},
        {"reopened and cancelled", [](FakeDialog& d) { d.userClick(kIdRefine); }, kIdOk, false},
        {"tested, then cancelled", [](FakeDialog&) {}, kIdCancel, true},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.name);
        ScriptedPlatform platform;
        platform.then(kTemplateParameters, [&](FakeDialog& d) {
            chooseQ37XIII(d);
            d.userClick(kIdRefine);
            cs.afterRefining(d);
            return kIdOk;
        });
        platform.then(kTemplateRefinement, [&](FakeDialog& r) {
            r.userType(kIdResultWest, c("35° 30'"));
            if (cs.testedBeforeClose) {
                r.userClick(kIdTest);
                EXPECT_EQ(u(r.text(kIdNotice)), "Базовая трапеция изменена!");
            }
            return cs.closeWith;
        });
        if (std::string(cs.name) == "reopened and cancelled") {
            platform.then(kTemplateRefinement, [](FakeDialog& r) {
                EXPECT_EQ(u(r.text(kIdResultWest)), "36° 00'")
                    << "each opening starts from the base";
                return kIdCancel;
            });
        }
        SheetJobDial dial(platform);
        model::Job job;
        ASSERT_TRUE(dial.paramDialog(job));
        EXPECT_FALSE(dial.state().refined);
        EXPECT_EQ(job.result.west, job.base().west);
        EXPECT_EQ(job.result.east, job.base().east);
        EXPECT_EQ(job.result.south, job.base().south);
        EXPECT_EQ(job.result.north, job.base().north);
        EXPECT_EQ(job.graticule.meridianStep, job.sheet.defaultGraticule().meridianStep);
    }
}

} // namespace
} // namespace sheetjob::dialogs
