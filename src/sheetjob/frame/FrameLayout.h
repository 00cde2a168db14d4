#pragma once
// The frame's layout for the job's set and map scale: which frame elements
// exist, their distances from the trapezium edge in map millimetres, their
// "L_code"s, the label fonts and the font metric table that measures labels.

#include "sheetjob/frame/FontMetrics.h"

#include <string>

namespace sheetjob::frame {

/// Names of the fonts 1..3 (ASCII): "PragmaticaC", "FreeSet", "AGCenturion".
const std::string& fontName(int fontNumber);

/// Everything the frame routines read about the frame's design. Members of an
/// element that is off keep their initial value and are not read.
struct FrameLayout {
    double scaleDenominator = 0.0; ///< e.g. 200000
    bool minuteFrameOn = false;
    double minuteFrameGap = 0.0;   ///< mm, trapezium edge to inner minute-frame line
    double minuteFrameWidth = 0.0; ///< mm, width of the scale strip
    bool minuteXStartFilled = false;
    bool minuteYStartFilled = false;
    int minuteLineCode = 0;
    int minuteTickCode = 0;
    int minuteFillCode = 0;
    bool outletsOn = false;
    int meridianOutletCode = 0;
    int parallelOutletCode = 0;
    bool digitsOn = false;
    double digitSize = 0.0; ///< points
    int digitFont = 0;      ///< 1..3
    int digitCode = 0;
    bool adjacentOn = false;
    double adjacentSize = 0.0; ///< points
    int adjacentFont = 0;      ///< 1..3
    int adjacentCode = 0;
    int outerFrameKind = 0;          ///< 0 none, 1 one line, 2 three lines
    double outerFrameDistance = 0.0; ///< mm, (middle) outer line from the edge
    int outerFrameCode = 0;
    double outerSideOffset = 0.0; ///< mm, kind 2: side lines from the middle line
    int outerSideCode = 0;
};

/// The layout for `setScale` (0 = 1:200 000 set, any other = 1:1 000 000 set)
/// and `mapScale` (0 = the set's own scale, 1 and 2 = reduced maps). A map scale
/// outside 0..2 gives only the common settings, so no frame layer is drawn.
/// Never fails.
FrameLayout setRamkParameters(int setScale, int mapScale);

} // namespace sheetjob::frame
