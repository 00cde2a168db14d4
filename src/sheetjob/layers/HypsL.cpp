// The graticule lines (HypsL): the sheet outline, the parallels and meridians
// inside the sheet, and the Arctic Circle where it crosses the sheet.

#include "sheetjob/common/Path.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/job/JobParameters.h"
#include "sheetjob/layers/Graticule.h"
#include "sheetjob/layers/HypsLayers.h"
#include "sheetjob/layers/LayerPath.h"
#include "sheetjob/layers/Outline.h"
#include "sheetjob/shapefile/ShapeLayer.h"

#include <cmath>

namespace sheetjob::layers {
namespace {

using geometry::eqWithTolerance;
using shapefile::FieldDef;

const char* const kParallelName = "\xCF\xE0\xF0\xE0\xEB\xEB\xE5\xEB\xFC"; // Параллель
const char* const kMeridianName = "\xCC\xE5\xF0\xE8\xE4\xE8\xE0\xED";     // Меридиан
// Северный полярный круг
const char* const kArcticCircleName =
    "\xD1\xE5\xE2\xE5\xF0\xED\xFB\xE9 \xEF\xEE\xEB\xFF\xF0\xED\xFB\xE9 \xEA\xF0\xF3\xE3";
const char* const kOutlineName = "\xD0\xE0\xEC\xEA\xE0"; // Рамка
const char* const kNorth = "\xF1.\xF8.";                 // с.ш.
const char* const kEast = "\xE2.\xE4.";                  // в.д.
const char* const kWest = "\xE7.\xE4.";                  // з.д.
// The Arctic Circle's fixed label values: 66°, 33.64', с.ш.
const char* const kArcticCircleValues = "66\xB0\\33.64'\\\xF1.\xF8.\\";
constexpr char kDegreeSign = '\xB0';
constexpr double kHalfTurn = 180.0; // longitudes above it are western
constexpr double kFullTurn = 360.0; // a western longitude is labelled 360 minus it
constexpr double kMinutesPerDegree = 60.0;

const std::vector<FieldDef>& hypsLFields() {
    static const std::vector<FieldDef> fields = {
        {"L_code", {shapefile::kInteger, 6, 0}},       {"Text", {shapefile::kCharacter, 40, 0}},
        {"Grad", {shapefile::kCharacter, 5, 0}},       {"Min", {shapefile::kCharacter, 7, 0}},
        {"Indication", {shapefile::kCharacter, 5, 0}},
    };
    return fields;
}

bool notAbove(double a, double b) { return a <= b || eqWithTolerance(a, b); }

// First and last graticule value strictly inside (low, high): a value on an edge
// belongs to the edge, and no line is drawn there.
void innerRange(double low, double high, double origin, double step, double& first, double& last) {
    first = startGradValue(low, origin, step);
    if (eqWithTolerance(first, low))
        first = first + step;
    last = endGradValue(high, origin, step);
    if (eqWithTolerance(last, high))
        last = last - step;
}

class LineWriter {
  public:
    LineWriter(const HypsLJob& job, const std::vector<geometry::Point>& clip,
               shapefile::ShapeLayer& layer, const std::string& path)
        : job_(job), clip_(clip), layer_(layer), path_(path) {}

    // The stretch of a parallel (horizontal) or meridian inside the sheet. False
    // when a shifted sheet's outline does not cut it over a non-zero length.
    bool ends(bool horizontal, double c, double& low, double& high) const {
        if (job_.coordSystem != job::kGSK2011SK42) {
            low = horizontal ? job_.west : job_.south;
            high = horizontal ? job_.east : job_.north;
            return true;
        }
        const bool cut = horizontal ? geometry::clippingHorizontalLineByPolygon(c, clip_, low, high)
                                    : geometry::clippingVerticalLineByPolygon(c, clip_, low, high);
        return cut && low != high;
    }

    int write(const std::string& text, const char* what, std::string& reason) {
        if (shapefile::writeSimpleLine(layer_, text, work) != 0) {
            reason = layerFailure(path_, what, layer_.lastError());
            return 2;
        }
        return 0;
    }

    geometry::Vertices work; // reused for every line

  private:
    const HypsLJob& job_;
    const std::vector<geometry::Point>& clip_;
    shapefile::ShapeLayer& layer_;
    const std::string& path_;
};

} // namespace

std::string createHypsLAtt(int lineClass, double value) {
    std::string text;
    switch (lineClass) {
    case kParallelLine:
        text = std::to_string(kParallelCode) + "\\" + kParallelName + "\\";
        break;
    case kMeridianLine:
        text = std::to_string(kMeridianCode) + "\\" + kMeridianName + "\\";
        break;
    case kArcticCircleLine:
        return std::to_string(kArcticCircleCode) + "\\" + kArcticCircleName + "\\" +
               kArcticCircleValues;
    case kOutlineLine:
        return std::to_string(kOutlineCode) + "\\" + kOutlineName + "\\" + "\\\\\\";
    default:
        return text;
    }

    double v = std::round(value * kMinutesPerDegree) / kMinutesPerDegree;
    const char* hemisphere = kNorth;
    if (lineClass == kMeridianLine) {
        if (v <= kHalfTurn) {
            hemisphere = kEast;
        } else {
            v = kFullTurn - v;
            hemisphere = kWest;
        }
    }
    const double degrees = std::floor(v);
    const double minutes = std::round((v - degrees) * kMinutesPerDegree);
    text += common::formatInt(static_cast<long long>(degrees), 3) + kDegreeSign + "\\";
    text += common::formatInt(static_cast<long long>(minutes), 2, 2) + "'\\";
    text += hemisphere;
    text += "\\";
    return text;
}

int createHypsL(const HypsLJob& job, const geometry::Vertices& outline,
                std::vector<double>& latitudes, std::vector<double>& longitudes,
                std::string& reason) {
    const std::string path = common::joinPath(job.hypsPath, "HypsL");
    shapefile::ShapeLayer layer;
    if (shapefile::openNewShapefile(job.coordSystem, shapefile::kPolyLine, path, hypsLFields(),
                                    layer) != 0) {
        reason = layerFailure(path, "could not be opened", layer.lastError());
        return 1;
    }

    // The outline as points: the polygon that cuts the lines of a shifted sheet.
    std::vector<geometry::Point> clip;
    clip.reserve(static_cast<size_t>(outline.size()));
    for (int i = 0; i < outline.size(); ++i)
        clip.push_back({outline.x[i], outline.y[i]});

    if (shapefile::writeSimpleLine(layer, createHypsLAtt(kOutlineLine), outline) != 0) {
        reason = layerFailure(path, "the sheet outline could not be written", layer.lastError());
        return 2;
    }

    LineWriter lines(job, clip, layer, path);
    latitudes.clear();
    longitudes.clear();

    double first = 0, last = 0;
    innerRange(job.south, job.north, job.baseSouth, job.parallelStep, first, last);
    for (int k = 0;; ++k) {
        const double latitude = static_cast<double>(k) * job.parallelStep + first;
        if (!notAbove(latitude, last))
            break;
        double west = 0, east = 0;
        if (!lines.ends(true, latitude, west, east))
            continue;
        latitudes.push_back(latitude);
        lines.work.clear();
        addParallel(latitude, west, east, job.lonVertexSpacing, true, lines.work);
        if (lines.write(createHypsLAtt(kParallelLine, latitude), "a parallel could not be written",
                        reason))
            return 2;
    }

    innerRange(job.west, job.east, job.baseWest, job.meridianStep, first, last);
    for (int k = 0;; ++k) {
        const double longitude = static_cast<double>(k) * job.meridianStep + first;
        if (!notAbove(longitude, last))
            break;
        double south = 0, north = 0;
        if (!lines.ends(false, longitude, south, north))
            continue;
        longitudes.push_back(longitude);
        lines.work.clear();
        addMeridian(longitude, south, north, job.latVertexSpacing, true, lines.work);
        if (lines.write(createHypsLAtt(kMeridianLine, longitude), "a meridian could not be written",
                        reason))
            return 2;
    }

    // The Arctic Circle, strictly inside the sheet and clear of both edges; its
    // latitude is no graticule value and stays out of the list.
    const bool clearOfEdges = std::fabs(job.north - kArcticCircleLatitude) > kArcticCircleMargin &&
                              std::fabs(job.south - kArcticCircleLatitude) > kArcticCircleMargin;
    if (clearOfEdges && job.south < kArcticCircleLatitude && kArcticCircleLatitude < job.north) {
        double west = 0, east = 0;
        if (lines.ends(true, kArcticCircleLatitude, west, east)) {
            lines.work.clear();
            addParallel(kArcticCircleLatitude, west, east, job.lonVertexSpacing, true, lines.work);
            if (lines.write(createHypsLAtt(kArcticCircleLine),
                            "the Arctic Circle could not be written", reason))
                return 2;
        }
    }

    if (shapefile::closeNewShapefile(layer) != 0) {
        reason = layerFailure(path, "could not be completed", layer.lastError());
        return 2;
    }
    return 0;
}

} // namespace sheetjob::layers
