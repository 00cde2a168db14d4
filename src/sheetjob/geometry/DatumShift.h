#pragma once
// Datum shift of a geographic point from SK-42 (Krasovsky) to GSK-2011.

#include "sheetjob/geometry/Point.h"

namespace sheetjob::geometry {

/// Converts the point (longitude, latitude in degrees, SK-42, height 0) in place
/// to GSK-2011. Longitude out in [0, 360), latitude in [-90, 90].
void sk42_To_Gsk2011(Point& point);

/// Converts every vertex of a line or ring in place, as above.
void sk42_To_Gsk2011(Vertices& vertices);

} // namespace sheetjob::geometry
