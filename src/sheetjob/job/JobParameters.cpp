#include "sheetjob/job/JobParameters.h"

namespace sheetjob::job {
namespace {
constexpr double kTwoThirds = 2.0 / 3.0; // height of a 1:200 000 sheet, 40'
constexpr double kOneSixth = 1.0 / 6.0;  // 10' parallel spacing of a 1:200 000 sheet
} // namespace

void computeBaseParameters(JobParameters& job) {
    job.BaseNorth = 88 - 4 * job.yZone;
    job.BaseWest = 6 * job.xZone + 174;
    if (job.BaseWest >= 360)
        job.BaseWest = job.BaseWest - 360;
    if (job.SetScale != 0) {
        job.BaseSouth = job.BaseNorth - 4;
        job.BaseEast = job.BaseWest + 6 * (job.SheetType + 1);
        job.BaseParallelStep = kTwoThirds;
        job.BaseYMinute = 10;
        switch (job.SheetType) {
        case 1:
            job.BaseMeridianStep = 2.0, job.BaseXMinute = 20;
            break;
        case 3:
            job.BaseMeridianStep = 4.0, job.BaseXMinute = 40;
            break;
        default:
            job.BaseMeridianStep = 1.0, job.BaseXMinute = 10;
            break;
        }
    } else {
        const int row = (job.SheetNumber - 1) / 6;
        const int column = job.SheetNumber - 1 - 6 * row;
        job.BaseNorth = job.BaseNorth - row * kTwoThirds;
        job.BaseSouth = job.BaseNorth - kTwoThirds;
        job.BaseWest = job.BaseWest + column * 1;
        job.BaseEast = job.BaseWest + (job.SheetType + 1) * 1;
        job.BaseParallelStep = kOneSixth;
        job.BaseYMinute = 1;
        switch (job.SheetType) {
        case 1:
            job.BaseMeridianStep = 0.5, job.BaseXMinute = 2;
            break;
        case 2:
            job.BaseMeridianStep = 0.75, job.BaseXMinute = 5;
            break;
        default:
            job.BaseMeridianStep = 0.25, job.BaseXMinute = 1;
            break;
        }
    }
}

void useBaseAsResult(JobParameters& job) {
    job.xFrom = job.BaseWest;
    job.xTo = job.BaseEast;
    job.yFrom = job.BaseSouth;
    job.yTo = job.BaseNorth;
    job.MeridianStep = job.BaseMeridianStep;
    job.xMinute = job.BaseXMinute;
    job.ParallelStep = job.BaseParallelStep;
    job.yMinute = job.BaseYMinute;
}

} // namespace sheetjob::job
