#pragma once
// The glyph metrics of the three label fonts, with which label texts are
// measured so that labels are placed and the outer line broken around them.

#include <array>
#include <cstddef>
#include <cstdint>

namespace sheetjob::frame {

/// Number of label fonts; font numbers run 1..kFontCount.
constexpr int kFontCount = 3;

/// Metric row of one glyph, in thousandths of the font size.
struct GlyphMetrics {
    std::int16_t advance = 0;
    std::int16_t xmin = 0;
    std::int16_t ymin = 0;
    std::int16_t xmax = 0;
    std::int16_t ymax = 0;
};

/// Per font (index font number - 1) and Windows-1251 code (index = the code;
/// code 0 and codes not defined for the font are all zero).
using FontMetricTable = std::array<std::array<GlyphMetrics, 256>, kFontCount>;

/// The constant metric table of the three label fonts.
const FontMetricTable& fontMetrics();

} // namespace sheetjob::frame
