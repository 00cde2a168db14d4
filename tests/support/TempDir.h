#pragma once
// A fresh temporary folder for one test, removed with everything in it.

#include "sheetjob/common/Folder.h"

#include <filesystem>
#include <string>

namespace sheetjob::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    /// path() / relative, as a string.
    [[nodiscard]] std::string operator/(const std::string& relative) const {
        return (path_ / relative).string();
    }
    /// The folder itself, opened as the writers take it.
    [[nodiscard]] common::Folder folder() const { return openFolder(path_); }
    /// A folder under it, made when missing and opened.
    [[nodiscard]] common::Folder subfolder(const std::string& relative) const;
    static common::Folder openFolder(const std::filesystem::path& path);

  private:
    std::filesystem::path path_;
};

/// Writes `content` to `file` (binary), creating parent folders.
void writeFile(const std::filesystem::path& file, const std::string& content);
/// The whole content of a file ("" if it cannot be read).
std::string readFile(const std::filesystem::path& file);

} // namespace sheetjob::testing
