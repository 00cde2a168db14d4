#pragma once
// Small text helpers shared by every subsystem. The system's texts are
// Windows-1251 byte strings held in std::string; "trimmed" means without
// trailing blanks, "left-adjusted" without leading blanks.

#include <string>
#include <string_view>

namespace sheetjob::common {

/// Views of the text without trailing, leading or both kinds of blanks.
std::string_view rtrimmed(std::string_view text);
std::string_view ltrimmed(std::string_view text);
std::string_view trimmed(std::string_view text);

/// The text without trailing blanks.
std::string rtrim(std::string_view text);
/// The text without leading blanks (the fixed-length field's "left-adjust").
std::string ltrim(std::string_view text);
/// The text without leading and trailing blanks.
std::string trim(std::string_view text);
/// True when the text is empty or holds only blanks.
bool isBlank(std::string_view text);

/// Integer written right-aligned in a field of `width` characters with at least
/// `minDigits` digits (leading zeros), as a fixed-width integer edit descriptor
/// does; a value that does not fit is written as `width` asterisks.
/// formatInt(7, 2, 2) == "07", formatInt(45, 3) == " 45", formatInt(1000, 3) == "***".
std::string formatInt(long long value, int width, int minDigits = 1);

/// Real written right-aligned in fixed-point form, `width` characters with
/// `decimals` digits after the point; asterisks when it does not fit.
/// formatFixed(6.5, 6, 2) == "  6.50".
std::string formatFixed(double value, int width, int decimals);

} // namespace sheetjob::common
