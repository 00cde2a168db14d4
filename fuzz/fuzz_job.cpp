// Fuzz target: arbitrary bytes as an argument file, and the job it describes
// run whole (folders, sub-sheet frames, sheet layers, datum shift, styles and
// project) into a temporary folder that stands in for its "Path". Checks that
// a job ends either complete or with one line of reason, and that no layer is
// ever left incomplete: every .shp has all its members, and no file is left
// under a temporary name.

#include "sheetjob/common/Folder.h"
#include "sheetjob/job/FileArg.h"
#include "sheetjob/job/SheetJob.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

void check(bool condition) {
    if (!condition)
        std::abort();
}

/// A folder removed with everything in it when the fuzzer ends.
struct ScratchFolder {
    fs::path path;
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

/// The folder the jobs write into: on a memory file system where there is one.
const fs::path& resultFolder() {
    static const ScratchFolder folder = [] {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm")
                                                           : fs::temp_directory_path();
        std::string pattern = (base / "sheetjob-fuzz-XXXXXX").string();
        check(mkdtemp(pattern.data()) != nullptr);
        return ScratchFolder{fs::path(pattern)};
    }();
    return folder.path;
}

/// Every layer in the tree complete, nothing under a temporary name.
void checkTree(const fs::path& root) {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        check(!name.ends_with(sheetjob::common::kPartSuffix));
        if (entry.path().extension() != ".shp")
            continue;
        fs::path member = entry.path();
        for (const char* extension : {".shx", ".dbf", ".PRJ", ".cpg"})
            check(fs::is_regular_file(member.replace_extension(extension)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sheetjob::model::Job job;
    if (sheetjob::job::readArgFileContent(bytes, "fuzz.txt", job))
        return 0;
    // Whatever "Path" said, the job writes here; each job starts from an empty
    // folder so that one job's stale layers do not mask another's.
    const fs::path& root = resultFolder();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec))
        fs::remove_all(entry.path(), ec);
    job.resultFolder = root.string() + "/";

    const auto stopped = sheetjob::job::writeSheet(job);
    if (stopped) {
        check(stopped->failure.status != 0);
        check(!stopped->failure.reason.empty());
        check(stopped->failure.reason.find('\n') == std::string::npos);
    } else {
        check(fs::is_regular_file(root / "HYPS" / "HypsA.shp"));
        check(fs::is_regular_file(root / "HYPS" / "HypsL.shp"));
        check(fs::is_regular_file(root / "HYPS" / "HypsP.shp"));
    }
    checkTree(root);
    return 0;
}
