#include "sheetjob/job/OutputFolders.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Display.h"
#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/layers/SheetLayers.h"

#include <array>
#include <system_error>
#include <vector>

namespace sheetjob::job {
namespace fs = std::filesystem;

namespace {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string asciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = asciiLower(c);
    return lower;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

/// Entries that removal may touch: anything but a folder (a symbolic link
/// counts as itself, whatever it points to), with their names in lower case.
struct Removable {
    std::string name;
    std::string lowerName; ///< ASCII letters in lower case
};

std::vector<Removable> removableEntries(const common::Folder& folder) {
    std::vector<Removable> list;
    for (const common::FolderEntry& e : folder.entries())
        if (e.kind != common::EntryKind::Folder)
            list.push_back({e.name, asciiLower(e.name)});
    return list;
}

/// Removes every member of the named layer (base name alone or followed by
/// ".anything", without regard to case) provided its .shp member is there.
/// Removal is best effort: a member that stays is replaced when it is written.
void removeLayer(const common::Folder& folder, const std::vector<Removable>& entries,
                 std::string_view layer) {
    const std::string base = asciiLower(layer);
    const std::string mainFile = base + ".shp";
    bool hasMainFile = false;
    for (const auto& e : entries)
        hasMainFile = hasMainFile || e.lowerName == mainFile;
    if (!hasMainFile)
        return;
    for (const auto& e : entries)
        if (e.lowerName == base ||
            (e.lowerName.size() > base.size() && e.lowerName.compare(0, base.size(), base) == 0 &&
             e.lowerName[base.size()] == '.'))
            folder.removeEntry(e.name);
}

/// Files that a killed run left under their temporary names.
void removeLeftovers(const common::Folder& folder, const std::vector<Removable>& entries) {
    for (const auto& e : entries)
        if (endsWith(e.name, common::kPartSuffix))
            folder.removeEntry(e.name);
}

/// Opens the sub-folder `name` of the result folder, making it when it is
/// missing; a link or anything but a folder is refused.
common::Outcome openOrMake(const common::Folder& result, std::string_view name, int failStatus,
                           std::optional<common::Folder>& folder) {
    const std::string shown = common::displayed(result.pathOf(name));
    std::string error;
    switch (result.kindOf(name)) {
    case common::EntryKind::Missing:
        if (!result.makeSubfolder(name, error))
            return common::Failure{failStatus, "cannot create folder " + shown + ": " + error};
        break;
    case common::EntryKind::Folder:
        break;
    case common::EntryKind::Link:
        return common::Failure{failStatus, "cannot use folder " + shown +
                                               ": it is a symbolic link, which is never followed"};
    default:
        return common::Failure{failStatus, "cannot use folder " + shown +
                                               ": a file of that name is in the way"};
    }
    folder = result.openSubfolder(name, error);
    if (!folder)
        return common::Failure{failStatus, "cannot use folder " + shown + ": " + error};
    return std::nullopt;
}

} // namespace

fs::path fileSystemPath(std::string_view cp1251Path) {
    return common::filesystemPath(common::nativePathFromCp1251(cp1251Path));
}

std::string withFolderSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != kFolderSeparator)
        folder += kFolderSeparator;
    return folder;
}

common::Outcome pathProcess(const std::string& resultFolder, bool subSheetFrames,
                            OutputFolders& folders) {
    const std::string path = common::nativePathFromCp1251(withFolderSeparator(resultFolder));
    const std::string shown = path.empty() ? std::string("(empty)") : common::displayed(path);
    std::string error;
    auto result = path.empty() ? std::nullopt : common::Folder::open(path, error);
    if (!result)
        return common::Failure{kResultFolderMissing, "result folder " + shown + " does not exist"};
    folders.result = std::move(*result);

    bool busy = false;
    auto lock = folders.result.lock(kLockFile, busy, error);
    if (!lock)
        return common::Failure{kResultFolderBusy,
                               busy
                                   ? "result folder " + shown +
                                         " is being written by another run; try again when it "
                                         "has finished"
                                   : "cannot lock result folder " + shown + " (" +
                                         common::displayed(std::string(kLockFile)) + "): " + error};
    folders.lock = std::move(*lock);

    // Every folder is checked before anything is removed from any of them.
    std::optional<common::Folder> hyps, frame, r50, r25;
    if (auto failure = openOrMake(folders.result, kHypsFolder, kHypsNotCreated, hyps))
        return failure;
    if (auto failure = openOrMake(folders.result, kFrameFolder, kFrameNotCreated, frame))
        return failure;
    if (subSheetFrames) {
        if (auto failure = openOrMake(folders.result, kR50Folder, kR50NotCreated, r50))
            return failure;
        if (auto failure = openOrMake(folders.result, kR25Folder, kR25NotCreated, r25))
            return failure;
    }

    const auto hypsEntries = removableEntries(*hyps);
    for (const auto layer : layers::kHypsLayerNames)
        removeLayer(*hyps, hypsEntries, layer);
    removeLeftovers(*hyps, hypsEntries);
    const auto frameEntries = removableEntries(*frame);
    for (const int layer : {frame::kFrameLayer, frame::kFrameDigLayer, frame::kFrameAdjLayer})
        removeLayer(*frame, frameEntries, frame::kFrameLayerNames[static_cast<size_t>(layer)]);
    removeLeftovers(*frame, frameEntries);
    for (auto* sub : {&r50, &r25})
        if (*sub)
            for (const auto& e : removableEntries(**sub))
                (*sub)->removeEntry(e.name);

    folders.hyps = std::move(*hyps);
    folders.frame = std::move(*frame);
    folders.r50 = std::move(r50);
    folders.r25 = std::move(r25);
    return std::nullopt;
}

std::string failureMessage(int status) {
    switch (status) {
    case kResultFolderMissing: // Не существует заданная папка результата
        return "\xCD\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2 \xE7\xE0\xE4\xE0\xED\xED\xE0\xFF "
               "\xEF\xE0\xEF\xEA\xE0 \xF0\xE5\xE7\xF3\xEB\xFC\xF2\xE0\xF2\xE0";
    case kHypsNotCreated: // Не удалось создать папку HYPS
        return "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xE7\xE4\xE0\xF2\xFC "
               "\xEF\xE0\xEF\xEA\xF3 HYPS";
    case kFrameNotCreated: // Не удалось создать папку FRAME
        return "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xE7\xE4\xE0\xF2\xFC "
               "\xEF\xE0\xEF\xEA\xF3 FRAME";
    case kR50NotCreated: // Не удалось создать папку R50
        return "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xE7\xE4\xE0\xF2\xFC "
               "\xEF\xE0\xEF\xEA\xF3 R50";
    case kR25NotCreated: // Не удалось создать папку R25
        return "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xE7\xE4\xE0\xF2\xFC "
               "\xEF\xE0\xEF\xEA\xF3 R25";
    default: // Неспецифицированная ошибка
        return "\xCD\xE5\xF1\xEF\xE5\xF6\xE8\xF4\xE8\xF6\xE8\xF0\xEE\xE2\xE0\xED\xED\xE0\xFF "
               "\xEE\xF8\xE8\xE1\xEA\xE0";
    }
}

} // namespace sheetjob::job
