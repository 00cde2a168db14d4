#include "sheetjob/shapefile/MemberFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace sheetjob::shapefile::detail {
namespace {

// Names handed to the library: a prefix no path can start with, a number per
// layer, and the library's own extension.
constexpr std::string_view kLibraryPrefix = "\x01sheetjob-layer-";

// The layers whose files the hooks may open, by number. One run has one
// thread; each thread keeps its own registry all the same.
thread_local std::unordered_map<unsigned long, LibraryFiles*> gRegistry;
thread_local unsigned long gNextNumber = 0;
thread_local LibraryFiles* gActive = nullptr;

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

MemberFile* asMember(SAFile file) { return reinterpret_cast<MemberFile*>(file); }

SAFile hookOpen(const char* name, const char* access) {
    const std::string_view text(name);
    if (text.substr(0, kLibraryPrefix.size()) != kLibraryPrefix)
        return nullptr; // the library asks for nothing else; refuse what it is not given
    const auto dot = text.find('.', kLibraryPrefix.size());
    if (dot == std::string_view::npos)
        return nullptr;
    const unsigned long number = std::strtoul(
        std::string(text.substr(kLibraryPrefix.size(), dot - kLibraryPrefix.size())).c_str(),
        nullptr, 10);
    const auto it = gRegistry.find(number);
    if (it == gRegistry.end())
        return nullptr;
    MemberFile* member = it->second->member(text);
    if (member == nullptr)
        return nullptr;
    if (access != nullptr && access[0] == 'w')
        member->truncate();
    member->seek(0, SEEK_SET);
    return reinterpret_cast<SAFile>(member);
}

SAOffset hookRead(void* data, SAOffset size, SAOffset count, SAFile file) {
    if (injected(Fault::HookRead)) {
        asMember(file)->fail(kInjected);
        return 0;
    }
    if (size == 0 || count == 0)
        return 0;
    return asMember(file)->read(data, size * count) / size;
}

SAOffset hookWrite(void* data, SAOffset size, SAOffset count, SAFile file) {
    if (injected(Fault::HookWrite)) {
        asMember(file)->fail(kInjected);
        return 0;
    }
    if (size == 0 || count == 0)
        return 0;
    return asMember(file)->write(data, size * count) / size;
}

SAOffset hookSeek(SAFile file, SAOffset offset, int whence) {
    if (injected(Fault::HookSeek)) {
        asMember(file)->fail(kInjected);
        return 1;
    }
    // The library passes negative offsets (from the end) as unsigned values.
    return asMember(file)->seek(static_cast<long long>(offset), whence) ? 0 : 1;
}

SAOffset hookTell(SAFile file) { return asMember(file)->tell(); }

int hookFlush(SAFile) { return 0; } // the bytes are written out when the layer completes

int hookClose(SAFile file) {
    if (injected(Fault::HookClose))
        asMember(file)->fail(kInjected);
    return asMember(file)->failed() ? EOF : 0;
}

int hookRemove(const char*) { return 0; } // nothing of ours exists on disk to remove

void hookError(const char* message) {
    // The library reports a failure it cannot return otherwise: it fails the
    // layer it was called for.
    if (gActive != nullptr)
        gActive->dbf().fail(std::string("the shapefile library reports: ") +
                            (message != nullptr ? message : "an error"));
}

double hookAtof(const char* text) { return std::strtod(text, nullptr); }

} // namespace

// ---------------------------------------------------------------------------

MemberFile::MemberFile(const common::Folder& folder, std::string finalName)
    : folder_(folder), finalName_(std::move(finalName)), tempName_(finalName_) {
    // Appended in place: GCC 12 warns falsely (-Wrestrict) about the
    // concatenation of two temporaries at -O2.
    tempName_.append(common::kPartSuffix);
}

MemberFile::~MemberFile() {
    if (file_) {
        std::string ignored;
        file_->close(ignored);
        file_.reset();
    }
    if (created_) // never put in place: the temporary file goes
        folder_.removeEntry(tempName_);
}

void MemberFile::truncate() {
    window_.clear();
    windowStart_ = 0;
    size_ = 0;
    position_ = 0;
    if (file_) {
        // Rewritten from scratch: the file made so far holds nothing of it.
        std::string ignored;
        file_->close(ignored);
        file_.reset();
        folder_.removeEntry(tempName_);
        created_ = false;
    }
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

bool MemberFile::spill() {
    if (window_.empty())
        return !failed();
    if (failed() || !ensureFile())
        return false;
    std::string error;
    if (injected(Fault::DiskWrite) || !file_->writeAt(windowStart_, window_, error)) {
        if (error.empty())
            error = kInjected;
        fail("cannot write " + folder_.pathOf(finalName_) + ": " + error);
        return false;
    }
    windowStart_ += window_.size();
    window_.clear();
    return true;
}

std::size_t MemberFile::write(const void* data, std::size_t size) {
    if (failed())
        return 0;
    const char* bytes = static_cast<const char*>(data);
    const std::size_t windowEnd = windowStart_ + window_.size();
    if (window_.empty())
        windowStart_ = position_;
    else if (position_ < windowStart_ || position_ > windowEnd ||
             position_ - windowStart_ + size > kWindowBytes) {
        // Outside the window, or the window is full: write it out and start a
        // new one here.
        if (!spill())
            return 0;
        windowStart_ = position_;
    }
    if (size > kWindowBytes) {
        std::string error;
        if (!ensureFile() || injected(Fault::DiskWrite) ||
            !file_->writeAt(position_, std::string_view(bytes, size), error)) {
            if (error.empty() && !failed())
                error = kInjected;
            if (!error.empty())
                fail("cannot write " + folder_.pathOf(finalName_) + ": " + error);
            return 0;
        }
        windowStart_ = position_ + size;
    } else {
        const std::size_t offset = position_ - windowStart_;
        if (window_.size() < offset + size)
            window_.resize(offset + size);
        std::memcpy(window_.data() + offset, bytes, size);
    }
    position_ += size;
    size_ = std::max(size_, position_);
    return size;
}

std::size_t MemberFile::read(void* data, std::size_t size) {
    if (failed() || position_ >= size_)
        return 0;
    const std::size_t wanted = std::min(size, size_ - position_);
    char* out = static_cast<char*>(data);
    const std::size_t windowEnd = windowStart_ + window_.size();
    if (position_ >= windowStart_ && position_ + wanted <= windowEnd) {
        std::memcpy(out, window_.data() + (position_ - windowStart_), wanted);
    } else {
        // Only what the library wrote itself is read back (headers at open);
        // bytes not in the window are on the temporary file, or were never
        // written at all and read as zeros.
        if (!spill())
            return 0;
        std::string bytes;
        std::string error;
        if (file_ && !file_->readAt(position_, wanted, bytes, error)) {
            fail("cannot read " + folder_.pathOf(tempName_) + ": " + error);
            return 0;
        }
        bytes.resize(wanted, '\0');
        std::memcpy(out, bytes.data(), wanted);
    }
    position_ += wanted;
    return wanted;
}

bool MemberFile::seek(long long offset, int whence) {
    long long base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<long long>(position_);
    else if (whence == SEEK_END)
        base = static_cast<long long>(size_);
    const long long target = base + offset;
    if (target < 0)
        return false;
    position_ = static_cast<std::size_t>(target);
    return true;
}

bool MemberFile::finish() {
    if (!ensureFile() || !spill())
        return false;
    std::string error;
    const bool closed = file_->close(error);
    if (!closed || injected(Fault::DiskClose)) {
        fail("cannot write " + folder_.pathOf(finalName_) + ": " +
             (error.empty() ? std::string(kInjected) : error));
        file_.reset();
        return false;
    }
    file_.reset();
    return true;
}

bool MemberFile::install() {
    std::string error;
    if (injected(Fault::Rename))
        error = kInjected;
    if (!error.empty() || !folder_.rename(tempName_, finalName_, error)) {
        fail("cannot put " + folder_.pathOf(finalName_) + " in place: " + error);
        return false;
    }
    installed_ = true;
    created_ = false; // the temporary name is gone with the rename
    return true;
}

void MemberFile::uninstall() {
    if (installed_)
        folder_.removeEntry(finalName_);
    installed_ = false;
}

// ---------------------------------------------------------------------------

LibraryFiles::LibraryFiles(const common::Folder& folder, const std::string& baseName) {
    number_ = gNextNumber++;
    libraryName_ = std::string(kLibraryPrefix) + std::to_string(number_);
    shp_ = std::make_unique<MemberFile>(folder, baseName + ".shp");
    shx_ = std::make_unique<MemberFile>(folder, baseName + ".shx");
    dbf_ = std::make_unique<MemberFile>(folder, baseName + ".dbf");
    gRegistry[number_] = this;
}

LibraryFiles::~LibraryFiles() {
    gRegistry.erase(number_);
    if (gActive == this)
        gActive = nullptr;
}

MemberFile* LibraryFiles::member(std::string_view libraryFileName) {
    if (libraryFileName.size() != libraryName_.size() + 4 ||
        libraryFileName.substr(0, libraryName_.size()) != libraryName_)
        return nullptr;
    const std::string_view extension = libraryFileName.substr(libraryName_.size());
    // The library writes lower-case extensions; it may probe for upper-case
    // ones when it reopens a file, and those do not exist.
    if (extension == ".shp")
        return shp_.get();
    if (extension == ".shx")
        return shx_.get();
    if (extension == ".dbf")
        return dbf_.get();
    return nullptr;
}

std::string LibraryFiles::firstError() const {
    for (const MemberFile* m : {shp_.get(), shx_.get(), dbf_.get()})
        if (m->failed())
            return m->error();
    return "";
}

SAHooks* libraryHooks() {
    static SAHooks hooks = [] {
        SAHooks h{};
        h.FOpen = hookOpen;
        h.FRead = hookRead;
        h.FWrite = hookWrite;
        h.FSeek = hookSeek;
        h.FTell = hookTell;
        h.FFlush = hookFlush;
        h.FClose = hookClose;
        h.Remove = hookRemove;
        h.Error = hookError;
        h.Atof = hookAtof;
        return h;
    }();
    return &hooks;
}

void injectFault(Fault fault, long at) {
    gFaultAt.fill(-1);
    gFaultCalls.fill(0);
    gFaultAt[static_cast<std::size_t>(fault)] = at;
}

long faultCalls(Fault fault) { return gFaultCalls[static_cast<std::size_t>(fault)]; }

ActiveLayer::ActiveLayer(LibraryFiles* files) : previous_(gActive) { gActive = files; }

ActiveLayer::~ActiveLayer() { gActive = previous_; }

} // namespace sheetjob::shapefile::detail
