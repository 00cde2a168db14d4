#include "sheetjob/model/Job.h"

namespace sheetjob::model {

void useBaseAsResult(Job& job) {
    const nomenclature::BaseParameters base = nomenclature::computeBaseParameters(job.sheet);
    job.result = base.trapezium;
    job.graticule = base.graticule;
}

} // namespace sheetjob::model
