#pragma once
// The folder search: the platform's open-file dialog (or a native folder
// picker) in which the user walks to a folder and confirms a placeholder file
// name; the folder part of the confirmed path is the answer.

#include "sheetjob/dialogs/Controls.h"

#include <optional>
#include <string>
#include <string_view>

namespace sheetjob::dialogs {

/// Mode of findFile: folder search, the only one the system uses.
constexpr int kFindFolder = 0;

/// Shows the folder search starting in `initialDirectory` with the window
/// caption `caption` and the filter `pattern` ("*.*"). True when the user
/// confirmed: `folder` is the path up to and including its last separator
/// ("\" or "/"), `namePart` the rest. False when cancelled: both are empty.
/// `nameField` and `defaultExtension` are not used by the folder search.
bool findFile(Platform& platform, const std::string& initialDirectory, int mode,
              const std::string& pattern, const std::string& nameField,
              const std::string& defaultExtension, const std::string& caption, std::string& folder,
              std::string& namePart);

/// The folder a picker returned (UTF-8, native form, with its trailing
/// separator; nothing when the system's name is no UTF-8) as the job's path,
/// which is Windows-1251 text. A name that Windows-1251 cannot hold would send
/// the layers to another folder: it is refused with a message box under
/// `caption`, and there is no folder.
std::optional<std::string> jobFolder(Platform& platform, std::optional<std::string_view> utf8Folder,
                                     const std::string& caption);

/// Splits a confirmed path at its last separator ("\" or "/"): the folder keeps
/// the separator; a path without one gives an empty folder.
void splitFolder(const std::string& path, std::string& folder, std::string& namePart);

} // namespace sheetjob::dialogs
