#include "sheetjob/layers/SheetLayers.h"

namespace sheetjob::layers {

// Placeholder until the sheet layers land: writes nothing.
int CREATESHEETLAYERS(job::JobParameters& job, std::string&) {
    job.Status = 0;
    return 0;
}

} // namespace sheetjob::layers
