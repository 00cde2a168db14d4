#include "sheetjob/qgis/MapProjection.h"
#include "sheetjob/qgis/PrintLayout.h"

#include "support/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace sheetjob::qgis {
namespace {

using testing::TempDir;

SheetInfo sheet(int coordSystem, int setScale, double west, double east, double south,
                double north) {
    SheetInfo s;
    s.coordSystem = *geometry::CoordSystem::fromCode(coordSystem);
    s.setScale = setScale;
    s.name = "test";
    s.west = west;
    s.east = east;
    s.south = south;
    s.north = north;
    s.layout = frame::setRamkParameters(setScale, 0);
    return s;
}

// The map system of a 1:200 000 sheet is the Gauss-Krueger zone holding its
// middle, on the job's datum: the EPSG zone where EPSG has one, else our own
// transverse Mercator with the same parameters.
TEST(MapProjection, GaussKruegerZonePerSystem) {
    const struct {
        const char* name;
        int coordSystem;
        double west, east;
        int epsg; // 0: our own definition
        int zone;
        double centralMeridian;
        double falseEasting;
        const char* description;
    } cases[] = {
        {"N-37-XIV SK-42", 1, 37, 38, 28407, 7, 39, 7500000, "Pulkovo 1942 / Gauss-Kruger zone 7"},
        {"N-37-XIV SK-95", 2, 37, 38, 20007, 7, 39, 7500000, "Pulkovo 1995 / Gauss-Kruger zone 7"},
        {"N-37-XIV GSK-2011", 3, 37, 38, 20907, 7, 39, 7500000, "GSK-2011 / Gauss-Kruger zone 7"},
        {"written in GSK-2011", 4, 37, 38, 20907, 7, 39, 7500000, "GSK-2011 / Gauss-Kruger zone 7"},
        {"zone 3 SK-42", 1, 13, 14, 28403, 3, 15, 3500000, "Pulkovo 1942 / Gauss-Kruger zone 3"},
        {"zone 3 SK-95, not in EPSG", 2, 13, 14, 0, 3, 15, 3500000,
         "Pulkovo 1995 / Gauss-Kruger zone 3"},
        {"zone 3 GSK-2011, not in EPSG", 3, 13, 14, 0, 3, 15, 3500000,
         "GSK-2011 / Gauss-Kruger zone 3"},
        {"zone 31, west of 180", 1, 181, 182, 28431, 31, -177, 31500000,
         "Pulkovo 1942 / Gauss-Kruger zone 31"},
        {"zone 32 GSK-2011", 3, 187, 188, 20932, 32, -171, 32500000,
         "GSK-2011 / Gauss-Kruger zone 32"},
        {"combined sheet reaching zone 33", 1, 192, 195, 0, 33, -165, 33500000,
         "Pulkovo 1942 / Gauss-Kruger zone 33"},
        {"middle decides: 41..44 lies mostly in zone 8", 1, 41, 44, 28408, 8, 45, 8500000,
         "Pulkovo 1942 / Gauss-Kruger zone 8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MapCrs crs = mapCrs(sheet(c.coordSystem, 0, c.west, c.east, 54, 54 + 2.0 / 3));
        EXPECT_EQ(crs.method, ProjectionMethod::TransverseMercator);
        EXPECT_EQ(crs.epsg, c.epsg);
        EXPECT_EQ(crs.zone, c.zone);
        EXPECT_EQ(crs.centralMeridian, c.centralMeridian);
        EXPECT_EQ(crs.falseEasting, c.falseEasting);
        EXPECT_EQ(crs.scaleFactor, 1.0);
        EXPECT_EQ(crs.description, c.description);
        // GDAL reads the text as the EPSG zone at full confidence, or as the
        // transverse Mercator it defines.
        const std::vector<std::string> args =
            c.epsg != 0 ? std::vector<std::string>{"-e", crs.wkt}
                        : std::vector<std::string>{"-o", "proj4", crs.wkt};
        const auto gdal = testing::runProcess(SHEETJOB_GDALSRSINFO, args);
        ASSERT_EQ(gdal.exitCode, 0) << gdal.err;
        if (c.epsg != 0) {
            EXPECT_NE(gdal.out.find("EPSG:" + std::to_string(c.epsg)), std::string::npos)
                << gdal.out;
            EXPECT_EQ(gdal.out.find("Confidence"), std::string::npos) << gdal.out;
        } else {
            std::ostringstream proj;
            proj << "+proj=tmerc +lat_0=0 +lon_0=" << c.centralMeridian
                 << " +k=1 +x_0=" << static_cast<long>(c.falseEasting) << " +y_0=0";
            EXPECT_NE(gdal.out.find(proj.str()), std::string::npos) << gdal.out;
            // The projection step of the project's operations, as PROJ writes it.
            EXPECT_NE(gdal.out.find(projDefinition(crs)), std::string::npos) << gdal.out;
        }
    }
}

// A 1:1 000 000 sheet is shown in a conformal conic fitted to it: central
// meridian and origin in its middle, standard parallels a sixth of its height
// inside its edges; the datum is the job's.
TEST(MapProjection, ConicFittedToTheSheet) {
    const struct {
        const char* name;
        int coordSystem;
        double west, east, south, north;
        double centralMeridian, origin, parallel1, parallel2;
        int baseEpsg;
    } cases[] = {
        {"N-37", 1, 36, 42, 52, 56, 39, 54, 52 + 2.0 / 3, 55 + 1.0 / 3, 4284},
        {"T-37 (4) quadruple", 2, 36, 60, 76, 80, 48, 78, 76 + 2.0 / 3, 79 + 1.0 / 3, 4200},
        {"U-01 west of 180", 3, 180, 186, 80, 84, -177, 82, 80 + 2.0 / 3, 83 + 1.0 / 3, 7683},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MapCrs crs = mapCrs(sheet(c.coordSystem, 1, c.west, c.east, c.south, c.north));
        EXPECT_EQ(crs.method, ProjectionMethod::LambertConformalConic);
        EXPECT_EQ(crs.epsg, 0);
        EXPECT_EQ(crs.base.epsg, c.baseEpsg);
        EXPECT_DOUBLE_EQ(crs.centralMeridian, c.centralMeridian);
        EXPECT_DOUBLE_EQ(crs.latitudeOfOrigin, c.origin);
        EXPECT_DOUBLE_EQ(crs.standardParallel1, c.parallel1);
        EXPECT_DOUBLE_EQ(crs.standardParallel2, c.parallel2);
        const auto gdal = testing::runProcess(SHEETJOB_GDALSRSINFO, {"-o", "proj4", crs.wkt});
        ASSERT_EQ(gdal.exitCode, 0) << gdal.err;
        EXPECT_NE(gdal.out.find("+proj=lcc"), std::string::npos) << gdal.out;
        EXPECT_NE(gdal.out.find(projDefinition(crs)), std::string::npos) << gdal.out;
    }
}

// The operation to WGS 84 that each system's project pins is EPSG's: its
// name, its source, and the ellipsoid and Helmert step of PROJ's own pipeline.
TEST(MapProjection, Wgs84OperationsAreEpsgs) {
    if (std::string(SHEETJOB_PROJINFO).empty())
        GTEST_SKIP() << "projinfo not installed";
    for (const geometry::CoordSystem s : geometry::CoordSystem::all()) {
        SCOPED_TRACE(s.code());
        const DatumOperation op = wgs84Operation(s);
        const GeographicSystem g = geographicSystem(s);
        const auto show = [&](const char* format) {
            return testing::runProcess(SHEETJOB_PROJINFO,
                                       {"-k", "operation", "EPSG:" + std::to_string(op.epsg), "-o",
                                        format, "--single-line", "-q"})
                .out;
        };
        const std::string wkt = show("WKT2_2019");
        EXPECT_EQ(wkt.rfind("COORDINATEOPERATION[\"" + op.name + "\"", 0), 0u) << wkt;
        EXPECT_NE(wkt.find("SOURCECRS[GEOGCRS[\"" + g.name + "\""), std::string::npos) << wkt;
        const std::string proj = show("PROJ");
        EXPECT_NE(proj.find("+proj=cart +ellps=" + g.projEllipsoid +
                            (op.helmert.empty() ? "" : " +step " + op.helmert) +
                            " +step +inv +proj=cart +ellps=WGS84"),
                  std::string::npos)
            << proj;
    }
}

// The series formulas the page is computed with agree with PROJ to a
// millimetre on the ground over a zone and beyond (a combined sheet may reach
// a degree past its zone) and over the conic's sheet.
TEST(MapProjection, ForwardFormulasAgreeWithProj) {
    const std::string cct = SHEETJOB_CCT;
    if (cct.empty())
        GTEST_SKIP() << "cct not installed";
    const struct {
        const char* name;
        MapCrs crs;
        const char* proj;
        std::vector<std::pair<double, double>> points;
    } cases[] = {
        {"zone 7 SK-42",
         gaussKruegerCrs(geometry::kSK42, 7),
         "+proj=tmerc +lat_0=0 +lon_0=39 +k=1 +x_0=7500000 +y_0=0 +ellps=krass",
         {{39, 0}, {37, 54}, {42, 40}, {43, 88}, {35, 80}}},
        {"zone 31 GSK-2011",
         gaussKruegerCrs(geometry::kGSK2011, 31),
         "+proj=tmerc +lat_0=0 +lon_0=-177 +k=1 +x_0=31500000 +y_0=0 +a=6378136.5 "
         "+rf=298.2564151",
         {{180.5, 70}, {186, 76}, {179, 44}}},
        {"conic N-37",
         conicCrs(geometry::kSK42, 36, 42, 52, 56, "N-37"),
         "+proj=lcc +lat_1=52.666666666666664 +lat_2=55.333333333333336 +lat_0=54 +lon_0=39 "
         "+x_0=0 +y_0=0 +ellps=krass",
         {{36, 52}, {42, 56}, {39, 54}, {41.3, 52.9}}},
        {"conic T-37 (4)",
         conicCrs(geometry::kSK42, 36, 60, 76, 80, "T-37"),
         "+proj=lcc +lat_1=76.666666666666671 +lat_2=79.333333333333329 +lat_0=78 +lon_0=48 "
         "+x_0=0 +y_0=0 +ellps=krass",
         {{36, 76}, {60, 80}, {48, 78}}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream input;
        input.precision(17);
        for (const auto& [lon, lat] : c.points)
            input << lon << ' ' << lat << " 0 0\n";
        testing::writeFile(dir.path() / "in.txt", input.str());
        std::vector<std::string> args = {"-d", "4"};
        std::istringstream words(c.proj);
        for (std::string w; words >> w;)
            args.push_back(w);
        args.push_back(dir / "in.txt");
        const auto out = testing::runProcess(cct, args);
        ASSERT_EQ(out.exitCode, 0) << out.err;
        std::istringstream lines(out.out);
        for (const auto& [lon, lat] : c.points) {
            double x = 0, y = 0, z = 0, t = 0;
            ASSERT_TRUE(lines >> x >> y >> z >> t);
            const ProjectedPoint p = project(c.crs, lon, lat);
            EXPECT_NEAR(p.x, x, 0.001) << lon << " " << lat; // metres on the ground
            EXPECT_NEAR(p.y, y, 0.001) << lon << " " << lat;
        }
    }
}

// True north is up on the page: the layout turns a Gauss-Krueger map by the
// meridian convergence at the sheet's middle (about the longitude difference
// times the sine of the latitude); a conic has its middle meridian upright.
TEST(MapProjection, MapTurnedSoThatTrueNorthIsUp) {
    const struct {
        const char* name;
        SheetInfo sheet;
        double rotation; // degrees clockwise
        double tolerance;
    } cases[] = {
        {"N-37-XIV, west of the central meridian", sheet(1, 0, 37, 38, 54, 54 + 2.0 / 3),
         -1.5 * std::sin((54 + 1.0 / 3) * M_PI / 180), 0.002},
        {"east of the central meridian", sheet(1, 0, 40, 41, 54, 54 + 2.0 / 3),
         1.5 * std::sin((54 + 1.0 / 3) * M_PI / 180), 0.002},
        {"on the central meridian", sheet(1, 0, 38.5, 39.5, 54, 54 + 2.0 / 3), 0.0, 1e-9},
        {"conic", sheet(1, 1, 36, 42, 52, 56), 0.0, 1e-9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(printPage(c.sheet).rotation, c.rotation, c.tolerance);
    }
}

} // namespace
} // namespace sheetjob::qgis
