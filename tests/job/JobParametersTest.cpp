#include "sheetjob/job/JobParameters.h"

#include <gtest/gtest.h>

namespace sheetjob::job {
namespace {

// The base trapezium and default graticule that every later stage starts from.
TEST(ComputeBaseParameters, WorkedExamplesAndEdges) {
    struct Case {
        const char* name;
        int setScale, yZone, xZone, sheetNumber, sheetType;
        double west, east, south, north, meridianStep;
        int xMinute;
        double parallelStep;
        int yMinute;
    };
    const double twoThirds = 2.0 / 3.0;
    const double sixth = 1.0 / 6.0;
    const Case cases[] = {
        {"N-37", 1, 8, 37, 0, 0, 36, 42, 52, 56, 1.0, 10, twoThirds, 10},
        {"N-37-XIV", 0, 8, 37, 14, 0, 37, 38, 54, 56 - 2 * twoThirds, 0.25, 1, sixth, 1},
        {"T-29 quadruple", 1, 2, 29, 0, 3, 348, 372, 76, 80, 4.0, 40, twoThirds, 10},
        {"N-37 double", 1, 8, 37, 0, 1, 36, 48, 52, 56, 2.0, 20, twoThirds, 10},
        {"N-37 triple (1:1 000 000 from the argument file)", 1, 8, 37, 0, 2, 36, 54, 52, 56, 1.0,
         10, twoThirds, 10},
        {"zone 31 starts at 0", 1, 8, 31, 0, 0, 0, 6, 52, 56, 1.0, 10, twoThirds, 10},
        {"zone 30 ends at 360", 1, 8, 30, 0, 0, 354, 360, 52, 56, 1.0, 10, twoThirds, 10},
        {"zone 1 starts at 180", 1, 8, 1, 0, 0, 180, 186, 52, 56, 1.0, 10, twoThirds, 10},
        {"sheet number ignored for 1:1 000 000", 1, 8, 37, 14, 0, 36, 42, 52, 56, 1.0, 10,
         twoThirds, 10},
        {"sheet 1 north-west", 0, 8, 37, 1, 0, 36, 37, 56 - twoThirds, 56, 0.25, 1, sixth, 1},
        {"sheet 6 north-east", 0, 8, 37, 6, 0, 41, 42, 56 - twoThirds, 56, 0.25, 1, sixth, 1},
        {"sheet 36 south-east", 0, 8, 37, 36, 0, 41, 42, (56 - 5 * twoThirds) - twoThirds,
         56 - 5 * twoThirds, 0.25, 1, sixth, 1},
        {"N-37-XIV double", 0, 8, 37, 14, 1, 37, 39, 54, 56 - 2 * twoThirds, 0.5, 2, sixth, 1},
        {"N-37-XIV triple: 5-minute scale", 0, 8, 37, 14, 2, 37, 40, 54, 56 - 2 * twoThirds, 0.75,
         5, sixth, 1},
        {"N-37-XIV quadruple: single defaults", 0, 8, 37, 14, 3, 37, 41, 54, 56 - 2 * twoThirds,
         0.25, 1, sixth, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JobParameters job;
        job.SetScale = c.setScale;
        job.yZone = c.yZone;
        job.xZone = c.xZone;
        job.SheetNumber = c.sheetNumber;
        job.SheetType = c.sheetType;
        computeBaseParameters(job);
        EXPECT_EQ(job.BaseWest, c.west);
        EXPECT_EQ(job.BaseEast, c.east);
        EXPECT_EQ(job.BaseSouth, c.south);
        EXPECT_EQ(job.BaseNorth, c.north);
        EXPECT_EQ(job.BaseMeridianStep, c.meridianStep);
        EXPECT_EQ(job.BaseXMinute, c.xMinute);
        EXPECT_EQ(job.BaseParallelStep, c.parallelStep);
        EXPECT_EQ(job.BaseYMinute, c.yMinute);
    }
}

// N-37-XIV's south edge is computed as north minus 2/3, not as 54 exactly.
TEST(ComputeBaseParameters, SouthEdgeIsNorthLessTwoThirds) {
    JobParameters job;
    job.SetScale = 0;
    job.yZone = 8;
    job.xZone = 37;
    job.SheetNumber = 14;
    computeBaseParameters(job);
    EXPECT_EQ(job.BaseNorth, 56.0 - 2 * (2.0 / 3.0));
    EXPECT_EQ(job.BaseSouth, job.BaseNorth - 2.0 / 3.0);
}

} // namespace
} // namespace sheetjob::job
