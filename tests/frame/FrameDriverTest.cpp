#include "sheetjob/frame/FrameDriver.h"

#include "support/Ogr.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <utility>

#include <csignal>
#include <filesystem>
#include <limits>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sheetjob;
using namespace sheetjob::frame;
using sheetjob::testing::readLayerWithOgr;
using sheetjob::testing::TempDir;

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

FrameJob sheet200k(const std::string& folder) {
    FrameJob j;
    j.northName = "N-37-VIII";
    j.southName = "N-37-XX";
    j.westName = "N-37-XIII";
    j.eastName = "N-37-XV";
    j.framePath = folder;
    j.west = j.baseWest = j.resultWest = 37.0;
    j.east = j.baseEast = j.resultEast = 38.0;
    j.south = j.baseSouth = j.resultSouth = 54.0;
    j.north = j.baseNorth = j.resultNorth = 54.666666666666664;
    j.xMinute = j.yMinute = 1;
    j.latitudes = {54.0, 54.166666666666664, 54.33333333333333, 54.5, 54.666666666666664};
    j.longitudes = {37.0, 37.25, 37.5, 37.75, 38.0};
    return j;
}

size_t filesIn(const std::filesystem::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

} // namespace

// The three layers as an independent reader sees them.
TEST(FrameDriver, WritesTheThreeLayers) {
    TempDir dir;
    std::string reason;
    ASSERT_EQ(createRamk(sheet200k(dir.path().string()), reason), 0) << reason;
    struct Case {
        const char* base;
        long features;
        size_t fields;
    };
    const Case cases[] = {{"Frame", 330, 2}, {"FrameAdj", 4, 5}, {"FrameDig", 30, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base);
        const auto layer = readLayerWithOgr(dir / (std::string(c.base) + ".shp"));
        ASSERT_TRUE(layer.has_value());
        EXPECT_EQ(layer->geometryType, "Line String");
        EXPECT_EQ(layer->featureCount, c.features);
        ASSERT_EQ(layer->fieldDefs.size(), c.fields);
        EXPECT_EQ(layer->fieldDefs[0].first, "Id");
        EXPECT_EQ(layer->fieldDefs[1].first, "L_code");
        EXPECT_EQ(layer->fieldDefs[1].second, "Integer (8.0)");
        ASSERT_FALSE(layer->features.empty());
        EXPECT_EQ(layer->features[0].field("Id"), "1");
    }
    const auto dig = readLayerWithOgr(dir / "FrameDig.shp");
    ASSERT_TRUE(dig.has_value());
    EXPECT_EQ(dig->features[0].field("L_code"), "400912");
    EXPECT_EQ(dig->features[0].field("Text"), "54°");
    EXPECT_EQ(dig->features[0].field("Font"), "FreeSet");
    EXPECT_EQ(dig->features[0].field("Size"), "6.50");
    const auto adj = readLayerWithOgr(dir / "FrameAdj.shp");
    ASSERT_TRUE(adj.has_value());
    EXPECT_EQ(adj->features[0].field("Text"), "N-37-VIII");
    EXPECT_EQ(adj->features[3].field("Text"), "N-37-XV");
}

// Statuses of the driver: nothing to draw, a folder that cannot take the
// layers, and inputs that would make a walk endless (refused before any file).
TEST(FrameDriver, StatusesAndRefusals) {
    struct Case {
        const char* name;
        void (*change)(FrameJob&);
        int status;
        size_t files; // files left in the folder
    };
    const Case cases[] = {
        {"map 2: no frame, no files", [](FrameJob& j) { j.mapScale = 2; }, 0, 0},
        {"map scale outside 0..2: no frame", [](FrameJob& j) { j.mapScale = 5; }, 0, 0},
        {"zero-minute division", [](FrameJob& j) { j.xMinute = 0; }, 2, 0},
        {"negative division", [](FrameJob& j) { j.yMinute = -10; }, 2, 0},
        // The order of the bounds is the job's own: a reversed or empty trapezium
        // is drawn as given, and every walk still ends.
        {"west equal to east", [](FrameJob& j) { j.east = j.west; }, 0, 15},
        {"reversed trapezium", [](FrameJob& j) { std::swap(j.south, j.north); }, 0, 15},
        {"trapezium value not a number", [](FrameJob& j) { j.north = nan; }, 2, 0},
        {"zero vertex spacing", [](FrameJob& j) { j.stepLon = 0; }, 2, 0},
        {"spacing far too fine", [](FrameJob& j) { j.stepLat = 1e-12; }, 2, 0},
        {"division origin absurdly far", [](FrameJob& j) { j.baseWest = -1e12; }, 2, 0},
        {"a graticule value not a number", [](FrameJob& j) { j.latitudes.push_back(nan); }, 2, 0},
        {"trapezium at a pole", [](FrameJob& j) { j.north = 90.0; }, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        FrameJob j = sheet200k(dir.path().string());
        c.change(j);
        std::string reason;
        EXPECT_EQ(createRamk(j, reason), c.status);
        EXPECT_EQ(reason.empty(), c.status == 0) << reason;
        EXPECT_EQ(filesIn(dir.path()), c.files);
    }

    TempDir dir;
    std::string reason;
    EXPECT_EQ(createRamk(sheet200k((dir.path() / "missing").string()), reason), 1);
    EXPECT_NE(reason.find("Frame"), std::string::npos) << reason;
}

// A 1:1 000 000 sheet at its scale has no names layer.
TEST(FrameDriver, NoNamesLayerAt1M) {
    TempDir dir;
    FrameJob j;
    j.setScale = 1;
    j.framePath = dir.path().string();
    j.west = j.baseWest = j.resultWest = 36.0;
    j.east = j.baseEast = j.resultEast = 42.0;
    j.south = j.baseSouth = j.resultSouth = 52.0;
    j.north = j.baseNorth = j.resultNorth = 56.0;
    j.xMinute = j.yMinute = 10;
    j.latitudes = {52.0, 56.0};
    j.longitudes = {36.0, 42.0};
    std::string reason;
    ASSERT_EQ(createRamk(j, reason), 0) << reason;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Frame.shp"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "FrameDig.shp"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "FrameAdj.shp"));
}

// A disk that fills up part-way: the frame reports status 2 (never success) and
// the layer files written so far stay readable.
TEST(FrameDriver, FullDiskIsAFailure) {
    TempDir dir;
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string reason;
        _exit(createRamk(sheet200k(dir.path().string()), reason));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    const auto frame = readLayerWithOgr(dir / "Frame.shp");
    ASSERT_TRUE(frame.has_value());
    EXPECT_GT(frame->featureCount, 0);
}
