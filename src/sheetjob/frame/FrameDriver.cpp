#include "sheetjob/frame/FrameDriver.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Path.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/frame/FrameSink.h"
#include "sheetjob/frame/MinuteFrame.h"
#include "sheetjob/shapefile/ShapeLayer.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace sheetjob::frame {

namespace {

constexpr int kCodeWidth = 8;         // "L_code": integer, 8 digits
constexpr int kTextWidth = 100;       // "Text", "Font", "Size": 100 characters
constexpr double kMaxLatitude = 90.0; // a parallel's length vanishes at the poles
constexpr double kMinutesPerDegree = 60.0;

const std::array<const char*, kFrameLayerCount> kBaseNames = {"Frame", "FrameAdj", "FrameDig"};

std::vector<shapefile::FieldDef> lineFields() {
    return {{"L_code", {shapefile::kInteger, kCodeWidth, 0}}};
}

std::vector<shapefile::FieldDef> labelFields() {
    return {{"L_code", {shapefile::kInteger, kCodeWidth, 0}},
            {"Text", {shapefile::kCharacter, kTextWidth, 0}},
            {"Font", {shapefile::kCharacter, kTextWidth, 0}},
            {"Size", {shapefile::kCharacter, kTextWidth, 0}}};
}

/// Writes the frame records into the open shapefile layers.
class LayerSink : public FrameSink {
  public:
    explicit LayerSink(std::array<shapefile::ShapeLayer, kFrameLayerCount>& layers)
        : layers_(layers) {}
    int write(FrameRecordKind kind, const std::string& attributes,
              const geometry::Vertices& v) override {
        const int layer = layerOf(kind);
        if (layer < 0 || layer >= kFrameLayerCount ||
            !layers_[static_cast<size_t>(layer)].isOpen()) {
            failure_ = "a frame record was meant for a layer that is not open";
            return shapefile::kShapeWriteFailed;
        }
        auto& target = layers_[static_cast<size_t>(layer)];
        const int status = shapefile::writeSimpleLine(target, attributes, v);
        if (status != shapefile::kOk)
            failure_ = std::string("record ") + std::to_string(target.recordCounter) + " of " +
                       kBaseNames[static_cast<size_t>(layer)] + " could not be written (status " +
                       std::to_string(status) + ")" +
                       (target.lastError().empty() ? "" : ": " + target.lastError());
        return status;
    }
    [[nodiscard]] const std::string& failure() const { return failure_; }

  private:
    std::array<shapefile::ShapeLayer, kFrameLayerCount>& layers_;
    std::string failure_;
};

bool finite(double v) { return std::isfinite(v); }

/// Why the frame cannot be drawn in bounded time, or "" when it can. The
/// routines guard themselves as well; this names the cause for the person.
std::string refusal(const FrameJob& job, const FrameLayout& layout) {
    const double W = job.west, E = job.east, S = job.south, N = job.north;
    if (!(finite(W) && finite(E) && finite(S) && finite(N)))
        return "the frame trapezium has a value that is not a number";
    if (!(S > -kMaxLatitude && N < kMaxLatitude))
        return "the frame trapezium reaches a pole";
    if (!(job.stepLon > 0 && finite(job.stepLon)) || !(job.stepLat > 0 && finite(job.stepLat)))
        return "the frame's vertex spacing is not a positive number";
    // The order of the bounds is the job's own (a reversed trapezium is drawn as
    // given); only the number of steps along a side is bounded.
    if (!(std::fabs(E - W) / job.stepLon <= kMaxLineSteps) ||
        !(std::fabs(N - S) / job.stepLat <= kMaxLineSteps))
        return "the frame's vertex spacing is too fine for the trapezium";
    if (!(finite(job.baseWest) && finite(job.baseEast) && finite(job.baseSouth) &&
          finite(job.baseNorth) && finite(job.resultWest) && finite(job.resultEast) &&
          finite(job.resultSouth) && finite(job.resultNorth)))
        return "the base or result trapezium has a value that is not a number";
    for (double v : job.latitudes)
        if (!(finite(v) && v > -kMaxLatitude && v < kMaxLatitude))
            return "a graticule parallel is not a latitude";
    for (double v : job.longitudes)
        if (!finite(v))
            return "a graticule meridian is not a number";
    if (layout.minuteFrameOn) {
        if (!(job.xMinute > 0) || !(job.yMinute > 0))
            return "the minute frame's division is not a positive number of minutes (xMinute " +
                   std::to_string(job.xMinute) + ", yMinute " + std::to_string(job.yMinute) + ")";
        const double hx = job.xMinute / kMinutesPerDegree;
        const double hy = job.yMinute / kMinutesPerDegree;
        if (!(std::fabs(job.baseWest - W) / hx <= kMaxDivisions) ||
            !(std::fabs(job.baseSouth - S) / hy <= kMaxDivisions))
            return "the minute frame's divisions start too far from the trapezium";
        if (!(std::fabs(E - W) / hx <= kMaxDivisions) || !(std::fabs(N - S) / hy <= kMaxDivisions))
            return "the minute frame would have far too many divisions";
    }
    return "";
}

} // namespace

int createRamk(const FrameJob& job, std::string& reason) {
    const FrameLayout layout = setRamkParameters(job.setScale, job.mapScale);

    const bool open[kFrameLayerCount] = {
        layout.outerFrameKind != 0 || layout.minuteFrameOn || layout.outletsOn,
        layout.adjacentOn && layout.outerFrameKind != 0,
        layout.digitsOn,
    };
    if (!open[0] && !open[1] && !open[2])
        return kFrameOk; // a map with no frame: the FRAME folder stays empty

    if (const std::string why = refusal(job, layout); !why.empty()) {
        reason = "the frame cannot be drawn: " + why;
        return kFrameWriteFailed;
    }

    // Closed on every path; a layer that fails part-way keeps what was written.
    std::array<shapefile::ShapeLayer, kFrameLayerCount> layers;
    const std::string folder = common::rtrim(job.framePath);
    for (int i = 0; i < kFrameLayerCount; ++i) {
        if (!open[i])
            continue;
        const std::string path = common::joinPath(folder, kBaseNames[static_cast<size_t>(i)]);
        const int status = shapefile::openNewShapefile(
            job.coordSystem, shapefile::kPolyLine, path,
            i == kFrameLayer ? lineFields() : labelFields(), layers[static_cast<size_t>(i)]);
        if (status != shapefile::kOk) {
            reason = "layer " + common::cp1251ToUtf8(path) + " could not be opened (status " +
                     std::to_string(status) + ")";
            const std::string& detail = layers[static_cast<size_t>(i)].lastError();
            if (!detail.empty())
                reason += ": " + detail;
            return kFrameOpenFailed;
        }
        layers[static_cast<size_t>(i)].recordCounter = 0;
        layers[static_cast<size_t>(i)].identifierCounter = 0;
    }

    LayerSink sink(layers);
    if (drawFrame(job, layout, sink) != kFrameOk) {
        reason = "the frame could not be written: " +
                 (sink.failure().empty() ? std::string("a frame line could not be built")
                                         : sink.failure());
        return kFrameWriteFailed;
    }

    for (int i = 0; i < kFrameLayerCount; ++i) {
        auto& layer = layers[static_cast<size_t>(i)];
        if (!layer.isOpen())
            continue;
        // A layer whose files could not be completed is not a written layer.
        if (const int status = shapefile::closeNewShapefile(layer); status != shapefile::kOk) {
            reason = std::string("layer ") + kBaseNames[static_cast<size_t>(i)] +
                     " could not be completed (status " + std::to_string(status) + ")" +
                     (layer.lastError().empty() ? "" : ": " + layer.lastError());
            return kFrameWriteFailed;
        }
    }
    return kFrameOk;
}

} // namespace sheetjob::frame
