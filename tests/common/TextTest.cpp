#include "sheetjob/common/Text.h"
#include "sheetjob/common/Cp1251.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace sheetjob::common {
namespace {

// Fixed-width fields as the labels and attribute texts are composed.
TEST(FormatInt, FixedWidthFields) {
    struct Case {
        long long value;
        int width, minDigits;
        const char* expected;
    };
    const Case cases[] = {
        {7, 2, 2, "07"},     {45, 3, 1, " 45"}, {1000, 3, 1, "***"}, {-1, 3, 1, " -1"},
        {-5, 2, 2, "**"},    {0, 2, 2, "00"},   {100, 2, 2, "**"},   {400901, 9, 1, "   400901"},
        {130, 4, 1, " 130"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatInt(c.value, c.width, c.minDigits), c.expected);
    }
}

TEST(FormatFixed, FixedPointFields) {
    EXPECT_EQ(formatFixed(6.5, 6, 2), "  6.50");
    EXPECT_EQ(formatFixed(5.0, 5, 2), " 5.00");
    EXPECT_EQ(formatFixed(10.25, 5, 2), "10.25");
    EXPECT_EQ(formatFixed(123456.0, 6, 2), "******");
    EXPECT_EQ(formatFixed(0.125, 5, 2), " 0.12"); // an exact tie goes to even, as printf does
}

// The dialogs run in the user's locale, whose decimal separator may be a
// comma; the texts the program writes keep their point.
TEST(FormatFixed, SameInEveryLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            comma = name;
            break;
        }
    if (comma == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(formatFixed(6.5, 6, 2), "  6.50") << comma;
    std::setlocale(LC_NUMERIC, before.c_str());
}

TEST(Trim, BlanksOnly) {
    EXPECT_EQ(rtrim("  ab  "), "  ab");
    EXPECT_EQ(ltrim("  ab  "), "ab  ");
    EXPECT_EQ(trim("   "), "");
    EXPECT_TRUE(isBlank("   "));
    EXPECT_FALSE(isBlank(" x "));
}

// Cyrillic and the degree sign survive the round trip; characters the code page
// lacks and malformed UTF-8 are refused.
TEST(Cp1251, RoundTripAndRefusals) {
    const std::string cp = "\xC3\xD1\xCA-2011 \xB0 \xB8\xA8 \xE0\xFF"; // ГСК-2011 ° ёЁ ая
    const std::string utf8 = "ГСК-2011 ° ёЁ ая";
    EXPECT_EQ(cp1251ToUtf8(cp), utf8);
    ASSERT_TRUE(utf8ToCp1251(utf8).has_value());
    EXPECT_EQ(*utf8ToCp1251(utf8), cp);
    EXPECT_FALSE(utf8ToCp1251("日本").has_value());
    EXPECT_FALSE(utf8ToCp1251("\xC0\xAF").has_value()); // overlong
    EXPECT_FALSE(isValidUtf8("\xE0\xFF"));
    EXPECT_FALSE(isValidUtf8("\xD0")); // truncated
    EXPECT_TRUE(isValidUtf8("plain"));
}

} // namespace
} // namespace sheetjob::common
