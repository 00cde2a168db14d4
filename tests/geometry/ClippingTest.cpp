#include "sheetjob/geometry/Clipping.h"
#include "sheetjob/geometry/DatumShift.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Tolerance.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace geo = sheetjob::geometry;

namespace {

const std::vector<geo::Point> kRectangle = {{37.0, 54.0}, {38.0, 54.0}, {38.0, 54.5}, {37.0, 54.5}};
// A triangle standing on its lowest vertex (37.5, 54).
const std::vector<geo::Point> kTriangle = {{37.0, 55.0}, {37.5, 54.0}, {38.0, 55.0}};
// A quadrilateral with skew sides, as a refined or shifted sheet outline may be.
const std::vector<geo::Point> kSkewed = {{37.0, 54.0}, {38.0, 54.2}, {38.2, 55.0}, {36.8, 54.6}};

// The tolerance is inclusive and judged on the computed difference.
TEST(Geometry, ToleranceComparison) {
    EXPECT_TRUE(geo::eqWithTolerance(0.0, 1.0 / 6000.0));
    EXPECT_TRUE(geo::eqWithTolerance(1.0 / 6000.0, 0.0));
    EXPECT_FALSE(geo::eqWithTolerance(10.0, 10.0002));
    EXPECT_FALSE(geo::eqWithTolerance(10.0, 10.0 + 1.0 / 6000.0));
    EXPECT_TRUE(geo::eqWithTolerance(54.666666666666664, 54.0 + 40.0 / 60.0));
}

// The stretch of graticule lines inside outlines; touching a vertex is no stretch.
TEST(Geometry, ClipsLinesByPolygon) {
    struct Case {
        const char* name;
        bool horizontal;
        double c;
        const std::vector<geo::Point>* polygon;
        bool expected;
        double low, high;
    };
    const std::vector<Case> cases = {
        {"parallel through the middle", true, 54.25, &kRectangle, true, 37.0, 38.0},
        {"parallel on the top edge", true, 54.5, &kRectangle, true, 37.0, 38.0},
        {"parallel on the bottom edge", true, 54.0, &kRectangle, true, 37.0, 38.0},
        {"meridian through the middle", false, 37.25, &kRectangle, true, 54.0, 54.5},
        {"meridian on the west edge", false, 37.0, &kRectangle, true, 54.0, 54.5},
        {"parallel through the lowest vertex", true, 54.0, &kTriangle, false, 37.5, 37.5},
        {"parallel across the triangle", true, 54.5, &kTriangle, true, 37.25, 37.75},
        {"meridian across the skewed outline", false, 38.0, &kSkewed, true, 54.2,
         54.942857142857143},
        {"parallel across the skewed outline", true, 54.6, &kSkewed, true, 36.8, 38.1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double low = -1.0, high = -1.0;
        EXPECT_EQ(geo::clippingLineByPolygon(c.horizontal, c.c, *c.polygon, low, high), c.expected);
        EXPECT_DOUBLE_EQ(low, c.low);
        EXPECT_DOUBLE_EQ(high, c.high);

        double low2 = -1.0, high2 = -1.0;
        const bool viaWrapper =
            c.horizontal ? geo::clippingHorizontalLineByPolygon(c.c, *c.polygon, low2, high2)
                         : geo::clippingVerticalLineByPolygon(c.c, *c.polygon, low2, high2);
        EXPECT_EQ(viaWrapper, c.expected);
        EXPECT_EQ(low2, low);
        EXPECT_EQ(high2, high);

        // Repeating the first point adds a zero-length edge that changes nothing.
        auto closed = *c.polygon;
        closed.push_back(closed.front());
        double low3 = -1.0, high3 = -1.0;
        EXPECT_EQ(geo::clippingLineByPolygon(c.horizontal, c.c, closed, low3, high3), c.expected);
        EXPECT_EQ(low3, low);
        EXPECT_EQ(high3, high);
    }
}

// Misses leave the outputs untouched; a line near an edge does not meet it.
TEST(Geometry, MissesLeaveOutputsAlone) {
    double low = 7.0, high = 8.0;
    EXPECT_FALSE(geo::clippingVerticalLineByPolygon(36.0, kRectangle, low, high));
    EXPECT_FALSE(geo::clippingHorizontalLineByPolygon(54.5 + 1e-12, kRectangle, low, high));
    EXPECT_FALSE(geo::clippingHorizontalLineByPolygon(54.0, {}, low, high));
    EXPECT_EQ(low, 7.0);
    EXPECT_EQ(high, 8.0);
}

// One edge against a line: on it, through one end, across it, beside it.
TEST(Geometry, CrossesOneEdge) {
    struct Case {
        const char* name;
        bool horizontal;
        double c;
        geo::Point a, b;
        bool expected;
        double low, high;
    };
    const std::vector<Case> cases = {
        {"edge on the line, reversed", true, 5.0, {3.0, 5.0}, {1.0, 5.0}, true, 1.0, 3.0},
        {"line through the first end", true, 5.0, {2.0, 5.0}, {4.0, 7.0}, true, 2.0, 2.0},
        {"line through the second end", false, 4.0, {2.0, 5.0}, {4.0, 7.0}, true, 7.0, 7.0},
        {"line across the edge", true, 6.0, {2.0, 5.0}, {4.0, 7.0}, true, 3.0, 3.0},
        {"line beside the edge", true, 7.5, {2.0, 5.0}, {4.0, 7.0}, false, -1.0, -1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double low = -1.0, high = -1.0;
        EXPECT_EQ(geo::crossLineByEdge(c.horizontal, c.c, c.a, c.b, low, high), c.expected);
        EXPECT_EQ(low, c.low);
        EXPECT_EQ(high, c.high);
    }
}

} // namespace

namespace sheetjob::geometry {
namespace {

/// The literal clipping and the prepared one, compared to the bit.
void expectSameClipping(const std::vector<Point>& polygon, const PolygonClipper& clipper,
                        bool horizontal, double c) {
    double low1 = -7.0, high1 = -7.0, low2 = -7.0, high2 = -7.0;
    const bool a = clippingLineByPolygon(horizontal, c, polygon, low1, high1);
    const bool b = clipper.clip(horizontal, c, low2, high2);
    ASSERT_EQ(a, b) << (horizontal ? "y = " : "x = ") << c;
    ASSERT_EQ(std::signbit(low1), std::signbit(low2));
    ASSERT_TRUE(low1 == low2 || (std::isnan(low1) && std::isnan(low2))) << low1 << " " << low2;
    ASSERT_TRUE(high1 == high2 || (std::isnan(high1) && std::isnan(high2)))
        << high1 << " " << high2;
}

/// Lines through every vertex and edge, between them and outside the polygon.
void compareOnManyLines(const std::vector<Point>& polygon, std::mt19937_64& random) {
    const PolygonClipper clipper(polygon);
    std::uniform_real_distribution<double> jitter(-0.2, 0.2);
    for (const bool horizontal : {true, false}) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const double v = horizontal ? polygon[i].y : polygon[i].x;
            expectSameClipping(polygon, clipper, horizontal, v);
            expectSameClipping(polygon, clipper, horizontal, std::nextafter(v, 1e9));
            expectSameClipping(polygon, clipper, horizontal, v + jitter(random));
        }
        for (const double c : {-1e9, 1e9, std::numeric_limits<double>::quiet_NaN()})
            expectSameClipping(polygon, clipper, horizontal, c);
    }
}

// The prepared clipping gives what the literal one gives, on the outlines it
// is made for (densified, datum-shifted trapezia) and on any polygon: level
// sides, spikes, repeated and non-finite vertices, lines through vertices.
TEST(PolygonClipper, SameAsTheLiteralClipping) {
    std::mt19937_64 random(20261208);
    // Shifted sheet outlines, as the graticule lines of a shifted sheet meet them.
    for (const auto& [w, e, s, n] : {std::array<double, 4>{37.0, 38.0, 54.0, 54.0 + 2.0 / 3.0},
                                     {36.0, 42.0, 52.0, 56.0},
                                     {348.0, 372.0, 76.0, 80.0},
                                     {30.0, 48.0, 48.0, 60.0}}) {
        std::vector<Point> ring;
        for (double x = w; x < e; x += 0.125)
            ring.push_back({x, n});
        for (double y = n; y > s; y -= 1.0 / 12)
            ring.push_back({e, y});
        for (double x = e; x > w; x -= 0.125)
            ring.push_back({x, s});
        for (double y = s; y < n; y += 1.0 / 12)
            ring.push_back({w, y});
        ring.push_back(ring.front());
        for (Point& p : ring)
            sk42_To_Gsk2011(p);
        compareOnManyLines(ring, random);
    }
    // Random polygons with level stretches, spikes and repeats.
    std::uniform_int_distribution<int> size(0, 40);
    std::uniform_int_distribution<int> grid(-5, 5);
    for (int round = 0; round < 400; ++round) {
        std::vector<Point> polygon(static_cast<std::size_t>(size(random)));
        for (Point& p : polygon)
            p = {grid(random) * 0.5, grid(random) * 0.5};
        if (round % 10 == 0 && !polygon.empty())
            polygon[polygon.size() / 2].y = std::numeric_limits<double>::quiet_NaN();
        if (round % 10 == 5 && !polygon.empty())
            polygon.front().x = std::numeric_limits<double>::infinity();
        compareOnManyLines(polygon, random);
    }
}

} // namespace
} // namespace sheetjob::geometry
