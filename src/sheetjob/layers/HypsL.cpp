// The graticule lines (HypsL): the sheet outline, the parallels and meridians
// inside the sheet, and the Arctic Circle where it crosses the sheet.

#include "sheetjob/layers/HypsL.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/geometry/Clipping.h"
#include "sheetjob/geometry/Tolerance.h"
#include "sheetjob/layers/Graticule.h"
#include "sheetjob/layers/Outline.h"
#include "sheetjob/shapefile/LayerWriting.h"

#include <cmath>

namespace sheetjob::layers {
namespace {

using geometry::eqWithTolerance;

const char* const kParallelName = "\xCF\xE0\xF0\xE0\xEB\xEB\xE5\xEB\xFC"; // Параллель
const char* const kMeridianName = "\xCC\xE5\xF0\xE8\xE4\xE8\xE0\xED";     // Меридиан
// Северный полярный круг
const char* const kArcticCircleName =
    "\xD1\xE5\xE2\xE5\xF0\xED\xFB\xE9 \xEF\xEE\xEB\xFF\xF0\xED\xFB\xE9 \xEA\xF0\xF3\xE3";
const char* const kOutlineName = "\xD0\xE0\xEC\xEA\xE0"; // Рамка
const char* const kNorth = "\xF1.\xF8.";                 // с.ш.
const char* const kEast = "\xE2.\xE4.";                  // в.д.
const char* const kWest = "\xE7.\xE4.";                  // з.д.
// The Arctic Circle's fixed label values: 66°, 33.64'.
const char* const kArcticCircleDegrees = "66\xB0";
const char* const kArcticCircleMinutes = "33.64'";
constexpr char kDegreeSign = '\xB0';
constexpr double kHalfTurn = 180.0; // longitudes above it are western
constexpr double kFullTurn = 360.0; // a western longitude is labelled 360 minus it
constexpr double kMinutesPerDegree = 60.0;

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

/// The stretch of a parallel (horizontal) or meridian inside the sheet.
class LineEnds {
  public:
    LineEnds(const SheetGeometry& sheet, const geometry::Vertices& outline)
        : sheet_(sheet), clipper_(shiftedOutline(sheet, outline)) {}

    /// False when a shifted sheet's outline does not cut the line over a
    /// non-zero length.
    bool operator()(bool horizontal, double c, double& low, double& high) const {
        if (!sheet_.coordSystem.shiftedFromSk42()) {
            low = horizontal ? sheet_.bounds.west : sheet_.bounds.south;
            high = horizontal ? sheet_.bounds.east : sheet_.bounds.north;
            return true;
        }
        return clipper_.clip(horizontal, c, low, high) && low != high;
    }

  private:
    /// The outline as points: the polygon that cuts the lines of a shifted sheet.
    static std::vector<geometry::Point> shiftedOutline(const SheetGeometry& sheet,
                                                       const geometry::Vertices& outline) {
        std::vector<geometry::Point> points;
        if (!sheet.coordSystem.shiftedFromSk42())
            return points;
        points.reserve(static_cast<size_t>(outline.size()));
        for (int i = 0; i < outline.size(); ++i)
            points.push_back(
                {outline.x[static_cast<size_t>(i)], outline.y[static_cast<size_t>(i)]});
        return points;
    }

    const SheetGeometry& sheet_;
    geometry::PolygonClipper clipper_;
};

} // namespace

HypsLRecord createHypsLAtt(LineClass lineClass, double value) {
    switch (lineClass) {
    case kArcticCircleLine:
        return {kArcticCircleCode, kArcticCircleName, kArcticCircleDegrees, kArcticCircleMinutes,
                kNorth};
    case kOutlineLine:
        return {kOutlineCode, kOutlineName, "", "", ""};
    case kParallelLine:
    case kMeridianLine:
        break;
    }
    HypsLRecord r;
    r.lCode = lineClass == kParallelLine ? kParallelCode : kMeridianCode;
    r.text = lineClass == kParallelLine ? kParallelName : kMeridianName;
    double v = std::round(value * kMinutesPerDegree) / kMinutesPerDegree;
    r.indication = kNorth;
    if (lineClass == kMeridianLine) {
        if (v <= kHalfTurn) {
            r.indication = kEast;
        } else {
            v = kFullTurn - v;
            r.indication = kWest;
        }
    }
    const double degrees = std::floor(v);
    const double minutes = std::round((v - degrees) * kMinutesPerDegree);
    r.grad = common::trim(common::formatInt(static_cast<long long>(degrees), 3)) + kDegreeSign;
    r.min = common::trim(common::formatInt(static_cast<long long>(minutes), 2, 2)) + "'";
    return r;
}

common::Outcome createHypsL(const SheetGeometry& sheet, const geometry::Graticule& graticule,
                            const geometry::Vertices& outline, const common::Folder& folder,
                            GraticuleValues& values) {
    const LineEnds ends(sheet, outline);
    const geometry::Trapezium& b = sheet.bounds;
    values.latitudes.clear();
    values.longitudes.clear();
    geometry::Vertices work; // reused for every line

    return shapefile::writeLayer(
        {folder, std::string(kHypsL), shapefile::kPolyLine, sheet.coordSystem}, kHypsLSchema,
        [&](auto& layer) {
            if (const int status = layer.writeSimpleLine(createHypsLAtt(kOutlineLine), outline))
                return status;

            double first = 0, last = 0;
            innerRange(b.south, b.north, sheet.base.south, graticule.parallelStep, first, last);
            for (int k = 0;; ++k) {
                const double latitude = static_cast<double>(k) * graticule.parallelStep + first;
                if (!notAbove(latitude, last))
                    break;
                double west = 0, east = 0;
                if (!ends(true, latitude, west, east))
                    continue;
                values.latitudes.push_back(latitude);
                work.clear();
                addParallel(latitude, west, east, kParallelVertexSpacing, true, work);
                if (const int status =
                        layer.writeSimpleLine(createHypsLAtt(kParallelLine, latitude), work))
                    return status;
            }

            innerRange(b.west, b.east, sheet.base.west, graticule.meridianStep, first, last);
            for (int k = 0;; ++k) {
                const double longitude = static_cast<double>(k) * graticule.meridianStep + first;
                if (!notAbove(longitude, last))
                    break;
                double south = 0, north = 0;
                if (!ends(false, longitude, south, north))
                    continue;
                values.longitudes.push_back(longitude);
                work.clear();
                addMeridian(longitude, south, north, kMeridianVertexSpacing, true, work);
                if (const int status =
                        layer.writeSimpleLine(createHypsLAtt(kMeridianLine, longitude), work))
                    return status;
            }

            // The Arctic Circle, strictly inside the sheet and clear of both edges;
            // its latitude is no graticule value and stays out of the list.
            const bool clearOfEdges =
                std::fabs(b.north - kArcticCircleLatitude) > kArcticCircleMargin &&
                std::fabs(b.south - kArcticCircleLatitude) > kArcticCircleMargin;
            if (clearOfEdges && b.south < kArcticCircleLatitude &&
                kArcticCircleLatitude < b.north) {
                double west = 0, east = 0;
                if (ends(true, kArcticCircleLatitude, west, east)) {
                    work.clear();
                    addParallel(kArcticCircleLatitude, west, east, kParallelVertexSpacing, true,
                                work);
                    if (const int status =
                            layer.writeSimpleLine(createHypsLAtt(kArcticCircleLine), work))
                        return status;
                }
            }
            return 0;
        });
}

} // namespace sheetjob::layers
