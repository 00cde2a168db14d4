#include "sheetjob/frame/FrameDriver.h"

#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/frame/FrameSink.h"
#include "sheetjob/frame/MinuteFrame.h"
#include "sheetjob/frame/OuterFrame.h"
#include "sheetjob/shapefile/LayerWriting.h"
#include "sheetjob/shapefile/ShapeLayer.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace sheetjob::frame {

namespace {

constexpr double kMaxLatitude = 90.0; // a parallel's length vanishes at the poles
constexpr double kMinutesPerDegree = 60.0;

/// The three frame layers: the lines, and the two label layers.
struct FrameLayers {
    shapefile::Layer<decltype(kFrameLineSchema)> lines{kFrameLineSchema};
    shapefile::Layer<decltype(kFrameLabelSchema)> neighbours{kFrameLabelSchema};
    shapefile::Layer<decltype(kFrameLabelSchema)> values{kFrameLabelSchema};

    [[nodiscard]] const shapefile::ShapeLayer& shape(int index) const {
        return index == kFrameLayer      ? lines.shape()
               : index == kFrameAdjLayer ? neighbours.shape()
                                         : values.shape();
    }
    int open(int index, geometry::CoordSystem coordSystem, const common::Folder& folder) {
        const std::string name(kFrameLayerNames[static_cast<std::size_t>(index)]);
        if (index == kFrameLayer)
            return lines.open(coordSystem, shapefile::kPolyLine, folder, name);
        auto& labels = index == kFrameAdjLayer ? neighbours : values;
        return labels.open(coordSystem, shapefile::kPolyLine, folder, name);
    }
    int close(int index) {
        return index == kFrameLayer      ? lines.close()
               : index == kFrameAdjLayer ? neighbours.close()
                                         : values.close();
    }
};

/// Writes the frame records into the open shapefile layers.
class LayerSink : public FrameSink {
  public:
    LayerSink(FrameLayers& layers, std::vector<FrameRecordKind>* kinds)
        : layers_(layers), kinds_(kinds) {}
    int write(FrameRecordKind kind, const FrameRecord& record,
              const geometry::Vertices& v) override {
        const int index = layerOf(kind);
        const int status = index == kFrameLayer      ? layers_.lines.writeSimpleLine(record, v)
                           : index == kFrameAdjLayer ? layers_.neighbours.writeSimpleLine(record, v)
                                                     : layers_.values.writeSimpleLine(record, v);
        if (status != shapefile::kOk)
            failed_ = &layers_.shape(index);
        else if (kinds_ != nullptr && index == kFrameLayer)
            kinds_->push_back(kind);
        return status;
    }
    /// The layer whose record failed, if any.
    [[nodiscard]] const shapefile::ShapeLayer* failed() const { return failed_; }

  private:
    FrameLayers& layers_;
    std::vector<FrameRecordKind>* kinds_;
    const shapefile::ShapeLayer* failed_ = nullptr;
};

bool finite(double v) { return std::isfinite(v); }

/// Why the frame cannot be drawn in bounded time, or "" when it can. The
/// routines guard themselves as well; this names the cause for the person.
std::string refusal(const FrameJob& job, const FrameLayout& layout) {
    const double W = job.bounds.west, E = job.bounds.east, S = job.bounds.south,
                 N = job.bounds.north;
    if (!(finite(W) && finite(E) && finite(S) && finite(N)))
        return "the frame trapezium has a value that is not a number";
    if (!(S > -kMaxLatitude && N < kMaxLatitude))
        return "the frame trapezium reaches a pole";
    if (!(job.spacing.lon > 0 && finite(job.spacing.lon)) ||
        !(job.spacing.lat > 0 && finite(job.spacing.lat)))
        return "the frame's vertex spacing is not a positive number";
    // The order of the bounds is the job's own (a reversed trapezium is drawn as
    // given); only the number of steps along a side is bounded.
    if (!(std::fabs(E - W) / job.spacing.lon <= kMaxLineSteps) ||
        !(std::fabs(N - S) / job.spacing.lat <= kMaxLineSteps))
        return "the frame's vertex spacing is too fine for the trapezium";
    if (!(finite(job.base.west) && finite(job.base.east) && finite(job.base.south) &&
          finite(job.base.north) && finite(job.result.west) && finite(job.result.east) &&
          finite(job.result.south) && finite(job.result.north)))
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
        if (!(std::fabs(job.base.west - W) / hx <= kMaxDivisions) ||
            !(std::fabs(job.base.south - S) / hy <= kMaxDivisions))
            return "the minute frame's divisions start too far from the trapezium";
        if (!(std::fabs(E - W) / hx <= kMaxDivisions) || !(std::fabs(N - S) / hy <= kMaxDivisions))
            return "the minute frame would have far too many divisions";
    }
    return "";
}

} // namespace

int drawFrame(const FrameJob& job, const FrameLayout& layout, FrameSink& sink) {
    if (layout.minuteFrameOn && minuteFrameFramework(sink, layout, job) != kFrameOk)
        return kFrameWriteFailed;
    if ((layout.outletsOn || layout.outerFrameKind != 0) &&
        outFrameFramework(sink, layout, job) != kFrameOk)
        return kFrameWriteFailed;
    return kFrameOk;
}

std::array<bool, kFrameLayerCount> frameLayersDrawn(const FrameLayout& layout) {
    std::array<bool, kFrameLayerCount> drawn{};
    drawn[kFrameLayer] = layout.outerFrameKind != 0 || layout.minuteFrameOn || layout.outletsOn;
    drawn[kFrameAdjLayer] = layout.adjacentOn && layout.outerFrameKind != 0;
    drawn[kFrameDigLayer] = layout.digitsOn;
    return drawn;
}

common::Outcome createRamk(const FrameJob& job, const common::Folder& folder,
                           FrameWritten* written) {
    return createRamk(job, setRamkParameters(job.setScale, job.mapScale), folder, written);
}

common::Outcome createRamk(const FrameJob& job, const FrameLayout& layout,
                           const common::Folder& folder, FrameWritten* written) {
    std::vector<FrameRecordKind> kinds;

    const auto open = frameLayersDrawn(layout);
    if (!open[kFrameLayer] && !open[kFrameAdjLayer] && !open[kFrameDigLayer])
        return std::nullopt; // a map with no frame: the FRAME folder stays empty

    if (const std::string why = refusal(job, layout); !why.empty())
        return common::Failure{kFrameWriteFailed, "the frame cannot be drawn: " + why};

    // A layer not closed complete leaves no file behind.
    FrameLayers layers;
    for (int i = 0; i < kFrameLayerCount; ++i) {
        if (open[static_cast<size_t>(i)] &&
            layers.open(i, job.coordSystem, folder) != shapefile::kOk)
            return common::Failure{kFrameOpenFailed,
                                   shapefile::layerFailure(layers.shape(i), "could not be opened")};
    }

    LayerSink sink(layers, written != nullptr ? &kinds : nullptr);
    if (drawFrame(job, layout, sink) != kFrameOk) {
        if (sink.failed() != nullptr)
            return common::Failure{kFrameWriteFailed,
                                   shapefile::layerFailure(*sink.failed(), "could not be written")};
        return common::Failure{kFrameWriteFailed,
                               "the frame could not be written: a frame line could not be built"};
    }
    for (int i = 0; i < kFrameLayerCount; ++i) {
        if (open[static_cast<size_t>(i)] && layers.close(i) != shapefile::kOk)
            return common::Failure{
                kFrameWriteFailed,
                shapefile::layerFailure(layers.shape(i), "could not be completed")};
    }
    if (written != nullptr)
        *written = {open, std::move(kinds)};
    return std::nullopt;
}

} // namespace sheetjob::frame
