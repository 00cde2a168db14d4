#pragma once
// The files of one layer while the shapefile library writes them. The library
// does its own seeking and rewriting (headers completed on close); here every
// member is kept in memory, up to a bounded window beyond which it is written
// through to a temporary file beside its final name. Nothing reaches the disk
// under a layer's real name until the whole layer is complete: then each
// member is written out in one piece and renamed into place, the main file
// last. A full disk, a refused write or any error the library reports lands
// in one place, the member's failure, and fails the layer.
//
// Internal to the shapefile writer.

#include "sheetjob/common/Folder.h"
#include "sheetjob/shapefile/ShapeLayer.h"

#include <shapefil.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sheetjob::shapefile::detail {

/// Bytes of a member kept in memory before they are written through. Layers
/// are mostly far smaller; the biggest graticules stream through in pieces of
/// this size, so memory stays bounded whatever the job.
constexpr std::size_t kWindowBytes = 256 * 1024;

class MemberFile {
  public:
    MemberFile(const common::Folder& folder, std::string finalName);
    MemberFile(const MemberFile&) = delete;
    MemberFile& operator=(const MemberFile&) = delete;
    ~MemberFile(); ///< removes the temporary file unless the member was renamed into place

    /// Starts the member anew (opened for writing from scratch).
    void truncate();
    /// File-like access at the current position; a failed member takes nothing.
    std::size_t write(const void* data, std::size_t size);
    std::size_t read(void* data, std::size_t size);
    /// fseek semantics; false for a position before the start.
    bool seek(long long offset, int whence);
    [[nodiscard]] std::size_t tell() const { return position_; }

    /// Every byte onto the temporary file, which is then closed. False on failure.
    bool finish();
    /// Renames the finished temporary file to the final name. False on failure.
    bool install();
    /// Removes the member from its final name again (a layer undone).
    void uninstall();

    /// Marks the member failed (for an error the library reports); the first reason stays.
    void fail(const std::string& reason);
    [[nodiscard]] bool failed() const { return !error_.empty(); }
    [[nodiscard]] const std::string& error() const { return error_; }
    [[nodiscard]] const std::string& finalName() const { return finalName_; }

  private:
    bool spill();
    bool ensureFile();

    const common::Folder& folder_;
    std::string finalName_;
    std::string tempName_;
    std::optional<common::OutputFile> file_; ///< the temporary file, once made
    bool created_ = false;        ///< the temporary file exists on disk under its temporary name
    bool installed_ = false;      ///< renamed to the final name
    std::string window_;          ///< the newest bytes from windowStart_ on
    std::size_t windowStart_ = 0; ///< file offset of window_[0]
    std::size_t size_ = 0;        ///< logical size of the member
    std::size_t position_ = 0;    ///< current position
    std::string error_;
};

/// The three members that the shapefile library writes (.shp, .shx, .dbf),
/// reachable from the library's file hooks under a name of their own.
class LibraryFiles {
  public:
    LibraryFiles(const common::Folder& folder, const std::string& baseName);
    LibraryFiles(const LibraryFiles&) = delete;
    LibraryFiles& operator=(const LibraryFiles&) = delete;
    ~LibraryFiles();

    /// The name to hand to the library instead of a path; the library appends
    /// ".shp", ".shx" and ".dbf" to it, and the hooks find the members by it.
    [[nodiscard]] const std::string& libraryName() const { return libraryName_; }
    MemberFile& shp() { return *shp_; }
    MemberFile& shx() { return *shx_; }
    MemberFile& dbf() { return *dbf_; }
    /// The member the library names (".shp", ".shx", ".dbf" after the library
    /// name), or null.
    MemberFile* member(std::string_view libraryFileName);
    /// The error of the first failed member ("" when none failed).
    [[nodiscard]] std::string firstError() const;

  private:
    unsigned long number_ = 0; ///< the layer's number among those open
    std::string libraryName_;
    std::unique_ptr<MemberFile> shp_, shx_, dbf_;
};

/// The library's file hooks over the registered LibraryFiles; the Error hook
/// fails the files of the layer in whose call it was reported.
SAHooks* libraryHooks();

/// Places where input or output can fail, for tests that make the n-th call of
/// one kind fail: the library's file hooks, and the writing of a member to disk.
enum class Fault : int {
    HookWrite,
    HookRead,
    HookSeek,
    HookClose,
    DiskCreate,
    DiskWrite,
    DiskClose,
    Rename,
    Count
};
/// Makes call number `at` (from 0, counted per thread from now on) of `fault`
/// fail; a negative `at` makes none fail. Counters of every kind restart.
void injectFault(Fault fault, long at);
/// Calls of a kind since the last injectFault.
long faultCalls(Fault fault);

/// Marks `files` as the layer on whose behalf the library is being called, for
/// the library's Error hook; the previous one comes back when this goes.
class ActiveLayer {
  public:
    explicit ActiveLayer(LibraryFiles* files);
    ActiveLayer(const ActiveLayer&) = delete;
    ActiveLayer& operator=(const ActiveLayer&) = delete;
    ~ActiveLayer();

  private:
    LibraryFiles* previous_;
};

} // namespace sheetjob::shapefile::detail
