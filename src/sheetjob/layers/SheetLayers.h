#pragma once
// The driver that turns a job into the layers of one sheet: HypsA, HypsP and
// HypsL in the HYPS folder, then the frame layers through frame::CREATERAMK.

#include "sheetjob/job/JobParameters.h"

#include <string>

namespace sheetjob::layers {

/// Builds the sheet layers. job.ResultPath holds the HYPS folder and job.FramePath
/// the FRAME folder (Windows-1251). Returns the status, also left in job.Status:
/// 0, 1 (a graticule layer failed) or the frame driver's status. On failure
/// `reason` receives a one-line explanation (UTF-8).
int CREATESHEETLAYERS(job::JobParameters& job, std::string& reason);

} // namespace sheetjob::layers
