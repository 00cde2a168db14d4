#include "sheetjob/frame/FrameGeometry.h"

#include <algorithm>
#include <cmath>

namespace sheetjob::frame {

namespace {

constexpr double kMillimetresPerKilometre = 1000000.0; // map mm to ground km: d / 1e6 * s
constexpr double kHalfTurnDegrees = 180.0;             // radians to degrees with kFramePi
constexpr double kFullTurnDegrees = 360.0;             // degrees to radians: lat / 360 * 2 * pi
constexpr int kGridOriginBackSteps = 3;                // the grid origin lies three steps below
constexpr int kGridSearchBackSteps = 2; // the search for the next grid value starts two steps back
// Below this many steps per unit of the values' magnitude, consecutive grid
// values are no longer distinct doubles and a walk would not advance.
constexpr double kMinRelativeStep = 1e-9;

/// True when a walk from `start` to `end` on the grid origin..step ends in
/// bounded time: every value finite, the step positive, noticeable against the
/// values and not too many steps in the line or between origin and line.
bool walkable(double start, double end, double origin, double step) {
    if (!(std::isfinite(start) && std::isfinite(end) && std::isfinite(origin) && step > 0 &&
          std::isfinite(step)))
        return false;
    const double magnitude = std::max({std::fabs(start), std::fabs(end), std::fabs(origin)});
    if (!(step > magnitude * kMinRelativeStep))
        return false;
    return std::fabs(end - start) / step <= kMaxLineSteps &&
           std::fabs(std::min(start, end) - origin) / step <= kMaxLineSteps;
}

/// The walk shared by both densifiers: calls `emit` with each value from start to end.
template <typename Emit>
int walkLine(double start, double end, double origin, double step, Emit emit) {
    if (!walkable(start, end, origin, step))
        return kLineRefused;
    double cur = start;
    emit(cur);
    int n = 1;
    const bool decreasing = start > end;
    const double g = minReperValue(std::min(start, end), origin, step);
    while (cur != end) {
        cur = nextIntermediateVertex(cur, decreasing, g, step);
        if ((decreasing && cur < end + kSnapFraction * step) ||
            (!decreasing && cur > end - kSnapFraction * step))
            cur = end;
        emit(cur);
        ++n;
    }
    return n;
}

} // namespace

double targetLat(double lat0, double d, const PrintedMap& map) {
    const double s = map.scaleDenominator;
    const double R = map.earthRadius;
    return lat0 + (d / kMillimetresPerKilometre * s) / (R * kFramePi) * kHalfTurnDegrees;
}

double targetLon(double lon0, double lat, double d, const PrintedMap& map) {
    const double s = map.scaleDenominator;
    const double R = map.earthRadius;
    return lon0 + (d / kMillimetresPerKilometre * s) /
                      (std::cos(lat / kFullTurnDegrees * 2 * kFramePi) * R * kFramePi) *
                      kHalfTurnDegrees;
}

double minReperValue(double x, double x0, double step) {
    return (std::round((x - x0) / step) - kGridOriginBackSteps) * step + x0;
}

double nextIntermediateVertex(double cur, bool decreasing, double g, double step) {
    double v;
    if (!decreasing) {
        v = g + (std::round((cur - g) / step) - kGridSearchBackSteps) * step;
        while (v <= cur)
            v = v + step;
        if ((v - cur) / step < kSnapFraction)
            v = v + step;
    } else {
        v = g + (std::round((cur - g) / step) + kGridSearchBackSteps) * step;
        while (v >= cur)
            v = v - step;
        if ((cur - v) / step < kSnapFraction)
            v = v - step;
    }
    return v;
}

int addOutParallel(double lat, double d, double lonStart, double lonEnd, const PrintedMap& map,
                   const VertexGrid& grid, geometry::Vertices& v) {
    const double latT = targetLat(lat, d, map);
    if (!std::isfinite(latT))
        return kLineRefused;
    return walkLine(lonStart, lonEnd, grid.origin, grid.step,
                    [&](double lon) { v.add(lon, latT); });
}

int addOutMeridian(double lon, double d, double latStart, double latEnd, const PrintedMap& map,
                   const VertexGrid& grid, geometry::Vertices& v) {
    const int before = v.size();
    const int n = walkLine(latStart, latEnd, grid.origin, grid.step,
                           [&](double lat) { v.add(targetLon(lon, lat, d, map), lat); });
    for (int i = before; n > 0 && i < v.size(); ++i) {
        if (!std::isfinite(v.x[static_cast<size_t>(i)])) {
            // A meridian line reaching a pole has no longitude at that distance.
            v.x.resize(static_cast<size_t>(before));
            v.y.resize(static_cast<size_t>(before));
            return kLineRefused;
        }
    }
    return n;
}

int addOutRamkaParallel(double d, const PrintedMap& map, bool outward, double lat, double lon1,
                        double lon2, double step, bool keepLast, geometry::Vertices& v) {
    const double off = outward ? d : -d;
    const double latT = targetLat(lat, off, map);
    double lonStart, lonEnd;
    if (lon1 > lon2) {
        lonStart = targetLon(lon1, latT, d, map);
        lonEnd = targetLon(lon2, latT, -d, map);
    } else {
        lonStart = targetLon(lon1, latT, -d, map);
        lonEnd = targetLon(lon2, latT, d, map);
    }
    int n = addOutParallel(lat, off, lonStart, lonEnd, map, {lon1, step}, v);
    if (n > 0 && !keepLast) {
        v.removeLast(); // the next side starts with the same point
        --n;
    }
    return n;
}

int addOutRamkaMeridian(double d, const PrintedMap& map, bool outward, double lon, double lat1,
                        double lat2, double step, bool keepLast, geometry::Vertices& v) {
    const double off = outward ? d : -d;
    double latStart, latEnd;
    if (lat1 > lat2) {
        latStart = targetLat(lat1, d, map);
        latEnd = targetLat(lat2, -d, map);
    } else {
        latStart = targetLat(lat1, -d, map);
        latEnd = targetLat(lat2, d, map);
    }
    int n = addOutMeridian(lon, off, latStart, latEnd, map, {lat1, step}, v);
    if (n > 0 && !keepLast) {
        v.removeLast();
        --n;
    }
    return n;
}

int outRamkaVertices(double d, const PrintedMap& map, const geometry::Trapezium& t,
                     const geometry::VertexSpacing& step, geometry::Vertices& v) {
    const int before = v.size();
    const int sides[4] = {
        addOutRamkaParallel(d, map, true, t.north, t.west, t.east, step.lon, false, v),
        addOutRamkaMeridian(d, map, true, t.east, t.north, t.south, step.lat, false, v),
        addOutRamkaParallel(d, map, false, t.south, t.east, t.west, step.lon, false, v),
        addOutRamkaMeridian(d, map, false, t.west, t.south, t.north, step.lat, true, v),
    };
    for (int n : sides) {
        if (n == kLineRefused) {
            v.x.resize(static_cast<size_t>(before));
            v.y.resize(static_cast<size_t>(before));
            return kLineRefused;
        }
    }
    return v.size() - before;
}

} // namespace sheetjob::frame
