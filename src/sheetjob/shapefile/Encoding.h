#pragma once
// The bytes of the three binary members of a layer, as the published and
// frozen layouts give them: the main file (.shp) and its index (.shx) of the
// ESRI shapefile format, and the dBASE III attribute table (.dbf). Pure
// encoding into memory, no input or output: the layer writer streams what
// these produce. Internal to the shapefile writer.

#include "sheetjob/shapefile/Schema.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sheetjob::shapefile::encoding {

// ---------------------------------------------------------------------------
// The attribute table

/// The table's header (32 bytes) and each column's descriptor (32 bytes).
constexpr std::size_t kDbfHeaderBytes = 32;
constexpr std::size_t kDbfDescriptorBytes = 32;
/// Ends the descriptors (a carriage return).
constexpr char kDbfHeaderEnd = '\x0D';
/// Ends the table after its last record (the dBASE end-of-file mark).
constexpr char kDbfFileEnd = '\x1A';
/// Language driver 201: Windows-1251, so that a GIS reads the Cyrillic texts.
constexpr std::uint8_t kLdidWindows1251 = 201;

/// Where the columns of a table lie in its rows.
class TableLayout {
  public:
    /// The columns, "Id" first. Nothing when a column breaks the table's
    /// limits (validField) or the row would exceed 65535 bytes.
    static bool make(std::span<const Field> columns, TableLayout& out);

    [[nodiscard]] const std::vector<Field>& columns() const { return columns_; }
    /// Bytes of one row, its deletion flag included.
    [[nodiscard]] std::size_t recordLength() const { return recordLength_; }
    /// Bytes of header, descriptors and their end mark.
    [[nodiscard]] std::size_t headerLength() const {
        return kDbfHeaderBytes + kDbfDescriptorBytes * columns_.size() + 1;
    }
    [[nodiscard]] std::size_t offsetOf(std::size_t column) const { return offsets_[column]; }

    /// The header and descriptors for a table of `records` rows.
    void header(std::uint32_t records, std::string& out) const;

  private:
    std::vector<Field> columns_;
    std::vector<std::size_t> offsets_;
    std::size_t recordLength_ = 0;
};

/// Stores the values of one row into its bytes, column after column.
class RowWriter final : public RowEncoder {
  public:
    /// `row` holds layout.recordLength() bytes; it is marked undeleted here,
    /// and every column is then written in order, "Id" first.
    RowWriter(const TableLayout& layout, char* row);

    /// Right-aligned digits, as the table prints a number without decimals.
    bool integer(long long value) override;
    /// Right-aligned fixed-point text with the column's decimals.
    bool real(double value) override;
    /// The bytes left-aligned and padded with blanks.
    bool character(std::string_view value) override;

  private:
    char* next(std::size_t& width);
    bool rightAligned(std::string_view text);

    const TableLayout& layout_;
    char* row_;
    std::size_t column_;
};

// ---------------------------------------------------------------------------
// The main file and its index

/// Shape types (the shapefile format's codes).
enum ShapeType : std::int32_t { kNullShape = 0, kPoint = 1, kPolyLine = 3, kPolygon = 5 };

/// The 100-byte header of the main file and of the index.
constexpr std::size_t kShpHeaderBytes = 100;
/// Record header of the main file (number, content length) and index entry
/// (offset, content length): two 32-bit big-endian integers each.
constexpr std::size_t kShpRecordHeaderBytes = 8;
constexpr std::size_t kShxEntryBytes = 8;

/// The extent of a file's shapes, growing as each shape comes: it starts at
/// the first vertex of the first shape that has one and takes the smaller and
/// larger value of each coordinate after it (a comparison, so of two zeros the
/// first stays). A shape at (0, 0) counts like any other.
class Extent {
  public:
    void add(std::span<const double> x, std::span<const double> y);
    double xMin = 0.0, yMin = 0.0, xMax = 0.0, yMax = 0.0;

  private:
    bool empty_ = true;
};

/// The header of a main file or index of `fileBytes` bytes holding shapes of
/// `type` with the given extent (no heights or measures: their ranges are 0).
void shpHeader(ShapeType type, std::size_t fileBytes, const Extent& extent,
               char (&out)[kShpHeaderBytes]);

/// Bytes of a shape's content: a point, or a line or polygon of `parts` parts
/// and `points` vertices.
std::size_t contentBytes(ShapeType type, std::size_t parts, std::size_t points);

/// Writes the main file's record `number` (from 1): its header and content.
/// `partStarts` are the first vertex of each part (empty for a point). The
/// shape's own extent is computed here. `out` receives kShpRecordHeaderBytes
/// + contentBytes(...) bytes.
void shpRecord(std::int32_t number, ShapeType type, std::span<const std::int32_t> partStarts,
               std::span<const double> x, std::span<const double> y, char* out);

/// Writes the index entry of a record at `offset` bytes of the main file.
void shxEntry(std::size_t offset, std::size_t contentBytes, char (&out)[kShxEntryBytes]);

} // namespace sheetjob::shapefile::encoding
