#pragma once
// The three layers of the graticule (HYPS) folder: the sheet polygon "HypsA",
// the graticule points "HypsP" and the graticule lines "HypsL".

#include "sheetjob/geometry/Geometry.h"

#include <string>
#include <vector>

namespace sheetjob::layers {

/// Corners of the result trapezium (shifted to GSK-2011 for coordinate system 4).
struct Corners {
    geometry::Point nw, ne, sw, se;
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

/// What the sheet polygon and the graticule points need. Degrees throughout.
struct HypsAJob {
    int coordSystem = 1;
    std::string sheetName; ///< Windows-1251
    std::string hypsPath;  ///< HYPS folder, Windows-1251, no trailing separator
    double baseWest = 0, xFrom = 0, xTo = 0, lonVertexSpacing = 0.125;
    double baseSouth = 0, yFrom = 0, yTo = 0, latVertexSpacing = 0.08333333333333333;
    double lonPointSpacing = 0.125, latPointSpacing = 0.08333333333333333;
    Corners corners;
};

/// Writes HypsA (one polygon) and HypsP (the point grid); leaves the sheet outline
/// (shifted for coordinate system 4) in `outline`. Returns 0, 1 (a layer could
/// not be opened) or 2 (a record could not be written); `reason` says which.
int createHypsA(const HypsAJob& job, geometry::Vertices& outline, std::string& reason);

/// Attribute text of a graticule point: "-1\", its latitude and longitude as
/// degree-minute-second texts, each followed by "\". Windows-1251.
std::string createHypsPAtt(double latitude, double longitude);

/// What the graticule lines need. Bounds as settled by the driver.
struct HypsLJob {
    int coordSystem = 1;
    std::string hypsPath;
    double baseWest = 0, west = 0, east = 0, lonVertexSpacing = 0.125;
    double baseSouth = 0, south = 0, north = 0, latVertexSpacing = 0.08333333333333333;
    double meridianStep = 0, parallelStep = 0;
};

/// Writes HypsL: the outline, the parallels (south to north), the meridians (west
/// to east) and the Arctic Circle where it crosses the sheet; coordinate system 4
/// clips every line by the (shifted) outline. Fills `latitudes` and `longitudes`
/// with the values of the lines drawn. Returns 0, 1 (not opened) or 2 (a record
/// could not be written).
int createHypsL(const HypsLJob& job, const geometry::Vertices& outline,
                std::vector<double>& latitudes, std::vector<double>& longitudes,
                std::string& reason);

/// Attribute text of a graticule line of the given class; `value` (degrees) is read
/// for parallels and meridians only. Windows-1251.
std::string createHypsLAtt(int lineClass, double value = 0.0);

/// What the driver hands to createHyps.
struct HypsJob {
    int coordSystem = 1;
    int setScale = 0;
    std::string sheetName;
    std::string hypsPath;
    double baseWest = 0, baseSouth = 0;
    double xFrom = 0, xTo = 0, yFrom = 0, yTo = 0; ///< result trapezium, unshifted
    double meridianStep = 0, parallelStep = 0;
    double west = 0, east = 0, south = 0, north = 0; ///< bounds of the graticule
    Corners corners;
};

/// Writes the three graticule layers (HypsA and HypsP, then HypsL only if they
/// succeeded). Returns 0 or 1; `reason` says which layer failed.
int createHyps(const HypsJob& job, std::vector<double>& latitudes, std::vector<double>& longitudes,
               std::string& reason);

} // namespace sheetjob::layers
