#include "sheetjob/layers/SheetLayers.h"

#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/geometry/DatumShift.h"
#include "sheetjob/geometry/Tolerance.h"
#include "sheetjob/layers/Graticule.h"

#include <algorithm>
#include <cmath>

namespace sheetjob::layers {
namespace {

using geometry::eqWithTolerance;

// Graticule points of a 1:1 000 000 sheet are twice as sparse as those of a
// 1:200 000 sheet (the vertex spacings stay).
constexpr double kSparserPoints = 2.0;
constexpr double kFullTurn = 360.0; // widest possible trapezium, degrees of longitude
constexpr double kHalfTurn = 180.0; // highest possible trapezium, degrees of latitude
constexpr int kGraticuleFailed = 1; // any failure of a graticule layer

// The values the graticule arithmetic walks with must be finite, and the
// trapezium no larger than the globe (such a trapezium would only fill the disk).
common::Outcome checkTrapezium(const model::Job& job) {
    const geometry::Trapezium r = job.result;
    const geometry::Trapezium b = job.base();
    for (const double v : {r.west, r.east, r.south, r.north, b.west, b.east, b.south, b.north})
        if (!std::isfinite(v))
            return common::Failure{kGraticuleFailed,
                                   "the sheet's trapezium holds a value that is not a number"};
    if (std::fabs(r.east - r.west) > kFullTurn || std::fabs(r.north - r.south) > kHalfTurn)
        return common::Failure{kGraticuleFailed, "the sheet's trapezium spans more than the globe"};
    return std::nullopt;
}

// Adds an edge value that lies on the graticule to the list the frame receives,
// then sorts the list ascending.
void completeList(std::vector<double>& list, double low, double high, double origin, double step) {
    if (eqWithTolerance(startGradValue(low, origin, step), low))
        plusUniqueValue(list, low);
    if (eqWithTolerance(endGradValue(high, origin, step), high))
        plusUniqueValue(list, high);
    if (list.size() > 1)
        std::sort(list.begin(), list.end());
}

} // namespace

SheetGeometry settleSheet(const model::Job& job) {
    SheetGeometry sheet;
    sheet.coordSystem = job.coordSystem;
    sheet.base = job.base();
    sheet.result = job.result;
    sheet.bounds = job.result;
    const geometry::Trapezium& r = job.result;
    Corners& c = sheet.corners;
    c.nw = {r.west, r.north};
    c.ne = {r.east, r.north};
    c.sw = {r.west, r.south};
    c.se = {r.east, r.south};
    if (job.coordSystem.shiftedFromSk42()) {
        for (geometry::Point* p : {&c.nw, &c.ne, &c.sw, &c.se})
            geometry::sk42_To_Gsk2011(*p);
        // The graticule keeps inside all four shifted corners.
        sheet.bounds.west = std::max(c.nw.x, c.sw.x);
        sheet.bounds.east = std::min(c.ne.x, c.se.x);
        sheet.bounds.south = std::max(c.sw.y, c.se.y);
        sheet.bounds.north = std::min(c.nw.y, c.ne.y);
    }
    return sheet;
}

common::Outcome createHyps(const SheetGeometry& sheet, int setScale, const std::string& sheetName,
                           const geometry::Graticule& graticule, const common::Folder& folder,
                           GraticuleValues& values) {
    geometry::VertexSpacing points{kParallelVertexSpacing, kMeridianVertexSpacing};
    if (setScale != nomenclature::kSeries200k)
        points = {kParallelVertexSpacing * kSparserPoints, kMeridianVertexSpacing * kSparserPoints};
    geometry::Vertices outline;
    if (auto failure = createHypsA(sheet, sheetName, points, folder, outline))
        return common::Failure{kGraticuleFailed, failure->reason};
    if (auto failure = createHypsL(sheet, graticule, outline, folder, values))
        return common::Failure{kGraticuleFailed, failure->reason};
    return std::nullopt;
}

common::Outcome writeGraticuleLayers(const model::Job& job, const common::Folder& hyps,
                                     frame::FrameJob& frameJob) {
    // A trapezium that cannot be drawn settles harmlessly; it is refused below.
    return writeGraticuleLayers(job, settleSheet(job), hyps, frameJob);
}

common::Outcome writeGraticuleLayers(const model::Job& job, const SheetGeometry& sheet,
                                     const common::Folder& hyps, frame::FrameJob& frameJob,
                                     WrittenLayers* written) {
    if (auto failure = checkTrapezium(job))
        return failure;
    const nomenclature::Sheet& s = job.sheet;

    frameJob = frame::FrameJob{};
    frameJob.neighbours.west = s.adjacentNomenclature(nomenclature::kWest);
    frameJob.neighbours.east = s.adjacentNomenclature(nomenclature::kEast);
    frameJob.neighbours.north = s.adjacentNomenclature(nomenclature::kNorth);
    frameJob.neighbours.south = s.adjacentNomenclature(nomenclature::kSouth);

    GraticuleValues values;
    if (auto failure = createHyps(sheet, s.setScale, s.nomenclature(), job.graticule, hyps, values))
        return failure;
    if (written != nullptr) {
        written->push_back({LayerKind::SheetPolygon, std::string(kHypsA), {}});
        written->push_back({LayerKind::GraticuleLines, std::string(kHypsL), {}});
        written->push_back({LayerKind::GraticulePoints, std::string(kHypsP), {}});
    }
    // Edges on the graticule carry no line but the frame labels them.
    completeList(values.latitudes, sheet.bounds.south, sheet.bounds.north, sheet.base.south,
                 job.graticule.parallelStep);
    completeList(values.longitudes, sheet.bounds.west, sheet.bounds.east, sheet.base.west,
                 job.graticule.meridianStep);

    frameJob.coordSystem = job.coordSystem;
    frameJob.setScale = s.setScale;
    frameJob.mapScale = job.mapScale;
    frameJob.bounds = sheet.bounds;
    frameJob.spacing = {kParallelVertexSpacing, kMeridianVertexSpacing};
    frameJob.base = sheet.base;
    frameJob.result = sheet.result;
    frameJob.xMinute = job.graticule.xMinute;
    frameJob.yMinute = job.graticule.yMinute;
    frameJob.latitudes = std::move(values.latitudes);
    frameJob.longitudes = std::move(values.longitudes);
    return std::nullopt;
}

common::Outcome createSheetLayers(const model::Job& job, const common::Folder& hyps,
                                  const common::Folder& frameFolder) {
    return createSheetLayers(job, settleSheet(job),
                             frame::setRamkParameters(job.sheet.setScale, job.mapScale), hyps,
                             frameFolder);
}

common::Outcome createSheetLayers(const model::Job& job, const SheetGeometry& sheet,
                                  const frame::FrameLayout& layout, const common::Folder& hyps,
                                  const common::Folder& frameFolder, WrittenLayers* written) {
    frame::FrameJob frameJob;
    if (auto failure = writeGraticuleLayers(job, sheet, hyps, frameJob, written))
        return failure;
    frame::FrameWritten frame;
    if (auto failure = frame::createRamk(frameJob, layout, frameFolder, &frame))
        return failure;
    if (written != nullptr) {
        constexpr std::pair<int, LayerKind> kinds[] = {
            {frame::kFrameLayer, LayerKind::Frame},
            {frame::kFrameAdjLayer, LayerKind::NeighbourNames},
            {frame::kFrameDigLayer, LayerKind::ValueLabels}};
        for (const auto& [index, kind] : kinds)
            if (frame.layers[static_cast<std::size_t>(index)])
                written->push_back(
                    {kind, std::string(frame::kFrameLayerNames[static_cast<std::size_t>(index)]),
                     kind == LayerKind::Frame ? frame.kinds
                                              : std::vector<frame::FrameRecordKind>{}});
    }
    return std::nullopt;
}

} // namespace sheetjob::layers
