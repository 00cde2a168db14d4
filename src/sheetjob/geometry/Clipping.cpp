#include "sheetjob/geometry/Clipping.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace sheetjob::geometry {
namespace {

/// Widens the stretch found so far (low..high, set when `found`) by where the
/// line meets the edge a-b, if it meets it.
void meetEdge(bool horizontal, double c, const Point& a, const Point& b, bool& found, double& low,
              double& high) {
    double edgeLow = 0.0;
    double edgeHigh = 0.0;
    if (!crossLineByEdge(horizontal, c, a, b, edgeLow, edgeHigh))
        return;
    if (!found) {
        low = edgeLow;
        high = edgeHigh;
    } else {
        low = std::min(low, edgeLow);
        high = std::max(high, edgeHigh);
    }
    found = true;
}

} // namespace

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
    for (size_t i = 0; i < n; ++i) // the last edge closes the ring
        meetEdge(horizontal, c, polygon[i], polygon[(i + 1) % n], found, low, high);
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

PolygonClipper::PolygonClipper(std::vector<Point> polygon) : polygon_(std::move(polygon)) {
    horizontalRuns_ = runsOf(true);
    verticalRuns_ = runsOf(false);
}

double PolygonClipper::across(bool horizontal, std::size_t vertex) const {
    const Point& p = polygon_[vertex % polygon_.size()];
    return horizontal ? p.y : p.x;
}

std::vector<PolygonClipper::Run> PolygonClipper::runsOf(bool horizontal) const {
    std::vector<Run> runs;
    const std::size_t n = polygon_.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double a = across(horizontal, i);
        const double b = across(horizontal, i + 1);
        // An edge with a value that is not finite is never part of a run: the
        // comparisons that order a run do not hold for it.
        if (!std::isfinite(a) || !std::isfinite(b)) {
            runs.push_back({i, i, false, true});
            continue;
        }
        const bool rising = a < b;
        const bool falling = a > b;
        if (!runs.empty()) {
            Run& r = runs.back();
            if (r.monotone && r.last + 1 == i &&
                ((r.rising && !falling) || (!r.rising && !rising))) {
                r.last = i;
                continue;
            }
        }
        // A level edge starts a rising run; a falling edge after it keeps it one
        // edge long, and the next run starts there.
        runs.push_back({i, i, true, !falling});
    }
    return runs;
}

bool PolygonClipper::clip(bool horizontal, double c, double& low, double& high) const {
    bool found = false;
    const std::size_t n = polygon_.size();
    const auto meet = [&](std::size_t i) {
        meetEdge(horizontal, c, polygon_[i], polygon_[(i + 1) % n], found, low, high);
    };
    for (const Run& r : horizontal ? horizontalRuns_ : verticalRuns_) {
        if (!r.monotone) {
            meet(r.first);
            continue;
        }
        // In a rising run edge i meets the line when v(i) <= c <= v(i + 1): the
        // meeting edges are consecutive, from the first whose end reaches c to
        // the last whose start does not pass it (mirrored in a falling run).
        std::size_t lo = r.first, hi = r.last + 1; // first edge with end on c's side
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            const double end = across(horizontal, mid + 1);
            if (r.rising ? end < c : end > c)
                lo = mid + 1;
            else
                hi = mid;
        }
        std::size_t first = lo;
        lo = first;
        hi = r.last + 1; // one past the last edge whose start is not beyond c
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            const double start = across(horizontal, mid);
            if (r.rising ? start <= c : start >= c)
                lo = mid + 1;
            else
                hi = mid;
        }
        for (std::size_t i = first; i < lo; ++i)
            meet(i);
    }
    return found && low != high;
}

} // namespace sheetjob::geometry
