#pragma once
// The start screen shown once before the main parameter dialog.

#include "sheetjob/dialogs/Controls.h"

namespace sheetjob::dialogs {

/// Shows the start screen (template 106) modally and returns when it is
/// closed; returns at once, silently, when the template does not exist.
void startDialog(Platform& platform);

} // namespace sheetjob::dialogs
