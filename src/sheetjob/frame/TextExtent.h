#pragma once
// The printed extent of a label text, measured with the fonts' metric table,
// so that labels can be placed and the outer line broken exactly around them.

#include <string>

namespace sheetjob::frame {

/// How the ends of a measured text are trimmed to the glyph boxes.
enum TrimMode : int {
    kTrimNone = 0,  ///< advance widths only
    kTrimRight = 1, ///< the last glyph ends at its box plus one unit
    kTrimLeft = 2,  ///< the first glyph's left side bearing is cut off
    kTrimBoth = 3,
};

/// Extent of a text in map millimetres, relative to its baseline.
struct TextExtent {
    double bottom = 0.0; ///< lowest glyph box edge
    double top = 0.0;    ///< highest glyph box edge
    double width = 0.0;  ///< advance width after trimming
};

/// Measures the first `length` characters of `text` (Windows-1251) in font
/// 1..3 at `size` points. A font number outside 1..3 measures as all zeros.
TextExtent textParameters(const std::string& text, int length, int font, double size, int trimMode);

} // namespace sheetjob::frame
