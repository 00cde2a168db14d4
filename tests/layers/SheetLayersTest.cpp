// The sheet layers written in process and read back: with Shapelib against the
// expected records (bit for bit), and with ogrinfo as an independent reader.

#include "sheetjob/layers/SheetLayers.h"
#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/geometry/DatumShift.h"
#include "sheetjob/layers/HypsLayers.h"
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
struct Job {
    testing::TempDir dir;
    job::JobParameters p;
    Job(int setScale, int yZone, int xZone, int sheetNumber, int sheetType, int coordSystem = 1) {
        p.CoordSystem = coordSystem;
        p.SetScale = setScale;
        p.yZone = yZone;
        p.xZone = xZone;
        p.SheetNumber = sheetNumber;
        p.SheetType = sheetType;
        job::computeBaseParameters(p);
        job::useBaseAsResult(p);
        p.ResultPath = dir / "HYPS";
        p.FramePath = dir / "FRAME";
        fs::create_directories(p.ResultPath);
        fs::create_directories(p.FramePath);
    }
    [[nodiscard]] std::string layer(const std::string& name) const {
        return p.ResultPath + "/" + name;
    }
};

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
        Job job(c.setScale, c.yZone, c.xZone, c.sheetNumber, 0);
        std::string reason;
        ASSERT_EQ(createSheetLayers(job.p, reason), 0) << reason;
        for (const char* name : {"HypsA", "HypsP", "HypsL"}) {
            SCOPED_TRACE(name);
            const json& expected = golden["layers"][std::string("HYPS/") + name];
            int shapeType = 0;
            const auto records = readLayer(job.layer(name), shapeType);
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
    Job job(0, 8, 37, 14, 0);
    job.p.yFrom = 54.0 + 5.0 / 60.0; // a refined south edge between two parallels
    frame::FrameJob f;
    std::string reason;
    ASSERT_EQ(writeGraticuleLayers(job.p, f, reason), 0) << reason;
    EXPECT_EQ(f.northName, "N-37-VIII");
    EXPECT_EQ(f.southName, "N-37-XX");
    EXPECT_EQ(f.westName, "N-37-XIII");
    EXPECT_EQ(f.eastName, "N-37-XV");
    EXPECT_EQ(f.south, job.p.yFrom);
    EXPECT_EQ(f.resultSouth, job.p.yFrom);
    EXPECT_EQ(f.west, 37.0);
    EXPECT_EQ(f.east, 38.0);
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
    Job job(1, 8, 37, 1, 0);
    job.p.xTo = 37.0;
    job.p.yFrom = 52.0 + 1.0 / 3.0;
    job.p.yTo = 53.0;
    job.p.MeridianStep = 0.25;
    job.p.ParallelStep = 1.0 / 6.0;
    std::string reason;
    ASSERT_EQ(createSheetLayers(job.p, reason), 0) << reason;
    int type = 0;
    const auto lines = readLayer(job.layer("HypsL"), type);
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
    const auto points = readLayer(job.layer("HypsP"), type);
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front().text.at("Lat"), "52°20'00\"");
    EXPECT_EQ(points.back().text.at("Lat"), "53°00'00\"");
}

TEST(SheetLayers, LineAttributeTexts) {
    const struct {
        int lineClass;
        double value;
        const char* text;
    } cases[] = {
        {kMeridianLine, 200.5, "400012\\Меридиан\\159°\\30'\\з.д.\\"},
        {kMeridianLine, 180.0, "400012\\Меридиан\\180°\\00'\\в.д.\\"},
        {kParallelLine, 52.99999, "400011\\Параллель\\ 53°\\00'\\с.ш.\\"},
        {kArcticCircleLine, 0.0, "400013\\Северный полярный круг\\66°\\33.64'\\с.ш.\\"},
        {kOutlineLine, 0.0, "400010\\Рамка\\\\\\\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(cp1251ToUtf8(createHypsLAtt(c.lineClass, c.value)), c.text);
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
        HypsLJob job;
        job.hypsPath = dir.path().string();
        job.baseWest = job.west = 36.0;
        job.east = 42.0;
        job.baseSouth = job.south = c.south;
        job.north = c.north;
        job.meridianStep = 1.0;
        job.parallelStep = 2.0 / 3.0;
        geometry::Vertices outline;
        std::vector<double> latitudes, longitudes;
        std::string reason;
        ASSERT_EQ(createHypsL(job, outline, latitudes, longitudes, reason), 0) << reason;
        int type = 0;
        const auto lines = readLayer(job.hypsPath + "/HypsL", type);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().number.at("L_code") == kArcticCircleCode, c.drawn);
        for (const double l : latitudes)
            EXPECT_NE(l, kArcticCircleLatitude);
    }
}

// Coordinate system 4: every vertex and point shifted, labels of the points
// unshifted, corner labels to hundredths of a second, lines cut by the shifted
// outline.
TEST(SheetLayers, ShiftedSheetMovesOnlyTheGeometry) {
    Job plain(0, 8, 37, 14, 0, 1);
    Job shifted(0, 8, 37, 14, 0, 4);
    std::string reason;
    ASSERT_EQ(createSheetLayers(plain.p, reason), 0) << reason;
    ASSERT_EQ(createSheetLayers(shifted.p, reason), 0) << reason;
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

// A parallel that only touches a corner of a shifted outline is neither drawn
// nor listed.
TEST(SheetLayers, ParallelTouchingACornerIsLeftOut) {
    const double step = 1.0 / 6.0;
    const double first = step + 54.0;
    const double touched = 1.0 * step + first;
    testing::TempDir dir;
    HypsLJob job;
    job.coordSystem = 4;
    job.hypsPath = dir.path().string();
    job.baseWest = job.west = 37.0;
    job.east = 38.0;
    job.baseSouth = job.south = 54.0;
    job.north = 54.5;
    job.meridianStep = 0.25;
    job.parallelStep = step;
    geometry::Vertices diamond;
    for (const auto& [x, y] :
         {std::pair{37.5, 54.0}, {37.0, first}, {37.5, touched}, {38.0, first}, {37.5, 54.0}})
        diamond.add(x, y);
    std::vector<double> latitudes, longitudes;
    std::string reason;
    ASSERT_EQ(createHypsL(job, diamond, latitudes, longitudes, reason), 0) << reason;
    EXPECT_EQ(latitudes, std::vector<double>{first});
    EXPECT_EQ(longitudes, (std::vector<double>{37.25, 37.5, 37.75}));
}

// Jobs that could never finish or name no folder are refused with a reason; the
// status is never 0.
TEST(SheetLayers, RefusalsAndFailuresCarryAReason) {
    const struct {
        const char* name;
        void (*spoil)(job::JobParameters&);
        const char* says;
    } cases[] = {
        {"zero meridian step", [](job::JobParameters& p) { p.MeridianStep = 0; }, "meridian"},
        {"negative parallel step", [](job::JobParameters& p) { p.ParallelStep = -1.0 / 6.0; },
         "parallel"},
        {"trapezium not a number",
         [](job::JobParameters& p) { p.xFrom = std::numeric_limits<double>::quiet_NaN(); },
         "not a number"},
        {"trapezium wider than the globe", [](job::JobParameters& p) { p.xTo = p.xFrom + 400; },
         "globe"},
        {"missing HYPS folder", [](job::JobParameters& p) { p.ResultPath += "/missing"; }, "HypsA"},
        {"HypsL cannot be created",
         [](job::JobParameters& p) { fs::create_directory(p.ResultPath + "/HypsL.dbf"); }, "HypsL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Job job(0, 8, 37, 14, 0);
        c.spoil(job.p);
        std::string reason;
        EXPECT_EQ(createSheetLayers(job.p, reason), 1);
        EXPECT_EQ(job.p.Status, 1);
        EXPECT_NE(reason.find(c.says), std::string::npos) << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos);
    }
    // The layers written before a failure stay complete and readable.
    Job job(0, 8, 37, 14, 0);
    fs::create_directory(job.layer("HypsL.dbf"));
    std::string reason;
    ASSERT_EQ(createSheetLayers(job.p, reason), 1);
    const auto points = testing::readLayerWithOgr(job.layer("HypsP.shp"));
    ASSERT_TRUE(points);
    EXPECT_EQ(points->featureCount, 81);
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
        Job job(c.setScale, c.yZone, c.xZone, c.sheetNumber, c.sheetType, c.coordSystem);
        std::string reason;
        ASSERT_EQ(createSheetLayers(job.p, reason), 0) << reason;
        const auto a = testing::readLayerWithOgr(job.layer("HypsA.shp"));
        const auto p = testing::readLayerWithOgr(job.layer("HypsP.shp"));
        const auto l = testing::readLayerWithOgr(job.layer("HypsL.shp"));
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
        EXPECT_NEAR(ring[0].x, job.p.xFrom, c.coordSystem == 4 ? 0.01 : 1e-12);
        EXPECT_EQ(l->features[0].field("Text"), "Рамка");
        EXPECT_EQ(l->features[1].field("Indication"), "с.ш.");
    }
}

} // namespace
} // namespace sheetjob::layers
