#pragma once
// Where the frame routines put their records: one of the three frame layers,
// an attribute text (values each followed by "\") and the vertices of a line.
// The driver binds it to the shapefile layers; tests collect records in memory.

#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/geometry/Point.h"

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

class FrameSink {
  public:
    virtual ~FrameSink() = default;
    /// Writes one line record into the layer of its kind; returns 0 or the
    /// writer's non-zero status.
    virtual int write(FrameRecordKind kind, const std::string& attributes,
                      const geometry::Vertices& v) = 0;
};

/// "L_code" right-aligned in a 9-wide integer field, trailing blanks removed, and "\".
std::string codeAttribute(int code);

/// Label attributes: the code as above, then text, font name and size (F6.2),
/// each without trailing blanks and followed by "\".
std::string labelAttributes(int code, const std::string& text, int font, double size);

/// Builds the closed line `d` mm outside the trapezium (outRamkaVertices) and
/// writes it to FRAME as a record of `kind` with `code`. Returns kFrameOk or
/// kFrameWriteFailed.
int addOutRamkaContur(FrameSink& sink, FrameRecordKind kind, int code, double d,
                      const PrintedMap& map, const geometry::Trapezium& t,
                      const geometry::VertexSpacing& step);

} // namespace sheetjob::frame
