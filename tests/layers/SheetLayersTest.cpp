// The sheet layers written in process and read back: with Shapelib against the
// expected records (bit for bit), and with ogrinfo as an independent reader.

#include "sheetjob/layers/SheetLayers.h"
#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/geometry/DatumShift.h"
#include "sheetjob/layers/SheetLayers.h"
#include "support/Ogr.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <shapefil.h>

#include <filesystem>
#include <fstream>
#include <limits>

namespace sheetjob::layers {
namespace {

namespace fs = std::filesystem;
using common::cp1251ToUtf8;
using nlohmann::json;

// A job as the argument-file reader leaves it: base trapezium as result, the HYPS
// and FRAME folders existing.
struct SheetRun {
    testing::TempDir dir;
    common::Folder hyps = dir.subfolder("HYPS");
    common::Folder frame = dir.subfolder("FRAME");
    model::Job job;
    SheetRun(int setScale, int yZone, int xZone, int sheetNumber, int sheetType,
             int coordSystem = 1) {
        job.coordSystem = *geometry::CoordSystem::fromCode(coordSystem);
        job.sheet = {setScale, yZone, xZone, sheetNumber, sheetType};
        model::useBaseAsResult(job);
    }
    [[nodiscard]] std::string layer(const std::string& name) const {
        return dir / ("HYPS/" + name);
    }
    /// The layers' failure, or "" when they were written.
    std::string create() {
        const auto failure = createSheetLayers(job, hyps, frame);
        return failure ? failure->reason : std::string();
    }
};

/// A sheet over the trapezium as given, unshifted, for the line layer alone.
SheetGeometry plainSheet(double west, double east, double south, double north) {
    SheetGeometry sheet;
    sheet.base = sheet.result = sheet.bounds = {west, east, south, north};
    return sheet;
}

struct Record {
    std::map<std::string, std::string> text; // character fields, UTF-8, trimmed
    std::map<std::string, double> number;
    std::vector<double> x, y;
};

// Every record of a layer as Shapelib reads it back.
std::vector<Record> readLayer(const std::string& base, int& shapeType) {
    std::vector<Record> records;
    SHPHandle shp = SHPOpen(base.c_str(), "rb");
    DBFHandle dbf = DBFOpen(base.c_str(), "rb");
    if (shp == nullptr || dbf == nullptr) {
        ADD_FAILURE() << "cannot open " << base;
        return records;
    }
    int count = 0;
    SHPGetInfo(shp, &count, &shapeType, nullptr, nullptr);
    for (int r = 0; r < count; ++r) {
        Record rec;
        for (int i = 0; i < DBFGetFieldCount(dbf); ++i) {
            char name[12] = {};
            if (DBFGetFieldInfo(dbf, i, name, nullptr, nullptr) == FTString)
                rec.text[name] = cp1251ToUtf8(common::trim(DBFReadStringAttribute(dbf, r, i)));
            else
                rec.number[name] = DBFReadDoubleAttribute(dbf, r, i);
        }
        SHPObject* o = SHPReadObject(shp, r);
        rec.x.assign(o->padfX, o->padfX + o->nVertices);
        rec.y.assign(o->padfY, o->padfY + o->nVertices);
        SHPDestroyObject(o);
        records.push_back(std::move(rec));
    }
    SHPClose(shp);
    DBFClose(dbf);
    return records;
}

// Every HYPS record of the two expected jobs: attributes and vertices bit for bit.
TEST(SheetLayers, GraticuleLayersMatchTheExpectedRecords) {
    const struct {
        const char* file;
        int setScale, yZone, xZone, sheetNumber;
    } cases[] = {{"N-37-XIV.json", 0, 8, 37, 14}, {"N-37.json", 1, 8, 37, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::ifstream in(std::string(SHEETJOB_TEST_DATA) + "/golden/" + c.file);
        const json golden = json::parse(in);
        SheetRun run(c.setScale, c.yZone, c.xZone, c.sheetNumber, 0);
        ASSERT_EQ(run.create(), "");
        for (const char* name : {"HypsA", "HypsP", "HypsL"}) {
            SCOPED_TRACE(name);
            const json& expected = golden["layers"][std::string("HYPS/") + name];
            int shapeType = 0;
            const auto records = readLayer(run.layer(name), shapeType);
            EXPECT_EQ(shapeType, expected["shape_type"].get<int>());
            ASSERT_EQ(records.size(), expected["records"].size());
            for (size_t r = 0; r < records.size(); ++r) {
                SCOPED_TRACE("record " + std::to_string(r + 1));
                const json& rec = expected["records"][r];
                for (const auto& [field, value] : rec["attrs"].items()) {
                    if (value.is_string())
                        EXPECT_EQ(records[r].text.at(field), value.get<std::string>()) << field;
                    else
                        EXPECT_EQ(records[r].number.at(field), value.get<double>()) << field;
                }
                const json& geom = rec["geom"];
                ASSERT_EQ(records[r].x.size(), geom.size());
                for (size_t v = 0; v < geom.size(); ++v) {
                    ASSERT_EQ(records[r].x[v], geom[v][0].get<double>()) << "vertex " << v;
                    ASSERT_EQ(records[r].y[v], geom[v][1].get<double>()) << "vertex " << v;
                }
            }
        }
    }
}

// What the frame receives: neighbours by side, the unshifted result trapezium,
// and the graticule lists with the edges that lie on the graticule.
TEST(SheetLayers, FrameReceivesNeighboursBySideAndCompletedLists) {
    SheetRun run(0, 8, 37, 14, 0);
    run.job.result.south = 54.0 + 5.0 / 60.0; // a refined south edge between two parallels
    frame::FrameJob f;
    ASSERT_FALSE(writeGraticuleLayers(run.job, run.hyps, f));
    EXPECT_EQ(f.neighbours.north, "N-37-VIII");
    EXPECT_EQ(f.neighbours.south, "N-37-XX");
    EXPECT_EQ(f.neighbours.west, "N-37-XIII");
    EXPECT_EQ(f.neighbours.east, "N-37-XV");
    EXPECT_EQ(f.bounds.south, run.job.result.south);
    EXPECT_EQ(f.result.south, run.job.result.south);
    EXPECT_EQ(f.bounds.west, 37.0);
    EXPECT_EQ(f.bounds.east, 38.0);
    // 54°05' is no graticule value; 54°40' is and carries no line but is listed.
    const double first = 1.0 / 6.0 + 54.0;
    const std::vector<double> latitudes = {first, 1 * (1.0 / 6.0) + first, 2 * (1.0 / 6.0) + first,
                                           54.666666666666664};
    EXPECT_EQ(f.latitudes, latitudes);
    EXPECT_EQ(f.longitudes, (std::vector<double>{37.0, 37.25, 37.5, 37.75, 38.0}));
}

// Graticule lines of a refined 1:1 000 000 trapezium: lines on the edges are left
// out, parallels south to north, then meridians west to east.
TEST(SheetLayers, LinesInsideARefinedTrapezium) {
    SheetRun run(1, 8, 37, 1, 0);
    run.job.result.east = 37.0;
    run.job.result.south = 52.0 + 1.0 / 3.0;
    run.job.result.north = 53.0;
    run.job.graticule.meridianStep = 0.25;
    run.job.graticule.parallelStep = 1.0 / 6.0;
    ASSERT_EQ(run.create(), "");
    int type = 0;
    const auto lines = readLayer(run.layer("HypsL"), type);
    const char* expected[][3] = {{"Рамка", "", ""},           {"Параллель", "52°", "30'"},
                                 {"Параллель", "52°", "40'"}, {"Параллель", "52°", "50'"},
                                 {"Меридиан", "36°", "15'"},  {"Меридиан", "36°", "30'"},
                                 {"Меридиан", "36°", "45'"}};
    ASSERT_EQ(lines.size(), 7u);
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i].text.at("Text"), expected[i][0]);
        EXPECT_EQ(lines[i].text.at("Grad"), expected[i][1]);
        EXPECT_EQ(lines[i].text.at("Min"), expected[i][2]);
    }
    EXPECT_EQ(lines[0].x.size(), 33u);
    const auto points = readLayer(run.layer("HypsP"), type);
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front().text.at("Lat"), "52°20'00\"");
    EXPECT_EQ(points.back().text.at("Lat"), "53°00'00\"");
}

TEST(SheetLayers, LineAttributes) {
    const struct {
        LineClass lineClass;
        double value;
        int code;
        const char *text, *grad, *min, *indication;
    } cases[] = {
        {kMeridianLine, 200.5, 400012, "Меридиан", "159°", "30'", "з.д."},
        {kMeridianLine, 180.0, 400012, "Меридиан", "180°", "00'", "в.д."},
        {kParallelLine, 52.99999, 400011, "Параллель", "53°", "00'", "с.ш."},
        {kArcticCircleLine, 0.0, 400013, "Северный полярный круг", "66°", "33.64'", "с.ш."},
        {kOutlineLine, 0.0, 400010, "Рамка", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const HypsLRecord r = createHypsLAtt(c.lineClass, c.value);
        EXPECT_EQ(r.lCode, c.code);
        EXPECT_EQ(cp1251ToUtf8(r.text), c.text);
        EXPECT_EQ(cp1251ToUtf8(r.grad), c.grad);
        EXPECT_EQ(cp1251ToUtf8(r.min), c.min);
        EXPECT_EQ(cp1251ToUtf8(r.indication), c.indication);
    }
}

// The Arctic Circle: strictly between the edges and farther than 0.001 degree
// from both.
TEST(SheetLayers, ArcticCircleLimits) {
    const struct {
        const char* name;
        double south, north;
        bool drawn;
    } cases[] = {
        {"sheet 64-68", 64.0, 68.0, true},
        {"north edge 0.0011 above", 64.0, kArcticCircleLatitude + 0.0011, true},
        {"north edge 0.0009 above", 64.0, kArcticCircleLatitude + 0.0009, false},
        {"south edge 0.0009 below", kArcticCircleLatitude - 0.0009, 68.0, false},
        {"south edge on the circle", kArcticCircleLatitude, 68.0, false},
        {"sheet north of it", 68.0, 72.0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const common::Folder folder = dir.folder();
        const SheetGeometry sheet = plainSheet(36.0, 42.0, c.south, c.north);
        const geometry::Graticule graticule{1.0, 10, 2.0 / 3.0, 10};
        geometry::Vertices outline;
        GraticuleValues values;
        ASSERT_FALSE(createHypsL(sheet, graticule, outline, folder, values));
        int type = 0;
        const auto lines = readLayer(dir / "HypsL", type);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().number.at("L_code") == kArcticCircleCode, c.drawn);
        for (const double l : values.latitudes)
            EXPECT_NE(l, kArcticCircleLatitude);
    }
}

// Coordinate system 4: every vertex and point shifted, labels of the points
// unshifted, corner labels to hundredths of a second, lines cut by the shifted
// outline.
TEST(SheetLayers, ShiftedSheetMovesOnlyTheGeometry) {
    SheetRun plain(0, 8, 37, 14, 0, 1);
    SheetRun shifted(0, 8, 37, 14, 0, 4);
    ASSERT_EQ(plain.create(), "");
    ASSERT_EQ(shifted.create(), "");
    for (const char* name : {"HypsA", "HypsP"}) {
        SCOPED_TRACE(name);
        int type = 0;
        const auto a = readLayer(plain.layer(name), type);
        const auto b = readLayer(shifted.layer(name), type);
        ASSERT_EQ(a.size(), b.size());
        for (size_t r = 0; r < a.size(); ++r) {
            ASSERT_EQ(a[r].x.size(), b[r].x.size());
            for (size_t v = 0; v < a[r].x.size(); ++v) {
                geometry::Point p{a[r].x[v], a[r].y[v]};
                geometry::sk42_To_Gsk2011(p);
                ASSERT_EQ(b[r].x[v], p.x);
                ASSERT_EQ(b[r].y[v], p.y);
            }
            if (std::string(name) == "HypsP") {
                EXPECT_EQ(a[r].text, b[r].text);
            }
        }
    }
    int type = 0;
    const auto polygon = readLayer(shifted.layer("HypsA"), type);
    EXPECT_NE(polygon[0].text.at("LeftUp").find("\" в.д. "), std::string::npos)
        << polygon[0].text.at("LeftUp");
    // The sheet shifts west by about 7": no parallel runs past the shifted outline,
    // and the meridian 37° now lies inside the sheet and is drawn.
    const auto lines = readLayer(shifted.layer("HypsL"), type);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[4].x.front(), 37.0);
    const double westmost = *std::min_element(polygon[0].x.begin(), polygon[0].x.end());
    const double eastmost = *std::max_element(polygon[0].x.begin(), polygon[0].x.end());
    for (size_t i = 1; i <= 3; ++i) {
        EXPECT_GE(lines[i].x.front(), westmost);
        EXPECT_LE(lines[i].x.back(), eastmost);
        EXPECT_LT(lines[i].x.front(), 37.0);
    }
}

// The frame of a shifted sheet stands on the inner limits of the four shifted
// corners of the sheet polygon as written (its outline runs NW, NE, SE, SW),
// so that no edge of the frame leaves the sheet.
TEST(SheetLayers, ShiftedFrameOnTheInnerLimitsOfTheCorners) {
    for (const int number : {1, 14, 36}) {
        SCOPED_TRACE(number);
        SheetRun run(0, 8, 37, number, 0, 4);
        frame::FrameJob f;
        ASSERT_FALSE(writeGraticuleLayers(run.job, run.hyps, f));
        int type = 0;
        const auto polygon = readLayer(run.layer("HypsA"), type);
        ASSERT_EQ(polygon.size(), 1u);
        const auto& x = polygon[0].x;
        const auto& y = polygon[0].y;
        const auto corner = [&](double lon, double lat) {
            for (size_t i = 0; i < x.size(); ++i)
                if (std::fabs(x[i] - lon) < 0.01 && std::fabs(y[i] - lat) < 0.01)
                    return geometry::Point{x[i], y[i]};
            ADD_FAILURE() << "no corner near " << lon << " " << lat;
            return geometry::Point{};
        };
        const geometry::Trapezium r = run.job.result;
        const auto nw = corner(r.west, r.north), ne = corner(r.east, r.north);
        const auto sw = corner(r.west, r.south), se = corner(r.east, r.south);
        EXPECT_EQ(f.bounds.west, std::max(nw.x, sw.x));
        EXPECT_EQ(f.bounds.east, std::min(ne.x, se.x));
        EXPECT_EQ(f.bounds.south, std::max(sw.y, se.y));
        EXPECT_EQ(f.bounds.north, std::min(nw.y, ne.y));
        // The corners really differ: a mix-up of the limits would show.
        EXPECT_NE(nw.x, sw.x);
        EXPECT_NE(sw.y, se.y);
    }
}

// A parallel that only touches a corner of a shifted outline is neither drawn
// nor listed.
TEST(SheetLayers, ParallelTouchingACornerIsLeftOut) {
    const double step = 1.0 / 6.0;
    const double first = step + 54.0;
    const double touched = 1.0 * step + first;
    testing::TempDir dir;
    const common::Folder folder = dir.folder();
    SheetGeometry sheet = plainSheet(37.0, 38.0, 54.0, 54.5);
    sheet.coordSystem = geometry::kGSK2011SK42;
    const geometry::Graticule graticule{0.25, 1, step, 1};
    geometry::Vertices diamond;
    for (const auto& [x, y] :
         {std::pair{37.5, 54.0}, {37.0, first}, {37.5, touched}, {38.0, first}, {37.5, 54.0}})
        diamond.add(x, y);
    GraticuleValues values;
    ASSERT_FALSE(createHypsL(sheet, graticule, diamond, folder, values));
    EXPECT_EQ(values.latitudes, std::vector<double>{first});
    EXPECT_EQ(values.longitudes, (std::vector<double>{37.25, 37.5, 37.75}));
}

// Trapezia that could never be drawn, and layers that cannot be completed,
// fail with status 1 and a reason naming what failed.
TEST(SheetLayers, RefusalsAndFailuresCarryAReason) {
    const struct {
        const char* name;
        void (*spoil)(SheetRun&);
        const char* says;
    } cases[] = {
        {"trapezium not a number",
         [](SheetRun& r) { r.job.result.west = std::numeric_limits<double>::quiet_NaN(); },
         "not a number"},
        {"trapezium wider than the globe",
         [](SheetRun& r) { r.job.result.east = r.job.result.west + 400; }, "globe"},
        {"HypsA cannot be completed",
         [](SheetRun& r) { fs::create_directory(r.layer("HypsA.shp")); }, "HypsA"},
        {"HypsL cannot be completed",
         [](SheetRun& r) { fs::create_directory(r.layer("HypsL.dbf")); }, "HypsL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SheetRun run(0, 8, 37, 14, 0);
        c.spoil(run);
        const auto failure = createSheetLayers(run.job, run.hyps, run.frame);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->status, 1);
        EXPECT_NE(failure->reason.find(c.says), std::string::npos) << failure->reason;
        EXPECT_EQ(failure->reason.find('\n'), std::string::npos);
    }
    // The layers written before a failure stay complete and readable; the one
    // that failed leaves none of its files.
    SheetRun run(0, 8, 37, 14, 0);
    fs::create_directory(run.layer("HypsL.dbf"));
    ASSERT_NE(run.create(), "");
    const auto points = testing::readLayerWithOgr(run.layer("HypsP.shp"));
    ASSERT_TRUE(points);
    EXPECT_EQ(points->featureCount, 81);
    EXPECT_FALSE(fs::exists(run.layer("HypsL.shp")));
    EXPECT_FALSE(fs::exists(run.layer("HypsL.shx")));
}

// Read back by an independent reader: several kinds of sheet.
TEST(SheetLayers, IndependentReaderSeesTheLayers) {
    struct Case {
        const char* name;
        int setScale, yZone, xZone, sheetNumber, sheetType, coordSystem;
        const char* sheetName;
        long points, lines;
        const char* leftUp;
    };
    const Case cases[] = {
        {"1:200 000", 0, 8, 37, 14, 0, 1, "N-37-XIV", 81, 7, "37°00' в.д. 54°40' с.ш."},
        {"1:1 000 000", 1, 8, 37, 1, 0, 1, "N-37", 625, 11, "36°00' в.д. 56°00' с.ш."},
        {"double 1:200 000", 0, 8, 37, 14, 1, 1, "N-37-XIV,XV", 153, 7, "37°00' в.д. 54°40' с.ш."},
        {"western hemisphere", 0, 6, 10, 1, 0, 3, "P-10-I", 81, 7, "126°00' з.д. 64°00' с.ш."},
        {"shifted", 0, 8, 37, 14, 0, 4, "N-37-XIV", 81, 8, "36°59'53.43\" в.д. 54°40'0.06\" с.ш."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SheetRun run(c.setScale, c.yZone, c.xZone, c.sheetNumber, c.sheetType, c.coordSystem);
        ASSERT_EQ(run.create(), "");
        const auto a = testing::readLayerWithOgr(run.layer("HypsA.shp"));
        const auto p = testing::readLayerWithOgr(run.layer("HypsP.shp"));
        const auto l = testing::readLayerWithOgr(run.layer("HypsL.shp"));
        ASSERT_TRUE(a && p && l);
        EXPECT_EQ(a->geometryType, "Polygon");
        EXPECT_EQ(p->geometryType, "Point");
        EXPECT_EQ(l->geometryType, "Line String");
        EXPECT_EQ(a->featureCount, 1);
        EXPECT_EQ(p->featureCount, c.points);
        EXPECT_EQ(l->featureCount, c.lines);
        EXPECT_EQ(a->features[0].field("Name"), c.sheetName);
        EXPECT_EQ(a->features[0].field("LeftUp"), c.leftUp);
        const auto ring = a->features[0].points();
        ASSERT_FALSE(ring.empty());
        EXPECT_NEAR(ring[0].x, run.job.result.west, c.coordSystem == 4 ? 0.01 : 1e-12);
        EXPECT_EQ(l->features[0].field("Text"), "Рамка");
        EXPECT_EQ(l->features[1].field("Indication"), "с.ш.");
    }
}

} // namespace
} // namespace sheetjob::layers
