#include "sheetjob/coordtext/LabelText.h"
#include "sheetjob/common/Cp1251.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace ct = sheetjob::coordtext;
using sheetjob::common::cp1251ToUtf8;

namespace {

constexpr int kWholeMinutes = -1; // decimals selecting whole-minute labels
constexpr int kWords = 1;         // hemisphere word after every label
constexpr int kLetters = 2;       // a letter after western and southern labels only

// Point labels of the sheet corners, whole minutes and seconds.
TEST(LabelText, PointLabels) {
    struct Case {
        double lon, lat;
        int decimals;
        const char* expected; // UTF-8
    };
    const std::vector<Case> cases = {
        {36, 52, kWholeMinutes, "36°00' в.д. 52°00' с.ш."},
        {37.5, 52.3333333, kWholeMinutes, "37°30' в.д. 52°20' с.ш."},
        {200.25, 52.6666667, kWholeMinutes, "159°45' з.д. 52°40' с.ш."},
        {180, -10.5, kWholeMinutes, "180°00' в.д. 10°30' ю.ш."},
        {37.5028472, 52.3347222, 2, "37°30'10.25\" в.д. 52°20'5.00\" с.ш."},
        {37.5027778, 52.3347222, 0, "37°30'10\" в.д. 52°20'05\" с.ш."},
        {180.0001, 44.99999, kWholeMinutes, "180°00' в.д. 45°00' с.ш."},
        {180.01, 59.99986111, kWholeMinutes, "179°59' з.д. 60°00' с.ш."},
        {360.0, 0.0, kWholeMinutes, "0°00' з.д. 0°00' с.ш."}, // folded to zero units, western
        {-0.000001, -0.000001, kWholeMinutes, "0°00' в.д. 0°00' с.ш."},
        {0.0, 59.99986111, 2, "0°00'0.00\" в.д. 59°59'59.50\" с.ш."},
        {359.99999999, 1.0, 0, "0°00'00\" з.д. 1°00'00\" с.ш."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(cp1251ToUtf8(ct::coordPointToTxtN(c.lon, c.lat, c.decimals, kWords)), c.expected);
    }
}

// Hemisphere styles: letters only for west and south, nothing for other styles.
TEST(LabelText, HemisphereStyles) {
    struct Case {
        double value;
        bool isLongitude;
        int style;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {200.25, true, kLetters, "159°45' З"}, {37.25, true, kLetters, "37°15'"},
        {-10.5, false, kLetters, "10°30' Ю"},  {10.5, false, kLetters, "10°30'"},
        {200.25, true, 0, "159°45'"},          {-10.5, false, 3, "10°30'"},
        {-10.5, true, kWords, "10°30' з.д."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const auto split = ct::coordToDegMinSec(c.value, c.isLongitude, kWholeMinutes);
        EXPECT_EQ(cp1251ToUtf8(ct::coordToTxtN(split, c.isLongitude, kWholeMinutes, c.style)),
                  c.expected);
    }
}

// The split is exact: every whole minute of the longitude range gives back its
// own minute; a sample of the 0.01-second grid gives back its own seconds.
TEST(LabelText, SplitIsExactOnTheGrid) {
    for (int k = 0; k <= 360 * 60; ++k) {
        const auto s = ct::coordToDegMinSec(k / 60.0, true, kWholeMinutes);
        const int shown = k > 180 * 60 ? 360 * 60 - k : k;
        ASSERT_EQ(s.degrees * 60 + s.minutes, shown) << k;
        ASSERT_EQ(s.seconds, 0.0) << k;
        ASSERT_EQ(s.positive, k <= 180 * 60) << k;
    }
    constexpr std::int64_t kHundredthsPerDegree = 360000;
    for (std::int64_t k = 0; k < 90 * kHundredthsPerDegree; k += 997) {
        const double latitude = static_cast<double>(k) / kHundredthsPerDegree;
        const auto s = ct::coordToDegMinSec(latitude, false, 2);
        ASSERT_EQ(s.degrees, k / kHundredthsPerDegree) << k;
        ASSERT_EQ(s.minutes, k % kHundredthsPerDegree / 6000) << k;
        ASSERT_EQ(s.seconds, static_cast<double>(k % 6000) / 100.0) << k;
    }
}

// Values no sheet has stay defined: the degree field shows its asterisks.
TEST(LabelText, OutlandishValuesStayDefined) {
    EXPECT_EQ(cp1251ToUtf8(ct::coordToTxtN(ct::coordToDegMinSec(1.0e300, false, 7), false, 7, 0)),
              "***°00'0.0000000\"");
    EXPECT_EQ(cp1251ToUtf8(ct::coordToTxtN(ct::coordToDegMinSec(1000.0, false, -1), false, -1, 0)),
              "***°00'");
    EXPECT_EQ(cp1251ToUtf8(ct::coordToTxt(std::nan(""), false).degrees), "***°");
}

// Frame label pieces, whole minutes, with the east/west letter of a longitude.
TEST(LabelText, FramePieces) {
    struct Case {
        double value;
        bool isLongitude;
        const char *degrees, *minutes, *hemisphere;
    };
    const std::vector<Case> cases = {
        {52.5, false, "52°", "30'", " "},   {37.25, true, "37°", "15'", "В"},
        {190.5, true, "169°", "30'", "З"},  {180.0, true, "180°", "00'", "В"},
        {180.01, true, "179°", "59'", "З"}, {44.99999, false, "45°", "00'", " "},
        {0.0, true, "0°", "00'", "В"},      {359.75, true, "0°", "15'", "З"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        const auto pieces = ct::coordToTxt(c.value, c.isLongitude);
        EXPECT_EQ(cp1251ToUtf8(pieces.degrees), c.degrees);
        EXPECT_EQ(cp1251ToUtf8(pieces.minutes), c.minutes);
        EXPECT_EQ(cp1251ToUtf8(pieces.hemisphere), c.hemisphere);
    }
}

} // namespace
