#pragma once
// The attribute columns of a layer, declared once per layer together with the
// record type that fills them. A column names a member of the record; its
// kind follows from the member's type (an int is an integer column, a string a
// character column, a double a real one), and its name, width and decimals are
// checked when the program is compiled. A record is stored column by column
// straight into the attribute table's row: no text is joined or split.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

namespace sheetjob::shapefile {

/// The kinds of attribute column (the table's character, numeric without and
/// numeric with decimals).
enum class FieldKind { Character, Integer, Real };

/// One attribute column as the table declares it.
struct Field {
    std::string_view name; ///< at most 10 characters
    FieldKind kind = FieldKind::Character;
    int width = 1;
    int decimals = 0; ///< real columns only
};

/// The table's limits on a column: a name of at most 10 characters (its header
/// holds 11 bytes with a terminating zero) and a width of 1 to 255 characters.
constexpr std::size_t kMaxFieldName = 10;
constexpr int kMaxFieldWidth = 255;

/// Whether the table can hold the column as declared; decimals belong to real
/// columns only, and must leave room for the point and a digit.
constexpr bool validField(const Field& f) {
    return !f.name.empty() && f.name.size() <= kMaxFieldName &&
           f.name.find('\0') == std::string_view::npos && f.width >= 1 &&
           f.width <= kMaxFieldWidth && f.decimals >= 0 &&
           (f.kind == FieldKind::Real ? f.decimals == 0 || f.decimals <= f.width - 2
                                      : f.decimals == 0);
}

/// Where a record's values are stored: one call per column, in column order.
/// A call returns false when the value does not fit its column.
class RowEncoder {
  public:
    virtual ~RowEncoder() = default;
    virtual bool integer(long long value) = 0;
    virtual bool real(double value) = 0;
    virtual bool character(std::string_view value) = 0;
};

/// A column bound to the member of `Record` that fills it.
template <class Record, class Value> struct Column {
    Field field;
    Value Record::*member;
};

namespace detail {
/// Stops compilation when a column's declaration breaks the table's limits.
consteval void requireValid(const Field& f) {
    if (!validField(f))
        throw "a column's name, width or decimals break the attribute table's limits";
}
} // namespace detail

/// An integer column of `width` digits (a minus sign counts as one).
template <class Record>
consteval Column<Record, int> integerColumn(std::string_view name, int width, int Record::*member) {
    const Field f{name, FieldKind::Integer, width, 0};
    detail::requireValid(f);
    return {f, member};
}

/// A character column of `width` bytes (Windows-1251).
template <class Record>
consteval Column<Record, std::string> characterColumn(std::string_view name, int width,
                                                      std::string Record::*member) {
    const Field f{name, FieldKind::Character, width, 0};
    detail::requireValid(f);
    return {f, member};
}

/// A real column of `width` characters with `decimals` after the point.
template <class Record>
consteval Column<Record, double> realColumn(std::string_view name, int width, int decimals,
                                            double Record::*member) {
    const Field f{name, FieldKind::Real, width, decimals};
    detail::requireValid(f);
    return {f, member};
}

/// The columns of a layer whose records are `Record`s.
template <class Record, class... Values> class Schema {
  public:
    using RecordType = Record;

    constexpr explicit Schema(Column<Record, Values>... columns)
        : columns_(columns...), fields_{columns.field...} {}

    /// The columns as the table declares them, in order.
    [[nodiscard]] constexpr std::span<const Field> fields() const { return fields_; }

    /// Stores the record's values, column by column; false at the first value
    /// that does not fit.
    bool encode(const Record& record, RowEncoder& row) const {
        return std::apply([&](const auto&... c) { return (store(record.*(c.member), row) && ...); },
                          columns_);
    }

  private:
    static bool store(int v, RowEncoder& row) { return row.integer(v); }
    static bool store(double v, RowEncoder& row) { return row.real(v); }
    static bool store(const std::string& v, RowEncoder& row) { return row.character(v); }

    std::tuple<Column<Record, Values>...> columns_;
    std::array<Field, sizeof...(Values)> fields_;
};

template <class Record, class... Values>
Schema(Column<Record, Values>...) -> Schema<Record, Values...>;

} // namespace sheetjob::shapefile
