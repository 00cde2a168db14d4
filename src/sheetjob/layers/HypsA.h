#pragma once
// The sheet polygon "HypsA" and the graticule points "HypsP" of the HYPS folder.

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Trapezium.h"
#include "sheetjob/layers/SheetGeometry.h"

#include <string>
#include <string_view>

namespace sheetjob::layers {

/// Base names of the two layers.
constexpr std::string_view kHypsA = "HypsA";
constexpr std::string_view kHypsP = "HypsP";

/// "L_code" of the sheet polygon and the graticule points.
constexpr int kSheetCode = -1;

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

} // namespace sheetjob::layers
