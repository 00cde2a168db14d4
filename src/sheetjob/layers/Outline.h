#pragma once
// Densified sides and rings of a trapezium (sheet polygon, graticule lines and
// sub-sheet frames).

#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Trapezium.h"

namespace sheetjob::layers {

/// Appends a parallel from `from` to `to` with a vertex every `spacing` measured
/// from `from`; with includeEnd the last vertex is exactly `to`. Returns the
/// number of vertices appended. A spacing that is not positive, a value that is not
/// finite, or a side of a million vertices or more appends nothing and returns 0.
int addParallel(double latitude, double from, double to, double spacing, bool includeEnd,
                geometry::Vertices& v);
/// The same along a meridian (latitude runs, longitude fixed).
int addMeridian(double longitude, double from, double to, double spacing, bool includeEnd,
                geometry::Vertices& v);
/// Appends the closed ring of the trapezium clockwise from the north-west
/// corner, vertices every `spacing` along each side; returns its vertex count.
int addRectangle(const geometry::Trapezium& t, const geometry::VertexSpacing& spacing,
                 geometry::Vertices& v);

} // namespace sheetjob::layers
