#include "sheetjob/common/Display.h"

#include "sheetjob/common/Cp1251.h"

#include <cstddef>

namespace sheetjob::common {
namespace {

constexpr unsigned char kLastControl = 0x1F; // C0 controls end here
constexpr unsigned char kDelete = 0x7F;
constexpr char32_t kLastC1 = 0x9F; // DEL is followed by the C1 controls up to here

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= kLastControl || byte == kDelete;
}

void appendEscaped(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
}

/// The length of the well-formed UTF-8 character at the start of `text` and
/// its code point; 0 when the bytes there are not one.
std::size_t utf8Character(std::string_view text, char32_t& cp) {
    Utf8Decoder decoder;
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (decoder.feed(static_cast<unsigned char>(text[i]), cp)) {
        case Utf8Decoder::Step::CodePoint:
            return i + 1;
        case Utf8Decoder::Step::Invalid:
            return 0;
        case Utf8Decoder::Step::NeedMore:
            break;
        }
    }
    return 0; // cut short
}

} // namespace

std::string displayed(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        char32_t cp = 0;
        const std::size_t length = utf8Character(utf8, cp);
        // A byte that starts no character is escaped alone, and reading
        // goes on with the next one.
        const std::size_t taken = length == 0 ? 1 : length;
        const std::string_view character = utf8.substr(0, taken);
        const bool control = cp <= kLastControl || (cp >= kDelete && cp <= kLastC1);
        if (length == 0 || control)
            appendEscaped(out, character);
        else
            out += character;
        utf8.remove_prefix(taken);
    }
    return out;
}

std::string quoted(std::string_view utf8) {
    // Appended rather than concatenated: GCC 12 warns falsely (-Wrestrict)
    // about prefixing a literal to a temporary string at -O2.
    std::string out(1, '"');
    out += displayed(utf8);
    out += '"';
    return out;
}

bool hasControlCharacter(std::string_view text) {
    for (const char c : text)
        if (isControl(c))
            return true;
    return false;
}

} // namespace sheetjob::common
