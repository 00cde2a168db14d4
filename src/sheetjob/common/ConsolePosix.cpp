#include "sheetjob/common/Console.h"

#include <iostream>

namespace sheetjob::common {

std::vector<std::string> commandLine(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

std::ostream& standardOutput() { return std::cout; }

std::ostream& standardError() { return std::cerr; }

void releaseOwnConsole() {}

} // namespace sheetjob::common
