#pragma once
// Names of sheets of the international 1:1 000 000 grid and its 1:200 000
// subdivision, combined sheets included, and of their four neighbours.

#include <string>

namespace sheetjob::nomenclature {

/// Sheet name, e.g. "N-37", "N-37-XIV,XV", "N-60-VI,01-I". Cannot fail.
std::string nomenclature(int setScale, int yZone, int xZone, int sheetNumber, int sheetType);
/// Roman numeral of 0..39 ("" for 0, "XIV" for 14).
std::string toRomanNumerals(int number);
/// Zone + 1, 61 becoming 1.
int plusXZone(int zone);
/// Zone - 1, 0 becoming 60.
int minusXZone(int zone);
/// Name of the neighbour in a direction: -1 west, +1 east, positive north, zero or
/// negative south (callers use +2 and -2).
std::string adjacentNomenclature(int direction, int setScale, int yZone, int xZone, int sheetNumber,
                                 int sheetType);
/// One step east or west of a 1:200 000 sheet, into the next zone at the grid's edge.
void adjacentXZone200(bool east, int zone, int number, int& newZone, int& newNumber);
/// One step north or south of a 1:200 000 sheet, into the next belt at the grid's edge.
void adjacentYZone200(bool north, int belt, int number, int& newBelt, int& newNumber);

} // namespace sheetjob::nomenclature
