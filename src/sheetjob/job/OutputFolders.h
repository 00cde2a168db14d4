#pragma once
// The output folder tree of a job: HYPS and FRAME under the result folder, and
// HYPS_50 and HYPS_25 beside HYPS for the sub-sheet frames. Preparing it makes
// the missing folders and removes the layers an earlier run left there.

#include "sheetjob/common/Path.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace sheetjob::job {

/// The separator that ends a result folder and joins the derived paths: the
/// platform's own, so that every derived path is a native one.
constexpr char kFolderSeparator = common::kPathSeparator;

/// The folders derived from the result folder (Windows-1251 texts).
struct OutputFolders {
    std::string HypsPath;  ///< result folder + "HYPS": sheet polygon and graticule layers
    std::string FramePath; ///< result folder + "FRAME": the frame layers
    std::string R50Path;   ///< HypsPath + "_50": the 1:50 000 sheet frames
    std::string R25Path;   ///< HypsPath + "_25": the 1:25 000 sheet frames
};

/// Statuses of folder preparation.
enum OutputFolderStatus : int {
    kFoldersReady = 0,
    kResultFolderMissing = 1,
    kHypsNotCreated = 2,
    kFrameNotCreated = 3,
    kR50NotCreated = 4,
    kR25NotCreated = 5,
};

/// Derives the four folder paths from the result folder (a native separator is
/// put after it when it has none), checks that the result folder exists, makes
/// HYPS and FRAME (and HYPS_50, HYPS_25 when `subSheetFrames`) with their
/// missing parents, and removes the stale layers: HypsA, HypsL, HypsP in HYPS,
/// Frame, FrameDig, FrameAdj in FRAME (every member, names matched without
/// regard to case, only when the .shp member is there), and every file in
/// HYPS_50 and HYPS_25 when sub-sheet frames are asked for. Subfolders are never
/// entered; a symbolic link is removed as a link. Returns an OutputFolderStatus;
/// on failure `reason` receives one line (UTF-8). The paths are formed even on failure.
int pathProcess(const std::string& resultFolder, bool subSheetFrames, OutputFolders& folders,
                std::string& reason);

/// The Windows-1251 text of the interactive failure message for a status of
/// folder preparation; any other status (999 included) gives the message of an
/// unspecified error.
std::string failureMessage(int status);

/// A Windows-1251 path as a file-system path.
std::filesystem::path fileSystemPath(std::string_view cp1251Path);

/// Appends the native separator unless the folder text already ends in it.
std::string withFolderSeparator(std::string folder);

} // namespace sheetjob::job
