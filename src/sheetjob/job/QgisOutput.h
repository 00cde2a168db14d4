#pragma once
// The QGIS files of a run: a style beside every layer written and a project
// with a print layout in the result folder, so that the result opens in QGIS
// as the finished sheet. They are made from what the layer stages report
// they wrote.

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/layers/SheetGeometry.h"
#include "sheetjob/layers/WrittenLayer.h"
#include "sheetjob/model/Job.h"
#include "sheetjob/qgis/QgisFiles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace sheetjob::job {

/// Status of a style or project that could not be written.
constexpr int kQgisFilesNotWritten = 1;

/// The sheet as its QGIS files show it: the job's system and name, the frame
/// trapezium as the layers settled it (shifted for a shifted sheet), and the
/// frame's layout, whose scale is the print layout's.
qgis::SheetInfo sheetInfo(const model::Job& job, const layers::SheetGeometry& sheet,
                          const frame::FrameLayout& layout);

/// The folder under the result folder that holds the layers of a kind.
std::string_view folderOf(layers::LayerKind kind);

/// Writes <layer>.qml beside each of `layers`, in the folder `folderFor` gives
/// for its kind, replacing a file of that name. A failure names the file and why.
common::Outcome
writeLayerStyles(const qgis::SheetInfo& sheet, const layers::WrittenLayers& layers,
                 const std::function<const common::Folder&(layers::LayerKind)>& folderFor);

/// Writes <sheet name>.qgs in the result folder, showing `layers`, replacing a
/// file of that name. `beforeProject`, when given, is called with the
/// project's name and the digest of its content just before the project is
/// put in place, so that the run can record it first.
struct ProjectFile {
    std::string name; ///< in the result folder
    std::uint64_t digest = 0;
};
common::Outcome writeProject(const qgis::SheetInfo& sheet, const layers::WrittenLayers& layers,
                             const common::Folder& result,
                             const std::function<void(const ProjectFile&)>& beforeProject = {});

} // namespace sheetjob::job
