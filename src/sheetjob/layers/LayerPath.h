#pragma once
// The one-line report of a layer that failed.

#include <string>
#include <string_view>

namespace sheetjob::layers {

/// One line (UTF-8) telling which layer failed and why, for the caller's report.
std::string layerFailure(std::string_view path, std::string_view what,
                         std::string_view writerError);

} // namespace sheetjob::layers
