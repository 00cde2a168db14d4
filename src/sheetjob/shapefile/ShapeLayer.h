#pragma once
// The layer writer: every layer of the system is an ESRI shapefile (.shp, .shx,
// .dbf, .PRJ, and a .cpg naming the code page) written through Shapelib.
// A layer is opened, receives one shape with one attribute record per call,
// and is closed; a ShapeLayer closes its files on every path (RAII), so what
// was written before a failure stays readable.

#include "sheetjob/geometry/Geometry.h"

#include <shapefil.h>

#include <string>
#include <vector>

namespace sheetjob::shapefile {

/// Attribute column type codes (Shapelib's FTString, FTInteger, FTDouble).
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

/// One open layer. Not copyable; closing twice is harmless.
class ShapeLayer {
  public:
    ShapeLayer() = default;
    ShapeLayer(const ShapeLayer&) = delete;
    ShapeLayer& operator=(const ShapeLayer&) = delete;
    ~ShapeLayer();

    [[nodiscard]] bool isOpen() const { return shp_ != nullptr || dbf_ != nullptr; }
    /// What failed last, in the platform's encoding (for the one-line report).
    [[nodiscard]] const std::string& lastError() const { return lastError_; }

    int recordCounter = 0;     ///< records written so far
    int identifierCounter = 0; ///< last "Id" value written

  private:
    friend int openNewShapefile(int, int, const std::string&, const std::vector<FieldDef>&,
                                ShapeLayer&);
    friend int closeNewShapefile(ShapeLayer&);
    friend class LayerAccess;

    SHPHandle shp_ = nullptr;
    DBFHandle dbf_ = nullptr;
    std::vector<FieldSpec> fields_;
    std::string path_; // as given (Windows-1251)
    std::string lastError_;
    bool ioFailed_ = false; // a write of this layer failed; its files are incomplete
};

/// Opens a new layer at `path` (Windows-1251, without extension; converted to the
/// platform's file-name encoding here and nowhere else): the .dbf with "Id"
/// (numeric, 6, 0) and the caller's fields, the .shp/.shx of `shapeType`, the
/// .PRJ for `coordSystem` and the .cpg. Counters reset to 0. Returns 0,
/// kFieldRefused (123) or kCreateFailed.
int openNewShapefile(int coordSystem, int shapeType, const std::string& path,
                     const std::vector<FieldDef>& fields, ShapeLayer& layer);
/// Closes the table and the shape files, completing their headers. Returns 0, or
/// kCloseFailed when any write of the layer failed (a full disk, say): callers
/// that must not report such a layer as written check it.
int closeNewShapefile(ShapeLayer& layer);

/// Each writer advances both counters, writes the attribute record (Id = the
/// identifier counter) and then appends the shape. Returns 0, 122, 803 or
/// kShapeWriteFailed.
int writePoint(ShapeLayer& layer, const std::string& attributeText, double x, double y);
int writeSimpleLine(ShapeLayer& layer, const std::string& attributeText,
                    const geometry::Vertices& v);
int writeSimplePolygon(ShapeLayer& layer, const std::string& attributeText,
                       const geometry::Vertices& v);

/// Writes one attribute record: "Id" = identifier, then the values of the text
/// (each followed by "\") by column type. recordNumber is 1-based. Returns 0,
/// 1 (the library refused a store) or 2 (malformed text).
int writeRecDbf(DBFHandle table, int recordNumber, int identifier, std::string attributeText,
                const std::vector<FieldSpec>& fields);

/// The well-known text of the projection file for a coordinate-system code
/// ("" for an unknown code), without the line end.
std::string projectionText(int coordSystem);

} // namespace sheetjob::shapefile
