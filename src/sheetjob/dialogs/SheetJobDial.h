#pragma once
// The main parameter dialog (template 101) and the trapezium refinement dialog
// (template 113): the job's sheet, coordinate system, scales, result folder and
// sub-sheet frames are chosen, the result trapezium and graticule optionally
// refined, and the job record filled.

#include "sheetjob/dialogs/Controls.h"
#include "sheetjob/job/JobParameters.h"

#include <string>

namespace sheetjob::dialogs {

/// Values that live for the whole run and are shared by both dialogs.
struct DialogState {
    /// The job values last read from the controls (CoordSystem .. SheetType,
    /// SubSheetFrames) with their base trapezium (Base*), and in xFrom .. yMinute
    /// the refined result trapezium and graticule. Paths and Status are unused.
    job::JobParameters values;
    /// True only while refined values exist that were accepted after the last
    /// change of the set scale, belt, zone, sheet number or sheet type.
    bool refined = false;
};

/// Tolerances of the refined bounds: the size of one standard sheet of the set.
struct RefinementTolerance {
    double longitude = 0.0; ///< degrees
    double latitude = 0.0;  ///< degrees
};
/// 1 degree and 40' for a 1:200 000 set, 6 and 4 degrees for a 1:1 000 000 set.
RefinementTolerance refinementTolerance(int setScale);

/// Refills the sheet-type list 1006 for the set item (1 = 1:200 000, 2 =
/// 1:1 000 000) and belt item (1 = U .. 11 = K), keeping the type item where the
/// shorter list allows. The sheet-number item is not used.
void set_Combo_Type(Dialog& dialog, int setItem, int beltItem, int sheetNumberItem, int typeItem);

/// Both dialogs over one platform. One instance serves one run.
class SheetJobDial {
  public:
    explicit SheetJobDial(Platform& platform) : platform_(platform) {}

    /// Runs the main parameter dialog until its values pass the checks (Status
    /// 0, every job field but FramePath filled) or the user cancels (Status 1).
    /// A missing template writes "ERROR: dialog not found" and ends the program
    /// with exit code 8.
    void paramDialog(job::JobParameters& job);

    /// Reads the main dialog's controls into the dialog state and computes the
    /// base trapezium.
    void getValuesFromDialog1(Dialog& dialog);

    /// Callbacks of the main dialog: the folder search (1013), the refinement
    /// dialog (1014), and the selection changes of the set scale (1011), belt
    /// (1005), zone (1007), sheet number (1008) and sheet type (1006).
    void s_Button_Nmou(Dialog& dialog, int id, ControlEvent event);
    void s_Button_Parm(Dialog& dialog, int id, ControlEvent event);
    void s_Combo_Scale(Dialog& dialog, int id, ControlEvent event);
    void s_Combo_YZone(Dialog& dialog, int id, ControlEvent event);
    void s_Combo_XZone(Dialog& dialog, int id, ControlEvent event);
    void s_Combo_Nmb(Dialog& dialog, int id, ControlEvent event);
    void s_Combo_Type(Dialog& dialog, int id, ControlEvent event);

    /// Reads and checks every result field of the refinement dialog, rewrites
    /// the accepted ones in normal form and updates the result width and height.
    /// Returns 0 (accepted, refined true) or 1 (errors shown in one message box,
    /// refined false).
    int testDialog2(Dialog& refinement);
    /// Callback of the refinement dialog's "Test" button (1049).
    void s_Button_Test(Dialog& refinement, int id, ControlEvent event);

    [[nodiscard]] const DialogState& state() const { return state_; }

  private:
    void refreshSheetTypes(Dialog& dialog);
    void fillRefinement(Dialog& refinement);

    Platform& platform_;
    DialogState state_;
    std::string pendingError_;
};

} // namespace sheetjob::dialogs
