#include "sheetjob/dialogs/DialogSession.h"

#include "sheetjob/dialogs/StartDialog.h"

namespace sheetjob::dialogs {

void DialogSession::showStartScreen() { startDialog(platform_); }

bool DialogSession::runParameterDialog(model::Job& job) { return dialogs_.paramDialog(job); }

void DialogSession::showMessage(const std::string& text, const std::string& title,
                                job::MessageIcon icon) {
    platform_.messageBox(
        text, title, icon == job::MessageIcon::Stop ? MessageIcon::Stop : MessageIcon::Information);
}

} // namespace sheetjob::dialogs
