#pragma once
// Reads a layer back with GDAL's ogrinfo, an independent reader of what the
// system writes: layer definition, attribute values (as ogrinfo shows them,
// UTF-8) and geometry as well-known text.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sheetjob::testing {

struct OgrPoint {
    double x = 0, y = 0;
};

struct OgrFeature {
    long fid = -1;
    std::vector<std::pair<std::string, std::string>> fields; ///< name, value as shown
    std::string wkt;                                         ///< geometry as shown
    /// The value of a field ("" when absent).
    [[nodiscard]] std::string field(const std::string& name) const;
    /// All coordinates of the geometry, in order (15 significant digits).
    [[nodiscard]] std::vector<OgrPoint> points() const;
};

struct OgrLayer {
    std::string name;
    std::string geometryType; ///< "Point", "Line String", "Polygon", ...
    long featureCount = -1;
    std::string srsText;                                        ///< the "Layer SRS WKT" block
    std::vector<std::pair<std::string, std::string>> fieldDefs; ///< name, "Integer (6.0)" ...
    std::vector<OgrFeature> features;
};

/// Runs ogrinfo on a .shp file; std::nullopt when ogrinfo fails to open it.
std::optional<OgrLayer> readLayerWithOgr(const std::string& shpPath);

} // namespace sheetjob::testing
