#include "sheetjob/geometry/Geometry.h"

#include <cmath>

namespace sheetjob::geometry {

bool eqWithTolerance(double a, double b) { return std::fabs(a - b) <= kTolerance; }

} // namespace sheetjob::geometry
