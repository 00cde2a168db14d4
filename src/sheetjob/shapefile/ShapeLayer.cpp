#include "sheetjob/shapefile/ShapeLayer.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Display.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/shapefile/Encoding.h"
#include "sheetjob/shapefile/MemberFile.h"

#include <array>
#include <limits>

namespace sheetjob::shapefile {
namespace {

namespace enc = encoding;

// The code page of the attribute table, named beside it for the GIS that
// reads a .cpg rather than the table's language driver.
constexpr std::string_view kCodePageName = "1251";
// The projection file is one line ended as text files are on the design's platform.
constexpr std::string_view kLineEnd = "\r\n";

// The largest record count and file size the formats' 32-bit fields can hold
// (sizes count 16-bit words, so a file may reach 2 x 2^31 - 2 bytes).
constexpr std::size_t kMaxRecords = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kMaxFileBytes = 2 * static_cast<std::size_t>(kMaxRecords);

bool knownShapeType(int type) { return type == kPoint || type == kPolyLine || type == kPolygon; }

} // namespace

struct ShapeLayer::State {
    State(const common::Folder& folder, const std::string& name)
        : shp(folder, name + ".shp"), shx(folder, name + ".shx"), dbf(folder, name + ".dbf"),
          prj(folder, name + ".PRJ"), cpg(folder, name + ".cpg"), displayName(folder.pathOf(name)) {
    }

    detail::MemberFile shp, shx, dbf, prj, cpg;
    enc::TableLayout table;
    std::string row; ///< the record being stored
    enc::ShapeType type = enc::kNullShape;
    enc::Extent extent;
    geometry::CoordSystem coordSystem;
    bool open = false;
    std::string displayName;
    std::string lastError;

    /// The error of the first failed member ("" when none failed).
    [[nodiscard]] std::string firstError() const {
        for (const detail::MemberFile* m : {&shp, &shx, &dbf, &prj, &cpg})
            if (m->failed())
                return m->error();
        return "";
    }
};

/// The writer's access to a layer's state.
class Writer {
  public:
    static ShapeLayer::State* state(ShapeLayer& layer) { return layer.state_.get(); }
    static void reset(ShapeLayer& layer, std::unique_ptr<ShapeLayer::State> state) {
        layer.state_ = std::move(state);
    }
};

ShapeLayer::ShapeLayer() = default;
ShapeLayer::~ShapeLayer() = default;

bool ShapeLayer::isOpen() const { return state_ && state_->open; }

const std::string& ShapeLayer::lastError() const {
    static const std::string none;
    return state_ ? state_->lastError : none;
}

const std::string& ShapeLayer::displayName() const {
    static const std::string none;
    return state_ ? state_->displayName : none;
}

int openNewShapefile(geometry::CoordSystem coordSystem, int shapeType, const common::Folder& folder,
                     const std::string& baseName, std::span<const Field> columns,
                     ShapeLayer& layer) {
    Writer::reset(layer, nullptr);
    layer.recordCounter = 0;
    layer.identifierCounter = 0;
    const std::string name = common::nativePathFromCp1251(common::rtrim(baseName));
    Writer::reset(layer, std::make_unique<ShapeLayer::State>(folder, name));
    ShapeLayer::State& s = *Writer::state(layer);
    s.coordSystem = coordSystem;
    if (!enc::TableLayout::make(columns, s.table)) {
        s.lastError = "an attribute column breaks the table's limits";
        for (const Field& f : columns)
            if (!validField(f))
                s.lastError = "the field " +
                              common::quoted(common::cp1251ToUtf8(std::string(f.name))) +
                              " was refused";
        return kFieldRefused;
    }
    if (!knownShapeType(shapeType)) {
        s.lastError = "shape type " + std::to_string(shapeType) + " is not written";
        return kCreateFailed;
    }
    s.type = static_cast<enc::ShapeType>(shapeType);
    s.row.assign(s.table.recordLength(), ' ');
    // The headers come last, when the counts and extent are known; their
    // room is taken first.
    if (s.shp.extend(enc::kShpHeaderBytes) == nullptr ||
        s.shx.extend(enc::kShpHeaderBytes) == nullptr ||
        s.dbf.extend(s.table.headerLength()) == nullptr) {
        s.lastError = s.firstError();
        return kCreateFailed;
    }
    s.open = true;
    return kOk;
}

int writeShape(ShapeLayer& layer, const RecordView& record,
               std::span<const std::int32_t> partStarts, std::span<const double> x,
               std::span<const double> y) {
    ++layer.recordCounter;
    ++layer.identifierCounter;
    ShapeLayer::State* s = Writer::state(layer);
    if (s == nullptr || !s->open) {
        if (s != nullptr)
            s->lastError = "the layer is not open";
        return kShapeWriteFailed;
    }
    const auto where = [&layer] { return "record " + std::to_string(layer.recordCounter) + ": "; };

    // The attribute record first: "Id", then the record's own columns.
    enc::RowWriter row(s->table, s->row.data());
    if (!row.integer(layer.identifierCounter) || !record.encode(row)) {
        s->lastError = where() + "a value does not fit its attribute column";
        return kTableWriteFailed;
    }
    if (!s->dbf.append(s->row)) {
        s->lastError = where() + s->firstError();
        return kTableWriteFailed;
    }

    // Then the shape, its index entry, and the file's extent.
    const bool point = s->type == enc::kPoint;
    const bool shaped =
        x.size() == y.size() && (point ? x.size() == 1 && partStarts.empty() : !partStarts.empty());
    const std::size_t content = enc::contentBytes(s->type, partStarts.size(), x.size());
    const std::size_t offset = s->shp.size();
    if (!shaped || static_cast<std::size_t>(layer.recordCounter) > kMaxRecords ||
        offset + enc::kShpRecordHeaderBytes + content > kMaxFileBytes) {
        s->lastError = where() + (shaped ? "the layer would exceed the format's size"
                                         : "the shape has no vertex or parts out of place");
        return kShapeWriteFailed;
    }
    char* at = s->shp.extend(enc::kShpRecordHeaderBytes + content);
    char entry[enc::kShxEntryBytes];
    enc::shxEntry(offset, content, entry);
    if (at == nullptr || !s->shx.append({entry, sizeof entry})) {
        s->lastError = where() + s->firstError();
        return kShapeWriteFailed;
    }
    enc::shpRecord(layer.recordCounter, s->type, partStarts, x, y, at);
    s->extent.add(x, y);
    return kOk;
}

int writePoint(ShapeLayer& layer, const RecordView& record, double x, double y) {
    return writeShape(layer, record, {}, {&x, 1}, {&y, 1});
}

int writeSimpleLine(ShapeLayer& layer, const RecordView& record, const geometry::Vertices& v) {
    static constexpr std::int32_t kOnePart[] = {0};
    return writeShape(layer, record, kOnePart, v.x, v.y);
}

int writeSimplePolygon(ShapeLayer& layer, const RecordView& record, const geometry::Vertices& v) {
    // The ring stays as the caller gives it: closed, and in its orientation.
    return writeSimpleLine(layer, record, v);
}

int closeNewShapefile(ShapeLayer& layer) {
    ShapeLayer::State* s = Writer::state(layer);
    if (s == nullptr || !s->open) {
        if (s != nullptr && s->lastError.empty())
            s->lastError = "the layer is not open";
        return kCloseFailed;
    }
    s->open = false;
    const auto records = static_cast<std::uint32_t>(layer.recordCounter);

    std::string tableHead;
    s->table.header(records, tableHead);
    s->dbf.append({&enc::kDbfFileEnd, 1});
    char shpHead[enc::kShpHeaderBytes];
    char shxHead[enc::kShpHeaderBytes];
    enc::shpHeader(s->type, s->shp.size(), s->extent, shpHead);
    enc::shpHeader(s->type, s->shx.size(), s->extent, shxHead);
    s->prj.append(s->coordSystem.prjText());
    s->prj.append(kLineEnd);
    s->cpg.append(kCodePageName);

    // The main file goes last: a layer is there once its .shp is.
    const std::array<std::pair<detail::MemberFile*, std::string_view>, 5> members = {{
        {&s->dbf, tableHead},
        {&s->shx, {shxHead, sizeof shxHead}},
        {&s->prj, {}},
        {&s->cpg, {}},
        {&s->shp, {shpHead, sizeof shpHead}},
    }};
    bool complete = true;
    for (const auto& [member, head] : members)
        complete = complete && member->finish(head);
    for (std::size_t i = 0; complete && i < members.size(); ++i)
        complete = members[i].first->install(i + 1 == members.size());
    if (complete)
        return kOk;
    for (const auto& [member, head] : members)
        member->uninstall();
    s->lastError = s->firstError();
    if (s->lastError.empty())
        s->lastError = "input/output error";
    return kCloseFailed;
}

} // namespace sheetjob::shapefile
