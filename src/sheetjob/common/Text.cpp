#include "sheetjob/common/Text.h"

#include <charconv>
#include <cmath>

namespace sheetjob::common {

std::string_view rtrimmed(std::string_view text) {
    const auto end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view ltrimmed(std::string_view text) {
    const auto begin = text.find_first_not_of(' ');
    return begin == std::string_view::npos ? std::string_view() : text.substr(begin);
}

std::string_view trimmed(std::string_view text) { return ltrimmed(rtrimmed(text)); }

std::string rtrim(std::string_view text) { return std::string(rtrimmed(text)); }

std::string ltrim(std::string_view text) { return std::string(ltrimmed(text)); }

std::string trim(std::string_view text) { return std::string(trimmed(text)); }

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string formatInt(long long value, int width, int minDigits) {
    const bool negative = value < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), '0');
    if (minDigits == 0 && magnitude == 0)
        digits.clear();
    if (negative)
        digits.insert(0, 1, '-');
    if (static_cast<int>(digits.size()) > width)
        return std::string(static_cast<size_t>(width), '*');
    return std::string(static_cast<size_t>(width) - digits.size(), ' ') + digits;
}

std::string formatFixed(double value, int width, int decimals) {
    if (!std::isfinite(value))
        return std::string(static_cast<size_t>(width), '*');
    // Written without the locale: a program whose locale has a decimal comma
    // (a GUI sets the user's) writes the same point as any other.
    char buffer[400];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, written.ec == std::errc() ? written.ptr : buffer);
    // A fixed-point edit descriptor drops the optional leading zero when the
    // field would otherwise overflow ("0.50" in a width of 3 becomes ".50").
    if (static_cast<int>(text.size()) > width) {
        const auto zero = text.find("0.");
        if ((zero == 0 || (zero == 1 && text[0] == '-')) &&
            static_cast<int>(text.size()) - 1 <= width)
            text.erase(zero, 1);
    }
    if (static_cast<int>(text.size()) > width)
        return std::string(static_cast<size_t>(width), '*');
    return std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
}

} // namespace sheetjob::common
