#pragma once
// The driver that turns a job into the layers of one sheet: HypsA, HypsP and
// HypsL in the HYPS folder, then the frame layers through frame::createRamk.

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/layers/HypsA.h"
#include "sheetjob/layers/HypsL.h"
#include "sheetjob/layers/SheetGeometry.h"
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

/// Builds the sheet layers into the HYPS and FRAME folders. A failure is status
/// 1 (a graticule layer failed, or the job's trapezium cannot be drawn) or the
/// frame driver's status, with one line. `frameKinds`, when given, receives
/// the kind of every record of the Frame layer.
common::Outcome createSheetLayers(const model::Job& job, const common::Folder& hyps,
                                  const common::Folder& frameFolder,
                                  std::vector<frame::FrameRecordKind>* frameKinds = nullptr);

/// The driver's work up to the frame: checks the trapezium, settles the sheet,
/// writes HypsA, HypsP and HypsL and fills `frameJob` as the frame driver
/// receives it (neighbours by side, lists completed and ascending).
common::Outcome writeGraticuleLayers(const model::Job& job, const common::Folder& hyps,
                                     frame::FrameJob& frameJob);

} // namespace sheetjob::layers
