// The frame of two whole jobs, built from the input the sheet driver hands over,
// compared record by record and vertex by vertex with records worked out
// independently (tests/data/golden).

#include "RecordingSink.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/frame/FrameLayout.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <map>

using namespace sheetjob;
using namespace sheetjob::frame;
using nlohmann::json;

namespace {

json loadGolden(const std::string& name) {
    std::ifstream in(std::string(SHEETJOB_TEST_DATA) + "/golden/" + name);
    return json::parse(in);
}

/// The graticule list the sheet driver hands over for a sheet whose edges both
/// lie on the graticule: the edges as k*step + origin (k = 0 and count-1), the
/// lines between as k*step + first with first = origin + step.
std::vector<double> graticule(double origin, double step, int count) {
    std::vector<double> v{origin};
    const double first = origin + step;
    for (int k = 0; k < count - 2; ++k)
        v.push_back(k * step + first);
    v.push_back((count - 1) * step + origin);
    return v;
}

/// The values of a record as the attribute table stores them, as UTF-8: the
/// code alone for a line, and text, font and size too for a label.
std::vector<std::string> storedValues(const test::Record& r) {
    const FrameRecord& a = r.attributes;
    if (r.layer == kFrameLayer)
        return {std::to_string(a.code)};
    return {std::to_string(a.code), common::cp1251ToUtf8(a.text), common::cp1251ToUtf8(a.font),
            common::cp1251ToUtf8(a.size)};
}

/// The golden value of a field as text ("L_code" is a number there).
std::string goldenValue(const json& v) { return v.is_string() ? v.get<std::string>() : v.dump(); }

void compareLayer(const std::string& key, const json& expected,
                  const std::vector<test::Record>& got) {
    SCOPED_TRACE(key);
    const json& records = expected["records"];
    ASSERT_EQ(got.size(), records.size());
    const json& fields = expected["fields"];
    int mismatches = 0;
    for (size_t i = 0; i < got.size() && mismatches < 10; ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        const json& rec = records[i];
        const auto values = storedValues(got[i]);
        ASSERT_EQ(values.size() + 1, fields.size()); // "Id" is the writer's
        for (size_t f = 1; f < fields.size(); ++f) {
            const std::string name = fields[f][0].get<std::string>();
            EXPECT_EQ(values[f - 1], goldenValue(rec["attrs"][name])) << name;
        }
        if (!rec["geometry_fixed"].get<bool>())
            continue; // depends on font rows that are not fixed
        const json& geom = rec["geom"];
        const auto& v = got[i].v;
        if (static_cast<size_t>(v.size()) != geom.size()) {
            ADD_FAILURE() << "vertex count " << v.size() << ", expected " << geom.size();
            ++mismatches;
            continue;
        }
        for (int k = 0; k < v.size(); ++k) {
            const double x = geom[static_cast<size_t>(k)][0].get<double>();
            const double y = geom[static_cast<size_t>(k)][1].get<double>();
            if (v.x[static_cast<size_t>(k)] != x || v.y[static_cast<size_t>(k)] != y) {
                ADD_FAILURE() << "vertex " << k << ": (" << v.x[static_cast<size_t>(k)] << ", "
                              << v.y[static_cast<size_t>(k)] << "), expected (" << x << ", " << y
                              << ")";
                ++mismatches;
                break;
            }
        }
    }
}

void compareJob(const std::string& goldenFile, const FrameJob& job) {
    const json golden = loadGolden(goldenFile);
    const FrameLayout layout = setRamkParameters(job.setScale, job.mapScale);
    test::RecordingSink sink;
    ASSERT_EQ(drawFrame(job, layout, sink), kFrameOk);
    const std::map<std::string, int> layers = {{"FRAME/Frame", kFrameLayer},
                                               {"FRAME/FrameAdj", kFrameAdjLayer},
                                               {"FRAME/FrameDig", kFrameDigLayer}};
    for (const auto& [key, index] : layers) {
        const auto got = sink.inLayer(index);
        if (!golden["layers"].contains(key)) {
            EXPECT_TRUE(got.empty()) << key;
            continue;
        }
        compareLayer(key, golden["layers"][key], got);
    }
}

/// The interior graticule lines of the golden line layer, so that the lists
/// handed to the frame are the very values the sheet driver computed.
void expectInteriorLines(const std::string& goldenFile, const std::vector<double>& lats,
                         const std::vector<double>& lons) {
    const json golden = loadGolden(goldenFile);
    std::vector<double> gotLats, gotLons;
    for (const json& r : golden["layers"]["HYPS/HypsL"]["records"]) {
        const int code = r["attrs"]["L_code"].get<int>();
        if (code == 400011)
            gotLats.push_back(r["geom"][0][1].get<double>());
        if (code == 400012)
            gotLons.push_back(r["geom"][0][0].get<double>());
    }
    EXPECT_EQ(gotLats, std::vector<double>(lats.begin() + 1, lats.end() - 1));
    EXPECT_EQ(gotLons, std::vector<double>(lons.begin() + 1, lons.end() - 1));
}

} // namespace

// N-37-XIV in SK-42 at 1:200 000: the full frame.
TEST(GoldenFrame, Sheet200kFullFrame) {
    FrameJob j;
    j.setScale = 0;
    j.mapScale = 0;
    j.neighbours.north = "N-37-VIII";
    j.neighbours.south = "N-37-XX";
    j.neighbours.west = "N-37-XIII";
    j.neighbours.east = "N-37-XV";
    j.bounds.west = j.base.west = j.result.west = 37.0;
    j.bounds.east = j.base.east = j.result.east = 38.0;
    j.bounds.south = j.base.south = j.result.south = 54.0;
    j.bounds.north = j.base.north = j.result.north = 56 - 2 * (2.0 / 3.0);
    j.xMinute = j.yMinute = 1;
    j.latitudes = graticule(54.0, 10.0 / 60, 5);  // parallels every 10', edges included
    j.longitudes = graticule(37.0, 15.0 / 60, 5); // meridians every 15', edges included
    ASSERT_EQ(j.latitudes.back(), j.bounds.north);
    expectInteriorLines("N-37-XIV.json", j.latitudes, j.longitudes);
    compareJob("N-37-XIV.json", j);
}

// N-37 at 1:1 000 000: minute frame on the edge, three outer lines, no names.
TEST(GoldenFrame, Sheet1MThreeOuterLines) {
    FrameJob j;
    j.setScale = 1;
    j.mapScale = 0;
    j.bounds.west = j.base.west = j.result.west = 36.0;
    j.bounds.east = j.base.east = j.result.east = 42.0;
    j.bounds.south = j.base.south = j.result.south = 52.0;
    j.bounds.north = j.base.north = j.result.north = 56.0;
    j.xMinute = j.yMinute = 10;
    j.latitudes = graticule(52.0, 40.0 / 60, 7); // parallels every 40'
    j.longitudes = graticule(36.0, 1.0, 7);      // meridians every degree
    ASSERT_EQ(j.latitudes.back(), j.bounds.north);
    expectInteriorLines("N-37.json", j.latitudes, j.longitudes);
    compareJob("N-37.json", j);
}
