#include "sheetjob/shapefile/MemberFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace sheetjob::shapefile::detail {
namespace {

// First room of a member's window: most members of most layers fit in it.
constexpr std::size_t kFirstCapacity = 4 * 1024;

constexpr auto kFaultKinds = static_cast<std::size_t>(Fault::Count);
thread_local std::array<long, kFaultKinds> gFaultAt = [] {
    std::array<long, kFaultKinds> none{};
    none.fill(-1);
    return none;
}();
thread_local std::array<long, kFaultKinds> gFaultCalls{};

/// Counts a call of the kind; true when it is the one made to fail.
bool injected(Fault fault) {
    const auto kind = static_cast<std::size_t>(fault);
    return gFaultCalls[kind]++ == gFaultAt[kind];
}

constexpr const char* kInjected = "input/output error (injected)";

} // namespace

MemberFile::MemberFile(const common::Folder& folder, std::string finalName)
    : folder_(folder), finalName_(std::move(finalName)),
      tempName_(folder_.temporaryName(finalName_)) {}

MemberFile::~MemberFile() {
    if (file_) {
        std::string ignored;
        file_->close(ignored);
        file_.reset();
    }
    if (created_) // never put in place: the temporary file goes
        folder_.removeEntry(tempName_);
}

void MemberFile::fail(const std::string& reason) {
    if (error_.empty())
        error_ = reason.empty() ? "input/output error" : reason;
}

bool MemberFile::ensureFile() {
    if (file_)
        return true;
    std::string error;
    // Made exclusively, never through a link; leftovers of an earlier run
    // under the temporary name were removed with the stale layers.
    if (injected(Fault::DiskCreate))
        error = kInjected;
    else
        file_ = folder_.createFile(tempName_, error);
    if (!file_) {
        fail("cannot create " + folder_.pathOf(tempName_) + ": " + error);
        return false;
    }
    created_ = true;
    return true;
}

bool MemberFile::writeOut(std::size_t offset, std::string_view bytes) {
    if (failed() || !ensureFile())
        return false;
    std::string error;
    if (injected(Fault::DiskWrite))
        error = kInjected;
    if (!error.empty() || !file_->writeAt(offset, bytes, error)) {
        fail("cannot write " + folder_.pathOf(finalName_) + ": " + error);
        return false;
    }
    return true;
}

bool MemberFile::spill() {
    if (used_ == 0)
        return !failed();
    if (!writeOut(windowStart_, {window_.get(), used_}))
        return false;
    windowStart_ += used_;
    used_ = 0;
    return true;
}

char* MemberFile::extend(std::size_t size) {
    if (failed())
        return nullptr;
    // A full window goes to disk before it would grow past its bound.
    if (used_ > 0 && used_ + size > kWindowBytes && !spill())
        return nullptr;
    if (used_ + size > capacity_) {
        // Room for the bytes, doubling up to the window; a single piece
        // larger than the window gets exactly its own size.
        std::size_t capacity = std::max(capacity_, kFirstCapacity);
        while (capacity < used_ + size && capacity < kWindowBytes)
            capacity *= 2;
        capacity = std::max(capacity, used_ + size);
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (used_ > 0)
            std::memcpy(grown.get(), window_.get(), used_);
        window_ = std::move(grown);
        capacity_ = capacity;
    }
    char* at = window_.get() + used_;
    used_ += size;
    return at;
}

bool MemberFile::append(std::string_view bytes) {
    char* at = extend(bytes.size());
    if (at == nullptr)
        return false;
    if (!bytes.empty())
        std::memcpy(at, bytes.data(), bytes.size());
    return true;
}

bool MemberFile::finish(std::string_view head) {
    if (failed() || head.size() > size())
        return false;
    if (windowStart_ == 0) {
        // Still all in memory: the whole member goes to disk in one write.
        if (!head.empty())
            std::memcpy(window_.get(), head.data(), head.size());
        if (!writeOut(0, {window_.get(), used_}))
            return false;
    } else if (!spill() || !writeOut(0, head)) {
        return false;
    }
    window_.reset();
    capacity_ = used_ = 0;
    std::string error;
    const bool closed = file_->close(error);
    file_.reset();
    if (!closed || injected(Fault::DiskClose)) {
        fail("cannot write " + folder_.pathOf(finalName_) + ": " +
             (error.empty() ? std::string(kInjected) : error));
        return false;
    }
    return true;
}

bool MemberFile::install(bool completesUnit) {
    std::string error;
    if (injected(Fault::Rename))
        error = kInjected;
    if (!error.empty() || !folder_.putInPlace(tempName_, finalName_, error, completesUnit)) {
        fail("cannot put " + folder_.pathOf(finalName_) + " in place: " + error);
        return false;
    }
    installed_ = true;
    created_ = false; // the temporary name is the folder's (or its staging's) now
    return true;
}

void MemberFile::uninstall() {
    if (installed_)
        folder_.takeBack(tempName_, finalName_);
    installed_ = false;
}

void injectFault(Fault fault, long at) {
    gFaultAt.fill(-1);
    gFaultCalls.fill(0);
    gFaultAt[static_cast<std::size_t>(fault)] = at;
}

long faultCalls(Fault fault) { return gFaultCalls[static_cast<std::size_t>(fault)]; }

} // namespace sheetjob::shapefile::detail
