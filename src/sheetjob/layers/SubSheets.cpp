#include "sheetjob/layers/SubSheets.h"

#include "sheetjob/common/Path.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/geometry/DatumShift.h"
#include "sheetjob/job/JobParameters.h"
#include "sheetjob/layers/LayerPath.h"
#include "sheetjob/layers/Outline.h"
#include "sheetjob/nomenclature/Nomenclature.h"
#include "sheetjob/shapefile/ShapeLayer.h"

#include <cmath>

namespace sheetjob::layers {
namespace {

// Capital letters of the 1:50 000 sheets and small letters of the 1:25 000 sheets,
// by [east half][south half]: north-west, south-west, north-east, south-east.
const char* const kLetters50[2][2] = {{"\xC0", "\xC2"}, {"\xC1", "\xC3"}}; // А В / Б Г
const char* const kLetters25[2][2] = {{"\xE0", "\xE2"}, {"\xE1", "\xE3"}}; // а в / б г

// 1:100 000 sheets in a 1:1 000 000 sheet: 12 per row; 1:200 000 sheets: 6 per row.
constexpr int kSheets100PerRow = 12;
constexpr int kSheets200PerRow = 6;
constexpr int kScale50 = 50000;
constexpr int kScale25 = 25000;

struct Quad {
    double west, east, south, north;
};

// The quarter of a trapezium: i = 0 west, 1 east half; j = 0 north, 1 south half.
Quad quarter(const Quad& q, int i, int j) {
    const double middleLon = (q.west + q.east) / 2;
    const double middleLat = (q.south + q.north) / 2;
    Quad r = q;
    if (i == 0)
        r.east = middleLon;
    else
        r.west = middleLon;
    if (j == 0)
        r.south = middleLat;
    else
        r.north = middleLat;
    return r;
}

const std::vector<shapefile::FieldDef>& subSheetFields() {
    static const std::vector<shapefile::FieldDef> fields = {
        {"Name", {shapefile::kCharacter, 100, 0}}};
    return fields;
}

} // namespace

int createM_50_5025(const std::string& name, double west, double east, double south, double north,
                    const SubSheetWriter& write) {
    const Quad q{west, east, south, north};
    if (const int status = write({kScale50, name, west, east, south, north}); status != 0)
        return status;
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            const Quad r = quarter(q, i, j);
            if (const int status = write(
                    {kScale25, name + "-" + kLetters25[i][j], r.west, r.east, r.south, r.north});
                status != 0)
                return status;
        }
    }
    return 0;
}

int createM_100_5025(const std::string& name, double west, double east, double south, double north,
                     const SubSheetWriter& write) {
    const Quad q{west, east, south, north};
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            const Quad r = quarter(q, i, j);
            if (const int status = createM_50_5025(name + "-" + kLetters50[i][j], r.west, r.east,
                                                   r.south, r.north, write);
                status != 0)
                return status;
        }
    }
    return 0;
}

int createMaps5025(const SubSheetJob& job, const SubSheetWriter& write, std::string& reason) {
    // Only a 1:200 000 sheet is divided; any other number would give sheet names
    // and bounds that belong to no sheet.
    if (job.sheetNumber < 1 || job.sheetNumber > kSheets200PerRow * kSheets200PerRow) {
        reason = "sub-sheet frames: " + std::to_string(job.sheetNumber) +
                 " is not a 1:200 000 sheet number";
        return 1;
    }
    for (const double v : {job.baseWest, job.baseEast, job.baseSouth, job.baseNorth}) {
        if (!std::isfinite(v)) {
            reason = "sub-sheet frames: the sheet's trapezium holds a value that is not a number";
            return 1;
        }
    }
    const std::string million =
        nomenclature::nomenclature(1, job.yZone, job.xZone, job.sheetNumber, 0);
    const int row = (job.sheetNumber - 1) / kSheets200PerRow;
    const int column = job.sheetNumber - 1 - kSheets200PerRow * row;
    // The north-west 1:100 000 sheet of this 1:200 000 sheet.
    const int first = 2 * kSheets100PerRow * row + 2 * column + 1;

    const Quad base{job.baseWest, job.baseEast, job.baseSouth, job.baseNorth};
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            const int number = first + i + kSheets100PerRow * j;
            const Quad q = quarter(base, i, j);
            if (const int status = createM_100_5025(million + "-" + std::to_string(number), q.west,
                                                    q.east, q.south, q.north, write);
                status != 0)
                return status;
        }
    }
    return 0;
}

int createMaps5025(const SubSheetJob& job, std::string& reason) {
    geometry::Vertices vertices; // reused for every sheet
    const SubSheetWriter write = [&](const SubSheet& sheet) {
        int count = 0;
        return createR5025(job.coordSystem, sheet.name,
                           sheet.scale == kScale50 ? job.r50Path : job.r25Path, sheet.west,
                           sheet.east, kSubSheetLonSpacing, sheet.south, sheet.north,
                           kSubSheetLatSpacing, vertices, count, reason);
    };
    return createMaps5025(job, write, reason);
}

int createR5025(int coordSystem, const std::string& sheetName, const std::string& folder,
                double west, double east, double lonSpacing, double south, double north,
                double latSpacing, geometry::Vertices& vertices, int& count, std::string& reason) {
    const std::string name = common::rtrim(sheetName);
    const std::string path = common::joinPath(folder, name);
    shapefile::ShapeLayer layer;
    if (shapefile::openNewShapefile(coordSystem, shapefile::kPolygon, path, subSheetFields(),
                                    layer) != 0) {
        reason = layerFailure(path, "could not be opened", layer.lastError());
        return 1;
    }
    vertices.clear();
    count = addRectangle(west, east, lonSpacing, south, north, latSpacing, vertices);
    // The division and the names are those of the SK-42 sheet; only the
    // vertices move to the 2011 system.
    if (coordSystem == job::kGSK2011SK42)
        geometry::sk42_To_Gsk2011(vertices);
    if (shapefile::writeSimplePolygon(layer, name + "\\", vertices) != 0) {
        reason = layerFailure(path, "the sheet's frame could not be written", layer.lastError());
        return 2;
    }
    if (shapefile::closeNewShapefile(layer) != 0) {
        reason = layerFailure(path, "could not be completed", layer.lastError());
        return 2;
    }
    return 0;
}

} // namespace sheetjob::layers
