#pragma once
// Runs a program as a separate process and captures what it says.

#include <memory>
#include <string>
#include <vector>

namespace sheetjob::testing {

struct ProcessResult {
    int exitCode = -1; ///< the exit status, or 128 + signal when killed
    std::string out;   ///< standard output
    std::string err;   ///< standard error
};

struct ProcessOptions {
    std::string workingDirectory;         ///< "" = the current one
    std::vector<std::string> environment; ///< extra NAME=VALUE entries
    long long fileSizeLimit = -1;         ///< bytes; >= 0 limits the size of every file written (POSIX only)
    int timeoutSeconds = 60;              ///< the process is killed after this
};

/// Whether ProcessOptions::fileSizeLimit can stand for a full disk (POSIX
/// resource limits; Windows has none).
#ifdef _WIN32
inline constexpr bool kFileSizeLimits = false;
#else
inline constexpr bool kFileSizeLimits = true;
#endif

class TempDir;

/// A process started and not yet waited for.
struct RunningProcess {
#ifdef _WIN32
    void* handle = nullptr; ///< the process's HANDLE
#else
    int pid = -1;
#endif
    std::shared_ptr<TempDir> capture; ///< where its output goes
    int timeoutSeconds = 60;
};

/// Starts `program` with `args` (not including the program itself).
RunningProcess startProcess(const std::string& program, const std::vector<std::string>& args,
                            const ProcessOptions& options = {});
/// Waits for it (killing it after its timeout) and collects what it said.
ProcessResult finishProcess(RunningProcess& process);

/// Runs `program` with `args` to its end.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = {});

/// The built sheetjob executable.
std::string sheetjobExecutable();

} // namespace sheetjob::testing
