#pragma once
// Full layer names: a folder (Windows-1251, no trailing separator), the native
// separator and a base name. The writer turns the result into the platform's
// file-name encoding.

#include <string>
#include <string_view>

namespace sheetjob::layers {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

/// folder + separator + baseName.
std::string layerPath(std::string_view folder, std::string_view baseName);

/// One line (UTF-8) telling which layer failed and why, for the caller's report.
std::string layerFailure(std::string_view path, std::string_view what,
                         std::string_view writerError);

} // namespace sheetjob::layers
