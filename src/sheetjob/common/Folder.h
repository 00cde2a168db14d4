#pragma once
// Folders held open by handle rather than named by path. Every operation names
// an entry of its own folder and never follows a symbolic link: a link planted
// in a result folder is removed or replaced as a link, never written through,
// so a run reads, writes and removes nothing outside the folders it was given.
// Names and paths are UTF-8 on every platform; the Windows implementation
// turns them into UTF-16 at the system's interface.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheetjob::common {

/// The suffix of the names that files carry until they are complete. Leftovers
/// of a run that was killed are recognised by it and removed by the next run.
constexpr std::string_view kPartSuffix = ".sheetjob-part";

/// An open file or folder of the system: a descriptor on POSIX, a HANDLE (as
/// its integer value) on Windows; -1 is none (INVALID_HANDLE_VALUE).
#ifdef _WIN32
using NativeHandle = std::intptr_t;
#else
using NativeHandle = int;
#endif

namespace detail {
/// Closes a file or folder the system opened, and marks it none (each
/// platform's file has its own).
void closeNative(NativeHandle& handle) noexcept;
} // namespace detail

/// What an entry of a folder is, looked at without following a link.
enum class EntryKind { Missing, Folder, File, Link, Other };

/// A new file opened for writing (and reading back what was written); closed
/// on destruction.
class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    /// Writes all bytes at the offset; false (with `error`) when not all were written.
    bool writeAt(std::size_t offset, std::string_view bytes, std::string& error);
    /// Reads up to `size` bytes at the offset into `out`; false on a read error.
    bool readAt(std::size_t offset, std::size_t size, std::string& out, std::string& error);
    /// Closes the file; false when the system reports that the data could not be kept.
    bool close(std::string& error);

  private:
    friend class Folder;
    explicit OutputFile(NativeHandle descriptor) : fd_(descriptor) {}
    NativeHandle fd_ = -1;
};

/// An exclusive advisory lock on a file, held until the object goes.
class FileLock {
  public:
    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

  private:
    friend class Folder;
    explicit FileLock(NativeHandle descriptor) : fd_(descriptor) {}
    NativeHandle fd_ = -1;
};

class Staging;

/// One entry of a folder listing.
struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
};

class Folder {
  public:
    Folder() = default;
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    /// Opens the folder at `path`. The path may pass through links (it is the
    /// user's own); only what lies inside the folder is guarded. Nothing when
    /// it cannot be opened: `error` says why, and `missing` (when given) tells
    /// whether that is because no folder of that name exists.
    static std::optional<Folder> open(const std::string& path, std::string& error,
                                      bool* missing = nullptr);

    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }
    /// The path the folder was opened by, for messages.
    [[nodiscard]] const std::string& path() const { return path_; }
    /// path() joined with an entry name, for messages.
    [[nodiscard]] std::string pathOf(std::string_view name) const;

    /// What the entry is, without following a link.
    [[nodiscard]] EntryKind kindOf(std::string_view name) const;
    /// Opens the subfolder `name`; a link or anything but a folder is refused.
    std::optional<Folder> openSubfolder(std::string_view name, std::string& error) const;
    /// Makes the subfolder `name`; false (with `error`) when it cannot be made.
    bool makeSubfolder(std::string_view name, std::string& error) const;
    /// Every entry, subfolders included; an unreadable folder gives none.
    [[nodiscard]] std::vector<FolderEntry> entries() const;
    /// Removes the entry `name` if it is not a folder; a link goes as a link.
    bool removeEntry(std::string_view name) const;
    /// Removes the subfolder `name` if it is empty.
    bool removeEmptySubfolder(std::string_view name, std::string& error) const;
    /// Renames the subfolder `from` to `to`, which must be missing or an empty
    /// folder (then it is replaced). False (with `error`) otherwise.
    bool moveSubfolder(std::string_view from, std::string_view to, std::string& error) const;

    /// Makes the subfolder `name` afresh for files written whole into it: an
    /// entry of that name left by an earlier run is removed first (a link as a
    /// link; a folder with the files in it, never what lies beyond a link). In
    /// a fresh folder files are made under their own names, since nothing is
    /// under a real name until the folder itself is moved into place.
    std::optional<Folder> makeFreshSubfolder(std::string_view name, std::string& error) const;
    /// Removes the subfolder `name` with the files in it (not with folders in it).
    bool removeFolderWithFiles(std::string_view name, std::string& error) const;
    /// The name a file is written under until it is complete: its own in a
    /// fresh folder, otherwise with the temporary suffix.
    [[nodiscard]] std::string temporaryName(std::string_view name) const;
    /// Creates the new file `name` for writing. Any existing entry of that
    /// name, a link included, makes it fail: nothing is ever written through
    /// a link or into a file this run did not make.
    std::optional<OutputFile> createFile(std::string_view name, std::string& error) const;
    /// Writes the whole file `name`: under its temporary name first, made
    /// exclusively, then renamed into place, so that the name holds either
    /// the old entry or the complete new file (an entry there that is not a
    /// folder, a link included, is replaced). False (with `error`) on failure.
    bool writeFile(std::string_view name, std::string_view content, std::string& error) const;
    /// Reads the whole regular file `name` into `content`; false when it is
    /// missing, a link or anything but a regular file, larger than `maxBytes`,
    /// or cannot be read.
    bool readFile(std::string_view name, std::size_t maxBytes, std::string& content) const;
    /// Renames the entry `from` to `to`, replacing a `to` that is not a folder
    /// (a link at `to` is replaced, not followed).
    bool rename(std::string_view from, std::string_view to, std::string& error) const;
    /// Takes an exclusive advisory lock on the file `name`, making it when it is
    /// missing; the file is only opened for reading, so a lock file made by
    /// another user serves as well. Nothing when the file is a link or not a
    /// regular file, or when another process holds the lock (then `busy` is true).
    std::optional<FileLock> lock(std::string_view name, bool& busy, std::string& error) const;

    /// Puts the complete file `temporary` in place as `name`: renamed at once,
    /// or, when the folder is staged, by the staging's commit. `completesUnit`
    /// is false for every file of a unit (the members of one layer) but its
    /// last: a unit is put in place whole or not at all.
    bool putInPlace(std::string_view temporary, std::string_view name, std::string& error,
                    bool completesUnit = true) const;
    /// Undoes putInPlace: removes `name` again, or drops the staged file.
    void takeBack(std::string_view temporary, std::string_view name) const;
    /// From now on, puts files in place through `staging` (null: at once).
    /// The staging must outlive the folder's use of it.
    void stageInto(Staging* staging) { staging_ = staging; }

    /// Makes the data of the files written into the folder durable. Where the
    /// system can (Linux), one call syncs the whole file system holding the
    /// folder rather than one call per file; `names` are the files that must
    /// be covered.
    bool syncFiles(const std::vector<std::string>& names, std::string& error) const;
    /// Makes the folder's entries (names made, renamed, removed) durable.
    bool syncEntries(std::string& error) const;

  private:
    Folder(NativeHandle descriptor, std::string path) : fd_(descriptor), path_(std::move(path)) {}
    NativeHandle fd_ = -1;
    std::string path_;
    Staging* staging_ = nullptr;
    bool fresh_ = false; ///< files are made under their own names
};

/// Files put in place at the end of a job rather than one by one, so that a
/// power cut after a successful run finds every file whole: the data of all
/// of them is synced first (about one synchronisation for the whole job), then
/// they are renamed into place in the order they came, unit by unit, and the
/// folders are synced last. What is never committed is removed.
class Staging {
  public:
    Staging() = default;
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;
    ~Staging(); ///< removes the temporary files of what was not committed

    /// Adds the complete file `temporary` of `folder`, to become `name`.
    void add(const Folder& folder, std::string temporary, std::string name, bool completesUnit);
    /// Drops a file added and not yet committed, and removes it.
    void drop(const Folder& folder, std::string_view temporary);
    /// Syncs, renames and syncs as described. A unit whose rename fails is
    /// taken back whole and the others still go in place; false (with the
    /// first failure in `error`) when anything failed.
    bool commit(std::string& error);

  private:
    struct Entry {
        const Folder* folder;
        std::string temporary;
        std::string name;
        bool completesUnit;
    };
    std::vector<Entry> entries_;
};

} // namespace sheetjob::common
