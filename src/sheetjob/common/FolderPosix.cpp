#include "sheetjob/common/Folder.h"

#include "sheetjob/common/Path.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetjob::common {
namespace {

std::string systemMessage(int error) { return std::strerror(error); }

// Permissions of the files and folders a run makes; the user's umask applies.
constexpr mode_t kFileMode = 0666;
constexpr mode_t kFolderMode = 0777;

EntryKind kindOfMode(mode_t mode) {
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISLNK(mode))
        return EntryKind::Link;
    return EntryKind::Other;
}

} // namespace

void detail::closeNative(NativeHandle& handle) noexcept {
    if (handle >= 0)
        ::close(handle);
    handle = -1;
}

// ---------------------------------------------------------------------------
// OutputFile

std::string Folder::pathOf(std::string_view name) const {
    std::string path = path_;
    if (!path.empty() && path.back() != kPathSeparator)
        path += kPathSeparator;
    path += name;
    return path;
}

bool OutputFile::writeAt(std::size_t offset, std::string_view bytes, std::string& error) {
    while (!bytes.empty()) {
        const ssize_t written =
            ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            // A write that takes nothing without an error is a full device too.
            error = systemMessage(written < 0 ? errno : ENOSPC);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += static_cast<std::size_t>(written);
    }
    return true;
}

bool OutputFile::readAt(std::size_t offset, std::size_t size, std::string& out,
                        std::string& error) {
    out.resize(size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n =
            ::pread(fd_, out.data() + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = systemMessage(errno);
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return true;
}

bool OutputFile::close(std::string& error) {
    if (fd_ < 0)
        return true;
    const int result = ::close(fd_);
    fd_ = -1;
    // A close interrupted by a signal has still released the descriptor.
    if (result != 0 && errno != EINTR) {
        error = systemMessage(errno);
        return false;
    }
    return true;
}

std::optional<Folder> Folder::open(const std::string& path, std::string& error, bool* missing) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = systemMessage(errno);
        if (missing)
            *missing = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    return Folder(fd, path);
}

EntryKind Folder::kindOf(std::string_view name) const {
    struct stat st {};
    if (::fstatat(fd_, std::string(name).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? EntryKind::Missing : EntryKind::Other;
    return kindOfMode(st.st_mode);
}

std::optional<Folder> Folder::openSubfolder(std::string_view name, std::string& error) const {
    // O_NOFOLLOW refuses a link even when it points to a folder.
    const int fd =
        ::openat(fd_, std::string(name).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ELOOP || errno == ENOTDIR
                    ? std::string(kindOf(name) == EntryKind::Link ? "it is a symbolic link"
                                                                  : "it is not a folder")
                    : systemMessage(errno);
        return std::nullopt;
    }
    return Folder(fd, pathOf(name));
}

bool Folder::makeSubfolder(std::string_view name, std::string& error) const {
    if (::mkdirat(fd_, std::string(name).c_str(), kFolderMode) != 0) {
        error = systemMessage(errno);
        return false;
    }
    return true;
}

std::vector<FolderEntry> Folder::entries() const {
    std::vector<FolderEntry> list;
    // The listing reads through its own descriptor, so this one keeps its place.
    const int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return list;
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return list;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        EntryKind kind = EntryKind::Other;
        switch (entry->d_type) {
        case DT_DIR:
            kind = EntryKind::Folder;
            break;
        case DT_REG:
            kind = EntryKind::File;
            break;
        case DT_LNK:
            kind = EntryKind::Link;
            break;
        case DT_UNKNOWN: // some file systems do not say; ask
            kind = kindOf(name);
            break;
        default:
            break;
        }
        list.push_back({std::string(name), kind});
    }
    ::closedir(dir);
    return list;
}

bool Folder::removeEntry(std::string_view name) const {
    // Without AT_REMOVEDIR a folder is refused; a link is removed itself.
    return ::unlinkat(fd_, std::string(name).c_str(), 0) == 0;
}

bool Folder::removeEmptySubfolder(std::string_view name, std::string& error) const {
    if (::unlinkat(fd_, std::string(name).c_str(), AT_REMOVEDIR) != 0) {
        error = systemMessage(errno);
        return false;
    }
    return true;
}

bool Folder::moveSubfolder(std::string_view from, std::string_view to, std::string& error) const {
    // rename replaces an empty folder in one step and refuses one with entries.
    if (kindOf(to) != EntryKind::Missing && kindOf(to) != EntryKind::Folder) {
        error = "it is not a folder";
        return false;
    }
    return rename(from, to, error);
}

std::optional<OutputFile> Folder::createFile(std::string_view name, std::string& error) const {
    const int fd = ::openat(fd_, std::string(name).c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        error = systemMessage(errno);
        return std::nullopt;
    }
    return OutputFile(fd);
}

bool Folder::syncFiles(const std::vector<std::string>& names, std::string& error) const {
    if (names.empty())
        return true;
    // One syncfs covers every file of the file system: a job's hundreds of
    // files cost one synchronisation instead of one each.
    if (::syncfs(fd_) != 0) {
        error = systemMessage(errno);
        return false;
    }
    return true;
}

bool Folder::syncEntries(std::string& error) const {
    if (::fsync(fd_) != 0 && errno != EINVAL) { // EINVAL: a file system without folder syncs
        error = systemMessage(errno);
        return false;
    }
    return true;
}

bool Folder::readFile(std::string_view name, std::size_t maxBytes, std::string& content) const {
    // Non-blocking: a FIFO planted under the name must not hold the run.
    const int fd =
        ::openat(fd_, std::string(name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    OutputFile file(fd); // closes the descriptor on every path
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        return false;
    std::string error;
    // One byte more than the size: a file that grew meanwhile is not taken whole.
    return file.readAt(0, static_cast<std::size_t>(st.st_size) + 1, content, error) &&
           content.size() == static_cast<std::size_t>(st.st_size);
}

bool Folder::rename(std::string_view from, std::string_view to, std::string& error) const {
    if (::renameat(fd_, std::string(from).c_str(), fd_, std::string(to).c_str()) != 0) {
        error = systemMessage(errno);
        return false;
    }
    return true;
}

std::optional<FileLock> Folder::lock(std::string_view name, bool& busy, std::string& error) const {
    busy = false;
    // Non-blocking open: a FIFO planted under the name must not hold the run.
    // Read access is all a lock needs, so a lock file the user may not write
    // (made by another user) does not refuse the run.
    const int fd = ::openat(fd_, std::string(name).c_str(),
                            O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        error = errno == ELOOP ? std::string("it is a symbolic link") : systemMessage(errno);
        return std::nullopt;
    }
    FileLock lock(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "it is not a regular file";
        return std::nullopt;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        busy = errno == EWOULDBLOCK;
        error =
            busy ? std::string("another run is writing into this folder") : systemMessage(errno);
        return std::nullopt;
    }
    return lock;
}

} // namespace sheetjob::common
