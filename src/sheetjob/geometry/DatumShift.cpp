#include "sheetjob/geometry/DatumShift.h"

#include <algorithm>
#include <cmath>

namespace sheetjob::geometry {

namespace {

constexpr double kDegToRad = 0.017453292519943295; // pi / 180
constexpr double kRadToDeg = 57.29577951308232;    // 180 / pi
constexpr double kPi = 3.141592653589793;          // pi, as the double nearest to it
constexpr double kHalfPi = 1.5707963267948966;     // pi / 2
constexpr double kTwoPi = 6.283185307179586;       // 2 pi

constexpr double kKrasovskyA = 6378245.0; // Krasovsky semi-major axis, metres
constexpr double kKrasovskyE2 =
    0.006693421622965862; // Krasovsky first eccentricity squared (1/298.3)
constexpr double kKrasovskyOneMinusE2 = 0.9933065783770342; // 1 - Krasovsky e^2

constexpr double kShiftX = 23.56;                // SK-42 -> GSK-2011 shift along X, metres
constexpr double kShiftY = -140.86;              // SK-42 -> GSK-2011 shift along Y, metres
constexpr double kShiftZ = -79.77;               // SK-42 -> GSK-2011 shift along Z, metres
constexpr double kRotX = -8.426061777683734e-9;  // rotation about X, radians (-0.001738")
constexpr double kRotY = -1.6795933649726876e-6; // rotation about Y, radians (-0.346441")
constexpr double kRotZ = -3.850695687991034e-6;  // rotation about Z, radians (-0.794263")
constexpr double kScale = 0.9999997726;          // 1 + m, m = -0.2274e-6

constexpr double kGsk2011E2 =
    0.006694398105662064; // GSK-2011 first eccentricity squared (1/298.2564151)
constexpr double kGsk2011AE2 = 42697.78490325407; // GSK-2011 a * e^2, a = 6378136.5 metres
constexpr double kIterationTolerance = 1e-13;     // radians: successive corrections this close stop
// The iteration converges in a few rounds anywhere on the globe; the cap only
// guards against values that are no coordinates (NaN, infinities).
constexpr int kMaxRounds = 50;

// Rounding may carry a sine ratio a hair beyond 1, where arcsine has no value.
double safeAsin(double value) { return std::asin(std::clamp(value, -1.0, 1.0)); }

} // namespace

void sk42_To_Gsk2011(Point& point) {
    const double l = point.x * kDegToRad;
    const double b = point.y * kDegToRad;

    // Geocentric coordinates on the Krasovsky ellipsoid, height 0.
    const double sinB = std::sin(b);
    const double n = kKrasovskyA / std::sqrt(1.0 - kKrasovskyE2 * (sinB * sinB));
    const double x = n * std::cos(b) * std::cos(l);
    const double y = n * std::cos(b) * std::sin(l);
    const double z = n * kKrasovskyOneMinusE2 * sinB;

    // Seven-parameter similarity transformation in its small-angle form.
    const double xs = kScale * (x + kRotZ * y - kRotY * z) + kShiftX;
    const double ys = kScale * (y - kRotZ * x + kRotX * z) + kShiftY;
    const double zs = kScale * (z + kRotY * x - kRotX * y) + kShiftZ;

    const double d = std::sqrt(xs * xs + ys * ys);
    double lOut = 0.0;
    double bOut = 0.0;
    if (d == 0.0) {
        bOut = zs > 0.0 ? kHalfPi : (zs < 0.0 ? -kHalfPi : 0.0);
    } else {
        const double la = std::fabs(safeAsin(ys / d));
        if (ys < 0.0)
            lOut = xs < 0.0 ? kPi + la : kTwoPi - la;
        else if (ys > 0.0)
            lOut = xs < 0.0 ? kPi - la : la;
        else
            lOut = xs < 0.0 ? kPi : 0.0;

        if (zs != 0.0) {
            const double r = std::sqrt(xs * xs + ys * ys + zs * zs);
            const double c = safeAsin(zs / r);
            const double p = kGsk2011AE2 / (2.0 * r);
            double s1 = 0.0;
            double bRound = c;
            for (int round = 0; round < kMaxRounds; ++round) {
                bRound = c + s1;
                const double sinBRound = std::sin(bRound);
                const double s2 = safeAsin(p * std::sin(2.0 * bRound) /
                                           std::sqrt(1.0 - kGsk2011E2 * (sinBRound * sinBRound)));
                if (std::fabs(s2 - s1) <= kIterationTolerance)
                    break;
                s1 = s2;
            }
            bOut = std::clamp(bRound, -kHalfPi, kHalfPi);
        }
    }
    point.x = lOut * kRadToDeg;
    point.y = bOut * kRadToDeg;
}

void sk42_To_Gsk2011(Vertices& vertices) {
    for (int i = 0; i < vertices.size(); ++i) {
        Point p{vertices.x[i], vertices.y[i]};
        sk42_To_Gsk2011(p);
        vertices.x[i] = p.x;
        vertices.y[i] = p.y;
    }
}

} // namespace sheetjob::geometry
