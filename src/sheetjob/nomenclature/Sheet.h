#pragma once
// One sheet of the international 1:1 000 000 grid or of its 1:200 000
// subdivision, combined sheets included: how it is written and read, what it
// covers, its default graticule, and its neighbours.

#include "sheetjob/geometry/Trapezium.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sheetjob::nomenclature {

/// The series: sheets of 1:200 000 and of 1:1 000 000 ("SetScale"; any value
/// but 0 counts as 1:1 000 000).
constexpr int kSeries200k = 0;
constexpr int kSeries1M = 1;

/// Combined-sheet types ("SheetType").
enum SheetType : int { kSingle = 0, kDouble = 1, kTriple = 2, kQuadruple = 3 };

/// Neighbour directions: west, east, north, south.
enum Direction : int { kWest = -1, kEast = 1, kNorth = 2, kSouth = -2 };

/// Belt letters by "yZone", counted from the north: V (84..88) down to J
/// (36..40). A job may use U (1) to K (11); V and J occur only as neighbours.
constexpr std::string_view kBeltLetters = "VUTSRQPONMLKJ";
constexpr int kFirstJobBelt = 1; // U
constexpr int kLastJobBelt = 11; // K
constexpr int kGridSide = 6;     // a 1:1 000 000 sheet holds 6 x 6 sheets of 1:200 000
constexpr int kSheetsPerMillion = kGridSide * kGridSide;

/// How far a result trapezium may reach beyond a sheet's edges: the size of
/// one single sheet of its series, degrees.
struct Margins {
    double longitude = 0.0;
    double latitude = 0.0;
};

/// The base trapezium and default graticule of a sheet.
struct BaseParameters {
    geometry::Trapezium trapezium;
    geometry::Graticule graticule;
};

struct Sheet {
    int setScale = kSeries200k; ///< 0: 1:200 000 sheet; any other: 1:1 000 000 sheet
    int yZone = 0;              ///< belt from the north: 0 = V, 8 = N, 11 = K, 12 = J
    int xZone = 0;              ///< zone 1..60; zone n starts at (6n + 174) mod 360
    int sheetNumber = 0;        ///< 1:200 000 sheet 1..36, row by row from the north-west
    int sheetType = kSingle;    ///< see SheetType

    /// Reads a sheet name as an argument file gives it: "N-37", "N37", "T-37 (4)",
    /// "N-37-XIV", "N3714", "N-37-XIV(2)" (belts U to K in either case, zones
    /// 33..60, 01, 02). Nothing when the text names no sheet.
    static std::optional<Sheet> parse(std::string_view text);

    [[nodiscard]] bool is200k() const { return setScale == kSeries200k; }

    /// The sheet's name (nomenclature): "N-37", "N-37-XIV,XV", "N-60-VI,01-I".
    [[nodiscard]] std::string nomenclature() const;
    /// The name of the neighbour in a direction (see Direction; any positive
    /// direction but 1 counts as north, zero or negative but -1 as south).
    [[nodiscard]] std::string adjacentNomenclature(int direction) const;

    /// The base trapezium, as the name defines it.
    [[nodiscard]] geometry::Trapezium trapezium() const;
    /// The default graticule of the sheet.
    [[nodiscard]] geometry::Graticule defaultGraticule() const;
    /// How far a result trapezium may reach beyond the base one.
    [[nodiscard]] Margins margins() const;
};

/// Base trapezium and default graticule of a sheet. Does not validate the
/// sheet and cannot fail.
BaseParameters computeBaseParameters(const Sheet& sheet);

/// How many combined types the dialog offers in a belt: three in U and T, two
/// in S, R and Q, only single sheets from P southward.
int combinedTypesOffered(int yZone);

/// The combined types of a series in the order the dialog offers them: single,
/// double, then triple (1:200 000) or quadruple (1:1 000 000).
std::array<int, 3> combinedTypes(int setScale);

} // namespace sheetjob::nomenclature
