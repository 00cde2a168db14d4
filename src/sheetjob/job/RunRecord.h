#pragma once
// The record a run keeps in its result folder (`.sheetjob.run`): whether the
// run is still going, which sheet it writes, and the project file it wrote
// with a digest of its content. A record still marked as going when the next
// run reads it belongs to a run that was killed or lost its power: the next
// run then removes what that run may have left half in place. A project whose
// content still has the recorded digest was not changed since, and goes with
// the layers it showed.

#include "sheetjob/common/Folder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sheetjob::job {

/// The record file in the result folder, beside the lock file.
constexpr std::string_view kRunRecordFile = ".sheetjob.run";

struct RunRecord {
    bool finished = false;       ///< false while the run goes on (or when it was killed)
    std::string sheet;           ///< the sheet's name (Windows-1251), as Sheet::nomenclature()
    bool subSheetFrames = false; ///< the run writes HYPS_50 and HYPS_25
    std::string project;         ///< the project file it wrote (a name in the result folder), or ""
    std::uint64_t projectDigest = 0; ///< contentDigest() of the project as written
};

/// The record as the text of its file (UTF-8 lines "key value").
std::string runRecordText(const RunRecord& record);
/// The record from the text of its file; nothing when the text is not one
/// (empty, cut short, or from something else).
std::optional<RunRecord> parseRunRecord(std::string_view text);

/// The record in the result folder, or nothing when there is none or it
/// cannot be read.
std::optional<RunRecord> readRunRecord(const common::Folder& result);
/// Replaces the record in the result folder (whole or not at all). False when
/// it cannot be written; the run goes on without it.
bool writeRunRecord(const common::Folder& result, const RunRecord& record);

/// A 64-bit digest of a file's content (FNV-1a): equal contents give equal
/// digests, and a file edited since it was written almost surely another.
std::uint64_t contentDigest(std::string_view content);

} // namespace sheetjob::job
