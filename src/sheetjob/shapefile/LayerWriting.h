#pragma once
// One way to write a layer: open it, let the caller write its records, close
// it, and report a failure as one line naming the layer and why.

#include "sheetjob/common/Failure.h"
#include "sheetjob/shapefile/ShapeLayer.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sheetjob::shapefile {

/// Statuses of a layer routine.
enum LayerStatus : int {
    kLayerWritten = 0,
    kLayerNotOpened = 1,  ///< the layer could not be opened
    kLayerNotWritten = 2, ///< a record could not be written, or the layer not completed
};

/// What a layer is and where it goes.
struct LayerSpec {
    const common::Folder& folder;
    std::string baseName; ///< Windows-1251
    int shapeType = kPolyLine;
    const std::vector<FieldDef>& fields;
    geometry::CoordSystem coordSystem;
};

/// Writes the records of one layer: `records` returns 0, or the writer status
/// of the record that failed (the rest of the layer is then not written).
using RecordWriter = std::function<int(ShapeLayer&)>;

/// Opens the layer, writes its records and closes it. On failure nothing of
/// the layer is left, and the failure says which layer and why.
common::Outcome writeLayer(const LayerSpec& what, const RecordWriter& records);

/// The one line that reports a failed layer: its path, what failed, and the
/// writer's reason.
std::string layerFailure(const ShapeLayer& layer, std::string_view what);

} // namespace sheetjob::shapefile
