#pragma once
// The dialogs' platform on Win32: template dialogs, message boxes, the console
// line, the system's folder dialog and the working directory.

#include "sheetjob/dialogs/Controls.h"

#include <string>

namespace sheetjob::dialogs::win32 {

class Win32Platform : public Platform {
  public:
    std::unique_ptr<Dialog> createDialog(int templateId, Dialog* owner) override;
    /// Owned by the dialog that is running, when one is.
    void messageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void consoleLine(const std::string& line) override;
    void endProgram(int exitCode) override;
    /// The system's folder dialog: the chosen folder with a trailing "\",
    /// Windows-1251. A folder whose name Windows-1251 cannot hold is refused
    /// with a message box and reported as no choice.
    std::optional<std::string> openFile(const OpenFileRequest& request) override;
    std::string currentDirectory() override;
    void setCurrentDirectory(const std::string& path) override;

  private:
    std::wstring savedDirectory_; ///< the exact working directory last asked for
};

/// The folder with a trailing "\": "C:\Maps" gives "C:\Maps\".
std::wstring withTrailingSeparator(std::wstring folder);

} // namespace sheetjob::dialogs::win32
