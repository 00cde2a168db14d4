#pragma once
// Graticule arithmetic shared by the layer builders: the graticule is the set
// of values origin + k * step (k whole), always computed so, never accumulated.

#include <vector>

namespace sheetjob::layers {

/// Fixed vertex spacings of the graticule layers and the frame.
constexpr double kParallelVertexSpacing = 0.125;               // 7'30" along parallels
constexpr double kMeridianVertexSpacing = 0.08333333333333333; // 5' (1/12) along meridians

/// The smallest graticule value origin + k * step not below `value` (one within the
/// tolerance below counts), degrees. A step that is not positive, a value or origin
/// that is not finite, or a value more than 1e12 steps from the origin gives NaN.
double startGradValue(double value, double origin, double step);
/// The largest graticule value not above `value` (one within the tolerance above
/// counts); NaN for the inputs that startGradValue refuses.
double endGradValue(double value, double origin, double step);
/// Appends value unless the list already holds it within the tolerance.
void plusUniqueValue(std::vector<double>& list, double value);

} // namespace sheetjob::layers
