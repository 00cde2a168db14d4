#include "sheetjob/common/Console.h"

#include "sheetjob/common/SystemText.h"

#include <windows.h>

#include <shellapi.h>

#include <streambuf>

namespace sheetjob::common {
namespace {

/// Whether the program may still look for its parent's console: only until the
/// first stream has been set up, and never after releaseOwnConsole.
bool consoleWanted = true;

/// The handle of a standard stream. A GUI program started from a console has
/// none of its own: it takes its parent's console, once.
HANDLE standardHandle(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if ((handle == nullptr || handle == INVALID_HANDLE_VALUE) && consoleWanted) {
        consoleWanted = false;
        if (AttachConsole(ATTACH_PARENT_PROCESS))
            handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    }
    return handle == nullptr ? INVALID_HANDLE_VALUE : handle;
}

/// A stream buffer over a standard handle: to a console, whole UTF-8
/// characters go out as UTF-16 through WriteConsoleW; to anything else the
/// bytes go out unchanged.
class StandardBuffer : public std::streambuf {
  public:
    explicit StandardBuffer(DWORD which) : which_(which) {}

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        pending_ += traits_type::to_char_type(c);
        if (pending_.size() >= kFlushAt && !flushPending())
            return traits_type::eof();
        return c;
    }

    std::streamsize xsputn(const char* data, std::streamsize count) override {
        pending_.append(data, static_cast<std::size_t>(count));
        if (pending_.size() >= kFlushAt && !flushPending())
            return 0;
        return count;
    }

    int sync() override { return flushPending() ? 0 : -1; }

  private:
    // Bytes collected before they are written without a flush.
    static constexpr std::size_t kFlushAt = 4096;

    bool flushPending() {
        if (pending_.empty())
            return true;
        if (!opened_) {
            opened_ = true;
            handle_ = standardHandle(which_);
            DWORD mode = 0;
            console_ = handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
        }
        if (handle_ == INVALID_HANDLE_VALUE) { // nowhere to write: dropped, as a closed stream
            pending_.clear();
            return true;
        }
        return console_ ? writeConsole() : writeBytes(pending_.size());
    }

    bool writeBytes(std::size_t count) {
        std::size_t done = 0;
        while (done < count) {
            DWORD written = 0;
            if (!WriteFile(handle_, pending_.data() + done, static_cast<DWORD>(count - done),
                           &written, nullptr) ||
                written == 0)
                return false;
            done += written;
        }
        pending_.erase(0, count);
        return true;
    }

    bool writeConsole() {
        // A character cut between two writes waits for its last bytes.
        std::size_t whole = pending_.size();
        for (std::size_t back = 1; back <= 4 && back <= pending_.size(); ++back) {
            const auto byte = static_cast<unsigned char>(pending_[pending_.size() - back]);
            if ((byte & 0xC0) == 0x80)
                continue; // a continuation byte: its lead is further back
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            if (length > back)
                whole = pending_.size() - back;
            break;
        }
        const std::wstring wide = toWide(std::string_view(pending_).substr(0, whole));
        std::size_t done = 0;
        while (done < wide.size()) {
            DWORD written = 0;
            if (!WriteConsoleW(handle_, wide.data() + done, static_cast<DWORD>(wide.size() - done),
                               &written, nullptr) ||
                written == 0)
                return false;
            done += written;
        }
        pending_.erase(0, whole);
        return true;
    }

    DWORD which_;
    bool opened_ = false;
    bool console_ = false;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::string pending_;
};

class StandardStream : public std::ostream {
  public:
    explicit StandardStream(DWORD which) : std::ostream(nullptr), buffer_(which) {
        rdbuf(&buffer_);
    }

  private:
    StandardBuffer buffer_;
};

} // namespace

std::vector<std::string> commandLine(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
        // An argument with an unpaired surrogate names no file UTF-8 can
        // spell: its characters become U+FFFD, and the file is not found.
        std::wstring_view arg = wide[i];
        auto utf8 = fromWide(arg);
        if (!utf8) {
            std::wstring replaced(arg);
            for (wchar_t& c : replaced)
                if (c >= 0xD800 && c <= 0xDFFF)
                    c = 0xFFFD;
            utf8 = fromWide(replaced);
        }
        args.push_back(utf8.value_or(std::string()));
    }
    LocalFree(wide);
    return args;
}

std::ostream& standardOutput() {
    // Flushed at the end of every output operation, as std::cerr is: a line
    // reaches the console before the program goes on.
    static StandardStream out(STD_OUTPUT_HANDLE);
    out.setf(std::ios::unitbuf);
    return out;
}

std::ostream& standardError() {
    static StandardStream err(STD_ERROR_HANDLE);
    err.setf(std::ios::unitbuf);
    return err;
}

void releaseOwnConsole() {
    consoleWanted = false;
    DWORD processes[2] = {};
    // Only this process uses the console: it was made for it alone.
    if (GetConsoleProcessList(processes, 2) == 1)
        FreeConsole();
}

} // namespace sheetjob::common
