#pragma once
// The style of one layer as XML elements, shared by the layer's .qml file and
// its entry in the project.

#include "sheetjob/qgis/QgisFiles.h"
#include "sheetjob/qgis/Xml.h"

#include <vector>

namespace sheetjob::qgis {

/// The QGIS release the files are written for, and the document type of its files.
constexpr const char* kQgisVersion = "3.22.0-Białowieża";
constexpr const char* kQgisDoctype = "<!DOCTYPE qgis PUBLIC 'http://mrcc.com/qgis.dtd' 'SYSTEM'>";

struct StyleBody {
    std::vector<XmlElement> elements; ///< renderer-v2, labeling, blendMode, ...
    bool labelsEnabled = false;
};

/// The style of `layer` for `sheet`.
StyleBody styleBody(const SheetInfo& sheet, const LayerInfo& layer);

/// The QGIS geometry name of a layer's shapes: "Polygon", "Line" or "Point".
const char* geometryName(LayerKind kind);

/// The stand-in face of a label font named in the layers ("PragmaticaC",
/// "FreeSet", "AGCenturion"): the free face whose metrics the frame was laid
/// out with where the original's are not known. "" for another name.
std::string standInFace(const std::string& fontName);

} // namespace sheetjob::qgis
