#pragma once
// Clipping of graticule lines (parallels and meridians) by a polygon, in plane
// longitude/latitude degrees.

#include "sheetjob/geometry/Point.h"

#include <vector>

namespace sheetjob::geometry {

/// Meeting of the line (y = c when horizontal, x = c otherwise) with the edge a-b,
/// exact comparisons. True when they meet; the meeting stretch along the line in low..high.
bool crossLineByEdge(bool horizontal, double c, const Point& a, const Point& b, double& low,
                     double& high);

/// The stretch of the line inside the polygon (implicitly closed). True only when
/// the stretch has non-zero length; low and high are set whenever anything met.
bool clippingLineByPolygon(bool horizontal, double c, const std::vector<Point>& polygon,
                           double& low, double& high);
bool clippingHorizontalLineByPolygon(double y, const std::vector<Point>& polygon, double& xLow,
                                     double& xHigh);
bool clippingVerticalLineByPolygon(double x, const std::vector<Point>& polygon, double& yLow,
                                   double& yHigh);

} // namespace sheetjob::geometry
