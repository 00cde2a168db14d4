#include "sheetjob/layers/SubSheets.h"

#include "sheetjob/common/Text.h"
#include "sheetjob/geometry/DatumShift.h"
#include "sheetjob/layers/Outline.h"
#include "sheetjob/shapefile/LayerWriting.h"

#include <cmath>

namespace sheetjob::layers {
namespace {

// Capital letters of the 1:50 000 sheets and small letters of the 1:25 000 sheets,
// by [east half][south half]: north-west, south-west, north-east, south-east.
const char* const kLetters50[2][2] = {{"\xC0", "\xC2"}, {"\xC1", "\xC3"}}; // А В / Б Г
const char* const kLetters25[2][2] = {{"\xE0", "\xE2"}, {"\xE1", "\xE3"}}; // а в / б г

// 1:100 000 sheets in a 1:1 000 000 sheet: 12 per row.
constexpr int kSheets100PerRow = 12;
constexpr int kNotA200kSheet = 1; // the division has nothing to divide

// The quarter of a trapezium: i = 0 west, 1 east half; j = 0 north, 1 south half.
geometry::Trapezium quarter(const geometry::Trapezium& q, int i, int j) {
    const double middleLon = (q.west + q.east) / 2;
    const double middleLat = (q.south + q.north) / 2;
    geometry::Trapezium r = q;
    if (i == 0)
        r.east = middleLon;
    else
        r.west = middleLon;
    if (j == 0)
        r.south = middleLat;
    else
        r.north = middleLat;
    return r;
}

// A sub-sheet's one attribute: its name.
struct SubSheetRecord {
    std::string name;
};
constexpr shapefile::Schema kSubSheetSchema{
    shapefile::characterColumn("Name", 100, &SubSheetRecord::name)};

} // namespace

common::Outcome createM_50_5025(const std::string& name, const geometry::Trapezium& bounds,
                                const SubSheetWriter& write) {
    if (auto failure = write({kScale50, name, bounds}))
        return failure;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            if (auto failure =
                    write({kScale25, name + "-" + kLetters25[i][j], quarter(bounds, i, j)}))
                return failure;
    return std::nullopt;
}

common::Outcome createM_100_5025(const std::string& name, const geometry::Trapezium& bounds,
                                 const SubSheetWriter& write) {
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            if (auto failure =
                    createM_50_5025(name + "-" + kLetters50[i][j], quarter(bounds, i, j), write))
                return failure;
    return std::nullopt;
}

common::Outcome createMaps5025(const nomenclature::Sheet& sheet, const SubSheetWriter& write) {
    // Only a 1:200 000 sheet is divided; any other number would give sheet names
    // and bounds that belong to no sheet.
    if (sheet.sheetNumber < 1 || sheet.sheetNumber > nomenclature::kSheetsPerMillion)
        return common::Failure{kNotA200kSheet,
                               "sub-sheet frames: " + std::to_string(sheet.sheetNumber) +
                                   " is not a 1:200 000 sheet number"};
    const geometry::Trapezium base = sheet.trapezium();
    nomenclature::Sheet million = sheet;
    million.setScale = nomenclature::kSeries1M;
    million.sheetType = nomenclature::kSingle;
    const std::string millionName = million.nomenclature();
    const int row = (sheet.sheetNumber - 1) / nomenclature::kGridSide;
    const int column = sheet.sheetNumber - 1 - nomenclature::kGridSide * row;
    // The north-west 1:100 000 sheet of this 1:200 000 sheet.
    const int first = 2 * kSheets100PerRow * row + 2 * column + 1;

    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            const int number = first + i + kSheets100PerRow * j;
            if (auto failure = createM_100_5025(millionName + "-" + std::to_string(number),
                                                quarter(base, i, j), write))
                return failure;
        }
    }
    return std::nullopt;
}

common::Outcome createMaps5025(const nomenclature::Sheet& sheet, geometry::CoordSystem coordSystem,
                               const common::Folder& r50, const common::Folder& r25,
                               WrittenLayers* written) {
    geometry::Vertices vertices; // reused for every sheet
    return createMaps5025(sheet, [&](const SubSheet& s) -> common::Outcome {
        const bool is50 = s.scale == kScale50;
        if (auto failure = createR5025(coordSystem, s.name, is50 ? r50 : r25, s.bounds, vertices))
            return failure;
        if (written != nullptr)
            written->push_back({is50 ? LayerKind::SubSheet50k : LayerKind::SubSheet25k,
                                common::rtrim(s.name),
                                {}});
        return std::nullopt;
    });
}

common::Outcome createR5025(geometry::CoordSystem coordSystem, const std::string& sheetName,
                            const common::Folder& folder, const geometry::Trapezium& bounds,
                            geometry::Vertices& vertices) {
    const std::string name = common::rtrim(sheetName);
    vertices.clear();
    addRectangle(bounds, kSubSheetSpacing, vertices);
    // The division and the names are those of the SK-42 sheet; only the
    // vertices move to the 2011 system.
    if (coordSystem.shiftedFromSk42())
        geometry::sk42_To_Gsk2011(vertices);
    const SubSheetRecord record{common::trim(name)};
    return shapefile::writeLayer(
        {folder, name, shapefile::kPolygon, coordSystem}, kSubSheetSchema,
        [&](auto& layer) { return layer.writeSimplePolygon(record, vertices); });
}

} // namespace sheetjob::layers
