#include "sheetjob/nomenclature/Nomenclature.h"

#include "sheetjob/nomenclature/Sheet.h"

#include <array>

namespace sheetjob::nomenclature {

namespace {

// Units part of a Roman numeral; the tens are written as that many "X".
constexpr std::array<const char*, 10> kRomanUnits = {"",  "I",  "II",  "III",  "IV",
                                                     "V", "VI", "VII", "VIII", "IX"};
// Zones run 1..60 around the globe.
constexpr int kZoneCount = 60;

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

} // namespace sheetjob::nomenclature
