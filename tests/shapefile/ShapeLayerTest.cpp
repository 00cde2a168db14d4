#include "sheetjob/shapefile/ShapeLayer.h"

#include "shapefile/TestLayer.h"
#include "sheetjob/common/Cp1251.h"
#include "support/Ogr.h"
#include "support/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <shapefil.h>

#include <array>
#include <climits>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sheetjob::shapefile {
namespace {

using geometry::Vertices;
using test::kRowSchema;
using test::Row;
using test::RowLayer;
using test::square;
using testing::readFile;
using testing::readLayerWithOgr;
using testing::TempDir;
using testing::writeFile;

// Every layer file is there and the projection text is byte for byte the one
// of its coordinate system, CR LF included.
TEST(ShapeLayer, ProjectionFileBytesPerCoordinateSystem) {
    const std::string pulkovo42 = "GEOGCS[\"GCS_Pulkovo_1942\",DATUM[\"D_Pulkovo_1942\",SPHEROID["
                                  "\"Krasovsky_1940\", 6378245.0,298.3]], "
                                  "PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";
    const std::string pulkovo95 = "GEOGCS[\"GCS_Pulkovo_1995\",DATUM[\"D_Pulkovo_1995\",SPHEROID["
                                  "\"Krasovsky_1940\", 6378245.0,298.3]], "
                                  "PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";
    const std::string russia2011 =
        "GEOGCS[\"GCS_RUSSIA_2011\",DATUM[\"D_RUSSIA_2011\",SPHEROID["
        "\"S_RUSSIA_2011\", 6378136.5,298.2564151],AUTHORITY[\"EPSG\",\"1159\"]], "
        "PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433],AUTHORITY[\"EPSG\",\"7683\"]"
        "]";
    ASSERT_EQ(pulkovo42.size(), 153u);
    ASSERT_EQ(pulkovo95.size(), 153u);
    ASSERT_EQ(russia2011.size(), 206u);
    const struct {
        int code;
        std::string expected;
    } cases[] = {{1, pulkovo42 + "\r\n"},
                 {2, pulkovo95 + "\r\n"},
                 {3, russia2011 + "\r\n"},
                 {4, russia2011 + "\r\n"}};
    TempDir dir;
    const common::Folder folder = dir.folder();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string name = "layer" + std::to_string(c.code);
        const std::string base = dir / name;
        RowLayer layer(kRowSchema);
        ASSERT_EQ(
            layer.open(*geometry::CoordSystem::fromCode(c.code), kPoint, folder, name + "   "),
            kOk);
        EXPECT_EQ(layer.close(), kOk);
        EXPECT_EQ(readFile(base + ".PRJ"), c.expected);
        EXPECT_EQ(readFile(base + ".cpg"), "1251");
        for (const char* ext : {".shp", ".shx", ".dbf"})
            EXPECT_TRUE(std::filesystem::exists(base + ext)) << ext;
    }
}

// A GIS places the layers of each system with the right datum only when it
// identifies the projection file: GDAL (which QGIS reads it through) must find
// the EPSG system at full confidence, both from the .PRJ alone and when it
// opens the layer.
TEST(ShapeLayer, ProjectionFileIdentifiedByGdal) {
    const struct {
        int code;
        const char* epsg;
    } cases[] = {{1, "4284"}, {2, "4200"}, {3, "7683"}, {4, "7683"}};
    TempDir dir;
    const common::Folder folder = dir.folder();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string name = "layer" + std::to_string(c.code);
        const std::string base = dir / name;
        {
            RowLayer layer(kRowSchema);
            ASSERT_EQ(layer.open(*geometry::CoordSystem::fromCode(c.code), kPoint, folder, name),
                      kOk);
            ASSERT_EQ(layer.writePoint({}, 37.5, 54.5), kOk);
            ASSERT_EQ(layer.close(), kOk);
        }
        // gdalsrsinfo -e names the best match and adds a "Confidence" line only
        // below 100 %.
        const auto identified = testing::runProcess(SHEETJOB_GDALSRSINFO, {"-e", base + ".PRJ"});
        ASSERT_EQ(identified.exitCode, 0) << identified.err;
        EXPECT_NE(identified.out.find(std::string("EPSG:") + c.epsg), std::string::npos)
            << identified.out;
        EXPECT_EQ(identified.out.find("Confidence"), std::string::npos) << identified.out;

        const auto ogr = readLayerWithOgr(base + ".shp");
        ASSERT_TRUE(ogr.has_value());
        EXPECT_NE(ogr->srsText.find(std::string("ID[\"EPSG\",") + c.epsg + "]]"), std::string::npos)
            << ogr->srsText;
    }
}

// Points, lines and polygons read back by an independent reader with their
// "Id" numbering and attribute values, the ring as given (no closing vertex
// added), and the coordinate system.
TEST(ShapeLayer, ThreeShapeTypesReadBackByGdal) {
    TempDir dir;
    const struct {
        int type;
        const char* ogrType;
    } kinds[] = {{kPoint, "Point"}, {kPolyLine, "Line String"}, {kPolygon, "Polygon"}};
    const std::string cyrillic = *common::utf8ToCp1251("Параллель 54° с.ш.");
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.ogrType);
        const std::string name = "t" + std::to_string(kind.type);
        {
            const common::Folder folder = dir.folder();
            RowLayer layer(kRowSchema);
            ASSERT_EQ(layer.open(geometry::kSK42, kind.type, folder, name), kOk);
            for (int i = 0; i < 3; ++i) {
                const Row row{400901 + i, cyrillic, 1.5};
                const int status = kind.type == kPoint ? layer.writePoint(row, 37.125 + i, 54.5)
                                   : kind.type == kPolyLine
                                       ? layer.writeSimpleLine(row, square())
                                       : layer.writeSimplePolygon(row, square());
                ASSERT_EQ(status, kOk);
            }
            EXPECT_EQ(layer.shape().recordCounter, 3);
            ASSERT_EQ(layer.close(), kOk);
        }
        const auto ogr = readLayerWithOgr(dir / (name + ".shp"));
        ASSERT_TRUE(ogr.has_value());
        EXPECT_EQ(ogr->geometryType, kind.ogrType);
        EXPECT_NE(ogr->srsText.find("Pulkovo"), std::string::npos);
        ASSERT_EQ(ogr->features.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const auto& f = ogr->features[static_cast<size_t>(i)];
            EXPECT_EQ(f.field("Id"), std::to_string(i + 1));
            EXPECT_EQ(f.field("L_code"), std::to_string(400901 + i));
            EXPECT_EQ(f.field("Text"), "Параллель 54° с.ш.");
            EXPECT_EQ(f.field("Value"), "1.500");
        }
        EXPECT_EQ(ogr->features[1].points().size(), kind.type == kPoint ? 1u : 5u);
    }
}

// A column the table cannot hold fails the open with 123, saying which.
TEST(ShapeLayer, ColumnsBeyondTheTablesLimitsAreRefused) {
    TempDir dir;
    const common::Folder folder = dir.folder();
    const Field refused[] = {
        {"Text", FieldKind::Character, 10, 2}, // decimals only with real columns
        {"Wide", FieldKind::Character, 256, 0},
        {"Nothing", FieldKind::Integer, 0, 0},
        {"LongerThan10", FieldKind::Integer, 5, 0},
    };
    for (const Field& f : refused) {
        SCOPED_TRACE(f.name);
        ShapeLayer layer;
        EXPECT_EQ(openNewShapefile(geometry::kSK42, kPoint, folder, "refused", {&f, 1}, layer),
                  kFieldRefused);
        EXPECT_NE(layer.lastError().find(f.name), std::string::npos) << layer.lastError();
    }
}

// A layer named in Windows-1251 lands under its UTF-8 file name.
TEST(ShapeLayer, CyrillicFileNames) {
    TempDir dir;
    const std::string name = *common::utf8ToCp1251("N-37-053-А-а");
    {
        const common::Folder folder = dir.folder();
        RowLayer layer(kRowSchema);
        ASSERT_EQ(layer.open(geometry::kSK42, kPolygon, folder, name), kOk);
        ASSERT_EQ(layer.writeSimplePolygon({}, square()), kOk);
        ASSERT_EQ(layer.close(), kOk);
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "N-37-053-А-а.shp"));
    EXPECT_TRUE(readLayerWithOgr(dir / "N-37-053-А-а.shp").has_value());
}

// A layer whose files cannot be put in place (a folder stands under the main
// file's name) fails on close and leaves none of its files; a layer that goes
// without being closed leaves none either.
TEST(ShapeLayer, IncompleteLayersLeaveNothing) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "blocked.shp");
    {
        const common::Folder folder = dir.folder();
        RowLayer layer(kRowSchema);
        ASSERT_EQ(layer.open(geometry::kSK42, kPoint, folder, "blocked"), kOk);
        ASSERT_EQ(layer.writePoint({}, 1, 2), kOk);
        EXPECT_EQ(layer.close(), kCloseFailed);
        EXPECT_NE(layer.shape().lastError().find("blocked.shp"), std::string::npos)
            << layer.shape().lastError();
        EXPECT_NE(layer.writePoint({}, 1, 2), kOk);
    }
    {
        const common::Folder folder = dir.folder();
        RowLayer layer(kRowSchema);
        ASSERT_EQ(layer.open(geometry::kSK42, kPoint, folder, "abandoned"), kOk);
        ASSERT_EQ(layer.writePoint({}, 1, 2), kOk);
    }
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"blocked.shp"});
}

// A symbolic link planted under a member's name, or under its temporary name,
// is never written through: the target stays as it was.
TEST(ShapeLayer, PlantedLinksAreNotFollowed) {
    TempDir dir;
    writeFile(dir.path() / "victim.txt", "keep me");
    std::filesystem::create_symlink("victim.txt", dir.path() / "final.dbf");
    std::filesystem::create_symlink("victim.txt", dir.path() / "temp.dbf.sheetjob-part");
    {
        const common::Folder folder = dir.folder();
        RowLayer layer(kRowSchema);
        ASSERT_EQ(layer.open(geometry::kSK42, kPoint, folder, "final"), kOk);
        ASSERT_EQ(layer.writePoint({1, "a", 2}, 1, 2), kOk);
        ASSERT_EQ(layer.close(), kOk);
        EXPECT_FALSE(std::filesystem::is_symlink(dir.path() / "final.dbf"));
    }
    {
        const common::Folder folder = dir.folder();
        RowLayer layer(kRowSchema);
        ASSERT_EQ(layer.open(geometry::kSK42, kPoint, folder, "temp"), kOk);
        ASSERT_EQ(layer.writePoint({1, "a", 2}, 1, 2), kOk);
        EXPECT_EQ(layer.close(), kCloseFailed);
    }
    EXPECT_EQ(readFile(dir.path() / "victim.txt"), "keep me");
    EXPECT_TRUE(readLayerWithOgr(dir / "final.shp").has_value());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "temp.shp"));
}

// On a full disk (here: a file-size limit) a failed write is never reported as
// success: either a writer or the close reports it.
TEST(ShapeLayer, FullDiskIsReported) {
    TempDir dir;
    const std::string base = dir / "full";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const common::Folder folder = dir.folder();
        RowLayer layer(kRowSchema);
        if (layer.open(geometry::kSK42, kPolyLine, folder, "full") != kOk)
            _exit(3);
        Vertices v;
        for (int i = 0; i < 200; ++i)
            v.add(i, i);
        for (int i = 0; i < 100; ++i)
            if (layer.writeSimpleLine({1, "x", 1}, v) != kOk)
                _exit(2); // a writer reported it
        _exit(layer.close() == kOk ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_TRUE(WEXITSTATUS(status) == 1 || WEXITSTATUS(status) == 2)
        << "exit " << WEXITSTATUS(status);
    // The process ended without closing the layer, as a killed run would: what
    // is left is under temporary names only, never a truncated layer.
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_TRUE(e.path().filename().string().ends_with(common::kPartSuffix)) << e.path();
}

// A layer far larger than the part kept in memory streams through it: every
// member is written out in pieces, and what the library reads back of them
// (the table's header on close) comes from the disk.
TEST(ShapeLayer, LargeLayerStreamsThroughItsWindow) {
    TempDir dir;
    const int records = 30000;
    {
        const common::Folder folder = dir.folder();
        RowLayer layer(kRowSchema);
        ASSERT_EQ(layer.open(geometry::kSK42, kPolyLine, folder, "large"), kOk);
        Vertices v;
        for (int i = 0; i < 4; ++i)
            v.add(36.0 + i, 52.0 + i);
        for (int i = 0; i < records; ++i)
            ASSERT_EQ(layer.writeSimpleLine({i, "\xCF", 1.5}, v), kOk);
        ASSERT_EQ(layer.close(), kOk) << layer.shape().lastError();
    }
    const std::string base = dir / "large";
    DBFHandle dbf = DBFOpen(base.c_str(), "rb");
    ASSERT_NE(dbf, nullptr);
    EXPECT_EQ(DBFGetRecordCount(dbf), records);
    EXPECT_EQ(DBFReadIntegerAttribute(dbf, records - 1, 1), records - 1);
    EXPECT_EQ(DBFReadIntegerAttribute(dbf, records - 1, 0), records);
    DBFClose(dbf);
    SHPHandle shp = SHPOpen(base.c_str(), "rb");
    ASSERT_NE(shp, nullptr);
    int count = 0;
    SHPGetInfo(shp, &count, nullptr, nullptr, nullptr);
    EXPECT_EQ(count, records);
    SHPObject* last = SHPReadObject(shp, records - 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->nVertices, 4);
    EXPECT_EQ(last->padfX[3], 39.0);
    SHPDestroyObject(last);
    SHPClose(shp);
    EXPECT_GT(std::filesystem::file_size(base + ".dbf"), 4u * 256 * 1024);
}

} // namespace
} // namespace sheetjob::shapefile
