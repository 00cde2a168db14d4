#include "sheetjob/qgis/QgisFiles.h"
#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/qgis/PrintLayout.h"

#include "support/Process.h"
#include "support/TempDir.h"
#include "support/XmlTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <sstream>

namespace sheetjob::qgis {
namespace {

using frame::FrameRecordKind;
using testing::TempDir;
using testing::XmlNode;

constexpr double kDegree = std::numbers::pi / 180;

/// N-37-XIV (1:200 000 set) or N-37 (1:1 000 000 set) at map scale 0..2.
SheetInfo sheetOf(int setScale, int mapScale, int coordSystem = 1) {
    SheetInfo s;
    s.coordSystem = *geometry::CoordSystem::fromCode(coordSystem);
    s.setScale = setScale;
    s.name = setScale == 0 ? "N-37-XIV" : "N-37";
    s.west = setScale == 0 ? 37 : 36;
    s.east = setScale == 0 ? 38 : 42;
    s.south = setScale == 0 ? 54 : 52;
    s.north = setScale == 0 ? 54 + 2.0 / 3 : 56;
    s.layout = frame::setRamkParameters(setScale, mapScale);
    return s;
}

std::unique_ptr<XmlNode> parsed(const std::string& text) {
    std::string error;
    auto root = testing::parseXml(text, error);
    EXPECT_TRUE(root.has_value()) << error;
    return root ? std::move(*root) : std::make_unique<XmlNode>();
}

const XmlNode* ruleWithFilter(const XmlNode& root, const std::string& filter) {
    for (const XmlNode* r : root.all("rule"))
        if (r->attr("filter") == filter)
            return r;
    return nullptr;
}

/// The properties of the first symbol layer of the renderer's symbol `name`.
const XmlNode* symbolProperties(const XmlNode& renderer, const std::string& name) {
    for (const XmlNode* s : renderer.all("symbol"))
        if (s->attr("name") == name)
            return s->child("layer") ? s->child("layer")->child("Option") : nullptr;
    return nullptr;
}

const XmlNode* layerOfSymbol(const XmlNode& renderer, const std::string& name) {
    for (const XmlNode* s : renderer.all("symbol"))
        if (s->attr("name") == name)
            return s->child("layer");
    return nullptr;
}

LayerInfo layer(LayerKind kind, const std::string& folder, const std::string& base,
                std::vector<FrameRecordKind> kinds = {}) {
    return {kind, folder, base, std::move(kinds)};
}

std::vector<LayerInfo> sheetLayers() {
    return {layer(LayerKind::SheetPolygon, "HYPS", "HypsA"),
            layer(LayerKind::GraticuleLines, "HYPS", "HypsL"),
            layer(LayerKind::GraticulePoints, "HYPS", "HypsP"),
            layer(LayerKind::Frame, "FRAME", "Frame"),
            layer(LayerKind::NeighbourNames, "FRAME", "FrameAdj"),
            layer(LayerKind::ValueLabels, "FRAME", "FrameDig")};
}

// Every layer's style and every project, at every set and map scale and in
// every coordinate system, is XML that an independent parser reads, with a
// renderer and labels where the layer has texts to show.
TEST(QgisFiles, WellFormedForEveryLayerScaleAndSystem) {
    std::vector<LayerInfo> layers = sheetLayers();
    layers.push_back(layer(LayerKind::SubSheet50k, "HYPS_50", "N-37-51-А"));
    layers.push_back(layer(LayerKind::SubSheet25k, "HYPS_25", "N-37-51-А-в"));
    for (int set = 0; set <= 1; ++set) {
        for (int map = 0; map <= 2; ++map) {
            for (int cs = 1; cs <= 4; ++cs) {
                SCOPED_TRACE("set " + std::to_string(set) + " map " + std::to_string(map) +
                             " system " + std::to_string(cs));
                const SheetInfo sheet = sheetOf(set, map, cs);
                for (const LayerInfo& l : layers) {
                    SCOPED_TRACE(l.baseName);
                    const auto style = parsed(layerStyle(sheet, l));
                    EXPECT_EQ(style->name, "qgis");
                    EXPECT_NE(style->child("renderer-v2"), nullptr);
                    const bool labelled =
                        l.kind == LayerKind::NeighbourNames || l.kind == LayerKind::ValueLabels ||
                        l.kind == LayerKind::SubSheet50k || l.kind == LayerKind::SubSheet25k;
                    EXPECT_EQ(style->attr("labelsEnabled"), labelled ? "1" : "0");
                    EXPECT_EQ(style->child("labeling") != nullptr, labelled);
                }
                const auto project = parsed(projectText(sheet, layers));
                EXPECT_EQ(project->name, "qgis");
                EXPECT_EQ(project->all("maplayer").size(), layers.size());
            }
        }
    }
}

// The minute frame's lines, ticks and fills share one code: the style tells
// them apart by the record ids it is given. A fill is the strip's centre line
// drawn as wide as the strip on the ground, with flat ends so that it stops at
// the ticks; the outer lines have the widths of a printed sheet.
TEST(QgisFiles, FrameRulesByCodeAndRecordId) {
    using K = FrameRecordKind;
    const std::vector<K> kinds = {K::MinuteLine,     K::MinuteLine,    K::MinuteTick,
                                  K::MinuteTick,     K::MinuteFill,    K::MinuteTick,
                                  K::MinuteFill,     K::OuterLine,     K::OuterSideLine,
                                  K::MeridianOutlet, K::ParallelOutlet};
    const struct {
        const char* name;
        int set, map;
        double stripMetres; // 0: no minute frame
        double outerWidth;
        bool sideLines, outlets;
        const char* outerCode;
    } cases[] = {
        {"1:200 000 map", 0, 0, 1.2000000476837158 * 200, 0.8, false, true, "400902"},
        {"1:1 000 000 map", 1, 0, 1000, 0.6, true, false, "400902"},
        {"1:500 000 map", 0, 1, 0, 0.4, false, false, "400922"},
        {"1:2 500 000 map", 1, 1, 0, 0.4, false, false, "400922"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto style = parsed(
            layerStyle(sheetOf(c.set, c.map), layer(LayerKind::Frame, "FRAME", "Frame", kinds)));
        const XmlNode& renderer = *style->child("renderer-v2");
        EXPECT_EQ(renderer.attr("type"), "RuleRenderer");

        const XmlNode* minute = ruleWithFilter(renderer, "\"L_code\" = 400901");
        ASSERT_EQ(minute != nullptr, c.stripMetres > 0);
        if (minute) {
            const XmlNode* fills = ruleWithFilter(*minute, "\"Id\" IN (5,7)");
            const XmlNode* lines = ruleWithFilter(*minute, "\"Id\" IN (1,2)");
            const XmlNode* ticks = ruleWithFilter(*minute, "ELSE");
            ASSERT_TRUE(fills && lines && ticks);
            const XmlNode* fill = symbolProperties(renderer, fills->attr("symbol"));
            ASSERT_NE(fill, nullptr);
            EXPECT_DOUBLE_EQ(std::stod(fill->option("line_width")), c.stripMetres);
            EXPECT_EQ(fill->option("line_width_unit"), "RenderMetersInMapUnits");
            EXPECT_EQ(fill->option("capstyle"), "flat");
            for (const XmlNode* thin : {lines, ticks}) {
                const XmlNode* p = symbolProperties(renderer, thin->attr("symbol"));
                EXPECT_EQ(p->option("line_width"), "0.1");
                EXPECT_EQ(p->option("line_width_unit"), "MM");
            }
        }
        const XmlNode* outer = ruleWithFilter(renderer, std::string("\"L_code\" = ") + c.outerCode);
        ASSERT_NE(outer, nullptr);
        EXPECT_DOUBLE_EQ(
            std::stod(symbolProperties(renderer, outer->attr("symbol"))->option("line_width")),
            c.outerWidth);
        EXPECT_EQ(ruleWithFilter(renderer, "\"L_code\" = 400903") != nullptr, c.sideLines);
        EXPECT_EQ(ruleWithFilter(renderer, "\"L_code\" = 400904") != nullptr, c.outlets);
        EXPECT_EQ(ruleWithFilter(renderer, "\"L_code\" = 400905") != nullptr, c.outlets);
    }
}

// The sheet polygon is an outline over whatever lies below; the graticule
// lines are drawn by class; the graticule points are small crosses sized to
// their spacing on the map.
TEST(QgisFiles, GraticuleStyles) {
    const auto polygon =
        parsed(layerStyle(sheetOf(0, 0), layer(LayerKind::SheetPolygon, "HYPS", "HypsA")));
    const XmlNode* outline = layerOfSymbol(*polygon->child("renderer-v2"), "0");
    ASSERT_NE(outline, nullptr);
    EXPECT_EQ(outline->attr("class"), "SimpleLine"); // no fill layer at all
    EXPECT_EQ(polygon->all("layer").size(), 1u);

    const auto lines =
        parsed(layerStyle(sheetOf(0, 0), layer(LayerKind::GraticuleLines, "HYPS", "HypsL")));
    const XmlNode& renderer = *lines->child("renderer-v2");
    const struct {
        const char* filter;
        const char* width;
        bool dashed;
    } rules[] = {{"\"L_code\" = 400010", "0.15", false},
                 {"\"L_code\" = 400011", "0.1", false},
                 {"\"L_code\" = 400012", "0.1", false},
                 {"\"L_code\" = 400013", "0.2", true}};
    for (const auto& r : rules) {
        SCOPED_TRACE(r.filter);
        const XmlNode* rule = ruleWithFilter(renderer, r.filter);
        ASSERT_NE(rule, nullptr);
        const XmlNode* p = symbolProperties(renderer, rule->attr("symbol"));
        EXPECT_EQ(p->option("line_width"), r.width);
        EXPECT_EQ(p->option("use_custom_dash") == "1", r.dashed);
    }

    const struct {
        int set, map;
        double cross; // mm
    } crosses[] = {
        {0, 0, 3.0},   // 5' = 46 mm apart: capped
        {0, 2, 1.855}, // 5' = 9.3 mm apart at 1:1 000 000
        {1, 0, 3.0},   // 10' = 18.6 mm apart: capped
        {1, 2, 0.8},   // 10' = 3.7 mm apart at 1:5 000 000: the smallest cross
    };
    for (const auto& c : crosses) {
        SCOPED_TRACE(c.cross);
        const auto points = parsed(
            layerStyle(sheetOf(c.set, c.map), layer(LayerKind::GraticulePoints, "HYPS", "HypsP")));
        const XmlNode& pointRenderer = *points->child("renderer-v2");
        const XmlNode* marker = symbolProperties(pointRenderer, "0");
        ASSERT_NE(marker, nullptr);
        EXPECT_EQ(marker->option("name"), "cross");
        // Only the points inside the sheet: its edges carry the frame.
        const std::string inside = pointRenderer.all("rule").front()->attr("filter");
        EXPECT_NE(inside.find(c.set == 0 ? "x($geometry) > 37.0001" : "x($geometry) > 36.0001"),
                  std::string::npos)
            << inside;
        EXPECT_NE(inside.find(c.set == 0 ? "y($geometry) > 54.0001" : "y($geometry) > 52.0001"),
                  std::string::npos)
            << inside;
        EXPECT_NEAR(std::stod(marker->option("size")), c.cross, 0.005);
    }
}

// Every label names the record's font through its "Font" field and falls back
// to the free face the frame was measured with; its size is the record's; it
// starts where its line starts (a name one clearance later); nothing hides it.
TEST(QgisFiles, LabelsNameTheFontAndFallBackToTheStandIn) {
    const struct {
        LayerKind kind;
        const char* base;
        bool anchorExpression;
    } cases[] = {{LayerKind::ValueLabels, "FrameDig", false},
                 {LayerKind::NeighbourNames, "FrameAdj", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base);
        const auto style = parsed(layerStyle(sheetOf(0, 0), layer(c.kind, "FRAME", c.base)));
        EXPECT_EQ(style->child("renderer-v2")->attr("type"), "nullSymbol");
        const XmlNode* labeling = style->child("labeling");
        ASSERT_NE(labeling, nullptr);
        EXPECT_EQ(labeling->attr("type"), "rule-based");
        const struct {
            const char* filter;
            const char* face;
        } fonts[] = {{"\"Font\" = 'PragmaticaC'", "PT Sans"},
                     {"\"Font\" = 'FreeSet'", "PT Sans"},
                     {"\"Font\" = 'AGCenturion'", "FreeSerif"},
                     {"ELSE", "PT Sans"}};
        for (const auto& f : fonts) {
            SCOPED_TRACE(f.filter);
            const XmlNode* rule = ruleWithFilter(*labeling, f.filter);
            ASSERT_NE(rule, nullptr);
            const XmlNode* settings = rule->child("settings");
            EXPECT_EQ(settings->child("text-style")->attr("fontFamily"), f.face);
            EXPECT_EQ(settings->child("text-style")->attr("fieldName"), "Text");
            EXPECT_EQ(settings->child("text-style")->attr("fontSizeUnit"), "Point");
            const XmlNode* placement = settings->child("placement");
            EXPECT_EQ(placement->attr("placement"), "2");      // along the line
            EXPECT_EQ(placement->attr("placementFlags"), "1"); // on it
            EXPECT_EQ(placement->attr("lineAnchorType"), "1"); // strictly at the anchor
            EXPECT_EQ(placement->attr("lineAnchorPercent"), "0");
            // A label a little longer than its line (QGIS's own metrics) stays at its anchor.
            EXPECT_GT(std::stod(placement->attr("overrunDistance")), 1.0);
            const XmlNode* rendering = settings->child("rendering");
            EXPECT_EQ(rendering->attr("displayAll"), "1");
            EXPECT_EQ(rendering->attr("obstacle"), "0");
            EXPECT_EQ(rendering->attr("upsidedownLabels"), "2"); // west and east names read upward

            std::set<std::string> defined;
            for (const XmlNode* p : settings->child("dd_properties")->all("Option"))
                if (p->attr("type") == "Map" && p->has("name"))
                    defined.insert(p->attr("name"));
            EXPECT_TRUE(defined.count("Family") && defined.count("Size"));
            EXPECT_EQ(defined.count("LineAnchorPercent") == 1, c.anchorExpression);
            for (const XmlNode* p : settings->child("dd_properties")->all("Option")) {
                if (p->attr("name") == "Family") {
                    EXPECT_EQ(p->option("field"), "Font");
                } else if (p->attr("name") == "Size") {
                    EXPECT_EQ(p->option("expression"), "to_real(\"Size\")");
                } else if (p->attr("name") == "LineAnchorPercent") {
                    // 1 mm at 1:200 000 on the frame's sphere, in degrees of arc
                    EXPECT_NE(p->option("expression").find("0.0017986"), std::string::npos)
                        << p->option("expression");
                }
            }
        }
    }
}

// The sub-sheet frames: 1:50 000 solid, 1:25 000 dashed, each with its name
// centred, no larger than fits its sheet at the map's scale.
TEST(QgisFiles, SubSheetFramesInTwoStylesWithNames) {
    const struct {
        int map;
        LayerKind kind;
        bool dashed;
        double namePt;
    } cases[] = {
        {0, LayerKind::SubSheet50k, false, 8.0},
        {0, LayerKind::SubSheet25k, true, 6.0},
        {1, LayerKind::SubSheet50k, false, 8.0},  // 15' = 32.5 mm at 1:500 000: still fits
        {1, LayerKind::SubSheet25k, true, 3.485}, // 7'30" = 16.2 mm: half of it for 11 letters
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.map) + (c.dashed ? " 1:25 000" : " 1:50 000"));
        const auto style =
            parsed(layerStyle(sheetOf(0, c.map), layer(c.kind, "HYPS_50", "N-37-51-А")));
        const XmlNode* line = symbolProperties(*style->child("renderer-v2"), "0");
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->option("use_custom_dash") == "1", c.dashed);
        const XmlNode* text = style->child("labeling")->child("settings")->child("text-style");
        EXPECT_EQ(text->attr("fieldName"), "Name");
        EXPECT_NEAR(std::stod(text->attr("fontSize")), c.namePt, 0.01);
        // Every sheet of a scale has the same style, whatever its name: the run
        // makes it once and writes it beside each of them.
        ASSERT_TRUE(sharesItsStyle(c.kind));
        EXPECT_EQ(layerStyle(sheetOf(0, c.map), layer(c.kind, "HYPS_25", "N-37-64-Г-г")),
                  layerStyle(sheetOf(0, c.map), layer(c.kind, "HYPS_50", "N-37-51-А")));
    }
}

// The project: the layers by relative path in groups by folder (the frame on
// top), each with its style and the job's geographic system; ids QGIS keeps
// (longer than ten characters); the projection switched on.
TEST(QgisFiles, ProjectGroupsLayersByFolderWithTheirStyles) {
    std::vector<LayerInfo> layers = sheetLayers();
    layers.push_back(layer(LayerKind::SubSheet50k, "HYPS_50", "N-37-51-А"));
    layers.push_back(layer(LayerKind::SubSheet25k, "HYPS_25", "N-37-51-А-в"));
    const struct {
        int cs;
        const char* project;
        const char* layers;
    } systems[] = {{1, "EPSG:28407", "EPSG:4284"},
                   {2, "EPSG:20007", "EPSG:4200"},
                   {3, "EPSG:20907", "EPSG:7683"},
                   {4, "EPSG:20907", "EPSG:7683"}};
    for (const auto& sys : systems) {
        SCOPED_TRACE(sys.cs);
        const SheetInfo sheet = sheetOf(0, 0, sys.cs);
        const auto project = parsed(projectText(sheet, layers));
        EXPECT_EQ(project->attr("projectname"), "N-37-XIV");
        EXPECT_EQ(projectFileName(sheet), "N-37-XIV.qgs");
        EXPECT_EQ(project->child("projectCrs")->child("spatialrefsys")->childText("authid"),
                  sys.project);

        std::vector<std::string> groups;
        for (const auto& g : project->child("layer-tree-group")->children)
            groups.push_back(g->attr("name"));
        EXPECT_EQ(groups, (std::vector<std::string>{"FRAME", "HYPS_50", "HYPS_25", "HYPS"}));
        std::vector<std::string> frameOrder;
        for (const auto& l : project->child("layer-tree-group")->children.front()->children)
            frameOrder.push_back(l->attr("name"));
        EXPECT_EQ(frameOrder, (std::vector<std::string>{"FrameDig", "FrameAdj", "Frame"}));

        std::set<std::string> ids;
        for (const XmlNode* m : project->all("maplayer")) {
            const std::string id = m->childText("id");
            EXPECT_GT(id.size(), 10u) << id;
            ids.insert(id);
            EXPECT_EQ(m->child("srs")->child("spatialrefsys")->childText("authid"), sys.layers);
            EXPECT_EQ(m->childText("datasource").rfind("./", 0), 0u) << m->childText("datasource");
            EXPECT_NE(m->child("renderer-v2"), nullptr);
        }
        EXPECT_EQ(ids.size(), layers.size());
        for (const XmlNode* node : project->all("layer-tree-layer"))
            EXPECT_EQ(ids.count(node->attr("id")), 1u) << node->attr("id");
        bool found = false;
        for (const XmlNode* m : project->all("maplayer"))
            found |= m->childText("datasource") == "./HYPS_25/N-37-51-А-в.shp";
        EXPECT_TRUE(found);

        // The layout prints the finished frame: no graticule crosses, no
        // sub-sheet frames; in the order of the layer tree.
        const XmlNode* map = project->child("Layouts")->child("Layout")->child("LayoutItem");
        EXPECT_EQ(map->attr("keepLayerSet"), "true");
        std::vector<std::string> printed;
        for (const auto& l : map->child("LayerSet")->children)
            printed.push_back(l->attr("name"));
        EXPECT_EQ(printed,
                  (std::vector<std::string>{"FrameDig", "FrameAdj", "Frame", "HypsL", "HypsA"}));
        // WGS 84 and web maps meet the map and the layers by one pinned operation each.
        std::set<std::pair<std::string, std::string>> pinned;
        for (const XmlNode* op : project->child("transformContext")->all("srcDest"))
            pinned.emplace(op->child("src")->child("spatialrefsys")->childText("authid"),
                           op->child("dest")->child("spatialrefsys")->childText("authid"));
        EXPECT_EQ(pinned,
                  (std::set<std::pair<std::string, std::string>>{{"EPSG:4326", sys.project},
                                                                 {"EPSG:4326", sys.layers},
                                                                 {"EPSG:3857", sys.project},
                                                                 {"EPSG:3857", sys.layers}}));

        const XmlNode* refSys = project->child("properties")->child("SpatialRefSys");
        ASSERT_NE(refSys, nullptr);
        EXPECT_EQ(refSys->childText("ProjectionsEnabled"), "1");
        EXPECT_EQ(project->child("properties")->child("Paths")->childText("Absolute"), "false");
    }
}

/// Runs PROJ's cct over "x y" lines with `pipeline` (a PROJ string; `inverse`
/// runs it backwards): the points it gives.
std::vector<std::pair<double, double>> cct(const std::string& pipeline, const std::string& points,
                                           bool inverse = false) {
    TempDir dir;
    testing::writeFile(dir.path() / "points.txt", points);
    std::vector<std::string> args = {"-d", "9"};
    if (inverse)
        args.push_back("-I");
    std::istringstream words(pipeline);
    for (std::string w; words >> w;)
        args.push_back(w);
    args.push_back(dir / "points.txt");
    const auto out = testing::runProcess(SHEETJOB_CCT, args);
    EXPECT_EQ(out.exitCode, 0) << out.err;
    std::vector<std::pair<double, double>> result;
    std::istringstream lines(out.out);
    double x = 0, y = 0, z = 0, t = 0;
    while (lines >> x >> y >> z >> t)
        result.emplace_back(x, y);
    return result;
}

// The layout prints at the map's scale: one map item covering a page that
// holds the frame's outline at its reach (corners included) as PROJ projects
// it, turned true north up; the sheet's name above it, its scale and system
// below, and at least 10 mm of paper around them; whole points (1/72 inch).
TEST(QgisFiles, LayoutPageFromTheFrameAndTheScale) {
    if (std::string(SHEETJOB_CCT).empty())
        GTEST_SKIP() << "cct not installed";
    const std::string gk7 = "+proj=tmerc +lat_0=0 +lon_0=39 +k=1 +x_0=7500000 +y_0=0 +ellps=krass";
    const std::string conic = "+proj=lcc +lat_1=52.666666666666664 +lat_2=55.333333333333336 "
                              "+lat_0=54 +lon_0=39 +x_0=0 +y_0=0 +ellps=krass";
    const std::string polarConic = "+proj=lcc +lat_1=80.666666666666671 +lat_2=83.333333333333329 "
                                   "+lat_0=82 +lon_0=48 +x_0=0 +y_0=0 +ellps=krass";
    SheetInfo quadruple = sheetOf(1, 0); // U-37 (4): the sides lean most
    quadruple.name = "U-37,38,39,40";
    quadruple.west = 36, quadruple.east = 60, quadruple.south = 80, quadruple.north = 84;
    const struct {
        const char* name;
        SheetInfo sheet;
        double scale;
        double reach; // mm beyond the trapezium: the outer line's outer edge, or the names
        std::string proj;
        const char* scaleText;
    } cases[] = {
        {"1:200 000", sheetOf(0, 0), 200000, 9.800000190734863 + 6.5 * 25.4 / 72 / 2, gk7,
         "1:200 000"},
        {"1:500 000", sheetOf(0, 1), 500000, 5.2, gk7, "1:500 000"},
        {"1:1 000 000 of a 1:200 000 sheet", sheetOf(0, 2), 1000000, 0, gk7, "1:1 000 000"},
        {"1:1 000 000", sheetOf(1, 0), 1000000, 8.5 + 1.100000023841858 + 0.05, conic,
         "1:1 000 000"},
        {"1:2 500 000", sheetOf(1, 1), 2500000, 5.2, conic, "1:2 500 000"},
        {"1:5 000 000", sheetOf(1, 2), 5000000, 0, conic, "1:5 000 000"},
        {"U-37 (4)", quadruple, 1000000, 8.5 + 1.100000023841858 + 0.05, polarConic, "1:1 000 000"},
    };
    constexpr double kMargin = 10.0;
    constexpr double kPoint = 25.4 / 72;
    constexpr double kInk = 0.6; // mm the page allows around the outline on each side, at most
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PrintPage page = printPage(c.sheet);
        EXPECT_EQ(page.scaleDenominator, c.scale);
        EXPECT_NEAR(page.frameReachMm, c.reach, 1e-9);

        // The frame's outline as the frame builds it, projected by PROJ and turned.
        geometry::Vertices outline;
        frame::outRamkaVertices(c.reach, {c.scale},
                                {c.sheet.west, c.sheet.east, c.sheet.south, c.sheet.north},
                                {0.125, 1.0 / 12}, outline);
        std::ostringstream points;
        points.precision(17);
        for (int i = 0; i < outline.size(); ++i)
            points << outline.x[i] << ' ' << outline.y[i] << " 0 0\n";
        const double r = page.rotation * kDegree;
        double u0 = 1e300, u1 = -1e300, v0 = 1e300, v1 = -1e300;
        for (const auto& [x, y] : cct(c.proj, points.str())) {
            const double u = (x * std::cos(r) + y * std::sin(r)) / c.scale * 1000;
            const double v = (-x * std::sin(r) + y * std::cos(r)) / c.scale * 1000;
            u0 = std::min(u0, u), u1 = std::max(u1, u), v0 = std::min(v0, v), v1 = std::max(v1, v);
        }
        EXPECT_GE(page.frame.width, u1 - u0);
        EXPECT_LE(page.frame.width, u1 - u0 + 2 * kInk);
        EXPECT_GE(page.frame.height, v1 - v0);
        EXPECT_LE(page.frame.height, v1 - v0 + 2 * kInk);

        // Name above, scale and system below, all inside the margins; the page
        // no wider than the frame needs.
        ASSERT_EQ(page.texts.size(), 3u);
        EXPECT_EQ(page.texts[0].text, c.sheet.name);
        EXPECT_EQ(page.texts[1].text, c.scaleText);
        EXPECT_EQ(page.texts[2].text, "Система координат 1942 г.");
        const PageRect& name = page.texts[0].place;
        const PageRect& scale = page.texts[1].place;
        const PageRect& note = page.texts[2].place;
        EXPECT_GE(name.y, kMargin);
        EXPECT_LE(name.y + name.height, page.frame.y);
        EXPECT_GE(scale.y, page.frame.y + page.frame.height);
        EXPECT_GE(note.y, scale.y + scale.height);
        EXPECT_LE(note.y + note.height, page.heightMm - kMargin + 1e-9);
        EXPECT_NEAR(page.frame.x, page.widthMm - page.frame.x - page.frame.width, 1e-9);
        EXPECT_GE(page.frame.x, kMargin);
        EXPECT_LT(page.frame.x, kMargin + kPoint / 2);
        for (const MarginalText& t : page.texts)
            EXPECT_NEAR(t.place.x, kMargin, 1e-9);

        // Whole points, and the map item's extent at exactly the scale.
        EXPECT_NEAR(std::fmod(page.widthMm / kPoint + 0.5, 1.0), 0.5, 1e-6);
        EXPECT_NEAR(std::fmod(page.heightMm / kPoint + 0.5, 1.0), 0.5, 1e-6);
        EXPECT_DOUBLE_EQ(page.extentWidth / page.widthMm * 1000, c.scale);
        EXPECT_DOUBLE_EQ(page.extentHeight / page.heightMm * 1000, c.scale);

        const auto project = parsed(projectText(c.sheet, sheetLayers()));
        const XmlNode* layout = project->child("Layouts")->child("Layout");
        ASSERT_NE(layout, nullptr);
        const XmlNode* pageItem = layout->child("PageCollection")->child("LayoutItem");
        const XmlNode* map = layout->child("LayoutItem");
        ASSERT_TRUE(pageItem && map);
        EXPECT_EQ(pageItem->attr("size"), map->attr("size"));
        const double w = std::stod(pageItem->attr("size"));
        const XmlNode* extent = map->child("Extent");
        const double metres = std::stod(extent->attr("xmax")) - std::stod(extent->attr("xmin"));
        EXPECT_NEAR(metres / w * 1000, c.scale, c.scale * 1e-12);
        EXPECT_EQ(map->child("crs")->child("spatialrefsys")->childText("wkt"),
                  project->child("projectCrs")->child("spatialrefsys")->childText("wkt"));
    }
}

// A sheet whose longitudes pass 180 (written 0..360): QGIS turns the map's
// extent back into the layers' system to ask them for features, and the
// project's operation for that brings it back around the sheet's middle, as
// PROJ computes; a sheet west of 180 needs none.
TEST(QgisFiles, MapExtentTurnsBackIntoTheLayersLongitudes) {
    if (std::string(SHEETJOB_CCT).empty())
        GTEST_SKIP() << "cct not installed";
    const struct {
        const char* name;
        int set;
        double west, east;
    } cases[] = {
        {"N-37-XIV", 0, 37, 38},
        {"N-01-XIV", 0, 181, 182},
        {"N-01-XIII, west edge on 180", 0, 180, 181},
        {"a combined sheet across 360", 1, 354, 366},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SheetInfo sheet = sheetOf(c.set, 0);
        sheet.west = c.west, sheet.east = c.east;
        const PrintPage page = printPage(sheet);
        const auto project = parsed(projectText(sheet, sheetLayers()));
        const XmlNode* layersToMap = nullptr;
        for (const XmlNode* op : project->child("transformContext")->all("srcDest"))
            if (op->child("src")->child("spatialrefsys")->childText("authid") == "EPSG:4284")
                layersToMap = op;
        ASSERT_EQ(layersToMap != nullptr, c.east >= 180);
        if (!layersToMap)
            continue;
        std::ostringstream corners;
        corners.precision(17);
        for (const double dx : {-0.5, 0.5})
            for (const double dy : {-0.5, 0.5})
                corners << page.centre.x + dx * page.extentWidth << ' '
                        << page.centre.y + dy * page.extentHeight << " 0 0\n";
        for (const auto& [lon, lat] : cct(layersToMap->attr("coordinateOp"), corners.str(), true)) {
            EXPECT_GT(lon, c.west - 1) << lat;
            EXPECT_LT(lon, c.east + 1) << lat;
        }
    }
}

} // namespace
} // namespace sheetjob::qgis
