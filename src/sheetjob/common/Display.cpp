#include "sheetjob/common/Display.h"

namespace sheetjob::common {
namespace {

constexpr unsigned char kLastControl = 0x1F; // C0 controls end here
constexpr unsigned char kDelete = 0x7F;

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= kLastControl || byte == kDelete;
}

} // namespace

std::string displayed(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        if (!isControl(c)) {
            out += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
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
