#pragma once
// The coordinate systems a sheet can be built in, and everything the program
// knows about each: the names it is given by in an argument file and in the
// dialogs, the projection text written beside every layer, its EPSG codes, its
// ellipsoid, and whether it is laid out in one system and written in another.
// A further system is one more row of the table in CoordSystem.cpp.

#include <optional>
#include <span>
#include <string_view>

namespace sheetjob::geometry {

/// The Gauss-Krueger zones EPSG defines on a geographic system: zone n
/// (first <= n <= last) is EPSG code base + n.
struct GaussKruegerZones {
    int first = 0;
    int last = 0;
    int codeBase = 0;
};

/// The facts of one coordinate system. Texts are Windows-1251.
struct CoordSystemFacts {
    int code; ///< the job's code: 1 SK-42, 2 SK-95, 3 GSK-2011, 4 GSK-2011 / SK-42
    std::string_view argumentName; ///< the value of "CS" in an argument file
    std::string_view dialogName;   ///< the item of the dialog's list
    /// The projection file's well-known text, without the line end. GDAL, and
    /// through it QGIS, identifies each as its EPSG system at full confidence.
    std::string_view prjText;
    // The geographic system the layers are written in, as EPSG names it.
    int geographicEpsg;             ///< 4284, 4200, 7683
    std::string_view name;          ///< "Pulkovo 1942"
    std::string_view datumName;     ///< "Pulkovo_1942"
    int datumEpsg;                  ///< 6284
    std::string_view ellipsoidName; ///< "Krassowsky 1940"
    int ellipsoidEpsg;              ///< 7024
    double semiMajorAxis;           ///< metres
    double inverseFlattening;
    GaussKruegerZones gaussKrueger;
    std::string_view projEllipsoid; ///< PROJ's name of the ellipsoid: "krass"
    /// The EPSG operation to WGS 84 that a map of the sheet uses for GPS and
    /// web data: its code, its name, and its Helmert step as PROJ writes it
    /// ("" for a null transformation).
    int toWgs84Epsg;
    std::string_view toWgs84Name;
    std::string_view toWgs84Helmert;
    /// The printed sheet's note on the system (Windows-1251).
    std::string_view printedNote;
    /// Laid out in SK-42 (graticule, names, sub-sheets) and written shifted
    /// to GSK-2011.
    bool shiftedFromSk42;
};

/// One coordinate system: a small value naming a row of the table.
class CoordSystem {
  public:
    /// SK-42, the default of a job.
    constexpr CoordSystem() = default;

    /// Every system, in the order of the job's codes and of the dialog's list.
    static std::span<const CoordSystem> all();
    /// The system of a job's code 1..4, or nothing.
    static std::optional<CoordSystem> fromCode(int code);
    /// The system an argument file names by `name` (exactly, blanks removed
    /// by the caller), or nothing.
    static std::optional<CoordSystem> fromArgumentName(std::string_view name);

    [[nodiscard]] int code() const { return facts().code; }
    [[nodiscard]] std::string_view argumentName() const { return facts().argumentName; }
    [[nodiscard]] std::string_view dialogName() const { return facts().dialogName; }
    [[nodiscard]] std::string_view prjText() const { return facts().prjText; }
    [[nodiscard]] int geographicEpsg() const { return facts().geographicEpsg; }
    /// The EPSG code of Gauss-Krueger zone `zone` on this system, or 0 where
    /// EPSG defines none.
    [[nodiscard]] int gaussKruegerEpsg(int zone) const;
    /// Laid out in SK-42 and written shifted to GSK-2011.
    [[nodiscard]] bool shiftedFromSk42() const { return facts().shiftedFromSk42; }
    [[nodiscard]] const CoordSystemFacts& facts() const;

    friend bool operator==(CoordSystem a, CoordSystem b) { return a.index_ == b.index_; }

  private:
    constexpr explicit CoordSystem(int index) : index_(index) {}
    friend struct CoordSystems;
    int index_ = 0; ///< row of the table
};

/// The systems by name, for code that means one of them.
struct CoordSystems {
    static constexpr CoordSystem kSK42{0};
    static constexpr CoordSystem kSK95{1};
    static constexpr CoordSystem kGSK2011{2};
    static constexpr CoordSystem kGSK2011SK42{3}; ///< laid out in SK-42, written in GSK-2011
};
inline constexpr CoordSystem kSK42 = CoordSystems::kSK42;
inline constexpr CoordSystem kSK95 = CoordSystems::kSK95;
inline constexpr CoordSystem kGSK2011 = CoordSystems::kGSK2011;
inline constexpr CoordSystem kGSK2011SK42 = CoordSystems::kGSK2011SK42;

} // namespace sheetjob::geometry
