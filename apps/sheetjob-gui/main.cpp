// sheetjob-gui: the dialog program, what the desktop entry and a bare
// `sheetjob` start. Without an argument it opens the dialogs (when the display
// can be reached); with arguments it behaves as the batch program.

#include "sheetjob/dialogs/qt/Interactive.h"
#include "sheetjob/job/CommandLine.h"
#include "sheetjob/job/SheetJob.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    return sheetjob::job::runCommandLine(args, std::cout, std::cerr, [&] {
        if (sheetjob::dialogs::qt::displayAvailable(argc, argv))
            return sheetjob::dialogs::qt::runInteractive(argc, argv, args);
        return sheetjob::job::runSheetJob(args, nullptr, std::cerr);
    });
}
