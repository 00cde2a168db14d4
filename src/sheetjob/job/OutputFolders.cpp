#include "sheetjob/job/OutputFolders.h"

#include "sheetjob/common/Cp1251.h"

#include <array>
#include <system_error>
#include <vector>

namespace sheetjob::job {
namespace fs = std::filesystem;

namespace {

// Base names under which the layer writers create the layers of each folder,
// in the order their stale files are removed.
constexpr std::array<std::string_view, 3> kHypsLayers = {"HypsA", "HypsL", "HypsP"};
constexpr std::array<std::string_view, 3> kFrameLayers = {"Frame", "FrameDig", "FrameAdj"};

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string asciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = asciiLower(c);
    return lower;
}

std::string displayed(std::string_view cp1251Path) { return common::cp1251ToUtf8(cp1251Path); }

/// One entry of a folder that removal may touch: anything but a folder (a
/// symbolic link counts as itself, whatever it points to).
struct FolderEntry {
    fs::path path;
    std::string lowerName; ///< file name in lower case (ASCII letters only)
};

/// The entries of a folder that are not folders themselves; an unreadable
/// folder gives none (removal is best effort: the layer writers overwrite the
/// main members anyway).
std::vector<FolderEntry> removableEntries(const fs::path& folder) {
    std::vector<FolderEntry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code statusError;
        const fs::file_status status = it->symlink_status(statusError);
        if (statusError || fs::is_directory(status))
            continue;
        const std::u8string name = it->path().filename().u8string();
        entries.push_back(
            {it->path(), asciiLower(std::string_view(reinterpret_cast<const char*>(name.data()),
                                                     name.size()))});
    }
    return entries;
}

/// Removes every member of the named layer (base name alone or followed by
/// ".anything", without regard to case) provided its .shp member is there.
void removeLayer(const std::vector<FolderEntry>& entries, std::string_view layer) {
    const std::string base = asciiLower(layer);
    const std::string mainFile = base + ".shp";
    bool hasMainFile = false;
    for (const auto& e : entries)
        hasMainFile = hasMainFile || e.lowerName == mainFile;
    if (!hasMainFile)
        return;
    for (const auto& e : entries) {
        if (e.lowerName == base ||
            (e.lowerName.size() > base.size() && e.lowerName.compare(0, base.size(), base) == 0 &&
             e.lowerName[base.size()] == '.')) {
            std::error_code ignored; // as with any removal, a file that stays is overwritten later
            fs::remove(e.path, ignored);
        }
    }
}

/// Makes a missing folder with its missing parents; 0 or `failStatus`.
int makeFolder(const std::string& cp1251Folder, int failStatus, std::string& reason) {
    std::error_code ec;
    fs::create_directories(fileSystemPath(cp1251Folder), ec);
    if (ec) {
        reason = "cannot create folder " + displayed(cp1251Folder) + ": " + ec.message();
        return failStatus;
    }
    return kFoldersReady;
}

bool exists(const std::string& cp1251Path) {
    std::error_code ec;
    return fs::exists(fileSystemPath(cp1251Path), ec);
}

/// HYPS or FRAME: removes the folder's stale layers, or makes the folder.
int prepareLayerFolder(const std::string& folder, const std::array<std::string_view, 3>& layers,
                       int failStatus, std::string& reason) {
    if (!exists(folder))
        return makeFolder(folder, failStatus, reason);
    const auto entries = removableEntries(fileSystemPath(folder));
    for (const auto layer : layers)
        removeLayer(entries, layer);
    return kFoldersReady;
}

/// HYPS_50 or HYPS_25: removes every file in the folder, or makes the folder.
int prepareSubSheetFolder(const std::string& folder, int failStatus, std::string& reason) {
    if (!exists(folder))
        return makeFolder(folder, failStatus, reason);
    for (const auto& e : removableEntries(fileSystemPath(folder))) {
        std::error_code ignored;
        fs::remove(e.path, ignored);
    }
    return kFoldersReady;
}

} // namespace

fs::path fileSystemPath(std::string_view cp1251Path) {
    const std::string utf8 = common::nativePathFromCp1251(cp1251Path);
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string withFolderSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != kFolderSeparator)
        folder += kFolderSeparator;
    return folder;
}

int pathProcess(const std::string& resultFolder, bool subSheetFrames, OutputFolders& folders,
                std::string& reason) {
    const std::string result = withFolderSeparator(resultFolder);
    folders.HypsPath = result + "HYPS";
    folders.FramePath = result + "FRAME";
    folders.R50Path = folders.HypsPath + "_50";
    folders.R25Path = folders.HypsPath + "_25";

    std::error_code ec;
    if (result.empty() || !fs::is_directory(fileSystemPath(result), ec)) {
        reason = "result folder " +
                 (result.empty() ? std::string("(empty)") : displayed(resultFolder)) +
                 " does not exist";
        return kResultFolderMissing;
    }
    if (const int status =
            prepareLayerFolder(folders.HypsPath, kHypsLayers, kHypsNotCreated, reason))
        return status;
    if (const int status =
            prepareLayerFolder(folders.FramePath, kFrameLayers, kFrameNotCreated, reason))
        return status;
    if (subSheetFrames) {
        if (const int status = prepareSubSheetFolder(folders.R50Path, kR50NotCreated, reason))
            return status;
        if (const int status = prepareSubSheetFolder(folders.R25Path, kR25NotCreated, reason))
            return status;
    }
    return kFoldersReady;
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
