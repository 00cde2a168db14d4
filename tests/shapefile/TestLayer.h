#pragma once
// A small record type and shapes shared by the writer's tests.

#include "sheetjob/shapefile/ShapeLayer.h"

#include <string>

namespace sheetjob::shapefile::test {

struct Row {
    int code = 0;
    std::string text;
    double value = 0.0;
};
inline constexpr Schema kRowSchema{integerColumn("L_code", 8, &Row::code),
                                   characterColumn("Text", 100, &Row::text),
                                   realColumn("Value", 12, 3, &Row::value)};
using RowLayer = Layer<decltype(kRowSchema)>;

/// A closed ring of five vertices.
inline geometry::Vertices square() {
    geometry::Vertices v;
    v.add(36, 53);
    v.add(37, 53);
    v.add(37, 52);
    v.add(36, 52);
    v.add(36, 53);
    return v;
}

} // namespace sheetjob::shapefile::test
