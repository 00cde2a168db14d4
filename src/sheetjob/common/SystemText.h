#pragma once
// The system's texts met at the edge: its reasons for a failure as one line of
// UTF-8, and on Windows its wide-character (UTF-16) interface. The program
// keeps names, paths and messages in UTF-8 inside; they become UTF-16 only
// when they are handed to a Win32 function.

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace sheetjob::common {

/// The reason of a failure reported by the standard library, as one line of
/// UTF-8 (on Windows the system's own text of its error code).
std::string errorText(const std::error_code& error);

#ifdef _WIN32

/// UTF-8 to UTF-16. Bytes that are not UTF-8 become U+FFFD, so a malformed
/// name never turns into some other, existing one.
std::wstring toWide(std::string_view utf8);

/// UTF-16 to UTF-8; nothing when the text holds an unpaired surrogate (a name
/// no UTF-8 text can spell, which therefore cannot be named back).
std::optional<std::string> fromWide(std::wstring_view wide);

/// The system's text of a Win32 error code as one line of UTF-8, in English
/// where the system has it (as the POSIX build's messages are), without the
/// final full stop.
std::string systemErrorText(unsigned long error);

#endif

} // namespace sheetjob::common
