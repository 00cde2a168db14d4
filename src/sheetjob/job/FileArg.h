#pragma once
// The argument file: the whole job as items key=value; read from a small text
// file (Windows-1251, or UTF-8 converted to it), checked, and the result folder
// made when it is missing.

#include "sheetjob/common/Failure.h"
#include "sheetjob/model/Job.h"
#include "sheetjob/nomenclature/Sheet.h"

#include <optional>
#include <string>
#include <string_view>

namespace sheetjob::job {

/// Statuses of the argument-file reader.
enum ArgFileStatus : int {
    kArgFileRead = 0,
    kArgFileNotOpened = 2, ///< the file cannot be opened, or is no regular file
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

/// Reads the argument file `argFile` (a path in the platform's encoding) into
/// the job, then makes the result folder (with its parents) when it is
/// missing. Only a regular file is read; a FIFO, a socket or a device is
/// refused at once. The failure's reason names the file and, for an item, the
/// line.
common::Outcome readArgFile(const std::string& argFile, model::Job& job);

/// The reading and checking of readArgFile over a file's content already in
/// memory, without touching the file system (the result folder is not made).
/// `fileName` names the file in the reason. Same statuses, 7 excepted.
common::Outcome readArgFileContent(std::string_view content, std::string_view fileName,
                                   model::Job& job);

/// Makes the result folder (Windows-1251 text as "Path" gives it, its trailing
/// separator allowed) with its missing parents unless it exists: nothing, or
/// kArgFolderNotCreated.
common::Outcome createResultFolder(const std::string& folder);

/// The values given so far while a file is read: a key whose value is there
/// counts as given twice.
struct ArgValues {
    geometry::CoordSystem coordSystem; ///< "CS" may be given again: the later wins
    std::optional<nomenclature::Sheet> sheet;
    std::optional<int> mapScale;
    std::optional<std::string> resultFolder;
    std::optional<double> xFrom, xTo, yFrom, yTo, parallelStep, meridianStep;
    std::optional<int> xMinute, yMinute;
    std::optional<int> subSheetFrames; ///< 0 or 1
    int subSheetFramesLine = 0;        ///< the line that gave it, for the report
    std::optional<int> qgisFiles;      ///< 0 or 1
    int line = 0;                      ///< the line being read (1-based), for the report
};

/// Reads the first item of `line` (Windows-1251) into the values and removes it
/// from the line. Returns an ArgItemStatus; on failure `reason` says what is
/// wrong (UTF-8, without file or line).
int readArg(std::string& line, ArgValues& values, std::string& reason);

/// Coordinate-system name: "CK-42" 1, "CK-95" 2, "ГCK-2011" 3, "ГCK-2011 / СК-42" 4
/// (C and K Latin except the second "СК"). Status 0 or 1 (coordSystem unchanged).
int readCs(std::string_view value, geometry::CoordSystem& coordSystem);

/// Sheet nomenclature (N-37, N37, T-37 (4), N-37-XIV, N3714, N-37-XIV(2)).
/// Status 0 or 1 (sheet unchanged).
int readNomenclature(std::string_view value, nomenclature::Sheet& sheet);

/// Result folder of at least 3 characters without control characters; a native
/// separator is appended unless it ends in one. Status 0 or 1.
int readPath(std::string_view value, std::string& resultFolder);

/// Map scale denominator in thousands for the set scale: 200, 500, 1000 for a
/// 1:200 000 set, 1000, 2500, 5000 for a 1:1 000 000 set give 0, 1, 2. Status 0
/// or 1 (mapScale unchanged).
int readScale2(int setScale, std::string_view value, int& mapScale);

} // namespace sheetjob::job
