#include "sheetjob/shapefile/Encoding.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>

namespace sheetjob::shapefile::encoding {
namespace {

static_assert(std::numeric_limits<double>::is_iec559, "the formats store IEEE 754 doubles");

// --- the attribute table (dBASE III) ---

constexpr std::uint8_t kDbfVersion = 0x03; // dBASE III without memo file
// The date of last update, years since 1900, month, day: the fixed date the
// layers have always carried, so that a run's bytes depend on the job alone.
constexpr std::uint8_t kDbfYear = 95;
constexpr std::uint8_t kDbfMonth = 7;
constexpr std::uint8_t kDbfDay = 26;
constexpr std::size_t kDbfRecordsAt = 4;       // uint32, little-endian
constexpr std::size_t kDbfHeaderLengthAt = 8;  // uint16
constexpr std::size_t kDbfRecordLengthAt = 10; // uint16
constexpr std::size_t kDbfLdidAt = 29;         // language driver id
constexpr std::size_t kDescriptorTypeAt = 11;  // 'C' or 'N'
constexpr std::size_t kDescriptorWidthAt = 16; // bytes of the column
constexpr std::size_t kDescriptorDecimalsAt = 17;
constexpr std::size_t kMaxRecordLength = 65535; // the header stores it in 16 bits
constexpr char kCharacterType = 'C';
constexpr char kNumericType = 'N'; // integer and real columns alike
constexpr char kUndeleted = ' ';   // a row's first byte
constexpr char kPadding = ' ';

// The automatic first column: the record's identifier, numeric, 6 digits.
constexpr Field kIdField{"Id", FieldKind::Integer, 6, 0};

// Widest text of a real written in fixed point: a double's largest value has
// 309 digits before the point, and a column at most 255 after it.
constexpr std::size_t kRealTextBytes = 309 + 1 + 1 + kMaxFieldWidth;

void putLe16(char* at, std::uint16_t v) {
    at[0] = static_cast<char>(v & 0xFF);
    at[1] = static_cast<char>(v >> 8);
}

void putLe32(char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putBe32(char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
}

void putLeDouble(char* at, double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        at[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

// --- the main file and index ---

constexpr std::uint32_t kFileCode = 9994; // first word of every main file and index
constexpr std::int32_t kVersion = 1000;   // the format's version
constexpr std::size_t kFileLengthAt = 24; // big-endian, in 16-bit words
constexpr std::size_t kVersionAt = 28;    // little-endian from here on
constexpr std::size_t kShapeTypeAt = 32;
constexpr std::size_t kExtentAt = 36;            // x min, y min, x max, y max, then z and m ranges
constexpr std::size_t kWordBytes = 2;            // lengths and offsets count 16-bit words
constexpr std::size_t kPointContent = 4 + 2 * 8; // type, x, y
constexpr std::size_t kMultiPointHead = 4 + 4 * 8 + 4 + 4; // type, box, parts, points

std::uint32_t words(std::size_t bytes) { return static_cast<std::uint32_t>(bytes / kWordBytes); }

// The smaller and larger of two values as the format's writers have always
// taken them (a comparison, not fmin/fmax).
double smaller(double a, double b) { return a < b ? a : b; }
double larger(double a, double b) { return a > b ? a : b; }

} // namespace

bool TableLayout::make(std::span<const Field> columns, TableLayout& out) {
    out = TableLayout{};
    out.columns_.reserve(columns.size() + 1);
    out.columns_.push_back(kIdField);
    out.columns_.insert(out.columns_.end(), columns.begin(), columns.end());
    std::size_t offset = 1; // after the deletion flag
    for (const Field& f : out.columns_) {
        if (!validField(f) || offset + static_cast<std::size_t>(f.width) > kMaxRecordLength)
            return false;
        out.offsets_.push_back(offset);
        offset += static_cast<std::size_t>(f.width);
    }
    out.recordLength_ = offset;
    return true;
}

void TableLayout::header(std::uint32_t records, std::string& out) const {
    out.assign(headerLength(), '\0');
    char* h = out.data();
    h[0] = static_cast<char>(kDbfVersion);
    h[1] = static_cast<char>(kDbfYear);
    h[2] = static_cast<char>(kDbfMonth);
    h[3] = static_cast<char>(kDbfDay);
    putLe32(h + kDbfRecordsAt, records);
    putLe16(h + kDbfHeaderLengthAt, static_cast<std::uint16_t>(headerLength()));
    putLe16(h + kDbfRecordLengthAt, static_cast<std::uint16_t>(recordLength_));
    h[kDbfLdidAt] = static_cast<char>(kLdidWindows1251);
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        char* d = h + kDbfHeaderBytes + kDbfDescriptorBytes * i;
        std::memcpy(d, columns_[i].name.data(), columns_[i].name.size());
        d[kDescriptorTypeAt] =
            columns_[i].kind == FieldKind::Character ? kCharacterType : kNumericType;
        d[kDescriptorWidthAt] = static_cast<char>(columns_[i].width);
        d[kDescriptorDecimalsAt] = static_cast<char>(columns_[i].decimals);
    }
    out.back() = kDbfHeaderEnd;
}

RowWriter::RowWriter(const TableLayout& layout, char* row)
    : layout_(layout), row_(row), column_(0) {
    row_[0] = kUndeleted;
}

char* RowWriter::next(std::size_t& width) {
    if (column_ >= layout_.columns().size())
        return nullptr;
    width = static_cast<std::size_t>(layout_.columns()[column_].width);
    return row_ + layout_.offsetOf(column_++);
}

bool RowWriter::rightAligned(std::string_view text) {
    std::size_t width = 0;
    char* at = next(width);
    if (at == nullptr || text.size() > width)
        return false;
    std::memset(at, kPadding, width - text.size());
    std::memcpy(at + (width - text.size()), text.data(), text.size());
    return true;
}

bool RowWriter::integer(long long value) {
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return rightAligned({digits.data(), static_cast<std::size_t>(end - digits.data())});
}

bool RowWriter::real(double value) {
    const int decimals =
        column_ < layout_.columns().size() ? layout_.columns()[column_].decimals : 0;
    std::array<char, kRealTextBytes> text{};
    const auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), value,
                                         std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        ++column_;
        return false;
    }
    return rightAligned({text.data(), static_cast<std::size_t>(end - text.data())});
}

bool RowWriter::character(std::string_view value) {
    std::size_t width = 0;
    char* at = next(width);
    if (at == nullptr || value.size() > width)
        return false;
    std::memcpy(at, value.data(), value.size());
    std::memset(at + value.size(), kPadding, width - value.size());
    return true;
}

void Extent::add(std::span<const double> x, std::span<const double> y) {
    if (x.empty())
        return;
    if (empty_) {
        xMin = xMax = x[0];
        yMin = yMax = y[0];
        empty_ = false;
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
        xMin = smaller(xMin, x[i]);
        yMin = smaller(yMin, y[i]);
        xMax = larger(xMax, x[i]);
        yMax = larger(yMax, y[i]);
    }
}

void shpHeader(ShapeType type, std::size_t fileBytes, const Extent& extent,
               char (&out)[kShpHeaderBytes]) {
    std::memset(out, 0, sizeof out);
    putBe32(out, kFileCode);
    putBe32(out + kFileLengthAt, words(fileBytes));
    putLe32(out + kVersionAt, static_cast<std::uint32_t>(kVersion));
    putLe32(out + kShapeTypeAt, static_cast<std::uint32_t>(type));
    // No heights or measures: their ranges stay 0.
    const double box[4] = {extent.xMin, extent.yMin, extent.xMax, extent.yMax};
    for (int i = 0; i < 4; ++i)
        putLeDouble(out + kExtentAt + 8 * i, box[i]);
}

std::size_t contentBytes(ShapeType type, std::size_t parts, std::size_t points) {
    if (type == kPoint)
        return kPointContent;
    return kMultiPointHead + 4 * parts + 16 * points;
}

void shpRecord(std::int32_t number, ShapeType type, std::span<const std::int32_t> partStarts,
               std::span<const double> x, std::span<const double> y, char* out) {
    const std::size_t content = contentBytes(type, partStarts.size(), x.size());
    putBe32(out, static_cast<std::uint32_t>(number));
    putBe32(out + 4, words(content));
    char* c = out + kShpRecordHeaderBytes;
    putLe32(c, static_cast<std::uint32_t>(type));
    if (type == kPoint) {
        putLeDouble(c + 4, x[0]);
        putLeDouble(c + 12, y[0]);
        return;
    }
    Extent own;
    own.add(x, y);
    putLeDouble(c + 4, own.xMin);
    putLeDouble(c + 12, own.yMin);
    putLeDouble(c + 20, own.xMax);
    putLeDouble(c + 28, own.yMax);
    putLe32(c + 36, static_cast<std::uint32_t>(partStarts.size()));
    putLe32(c + 40, static_cast<std::uint32_t>(x.size()));
    char* at = c + kMultiPointHead;
    for (const std::int32_t start : partStarts) {
        putLe32(at, static_cast<std::uint32_t>(start));
        at += 4;
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
        putLeDouble(at, x[i]);
        putLeDouble(at + 8, y[i]);
        at += 16;
    }
}

void shxEntry(std::size_t offset, std::size_t contentBytes, char (&out)[kShxEntryBytes]) {
    putBe32(out, words(offset));
    putBe32(out + 4, words(contentBytes));
}

} // namespace sheetjob::shapefile::encoding
