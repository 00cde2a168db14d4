#include "sheetjob/nomenclature/Sheet.h"

#include "sheetjob/common/Text.h"
#include "sheetjob/nomenclature/Nomenclature.h"

namespace sheetjob::nomenclature {
namespace {

constexpr double kTwoThirds = 2.0 / 3.0; // height of a 1:200 000 sheet, 40'
constexpr double kOneSixth = 1.0 / 6.0;  // 10' parallel spacing of a 1:200 000 sheet
constexpr int kZoneWidth = 6;            // degrees of longitude per zone
constexpr int kZoneOrigin = 174;         // zone n starts at 6n + 174 (mod 360)
constexpr int kBeltHeight = 4;           // degrees of latitude per belt
constexpr int kNorthOfBeltV = 88;        // belt V (yZone 0) reaches 88 degrees north
constexpr double kFullTurn = 360.0;

constexpr double kMargin200Longitude = 1.0;       // 1:200 000 sheet width
constexpr double kMargin200Latitude = kTwoThirds; // 1:200 000 sheet height, 40'
constexpr double kMargin1000Longitude = 6.0;      // 1:1 000 000 sheet width
constexpr double kMargin1000Latitude = 4.0;       // 1:1 000 000 sheet height

constexpr std::size_t kMinNameLength = 3; // shortest sheet name, e.g. N37

std::string beltLetter(int yZone) {
    // Only 0..12 are belts; an out-of-range one must not read past the table.
    if (yZone < 0 || yZone >= static_cast<int>(kBeltLetters.size()))
        return "?";
    return std::string(1, kBeltLetters[static_cast<std::size_t>(yZone)]);
}

std::string twoDigitZone(int zone) { return common::formatInt(zone, 2, 2); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool usableZone(int zone) { return (zone >= 33 && zone <= 60) || zone == 1 || zone == 2; }

/// The combined-sheet suffix: nothing (single sheet) or "(d)" with blanks
/// allowed around the digit and after the ")". The sheet type or nothing.
std::optional<int> readSheetType(std::string_view rest) {
    const std::string text = common::trim(rest);
    if (text.empty())
        return kSingle;
    if (text.front() != '(' || text.back() != ')')
        return std::nullopt;
    const std::string digit = common::trim(std::string_view(text).substr(1, text.size() - 2));
    if (digit.size() != 1 || digit[0] < '2' || digit[0] > '4')
        return std::nullopt;
    return digit[0] - '1'; // "2" double, "3" triple, "4" quadruple
}

} // namespace

std::optional<Sheet> Sheet::parse(std::string_view value) {
    const std::string text = common::rtrim(common::ltrim(value));
    if (text.size() < kMinNameLength)
        return std::nullopt;
    char belt = text[0];
    if (belt >= 'a' && belt <= 'z')
        belt = static_cast<char>(belt - 'a' + 'A');
    const auto beltIndex = kBeltLetters.find(belt);
    if (beltIndex == std::string_view::npos || static_cast<int>(beltIndex) < kFirstJobBelt ||
        static_cast<int>(beltIndex) > kLastJobBelt)
        return std::nullopt;
    std::size_t pos = 1;
    // The hyphen after the belt selects the hyphenated form for the whole name.
    const bool hyphenated = text[pos] == '-';
    if (hyphenated)
        ++pos;
    if (text.size() - pos < 2 || !isDigit(text[pos]) || !isDigit(text[pos + 1]))
        return std::nullopt;
    Sheet sheet;
    sheet.yZone = static_cast<int>(beltIndex);
    sheet.xZone = (text[pos] - '0') * 10 + (text[pos + 1] - '0');
    if (!usableZone(sheet.xZone))
        return std::nullopt;
    pos += 2;

    sheet.setScale = kSeries1M;
    const std::string afterZone = common::ltrim(std::string_view(text).substr(pos));
    if (!afterZone.empty() && afterZone.front() != '(') {
        // A 1:200 000 sheet: its number follows the zone directly.
        sheet.setScale = kSeries200k;
        if (hyphenated) {
            if (text[pos] != '-')
                return std::nullopt;
            ++pos;
            std::size_t end = pos;
            while (end < text.size() && (text[end] == 'I' || text[end] == 'V' || text[end] == 'X'))
                ++end;
            const std::string_view numeral = std::string_view(text).substr(pos, end - pos);
            for (int n = 1; n <= kSheetsPerMillion && sheet.sheetNumber == 0; ++n)
                if (numeral == toRomanNumerals(n))
                    sheet.sheetNumber = n;
            pos = end;
        } else if (text.size() - pos >= 2 && isDigit(text[pos]) && isDigit(text[pos + 1])) {
            const int n = (text[pos] - '0') * 10 + (text[pos + 1] - '0');
            if (n >= 1 && n <= kSheetsPerMillion)
                sheet.sheetNumber = n;
            pos += 2;
        }
        if (sheet.sheetNumber == 0)
            return std::nullopt;
    }
    const auto sheetType = readSheetType(std::string_view(text).substr(pos));
    if (!sheetType)
        return std::nullopt;
    sheet.sheetType = *sheetType;
    return sheet;
}

std::string Sheet::nomenclature() const {
    std::string text = beltLetter(yZone) + "-" + twoDigitZone(xZone);
    if (setScale != kSeries200k) {
        int zone = xZone;
        for (int i = 0; i < sheetType; ++i) {
            zone = plusXZone(zone);
            text += ",";
            text += twoDigitZone(zone);
        }
        return text;
    }
    text += "-";
    text += toRomanNumerals(sheetNumber);
    int zone = xZone;
    int number = sheetNumber;
    for (int i = 0; i < sheetType; ++i) {
        text += ",";
        int nextZone = 0;
        int nextNumber = 0;
        adjacentXZone200(true, zone, number, nextZone, nextNumber);
        // A combined sheet names the zone again only where it crosses into it.
        if (nextZone != zone) {
            text += twoDigitZone(nextZone);
            text += "-";
            zone = nextZone;
        }
        text += toRomanNumerals(nextNumber);
        number = nextNumber;
    }
    return text;
}

std::string Sheet::adjacentNomenclature(int direction) const {
    const bool horizontal = direction == kWest || direction == kEast;
    const bool east = direction == kEast;
    const bool north = direction > 0;
    Sheet neighbour = *this;
    if (setScale != kSeries200k) {
        if (horizontal) {
            for (int i = 0; i < sheetType + 1; ++i)
                neighbour.xZone = east ? plusXZone(neighbour.xZone) : minusXZone(neighbour.xZone);
        } else {
            neighbour.yZone = north ? yZone - 1 : yZone + 1;
        }
    } else if (horizontal) {
        // Combined sheets tile their row: step over the whole width of this one.
        for (int i = 0; i < sheetType + 1; ++i)
            adjacentXZone200(east, neighbour.xZone, neighbour.sheetNumber, neighbour.xZone,
                             neighbour.sheetNumber);
    } else {
        adjacentYZone200(north, yZone, sheetNumber, neighbour.yZone, neighbour.sheetNumber);
    }
    return neighbour.nomenclature();
}

BaseParameters computeBaseParameters(const Sheet& sheet) {
    BaseParameters base;
    geometry::Trapezium& t = base.trapezium;
    geometry::Graticule& g = base.graticule;
    t.north = kNorthOfBeltV - kBeltHeight * sheet.yZone;
    t.west = kZoneWidth * sheet.xZone + kZoneOrigin;
    if (t.west >= kFullTurn)
        t.west = t.west - kFullTurn;
    if (sheet.setScale != kSeries200k) {
        t.south = t.north - kBeltHeight;
        t.east = t.west + kZoneWidth * (sheet.sheetType + 1);
        g.parallelStep = kTwoThirds;
        g.yMinute = 10;
        switch (sheet.sheetType) {
        case kDouble:
            g.meridianStep = 2.0, g.xMinute = 20;
            break;
        case kQuadruple:
            g.meridianStep = 4.0, g.xMinute = 40;
            break;
        default:
            g.meridianStep = 1.0, g.xMinute = 10;
            break;
        }
    } else {
        const int row = (sheet.sheetNumber - 1) / kGridSide;
        const int column = sheet.sheetNumber - 1 - kGridSide * row;
        t.north = t.north - row * kTwoThirds;
        t.south = t.north - kTwoThirds;
        t.west = t.west + column * 1;
        t.east = t.west + (sheet.sheetType + 1) * 1;
        g.parallelStep = kOneSixth;
        g.yMinute = 1;
        switch (sheet.sheetType) {
        case kDouble:
            g.meridianStep = 0.5, g.xMinute = 2;
            break;
        case kTriple: // a 5-minute scale, not 3
            g.meridianStep = 0.75, g.xMinute = 5;
            break;
        default:
            g.meridianStep = 0.25, g.xMinute = 1;
            break;
        }
    }
    return base;
}

geometry::Trapezium Sheet::trapezium() const { return computeBaseParameters(*this).trapezium; }

geometry::Graticule Sheet::defaultGraticule() const {
    return computeBaseParameters(*this).graticule;
}

Margins Sheet::margins() const {
    // One single sheet of the series, whatever the combined type.
    if (setScale == kSeries200k)
        return {kMargin200Longitude, kMargin200Latitude};
    return {kMargin1000Longitude, kMargin1000Latitude};
}

int combinedTypesOffered(int yZone) {
    if (yZone >= 1 && yZone <= 2) // U, T
        return 3;
    if (yZone >= 3 && yZone <= 5) // S, R, Q
        return 2;
    return 1;
}

std::array<int, 3> combinedTypes(int setScale) {
    if (setScale == kSeries200k)
        return {kSingle, kDouble, kTriple};
    return {kSingle, kDouble, kQuadruple};
}

} // namespace sheetjob::nomenclature
