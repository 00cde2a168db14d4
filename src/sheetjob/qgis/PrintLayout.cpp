#include "sheetjob/qgis/PrintLayout.h"

#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/frame/OuterFrame.h"
#include "sheetjob/geometry/Point.h"

#include "sheetjob/qgis/LayerStyle.h"
#include "sheetjob/qgis/Symbology.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace sheetjob::qgis {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kMillimetresPerMetre = 1000.0;
// Vertex spacing of the frame's outline that sizes the page: the sheet
// polygon's (7'30" along the parallels, 5' along the meridians).
constexpr geometry::VertexSpacing kOutlineSpacing{7.5 / 60, 5.0 / 60};
constexpr int kThousand = 1000; // digits of a scale are grouped by three
// Ink the reach leaves out, mm: half the sheet outline's width where nothing
// lies beyond it, the frame's millimetres laid out on a sphere rather than the
// map's ellipsoid (0.3 % of 10 mm), and the soft edge of a line on export.
constexpr double kInkAllowanceMm = 0.25;
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

/// The face of one of the frame's fonts 1..3 (the neighbour names' font where
/// the layout has none): its free stand-in, as the frame labels show where the
/// original is not installed; a layout item names one face and cannot fall back.
std::string faceOf(int fontNumber) {
    const std::string face = standInFace(frame::fontName(fontNumber));
    return face.empty() ? standInFace(frame::fontName(1)) : face;
}

/// Characters of a UTF-8 text.
int characters(const std::string& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

/// Width a line of text takes, mm (an estimate, as for the labels).
double textWidth(const MarginalText& t) {
    return characters(t.text) * kEmWidthShare * t.sizePt * kPointMm *
           (t.bold ? kBoldWidthShare : 1.0);
}

double lineHeight(double sizePt) { return kTextLineShare * sizePt * kPointMm; }

/// The frame's outline at its reach, projected and turned onto the paper:
/// its extent in mm around the sheet's middle.
struct PaperBox {
    double u0 = std::numeric_limits<double>::max(), u1 = -std::numeric_limits<double>::max();
    double v0 = std::numeric_limits<double>::max(), v1 = -std::numeric_limits<double>::max();
    void take(const Paper& p) {
        u0 = std::min(u0, p.u), u1 = std::max(u1, p.u);
        v0 = std::min(v0, p.v), v1 = std::max(v1, p.v);
    }
};

} // namespace

std::string scaleText(double scaleDenominator) {
    const auto n = static_cast<long long>(std::llround(scaleDenominator));
    const std::string digits = std::to_string(n);
    std::string text = "1:";
    if (n < kThousand) {
        text += digits;
        return text;
    }
    // Groups of three digits from the right, set apart by blanks.
    constexpr std::size_t kGroup = 3;
    const std::size_t lead = digits.size() % kGroup == 0 ? kGroup : digits.size() % kGroup;
    text.append(digits, 0, lead);
    for (std::size_t at = lead; at < digits.size(); at += kGroup) {
        text += ' ';
        text.append(digits, at, kGroup);
    }
    return text;
}

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

    // The frame's outermost line as the frame builds it, its corners included:
    // on a sheet whose sides lean, the corners reach beyond the sides.
    p.frameReachMm = frameReach(sheet.layout);
    geometry::Vertices outline;
    const geometry::Trapezium t{sheet.west, sheet.east, sheet.south, sheet.north};
    if (frame::outRamkaVertices(p.frameReachMm + kInkAllowanceMm, {p.scaleDenominator}, t,
                                kOutlineSpacing, outline) == frame::kLineRefused) {
        outline.clear();
        for (const double lon : {t.west, t.east})
            for (const double lat : {t.south, t.north})
                outline.add(lon, lat);
    }
    PaperBox box;
    for (int i = 0; i < outline.size(); ++i) {
        const auto k = static_cast<std::size_t>(i);
        const ProjectedPoint q = project(p.crs, outline.x[k], outline.y[k]);
        box.take(toPaper(q.x - mid.x, q.y - mid.y, p.rotation, p.scaleDenominator));
    }

    const frame::FrameLayout& L = sheet.layout;
    MarginalText name{sheet.name, faceOf(L.adjacentFont), kSheetNamePt, true, {}};
    MarginalText scale{scaleText(p.scaleDenominator), faceOf(L.digitFont), kScalePt, false, {}};
    MarginalText note{systemNote(sheet.coordSystem), faceOf(L.digitFont), kSystemNotePt, false, {}};
    const double above = lineHeight(name.sizePt) + kMarginalGapMm;
    const double below = kMarginalGapMm + lineHeight(scale.sizePt) + lineHeight(note.sizePt);
    double widest = box.u1 - box.u0;
    for (const MarginalText* m : {&name, &scale, &note})
        widest = std::max(widest, textWidth(*m));

    const double width = widest + 2 * kPageMarginMm;
    const double height = box.v1 - box.v0 + above + below + 2 * kPageMarginMm;
    p.widthMm = std::ceil(width / kPdfUnitMm) * kPdfUnitMm;
    p.heightMm = std::ceil(height / kPdfUnitMm) * kPdfUnitMm;

    // The page on the paper: the rounding shared out evenly on both sides.
    const double top = box.v1 + above + kPageMarginMm + (p.heightMm - height) / 2;
    const double left = (box.u0 + box.u1) / 2 - p.widthMm / 2;
    p.frame = {box.u0 - left, top - box.v1, box.u1 - box.u0, box.v1 - box.v0};
    const double textWidthMm = p.widthMm - 2 * kPageMarginMm;
    name.place = {kPageMarginMm, p.frame.y - above, textWidthMm, lineHeight(name.sizePt)};
    scale.place = {kPageMarginMm, p.frame.y + p.frame.height + kMarginalGapMm, textWidthMm,
                   lineHeight(scale.sizePt)};
    note.place = {kPageMarginMm, scale.place.y + scale.place.height, textWidthMm,
                  lineHeight(note.sizePt)};
    p.texts = {name, scale, note};

    // The page's middle, back from the paper into the map's system.
    const double uc = left + p.widthMm / 2, vc = top - p.heightMm / 2;
    const double r = p.rotation * kDegree;
    const double metresPerMm = p.scaleDenominator / kMillimetresPerMetre;
    p.centre.x = mid.x + (uc * std::cos(r) - vc * std::sin(r)) * metresPerMm;
    p.centre.y = mid.y + (uc * std::sin(r) + vc * std::cos(r)) * metresPerMm;
    p.extentWidth = p.widthMm * metresPerMm;
    p.extentHeight = p.heightMm * metresPerMm;
    return p;
}

} // namespace sheetjob::qgis
