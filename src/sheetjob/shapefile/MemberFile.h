#pragma once
// One file of a layer while it is written: the bytes are appended in memory,
// up to a bounded window beyond which they are written through to a temporary
// file beside the final name; the header, known only at the end, is then
// written over the member's first bytes. Nothing reaches the disk under the
// layer's real name until the whole layer is complete: each member is then
// renamed into place, the main file last. A full disk or any refused write
// lands in one place, the member's failure, and fails the layer.
//
// Internal to the shapefile writer.

#include "sheetjob/common/Folder.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sheetjob::shapefile::detail {

/// Bytes of a member kept in memory before they are written through. Layers
/// are mostly far smaller and reach the disk in one write; the biggest
/// graticules stream through in pieces of this size, so memory stays bounded
/// whatever the job.
constexpr std::size_t kWindowBytes = 256 * 1024;

class MemberFile {
  public:
    MemberFile(const common::Folder& folder, std::string finalName);
    MemberFile(const MemberFile&) = delete;
    MemberFile& operator=(const MemberFile&) = delete;
    ~MemberFile(); ///< removes the temporary file unless the member was put in place

    /// Room for `size` more bytes at the end of the member, for the caller to
    /// fill before the next call; null once the member has failed.
    char* extend(std::size_t size);
    /// Appends the bytes; false once the member has failed.
    bool append(std::string_view bytes);
    /// Bytes appended so far.
    [[nodiscard]] std::size_t size() const { return windowStart_ + used_; }

    /// Writes `head` over the member's first bytes (reserved by the first
    /// appends) and every byte onto the temporary file, which is then closed.
    /// False on failure.
    bool finish(std::string_view head);
    /// Puts the finished temporary file in place under the final name (or
    /// hands it to the folder's staging, which renames it when the job ends).
    /// `completesUnit` is true for the last member of a layer.
    bool install(bool completesUnit);
    /// Takes the member away from its final name again (a layer undone).
    void uninstall();

    /// Marks the member failed; the first reason stays.
    void fail(const std::string& reason);
    [[nodiscard]] bool failed() const { return !error_.empty(); }
    [[nodiscard]] const std::string& error() const { return error_; }
    [[nodiscard]] const std::string& finalName() const { return finalName_; }

  private:
    bool spill();
    bool ensureFile();
    bool writeOut(std::size_t offset, std::string_view bytes);

    const common::Folder& folder_;
    std::string finalName_;
    std::string tempName_;
    std::optional<common::OutputFile> file_; ///< the temporary file, once made
    bool created_ = false;                   ///< the temporary file exists under its temporary name
    bool installed_ = false;                 ///< put in place (or staged)
    std::unique_ptr<char[]> window_;         ///< the newest bytes, from windowStart_ on
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    std::size_t windowStart_ = 0; ///< file offset of window_[0]
    std::string error_;
};

/// Places where output can fail, for tests that make the n-th call of one kind
/// fail: making, writing and closing a temporary file, and renaming it.
enum class Fault : int { DiskCreate, DiskWrite, DiskClose, Rename, Count };
/// Makes call number `at` (from 0, counted per thread from now on) of `fault`
/// fail; a negative `at` makes none fail. Counters of every kind restart.
void injectFault(Fault fault, long at);
/// Calls of a kind since the last injectFault.
long faultCalls(Fault fault);

} // namespace sheetjob::shapefile::detail
