#include "RecordingSink.h"

#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/frame/MinuteFrame.h"

#include <gtest/gtest.h>

using namespace sheetjob::frame;
using sheetjob::frame::test::Record;
using sheetjob::frame::test::RecordingSink;

namespace {

constexpr double kNorth = 54.666666666666664; // 56 - 2 * (2/3): the north edge of N-37-XIV
constexpr double kMinute = 1.0 / 60;

FrameJob sheet200k() {
    FrameJob j;
    j.bounds.west = j.base.west = j.result.west = 37.0;
    j.bounds.east = j.base.east = j.result.east = 38.0;
    j.bounds.south = j.base.south = j.result.south = 54.0;
    j.bounds.north = j.base.north = j.result.north = kNorth;
    j.xMinute = j.yMinute = 1;
    return j;
}

bool isNorthSouthTick(const Record& r) { return r.v.size() == 2 && r.v.x[0] == r.v.x[1]; }

struct SideCount {
    int ticks = 0;
    int fills = 0;
};

SideCount countNorthSouth(const std::vector<Record>& records) {
    SideCount c;
    for (const auto& r : records)
        (isNorthSouthTick(r) ? c.ticks : c.fills)++;
    return c;
}

} // namespace

// A 1 degree x 40 minute sheet with 1-minute divisions, base = result.
TEST(MinuteFrame, WholeSheetCounts) {
    RecordingSink sink;
    const FrameLayout layout = setRamkParameters(0, 0);
    ASSERT_EQ(minuteFrameFramework(sink, layout, sheet200k()), kFrameOk);
    const auto& r = sink.records;
    ASSERT_EQ(r.size(), 2u + 2 * (61 + 30) + 2 * (41 + 20));
    for (const auto& rec : r) {
        EXPECT_EQ(rec.layer, kFrameLayer);
        EXPECT_EQ(rec.attributes.code, 400901);
    }
    // Inner line 7 mm out, outer line 8.2 mm out; both closed rings.
    const double s = layout.scaleDenominator;
    EXPECT_EQ(r[0].v.y[0], targetLat(kNorth, 7.0, PrintedMap{s}));
    EXPECT_EQ(r[1].v.y[0], targetLat(kNorth, 7.0 + 1.2000000476837158, PrintedMap{s}));
    // North scale: tick at W, tick at W + 1', fill of the first (filled) division.
    const Record& firstTick = r[2];
    EXPECT_EQ(firstTick.v.x[0], 37.0);
    EXPECT_EQ(firstTick.v.y[0], targetLat(kNorth, 7.0, PrintedMap{s}));
    EXPECT_EQ(firstTick.v.y[1], targetLat(kNorth, 7.0 + 1.2000000476837158, PrintedMap{s}));
    EXPECT_EQ(r[3].v.x[0], 37.0 + kMinute);
    EXPECT_EQ(r[4].v.x[0], 37.0);
    EXPECT_EQ(r[4].v.x[1], 37.0 + kMinute);
    // The last north tick lies exactly on E (the running sum is snapped to it).
    EXPECT_EQ(r[2 + 90].v.x[0], 38.0);
    // West scale starts at S with a filled division along the middle meridian line.
    const size_t west = 2 + 2 * 91;
    EXPECT_EQ(r[west].v.y[0], 54.0);
    EXPECT_EQ(r[west].v.y[1], 54.0);
    EXPECT_EQ(r[west + 2].v.y[0], 54.0);
    EXPECT_EQ(r[west + 2].v.y[1], 54.0 + kMinute);
    EXPECT_EQ(r[west + 2].v.x[0],
              targetLon(37.0, 54.0, -(7.0 + 1.2000000476837158 / 2), PrintedMap{s}));

    // Lines, ticks and fills share one code; their kinds tell them apart: the two
    // rings first, then on the north side tick, tick, fill, tick, (no fill), ...
    EXPECT_EQ(r[0].kind, FrameRecordKind::MinuteLine);
    EXPECT_EQ(r[1].kind, FrameRecordKind::MinuteLine);
    EXPECT_EQ(r[2].kind, FrameRecordKind::MinuteTick);
    EXPECT_EQ(r[3].kind, FrameRecordKind::MinuteTick);
    EXPECT_EQ(r[4].kind, FrameRecordKind::MinuteFill);
    EXPECT_EQ(r[5].kind, FrameRecordKind::MinuteTick);
    EXPECT_EQ(r[6].kind, FrameRecordKind::MinuteTick);
    int fills = 0;
    for (size_t i = 2; i < r.size(); ++i) {
        if (r[i].kind == FrameRecordKind::MinuteFill)
            ++fills;
        else
            EXPECT_EQ(r[i].kind, FrameRecordKind::MinuteTick) << i;
    }
    EXPECT_EQ(fills, 2 * 30 + 2 * 20);
}

// Where the divisions start relative to the side, and where the side ends.
TEST(MinuteFrame, DivisionOriginAndSideEnds) {
    struct Case {
        const char* name;
        double west, east, baseWest;
        int ticks, fills;
        double firstX;      // x of the first record (a tick)
        bool firstIsFilled; // whether the first division drawn is filled
        double lastTickX;   // x of the last tick
    };
    const double h = kMinute;
    const Case cases[] = {
        {"origin on W", 37.0, 37.1, 37.0, 7, 3, 37.0, true, 37.0 + 6 * h},
        {"origin west of W, off the boundary: strip before the first boundary stays empty", 37.0,
         37.1, 36.99, 6, 3, 36.99 + h, false, 36.99 + 6 * h},
        {"origin east of W: partial first division from W without a tick", 37.0, 37.1, 37.01, 6, 3,
         37.01, false, 37.01 + 5 * h},
        {"origin beyond E is stepped back to W", 37.0, 37.1, 40.0, 7, 3, 37.0, true, 37.0 + 6 * h},
        {"partial last division ends at E without a tick", 37.0, 37.11, 37.0, 7, 4, 37.0, true,
         37.0 + 6 * h},
        {"no boundary on a short side: nothing", 37.001, 37.01, 37.0, 0, 0, 0.0, false, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FrameJob j = sheet200k();
        j.bounds.west = c.west;
        j.bounds.east = c.east;
        j.base.west = c.baseWest;
        RecordingSink sink;
        ASSERT_EQ(minuteFrameXTics(true, sink, setRamkParameters(0, 0), j), kFrameOk);
        const SideCount n = countNorthSouth(sink.records);
        EXPECT_EQ(n.ticks, c.ticks);
        EXPECT_EQ(n.fills, c.fills);
        if (sink.records.empty())
            continue;
        ASSERT_TRUE(isNorthSouthTick(sink.records[0]));
        EXPECT_NEAR(sink.records[0].v.x[0], c.firstX, 1e-12); // running sums of 1/60 degree
        // Fills alternate with the division index; the first drawn one (from its
        // first vertex) tells the start state.
        const Record* firstFill = nullptr;
        for (const auto& r : sink.records)
            if (!isNorthSouthTick(r)) {
                firstFill = &r;
                break;
            }
        ASSERT_NE(firstFill, nullptr);
        EXPECT_EQ(firstFill->v.x[0] == c.west, c.firstIsFilled);
        // Every fill ends on the side or on a division boundary, the last at most E.
        EXPECT_LE(sink.records.back().v.x.back(), c.east);
        const Record* lastTick = nullptr;
        for (const auto& r : sink.records)
            if (isNorthSouthTick(r))
                lastTick = &r;
        EXPECT_NEAR(lastTick->v.x[0], c.lastTickX, 1e-12);
    }
}

// A division of zero or negative minutes would walk without end: refused.
TEST(MinuteFrame, NonPositiveDivisionIsRefused) {
    for (int minutes : {0, -1}) {
        SCOPED_TRACE(minutes);
        FrameJob j = sheet200k();
        j.xMinute = minutes;
        j.yMinute = minutes;
        RecordingSink sink;
        EXPECT_EQ(minuteFrameXTics(true, sink, setRamkParameters(0, 0), j), kFrameWriteFailed);
        EXPECT_EQ(minuteFrameYTics(false, sink, setRamkParameters(0, 0), j), kFrameWriteFailed);
        EXPECT_TRUE(sink.records.empty());
    }
}

// A refused record stops the minute frame at once; what was written stays.
TEST(MinuteFrame, StopsAtTheFirstFailedRecord) {
    for (int failAt : {0, 1, 2, 50, 200}) {
        SCOPED_TRACE(failAt);
        RecordingSink sink;
        sink.failAt = failAt;
        EXPECT_EQ(minuteFrameFramework(sink, setRamkParameters(0, 0), sheet200k()),
                  kFrameWriteFailed);
        EXPECT_EQ(sink.records.size(), static_cast<size_t>(failAt));
    }
}
