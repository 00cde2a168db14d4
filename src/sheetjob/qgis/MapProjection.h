#pragma once
// The projection a sheet is shown in: the Gauss-Krueger zone of a 1:200 000
// set's sheet, a Lambert conformal conic fitted to a 1:1 000 000 set's sheet,
// both on the datum of the job's coordinate system. Holds the forward formulas
// too, since the print layout is computed from the projected frame.

#include "sheetjob/geometry/CoordSystem.h"

#include <string>

namespace sheetjob::qgis {

/// The geographic system the layers are written in.
struct GeographicSystem {
    int epsg = 0;              ///< 4284 (SK-42), 4200 (SK-95), 7683 (GSK-2011)
    std::string name;          ///< "Pulkovo 1942"
    std::string wkt;           ///< WKT 1 with EPSG authority nodes
    std::string ellipsoidCode; ///< "EPSG:7024", as QGIS names the measuring ellipsoid
    double a = 0.0;            ///< semi-major axis, metres
    double inverseFlattening = 0.0;
    std::string projEllipsoid; ///< PROJ's name of the ellipsoid: "krass", "GSK2011"
};

/// The geographic system a job's layers are written in (GSK-2011 for a sheet
/// laid out in SK-42 and shifted).
GeographicSystem geographicSystem(geometry::CoordSystem coordSystem);

/// The EPSG operation that takes the job's geographic system to WGS 84, as a
/// project pins it so that GPS tracks and web maps are shifted without a question.
struct DatumOperation {
    int epsg = 0;        ///< 5044
    std::string name;    ///< "Pulkovo 1942 to WGS 84 (20)"
    std::string helmert; ///< its PROJ step "+proj=helmert ...", "" for a null transformation
};

/// The operation from the system a job's layers are written in to WGS 84.
DatumOperation wgs84Operation(geometry::CoordSystem coordSystem);

/// The job's coordinate system as the margin of a printed sheet names it
/// (UTF-8): "Система координат 1942 г.".
std::string systemNote(geometry::CoordSystem coordSystem);

enum class ProjectionMethod { TransverseMercator, LambertConformalConic };

/// A projected system. `epsg` is 0 for a definition of our own (a zone EPSG
/// lacks, or the conic of one sheet); `wkt` always defines it completely.
struct MapCrs {
    ProjectionMethod method = ProjectionMethod::TransverseMercator;
    int epsg = 0;
    std::string description; ///< "Pulkovo 1942 / Gauss-Kruger zone 7"
    std::string wkt;         ///< WKT 1, with the geographic system's authority nodes
    GeographicSystem base;
    int zone = 0;                  ///< Gauss-Krueger zone 1..60 (transverse Mercator only)
    double centralMeridian = 0.0;  ///< degrees, -180..180
    double latitudeOfOrigin = 0.0; ///< degrees
    double standardParallel1 = 0.0, standardParallel2 = 0.0; ///< degrees (conic only)
    double scaleFactor = 1.0;
    double falseEasting = 0.0, falseNorthing = 0.0; ///< metres
};

/// The Gauss-Krueger zone 1..60 holding a longitude (degrees east, any turn).
int gaussKruegerZone(double longitude);

/// Gauss-Krueger zone `zone` on the system of `coordSystem`: the EPSG zone
/// where EPSG defines it (SK-42 zones 2-32, SK-95 and GSK-2011 zones 4-32),
/// otherwise the same transverse Mercator as our own definition.
MapCrs gaussKruegerCrs(geometry::CoordSystem coordSystem, int zone);

/// The Lambert conformal conic of a trapezium (degrees, south < north): central
/// meridian and latitude of origin at its middle, standard parallels a sixth of
/// its height inside its south and north edges, no false origin. `label` names it.
MapCrs conicCrs(geometry::CoordSystem coordSystem, double west, double east, double south,
                double north, const std::string& label);

/// The map system's projection as one PROJ step, easting first, numbers as
/// PROJ writes them: "+proj=tmerc +lat_0=0 +lon_0=39 +k=1 +x_0=7500000
/// +y_0=0 +ellps=krass".
std::string projDefinition(const MapCrs& crs);

/// A number as PROJ writes it in a step (15 significant digits, "64.6666666666667").
std::string projNumber(double value);

/// Easting and northing in metres.
struct ProjectedPoint {
    double x = 0.0;
    double y = 0.0;
};

/// The projected point of a longitude and latitude in degrees (series formulas;
/// within a millimetre of PROJ over a zone and the sheets' latitudes).
ProjectedPoint project(const MapCrs& crs, double longitude, double latitude);

/// Direction of true north at a point, degrees clockwise from grid north
/// (the negative of the meridian convergence east of a Gauss-Krueger zone's
/// central meridian in the northern hemisphere).
double trueNorthAzimuth(const MapCrs& crs, double longitude, double latitude);

} // namespace sheetjob::qgis
