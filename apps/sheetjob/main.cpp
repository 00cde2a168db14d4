// sheetjob: builds the mathematical basis of map sheets as shapefile layers.
// Usage: sheetjob [ARGUMENT-FILE...] | --help | --version
// The batch program links no GUI library: with argument files it runs them and
// opens no window; without an argument it starts the dialog program
// (sheetjob-gui) when a display is named.

#include "sheetjob/job/CommandLine.h"
#include "sheetjob/job/DialogProgram.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    sheetjob::job::prepareProcess();
    const std::vector<std::string> args(argv, argv + argc);
    // The dialog program starts without an argument file ("--" alone counts as none).
    const std::vector<std::string> bare(args.begin(), args.begin() + (argc > 0 ? 1 : 0));
    return sheetjob::job::runCommandLine(args, std::cout, std::cerr, [&bare] {
        return sheetjob::job::startDialogProgram(bare, std::cerr);
    });
}
