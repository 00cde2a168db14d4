#pragma once
// Tolerance comparison and clipping of graticule lines by a polygon, in plane
// longitude/latitude degrees (x = longitude, y = latitude).

#include <vector>

namespace sheetjob::geometry {

/// 1/6000 degree (0.01 minute of arc): two graticule values this close are equal.
constexpr double kTolerance = 0.00016666666666666666;

struct Point {
    double x = 0.0; ///< longitude, degrees
    double y = 0.0; ///< latitude, degrees
};

/// A polyline or ring under construction: parallel arrays of longitudes and latitudes.
struct Vertices {
    std::vector<double> x;
    std::vector<double> y;
    void add(double px, double py) {
        x.push_back(px);
        y.push_back(py);
    }
    void removeLast() {
        x.pop_back();
        y.pop_back();
    }
    void clear() {
        x.clear();
        y.clear();
    }
    [[nodiscard]] int size() const { return static_cast<int>(x.size()); }
};

/// True when |a - b| <= kTolerance (equality at exactly the tolerance counts).
bool eqWithTolerance(double a, double b);

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
