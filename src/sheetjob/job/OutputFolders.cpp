#include "sheetjob/job/OutputFolders.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Display.h"
#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/job/RunRecord.h"
#include "sheetjob/layers/SheetLayers.h"
#include "sheetjob/layers/SubSheets.h"
#include "sheetjob/nomenclature/Sheet.h"

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

/// The members a shapefile layer has (lower case): its own files, its style,
/// and the index and metadata files that GIS programs put beside it. Only
/// these go with a layer: "HypsA.shp.bak" or a bare "HypsA" is someone's own.
constexpr std::array<std::string_view, 14> kMemberExtensions = {
    ".shp", ".shx", ".dbf",     ".prj", ".cpg", ".qml", ".sbn",
    ".sbx", ".qix", ".shp.xml", ".fix", ".aih", ".ain", ".atx"};
constexpr std::string_view kMainExtension = ".shp";

/// The layer (its base name, lower case) of which `lowerName` is a member;
/// empty when it is no layer's member.
std::string_view layerOf(std::string_view lowerName) {
    for (const std::string_view extension : kMemberExtensions)
        if (lowerName.size() > extension.size() && endsWith(lowerName, extension))
            return lowerName.substr(0, lowerName.size() - extension.size());
    return {};
}

/// Removes every member of the named layer, names matched without regard to
/// case, provided its .shp member is there unless `evenWithoutMainFile` (the
/// layer of a run that was killed while it put the members in place).
/// Removal is best effort: a member that stays is replaced when it is written.
void removeLayer(const common::Folder& folder, const std::vector<Removable>& entries,
                 std::string_view layer, bool evenWithoutMainFile) {
    const std::string base = asciiLower(layer);
    const std::string mainFile = base + std::string(kMainExtension);
    bool hasMainFile = evenWithoutMainFile;
    for (const auto& e : entries)
        hasMainFile = hasMainFile || e.lowerName == mainFile;
    if (!hasMainFile)
        return;
    for (const auto& e : entries)
        if (layerOf(e.lowerName) == base)
            folder.removeEntry(e.name);
}

/// Removes the member files of every layer in a folder that holds only the
/// run's own layers (HYPS_50, HYPS_25), whatever their names.
void removeEveryLayer(const common::Folder& folder, const std::vector<Removable>& entries) {
    for (const auto& e : entries)
        if (!layerOf(e.lowerName).empty())
            folder.removeEntry(e.name);
}

/// Files that a killed run left under their temporary names.
void removeLeftovers(const common::Folder& folder, const std::vector<Removable>& entries) {
    for (const auto& e : entries)
        if (endsWith(e.name, common::kPartSuffix))
            folder.removeEntry(e.name);
}

/// A project name from a record, taken only when it names a project file
/// directly in the result folder (a record is a file anyone may have edited).
bool isProjectName(std::string_view name) {
    constexpr std::string_view kProjectExtension = ".qgs";
    return name.size() > kProjectExtension.size() && endsWith(name, kProjectExtension) &&
           name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos &&
           !common::hasControlCharacter(name);
}

/// Removes the project an earlier run wrote, provided it is still exactly as
/// that run wrote it: a project the user changed and saved is the user's.
void removeEarlierProject(const common::Folder& result, const RunRecord& earlier) {
    // Far beyond any project a sheet writes (a few hundred kB with sub-sheets).
    constexpr std::size_t kMaxProjectBytes = 64u << 20;
    if (!isProjectName(earlier.project))
        return;
    std::string content;
    if (result.readFile(earlier.project, kMaxProjectBytes, content) &&
        contentDigest(content) == earlier.projectDigest)
        result.removeEntry(earlier.project);
}

/// The sub-sheet layers of the earlier run's sheet in one of the two folders,
/// for removal after that run was killed; none when the record names no
/// single 1:200 000 sheet.
std::vector<std::string> subSheetLayers(const RunRecord& earlier, int scale) {
    std::vector<std::string> names;
    const auto sheet = nomenclature::Sheet::parse(earlier.sheet);
    if (!earlier.subSheetFrames || !sheet)
        return names;
    layers::createMaps5025(*sheet, [&](const layers::SubSheet& s) {
        if (s.scale == scale)
            names.push_back(common::nativePathFromCp1251(s.name));
        return common::Outcome{};
    });
    return names;
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
    bool missing = true;
    auto result = path.empty() ? std::nullopt : common::Folder::open(path, error, &missing);
    if (!result) {
        if (missing)
            return common::Failure{kResultFolderMissing,
                                   "result folder " + shown + " does not exist"};
        return common::Failure{kResultFolderUnusable, "cannot open result folder " + shown + ": " +
                                                          common::displayed(error)};
    }
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

    // What the earlier run into this folder wrote; still marked as going when
    // that run was killed between putting a layer's members in place.
    const std::optional<RunRecord> earlier = readRunRecord(folders.result);
    const bool killed = earlier && !earlier->finished;
    if (earlier)
        removeEarlierProject(folders.result, *earlier);
    removeLeftovers(folders.result, removableEntries(folders.result));
    // A sub-sheet folder that a killed run was writing whole goes too.
    for (const std::string_view name : {kR50Folder, kR25Folder}) {
        const std::string fresh = folders.result.temporaryName(name);
        std::string ignored;
        if (folders.result.kindOf(fresh) == common::EntryKind::Folder)
            folders.result.removeFolderWithFiles(fresh, ignored);
    }

    const auto hypsEntries = removableEntries(*hyps);
    for (const auto layer : layers::kHypsLayerNames)
        removeLayer(*hyps, hypsEntries, layer, killed);
    removeLeftovers(*hyps, hypsEntries);
    const auto frameEntries = removableEntries(*frame);
    for (const int layer : {frame::kFrameLayer, frame::kFrameDigLayer, frame::kFrameAdjLayer})
        removeLayer(*frame, frameEntries, frame::kFrameLayerNames[static_cast<size_t>(layer)],
                    killed);
    removeLeftovers(*frame, frameEntries);

    const std::pair<std::string_view, int> subFolders[] = {{kR50Folder, layers::kScale50},
                                                           {kR25Folder, layers::kScale25}};
    for (const auto& [name, scale] : subFolders) {
        std::optional<common::Folder>& asked = scale == layers::kScale50 ? r50 : r25;
        // A sub-sheet folder this run does not write may still hold the
        // leftovers of one that did; one that is a link or a file is left alone.
        std::optional<common::Folder> found;
        if (!asked && folders.result.kindOf(name) == common::EntryKind::Folder)
            found = folders.result.openSubfolder(name, error);
        const common::Folder* sub = asked ? &*asked : found ? &*found : nullptr;
        if (!sub)
            continue;
        const auto entries = removableEntries(*sub);
        if (asked)
            removeEveryLayer(*sub, entries);
        else if (killed)
            for (const std::string& layer : subSheetLayers(*earlier, scale))
                removeLayer(*sub, entries, layer, true);
        removeLeftovers(*sub, entries);
    }

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
