// Whole jobs run through the built program and compared, record by record and
// vertex by vertex, with expected records worked out independently.

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Text.h"
#include "support/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <shapefil.h>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <set>

namespace sheetjob {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

json loadGolden(const std::string& name) {
    std::ifstream in(std::string(SHEETJOB_TEST_DATA) + "/golden/" + name);
    return json::parse(in);
}

// Base names of the layers (".shp" files) in a folder.
std::set<std::string> layersIn(const fs::path& folder) {
    std::set<std::string> names;
    if (!fs::is_directory(folder))
        return names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".shp")
            names.insert(entry.path().stem().string());
    return names;
}

void compareLayer(const std::string& key, const json& expected, const fs::path& base) {
    SCOPED_TRACE(key);
    SHPHandle shp = SHPOpen(base.string().c_str(), "rb");
    DBFHandle dbf = DBFOpen(base.string().c_str(), "rb");
    ASSERT_NE(shp, nullptr);
    ASSERT_NE(dbf, nullptr);
    int count = 0, shapeType = 0;
    SHPGetInfo(shp, &count, &shapeType, nullptr, nullptr);
    EXPECT_EQ(shapeType, expected["shape_type"].get<int>());

    const json& fields = expected["fields"];
    ASSERT_EQ(DBFGetFieldCount(dbf), static_cast<int>(fields.size()));
    for (int i = 0; i < DBFGetFieldCount(dbf); ++i) {
        char name[12] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(dbf, i, name, &width, &decimals);
        const json& f = fields[static_cast<size_t>(i)];
        EXPECT_EQ(name, f[0].get<std::string>());
        EXPECT_EQ(std::string(1, DBFGetNativeFieldType(dbf, i)), f[1].get<std::string>()) << name;
        EXPECT_EQ(width, f[2].get<int>()) << name;
        EXPECT_EQ(decimals, f[3].get<int>()) << name;
    }

    const json& records = expected["records"];
    ASSERT_EQ(count, static_cast<int>(records.size()));
    ASSERT_EQ(DBFGetRecordCount(dbf), count);
    for (int r = 0; r < count; ++r) {
        SCOPED_TRACE("record " + std::to_string(r + 1));
        const json& rec = records[static_cast<size_t>(r)];
        for (int i = 0; i < DBFGetFieldCount(dbf); ++i) {
            const std::string name = fields[static_cast<size_t>(i)][0].get<std::string>();
            const json& value = rec["attrs"][name];
            if (value.is_string()) {
                const std::string stored = common::trim(DBFReadStringAttribute(dbf, r, i));
                EXPECT_EQ(common::cp1251ToUtf8(stored), value.get<std::string>()) << name;
            } else {
                EXPECT_EQ(DBFReadDoubleAttribute(dbf, r, i), value.get<double>()) << name;
            }
        }
        SHPObject* object = SHPReadObject(shp, r);
        ASSERT_NE(object, nullptr);
        const json& geom = rec["geom"];
        const bool fixed = !rec.contains("geometry_fixed") || rec["geometry_fixed"].get<bool>();
        if (fixed) {
            ASSERT_EQ(object->nVertices, static_cast<int>(geom.size()));
            for (int v = 0; v < object->nVertices; ++v) {
                const json& p = geom[static_cast<size_t>(v)];
                if (object->padfX[v] != p[0].get<double>() ||
                    object->padfY[v] != p[1].get<double>()) {
                    ADD_FAILURE() << "vertex " << v << ": " << std::setprecision(17)
                                  << object->padfX[v] << ", " << object->padfY[v] << " expected "
                                  << p[0].get<double>() << ", " << p[1].get<double>();
                    break;
                }
            }
        }
        SHPDestroyObject(object);
    }
    SHPClose(shp);
    DBFClose(dbf);
}

class GoldenJob : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenJob, EveryLayerRecordAndVertex) {
    const json golden = loadGolden(GetParam());
    testing::TempDir dir;
    testing::writeFile(dir.path() / "job.txt", golden["argument_file"].get<std::string>());
    testing::ProcessOptions options;
    options.workingDirectory = dir.path().string();
    const auto run = testing::runProcess(testing::sheetjobExecutable(), {"job.txt"}, options);
    ASSERT_EQ(run.exitCode, golden["exit"].get<int>()) << run.err;
    EXPECT_EQ(run.err, "");

    // Path=out/<sheet>: the layers are under that folder of the working directory.
    const std::string args = golden["argument_file"].get<std::string>();
    const auto p = args.find("Path=");
    const std::string result = common::trim(args.substr(p + 5, args.find(';', p) - p - 5));
    std::map<std::string, std::set<std::string>> expectedLayers;
    for (const auto& [key, layer] : golden["layers"].items()) {
        const auto slash = key.find('/');
        expectedLayers[key.substr(0, slash)].insert(key.substr(slash + 1));
        compareLayer(key, layer, dir.path() / result / key);
    }
    for (const char* folder : {"HYPS", "FRAME"})
        EXPECT_EQ(layersIn(dir.path() / result / folder), expectedLayers[folder]) << folder;
}

INSTANTIATE_TEST_SUITE_P(Jobs, GoldenJob, ::testing::Values("N-37-XIV.json", "N-37.json"),
                         [](const auto& test) {
                             std::string name = test.param.substr(0, test.param.find('.'));
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace sheetjob
