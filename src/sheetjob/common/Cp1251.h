#pragma once
// Conversion between the system's Windows-1251 texts and the platform's
// encoding (UTF-8 on Linux). The layers, the argument file and every text the
// system composes are Windows-1251; conversion happens only at the edges:
// file names, terminal messages and the GUI.

#include <optional>
#include <string>
#include <string_view>

namespace sheetjob::common {

/// Windows-1251 bytes to UTF-8. Byte 0x98, unassigned in the code page, becomes U+FFFD.
std::string cp1251ToUtf8(std::string_view cp1251);

/// UTF-8 to Windows-1251; std::nullopt when the text is not valid UTF-8 or holds
/// a character that Windows-1251 lacks.
std::optional<std::string> utf8ToCp1251(std::string_view utf8);

/// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool isValidUtf8(std::string_view bytes);

/// Decodes UTF-8 one byte at a time, for text read in pieces.
class Utf8Decoder {
  public:
    enum class Step { NeedMore, CodePoint, Invalid };
    /// Takes the next byte; a complete code point comes back in `cp`.
    Step feed(unsigned char byte, char32_t& cp);
    /// True while a sequence is begun but not complete.
    [[nodiscard]] bool midSequence() const { return remaining_ > 0; }

  private:
    int remaining_ = 0;
    char32_t cp_ = 0;
    char32_t min_ = 0;
};

/// The Windows-1251 byte of a code point, or nothing when the code page lacks it.
std::optional<char> cp1251ByteOf(char32_t cp);

/// True when every byte is below 0x80.
bool isAscii(std::string_view bytes);

/// A Windows-1251 path turned into the platform's file-name encoding:
/// UTF-8 on POSIX (on Windows the wide-character API takes cp1251ToUtf8 as well).
std::string nativePathFromCp1251(std::string_view cp1251Path);

} // namespace sheetjob::common
