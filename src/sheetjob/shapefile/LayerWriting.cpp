#include "sheetjob/shapefile/LayerWriting.h"

#include "sheetjob/common/Display.h"

namespace sheetjob::shapefile {

std::string layerFailure(const ShapeLayer& layer, std::string_view what) {
    std::string line = "layer " + common::quoted(layer.displayName()) + ": " + std::string(what);
    if (!layer.lastError().empty())
        line += ": " + common::displayed(layer.lastError());
    return line;
}

common::Outcome writeLayer(const LayerSpec& what, const RecordWriter& records) {
    ShapeLayer layer;
    if (openNewShapefile(what.coordSystem, what.shapeType, what.folder, what.baseName, what.fields,
                         layer) != kOk)
        return common::Failure{kLayerNotOpened, layerFailure(layer, "could not be opened")};
    if (records(layer) != kOk)
        return common::Failure{kLayerNotWritten, layerFailure(layer, "could not be written")};
    if (closeNewShapefile(layer) != kOk)
        return common::Failure{kLayerNotWritten, layerFailure(layer, "could not be completed")};
    return std::nullopt;
}

} // namespace sheetjob::shapefile
