#pragma once
// The two values that describe what a sheet covers: a trapezium of the grid
// and the graticule drawn in it.

namespace sheetjob::geometry {

/// Bounds of a trapezium in degrees. Longitudes are counted east in 0..360; an
/// east edge is west plus width and may reach or pass 360.
struct Trapezium {
    double west = 0.0;
    double east = 0.0;
    double south = 0.0;
    double north = 0.0;
};

/// Graticule spacing (degrees) and minute-scale divisions (whole minutes).
struct Graticule {
    double meridianStep = 0.0; ///< spacing of the meridians
    int xMinute = 0;           ///< minute-scale division along the parallels
    double parallelStep = 0.0; ///< spacing of the parallels
    int yMinute = 0;           ///< minute-scale division along the meridians
};

/// Spacing of the intermediate vertices of lines along parallels (lon) and
/// along meridians (lat), degrees.
struct VertexSpacing {
    double lon = 0.0;
    double lat = 0.0;
};

} // namespace sheetjob::geometry
