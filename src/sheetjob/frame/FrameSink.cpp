#include "sheetjob/frame/FrameSink.h"

#include "sheetjob/common/Text.h"
#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/frame/FrameLayout.h"

namespace sheetjob::frame {

namespace {
constexpr int kCodeFieldWidth = 9; // integer field of the "L_code" value
constexpr int kSizeFieldWidth = 6; // fixed-point field of the "Size" value
constexpr int kSizeDecimals = 2;
constexpr char kValueEnd = '\\'; // ends every value of an attribute text
} // namespace

std::string codeAttribute(int code) {
    return common::rtrim(common::formatInt(code, kCodeFieldWidth)) + kValueEnd;
}

std::string labelAttributes(int code, const std::string& text, int font, double size) {
    std::string a = codeAttribute(code);
    a += common::rtrim(text);
    a += kValueEnd;
    a += common::rtrim(fontName(font));
    a += kValueEnd;
    a += common::rtrim(common::formatFixed(size, kSizeFieldWidth, kSizeDecimals));
    a += kValueEnd;
    return a;
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
