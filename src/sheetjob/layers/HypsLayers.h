#pragma once
// The three layers of the graticule (HYPS) folder: the sheet polygon "HypsA",
// the graticule points "HypsP" and the graticule lines "HypsL".

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/geometry/Geometry.h"
#include "sheetjob/geometry/Trapezium.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sheetjob::layers {

/// Base names of the HYPS layers, in the order they are written.
constexpr std::string_view kHypsA = "HypsA";
constexpr std::string_view kHypsL = "HypsL";
constexpr std::string_view kHypsP = "HypsP";
constexpr std::array<std::string_view, 3> kHypsLayerNames = {kHypsA, kHypsL, kHypsP};

/// Corners of a trapezium.
struct Corners {
    geometry::Point nw, ne, sw, se;
};

/// The sheet as its layers draw it, in the coordinate system they are written in.
struct SheetGeometry {
    int coordSystem = 1;
    geometry::Trapezium base;   ///< the base trapezium, as the name defines it
    geometry::Trapezium result; ///< the area built, before any datum shift
    /// Bounds of the graticule: the result trapezium, or for a shifted sheet the
    /// inner limits of its four shifted corners.
    geometry::Trapezium bounds;
    Corners corners; ///< of the result trapezium; shifted for coordinate system 4
};

/// The graticule values drawn, for the frame's outlets and labels.
struct GraticuleValues {
    std::vector<double> latitudes;
    std::vector<double> longitudes;
};

/// "L_code" values of the graticule layers.
constexpr int kSheetCode = -1;            // HypsA and HypsP
constexpr int kOutlineCode = 400010;      // HypsL: the sheet outline
constexpr int kParallelCode = 400011;     // HypsL: a graticule parallel
constexpr int kMeridianCode = 400012;     // HypsL: a graticule meridian
constexpr int kArcticCircleCode = 400013; // HypsL: the Arctic Circle

/// Line classes of the graticule lines.
enum LineClass : int {
    kParallelLine = 1,
    kMeridianLine = 2,
    kArcticCircleLine = 3,
    kOutlineLine = 8
};

/// Latitude of the Arctic Circle, 66°33'38.6".
constexpr double kArcticCircleLatitude = 66.56072222222222;
/// The Arctic Circle is drawn only farther than this from both sheet edges (0.001
/// degree, held in single precision).
constexpr double kArcticCircleMargin = 0.0010000000474974513;

/// Writes HypsA (one polygon named `sheetName`, Windows-1251) and HypsP (the
/// grid of points every `pointSpacing` over the result trapezium); leaves the
/// sheet outline (shifted for coordinate system 4) in `outline`. A failure is
/// status 1 (a layer could not be opened) or 2 (not written).
common::Outcome createHypsA(const SheetGeometry& sheet, const std::string& sheetName,
                            const geometry::VertexSpacing& pointSpacing,
                            const common::Folder& folder, geometry::Vertices& outline);

/// Attribute text of a graticule point: "-1\", its latitude and longitude as
/// degree-minute-second texts, each followed by "\". Windows-1251.
std::string createHypsPAtt(double latitude, double longitude);

/// Writes HypsL: the outline, the parallels (south to north), the meridians (west
/// to east) and the Arctic Circle where it crosses the sheet; coordinate system 4
/// clips every line by the (shifted) outline. Fills `values` with the values of
/// the lines drawn. A failure is status 1 (not opened) or 2 (not written).
common::Outcome createHypsL(const SheetGeometry& sheet, const geometry::Graticule& graticule,
                            const geometry::Vertices& outline, const common::Folder& folder,
                            GraticuleValues& values);

/// Attribute text of a graticule line of the given class; `value` (degrees) is read
/// for parallels and meridians only. Windows-1251.
std::string createHypsLAtt(int lineClass, double value = 0.0);

/// Writes the three graticule layers (HypsA and HypsP, then HypsL only if they
/// succeeded); the points of a 1:1 000 000 sheet are twice as sparse. A failure
/// is status 1, whichever layer failed.
common::Outcome createHyps(const SheetGeometry& sheet, int setScale, const std::string& sheetName,
                           const geometry::Graticule& graticule, const common::Folder& folder,
                           GraticuleValues& values);

} // namespace sheetjob::layers
