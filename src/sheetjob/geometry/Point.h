#pragma once
// Points and vertex lists in plane longitude/latitude degrees (x = longitude,
// y = latitude).

#include <vector>

namespace sheetjob::geometry {

struct Point {
    double x = 0.0; ///< longitude, degrees
    double y = 0.0; ///< latitude, degrees
};

/// A polyline or ring under construction: parallel arrays of longitudes and latitudes.
struct Vertices {
    std::vector<double> x;
    std::vector<double> y;
    void add(double px, double py) {
        x.push_back(px);
        y.push_back(py);
    }
    void removeLast() {
        x.pop_back();
        y.pop_back();
    }
    void clear() {
        x.clear();
        y.clear();
    }
    [[nodiscard]] int size() const { return static_cast<int>(x.size()); }
};

} // namespace sheetjob::geometry
