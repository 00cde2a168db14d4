#pragma once
// The driver that turns a job into the layers of one sheet: HypsA, HypsP and
// HypsL in the HYPS folder, then the frame layers through frame::createRamk.

#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/job/JobParameters.h"

#include <string>

namespace sheetjob::layers {

/// Builds the sheet layers. job.ResultPath holds the HYPS folder and job.FramePath
/// the FRAME folder (Windows-1251). Returns the status, also left in job.Status:
/// 0, 1 (a graticule layer failed) or the frame driver's status. On failure
/// `reason` receives a one-line explanation (UTF-8).
int createSheetLayers(job::JobParameters& job, std::string& reason);

/// The driver's work up to the frame: checks the job (finite trapezium, spacings
/// above the tolerance), settles corners and bounds, writes HypsA, HypsP and HypsL
/// and fills `frameJob` as createRamk receives it (neighbours by side, lists
/// completed and ascending). Returns 0 or 1 with `reason`.
int writeGraticuleLayers(const job::JobParameters& job, frame::FrameJob& frameJob,
                         std::string& reason);

} // namespace sheetjob::layers
