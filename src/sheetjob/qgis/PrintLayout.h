#pragma once
// The print layout of a sheet: the map system, the page that holds the whole
// frame and the marginal text with a margin, and the one map item at the map
// scale, turned so that the sheet's middle meridian runs straight up the page
// as on a printed sheet.

#include "sheetjob/qgis/MapProjection.h"
#include "sheetjob/qgis/QgisFiles.h"

#include <string>
#include <vector>

namespace sheetjob::qgis {

/// The projected system of the sheet's map: the Gauss-Krueger zone holding the
/// middle of the trapezium for a 1:200 000 set, the sheet's own conic for a
/// 1:1 000 000 set.
MapCrs mapCrs(const SheetInfo& sheet);

/// A rectangle on the page, millimetres from its top left corner.
struct PageRect {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
};

/// One line of marginal text, centred in its rectangle.
struct MarginalText {
    std::string text; ///< UTF-8
    std::string face; ///< the font family
    double sizePt = 0.0;
    bool bold = false;
    PageRect place;
};

struct PrintPage {
    MapCrs crs;
    double scaleDenominator = 0.0; ///< 200000 for 1:200 000
    double widthMm = 0.0;          ///< page, millimetres (whole points of 1/72 inch)
    double heightMm = 0.0;
    double rotation = 0.0;    ///< map rotation, degrees clockwise
    ProjectedPoint centre;    ///< middle of the map item, metres
    double extentWidth = 0.0; ///< map item's (unrotated) extent, metres
    double extentHeight = 0.0;
    double frameReachMm = 0.0; ///< how far the frame reaches beyond the trapezium
    PageRect frame;            ///< where the frame lies on the page, its reach included
    /// The sheet's name above the frame; the scale and the coordinate system below it.
    std::vector<MarginalText> texts;
};

/// The page: the frame's outline (the line at its reach around the trapezium,
/// corners included) projected and turned by the rotation, the marginal text
/// above and below it, and the margin on every side, rounded up to whole
/// points (1/72 inch), the unit of a PDF page.
PrintPage printPage(const SheetInfo& sheet);

/// "1:200 000" for 200000.
std::string scaleText(double scaleDenominator);

} // namespace sheetjob::qgis
