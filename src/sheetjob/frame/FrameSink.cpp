#include "sheetjob/frame/FrameSink.h"

#include "sheetjob/common/Text.h"
#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/frame/FrameLayout.h"

namespace sheetjob::frame {

namespace {
constexpr int kSizeFieldWidth = 6; // fixed-point field of the "Size" value
constexpr int kSizeDecimals = 2;
} // namespace

FrameRecord codeAttribute(int code) { return {code, "", "", ""}; }

FrameRecord labelAttributes(int code, const std::string& text, int font, double size) {
    return {code, common::trim(text), common::trim(fontName(font)),
            common::trim(common::formatFixed(size, kSizeFieldWidth, kSizeDecimals))};
}

int addOutRamkaContur(FrameSink& sink, FrameRecordKind kind, int code, double d,
                      const PrintedMap& map, const geometry::Trapezium& t,
                      const geometry::VertexSpacing& step) {
    geometry::Vertices v;
    if (outRamkaVertices(d, map, t, step, v) == kLineRefused)
        return kFrameWriteFailed;
    return sink.write(kind, codeAttribute(code), v) == 0 ? kFrameOk : kFrameWriteFailed;
}

} // namespace sheetjob::frame
