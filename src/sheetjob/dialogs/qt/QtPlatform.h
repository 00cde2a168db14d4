#pragma once
// The dialogs' platform on Qt 6 Widgets: template dialogs, message boxes,
// the console line, a native folder picker and the working directory.

#include "sheetjob/dialogs/Controls.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace sheetjob::dialogs::qt {

class QtPlatform : public Platform {
  public:
    /// Picks a folder: the chosen folder (any form Qt gives), or nothing when
    /// cancelled. Replaceable so that tests need no native dialog.
    using FolderPicker = std::function<std::optional<QString>(
        QWidget* parent, const QString& caption, const QString& directory)>;

    QtPlatform();
    void setFolderPicker(FolderPicker picker) { picker_ = std::move(picker); }

    std::unique_ptr<Dialog> createDialog(int templateId, Dialog* owner) override;
    void messageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void consoleLine(const std::string& line) override;
    void endProgram(int exitCode) override;
    /// The picked folder in native form with a trailing separator, Windows-1251.
    /// A folder whose name Windows-1251 cannot hold is refused with a message
    /// box and reported as no choice.
    std::optional<std::string> openFile(const OpenFileRequest& request) override;
    std::string currentDirectory() override;
    void setCurrentDirectory(const std::string& path) override;

  private:
    FolderPicker picker_;
    QString savedDirectory_; ///< the exact working directory last asked for
};

/// The folder with a trailing native separator: "/data/maps" gives "/data/maps/".
QString withTrailingSeparator(const QString& folder);

} // namespace sheetjob::dialogs::qt
