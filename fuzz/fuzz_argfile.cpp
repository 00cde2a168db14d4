// Fuzz target: arbitrary bytes as the content of an argument file, and as the
// texts of the degree and minute readers. Nothing touches the file system.

#include "sheetjob/common/Display.h"
#include "sheetjob/common/Path.h"
#include "sheetjob/coordtext/DegreeText.h"
#include "sheetjob/job/FileArg.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void fuzzArgumentFile(std::string_view bytes) {
    sheetjob::model::Job job;
    const auto failure = sheetjob::job::readArgFileContent(bytes, "fuzz.txt", job);
    // A failure always says why, on one line; a success leaves a usable job.
    if (failure) {
        check(failure->status >= 3 && failure->status <= 6);
        check(!failure->reason.empty());
        check(failure->reason.find('\n') == std::string::npos);
        return;
    }
    check(job.sheet.setScale == 0 || job.sheet.setScale == 1);
    check(job.mapScale >= 0 && job.mapScale <= 2);
    check(sheetjob::geometry::CoordSystem::fromCode(job.coordSystem.code()) == job.coordSystem);
    check(sheetjob::model::usableGraticule(job.graticule));
    check(job.graticule.xMinute <= 59 && job.graticule.yMinute <= 59);
    check(std::isfinite(job.result.west) && std::isfinite(job.result.east) &&
          std::isfinite(job.result.south) && std::isfinite(job.result.north));
    // "Path" keeps at least 3 characters after trimming, holds no control
    // character, and ends in the native separator (one is appended only when
    // it has none).
    check(job.resultFolder.size() >= 3 &&
          job.resultFolder.back() == sheetjob::common::kPathSeparator);
    check(!sheetjob::common::hasControlCharacter(job.resultFolder));
    check(!job.subSheetFrames || (job.sheet.is200k() && job.sheet.sheetType == 0));
}

void fuzzDegreeText(std::string_view bytes) {
    std::string text(bytes);
    double angle = -1;
    if (sheetjob::coordtext::txtGradMin2Grad(text, angle) == 0)
        check(angle >= 0 && std::isfinite(angle));
    text = bytes;
    int minutes = -1;
    const int minuteStatus = sheetjob::coordtext::txtMin2Min(text, minutes);
    check(minuteStatus == 0 || minuteStatus == 1);
    if (minuteStatus == 0)
        check(minutes >= 0 && minutes <= 59);
    text = std::string(bytes);
    int value = -1;
    const int intStatus = sheetjob::coordtext::readIntFromTxt(text, value);
    check(intStatus >= 0 && intStatus <= 2);
    if (intStatus == 0)
        check(value >= 0);

    // The writers take any double; what they write for a sheet's angle reads back.
    if (bytes.size() >= sizeof(double)) {
        double a = 0;
        std::memcpy(&a, bytes.data(), sizeof a);
        const std::string written = sheetjob::coordtext::gradMin2Txt(a);
        const std::string seconds = sheetjob::coordtext::gradMinSec(a);
        check(!written.empty() && !seconds.empty());
        (void)sheetjob::coordtext::roundedToMinutes(a);
        if (a >= 0 && a < 999) {
            std::string back = written;
            double read = -1;
            check(sheetjob::coordtext::txtGradMin2Grad(back, read) == 0);
            check(std::fabs(read - sheetjob::coordtext::roundedToMinutes(a)) < 1e-9);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzzArgumentFile(bytes);
    fuzzDegreeText(bytes);
    return 0;
}
