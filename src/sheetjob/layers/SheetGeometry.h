#pragma once
// The sheet as its layers draw it: the trapezia of the job and the corners and
// graticule bounds settled in the coordinate system the layers are written in.

#include "sheetjob/geometry/CoordSystem.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Trapezium.h"

#include <vector>

namespace sheetjob::layers {

/// Corners of a trapezium.
struct Corners {
    geometry::Point nw, ne, sw, se;
};

/// The sheet as its layers draw it, in the coordinate system they are written in.
struct SheetGeometry {
    geometry::CoordSystem coordSystem;
    geometry::Trapezium base;   ///< the base trapezium, as the name defines it
    geometry::Trapezium result; ///< the area built, before any datum shift
    /// Bounds of the graticule: the result trapezium, or for a shifted sheet the
    /// inner limits of its four shifted corners.
    geometry::Trapezium bounds;
    Corners corners; ///< of the result trapezium; shifted for coordinate system 4
};

/// The graticule values drawn, for the frame's outlets and labels.
struct GraticuleValues {
    std::vector<double> latitudes;
    std::vector<double> longitudes;
};

} // namespace sheetjob::layers
