#include "support/Process.h"

#include "support/TempDir.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace sheetjob::testing {

std::string sheetjobExecutable() { return SHEETJOB_EXE; }

RunningProcess startProcess(const std::string& program, const std::vector<std::string>& args,
                            const ProcessOptions& options) {
    RunningProcess process;
    process.capture = std::make_shared<TempDir>();
    process.timeoutSeconds = options.timeoutSeconds;
    const std::string outPath = *process.capture / "stdout";
    const std::string errPath = *process.capture / "stderr";
    const pid_t pid = fork();
    if (pid != 0) {
        process.pid = pid;
        return process;
    }
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open("/dev/null", O_RDONLY);
    dup2(out, 1);
    dup2(err, 2);
    dup2(in, 0);
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
        _exit(126);
    for (const std::string& entry : options.environment)
        putenv(const_cast<char*>(entry.c_str()));
    if (options.fileSizeLimit >= 0) {
        // The signal a write past the limit raises is left as a shell leaves
        // it (it ends the process): the program itself must turn it into an error.
        const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                           static_cast<rlim_t>(options.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

ProcessResult finishProcess(RunningProcess& process) {
    ProcessResult result;
    if (process.pid < 0)
        return result;
    int status = 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(process.timeoutSeconds);
    while (waitpid(process.pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(process.pid, SIGKILL);
            waitpid(process.pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    process.pid = -1;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readFile(*process.capture / "stdout");
    result.err = readFile(*process.capture / "stderr");
    return result;
}

} // namespace sheetjob::testing
