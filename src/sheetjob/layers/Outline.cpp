#include "sheetjob/layers/Outline.h"
#include "sheetjob/geometry/Tolerance.h"

#include <cmath>

namespace sheetjob::layers {
namespace {

using geometry::eqWithTolerance;

// Most vertices one side may get: a side around the whole globe at the finest
// spacing used (1/96 degree) has 34 560; anything beyond this is not a sheet.
constexpr double kMaxSideVertices = 1.0e6;

// A side that could not be walked to its end: no positive spacing, a value that is
// not finite, or more vertices than any sheet needs.
bool walkableSide(double fixed, double from, double to, double spacing) {
    if (!(spacing > 0) || !std::isfinite(spacing) || !std::isfinite(fixed) ||
        !std::isfinite(from) || !std::isfinite(to))
        return false;
    return std::fabs(to - from) / spacing < kMaxSideVertices;
}

// Walks one side from `from` towards `to`, every vertex computed as
// count * d + from, and hands each running value to `add`.
template <typename Add>
int addSide(double from, double to, double spacing, bool includeEnd, Add add) {
    const double d = from > to ? -spacing : spacing;
    int count = 0;
    for (;;) {
        const double c = static_cast<double>(count) * d + from;
        const bool passed = d > 0 ? c > to : c < to;
        if (eqWithTolerance(c, to) || passed) {
            // The side ends exactly on `to`: a last regular vertex closer than the
            // tolerance is replaced by it, otherwise it follows the last one.
            if (includeEnd) {
                add(to);
                ++count;
            }
            return count;
        }
        add(c);
        ++count;
    }
}

} // namespace

int addParallel(double latitude, double from, double to, double spacing, bool includeEnd,
                geometry::Vertices& v) {
    if (!walkableSide(latitude, from, to, spacing))
        return 0;
    return addSide(from, to, spacing, includeEnd, [&](double x) { v.add(x, latitude); });
}

int addMeridian(double longitude, double from, double to, double spacing, bool includeEnd,
                geometry::Vertices& v) {
    if (!walkableSide(longitude, from, to, spacing))
        return 0;
    return addSide(from, to, spacing, includeEnd, [&](double y) { v.add(longitude, y); });
}

int addRectangle(const geometry::Trapezium& t, const geometry::VertexSpacing& spacing,
                 geometry::Vertices& v) {
    int count = addParallel(t.north, t.west, t.east, spacing.lon, false, v);
    count += addMeridian(t.east, t.north, t.south, spacing.lat, false, v);
    count += addParallel(t.south, t.east, t.west, spacing.lon, false, v);
    count += addMeridian(t.west, t.south, t.north, spacing.lat, true, v);
    return count;
}

} // namespace sheetjob::layers
