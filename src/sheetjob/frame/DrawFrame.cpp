#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/frame/FrameLayout.h"
#include "sheetjob/frame/FrameSink.h"
#include "sheetjob/frame/MinuteFrame.h"
#include "sheetjob/frame/OuterFrame.h"

namespace sheetjob::frame {

int drawFrame(const FrameJob& job, const FrameLayout& layout, FrameSink& sink) {
    if (layout.minuteFrameOn && minuteFrameFramework(sink, layout, job) != kFrameOk)
        return kFrameWriteFailed;
    if ((layout.outletsOn || layout.outerFrameKind != 0) &&
        outFrameFramework(sink, layout, job) != kFrameOk)
        return kFrameWriteFailed;
    return kFrameOk;
}

} // namespace sheetjob::frame
