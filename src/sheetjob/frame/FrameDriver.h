#pragma once
// The frame driver: opens the Frame, FrameAdj and FrameDig layers that the
// job's scales call for, draws the minute frame, the outer frame, the outlets
// and the labels, and closes the layers.

#include "sheetjob/geometry/Geometry.h"

#include <string>
#include <vector>

namespace sheetjob::frame {

struct FrameLayout;
class FrameSink;

/// Everything the frame needs, as the sheet-layer driver hands it over.
struct FrameJob {
    int coordSystem = 1;
    int setScale = 0;
    int mapScale = 0;
    int yZone = 0, xZone = 0, sheetNumber = 0, sheetType = 0;   // passed along, not used
    std::string northName, southName, westName, eastName;       ///< neighbours (Windows-1251)
    std::string framePath;                                      ///< FRAME folder (Windows-1251)
    double west = 0, east = 0, stepLon = 0.125;                 ///< frame trapezium W, E
    double south = 0, north = 0, stepLat = 0.08333333333333333; ///< S, N
    double baseWest = 0, baseEast = 0, baseSouth = 0, baseNorth = 0;
    /// The result trapezium before any datum shift (xFrom, xTo, yFrom, yTo): whether a
    /// side keeps its neighbour's label is judged on it, so that a shifted sheet keeps them.
    double resultWest = 0, resultEast = 0, resultSouth = 0, resultNorth = 0;
    int xMinute = 0, yMinute = 0;
    std::vector<double> latitudes;  ///< graticule parallels, ascending
    std::vector<double> longitudes; ///< graticule meridians, ascending
    geometry::Point nw, ne, sw, se;
};

/// Returns 0, 1 (a layer could not be opened) or 2 (a record could not be written);
/// `reason` gets a one-line explanation (UTF-8) on failure.
int createRamk(const FrameJob& job, std::string& reason);

/// Draws the frame of `job` with `layout` into `sink`, in the order the layers
/// receive their records: minute frame, outer frame, outlets, labels. Returns 0
/// or 2 (a record could not be written or a line not built).
int drawFrame(const FrameJob& job, const FrameLayout& layout, FrameSink& sink);

} // namespace sheetjob::frame
