#include "sheetjob/qgis/PrintLayout.h"

#include "sheetjob/frame/OuterFrame.h"

#include "sheetjob/qgis/Symbology.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace sheetjob::qgis {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kPageMarginMm = 10.0; // white paper around the frame's outermost line
constexpr double kMillimetresPerMetre = 1000.0;
constexpr int kSamplesPerSide = 32;        // outline points per side for the page extent
constexpr double kOwnScale200k = 200000.0; // a 1:200 000 set's own scale
constexpr double kOwnScale1M = 1000000.0;  // a 1:1 000 000 set's own scale
// A PDF page is measured in whole points (1/72 inch): QGIS stretches a page of
// another size to the next whole points on export, and the frame with it.
constexpr double kPdfUnitMm = 25.4 / 72.0;
constexpr int kDegreeLabelChars = 3; // "54°", the longest side label

/// How far beyond the trapezium the frame's drawing reaches, map millimetres.
double frameReach(const frame::FrameLayout& L) {
    double reach = 0.0;
    if (L.minuteFrameOn)
        reach = std::max(reach, L.minuteFrameGap + L.minuteFrameWidth);
    if (L.digitsOn) {
        const double edgeStrip =
            (L.minuteFrameOn && L.minuteFrameGap == 0.0) ? L.minuteFrameWidth : 0.0;
        reach = std::max(reach, frame::kLabelClearance + edgeStrip +
                                    kDegreeLabelChars * kEmWidthShare * L.digitSize * kPointMm);
    }
    if (L.outerFrameKind == 1) {
        double r = L.outerFrameDistance + outerLineWidthMm(L) / 2;
        if (L.adjacentOn) // names sit centred on the line
            r = std::max(r, L.outerFrameDistance + L.adjacentSize * kPointMm / 2);
        reach = std::max(reach, r);
    } else if (L.outerFrameKind == 2) {
        reach = std::max(reach, L.outerFrameDistance + L.outerSideOffset + kOuterSideLineMm / 2);
    }
    return reach;
}

struct Paper {
    double u; // mm to the right
    double v; // mm up
};

/// A projected offset from the centre seen on the page: turned clockwise by
/// `rotation` degrees and reduced by the scale.
Paper toPaper(double dx, double dy, double rotation, double scale) {
    const double r = rotation * kDegree;
    const double f = kMillimetresPerMetre / scale;
    return {(dx * std::cos(r) + dy * std::sin(r)) * f, (-dx * std::sin(r) + dy * std::cos(r)) * f};
}

} // namespace

MapCrs mapCrs(const SheetInfo& sheet) {
    if (sheet.setScale == 0)
        return gaussKruegerCrs(sheet.coordSystem, gaussKruegerZone((sheet.west + sheet.east) / 2));
    return conicCrs(sheet.coordSystem, sheet.west, sheet.east, std::min(sheet.south, sheet.north),
                    std::max(sheet.south, sheet.north), sheet.name);
}

PrintPage printPage(const SheetInfo& sheet) {
    PrintPage p;
    p.crs = mapCrs(sheet);
    p.scaleDenominator = sheet.layout.scaleDenominator > 0
                             ? sheet.layout.scaleDenominator
                             : (sheet.setScale == 0 ? kOwnScale200k : kOwnScale1M);
    const double midLon = (sheet.west + sheet.east) / 2;
    const double midLat = (sheet.south + sheet.north) / 2;
    // Turned so that true north at the middle of the sheet points up the page.
    p.rotation = -trueNorthAzimuth(p.crs, midLon, midLat);
    const ProjectedPoint mid = project(p.crs, midLon, midLat);

    double uMin = std::numeric_limits<double>::max(), uMax = -uMin;
    double vMin = uMin, vMax = -uMin;
    auto take = [&](double lon, double lat) {
        const ProjectedPoint q = project(p.crs, lon, lat);
        const Paper w = toPaper(q.x - mid.x, q.y - mid.y, p.rotation, p.scaleDenominator);
        uMin = std::min(uMin, w.u);
        uMax = std::max(uMax, w.u);
        vMin = std::min(vMin, w.v);
        vMax = std::max(vMax, w.v);
    };
    for (int i = 0; i <= kSamplesPerSide; ++i) {
        const double t = static_cast<double>(i) / kSamplesPerSide;
        const double lon = sheet.west + (sheet.east - sheet.west) * t;
        const double lat = sheet.south + (sheet.north - sheet.south) * t;
        take(lon, sheet.south);
        take(lon, sheet.north);
        take(sheet.west, lat);
        take(sheet.east, lat);
    }

    p.frameReachMm = frameReach(sheet.layout);
    const double border = p.frameReachMm + kPageMarginMm;
    p.widthMm = std::ceil((uMax - uMin + 2 * border) / kPdfUnitMm) * kPdfUnitMm;
    p.heightMm = std::ceil((vMax - vMin + 2 * border) / kPdfUnitMm) * kPdfUnitMm;

    // The page's middle, back from the page into the map's system.
    const double uc = (uMin + uMax) / 2, vc = (vMin + vMax) / 2;
    const double r = p.rotation * kDegree;
    const double metresPerMm = p.scaleDenominator / kMillimetresPerMetre;
    p.centre.x = mid.x + (uc * std::cos(r) - vc * std::sin(r)) * metresPerMm;
    p.centre.y = mid.y + (uc * std::sin(r) + vc * std::cos(r)) * metresPerMm;
    p.extentWidth = p.widthMm * metresPerMm;
    p.extentHeight = p.heightMm * metresPerMm;
    return p;
}

} // namespace sheetjob::qgis
