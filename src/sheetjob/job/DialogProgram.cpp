#include "sheetjob/job/DialogProgram.h"

#include "sheetjob/job/SheetJob.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace sheetjob::job {
namespace {
namespace fs = std::filesystem;

bool envSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

/// An executable file that is not the running program itself.
bool startable(const fs::path& file, const fs::path& self) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return false;
    if (!self.empty() && fs::equivalent(file, self, ec))
        return false;
#ifdef _WIN32
    return true;
#else
    return access(file.c_str(), X_OK) == 0;
#endif
}

#ifndef _WIN32
/// The running executable ("" when it cannot be learnt): the dialog program
/// installed or built beside it is the one that belongs to it.
std::string ownExecutable() {
#ifdef __linux__
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self.string();
#endif
    return {};
}
#endif

} // namespace

bool displayNamed() {
    return envSet("DISPLAY") || envSet("WAYLAND_DISPLAY") || envSet("QT_QPA_PLATFORM");
}

std::string findDialogProgram(const std::string& self, const std::string& searchPath) {
    const fs::path selfPath(self);
    if (!self.empty()) {
        const fs::path beside = selfPath.parent_path() / kDialogProgram;
        if (startable(beside, selfPath))
            return beside.string();
    }
    std::string_view rest = searchPath;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (folder.empty())
            continue;
        const fs::path candidate = fs::path(folder) / kDialogProgram;
        if (startable(candidate, selfPath))
            return candidate.string();
    }
    return {};
}

int startDialogProgram(const std::vector<std::string>& args, std::ostream& err) {
#ifndef _WIN32
    if (displayNamed()) {
        const char* searchPath = std::getenv("PATH");
        const std::string program =
            findDialogProgram(ownExecutable(), searchPath ? searchPath : "");
        if (!program.empty()) {
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(program.c_str()));
            for (std::size_t i = 1; i < args.size(); ++i)
                argv.push_back(const_cast<char*>(args[i].c_str()));
            argv.push_back(nullptr);
            std::cout.flush();
            err.flush();
            execv(program.c_str(), argv.data());
            // Not started (removed meanwhile, say): as when it is not there.
        }
    }
#endif
    // No display or no dialog program: the note of a run without a window.
    return runSheetJob(args.empty() ? std::vector<std::string>{"sheetjob"}
                                    : std::vector<std::string>{args.front()},
                       nullptr, err);
}

} // namespace sheetjob::job
