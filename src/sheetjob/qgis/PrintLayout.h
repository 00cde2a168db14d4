#pragma once
// The print layout of a sheet: the map system, the page that holds the whole
// frame with a margin, and the one map item at the map scale, turned so that
// the sheet's middle meridian runs straight up the page as on a printed sheet.

#include "sheetjob/qgis/MapProjection.h"
#include "sheetjob/qgis/QgisFiles.h"

namespace sheetjob::qgis {

/// The projected system of the sheet's map: the Gauss-Krueger zone holding the
/// middle of the trapezium for a 1:200 000 set, the sheet's own conic for a
/// 1:1 000 000 set.
MapCrs mapCrs(const SheetInfo& sheet);

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
};

/// The page: the trapezium's projected outline turned by the rotation, widened
/// by the frame's reach and the margin on every side, rounded up to whole
/// points (1/72 inch), the unit of a PDF page.
PrintPage printPage(const SheetInfo& sheet);

} // namespace sheetjob::qgis
