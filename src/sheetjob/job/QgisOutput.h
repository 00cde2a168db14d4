#pragma once
// The QGIS files of a run: a style beside every layer written and a project
// with a print layout in the result folder, so that the result opens in QGIS
// as the finished sheet.

#include "sheetjob/common/Failure.h"
#include "sheetjob/frame/FrameSink.h"
#include "sheetjob/job/OutputFolders.h"
#include "sheetjob/model/Job.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sheetjob::job {

/// Status of a style or project that could not be written.
constexpr int kQgisFilesNotWritten = 1;

/// Writes <layer>.qml beside each layer the job wrote (the HYPS layers, the
/// frame layers its scales draw, the sub-sheet frames when asked for) and
/// <sheet name>.qgs in the result folder, each replacing the file of that
/// name. `frameKinds` are the kinds of the Frame layer's records, in order.
/// A failure names the file and why. `beforeProject`, when given, is called
/// with the project's name and the digest of its content just before the
/// project is put in place, so that the run can record it first.
struct ProjectFile {
    std::string name; ///< in the result folder
    std::uint64_t digest = 0;
};
common::Outcome writeQgisFiles(const model::Job& job,
                               const std::vector<frame::FrameRecordKind>& frameKinds,
                               const OutputFolders& folders,
                               const std::function<void(const ProjectFile&)>& beforeProject = {});

} // namespace sheetjob::job
