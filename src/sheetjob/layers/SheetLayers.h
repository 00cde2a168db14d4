#pragma once
// The driver that turns a job into the layers of one sheet: HypsA, HypsP and
// HypsL in the HYPS folder, then the frame layers through frame::createRamk.

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/layers/HypsA.h"
#include "sheetjob/layers/HypsL.h"
#include "sheetjob/layers/SheetGeometry.h"
#include "sheetjob/layers/WrittenLayer.h"
#include "sheetjob/model/Job.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sheetjob::layers {

/// Base names of the HYPS layers, in the order they are written.
constexpr std::array<std::string_view, 3> kHypsLayerNames = {kHypsA, kHypsL, kHypsP};

/// Writes the three graticule layers (HypsA and HypsP, then HypsL only if they
/// succeeded); the points of a 1:1 000 000 sheet are twice as sparse. A failure
/// is status 1, whichever layer failed.
common::Outcome createHyps(const SheetGeometry& sheet, int setScale, const std::string& sheetName,
                           const geometry::Graticule& graticule, const common::Folder& folder,
                           GraticuleValues& values);

/// Corners and graticule bounds of the job's result trapezium in the system the
/// layers are written in (datum-shifted for coordinate system 4).
SheetGeometry settleSheet(const model::Job& job);

/// Builds the sheet layers of the job, settled as `sheet`, into the HYPS and
/// FRAME folders, the frame drawn with `layout`. A failure is status 1 (a
/// graticule layer failed, or the job's trapezium cannot be drawn) or the
/// frame driver's status, with one line. `written`, when given, receives each
/// layer as it is completed.
common::Outcome createSheetLayers(const model::Job& job, const SheetGeometry& sheet,
                                  const frame::FrameLayout& layout, const common::Folder& hyps,
                                  const common::Folder& frameFolder,
                                  WrittenLayers* written = nullptr);
/// The same, the sheet settled here and the frame drawn with the layout of the
/// job's scales.
common::Outcome createSheetLayers(const model::Job& job, const common::Folder& hyps,
                                  const common::Folder& frameFolder);

/// The driver's work up to the frame: checks the trapezium, writes HypsA,
/// HypsP and HypsL of the settled sheet and fills `frameJob` as the frame
/// driver receives it (neighbours by side, lists completed and ascending).
common::Outcome writeGraticuleLayers(const model::Job& job, const SheetGeometry& sheet,
                                     const common::Folder& hyps, frame::FrameJob& frameJob,
                                     WrittenLayers* written = nullptr);
/// The same, the sheet settled here.
common::Outcome writeGraticuleLayers(const model::Job& job, const common::Folder& hyps,
                                     frame::FrameJob& frameJob);

} // namespace sheetjob::layers
