#pragma once
// Clipping of graticule lines (parallels and meridians) by a polygon, in plane
// longitude/latitude degrees.

#include "sheetjob/geometry/Point.h"

#include <cstddef>
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

/// A polygon prepared for cutting many lines, with the results of
/// clippingLineByPolygon to the bit. Its edges are grouped into runs along
/// which the coordinate across the line only rises or only falls (the sides of
/// a sheet outline), so a line is met only where it crosses a run, found by
/// bisection: a sheet's graticule is cut in time proportional to its lines,
/// not to lines times vertices.
class PolygonClipper {
  public:
    explicit PolygonClipper(std::vector<Point> polygon);
    /// As clippingLineByPolygon(horizontal, c, polygon, low, high).
    bool clip(bool horizontal, double c, double& low, double& high) const;

  private:
    /// Consecutive edges first..last (edge i runs from vertex i to vertex i + 1,
    /// the last back to vertex 0). `monotone` runs rise (or fall) across the
    /// line; any other run is one edge, tested as it is.
    struct Run {
        std::size_t first = 0;
        std::size_t last = 0;
        bool monotone = false;
        bool rising = true;
    };
    [[nodiscard]] std::vector<Run> runsOf(bool horizontal) const;
    [[nodiscard]] double across(bool horizontal, std::size_t vertex) const;

    std::vector<Point> polygon_;
    std::vector<Run> horizontalRuns_; ///< runs by latitude, for parallels
    std::vector<Run> verticalRuns_;   ///< runs by longitude, for meridians
};

} // namespace sheetjob::geometry
