#pragma once
// The graticule lines "HypsL" of the HYPS folder: the sheet outline, the
// parallels and meridians inside the sheet, and the Arctic Circle.

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Trapezium.h"
#include "sheetjob/layers/SheetGeometry.h"
#include "sheetjob/shapefile/Schema.h"

#include <string>
#include <string_view>

namespace sheetjob::layers {

/// Base name of the layer.
constexpr std::string_view kHypsL = "HypsL";

/// "L_code" values of the graticule lines.
constexpr int kOutlineCode = 400010;      // the sheet outline
constexpr int kParallelCode = 400011;     // a graticule parallel
constexpr int kMeridianCode = 400012;     // a graticule meridian
constexpr int kArcticCircleCode = 400013; // the Arctic Circle

/// Line classes of the graticule lines.
enum LineClass : int {
    kParallelLine = 1,
    kMeridianLine = 2,
    kArcticCircleLine = 3,
    kOutlineLine = 8
};

/// A graticule line's record: its code and name, and for a parallel or
/// meridian its value as degrees, minutes and hemisphere (Windows-1251).
struct HypsLRecord {
    int lCode = 0;
    std::string text;
    std::string grad, min, indication;
};
inline constexpr shapefile::Schema kHypsLSchema{
    shapefile::integerColumn("L_code", 6, &HypsLRecord::lCode),
    shapefile::characterColumn("Text", 40, &HypsLRecord::text),
    shapefile::characterColumn("Grad", 5, &HypsLRecord::grad),
    shapefile::characterColumn("Min", 7, &HypsLRecord::min),
    shapefile::characterColumn("Indication", 5, &HypsLRecord::indication),
};

/// Latitude of the Arctic Circle, 66°33'38.6".
constexpr double kArcticCircleLatitude = 66.56072222222222;
/// The Arctic Circle is drawn only farther than this from both sheet edges (0.001
/// degree, held in single precision).
constexpr double kArcticCircleMargin = 0.0010000000474974513;

/// Writes HypsL: the outline, the parallels (south to north), the meridians (west
/// to east) and the Arctic Circle where it crosses the sheet; coordinate system 4
/// clips every line by the (shifted) outline. Fills `values` with the values of
/// the lines drawn. A failure is status 1 (not opened) or 2 (not written).
common::Outcome createHypsL(const SheetGeometry& sheet, const geometry::Graticule& graticule,
                            const geometry::Vertices& outline, const common::Folder& folder,
                            GraticuleValues& values);

/// The record of a graticule line of the given class; `value` (degrees) is read
/// for parallels and meridians only.
HypsLRecord createHypsLAtt(LineClass lineClass, double value = 0.0);

} // namespace sheetjob::layers
