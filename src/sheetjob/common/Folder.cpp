// The parts of the folder operations that are the same on every platform:
// owning handles, whole files written under a temporary name and put in
// place, at once or through a job's staging. FolderPosix.cpp and
// FolderWin32.cpp hold the calls to the system.

#include "sheetjob/common/Folder.h"

#include "sheetjob/common/Display.h"

#include <algorithm>
#include <utility>

namespace sheetjob::common {

OutputFile::OutputFile(OutputFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        std::string ignored;
        close(ignored);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

OutputFile::~OutputFile() {
    std::string ignored;
    close(ignored);
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        detail::closeNative(fd_); // closing the handle releases the lock
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileLock::~FileLock() { detail::closeNative(fd_); }

Folder::Folder(Folder&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)),
      staging_(std::exchange(other.staging_, nullptr)), fresh_(std::exchange(other.fresh_, false)) {
}

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        detail::closeNative(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        staging_ = std::exchange(other.staging_, nullptr);
        fresh_ = std::exchange(other.fresh_, false);
    }
    return *this;
}

Folder::~Folder() { detail::closeNative(fd_); }

bool Folder::writeFile(std::string_view name, std::string_view content, std::string& error) const {
    const std::string temporary = temporaryName(name);
    auto file = createFile(temporary, error);
    if (!file)
        return false;
    if (!file->writeAt(0, content, error) || !file->close(error) ||
        !putInPlace(temporary, name, error)) {
        removeEntry(temporary);
        return false;
    }
    return true;
}

std::string Folder::temporaryName(std::string_view name) const {
    std::string temporary(name);
    if (!fresh_)
        temporary += kPartSuffix;
    return temporary;
}

bool Folder::removeFolderWithFiles(std::string_view name, std::string& error) const {
    auto folder = openSubfolder(name, error);
    if (!folder)
        return false;
    for (const FolderEntry& e : folder->entries()) {
        if (e.kind == EntryKind::Folder) {
            error = "it holds the folder " + quoted(e.name);
            return false;
        }
        if (!folder->removeEntry(e.name)) {
            error = "cannot remove " + quoted(e.name);
            return false;
        }
    }
    return removeEmptySubfolder(name, error);
}

std::optional<Folder> Folder::makeFreshSubfolder(std::string_view name, std::string& error) const {
    switch (kindOf(name)) {
    case EntryKind::Missing:
        break;
    case EntryKind::Folder:
        if (!removeFolderWithFiles(name, error))
            return std::nullopt;
        break;
    default:
        if (!removeEntry(name)) {
            error = "cannot remove what stands in its place";
            return std::nullopt;
        }
    }
    if (!makeSubfolder(name, error))
        return std::nullopt;
    auto folder = openSubfolder(name, error);
    if (folder)
        folder->fresh_ = true;
    return folder;
}

bool Folder::putInPlace(std::string_view temporary, std::string_view name, std::string& error,
                        bool completesUnit) const {
    if (temporary == name)
        return true; // made under its own name in a fresh folder
    if (staging_ == nullptr)
        return rename(temporary, name, error);
    staging_->add(*this, std::string(temporary), std::string(name), completesUnit);
    return true;
}

void Folder::takeBack(std::string_view temporary, std::string_view name) const {
    if (staging_ != nullptr && temporary != name)
        staging_->drop(*this, temporary);
    else
        removeEntry(name);
}

Staging::~Staging() {
    for (const Entry& e : entries_)
        e.folder->removeEntry(e.temporary);
}

void Staging::add(const Folder& folder, std::string temporary, std::string name,
                  bool completesUnit) {
    entries_.push_back({&folder, std::move(temporary), std::move(name), completesUnit});
}

void Staging::drop(const Folder& folder, std::string_view temporary) {
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.folder == &folder && e.temporary == temporary;
    });
    if (it == entries_.end())
        return;
    folder.removeEntry(it->temporary);
    entries_.erase(it);
}

bool Staging::commit(std::string& error) {
    std::vector<Entry> entries = std::move(entries_);
    entries_.clear();
    // The folders in the order they first appear, each with its files.
    std::vector<const Folder*> folders;
    for (const Entry& e : entries)
        if (std::find(folders.begin(), folders.end(), e.folder) == folders.end())
            folders.push_back(e.folder);

    const auto firstFailure = [&error](const std::string& what) {
        if (error.empty())
            error = what;
    };
    error.clear();
    bool synced = true;
    for (const Folder* f : folders) {
        std::vector<std::string> names;
        for (const Entry& e : entries)
            if (e.folder == f)
                names.push_back(e.temporary);
        std::string why;
        if (!f->syncFiles(names, why)) {
            firstFailure("cannot make the files of " + f->path() + " durable: " + why);
            synced = false;
        }
    }
    if (!synced) {
        // Data that may not be on the disk never goes under a real name.
        for (const Entry& e : entries)
            e.folder->removeEntry(e.temporary);
        return false;
    }

    std::size_t unitStart = 0;
    bool unitFailed = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        std::string why;
        if (unitFailed) {
            e.folder->removeEntry(e.temporary);
        } else if (!e.folder->rename(e.temporary, e.name, why)) {
            firstFailure("cannot put " + e.folder->pathOf(e.name) + " in place: " + why);
            unitFailed = true;
            e.folder->removeEntry(e.temporary);
            for (std::size_t j = unitStart; j < i; ++j) // the unit's files already in place
                entries[j].folder->removeEntry(entries[j].name);
        }
        if (e.completesUnit) {
            unitStart = i + 1;
            unitFailed = false;
        }
    }

    for (const Folder* f : folders) {
        std::string why;
        if (!f->syncEntries(why))
            firstFailure("cannot make the entries of " + f->path() + " durable: " + why);
    }
    return error.empty();
}

} // namespace sheetjob::common
