#include "sheetjob/dialogs/SheetJobDial.h"

#include "sheetjob/common/Text.h"
#include "sheetjob/coordtext/DegreeText.h"
#include "sheetjob/dialogs/DialogTexts.h"
#include "sheetjob/dialogs/FindFile.h"
#include "sheetjob/geometry/Tolerance.h"
#include "sheetjob/job/SheetJob.h"
#include "sheetjob/model/Job.h"
#include "sheetjob/nomenclature/Nomenclature.h"
#include "sheetjob/nomenclature/Sheet.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <tuple>

namespace sheetjob::dialogs {
namespace {

// Set scales, item 1 = 1:200 000 set, item 2 = 1:1 000 000 set; all 13 characters.
constexpr std::array<std::string_view, 2> kSetScales = {"1 :   200 000", "1 : 1 000 000"};
// Map (scheme) scales offered for each set scale.
constexpr std::array<std::string_view, 3> kMapScales200k = {"1 :   200 000", "1 :   500 000",
                                                            "1 : 1 000 000"};
constexpr std::array<std::string_view, 3> kMapScales1M = {"1 : 1 000 000", "1 : 2 500 000",
                                                          "1 : 5 000 000"};
// Belts U (yZone 1) to K (yZone 11); V is not offered.

constexpr int kZoneItems = 30;      // zones 33 to 60, then 01 and 02
constexpr int kZoneItemOffset = 32; // item 1 is zone 33
constexpr int kZoneCount = 60;      // zones wrap after 60
constexpr int kSheetNumbers = 36;   // 1:200 000 sheets in a 1:1 000 000 sheet

// Sheet types of a 1:200 000 set and of a 1:1 000 000 set (the third differs).
constexpr std::array<std::string_view, 3> kTypes200k = {text::kTypeStandard, text::kTypeDouble,
                                                        text::kTypeTriple};
constexpr std::array<std::string_view, 3> kTypes1M = {text::kTypeStandard, text::kTypeDouble,
                                                      text::kTypeQuadruple};
// The sheet type as the refinement dialog names it (type 0 to 3).
constexpr std::array<std::string_view, 4> kKinds = {text::kKindStandard, text::kKindDouble,
                                                    text::kKindTriple, text::kKindQuadruple};

constexpr std::string_view kConsoleNoDialog = "ERROR: dialog not found";
constexpr std::string_view kConsoleNoRefinement = "ERROR: dialog3 not found";
constexpr std::string_view kFolderPattern = "*.*";

template <std::size_t N>
void fillList(Dialog& dialog, int id, const std::array<std::string_view, N>& items) {
    dialog.setItemCount(id, static_cast<int>(N));
    for (std::size_t i = 0; i < N; ++i)
        dialog.setItemText(id, static_cast<int>(i) + 1, std::string(items[i]));
}

// A degree-minute text as the fields show it: left-adjusted and trimmed.
std::string degreeField(double angle) { return common::trim(coordtext::gradMin2Txt(angle)); }
// A minute division as first shown: the whole number and the minute sign.
std::string divisionField(int minutes) { return std::to_string(minutes) + "'"; }

// Ten error marks of the refinement check, in the order of their messages.
enum RefinementError : int {
    kErrorWest,
    kErrorEast,
    kErrorLongitudeRange,
    kErrorSouth,
    kErrorNorth,
    kErrorLatitudeRange,
    kErrorLongitudeDivision,
    kErrorLatitudeDivision,
    kErrorMeridianStep,
    kErrorParallelStep,
    kErrorCount
};
constexpr std::array<std::string_view, kErrorCount> kRefinementMessages = {
    text::kErrWest,
    text::kErrEast,
    text::kErrLongitudeRange,
    text::kErrSouth,
    text::kErrNorth,
    text::kErrLatitudeRange,
    text::kErrLongitudeDivision,
    text::kErrLatitudeDivision,
    text::kErrMeridianStep,
    text::kErrParallelStep};
constexpr char kLineSeparator = '\r'; // lines of one message box

// Reads a degree-minute field; on success stores the angle and rewrites the
// field in normal form, otherwise leaves the field as typed.
bool readDegreeField(Dialog& dialog, int id, double& value) {
    std::string work = dialog.text(id);
    double angle = 0.0;
    if (coordtext::txtGradMin2Grad(work, angle) != 0)
        return false;
    value = angle;
    dialog.setText(id, degreeField(angle));
    return true;
}

// The same for a minute-division field.
bool readMinuteField(Dialog& dialog, int id, int& value) {
    std::string work = dialog.text(id);
    int minutes = 0;
    if (coordtext::txtMin2Min(work, minutes) != 0)
        return false;
    value = minutes;
    dialog.setText(id, common::trim(coordtext::min2Txt(minutes)));
    return true;
}

} // namespace

void set_Combo_Type(Dialog& dialog, int setItem, int beltItem, int /*sheetNumberItem*/,
                    int typeItem) {
    const auto& texts = setItem == 1 ? kTypes200k : kTypes1M;
    // Belt item 1 is U, the first belt a job may use.
    const int count =
        nomenclature::combinedTypesOffered(beltItem - 1 + nomenclature::kFirstJobBelt);
    dialog.setItemCount(kIdSheetType, count);
    for (int i = 0; i < count; ++i)
        dialog.setItemText(kIdSheetType, i + 1, std::string(texts[static_cast<std::size_t>(i)]));
    dialog.setSelected(kIdSheetType, count == 1 ? 1 : std::min(typeItem, count));
}

bool SheetJobDial::paramDialog(model::Job& job) {
    const auto dialog = platform_.createDialog(kTemplateParameters, nullptr);
    if (!dialog) {
        platform_.consoleLine(std::string(kConsoleNoDialog));
        platform_.endProgram(job::kExitNotDone);
        return false; // only reached when the platform cannot end the program
    }
    Dialog& d = *dialog;

    d.setChecked(kIdSubSheets, false);
    state_.refined = false;
    d.attach(kIdFind, [this](Dialog& dl, int id, ControlEvent e) { s_Button_Nmou(dl, id, e); });
    d.setText(kIdResultFolder, "");
    d.attach(kIdRefine, [this](Dialog& dl, int id, ControlEvent e) { s_Button_Parm(dl, id, e); });

    // The coordinate systems by their dialog names, in the order of their codes.
    const auto& systems = geometry::CoordSystem::all();
    d.setItemCount(kIdCoordSystem, static_cast<int>(systems.size()));
    for (std::size_t i = 0; i < systems.size(); ++i)
        d.setItemText(kIdCoordSystem, static_cast<int>(i) + 1,
                      std::string(systems[i].dialogName()));
    d.setSelected(kIdCoordSystem, 1);
    fillList(d, kIdSetScale, kSetScales);
    d.setSelected(kIdSetScale, 1);
    d.attach(kIdSetScale, [this](Dialog& dl, int id, ControlEvent e) { s_Combo_Scale(dl, id, e); });
    fillList(d, kIdMapScale, kMapScales200k);
    d.setSelected(kIdMapScale, 1);
    const int belts = nomenclature::kLastJobBelt - nomenclature::kFirstJobBelt + 1;
    d.setItemCount(kIdBelt, belts);
    for (int item = 1; item <= belts; ++item)
        d.setItemText(kIdBelt, item,
                      std::string(1, nomenclature::kBeltLetters[static_cast<std::size_t>(
                                         item - 1 + nomenclature::kFirstJobBelt)]));
    d.setSelected(kIdBelt, 1);
    d.attach(kIdBelt, [this](Dialog& dl, int id, ControlEvent e) { s_Combo_YZone(dl, id, e); });

    d.setItemCount(kIdZone, kZoneItems);
    for (int item = 1; item <= kZoneItems; ++item) {
        int zone = item + kZoneItemOffset;
        if (zone > kZoneCount)
            zone -= kZoneCount;
        d.setItemText(kIdZone, item, common::formatInt(zone, 2, 2));
    }
    d.setSelected(kIdZone, 1);
    d.attach(kIdZone, [this](Dialog& dl, int id, ControlEvent e) { s_Combo_XZone(dl, id, e); });

    d.setItemCount(kIdSheetNumber, kSheetNumbers);
    for (int n = 1; n <= kSheetNumbers; ++n)
        d.setItemText(kIdSheetNumber, n, nomenclature::toRomanNumerals(n));
    d.setSelected(kIdSheetNumber, 1);
    d.attach(kIdSheetNumber,
             [this](Dialog& dl, int id, ControlEvent e) { s_Combo_Nmb(dl, id, e); });

    set_Combo_Type(d, 1, 1, 1, 1);
    d.attach(kIdSheetType, [this](Dialog& dl, int id, ControlEvent e) { s_Combo_Type(dl, id, e); });
    pendingError_.clear();

    for (;;) {
        if (!pendingError_.empty()) {
            platform_.messageBox(pendingError_, std::string(text::kParamErrorCaption),
                                 MessageIcon::Exclamation);
            pendingError_.clear();
        }
        if (d.runModal() != kIdOk)
            return false;
        getValuesFromDialog1(d);
        const model::Job& v = state_.values;
        job = model::Job{};
        job.subSheetFrames = v.subSheetFrames;
        job.coordSystem = v.coordSystem;
        job.sheet = v.sheet;
        job.mapScale = v.mapScale;
        if (!state_.refined) {
            model::useBaseAsResult(job);
        } else {
            job.result = v.result;
            job.graticule = v.graticule;
        }
        // Trimmed here, where it comes in, like the argument file's "Path".
        job.resultFolder = common::trim(d.text(kIdResultFolder));

        if (common::isBlank(job.resultFolder))
            pendingError_ = std::string(text::kErrNoFolder);
        else if (job.subSheetFrames && job.sheet.setScale > 0)
            pendingError_ = std::string(text::kErrSubSheetsSet);
        else if (job.subSheetFrames && job.sheet.sheetType > 0)
            pendingError_ = std::string(text::kErrSubSheetsType);
        if (pendingError_.empty())
            return true;
    }
}

void SheetJobDial::getValuesFromDialog1(Dialog& dialog) {
    model::Job& v = state_.values;
    nomenclature::Sheet& sheet = v.sheet;
    v.subSheetFrames = dialog.checked(kIdSubSheets);
    const auto& systems = geometry::CoordSystem::all();
    const int item = dialog.selected(kIdCoordSystem);
    v.coordSystem = item >= 1 && item <= static_cast<int>(systems.size())
                        ? systems[static_cast<std::size_t>(item) - 1]
                        : geometry::kSK42;
    sheet.setScale =
        dialog.selected(kIdSetScale) == 1 ? nomenclature::kSeries200k : nomenclature::kSeries1M;
    v.mapScale = dialog.selected(kIdMapScale) - 1;
    // The third type of a 1:1 000 000 set is the quadruple sheet.
    const int typeItem = dialog.selected(kIdSheetType);
    const auto types = nomenclature::combinedTypes(sheet.setScale);
    sheet.sheetType = typeItem >= 1 && typeItem <= static_cast<int>(types.size())
                          ? types[static_cast<std::size_t>(typeItem - 1)]
                          : typeItem - 1;
    sheet.yZone = dialog.selected(kIdBelt) - 1 + nomenclature::kFirstJobBelt;
    sheet.xZone = dialog.selected(kIdZone) + kZoneItemOffset;
    if (sheet.xZone > kZoneCount)
        sheet.xZone -= kZoneCount;
    // A 1:1 000 000 set keeps the sheet number last read; it is not used there.
    if (sheet.is200k())
        sheet.sheetNumber = dialog.selected(kIdSheetNumber);
}

void SheetJobDial::refreshSheetTypes(Dialog& dialog) {
    const int setItem = dialog.selected(kIdSetScale);
    const int numberItem = setItem == 1 ? dialog.selected(kIdSheetNumber) : 1;
    set_Combo_Type(dialog, setItem, dialog.selected(kIdBelt), numberItem,
                   dialog.selected(kIdSheetType));
}

void SheetJobDial::s_Button_Nmou(Dialog& dialog, int /*id*/, ControlEvent event) {
    if (event != ControlEvent::Click)
        return;
    // The platform's dialog may change the working directory; the program's own
    // stays what it was.
    const std::string workingDirectory = platform_.currentDirectory();
    std::string folder;
    std::string namePart;
    const bool confirmed =
        findFile(platform_, workingDirectory, kFindFolder, std::string(kFolderPattern), "", "",
                 std::string(text::kFolderSearchCaption), folder, namePart);
    platform_.setCurrentDirectory(workingDirectory);
    if (confirmed)
        dialog.setText(kIdResultFolder, common::rtrim(folder));
}

void SheetJobDial::s_Combo_Scale(Dialog& dialog, int /*id*/, ControlEvent event) {
    if (event != ControlEvent::SelectionChange)
        return;
    state_.refined = false;
    if (dialog.selected(kIdSetScale) == 1) {
        dialog.setEnabled(kIdSubSheets, true);
        dialog.setEnabled(kIdSheetNumber, true);
        dialog.setEnabled(kIdSheetNumberLabel, true);
        fillList(dialog, kIdMapScale, kMapScales200k);
    } else {
        // Sub-sheet frames exist only for 1:200 000 sheets.
        dialog.setChecked(kIdSubSheets, false);
        dialog.setEnabled(kIdSubSheets, false);
        dialog.setEnabled(kIdSheetNumber, false);
        dialog.setEnabled(kIdSheetNumberLabel, false);
        fillList(dialog, kIdMapScale, kMapScales1M);
    }
    dialog.setSelected(kIdMapScale, 1);
    refreshSheetTypes(dialog);
}

void SheetJobDial::s_Combo_YZone(Dialog& dialog, int /*id*/, ControlEvent event) {
    if (event != ControlEvent::SelectionChange)
        return;
    state_.refined = false;
    refreshSheetTypes(dialog);
}

void SheetJobDial::s_Combo_Nmb(Dialog& dialog, int /*id*/, ControlEvent event) {
    if (event != ControlEvent::SelectionChange)
        return;
    state_.refined = false;
    refreshSheetTypes(dialog);
}

void SheetJobDial::s_Combo_XZone(Dialog& /*dialog*/, int /*id*/, ControlEvent event) {
    if (event == ControlEvent::SelectionChange)
        state_.refined = false;
}

void SheetJobDial::s_Combo_Type(Dialog& /*dialog*/, int /*id*/, ControlEvent event) {
    if (event == ControlEvent::SelectionChange)
        state_.refined = false;
}

void SheetJobDial::fillRefinement(Dialog& r) {
    const model::Job& v = state_.values;
    const nomenclature::BaseParameters base = nomenclature::computeBaseParameters(v.sheet);
    const geometry::Trapezium& b = base.trapezium;
    const geometry::Graticule& g = base.graticule;
    const auto kind = static_cast<std::size_t>(std::clamp(v.sheet.sheetType, 0, 3));
    r.setText(kIdBaseKind, std::string(kKinds[kind]));
    r.setText(kIdNotice, "");
    const std::string width = degreeField(b.east - b.west);
    const std::string height = degreeField(b.north - b.south);
    const std::string west = degreeField(b.west);
    const std::string east = degreeField(b.east);
    const std::string south = degreeField(b.south);
    const std::string north = degreeField(b.north);
    const std::string meridians = degreeField(g.meridianStep);
    const std::string parallels = degreeField(g.parallelStep);
    const std::string xMinute = divisionField(g.xMinute);
    const std::string yMinute = divisionField(g.yMinute);
    for (const auto& [baseId, resultId, value] :
         std::array<std::tuple<int, int, const std::string&>, 10>{{
             {kIdBaseWidth, kIdResultWidth, width},
             {kIdBaseHeight, kIdResultHeight, height},
             {kIdBaseWest, kIdResultWest, west},
             {kIdBaseEast, kIdResultEast, east},
             {kIdBaseSouth, kIdResultSouth, south},
             {kIdBaseNorth, kIdResultNorth, north},
             {kIdBaseMeridianStep, kIdResultMeridianStep, meridians},
             {kIdBaseParallelStep, kIdResultParallelStep, parallels},
             {kIdBaseXMinute, kIdResultXMinute, xMinute},
             {kIdBaseYMinute, kIdResultYMinute, yMinute},
         }}) {
        r.setText(baseId, value);
        r.setText(resultId, value);
    }
}

void SheetJobDial::s_Button_Parm(Dialog& dialog, int /*id*/, ControlEvent event) {
    if (event != ControlEvent::Click)
        return;
    const auto refinement = platform_.createDialog(kTemplateRefinement, &dialog);
    if (!refinement) {
        platform_.consoleLine(std::string(kConsoleNoRefinement));
        platform_.endProgram(job::kExitNotDone);
        return;
    }
    getValuesFromDialog1(dialog);
    // Every opening starts from the base values, refined earlier or not.
    fillRefinement(*refinement);
    refinement->attach(kIdTest,
                       [this](Dialog& r, int id, ControlEvent e) { s_Button_Test(r, id, e); });
    for (;;) {
        if (refinement->runModal() != kIdOk) {
            state_.refined = false;
            return;
        }
        if (testDialog2(*refinement) == 0)
            return;
    }
}

int SheetJobDial::testDialog2(Dialog& r) {
    model::Job& v = state_.values;
    const geometry::Trapezium b = v.sheet.trapezium();
    const nomenclature::Margins margin = v.sheet.margins();
    geometry::Trapezium& t = v.result;
    geometry::Graticule& g = v.graticule;
    std::array<bool, kErrorCount> error{};

    if (!readDegreeField(r, kIdResultWest, t.west) || t.west <= b.west - margin.longitude)
        error[kErrorWest] = true;
    if (!readDegreeField(r, kIdResultEast, t.east) || t.east >= b.east + margin.longitude)
        error[kErrorEast] = true;
    if (!readDegreeField(r, kIdResultSouth, t.south) || t.south <= b.south - margin.latitude)
        error[kErrorSouth] = true;
    if (!readDegreeField(r, kIdResultNorth, t.north) || t.north >= b.north + margin.latitude)
        error[kErrorNorth] = true;
    if (!readMinuteField(r, kIdResultXMinute, g.xMinute) || !model::usableDivision(g.xMinute))
        error[kErrorLongitudeDivision] = true;
    if (!readMinuteField(r, kIdResultYMinute, g.yMinute) || !model::usableDivision(g.yMinute))
        error[kErrorLatitudeDivision] = true;
    if (!readDegreeField(r, kIdResultMeridianStep, g.meridianStep) ||
        !model::usableSpacing(g.meridianStep))
        error[kErrorMeridianStep] = true;
    if (!readDegreeField(r, kIdResultParallelStep, g.parallelStep) ||
        !model::usableSpacing(g.parallelStep))
        error[kErrorParallelStep] = true;

    if (!error[kErrorWest] && !error[kErrorEast] && t.west >= t.east)
        error[kErrorLongitudeRange] = true;
    const bool longitudeOk =
        !error[kErrorWest] && !error[kErrorEast] && !error[kErrorLongitudeRange];
    r.setText(kIdResultWidth, longitudeOk ? degreeField(t.east - t.west) : std::string());
    if (!error[kErrorSouth] && !error[kErrorNorth] && t.south >= t.north)
        error[kErrorLatitudeRange] = true;
    const bool latitudeOk =
        !error[kErrorSouth] && !error[kErrorNorth] && !error[kErrorLatitudeRange];
    r.setText(kIdResultHeight, latitudeOk ? degreeField(t.north - t.south) : std::string());

    std::string message;
    for (int e = 0; e < kErrorCount; ++e) {
        if (!error[static_cast<std::size_t>(e)])
            continue;
        if (!message.empty())
            message += kLineSeparator;
        message += kRefinementMessages[static_cast<std::size_t>(e)];
    }

    if (message.empty()) {
        // The bounds come back from whole-minute texts, so a bound counts as
        // changed only beyond the graticule tolerance (0.01').
        const bool changed = !geometry::eqWithTolerance(t.west, b.west) ||
                             !geometry::eqWithTolerance(t.east, b.east) ||
                             !geometry::eqWithTolerance(t.south, b.south) ||
                             !geometry::eqWithTolerance(t.north, b.north);
        r.setText(kIdNotice, changed ? std::string(text::kBaseChanged) : std::string());
        state_.refined = true;
        return 0;
    }
    platform_.messageBox(message, std::string(text::kRefineErrorCaption), MessageIcon::Exclamation);
    state_.refined = false;
    return 1;
}

void SheetJobDial::s_Button_Test(Dialog& refinement, int /*id*/, ControlEvent event) {
    if (event != ControlEvent::Click)
        return;
    testDialog2(refinement);
}

} // namespace sheetjob::dialogs
