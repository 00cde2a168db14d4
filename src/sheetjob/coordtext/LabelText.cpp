#include "sheetjob/coordtext/LabelText.h"

#include "sheetjob/common/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sheetjob::coordtext {

namespace {

constexpr int kMinutesPerDegree = 60;   // sexagesimal division of a degree
constexpr int kSecondsPerDegree = 3600; // sexagesimal division of a degree
constexpr int kMaxSecondDecimals = 7;   // the seconds' work field is 10 characters wide
constexpr int kHalfTurnDegrees = 180;   // longitudes beyond it are labelled western
constexpr int kFullTurnDegrees = 360;   // longitudes are counted eastward 0..360
// Far beyond any coordinate; larger values (or infinities) are held here so that
// the integer split stays defined and the degree field shows its asterisks.
constexpr double kDegreeLimit = 1.0e6;

// Windows-1251 texts of the labels.
constexpr const char* kDegreeSign = "\xB0"; // °
constexpr const char* kMinuteSign = "'";
constexpr const char* kSecondSign = "\"";
constexpr const char* kEastWord = "\xE2.\xE4.";  // в.д.
constexpr const char* kWestWord = "\xE7.\xE4.";  // з.д.
constexpr const char* kNorthWord = "\xF1.\xF8."; // с.ш.
constexpr const char* kSouthWord = "\xFE.\xF8."; // ю.ш.
constexpr const char* kWestLetter = "\xC7";      // З
constexpr const char* kSouthLetter = "\xDE";     // Ю
constexpr const char* kEastLetter = "\xC2";      // В

int clampDecimals(int decimals) { return std::min(decimals, kMaxSecondDecimals); }

std::int64_t powerOfTen(int exponent) {
    std::int64_t value = 1;
    for (int i = 0; i < exponent; ++i)
        value *= 10;
    return value;
}

// Degrees written in a three-wide field, left-adjusted, then the degree sign.
std::string degreePiece(long long degrees) {
    return common::ltrim(common::formatInt(degrees, 3)) + kDegreeSign;
}

std::string minutePiece(long long minutes) {
    return common::formatInt(minutes, 2, 2) + kMinuteSign;
}

} // namespace

DegMinSec coordToDegMinSec(double coordinate, bool isLongitude, int decimals) {
    decimals = clampDecimals(decimals);
    DegMinSec result;
    result.positive = coordinate >= 0.0;
    const double magnitude = std::fabs(coordinate);

    // Count whole units of the chosen precision once, so that the split below
    // is exact: a coordinate on the grid of units always gives back its own parts.
    std::int64_t unitsPerDegree = 0;
    std::int64_t subunitsPerSecond = 1;
    double count = 0.0;
    if (decimals < 0) {
        unitsPerDegree = kMinutesPerDegree;
        count = std::round(magnitude * kMinutesPerDegree);
    } else {
        subunitsPerSecond = powerOfTen(decimals);
        unitsPerDegree = kSecondsPerDegree * subunitsPerSecond;
        count = std::round(magnitude * kSecondsPerDegree * static_cast<double>(subunitsPerSecond));
    }
    if (!(count > 0.0)) {
        // Zero units (or a value that is no number at all) label as zero, positive.
        return DegMinSec{};
    }
    if (!(count <= kDegreeLimit * static_cast<double>(unitsPerDegree))) {
        result.degrees = static_cast<int>(kDegreeLimit);
        return result;
    }
    auto units = static_cast<std::int64_t>(count);
    if (isLongitude && units > kHalfTurnDegrees * unitsPerDegree) {
        units = kFullTurnDegrees * unitsPerDegree - units;
        // An east edge of exactly 360 folds to zero units on the western side
        // (0°00' з.д.): only a coordinate that itself rounds to zero is eastern.
        result.positive = !result.positive;
    }
    const std::int64_t unitsPerMinute = unitsPerDegree / kMinutesPerDegree;
    result.degrees = static_cast<int>(units / unitsPerDegree);
    const std::int64_t rest = units % unitsPerDegree;
    result.minutes = static_cast<int>(rest / unitsPerMinute);
    result.seconds = decimals < 0 ? 0.0
                                  : static_cast<double>(rest % unitsPerMinute) /
                                        static_cast<double>(subunitsPerSecond);
    return result;
}

std::string coordToTxtN(const DegMinSec& value, bool isLongitude, int decimals,
                        int hemisphereStyle) {
    decimals = clampDecimals(decimals);
    std::string text = degreePiece(value.degrees) + minutePiece(value.minutes);
    if (decimals == 0) {
        text += common::formatInt(std::llround(value.seconds), 2, 2) + kSecondSign;
    } else if (decimals > 0) {
        text +=
            common::ltrim(common::formatFixed(value.seconds, decimals + 3, decimals)) + kSecondSign;
    }
    if (hemisphereStyle == 1) {
        text += " ";
        if (isLongitude)
            text += value.positive ? kEastWord : kWestWord;
        else
            text += value.positive ? kNorthWord : kSouthWord;
    } else if (hemisphereStyle == 2 && !value.positive) {
        text += " ";
        text += isLongitude ? kWestLetter : kSouthLetter;
    }
    return text;
}

std::string coordPointToTxtN(double longitude, double latitude, int decimals, int hemisphereStyle) {
    const std::string lon =
        coordToTxtN(coordToDegMinSec(longitude, true, decimals), true, decimals, hemisphereStyle);
    const std::string lat =
        coordToTxtN(coordToDegMinSec(latitude, false, decimals), false, decimals, hemisphereStyle);
    return common::trim(lon) + " " + common::trim(lat);
}

FrameLabelPieces coordToTxt(double coordinate, bool isLongitude) {
    double v = std::round(coordinate * kMinutesPerDegree) / kMinutesPerDegree;
    bool east = false;
    if (isLongitude) {
        if (v <= kHalfTurnDegrees)
            east = true;
        else
            v = kFullTurnDegrees - v;
    }
    // Keep the integer conversions below defined for values no sheet has.
    if (!(v >= -kDegreeLimit))
        v = -kDegreeLimit;
    if (!(v <= kDegreeLimit))
        v = kDegreeLimit;
    const double degrees = std::floor(v);
    const double minutes = std::round((v - degrees) * kMinutesPerDegree);
    // Built in place rather than assigned: GCC 12 warns falsely (-Wrestrict)
    // about assigning a literal to a string member at -O2.
    return FrameLabelPieces{degreePiece(static_cast<long long>(degrees)),
                            minutePiece(static_cast<long long>(minutes)),
                            std::string(isLongitude ? (east ? kEastLetter : kWestLetter) : " ")};
}

} // namespace sheetjob::coordtext
