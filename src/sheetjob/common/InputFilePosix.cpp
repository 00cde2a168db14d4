#include "sheetjob/common/InputFile.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetjob::common {

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
    }
    return *this;
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<InputFile> InputFile::open(const std::string& path, Refusal& refusal,
                                         std::string& error) {
    // Opened without waiting: a FIFO or a device must not hold the run.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        refusal = Refusal::CannotOpen;
        error = std::strerror(errno);
        return std::nullopt;
    }
    InputFile file(fd, 0);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        refusal = Refusal::CannotOpen;
        error = std::strerror(errno);
        return std::nullopt;
    }
    if (S_ISDIR(st.st_mode) || !S_ISREG(st.st_mode)) {
        refusal = S_ISDIR(st.st_mode) ? Refusal::Folder : Refusal::NotRegular;
        return std::nullopt;
    }
    file.size_ = static_cast<std::uint64_t>(st.st_size);
    return file;
}

bool InputFile::read(char* data, std::size_t size, std::size_t& got) {
    for (;;) {
        const ssize_t n = ::read(fd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        got = n > 0 ? static_cast<std::size_t>(n) : 0;
        return n >= 0;
    }
}

bool InputFile::rewind() { return ::lseek(fd_, 0, SEEK_SET) == 0; }

} // namespace sheetjob::common
