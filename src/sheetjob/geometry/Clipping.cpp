#include "sheetjob/geometry/Clipping.h"

#include <algorithm>

namespace sheetjob::geometry {

bool crossLineByEdge(bool horizontal, double c, const Point& a, const Point& b, double& low,
                     double& high) {
    // Along the line: x for a horizontal line, y for a vertical one.
    const double uA = horizontal ? a.x : a.y;
    const double uB = horizontal ? b.x : b.y;
    const double vA = horizontal ? a.y : a.x;
    const double vB = horizontal ? b.y : b.x;

    // Exact comparisons: a graticule line through a vertex meets it exactly.
    if (vA == c && vB == c) {
        low = std::min(uA, uB);
        high = std::max(uA, uB);
        return true;
    }
    bool met = false;
    if (vA == c) {
        low = high = uA;
        met = true;
    }
    if (vB == c) {
        low = high = uB;
        met = true;
    }
    if (met)
        return true;
    if (std::min(vA, vB) < c && c < std::max(vA, vB)) {
        low = high = uA + (c - vA) / (vB - vA) * (uB - uA);
        return true;
    }
    return false;
}

bool clippingLineByPolygon(bool horizontal, double c, const std::vector<Point>& polygon,
                           double& low, double& high) {
    bool found = false;
    const size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % n]; // the last edge closes the ring
        double edgeLow = 0.0;
        double edgeHigh = 0.0;
        if (!crossLineByEdge(horizontal, c, a, b, edgeLow, edgeHigh))
            continue;
        if (!found) {
            low = edgeLow;
            high = edgeHigh;
        } else {
            low = std::min(low, edgeLow);
            high = std::max(high, edgeHigh);
        }
        found = true;
    }
    // A line that only touches a vertex meets the polygon in no stretch.
    return found && low != high;
}

bool clippingHorizontalLineByPolygon(double y, const std::vector<Point>& polygon, double& xLow,
                                     double& xHigh) {
    return clippingLineByPolygon(true, y, polygon, xLow, xHigh);
}

bool clippingVerticalLineByPolygon(double x, const std::vector<Point>& polygon, double& yLow,
                                   double& yHigh) {
    return clippingLineByPolygon(false, x, polygon, yLow, yHigh);
}

} // namespace sheetjob::geometry
