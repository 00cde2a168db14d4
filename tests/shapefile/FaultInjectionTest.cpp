// Every input/output failure while a layer is written fails the layer: the
// n-th call of each kind is made to fail, for every n a small layer makes, and
// the layer must then report a failure and leave none of its files.

#include "shapefile/TestLayer.h"
#include "sheetjob/shapefile/MemberFile.h"
#include "sheetjob/shapefile/ShapeLayer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sheetjob::shapefile {
namespace {

using detail::Fault;
using testing::TempDir;

/// Writes a line layer of `records` records; the first non-zero status, or 0.
int writeLayer(const common::Folder& folder, int records, std::string& error) {
    geometry::Vertices v;
    v.add(37.0, 54.0);
    v.add(37.5, 54.5);
    test::RowLayer layer(test::kRowSchema);
    int status = layer.open(geometry::kSK42, kPolyLine, folder, "Small");
    for (int i = 0; status == kOk && i < records; ++i)
        status = layer.writeSimpleLine({400901, "abc", 1}, v);
    if (status == kOk)
        status = layer.close();
    error = layer.shape().lastError();
    return status;
}

std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    return names;
}

TEST(FaultInjection, EveryFailedCallFailsTheLayer) {
    // A small layer stays in memory until it is complete; a large one is
    // written out in pieces while it grows.
    constexpr int kSmall = 3;
    constexpr int kLarge = 12000;
    const struct {
        Fault fault;
        int records;
        const char* name;
    } kinds[] = {{Fault::DiskCreate, kSmall, "file creation"},
                 {Fault::DiskWrite, kSmall, "disk write"},
                 {Fault::DiskClose, kSmall, "file close"},
                 {Fault::Rename, kSmall, "rename into place"},
                 {Fault::DiskCreate, kLarge, "file creation of a large layer"},
                 {Fault::DiskWrite, kLarge, "disk write of a large layer"}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        long calls = 0;
        {
            // A clean run counts the calls of this kind and writes the layer.
            TempDir dir;
            detail::injectFault(kind.fault, -1);
            std::string error;
            ASSERT_EQ(writeLayer(dir.folder(), kind.records, error), kOk) << error;
            calls = detail::faultCalls(kind.fault);
            EXPECT_EQ(filesIn(dir.path()).size(), 5u);
        }
        EXPECT_GT(calls, 0);
        for (long n = 0; n < calls; ++n) {
            SCOPED_TRACE(n);
            TempDir dir;
            detail::injectFault(kind.fault, n);
            std::string error;
            EXPECT_NE(writeLayer(dir.folder(), kind.records, error), kOk);
            EXPECT_FALSE(error.empty());
            EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{});
        }
    }
    detail::injectFault(Fault::DiskWrite, -1);
}

} // namespace
} // namespace sheetjob::shapefile
