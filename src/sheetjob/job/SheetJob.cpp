#include "sheetjob/job/SheetJob.h"

#include "sheetjob/common/Text.h"
#include "sheetjob/job/FileArg.h"
#include "sheetjob/job/OutputFolders.h"
#include "sheetjob/layers/SheetLayers.h"
#include "sheetjob/layers/SubSheets.h"

#include <cmath>
#include <exception>
#include <filesystem>
#include <system_error>

namespace sheetjob::job {
namespace {

// Outcome message boxes of the interactive mode (Windows-1251).
constexpr const char* kTitleNotDone =
    "\xC7\xE0\xE4\xE0\xED\xE8\xE5 \xCD\xC5 \xC2\xDB\xCF\xCE\xCB\xCD\xC5\xCD\xCE"; // Задание НЕ
                                                                                  // ВЫПОЛНЕНО
constexpr const char* kTitleCrash =
    "\xC0\xC2\xC0\xD0\xC8\xC9\xCD\xCE\xC5 \xC7\xC0\xC2\xC5\xD0\xD8\xC5\xCD\xC8\xC5"; // АВАРИЙНОЕ
                                                                                     // ЗАВЕРШЕНИЕ
constexpr const char* kTextDone =
    "\xC7\xE0\xE4\xE0\xED\xE8\xE5 \xE2\xFB\xEF\xEE\xEB\xED\xE5\xED\xEE"; // Задание выполнено
constexpr const char* kTitleDone =
    "\xD1\xEE\xF1\xF2\xEE\xFF\xED\xE8\xE5 \xEE\xE1\xF0\xE0\xE1\xEE\xF2\xEA\xE8"; // Состояние
                                                                                 // обработки

/// The status that stands for a failure of the sub-sheet frames (and of any
/// other stage without a message of its own).
constexpr int kUnspecifiedFailure = 999;

/// The result trapezium and graticule that the layer stages may work with:
/// finite bounds and positive spacings (a zero or negative step would never
/// end a graticule walk).
bool graticuleUsable(const JobParameters& job, std::string& reason) {
    const bool finite = std::isfinite(job.xFrom) && std::isfinite(job.xTo) &&
                        std::isfinite(job.yFrom) && std::isfinite(job.yTo);
    if (finite && job.MeridianStep > 0 && job.ParallelStep > 0 && job.xMinute > 0 &&
        job.yMinute > 0 && std::isfinite(job.MeridianStep) && std::isfinite(job.ParallelStep))
        return true;
    reason =
        "the result trapezium or its graticule spacing is not usable (a spacing is not positive)";
    return false;
}

class Run {
  public:
    Run(InteractiveSession* session, bool interactive, std::ostream& err)
        : interactive_(interactive && session != nullptr), session_(session), err_(err) {}

    bool interactive() const { return interactive_; }

    int argumentFileMode(const std::string& argument) {
        job_.SubSheetFrames = false;
        // The path is taken as given, left-adjusted; a relative one stays relative
        // to the current folder.
        const std::string argFile = common::trim(argument);
        std::error_code ec;
        if (argFile.empty() || !std::filesystem::exists(std::filesystem::path(argFile), ec)) {
            report("argument file \"" + argFile + "\" not found (usage: sheetjob [ARGUMENT-FILE])");
            return kExitNotDone;
        }
        std::string reason;
        job_.Status = readArgFile(argFile, job_, reason);
        if (job_.Status != 0) {
            report(reason);
            return kExitNotDone;
        }
        return generate();
    }

    int interactiveMode() {
        if (!session_) {
            report("the interactive mode is not available (no display); "
                   "give the job in an argument file: sheetjob ARGUMENT-FILE");
            return kExitNotDone;
        }
        session_->showStartScreen();
        session_->runParameterDialog(job_);
        if (job_.Status != 0)
            return kExitNotDone; // cancelled: no message
        return generate();
    }

  private:
    void report(const std::string& reason) { err_ << "sheetjob: " << reason << '\n'; }

    /// A failure before the sheet layers: its message box, or its line on stderr.
    int failBeforeLayers(int status, const std::string& reason) {
        job_.Status = status;
        report(reason);
        if (interactive_)
            session_->showMessage(failureMessage(status), kTitleNotDone, MessageIcon::Stop);
        return kExitNotDone;
    }

    int generate() {
        std::string reason;
        if (!graticuleUsable(job_, reason))
            return failBeforeLayers(kUnspecifiedFailure, reason);

        OutputFolders folders;
        job_.Status =
            pathProcess(common::trim(job_.ResultPath), job_.SubSheetFrames, folders, reason);
        job_.ResultPath = folders.HypsPath;
        job_.FramePath = folders.FramePath;
        if (job_.Status != 0)
            return failBeforeLayers(job_.Status, reason);

        if (job_.SubSheetFrames) {
            layers::SubSheetJob sub;
            sub.coordSystem = job_.CoordSystem;
            sub.yZone = job_.yZone;
            sub.xZone = job_.xZone;
            sub.sheetNumber = job_.SheetNumber;
            sub.r50Path = folders.R50Path;
            sub.r25Path = folders.R25Path;
            sub.baseWest = job_.BaseWest;
            sub.baseEast = job_.BaseEast;
            sub.baseSouth = job_.BaseSouth;
            sub.baseNorth = job_.BaseNorth;
            const int status = layers::createMaps5025(sub, reason);
            if (status != 0)
                return failBeforeLayers(kUnspecifiedFailure,
                                        reason.empty() ? "sub-sheet frames failed with status " +
                                                             std::to_string(status)
                                                       : reason);
        }

        int status = kUnspecifiedFailure;
        try {
            status = layers::createSheetLayers(job_, reason);
        } catch (const std::exception& e) {
            reason = std::string("sheet layers failed: ") + e.what();
        }
        job_.Status = status;
        if (status != 0 && reason.empty())
            reason = "sheet layers failed with status " + std::to_string(status);
        if (!interactive_) {
            if (status != 0) {
                report(reason);
                return kExitLayerFailure;
            }
            return kExitDone;
        }
        if (status != 0) {
            report(reason);
            session_->showMessage(kTitleNotDone, kTitleCrash, MessageIcon::Stop);
            return kExitNotDone;
        }
        session_->showMessage(kTextDone, kTitleDone, MessageIcon::Information);
        return kExitDone;
    }

    bool interactive_;
    JobParameters job_;
    InteractiveSession* session_;
    std::ostream& err_;
};

} // namespace

int runSheetJob(const std::vector<std::string>& args, InteractiveSession* session,
                std::ostream& err) {
    // The program name alone selects the interactive mode; any argument the
    // argument-file mode, of which only the first is read.
    const bool batchMode = args.size() > 1;
    Run run(session, !batchMode, err);
    try {
        return batchMode ? run.argumentFileMode(args[1]) : run.interactiveMode();
    } catch (const std::exception& e) {
        err << "sheetjob: unexpected failure: " << e.what() << '\n';
    } catch (...) {
        err << "sheetjob: unexpected failure\n";
    }
    if (run.interactive())
        session->showMessage(failureMessage(kUnspecifiedFailure), kTitleNotDone, MessageIcon::Stop);
    return kExitNotDone;
}

} // namespace sheetjob::job
