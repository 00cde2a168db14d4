#include "sheetjob/shapefile/ShapeLayer.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Display.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/shapefile/MemberFile.h"

#include <shapefil.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>

namespace sheetjob::shapefile {
namespace {

// The attribute table's code page: language driver 201 in the header and a
// .cpg beside it, so that a GIS shows the Cyrillic values without being told.
constexpr const char* kCodePageLdid = "LDID/201";
constexpr const char* kCodePageName = "1251";

constexpr int kIdWidth = 6; // the automatic first column "Id": numeric, 6 digits

// Longest value taken from an attribute text.
constexpr size_t kMaxValueLength = 256;

// Results of one attribute record.
constexpr int kRecordStored = 0;
constexpr int kRecordRefused = 1;   // the library refused a store
constexpr int kRecordMalformed = 2; // a value without its "\" or not a number

// A free-form decimal integer: optional sign and digits, blanks around.
bool readInteger(std::string_view value, int& out) {
    const std::string_view text = common::trimmed(value);
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+')
        ++first;
    long long v = 0;
    const auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last || v < INT_MIN || v > INT_MAX)
        return false;
    out = static_cast<int>(v);
    return true;
}

// A free-form decimal real; a decimal comma reads as a point, and so do
// Fortran-style exponent letters "d" and "D" as "e".
bool readReal(std::string_view value, double& out) {
    std::string text(common::trimmed(value));
    if (const auto comma = text.find(','); comma != std::string::npos)
        text[comma] = '.';
    for (char& c : text)
        if (c == 'd' || c == 'D')
            c = 'e';
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+')
        ++first;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last)
        return false;
    out = v;
    return true;
}

/// Stores an integer in a numeric column of the given width. The table would
/// print it with "%*.0f", which is most of the cost of a record; the same
/// right-aligned digits are stored directly instead. A number wider than its
/// column takes the table's own path, which cuts it and refuses the store.
bool writeInteger(DBFHandle table, int record, int column, int width, int value) {
    constexpr int kWidest = 32; // wider columns than any layer has take the table's path
    std::array<char, kWidest + 1> text{};
    if (width > 0 && width <= kWidest) {
        std::array<char, 16> digits{};
        const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
        const int length = static_cast<int>(end - digits.data());
        if (ec == std::errc() && length <= width) {
            std::fill_n(text.data(), width - length, ' ');
            std::copy(digits.data(), end, text.data() + (width - length));
            return DBFWriteAttributeDirectly(table, record, column, text.data()) != 0;
        }
    }
    return DBFWriteIntegerAttribute(table, record, column, value) != 0;
}

/// Writes one attribute record: "Id" = identifier, then the values of the
/// text (each followed by "\") by column type. recordNumber is 1-based.
/// Returns kRecordStored, kRecordRefused or kRecordMalformed.
int writeRecDbf(DBFHandle table, int recordNumber, int identifier, const std::string& attributeText,
                const std::vector<FieldSpec>& fields) {
    const int record = recordNumber - 1;
    if (!writeInteger(table, record, 0, kIdWidth, identifier))
        return kRecordRefused;
    if (fields.empty())
        return kRecordStored;
    std::string_view rest = common::ltrimmed(attributeText);
    std::string text; // a character value, terminated for the table
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto separator = rest.find('\\');
        if (separator == std::string_view::npos)
            return kRecordMalformed;
        const std::string_view value = rest.substr(0, std::min(separator, kMaxValueLength));
        rest = common::ltrimmed(rest.substr(separator + 1));
        const int column = static_cast<int>(i) + 1;
        int stored = 1;
        switch (fields[i].type) {
        case kCharacter:
            text.assign(common::rtrimmed(value));
            stored = DBFWriteStringAttribute(table, record, column, text.c_str());
            break;
        case kInteger: {
            int number = 0;
            if (!common::isBlank(value) && !readInteger(value, number))
                return kRecordMalformed;
            stored = writeInteger(table, record, column, fields[i].width, number);
            break;
        }
        case kReal: {
            double number = 0.0;
            if (!common::isBlank(value) && !readReal(value, number))
                return kRecordMalformed;
            stored = DBFWriteDoubleAttribute(table, record, column, number);
            break;
        }
        default: // no column type to store into: the value is consumed
            break;
        }
        if (!stored)
            return kRecordRefused;
    }
    return kRecordStored;
}

struct ShapeDeleter {
    void operator()(SHPObject* object) const { SHPDestroyObject(object); }
};

struct DbfCloser {
    void operator()(DBFInfo* table) const { DBFClose(table); }
};

struct ShpCloser {
    void operator()(SHPInfo* shapes) const { SHPClose(shapes); }
};

} // namespace

struct ShapeLayer::State {
    State(const common::Folder& folder, const std::string& name)
        : files(folder, name), prj(folder, name + ".PRJ"), cpg(folder, name + ".cpg"),
          displayName(folder.pathOf(name)) {}

    detail::LibraryFiles files;
    detail::MemberFile prj;
    detail::MemberFile cpg;
    std::unique_ptr<DBFInfo, DbfCloser> dbf;
    std::unique_ptr<SHPInfo, ShpCloser> shp;
    std::vector<FieldSpec> fields;
    geometry::CoordSystem coordSystem;
    std::string displayName;
    std::string lastError;
};

/// The writer's access to a layer's state.
class Writer {
  public:
    static ShapeLayer::State* state(ShapeLayer& layer) { return layer.state_.get(); }
    static void reset(ShapeLayer& layer, std::unique_ptr<ShapeLayer::State> state) {
        layer.state_ = std::move(state);
    }
    static int writeShape(ShapeLayer& layer, const std::string& attributeText, int shapeType,
                          const geometry::Vertices* vertices, double x, double y);
};

namespace {

/// Writes a small member whose content is known in full.
bool writeWhole(detail::MemberFile& member, std::string_view content) {
    member.truncate();
    return member.write(content.data(), content.size()) == content.size();
}

} // namespace

ShapeLayer::ShapeLayer() = default;
ShapeLayer::~ShapeLayer() = default;

bool ShapeLayer::isOpen() const { return state_ && state_->dbf && state_->shp; }

const std::string& ShapeLayer::lastError() const {
    static const std::string none;
    return state_ ? state_->lastError : none;
}

const std::string& ShapeLayer::displayName() const {
    static const std::string none;
    return state_ ? state_->displayName : none;
}

int openNewShapefile(geometry::CoordSystem coordSystem, int shapeType, const common::Folder& folder,
                     const std::string& baseName, const std::vector<FieldDef>& fields,
                     ShapeLayer& layer) {
    Writer::reset(layer, nullptr);
    layer.recordCounter = 0;
    layer.identifierCounter = 0;
    const std::string name = common::nativePathFromCp1251(common::rtrim(baseName));
    Writer::reset(layer, std::make_unique<ShapeLayer::State>(folder, name));
    ShapeLayer::State& s = *Writer::state(layer);
    s.coordSystem = coordSystem;
    const detail::ActiveLayer active(&s.files);

    s.dbf.reset(DBFCreateLL(s.files.libraryName().c_str(), kCodePageLdid, detail::libraryHooks()));
    if (!s.dbf) {
        s.lastError = "cannot create the attribute table";
        return kCreateFailed;
    }
    if (DBFAddField(s.dbf.get(), "Id", FTInteger, kIdWidth, 0) < 0) {
        s.lastError = "the field \"Id\" was refused";
        return kFieldRefused;
    }
    for (const FieldDef& field : fields) {
        const std::string fieldName = common::rtrim(field.name);
        // Decimals belong to real columns only; the table refuses them elsewhere.
        const bool knownType =
            (field.descriptor.type == kCharacter || field.descriptor.type == kInteger ||
             field.descriptor.type == kReal) &&
            (field.descriptor.decimals == 0 || field.descriptor.type == kReal);
        if (!knownType || DBFAddField(s.dbf.get(), fieldName.c_str(),
                                      static_cast<DBFFieldType>(field.descriptor.type),
                                      field.descriptor.width, field.descriptor.decimals) < 0) {
            s.lastError =
                "the field " + common::quoted(common::cp1251ToUtf8(fieldName)) + " was refused";
            return kFieldRefused;
        }
        s.fields.push_back(field.descriptor);
    }
    s.shp.reset(SHPCreateLL(s.files.libraryName().c_str(), shapeType, detail::libraryHooks()));
    if (!s.shp) {
        s.lastError = "cannot create the shape files";
        return kCreateFailed;
    }
    if (const std::string error = s.files.firstError(); !error.empty()) {
        s.lastError = error;
        return kCreateFailed;
    }
    return kOk;
}

int closeNewShapefile(ShapeLayer& layer) {
    ShapeLayer::State* s = Writer::state(layer);
    if (s == nullptr || !s->dbf || !s->shp) {
        if (s != nullptr && s->lastError.empty())
            s->lastError = "the layer is not open";
        return kCloseFailed;
    }
    {
        // Closing makes the library complete the headers of all three files.
        const detail::ActiveLayer active(&s->files);
        s->dbf.reset();
        s->shp.reset();
    }
    writeWhole(s->prj, std::string(s->coordSystem.prjText()) + "\r\n");
    writeWhole(s->cpg, kCodePageName);

    // The main file goes last: a layer is there once its .shp is.
    const std::array<detail::MemberFile*, 5> members = {&s->files.dbf(), &s->files.shx(), &s->prj,
                                                        &s->cpg, &s->files.shp()};
    bool complete = s->files.firstError().empty();
    for (detail::MemberFile* m : members)
        complete = complete && m->finish();
    for (detail::MemberFile* m : members)
        complete = complete && m->install();
    if (complete)
        return kOk;
    for (detail::MemberFile* m : members)
        m->uninstall();
    s->lastError = s->files.firstError();
    for (detail::MemberFile* m : {&s->prj, &s->cpg})
        if (s->lastError.empty() && m->failed())
            s->lastError = m->error();
    if (s->lastError.empty())
        s->lastError = "input/output error";
    return kCloseFailed;
}

int Writer::writeShape(ShapeLayer& layer, const std::string& attributeText, int shapeType,
                       const geometry::Vertices* vertices, double x, double y) {
    ++layer.recordCounter;
    ++layer.identifierCounter;
    ShapeLayer::State* s = state(layer);
    if (s == nullptr || !s->dbf || !s->shp) {
        if (s != nullptr)
            s->lastError = "the layer is not open";
        return kShapeWriteFailed;
    }
    const detail::ActiveLayer active(&s->files);
    const auto record = [&layer] { return "record " + std::to_string(layer.recordCounter); };
    const int result = writeRecDbf(s->dbf.get(), layer.recordCounter, layer.identifierCounter,
                                   attributeText, s->fields);
    if (const std::string error = s->files.firstError(); !error.empty()) {
        s->lastError = record() + ": " + error;
        return kTableWriteFailed;
    }
    if (result == kRecordRefused) {
        s->lastError = record() + ": the attribute table refused a value";
        return kTableWriteFailed;
    }
    if (result == kRecordMalformed) {
        s->lastError = record() + ": malformed attribute text";
        return kMalformedText;
    }

    std::unique_ptr<SHPObject, ShapeDeleter> shape;
    if (vertices == nullptr) {
        shape.reset(
            SHPCreateObject(shapeType, -1, 0, nullptr, nullptr, 1, &x, &y, nullptr, nullptr));
    } else {
        const int partStart = 0;
        shape.reset(SHPCreateObject(shapeType, -1, 1, &partStart, nullptr, vertices->size(),
                                    vertices->x.data(), vertices->y.data(), nullptr, nullptr));
    }
    const bool appended = shape && SHPWriteObject(s->shp.get(), -1, shape.get()) >= 0;
    if (const std::string error = s->files.firstError(); !error.empty() || !appended) {
        s->lastError = record() + ": " + (error.empty() ? "the shape was refused" : error);
        return kShapeWriteFailed;
    }
    return kOk;
}

int writePoint(ShapeLayer& layer, const std::string& attributeText, double x, double y) {
    return Writer::writeShape(layer, attributeText, SHPT_POINT, nullptr, x, y);
}

int writeSimpleLine(ShapeLayer& layer, const std::string& attributeText,
                    const geometry::Vertices& v) {
    return Writer::writeShape(layer, attributeText, SHPT_ARC, &v, 0.0, 0.0);
}

int writeSimplePolygon(ShapeLayer& layer, const std::string& attributeText,
                       const geometry::Vertices& v) {
    return Writer::writeShape(layer, attributeText, SHPT_POLYGON, &v, 0.0, 0.0);
}

} // namespace sheetjob::shapefile
