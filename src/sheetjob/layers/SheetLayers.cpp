#include "sheetjob/layers/SheetLayers.h"

#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/geometry/DatumShift.h"
#include "sheetjob/layers/Graticule.h"
#include "sheetjob/layers/HypsLayers.h"
#include "sheetjob/nomenclature/Nomenclature.h"

#include <algorithm>
#include <cmath>

namespace sheetjob::layers {
namespace {

using geometry::eqWithTolerance;

// Direction codes of the neighbours.
constexpr int kWestward = -1;
constexpr int kEastward = 1;
constexpr int kNorthward = 2;
constexpr int kSouthward = -2;

// Graticule points of a 1:1 000 000 sheet are twice as sparse as those of a
// 1:200 000 sheet (the vertex spacings stay).
constexpr double kSparserPoints = 2.0;
constexpr double kFullTurn = 360.0; // widest possible trapezium, degrees of longitude
constexpr double kHalfTurn = 180.0; // highest possible trapezium, degrees of latitude

// The values the graticule arithmetic walks with must be finite, and the steps
// larger than the tolerance (smaller ones cannot be told apart from their
// neighbours, and a step of zero or less would never reach the sheet's edge).
bool validJob(const job::JobParameters& job, std::string& reason) {
    const double values[] = {job.xFrom,    job.xTo,      job.yFrom,     job.yTo,
                             job.BaseWest, job.BaseEast, job.BaseSouth, job.BaseNorth};
    for (const double v : values) {
        if (!std::isfinite(v)) {
            reason = "the sheet's trapezium holds a value that is not a number";
            return false;
        }
    }
    // No sheet spans more than the globe; such a trapezium would only fill the disk.
    if (std::fabs(job.xTo - job.xFrom) > kFullTurn || std::fabs(job.yTo - job.yFrom) > kHalfTurn) {
        reason = "the sheet's trapezium spans more than the globe";
        return false;
    }
    if (!(job.MeridianStep > geometry::kTolerance) || !std::isfinite(job.MeridianStep)) {
        reason = "the meridian spacing must be a positive number of degrees";
        return false;
    }
    if (!(job.ParallelStep > geometry::kTolerance) || !std::isfinite(job.ParallelStep)) {
        reason = "the parallel spacing must be a positive number of degrees";
        return false;
    }
    return true;
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

int createHyps(const HypsJob& job, std::vector<double>& latitudes, std::vector<double>& longitudes,
               std::string& reason) {
    HypsAJob a;
    a.coordSystem = job.coordSystem;
    a.sheetName = job.sheetName;
    a.hypsPath = job.hypsPath;
    a.baseWest = job.baseWest;
    a.xFrom = job.xFrom;
    a.xTo = job.xTo;
    a.lonVertexSpacing = kParallelVertexSpacing;
    a.baseSouth = job.baseSouth;
    a.yFrom = job.yFrom;
    a.yTo = job.yTo;
    a.latVertexSpacing = kMeridianVertexSpacing;
    a.lonPointSpacing = kParallelVertexSpacing;
    a.latPointSpacing = kMeridianVertexSpacing;
    if (job.setScale != 0) {
        a.lonPointSpacing = kParallelVertexSpacing * kSparserPoints;
        a.latPointSpacing = kMeridianVertexSpacing * kSparserPoints;
    }
    a.corners = job.corners;

    geometry::Vertices outline;
    if (createHypsA(a, outline, reason) != 0)
        return 1;

    HypsLJob l;
    l.coordSystem = job.coordSystem;
    l.hypsPath = job.hypsPath;
    l.baseWest = job.baseWest;
    l.west = job.west;
    l.east = job.east;
    l.lonVertexSpacing = kParallelVertexSpacing;
    l.baseSouth = job.baseSouth;
    l.south = job.south;
    l.north = job.north;
    l.latVertexSpacing = kMeridianVertexSpacing;
    l.meridianStep = job.meridianStep;
    l.parallelStep = job.parallelStep;
    if (createHypsL(l, outline, latitudes, longitudes, reason) != 0)
        return 1;
    return 0;
}

int writeGraticuleLayers(const job::JobParameters& job, frame::FrameJob& frameJob,
                         std::string& reason) {
    if (!validJob(job, reason))
        return 1;

    Corners corners;
    corners.nw = {job.xFrom, job.yTo};
    corners.ne = {job.xTo, job.yTo};
    corners.sw = {job.xFrom, job.yFrom};
    corners.se = {job.xTo, job.yFrom};
    double west = job.xFrom, east = job.xTo, south = job.yFrom, north = job.yTo;
    if (job.CoordSystem == job::kGSK2011SK42) {
        for (geometry::Point* p : {&corners.nw, &corners.ne, &corners.sw, &corners.se})
            geometry::sk42_To_Gsk2011(*p);
        // The graticule keeps inside all four shifted corners.
        west = std::max(corners.nw.x, corners.sw.x);
        east = std::min(corners.ne.x, corners.se.x);
        south = std::max(corners.sw.y, corners.se.y);
        north = std::min(corners.nw.y, corners.ne.y);
    }

    const std::string sheetName = nomenclature::nomenclature(job.SetScale, job.yZone, job.xZone,
                                                             job.SheetNumber, job.SheetType);
    auto neighbour = [&](int direction) {
        return nomenclature::adjacentNomenclature(direction, job.SetScale, job.yZone, job.xZone,
                                                  job.SheetNumber, job.SheetType);
    };
    frameJob = frame::FrameJob{};
    frameJob.westName = neighbour(kWestward);
    frameJob.eastName = neighbour(kEastward);
    frameJob.northName = neighbour(kNorthward);
    frameJob.southName = neighbour(kSouthward);

    HypsJob hyps;
    hyps.coordSystem = job.CoordSystem;
    hyps.setScale = job.SetScale;
    hyps.sheetName = sheetName;
    hyps.hypsPath = job.ResultPath;
    hyps.baseWest = job.BaseWest;
    hyps.baseSouth = job.BaseSouth;
    hyps.xFrom = job.xFrom;
    hyps.xTo = job.xTo;
    hyps.yFrom = job.yFrom;
    hyps.yTo = job.yTo;
    hyps.meridianStep = job.MeridianStep;
    hyps.parallelStep = job.ParallelStep;
    hyps.west = west;
    hyps.east = east;
    hyps.south = south;
    hyps.north = north;
    hyps.corners = corners;
    if (createHyps(hyps, frameJob.latitudes, frameJob.longitudes, reason) != 0)
        return 1;
    // Edges on the graticule carry no line but the frame labels them.
    completeList(frameJob.latitudes, south, north, job.BaseSouth, job.ParallelStep);
    completeList(frameJob.longitudes, west, east, job.BaseWest, job.MeridianStep);

    frameJob.coordSystem = job.CoordSystem;
    frameJob.setScale = job.SetScale;
    frameJob.mapScale = job.MapScale;
    frameJob.yZone = job.yZone;
    frameJob.xZone = job.xZone;
    frameJob.sheetNumber = job.SheetNumber;
    frameJob.sheetType = job.SheetType;
    frameJob.framePath = job.FramePath;
    frameJob.west = west;
    frameJob.east = east;
    frameJob.stepLon = kParallelVertexSpacing;
    frameJob.south = south;
    frameJob.north = north;
    frameJob.stepLat = kMeridianVertexSpacing;
    frameJob.baseWest = job.BaseWest;
    frameJob.baseEast = job.BaseEast;
    frameJob.baseSouth = job.BaseSouth;
    frameJob.baseNorth = job.BaseNorth;
    frameJob.resultWest = job.xFrom;
    frameJob.resultEast = job.xTo;
    frameJob.resultSouth = job.yFrom;
    frameJob.resultNorth = job.yTo;
    frameJob.xMinute = job.xMinute;
    frameJob.yMinute = job.yMinute;
    frameJob.nw = corners.nw;
    frameJob.ne = corners.ne;
    frameJob.sw = corners.sw;
    frameJob.se = corners.se;
    return 0;
}

int createSheetLayers(job::JobParameters& job, std::string& reason) {
    frame::FrameJob frameJob;
    job.Status = writeGraticuleLayers(job, frameJob, reason);
    if (job.Status == 0)
        job.Status = frame::createRamk(frameJob, reason);
    return job.Status;
}

} // namespace sheetjob::layers
