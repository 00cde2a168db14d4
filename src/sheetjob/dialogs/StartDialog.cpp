#include "sheetjob/dialogs/StartDialog.h"

namespace sheetjob::dialogs {

void startDialog(Platform& platform) {
    const auto dialog = platform.createDialog(kTemplateStart, nullptr);
    if (!dialog)
        return; // no start screen is no reason to stop the program
    dialog->runModal();
}

} // namespace sheetjob::dialogs
