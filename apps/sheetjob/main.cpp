// sheetjob: builds the mathematical basis of map sheets as shapefile layers.
// Usage: sheetjob [ARGUMENT-FILE...] | --help | --version
// With argument files it runs them and opens no window. Without an argument:
// on Linux the batch program, which links no GUI library, starts the dialog
// program (sheetjob-gui) when a display is named; on Windows it opens the
// system's own dialogs itself.

#include "sheetjob/common/Console.h"
#include "sheetjob/job/CommandLine.h"

#ifdef _WIN32
#include "sheetjob/dialogs/win32/Interactive.h"
#else
#include "sheetjob/job/DialogProgram.h"
#endif

#include <string>
#include <vector>

int main(int argc, char** argv) {
    namespace common = sheetjob::common;
    sheetjob::job::prepareProcess();
    const std::vector<std::string> args = common::commandLine(argc, argv);
    // The dialogs start without an argument file ("--" alone counts as none).
    const std::vector<std::string> bare(args.begin(), args.begin() + (args.empty() ? 0 : 1));
    return sheetjob::job::runCommandLine(
        args, common::standardOutput(), common::standardError(), [&bare] {
#ifdef _WIN32
            return sheetjob::dialogs::win32::runInteractive(bare);
#else
            return sheetjob::job::startDialogProgram(bare, common::standardError());
#endif
        });
}
