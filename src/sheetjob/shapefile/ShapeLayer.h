#pragma once
// The layer writer: every layer of the system is an ESRI shapefile (.shp,
// .shx, .dbf, .PRJ, and a .cpg naming the code page), encoded here. A layer is
// opened in a folder with its attribute columns, receives one shape with one
// attribute record per call, and is closed. Its files appear under their own
// names only when it closes complete: a layer that fails, or that goes
// without being closed, leaves nothing under its name, so a truncated layer is
// never mistaken for a written one.

#include "sheetjob/common/Folder.h"
#include "sheetjob/geometry/CoordSystem.h"
#include "sheetjob/geometry/Point.h"
#include "sheetjob/shapefile/Schema.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace sheetjob::shapefile {

/// Shape types used (shapefile standard codes).
enum ShapeTypeCode : int { kPoint = 1, kPolyLine = 3, kPolygon = 5 };

/// Statuses of the writer.
enum WriterStatus : int {
    kOk = 0,
    kTableWriteFailed = 122, ///< the attribute table could not be written (a value did not fit)
    kFieldRefused = 123,     ///< an attribute column breaks the table's limits
    kCreateFailed = 124,     ///< a file of the layer could not be created
    kShapeWriteFailed = 125, ///< a shape could not be appended
    kCloseFailed = 126,      ///< the files could not be completed (for example a full disk)
};

/// A record handed to the writer together with the schema that stores it.
class RecordView {
  public:
    template <class S>
    RecordView(const S& schema, const typename S::RecordType& record)
        : schema_(&schema), record_(&record),
          encode_([](const void* s, const void* r, RowEncoder& row) {
              return static_cast<const S*>(s)->encode(
                  *static_cast<const typename S::RecordType*>(r), row);
          }) {}
    bool encode(RowEncoder& row) const { return encode_(schema_, record_, row); }

  private:
    const void* schema_;
    const void* record_;
    bool (*encode_)(const void*, const void*, RowEncoder&);
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
/// while the layer is: the table with "Id" (numeric, 6) and the `columns`, the
/// shape files of `shapeType`; the .PRJ of `coordSystem` and the .cpg follow on
/// close. Counters reset to 0. Returns 0, kFieldRefused or kCreateFailed.
int openNewShapefile(geometry::CoordSystem coordSystem, int shapeType, const common::Folder& folder,
                     const std::string& baseName, std::span<const Field> columns,
                     ShapeLayer& layer);
/// Completes the layer and puts its files in place (the .shp last). Returns 0,
/// or kCloseFailed when anything of the layer could not be written; then none
/// of its files is left.
int closeNewShapefile(ShapeLayer& layer);

/// Each writer advances both counters, stores the attribute record (Id = the
/// identifier counter, then the record's columns) and appends the shape.
/// Returns 0, kTableWriteFailed or kShapeWriteFailed.
int writePoint(ShapeLayer& layer, const RecordView& record, double x, double y);
int writeSimpleLine(ShapeLayer& layer, const RecordView& record, const geometry::Vertices& v);
int writeSimplePolygon(ShapeLayer& layer, const RecordView& record, const geometry::Vertices& v);
/// The general shape of the layer's type: `partStarts` holds the first vertex
/// of each part (empty for a point, whose one vertex is x[0], y[0]).
int writeShape(ShapeLayer& layer, const RecordView& record,
               std::span<const std::int32_t> partStarts, std::span<const double> x,
               std::span<const double> y);

/// A layer whose records are all of one type, stored through one schema: the
/// compiler checks every record against it.
template <class S> class Layer {
  public:
    using Record = typename S::RecordType;
    explicit Layer(const S& schema) : schema_(schema) {}

    int open(geometry::CoordSystem coordSystem, int shapeType, const common::Folder& folder,
             const std::string& baseName) {
        return openNewShapefile(coordSystem, shapeType, folder, baseName, schema_.fields(), shape_);
    }
    int writePoint(const Record& r, double x, double y) {
        return shapefile::writePoint(shape_, {schema_, r}, x, y);
    }
    int writeSimpleLine(const Record& r, const geometry::Vertices& v) {
        return shapefile::writeSimpleLine(shape_, {schema_, r}, v);
    }
    int writeSimplePolygon(const Record& r, const geometry::Vertices& v) {
        return shapefile::writeSimplePolygon(shape_, {schema_, r}, v);
    }
    int close() { return closeNewShapefile(shape_); }

    [[nodiscard]] const ShapeLayer& shape() const { return shape_; }

  private:
    const S& schema_;
    ShapeLayer shape_;
};

} // namespace sheetjob::shapefile
