#pragma once
// Paths inside the system: Windows-1251 texts joined with the platform's own
// separator, so that every folder and layer path is a native one.

#include <filesystem>
#include <string>
#include <string_view>

namespace sheetjob::common {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

/// folder + separator + name (the folder has no trailing separator).
inline std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += kPathSeparator;
    path += name;
    return path;
}

/// A UTF-8 path (the program's file-name encoding) as a std::filesystem path.
/// Never from a plain std::string: Windows would read it in its ANSI code page.
inline std::filesystem::path filesystemPath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace sheetjob::common
