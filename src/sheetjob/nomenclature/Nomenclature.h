#pragma once
// The pieces of sheet names: Roman numerals of the 1:200 000 sheets and steps
// through the grid of zones, belts and sheet numbers.

#include <string>

namespace sheetjob::nomenclature {

/// Roman numeral of 0..39 ("" for 0, "XIV" for 14).
std::string toRomanNumerals(int number);
/// Zone + 1, 61 becoming 1.
int plusXZone(int zone);
/// Zone - 1, 0 becoming 60.
int minusXZone(int zone);
/// One step east or west of a 1:200 000 sheet, into the next zone at the grid's edge.
void adjacentXZone200(bool east, int zone, int number, int& newZone, int& newNumber);
/// One step north or south of a 1:200 000 sheet, into the next belt at the grid's edge.
void adjacentYZone200(bool north, int belt, int number, int& newBelt, int& newNumber);

} // namespace sheetjob::nomenclature
