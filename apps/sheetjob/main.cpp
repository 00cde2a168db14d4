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
    const std::vector<std::string> args(argv, argv + argc);
    return sheetjob::job::runCommandLine(args, std::cout, std::cerr, [&args] {
        return sheetjob::job::startDialogProgram(args, std::cerr);
    });
}
