// sheetjob: builds the mathematical basis of one map sheet as shapefile layers.
// Usage: sheetjob [ARGUMENT-FILE]

#include "sheetjob/job/SheetJob.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    return sheetjob::job::RUNSHEETJOB(args, nullptr, std::cerr);
}
