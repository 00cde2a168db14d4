#include "sheetjob/shapefile/ShapeLayer.h"

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
using testing::readFile;
using testing::readLayerWithOgr;
using testing::TempDir;
using testing::writeFile;

std::vector<FieldDef> labelFields() {
    return {
        {"L_code", {kInteger, 8, 0}}, {"Text", {kCharacter, 100, 0}}, {"Value", {kReal, 12, 3}}};
}

Vertices square() {
    Vertices v;
    v.add(36, 53);
    v.add(37, 53);
    v.add(37, 52);
    v.add(36, 52);
    v.add(36, 53);
    return v;
}

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
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(*geometry::CoordSystem::fromCode(c.code), kPoint, folder,
                                   name + "   ", {}, layer),
                  kOk);
        EXPECT_EQ(closeNewShapefile(layer), kOk);
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
            ShapeLayer layer;
            ASSERT_EQ(openNewShapefile(*geometry::CoordSystem::fromCode(c.code), kPoint, folder,
                                       name, {}, layer),
                      kOk);
            ASSERT_EQ(writePoint(layer, "", 37.5, 54.5), kOk);
            ASSERT_EQ(closeNewShapefile(layer), kOk);
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
// "Id" numbering, vertices exactly as given (no closing vertex added) and the
// coordinate system.
TEST(ShapeLayer, ThreeShapeTypesReadBackByGdal) {
    TempDir dir;
    const struct {
        int type;
        const char* ogrType;
    } kinds[] = {{kPoint, "Point"}, {kPolyLine, "Line String"}, {kPolygon, "Polygon"}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.ogrType);
        const std::string name = "t" + std::to_string(kind.type);
        const std::string base = dir / name;
        {
            const common::Folder folder = dir.folder();
            ShapeLayer layer;
            ASSERT_EQ(
                openNewShapefile(geometry::kSK42, kind.type, folder, name, labelFields(), layer),
                kOk);
            for (int i = 0; i < 3; ++i) {
                const std::string text = std::to_string(400901 + i) + "\\abc\\1,5\\";
                int status = 0;
                if (kind.type == kPoint)
                    status = writePoint(layer, text, 37.125 + i, 54.666666666666664);
                else if (kind.type == kPolyLine)
                    status = writeSimpleLine(layer, text, square());
                else
                    status = writeSimplePolygon(layer, text, square());
                ASSERT_EQ(status, kOk);
            }
            EXPECT_EQ(layer.recordCounter, 3);
            ASSERT_EQ(closeNewShapefile(layer), kOk);
        }
        const auto ogr = readLayerWithOgr(base + ".shp");
        ASSERT_TRUE(ogr.has_value());
        EXPECT_EQ(ogr->geometryType, kind.ogrType);
        EXPECT_EQ(ogr->featureCount, 3);
        EXPECT_NE(ogr->srsText.find("Pulkovo"), std::string::npos);
        ASSERT_EQ(ogr->features.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const auto& f = ogr->features[static_cast<size_t>(i)];
            EXPECT_EQ(f.field("Id"), std::to_string(i + 1));
            EXPECT_EQ(f.field("L_code"), std::to_string(400901 + i));
            EXPECT_EQ(f.field("Value"), "1.500");
        }
        const auto points = ogr->features[1].points();
        if (kind.type == kPoint) {
            ASSERT_EQ(points.size(), 1u);
            EXPECT_DOUBLE_EQ(points[0].x, 38.125);
        } else {
            ASSERT_EQ(points.size(), 5u); // the ring as given, 5 vertices stay 5
            EXPECT_EQ(points[2].x, 37);
            EXPECT_EQ(points[2].y, 52);
        }
    }
}

// Vertices are stored unchanged, to the last bit.
TEST(ShapeLayer, VerticesStoredBitForBit) {
    TempDir dir;
    const std::string base = dir / "exact";
    Vertices v;
    v.add(36.978222999815074, 54.67925710612555);
    v.add(359.99796234, 0.1 + 0.2);
    {
        const common::Folder folder = dir.folder();
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPolyLine, folder, "exact", {}, layer), kOk);
        ASSERT_EQ(writeSimpleLine(layer, "", v), kOk);
        ASSERT_EQ(closeNewShapefile(layer), kOk);
    }
    SHPHandle shp = SHPOpen(base.c_str(), "rb");
    ASSERT_NE(shp, nullptr);
    SHPObject* object = SHPReadObject(shp, 0);
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->nVertices, 2);
    EXPECT_EQ(object->padfX[0], v.x[0]);
    EXPECT_EQ(object->padfY[0], v.y[0]);
    EXPECT_EQ(object->padfX[1], v.x[1]);
    EXPECT_EQ(object->padfY[1], v.y[1]);
    SHPDestroyObject(object);
    SHPClose(shp);
}

// The attribute text rules: values separated by "\", blanks before a value
// dropped, trailing blanks of a character value dropped, blank numbers are 0,
// a decimal comma reads as a point; malformed texts fail with 803 and leave the
// counters advanced.
TEST(ShapeLayer, AttributeTextRules) {
    TempDir dir;
    const std::string base = dir / "attrs";
    const std::string cyrillic = *common::utf8ToCp1251("Параллель 54° с.ш.");
    const struct {
        std::string text;
        int status;
        const char* lcode;
        const char* value;
        std::string shown;
    } cases[] = {
        {"   17\\ab  \\3,5\\", kOk, "17", "3.500", "ab"},
        {"     \\  \\   \\", kOk, "0", "0.000", ""},
        {"-1\\" + cyrillic + "\\2.25\\extra\\", kOk, "-1", "2.250", "Параллель 54° с.ш."},
        {"12\\ no separator", kMalformedText, "", "", ""},
        {"12a\\x\\1\\", kMalformedText, "", "", ""},
        {"12\\x\\1.2.3\\", kMalformedText, "", "", ""},
    };
    {
        const common::Folder folder = dir.folder();
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPoint, folder, "attrs", labelFields(), layer),
                  kOk);
        int expectedRecords = 0;
        for (const auto& c : cases) {
            SCOPED_TRACE(c.text);
            EXPECT_EQ(writePoint(layer, c.text, 1, 2), c.status);
            EXPECT_EQ(layer.recordCounter, ++expectedRecords);
            EXPECT_EQ(layer.identifierCounter, expectedRecords);
            if (c.status != kOk) {
                EXPECT_FALSE(layer.lastError().empty());
            }
        }
        // The writer completes what it was given; the layer routines never
        // close a layer after a failed record.
        ASSERT_EQ(closeNewShapefile(layer), kOk);
    }
    const auto ogr = readLayerWithOgr(base + ".shp");
    ASSERT_TRUE(ogr.has_value());
    // Only the well-formed records have shapes; the table keeps what was written.
    ASSERT_GE(ogr->features.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ogr->features[i].field("L_code"), cases[i].lcode);
        EXPECT_EQ(ogr->features[i].field("Value"), cases[i].value);
        // GDAL shows a blank character value as null.
        const std::string shown = ogr->features[i].field("Text");
        EXPECT_EQ(shown == "(null)" ? "" : shown, cases[i].shown);
    }
}

// Integer columns hold exactly what the table's own numeric formatting
// ("%*.0f") gives, in every width and for negative numbers; a number wider than
// its column is refused, the "Id" column included.
TEST(ShapeLayer, IntegerColumnsAsTheTablePrintsThem) {
    TempDir dir;
    const std::vector<int> widths = {1, 2, 5, 8, 11};
    std::vector<FieldDef> fields;
    for (const int w : widths)
        fields.push_back({"N" + std::to_string(w), {kInteger, w, 0}});
    const std::vector<std::vector<int>> rows = {
        {0, 0, 0, 0, 0},
        {7, -9, -9999, 12345678, INT_MIN},
        {9, 99, 99999, -1234567, INT_MAX},
        {3, 10, -1, 1, -2147483647},
    };
    {
        const common::Folder folder = dir.folder();
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPoint, folder, "ints", fields, layer), kOk);
        for (const auto& row : rows) {
            std::string text;
            for (const int v : row)
                text += std::to_string(v) + "\\";
            ASSERT_EQ(writePoint(layer, text, 1, 2), kOk) << text;
        }
        // Too wide for its column: the store is refused and said so.
        EXPECT_EQ(writePoint(layer, "10\\0\\0\\0\\0\\", 1, 2), kTableWriteFailed);
        EXPECT_FALSE(layer.lastError().empty());
        EXPECT_EQ(writePoint(layer, "1\\0\\100000\\0\\0\\", 1, 2), kTableWriteFailed);
        layer.identifierCounter = 999998;
        EXPECT_EQ(writePoint(layer, "1\\1\\1\\1\\1\\", 1, 2), kOk);
        EXPECT_EQ(writePoint(layer, "1\\1\\1\\1\\1\\", 1, 2), kTableWriteFailed);
        ASSERT_EQ(closeNewShapefile(layer), kOk) << layer.lastError();
    }
    const std::string table = readFile(dir / "ints.dbf");
    const auto word = [&table](size_t at) {
        return static_cast<size_t>(static_cast<unsigned char>(table[at])) |
               static_cast<size_t>(static_cast<unsigned char>(table[at + 1])) << 8;
    };
    const size_t headerLength = word(8), recordLength = word(10);
    const auto printed = [](double v, int width) {
        std::array<char, 64> buffer{};
        std::snprintf(buffer.data(), buffer.size(), "%*.0f", width, v);
        return std::string(buffer.data());
    };
    for (size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE(r);
        // Deletion flag, then "Id" (6 wide), then the columns in order.
        size_t at = headerLength + r * recordLength + 1;
        EXPECT_EQ(table.substr(at, 6), printed(static_cast<double>(r + 1), 6));
        at += 6;
        for (size_t c = 0; c < widths.size(); ++c) {
            EXPECT_EQ(table.substr(at, widths[c]), printed(rows[r][c], widths[c]));
            at += widths[c];
        }
    }
    const size_t last = headerLength + (rows.size() + 2) * recordLength + 1;
    EXPECT_EQ(table.substr(last, 6), "999999");
}

// A layer without caller fields has exactly the "Id" column; a field the
// library refuses fails the open with 123.
TEST(ShapeLayer, FieldDefinitions) {
    TempDir dir;
    {
        const common::Folder folder = dir.folder();
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPolygon, folder, "idonly", {}, layer), kOk);
        ASSERT_EQ(writeSimplePolygon(layer, "anything", square()), kOk);
        ASSERT_EQ(closeNewShapefile(layer), kOk);
    }
    const auto ogr = readLayerWithOgr(dir / "idonly.shp");
    ASSERT_TRUE(ogr.has_value());
    ASSERT_EQ(ogr->fieldDefs.size(), 1u);
    EXPECT_EQ(ogr->fieldDefs[0].first, "Id");
    EXPECT_EQ(ogr->fieldDefs[0].second, "Integer (6.0)");

    const std::vector<std::vector<FieldDef>> refused = {
        {{"Text", {kCharacter, 10, 2}}}, // decimals only with real columns
        {{"Odd", {9, 10, 0}}},           // no such column type
    };
    for (const auto& fields : refused) {
        const common::Folder folder = dir.folder();
        ShapeLayer layer;
        EXPECT_EQ(openNewShapefile(geometry::kSK42, kPoint, folder, "refused", fields, layer),
                  kFieldRefused);
        EXPECT_FALSE(layer.lastError().empty());
    }
}

// A layer named in Windows-1251 lands under its UTF-8 file name.
TEST(ShapeLayer, CyrillicFileNames) {
    TempDir dir;
    const std::string name = *common::utf8ToCp1251("N-37-053-А-а");
    {
        const common::Folder folder = dir.folder();
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPolygon, folder, name, {}, layer), kOk);
        ASSERT_EQ(writeSimplePolygon(layer, "", square()), kOk);
        ASSERT_EQ(closeNewShapefile(layer), kOk);
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
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPoint, folder, "blocked", {}, layer), kOk);
        ASSERT_EQ(writePoint(layer, "", 1, 2), kOk);
        EXPECT_EQ(closeNewShapefile(layer), kCloseFailed);
        EXPECT_NE(layer.lastError().find("blocked.shp"), std::string::npos) << layer.lastError();
        EXPECT_NE(writePoint(layer, "", 1, 2), kOk);
    }
    {
        const common::Folder folder = dir.folder();
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPoint, folder, "abandoned", {}, layer), kOk);
        ASSERT_EQ(writePoint(layer, "", 1, 2), kOk);
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
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPoint, folder, "final", labelFields(), layer),
                  kOk);
        ASSERT_EQ(writePoint(layer, "1\\a\\2\\", 1, 2), kOk);
        ASSERT_EQ(closeNewShapefile(layer), kOk);
        EXPECT_FALSE(std::filesystem::is_symlink(dir.path() / "final.dbf"));
    }
    {
        const common::Folder folder = dir.folder();
        ShapeLayer layer;
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPoint, folder, "temp", labelFields(), layer),
                  kOk);
        ASSERT_EQ(writePoint(layer, "1\\a\\2\\", 1, 2), kOk);
        EXPECT_EQ(closeNewShapefile(layer), kCloseFailed);
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
        ShapeLayer layer;
        if (openNewShapefile(geometry::kSK42, kPolyLine, folder, "full", labelFields(), layer) !=
            kOk)
            _exit(3);
        Vertices v;
        for (int i = 0; i < 200; ++i)
            v.add(i, i);
        for (int i = 0; i < 100; ++i)
            if (writeSimpleLine(layer, "1\\x\\1\\", v) != kOk)
                _exit(2); // a writer reported it
        _exit(closeNewShapefile(layer) == kOk ? 0 : 1);
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
        ShapeLayer layer;
        ASSERT_EQ(
            openNewShapefile(geometry::kSK42, kPolyLine, folder, "large", labelFields(), layer),
            kOk);
        Vertices v;
        for (int i = 0; i < 4; ++i)
            v.add(36.0 + i, 52.0 + i);
        for (int i = 0; i < records; ++i)
            ASSERT_EQ(writeSimpleLine(layer, std::to_string(i) + "\\Параллель\\1,5\\", v), kOk);
        ASSERT_EQ(closeNewShapefile(layer), kOk) << layer.lastError();
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
