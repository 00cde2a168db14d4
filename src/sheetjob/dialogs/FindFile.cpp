#include "sheetjob/dialogs/FindFile.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/dialogs/DialogTexts.h"

namespace sheetjob::dialogs {

void splitFolder(const std::string& path, std::string& folder, std::string& namePart) {
    // Windows paths use "\", the platform's folder picker may return "/"; the
    // last of either ends the folder.
    const auto cut = path.find_last_of("\\/");
    if (cut == std::string::npos) {
        folder.clear();
        namePart = path;
        return;
    }
    folder = path.substr(0, cut + 1);
    namePart = path.substr(cut + 1);
}

bool findFile(Platform& platform, const std::string& initialDirectory, int /*mode*/,
              const std::string& pattern, const std::string& /*nameField*/,
              const std::string& /*defaultExtension*/, const std::string& caption,
              std::string& folder, std::string& namePart) {
    OpenFileRequest request;
    request.filterName = std::string(text::kFolderFilterName);
    // The caller's fixed-length texts lose their trailing blanks only.
    request.pattern = common::rtrim(pattern);
    request.initialFileName = std::string(text::kPlaceholderFileName);
    request.initialDirectory = common::rtrim(initialDirectory);
    request.caption = common::rtrim(caption);
    request.pathMustExist = true;

    const auto confirmed = platform.openFile(request);
    if (!confirmed) {
        folder.clear();
        namePart.clear();
        return false;
    }
    splitFolder(common::rtrim(*confirmed), folder, namePart);
    return true;
}

std::optional<std::string> jobFolder(Platform& platform, std::optional<std::string_view> utf8Folder,
                                     const std::string& caption) {
    auto folder = utf8Folder ? common::utf8ToCp1251(*utf8Folder) : std::nullopt;
    if (!folder)
        platform.messageBox(std::string(text::kErrFolderEncoding), caption,
                            MessageIcon::Exclamation);
    return folder;
}

} // namespace sheetjob::dialogs
