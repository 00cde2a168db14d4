#pragma once
// A small file read whole by the program (the argument file), opened by its
// path and refused at once unless it is a regular file: a pipe, a socket, a
// device or a folder given in its place is never waited on or read.

#include "sheetjob/common/Folder.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace sheetjob::common {

class InputFile {
  public:
    /// Why a file was not opened.
    enum class Refusal { CannotOpen, Folder, NotRegular };

    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    /// Opens the regular file at `path` (UTF-8) for reading. Nothing when it
    /// cannot be opened or is not a regular file; `refusal` says which, and
    /// `error` the system's reason when it could not be opened.
    static std::optional<InputFile> open(const std::string& path, Refusal& refusal,
                                         std::string& error);

    /// The size when it was opened.
    [[nodiscard]] std::uint64_t size() const { return size_; }
    /// Up to `size` bytes from where the last read ended; 0 at the end. False on
    /// a read error.
    bool read(char* data, std::size_t size, std::size_t& got);
    /// Back to the first byte; false when that fails.
    bool rewind();

  private:
    InputFile(NativeHandle handle, std::uint64_t size) : fd_(handle), size_(size) {}
    NativeHandle fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace sheetjob::common
