#include "support/Process.h"

#include "sheetjob/common/SystemText.h"
#include "support/TempDir.h"

#include <windows.h>

#include <stdexcept>

namespace sheetjob::testing {
namespace {

// The exit code given to a process killed after its timeout (as a POSIX
// shell reports SIGKILL).
constexpr UINT kKilledExitCode = 137;

/// One argument quoted as CommandLineToArgvW reads it back.
std::wstring quotedArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L'"';
}

/// The test's own environment with the NAME=VALUE entries of `extra`
/// replacing those of the same name.
std::wstring environmentBlock(const std::vector<std::string>& extra) {
    std::vector<std::wstring> entries;
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* entry = own; *entry != L'\0'; entry += wcslen(entry) + 1)
        entries.emplace_back(entry);
    FreeEnvironmentStringsW(own);
    for (const std::string& add : extra) {
        const std::wstring wide = common::toWide(add);
        const std::wstring name = wide.substr(0, wide.find(L'=') + 1);
        std::erase_if(entries, [&](const std::wstring& e) {
            return CompareStringOrdinal(
                       e.c_str(), static_cast<int>(std::min(e.size(), name.size())), name.c_str(),
                       static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
        });
        entries.push_back(wide);
    }
    std::wstring block;
    for (const std::wstring& e : entries)
        block += e + L'\0';
    return block + L'\0';
}

HANDLE inheritable(const std::wstring& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

std::string sheetjobExecutable() { return SHEETJOB_EXE; }

RunningProcess startProcess(const std::string& program, const std::vector<std::string>& args,
                            const ProcessOptions& options) {
    if (options.fileSizeLimit >= 0)
        throw std::logic_error("a file size limit needs POSIX resource limits");
    RunningProcess process;
    process.capture = std::make_shared<TempDir>();
    process.timeoutSeconds = options.timeoutSeconds;

    std::wstring commandLine = quotedArgument(common::toWide(program));
    for (const std::string& arg : args)
        commandLine += L' ' + quotedArgument(common::toWide(arg));
    const std::wstring environment = environmentBlock(options.environment);
    const std::wstring directory = common::toWide(options.workingDirectory);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput =
        inheritable((process.capture->path() / "stdout").wstring(), GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError =
        inheritable((process.capture->path() / "stderr").wstring(), GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(
        nullptr, commandLine.data(), nullptr, nullptr, TRUE,
        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, const_cast<wchar_t*>(environment.c_str()),
        directory.empty() ? nullptr : directory.c_str(), &startup, &info);
    const DWORD error = GetLastError();
    for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        CloseHandle(h);
    if (!started)
        throw std::runtime_error("cannot start " + program + ": " + common::systemErrorText(error));
    CloseHandle(info.hThread);
    process.handle = info.hProcess;
    return process;
}

ProcessResult finishProcess(RunningProcess& process) {
    ProcessResult result;
    if (process.handle == nullptr)
        return result;
    const HANDLE handle = process.handle;
    constexpr DWORD kMillisecondsPerSecond = 1000;
    if (WaitForSingleObject(handle, static_cast<DWORD>(process.timeoutSeconds) *
                                        kMillisecondsPerSecond) != WAIT_OBJECT_0) {
        TerminateProcess(handle, kKilledExitCode);
        WaitForSingleObject(handle, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeProcess(handle, &code);
    CloseHandle(handle);
    process.handle = nullptr;
    result.exitCode = static_cast<int>(code);
    result.out = readFile(process.capture->path() / "stdout");
    result.err = readFile(process.capture->path() / "stderr");
    return result;
}

} // namespace sheetjob::testing
