#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/frame/TextExtent.h"

#include <gtest/gtest.h>

using namespace sheetjob::frame;

// Every cell of the layout table that decides which frame elements exist and
// where; the values that reach the golden records are checked there.
TEST(FrameLayout, CasesOfTheTable) {
    struct Case {
        const char* name;
        int set, map;
        double scale;
        bool minute, outlets, digits, adjacent;
        int outerKind;
        double outerDistance;
        int outerCode, digitCode, digitFont;
        double digitSize;
    };
    const Case cases[] = {
        {"1:200 000 at its scale", 0, 0, 200000, true, true, true, true, 1, 9.800000190734863,
         400902, 400912, 2, 6.5},
        {"1:200 000 reduced", 0, 1, 500000, false, false, true, false, 1, 5.0, 400922, 400913, 2,
         5.0},
        {"1:200 000 smallest", 0, 2, 1000000, false, false, false, false, 0, 0.0, 0, 0, 0, 0.0},
        {"1:1 000 000 at its scale", 1, 0, 1000000, true, false, true, false, 2, 8.5, 400902,
         400912, 3, 8.0},
        {"1:1 000 000 reduced", 1, 1, 2500000, false, false, true, false, 1, 5.0, 400922, 400913, 3,
         5.5},
        {"1:1 000 000 smallest", 1, 2, 5000000, false, false, false, false, 0, 0.0, 0, 0, 0, 0.0},
        {"other set values behave as 1", 7, 0, 1000000, true, false, true, false, 2, 8.5, 400902,
         400912, 3, 8.0},
        {"map scale out of range", 0, 3, 0, false, false, false, false, 0, 0.0, 0, 0, 0, 0.0},
        {"negative map scale", 1, -1, 0, false, false, false, false, 0, 0.0, 0, 0, 0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FrameLayout f = setRamkParameters(c.set, c.map);
        EXPECT_EQ(f.scaleDenominator, c.scale);
        EXPECT_EQ(f.minuteFrameOn, c.minute);
        EXPECT_EQ(f.outletsOn, c.outlets);
        EXPECT_EQ(f.digitsOn, c.digits);
        EXPECT_EQ(f.adjacentOn, c.adjacent);
        EXPECT_EQ(f.outerFrameKind, c.outerKind);
        EXPECT_EQ(f.outerFrameDistance, c.outerDistance);
        EXPECT_EQ(f.outerFrameCode, c.outerCode);
        EXPECT_EQ(f.digitCode, c.digitCode);
        EXPECT_EQ(f.digitFont, c.digitFont);
        EXPECT_EQ(f.digitSize, c.digitSize);
        // The common settings hold in every case.
        EXPECT_TRUE(f.minuteXStartFilled);
        EXPECT_TRUE(f.minuteYStartFilled);
        EXPECT_EQ(f.minuteLineCode, 400901);
        EXPECT_EQ(f.minuteTickCode, 400901);
        EXPECT_EQ(f.minuteFillCode, 400901);
    }
}

TEST(FrameLayout, MinuteFrameAndOuterSideValues) {
    const FrameLayout a = setRamkParameters(0, 0);
    EXPECT_EQ(a.minuteFrameGap, 7.0);
    EXPECT_EQ(a.minuteFrameWidth, 1.2000000476837158);
    EXPECT_EQ(a.meridianOutletCode, 400904);
    EXPECT_EQ(a.parallelOutletCode, 400905);
    EXPECT_EQ(a.adjacentFont, 1);
    EXPECT_EQ(a.adjacentSize, 6.5);
    EXPECT_EQ(a.adjacentCode, 400911);
    const FrameLayout b = setRamkParameters(1, 0);
    // A minute frame on the trapezium edge leaves no room for outlets.
    EXPECT_EQ(b.minuteFrameGap, 0.0);
    EXPECT_EQ(b.minuteFrameWidth, 1.0);
    EXPECT_EQ(b.outerSideOffset, 1.100000023841858);
    EXPECT_EQ(b.outerSideCode, 400903);
    EXPECT_EQ(fontName(1), "PragmaticaC");
    EXPECT_EQ(fontName(2), "FreeSet");
    EXPECT_EQ(fontName(3), "AGCenturion");
}

// The rows that the design fixes must survive any regeneration of the table.
TEST(FontMetricTable, FixedRowsAndDefinedCodes) {
    struct Case {
        int font, code;
        GlyphMetrics m;
    };
    const Case cases[] = {
        {1, 32, {233, 0, 0, 0, 0}},         {2, 39, {194, 50, 527, 144, 700}},
        {3, 45, {237, 0, 220, 225, 293}},   {2, 48, {590, 59, -8, 530, 708}},
        {1, 49, {578, 129, 0, 383, 700}},   {3, 55, {500, 38, -11, 474, 714}},
        {2, 57, {579, 60, -8, 519, 708}},   {1, 176, {266, 36, 508, 229, 701}},
        {3, 176, {500, 70, 425, 370, 725}}, {1, 65, {622, -4, 0, 626, 700}},
        {1, 192, {622, -4, 0, 626, 700}},   {3, 65, {658, -29, 0, 696, 757}},
        {1, 73, {264, 85, 0, 179, 700}},    {2, 255, {498, 45, 0, 418, 513}},
    };
    const auto& t = fontMetrics();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.font) + "/" + std::to_string(c.code));
        const GlyphMetrics& m = t[c.font - 1][c.code];
        EXPECT_EQ(m.advance, c.m.advance);
        EXPECT_EQ(m.xmin, c.m.xmin);
        EXPECT_EQ(m.ymin, c.m.ymin);
        EXPECT_EQ(m.xmax, c.m.xmax);
        EXPECT_EQ(m.ymax, c.m.ymax);
    }
    // Defined codes have an advance; undefined ones stay zero.
    for (int f = 0; f < 3; ++f) {
        int defined = 0;
        for (int code = 0; code < 256; ++code)
            defined += t[f][code].advance != 0;
        EXPECT_EQ(defined, f == 2 ? 179 : 186) << "font " << f + 1;
        EXPECT_EQ(t[f][0].advance, 0);
        EXPECT_EQ(t[f][152].advance, 0);
    }
    EXPECT_EQ(t[2][161].advance, 0); // not defined for the third font
}

// Measuring texts: the worked "0" and the trim modes on two-glyph texts.
TEST(TextExtent, TrimModes) {
    const TextExtent zero = textParameters("0", 1, 2, 6.5, kTrimBoth);
    EXPECT_EQ(zero.width, 1.082322222222222);
    EXPECT_EQ(zero.bottom, -0.01834444444444444);
    EXPECT_EQ(zero.top, 1.623483333333333);

    const double k = 8.0 * 0.35277777777777775 / 1000;
    struct Case {
        const char* name;
        int mode;
        int units; // "10" in font 3: advances 500 + 500, xmin of "1" 82, xmax of "0" 480
    };
    const Case cases[] = {
        {"none", kTrimNone, 1000},
        {"right", kTrimRight, 1000 + 480 - 500 + 1},
        {"left", kTrimLeft, 1000 - 82},
        {"both", kTrimBoth, 1000 - 82 + 480 - 500 + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TextExtent e = textParameters("10", 2, 3, 8.0, c.mode);
        EXPECT_EQ(e.width, c.units * k);
        EXPECT_EQ(e.bottom, -11 * k);
        EXPECT_EQ(e.top, 725 * k);
    }
    // Only the first `length` characters count.
    EXPECT_EQ(textParameters("0\xB0", 1, 2, 6.5, kTrimBoth).width, zero.width);
}
