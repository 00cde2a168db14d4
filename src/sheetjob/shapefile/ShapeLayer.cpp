#include "sheetjob/shapefile/ShapeLayer.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Text.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace sheetjob::shapefile {
namespace {

// ---------------------------------------------------------------------------
// File hooks. Shapelib reports write failures only through its error hook and
// not at all when it completes the headers on close, so every write, flush and
// close goes through these wrappers, which count the failures. The program has
// one thread and writes one record at a time, so a count taken before and
// after a library call tells whether that call failed.

SAHooks gBaseHooks;    // the platform's hooks (UTF-8 file names)
SAHooks gCheckedHooks; // the same with failure counting
unsigned long gIoFailures = 0;
std::string gLastLibraryError;

SAOffset checkedWrite(void* p, SAOffset size, SAOffset count, SAFile file) {
    const SAOffset written = gBaseHooks.FWrite(p, size, count, file);
    if (written != count)
        ++gIoFailures;
    return written;
}

int checkedFlush(SAFile file) {
    const int result = gBaseHooks.FFlush(file);
    if (result != 0)
        ++gIoFailures;
    return result;
}

int checkedClose(SAFile file) {
    const int result = gBaseHooks.FClose(file);
    if (result != 0)
        ++gIoFailures;
    return result;
}

void recordError(const char* message) { gLastLibraryError = message ? message : ""; }

SAHooks* checkedHooks() {
    static const bool ready = [] {
#ifdef _WIN32
        SASetupUtf8Hooks(&gBaseHooks); // wide-character file API from UTF-8 names
#else
        SASetupDefaultHooks(&gBaseHooks);
#endif
        gCheckedHooks = gBaseHooks;
        gCheckedHooks.FWrite = checkedWrite;
        gCheckedHooks.FFlush = checkedFlush;
        gCheckedHooks.FClose = checkedClose;
        gCheckedHooks.Error = recordError;
        return true;
    }();
    (void)ready;
    return &gCheckedHooks;
}

std::string systemError() { return errno != 0 ? std::strerror(errno) : "input/output error"; }

std::filesystem::path fsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Writes a small companion file; false when it could not be written completely.
bool writeCompanion(const std::string& utf8Path, const std::string& content) {
    std::ofstream out(fsPath(utf8Path), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
}

// The attribute table's code page: language driver 201 in the header and a
// .cpg beside it, so that a GIS shows the Cyrillic values without being told.
constexpr const char* kCodePageLdid = "LDID/201";
constexpr const char* kCodePageName = "1251";

constexpr int kIdWidth = 6; // the automatic first column "Id": numeric, 6 digits

// Longest value taken from an attribute text.
constexpr size_t kMaxValueLength = 256;

// A free-form decimal integer: optional sign and digits, blanks around.
bool readInteger(const std::string& value, int& out) {
    const std::string text = common::trim(value);
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

// A free-form decimal real (the first comma already made a point).
bool readReal(const std::string& value, double& out) {
    std::string text = common::trim(value);
    // Fortran-style exponent letters read as well as "e".
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

struct ShapeDeleter {
    void operator()(SHPObject* object) const { SHPDestroyObject(object); }
};

} // namespace

// Internal access to the layer's handles for the shape writers.
class LayerAccess {
  public:
    static int writeShape(ShapeLayer& layer, const std::string& attributeText, int shapeType,
                          const geometry::Vertices* vertices, double x, double y);
};

ShapeLayer::~ShapeLayer() { closeNewShapefile(*this); }

std::string projectionText(int coordSystem) {
    switch (coordSystem) {
    case 1:
        return "GEOGCS[\"GCS_Pulkovo_1942\",DATUM[\"D_Pulkovo_1942\",SPHEROID[\"Krasovsky_1940\", "
               "6378245.0,298.3]], PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";
    case 2:
        return "GEOGCS[\"GCS_Pulkovo_1965\",DATUM[\"D_Pulkovo_1965\",SPHEROID[\"Krasovsky_1940\", "
               "6378245.0,298.3]], PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";
    case 3:
    case 4: // shifted to the 2011 system before writing
        return "GEOGCS[\"GCS_RUSSIA_2011\",DATUM[\"D_RUSSIA_2011\",SPHEROID[\"S_RUSSIA_2011\", "
               "6378136.5,298.2564151]], "
               "PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";
    default:
        return "";
    }
}

int openNewShapefile(int coordSystem, int shapeType, const std::string& path,
                     const std::vector<FieldDef>& fields, ShapeLayer& layer) {
    closeNewShapefile(layer);
    layer.lastError_.clear();
    layer.ioFailed_ = false;
    layer.recordCounter = 0;
    layer.identifierCounter = 0;
    layer.fields_.clear();
    layer.path_ = common::rtrim(path);
    const std::string filePath = common::nativePathFromCp1251(layer.path_);
    SAHooks* hooks = checkedHooks();

    errno = 0;
    layer.dbf_ = DBFCreateLL(filePath.c_str(), kCodePageLdid, hooks);
    if (layer.dbf_ == nullptr) {
        layer.lastError_ = "cannot create " + filePath + ".dbf: " + systemError();
        return kCreateFailed;
    }
    if (DBFAddField(layer.dbf_, "Id", FTInteger, kIdWidth, 0) < 0) {
        layer.lastError_ = filePath + ".dbf: the field \"Id\" was refused";
        return kFieldRefused;
    }
    for (const FieldDef& field : fields) {
        const std::string name = common::rtrim(field.name);
        // Decimals belong to real columns only; the table refuses them elsewhere.
        const bool knownType =
            (field.descriptor.type == kCharacter || field.descriptor.type == kInteger ||
             field.descriptor.type == kReal) &&
            (field.descriptor.decimals == 0 || field.descriptor.type == kReal);
        if (!knownType ||
            DBFAddField(layer.dbf_, name.c_str(), static_cast<DBFFieldType>(field.descriptor.type),
                        field.descriptor.width, field.descriptor.decimals) < 0) {
            layer.lastError_ =
                filePath + ".dbf: the field \"" + common::cp1251ToUtf8(name) + "\" was refused";
            return kFieldRefused;
        }
        layer.fields_.push_back(field.descriptor);
    }

    errno = 0;
    layer.shp_ = SHPCreateLL(filePath.c_str(), shapeType, hooks);
    if (layer.shp_ == nullptr) {
        layer.lastError_ = "cannot create " + filePath + ".shp: " + systemError();
        return kCreateFailed;
    }
    errno = 0;
    if (!writeCompanion(filePath + ".PRJ",
                        common::rtrim(projectionText(coordSystem)) +
                            (projectionText(coordSystem).empty() ? "" : "\r\n"))) {
        layer.lastError_ = "cannot write " + filePath + ".PRJ: " + systemError();
        return kCreateFailed;
    }
    errno = 0;
    if (!writeCompanion(filePath + ".cpg", kCodePageName)) {
        layer.lastError_ = "cannot write " + filePath + ".cpg: " + systemError();
        return kCreateFailed;
    }
    return kOk;
}

int closeNewShapefile(ShapeLayer& layer) {
    if (!layer.isOpen())
        return layer.ioFailed_ ? kCloseFailed : kOk;
    const unsigned long before = gIoFailures;
    errno = 0;
    if (layer.dbf_ != nullptr)
        DBFClose(layer.dbf_);
    if (layer.shp_ != nullptr)
        SHPClose(layer.shp_);
    layer.dbf_ = nullptr;
    layer.shp_ = nullptr;
    if (gIoFailures != before) {
        layer.ioFailed_ = true;
        layer.lastError_ =
            "cannot complete " + common::nativePathFromCp1251(layer.path_) + ": " + systemError();
    }
    return layer.ioFailed_ ? kCloseFailed : kOk;
}

int writeRecDbf(DBFHandle table, int recordNumber, int identifier, std::string attributeText,
                const std::vector<FieldSpec>& fields) {
    const int record = recordNumber - 1;
    if (!DBFWriteIntegerAttribute(table, record, 0, identifier))
        return 1;
    if (fields.empty())
        return 0;
    std::string rest = common::ltrim(attributeText);
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto separator = rest.find('\\');
        if (separator == std::string::npos)
            return 2;
        const std::string value = rest.substr(0, std::min(separator, kMaxValueLength));
        rest = common::ltrim(std::string_view(rest).substr(separator + 1));
        const int column = static_cast<int>(i) + 1;
        int stored = 1;
        switch (fields[i].type) {
        case kCharacter:
            stored = DBFWriteStringAttribute(table, record, column, common::rtrim(value).c_str());
            break;
        case kInteger: {
            int number = 0;
            if (!common::isBlank(value) && !readInteger(value, number))
                return 2;
            stored = DBFWriteIntegerAttribute(table, record, column, number);
            break;
        }
        case kReal: {
            double number = 0.0;
            if (!common::isBlank(value)) {
                std::string text = value;
                if (const auto comma = text.find(','); comma != std::string::npos)
                    text[comma] = '.';
                if (!readReal(text, number))
                    return 2;
            }
            stored = DBFWriteDoubleAttribute(table, record, column, number);
            break;
        }
        default: // no column type to store into: the value is consumed
            break;
        }
        if (!stored)
            return 1;
    }
    return 0;
}

int LayerAccess::writeShape(ShapeLayer& layer, const std::string& attributeText, int shapeType,
                            const geometry::Vertices* vertices, double x, double y) {
    ++layer.recordCounter;
    ++layer.identifierCounter;
    if (layer.dbf_ == nullptr || layer.shp_ == nullptr) {
        layer.lastError_ =
            "the layer " + common::nativePathFromCp1251(layer.path_) + " is not open";
        return kShapeWriteFailed;
    }
    const unsigned long before = gIoFailures;
    errno = 0;
    const int result = writeRecDbf(layer.dbf_, layer.recordCounter, layer.identifierCounter,
                                   attributeText, layer.fields_);
    if (result == 1 || gIoFailures != before) {
        layer.ioFailed_ = layer.ioFailed_ || gIoFailures != before;
        layer.lastError_ = "cannot write record " + std::to_string(layer.recordCounter) + " of " +
                           common::nativePathFromCp1251(layer.path_) + ".dbf" +
                           (gIoFailures != before ? ": " + systemError() : "");
        return kTableWriteFailed;
    }
    if (result == 2) {
        layer.lastError_ = "malformed attribute text for record " +
                           std::to_string(layer.recordCounter) + " of " +
                           common::nativePathFromCp1251(layer.path_) + ".dbf";
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
    errno = 0;
    if (!shape || SHPWriteObject(layer.shp_, -1, shape.get()) < 0 || gIoFailures != before) {
        layer.ioFailed_ = layer.ioFailed_ || gIoFailures != before;
        layer.lastError_ = "cannot write shape " + std::to_string(layer.recordCounter) + " of " +
                           common::nativePathFromCp1251(layer.path_) +
                           ".shp: " + (gIoFailures != before ? systemError() : gLastLibraryError);
        return kShapeWriteFailed;
    }
    return kOk;
}

int writePoint(ShapeLayer& layer, const std::string& attributeText, double x, double y) {
    return LayerAccess::writeShape(layer, attributeText, SHPT_POINT, nullptr, x, y);
}

int writeSimpleLine(ShapeLayer& layer, const std::string& attributeText,
                    const geometry::Vertices& v) {
    return LayerAccess::writeShape(layer, attributeText, SHPT_ARC, &v, 0.0, 0.0);
}

int writeSimplePolygon(ShapeLayer& layer, const std::string& attributeText,
                       const geometry::Vertices& v) {
    return LayerAccess::writeShape(layer, attributeText, SHPT_POLYGON, &v, 0.0, 0.0);
}

} // namespace sheetjob::shapefile
