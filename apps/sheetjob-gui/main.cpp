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
    sheetjob::job::prepareProcess();
    const std::vector<std::string> args(argv, argv + argc);
    // Reached without an argument file ("--" alone counts as none).
    const std::vector<std::string> bare(args.begin(), args.begin() + (argc > 0 ? 1 : 0));
    return sheetjob::job::runCommandLine(args, std::cout, std::cerr, [&] {
        if (sheetjob::dialogs::qt::displayAvailable(argc, argv))
            return sheetjob::dialogs::qt::runInteractive(argc, argv, bare);
        return sheetjob::job::runSheetJob(bare, nullptr, std::cerr);
    });
}
