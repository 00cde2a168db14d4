#pragma once
// The coordinate operations a project pins for QGIS (its transform context):
// the datum shift from WGS 84 to the job's system, which GPS tracks and web
// maps then take without a question to the user; and, for a sheet whose
// longitudes pass 180 degrees, the projection of its layers that brings the
// map's extent back into their 0..360 longitudes, so that QGIS asks the layers
// for the features the map shows.

#include "sheetjob/qgis/MapProjection.h"
#include "sheetjob/qgis/QgisFiles.h"

#include <string>
#include <vector>

namespace sheetjob::qgis {

/// One reference system as a project names it.
struct SpatialReference {
    int epsg = 0; ///< 0 for a definition of our own
    std::string description;
    std::string wkt;
    std::string projectionAcronym; ///< "longlat", "tmerc", "lcc", "merc"
    std::string ellipsoidAcronym;  ///< "EPSG:7024"
    bool geographic = false;
};

SpatialReference spatialReference(const GeographicSystem& system);
SpatialReference spatialReference(const MapCrs& crs);

/// An operation from one system to another: a PROJ pipeline over coordinates
/// longitude (easting) first, in degrees or metres, as QGIS passes them.
struct CoordinateOperation {
    SpatialReference source;
    SpatialReference target;
    std::string pipeline;
};

/// The operations of a sheet's project: WGS 84 (EPSG:4326) and WGS 84 /
/// Pseudo-Mercator (EPSG:3857) to the map's system and to the layers' one by
/// the EPSG datum operation of the job's system; and, where the sheet's east
/// edge reaches 180 degrees or passes it, the layers' system to the map's with
/// longitudes kept around the sheet's middle.
std::vector<CoordinateOperation> coordinateOperations(const SheetInfo& sheet, const MapCrs& map);

} // namespace sheetjob::qgis
