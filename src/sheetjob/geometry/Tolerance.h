#pragma once
// Tolerance comparison of graticule values.

namespace sheetjob::geometry {

/// 1/6000 degree (0.01 minute of arc): two graticule values this close are equal.
constexpr double kTolerance = 0.00016666666666666666;

/// True when |a - b| <= kTolerance (equality at exactly the tolerance counts).
bool eqWithTolerance(double a, double b);

} // namespace sheetjob::geometry
