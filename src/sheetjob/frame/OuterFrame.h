#pragma once
// Outside the minute frame: the outer frame (one line broken by the names of
// the neighbouring sheets, or three lines), the outlets of the graticule lines
// between the trapezium and the minute frame, and the graticule value labels.

#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/frame/FrameSink.h"

namespace sheetjob::frame {

/// Map millimetres by which a neighbour's name breaks the outer line beyond
/// its text: half of it free at each end.
constexpr double kGapClearance = 2.0;
/// Map millimetres between the trapezium (or the minute frame on its edge) and
/// a value label.
constexpr double kLabelClearance = 1.0;

/// Outer frame (FRAME, neighbour names in FRAMEADJ), outlets (FRAME) and value
/// labels (FRAMEDIG), as the layout asks. Every neighbour label names the sheet
/// on its own side; a side keeps its label only when the unshifted result
/// trapezium's edge is the base edge. Returns kFrameOk or kFrameWriteFailed
/// (at the first record that fails; what was written stays).
int outFrameFramework(FrameSink& sink, const FrameLayout& layout, const FrameJob& job);

} // namespace sheetjob::frame
