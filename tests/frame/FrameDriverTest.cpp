#include "RecordingSink.h"

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
    FrameWritten written;
    const auto failure = createRamk(test::frameOfN37XIV(), dir.folder(), &written);
    ASSERT_FALSE(failure) << failure->reason;
    EXPECT_EQ(written.kinds.size(), 330u); // the kind of every Frame record, in order
    EXPECT_EQ(written.layers, (std::array<bool, kFrameLayerCount>{true, true, true}));
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
        {"west equal to east", [](FrameJob& j) { j.bounds.east = j.bounds.west; }, 0, 15},
        {"reversed trapezium", [](FrameJob& j) { std::swap(j.bounds.south, j.bounds.north); }, 0,
         15},
        {"trapezium value not a number", [](FrameJob& j) { j.bounds.north = nan; }, 2, 0},
        {"zero vertex spacing", [](FrameJob& j) { j.spacing.lon = 0; }, 2, 0},
        {"spacing far too fine", [](FrameJob& j) { j.spacing.lat = 1e-12; }, 2, 0},
        {"division origin absurdly far", [](FrameJob& j) { j.base.west = -1e12; }, 2, 0},
        {"a graticule value not a number", [](FrameJob& j) { j.latitudes.push_back(nan); }, 2, 0},
        {"trapezium at a pole", [](FrameJob& j) { j.bounds.north = 90.0; }, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        FrameJob j = test::frameOfN37XIV();
        c.change(j);
        const auto failure = createRamk(j, dir.folder());
        EXPECT_EQ(failure ? failure->status : 0, c.status);
        EXPECT_TRUE(!failure || !failure->reason.empty());
        EXPECT_EQ(filesIn(dir.path()), c.files);
    }
}

// A layer that cannot be put in place (here: a folder stands under the main
// file's name) is status 2 with its name, and leaves none of its files.
TEST(FrameDriver, LayerThatCannotBeCompletedLeavesNothing) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "FrameDig.shp");
    const auto failure = createRamk(test::frameOfN37XIV(), dir.folder());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->status, 2);
    EXPECT_NE(failure->reason.find("FrameDig"), std::string::npos) << failure->reason;
    // Frame and FrameAdj were complete and stay; FrameDig's files are gone.
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Frame.shp"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "FrameAdj.shp"));
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().rfind("FrameDig.", 0) == 0,
                  e.path().filename() == "FrameDig.shp")
            << e.path();
}

// A 1:1 000 000 sheet at its scale has no names layer.
TEST(FrameDriver, NoNamesLayerAt1M) {
    TempDir dir;
    FrameJob j;
    j.setScale = 1;
    j.bounds.west = j.base.west = j.result.west = 36.0;
    j.bounds.east = j.base.east = j.result.east = 42.0;
    j.bounds.south = j.base.south = j.result.south = 52.0;
    j.bounds.north = j.base.north = j.result.north = 56.0;
    j.xMinute = j.yMinute = 10;
    j.latitudes = {52.0, 56.0};
    j.longitudes = {36.0, 42.0};
    ASSERT_FALSE(createRamk(j, dir.folder()));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Frame.shp"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "FrameDig.shp"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "FrameAdj.shp"));
}

// A disk that fills up part-way: the frame reports status 2 (never success) and
// no layer is left incomplete: each is there whole, or not at all.
TEST(FrameDriver, FullDiskIsAFailure) {
    TempDir dir;
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192};
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto failure = createRamk(test::frameOfN37XIV(), dir.folder());
        _exit(failure ? failure->status : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    // Frame is the largest layer: it does not fit, and nothing of it is there.
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Frame.shp"));
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find("sheetjob-part"), std::string::npos);
}
