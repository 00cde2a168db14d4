#include "sheetjob/qgis/CoordinateOperations.h"

#include <algorithm>
#include <utility>

namespace sheetjob::qgis {

namespace {

// A sheet reaching this longitude holds longitudes that QGIS would bring back
// into -180..180 when it turns the map's extent into the layers' system.
constexpr double kAntimeridian = 180.0;

// WGS 84 and WGS 84 / Pseudo-Mercator as EPSG defines them (WKT 1 as GDAL writes it).
constexpr const char* kWgs84Wkt =
    "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563,"
    "AUTHORITY[\"EPSG\",\"7030\"]],AUTHORITY[\"EPSG\",\"6326\"]],PRIMEM[\"Greenwich\",0,"
    "AUTHORITY[\"EPSG\",\"8901\"]],UNIT[\"degree\",0.0174532925199433,AUTHORITY[\"EPSG\",\"9122\"]]"
    ","
    "AUTHORITY[\"EPSG\",\"4326\"]]";
constexpr const char* kWebMercatorPrefix = "PROJCS[\"WGS 84 / Pseudo-Mercator\",";
constexpr const char* kWebMercatorSuffix =
    ",PROJECTION[\"Mercator_1SP\"],PARAMETER[\"central_meridian\",0],PARAMETER[\"scale_factor\",1],"
    "PARAMETER[\"false_easting\",0],PARAMETER[\"false_northing\",0],UNIT[\"metre\",1,"
    "AUTHORITY[\"EPSG\",\"9001\"]],AXIS[\"Easting\",EAST],AXIS[\"Northing\",NORTH],"
    "AUTHORITY[\"EPSG\",\"3857\"]]";
constexpr const char* kWgs84Ellipsoid = "EPSG:7030";

// The first step of a pipeline from geographic degrees (WGS 84 or the layers'
// system) and from WGS 84 / Pseudo-Mercator, and the last one back to degrees,
// as PROJ writes them.
constexpr const char* kFromDegrees =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad";
constexpr const char* kFromWebMercator =
    "+proj=pipeline +step +inv +proj=webmerc +lat_0=0 +lon_0=0 +x_0=0 +y_0=0 +ellps=WGS84";
constexpr const char* kToDegrees = " +step +proj=unitconvert +xy_in=rad +xy_out=deg";

SpatialReference wgs84() { return {4326, "WGS 84", kWgs84Wkt, "longlat", kWgs84Ellipsoid, true}; }

SpatialReference webMercator() {
    return {3857,
            "WGS 84 / Pseudo-Mercator",
            std::string(kWebMercatorPrefix) + kWgs84Wkt + kWebMercatorSuffix,
            "merc",
            kWgs84Ellipsoid,
            false};
}

/// From geographic WGS 84 in radians to the job's datum, then `last`: the
/// map's projection, or degrees.
std::string wgs84ToDatum(const GeographicSystem& system, const DatumOperation& op,
                         const std::string& last) {
    std::string s = " +step +proj=push +v_3 +step +proj=cart +ellps=WGS84";
    if (!op.helmert.empty())
        s += " +step +inv " + op.helmert;
    return s + " +step +inv +proj=cart +ellps=" + system.projEllipsoid + " +step +proj=pop +v_3" +
           last;
}

} // namespace

SpatialReference spatialReference(const GeographicSystem& system) {
    return {system.epsg, system.name, system.wkt, "longlat", system.ellipsoidCode, true};
}

SpatialReference spatialReference(const MapCrs& crs) {
    return {crs.epsg,
            crs.description,
            crs.wkt,
            crs.method == ProjectionMethod::TransverseMercator ? "tmerc" : "lcc",
            crs.base.ellipsoidCode,
            false};
}

std::vector<CoordinateOperation> coordinateOperations(const SheetInfo& sheet, const MapCrs& map) {
    const GeographicSystem layers = geographicSystem(sheet.coordSystem);
    const DatumOperation op = wgs84Operation(sheet.coordSystem);
    const std::string toMap = " +step " + projDefinition(map);
    std::vector<CoordinateOperation> ops;
    for (const auto& [source, start] :
         {std::pair{wgs84(), kFromDegrees}, std::pair{webMercator(), kFromWebMercator}}) {
        ops.push_back({source, spatialReference(map), start + wgs84ToDatum(layers, op, toMap)});
        ops.push_back(
            {source, spatialReference(layers), start + wgs84ToDatum(layers, op, kToDegrees)});
    }
    const double east = std::max(sheet.west, sheet.east);
    if (east >= kAntimeridian) {
        // The layers' longitudes run from 0 to 360 and beyond; QGIS turns the
        // map's extent back with this operation's inverse, which keeps them
        // within half a turn of the sheet's middle instead of -180..180.
        const std::string wrap = projNumber((sheet.west + sheet.east) / 2);
        ops.push_back({spatialReference(layers), spatialReference(map),
                       std::string(kFromDegrees) + " +step +inv +proj=longlat +ellps=" +
                           layers.projEllipsoid + " +lon_wrap=" + wrap + toMap});
    }
    return ops;
}

} // namespace sheetjob::qgis
