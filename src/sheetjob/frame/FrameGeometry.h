#pragma once
// Map millimetres turned into degrees on a sphere, and lines drawn at a constant
// map distance from a parallel or a meridian with intermediate vertices on a
// fixed angular grid. Every frame line is built with these routines.

#include "sheetjob/geometry/Point.h"
#include "sheetjob/geometry/Trapezium.h"

namespace sheetjob::frame {

/// Sphere radius of the frame's millimetre offsets, kilometres.
constexpr double kEarthRadius = 6371.032;
/// The truncated pi of the frame's formulas, in the cosine's argument as well.
constexpr double kFramePi = 3.1415926;
/// Grid values closer than this fraction of a step to a line's end are skipped
/// (the single-precision 0.2f widened to double).
constexpr double kSnapFraction = 0.20000000298023224;

/// The printed map: its scale denominator (200000 for 1:200 000) and the
/// sphere on which its millimetres are turned into degrees.
struct PrintedMap {
    double scaleDenominator = 0.0;
    double earthRadius = kEarthRadius; ///< kilometres
};

/// A densification grid: intermediate vertices at origin + k * step, degrees.
struct VertexGrid {
    double origin = 0.0;
    double step = 0.0;
};

/// Returned by the line builders instead of a vertex count when the line cannot
/// be built in bounded time (a value not finite, a step not positive, or far more
/// vertices than any sheet needs). Nothing is appended then.
constexpr int kLineRefused = -1;
/// Most grid steps one frame line may span; a sheet's side needs a few hundred.
constexpr double kMaxLineSteps = 100000.0;

/// Latitude `d` map millimetres north of `lat0` (d may be negative). Degrees.
double targetLat(double lat0, double d, const PrintedMap& map);
/// Longitude `d` map millimetres east of `lon0`, measured along the parallel `lat`.
double targetLon(double lon0, double lat, double d, const PrintedMap& map);

/// Origin of the densification grid: a grid value x0 + k*step three steps below x.
double minReperValue(double x, double x0, double step);
/// The first grid value (origin g) strictly beyond `cur` in the direction of
/// travel, skipping one that lies closer than 0.2 step to `cur`.
double nextIntermediateVertex(double cur, bool decreasing, double g, double step);

/// Appends the line along the parallel `lat` shifted north by `d` mm, from
/// lonStart to lonEnd, inner vertices on the grid. Returns the number of
/// vertices appended or kLineRefused.
int addOutParallel(double lat, double d, double lonStart, double lonEnd, const PrintedMap& map,
                   const VertexGrid& grid, geometry::Vertices& v);
/// Appends the line `d` mm east of the meridian `lon` from latStart to latEnd,
/// inner latitudes on the grid; each vertex keeps the distance at its own
/// latitude. Returns the count appended or kLineRefused.
int addOutMeridian(double lon, double d, double latStart, double latEnd, const PrintedMap& map,
                   const VertexGrid& grid, geometry::Vertices& v);

/// One side along the parallel `lat` of the closed line `d` mm outside
/// (outward) or inside the trapezium, lengthened by d at both ends, inner
/// vertices every `step` from lon1; without its end point unless keepLast.
/// Returns the count appended or kLineRefused.
int addOutRamkaParallel(double d, const PrintedMap& map, bool outward, double lat, double lon1,
                        double lon2, double step, bool keepLast, geometry::Vertices& v);
/// The same for a side along the meridian `lon` from lat1 to lat2.
int addOutRamkaMeridian(double d, const PrintedMap& map, bool outward, double lon, double lat1,
                        double lat2, double step, bool keepLast, geometry::Vertices& v);
/// The closed line `d` mm outside the trapezium: starts at the north-west
/// corner, runs clockwise and repeats its first vertex at the end. Returns the
/// count appended or kLineRefused.
int outRamkaVertices(double d, const PrintedMap& map, const geometry::Trapezium& t,
                     const geometry::VertexSpacing& step, geometry::Vertices& v);

} // namespace sheetjob::frame
