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
    f.MinuteXStartFilled = true;
    f.MinuteYStartFilled = true;
    f.MinuteLineCode = f.MinuteTickCode = f.MinuteFillCode = kMinuteFrameCode;

    if (setScale == 0) {
        switch (mapScale) {
        case 0:
            f.ScaleDenominator = 200000;
            f.MinuteFrameOn = true;
            f.MinuteFrameGap = 7.0;
            f.MinuteFrameWidth = kMinuteWidth200k;
            f.OutletsOn = true;
            f.MeridianOutletCode = kMeridianOutletCode;
            f.ParallelOutletCode = kParallelOutletCode;
            f.DigitsOn = true;
            f.DigitSize = 6.5;
            f.DigitFont = kFreeSet;
            f.DigitCode = kDigitCode;
            f.AdjacentOn = true;
            f.AdjacentSize = 6.5;
            f.AdjacentFont = kPragmatica;
            f.AdjacentCode = kAdjacentCode;
            f.OuterFrameKind = 1;
            f.OuterFrameDistance = kOuterDistance200k;
            f.OuterFrameCode = kOuterFrameCode;
            break;
        case 1:
            f.ScaleDenominator = 500000;
            f.DigitsOn = true;
            f.DigitSize = 5.0;
            f.DigitFont = kFreeSet;
            f.DigitCode = kReducedDigitCode;
            f.OuterFrameKind = 1;
            f.OuterFrameDistance = 5.0;
            f.OuterFrameCode = kReducedOuterFrameCode;
            break;
        case 2:
            f.ScaleDenominator = 1000000;
            break;
        default:
            break;
        }
    } else {
        switch (mapScale) {
        case 0:
            f.ScaleDenominator = 1000000;
            f.MinuteFrameOn = true;
            f.MinuteFrameGap = 0.0;
            f.MinuteFrameWidth = 1.0;
            f.DigitsOn = true;
            f.DigitSize = 8.0;
            f.DigitFont = kCenturion;
            f.DigitCode = kDigitCode;
            f.OuterFrameKind = 2;
            f.OuterFrameDistance = 8.5;
            f.OuterFrameCode = kOuterFrameCode;
            f.OuterSideOffset = kOuterSideOffset1M;
            f.OuterSideCode = kOuterSideCode;
            break;
        case 1:
            f.ScaleDenominator = 2500000;
            f.DigitsOn = true;
            f.DigitSize = 5.5;
            f.DigitFont = kCenturion;
            f.DigitCode = kReducedDigitCode;
            f.OuterFrameKind = 1;
            f.OuterFrameDistance = 5.0;
            f.OuterFrameCode = kReducedOuterFrameCode;
            break;
        case 2:
            f.ScaleDenominator = 5000000;
            break;
        default:
            break;
        }
    }

    // Neighbour names break the outer line, so without one there are none.
    if (f.OuterFrameKind == 0)
        f.AdjacentOn = false;
    // Outlets run from the edge to the inner minute-frame line; with no minute
    // frame, or one lying on the edge, there is nothing to run to.
    if (!f.MinuteFrameOn || f.MinuteFrameGap == 0.0)
        f.OutletsOn = false;
    return f;
}

} // namespace sheetjob::frame
