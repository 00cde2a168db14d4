#include "sheetjob/frame/FrameLayout.h"

namespace sheetjob::frame {

namespace {

// "L_code"s of the frame elements.
constexpr int kMinuteFrameCode = 400901;       // minute-frame lines, ticks and fills
constexpr int kOuterFrameCode = 400902;        // outer frame line at the set's scale
constexpr int kOuterSideCode = 400903;         // side lines of the three-line outer frame
constexpr int kMeridianOutletCode = 400904;    // meridian outlets
constexpr int kParallelOutletCode = 400905;    // parallel outlets
constexpr int kAdjacentCode = 400911;          // neighbour names
constexpr int kDigitCode = 400912;             // value labels at the set's scale
constexpr int kReducedDigitCode = 400913;      // value labels of a reduced map
constexpr int kReducedOuterFrameCode = 400922; // outer frame line of a reduced map

// Distances that the design holds in single precision, widened to double.
constexpr double kMinuteWidth200k = 1.2000000476837158;  // 1.2f mm
constexpr double kOuterDistance200k = 9.800000190734863; // 9.8f mm
constexpr double kOuterSideOffset1M = 1.100000023841858; // 1.1f mm

constexpr int kPragmatica = 1; // font of the neighbour names
constexpr int kFreeSet = 2;    // value labels of the 1:200 000 set
constexpr int kCenturion = 3;  // value labels of the 1:1 000 000 set

} // namespace

const std::string& fontName(int fontNumber) {
    static const std::array<std::string, kFontCount + 1> names = {"", "PragmaticaC", "FreeSet",
                                                                  "AGCenturion"};
    static const std::string none;
    return (fontNumber >= 1 && fontNumber <= kFontCount) ? names[fontNumber] : none;
}

FrameLayout setRamkParameters(int setScale, int mapScale) {
    FrameLayout f;
    f.minuteXStartFilled = true;
    f.minuteYStartFilled = true;
    f.minuteLineCode = f.minuteTickCode = f.minuteFillCode = kMinuteFrameCode;

    if (setScale == 0) {
        switch (mapScale) {
        case 0:
            f.scaleDenominator = 200000;
            f.minuteFrameOn = true;
            f.minuteFrameGap = 7.0;
            f.minuteFrameWidth = kMinuteWidth200k;
            f.outletsOn = true;
            f.meridianOutletCode = kMeridianOutletCode;
            f.parallelOutletCode = kParallelOutletCode;
            f.digitsOn = true;
            f.digitSize = 6.5;
            f.digitFont = kFreeSet;
            f.digitCode = kDigitCode;
            f.adjacentOn = true;
            f.adjacentSize = 6.5;
            f.adjacentFont = kPragmatica;
            f.adjacentCode = kAdjacentCode;
            f.outerFrameKind = 1;
            f.outerFrameDistance = kOuterDistance200k;
            f.outerFrameCode = kOuterFrameCode;
            break;
        case 1:
            f.scaleDenominator = 500000;
            f.digitsOn = true;
            f.digitSize = 5.0;
            f.digitFont = kFreeSet;
            f.digitCode = kReducedDigitCode;
            f.outerFrameKind = 1;
            f.outerFrameDistance = 5.0;
            f.outerFrameCode = kReducedOuterFrameCode;
            break;
        case 2:
            f.scaleDenominator = 1000000;
            break;
        default:
            break;
        }
    } else {
        switch (mapScale) {
        case 0:
            f.scaleDenominator = 1000000;
            f.minuteFrameOn = true;
            f.minuteFrameGap = 0.0;
            f.minuteFrameWidth = 1.0;
            f.digitsOn = true;
            f.digitSize = 8.0;
            f.digitFont = kCenturion;
            f.digitCode = kDigitCode;
            f.outerFrameKind = 2;
            f.outerFrameDistance = 8.5;
            f.outerFrameCode = kOuterFrameCode;
            f.outerSideOffset = kOuterSideOffset1M;
            f.outerSideCode = kOuterSideCode;
            break;
        case 1:
            f.scaleDenominator = 2500000;
            f.digitsOn = true;
            f.digitSize = 5.5;
            f.digitFont = kCenturion;
            f.digitCode = kReducedDigitCode;
            f.outerFrameKind = 1;
            f.outerFrameDistance = 5.0;
            f.outerFrameCode = kReducedOuterFrameCode;
            break;
        case 2:
            f.scaleDenominator = 5000000;
            break;
        default:
            break;
        }
    }

    // Neighbour names break the outer line, so without one there are none.
    if (f.outerFrameKind == 0)
        f.adjacentOn = false;
    // Outlets run from the edge to the inner minute-frame line; with no minute
    // frame, or one lying on the edge, there is nothing to run to.
    if (!f.minuteFrameOn || f.minuteFrameGap == 0.0)
        f.outletsOn = false;
    return f;
}

} // namespace sheetjob::frame
