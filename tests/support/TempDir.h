#pragma once
// A fresh temporary folder for one test, removed with everything in it.

#include "sheetjob/common/Folder.h"

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

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

/// Whether a test can make symbolic links itself: not on Windows, where that
/// takes a privilege and Wine makes none. There the links are made from Linux,
/// around the program (tests/windows/links_wine.sh).
#ifdef _WIN32
inline constexpr bool kTestMakesLinks = false;
#else
inline constexpr bool kTestMakesLinks = true;
#endif

/// A UTF-8 name or path as a file-system path (Windows would read a plain
/// string in its ANSI code page).
std::filesystem::path fromUtf8(std::string_view utf8);
/// The names in a folder, as UTF-8 and in the case they are stored in.
std::set<std::string> namesIn(const std::filesystem::path& folder);

/// Writes `content` to `file` (binary), creating parent folders.
void writeFile(const std::filesystem::path& file, const std::string& content);
/// The whole content of a file ("" if it cannot be read).
std::string readFile(const std::filesystem::path& file);

} // namespace sheetjob::testing
