#pragma once
// A frame sink that keeps every record in memory, in writing order, and can be
// told to refuse a record so that failure paths can be followed.

#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/frame/FrameSink.h"

#include <string>
#include <vector>

namespace sheetjob::frame::test {

/// The frame job of N-37-XIV at 1:200 000 as the sheet layers hand it over: its
/// neighbours, its trapezium as base, result and frame, 1' scales, and the
/// graticule every 10' and 15' with the edges.
inline FrameJob frameOfN37XIV() {
    constexpr double kNorth = 54.666666666666664; // 56 - 2 * (2/3)
    FrameJob j;
    j.neighbours.north = "N-37-VIII";
    j.neighbours.south = "N-37-XX";
    j.neighbours.west = "N-37-XIII";
    j.neighbours.east = "N-37-XV";
    j.bounds.west = j.base.west = j.result.west = 37.0;
    j.bounds.east = j.base.east = j.result.east = 38.0;
    j.bounds.south = j.base.south = j.result.south = 54.0;
    j.bounds.north = j.base.north = j.result.north = kNorth;
    j.xMinute = j.yMinute = 1;
    j.latitudes = {54.0, 54.166666666666664, 54.33333333333333, 54.5, kNorth};
    j.longitudes = {37.0, 37.25, 37.5, 37.75, 38.0};
    return j;
}

struct Record {
    int layer = 0;
    FrameRecordKind kind = FrameRecordKind::MinuteLine;
    FrameRecord attributes;
    geometry::Vertices v;
};

class RecordingSink : public FrameSink {
  public:
    std::vector<Record> records;
    int failAt = -1; ///< 0-based index of the write to refuse; -1 never

    int write(FrameRecordKind kind, const FrameRecord& attributes,
              const geometry::Vertices& v) override {
        if (static_cast<int>(writes++) == failAt)
            return 122;
        records.push_back({layerOf(kind), kind, attributes, v});
        return 0;
    }

    [[nodiscard]] std::vector<Record> inLayer(int layer) const {
        std::vector<Record> out;
        for (const auto& r : records)
            if (r.layer == layer)
                out.push_back(r);
        return out;
    }

  private:
    size_t writes = 0;
};

} // namespace sheetjob::frame::test
