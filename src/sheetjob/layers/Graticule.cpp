#include "sheetjob/layers/Graticule.h"

#include "sheetjob/geometry/Tolerance.h"

#include <cmath>
#include <limits>

namespace sheetjob::layers {
namespace {

using geometry::eqWithTolerance;

constexpr double kNotAValue = std::numeric_limits<double>::quiet_NaN();
// Largest graticule index walked: far beyond any sheet (a 1' step over 360 degrees
// is 21 600), small enough that k stays exact in a double.
constexpr double kMaxSteps = 1.0e12;

// The walk over k = 0, 1, 2, ... stops at the first k whose candidate satisfies a
// condition that, once true, stays true for every larger k (the candidates are
// monotone in k). So the first such k can be found from an estimate near it:
// step back while the condition still holds, then forward until it holds. The
// result is the walk's own, without walking from the origin.
template <typename Condition> long long firstIndex(double distance, double step, Condition holds) {
    long long k = static_cast<long long>(std::floor(distance / step));
    k = k > 2 ? k - 2 : 0;
    while (k > 0 && holds(k - 1))
        --k;
    while (!holds(k))
        ++k;
    return k;
}

// Values that the walk could not finish with: a step of zero or less, or anything
// not finite, or a value so far from the origin that no sheet comes near it.
bool walkable(double value, double origin, double step) {
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(value) || !std::isfinite(origin))
        return false;
    return std::fabs(value - origin) / step < kMaxSteps;
}

} // namespace

double startGradValue(double value, double origin, double step) {
    if (!walkable(value, origin, step))
        return kNotAValue;
    if (eqWithTolerance(origin, value))
        return origin;
    if (origin < value) {
        const long long k = firstIndex(value - origin, step, [&](long long i) {
            const double candidate = static_cast<double>(i) * step + origin;
            return candidate > value || eqWithTolerance(candidate, value);
        });
        return static_cast<double>(k) * step + origin;
    }
    // Origin above the value: walk down; the first candidate at or below the value
    // decides, and one clearly below it means the previous one was the answer.
    const long long k = firstIndex(origin - value, step, [&](long long i) {
        const double candidate = static_cast<double>(i) * (-step) + origin;
        return eqWithTolerance(candidate, value) || candidate < value;
    });
    const double candidate = static_cast<double>(k) * (-step) + origin;
    if (eqWithTolerance(candidate, value))
        return candidate;
    return static_cast<double>(k - 1) * (-step) + origin;
}

double endGradValue(double value, double origin, double step) {
    if (!walkable(value, origin, step))
        return kNotAValue;
    if (eqWithTolerance(origin, value))
        return origin;
    if (origin < value) {
        const long long k = firstIndex(value - origin, step, [&](long long i) {
            const double candidate = static_cast<double>(i) * step + origin;
            return eqWithTolerance(candidate, value) || candidate > value;
        });
        const double candidate = static_cast<double>(k) * step + origin;
        if (eqWithTolerance(candidate, value))
            return candidate;
        return static_cast<double>(k - 1) * step + origin;
    }
    const long long k = firstIndex(origin - value, step, [&](long long i) {
        const double candidate = static_cast<double>(i) * (-step) + origin;
        return candidate < value || eqWithTolerance(candidate, value);
    });
    return static_cast<double>(k) * (-step) + origin;
}

void plusUniqueValue(std::vector<double>& list, double value) {
    for (const double listed : list)
        if (eqWithTolerance(listed, value))
            return;
    list.push_back(value);
}

} // namespace sheetjob::layers
