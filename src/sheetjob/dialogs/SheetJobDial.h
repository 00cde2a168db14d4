#pragma once
// The main parameter dialog (template 101) and the trapezium refinement dialog
// (template 113): the job's sheet, coordinate system, scales, result folder and
// sub-sheet frames are chosen, the result trapezium and graticule optionally
// refined, and the job record filled.

#include "sheetjob/dialogs/Controls.h"
#include "sheetjob/model/Job.h"

#include <string>

namespace sheetjob::dialogs {

/// Values that live for the whole run and are shared by both dialogs.
struct DialogState {
    /// The job values last read from the controls (coordinate system, sheet,
    /// map scale, sub-sheet frames), and in result and graticule the refined
    /// result trapezium and graticule. The folder is unused.
    model::Job values;
    /// True only while refined values exist that were accepted after the last
    /// change of the set scale, belt, zone, sheet number or sheet type.
    bool refined = false;
};

/// Refills the sheet-type list 1006 for the set item (1 = 1:200 000, 2 =
/// 1:1 000 000) and belt item (1 = U .. 11 = K), keeping the type item where the
/// shorter list allows. The sheet-number item is not used.
void set_Combo_Type(Dialog& dialog, int setItem, int beltItem, int sheetNumberItem, int typeItem);

/// Both dialogs over one platform. One instance serves one run.
class SheetJobDial {
  public:
    explicit SheetJobDial(Platform& platform) : platform_(platform) {}

    /// Runs the main parameter dialog until its values pass the checks (true,
    /// the job filled) or the user cancels (false). A missing template writes
    /// "ERROR: dialog not found" and ends the program with exit code 8.
    bool paramDialog(model::Job& job);

    /// Reads the main dialog's controls into the dialog state.
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
