#pragma once
// The main program: mode selection, job input, output folders, sub-sheet
// frames, sheet layers, and the outcome (exit code, message box).

#include "sheetjob/common/Failure.h"
#include "sheetjob/model/Job.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace sheetjob::job {

/// Exit codes of a run.
enum ExitCode : int { kExitDone = 0, kExitNotDone = 8, kExitLayerFailure = 16 };

enum class MessageIcon { Stop, Information };

/// What the interactive mode needs of the front end (the dialogs implement it).
class InteractiveSession {
  public:
    virtual ~InteractiveSession() = default;
    /// Shows the start screen and returns when it is closed.
    virtual void showStartScreen() = 0;
    /// Runs the parameter dialog: true with the job filled when the user
    /// accepted it, false when the dialog was cancelled.
    virtual bool runParameterDialog(model::Job& job) = 0;
    /// One modal message box; text and title are Windows-1251.
    virtual void showMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
};

/// Where a job stopped: its failure, and whether that was before any sheet
/// layer was written (the folders, the sub-sheet frames) or in the sheet
/// layers and the files beside them.
struct StoppedRun {
    common::Failure failure;
    bool beforeLayers = false;
};

/// Writes everything the job asks for: prepares the output folders (taking the
/// result folder's lock for the time of the run), the sub-sheet frames when
/// asked for, the sheet layers, and the QGIS files unless the job leaves them
/// out. Nothing when the whole sheet was written.
std::optional<StoppedRun> writeSheet(const model::Job& job);

/// Runs one job and returns the exit code (0, 8 or 16). args[0] is the program
/// name; one or more further arguments select argument-file mode (args[1] is
/// the file). `session` serves the interactive mode; null when no window can be
/// shown. Every failure writes one line to `err`.
int runSheetJob(const std::vector<std::string>& args, InteractiveSession* session,
                std::ostream& err);

} // namespace sheetjob::job
