// The layer writer against an independent one: random layers (every column
// kind and width, limits, Cyrillic texts, empty layers, points, lines and
// polygons of many parts and vertices) are written through the shapefile
// library and through our writer, and the main file, index and table must be
// the same to the byte; GDAL then reads every layer we wrote.

#include "sheetjob/shapefile/ShapeLayer.h"
#include "support/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <shapefil.h>

#include <cmath>
#include <random>
#include <string>
#include <variant>
#include <vector>

namespace sheetjob::shapefile {
namespace {

using Value = std::variant<int, double, std::string>;

/// A schema decided at run time, as the random layers need.
struct DynamicSchema {
    using RecordType = std::vector<Value>;
    bool encode(const RecordType& record, RowEncoder& row) const {
        for (const Value& v : record) {
            const bool stored = std::visit(
                [&row](const auto& x) {
                    using T = std::decay_t<decltype(x)>;
                    if constexpr (std::is_same_v<T, int>)
                        return row.integer(x);
                    else if constexpr (std::is_same_v<T, double>)
                        return row.real(x);
                    else
                        return row.character(x);
                },
                v);
            if (!stored)
                return false;
        }
        return true;
    }
};

struct Shape {
    std::vector<std::int32_t> parts;
    std::vector<double> x, y;
};

struct RandomLayer {
    int type = kPoint;
    std::vector<std::string> names;
    std::vector<Field> fields;
    std::vector<std::vector<Value>> records;
    std::vector<Shape> shapes;
};

class Generator {
  public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    double coordinate() {
        switch (uniform(0, 4)) {
        case 0:
            return std::uniform_real_distribution<double>(0, 360)(rng_);
        case 1:
            return std::uniform_real_distribution<double>(-90, 90)(rng_);
        case 2:
            return static_cast<double>(uniform(-1000, 1000)) / 8;
        case 3: // zeros of both signs: the extents must keep the one the format's writers keep
            return uniform(0, 1) == 1 ? 0.0 : -0.0;
        default:
            return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng_),
                              uniform(-60, 60));
        }
    }
    // An integer that fits `width` characters, a minus sign included.
    int integer(int width) {
        const int digits = uniform(1, std::min(width, 9));
        const long long top = static_cast<long long>(std::pow(10, digits)) - 1;
        long long v = std::uniform_int_distribution<long long>(0, top)(rng_);
        if (digits < width && uniform(0, 1) == 1)
            v = -v;
        return static_cast<int>(v);
    }
    // A real whose fixed-point text fits `width` with `decimals`.
    double real(int width, int decimals) {
        const int room = width - decimals - (decimals > 0 ? 1 : 0) - 1; // one for a sign
        // Below 0.9 of the next power of ten, so that rounding adds no digit.
        const double top = 0.9 * (room > 0 ? std::pow(10, std::min(room, 15)) : 1);
        double v = std::uniform_real_distribution<double>(-top, top)(rng_);
        if (room <= 0)
            v = std::fabs(v);
        return uniform(0, 9) == 0 ? 0.0 : v;
    }
    // Windows-1251 text: Latin, digits, blanks, Cyrillic, the degree sign.
    std::string text(int width) {
        static const std::string alphabet = "abcXYZ019 .,-'\"\xB0\xC0\xC1\xE0\xFF\xD1\xCA\xA8";
        std::string s(static_cast<std::size_t>(uniform(0, width)), ' ');
        for (char& c : s)
            c = alphabet[static_cast<std::size_t>(
                uniform(0, static_cast<int>(alphabet.size()) - 1))];
        return s;
    }

    RandomLayer layer(int records, int maxVertices) {
        RandomLayer l;
        l.type = std::array{kPoint, kPolyLine, kPolygon}[static_cast<std::size_t>(uniform(0, 2))];
        const int fieldCount = uniform(0, 8);
        for (int i = 0; i < fieldCount; ++i) {
            l.names.push_back("F" + std::to_string(i) +
                              std::string(static_cast<std::size_t>(uniform(0, 7)), 'x'));
            Field f;
            f.kind = static_cast<FieldKind>(uniform(0, 2));
            f.width = f.kind == FieldKind::Character ? uniform(1, 254)
                      : f.kind == FieldKind::Integer ? uniform(1, 11)
                                                     : uniform(3, 30);
            f.decimals = f.kind == FieldKind::Real ? uniform(0, std::min(15, f.width - 2)) : 0;
            l.fields.push_back(f);
        }
        for (std::size_t i = 0; i < l.fields.size(); ++i)
            l.fields[i].name = l.names[i];
        for (int r = 0; r < records; ++r) {
            std::vector<Value> values;
            for (const Field& f : l.fields) {
                if (f.kind == FieldKind::Integer)
                    values.emplace_back(integer(f.width));
                else if (f.kind == FieldKind::Real)
                    values.emplace_back(real(f.width, f.decimals));
                else
                    values.emplace_back(text(f.width));
            }
            l.records.push_back(std::move(values));
            Shape s;
            const bool none = l.type != kPoint && uniform(0, 19) == 0; // a line of no vertex
            const int parts = l.type == kPoint ? 0 : none ? 1 : uniform(1, 5);
            const int vertices = l.type == kPoint ? 1
                                 : none           ? 0
                                                  : uniform(parts, std::max(parts, maxVertices));
            for (int p = 0; p < parts; ++p)
                s.parts.push_back(p * (vertices / parts));
            for (int v = 0; v < vertices; ++v) {
                s.x.push_back(coordinate());
                s.y.push_back(coordinate());
            }
            // The library takes an extent of four zeros for one not yet begun,
            // and would leave such a first vertex out of it; ours keeps it. The
            // layers never lie there (their latitudes are far from 0).
            if (vertices > 0 && s.x[0] == 0 && s.y[0] == 0)
                s.x[0] = 1.5;
            l.shapes.push_back(std::move(s));
        }
        return l;
    }

  private:
    std::mt19937 rng_;
};

/// The layer through the shapefile library: "Id" first, as our writer adds it.
void writeWithLibrary(const RandomLayer& l, const std::string& base) {
    DBFHandle dbf = DBFCreateEx((base + ".dbf").c_str(), "LDID/201");
    ASSERT_NE(dbf, nullptr);
    ASSERT_GE(DBFAddField(dbf, "Id", FTInteger, 6, 0), 0);
    for (const Field& f : l.fields) {
        const DBFFieldType type = f.kind == FieldKind::Character ? FTString
                                  : f.kind == FieldKind::Integer ? FTInteger
                                                                 : FTDouble;
        ASSERT_GE(DBFAddField(dbf, std::string(f.name).c_str(), type, f.width, f.decimals), 0);
    }
    SHPHandle shp = SHPCreate(base.c_str(), l.type);
    ASSERT_NE(shp, nullptr);
    for (std::size_t r = 0; r < l.records.size(); ++r) {
        const int row = static_cast<int>(r);
        ASSERT_TRUE(DBFWriteIntegerAttribute(dbf, row, 0, row + 1));
        for (std::size_t c = 0; c < l.fields.size(); ++c) {
            const Value& v = l.records[r][c];
            const int column = static_cast<int>(c) + 1;
            if (const int* i = std::get_if<int>(&v))
                ASSERT_TRUE(DBFWriteIntegerAttribute(dbf, row, column, *i));
            else if (const double* d = std::get_if<double>(&v))
                ASSERT_TRUE(DBFWriteDoubleAttribute(dbf, row, column, *d));
            else
                ASSERT_TRUE(
                    DBFWriteStringAttribute(dbf, row, column, std::get<std::string>(v).c_str()));
        }
        const Shape& s = l.shapes[r];
        SHPObject* o =
            SHPCreateObject(l.type, -1, static_cast<int>(s.parts.size()),
                            s.parts.empty() ? nullptr : s.parts.data(), nullptr,
                            static_cast<int>(s.x.size()), s.x.data(), s.y.data(), nullptr, nullptr);
        ASSERT_GE(SHPWriteObject(shp, -1, o), 0);
        SHPDestroyObject(o);
    }
    DBFClose(dbf);
    SHPClose(shp);
}

void writeWithOurs(const RandomLayer& l, const common::Folder& folder, const std::string& name) {
    static const DynamicSchema schema;
    ShapeLayer layer;
    ASSERT_EQ(openNewShapefile(geometry::kSK42, l.type, folder, name, l.fields, layer), kOk)
        << layer.lastError();
    for (std::size_t r = 0; r < l.records.size(); ++r) {
        const Shape& s = l.shapes[r];
        ASSERT_EQ(writeShape(layer, {schema, l.records[r]}, s.parts, s.x, s.y), kOk)
            << layer.lastError();
    }
    ASSERT_EQ(closeNewShapefile(layer), kOk) << layer.lastError();
}

/// Where two files first differ ("" when they are the same).
std::string firstDifference(const std::string& a, const std::string& b) {
    if (a == b)
        return "";
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
           ", first difference at byte " + std::to_string(i);
}

TEST(Differential, RandomLayersByteForByte) {
    testing::TempDir library, ours;
    const common::Folder folder = ours.folder();
    Generator g(20261208);
    constexpr int kLayers = 240;
    for (int i = 0; i < kLayers; ++i) {
        // Mostly small layers; some empty, some far larger than the writer's
        // memory window (many records, or shapes of many vertices).
        const int kind = i % 40;
        const RandomLayer l = kind == 0   ? g.layer(0, 1)
                              : kind == 1 ? g.layer(6000, 3)
                              : kind == 2 ? g.layer(2, 40000)
                                          : g.layer(g.uniform(1, 60), 60);
        const std::string name = "layer" + std::to_string(i);
        SCOPED_TRACE(name);
        writeWithLibrary(l, library / name);
        writeWithOurs(l, folder, name);
        for (const char* ext : {".shp", ".shx", ".dbf"})
            EXPECT_EQ(firstDifference(testing::readFile(library / (name + ext)),
                                      testing::readFile(ours / (name + ext))),
                      "")
                << ext;
        if (HasFailure())
            return;
    }
    // GDAL reads every one of our layers, each with its records.
    const auto ogr =
        testing::runProcess(SHEETJOB_OGRINFO, {"-ro", "-so", "-al", ours.path().string()});
    ASSERT_EQ(ogr.exitCode, 0) << ogr.err;
    std::size_t layers = 0;
    for (std::size_t at = 0; (at = ogr.out.find("Feature Count: ", at)) != std::string::npos; ++at)
        ++layers;
    EXPECT_EQ(layers, static_cast<std::size_t>(kLayers));
}

// Values that do not fit their column are refused by both writers alike.
TEST(Differential, ValuesTooWideAreRefused) {
    struct Case {
        Field field;
        Value value;
    };
    const Case cases[] = {
        {{"N", FieldKind::Integer, 3, 0}, 1234},
        {{"N", FieldKind::Integer, 3, 0}, -100},
        {{"R", FieldKind::Real, 6, 2}, 1000.0},
        {{"R", FieldKind::Real, 5, 2}, -10.5},
        {{"C", FieldKind::Character, 4, 0}, std::string("abcde")},
    };
    testing::TempDir dir;
    const common::Folder folder = dir.folder();
    for (const Case& c : cases) {
        DBFHandle dbf = DBFCreateEx((dir / "lib.dbf").c_str(), "LDID/201");
        DBFAddField(dbf, "X",
                    c.field.kind == FieldKind::Character ? FTString
                    : c.field.kind == FieldKind::Integer ? FTInteger
                                                         : FTDouble,
                    c.field.width, c.field.decimals);
        bool stored = true;
        if (const int* i = std::get_if<int>(&c.value))
            stored = DBFWriteIntegerAttribute(dbf, 0, 0, *i);
        else if (const double* d = std::get_if<double>(&c.value))
            stored = DBFWriteDoubleAttribute(dbf, 0, 0, *d);
        else
            stored = DBFWriteStringAttribute(dbf, 0, 0, std::get<std::string>(c.value).c_str());
        DBFClose(dbf);
        EXPECT_FALSE(stored);

        static const DynamicSchema schema;
        const std::vector<Value> record{c.value};
        ShapeLayer layer;
        const Field fields[] = {c.field};
        ASSERT_EQ(openNewShapefile(geometry::kSK42, kPoint, folder, "ours", fields, layer), kOk);
        const double x = 1, y = 2;
        EXPECT_EQ(writeShape(layer, {schema, record}, {}, {&x, 1}, {&y, 1}), kTableWriteFailed);
        EXPECT_FALSE(layer.lastError().empty());
    }
}

} // namespace
} // namespace sheetjob::shapefile
