#include "sheetjob/job/SheetJob.h"

namespace sheetjob::job {

// Placeholder until the job spine lands.
int RUNSHEETJOB(const std::vector<std::string>&, InteractiveSession*, std::ostream& err) {
    err << "sheetjob: not implemented yet\n";
    return kExitNotDone;
}

} // namespace sheetjob::job
