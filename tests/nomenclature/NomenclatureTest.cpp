#include "sheetjob/nomenclature/Nomenclature.h"
#include "sheetjob/nomenclature/Sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nom = sheetjob::nomenclature;

namespace {

constexpr int kMillion = 1;    // SetScale of a 1:1 000 000 sheet
constexpr int kTwoHundred = 0; // SetScale of a 1:200 000 sheet

struct Named {
    const char* name;
    int setScale, yZone, xZone, number, type;
    [[nodiscard]] nom::Sheet sheet() const { return {setScale, yZone, xZone, number, type}; }
};

// Names of single and combined sheets, zone 60 followed by 01, belts V and J.
TEST(Nomenclature, NamesSheets) {
    const std::vector<Named> cases = {
        {"N-37", kMillion, 8, 37, 99, 0},
        {"P-37,38", kMillion, 6, 37, 0, 1},
        {"T-37,38,39,40", kMillion, 2, 37, 0, 3},
        {"U-59,60,01,02", kMillion, 1, 59, 0, 3},
        {"N-37-XIV", kTwoHundred, 8, 37, 14, 0},
        {"N-37-XIV,XV", kTwoHundred, 8, 37, 14, 1},
        {"N-37-XVII,XVIII,38-XIII", kTwoHundred, 8, 37, 17, 2},
        {"N-60-VI,01-I", kTwoHundred, 8, 60, 6, 1},
        {"K-01-I", kTwoHundred, 11, 1, 1, 0},
        {"N-37-XXXVI,38-XXXI", kTwoHundred, 8, 37, 36, 1},
        {"N-37-", kTwoHundred, 8, 37, 0, 0},
        {"V-01", kMillion, 0, 1, 0, 0},
        {"J-05-XXXIII", kTwoHundred, 12, 5, 33, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.sheet().nomenclature(), c.name);
    }
}

// Roman numerals of every 1:200 000 number and zone stepping around the globe.
TEST(Nomenclature, RomanNumeralsAndZones) {
    const std::vector<std::string> expected = {
        "",    "I",    "II",    "III",    "IV",    "V",    "VI",   "VII",   "VIII",   "IX",
        "X",   "XI",   "XII",   "XIII",   "XIV",   "XV",   "XVI",  "XVII",  "XVIII",  "XIX",
        "XX",  "XXI",  "XXII",  "XXIII",  "XXIV",  "XXV",  "XXVI", "XXVII", "XXVIII", "XXIX",
        "XXX", "XXXI", "XXXII", "XXXIII", "XXXIV", "XXXV", "XXXVI"};
    for (int n = 0; n < static_cast<int>(expected.size()); ++n)
        EXPECT_EQ(nom::toRomanNumerals(n), expected[static_cast<size_t>(n)]) << n;

    EXPECT_EQ(nom::plusXZone(60), 1);
    EXPECT_EQ(nom::plusXZone(37), 38);
    EXPECT_EQ(nom::minusXZone(1), 60);
    EXPECT_EQ(nom::minusXZone(37), 36);
}

// Stepping inside the 6 x 6 grid: rows kept east/west, columns kept north/south.
TEST(Nomenclature, StepsThroughTheGrid) {
    struct Step {
        const char* name;
        bool flag;
        int from, number, toExpected, numberExpected;
    };
    const std::vector<Step> east = {
        {"XVIII east", true, 37, 18, 38, 13}, {"VI east", true, 37, 6, 38, 1},
        {"XXXVI east", true, 60, 36, 1, 31},  {"XIV east", true, 37, 14, 37, 15},
        {"XIII west", false, 37, 13, 36, 18}, {"I west", false, 1, 1, 60, 6},
    };
    for (const auto& c : east) {
        SCOPED_TRACE(c.name);
        int zone = 0, number = 0;
        nom::adjacentXZone200(c.flag, c.from, c.number, zone, number);
        EXPECT_EQ(zone, c.toExpected);
        EXPECT_EQ(number, c.numberExpected);
    }
    const std::vector<Step> vertical = {
        {"III north", true, 8, 3, 7, 33},
        {"XXXVI south", false, 8, 36, 9, 6},
        {"XIV north", true, 8, 14, 8, 8},
        {"XIV south", false, 8, 14, 8, 20},
    };
    for (const auto& c : vertical) {
        SCOPED_TRACE(c.name);
        int belt = 0, number = 0;
        nom::adjacentYZone200(c.flag, c.from, c.number, belt, number);
        EXPECT_EQ(belt, c.toExpected);
        EXPECT_EQ(number, c.numberExpected);
    }
}

// The neighbours of the worked sheets; the western neighbour of the double
// sheet N-37-XIV,XV is the double sheet that ends where it begins.
TEST(Nomenclature, NamesNeighbours) {
    struct Case {
        Named sheet;
        const char *west, *east, *north, *south;
    };
    const std::vector<Case> cases = {
        {{"N-37", kMillion, 8, 37, 0, 0}, "N-36", "N-38", "O-37", "M-37"},
        {{"N-37-XIV", kTwoHundred, 8, 37, 14, 0}, "N-37-XIII", "N-37-XV", "N-37-VIII", "N-37-XX"},
        {{"N-37-I", kTwoHundred, 8, 37, 1, 0}, "N-36-VI", "N-37-II", "O-37-XXXI", "N-37-VII"},
        {{"N-37-XXXVI", kTwoHundred, 8, 37, 36, 0},
         "N-37-XXXV",
         "N-38-XXXI",
         "N-37-XXX",
         "M-37-VI"},
        {{"N-37-XIV,XV", kTwoHundred, 8, 37, 14, 1},
         "N-36-XVIII,37-XIII",
         "N-37-XVI,XVII",
         "N-37-VIII,IX",
         "N-37-XX,XXI"},
        {{"P-37,38", kMillion, 6, 37, 0, 1}, "P-35,36", "P-39,40", "Q-37,38", "O-37,38"},
        {{"K-01-I", kTwoHundred, 11, 1, 1, 0}, "K-60-VI", "K-01-II", "L-01-XXXI", "K-01-VII"},
        {{"U-01", kMillion, 1, 1, 0, 0}, "U-60", "U-02", "V-01", "T-01"},
        {{"K-37-XXXIII", kTwoHundred, 11, 37, 33, 0},
         "K-37-XXXII",
         "K-37-XXXIV",
         "K-37-XXVII",
         "J-37-III"},
        {{"U-60-VI", kTwoHundred, 1, 60, 6, 0}, "U-60-V", "U-01-I", "V-60-XXXVI", "U-60-XII"},
    };
    for (const auto& c : cases) {
        const auto& s = c.sheet;
        SCOPED_TRACE(s.name);
        ASSERT_EQ(s.sheet().nomenclature(), s.name);
        EXPECT_EQ(s.sheet().adjacentNomenclature(-1), c.west);
        EXPECT_EQ(s.sheet().adjacentNomenclature(1), c.east);
        EXPECT_EQ(s.sheet().adjacentNomenclature(2), c.north);
        EXPECT_EQ(s.sheet().adjacentNomenclature(-2), c.south);
        // Any direction other than -1 and +1 is vertical: zero counts as south.
        EXPECT_EQ(s.sheet().adjacentNomenclature(0), c.south);
    }
}

} // namespace
