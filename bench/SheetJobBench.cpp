// Builds every layer of the 1:200 000 sheet N-37-XIV (SK-42) with its 1:50 000 and
// 1:25 000 frames under the folder given as the only argument: HYPS_50,
// HYPS_25, then HYPS and FRAME, as a run with sub-sheet frames does.
// Exit code 0 when everything was written, 16 otherwise (the reason on stderr).

#include "sheetjob/job/JobParameters.h"
#include "sheetjob/layers/SheetLayers.h"
#include "sheetjob/layers/SubSheets.h"

#include <filesystem>
#include <iostream>

namespace {

constexpr int kBeltN = 8;         // belt N, 52° to 56°
constexpr int kZone37 = 37;       // zone 37, 36° to 42° east
constexpr int kSheetXIV = 14;     // sheet XIV: 37° to 38°, 54° to 54°40'
constexpr int kLayerFailure = 16; // exit code of a layer failure

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: sheetjob_bench OUTPUT-FOLDER\n";
        return 8;
    }
    namespace fs = std::filesystem;
    const fs::path out = argv[1];
    for (const char* folder : {"HYPS", "FRAME", "HYPS_50", "HYPS_25"})
        fs::create_directories(out / folder);

    sheetjob::job::JobParameters job;
    job.CoordSystem = sheetjob::job::kSK42;
    job.SetScale = 0;
    job.yZone = kBeltN;
    job.xZone = kZone37;
    job.SheetNumber = kSheetXIV;
    sheetjob::job::computeBaseParameters(job);
    sheetjob::job::useBaseAsResult(job);
    job.ResultPath = (out / "HYPS").string();
    job.FramePath = (out / "FRAME").string();

    sheetjob::layers::SubSheetJob sub;
    sub.coordSystem = job.CoordSystem;
    sub.yZone = job.yZone;
    sub.xZone = job.xZone;
    sub.sheetNumber = job.SheetNumber;
    sub.r50Path = (out / "HYPS_50").string();
    sub.r25Path = (out / "HYPS_25").string();
    sub.baseWest = job.BaseWest;
    sub.baseEast = job.BaseEast;
    sub.baseSouth = job.BaseSouth;
    sub.baseNorth = job.BaseNorth;

    std::string reason;
    if (sheetjob::layers::createMaps5025(sub, reason) != 0 ||
        sheetjob::layers::createSheetLayers(job, reason) != 0) {
        std::cerr << "sheetjob_bench: " << reason << "\n";
        return kLayerFailure;
    }
    return 0;
}
