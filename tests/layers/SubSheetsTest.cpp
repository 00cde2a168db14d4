// The 1:50 000 and 1:25 000 sheet frames: division order, names, outlines.

#include "sheetjob/layers/SubSheets.h"
#include "sheetjob/common/Cp1251.h"
#include "sheetjob/geometry/DatumShift.h"
#include "support/Ogr.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sheetjob::layers {
namespace {

namespace fs = std::filesystem;
using common::cp1251ToUtf8;

/// The 1:200 000 sheet N-37-<number>.
nomenclature::Sheet sheetFor(int sheetNumber) {
    return {nomenclature::kSeries200k, 8, 37, sheetNumber, nomenclature::kSingle};
}

std::vector<SubSheet> division(const nomenclature::Sheet& sheet) {
    std::vector<SubSheet> sheets;
    const auto failure = createMaps5025(sheet, [&](const SubSheet& s) {
        sheets.push_back(s);
        return common::Outcome{};
    });
    EXPECT_FALSE(failure) << failure->reason;
    return sheets;
}

// Each 1:50 000 sheet is followed by its four 1:25 000 sheets; the 1:100 000
// sheets come north-west, south-west, north-east, south-east.
TEST(SubSheets, ProcessingOrderAndNames) {
    const struct {
        int sheetNumber;
        const char* hundreds[4];
    } cases[] = {{1, {"1", "13", "2", "14"}},
                 {8, {"27", "39", "28", "40"}},
                 {36, {"131", "143", "132", "144"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheetNumber);
        const auto sheets = division(sheetFor(c.sheetNumber));
        ASSERT_EQ(sheets.size(), 80u);
        for (int h = 0; h < 4; ++h) {
            const std::string n100 = std::string("N-37-") + c.hundreds[h];
            const char* letters50[] = {"А", "В", "Б", "Г"};
            for (int q = 0; q < 4; ++q) {
                const size_t at = static_cast<size_t>(h * 20 + q * 5);
                const std::string n50 = n100 + "-" + letters50[q];
                EXPECT_EQ(sheets[at].scale, 50000);
                EXPECT_EQ(cp1251ToUtf8(sheets[at].name), n50);
                const char* letters25[] = {"а", "в", "б", "г"};
                for (int k = 0; k < 4; ++k) {
                    EXPECT_EQ(sheets[at + 1 + k].scale, 25000);
                    EXPECT_EQ(cp1251ToUtf8(sheets[at + 1 + k].name), n50 + "-" + letters25[k]);
                }
            }
        }
    }
}

// Halving at every level: the first 1:50 000 sheet is the north-west 15' x 10'.
TEST(SubSheets, QuartersOfTheBaseTrapezium) {
    const auto sheets = division(sheetFor(14));
    const double north = 56.0 - 2 * (2.0 / 3.0);
    const double south = north - 2.0 / 3.0;
    const double middle = (south + north) / 2;
    EXPECT_EQ(sheets[0].bounds.west, 37.0);
    EXPECT_EQ(sheets[0].bounds.east, (37.0 + (37.0 + 38.0) / 2) / 2);
    EXPECT_EQ(sheets[0].bounds.north, north);
    EXPECT_EQ(sheets[0].bounds.south, (middle + north) / 2);
    EXPECT_EQ(sheets[2].bounds.west, 37.0); // N-37-51-А-в: south-west quarter
    EXPECT_EQ(sheets[2].bounds.north, sheets[1].bounds.south);
    EXPECT_EQ(sheets[3].bounds.west, sheets[1].bounds.east); // N-37-51-А-б: north-east quarter
}

// The first failure ends the division; no sheet after it is handed over.
TEST(SubSheets, FirstFailureStopsTheDivision) {
    int calls = 0;
    const auto failure = createMaps5025(sheetFor(1), [&](const SubSheet&) {
        return ++calls == 3 ? common::Outcome{common::Failure{2, "third"}} : std::nullopt;
    });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->status, 2);
    EXPECT_EQ(calls, 3);
    testing::TempDir dir;
    const common::Folder folder = dir.folder();
    for (const int number : {0, 37}) {
        const auto refused = createMaps5025(sheetFor(number), geometry::kSK42, folder, folder);
        ASSERT_TRUE(refused) << number;
        EXPECT_EQ(refused->status, 1);
        EXPECT_FALSE(refused->reason.empty());
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
}

// All 80 layers on disk under their Cyrillic names, read back by ogrinfo through
// their UTF-8 file names; coordinate system 4 moves only the vertices.
TEST(SubSheets, LayersReadBackUnderTheirNames) {
    for (const int coordSystem : {1, 4}) {
        SCOPED_TRACE(coordSystem);
        testing::TempDir dir;
        const std::string r50 = dir / "HYPS_50";
        const std::string r25 = dir / "HYPS_25";
        const auto failure =
            createMaps5025(sheetFor(14), *geometry::CoordSystem::fromCode(coordSystem),
                           dir.subfolder("HYPS_50"), dir.subfolder("HYPS_25"));
        ASSERT_FALSE(failure) << failure->reason;
        auto count = [](const std::string& folder) {
            return std::count_if(fs::directory_iterator(folder), fs::directory_iterator(),
                                 [](const auto& e) { return e.path().extension() == ".shp"; });
        };
        EXPECT_EQ(count(r50), 16);
        EXPECT_EQ(count(r25), 64);

        const struct {
            std::string file, name;
            size_t vertices;
            double west, north;
        } layers[] = {{r50 + "/N-37-51-А.shp", "N-37-51-А", 65, 37.0, 54.666666666666664},
                      {r25 + "/N-37-64-Г-г.shp", "N-37-64-Г-г", 33, 37.875, 54.083333333333336}};
        for (const auto& l : layers) {
            SCOPED_TRACE(l.name);
            const auto read = testing::readLayerWithOgr(l.file);
            ASSERT_TRUE(read);
            EXPECT_EQ(read->geometryType, "Polygon");
            ASSERT_EQ(read->featureCount, 1);
            EXPECT_EQ(read->features[0].field("Name"), l.name);
            const auto ring = read->features[0].points();
            ASSERT_EQ(ring.size(), l.vertices);
            geometry::Point nw{l.west, l.north};
            if (coordSystem == 4)
                geometry::sk42_To_Gsk2011(nw);
            EXPECT_NEAR(ring[0].x, nw.x, 1e-12); // ogrinfo prints 15 significant digits
            EXPECT_NEAR(ring[0].y, nw.y, 1e-12);
        }
    }
}

} // namespace
} // namespace sheetjob::layers
