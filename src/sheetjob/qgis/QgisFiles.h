#pragma once
// The QGIS files of a run: a style beside every layer (<layer>.qml, loaded by
// QGIS as the layer's default style) and a project (<sheet name>.qgs) that
// shows the sheet in the projection of its map with a print layout at the
// map's scale. Pure text generators: the caller writes the files.

#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/frame/FrameSink.h"
#include "sheetjob/geometry/CoordSystem.h"
#include "sheetjob/layers/WrittenLayer.h"

#include <string>
#include <vector>

namespace sheetjob::qgis {

/// The sheet, as the run that wrote the layers knows it.
struct SheetInfo {
    geometry::CoordSystem coordSystem; ///< the system the layers are written in follows from it
    int setScale = 0;                  ///< 0 = 1:200 000 set, 1 = 1:1 000 000 set
    std::string name; ///< the sheet's name, UTF-8: "N-37-XIV", "N-37-XIV,XV", "N-37"
    /// The frame trapezium as written (for code 4 the shifted one): degrees,
    /// longitudes east of Greenwich in 0..360 (an east edge may pass 360).
    double west = 0.0, east = 0.0, south = 0.0, north = 0.0;
    /// The frame's design for the job's scales: frame::setRamkParameters(setScale, mapScale).
    /// Its scaleDenominator is the map scale of the print layout.
    frame::FrameLayout layout;
};

/// The layers a run writes, as the layers name them.
using layers::LayerKind;

/// One written layer.
struct LayerInfo {
    LayerKind kind = LayerKind::SheetPolygon;
    std::string folder;   ///< folder under the result folder: "HYPS", "FRAME", "HYPS_50", "HYPS_25"
    std::string baseName; ///< file name without extension, UTF-8: "HypsA", "N-37-51-А"
    /// Frame only: the kind of every record in "Id" order (Id 1 first). The
    /// minute frame's lines, ticks and fills share one "L_code"; the style
    /// tells them apart by these ids.
    std::vector<frame::FrameRecordKind> recordKinds;
};

/// True for the kinds whose layers all have one style (the sub-sheet frames):
/// their style does not depend on the layer's name, and may be made once.
inline bool sharesItsStyle(LayerKind kind) {
    return kind == LayerKind::SubSheet50k || kind == LayerKind::SubSheet25k;
}

/// The text of the layer's style file, to be written as
/// <result folder>/<folder>/<baseName>.qml (UTF-8).
std::string layerStyle(const SheetInfo& sheet, const LayerInfo& layer);

/// The text of the project, to be written as <result folder>/<projectFileName>
/// (UTF-8): the layers by relative path, grouped by folder, each with its
/// style; the project system; a print layout at the map scale.
std::string projectText(const SheetInfo& sheet, const std::vector<LayerInfo>& layers);

/// "<sheet name>.qgs".
std::string projectFileName(const SheetInfo& sheet);

} // namespace sheetjob::qgis
