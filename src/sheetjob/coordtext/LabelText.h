#pragma once
// Coordinates as the corner labels of the sheet polygon and the pieces of the
// frame's value labels. Longitudes arrive in 0..360; above 180 they are western.

#include <string>

namespace sheetjob::coordtext {

/// A coordinate split at a chosen precision.
struct DegMinSec {
    int degrees = 0;      ///< not negative
    int minutes = 0;      ///< 0..59
    double seconds = 0.0; ///< 0 up to below 60; 0 at whole-minute precision
    bool positive = true; ///< eastern longitude or northern (or zero) latitude
};

/// decimals < 0: whole minutes; 0: whole seconds; n > 0: seconds with n decimals (n <= 7).
DegMinSec coordToDegMinSec(double coordinate, bool isLongitude, int decimals);
/// One coordinate's label, e.g. "52°40' с.ш."; hemisphereStyle 1 = word always,
/// 2 = letter for west/south only, other = none.
std::string coordToTxtN(const DegMinSec& value, bool isLongitude, int decimals,
                        int hemisphereStyle);
/// Longitude label, one blank, latitude label: "36°00' в.д. 52°00' с.ш.".
std::string coordPointToTxtN(double longitude, double latitude, int decimals, int hemisphereStyle);

/// The three pieces of a frame value label, whole minutes.
struct FrameLabelPieces {
    std::string degrees;    ///< "52°" (trimmed)
    std::string minutes;    ///< "30'"
    std::string hemisphere; ///< "В" or "З" for a longitude, a blank for a latitude
};
FrameLabelPieces coordToTxt(double coordinate, bool isLongitude);

} // namespace sheetjob::coordtext
