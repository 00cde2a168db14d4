#include "sheetjob/frame/TextExtent.h"

#include "sheetjob/frame/FrameLayout.h"

#include <algorithm>

namespace sheetjob::frame {

namespace {
constexpr double kMillimetresPerPoint = 0.35277777777777775; // 25.4 / 72
constexpr double kMetricUnitsPerSize = 1000.0;               // metrics are thousandths of the size
constexpr int kNoTop = -999999;   // start of the running maximum of the box tops
constexpr int kNoBottom = 999999; // start of the running minimum of the box bottoms
} // namespace

TextExtent textParameters(const std::string& text, int length, int font, double size,
                          int trimMode) {
    static const GlyphMetrics kNoGlyph{};
    const double k = size * kMillimetresPerPoint / kMetricUnitsPerSize;
    int top = kNoTop;
    int bottom = kNoBottom;
    int sum = 0;
    const int count = std::min(length, static_cast<int>(text.size()));
    const bool knownFont = font >= 1 && font <= kFontCount;
    for (int i = 1; i <= count; ++i) {
        const auto code = static_cast<unsigned char>(text[static_cast<size_t>(i - 1)]);
        const GlyphMetrics& m =
            knownFont ? fontMetrics()[static_cast<size_t>(font - 1)][code] : kNoGlyph;
        sum = sum + m.advance;
        bottom = std::min(bottom, static_cast<int>(m.ymin));
        top = std::max(top, static_cast<int>(m.ymax));
        if (i == 1 && (trimMode == kTrimLeft || trimMode == kTrimBoth))
            sum = sum - m.xmin;
        if (i == count && (trimMode == kTrimRight || trimMode == kTrimBoth))
            sum = sum + m.xmax - m.advance + 1;
    }
    TextExtent e;
    e.width = sum * k;
    e.bottom = bottom * k;
    e.top = top * k;
    return e;
}

} // namespace sheetjob::frame
