// Fuzz target: arbitrary bytes as the content of an argument file, and as the
// texts of the degree and minute readers. Nothing touches the file system.

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
    sheetjob::job::JobParameters job;
    std::string reason;
    const int status = sheetjob::job::readArgFileContent(bytes, "fuzz.txt", job, reason);
    check(status == 0 || (status >= 3 && status <= 6));
    // A failure always says why, on one line; a success leaves a usable job.
    check((status == 0) == reason.empty());
    check(reason.find('\n') == std::string::npos);
    if (status != 0)
        return;
    check(job.SetScale == 0 || job.SetScale == 1);
    check(job.MapScale >= 0 && job.MapScale <= 2);
    check(job.CoordSystem >= 1 && job.CoordSystem <= 4);
    check(job.MeridianStep > 0 && job.ParallelStep > 0 && job.xMinute > 0 && job.yMinute > 0);
    check(job.xMinute <= 59 && job.yMinute <= 59);
    check(std::isfinite(job.xFrom) && std::isfinite(job.xTo) && std::isfinite(job.yFrom) &&
          std::isfinite(job.yTo));
    // "Path" keeps at least 3 characters after trimming and ends in the native
    // separator (one is appended only when it has none).
    check(job.ResultPath.size() >= 3 && job.ResultPath.back() == sheetjob::common::kPathSeparator);
    check(!job.SubSheetFrames || (job.SetScale == 0 && job.SheetType == 0));
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
    text = bytes;
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
