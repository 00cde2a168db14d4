// sheetjob: builds the mathematical basis of one map sheet as shapefile layers.
// Usage: sheetjob [ARGUMENT-FILE]
// With no argument the dialogs open (when a display can be opened); with one,
// the job is read from the argument file and no window is created.

#include "sheetjob/job/SheetJob.h"

#ifdef SHEETJOB_HAVE_QT
#include "sheetjob/dialogs/qt/Interactive.h"
#endif

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
#ifdef SHEETJOB_HAVE_QT
    if (args.size() == 1 && sheetjob::dialogs::qt::displayAvailable(argc, argv))
        return sheetjob::dialogs::qt::runInteractive(argc, argv, args);
#endif
    return sheetjob::job::runSheetJob(args, nullptr, std::cerr);
}
