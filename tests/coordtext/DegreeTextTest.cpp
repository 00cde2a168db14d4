#include "sheetjob/coordtext/DegreeText.h"
#include "sheetjob/common/Cp1251.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace sheetjob::coordtext {
namespace {

using common::cp1251ToUtf8;

// The degree-minute text shown in the refinement dialog: the three-wide degree
// field keeps its leading blanks, and rounded minutes carry into the degrees.
TEST(GradMin2Txt, WritesDegreeMinuteText) {
    struct Case {
        double angle;
        const char* expected; // UTF-8
    };
    const Case cases[] = {
        {45.5, " 45° 30'"},  {5.25, "  5° 15'"},     {120, "120° 00'"},
        {-0.5, " -1° 30'"},  {44.9999, " 45° 00'"},  {0, "  0° 00'"},
        {359.5, "359° 30'"}, {1000, "***° 00'"},     {54.0 + 2.0 / 3.0, " 54° 40'"},
        {-100, "***° 00'"},  {999.9999, "***° 00'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(cp1251ToUtf8(gradMin2Txt(c.angle)), c.expected);
    }
}

TEST(GradMin2Txt, DegreeSignIsOneWindows1251Byte) {
    EXPECT_EQ(gradMin2Txt(45.5), std::string(" 45\xB0 30'"));
}

TEST(GradMin2Txt, NonFiniteAnglesGiveAsterisksInsteadOfUndefinedConversions) {
    for (const double a :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300}) {
        SCOPED_TRACE(a);
        const std::string text = cp1251ToUtf8(gradMin2Txt(a));
        EXPECT_EQ(text.substr(0, 3), "***");
    }
}

TEST(Min2Txt, TwoDigitMinutesWithAsterisksOutOfRange) {
    EXPECT_EQ(min2Txt(0), "00'");
    EXPECT_EQ(min2Txt(7), "07'");
    EXPECT_EQ(min2Txt(45), "45'");
    EXPECT_EQ(min2Txt(100), "**'");
    EXPECT_EQ(min2Txt(-1), "**'");
    EXPECT_EQ(min2Txt(std::numeric_limits<int>::min()), "**'");
}

// What the argument file and the refinement dialog accept as an angle.
TEST(TxtGradMin2Grad, AcceptedAndRejectedForms) {
    struct Case {
        const char* text; // Windows-1251
        int status;
        double angle;
    };
    const double unchanged = -12345.0;
    const Case cases[] = {
        {"45\xB0 30'", 0, 45.5},
        {"45\xB0"
         "30'",
         0, 45.5},
        {"45 30'", 0, 45.5},
        {"45\xB0 30", 0, 45.5},
        {"45\xB0", 0, 45},
        {"45", 0, 45},
        {"45\xB0 30' N", 0, 45.5},
        {"   45\xB0   30'  ", 0, 45.5},
        {"45\xB0"
         "59'",
         0, 45.0 + 59.0 / 60.0},
        {"0", 0, 0},
        {"36\xB0 01'", 0, 36.0 + 1.0 / 60.0},
        {"2147483647", 0, 2147483647.0},
        {"-45\xB0 30'", 1, unchanged},
        {"45.5", 1, unchanged},
        {"45 \xB0 30'", 1, unchanged},
        {"45\xB0 60'", 1, unchanged},
        {"45\xB0 5 '", 1, unchanged},
        {"", 1, unchanged},
        {"     ", 1, unchanged},
        {"\xB0 30'", 1, unchanged},
        {"45\xB0 '", 1, unchanged}, // a minute sign with no minutes
        {"45\xB0'", 1, unchanged},
        {"2147483648", 1, unchanged}, // beyond 32 bits
        {"45\xB0 99999999999999999999'", 1, unchanged},
        {"45x30", 1, unchanged},
        {"45\xB0 30x", 1, unchanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(cp1251ToUtf8(c.text));
        std::string text = c.text;
        double angle = unchanged;
        EXPECT_EQ(txtGradMin2Grad(text, angle), c.status);
        EXPECT_EQ(angle, c.angle);
    }
}

TEST(TxtGradMin2Grad, LeavesOnlyWhatFollowedTheDegreeSeparator) {
    std::string text = "  45\xB0   30'  ";
    double angle = 0;
    ASSERT_EQ(txtGradMin2Grad(text, angle), 0);
    EXPECT_EQ(text, "30'  ");
    text = "  17  ";
    ASSERT_EQ(txtGradMin2Grad(text, angle), 0);
    EXPECT_EQ(text, "17  ");
}

// Every written degree-minute text reads back as the angle rounded to minutes.
TEST(TxtGradMin2Grad, ReadsBackWhatGradMin2TxtWrites) {
    for (int tenth = 0; tenth < 3600; tenth += 7) {
        const double a = tenth / 10.0 + 0.0123;
        std::string text = gradMin2Txt(a);
        double read = -1;
        SCOPED_TRACE(cp1251ToUtf8(text));
        ASSERT_EQ(txtGradMin2Grad(text, read), 0);
        EXPECT_NEAR(read, roundedToMinutes(a), 1e-12); // degrees + minutes/60 vs. rounded/60
    }
}

TEST(TxtMin2Min, MinuteTexts) {
    struct Case {
        const char* text;
        int status;
        int minutes;
    };
    const int unchanged = -7;
    const Case cases[] = {
        {"30'", 0, 30},
        {"30", 0, 30},
        {"  05' ", 0, 5},
        {"30' and more", 0, 30},
        {"0", 0, 0},
        {"60'", 1, 60},
        {"99", 1, 99},
        {"-5'", 1, unchanged},
        {"'", 1, unchanged},
        {"", 1, unchanged},
        {"3 0", 1, unchanged},
        {"5x", 1, unchanged},
        {"99999999999", 1, unchanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        int minutes = unchanged;
        EXPECT_EQ(txtMin2Min(text, minutes), c.status);
        EXPECT_EQ(minutes, c.minutes);
    }
}

TEST(ReadIntFromTxt, NonNegativeWholeNumbers) {
    struct Case {
        const char* text;
        int status;
        int value;
    };
    const Case cases[] = {
        {"", 1, -1},
        {"   ", 1, -1},
        {"12a", 2, -1},
        {"-3", 2, -1},
        {" 17", 0, 17},
        {"17   ", 0, 17},
        {"2147483647", 0, 2147483647},
        {"2147483648", 2, -1},
        {"1 2", 2, -1},
        {"007", 0, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        int value = -1;
        EXPECT_EQ(readIntFromTxt(text, value), c.status);
        EXPECT_EQ(value, c.value);
    }
}

// The attribute text of every graticule point: rounded to whole seconds first.
TEST(GradMinSec, DegreeMinuteSecondText) {
    struct Case {
        double angle;
        const char* expected;
    };
    const Case cases[] = {
        {45.5, "  45°30'00\""},   {37.2541666667, "  37°15'15\""},
        {130, " 130°00'00\""},    {45.99999, "  46°00'00\""},
        {0, "   0°00'00\""},      {54.0 + 2.0 / 3.0, "  54°40'00\""},
        {37.125, "  37°07'30\""}, {359.9999999, " 360°00'00\""},
        {12345, "****°00'00\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(cp1251ToUtf8(gradMinSec(c.angle)), c.expected);
    }
    EXPECT_EQ(cp1251ToUtf8(gradMinSec(std::numeric_limits<double>::quiet_NaN())).substr(0, 4),
              "****");
}

TEST(RoundedToMinutes, HalvesAwayFromZero) {
    EXPECT_EQ(roundedToMinutes(45.5), 45.5);
    EXPECT_EQ(roundedToMinutes(37.125), 2228.0 / 60); // 2227.5 minutes
    EXPECT_EQ(roundedToMinutes(-0.125), -8.0 / 60);   // -7.5 minutes
    EXPECT_EQ(roundedToMinutes(54.0 + 2.0 / 3.0), std::round((54.0 + 2.0 / 3.0) * 60) / 60);
}

} // namespace
} // namespace sheetjob::coordtext
