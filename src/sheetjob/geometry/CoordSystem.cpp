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

// In the argument file the C and K before the hyphen are Latin letters (the
// all-Cyrillic spellings are refused); the dialog shows them in Cyrillic.
constexpr std::array<CoordSystemFacts, 4> kTable = {{
    {1, "CK-42", "\xD1\xCA-42", kSk42Prj, 4284, "Pulkovo 1942", "Pulkovo_1942", 6284,
     "Krassowsky 1940", 7024, kKrassowskyA, kKrassowskyRf, kPulkovo1942Zones, false},
    {2, "CK-95", "\xD1\xCA-95", kSk95Prj, 4200, "Pulkovo 1995", "Pulkovo_1995", 6200,
     "Krassowsky 1940", 7024, kKrassowskyA, kKrassowskyRf, kPulkovo1995Zones, false},
    {3,
     "\xC3"
     "CK-2011",
     "\xC3\xD1\xCA-2011", kGsk2011Prj, 7683, "GSK-2011", "Geodezicheskaya_Sistema_Koordinat_2011",
     1159, "GSK-2011", 1025, kGsk2011A, kGsk2011Rf, kGsk2011Zones, false},
    // Written in GSK-2011: the same projection text and EPSG codes.
    {4,
     "\xC3"
     "CK-2011 / \xD1\xCA-42",
     "\xC3\xD1\xCA-2011 / \xD1\xCA-42", kGsk2011Prj, 7683, "GSK-2011",
     "Geodezicheskaya_Sistema_Koordinat_2011", 1159, "GSK-2011", 1025, kGsk2011A, kGsk2011Rf,
     kGsk2011Zones, true},
}};

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
