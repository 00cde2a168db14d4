#include "sheetjob/geometry/Tolerance.h"

#include <cmath>

namespace sheetjob::geometry {

bool eqWithTolerance(double a, double b) { return std::fabs(a - b) <= kTolerance; }

} // namespace sheetjob::geometry
