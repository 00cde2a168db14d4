// The facts of every coordinate system against PROJ's own database: the EPSG
// codes, names and ellipsoids the table gives must be the ones EPSG defines.

#include "sheetjob/geometry/CoordSystem.h"

#include "support/Process.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>

namespace geo = sheetjob::geometry;
using sheetjob::testing::runProcess;

namespace {

std::string wktOf(int epsg) {
    const auto r = runProcess(SHEETJOB_PROJINFO, {"EPSG:" + std::to_string(epsg), "-o", "WKT1_GDAL",
                                                  "--single-line", "-q"});
    return r.exitCode == 0 ? r.out : "";
}

// The shortest text that reads back as `v`, as PROJ writes its parameters.
std::string number(double v) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

TEST(CoordSystem, FactsAreEpsgs) {
    if (std::string(SHEETJOB_PROJINFO).empty())
        GTEST_SKIP() << "projinfo not installed";
    for (const geo::CoordSystem s : geo::CoordSystem::all()) {
        const geo::CoordSystemFacts& f = s.facts();
        SCOPED_TRACE(f.code);
        EXPECT_EQ(geo::CoordSystem::fromCode(f.code), s);
        EXPECT_EQ(geo::CoordSystem::fromArgumentName(f.argumentName), s);

        const std::string geographic = wktOf(f.geographicEpsg);
        EXPECT_NE(geographic.find("GEOGCS[\"" + std::string(f.name) + "\""), std::string::npos)
            << geographic;
        EXPECT_NE(geographic.find("SPHEROID[\"" + std::string(f.ellipsoidName) + "\"," +
                                  number(f.semiMajorAxis) + "," + number(f.inverseFlattening) +
                                  ",AUTHORITY[\"EPSG\",\"" + std::to_string(f.ellipsoidEpsg)),
                  std::string::npos)
            << geographic;
        EXPECT_NE(geographic.find("AUTHORITY[\"EPSG\",\"" + std::to_string(f.datumEpsg) + "\"]],"),
                  std::string::npos);

        // The zones EPSG defines, and none beside them.
        const geo::GaussKruegerZones& z = f.gaussKrueger;
        for (const int zone : {z.first, z.last}) {
            const std::string projected = wktOf(s.gaussKruegerEpsg(zone));
            EXPECT_NE(projected.find("PROJCS[\"" + std::string(f.name) + " / Gauss-Kruger zone " +
                                     std::to_string(zone)),
                      std::string::npos)
                << zone << projected;
        }
        EXPECT_EQ(s.gaussKruegerEpsg(z.first - 1), 0);
        EXPECT_EQ(s.gaussKruegerEpsg(z.last + 1), 0);
    }
    EXPECT_FALSE(geo::CoordSystem::fromCode(0));
    EXPECT_FALSE(geo::CoordSystem::fromArgumentName("\xD1\xCA-42")); // Cyrillic С and К
}

} // namespace
