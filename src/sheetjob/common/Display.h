#pragma once
// Texts shown to a person on one line: file names, paths and values that came
// from outside may hold control characters (a newline, an escape, a carriage
// return, or a C1 control such as U+009B, which a terminal takes as an escape)
// and bytes that are not UTF-8, which would split the message, drive the
// terminal or make the line unreadable. They are shown escaped instead.

#include <string>
#include <string_view>

namespace sheetjob::common {

/// The text with every control character (U+0000..U+001F, U+007F and the C1
/// controls U+0080..U+009F) and every byte that is not part of well-formed
/// UTF-8 written byte by byte as \xNN; everything else is kept. The result is
/// one line of valid UTF-8, and escaping it again changes nothing.
std::string displayed(std::string_view utf8);

/// The same, between double quotes.
std::string quoted(std::string_view utf8);

/// True when the text holds a control character (bytes 0x00..0x1F or 0x7F).
bool hasControlCharacter(std::string_view text);

} // namespace sheetjob::common
