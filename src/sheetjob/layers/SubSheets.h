#pragma once
// Frames of the 1:50 000 and 1:25 000 sheets inside a 1:200 000 sheet, one
// polygon layer per sheet, named after the sheet.

#include "sheetjob/common/Failure.h"
#include "sheetjob/common/Folder.h"
#include "sheetjob/geometry/CoordSystem.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Trapezium.h"
#include "sheetjob/layers/WrittenLayer.h"
#include "sheetjob/nomenclature/Sheet.h"

#include <functional>
#include <string>

namespace sheetjob::layers {

/// Vertex spacings of the sub-sheet outlines: 56.25" along parallels, 37.5" along meridians.
constexpr geometry::VertexSpacing kSubSheetSpacing{0.015625,              // 1/64 degree
                                                   0.010416666666666666}; // 1/96 degree

/// Scales of the sheets of the division.
constexpr int kScale50 = 50000;
constexpr int kScale25 = 25000;

/// One sheet of the division as it is handed to the writer.
struct SubSheet {
    int scale = kScale50;       ///< kScale50 (into HYPS_50) or kScale25 (into HYPS_25)
    std::string name;           ///< Windows-1251, e.g. "N-37-27-А-в"
    geometry::Trapezium bounds; ///< unshifted
};
/// Writes one sheet; a failure ends the division.
using SubSheetWriter = std::function<common::Outcome(const SubSheet&)>;

/// Divides the base trapezium of the 1:200 000 `sheet` into its 1:100 000,
/// 1:50 000 and 1:25 000 sheets and writes the 16 + 64 layers into the two
/// folders. A failure is status 1 (not a 1:200 000 sheet, or a layer could not
/// be opened) or 2 (a record could not be written), with one line.
common::Outcome createMaps5025(const nomenclature::Sheet& sheet, geometry::CoordSystem coordSystem,
                               const common::Folder& r50, const common::Folder& r25,
                               WrittenLayers* written = nullptr);

/// The division itself: hands every 1:50 000 sheet, each followed by its four
/// 1:25 000 sheets, to `write` in processing order and stops at the first failure.
common::Outcome createMaps5025(const nomenclature::Sheet& sheet, const SubSheetWriter& write);
/// One 1:100 000 sheet: its four 1:50 000 sheets А, В, Б, Г.
common::Outcome createM_100_5025(const std::string& name, const geometry::Trapezium& bounds,
                                 const SubSheetWriter& write);
/// One 1:50 000 sheet, then its four 1:25 000 sheets а, в, б, г.
common::Outcome createM_50_5025(const std::string& name, const geometry::Trapezium& bounds,
                                const SubSheetWriter& write);

/// Writes one sheet's layer `sheetName` (Windows-1251) into `folder`: a polygon
/// clockwise from the north-west corner (shifted for coordinate system 4) with
/// the "Name" attribute. `vertices` is work space.
common::Outcome createR5025(geometry::CoordSystem coordSystem, const std::string& sheetName,
                            const common::Folder& folder, const geometry::Trapezium& bounds,
                            geometry::Vertices& vertices);

} // namespace sheetjob::layers
