#include "sheetjob/dialogs/win32/Interactive.h"

#include "sheetjob/common/Console.h"
#include "sheetjob/dialogs/DialogSession.h"
#include "sheetjob/dialogs/win32/Win32Platform.h"
#include "sheetjob/job/SheetJob.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

namespace sheetjob::dialogs::win32 {

int runInteractive(const std::vector<std::string>& args) {
    common::releaseOwnConsole();
    // The common controls of the manifest's version 6, and COM for the
    // system's folder dialog.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED |
                                                           COINIT_DISABLE_OLE1DDE));
    Win32Platform platform;
    DialogSession session(platform);
    const int code = job::runSheetJob(args, &session, common::standardError());
    if (com)
        CoUninitialize();
    return code;
}

} // namespace sheetjob::dialogs::win32
