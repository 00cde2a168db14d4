#pragma once
// A frame sink that keeps every record in memory, in writing order, and can be
// told to refuse a record so that failure paths can be followed.

#include "sheetjob/frame/FrameSink.h"

#include <string>
#include <vector>

namespace sheetjob::frame::test {

struct Record {
    int layer = 0;
    FrameRecordKind kind = FrameRecordKind::MinuteLine;
    std::string attributes;
    geometry::Vertices v;
};

class RecordingSink : public FrameSink {
  public:
    std::vector<Record> records;
    int failAt = -1; ///< 0-based index of the write to refuse; -1 never

    int write(FrameRecordKind kind, const std::string& attributes,
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
