#include "sheetjob/common/Folder.h"

#include "sheetjob/common/Path.h"
#include "sheetjob/common/SystemText.h"

#include <windows.h>

#include <algorithm>
#include <utility>

// The folders on Windows. A folder is held open by a handle, and its entries
// are named by the path the system gives that handle at each operation (every
// link in the user's path resolved): a folder renamed meanwhile is followed to
// where it went, and whatever is put in its old place (a junction, say) is never
// used. The handle shares deletion, as POSIX descriptors do, so that the run
// itself can move a folder it holds into place. No operation follows a reparse
// point at the entry itself: a link or junction is refused where a folder is
// expected, and removed or replaced as itself. Wine shows a Unix symbolic link
// to a folder as a reparse point but one to a file as the file itself; the
// checks of the path a handle really reached catch what attributes do not show.

namespace sheetjob::common {
namespace {

HANDLE handleOf(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }
NativeHandle nativeOf(HANDLE handle) { return reinterpret_cast<NativeHandle>(handle); }

} // namespace

void detail::closeNative(NativeHandle& handle) noexcept {
    if (handle != -1)
        CloseHandle(handleOf(handle));
    handle = -1;
}

namespace {

std::string lastErrorText() { return systemErrorText(GetLastError()); }

// The largest piece that one ReadFile or WriteFile call is given.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;
// Access of a folder handle: list it, read its attributes, and wait on it.
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
// A held folder may be written into, renamed and removed by others meanwhile.
constexpr DWORD kFolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Reparse tags no file system gives a real reparse point ("reserved zero"
// and "one"); Wine reports a symbolic link to a folder with tag 0.
constexpr DWORD kReservedTagZero = 0;
constexpr DWORD kReservedTagOne = 1;

/// A reparse point that names another place (symbolic link, junction), or
/// one whose kind is not told; not a cloud placeholder or a deduplicated file,
/// which are the files themselves.
bool isLinkTag(DWORD tag) {
    return IsReparseTagNameSurrogate(tag) || tag == kReservedTagZero || tag == kReservedTagOne;
}

EntryKind kindOfAttributes(DWORD attributes, DWORD tag) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && isLinkTag(tag))
        return EntryKind::Link;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return EntryKind::Folder;
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0)
        return EntryKind::Other;
    return EntryKind::File;
}

/// A name of one entry: not empty, not "." or "..", and nothing that Windows
/// would read as a separator, a drive, a stream or a wildcard.
bool isEntryName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
    });
}

/// The path the system gives an open handle (\\?\ form, every link in it
/// resolved); empty when it cannot be learnt.
std::wstring finalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(
            handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
}

bool sameWidePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

/// Attributes and reparse tag of an entry, looked at without following it.
bool entryInfo(const std::wstring& path, DWORD& attributes, DWORD& tag, DWORD& error) {
    WIN32_FIND_DATAW data{};
    const HANDLE find =
        FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    FindClose(find);
    attributes = data.dwFileAttributes;
    tag = data.dwReserved0;
    return true;
}

/// What the open handle is: a link reached (its own attributes, or a path that
/// is not the one asked for), a folder, or a file.
EntryKind kindOfHandle(HANDLE handle, const std::wstring& expectedPath) {
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info))
        return EntryKind::Other;
    const EntryKind kind = kindOfAttributes(info.FileAttributes, info.ReparseTag);
    if (kind == EntryKind::Link || !sameWidePath(finalPath(handle), expectedPath))
        return EntryKind::Link;
    if (kind == EntryKind::File && GetFileType(handle) != FILE_TYPE_DISK)
        return EntryKind::Other;
    return kind;
}

/// Clears the read-only attribute of a file (not of a link or a folder), so
/// that it can be removed or replaced as on POSIX, where that takes the
/// folder's permission, not the file's.
void allowReplacing(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0)
        SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
}

OVERLAPPED atOffset(std::size_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    position.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return position;
}

} // namespace

// ---------------------------------------------------------------------------
// OutputFile

bool OutputFile::writeAt(std::size_t offset, std::string_view bytes, std::string& error) {
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min(bytes.size(), kMaxTransfer));
        OVERLAPPED position = atOffset(offset);
        DWORD written = 0;
        if (!WriteFile(handleOf(fd_), bytes.data(), piece, &written, &position)) {
            error = lastErrorText();
            return false;
        }
        if (written == 0) { // a write that takes nothing is a full disk too
            error = systemErrorText(ERROR_DISK_FULL);
            return false;
        }
        bytes.remove_prefix(written);
        offset += written;
    }
    return true;
}

bool OutputFile::readAt(std::size_t offset, std::size_t size, std::string& out,
                        std::string& error) {
    out.resize(size);
    std::size_t got = 0;
    while (got < size) {
        const DWORD piece = static_cast<DWORD>(std::min(size - got, kMaxTransfer));
        OVERLAPPED position = atOffset(offset + got);
        DWORD n = 0;
        if (!ReadFile(handleOf(fd_), out.data() + got, piece, &n, &position)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            error = lastErrorText();
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    out.resize(got);
    return true;
}

bool OutputFile::close(std::string& error) {
    if (fd_ == -1)
        return true;
    const bool closed = CloseHandle(handleOf(fd_)) != 0;
    fd_ = -1;
    if (!closed) {
        error = lastErrorText();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// FileLock and Folder

namespace {

/// The system's path of the entry `name` of the folder held by `folder`;
/// empty (naming nothing) when the folder's own path cannot be learnt.
std::wstring entryPath(NativeHandle folder, std::string_view name) {
    const std::wstring path = finalPath(handleOf(folder));
    return path.empty() ? path : path + L'\\' + toWide(name);
}

} // namespace

std::string Folder::pathOf(std::string_view name) const {
    std::string path = path_;
    if (!path.empty() && path.back() != kPathSeparator && path.back() != '/')
        path += kPathSeparator;
    path += name;
    return path;
}

std::optional<Folder> Folder::open(const std::string& path, std::string& error, bool* missing) {
    if (missing)
        *missing = false;
    if (path.empty()) {
        error = systemErrorText(ERROR_PATH_NOT_FOUND);
        if (missing)
            *missing = true;
        return std::nullopt;
    }
    const HANDLE handle = CreateFileW(toWide(path).c_str(), kFolderAccess, kFolderSharing, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        error = systemErrorText(code);
        if (missing)
            // As POSIX's ENOTDIR: a file named as a folder ("plain\\").
            *missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
                       code == ERROR_DIRECTORY || code == ERROR_INVALID_NAME;
        return std::nullopt;
    }
    Folder folder(nativeOf(handle), path);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error = "it is not a folder";
        if (missing) // as POSIX says of a file in a folder's place
            *missing = true;
        return std::nullopt;
    }
    return folder;
}

EntryKind Folder::kindOf(std::string_view name) const {
    if (!isEntryName(name))
        return EntryKind::Other;
    DWORD attributes = 0, tag = 0, error = 0;
    if (!entryInfo(entryPath(fd_, name), attributes, tag, error))
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EntryKind::Missing
                                                                              : EntryKind::Other;
    return kindOfAttributes(attributes, tag);
}

std::optional<Folder> Folder::openSubfolder(std::string_view name, std::string& error) const {
    switch (kindOf(name)) {
    case EntryKind::Folder:
        break;
    case EntryKind::Link:
        error = "it is a symbolic link";
        return std::nullopt;
    case EntryKind::Missing:
        error = systemErrorText(ERROR_FILE_NOT_FOUND);
        return std::nullopt;
    default:
        error = "it is not a folder";
        return std::nullopt;
    }
    const std::wstring path = entryPath(fd_, name);
    const HANDLE handle =
        CreateFileW(path.c_str(), kFolderAccess, kFolderSharing, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastErrorText();
        return std::nullopt;
    }
    Folder folder(nativeOf(handle), pathOf(name));
    // What the handle reached, checked again: a link put there meanwhile, or
    // one that the attributes did not show, is refused all the same.
    switch (kindOfHandle(handle, path)) {
    case EntryKind::Folder:
        return folder;
    case EntryKind::Link:
        error = "it is a symbolic link";
        return std::nullopt;
    default:
        error = "it is not a folder";
        return std::nullopt;
    }
}

bool Folder::makeSubfolder(std::string_view name, std::string& error) const {
    if (!isEntryName(name)) {
        error = systemErrorText(ERROR_INVALID_NAME);
        return false;
    }
    if (!CreateDirectoryW(entryPath(fd_, name).c_str(), nullptr)) {
        error = lastErrorText();
        return false;
    }
    return true;
}

std::vector<FolderEntry> Folder::entries() const {
    std::vector<FolderEntry> list;
    const std::wstring folder = finalPath(handleOf(fd_));
    if (folder.empty())
        return list;
    const std::wstring pattern = folder + L"\\*";
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return list;
    do {
        const std::wstring_view wide = data.cFileName;
        if (wide == L"." || wide == L"..")
            continue;
        // A name that UTF-8 cannot spell cannot be named back: it is left alone.
        if (auto name = fromWide(wide))
            list.push_back(
                {std::move(*name), kindOfAttributes(data.dwFileAttributes, data.dwReserved0)});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return list;
}

bool Folder::removeEntry(std::string_view name) const {
    const EntryKind kind = kindOf(name);
    if (kind == EntryKind::Missing || kind == EntryKind::Folder || !isEntryName(name))
        return false;
    const std::wstring path = entryPath(fd_, name);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    // A link to a folder (junction, folder symbolic link) goes as a folder
    // entry: the link itself, never what it names.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return kind == EntryKind::Link && RemoveDirectoryW(path.c_str()) != 0;
    allowReplacing(path);
    return DeleteFileW(path.c_str()) != 0;
}

bool Folder::removeEmptySubfolder(std::string_view name, std::string& error) const {
    // Only a folder itself: RemoveDirectoryW would remove a junction too.
    if (kindOf(name) != EntryKind::Folder) {
        error = "it is not a folder";
        return false;
    }
    if (!RemoveDirectoryW(entryPath(fd_, name).c_str())) {
        error = lastErrorText();
        return false;
    }
    return true;
}

namespace {

/// True when the folder at `path` holds no entry.
bool emptyFolder(const std::wstring& path) {
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool empty = true;
    do {
        const std::wstring_view name = data.cFileName;
        empty = name == L"." || name == L"..";
    } while (empty && FindNextFileW(find, &data));
    FindClose(find);
    return empty;
}

} // namespace

bool Folder::moveSubfolder(std::string_view from, std::string_view to, std::string& error) const {
    if (!isEntryName(from) || !isEntryName(to)) {
        error = systemErrorText(ERROR_INVALID_NAME);
        return false;
    }
    const std::wstring target = entryPath(fd_, to);
    // No move replaces a folder, and an empty folder that is still open (the
    // run holds it) keeps its name until it is closed: the empty folder steps
    // aside first, under a name of its own, and goes once the move is done.
    // (A run killed in between leaves it empty beside; the next move removes it.)
    const std::string aside = std::string(to) + ".sheetjob-old";
    const std::wstring asidePath = entryPath(fd_, aside);
    const EntryKind kind = kindOf(to);
    if (kind != EntryKind::Missing && kind != EntryKind::Folder) {
        error = "it is not a folder";
        return false;
    }
    if (kind == EntryKind::Folder) {
        if (!emptyFolder(target)) {
            error = systemErrorText(ERROR_DIR_NOT_EMPTY);
            return false;
        }
        if (kindOf(aside) == EntryKind::Folder)
            removeEmptySubfolder(aside, error);
        if (!MoveFileExW(target.c_str(), asidePath.c_str(), 0)) {
            error = lastErrorText();
            return false;
        }
    }
    if (!MoveFileExW(entryPath(fd_, from).c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        error = lastErrorText();
        if (kind == EntryKind::Folder) // the empty folder back in its place
            MoveFileExW(asidePath.c_str(), target.c_str(), 0);
        return false;
    }
    if (kind == EntryKind::Folder)
        RemoveDirectoryW(asidePath.c_str());
    return true;
}

bool Folder::readFile(std::string_view name, std::size_t maxBytes, std::string& content) const {
    if (!isEntryName(name))
        return false;
    const std::wstring path = entryPath(fd_, name);
    const HANDLE handle = CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    OutputFile file(nativeOf(handle)); // closes the handle on every path
    LARGE_INTEGER size{};
    if (kindOfHandle(handle, path) != EntryKind::File || !GetFileSizeEx(handle, &size) ||
        static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        return false;
    std::string error;
    // One byte more than the size: a file that grew meanwhile is not taken whole.
    const auto bytes = static_cast<std::size_t>(size.QuadPart);
    return file.readAt(0, bytes + 1, content, error) && content.size() == bytes;
}

std::optional<OutputFile> Folder::createFile(std::string_view name, std::string& error) const {
    if (!isEntryName(name)) {
        error = systemErrorText(ERROR_INVALID_NAME);
        return std::nullopt;
    }
    // CREATE_NEW fails on any entry of the name, a dangling link included.
    const HANDLE handle =
        CreateFileW(entryPath(fd_, name).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastErrorText();
        return std::nullopt;
    }
    return OutputFile(nativeOf(handle));
}

bool Folder::syncFiles(const std::vector<std::string>& names, std::string& error) const {
    // Windows has no call that syncs a whole volume without administrator
    // rights: each file's data is flushed through a handle of its own.
    for (const std::string& name : names) {
        if (!isEntryName(name)) {
            error = systemErrorText(ERROR_INVALID_NAME);
            return false;
        }
        const HANDLE handle =
            CreateFileW(entryPath(fd_, name).c_str(), GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = pathOf(name) + ": " + lastErrorText();
            return false;
        }
        const bool flushed = FlushFileBuffers(handle) != 0;
        const DWORD code = GetLastError();
        CloseHandle(handle);
        if (!flushed) {
            error = pathOf(name) + ": " + systemErrorText(code);
            return false;
        }
    }
    return true;
}

bool Folder::syncEntries(std::string& /*error*/) const {
    // A folder needs no sync of its own on Windows: every rename is written
    // through to the disk before it returns (MOVEFILE_WRITE_THROUGH), and the
    // file system logs the other changes of its entries itself.
    return true;
}

bool Folder::rename(std::string_view from, std::string_view to, std::string& error) const {
    if (!isEntryName(from) || !isEntryName(to)) {
        error = systemErrorText(ERROR_INVALID_NAME);
        return false;
    }
    const std::wstring fromPath = entryPath(fd_, from);
    const std::wstring toPath = entryPath(fd_, to);
    // A move cannot replace a folder entry: a link to a folder under the
    // target name is removed first (as a link); a real folder stays and makes
    // the move fail.
    if (kindOf(to) == EntryKind::Link) {
        const DWORD attributes = GetFileAttributesW(toPath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            RemoveDirectoryW(toPath.c_str());
    }
    allowReplacing(toPath);
    if (!MoveFileExW(fromPath.c_str(), toPath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = lastErrorText();
        return false;
    }
    return true;
}

std::optional<FileLock> Folder::lock(std::string_view name, bool& busy, std::string& error) const {
    busy = false;
    // Only a regular file (or none yet) serves as a lock: looked at by name
    // first, and again through the handle, which is what counts.
    const auto refused = [&error](EntryKind kind) {
        if (kind == EntryKind::File || kind == EntryKind::Missing)
            return false;
        error = kind == EntryKind::Link ? "it is a symbolic link" : "it is not a regular file";
        return true;
    };
    if (refused(kindOf(name)))
        return std::nullopt;
    // Read access is enough to lock, so a lock file without write permission
    // serves as well. Every kind of sharing: the second run must reach the
    // lock to learn that it is held.
    const std::wstring path = entryPath(fd_, name);
    const HANDLE handle = CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastErrorText();
        return std::nullopt;
    }
    FileLock lock(nativeOf(handle));
    if (refused(kindOfHandle(handle, path)))
        return std::nullopt;
    OVERLAPPED whole{};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                    MAXDWORD, &whole)) {
        const DWORD code = GetLastError();
        busy = code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING;
        error =
            busy ? std::string("another run is writing into this folder") : systemErrorText(code);
        return std::nullopt;
    }
    return lock;
}

} // namespace sheetjob::common
