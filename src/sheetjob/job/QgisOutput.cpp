#include "sheetjob/job/QgisOutput.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Display.h"
#include "sheetjob/job/OutputFolders.h"
#include "sheetjob/job/RunRecord.h"

#include <map>
#include <string>

namespace sheetjob::job {
namespace {

constexpr std::string_view kStyleExtension = ".qml";

qgis::LayerInfo layerInfo(const layers::WrittenLayer& layer) {
    return {layer.kind, std::string(folderOf(layer.kind)), common::cp1251ToUtf8(layer.baseName),
            layer.recordKinds};
}

common::Failure notWritten(const common::Folder& folder, const std::string& name,
                           const std::string& error) {
    return {kQgisFilesNotWritten, "QGIS file " + common::quoted(folder.pathOf(name)) +
                                      " could not be written: " + common::displayed(error)};
}

} // namespace

qgis::SheetInfo sheetInfo(const model::Job& job, const layers::SheetGeometry& sheet,
                          const frame::FrameLayout& layout) {
    qgis::SheetInfo info;
    info.coordSystem = job.coordSystem;
    info.setScale = job.sheet.setScale;
    info.name = common::cp1251ToUtf8(job.sheet.nomenclature());
    // The frame is drawn on the graticule's bounds (shifted for a shifted sheet).
    info.west = sheet.bounds.west;
    info.east = sheet.bounds.east;
    info.south = sheet.bounds.south;
    info.north = sheet.bounds.north;
    info.layout = layout;
    return info;
}

std::string_view folderOf(layers::LayerKind kind) {
    switch (kind) {
    case layers::LayerKind::Frame:
    case layers::LayerKind::NeighbourNames:
    case layers::LayerKind::ValueLabels:
        return kFrameFolder;
    case layers::LayerKind::SubSheet50k:
        return kR50Folder;
    case layers::LayerKind::SubSheet25k:
        return kR25Folder;
    default:
        return kHypsFolder;
    }
}

common::Outcome
writeLayerStyles(const qgis::SheetInfo& sheet, const layers::WrittenLayers& layers,
                 const std::function<const common::Folder&(layers::LayerKind)>& folderFor) {
    std::string error;
    std::map<layers::LayerKind, std::string> shared; // styles that the kind alone decides
    for (const layers::WrittenLayer& layer : layers) {
        const qgis::LayerInfo info = layerInfo(layer);
        const std::string name = info.baseName + std::string(kStyleExtension);
        std::string own;
        const std::string* style = &own;
        if (qgis::sharesItsStyle(info.kind)) {
            auto it = shared.find(info.kind);
            if (it == shared.end())
                it = shared.emplace(info.kind, qgis::layerStyle(sheet, info)).first;
            style = &it->second;
        } else {
            own = qgis::layerStyle(sheet, info);
        }
        const common::Folder& folder = folderFor(layer.kind);
        if (!folder.writeFile(name, *style, error))
            return notWritten(folder, name, error);
    }
    return std::nullopt;
}

common::Outcome writeProject(const qgis::SheetInfo& sheet, const layers::WrittenLayers& layers,
                             const common::Folder& result,
                             const std::function<void(const ProjectFile&)>& beforeProject) {
    std::vector<qgis::LayerInfo> infos;
    infos.reserve(layers.size());
    for (const layers::WrittenLayer& layer : layers)
        infos.push_back(layerInfo(layer));
    const std::string name = qgis::projectFileName(sheet);
    const std::string text = qgis::projectText(sheet, infos);
    if (beforeProject)
        beforeProject({name, contentDigest(text)});
    std::string error;
    if (!result.writeFile(name, text, error))
        return notWritten(result, name, error);
    return std::nullopt;
}

} // namespace sheetjob::job
