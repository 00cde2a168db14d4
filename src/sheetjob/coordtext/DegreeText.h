#pragma once
// Angles as degree-minute and degree-minute-second texts (Windows-1251: the
// degree sign is the byte 0xB0, the minute sign "'", the second sign '"').

#include <string>
#include <string_view>

namespace sheetjob::coordtext {

constexpr char kDegreeSign = '\xB0';

/// Degree-minute text: the three-wide degree field (its leading blanks kept),
/// the degree sign, a blank, two-digit minutes and "'". 45.5 gives " 45° 30'".
std::string gradMin2Txt(double angle);
/// Two-digit minute field and "'": 7 gives "07'"; 100 or negative gives "**'".
std::string min2Txt(int minutes);
/// Reads a degree-minute text; returns status 0 (angle set) or 1 (empty or
/// malformed; angle unchanged). The text is left-adjusted in place and, once the
/// degrees are taken, holds only what followed the degree separator.
int txtGradMin2Grad(std::string& text, double& angle);
/// What follows the first minute sign of a text ("" when it has none). The
/// readers above ignore it; a caller that must not drop a value (seconds after
/// the minutes, a hemisphere letter) refuses a text where it is not blank.
std::string_view afterMinuteSign(std::string_view text);
/// Reads whole minutes 0..59; status 0 or 1. Minutes above 59 are stored before
/// the range check fails.
int txtMin2Min(std::string& text, int& minutes);
/// Reads a non-negative whole number: status 0, 1 (blank) or 2 (not a number).
int readIntFromTxt(std::string& text, int& value);
/// Degree-minute-second text rounded to whole seconds: 45.5 gives "  45°30'00\"".
std::string gradMinSec(double angle);
/// The angle rounded to whole minutes (halves away from zero).
double roundedToMinutes(double angle);

} // namespace sheetjob::coordtext
