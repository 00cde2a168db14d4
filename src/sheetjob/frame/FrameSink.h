#pragma once
// Where the frame routines put their records: one of the three frame layers,
// an attribute text (values each followed by "\") and the vertices of a line.
// The driver binds it to the shapefile layers; tests collect records in memory.

#include "sheetjob/geometry/Geometry.h"

#include <string>

namespace sheetjob::frame {

/// The frame layers, in the order they are opened and closed.
enum FrameLayerIndex : int { kFrameLayer = 0, kFrameAdjLayer = 1, kFrameDigLayer = 2 };
constexpr int kFrameLayerCount = 3;

// Statuses of the frame routines.
constexpr int kFrameOk = 0;
constexpr int kFrameOpenFailed = 1;  ///< a frame layer could not be opened
constexpr int kFrameWriteFailed = 2; ///< a record could not be written (or its line not built)

class FrameSink {
  public:
    virtual ~FrameSink() = default;
    /// Writes one line record; returns 0 or the writer's non-zero status.
    virtual int write(int layer, const std::string& attributes, const geometry::Vertices& v) = 0;
};

/// "L_code" right-aligned in a 9-wide integer field, trailing blanks removed, and "\".
std::string codeAttribute(int code);

/// Label attributes: the code as above, then text, font name and size (F6.2),
/// each without trailing blanks and followed by "\".
std::string labelAttributes(int code, const std::string& text, int font, double size);

/// Builds the closed line `d` mm outside the trapezium (OUTRAMKAVERTICES) and
/// writes it to FRAME with `code`. Returns kFrameOk or kFrameWriteFailed.
int ADDOUTRAMKACONTUR(FrameSink& sink, int code, double d, double s, double R, double W, double E,
                      double stepLon, double S, double N, double stepLat);

} // namespace sheetjob::frame
