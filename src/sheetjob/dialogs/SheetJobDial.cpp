#include "sheetjob/dialogs/SheetJobDial.h"

#include "sheetjob/common/Text.h"
#include "sheetjob/coordtext/DegreeText.h"
#include "sheetjob/dialogs/DialogTexts.h"
#include "sheetjob/dialogs/FindFile.h"
#include "sheetjob/geometry/Geometry.h"
#include "sheetjob/job/SheetJob.h"
#include "sheetjob/nomenclature/Nomenclature.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <tuple>

namespace sheetjob::dialogs {
namespace {

constexpr std::array<std::string_view, 4> kCoordSystems = {
    text::kCoordSK42, text::kCoordSK95, text::kCoordGSK2011, text::kCoordGSK2011SK42};
// Set scales, item 1 = 1:200 000 set, item 2 = 1:1 000 000 set; all 13 characters.
constexpr std::array<std::string_view, 2> kSetScales = {"1 :   200 000", "1 : 1 000 000"};
// Map (scheme) scales offered for each set scale.
constexpr std::array<std::string_view, 3> kMapScales200k = {"1 :   200 000", "1 :   500 000",
                                                            "1 : 1 000 000"};
constexpr std::array<std::string_view, 3> kMapScales1M = {"1 : 1 000 000", "1 : 2 500 000",
                                                          "1 : 5 000 000"};
// Belts U (yZone 1) to K (yZone 11); V is not offered.
constexpr std::array<std::string_view, 11> kBelts = {"U", "T", "S", "R", "Q", "P",
                                                     "O", "N", "M", "L", "K"};

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

constexpr double kTwoThirds = 2.0 / 3.0; // 40', height of a 1:200 000 sheet

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

RefinementTolerance refinementTolerance(int setScale) {
    if (setScale == 0)
        return {1.0, kTwoThirds};
    return {6.0, 4.0};
}

void set_Combo_Type(Dialog& dialog, int setItem, int beltItem, int /*sheetNumberItem*/,
                    int typeItem) {
    const auto& texts = setItem == 1 ? kTypes200k : kTypes1M;
    // Combined sheets exist only in the northern belts: three types in U and T,
    // two in S, R and Q, single sheets from P southward.
    int count = 1;
    if (beltItem >= 1 && beltItem <= 2)
        count = 3;
    else if (beltItem >= 3 && beltItem <= 5)
        count = 2;
    dialog.setItemCount(kIdSheetType, count);
    for (int i = 0; i < count; ++i)
        dialog.setItemText(kIdSheetType, i + 1, std::string(texts[static_cast<std::size_t>(i)]));
    dialog.setSelected(kIdSheetType, count == 1 ? 1 : std::min(typeItem, count));
}

void SheetJobDial::paramDialog(job::JobParameters& job) {
    const auto dialog = platform_.createDialog(kTemplateParameters, nullptr);
    if (!dialog) {
        platform_.consoleLine(std::string(kConsoleNoDialog));
        platform_.endProgram(job::kExitNotDone);
        job.Status = 1; // only reached when the platform cannot end the program
        return;
    }
    Dialog& d = *dialog;

    d.setChecked(kIdSubSheets, false);
    state_.refined = false;
    d.attach(kIdFind, [this](Dialog& dl, int id, ControlEvent e) { s_Button_Nmou(dl, id, e); });
    d.setText(kIdResultFolder, "");
    d.attach(kIdRefine, [this](Dialog& dl, int id, ControlEvent e) { s_Button_Parm(dl, id, e); });

    fillList(d, kIdCoordSystem, kCoordSystems);
    d.setSelected(kIdCoordSystem, 1);
    fillList(d, kIdSetScale, kSetScales);
    d.setSelected(kIdSetScale, 1);
    d.attach(kIdSetScale, [this](Dialog& dl, int id, ControlEvent e) { s_Combo_Scale(dl, id, e); });
    fillList(d, kIdMapScale, kMapScales200k);
    d.setSelected(kIdMapScale, 1);
    fillList(d, kIdBelt, kBelts);
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
        if (d.runModal() != kIdOk) {
            job.Status = 1;
            return;
        }
        getValuesFromDialog1(d);
        const job::JobParameters& v = state_.values;
        job.SubSheetFrames = v.SubSheetFrames;
        job.CoordSystem = v.CoordSystem;
        job.SetScale = v.SetScale;
        job.MapScale = v.MapScale;
        job.yZone = v.yZone;
        job.xZone = v.xZone;
        job.SheetNumber = v.SheetNumber;
        job.SheetType = v.SheetType;
        job.BaseWest = v.BaseWest;
        job.BaseEast = v.BaseEast;
        job.BaseSouth = v.BaseSouth;
        job.BaseNorth = v.BaseNorth;
        job.BaseMeridianStep = v.BaseMeridianStep;
        job.BaseXMinute = v.BaseXMinute;
        job.BaseParallelStep = v.BaseParallelStep;
        job.BaseYMinute = v.BaseYMinute;
        if (!state_.refined) {
            job::useBaseAsResult(job);
        } else {
            job.xFrom = v.xFrom;
            job.xTo = v.xTo;
            job.yFrom = v.yFrom;
            job.yTo = v.yTo;
            job.xMinute = v.xMinute;
            job.yMinute = v.yMinute;
            job.ParallelStep = v.ParallelStep;
            job.MeridianStep = v.MeridianStep;
        }
        job.ResultPath = d.text(kIdResultFolder);

        if (common::isBlank(job.ResultPath))
            pendingError_ = std::string(text::kErrNoFolder);
        else if (job.SubSheetFrames && job.SetScale > 0)
            pendingError_ = std::string(text::kErrSubSheetsSet);
        else if (job.SubSheetFrames && job.SheetType > 0)
            pendingError_ = std::string(text::kErrSubSheetsType);
        if (pendingError_.empty()) {
            job.Status = 0;
            return;
        }
    }
}

void SheetJobDial::getValuesFromDialog1(Dialog& dialog) {
    job::JobParameters& v = state_.values;
    v.SubSheetFrames = dialog.checked(kIdSubSheets);
    v.CoordSystem = dialog.selected(kIdCoordSystem);
    v.SetScale = dialog.selected(kIdSetScale) == 1 ? 0 : 1;
    v.MapScale = dialog.selected(kIdMapScale) - 1;
    v.SheetType = dialog.selected(kIdSheetType) - 1;
    // The third type of a 1:1 000 000 set is the quadruple sheet.
    if (v.SetScale == 1 && v.SheetType == 2)
        v.SheetType = 3;
    v.yZone = dialog.selected(kIdBelt);
    v.xZone = dialog.selected(kIdZone) + kZoneItemOffset;
    if (v.xZone > kZoneCount)
        v.xZone -= kZoneCount;
    // A 1:1 000 000 set keeps the sheet number last read; it is not used there.
    if (v.SetScale == 0)
        v.SheetNumber = dialog.selected(kIdSheetNumber);
    job::computeBaseParameters(v);
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
    const job::JobParameters& v = state_.values;
    const auto kind = static_cast<std::size_t>(std::clamp(v.SheetType, 0, 3));
    r.setText(kIdBaseKind, std::string(kKinds[kind]));
    r.setText(kIdNotice, "");
    const std::string width = degreeField(v.BaseEast - v.BaseWest);
    const std::string height = degreeField(v.BaseNorth - v.BaseSouth);
    const std::string west = degreeField(v.BaseWest);
    const std::string east = degreeField(v.BaseEast);
    const std::string south = degreeField(v.BaseSouth);
    const std::string north = degreeField(v.BaseNorth);
    const std::string meridians = degreeField(v.BaseMeridianStep);
    const std::string parallels = degreeField(v.BaseParallelStep);
    const std::string xMinute = divisionField(v.BaseXMinute);
    const std::string yMinute = divisionField(v.BaseYMinute);
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
    job::JobParameters& v = state_.values;
    const RefinementTolerance tolerance = refinementTolerance(v.SetScale);
    std::array<bool, kErrorCount> error{};

    if (!readDegreeField(r, kIdResultWest, v.xFrom) || v.xFrom <= v.BaseWest - tolerance.longitude)
        error[kErrorWest] = true;
    if (!readDegreeField(r, kIdResultEast, v.xTo) || v.xTo >= v.BaseEast + tolerance.longitude)
        error[kErrorEast] = true;
    if (!readDegreeField(r, kIdResultSouth, v.yFrom) || v.yFrom <= v.BaseSouth - tolerance.latitude)
        error[kErrorSouth] = true;
    if (!readDegreeField(r, kIdResultNorth, v.yTo) || v.yTo >= v.BaseNorth + tolerance.latitude)
        error[kErrorNorth] = true;
    if (!readMinuteField(r, kIdResultXMinute, v.xMinute) || v.xMinute == 0)
        error[kErrorLongitudeDivision] = true;
    if (!readMinuteField(r, kIdResultYMinute, v.yMinute) || v.yMinute == 0)
        error[kErrorLatitudeDivision] = true;
    if (!readDegreeField(r, kIdResultMeridianStep, v.MeridianStep) || v.MeridianStep == 0.0)
        error[kErrorMeridianStep] = true;
    if (!readDegreeField(r, kIdResultParallelStep, v.ParallelStep) || v.ParallelStep == 0.0)
        error[kErrorParallelStep] = true;

    if (!error[kErrorWest] && !error[kErrorEast] && v.xFrom >= v.xTo)
        error[kErrorLongitudeRange] = true;
    const bool longitudeOk =
        !error[kErrorWest] && !error[kErrorEast] && !error[kErrorLongitudeRange];
    r.setText(kIdResultWidth, longitudeOk ? degreeField(v.xTo - v.xFrom) : std::string());
    if (!error[kErrorSouth] && !error[kErrorNorth] && v.yFrom >= v.yTo)
        error[kErrorLatitudeRange] = true;
    const bool latitudeOk =
        !error[kErrorSouth] && !error[kErrorNorth] && !error[kErrorLatitudeRange];
    r.setText(kIdResultHeight, latitudeOk ? degreeField(v.yTo - v.yFrom) : std::string());

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
        const bool changed = !geometry::eqWithTolerance(v.xFrom, v.BaseWest) ||
                             !geometry::eqWithTolerance(v.xTo, v.BaseEast) ||
                             !geometry::eqWithTolerance(v.yFrom, v.BaseSouth) ||
                             !geometry::eqWithTolerance(v.yTo, v.BaseNorth);
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
