#include "sheetjob/qgis/LayerStyle.h"

#include "sheetjob/frame/FrameDriver.h"
#include "sheetjob/frame/FrameGeometry.h"
#include "sheetjob/frame/OuterFrame.h"
#include "sheetjob/layers/HypsA.h"
#include "sheetjob/layers/HypsL.h"

#include "sheetjob/qgis/MapProjection.h"
#include "sheetjob/qgis/Symbology.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace sheetjob::qgis {

namespace {

// The "L_code"s of the graticule lines are HypsL's own.
using layers::kArcticCircleCode;
using layers::kMeridianCode;
using layers::kOutlineCode;
using layers::kParallelCode;

// A graticule point this close to an edge lies on it, degrees (0.36", about
// 10 m: the datum shift moves the corners of a sheet apart by far less).
constexpr double kEdgeTolerance = 1e-4;
// Latitude spacing of the graticule points (HypsP): 5' on a 1:200 000 sheet, 10' on a 1:1 000 000
// sheet.
constexpr double kPointSpacing200k = 5.0 / 60;
constexpr double kPointSpacing1M = 10.0 / 60;
// Longitude extent of a sub-sheet: 15' for 1:50 000, 7'30" for 1:25 000.
constexpr double kSubSheet50kWidth = 15.0 / 60;
constexpr double kSubSheet25kWidth = 7.5 / 60;
// A 1:50 000 sheet's name lies a quarter of the sheet's width east of its
// west edge (the middle of its north-western 1:25 000 sheet) and an eighth of
// its height south of its north edge (halfway to that sheet's own name).
constexpr double kNameQuarterShare = 0.25;
// Characters of a sub-sheet name, "N-37-51-А" and "N-37-51-А-в".
constexpr int kSubSheet50kNameChars = 9;
constexpr int kSubSheet25kNameChars = 11;

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kMillimetresPerMetre = 1000.0;
constexpr double kMillimetresPerKilometre = 1000000.0;
// QGIS measures a label with its own font metrics, which differ a little from
// the metric table that sized the label line. A label a little longer than its
// line is still set at its anchor only when it may run past the line's end;
// otherwise QGIS moves it elsewhere along the line.
constexpr double kLabelOverrunMm = 5.0;
constexpr int kTopPriority = 10; // QGIS's highest label priority
// A neighbour name's gap in the outer line leaves half its clearance free
// before the name.
constexpr double kNameClearanceMm = frame::kGapClearance / 2;

// QGIS's codes (QgsPalLayerSettings, QgsLabeling).
constexpr int kPlaceOverPoint = 1;      // a polygon's label over its centroid
constexpr int kPlaceAlongLine = 2;      // "parallel" placement along a line
constexpr int kOnLine = 1;              // LinePlacementFlag: centred on the line
constexpr int kStrictAnchor = 1;        // lineAnchorType: exactly at the anchor
constexpr int kCentreQuadrant = 4;      // quadOffset: centred on the point
constexpr int kShowAllOrientations = 2; // upsidedownLabels: follow the line's direction
constexpr int kValueProperty = 1;       // data-defined property of a fixed value
constexpr int kFieldProperty = 2;       // data-defined property from a field
constexpr int kExpressionProperty = 3;  // data-defined property from an expression
constexpr int kNormalWeight = 50;       // QFont::Normal
constexpr int kBoldWeight = 75;         // QFont::Bold

using Options = std::vector<std::pair<std::string, std::string>>;

XmlElement option(const std::string& name, const std::string& type, const std::string& value) {
    XmlElement e("Option");
    e.set("name", name).set("type", type).set("value", value);
    return e;
}

/// <Option type="Map"> of string values, as symbol layers keep their properties.
XmlElement optionMap(const Options& values) {
    XmlElement map("Option");
    map.set("type", "Map");
    for (const auto& [name, value] : values)
        map.add(option(name, "QString", value));
    return map;
}

std::string mm(double value) { return formatNumber(value); }

XmlElement symbolLayer(const std::string& cls, const Options& values) {
    XmlElement layer("layer");
    layer.set("class", cls).set("enabled", "1").set("pass", "0").set("locked", "0");
    layer.add(optionMap(values));
    return layer;
}

XmlElement symbol(const std::string& name, const std::string& type, XmlElement layer) {
    XmlElement s("symbol");
    s.set("name", name).set("type", type).set("alpha", "1").set("clip_to_extent", "1");
    s.set("force_rhr", "0");
    s.add(std::move(layer));
    return s;
}

struct Stroke {
    std::string colour = kBlack;
    double width = kHairlineMm;
    std::string unit = "MM";
    double dash = 0.0; ///< mm; 0 draws a solid line
    double gap = 0.0;
};

XmlElement lineLayer(const Stroke& s) {
    Options o = {{"line_color", s.colour}, {"line_width", mm(s.width)}, {"line_width_unit", s.unit},
                 {"line_style", "solid"},  {"capstyle", "flat"},        {"joinstyle", "miter"},
                 {"offset", "0"},          {"draw_inside_polygon", "0"}};
    if (s.dash > 0) {
        o.emplace_back("use_custom_dash", "1");
        o.emplace_back("customdash", mm(s.dash) + ";" + mm(s.gap));
        o.emplace_back("customdash_unit", "MM");
    }
    return symbolLayer("SimpleLine", o);
}

XmlElement lineSymbol(const std::string& name, const Stroke& s) {
    return symbol(name, "line", lineLayer(s));
}

/// A polygon drawn as its outline only: no fill hides what lies below.
XmlElement outlineSymbol(const std::string& name, const Stroke& s) {
    return symbol(name, "fill", lineLayer(s));
}

XmlElement crossSymbol(const std::string& name, double size) {
    return symbol(name, "marker",
                  symbolLayer("SimpleMarker", {{"name", "cross"},
                                               {"size", mm(size)},
                                               {"size_unit", "MM"},
                                               {"color", kBlack},
                                               {"outline_color", kBlack},
                                               {"outline_style", "solid"},
                                               {"outline_width", mm(kHairlineMm)},
                                               {"outline_width_unit", "MM"},
                                               {"angle", "0"}}));
}

XmlElement singleSymbolRenderer(XmlElement sym) {
    XmlElement r("renderer-v2");
    r.set("type", "singleSymbol").set("forceraster", "0").set("symbollevels", "0");
    r.set("enableorderby", "0");
    r.add("symbols").add(std::move(sym));
    return r;
}

struct Rule {
    std::string label;
    std::string filter;
    XmlElement symbol{"symbol"}; ///< its name is set from the rule's number
    bool hasSymbol = true;
    std::vector<Rule> children;
};

Rule makeRule(std::string label, std::string filter, XmlElement sym) {
    Rule r;
    r.label = std::move(label);
    r.filter = std::move(filter);
    r.symbol = std::move(sym);
    return r;
}

void addRules(XmlElement& parent, std::vector<Rule>& rules, XmlElement& symbols, int& next,
              const std::string& keyPrefix) {
    for (Rule& rule : rules) {
        const int number = next++;
        XmlElement& e = parent.add("rule");
        e.set("key", keyPrefix + std::to_string(number)).set("label", rule.label);
        e.set("filter", rule.filter);
        if (rule.hasSymbol) {
            const std::string name = std::to_string(symbols.children().size());
            e.set("symbol", name);
            symbols.add(std::move(rule.symbol.set("name", name)));
        }
        addRules(e, rule.children, symbols, next, keyPrefix);
    }
}

XmlElement ruleRenderer(std::vector<Rule> rules, const std::string& keyPrefix) {
    XmlElement r("renderer-v2");
    r.set("type", "RuleRenderer").set("forceraster", "0").set("symbollevels", "0");
    r.set("enableorderby", "0");
    XmlElement& root = r.add("rules");
    root.set("key", keyPrefix + "root");
    XmlElement symbols("symbols");
    int next = 0;
    addRules(root, rules, symbols, next, keyPrefix);
    r.add(std::move(symbols));
    return r;
}

std::string codeFilter(int code) { return "\"L_code\" = " + std::to_string(code); }

/// "Id" IN (...) for the records of `kind` (Id = position + 1), or "" when there are none.
std::string idFilter(const std::vector<frame::FrameRecordKind>& kinds,
                     frame::FrameRecordKind kind) {
    std::string list;
    for (size_t i = 0; i < kinds.size(); ++i) {
        if (kinds[i] != kind)
            continue;
        if (!list.empty())
            list += ',';
        list += std::to_string(i + 1);
    }
    return list.empty() ? "" : "\"Id\" IN (" + list + ")";
}

// -- labels ------------------------------------------------------------------

struct TextStyle {
    std::string face;
    double sizePt = 0.0;
    int weight = kNormalWeight;
    std::string field;
    bool buffer = false;
};

XmlElement textStyle(const TextStyle& t) {
    XmlElement e("text-style");
    e.set("fontFamily", t.face).set("namedStyle", "").set("fieldName", t.field);
    e.set("isExpression", "0").set("fontSize", t.sizePt).set("fontSizeUnit", "Point");
    e.set("fontWeight", t.weight).set("fontItalic", "0").set("fontKerning", "1");
    e.set("textColor", kBlack).set("textOpacity", "1").set("allowHtml", "0");
    e.set("multilineHeight", "1").set("capitalization", "0").set("blendMode", "0");
    e.set("textOrientation", "horizontal");
    XmlElement& b = e.add("text-buffer");
    b.set("bufferDraw", t.buffer ? "1" : "0").set("bufferSize", kNameBufferMm);
    b.set("bufferSizeUnits", "MM").set("bufferColor", kWhite).set("bufferOpacity", "1");
    b.set("bufferNoFill", "1").set("bufferJoinStyle", "128");
    return e;
}

/// The data-defined properties of a label: the font family from the "Font"
/// field and the size in points from the "Size" field (a family that is not
/// installed leaves the text style's face, the stand-in), and where given the
/// expression of the label's start along its line.
XmlElement labelProperties(const std::string& anchorExpression) {
    XmlElement dd("dd_properties");
    XmlElement& c = dd.add("Option");
    c.set("type", "Map");
    c.add(option("name", "QString", ""));
    XmlElement& props = c.add("Option");
    props.set("name", "properties").set("type", "Map");
    XmlElement& family = props.add("Option");
    family.set("name", "Family").set("type", "Map");
    family.add(option("active", "bool", "true"));
    family.add(option("field", "QString", "Font"));
    family.add(option("type", "int", std::to_string(kFieldProperty)));
    XmlElement& size = props.add("Option");
    size.set("name", "Size").set("type", "Map");
    size.add(option("active", "bool", "true"));
    size.add(option("expression", "QString", "to_real(\"Size\")"));
    size.add(option("type", "int", std::to_string(kExpressionProperty)));
    if (!anchorExpression.empty()) {
        XmlElement& anchor = props.add("Option");
        anchor.set("name", "LineAnchorPercent").set("type", "Map");
        anchor.add(option("active", "bool", "true"));
        anchor.add(option("expression", "QString", anchorExpression));
        anchor.add(option("type", "int", std::to_string(kExpressionProperty)));
    }
    c.add(option("type", "QString", "collection"));
    return dd;
}

XmlElement rendering() {
    XmlElement r("rendering");
    // Every label shown, none an obstacle to another: the frame designed
    // their places, and a label left out would be a gap in the frame.
    r.set("drawLabels", "1").set("displayAll", "1").set("obstacle", "0");
    r.set("upsidedownLabels", kShowAllOrientations).set("scaleVisibility", "0");
    r.set("fontLimitPixelSize", "0").set("mergeLines", "0").set("labelPerPart", "0");
    r.set("limitNumLabels", "0").set("zIndex", "0").set("unplacedVisibility", "0");
    return r;
}

/// A frame label: the record's text on its label line, in the record's font
/// (or the stand-in face) and size. The labels are laid out to begin where
/// their line begins (the value labels) or a clearance after it (the names).
/// QGIS 3.22 starts a strictly anchored label at the anchor (and moves it back
/// only when it would pass the line's end), so the anchor is the line's start
/// or, for the names, `anchorExpression`.
XmlElement frameLabelSettings(const std::string& face, double sizePt,
                              const std::string& anchorExpression) {
    XmlElement s("settings");
    s.set("calloutType", "simple");
    s.add(textStyle({face, sizePt, kNormalWeight, "Text", false}));
    XmlElement& p = s.add("placement");
    p.set("placement", kPlaceAlongLine).set("placementFlags", kOnLine);
    p.set("dist", "0").set("distUnits", "MM").set("offsetType", "0");
    p.set("lineAnchorPercent", "0").set("lineAnchorType", kStrictAnchor);
    p.set("lineAnchorClipping", "0");
    p.set("overrunDistance", kLabelOverrunMm).set("overrunDistanceUnit", "MM");
    p.set("priority", kTopPriority).set("repeatDistance", "0");
    s.add(rendering());
    s.add(labelProperties(anchorExpression));
    return s;
}

/// The share of a neighbour name's line before the name begins: the clearance
/// in degrees (along a parallel for the north and south names, a meridian for
/// the west and east ones, as the frame turns millimetres into degrees) over
/// the line's length in degrees.
std::string nameAnchorExpression(double scaleDenominator) {
    const double degreesPerMm = kNameClearanceMm * scaleDenominator / kMillimetresPerKilometre /
                                frame::kEarthRadius / kDegree;
    const std::string a = "start_point($geometry)", b = "end_point($geometry)";
    return "with_variable('along_parallel', abs(x(" + b + ") - x(" + a + ")) >= abs(y(" + b +
           ") - y(" + a + ")), " + formatNumber(degreesPerMm) +
           " / if(@along_parallel, cos(radians(y(" + a + "))), 1) / length($geometry))";
}

XmlElement frameLabeling(const std::string& keyPrefix, double defaultSizePt,
                         const std::string& anchorExpression) {
    XmlElement l("labeling");
    l.set("type", "rule-based");
    XmlElement& root = l.add("rules");
    root.set("key", keyPrefix + "labels");
    int n = 0;
    for (int font = 1; font <= frame::kFontCount; ++font) {
        const std::string& name = frame::fontName(font);
        XmlElement& rule = root.add("rule");
        rule.set("key", keyPrefix + "label" + std::to_string(n++)).set("description", name);
        rule.set("filter", "\"Font\" = '" + name + "'");
        rule.add(frameLabelSettings(standInFace(name), defaultSizePt, anchorExpression));
    }
    XmlElement& other = root.add("rule");
    other.set("key", keyPrefix + "label" + std::to_string(n)).set("description", "other fonts");
    other.set("filter", "ELSE");
    other.add(frameLabelSettings(standInFace(frame::fontName(1)), defaultSizePt, anchorExpression));
    return l;
}

/// A data-defined label property: an expression, or a value where `isValue`.
XmlElement& definedProperty(XmlElement& properties, const std::string& name,
                            const std::string& text, bool isValue) {
    XmlElement& p = properties.add("Option");
    p.set("name", name).set("type", "Map");
    p.add(option("active", "bool", "true"));
    p.add(option(isValue ? "val" : "expression", "QString", text));
    p.add(option("type", "int", std::to_string(isValue ? kValueProperty : kExpressionProperty)));
    return p;
}

/// A sheet's name over its middle, or, for a 1:50 000 sheet, in the middle of
/// its north-western quarter (its 1:25 000 sheet "а") between that sheet's own
/// name and the north edge: the middle of a 1:50 000 sheet is the crossing of
/// its 1:25 000 sheets' edges, where the lines would strike the name through.
XmlElement nameLabeling(const TextStyle& t, bool inNorthWestQuarter) {
    XmlElement l("labeling");
    l.set("type", "simple");
    XmlElement& s = l.add("settings");
    s.set("calloutType", "simple");
    s.add(textStyle(t));
    XmlElement& p = s.add("placement");
    p.set("placement", kPlaceOverPoint).set("quadOffset", kCentreQuadrant);
    p.set("centroidInside", "1").set("centroidWhole", "0").set("dist", "0");
    p.set("xOffset", "0").set("yOffset", "0").set("offsetType", "0");
    p.set("priority", kTopPriority);
    s.add(rendering());
    if (inNorthWestQuarter) {
        XmlElement& dd = s.add("dd_properties");
        XmlElement& c = dd.add("Option");
        c.set("type", "Map");
        c.add(option("name", "QString", ""));
        XmlElement& props = c.add("Option");
        props.set("name", "properties").set("type", "Map");
        const std::string share = formatNumber(kNameQuarterShare);
        definedProperty(props, "PositionX",
                        "x_min($geometry) + (x_max($geometry) - x_min($geometry)) * " + share,
                        false);
        definedProperty(props, "PositionY",
                        "y_max($geometry) - (y_max($geometry) - y_min($geometry)) * " +
                            formatNumber(kNameQuarterShare / 2),
                        false);
        definedProperty(props, "Hali", "Center", true);
        definedProperty(props, "Vali", "Half", true);
        c.add(option("type", "QString", "collection"));
    }
    return l;
}

// -- per layer -----------------------------------------------------------------

double mapMm(const SheetInfo& sheet, double degreesOfArc, double latitude) {
    const GeographicSystem g = geographicSystem(sheet.coordSystem);
    const double scale = sheet.layout.scaleDenominator > 0 ? sheet.layout.scaleDenominator : 1.0;
    return degreesOfArc * kDegree * g.a * std::cos(latitude * kDegree) * kMillimetresPerMetre /
           scale;
}

StyleBody sheetPolygon() {
    StyleBody b;
    b.elements.push_back(singleSymbolRenderer(outlineSymbol("0", {kBlack, kInnerFrameMm})));
    return b;
}

StyleBody graticuleLines() {
    std::vector<Rule> rules;
    rules.push_back(makeRule("Рамка трапеции", codeFilter(kOutlineCode),
                             lineSymbol("", {kBlack, kInnerFrameMm})));
    rules.push_back(makeRule("Параллели", codeFilter(kParallelCode), lineSymbol("", {})));
    rules.push_back(makeRule("Меридианы", codeFilter(kMeridianCode), lineSymbol("", {})));
    Stroke arctic{kBlack, kArcticCircleMm, "MM", kArcticDashMm, kArcticGapMm};
    rules.push_back(
        makeRule("Северный полярный круг", codeFilter(kArcticCircleCode), lineSymbol("", arctic)));
    StyleBody b;
    b.elements.push_back(ruleRenderer(std::move(rules), std::string(layers::kHypsL)));
    return b;
}

StyleBody graticulePoints(const SheetInfo& sheet) {
    const double spacing = sheet.setScale == 0 ? kPointSpacing200k : kPointSpacing1M;
    // A latitude step is as long on the map at any latitude.
    const double cross =
        std::clamp(kCrossSpacingShare * mapMm(sheet, spacing, 0.0), kCrossMinMm, kCrossMaxMm);
    // Only the points inside the sheet: on its edges the frame marks the
    // graticule, and a cross there would cut into a minute scale on the edge.
    const std::string inside =
        "x($geometry) > " + formatNumber(std::min(sheet.west, sheet.east) + kEdgeTolerance) +
        " AND x($geometry) < " + formatNumber(std::max(sheet.west, sheet.east) - kEdgeTolerance) +
        " AND y($geometry) > " + formatNumber(std::min(sheet.south, sheet.north) + kEdgeTolerance) +
        " AND y($geometry) < " + formatNumber(std::max(sheet.south, sheet.north) - kEdgeTolerance);
    std::vector<Rule> rules;
    rules.push_back(makeRule("Узлы сетки внутри листа", inside, crossSymbol("", cross)));
    StyleBody b;
    b.elements.push_back(ruleRenderer(std::move(rules), std::string(layers::kHypsP)));
    return b;
}

StyleBody frameLines(const SheetInfo& sheet, const LayerInfo& layer) {
    using K = frame::FrameRecordKind;
    const frame::FrameLayout& L = sheet.layout;
    const auto& kinds = layer.recordKinds;
    std::vector<Rule> rules;

    if (L.minuteFrameOn) {
        // The minute frame's lines, ticks and fills share one code: the fills
        // and lines are told by their ids, the rest are ticks. A fill is the
        // strip's centre line drawn as wide as the strip, in ground metres so
        // that it fills the strip at any zoom.
        Rule minute;
        minute.label = "Минутная рамка";
        minute.filter = codeFilter(L.minuteLineCode);
        minute.hasSymbol = false;
        const double stripMetres = L.minuteFrameWidth * L.scaleDenominator / kMillimetresPerMetre;
        if (const std::string f = idFilter(kinds, K::MinuteFill); !f.empty())
            minute.children.push_back(
                makeRule("Залитые деления", f,
                         lineSymbol("", {kBlack, stripMetres, "RenderMetersInMapUnits"})));
        if (const std::string f = idFilter(kinds, K::MinuteLine); !f.empty())
            minute.children.push_back(makeRule("Линии минутной рамки", f, lineSymbol("", {})));
        minute.children.push_back(makeRule("Деления", "ELSE", lineSymbol("", {})));
        rules.push_back(std::move(minute));
    }
    if (L.outerFrameKind != 0)
        rules.push_back(makeRule("Внешняя рамка", codeFilter(L.outerFrameCode),
                                 lineSymbol("", {kBlack, outerLineWidthMm(L)})));
    if (L.outerFrameKind == 2)
        rules.push_back(makeRule("Боковые линии внешней рамки", codeFilter(L.outerSideCode),
                                 lineSymbol("", {kBlack, kOuterSideLineMm})));
    if (L.outletsOn) {
        rules.push_back(
            makeRule("Выходы меридианов", codeFilter(L.meridianOutletCode), lineSymbol("", {})));
        rules.push_back(
            makeRule("Выходы параллелей", codeFilter(L.parallelOutletCode), lineSymbol("", {})));
    }
    StyleBody b;
    b.elements.push_back(
        ruleRenderer(std::move(rules), std::string(frame::kFrameLayerNames[frame::kFrameLayer])));
    return b;
}

StyleBody frameLabels(const SheetInfo& sheet, LayerKind kind) {
    const frame::FrameLayout& L = sheet.layout;
    const double size = kind == LayerKind::NeighbourNames ? L.adjacentSize : L.digitSize;
    StyleBody b;
    XmlElement none("renderer-v2");
    none.set("type", "nullSymbol"); // the label lines only carry the labels
    b.elements.push_back(std::move(none));
    const bool names = kind == LayerKind::NeighbourNames;
    b.elements.push_back(frameLabeling(
        std::string(frame::kFrameLayerNames[names ? frame::kFrameAdjLayer : frame::kFrameDigLayer]),
        size, names ? nameAnchorExpression(L.scaleDenominator) : ""));
    b.labelsEnabled = true;
    return b;
}

StyleBody subSheet(const SheetInfo& sheet, LayerKind kind) {
    const bool is50k = kind == LayerKind::SubSheet50k;
    const Stroke stroke =
        is50k ? Stroke{kSubSheet50kColour, kSubSheet50kMm}
              : Stroke{kSubSheet25kColour, kSubSheet25kMm, "MM", kSubSheetDashMm, kSubSheetGapMm};
    // The name fits into half its sheet's width at the map's scale.
    const double widthMm = mapMm(sheet, is50k ? kSubSheet50kWidth : kSubSheet25kWidth,
                                 (sheet.south + sheet.north) / 2);
    const int chars = is50k ? kSubSheet50kNameChars : kSubSheet25kNameChars;
    const double fitting = kSubSheetNameShare * widthMm / (chars * kEmWidthShare * kPointMm);
    const double size = std::min(is50k ? kSubSheet50kNamePt : kSubSheet25kNamePt, fitting);
    TextStyle t{standInFace(frame::fontName(1)), size, is50k ? kBoldWeight : kNormalWeight, "Name",
                true};
    StyleBody b;
    b.elements.push_back(singleSymbolRenderer(outlineSymbol("0", stroke)));
    b.elements.push_back(nameLabeling(t, is50k));
    b.labelsEnabled = true;
    return b;
}

} // namespace

std::string standInFace(const std::string& fontName) {
    // The faces the metric table takes its other rows from (tools/fontmetrics/generate.py).
    static const std::array<std::pair<const char*, const char*>, frame::kFontCount> faces = {{
        {"PragmaticaC", "PT Sans"},
        {"FreeSet", "PT Sans"},
        {"AGCenturion", "FreeSerif"},
    }};
    for (const auto& [name, face] : faces)
        if (fontName == name)
            return face;
    return "";
}

const char* geometryName(LayerKind kind) {
    switch (kind) {
    case LayerKind::SheetPolygon:
    case LayerKind::SubSheet50k:
    case LayerKind::SubSheet25k:
        return "Polygon";
    case LayerKind::GraticulePoints:
        return "Point";
    default:
        return "Line";
    }
}

StyleBody styleBody(const SheetInfo& sheet, const LayerInfo& layer) {
    StyleBody b;
    switch (layer.kind) {
    case LayerKind::SheetPolygon:
        b = sheetPolygon();
        break;
    case LayerKind::GraticuleLines:
        b = graticuleLines();
        break;
    case LayerKind::GraticulePoints:
        b = graticulePoints(sheet);
        break;
    case LayerKind::Frame:
        b = frameLines(sheet, layer);
        break;
    case LayerKind::NeighbourNames:
    case LayerKind::ValueLabels:
        b = frameLabels(sheet, layer.kind);
        break;
    case LayerKind::SubSheet50k:
    case LayerKind::SubSheet25k:
        b = subSheet(sheet, layer.kind);
        break;
    }
    XmlElement blend("blendMode");
    blend.text("0");
    b.elements.push_back(std::move(blend));
    XmlElement opacity("layerOpacity");
    opacity.text("1");
    b.elements.push_back(std::move(opacity));
    return b;
}

} // namespace sheetjob::qgis
