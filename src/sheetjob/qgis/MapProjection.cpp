#include "sheetjob/qgis/MapProjection.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/qgis/Xml.h"

#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

namespace sheetjob::qgis {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kZoneWidth = 6.0;                 // degrees of longitude per Gauss-Krueger zone
constexpr int kZoneCount = 60;                     // zones around the globe
constexpr double kZonePrefix = 1000000.0;          // false easting: zone number in the millions
constexpr double kZoneFalseEasting = 500000.0;     // ... plus 500 km
constexpr double kConicParallelFraction = 1.0 / 6; // standard parallels a sixth inside the edges
constexpr double kNorthStep = 1e-5;                // degrees, step for the direction of north

constexpr int kProjDigits = 15;       // significant digits of a number in a PROJ step
constexpr int kProjNumberBuffer = 32; // such a number with sign and exponent

std::string authority(int code) { return "AUTHORITY[\"EPSG\",\"" + std::to_string(code) + "\"]"; }

/// Longitude difference brought into -180..180.
double wrap180(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d > 180.0)
        d -= 360.0;
    if (d < -180.0)
        d += 360.0;
    return d;
}

std::string parameter(const char* name, double value) {
    return std::string("PARAMETER[\"") + name + "\"," + formatNumber(value) + "]";
}

struct Ellipsoid {
    double a;
    double e2; // first eccentricity squared
};

Ellipsoid ellipsoidOf(const MapCrs& crs) {
    const double f = 1.0 / crs.base.inverseFlattening;
    return {crs.base.a, f * (2 - f)};
}

/// Meridian arc from the equator to `phi` (radians).
double meridianArc(const Ellipsoid& el, double phi) {
    const double e2 = el.e2, e4 = e2 * e2, e6 = e4 * e2;
    return el.a * ((1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256) * phi -
                   (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024) * std::sin(2 * phi) +
                   (15 * e4 / 256 + 45 * e6 / 1024) * std::sin(4 * phi) -
                   (35 * e6 / 3072) * std::sin(6 * phi));
}

ProjectedPoint transverseMercator(const MapCrs& crs, double lon, double lat) {
    const Ellipsoid el = ellipsoidOf(crs);
    const double ep2 = el.e2 / (1 - el.e2);
    const double phi = lat * kDegree;
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi), tanPhi = std::tan(phi);
    const double N = el.a / std::sqrt(1 - el.e2 * sinPhi * sinPhi);
    const double T = tanPhi * tanPhi;
    const double C = ep2 * cosPhi * cosPhi;
    const double A = wrap180(lon - crs.centralMeridian) * kDegree * cosPhi;
    const double A2 = A * A, A3 = A2 * A, A4 = A3 * A, A5 = A4 * A, A6 = A5 * A;
    const double k0 = crs.scaleFactor;
    ProjectedPoint p;
    p.x = crs.falseEasting +
          k0 * N * (A + (1 - T + C) * A3 / 6 + (5 - 18 * T + T * T + 72 * C - 58 * ep2) * A5 / 120);
    p.y = crs.falseNorthing +
          k0 * (meridianArc(el, phi) - meridianArc(el, crs.latitudeOfOrigin * kDegree) +
                N * tanPhi *
                    (A2 / 2 + (5 - T + 9 * C + 4 * C * C) * A4 / 24 +
                     (61 - 58 * T + T * T + 600 * C - 330 * ep2) * A6 / 720));
    return p;
}

double conicM(const Ellipsoid& el, double phi) {
    const double s = std::sin(phi);
    return std::cos(phi) / std::sqrt(1 - el.e2 * s * s);
}

double conicT(const Ellipsoid& el, double phi) {
    const double e = std::sqrt(el.e2);
    const double s = std::sin(phi);
    return std::tan(std::numbers::pi / 4 - phi / 2) / std::pow((1 - e * s) / (1 + e * s), e / 2);
}

ProjectedPoint lambertConic(const MapCrs& crs, double lon, double lat) {
    const Ellipsoid el = ellipsoidOf(crs);
    const double p1 = crs.standardParallel1 * kDegree, p2 = crs.standardParallel2 * kDegree;
    const double m1 = conicM(el, p1), m2 = conicM(el, p2);
    const double t1 = conicT(el, p1), t2 = conicT(el, p2);
    // One standard parallel (a trapezium without height) makes the tangent cone.
    const double n = std::fabs(p1 - p2) > 1e-12
                         ? (std::log(m1) - std::log(m2)) / (std::log(t1) - std::log(t2))
                         : std::sin(p1);
    const double F = m1 / (n * std::pow(t1, n));
    const double rho = el.a * F * std::pow(conicT(el, lat * kDegree), n);
    const double rho0 = el.a * F * std::pow(conicT(el, crs.latitudeOfOrigin * kDegree), n);
    const double theta = n * wrap180(lon - crs.centralMeridian) * kDegree;
    return {crs.falseEasting + rho * std::sin(theta),
            crs.falseNorthing + rho0 - rho * std::cos(theta)};
}

std::string projectedWkt(const MapCrs& c) {
    std::string w = "PROJCS[\"" + c.description + "\"," + c.base.wkt + ",";
    if (c.method == ProjectionMethod::TransverseMercator) {
        w += "PROJECTION[\"Transverse_Mercator\"]," +
             parameter("latitude_of_origin", c.latitudeOfOrigin) + "," +
             parameter("central_meridian", c.centralMeridian) + "," +
             parameter("scale_factor", c.scaleFactor) + ",";
    } else {
        w += "PROJECTION[\"Lambert_Conformal_Conic_2SP\"]," +
             parameter("standard_parallel_1", c.standardParallel1) + "," +
             parameter("standard_parallel_2", c.standardParallel2) + "," +
             parameter("latitude_of_origin", c.latitudeOfOrigin) + "," +
             parameter("central_meridian", c.centralMeridian) + ",";
    }
    w += parameter("false_easting", c.falseEasting) + "," +
         parameter("false_northing", c.falseNorthing) + ",UNIT[\"metre\",1," + authority(9001) +
         "]";
    // The EPSG zones count X northward and Y eastward; with the same axes the
    // text is the EPSG definition itself, not just one that carries its code.
    if (c.epsg != 0)
        w += ",AXIS[\"Northing\",NORTH],AXIS[\"Easting\",EAST]," + authority(c.epsg);
    return w + "]";
}

} // namespace

GeographicSystem geographicSystem(geometry::CoordSystem coordSystem) {
    const geometry::CoordSystemFacts& f = coordSystem.facts();
    GeographicSystem g;
    g.epsg = f.geographicEpsg;
    g.name = f.name;
    g.ellipsoidCode = "EPSG:" + std::to_string(f.ellipsoidEpsg);
    g.a = f.semiMajorAxis;
    g.inverseFlattening = f.inverseFlattening;
    g.wkt = "GEOGCS[\"" + g.name + "\",DATUM[\"" + std::string(f.datumName) + "\",SPHEROID[\"" +
            std::string(f.ellipsoidName) + "\"," + formatNumber(g.a) + "," +
            formatNumber(g.inverseFlattening) + "," + authority(f.ellipsoidEpsg) + "]," +
            authority(f.datumEpsg) + "],PRIMEM[\"Greenwich\",0," + authority(8901) +
            "],UNIT[\"degree\",0.0174532925199433," + authority(9122) + "]," + authority(g.epsg) +
            "]";
    g.projEllipsoid = f.projEllipsoid;
    return g;
}

DatumOperation wgs84Operation(geometry::CoordSystem coordSystem) {
    const geometry::CoordSystemFacts& f = coordSystem.facts();
    return {f.toWgs84Epsg, std::string(f.toWgs84Name), std::string(f.toWgs84Helmert)};
}

std::string systemNote(geometry::CoordSystem coordSystem) {
    return common::cp1251ToUtf8(std::string(coordSystem.facts().printedNote));
}

std::string projNumber(double value) {
    if (value == 0.0)
        return "0";
    std::array<char, kProjNumberBuffer> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, kProjDigits);
    return std::string(buffer.data(), result.ptr);
}

std::string projDefinition(const MapCrs& crs) {
    const auto p = [](const char* key, double value) {
        return std::string(" +") + key + "=" + projNumber(value);
    };
    std::string s;
    if (crs.method == ProjectionMethod::TransverseMercator) {
        s = "+proj=tmerc" + p("lat_0", crs.latitudeOfOrigin) + p("lon_0", crs.centralMeridian) +
            p("k", crs.scaleFactor);
    } else {
        s = "+proj=lcc" + p("lat_0", crs.latitudeOfOrigin) + p("lon_0", crs.centralMeridian) +
            p("lat_1", crs.standardParallel1) + p("lat_2", crs.standardParallel2);
    }
    return s + p("x_0", crs.falseEasting) + p("y_0", crs.falseNorthing) +
           " +ellps=" + crs.base.projEllipsoid;
}

int gaussKruegerZone(double longitude) {
    double lon = std::fmod(longitude, 360.0);
    if (lon < 0)
        lon += 360.0;
    const int zone = static_cast<int>(std::floor(lon / kZoneWidth)) + 1;
    return zone > kZoneCount ? kZoneCount : zone;
}

MapCrs gaussKruegerCrs(geometry::CoordSystem coordSystem, int zone) {
    MapCrs c;
    c.method = ProjectionMethod::TransverseMercator;
    c.base = geographicSystem(coordSystem);
    c.zone = zone;
    c.centralMeridian = wrap180(zone * kZoneWidth - kZoneWidth / 2);
    c.scaleFactor = 1.0;
    c.falseEasting = zone * kZonePrefix + kZoneFalseEasting;
    c.epsg = coordSystem.gaussKruegerEpsg(zone);
    c.description = c.base.name + " / Gauss-Kruger zone " + std::to_string(zone);
    c.wkt = projectedWkt(c);
    return c;
}

MapCrs conicCrs(geometry::CoordSystem coordSystem, double west, double east, double south,
                double north, const std::string& label) {
    MapCrs c;
    c.method = ProjectionMethod::LambertConformalConic;
    c.base = geographicSystem(coordSystem);
    c.centralMeridian = wrap180((west + east) / 2);
    c.latitudeOfOrigin = (south + north) / 2;
    c.standardParallel1 = south + (north - south) * kConicParallelFraction;
    c.standardParallel2 = north - (north - south) * kConicParallelFraction;
    c.description = c.base.name + " / Lambert conic " + label;
    c.wkt = projectedWkt(c);
    return c;
}

ProjectedPoint project(const MapCrs& crs, double longitude, double latitude) {
    return crs.method == ProjectionMethod::TransverseMercator
               ? transverseMercator(crs, longitude, latitude)
               : lambertConic(crs, longitude, latitude);
}

double trueNorthAzimuth(const MapCrs& crs, double longitude, double latitude) {
    const ProjectedPoint a = project(crs, longitude, latitude - kNorthStep);
    const ProjectedPoint b = project(crs, longitude, latitude + kNorthStep);
    return std::atan2(b.x - a.x, b.y - a.y) / kDegree;
}

} // namespace sheetjob::qgis
