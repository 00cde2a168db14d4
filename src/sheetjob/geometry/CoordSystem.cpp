#include "sheetjob/geometry/CoordSystem.h"

#include <array>

namespace sheetjob::geometry {
namespace {

// Krassowsky 1940 (EPSG:7024) and the GSK-2011 ellipsoid (EPSG:1025).
constexpr double kKrassowskyA = 6378245.0;
constexpr double kKrassowskyRf = 298.3;
constexpr double kGsk2011A = 6378136.5;
constexpr double kGsk2011Rf = 298.2564151;

// The Gauss-Krueger zones of EPSG: Pulkovo 1942 zones 2-32 (28402..28432),
// Pulkovo 1995 zones 4-32 (20004..20032), GSK-2011 zones 4-32 (20904..20932).
constexpr GaussKruegerZones kPulkovo1942Zones{2, 32, 28400};
constexpr GaussKruegerZones kPulkovo1995Zones{4, 32, 20000};
constexpr GaussKruegerZones kGsk2011Zones{4, 32, 20900};

constexpr std::string_view kSk42Prj =
    "GEOGCS[\"GCS_Pulkovo_1942\",DATUM[\"D_Pulkovo_1942\",SPHEROID[\"Krasovsky_1940\", "
    "6378245.0,298.3]], PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";
constexpr std::string_view kSk95Prj =
    "GEOGCS[\"GCS_Pulkovo_1995\",DATUM[\"D_Pulkovo_1995\",SPHEROID[\"Krasovsky_1940\", "
    "6378245.0,298.3]], PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";
// The GSK-2011 names are not in GDAL's alias table, hence the authority nodes
// of its datum (EPSG:1159) and of the system itself.
constexpr std::string_view kGsk2011Prj =
    "GEOGCS[\"GCS_RUSSIA_2011\",DATUM[\"D_RUSSIA_2011\",SPHEROID[\"S_RUSSIA_2011\", "
    "6378136.5,298.2564151],AUTHORITY[\"EPSG\",\"1159\"]], "
    "PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433],"
    "AUTHORITY[\"EPSG\",\"7683\"]]";

// The operations to WGS 84 are EPSG's for the Russian Federation: for
// Pulkovo 1942 the one of GOST R 51794-2008 (through PZ-90.02, 3 m; it
// replaces EPSG:1267 and is closer than the 1990s all-USSR fit EPSG:15865,
// 4.5 m), for Pulkovo 1995 the same standard's (1 m, EPSG's only one), and
// for GSK-2011 EPSG's null transformation (1 m, its only one). Their steps
// are written as PROJ writes them, so that QGIS lists them by name.
constexpr std::string_view kSk42ToWgs84 =
    "+proj=helmert +x=23.57 +y=-140.95 +z=-79.8 +rx=0 "
    "+ry=-0.35 +rz=-0.79 +s=-0.22 +convention=coordinate_frame";
constexpr std::string_view kSk95ToWgs84 = "+proj=helmert +x=24.47 +y=-130.89 +z=-81.56 +rx=0 "
                                          "+ry=0 +rz=-0.13 +s=-0.22 +convention=coordinate_frame";

// The printed sheet's notes: "Система координат 1942 г.", "... 1995 г.",
// "Геодезическая система координат 2011 г." and, for a sheet laid out in
// SK-42, the same with "(разграфка СК-42)".
constexpr std::string_view kNote1942 =
    "\xD1\xE8\xF1\xF2\xE5\xEC\xE0 \xEA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2 1942 \xE3.";
constexpr std::string_view kNote1995 =
    "\xD1\xE8\xF1\xF2\xE5\xEC\xE0 \xEA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2 1995 \xE3.";
constexpr std::string_view kNote2011 =
    "\xC3\xE5\xEE\xE4\xE5\xE7\xE8\xF7\xE5\xF1\xEA\xE0\xFF \xF1\xE8\xF1\xF2\xE5\xEC\xE0 "
    "\xEA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2 2011 \xE3.";
constexpr std::string_view kNote2011Sk42 =
    "\xC3\xE5\xEE\xE4\xE5\xE7\xE8\xF7\xE5\xF1\xEA\xE0\xFF \xF1\xE8\xF1\xF2\xE5\xEC\xE0 "
    "\xEA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2 2011 \xE3. (\xF0\xE0\xE7\xE3\xF0\xE0\xF4\xEA\xE0 "
    "\xD1\xCA-42)";

constexpr CoordSystemFacts kPulkovo1942{
    .code = 1,
    .argumentName = "CK-42", // in the argument file C and K are Latin letters
    .dialogName = "\xD1\xCA-42",
    .prjText = kSk42Prj,
    .geographicEpsg = 4284,
    .name = "Pulkovo 1942",
    .datumName = "Pulkovo_1942",
    .datumEpsg = 6284,
    .ellipsoidName = "Krassowsky 1940",
    .ellipsoidEpsg = 7024,
    .semiMajorAxis = kKrassowskyA,
    .inverseFlattening = kKrassowskyRf,
    .gaussKrueger = kPulkovo1942Zones,
    .projEllipsoid = "krass",
    .toWgs84Epsg = 5044,
    .toWgs84Name = "Pulkovo 1942 to WGS 84 (20)",
    .toWgs84Helmert = kSk42ToWgs84,
    .printedNote = kNote1942,
    .shiftedFromSk42 = false,
};

constexpr CoordSystemFacts kPulkovo1995{
    .code = 2,
    .argumentName = "CK-95",
    .dialogName = "\xD1\xCA-95",
    .prjText = kSk95Prj,
    .geographicEpsg = 4200,
    .name = "Pulkovo 1995",
    .datumName = "Pulkovo_1995",
    .datumEpsg = 6200,
    .ellipsoidName = "Krassowsky 1940",
    .ellipsoidEpsg = 7024,
    .semiMajorAxis = kKrassowskyA,
    .inverseFlattening = kKrassowskyRf,
    .gaussKrueger = kPulkovo1995Zones,
    .projEllipsoid = "krass",
    .toWgs84Epsg = 5043,
    .toWgs84Name = "Pulkovo 1995 to WGS 84 (2)",
    .toWgs84Helmert = kSk95ToWgs84,
    .printedNote = kNote1995,
    .shiftedFromSk42 = false,
};

constexpr CoordSystemFacts kGsk2011{
    .code = 3,
    .argumentName = "\xC3" // Cyrillic Г, then Latin C and K
                    "CK-2011",
    .dialogName = "\xC3\xD1\xCA-2011",
    .prjText = kGsk2011Prj,
    .geographicEpsg = 7683,
    .name = "GSK-2011",
    .datumName = "Geodezicheskaya_Sistema_Koordinat_2011",
    .datumEpsg = 1159,
    .ellipsoidName = "GSK-2011",
    .ellipsoidEpsg = 1025,
    .semiMajorAxis = kGsk2011A,
    .inverseFlattening = kGsk2011Rf,
    .gaussKrueger = kGsk2011Zones,
    .projEllipsoid = "GSK2011",
    .toWgs84Epsg = 9773,
    .toWgs84Name = "GSK-2011 to WGS 84 (1)",
    .toWgs84Helmert = "", // a null transformation
    .printedNote = kNote2011,
    .shiftedFromSk42 = false,
};

// Laid out in SK-42 and written in GSK-2011: GSK-2011's projection text and
// EPSG codes, its own names and note.
constexpr CoordSystemFacts kGsk2011Sk42 = [] {
    CoordSystemFacts f = kGsk2011;
    f.code = 4;
    f.argumentName = "\xC3"
                     "CK-2011 / \xD1\xCA-42"; // the second СК Cyrillic
    f.dialogName = "\xC3\xD1\xCA-2011 / \xD1\xCA-42";
    f.printedNote = kNote2011Sk42;
    f.shiftedFromSk42 = true;
    return f;
}();

// The systems in the order of their codes and of the dialog's list.
constexpr std::array<CoordSystemFacts, 4> kTable = {kPulkovo1942, kPulkovo1995, kGsk2011,
                                                    kGsk2011Sk42};

} // namespace

std::span<const CoordSystem> CoordSystem::all() {
    static constexpr std::array<CoordSystem, kTable.size()> systems = [] {
        std::array<CoordSystem, kTable.size()> rows{};
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = CoordSystem(static_cast<int>(i));
        return rows;
    }();
    return systems;
}

std::optional<CoordSystem> CoordSystem::fromCode(int code) {
    for (const CoordSystem s : all())
        if (s.code() == code)
            return s;
    return std::nullopt;
}

std::optional<CoordSystem> CoordSystem::fromArgumentName(std::string_view name) {
    for (const CoordSystem s : all())
        if (s.argumentName() == name)
            return s;
    return std::nullopt;
}

const CoordSystemFacts& CoordSystem::facts() const {
    return kTable[static_cast<std::size_t>(index_)];
}

int CoordSystem::gaussKruegerEpsg(int zone) const {
    const GaussKruegerZones& z = facts().gaussKrueger;
    return zone >= z.first && zone <= z.last ? z.codeBase + zone : 0;
}

} // namespace sheetjob::geometry
