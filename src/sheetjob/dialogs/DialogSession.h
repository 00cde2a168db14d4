#pragma once
// The interactive mode over a platform: start screen, parameter dialog (with
// the refinement dialog and the folder search) and the outcome message box.

#include "sheetjob/dialogs/Controls.h"
#include "sheetjob/dialogs/SheetJobDial.h"
#include "sheetjob/job/SheetJob.h"

namespace sheetjob::dialogs {

class DialogSession : public job::InteractiveSession {
  public:
    explicit DialogSession(Platform& platform) : platform_(platform), dialogs_(platform) {}

    void showStartScreen() override;
    /// Fills the job (its result folder is the chosen folder with its trailing
    /// separator); false when cancelled.
    bool runParameterDialog(model::Job& job) override;
    void showMessage(const std::string& text, const std::string& title,
                     job::MessageIcon icon) override;

    [[nodiscard]] const SheetJobDial& dialogs() const { return dialogs_; }

  private:
    Platform& platform_;
    SheetJobDial dialogs_;
};

} // namespace sheetjob::dialogs
