#include "sheetjob/qgis/QgisFiles.h"

#include "sheetjob/qgis/CoordinateOperations.h"
#include "sheetjob/qgis/LayerStyle.h"
#include "sheetjob/qgis/PrintLayout.h"
#include "sheetjob/qgis/Xml.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <utility>

namespace sheetjob::qgis {

namespace {

// QGIS's item types (QgsLayoutItemRegistry): a page, a map and a label.
constexpr int kLayoutPageType = 65638;
constexpr int kLayoutMapType = 65639;
constexpr int kLayoutLabelType = 65641;
constexpr int kAlignHCenter = 0x4;  // Qt::AlignHCenter
constexpr int kAlignVCenter = 0x80; // Qt::AlignVCenter
// QFont's description of a face: family, size in points, then no pixel size
// and any style hint, the weight (QFont::Normal, QFont::Bold), then upright,
// not underlined, not struck out, not fixed pitch, not raw.
constexpr const char* kFontSizeTail = ",-1,5,";
constexpr const char* kRegularWeight = "50";
constexpr const char* kBoldWeight = "75";
constexpr const char* kFontDescriptionTail = ",0,0,0,0,0";
constexpr int kPrintResolutionDpi = 300; // raster exports of the layout
// Fixed item ids: a project has one layout with one page, one map and the
// marginal text (the last digits count the text's lines).
constexpr const char* kPageUuid = "{5e3f0d4e-0b1a-4c57-9d0e-000000000001}";
constexpr const char* kMapUuid = "{5e3f0d4e-0b1a-4c57-9d0e-000000000002}";
constexpr const char* kLabelUuidStem = "{5e3f0d4e-0b1a-4c57-9d0e-0000000001";
constexpr const char* kMapItemId = "Лист"; // the map item's name in the layout
// The marginal text's items, in the order of PrintPage::texts.
constexpr std::array<const char*, 3> kLabelItemIds = {"Номенклатура", "Масштаб",
                                                      "Система координат"};

/// Order of the folders as layer groups, topmost first: the frame over the
/// sub-sheet frames over the sheet.
int groupRank(LayerKind kind) {
    switch (kind) {
    case LayerKind::Frame:
    case LayerKind::NeighbourNames:
    case LayerKind::ValueLabels:
        return 0;
    case LayerKind::SubSheet50k:
        return 1;
    case LayerKind::SubSheet25k:
        return 2;
    default:
        return 3;
    }
}

/// Drawing order inside a group, topmost first: labels over lines over areas.
int stackRank(LayerKind kind) {
    switch (kind) {
    case LayerKind::ValueLabels:
        return 0;
    case LayerKind::NeighbourNames:
        return 1;
    case LayerKind::Frame:
        return 2;
    case LayerKind::GraticulePoints:
        return 3;
    case LayerKind::GraticuleLines:
        return 4;
    default:
        return 5;
    }
}

/// The layers the layout prints: the finished sheet frame. The graticule
/// points and the sub-sheet frames are working layers for the screen.
bool printed(LayerKind kind) {
    return kind != LayerKind::GraticulePoints && kind != LayerKind::SubSheet50k &&
           kind != LayerKind::SubSheet25k;
}

/// A layer's id in the project. QGIS keeps a stored id only when it is longer
/// than ten characters (and makes up a new one otherwise, which breaks the
/// layer tree's references), hence the prefix.
std::string layerId(const LayerInfo& layer) {
    return "sheetjob_" + layer.folder + "_" + layer.baseName;
}

std::string layerSource(const LayerInfo& layer) {
    return "./" + layer.folder + "/" + layer.baseName + ".shp";
}

XmlElement textElement(const std::string& name, const std::string& value) {
    XmlElement e(name);
    e.text(value);
    return e;
}

XmlElement spatialRefSys(const SpatialReference& r) {
    XmlElement s("spatialrefsys");
    s.add(textElement("wkt", r.wkt));
    if (r.epsg != 0)
        s.add(textElement("authid", "EPSG:" + std::to_string(r.epsg)));
    s.add(textElement("description", r.description));
    s.add(textElement("projectionacronym", r.projectionAcronym));
    s.add(textElement("ellipsoidacronym", r.ellipsoidAcronym));
    s.add(textElement("geographicflag", r.geographic ? "true" : "false"));
    return s;
}

XmlElement projectedSrs(const MapCrs& c) { return spatialRefSys(spatialReference(c)); }

XmlElement geographicSrs(const GeographicSystem& g) { return spatialRefSys(spatialReference(g)); }

/// The operations QGIS is to take between the systems, so that it neither
/// asks the user for one nor misses the features of a sheet east of 180.
XmlElement transformContext(const SheetInfo& sheet, const MapCrs& map) {
    XmlElement context("transformContext");
    for (const CoordinateOperation& op : coordinateOperations(sheet, map)) {
        XmlElement& entry = context.add("srcDest");
        entry.set("coordinateOp", op.pipeline).set("allowFallback", "1");
        entry.add("src").add(spatialRefSys(op.source));
        entry.add("dest").add(spatialRefSys(op.target));
    }
    return context;
}

XmlElement extentElement(const PrintPage& page) {
    XmlElement e("extent");
    e.add(textElement("xmin", formatNumber(page.centre.x - page.extentWidth / 2)));
    e.add(textElement("ymin", formatNumber(page.centre.y - page.extentHeight / 2)));
    e.add(textElement("xmax", formatNumber(page.centre.x + page.extentWidth / 2)));
    e.add(textElement("ymax", formatNumber(page.centre.y + page.extentHeight / 2)));
    return e;
}

using SharedElements = std::shared_ptr<const std::vector<XmlElement>>;

XmlElement mapLayer(const LayerInfo& layer, const SharedElements& srs, bool labelsEnabled,
                    SharedElements style) {
    XmlElement m("maplayer");
    m.set("type", "vector").set("geometry", geometryName(layer.kind));
    m.set("labelsEnabled", labelsEnabled ? "1" : "0");
    m.set("styleCategories", "AllStyleCategories").set("hasScaleBasedVisibilityFlag", "0");
    m.set("minScale", "0").set("maxScale", "0");
    m.add(textElement("id", layerId(layer)));
    m.add(textElement("datasource", layerSource(layer)));
    m.add(textElement("layername", layer.baseName));
    m.add("srs").addShared(srs);
    // The attribute tables are Windows-1251, as their .cpg files say.
    m.add(textElement("provider", "ogr")).set("encoding", "windows-1251");
    m.addShared(std::move(style));
    return m;
}

/// The layers grouped by folder as the layer tree shows them: the frame's
/// folder over the sub-sheet folders over the sheet's; inside a group the
/// topmost first.
std::vector<std::pair<std::string, std::vector<const LayerInfo*>>>
groupsOf(const std::vector<LayerInfo>& layers) {
    std::vector<std::string> folders;
    for (const LayerInfo& l : layers)
        if (std::find(folders.begin(), folders.end(), l.folder) == folders.end())
            folders.push_back(l.folder);
    std::vector<std::pair<std::string, std::vector<const LayerInfo*>>> groups;
    for (const std::string& folder : folders) {
        std::vector<const LayerInfo*> members;
        for (const LayerInfo& l : layers)
            if (l.folder == folder)
                members.push_back(&l);
        std::stable_sort(members.begin(), members.end(),
                         [](const LayerInfo* a, const LayerInfo* b) {
                             return stackRank(a->kind) < stackRank(b->kind);
                         });
        groups.emplace_back(folder, std::move(members));
    }
    std::stable_sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) {
        return groupRank(a.second.front()->kind) < groupRank(b.second.front()->kind);
    });
    return groups;
}

XmlElement layerTree(const std::vector<LayerInfo>& layers) {
    XmlElement tree("layer-tree-group");
    for (const auto& [folder, members] : groupsOf(layers)) {
        // The many sub-sheet layers stay folded away.
        const bool subSheets = members.front()->kind == LayerKind::SubSheet50k ||
                               members.front()->kind == LayerKind::SubSheet25k;
        XmlElement& group = tree.add("layer-tree-group");
        group.set("name", folder).set("checked", "Qt::Checked");
        group.set("expanded", subSheets ? "0" : "1");
        for (const LayerInfo* l : members) {
            XmlElement& node = group.add("layer-tree-layer");
            node.set("id", layerId(*l)).set("name", l->baseName).set("source", layerSource(*l));
            node.set("providerKey", "ogr").set("checked", "Qt::Checked").set("expanded", "0");
        }
    }
    return tree;
}

std::string mmSize(double w, double h) { return formatNumber(w) + "," + formatNumber(h) + ",mm"; }

/// The common attributes of a layout item of `type` placed at `rect`.
XmlElement& layoutItem(XmlElement& parent, int type, const std::string& uuid, const std::string& id,
                       const PageRect& rect, int z) {
    XmlElement& item = parent.add("LayoutItem");
    const std::string position = mmSize(rect.x, rect.y);
    item.set("type", type).set("uuid", uuid).set("templateUuid", uuid).set("id", id);
    item.set("position", position).set("positionOnPage", position);
    item.set("size", mmSize(rect.width, rect.height)).set("itemRotation", "0");
    item.set("zValue", z).set("visibility", "1").set("background", "false").set("frame", "false");
    item.set("positionLock", "false").set("opacity", "1").set("blendMode", "0");
    item.set("excludeFromExports", "0").set("referencePoint", "0");
    return item;
}

XmlElement layoutElement(const SheetInfo& sheet, const PrintPage& page,
                         const std::vector<LayerInfo>& layers) {
    XmlElement layout("Layout");
    layout.set("name", sheet.name).set("units", "mm").set("printResolution", kPrintResolutionDpi);
    layout.set("worldFileMap", "");
    const PageRect whole{0, 0, page.widthMm, page.heightMm};
    XmlElement& pages = layout.add("PageCollection");
    layoutItem(pages, kLayoutPageType, kPageUuid, "", whole, 0).set("background", "true");
    pages.add("GuideCollection").set("visible", "1");

    XmlElement& map = layoutItem(layout, kLayoutMapType, kMapUuid, kMapItemId, whole, 1);
    map.set("positionLock", "true");
    // The map prints its own set of layers: the finished sheet, in the order
    // of the layer tree (the first on top).
    map.set("mapRotation", page.rotation).set("keepLayerSet", "true");
    map.set("drawCanvasItems", "false").set("mapFlags", "0").set("labelMargin", "0,mm");
    map.set("followPreset", "false").set("followPresetName", "").set("isTemporal", "0");
    XmlElement& extent = map.add("Extent");
    extent.set("xmin", page.centre.x - page.extentWidth / 2);
    extent.set("ymin", page.centre.y - page.extentHeight / 2);
    extent.set("xmax", page.centre.x + page.extentWidth / 2);
    extent.set("ymax", page.centre.y + page.extentHeight / 2);
    map.add("crs").add(projectedSrs(page.crs));
    XmlElement& layerSet = map.add("LayerSet");
    for (const auto& [folder, members] : groupsOf(layers)) {
        for (const LayerInfo* l : members) {
            if (!printed(l->kind))
                continue;
            XmlElement& entry = layerSet.add("Layer");
            entry.set("source", layerSource(*l)).set("name", l->baseName).set("provider", "ogr");
            entry.text(layerId(*l));
        }
    }

    for (std::size_t i = 0; i < page.texts.size() && i < kLabelItemIds.size(); ++i) {
        const MarginalText& t = page.texts[i];
        XmlElement& label =
            layoutItem(layout, kLayoutLabelType, kLabelUuidStem + std::to_string(i + 10) + "}",
                       kLabelItemIds[i], t.place, static_cast<int>(i) + 2);
        label.set("labelText", t.text).set("htmlState", "0").set("marginX", "0");
        label.set("marginY", "0").set("halign", kAlignHCenter).set("valign", kAlignVCenter);
        label.add("LabelFont")
            .set("description", t.face + "," + formatNumber(t.sizePt) + kFontSizeTail +
                                    (t.bold ? kBoldWeight : kRegularWeight) + kFontDescriptionTail)
            .set("style", "");
        label.add("FontColor")
            .set("red", "0")
            .set("green", "0")
            .set("blue", "0")
            .set("alpha", "255");
    }
    return layout;
}

XmlElement typedProperty(const std::string& name, const std::string& type,
                         const std::string& value) {
    XmlElement e(name);
    e.set("type", type).text(value);
    return e;
}

} // namespace

std::string layerStyle(const SheetInfo& sheet, const LayerInfo& layer) {
    const StyleBody body = styleBody(sheet, layer);
    XmlElement root("qgis");
    root.set("version", kQgisVersion).set("styleCategories", "AllStyleCategories");
    root.set("labelsEnabled", body.labelsEnabled ? "1" : "0");
    for (const XmlElement& e : body.elements)
        root.add(e);
    return std::string(kQgisDoctype) + "\n" + root.write();
}

std::string projectFileName(const SheetInfo& sheet) { return sheet.name + ".qgs"; }

std::string projectText(const SheetInfo& sheet, const std::vector<LayerInfo>& layers) {
    const PrintPage page = printPage(sheet);

    XmlElement root("qgis");
    root.set("version", kQgisVersion).set("projectname", sheet.name);
    root.add("homePath").set("path", "");
    root.add(textElement("title", sheet.name));
    root.add("projectCrs").add(projectedSrs(page.crs));
    root.add(layerTree(layers));

    XmlElement& canvas = root.add("mapcanvas");
    canvas.set("name", "theMapCanvas").set("annotationsVisible", "1");
    canvas.add(textElement("units", "meters"));
    canvas.add(extentElement(page));
    canvas.add(textElement("rotation", formatNumber(page.rotation)));
    canvas.add("destinationsrs").add(projectedSrs(page.crs));
    canvas.add(textElement("rendermaptile", "0"));

    XmlElement& projectLayers = root.add("projectlayers");
    // The 80 sub-sheet layers share two styles: each is made once and
    // written in every layer's place.
    struct Style {
        bool labelsEnabled = false;
        SharedElements elements;
    };
    const auto makeStyle = [&sheet](const LayerInfo& l) {
        StyleBody body = styleBody(sheet, l);
        return Style{body.labelsEnabled,
                     std::make_shared<const std::vector<XmlElement>>(std::move(body.elements))};
    };
    std::map<LayerKind, Style> shared;
    // Every layer is in the one system the run writes.
    const SharedElements layerSrs = std::make_shared<const std::vector<XmlElement>>(
        std::vector<XmlElement>{geographicSrs(geographicSystem(sheet.coordSystem))});
    for (const LayerInfo& l : layers) {
        Style style;
        if (!sharesItsStyle(l.kind)) {
            style = makeStyle(l);
        } else {
            auto it = shared.find(l.kind);
            if (it == shared.end())
                it = shared.emplace(l.kind, makeStyle(l)).first;
            style = it->second;
        }
        projectLayers.add(mapLayer(l, layerSrs, style.labelsEnabled, std::move(style.elements)));
    }

    XmlElement& properties = root.add("properties");
    properties.add("Paths").add(typedProperty("Absolute", "bool", "false"));
    properties.add("Measure").add(
        typedProperty("Ellipsoid", "QString", geographicSystem(sheet.coordSystem).ellipsoidCode));
    // Without this flag QGIS ignores the project system and shows the layers unprojected.
    properties.add("SpatialRefSys").add(typedProperty("ProjectionsEnabled", "int", "1"));
    XmlElement& units = properties.add("Measurement");
    units.add(typedProperty("DistanceUnits", "QString", "meters"));
    units.add(typedProperty("AreaUnits", "QString", "m2"));

    root.add(transformContext(sheet, page.crs));
    root.add("Layouts").add(layoutElement(sheet, page, layers));
    return std::string(kQgisDoctype) + "\n" + root.write();
}

} // namespace sheetjob::qgis
