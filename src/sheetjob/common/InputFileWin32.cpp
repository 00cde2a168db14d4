#include "sheetjob/common/InputFile.h"

#include "sheetjob/common/SystemText.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace sheetjob::common {
namespace {

HANDLE handleOf(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }

// The largest piece that one ReadFile call is given.
constexpr std::size_t kMaxRead = std::size_t{1} << 30;

} // namespace

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        if (fd_ != -1)
            CloseHandle(handleOf(fd_));
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
    }
    return *this;
}

InputFile::~InputFile() {
    if (fd_ != -1)
        CloseHandle(handleOf(fd_));
}

std::optional<InputFile> InputFile::open(const std::string& path, Refusal& refusal,
                                         std::string& error) {
    // Backup semantics open a folder too, so that it is told from a file that
    // cannot be opened; a pipe's or a device's handle is refused by its type.
    const HANDLE handle =
        CreateFileW(toWide(path).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        refusal = Refusal::CannotOpen;
        error = systemErrorText(GetLastError());
        return std::nullopt;
    }
    InputFile file(reinterpret_cast<NativeHandle>(handle), 0);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        refusal = Refusal::NotRegular;
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER size{};
    if (!GetFileInformationByHandle(handle, &info) || !GetFileSizeEx(handle, &size)) {
        refusal = Refusal::CannotOpen;
        error = systemErrorText(GetLastError());
        return std::nullopt;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        refusal = Refusal::Folder;
        return std::nullopt;
    }
    file.size_ = static_cast<std::uint64_t>(size.QuadPart);
    return file;
}

bool InputFile::read(char* data, std::size_t size, std::size_t& got) {
    DWORD n = 0;
    const BOOL ok =
        ReadFile(handleOf(fd_), data, static_cast<DWORD>(std::min(size, kMaxRead)), &n, nullptr);
    got = ok ? n : 0;
    return ok != 0;
}

bool InputFile::rewind() {
    LARGE_INTEGER start{};
    return SetFilePointerEx(handleOf(fd_), start, nullptr, FILE_BEGIN) != 0;
}

} // namespace sheetjob::common
