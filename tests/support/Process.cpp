// What running a process means on every platform; ProcessPosix.cpp and
// ProcessWin32.cpp start and finish one.

#include "support/Process.h"

namespace sheetjob::testing {

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options) {
    RunningProcess process = startProcess(program, args, options);
    return finishProcess(process);
}

} // namespace sheetjob::testing
