#include "sheetjob/job/QgisOutput.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Display.h"
#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/job/RunRecord.h"
#include "sheetjob/layers/SheetLayers.h"
#include "sheetjob/layers/SubSheets.h"
#include "sheetjob/qgis/QgisFiles.h"

#include <map>
#include <string>
#include <utility>

namespace sheetjob::job {
namespace {

constexpr std::string_view kStyleExtension = ".qml";

/// A layer and the folder it lies in.
struct Placed {
    const common::Folder* folder = nullptr;
    qgis::LayerInfo info;
};

std::vector<Placed> writtenLayers(const model::Job& job, const frame::FrameLayout& layout,
                                  const std::vector<frame::FrameRecordKind>& frameKinds,
                                  const OutputFolders& folders) {
    std::vector<Placed> layers;
    const auto add = [&](const common::Folder& folder, qgis::LayerKind kind,
                         std::string_view folderName, std::string_view baseName) {
        layers.push_back({&folder, {kind, std::string(folderName), std::string(baseName), {}}});
    };
    add(folders.hyps, qgis::LayerKind::SheetPolygon, kHypsFolder, layers::kHypsA);
    add(folders.hyps, qgis::LayerKind::GraticuleLines, kHypsFolder, layers::kHypsL);
    add(folders.hyps, qgis::LayerKind::GraticulePoints, kHypsFolder, layers::kHypsP);

    const auto drawn = frame::frameLayersDrawn(layout);
    const std::pair<int, qgis::LayerKind> frameLayers[] = {
        {frame::kFrameLayer, qgis::LayerKind::Frame},
        {frame::kFrameAdjLayer, qgis::LayerKind::NeighbourNames},
        {frame::kFrameDigLayer, qgis::LayerKind::ValueLabels}};
    for (const auto& [index, kind] : frameLayers) {
        if (!drawn[static_cast<std::size_t>(index)])
            continue;
        add(folders.frame, kind, kFrameFolder,
            frame::kFrameLayerNames[static_cast<std::size_t>(index)]);
        if (kind == qgis::LayerKind::Frame)
            layers.back().info.recordKinds = frameKinds;
    }

    if (job.subSheetFrames && folders.r50 && folders.r25) {
        // The names come from the same division that wrote the layers.
        layers::createMaps5025(job.sheet, [&](const layers::SubSheet& s) {
            const bool is50 = s.scale == layers::kScale50;
            add(is50 ? *folders.r50 : *folders.r25,
                is50 ? qgis::LayerKind::SubSheet50k : qgis::LayerKind::SubSheet25k,
                is50 ? kR50Folder : kR25Folder, common::nativePathFromCp1251(s.name));
            return common::Outcome{};
        });
    }
    return layers;
}

common::Failure notWritten(const common::Folder& folder, const std::string& name,
                           const std::string& error) {
    return {kQgisFilesNotWritten, "QGIS file " + common::quoted(folder.pathOf(name)) +
                                      " could not be written: " + common::displayed(error)};
}

} // namespace

common::Outcome writeQgisFiles(const model::Job& job,
                               const std::vector<frame::FrameRecordKind>& frameKinds,
                               const OutputFolders& folders,
                               const std::function<void(const ProjectFile&)>& beforeProject) {
    qgis::SheetInfo sheet;
    sheet.coordSystem = job.coordSystem;
    sheet.setScale = job.sheet.setScale;
    sheet.name = common::cp1251ToUtf8(job.sheet.nomenclature());
    // The frame is drawn on the graticule's bounds (shifted for a shifted sheet).
    const geometry::Trapezium bounds = layers::settleSheet(job).bounds;
    sheet.west = bounds.west;
    sheet.east = bounds.east;
    sheet.south = bounds.south;
    sheet.north = bounds.north;
    sheet.layout = frame::setRamkParameters(job.sheet.setScale, job.mapScale);

    const std::vector<Placed> placed = writtenLayers(job, sheet.layout, frameKinds, folders);
    std::vector<qgis::LayerInfo> layers;
    layers.reserve(placed.size());
    std::string error;
    std::map<qgis::LayerKind, std::string> shared; // styles that the kind alone decides
    for (const Placed& p : placed) {
        const std::string name = p.info.baseName + std::string(kStyleExtension);
        std::string own;
        const std::string* style = &own;
        if (qgis::sharesItsStyle(p.info.kind)) {
            auto it = shared.find(p.info.kind);
            if (it == shared.end())
                it = shared.emplace(p.info.kind, qgis::layerStyle(sheet, p.info)).first;
            style = &it->second;
        } else {
            own = qgis::layerStyle(sheet, p.info);
        }
        if (!p.folder->writeFile(name, *style, error))
            return notWritten(*p.folder, name, error);
        layers.push_back(p.info);
    }
    const std::string name = qgis::projectFileName(sheet);
    const std::string text = qgis::projectText(sheet, layers);
    if (beforeProject)
        beforeProject({name, contentDigest(text)});
    if (!folders.result.writeFile(name, text, error))
        return notWritten(folders.result, name, error);
    return std::nullopt;
}

} // namespace sheetjob::job
