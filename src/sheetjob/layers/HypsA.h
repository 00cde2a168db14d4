#pragma once
// The sheet polygon "HypsA" and the graticule points "HypsP" of the HYPS folder.

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Trapezium.h"
#include "sheetjob/layers/SheetGeometry.h"
#include "sheetjob/shapefile/Schema.h"

#include <string>
#include <string_view>

namespace sheetjob::layers {

/// Base names of the two layers.
constexpr std::string_view kHypsA = "HypsA";
constexpr std::string_view kHypsP = "HypsP";

/// "L_code" of the sheet polygon and the graticule points.
constexpr int kSheetCode = -1;

/// The sheet polygon's record: its name and its corners' coordinates as
/// texts (Windows-1251).
struct HypsARecord {
    int lCode = kSheetCode;
    std::string name;
    std::string leftUp, rghtUp, leftDn, rghtDn; ///< north-west, north-east, south-west, south-east
};
inline constexpr shapefile::Schema kHypsASchema{
    shapefile::integerColumn("L_code", 6, &HypsARecord::lCode),
    shapefile::characterColumn("Name", 100, &HypsARecord::name),
    shapefile::characterColumn("LeftUp", 50, &HypsARecord::leftUp),
    shapefile::characterColumn("RghtUp", 50, &HypsARecord::rghtUp),
    shapefile::characterColumn("LeftDn", 50, &HypsARecord::leftDn),
    shapefile::characterColumn("RghtDn", 50, &HypsARecord::rghtDn),
};

/// A graticule point's record: its latitude and longitude as degree-minute-
/// second texts.
struct HypsPRecord {
    int lCode = kSheetCode;
    std::string lat, lon;
};
inline constexpr shapefile::Schema kHypsPSchema{
    shapefile::integerColumn("L_code", 6, &HypsPRecord::lCode),
    shapefile::characterColumn("Lat", 20, &HypsPRecord::lat),
    shapefile::characterColumn("Lon", 20, &HypsPRecord::lon),
};

/// Writes HypsA (one polygon named `sheetName`, Windows-1251) and HypsP (the
/// grid of points every `pointSpacing` over the result trapezium); leaves the
/// sheet outline (shifted for coordinate system 4) in `outline`. A failure is
/// status 1 (a layer could not be opened) or 2 (not written).
common::Outcome createHypsA(const SheetGeometry& sheet, const std::string& sheetName,
                            const geometry::VertexSpacing& pointSpacing,
                            const common::Folder& folder, geometry::Vertices& outline);

/// The record of the graticule point at the latitude and longitude (unshifted).
HypsPRecord createHypsPAtt(double latitude, double longitude);

} // namespace sheetjob::layers
