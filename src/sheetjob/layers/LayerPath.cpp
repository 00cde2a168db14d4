#include "sheetjob/layers/LayerPath.h"

#include "sheetjob/common/Cp1251.h"

namespace sheetjob::layers {

std::string layerFailure(std::string_view path, std::string_view what,
                         std::string_view writerError) {
    std::string line = "layer \"" + common::cp1251ToUtf8(path) + "\": " + std::string(what);
    if (!writerError.empty()) {
        line += ": ";
        line += writerError;
    }
    // The report is one line whatever the writer said.
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    return line;
}

} // namespace sheetjob::layers
