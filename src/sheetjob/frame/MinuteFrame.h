#pragma once
// The minute frame: two closed lines at a constant map distance outside the
// trapezium and, between them on every side, a scale of divisions of whole
// minutes counted from the base trapezium, ticked at every boundary, every
// other division filled by a line along the middle of the strip.

#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/frame/FrameSink.h"

namespace sheetjob::frame {

/// Most divisions a walk along one side may step over (origin to side and along
/// it); a sheet's side has at most a few hundred.
constexpr double kMaxDivisions = 100000.0;

/// Inner line, outer line, then the scales of the north, south, west and east
/// sides, all into FRAME. Returns kFrameOk or kFrameWriteFailed (stops at the
/// first record that fails; what was written stays).
int minuteFrameFramework(FrameSink& sink, const FrameLayout& layout, const FrameJob& job);
/// The scale along the north (north = true) or south side: divisions of
/// job.xMinute minutes counted from job.baseWest.
int minuteFrameXTics(bool north, FrameSink& sink, const FrameLayout& layout, const FrameJob& job);
/// The scale along the west (west = true) or east side: divisions of
/// job.yMinute minutes counted from job.baseSouth.
int minuteFrameYTics(bool west, FrameSink& sink, const FrameLayout& layout, const FrameJob& job);

} // namespace sheetjob::frame
