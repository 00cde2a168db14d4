#include "support/Ogr.h"

#include "support/Process.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace sheetjob::testing {
namespace {

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return "";
    const auto e = s.find_last_not_of(" \r");
    return s.substr(b, e - b + 1);
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

} // namespace

std::string OgrFeature::field(const std::string& name) const {
    for (const auto& [n, v] : fields)
        if (n == name)
            return v;
    return "";
}

std::vector<OgrPoint> OgrFeature::points() const {
    std::vector<OgrPoint> result;
    const auto open = wkt.find('(');
    if (open == std::string::npos)
        return result;
    std::string numbers = wkt.substr(open);
    for (char& c : numbers)
        if (c == '(' || c == ')' || c == ',')
            c = ' ';
    std::istringstream in(numbers);
    OgrPoint p;
    while (in >> p.x >> p.y)
        result.push_back(p);
    return result;
}

std::optional<OgrLayer> readLayerWithOgr(const std::string& shpPath) {
    const ProcessResult all = runProcess(SHEETJOB_OGRINFO, {"-ro", "-al", shpPath});
    if (all.exitCode != 0)
        return std::nullopt;
    OgrLayer layer;
    std::istringstream in(all.out);
    std::string line;
    OgrFeature* current = nullptr;
    bool inSrs = false;
    bool inDefs = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (startsWith(line, "Layer name: ")) {
            layer.name = line.substr(12);
        } else if (startsWith(line, "Geometry: ")) {
            layer.geometryType = line.substr(10);
        } else if (startsWith(line, "Feature Count: ")) {
            layer.featureCount = std::stol(line.substr(15));
        } else if (startsWith(line, "Layer SRS WKT:")) {
            inSrs = true;
        } else if (startsWith(line, "OGRFeature(")) {
            inSrs = inDefs = false;
            layer.features.emplace_back();
            current = &layer.features.back();
            current->fid = std::stol(line.substr(line.find("):") + 2));
        } else if (current != nullptr) {
            const std::string t = trimmed(line);
            const auto eq = line.find(") = ");
            if (startsWith(line, "  ") && eq != std::string::npos && line.find(" (") < eq) {
                const std::string name = trimmed(line.substr(0, line.find(" (")));
                current->fields.emplace_back(name, line.substr(eq + 4));
            } else if (!t.empty() && std::isupper(static_cast<unsigned char>(t[0])) != 0 &&
                       t.find('(') != std::string::npos) {
                current->wkt = t;
            } else if (startsWith(t, "POINT") || startsWith(t, "LINESTRING") ||
                       startsWith(t, "POLYGON")) {
                current->wkt = t;
            }
        } else if (inSrs) {
            const auto colon = line.find(": ");
            if (colon != std::string::npos && line.find('(') != std::string::npos &&
                line.find('[') == std::string::npos && !startsWith(line, " ")) {
                inSrs = false;
                inDefs = true;
            } else if (startsWith(line, "Data axis to CRS axis mapping")) {
                inSrs = false;
                inDefs = true;
                continue;
            } else {
                layer.srsText += line + "\n";
                continue;
            }
        }
        if (inDefs && current == nullptr) {
            const auto colon = line.find(": ");
            if (colon != std::string::npos && !startsWith(line, " "))
                layer.fieldDefs.emplace_back(line.substr(0, colon), line.substr(colon + 2));
        }
    }
    return layer;
}

} // namespace sheetjob::testing
