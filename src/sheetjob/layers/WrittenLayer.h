#pragma once
// What a run wrote, as the stage that wrote each layer reports it: the
// QGIS files style and list exactly these layers, without working out again
// which ones a job has.

#include "sheetjob/frame/FrameSink.h"

#include <string>
#include <vector>

namespace sheetjob::layers {

/// The layers a run writes.
enum class LayerKind {
    SheetPolygon,    ///< HYPS/HypsA
    GraticuleLines,  ///< HYPS/HypsL
    GraticulePoints, ///< HYPS/HypsP
    Frame,           ///< FRAME/Frame
    NeighbourNames,  ///< FRAME/FrameAdj
    ValueLabels,     ///< FRAME/FrameDig
    SubSheet50k,     ///< HYPS_50/<sheet name>
    SubSheet25k,     ///< HYPS_25/<sheet name>
};

/// One layer written complete.
struct WrittenLayer {
    LayerKind kind = LayerKind::SheetPolygon;
    std::string baseName; ///< file name without extension, Windows-1251
    /// Frame only: the kind of every record in "Id" order. The minute frame's
    /// lines, ticks and fills share one "L_code"; a style tells them apart by these.
    std::vector<frame::FrameRecordKind> recordKinds;
};

using WrittenLayers = std::vector<WrittenLayer>;

} // namespace sheetjob::layers
