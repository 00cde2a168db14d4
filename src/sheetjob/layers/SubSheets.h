#pragma once
// Frames of the 1:50 000 and 1:25 000 sheets inside a 1:200 000 sheet, one
// polygon layer per sheet, named after the sheet.

#include "sheetjob/geometry/Geometry.h"

#include <functional>
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

/// Vertex spacings of the sub-sheet outlines: 56.25" along parallels, 37.5" along meridians.
constexpr double kSubSheetLonSpacing = 0.015625;             // 1/64 degree
constexpr double kSubSheetLatSpacing = 0.010416666666666666; // 1/96 degree

/// Divides the base trapezium of a 1:200 000 sheet into its 1:100 000, 1:50 000 and
/// 1:25 000 sheets and writes the 16 + 64 layers. Returns 0, 1 (a layer could not be opened) or 2
/// (a record could not be written); `reason` gets a one-line explanation (UTF-8).
int createMaps5025(const SubSheetJob& job, std::string& reason);

/// One sheet of the division as it is handed to the writer.
struct SubSheet {
    int scale = 50000; ///< 50000 (into r50Path) or 25000 (into r25Path)
    std::string name;  ///< Windows-1251, e.g. "N-37-27-А-в"
    double west = 0, east = 0, south = 0, north = 0; ///< unshifted
};
/// Writes one sheet; returns 0 or the status that ends the division.
using SubSheetWriter = std::function<int(const SubSheet&)>;

/// The division itself: hands every 1:50 000 sheet, each followed by its four
/// 1:25 000 sheets, to `write` in processing order and stops at the first
/// non-zero status, which it returns.
int createMaps5025(const SubSheetJob& job, const SubSheetWriter& write, std::string& reason);
/// One 1:100 000 sheet: its four 1:50 000 sheets А, В, Б, Г.
int createM_100_5025(const std::string& name, double west, double east, double south, double north,
                     const SubSheetWriter& write);
/// One 1:50 000 sheet, then its four 1:25 000 sheets а, в, б, г.
int createM_50_5025(const std::string& name, double west, double east, double south, double north,
                    const SubSheetWriter& write);

/// Writes one sheet's layer `folder`/`sheetName`: a polygon clockwise from the
/// north-west corner (shifted for coordinate system 4) with the "Name" attribute.
/// `vertices` is work space; `count` receives the outline's vertex count.
/// Returns 0, 1 (not opened) or 2 (not written).
int createR5025(int coordSystem, const std::string& sheetName, const std::string& folder,
                double west, double east, double lonSpacing, double south, double north,
                double latSpacing, geometry::Vertices& vertices, int& count, std::string& reason);

} // namespace sheetjob::layers
