#include "sheetjob/frame/OuterFrame.h"

#include "sheetjob/common/Text.h"
#include "sheetjob/coordtext/LabelText.h"
#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/frame/TextExtent.h"
#include "sheetjob/geometry/Tolerance.h"

#include <algorithm>

namespace sheetjob::frame {

namespace {

using geometry::eqWithTolerance;
using geometry::Vertices;

constexpr double kLabelLift = 0.8 / 2; // mm between a parallel and the nearer edge of its label
constexpr double kMinuteDrop = 0.10000000149011612; // mm more below the parallel (0.1f)
constexpr double kCornerMargin = 0.8;               // mm widening the corner label blocks

/// The writing context shared by the three stages.
struct Outer {
    FrameSink& sink;
    const FrameLayout& layout;
    const FrameJob& job;
    PrintedMap map;

    double TT(double lat, double d) const { return targetLat(lat, d, map); }
    double TL(double lon, double lat, double d) const { return targetLon(lon, lat, d, map); }
    /// Line along the parallel `lat` shifted by d, densified on the grid from W.
    bool parallel(double lat, double d, double start, double end, Vertices& v) const {
        return addOutParallel(lat, d, start, end, map, {job.bounds.west, job.spacing.lon}, v) !=
               kLineRefused;
    }
    /// Line d mm east of the meridian `lon`, densified on the grid from S.
    bool meridian(double lon, double d, double start, double end, Vertices& v) const {
        return addOutMeridian(lon, d, start, end, map, {job.bounds.south, job.spacing.lat}, v) !=
               kLineRefused;
    }
    int write(FrameRecordKind kind, const FrameRecord& record, const Vertices& v) const {
        return sink.write(kind, record, v) == 0 ? kFrameOk : kFrameWriteFailed;
    }
};

/// A corner point of the label blocks, kept to move meridian labels clear of them.
struct Mark {
    double x = 0.0;
    double y = 0.0;
};

int brokenOuterLine(const Outer& o) {
    const FrameLayout& L = o.layout;
    const FrameJob& j = o.job;
    const double W = j.bounds.west, E = j.bounds.east, S = j.bounds.south, N = j.bounds.north;
    const double D = L.outerFrameDistance;

    const double phiM = (S + N) / 2;
    const double lamM = (W + E) / 2;
    const double top = o.TT(N, D);
    const double bottom = o.TT(S, -D);

    auto gapWidth = [&](const std::string& name) {
        const std::string t = common::rtrim(name);
        return textParameters(t, static_cast<int>(t.size()), L.adjacentFont, L.adjacentSize,
                              kTrimBoth)
                   .width +
               kGapClearance;
    };
    double wN = gapWidth(j.neighbours.north);
    double wS = gapWidth(j.neighbours.south);
    double wW = gapWidth(j.neighbours.west);
    double wE = gapWidth(j.neighbours.east);
    // A refined side borders no single neighbour. Judged on the trapezium before
    // any datum shift, so that a shifted sheet keeps its neighbours' names.
    if (!eqWithTolerance(j.result.west, j.base.west))
        wW = 0;
    if (!eqWithTolerance(j.result.east, j.base.east))
        wE = 0;
    if (!eqWithTolerance(j.result.south, j.base.south))
        wS = 0;
    if (!eqWithTolerance(j.result.north, j.base.north))
        wN = 0;

    double yW1 = o.TT(phiM, -wW / 2), yW2 = o.TT(phiM, wW / 2);
    double yE1 = o.TT(phiM, -wE / 2), yE2 = o.TT(phiM, wE / 2);
    double xN1 = o.TL(lamM, top, -wN / 2), xN2 = o.TL(lamM, top, wN / 2);
    double xS1 = o.TL(lamM, bottom, -wS / 2), xS2 = o.TL(lamM, bottom, wS / 2);
    // A name that does not fit strictly inside its side is left out.
    if (yW1 <= S || yW2 >= N) {
        wW = 0;
        yW1 = yW2 = phiM;
    }
    if (yE1 <= S || yE2 >= N) {
        wE = 0;
        yE1 = yE2 = phiM;
    }
    if (xN1 <= W || xN2 >= E) {
        wN = 0;
        xN1 = xN2 = lamM;
    }
    if (xS1 <= W || xS2 >= E) {
        wS = 0;
        xS1 = xS2 = lamM;
    }

    const double cNW = o.TL(W, top, -D);
    const double cNE = o.TL(E, top, D);
    const double cSE = o.TL(E, bottom, D);
    const double cSW = o.TL(W, bottom, -D);

    // Four pieces, clockwise from gap to gap around a corner; the first line of
    // each piece ends where the second begins, so its last vertex is dropped.
    const FrameRecord lineCode = codeAttribute(L.outerFrameCode);
    auto piece = [&](auto first, auto second) {
        Vertices v;
        if (!first(v))
            return kFrameWriteFailed;
        v.removeLast();
        if (!second(v))
            return kFrameWriteFailed;
        return o.write(FrameRecordKind::OuterLine, lineCode, v);
    };
    if (piece([&](Vertices& v) { return o.meridian(W, -D, yW2, top, v); },
              [&](Vertices& v) { return o.parallel(N, D, cNW, xN1, v); }) != kFrameOk ||
        piece([&](Vertices& v) { return o.parallel(N, D, xN2, cNE, v); },
              [&](Vertices& v) { return o.meridian(E, D, top, yE2, v); }) != kFrameOk ||
        piece([&](Vertices& v) { return o.meridian(E, D, yE1, bottom, v); },
              [&](Vertices& v) { return o.parallel(S, -D, cSE, xS2, v); }) != kFrameOk ||
        piece([&](Vertices& v) { return o.parallel(S, -D, xS1, cSW, v); },
              [&](Vertices& v) { return o.meridian(W, -D, bottom, yW1, v); }) != kFrameOk)
        return kFrameWriteFailed;

    // The names, centred on the outer line in the gaps; west and east read upward.
    auto label = [&](double w, const std::string& name, auto build) {
        if (w == 0)
            return kFrameOk;
        Vertices v;
        if (!build(v))
            return kFrameWriteFailed;
        return o.write(FrameRecordKind::NeighbourName,
                       labelAttributes(L.adjacentCode, name, L.adjacentFont, L.adjacentSize), v);
    };
    if (label(wN, j.neighbours.north, [&](Vertices& v) { return o.parallel(N, D, xN1, xN2, v); }) !=
            kFrameOk ||
        label(wS, j.neighbours.south,
              [&](Vertices& v) { return o.parallel(S, -D, xS1, xS2, v); }) != kFrameOk ||
        label(wW, j.neighbours.west, [&](Vertices& v) { return o.meridian(W, -D, yW1, yW2, v); }) !=
            kFrameOk ||
        label(wE, j.neighbours.east, [&](Vertices& v) { return o.meridian(E, D, yE1, yE2, v); }) !=
            kFrameOk)
        return kFrameWriteFailed;
    return kFrameOk;
}

int outerFrame(const Outer& o) {
    const FrameLayout& L = o.layout;
    const FrameJob& j = o.job;
    switch (L.outerFrameKind) {
    case 2:
        if (addOutRamkaContur(o.sink, FrameRecordKind::OuterSideLine, L.outerSideCode,
                              L.outerFrameDistance - L.outerSideOffset, o.map, j.bounds,
                              j.spacing) != kFrameOk ||
            addOutRamkaContur(o.sink, FrameRecordKind::OuterSideLine, L.outerSideCode,
                              L.outerFrameDistance + L.outerSideOffset, o.map, j.bounds,
                              j.spacing) != kFrameOk ||
            addOutRamkaContur(o.sink, FrameRecordKind::OuterLine, L.outerFrameCode,
                              L.outerFrameDistance, o.map, j.bounds, j.spacing) != kFrameOk)
            return kFrameWriteFailed;
        return kFrameOk;
    case 1:
        if (L.adjacentOn)
            return brokenOuterLine(o);
        return addOutRamkaContur(o.sink, FrameRecordKind::OuterLine, L.outerFrameCode,
                                 L.outerFrameDistance, o.map, j.bounds, j.spacing);
    default:
        return kFrameOk;
    }
}

int outlets(const Outer& o) {
    const FrameLayout& L = o.layout;
    const FrameJob& j = o.job;
    const double g = L.minuteFrameGap;
    const FrameRecord parallelCode = codeAttribute(L.parallelOutletCode);
    const FrameRecord meridianCode = codeAttribute(L.meridianOutletCode);
    for (double phi : j.latitudes) {
        Vertices west, east;
        if (!o.parallel(phi, 0, j.bounds.west, o.TL(j.bounds.west, phi, -g), west) ||
            o.write(FrameRecordKind::ParallelOutlet, parallelCode, west) != kFrameOk)
            return kFrameWriteFailed;
        if (!o.parallel(phi, 0, j.bounds.east, o.TL(j.bounds.east, phi, g), east) ||
            o.write(FrameRecordKind::ParallelOutlet, parallelCode, east) != kFrameOk)
            return kFrameWriteFailed;
    }
    for (double lam : j.longitudes) {
        Vertices north, south;
        north.add(lam, j.bounds.north);
        north.add(lam, o.TT(j.bounds.north, g));
        if (o.write(FrameRecordKind::MeridianOutlet, meridianCode, north) != kFrameOk)
            return kFrameWriteFailed;
        south.add(lam, j.bounds.south);
        south.add(lam, o.TT(j.bounds.south, -g));
        if (o.write(FrameRecordKind::MeridianOutlet, meridianCode, south) != kFrameOk)
            return kFrameWriteFailed;
    }
    return kFrameOk;
}

int valueLabels(const Outer& o) {
    const FrameLayout& L = o.layout;
    const FrameJob& j = o.job;
    const double W = j.bounds.west, E = j.bounds.east, S = j.bounds.south, N = j.bounds.north;
    // With the minute frame on the edge, the labels go beyond its strip.
    const double off = (L.minuteFrameOn && L.minuteFrameGap == 0.0)
                           ? kLabelClearance + L.minuteFrameWidth
                           : kLabelClearance;
    auto attributes = [&](const std::string& text) {
        return labelAttributes(L.digitCode, text, L.digitFont, L.digitSize);
    };
    auto labelLine = [&](double y, double start, double end, const std::string& text) {
        Vertices v;
        if (!o.parallel(y, 0, start, end, v))
            return kFrameWriteFailed;
        return o.write(FrameRecordKind::ValueLabel, attributes(text), v);
    };

    const size_t n = j.latitudes.size();
    Mark sw, se, nw, ne;
    double hP = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double phi = j.latitudes[i];
        const coordtext::FrameLabelPieces p = coordtext::coordToTxt(phi, false);
        const std::string deg = common::rtrim(p.degrees);
        const std::string min = common::rtrim(p.minutes);
        const TextExtent e1 =
            textParameters(deg, static_cast<int>(deg.size()), L.digitFont, L.digitSize, kTrimBoth);
        const double w1 = e1.width, h1 = e1.top - e1.bottom;
        const double yA = o.TT(phi, kLabelLift + h1 / 2);
        const TextExtent e2 =
            textParameters(min, static_cast<int>(min.size()), L.digitFont, L.digitSize, kTrimBoth);
        const double w2 = e2.width, h2 = e2.top - e2.bottom;
        const double yB = o.TT(phi, -(kLabelLift + h2 / 2 + kMinuteDrop));
        // West labels begin together, so the longer one ends `off` from W.
        const double wmax = std::max(w1, w2) + off;

        const double westDegStart = o.TL(W, yA, -wmax), westDegEnd = o.TL(W, yA, w1 - wmax);
        const double westMinStart = o.TL(W, yB, -wmax), westMinEnd = o.TL(W, yB, w2 - wmax);
        const double eastDegStart = o.TL(E, yA, off), eastDegEnd = o.TL(E, yA, off + w1);
        const double eastMinStart = o.TL(E, yB, off), eastMinEnd = o.TL(E, yB, off + w2);

        if (i == 0) {
            sw.x = o.TL(westMinEnd, yB, kCornerMargin);
            sw.y = o.TT(yB, -(h2 / 2 + kCornerMargin));
            se.x = o.TL(eastMinStart, yB, -kCornerMargin);
            se.y = sw.y;
        }
        if (i == n - 1) {
            nw.x = o.TL(westDegEnd, yA, kCornerMargin);
            nw.y = o.TT(yA, h1 / 2 + kCornerMargin);
            ne.x = o.TL(eastDegStart, yA, -kCornerMargin);
            ne.y = nw.y;
            hP = h1;
        }

        if (labelLine(yA, westDegStart, westDegEnd, deg) != kFrameOk ||
            labelLine(yB, westMinStart, westMinEnd, min) != kFrameOk ||
            labelLine(yA, eastDegStart, eastDegEnd, deg) != kFrameOk ||
            labelLine(yB, eastMinStart, eastMinEnd, min) != kFrameOk)
            return kFrameWriteFailed;
    }

    const size_t m = j.longitudes.size();
    // Clear of the topmost (bottommost) parallel's label block.
    const double movedOff = kLabelLift + hP + kCornerMargin;
    for (size_t k = 0; k < m; ++k) {
        const double lam = j.longitudes[k];
        const coordtext::FrameLabelPieces p = coordtext::coordToTxt(lam, true);
        const std::string deg = common::rtrim(p.degrees);
        const std::string min = common::rtrim(p.minutes);
        const TextExtent e1 =
            textParameters(deg, static_cast<int>(deg.size()), L.digitFont, L.digitSize, kTrimLeft);
        const TextExtent e2 =
            textParameters(min, static_cast<int>(min.size()), L.digitFont, L.digitSize, kTrimRight);
        const double ws = textParameters(" ", 1, L.digitFont, L.digitSize, kTrimNone).width;
        const double w1 = e1.width, w2 = e2.width;
        const double h = std::max(e1.top - e1.bottom, e2.top - e2.bottom);
        const std::string text = deg + " " + min;
        // The middle of the blank lies on the meridian.
        auto start = [&](double y) { return o.TL(lam, y, -(ws / 2 + w1)); };
        auto end = [&](double y) { return o.TL(lam, y, ws / 2 + w2); };
        const bool firstMeridian = k == 0, lastMeridian = k == m - 1;

        double offN = off;
        if (n >= 1) {
            const double y = o.TT(N, offN + h / 2);
            const double yn = o.TT(N, offN);
            bool collides = firstMeridian && nw.x > start(y) && nw.y > yn;
            if (!collides)
                collides = lastMeridian && ne.x < end(y) && ne.y > yn;
            if (collides)
                offN = movedOff;
        }
        const double yNorth = o.TT(N, offN + h / 2);

        double offS = off;
        if (n >= 1) {
            const double y = o.TT(S, -(offS + h / 2));
            const double ys = o.TT(S, -offS);
            bool collides = firstMeridian && sw.x > start(y) && sw.y < ys;
            if (!collides)
                collides = lastMeridian && se.x < end(y) && se.y < ys;
            if (collides)
                offS = movedOff;
        }
        const double ySouth = o.TT(S, -(offS + h / 2));

        if (labelLine(yNorth, start(yNorth), end(yNorth), text) != kFrameOk ||
            labelLine(ySouth, start(ySouth), end(ySouth), text) != kFrameOk)
            return kFrameWriteFailed;
    }
    return kFrameOk;
}

} // namespace

int outFrameFramework(FrameSink& sink, const FrameLayout& layout, const FrameJob& job) {
    const Outer o{sink, layout, job, {layout.scaleDenominator, kEarthRadius}};
    if (outerFrame(o) != kFrameOk)
        return kFrameWriteFailed;
    if (layout.outletsOn && outlets(o) != kFrameOk)
        return kFrameWriteFailed;
    if (layout.digitsOn && valueLabels(o) != kFrameOk)
        return kFrameWriteFailed;
    return kFrameOk;
}

} // namespace sheetjob::frame
