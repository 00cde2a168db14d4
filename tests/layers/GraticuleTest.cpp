// Graticule arithmetic and densified outlines: the values and vertices that the
// layers are compared with bit for bit.

#include "sheetjob/layers/Graticule.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Tolerance.h"
#include "sheetjob/layers/Outline.h"
#include "sheetjob/layers/SubSheets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace sheetjob::layers {
namespace {

using geometry::eqWithTolerance;

// The walk from k = 0 exactly as the graticule is defined, as the reference for
// the routines, which may find the same k without walking from the origin.
double walkStart(double value, double origin, double step) {
    if (eqWithTolerance(origin, value))
        return origin;
    for (long long k = 0;; ++k) {
        if (origin < value) {
            const double c = k * step + origin;
            if (c > value || eqWithTolerance(c, value))
                return c;
        } else {
            const double c = k * (-step) + origin;
            if (eqWithTolerance(c, value))
                return c;
            if (c < value)
                return (k - 1) * (-step) + origin;
        }
    }
}
double walkEnd(double value, double origin, double step) {
    if (eqWithTolerance(origin, value))
        return origin;
    for (long long k = 0;; ++k) {
        if (origin < value) {
            const double c = k * step + origin;
            if (eqWithTolerance(c, value))
                return c;
            if (c > value)
                return (k - 1) * step + origin;
        } else {
            const double c = k * (-step) + origin;
            if (c < value || eqWithTolerance(c, value))
                return c;
        }
    }
}

// The worked values, with the origin below and above the value.
TEST(Graticule, StartAndEndValues) {
    const struct {
        const char* name;
        double value, origin, step, start, end;
    } cases[] = {
        {"between lines, origin below", 54.3, 54.0, 0.5, 54.5, 54.0},
        {"between lines, origin above", 54.3, 56.0, 0.5, 54.5, 54.0},
        {"within tolerance above a line", 54.50005, 54.0, 0.5, 54.5, 54.5},
        {"within tolerance above, origin above", 54.50005, 56.0, 0.5, 54.5, 54.5},
        {"within tolerance below a line", 54.49995, 54.0, 0.5, 54.5, 54.5},
        {"on the origin", 54.0, 54.0, 0.5, 54.0, 54.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(startGradValue(c.value, c.origin, c.step), c.start);
        EXPECT_EQ(endGradValue(c.value, c.origin, c.step), c.end);
    }
}

// Bit for bit the value the walk from the origin returns, for the steps of the
// system and values all around the globe (on, near and between lines).
TEST(Graticule, SameValuesAsTheWalkFromTheOrigin) {
    const double steps[] = {1.0 / 6.0, 0.25, 2.0 / 3.0, 1.0 / 12.0, 0.125, 0.75, 4.0};
    const double origins[] = {0.0, 36.0, 52.0, 54.666666666666664, 354.0, 180.0};
    const double offsets[] = {0.0, 1e-5, -1e-5, 0.00016666666666666666, -0.0002, 0.3};
    for (const double step : steps)
        for (const double origin : origins)
            for (int i = -400; i <= 400; i += 7)
                for (const double offset : offsets) {
                    const double value = origin + i * step * 0.37 + offset;
                    ASSERT_EQ(startGradValue(value, origin, step), walkStart(value, origin, step))
                        << value << " " << origin << " " << step;
                    ASSERT_EQ(endGradValue(value, origin, step), walkEnd(value, origin, step))
                        << value << " " << origin << " " << step;
                }
}

// Steps and values with which the walk would never end give NaN at once.
TEST(Graticule, UnwalkableInputsGiveNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value, origin, step;
    } cases[] = {{54.3, 54.0, 0.0}, {54.3, 54.0, -0.5}, {54.3, 54.0, nan},   {54.3, 54.0, inf},
                 {nan, 54.0, 0.5},  {54.3, inf, 0.5},   {1e300, 0.0, 1e-300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " " << c.origin << " " << c.step);
        EXPECT_TRUE(std::isnan(startGradValue(c.value, c.origin, c.step)));
        EXPECT_TRUE(std::isnan(endGradValue(c.value, c.origin, c.step)));
    }
}

TEST(Graticule, PlusUniqueValueComparesWithinTheTolerance) {
    std::vector<double> list{54.0, 54.5};
    plusUniqueValue(list, 54.0001); // within 1/6000 of 54.0
    EXPECT_EQ(list, (std::vector<double>{54.0, 54.5}));
    plusUniqueValue(list, 54.0002);
    EXPECT_EQ(list, (std::vector<double>{54.0, 54.5, 54.0002}));
}

// Vertex counts, corners and order of the closed rings.
TEST(Outline, RingsClockwiseFromTheNorthWestCorner) {
    const double yFrom = 52.0 + 1.0 / 3.0;
    const struct {
        const char* name;
        double west, east, lonSpacing, south, north, latSpacing;
        int count;
    } cases[] = {
        {"1:200 000 trapezium 1 x 40'", 36, 37, kParallelVertexSpacing, yFrom, 53,
         kMeridianVertexSpacing, 33},
        {"1:50 000 sheet 15' x 10'", 37, 37.25, kSubSheetSpacing.lon, 54.5, 54.666666666666664,
         kSubSheetSpacing.lat, 65},
        {"1:25 000 sheet 7'30\" x 5'", 37, 37.125, kSubSheetSpacing.lon, 54.583333333333336,
         54.666666666666664, kSubSheetSpacing.lat, 33},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        geometry::Vertices v;
        ASSERT_EQ(addRectangle({c.west, c.east, c.south, c.north}, {c.lonSpacing, c.latSpacing}, v),
                  c.count);
        ASSERT_EQ(v.size(), c.count);
        const int side = (c.count - 1) / 4;
        const double cornersX[] = {c.west, c.east, c.east, c.west, c.west};
        const double cornersY[] = {c.north, c.north, c.south, c.south, c.north};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(v.x[i * side], cornersX[i]) << i;
            EXPECT_EQ(v.y[i * side], cornersY[i]) << i;
        }
    }
}

// A width that is no whole multiple of the spacing: each side measures from its
// own start, and the east corner is still an exact vertex.
TEST(Outline, SidesMeasureFromTheirOwnStart) {
    geometry::Vertices v;
    const int count = addRectangle({36.0, 37.05, 52.0, 52.5}, {0.125, 1.0 / 12.0}, v);
    EXPECT_EQ(count, 9 + 6 + 9 + 7);
    EXPECT_EQ(v.x[8], 8 * 0.125 + 36.0); // last regular vertex, short of the edge
    EXPECT_EQ(v.x[9], 37.05);
    EXPECT_EQ(v.y[9], 52.5);
    EXPECT_EQ(v.x[16], 1 * -0.125 + 37.05); // south side measured from the east edge
    EXPECT_EQ(v.x[count - 1], 36.0);
    EXPECT_EQ(v.y[count - 1], 52.5);
}

TEST(Outline, EndVertexReplacesOrFollowsTheLastRegularOne) {
    const struct {
        const char* name;
        double to;
        bool includeEnd;
        int count;
        double last;
    } cases[] = {
        {"end within the tolerance replaces", 1.0001, true, 9, 1.0001},
        {"end beyond the tolerance follows", 1.05, true, 10, 1.05},
        {"end left out", 1.05, false, 9, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        geometry::Vertices v;
        ASSERT_EQ(addParallel(60.0, 0.0, c.to, 0.125, c.includeEnd, v), c.count);
        EXPECT_EQ(v.x.back(), c.last);
        EXPECT_EQ(v.y.back(), 60.0);
    }
    geometry::Vertices down; // a meridian walked southward
    ASSERT_EQ(addMeridian(37.0, 53.0, 52.5, 1.0 / 12.0, true, down), 7);
    EXPECT_EQ(down.y[1], 1 * -(1.0 / 12.0) + 53.0);
    EXPECT_EQ(down.y.back(), 52.5);
}

// A spacing with which a side would never end appends nothing.
TEST(Outline, UnwalkableSidesAppendNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double spacings[] = {0.0, -0.125, nan, 1e-300};
    for (const double s : spacings) {
        geometry::Vertices v;
        EXPECT_EQ(addParallel(54.0, 37.0, 38.0, s, true, v), 0) << s;
        EXPECT_EQ(addMeridian(37.0, 54.0, nan, 0.125, true, v), 0);
        EXPECT_EQ(v.size(), 0);
    }
}

} // namespace
} // namespace sheetjob::layers
