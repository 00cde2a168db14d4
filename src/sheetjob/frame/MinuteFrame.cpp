#include "sheetjob/frame/MinuteFrame.h"

#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/geometry/Tolerance.h"

#include <cmath>

namespace sheetjob::frame {

namespace {

using geometry::eqWithTolerance;

constexpr double kMinutesPerDegree = 60.0; // division step h = minutes / 60 degrees

/// Walks the side a..b over the divisions origin + k*h: `tick(x)` at every
/// boundary reached, `fill(c, n)` for every filled division (a partial first or
/// last division is cut at a or b). Returns kFrameOk or kFrameWriteFailed.
template <typename Tick, typename Fill>
int walkSide(double a, double b, double o, double h, bool filled, Tick tick, Fill fill) {
    // Refuse what would step without end: the steps to reach the side from the
    // origin and along it must be finite in number and few.
    if (!(std::isfinite(a) && std::isfinite(b) && std::isfinite(o) && h > 0 && std::isfinite(h)) ||
        !(std::fabs(o - a) / h <= kMaxDivisions) || !(std::fabs(b - a) / h <= kMaxDivisions) ||
        !(h > std::fabs(o) * 1e-9))
        return kFrameWriteFailed;

    double cur = o;
    double next;
    bool firstTick;
    if (eqWithTolerance(cur, a)) {
        next = cur + h;
        firstTick = true;
    } else if (cur < a) {
        while (cur < a && !eqWithTolerance(cur, a)) {
            cur = cur + h;
            filled = !filled;
        }
        if (eqWithTolerance(cur, a)) {
            cur = a;
            next = cur + h;
            firstTick = true;
        } else if (cur < b) {
            // The piece of the strip between a and the first boundary stays empty.
            next = cur + h;
            firstTick = true;
        } else {
            return kFrameOk; // no boundary on this side
        }
    } else {
        while (cur > a && !eqWithTolerance(cur, a)) {
            cur = cur - h;
            filled = !filled;
        }
        if (eqWithTolerance(cur, a)) {
            cur = a;
            next = cur + h;
            firstTick = true;
        } else {
            // The first, partial division starts at a without a tick.
            next = cur + h;
            cur = a;
            firstTick = false;
        }
    }

    if (firstTick && tick(cur) != kFrameOk)
        return kFrameWriteFailed;
    for (;;) {
        bool drawTick, last;
        if (eqWithTolerance(next, b)) {
            next = b;
            drawTick = true;
            last = true;
        } else if (next < b) {
            drawTick = true;
            last = false;
        } else {
            next = b; // a partial last division ends at b without a tick
            drawTick = false;
            last = true;
        }
        if (drawTick && tick(next) != kFrameOk)
            return kFrameWriteFailed;
        if (filled && fill(cur, next) != kFrameOk)
            return kFrameWriteFailed;
        filled = !filled;
        cur = next;
        next = cur + h;
        if (last)
            return kFrameOk;
    }
}

int writeLine(FrameSink& sink, FrameRecordKind kind, int code, const geometry::Vertices& v) {
    return sink.write(kind, codeAttribute(code), v) == 0 ? kFrameOk : kFrameWriteFailed;
}

} // namespace

int minuteFrameXTics(bool north, FrameSink& sink, const FrameLayout& layout, const FrameJob& job) {
    const PrintedMap map{layout.scaleDenominator, kEarthRadius};
    const double g = layout.minuteFrameGap;
    const double w = layout.minuteFrameWidth;
    double lat1, lat2, latm;
    if (north) {
        lat1 = targetLat(job.bounds.north, g, map);
        lat2 = targetLat(job.bounds.north, g + w, map);
        latm = targetLat(job.bounds.north, g + w / 2, map);
    } else {
        lat1 = targetLat(job.bounds.south, -(g + w), map);
        lat2 = targetLat(job.bounds.south, -g, map);
        latm = targetLat(job.bounds.south, -(g + w / 2), map);
    }
    const double h = job.xMinute / kMinutesPerDegree;
    auto tick = [&](double x) {
        geometry::Vertices v;
        v.add(x, lat1);
        v.add(x, lat2);
        return writeLine(sink, FrameRecordKind::MinuteTick, layout.minuteTickCode, v);
    };
    auto fill = [&](double c, double n) {
        geometry::Vertices v;
        if (addOutParallel(latm, 0, c, n, map, {job.bounds.west, job.spacing.lon}, v) ==
            kLineRefused)
            return kFrameWriteFailed;
        return writeLine(sink, FrameRecordKind::MinuteFill, layout.minuteFillCode, v);
    };
    return walkSide(job.bounds.west, job.bounds.east, job.base.west, h, layout.minuteXStartFilled,
                    tick, fill);
}

int minuteFrameYTics(bool west, FrameSink& sink, const FrameLayout& layout, const FrameJob& job) {
    const PrintedMap map{layout.scaleDenominator, kEarthRadius};
    const double g = layout.minuteFrameGap;
    const double w = layout.minuteFrameWidth;
    const double base = west ? job.bounds.west : job.bounds.east;
    const double d1 = west ? -(g + w) : g;
    const double d2 = west ? -g : g + w;
    const double dm = west ? -(g + w / 2) : g + w / 2;
    const double h = job.yMinute / kMinutesPerDegree;
    auto tick = [&](double y) {
        geometry::Vertices v;
        v.add(targetLon(base, y, d1, map), y);
        v.add(targetLon(base, y, d2, map), y);
        return writeLine(sink, FrameRecordKind::MinuteTick, layout.minuteTickCode, v);
    };
    auto fill = [&](double c, double n) {
        geometry::Vertices v;
        if (addOutMeridian(base, dm, c, n, map, {job.bounds.south, job.spacing.lat}, v) ==
            kLineRefused)
            return kFrameWriteFailed;
        return writeLine(sink, FrameRecordKind::MinuteFill, layout.minuteFillCode, v);
    };
    return walkSide(job.bounds.south, job.bounds.north, job.base.south, h,
                    layout.minuteYStartFilled, tick, fill);
}

int minuteFrameFramework(FrameSink& sink, const FrameLayout& layout, const FrameJob& job) {
    const PrintedMap map{layout.scaleDenominator, kEarthRadius};
    const double g = layout.minuteFrameGap;
    const double w = layout.minuteFrameWidth;
    if (addOutRamkaContur(sink, FrameRecordKind::MinuteLine, layout.minuteLineCode, g, map,
                          job.bounds, job.spacing) != kFrameOk)
        return kFrameWriteFailed;
    if (addOutRamkaContur(sink, FrameRecordKind::MinuteLine, layout.minuteLineCode, g + w, map,
                          job.bounds, job.spacing) != kFrameOk)
        return kFrameWriteFailed;
    if (minuteFrameXTics(true, sink, layout, job) != kFrameOk ||
        minuteFrameXTics(false, sink, layout, job) != kFrameOk ||
        minuteFrameYTics(true, sink, layout, job) != kFrameOk ||
        minuteFrameYTics(false, sink, layout, job) != kFrameOk)
        return kFrameWriteFailed;
    return kFrameOk;
}

} // namespace sheetjob::frame
