#include "sheetjob/job/SheetJob.h"

#include "sheetjob/common/Display.h"
#include "sheetjob/common/Path.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/job/FileArg.h"
#include "sheetjob/job/OutputFolders.h"
#include "sheetjob/job/QgisOutput.h"
#include "sheetjob/job/RunRecord.h"
#include "sheetjob/layers/SheetLayers.h"
#include "sheetjob/layers/SubSheets.h"

#include <exception>
#include <filesystem>
#include <new>
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

/// The reason of a stage that ran out of memory.
constexpr const char* kNoMemory = "sheet layers failed: not enough memory";

/// The status that stands for a failure of the sub-sheet frames (and of any
/// other stage without a message of its own).
constexpr int kUnspecifiedFailure = 999;

class Run {
  public:
    Run(InteractiveSession* session, bool interactive, std::ostream& err)
        : interactive_(interactive && session != nullptr), session_(session), err_(err) {}

    bool interactive() const { return interactive_; }

    int argumentFileMode(const std::string& argument) {
        job_.subSheetFrames = false;
        // The path is taken as given, left-adjusted (trailing blanks belong to
        // the name); a relative one stays relative to the current folder.
        const std::string argFile = common::ltrim(argument);
        std::error_code ec;
        if (argFile.empty() || !std::filesystem::exists(common::filesystemPath(argFile), ec)) {
            report("argument file " + common::quoted(argFile) +
                   " not found (usage: sheetjob [ARGUMENT-FILE])");
            return kExitNotDone;
        }
        if (auto failure = readArgFile(argFile, job_)) {
            report(failure->reason);
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
        if (!session_->runParameterDialog(job_))
            return kExitNotDone; // cancelled: no message
        // The argument-file reader checks its graticule as it builds the job; a
        // front end's job is checked here, by the same rule.
        if (!model::usableGraticule(job_.graticule))
            return failBeforeLayers({kUnspecifiedFailure,
                                     "the result trapezium or its graticule spacing is not usable "
                                     "(a spacing is not positive)"});
        return generate();
    }

  private:
    // Escaped once more as it leaves: a reason that quotes a system's or a
    // library's text stays one line as well.
    void report(const std::string& reason) {
        err_ << "sheetjob: " << common::displayed(reason) << '\n';
    }

    /// A failure before the sheet layers: its message box, or its line on stderr.
    int failBeforeLayers(const common::Failure& failure) {
        report(failure.reason);
        if (interactive_)
            session_->showMessage(failureMessage(failure.status), kTitleNotDone, MessageIcon::Stop);
        return kExitNotDone;
    }

    int generate() {
        common::Outcome failure;
        try {
            if (auto stopped = writeSheet(job_)) {
                if (stopped->beforeLayers)
                    return failBeforeLayers(stopped->failure);
                failure = stopped->failure;
            }
        } catch (const std::bad_alloc&) {
            failure = common::Failure{kUnspecifiedFailure, kNoMemory};
        } catch (const std::exception& e) {
            failure = common::Failure{kUnspecifiedFailure,
                                      std::string("sheet layers failed: ") + e.what()};
        }
        if (!interactive_) {
            if (failure) {
                report(failure->reason);
                return kExitLayerFailure;
            }
            return kExitDone;
        }
        if (failure) {
            report(failure->reason);
            session_->showMessage(kTitleNotDone, kTitleCrash, MessageIcon::Stop);
            return kExitNotDone;
        }
        session_->showMessage(kTextDone, kTitleDone, MessageIcon::Information);
        return kExitDone;
    }

    bool interactive_;
    model::Job job_;
    InteractiveSession* session_;
    std::ostream& err_;
};

} // namespace

namespace {

/// Makes the folders put their files in place through `staging` (or at once).
void stageFolders(OutputFolders& folders, common::Staging* staging) {
    for (common::Folder* f : {&folders.result, &folders.hyps, &folders.frame})
        f->stageInto(staging);
    for (std::optional<common::Folder>* f : {&folders.r50, &folders.r25})
        if (*f)
            (*f)->stageInto(staging);
}

/// A sub-sheet folder written whole: when the prepared folder holds nothing
/// (the usual case), the layers go into a fresh folder beside it, which then
/// takes its place in one rename; a folder that holds other files is written
/// into file by file. Cheaper by a rename per file, and just as safe: nothing
/// is under the real folder's name until all of it is.
class WholeFolder {
  public:
    WholeFolder(const common::Folder& result, std::string_view name,
                std::optional<common::Folder>& prepared, common::Staging& staging)
        : result_(result), name_(name), prepared_(prepared),
          freshName_(result.temporaryName(name)) {
        std::string ignored;
        if (prepared_->entries().empty())
            fresh_ = result_.makeFreshSubfolder(freshName_, ignored);
        if (!fresh_)
            prepared_->stageInto(&staging);
    }
    WholeFolder(const WholeFolder&) = delete;
    WholeFolder& operator=(const WholeFolder&) = delete;
    ~WholeFolder() {
        if (fresh_) {
            std::string ignored;
            fresh_.reset();
            result_.removeFolderWithFiles(freshName_, ignored);
        }
        prepared_->stageInto(nullptr);
    }

    /// Where the layers go.
    [[nodiscard]] const common::Folder& target() const { return fresh_ ? *fresh_ : *prepared_; }

    /// Makes the fresh folder's files durable and moves it into place (the
    /// prepared folder, open again, is then the new one). Nothing to do for a
    /// folder written into file by file: its staging commits it.
    bool commit(std::string& error) {
        if (!fresh_)
            return true;
        std::vector<std::string> names;
        for (const common::FolderEntry& e : fresh_->entries())
            names.push_back(e.name);
        std::string why;
        if (!fresh_->syncFiles(names, why) || !result_.moveSubfolder(freshName_, name_, why)) {
            error = "cannot put " + result_.pathOf(name_) + " in place: " + why;
            return false;
        }
        fresh_.reset();
        auto reopened = result_.openSubfolder(name_, why);
        if (!reopened) {
            error = "cannot open " + result_.pathOf(name_) + " again: " + why;
            return false;
        }
        *prepared_ = std::move(*reopened);
        return true;
    }

  private:
    const common::Folder& result_;
    std::string name_;
    std::optional<common::Folder>& prepared_;
    std::string freshName_;
    std::optional<common::Folder> fresh_;
};

/// Puts what the staging holds in place; a failure to do so is the stage's.
common::Outcome commit(common::Staging& staging, int status) {
    std::string error;
    if (!staging.commit(error))
        return common::Failure{status, common::displayed(error)};
    return std::nullopt;
}

/// The stages after the folders: the sub-sheet frames, then the sheet layers
/// and the QGIS files. Every file of a stage is written under its temporary
/// name and put in place when the stage ends, after one synchronisation of
/// their data: a power cut after the run finds each file whole, old or new.
/// The project goes into the run's record, put in place at once, when its
/// text is made, so that a run killed while the files go in place leaves a
/// project the next run recognises; the finished record is staged last.
std::optional<StoppedRun> writeStages(const model::Job& job, OutputFolders& folders,
                                      RunRecord& record) {
    // The sheet as the layers draw it and the frame's layout, settled once:
    // the layer stages and the QGIS files take them from here, and the QGIS
    // files style and list what the layer stages report they wrote. (A
    // trapezium that cannot be drawn settles harmlessly; the sheet stage
    // refuses it.)
    const layers::SheetGeometry settled = layers::settleSheet(job);
    const qgis::SheetInfo info =
        sheetInfo(job, settled, frame::setRamkParameters(job.sheet.setScale, job.mapScale));
    layers::WrittenLayers written;

    if (job.subSheetFrames) {
        common::Staging staging;
        WholeFolder r50(folders.result, kR50Folder, folders.r50, staging);
        WholeFolder r25(folders.result, kR25Folder, folders.r25, staging);
        // Any failure of the sub-sheet frames stands for an unspecified one.
        common::Outcome failure = layers::createMaps5025(job.sheet, job.coordSystem, r50.target(),
                                                         r25.target(), &written);
        // Their styles go with them, into the same folders.
        if (!failure && job.qgisFiles)
            failure = writeLayerStyles(
                info, written, [&](layers::LayerKind kind) -> auto& {
                    return kind == layers::LayerKind::SubSheet50k ? r50.target() : r25.target();
                });
        // What was completed goes in place even when a later sheet failed.
        std::string errors[3];
        const bool committed[3] = {r50.commit(errors[0]), r25.commit(errors[1]),
                                   staging.commit(errors[2])};
        for (int i = 0; i < 3 && !failure; ++i)
            if (!committed[i])
                failure = common::Failure{kUnspecifiedFailure, common::displayed(errors[i])};
        if (failure)
            return StoppedRun{{kUnspecifiedFailure, failure->reason}, true};
    }
    common::Staging sheet;
    stageFolders(folders, &sheet);
    layers::WrittenLayers sheetLayers;
    common::Outcome failure = layers::createSheetLayers(job, settled, info.layout, folders.hyps,
                                                        folders.frame, &sheetLayers);
    if (!failure && job.qgisFiles)
        failure = writeLayerStyles(
            info, sheetLayers, [&](layers::LayerKind kind) -> auto& {
                return folderOf(kind) == kFrameFolder ? folders.frame : folders.hyps;
            });
    if (!failure && job.qgisFiles) {
        // The project lists the sheet's layers first, then the sub-sheets.
        sheetLayers.insert(sheetLayers.end(), written.begin(), written.end());
        failure = writeProject(info, sheetLayers, folders.result, [&](const ProjectFile& project) {
            record.project = project.name;
            record.projectDigest = project.digest;
            folders.result.stageInto(nullptr); // in place at once, before the project
            writeRunRecord(folders.result, record);
            folders.result.stageInto(&sheet);
        });
    }
    // The record says finished once the last file is in place, and is made
    // durable with them.
    record.finished = true;
    writeRunRecord(folders.result, record);
    // What was completed goes in place even when a later layer failed.
    if (auto notCommitted = commit(sheet, kUnspecifiedFailure); !failure)
        failure = notCommitted;
    stageFolders(folders, nullptr);
    if (failure)
        return StoppedRun{*failure, false};
    return std::nullopt;
}

} // namespace

std::optional<StoppedRun> writeSheet(const model::Job& job) {
    OutputFolders folders;
    if (auto failure = pathProcess(job.resultFolder, job.subSheetFrames, folders))
        return StoppedRun{*failure, true};
    // Marked as going until the run ends, so that the next run can tell a run
    // that was killed from one that ended (even with a failure: a layer that
    // fails leaves no file). Put in place at once, before any staged file or
    // fresh folder: their synchronisation makes it durable before their renames.
    // Best effort: the layers report a folder that cannot be written.
    RunRecord record{false, job.sheet.nomenclature(), job.subSheetFrames, {}, 0};
    writeRunRecord(folders.result, record);
    auto stopped = writeStages(job, folders, record);
    if (!record.finished) { // the sub-sheet frames failed
        record.finished = true;
        writeRunRecord(folders.result, record);
    }
    return stopped;
}

int runSheetJob(const std::vector<std::string>& args, InteractiveSession* session,
                std::ostream& err) {
    // The program name alone selects the interactive mode; any argument the
    // argument-file mode, of which only the first is read.
    const bool batchMode = args.size() > 1;
    Run run(session, !batchMode, err);
    try {
        return batchMode ? run.argumentFileMode(args[1]) : run.interactiveMode();
    } catch (const std::bad_alloc&) {
        err << "sheetjob: not enough memory\n"; // nothing allocated on the way out
    } catch (const std::exception& e) {
        err << "sheetjob: unexpected failure: " << common::displayed(e.what()) << '\n';
    } catch (...) {
        err << "sheetjob: unexpected failure\n";
    }
    if (run.interactive())
        session->showMessage(failureMessage(kUnspecifiedFailure), kTitleNotDone, MessageIcon::Stop);
    return kExitNotDone;
}

} // namespace sheetjob::job
