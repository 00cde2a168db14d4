// The sheet polygon (HypsA) and the graticule points (HypsP).

#include "sheetjob/layers/HypsA.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/coordtext/DegreeText.h"
#include "sheetjob/coordtext/LabelText.h"
#include "sheetjob/geometry/DatumShift.h"
#include "sheetjob/geometry/Tolerance.h"
#include "sheetjob/layers/Graticule.h"
#include "sheetjob/layers/Outline.h"
#include "sheetjob/shapefile/LayerWriting.h"

namespace sheetjob::layers {
namespace {

using geometry::eqWithTolerance;

// Corner labels: whole minutes, or hundredths of a second for a shifted sheet,
// whose corners no longer lie on whole minutes; hemisphere word after each value.
constexpr int kWholeMinutes = -1;
constexpr int kHundredthsOfSecond = 2;
constexpr int kHemisphereWords = 1;

// a <= b, also when the two are equal within the tolerance.
bool notAbove(double a, double b) { return a <= b || eqWithTolerance(a, b); }

common::Outcome writeSheetPolygon(const SheetGeometry& sheet, const std::string& sheetName,
                                  const common::Folder& folder, geometry::Vertices& outline) {
    const geometry::Trapezium& r = sheet.result;
    outline.clear();
    addRectangle(r, {kParallelVertexSpacing, kMeridianVertexSpacing}, outline);
    const bool shifted = sheet.coordSystem.shiftedFromSk42();
    if (shifted)
        geometry::sk42_To_Gsk2011(outline);

    const int decimals = shifted ? kHundredthsOfSecond : kWholeMinutes;
    auto label = [&](const geometry::Point& p) {
        return common::trim(coordtext::coordPointToTxtN(p.x, p.y, decimals, kHemisphereWords));
    };
    const Corners& c = sheet.corners;
    const HypsARecord record{
        kSheetCode, common::trim(sheetName), label(c.nw), label(c.ne), label(c.sw), label(c.se)};
    return shapefile::writeLayer(
        {folder, std::string(kHypsA), shapefile::kPolygon, sheet.coordSystem}, kHypsASchema,
        [&](auto& layer) { return layer.writeSimplePolygon(record, outline); });
}

common::Outcome writeGraticulePoints(const SheetGeometry& sheet,
                                     const geometry::VertexSpacing& spacing,
                                     const common::Folder& folder) {
    // The grid covers the result trapezium before any datum shift.
    const geometry::Trapezium& r = sheet.result;
    const double firstLat = startGradValue(r.south, sheet.base.south, spacing.lat);
    const double lastLat = endGradValue(r.north, sheet.base.south, spacing.lat);
    const double firstLon = startGradValue(r.west, sheet.base.west, spacing.lon);
    const double lastLon = endGradValue(r.east, sheet.base.west, spacing.lon);
    const bool shifted = sheet.coordSystem.shiftedFromSk42();

    return shapefile::writeLayer(
        {folder, std::string(kHypsP), shapefile::kPoint, sheet.coordSystem}, kHypsPSchema,
        [&](auto& layer) {
            if (!notAbove(firstLat, lastLat) || !notAbove(firstLon, lastLon))
                return 0;
            for (int i = 0;; ++i) {
                const double latitude = static_cast<double>(i) * spacing.lat + firstLat;
                // The row loop ends on the row at the last latitude; a row past it
                // (only possible if the two never met within the tolerance) is not
                // written.
                if (!notAbove(latitude, lastLat))
                    break;
                for (int j = 0;; ++j) {
                    const double longitude = static_cast<double>(j) * spacing.lon + firstLon;
                    if (!notAbove(longitude, lastLon))
                        break;
                    const HypsPRecord record = createHypsPAtt(latitude, longitude);
                    geometry::Point p{longitude, latitude};
                    if (shifted)
                        geometry::sk42_To_Gsk2011(p); // the labels keep the unshifted values
                    if (const int status = layer.writePoint(record, p.x, p.y))
                        return status;
                    if (eqWithTolerance(longitude, lastLon))
                        break;
                }
                if (eqWithTolerance(latitude, lastLat))
                    break;
            }
            return 0;
        });
}

} // namespace

HypsPRecord createHypsPAtt(double latitude, double longitude) {
    return {kSheetCode, common::trim(coordtext::gradMinSec(latitude)),
            common::trim(coordtext::gradMinSec(longitude))};
}

common::Outcome createHypsA(const SheetGeometry& sheet, const std::string& sheetName,
                            const geometry::VertexSpacing& pointSpacing,
                            const common::Folder& folder, geometry::Vertices& outline) {
    if (auto failure = writeSheetPolygon(sheet, sheetName, folder, outline))
        return failure;
    return writeGraticulePoints(sheet, pointSpacing, folder);
}

} // namespace sheetjob::layers
