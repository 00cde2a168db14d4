#include "sheetjob/shapefile/LayerWriting.h"

#include "sheetjob/common/Display.h"

namespace sheetjob::shapefile {

std::string layerFailure(const ShapeLayer& layer, std::string_view what) {
    std::string line = "layer " + common::quoted(layer.displayName()) + ": " + std::string(what);
    if (!layer.lastError().empty())
        line += ": " + common::displayed(layer.lastError());
    return line;
}

} // namespace sheetjob::shapefile
