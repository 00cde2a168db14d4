#pragma once
// The job: which sheet is built, in which coordinate system, at which map
// scale, with which result trapezium and graticule, into which folder. The
// argument-file reader or the dialogs fill it; every stage reads it.

#include "sheetjob/geometry/CoordSystem.h"
#include "sheetjob/geometry/Trapezium.h"
#include "sheetjob/nomenclature/Sheet.h"

#include <string>

namespace sheetjob::model {

/// Map scales ("MapScale"): the series' own scale or one of two smaller ones.
enum MapScale : int { kOwnScale = 0, kReducedScale = 1, kSmallestScale = 2 };

struct Job {
    geometry::CoordSystem coordSystem; ///< "CS"; SK-42 unless given
    nomenclature::Sheet sheet;
    int mapScale = kOwnScale;      ///< see MapScale
    std::string resultFolder;      ///< "Path": Windows-1251, ends in the native separator
    geometry::Trapezium result;    ///< the area built: "xFrom", "xTo", "yFrom", "yTo"
    geometry::Graticule graticule; ///< "MeridianStep", "xMinute", "ParallelStep", "yMinute"
    bool subSheetFrames = false;   ///< also build the 1:50 000 and 1:25 000 sheet frames
    bool qgisFiles = true;         ///< write the QGIS styles and project beside the layers

    /// The base trapezium, as the sheet's name defines it.
    [[nodiscard]] geometry::Trapezium base() const { return sheet.trapezium(); }
};

/// The result trapezium and graticule set to the sheet's own.
void useBaseAsResult(Job& job);

/// A spacing the graticule can step by: positive (so NaN fails too).
inline bool usableSpacing(double step) { return step > 0; }
/// A minute-scale division the frame can step by: at least one minute.
inline bool usableDivision(int minutes) { return minutes > 0; }
/// Every spacing and division of the graticule usable.
inline bool usableGraticule(const geometry::Graticule& g) {
    return usableSpacing(g.meridianStep) && usableSpacing(g.parallelStep) &&
           usableDivision(g.xMinute) && usableDivision(g.yMinute);
}

} // namespace sheetjob::model
