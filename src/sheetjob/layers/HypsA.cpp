// The sheet polygon (HypsA) and the graticule points (HypsP).

#include "sheetjob/common/Path.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/coordtext/DegreeText.h"
#include "sheetjob/coordtext/LabelText.h"
#include "sheetjob/geometry/DatumShift.h"
#include "sheetjob/job/JobParameters.h"
#include "sheetjob/layers/Graticule.h"
#include "sheetjob/layers/HypsLayers.h"
#include "sheetjob/layers/LayerPath.h"
#include "sheetjob/layers/Outline.h"
#include "sheetjob/shapefile/ShapeLayer.h"

namespace sheetjob::layers {
namespace {

using geometry::eqWithTolerance;
using shapefile::FieldDef;

// Corner labels: whole minutes, or hundredths of a second for a shifted sheet,
// whose corners no longer lie on whole minutes; hemisphere word after each value.
constexpr int kWholeMinutes = -1;
constexpr int kHundredthsOfSecond = 2;
constexpr int kHemisphereWords = 1;

const std::vector<FieldDef>& hypsAFields() {
    static const std::vector<FieldDef> fields = {
        {"L_code", {shapefile::kInteger, 6, 0}},    {"Name", {shapefile::kCharacter, 100, 0}},
        {"LeftUp", {shapefile::kCharacter, 50, 0}}, {"RghtUp", {shapefile::kCharacter, 50, 0}},
        {"LeftDn", {shapefile::kCharacter, 50, 0}}, {"RghtDn", {shapefile::kCharacter, 50, 0}},
    };
    return fields;
}

const std::vector<FieldDef>& hypsPFields() {
    static const std::vector<FieldDef> fields = {
        {"L_code", {shapefile::kInteger, 6, 0}},
        {"Lat", {shapefile::kCharacter, 20, 0}},
        {"Lon", {shapefile::kCharacter, 20, 0}},
    };
    return fields;
}

// a <= b, also when the two are equal within the tolerance.
bool notAbove(double a, double b) { return a <= b || eqWithTolerance(a, b); }

int writeSheetPolygon(const HypsAJob& job, geometry::Vertices& outline, std::string& reason) {
    const std::string path = common::joinPath(job.hypsPath, "HypsA");
    shapefile::ShapeLayer layer;
    if (shapefile::openNewShapefile(job.coordSystem, shapefile::kPolygon, path, hypsAFields(),
                                    layer) != 0) {
        reason = layerFailure(path, "could not be opened", layer.lastError());
        return 1;
    }

    outline.clear();
    addRectangle(job.xFrom, job.xTo, job.lonVertexSpacing, job.yFrom, job.yTo, job.latVertexSpacing,
                 outline);
    const bool shifted = job.coordSystem == job::kGSK2011SK42;
    if (shifted)
        geometry::sk42_To_Gsk2011(outline);

    const int decimals = shifted ? kHundredthsOfSecond : kWholeMinutes;
    auto label = [&](const geometry::Point& p) {
        return common::trim(coordtext::coordPointToTxtN(p.x, p.y, decimals, kHemisphereWords));
    };
    const std::string text = "-1\\" + common::rtrim(job.sheetName) + "\\" + label(job.corners.nw) +
                             "\\" + label(job.corners.ne) + "\\" + label(job.corners.sw) + "\\" +
                             label(job.corners.se) + "\\";
    if (shapefile::writeSimplePolygon(layer, text, outline) != 0) {
        reason = layerFailure(path, "the sheet polygon could not be written", layer.lastError());
        return 2;
    }
    if (shapefile::closeNewShapefile(layer) != 0) {
        reason = layerFailure(path, "could not be completed", layer.lastError());
        return 2;
    }
    return 0;
}

int writeGraticulePoints(const HypsAJob& job, std::string& reason) {
    const std::string path = common::joinPath(job.hypsPath, "HypsP");
    shapefile::ShapeLayer layer;
    if (shapefile::openNewShapefile(job.coordSystem, shapefile::kPoint, path, hypsPFields(),
                                    layer) != 0) {
        reason = layerFailure(path, "could not be opened", layer.lastError());
        return 1;
    }

    // The grid covers the result trapezium before any datum shift.
    const double firstLat = startGradValue(job.yFrom, job.baseSouth, job.latPointSpacing);
    const double lastLat = endGradValue(job.yTo, job.baseSouth, job.latPointSpacing);
    const double firstLon = startGradValue(job.xFrom, job.baseWest, job.lonPointSpacing);
    const double lastLon = endGradValue(job.xTo, job.baseWest, job.lonPointSpacing);
    const bool shifted = job.coordSystem == job::kGSK2011SK42;

    if (notAbove(firstLat, lastLat) && notAbove(firstLon, lastLon)) {
        for (int i = 0;; ++i) {
            const double latitude = static_cast<double>(i) * job.latPointSpacing + firstLat;
            // The row loop ends on the row at the last latitude; a row past it (only
            // possible if the two never met within the tolerance) is not written.
            if (!notAbove(latitude, lastLat))
                break;
            for (int j = 0;; ++j) {
                const double longitude = static_cast<double>(j) * job.lonPointSpacing + firstLon;
                if (!notAbove(longitude, lastLon))
                    break;
                const std::string text = createHypsPAtt(latitude, longitude);
                geometry::Point p{longitude, latitude};
                if (shifted)
                    geometry::sk42_To_Gsk2011(p); // the labels keep the unshifted values
                if (shapefile::writePoint(layer, text, p.x, p.y) != 0) {
                    reason = layerFailure(path, "a graticule point could not be written",
                                          layer.lastError());
                    return 2;
                }
                if (eqWithTolerance(longitude, lastLon))
                    break;
            }
            if (eqWithTolerance(latitude, lastLat))
                break;
        }
    }
    if (shapefile::closeNewShapefile(layer) != 0) {
        reason = layerFailure(path, "could not be completed", layer.lastError());
        return 2;
    }
    return 0;
}

} // namespace

std::string createHypsPAtt(double latitude, double longitude) {
    return "-1\\" + common::rtrim(coordtext::gradMinSec(latitude)) + "\\" +
           common::rtrim(coordtext::gradMinSec(longitude)) + "\\";
}

int createHypsA(const HypsAJob& job, geometry::Vertices& outline, std::string& reason) {
    if (const int status = writeSheetPolygon(job, outline, reason); status != 0)
        return status;
    return writeGraticulePoints(job, reason);
}

} // namespace sheetjob::layers
