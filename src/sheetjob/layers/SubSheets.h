#pragma once
// Frames of the 1:50 000 and 1:25 000 sheets inside a 1:200 000 sheet, one
// polygon layer per sheet, named after the sheet.

#include <string>

namespace sheetjob::layers {

struct SubSheetJob {
    int coordSystem = 1;
    int yZone = 0;
    int xZone = 0;
    int sheetNumber = 0;
    std::string r50Path; ///< HYPS_50 folder (Windows-1251)
    std::string r25Path; ///< HYPS_25 folder
    double baseWest = 0, baseEast = 0, baseSouth = 0, baseNorth = 0;
};

/// Writes the 16 + 64 layers. Returns 0, 1 (a layer could not be opened) or 2 (a
/// record could not be written); `reason` gets a one-line explanation (UTF-8).
int CREATEMAPS5025(const SubSheetJob& job, std::string& reason);

} // namespace sheetjob::layers
