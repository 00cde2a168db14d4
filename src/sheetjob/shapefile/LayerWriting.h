#pragma once
// One way to write a layer: open it, let the caller write its records, close
// it, and report a failure as one line naming the layer and why.

#include "sheetjob/common/Failure.h"
#include "sheetjob/shapefile/ShapeLayer.h"

#include <string>
#include <string_view>

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
    geometry::CoordSystem coordSystem;
};

/// The one line that reports a failed layer: its path, what failed, and the
/// writer's reason.
std::string layerFailure(const ShapeLayer& layer, std::string_view what);

/// Opens the layer with the columns of `schema`, hands it to `records` (which
/// returns 0, or the writer status of the record that failed: the rest of the
/// layer is then not written), and closes it. On failure nothing of the layer
/// is left, and the failure says which layer and why.
template <class S, class Records>
common::Outcome writeLayer(const LayerSpec& what, const S& schema, Records&& records) {
    Layer<S> layer(schema);
    if (layer.open(what.coordSystem, what.shapeType, what.folder, what.baseName) != kOk)
        return common::Failure{kLayerNotOpened, layerFailure(layer.shape(), "could not be opened")};
    if (records(layer) != kOk)
        return common::Failure{kLayerNotWritten,
                               layerFailure(layer.shape(), "could not be written")};
    if (layer.close() != kOk)
        return common::Failure{kLayerNotWritten,
                               layerFailure(layer.shape(), "could not be completed")};
    return std::nullopt;
}

} // namespace sheetjob::shapefile
