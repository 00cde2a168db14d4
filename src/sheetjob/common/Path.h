#pragma once
// Paths inside the system: Windows-1251 texts joined with the platform's own
// separator, so that every folder and layer path is a native one.

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

} // namespace sheetjob::common
