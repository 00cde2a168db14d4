#pragma once
// The layer writer: every layer of the system is an ESRI shapefile (.shp,
// .shx, .dbf, .PRJ, and a .cpg naming the code page). A layer is opened in a
// folder, receives one shape with one attribute record per call, and is closed.
// Its files appear under their own names only when it closes complete: a layer
// that fails, or that goes without being closed, leaves nothing under its
// name, so a truncated layer is never mistaken for a written one.

#include "sheetjob/common/Folder.h"
#include "sheetjob/geometry/CoordSystem.h"
#include "sheetjob/geometry/Point.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sheetjob::shapefile {

/// Attribute column type codes (the shapefile library's string, integer, double).
enum FieldTypeCode : int { kCharacter = 0, kInteger = 1, kReal = 2 };

/// Shape types used (shapefile standard codes).
enum ShapeTypeCode : int { kPoint = 1, kPolyLine = 3, kPolygon = 5 };

/// Statuses of the writer.
enum WriterStatus : int {
    kOk = 0,
    kTableWriteFailed = 122, ///< the attribute table could not be written
    kFieldRefused = 123,     ///< the library refused an attribute field
    kCreateFailed = 124,     ///< a file of the layer could not be created
    kShapeWriteFailed = 125, ///< a shape could not be appended
    kCloseFailed = 126,      ///< the files could not be completed (for example a full disk)
    kMalformedText = 803,    ///< an attribute text without its "\" or not a number
};

/// Type code, width and decimals of one attribute column.
struct FieldSpec {
    int type = kCharacter;
    int width = 0;
    int decimals = 0;
};

/// One caller-defined column: its name and descriptor.
struct FieldDef {
    std::string name;
    FieldSpec descriptor;
};

/// One layer being written. Not copyable.
class ShapeLayer {
  public:
    ShapeLayer();
    ShapeLayer(const ShapeLayer&) = delete;
    ShapeLayer& operator=(const ShapeLayer&) = delete;
    ~ShapeLayer(); ///< a layer still open is discarded: none of its files appear

    [[nodiscard]] bool isOpen() const;
    /// What failed last (UTF-8, one line).
    [[nodiscard]] const std::string& lastError() const;
    /// The layer's folder and base name, for messages (UTF-8).
    [[nodiscard]] const std::string& displayName() const;

    int recordCounter = 0;     ///< records written so far
    int identifierCounter = 0; ///< last "Id" value written

    /// The writer's own state of the layer, defined where the writer is.
    struct State;

  private:
    friend class Writer;
    std::unique_ptr<State> state_;
};

/// Opens a new layer `baseName` (Windows-1251, converted to the platform's
/// file-name encoding here and nowhere else) in `folder`, which must stay open
/// while the layer is: the table with "Id"
/// (numeric, 6, 0) and the caller's fields, the shape files of `shapeType`;
/// the .PRJ for `coordSystem` and the .cpg follow on close. Counters reset to
/// 0. Returns 0, kFieldRefused (123) or kCreateFailed.
int openNewShapefile(geometry::CoordSystem coordSystem, int shapeType, const common::Folder& folder,
                     const std::string& baseName, const std::vector<FieldDef>& fields,
                     ShapeLayer& layer);
/// Completes the layer and puts its files in place (the .shp last). Returns 0,
/// or kCloseFailed when anything of the layer could not be written; then none
/// of its files is left.
int closeNewShapefile(ShapeLayer& layer);

/// Each writer advances both counters, writes the attribute record (Id = the
/// identifier counter) and then appends the shape. Returns 0, 122, 803 or
/// kShapeWriteFailed.
int writePoint(ShapeLayer& layer, const std::string& attributeText, double x, double y);
int writeSimpleLine(ShapeLayer& layer, const std::string& attributeText,
                    const geometry::Vertices& v);
int writeSimplePolygon(ShapeLayer& layer, const std::string& attributeText,
                       const geometry::Vertices& v);

} // namespace sheetjob::shapefile
