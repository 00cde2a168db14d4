#pragma once
// Where the frame routines put their records: one of the three frame layers,
// the record's attributes and the vertices of a line. The driver binds it to
// the shapefile layers; tests collect records in memory.

#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/shapefile/Schema.h"

#include <string>

namespace sheetjob::frame {

/// The frame layers, in the order they are opened and closed.
enum FrameLayerIndex : int { kFrameLayer = 0, kFrameAdjLayer = 1, kFrameDigLayer = 2 };
constexpr int kFrameLayerCount = 3;

// Statuses of the frame routines.
constexpr int kFrameOk = 0;
constexpr int kFrameOpenFailed = 1;  ///< a frame layer could not be opened
constexpr int kFrameWriteFailed = 2; ///< a record could not be written (or its line not built)

/// What a frame record draws. The kind decides the record's layer, and tells
/// apart records that share an "L_code" (the minute frame's lines, ticks and
/// fills), so that a map style can draw each as a printed frame does.
enum class FrameRecordKind {
    MinuteLine,     ///< inner or outer line of the minute frame (Frame)
    MinuteTick,     ///< a division boundary of the minute scale (Frame)
    MinuteFill,     ///< centre line of a filled division (Frame)
    OuterLine,      ///< the (middle) outer frame line, or a piece of it (Frame)
    OuterSideLine,  ///< a side line of the three-line outer frame (Frame)
    MeridianOutlet, ///< a meridian's outlet to the minute frame (Frame)
    ParallelOutlet, ///< a parallel's outlet to the minute frame (Frame)
    NeighbourName,  ///< a neighbouring sheet's name on the outer line (FrameAdj)
    ValueLabel,     ///< a graticule value label (FrameDig)
};

/// The layer that receives records of a kind.
constexpr int layerOf(FrameRecordKind kind) {
    switch (kind) {
    case FrameRecordKind::NeighbourName:
        return kFrameAdjLayer;
    case FrameRecordKind::ValueLabel:
        return kFrameDigLayer;
    default:
        return kFrameLayer;
    }
}

/// A frame record's attributes: every line has its "L_code"; a label has its
/// text, font and size too (Windows-1251).
struct FrameRecord {
    int code = 0;
    std::string text;
    std::string font;
    std::string size; ///< points with two decimals, "6.50"
};

/// The columns of the Frame layer (lines) and of FrameAdj and FrameDig (labels).
inline constexpr shapefile::Schema kFrameLineSchema{
    shapefile::integerColumn("L_code", 8, &FrameRecord::code)};
inline constexpr shapefile::Schema kFrameLabelSchema{
    shapefile::integerColumn("L_code", 8, &FrameRecord::code),
    shapefile::characterColumn("Text", 100, &FrameRecord::text),
    shapefile::characterColumn("Font", 100, &FrameRecord::font),
    shapefile::characterColumn("Size", 100, &FrameRecord::size)};

class FrameSink {
  public:
    virtual ~FrameSink() = default;
    /// Writes one line record into the layer of its kind; returns 0 or the
    /// writer's non-zero status.
    virtual int write(FrameRecordKind kind, const FrameRecord& record,
                      const geometry::Vertices& v) = 0;
};

/// The record of a line with its "L_code".
FrameRecord codeAttribute(int code);

/// The record of a label: its code, text, font name and size (F6.2).
FrameRecord labelAttributes(int code, const std::string& text, int font, double size);

/// Builds the closed line `d` mm outside the trapezium (outRamkaVertices) and
/// writes it to FRAME as a record of `kind` with `code`. Returns kFrameOk or
/// kFrameWriteFailed.
int addOutRamkaContur(FrameSink& sink, FrameRecordKind kind, int code, double d,
                      const PrintedMap& map, const geometry::Trapezium& t,
                      const geometry::VertexSpacing& step);

} // namespace sheetjob::frame
