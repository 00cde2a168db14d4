#include "sheetjob/coordtext/DegreeText.h"

#include "sheetjob/common/Text.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace sheetjob::coordtext {
namespace {

constexpr char kMinuteSign = '\'';       // minute sign of the degree texts
constexpr char kSecondSign = '"';        // second sign of the degree-minute-second text
constexpr double kMinutesPerDegree = 60; // sexagesimal division
constexpr double kSecondsPerDegree = 3600;
constexpr int kMaxMinutes = 59; // a minute field above this is malformed

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// 1-based position of the first character that is not a decimal digit, 0 when
/// every character is a digit.
size_t firstNonDigit(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i)
        if (!isDigit(text[i]))
            return i + 1;
    return 0;
}

/// A run of decimal digits as a 32-bit integer; nothing when the run is empty
/// or its value does not fit.
std::optional<int> digitsToInt(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : digits) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX)
            return std::nullopt;
    }
    return static_cast<int>(value);
}

/// A whole-valued double as an integer for the fixed-width fields. A value
/// beyond any field width (or not a number) becomes LLONG_MAX, which every
/// field writes as asterisks, instead of an undefined conversion.
long long wholeForField(double whole) {
    constexpr double kLimit = 1e15; // far beyond the widest field (4 characters)
    if (!(std::fabs(whole) < kLimit))
        return LLONG_MAX;
    return static_cast<long long>(whole);
}

} // namespace

std::string gradMin2Txt(double angle) {
    const double floorDegrees = std::floor(angle);
    long long degrees = wholeForField(floorDegrees);
    long long minutes = wholeForField(std::round((angle - floorDegrees) * kMinutesPerDegree));
    if (minutes == 60) {
        if (degrees != LLONG_MAX)
            degrees += 1;
        minutes = 0;
    }
    return common::rtrim(common::formatInt(degrees, 3)) + kDegreeSign + ' ' +
           common::formatInt(minutes, 2, 2) + kMinuteSign;
}

std::string min2Txt(int minutes) { return common::formatInt(minutes, 2, 2) + kMinuteSign; }

int txtGradMin2Grad(std::string& text, double& angle) {
    text = common::ltrim(text);
    if (common::isBlank(text))
        return 1;
    const std::string trimmed = common::rtrim(text);
    const size_t k = firstNonDigit(trimmed);
    int minutes = 0;
    std::optional<int> degrees;
    if (k == 0) {
        degrees = digitsToInt(trimmed);
    } else {
        if (k == 1) // a sign or any other non-digit before the degrees
            return 1;
        degrees = digitsToInt(std::string_view(trimmed).substr(0, k - 1));
        const char separator = trimmed[k - 1];
        if (separator != kDegreeSign && separator != ' ')
            return 1;
        if (!degrees)
            return 1;
        text = common::ltrim(std::string_view(text).substr(k));
        if (!common::isBlank(text)) {
            const std::string rest = common::rtrim(text);
            const size_t k2 = firstNonDigit(rest);
            std::optional<int> read;
            if (k2 == 0) {
                read = digitsToInt(rest);
            } else {
                // A minute sign alone ("45° '") leaves no minutes to read.
                if (rest[k2 - 1] != kMinuteSign || k2 == 1)
                    return 1;
                read = digitsToInt(std::string_view(rest).substr(0, k2 - 1));
            }
            if (!read)
                return 1;
            minutes = *read;
        }
    }
    if (!degrees || minutes > kMaxMinutes)
        return 1;
    angle = static_cast<double>(*degrees) + static_cast<double>(minutes) / kMinutesPerDegree;
    return 0;
}

std::string_view afterMinuteSign(std::string_view text) {
    const std::size_t sign = text.find(kMinuteSign);
    return sign == std::string_view::npos ? std::string_view() : text.substr(sign + 1);
}

int txtMin2Min(std::string& text, int& minutes) {
    text = common::ltrim(text);
    if (common::isBlank(text))
        return 1;
    const std::string trimmed = common::rtrim(text);
    const size_t k = firstNonDigit(trimmed);
    std::optional<int> read;
    if (k == 0) {
        read = digitsToInt(trimmed);
    } else {
        if (trimmed[k - 1] != kMinuteSign || k == 1)
            return 1;
        read = digitsToInt(std::string_view(trimmed).substr(0, k - 1));
    }
    if (!read)
        return 1;
    // The value is handed back even when out of range: callers show it.
    minutes = *read;
    return minutes > kMaxMinutes ? 1 : 0;
}

int readIntFromTxt(std::string& text, int& value) {
    text = common::ltrim(text);
    if (common::isBlank(text))
        return 1;
    const std::string trimmed = common::rtrim(text);
    if (firstNonDigit(trimmed) != 0)
        return 2;
    const auto read = digitsToInt(trimmed);
    if (!read)
        return 2;
    value = *read;
    return 0;
}

std::string gradMinSec(double angle) {
    const double s = std::round(angle * kMinutesPerDegree * kMinutesPerDegree) / kSecondsPerDegree;
    const double floorDegrees = std::floor(s);
    const double m = (s - floorDegrees) * kMinutesPerDegree;
    const double m2 = std::round(m * kMinutesPerDegree) / kMinutesPerDegree;
    const double floorMinutes = std::floor(m2);
    const double seconds = std::floor(std::round((m2 - floorMinutes) * kMinutesPerDegree));
    std::string text =
        common::rtrim(common::formatInt(wholeForField(floorDegrees), 4)) + kDegreeSign;
    text += common::formatInt(wholeForField(floorMinutes), 2, 2) + kMinuteSign;
    text += common::formatInt(wholeForField(seconds), 2, 2) + kSecondSign;
    return text;
}

double roundedToMinutes(double angle) {
    return std::round(angle * kMinutesPerDegree) / kMinutesPerDegree;
}

} // namespace sheetjob::coordtext
