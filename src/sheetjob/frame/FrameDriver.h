#pragma once
// The frame driver: opens the Frame, FrameAdj and FrameDig layers that the
// job's scales call for, draws the minute frame, the outer frame, the outlets
// and the labels, and closes the layers.

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/frame/FrameSink.h"
#include "sheetjob/geometry/CoordSystem.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Trapezium.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sheetjob::frame {

struct FrameLayout;

/// Base names of the frame layers, by FrameLayerIndex.
constexpr std::array<std::string_view, kFrameLayerCount> kFrameLayerNames = {"Frame", "FrameAdj",
                                                                             "FrameDig"};

/// The names of the neighbouring sheets (Windows-1251), each on its own side.
struct Neighbours {
    std::string north, south, west, east;
};

/// Everything the frame needs, as the sheet-layer driver hands it over.
struct FrameJob {
    geometry::CoordSystem coordSystem;
    int setScale = 0;           ///< 0: 1:200 000 series; any other: 1:1 000 000
    int mapScale = 0;           ///< 0..2: the series' own scale or a smaller one
    geometry::Trapezium bounds; ///< the frame trapezium
    geometry::VertexSpacing spacing{0.125, 0.08333333333333333}; ///< 7'30" and 5'
    geometry::Trapezium base;                                    ///< the sheet's base trapezium
    /// The result trapezium before any datum shift: whether a side keeps its
    /// neighbour's label is judged on it, so that a shifted sheet keeps them.
    geometry::Trapezium result;
    int xMinute = 0; ///< minute-scale division along the parallels
    int yMinute = 0; ///< and along the meridians
    Neighbours neighbours;
    std::vector<double> latitudes;  ///< graticule parallels, ascending
    std::vector<double> longitudes; ///< graticule meridians, ascending
};

/// Which of the frame layers (by FrameLayerIndex) a layout draws: Frame for an
/// outer frame, a minute frame or outlets, FrameAdj for neighbour names on an
/// outer frame, FrameDig for value labels.
std::array<bool, kFrameLayerCount> frameLayersDrawn(const FrameLayout& layout);

/// What the frame driver wrote: which of its layers (by FrameLayerIndex), and
/// the kind of every Frame record in writing order.
struct FrameWritten {
    std::array<bool, kFrameLayerCount> layers{};
    std::vector<FrameRecordKind> kinds;
};

/// Draws the frame layers that `layout` calls for into `folder`: Frame,
/// FrameAdj, FrameDig. A failure is status 1 (a layer could not be opened) or 2
/// (a record could not be written, or the frame cannot be drawn), with one line.
/// On success `written`, when given, says what was written.
common::Outcome createRamk(const FrameJob& job, const FrameLayout& layout,
                           const common::Folder& folder, FrameWritten* written = nullptr);
/// The same with the layout of the job's scales (setRamkParameters).
common::Outcome createRamk(const FrameJob& job, const common::Folder& folder,
                           FrameWritten* written = nullptr);

/// Draws the frame of `job` with `layout` into `sink`, in the order the layers
/// receive their records: minute frame, outer frame, outlets, labels. Returns 0
/// or 2 (a record could not be written or a line not built).
int drawFrame(const FrameJob& job, const FrameLayout& layout, FrameSink& sink);

} // namespace sheetjob::frame
