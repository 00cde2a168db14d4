#pragma once
// The small control interface the dialog logic is written against: dialogs
// made from templates with integer control ids, their lists, selections,
// check and enabled states, texts and callbacks, run modally; message boxes, a
// console line, the open-file request and the working directory. The logic
// knows no toolkit; the Qt front end and the tests' scripted double implement it.
// Every text crossing this interface is Windows-1251.

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace sheetjob::dialogs {

/// Dialog templates.
enum TemplateId : int {
    kTemplateParameters = 101, ///< main parameter dialog
    kTemplateStart = 106,      ///< start screen
    kTemplateRefinement = 113, ///< trapezium refinement dialog
};

/// Control ids shared by every template.
enum CommonControl : int { kIdOk = 1, kIdCancel = 2 };

/// Control ids of the main parameter dialog (template 101).
enum ParameterControl : int {
    kIdBelt = 1005,             ///< list: belt letter U..K
    kIdSheetType = 1006,        ///< list: combined-sheet type
    kIdZone = 1007,             ///< list: zone 33..60, 01, 02
    kIdSheetNumber = 1008,      ///< list: 1:200 000 sheet I..XXXVI
    kIdSheetNumberLabel = 1010, ///< static label of 1008, enabled with it
    kIdSetScale = 1011,         ///< list: scale of the map set
    kIdMapScale = 1012,         ///< list: map (scheme) scale
    kIdFind = 1013,             ///< button: folder search
    kIdRefine = 1014,           ///< button: refinement dialog
    kIdCoordSystem = 1015,      ///< list: coordinate system
    kIdResultFolder = 1027,     ///< static text: the chosen result folder
    kIdSubSheets = 1052,        ///< check box: build the 1:50 000 / 1:25 000 frames
};

/// Control ids of the refinement dialog (template 113): base fields are
/// read-only, result fields editable except the width and height.
enum RefinementControl : int {
    kIdResultParallelStep = 1043,
    kIdResultMeridianStep = 1034,
    kIdBaseKind = 1035,
    kIdBaseWidth = 1036,
    kIdBaseHeight = 1037,
    kIdBaseWest = 1038,
    kIdBaseSouth = 1039,
    kIdBaseEast = 1040,
    kIdBaseNorth = 1041,
    kIdBaseMeridianStep = 1042,
    kIdResultXMinute = 1044,
    kIdResultYMinute = 1045,
    kIdBaseParallelStep = 1046,
    kIdBaseXMinute = 1047,
    kIdBaseYMinute = 1048,
    kIdTest = 1049,
    kIdNotice = 1050,
    kIdResultWidth = 1053,
    kIdResultHeight = 1054,
    kIdResultWest = 1055,
    kIdResultSouth = 1056,
    kIdResultEast = 1057,
    kIdResultNorth = 1058,
};

/// What happened to a control.
enum class ControlEvent { Click, SelectionChange };

enum class MessageIcon { Exclamation, Stop, Information };

class Dialog;
/// A control callback: the dialog, the control id and the kind of event. Each
/// callback acts on one kind of event and ignores the others.
using ControlCallback = std::function<void(Dialog&, int, ControlEvent)>;

/// One dialog made from a template. Item and selection indices count from 1;
/// 0 means no selection. Programmatic changes never fire callbacks.
class Dialog {
  public:
    virtual ~Dialog() = default;
    /// Sets the number of items of a list; new items are blank, the selection
    /// keeps its position while it is still inside the list.
    virtual void setItemCount(int id, int count) = 0;
    virtual void setItemText(int id, int index, const std::string& text) = 0;
    virtual void setSelected(int id, int index) = 0;
    [[nodiscard]] virtual int selected(int id) const = 0;
    virtual void setChecked(int id, bool checked) = 0;
    [[nodiscard]] virtual bool checked(int id) const = 0;
    virtual void setEnabled(int id, bool enabled) = 0;
    virtual void setText(int id, const std::string& text) = 0;
    [[nodiscard]] virtual std::string text(int id) const = 0;
    virtual void attach(int id, ControlCallback callback) = 0;
    /// Runs the dialog modally until a closing button; returns its id (kIdOk, or
    /// kIdCancel also when the dialog is closed otherwise). The controls keep
    /// their values for the next run.
    virtual int runModal() = 0;
};

/// The open-file request of the folder search, built fresh for every call.
struct OpenFileRequest {
    std::string filterName;      ///< description of the one filter entry
    std::string pattern;         ///< filter pattern, without trailing blanks
    std::string initialFileName; ///< pre-filled file name (a placeholder)
    std::string initialDirectory;
    std::string caption;
    bool pathMustExist = true; ///< the folder must exist, the file need not
};

/// What the dialogs need of the platform.
class Platform {
  public:
    virtual ~Platform() = default;
    /// The dialog of a template, owned by `owner` when given; null when the
    /// template does not exist.
    virtual std::unique_ptr<Dialog> createDialog(int templateId, Dialog* owner) = 0;
    /// One modal message box with an OK button.
    virtual void messageBox(const std::string& text, const std::string& caption,
                            MessageIcon icon) = 0;
    /// One line on the program's console.
    virtual void consoleLine(const std::string& line) = 0;
    /// Ends the program with the exit code (a test double may throw instead).
    virtual void endProgram(int exitCode) = 0;
    /// The open-file (or native folder) dialog: the path the user confirmed, or
    /// nothing when cancelled. A folder picker returns the folder with a
    /// trailing separator.
    virtual std::optional<std::string> openFile(const OpenFileRequest& request) = 0;
    virtual std::string currentDirectory() = 0;
    virtual void setCurrentDirectory(const std::string& path) = 0;
};

} // namespace sheetjob::dialogs
