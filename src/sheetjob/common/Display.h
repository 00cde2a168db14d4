#pragma once
// Texts shown to a person on one line: file names, paths and values that came
// from outside may hold control characters (a newline, an escape, a carriage
// return), which would split the message or drive the terminal. They are shown
// escaped instead.

#include <string>
#include <string_view>

namespace sheetjob::common {

/// The UTF-8 text with every control character (bytes 0x00..0x1F and 0x7F)
/// written as \xNN; everything else is kept.
std::string displayed(std::string_view utf8);

/// The same, between double quotes.
std::string quoted(std::string_view utf8);

/// True when the text holds a control character (bytes 0x00..0x1F or 0x7F).
bool hasControlCharacter(std::string_view text);

} // namespace sheetjob::common
