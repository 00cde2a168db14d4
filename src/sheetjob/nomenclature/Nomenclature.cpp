#include "sheetjob/nomenclature/Nomenclature.h"

#include "sheetjob/common/Text.h"

#include <array>

namespace sheetjob::nomenclature {

namespace {

// Belt letters by yZone, counted from the north: V (84..88) down to J (36..40).
// V and J occur only as neighbours of the belts U and K that a job may use.
constexpr std::array<char, 13> kBeltLetters = {'V', 'U', 'T', 'S', 'R', 'Q', 'P',
                                               'O', 'N', 'M', 'L', 'K', 'J'};
// Units part of a Roman numeral; the tens are written as that many "X".
constexpr std::array<const char*, 10> kRomanUnits = {"",  "I",  "II",  "III",  "IV",
                                                     "V", "VI", "VII", "VIII", "IX"};
// A 1:1 000 000 sheet holds 6 x 6 sheets of 1:200 000.
constexpr int kGridSide = 6;
// Zones run 1..60 around the globe.
constexpr int kZoneCount = 60;

std::string beltLetter(int yZone) {
    // Only 0..12 are valid; an out-of-range belt must not read past the table.
    if (yZone < 0 || yZone >= static_cast<int>(kBeltLetters.size()))
        return "?";
    return std::string(1, kBeltLetters[static_cast<size_t>(yZone)]);
}

std::string twoDigitZone(int zone) { return common::formatInt(zone, 2, 2); }

} // namespace

std::string toRomanNumerals(int number) {
    if (number < 0)
        return "";
    std::string text(static_cast<size_t>(number / 10), 'X');
    text += kRomanUnits[static_cast<size_t>(number % 10)];
    return text;
}

int plusXZone(int zone) {
    const int next = zone + 1;
    return next == kZoneCount + 1 ? 1 : next;
}

int minusXZone(int zone) {
    const int previous = zone - 1;
    return previous == 0 ? kZoneCount : previous;
}

void adjacentXZone200(bool east, int zone, int number, int& newZone, int& newNumber) {
    const int row = (number - 1) / kGridSide;
    int column = number - 1 - kGridSide * row;
    column = east ? column + 1 : column - 1;
    newZone = zone;
    if (column == kGridSide) {
        newZone = plusXZone(zone);
        column = 0;
    } else if (column == -1) {
        newZone = minusXZone(zone);
        column = kGridSide - 1;
    }
    newNumber = kGridSide * row + column + 1;
}

void adjacentYZone200(bool north, int belt, int number, int& newBelt, int& newNumber) {
    int row = (number - 1) / kGridSide;
    const int column = number - 1 - kGridSide * row;
    row = north ? row - 1 : row + 1;
    newBelt = belt;
    if (row == kGridSide) {
        newBelt = belt + 1; // belts grow southward
        row = 0;
    } else if (row == -1) {
        newBelt = belt - 1;
        row = kGridSide - 1;
    }
    newNumber = kGridSide * row + column + 1;
}

std::string nomenclature(int setScale, int yZone, int xZone, int sheetNumber, int sheetType) {
    std::string text = beltLetter(yZone) + "-" + twoDigitZone(xZone);
    if (setScale != 0) {
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

std::string adjacentNomenclature(int direction, int setScale, int yZone, int xZone, int sheetNumber,
                                 int sheetType) {
    const bool horizontal = direction == -1 || direction == 1;
    const bool east = direction == 1;
    const bool north = direction > 0;
    int belt = yZone;
    int zone = xZone;
    int number = sheetNumber;
    if (setScale != 0) {
        if (horizontal) {
            for (int i = 0; i < sheetType + 1; ++i)
                zone = east ? plusXZone(zone) : minusXZone(zone);
        } else {
            belt = north ? yZone - 1 : yZone + 1;
        }
    } else if (horizontal) {
        // Combined sheets tile their row: step over the whole width of this one.
        for (int i = 0; i < sheetType + 1; ++i) {
            int nextZone = 0;
            int nextNumber = 0;
            adjacentXZone200(east, zone, number, nextZone, nextNumber);
            zone = nextZone;
            number = nextNumber;
        }
    } else {
        adjacentYZone200(north, yZone, sheetNumber, belt, number);
    }
    return nomenclature(setScale, belt, zone, number, sheetType);
}

} // namespace sheetjob::nomenclature
