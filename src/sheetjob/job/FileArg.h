#pragma once
// The argument file: the whole job as items key=value; read from a small text
// file (Windows-1251, or UTF-8 converted to it), checked, and the result folder
// made when it is missing.

#include "sheetjob/job/JobParameters.h"

#include <string>
#include <string_view>

namespace sheetjob::job {

/// Statuses of the argument-file reader.
enum ArgFileStatus : int {
    kArgFileRead = 0,
    kArgFileNotOpened = 2, ///< the file cannot be opened
    kArgLineNotRead = 3,   ///< a line cannot be read (or converted from UTF-8)
    kArgItemBad = 4, ///< malformed item, unknown key, bad value, key twice, "MapScale" before "Nom"
    kArgRequiredMissing = 5, ///< "Path" or "Nom" missing
    kArgResultOutOfRange =
        6, ///< a result bound a full sheet beyond the base edge, or a zero spacing
    kArgFolderNotCreated = 7, ///< the missing result folder cannot be made
};

/// Statuses of one item (readArg); the file reader turns each into kArgItemBad.
enum ArgItemStatus : int {
    kItemRead = 0,
    kItemMalformed = 1,  ///< no ";", no "=", empty key or value
    kItemUnknownKey = 2, ///< also an unknown coordinate-system name
    kItemBadValue = 3,
    kItemGivenTwice = 4,
    kItemScaleBeforeNom = 5,
};

/// Longest line of an argument file, in characters (after conversion from UTF-8);
/// what lies beyond it must be blank.
constexpr std::size_t kArgLineLength = 1000;

/// The "unset" marker of the fields that the argument file may give.
constexpr int kUnsetInt = -999;
constexpr double kUnsetReal = -999.0;
/// The value a failed nomenclature or map-scale reading leaves.
constexpr int kRejected = -900;

/// Reads the argument file `argFile` (a native path) into the job: fields 1 to 25
/// and SubSheetFrames ("SubSheetFrames=1;" asks for the sub-sheet frames), then
/// makes the result folder (with its parents) when it is missing. Returns an
/// ArgFileStatus; on failure `reason` receives one line (UTF-8) naming the file
/// and, for an item, the line.
int readArgFile(const std::string& argFile, JobParameters& job, std::string& reason);

/// The reading and checking of readArgFile over a file's content already in
/// memory, without touching the file system (the result folder is not made).
/// `fileName` names the file in `reason`. Same statuses, 7 excepted.
int readArgFileContent(std::string_view content, std::string_view fileName, JobParameters& job,
                       std::string& reason);

/// Makes the result folder (Windows-1251 text, its trailing separator allowed)
/// with its missing parents unless it exists: kArgFileRead or kArgFolderNotCreated.
int createResultFolder(const std::string& resultPath, std::string& reason);

/// What readArg keeps between items beyond the job's own fields.
struct ArgItemState {
    int SubSheetFrames = kUnsetInt; ///< 0 or 1 once given
    int subSheetFramesLine = 0;     ///< the line that gave it, for the report
    int line = 0;                   ///< the line being read (1-based), for the report
};

/// Reads the first item of `line` (Windows-1251) into the job and removes it
/// from the line. Returns an ArgItemStatus; on failure `reason` says what is
/// wrong (UTF-8, without file or line).
int readArg(std::string& line, JobParameters& job, ArgItemState& state, std::string& reason);

/// Coordinate-system name: "CK-42" 1, "CK-95" 2, "ГCK-2011" 3, "ГCK-2011 / СК-42" 4
/// (C and K Latin except the second "СК"). Status 0 or 1 (CoordSystem unchanged).
int readCs(std::string_view value, int& coordSystem);

/// Sheet nomenclature (N-37, N37, T-37 (4), N-37-XIV, N3714, N-37-XIV(2)): sets
/// SetScale, yZone, xZone, SheetNumber, SheetType and the base fields. Status 0
/// or 1 (SetScale = kRejected).
int readNomenclature(std::string_view value, JobParameters& job);

/// Result folder of at least 3 characters; a native separator is appended unless
/// it ends in one. Status 0 or 1.
int readPath(std::string_view value, std::string& resultPath);

/// Map scale denominator in thousands for the set scale: 200, 500, 1000 for a
/// 1:200 000 set, 1000, 2500, 5000 for a 1:1 000 000 set give 0, 1, 2. Status 0
/// or 1 (MapScale = kRejected).
int readScale2(int setScale, std::string_view value, int& mapScale);

} // namespace sheetjob::job
