#include "RecordingSink.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/frame/OuterFrame.h"

#include <gtest/gtest.h>

using namespace sheetjob;
using namespace sheetjob::frame;
using sheetjob::frame::test::frameOfN37XIV;
using sheetjob::frame::test::Record;
using sheetjob::frame::test::RecordingSink;

namespace {

constexpr double kNorth = 54.666666666666664;

/// The "Text" value of a label record, as UTF-8.
std::string labelText(const Record& r) { return common::cp1251ToUtf8(r.attributes.text); }

/// A label's code, text, font and size, as UTF-8.
std::string shown(const Record& r) {
    const FrameRecord& a = r.attributes;
    return common::cp1251ToUtf8(std::to_string(a.code) + " " + a.text + " " + a.font + " " +
                                a.size);
}

std::vector<Record> outerLine(const RecordingSink& sink) {
    std::vector<Record> out;
    for (const auto& r : sink.inLayer(kFrameLayer))
        if (r.attributes.code == 400902)
            out.push_back(r);
    return out;
}

} // namespace

// Which neighbour names are kept, and the outer line around the gaps.
TEST(OuterFrame, NeighbourLabelsKeptAndDropped) {
    struct Case {
        const char* name;
        void (*change)(FrameJob&);
        std::vector<std::string> labels; // in writing order: north, south, west, east
    };
    const Case cases[] = {
        {"all four, each on its own side",
         [](FrameJob&) {},
         {"N-37-VIII", "N-37-XX", "N-37-XIII", "N-37-XV"}},
        {"result wider on the east: no eastern name",
         [](FrameJob& j) { j.bounds.east = j.result.east = 38.1; },
         {"N-37-VIII", "N-37-XX", "N-37-XIII"}},
        {"datum-shifted frame, unshifted result on the base: all kept",
         [](FrameJob& j) {
             j.bounds.west += 0.0003;
             j.bounds.east += 0.0003;
             j.bounds.south -= 0.0002;
             j.bounds.north -= 0.0002;
         },
         {"N-37-VIII", "N-37-XX", "N-37-XIII", "N-37-XV"}},
        {"result refined on the south and north",
         [](FrameJob& j) {
             j.bounds.south = j.result.south = 54.1;
             j.bounds.north = j.result.north = 54.5;
         },
         {"N-37-XIII", "N-37-XV"}},
        {"a name longer than its side is dropped",
         [](FrameJob& j) { j.neighbours.west = std::string(200, 'W'); },
         {"N-37-VIII", "N-37-XX", "N-37-XV"}},
        {"an empty name still gets its gap and label",
         [](FrameJob& j) { j.neighbours.south.clear(); },
         {"N-37-VIII", "", "N-37-XIII", "N-37-XV"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FrameJob j = frameOfN37XIV();
        c.change(j);
        RecordingSink sink;
        ASSERT_EQ(outFrameFramework(sink, setRamkParameters(0, 0), j), kFrameOk);
        const auto labels = sink.inLayer(kFrameAdjLayer);
        ASSERT_EQ(labels.size(), c.labels.size());
        for (size_t i = 0; i < labels.size(); ++i) {
            EXPECT_EQ(labelText(labels[i]), c.labels[i]);
            EXPECT_EQ(labels[i].attributes.code, 400911);
        }
        // The outer line is always four pieces that join into one closed line.
        const auto line = outerLine(sink);
        ASSERT_EQ(line.size(), 4u);
        const double top = targetLat(j.bounds.north, 9.800000190734863, PrintedMap{200000});
        EXPECT_EQ(line[0].v.y.back(), top);
        EXPECT_EQ(line[1].v.y.front(), top);
        // A side without a name meets at its middle: no gap.
        if (c.labels.size() == 3 && c.labels.back() == "N-37-XIII") {
            EXPECT_EQ(line[1].v.y.back(), (j.bounds.south + j.bounds.north) / 2);
            EXPECT_EQ(line[2].v.y.front(), (j.bounds.south + j.bounds.north) / 2);
        }
    }
}

// Outlets run from the edge to the inner minute-frame line, two vertices each.
TEST(OuterFrame, OutletsOfEveryGraticuleValue) {
    RecordingSink sink;
    const FrameJob j = frameOfN37XIV();
    ASSERT_EQ(outFrameFramework(sink, setRamkParameters(0, 0), j), kFrameOk);
    std::vector<Record> parallels, meridians;
    for (const auto& r : sink.inLayer(kFrameLayer)) {
        if (r.attributes.code == 400905) {
            EXPECT_EQ(r.kind, FrameRecordKind::ParallelOutlet);
            parallels.push_back(r);
        }
        if (r.attributes.code == 400904) {
            EXPECT_EQ(r.kind, FrameRecordKind::MeridianOutlet);
            meridians.push_back(r);
        }
    }
    ASSERT_EQ(parallels.size(), 10u);
    ASSERT_EQ(meridians.size(), 10u);
    for (size_t i = 0; i < j.latitudes.size(); ++i) {
        const Record& west = parallels[2 * i];
        const Record& east = parallels[2 * i + 1];
        ASSERT_EQ(west.v.size(), 2);
        ASSERT_EQ(east.v.size(), 2);
        EXPECT_EQ(west.v.x[0], 37.0);
        EXPECT_EQ(west.v.x[1], targetLon(37.0, j.latitudes[i], -7.0, PrintedMap{200000}));
        EXPECT_EQ(east.v.x[1], targetLon(38.0, j.latitudes[i], 7.0, PrintedMap{200000}));
    }
    EXPECT_EQ(meridians[0].v.y[1], targetLat(kNorth, 7.0, PrintedMap{200000}));
    EXPECT_EQ(meridians[1].v.y[1], targetLat(54.0, -7.0, PrintedMap{200000}));
}

// The labels of the first and last meridian move clear of the corner label
// blocks of the outermost parallels only when they would overlap them.
TEST(OuterFrame, MeridianLabelCollisions) {
    struct Case {
        const char* name;
        std::vector<double> lats, lons;
        std::vector<bool> moved; // per meridian label, north then south
    };
    const Case cases[] = {
        {"edge meridians collide, inner ones do not",
         {54.0, kNorth},
         {37.0, 37.5, 38.0},
         {true, true, false, false, true, true}},
        {"meridians clear of the corners keep the clearance",
         {54.0, kNorth},
         {37.25, 37.75},
         {false, false, false, false}},
        {"no parallels: no corner marks, no collision",
         {},
         {37.0, 38.0},
         {false, false, false, false}},
    };
    const FrameLayout layout = setRamkParameters(0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FrameJob j = frameOfN37XIV();
        j.latitudes = c.lats;
        j.longitudes = c.lons;
        RecordingSink sink;
        ASSERT_EQ(outFrameFramework(sink, layout, j), kFrameOk);
        const auto all = sink.inLayer(kFrameDigLayer);
        ASSERT_EQ(all.size(), 4 * c.lats.size() + 2 * c.lons.size());
        const std::vector<Record> meridianLabels(all.begin() + static_cast<long>(4 * c.lats.size()),
                                                 all.end());
        // Labels of one kind (side, moved or not) lie on one parallel; the plain
        // ones keep 1 mm (plus half the text height) from the edge, moved ones
        // lie farther out.
        const double h = targetLat(0, 1.0, PrintedMap{200000}); // degrees per mm
        for (size_t k = 0; k < meridianLabels.size(); ++k) {
            SCOPED_TRACE(k);
            const double y = meridianLabels[k].v.y[0];
            const double distanceMm = (k % 2 == 0 ? y - kNorth : 54.0 - y) / h;
            if (c.moved[k]) {
                EXPECT_GT(distanceMm, 2.0);
            } else {
                EXPECT_LT(distanceMm, 2.0);
                EXPECT_GT(distanceMm, 1.0);
            }
        }
    }
}

// Label texts, fonts and sizes; at 1:1 000 000 labels keep 2 mm from the edge.
TEST(OuterFrame, ValueLabelAttributesAndClearance) {
    FrameJob j = frameOfN37XIV();
    j.latitudes = {54.5};
    j.longitudes = {37.25};
    RecordingSink sink;
    ASSERT_EQ(outFrameFramework(sink, setRamkParameters(0, 0), j), kFrameOk);
    const auto labels = sink.inLayer(kFrameDigLayer);
    ASSERT_EQ(labels.size(), 6u);
    EXPECT_EQ(shown(labels[0]), "400912 54° FreeSet 6.50");
    EXPECT_EQ(shown(labels[1]), "400912 30' FreeSet 6.50");
    EXPECT_EQ(shown(labels[4]), "400912 37° 15' FreeSet 6.50");
    // The longer west text ends 1 mm from W.
    const double w1End = labels[0].v.x.back(), w2End = labels[1].v.x.back();
    const double longerEnd = std::max(w1End, w2End);
    EXPECT_NEAR(longerEnd, targetLon(37.0, labels[0].v.y[0], -1.0, PrintedMap{200000}), 1e-12);

    FrameJob m;
    m.bounds.west = m.base.west = m.result.west = 36.0;
    m.bounds.east = m.base.east = m.result.east = 42.0;
    m.bounds.south = m.base.south = m.result.south = 52.0;
    m.bounds.north = m.base.north = m.result.north = 56.0;
    m.xMinute = m.yMinute = 10;
    m.latitudes = {54.0};
    m.longitudes = {39.0};
    RecordingSink sink1M;
    ASSERT_EQ(outFrameFramework(sink1M, setRamkParameters(1, 0), m), kFrameOk);
    const auto l1 = sink1M.inLayer(kFrameDigLayer);
    ASSERT_EQ(l1.size(), 6u);
    EXPECT_EQ(shown(l1[2]), "400912 54° AGCenturion 8.00");
    // Eastern degree text starts 2 mm east of E (1 mm plus the 1 mm minute frame).
    EXPECT_EQ(l1[2].v.x[0], targetLon(42.0, l1[2].v.y[0], 2.0, PrintedMap{1000000}));
    // No outlets and no names at this scale; three closed outer lines.
    const auto lines = sink1M.inLayer(kFrameLayer);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].attributes.code, 400903);
    EXPECT_EQ(lines[1].attributes.code, 400903);
    EXPECT_EQ(lines[2].attributes.code, 400902);
    EXPECT_EQ(lines[0].kind, FrameRecordKind::OuterSideLine);
    EXPECT_EQ(lines[1].kind, FrameRecordKind::OuterSideLine);
    EXPECT_EQ(lines[2].kind, FrameRecordKind::OuterLine);
    EXPECT_EQ(l1[0].kind, FrameRecordKind::ValueLabel);
    EXPECT_TRUE(sink1M.inLayer(kFrameAdjLayer).empty());
}

// A refused record stops the outer frame at once, whatever stage it is in.
TEST(OuterFrame, StopsAtTheFirstFailedRecord) {
    for (int failAt : {0, 3, 4, 8, 20, 40}) {
        SCOPED_TRACE(failAt);
        RecordingSink sink;
        sink.failAt = failAt;
        EXPECT_EQ(outFrameFramework(sink, setRamkParameters(0, 0), frameOfN37XIV()),
                  kFrameWriteFailed);
        EXPECT_EQ(sink.records.size(), static_cast<size_t>(failAt));
    }
}
