#pragma once
// Line widths, marker sizes and colours of the sheet as printed, in map
// millimetres (house choices after printed topographic and geological sheets;
// the frame's distances themselves come from frame::FrameLayout).

#include "sheetjob/frame/FrameLayout.h"

namespace sheetjob::qgis {

constexpr double kHairlineMm = 0.1;         // minute-frame lines, ticks, outlets, graticule lines
constexpr double kInnerFrameMm = 0.15;      // the trapezium's outline (the inner frame)
constexpr double kOuterLine200kMm = 0.8;    // the outer frame line of a 1:200 000 map
constexpr double kOuterLine1MMm = 0.6;      // the middle of the 1:1 000 000 map's three lines
constexpr double kOuterSideLineMm = 0.1;    // the two side lines of that frame
constexpr double kReducedOuterLineMm = 0.4; // the outer line of a reduced map
constexpr double kArcticCircleMm = 0.2;     // the Arctic Circle, dashed
constexpr double kArcticDashMm = 3.0;       // its dash ...
constexpr double kArcticGapMm = 1.5;        // ... and gap

constexpr double kCrossMaxMm = 3.0;        // graticule point cross, at most
constexpr double kCrossMinMm = 0.8;        // ... and at least
constexpr double kCrossSpacingShare = 0.2; // of the grid's spacing on the map

constexpr double kSubSheet50kMm = 0.3;     // 1:50 000 sheet frames, solid
constexpr double kSubSheet25kMm = 0.2;     // 1:25 000 sheet frames, dashed
constexpr double kSubSheetDashMm = 2.0;    // their dash ...
constexpr double kSubSheetGapMm = 1.0;     // ... and gap
constexpr double kSubSheet50kNamePt = 8.0; // largest name sizes, points
constexpr double kSubSheet25kNamePt = 6.0;
constexpr double kSubSheetNameShare = 0.5; // a name takes at most half its sheet's width
constexpr double kNameBufferMm = 0.5;      // white halo around sub-sheet names

// The marginal text of the print layout, in the faces of the frame's labels.
constexpr double kSheetNamePt = 16.0;   // the sheet's name above the frame, bold
constexpr double kScalePt = 12.0;       // the scale below it
constexpr double kSystemNotePt = 8.0;   // the note on the coordinate system under the scale
constexpr double kMarginalGapMm = 3.0;  // between the frame and the text above and below it
constexpr double kTextLineShare = 1.4;  // a line of text, share of its size (ascent and descent)
constexpr double kBoldWidthShare = 1.1; // a bold character's advance against a regular one
constexpr double kPageMarginMm = 10.0;  // white paper around all that is printed

constexpr double kPointMm = 25.4 / 72.0; // one typographic point (1/72 inch) in mm
constexpr double kEmWidthShare = 0.6; // a label character's advance, share of the size (estimate)

// Colours, "r,g,b,a" as QGIS writes them.
constexpr const char* kBlack = "0,0,0,255";
constexpr const char* kWhite = "255,255,255,255";
constexpr const char* kSubSheet50kColour = "170,0,0,255";  // dark red
constexpr const char* kSubSheet25kColour = "0,85,170,255"; // dark blue

/// Width of the (middle) outer frame line of a layout: the map at the set's
/// scale has a minute frame, a reduced map has none.
inline double outerLineWidthMm(const frame::FrameLayout& layout) {
    if (layout.outerFrameKind == 2)
        return kOuterLine1MMm;
    return layout.minuteFrameOn ? kOuterLine200kMm : kReducedOuterLineMm;
}

} // namespace sheetjob::qgis
