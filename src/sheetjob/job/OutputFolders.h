#pragma once
// The output folder tree of a job: HYPS and FRAME under the result folder, and
// HYPS_50 and HYPS_25 beside HYPS for the sub-sheet frames. Preparing it takes
// the folder's lock, makes the missing folders and removes the layers an
// earlier run left there.

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/common/Path.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sheetjob::job {

/// The separator that ends a result folder and joins the derived paths: the
/// platform's own, so that every derived path is a native one.
constexpr char kFolderSeparator = common::kPathSeparator;

/// Names of the folders under the result folder.
constexpr std::string_view kHypsFolder = "HYPS";
constexpr std::string_view kFrameFolder = "FRAME";
constexpr std::string_view kR50Folder = "HYPS_50"; ///< the 1:50 000 sheet frames ("R50")
constexpr std::string_view kR25Folder = "HYPS_25"; ///< the 1:25 000 sheet frames ("R25")
/// The lock file in the result folder that keeps two runs apart.
constexpr std::string_view kLockFile = ".sheetjob.lock";

/// The prepared folders, held open for the run, and the result folder's lock.
struct OutputFolders {
    common::Folder result;
    common::Folder hyps;
    common::Folder frame;
    std::optional<common::Folder> r50; ///< with sub-sheet frames only
    std::optional<common::Folder> r25;
    common::FileLock lock;
};

/// Statuses of folder preparation.
enum OutputFolderStatus : int {
    kFoldersReady = 0,
    kResultFolderMissing = 1,
    kHypsNotCreated = 2,
    kFrameNotCreated = 3,
    kR50NotCreated = 4,
    kR25NotCreated = 5,
    kResultFolderBusy = 6,     ///< another run holds the result folder's lock
    kResultFolderUnusable = 7, ///< the result folder exists but cannot be opened (permissions)
};

/// Opens the result folder (Windows-1251 text, its trailing separator allowed),
/// takes its lock, makes or opens HYPS and FRAME (and HYPS_50, HYPS_25 when
/// `subSheetFrames`), and removes what earlier runs left:
/// - the layers HypsA, HypsL, HypsP in HYPS and Frame, FrameDig, FrameAdj in
///   FRAME: the members a layer has (.shp, .shx, .dbf, .prj, .cpg, .qml and
///   the usual index and metadata files), names matched without regard to
///   case, only when the .shp member is there;
/// - with sub-sheet frames, every layer member in HYPS_50 and HYPS_25;
/// - files under temporary names in every one of these folders that exists
///   and in the result folder;
/// - when the run record (RunRecord.h) says the earlier run was killed, the
///   members of that run's layers even without their .shp, its sub-sheet
///   layers included;
/// - the project the earlier run recorded, when it is unchanged since.
/// Other files stay. A sub-folder that is a symbolic link or no folder is
/// refused before anything is removed; subfolders are never entered and a
/// link is removed as a link. The failure's reason is one line.
common::Outcome pathProcess(const std::string& resultFolder, bool subSheetFrames,
                            OutputFolders& folders);

/// The Windows-1251 text of the interactive failure message for a status of
/// folder preparation; any other status (999 included) gives the message of an
/// unspecified error.
std::string failureMessage(int status);

/// A Windows-1251 path as a file-system path.
std::filesystem::path fileSystemPath(std::string_view cp1251Path);

/// Appends the native separator unless the folder text already ends in it.
std::string withFolderSeparator(std::string folder);

} // namespace sheetjob::job
