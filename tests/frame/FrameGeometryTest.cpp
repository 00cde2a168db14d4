#include "sheetjob/frame/FrameGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace sheetjob::frame;
using sheetjob::geometry::Vertices;

namespace {
constexpr double kStepLon = 0.125;
constexpr double kStepLat = 0.08333333333333333;
} // namespace

// The millimetre-to-degree conversion keeps the truncated pi of the design.
TEST(FrameGeometry, TargetLatLonWorkedValues) {
    EXPECT_EQ(targetLat(0.0, 1.0, PrintedMap{200000}), 0.0017986342084121683);
    EXPECT_EQ(targetLon(0.0, 60.0, 1.0, PrintedMap{200000}), 0.0035972683055245616);
    // A negative distance goes south / west by the same amount.
    EXPECT_EQ(targetLat(0.0, -1.0, PrintedMap{200000}), -0.0017986342084121683);
    EXPECT_EQ(targetLon(0.0, 60.0, -1.0, PrintedMap{200000}), -0.0035972683055245616);
}

// The grid walk: first and last vertex exact, inner ones on origin + k*step,
// none closer than 0.2 step to an end.
TEST(FrameGeometry, ParallelWalkTable) {
    struct Case {
        const char* name;
        double start, end, origin;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {"one vertex when start equals end", 37.3, 37.3, 37.0, {37.3}},
        {"shorter than 0.2 step: ends only", 37.0, 37.02, 37.0, {37.0, 37.02}},
        {"on the grid", 37.0, 37.5, 37.0, {37.0, 37.125, 37.25, 37.375, 37.5}},
        {"grid value near the start is skipped", 36.99, 37.3, 37.0, {36.99, 37.125, 37.25, 37.3}},
        {"grid value near the end is replaced by the end",
         37.0,
         37.26,
         37.0,
         {37.0, 37.125, 37.26}},
        {"decreasing", 37.5, 37.0, 37.0, {37.5, 37.375, 37.25, 37.125, 37.0}},
        {"decreasing off the grid", 37.3, 36.99, 37.0, {37.3, 37.25, 37.125, 36.99}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Vertices v;
        const int n =
            addOutParallel(54.0, 0.0, c.start, c.end, PrintedMap{200000}, {c.origin, kStepLon}, v);
        ASSERT_EQ(n, static_cast<int>(c.expected.size()));
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(v.x[i], c.expected[i]) << i;
            EXPECT_EQ(v.y[i], 54.0);
        }
    }
}

// A meridian line keeps its distance at every vertex's own latitude.
TEST(FrameGeometry, MeridianLineKeepsDistancePerVertex) {
    Vertices v;
    const int n = addOutMeridian(37.0, -7.0, 54.0, 54.25, PrintedMap{200000}, {54.0, kStepLat}, v);
    ASSERT_EQ(n, 4);
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(v.x[i], targetLon(37.0, v.y[i], -7.0, PrintedMap{200000}));
    EXPECT_EQ(v.y[0], 54.0);
    EXPECT_EQ(v.y[3], 54.25);
}

// The d = 0 ring over a 6 x 4 degree trapezium: 49 vertices a side, closed.
TEST(FrameGeometry, RingOfSixByFourDegrees) {
    Vertices v;
    const int n = outRamkaVertices(0.0, PrintedMap{1000000}, {36.0, 42.0, 52.0, 56.0},
                                   {kStepLon, kStepLat}, v);
    ASSERT_EQ(n, 193);
    EXPECT_EQ(v.x.front(), 36.0);
    EXPECT_EQ(v.y.front(), 56.0);
    EXPECT_EQ(v.x.back(), v.x.front());
    EXPECT_EQ(v.y.back(), v.y.front());
    EXPECT_EQ(v.x[48], 42.0); // north-east corner
    EXPECT_EQ(v.y[96], 52.0); // south-east corner
    EXPECT_EQ(v.x[96], 42.0);
}

// An outer ring starts at the north-west corner and sides meet exactly.
TEST(FrameGeometry, OffsetRingCornersAndClockwise) {
    const double s = 200000, d = 9.8;
    Vertices v;
    const int n = outRamkaVertices(d, PrintedMap{s}, {37.0, 38.0, 54.0, 54.666666666666664},
                                   {kStepLon, kStepLat}, v);
    ASSERT_GT(n, 4);
    const double top = targetLat(54.666666666666664, d, PrintedMap{s});
    EXPECT_EQ(v.y[0], top);
    EXPECT_EQ(v.x[0], targetLon(37.0, top, -d, PrintedMap{s}));
    EXPECT_EQ(v.x.back(), v.x[0]);
    EXPECT_EQ(v.y.back(), v.y[0]);
    // Clockwise: the second vertex lies east of the first.
    EXPECT_GT(v.x[1], v.x[0]);
}

// A side lengthened by less than 0.2 step: the grid value at its first corner
// is skipped and the one at its last corner replaced by the end point.
TEST(FrameGeometry, ShortLengtheningSkipsCornerGridValues) {
    Vertices v;
    const double s = 200000, d = 1.0;
    const int n = addOutRamkaParallel(d, PrintedMap{s}, true, 54.0, 37.0, 37.5, kStepLon, true, v);
    ASSERT_EQ(n, 5);
    EXPECT_LT(v.x[0], 37.0);
    EXPECT_EQ(v.x[1], 37.125);
    EXPECT_EQ(v.x[3], 37.375);
    EXPECT_GT(v.x[4], 37.5);
    Vertices w;
    EXPECT_EQ(addOutRamkaParallel(d, PrintedMap{s}, true, 54.0, 37.0, 37.5, kStepLon, false, w), 4);
}

// Inputs that would make a walk endless are refused, and nothing is appended.
TEST(FrameGeometry, EndlessWalksAreRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        double start, end, origin, step;
    };
    const Case cases[] = {
        {"zero step", 37.0, 38.0, 37.0, 0.0},
        {"negative step", 37.0, 38.0, 37.0, -0.125},
        {"NaN step", 37.0, 38.0, 37.0, nan},
        {"NaN end", 37.0, nan, 37.0, 0.125},
        {"infinite start", -inf, 38.0, 37.0, 0.125},
        {"far too many vertices", 0.0, 1e6, 0.0, 1e-3},
        {"step below the resolution", 1e12, 1e12 + 1, 1e12, 1e-6},
        {"origin far away", 37.0, 38.0, 1e9, 0.125},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Vertices v;
        EXPECT_EQ(
            addOutParallel(54.0, 0.0, c.start, c.end, PrintedMap{200000}, {c.origin, c.step}, v),
            kLineRefused);
        EXPECT_EQ(
            addOutMeridian(37.0, 1.0, c.start, c.end, PrintedMap{200000}, {c.origin, c.step}, v),
            kLineRefused);
        EXPECT_EQ(v.size(), 0);
    }
    Vertices ring;
    EXPECT_EQ(
        outRamkaVertices(1.0, PrintedMap{200000}, {37.0, 38.0, 54.0, 55.0}, {0.0, kStepLat}, ring),
        kLineRefused);
    EXPECT_EQ(ring.size(), 0);
}
