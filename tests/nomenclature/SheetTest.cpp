#include "sheetjob/nomenclature/Sheet.h"
#include "sheetjob/nomenclature/Nomenclature.h"

#include <gtest/gtest.h>

namespace sheetjob::nomenclature {
namespace {

// The base trapezium and default graticule that every later stage starts from.
TEST(ComputeBaseParameters, WorkedExamplesAndEdges) {
    struct Case {
        const char* name;
        int setScale, yZone, xZone, sheetNumber, sheetType;
        double west, east, south, north, meridianStep;
        int xMinute;
        double parallelStep;
        int yMinute;
    };
    const double twoThirds = 2.0 / 3.0;
    const double sixth = 1.0 / 6.0;
    const Case cases[] = {
        {"N-37", 1, 8, 37, 0, 0, 36, 42, 52, 56, 1.0, 10, twoThirds, 10},
        {"N-37-XIV", 0, 8, 37, 14, 0, 37, 38, 54, 56 - 2 * twoThirds, 0.25, 1, sixth, 1},
        {"T-29 quadruple", 1, 2, 29, 0, 3, 348, 372, 76, 80, 4.0, 40, twoThirds, 10},
        {"N-37 double", 1, 8, 37, 0, 1, 36, 48, 52, 56, 2.0, 20, twoThirds, 10},
        {"N-37 triple (1:1 000 000 from the argument file)", 1, 8, 37, 0, 2, 36, 54, 52, 56, 1.0,
         10, twoThirds, 10},
        {"zone 31 starts at 0", 1, 8, 31, 0, 0, 0, 6, 52, 56, 1.0, 10, twoThirds, 10},
        {"zone 30 ends at 360", 1, 8, 30, 0, 0, 354, 360, 52, 56, 1.0, 10, twoThirds, 10},
        {"zone 1 starts at 180", 1, 8, 1, 0, 0, 180, 186, 52, 56, 1.0, 10, twoThirds, 10},
        {"sheet number ignored for 1:1 000 000", 1, 8, 37, 14, 0, 36, 42, 52, 56, 1.0, 10,
         twoThirds, 10},
        {"sheet 1 north-west", 0, 8, 37, 1, 0, 36, 37, 56 - twoThirds, 56, 0.25, 1, sixth, 1},
        {"sheet 6 north-east", 0, 8, 37, 6, 0, 41, 42, 56 - twoThirds, 56, 0.25, 1, sixth, 1},
        {"sheet 36 south-east", 0, 8, 37, 36, 0, 41, 42, (56 - 5 * twoThirds) - twoThirds,
         56 - 5 * twoThirds, 0.25, 1, sixth, 1},
        {"N-37-XIV double", 0, 8, 37, 14, 1, 37, 39, 54, 56 - 2 * twoThirds, 0.5, 2, sixth, 1},
        {"N-37-XIV triple: 5-minute scale", 0, 8, 37, 14, 2, 37, 40, 54, 56 - 2 * twoThirds, 0.75,
         5, sixth, 1},
        {"N-37-XIV quadruple: single defaults", 0, 8, 37, 14, 3, 37, 41, 54, 56 - 2 * twoThirds,
         0.25, 1, sixth, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Sheet sheet{c.setScale, c.yZone, c.xZone, c.sheetNumber, c.sheetType};
        const BaseParameters base = computeBaseParameters(sheet);
        EXPECT_EQ(base.trapezium.west, c.west);
        EXPECT_EQ(base.trapezium.east, c.east);
        EXPECT_EQ(base.trapezium.south, c.south);
        EXPECT_EQ(base.trapezium.north, c.north);
        EXPECT_EQ(base.graticule.meridianStep, c.meridianStep);
        EXPECT_EQ(base.graticule.xMinute, c.xMinute);
        EXPECT_EQ(base.graticule.parallelStep, c.parallelStep);
        EXPECT_EQ(base.graticule.yMinute, c.yMinute);
    }
}

// N-37-XIV's south edge is computed as north minus 2/3, not as 54 exactly.
TEST(ComputeBaseParameters, SouthEdgeIsNorthLessTwoThirds) {
    const geometry::Trapezium t = Sheet{kSeries200k, 8, 37, 14, kSingle}.trapezium();
    EXPECT_EQ(t.north, 56.0 - 2 * (2.0 / 3.0));
    EXPECT_EQ(t.south, t.north - 2.0 / 3.0);
}

// Every sheet a job can name, in both written forms, reads back as the same
// sheet: the name written and the name read are one convention.
TEST(Sheet, EveryNameParsesBackToItsSheet) {
    int sheets = 0;
    for (int belt = kFirstJobBelt; belt <= kLastJobBelt; ++belt) {
        for (int zone = 1; zone <= 60; ++zone) {
            if (!((zone >= 33 && zone <= 60) || zone == 1 || zone == 2))
                continue;
            for (int type : {kSingle, kDouble, kTriple, kQuadruple}) {
                const std::string suffix =
                    type == kSingle ? "" : "(" + std::to_string(type + 1) + ")";
                const Sheet million{kSeries1M, belt, zone, 0, type};
                const std::string name = million.nomenclature();
                // A combined name lists its zones; the argument file names the first.
                const std::string first = name.substr(0, 4) + suffix;
                const auto parsed = Sheet::parse(first);
                ASSERT_TRUE(parsed) << first;
                EXPECT_EQ(parsed->nomenclature(), name) << first;
                ++sheets;
                for (int number = 1; number <= kSheetsPerMillion; ++number) {
                    const Sheet sheet{kSeries200k, belt, zone, number, type};
                    const std::string roman = toRomanNumerals(number);
                    const std::string hyphenated = name.substr(0, 4) + "-" + roman + suffix;
                    const std::string compact = std::string(1, name[0]) + name.substr(2, 2) +
                                                (number < 10 ? "0" : "") + std::to_string(number) +
                                                suffix;
                    for (const std::string& text : {hyphenated, compact}) {
                        const auto back = Sheet::parse(text);
                        ASSERT_TRUE(back) << text;
                        EXPECT_EQ(back->nomenclature(), sheet.nomenclature()) << text;
                        EXPECT_EQ(back->trapezium().west, sheet.trapezium().west) << text;
                        EXPECT_EQ(back->trapezium().north, sheet.trapezium().north) << text;
                    }
                    ++sheets;
                }
            }
        }
    }
    EXPECT_EQ(sheets, 11 * 30 * 4 * 37);
}

// The margins of the result trapezium are one single sheet of the series,
// whatever the combined type.
TEST(Sheet, MarginsAreOneSingleSheet) {
    for (int type : {kSingle, kDouble, kTriple, kQuadruple}) {
        EXPECT_EQ(Sheet({kSeries200k, 8, 37, 14, type}).margins().longitude, 1.0);
        EXPECT_EQ(Sheet({kSeries200k, 8, 37, 14, type}).margins().latitude, 2.0 / 3.0);
        EXPECT_EQ(Sheet({kSeries1M, 8, 37, 0, type}).margins().longitude, 6.0);
        EXPECT_EQ(Sheet({kSeries1M, 8, 37, 0, type}).margins().latitude, 4.0);
    }
}

} // namespace
} // namespace sheetjob::nomenclature
