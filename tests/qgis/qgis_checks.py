"""The checks of qgis_client_test.py that need QGIS: the written project read by
QGIS itself, its layers, layout, labelling results and exported pages."""

import glob
import math
import os
import re
import shutil
import subprocess

import numpy
from qgis.core import (QgsApplication, QgsCoordinateReferenceSystem, QgsCoordinateTransform,
                       QgsDatumTransform, QgsDistanceArea, QgsGeometry, QgsLayoutExporter,
                       QgsLayoutItemLabel, QgsLayoutItemMap, QgsMapRendererSequentialJob,
                       QgsMapSettings, QgsPointXY, QgsProject, QgsVectorLayer, QgsWkbTypes)
from qgis.PyQt.QtCore import QPointF, QRectF, QSize
from qgis.PyQt.QtGui import QFontDatabase, QImage

import qgis_client_test as T

# The faces that stand in for the label fonts when these are not installed.
STAND_INS = {"PragmaticaC": "PT Sans", "FreeSet": "PT Sans", "AGCenturion": "FreeSerif"}
CORNER_DPI = 600.0  # the corner views


def start():
    app = QgsApplication([], False)
    app.initQgis()
    return app


def stop(app):
    QgsProject.instance().clear()
    app.exitQgis()


def proj_parameters(crs):
    params = {}
    for token in crs.toProj().split():
        if token.startswith("+") and "=" in token:
            key, value = token[1:].split("=", 1)
            params[key] = value
    return params


def check_project_crs(job, crs, failures):
    if job.conic:
        p = proj_parameters(crs)
        lon0, lat0, lat1, lat2 = job.conic
        ok = (p.get("proj") == "lcc" and
              all(abs(float(p.get(k, "nan")) - v) < 1e-9
                  for k, v in (("lon_0", lon0), ("lat_0", lat0), ("lat_1", lat1), ("lat_2", lat2))))
        failures.check(ok, "%s: project system %s is not the sheet's conic %s" %
                       (job.name, crs.toProj(), job.conic))
    else:
        want = "EPSG:%d" % (T.GK_BASE[job.cs] + job.zone)
        failures.check(crs.authid() == want, "%s: project system %s (%s), want %s" %
                       (job.name, crs.authid(), crs.description(), want))
    failures.check(crs.ellipsoidAcronym() == T.ELLIPSOID[job.cs], "%s: project ellipsoid %s" %
                   (job.name, crs.ellipsoidAcronym()))


def check_layers(job, project, qgs_text, result, failures):
    layers = list(project.mapLayers().values())
    failures.check(len(layers) == job.layers, "%s: %d layers in the project, want %d" %
                   (job.name, len(layers), job.layers))
    on_disk = sorted(glob.glob(os.path.join(result, "*", "*.shp")))
    failures.check(len(on_disk) == job.layers, "%s: %d layers on disk" % (job.name, len(on_disk)))
    failures.check(result not in qgs_text and "./HYPS/HypsA.shp" in qgs_text,
                   "%s: the project does not name its layers by relative path" % job.name)
    by_source = {}
    for layer in layers:
        by_source[os.path.realpath(layer.source().split("|")[0])] = layer
        failures.check(layer.isValid(), "%s: layer %s is not valid" % (job.name, layer.name()))
        failures.check(layer.crs().authid() == T.GEOGRAPHIC[job.cs], "%s: layer %s in %s, want %s"
                       % (job.name, layer.name(), layer.crs().authid(), T.GEOGRAPHIC[job.cs]))
        # The layer meets the map without a datum shift: same datum.
        op = QgsCoordinateTransform(layer.crs(), project.crs(), project)
        details = op.instantiatedCoordinateOperationDetails().proj
        failures.check("helmert" not in details and "towgs84" not in details,
                       "%s: layer %s is shifted on the way to the map: %s" %
                       (job.name, layer.name(), details))
    for shp in on_disk:
        qml = shp[:-4] + ".qml"
        if not failures.check(os.path.exists(qml), "%s: no style %s" % (job.name, qml)):
            continue
        in_project = by_source.get(os.path.realpath(shp))
        if not failures.check(in_project is not None, "%s: %s not in the project" % (job.name, shp)):
            continue
        # Opened on its own, the layer takes its .qml as default style.
        alone = QgsVectorLayer(shp, "alone", "ogr")
        failures.check(type(alone.renderer()) is type(in_project.renderer()) and
                       alone.labelsEnabled() == in_project.labelsEnabled(),
                       "%s: %s opened alone is not styled by its .qml" % (job.name, shp))
    return layers


def check_operations(job, project, layer_crs, failures):
    """Data in WGS 84 (GPS) and in web maps meets the map and the layers by the
    EPSG operation chosen for the job's datum, which QGIS recognises among the
    ones it would offer; so it asks no question."""
    context = project.transformContext()
    for source in ("EPSG:4326", "EPSG:3857"):
        src = QgsCoordinateReferenceSystem(source)
        for dest in (project.crs(), layer_crs):
            what = "%s: %s to %s" % (job.name, source, dest.authid() or dest.description())
            if not failures.check(context.hasTransform(src, dest), what + ": no operation pinned"):
                continue
            pinned = context.calculateCoordinateOperation(src, dest)
            offered = {op.proj: op.name for op in QgsDatumTransform.operations(src, dest)}
            failures.check(T.TO_WGS84[job.cs] in offered.get(pinned, ""),
                           what + ": pinned %r is not %s among %r" %
                           (pinned, T.TO_WGS84[job.cs], list(offered.values())))


def layer_named(project, name):
    found = project.mapLayersByName(name)
    return found[0] if found else None


def page_point(item, transform, lon, lat):
    """Page position (mm) of a geographic point."""
    p = transform.transform(QgsPointXY(lon, lat))
    q = item.mapToItemCoords(QPointF(p.x(), p.y()))
    return q.x() + item.pos().x(), q.y() + item.pos().y()


def check_page(job, layout, item, project, layers, failures):
    """One page, the map item covering it at the map scale and drawing the
    finished frame only; returns the page size and the frame's extent on it."""
    page = layout.pageCollection().page(0).pageSize()
    failures.check(layout.pageCollection().pageCount() == 1, "%s: not one page" % job.name)
    failures.check(abs(item.scale() - job.scale) < job.scale * 1e-6,
                   "%s: map item at 1:%.3f, want 1:%d" % (job.name, item.scale(), job.scale))
    failures.check(abs(item.sizeWithUnits().width() - page.width()) < 1e-6 and
                   abs(item.sizeWithUnits().height() - page.height()) < 1e-6,
                   "%s: the map item does not cover the page" % job.name)
    printed = sorted(l.name() for l in item.layers()) if item.keepLayerSet() else None
    want = sorted(l.name() for l in layers if l.name() != "HypsP")
    failures.check(printed == want, "%s: the layout prints %s, want %s" % (job.name, printed, want))
    u0 = v0 = float("inf")
    u1 = v1 = float("-inf")
    for layer in layers:
        tr = QgsCoordinateTransform(layer.crs(), item.crs(), project)
        for feature in layer.getFeatures():
            for vertex in feature.geometry().vertices():
                u, v = page_point(item, tr, vertex.x(), vertex.y())
                u0, u1, v0, v1 = min(u0, u), max(u1, u), min(v0, v), max(v1, v)
    return page.width(), page.height(), (u0, v0, u1, v1)


def check_margins(job, raster, failures):
    """At least PAGE_MARGIN_MM of white paper on every side of all that is printed."""
    ink = numpy.argwhere(raster.gray < 255 - T.INK_DARKNESS)
    if not failures.check(len(ink) > 0, "%s: the page is blank" % job.name):
        return
    (y0, x0), (y1, x1) = ink.min(axis=0), ink.max(axis=0)
    h, w = raster.gray.shape
    margins = {"top": y0 / raster.sy, "bottom": (h - 1 - y1) / raster.sy,
               "left": x0 / raster.sx, "right": (w - 1 - x1) / raster.sx}
    pixel = 1.0 / min(raster.sx, raster.sy)
    for side, mm in margins.items():
        failures.check(mm >= T.PAGE_MARGIN_MM - pixel, "%s: %.2f mm of paper %s of the print" %
                       (job.name, mm, side))
    T.log("  margins " + ", ".join("%s %.1f" % kv for kv in margins.items()) + " mm")


def check_marginal_text(job, layout, frame, raster, failures):
    """The sheet's name above the frame; its scale and coordinate system below
    it, in that order; each printed."""
    labels = sorted((i for i in layout.items() if isinstance(i, QgsLayoutItemLabel)),
                    key=lambda i: i.pos().y())
    texts = [i.text() for i in labels]
    name = os.path.splitext(os.path.basename(layout.project().fileName()))[0]
    scale = "1:" + "{:,}".format(job.scale).replace(",", " ")
    want = [name, scale, T.SYSTEM_NOTE[job.cs]]
    if not failures.check(texts == want, "%s: marginal text %r, want %r" % (job.name, texts, want)):
        return
    u0, v0, u1, v1 = frame
    top, bottom = labels[0].sceneBoundingRect(), labels[1].sceneBoundingRect()
    failures.check(top.bottom() < v0 and bottom.top() > v1,
                   "%s: the name (%.1f mm) is not above the frame (%.1f..%.1f mm) or the scale "
                   "(%.1f mm) not below it" % (job.name, top.bottom(), v0, v1, bottom.top()))
    for item in labels:
        r = item.sceneBoundingRect()
        x0, x1 = int(r.left() * raster.sx), int(r.right() * raster.sx)
        y0, y1 = int(r.top() * raster.sy), int(r.bottom() * raster.sy)
        failures.check((raster.gray[y0:y1, x0:x1] < 128).any(),
                       "%s: %r not printed" % (job.name, item.text()))


def check_labels(job, project, item, results, failures, positions=True):
    families = set(QFontDatabase().families())
    labels = [lab for res in results.values() for lab in res.allLabels()]
    mm_per_unit = 1000.0 / job.scale
    for name in ("FrameDig", "FrameAdj"):
        layer = layer_named(project, name)
        if layer is None:
            continue
        tr = QgsCoordinateTransform(layer.crs(), item.crs(), project)
        placed = {lab.featureId: lab for lab in labels
                  if lab.layerID == layer.id() and not lab.isUnplaced}
        count = 0
        worst = 0.0
        for f in layer.getFeatures():
            count += 1
            what = "%s: %s record %d %r" % (job.name, name, f["Id"], f["Text"])
            lab = placed.get(f.id())
            if not failures.check(lab is not None, what + " has no label"):
                continue
            failures.check(lab.labelText == f["Text"], what + " labelled %r" % lab.labelText)
            want = f["Font"] if f["Font"] in families else STAND_INS[f["Font"]]
            failures.check(lab.labelFont.family() == want,
                           what + " in %s, want %s" % (lab.labelFont.family(), want))
            # The record's size in points, as pixels of the export.
            size_px = float(f["Size"]) * T.DPI / 72.0
            failures.check(abs(lab.labelFont.pixelSize() - size_px) <= 1.0,
                           what + " set %d px high, want %.1f" % (lab.labelFont.pixelSize(), size_px))
            if not positions:
                continue
            # The text's middle where the frame designed it: the middle of the
            # label line (the names' lines hold an equal clearance at both ends).
            line = QgsGeometry(f.geometry())
            line.transform(tr)
            middle = line.interpolate(line.length() / 2).asPoint()
            centre = lab.labelGeometry.centroid().asPoint()
            off = math.hypot(centre.x() - middle.x(), centre.y() - middle.y()) * mm_per_unit
            worst = max(worst, off)
            failures.check(off <= T.LABEL_TOLERANCE_MM,
                           what + " placed %.2f mm from its design place" % off)
        failures.check(len(placed) == count, "%s: %d of %d %s labels placed" %
                       (job.name, len(placed), count, name))
        T.log("  %s: %d of %d labels placed%s" %
              (name, len(placed), count,
               ", at most %.2f mm from their design places" % worst if positions else ""))


def screen_labels(project, item, page_width, picture):
    """The labels of every layer drawn as the screen would show the layout's
    map: the same extent, rotation and scale, all the project's layers; the
    picture saved as `picture`."""
    settings = QgsMapSettings()
    settings.setLayers(project.layerTreeRoot().layerOrder())
    settings.setDestinationCrs(item.crs())
    settings.setTransformContext(project.transformContext())
    extent = item.extent()
    pixels = round(page_width / T.MM_PER_INCH * T.DPI)
    settings.setOutputSize(QSize(pixels, round(pixels * extent.height() / extent.width())))
    settings.setOutputDpi(T.DPI)
    settings.setExtent(extent)
    settings.setRotation(item.mapRotation())
    job = QgsMapRendererSequentialJob(settings)
    job.start()
    job.waitForFinished()
    job.renderedImage().save(picture)
    return job.takeLabelingResults()


def check_sub_sheet_names(job, project, item, page_width, folder, failures):
    """On the screen every sub-sheet layer shows its name, read from its table
    as the file is named, and no name lies on a sub-sheet's edge."""
    layers = [l for l in project.mapLayers().values()
              if os.path.basename(os.path.dirname(l.source().split("|")[0])) in
              ("HYPS_50", "HYPS_25")]
    if not layers:
        return
    results = screen_labels(project, item, page_width, os.path.join(folder, "screen.png"))
    labels = {lab.layerID: lab for lab in results.allLabels() if not lab.isUnplaced}
    edges = []
    for layer in layers:
        tr = QgsCoordinateTransform(layer.crs(), item.crs(), project)
        for f in layer.getFeatures():
            g = QgsGeometry(f.geometry().convertToType(QgsWkbTypes.LineGeometry, True))
            g.transform(tr)
            edges.append(g)
    for layer in layers:
        names = [f["Name"] for f in layer.getFeatures()]
        failures.check(names == [layer.name()], "%s: %s holds the names %r" %
                       (job.name, layer.name(), names))
        lab = labels.get(layer.id())
        if not failures.check(lab is not None and lab.labelText == layer.name(),
                              "%s: %s labelled %r" % (job.name, layer.name(),
                                                      lab.labelText if lab else None)):
            continue
        failures.check(not any(e.intersects(lab.labelGeometry) for e in edges),
                       "%s: the name %s lies on a sub-sheet's edge" % (job.name, layer.name()))
    T.log("  sub-sheet names: %d layers checked on the screen" % len(layers))


def check_drawing(job, project, item, raster, failures):
    """The picture itself: every filled division of the minute scale a solid
    bar across the strip with an empty division beside it; the sheet's
    inside not covered by its polygon."""
    hyps = layer_named(project, "HypsA")
    box = hyps.extent()
    tr = QgsCoordinateTransform(hyps.crs(), item.crs(), project)
    u, v = page_point(item, tr, box.xMinimum() + 0.37 * box.width(),
                      box.yMinimum() + 0.43 * box.height())
    failures.check(raster.dark(u, v) < 20, "%s: the sheet's inside is not white" % job.name)

    frame = layer_named(project, "Frame")
    if frame is None:
        return
    width = frame_strip_width(job)
    if width is None:
        return
    fills = bars = 0
    for f in frame.getFeatures():
        if f["L_code"] != 400901:
            continue
        points = [(p.x(), p.y()) for p in f.geometry().vertices()]
        if points[0] == points[-1] or len(points) == 2 and is_tick(points, tr, item, width):
            continue  # a minute-frame line or a tick
        fills += 1
        a = page_point(item, tr, *points[0])
        b = page_point(item, tr, *points[-1])
        length = math.hypot(b[0] - a[0], b[1] - a[1])
        along = ((b[0] - a[0]) / length, (b[1] - a[1]) / length)
        across = (-along[1], along[0])
        mid = ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
        # Dark across the strip (0.3 of its width each side of the middle);
        # light a quarter into a neighbouring division (the other neighbour
        # may lie past a corner, under a label or a graticule cross).
        solid = all(raster.dark(mid[0] + k * width * across[0], mid[1] + k * width * across[1]) > 200
                    for k in (-0.3, 0, 0.3))
        beside = [raster.dark(mid[0] + k * length * along[0], mid[1] + k * length * along[1])
                  for k in (-0.75, 0.75)]
        bars += solid and min(beside) < 60
    failures.check(fills > 0 and bars == fills, "%s: %d of %d filled divisions drawn as bars "
                   "beside an empty one" % (job.name, bars, fills))
    T.log("  minute scale: %d of %d filled divisions drawn as solid bars" % (bars, fills))


def frame_strip_width(job):
    """Width of the minute scale's strip, mm, for the maps that have one."""
    if job.scale == 200000 and not job.conic:
        return 1.2
    if job.scale == 1000000 and job.conic:
        return 1.0
    return None


def is_tick(points, tr, item, width):
    """A two-point record across the strip (a tick), not a short fill along it."""
    a = page_point(item, tr, *points[0])
    b = page_point(item, tr, *points[1])
    return abs(math.hypot(b[0] - a[0], b[1] - a[1]) - width) < 0.05


def target_lines(project):
    """The line whose printed size is measured: the outer frame line if the map
    has one, else the sheet outline; with the trapezium's bounds."""
    outline = layer_named(project, "HypsA").extent()
    frame = layer_named(project, "Frame")
    if frame is not None:
        outer = [QgsGeometry(f.geometry()) for f in frame.getFeatures()
                 if f["L_code"] in T.FRAME_CODES["outer"]]
        if outer:
            return frame, outer, outline
    hyps = layer_named(project, "HypsL")
    return hyps, [QgsGeometry(f.geometry()) for f in hyps.getFeatures()
                  if f["L_code"] == T.FRAME_CODES["outline"]], outline


def crossings(lines, a, b):
    """Points where the lines cross the geographic segment a-b, ordered from a."""
    cut = QgsGeometry.fromPolylineXY([QgsPointXY(*a), QgsPointXY(*b)])
    points = []
    for g in lines:
        hit = g.intersection(cut)
        if hit.isEmpty():
            continue
        for part in (hit.asGeometryCollection() if hit.isMultipart() else [hit]):
            if QgsWkbTypes.geometryType(part.wkbType()) == QgsWkbTypes.PointGeometry:
                points.append((part.asPoint().x(), part.asPoint().y()))
    points.sort(key=lambda p: math.hypot(p[0] - a[0], p[1] - a[1]))
    return points


class Raster:
    """An exported page as grey values, with its own pixels per millimetre: an
    export's pixel count is rounded, so its scale is taken from the page size."""

    def __init__(self, path, page_width, page_height):
        image = QImage(path).convertToFormat(QImage.Format_Grayscale8)
        ptr = image.constBits()
        ptr.setsize(image.bytesPerLine() * image.height())
        rows = numpy.frombuffer(ptr, numpy.uint8).reshape(image.height(), image.bytesPerLine())
        self.gray = rows[:, :image.width()].astype(numpy.float64)
        self.sx = image.width() / page_width
        self.sy = image.height() / page_height

    def dark(self, u, v):
        """Darkness 0..255 of the page at (u, v) mm, between pixel centres."""
        x, y = u * self.sx - 0.5, v * self.sy - 0.5
        x0, y0 = int(math.floor(x)), int(math.floor(y))
        fx, fy = x - x0, y - y0
        g = self.gray
        value = (g[y0, x0] * (1 - fx) * (1 - fy) + g[y0, x0 + 1] * fx * (1 - fy) +
                 g[y0 + 1, x0] * (1 - fx) * fy + g[y0 + 1, x0 + 1] * fx * fy)
        return 255.0 - float(value)

    def line_centre(self, start, direction, expected, half_window):
        """Centre (mm along `direction` from `start`) of the dark line within
        half_window of `expected`, by the darkness-weighted mean; None when
        nothing dark is there."""
        steps = numpy.arange(expected - half_window, expected + half_window, 0.01)
        xs = (start[0] + steps * direction[0]) * self.sx - 0.5
        ys = (start[1] + steps * direction[1]) * self.sy - 0.5
        x0, y0 = numpy.floor(xs).astype(int), numpy.floor(ys).astype(int)
        fx, fy = xs - x0, ys - y0
        h, w = self.gray.shape
        if x0.min() < 0 or y0.min() < 0 or x0.max() + 1 >= w or y0.max() + 1 >= h:
            return None
        g = self.gray
        value = (g[y0, x0] * (1 - fx) * (1 - fy) + g[y0, x0 + 1] * fx * (1 - fy) +
                 g[y0 + 1, x0] * (1 - fx) * fy + g[y0 + 1, x0 + 1] * fx * fy)
        dark = numpy.clip(255.0 - value, 0, None)
        if dark.max() < 128:
            return None
        return float((steps * dark).sum() / dark.sum())


def measure(job, project, item, raster, failures, label):
    """Printed distance between the frame's opposite sides, west-east and
    south-north, against the ground distance over the map scale."""
    layer, lines, box = target_lines(project)
    tr = QgsCoordinateTransform(layer.crs(), item.crs(), project)
    area = QgsDistanceArea()
    area.setSourceCrs(layer.crs(), project.transformContext())
    area.setEllipsoid(layer.crs().ellipsoidAcronym())
    w, e, s, n = box.xMinimum(), box.xMaximum(), box.yMinimum(), box.yMaximum()
    # Away from the middles (neighbour names) and from graticule lines.
    lat = s + 0.3 * (n - s) + 0.0013
    lon = w + 0.3 * (e - w) + 0.0013
    reach = 0.5
    sizes = []
    for side, a, b in (("west-east", (w - reach, lat), (e + reach, lat)),
                       ("south-north", (lon, s - reach), (lon, n + reach))):
        points = crossings(lines, a, b)
        if not failures.check(len(points) >= 2, "%s: %s: the measured line is not crossed twice"
                              % (job.name, side)):
            continue
        p1, p2 = points[0], points[-1]
        u1, v1 = page_point(item, tr, *p1)
        u2, v2 = page_point(item, tr, *p2)
        length = math.hypot(u2 - u1, v2 - v1)
        d = ((u2 - u1) / length, (v2 - v1) / length)
        m1 = raster.line_centre((u1, v1), d, 0.0, T.LINE_SEARCH_MM)
        m2 = raster.line_centre((u1, v1), d, length, T.LINE_SEARCH_MM)
        if not failures.check(m1 is not None and m2 is not None,
                              "%s: %s: %s: frame line not found where it belongs" %
                              (job.name, label, side)):
            continue
        printed = m2 - m1
        ground = area.measureLine(QgsPointXY(*p1), QgsPointXY(*p2))
        true_size = ground / job.scale * 1000.0
        sizes.append((side, printed, true_size))
        failures.check(abs(printed - true_size) <= T.SIZE_TOLERANCE_MM,
                       "%s: %s: %s printed %.2f mm, true size %.2f mm" %
                       (job.name, label, side, printed, true_size))
    T.log("  %s: " % label + ", ".join("%s %.2f mm (true %.2f)" % s for s in sizes))


def pdf_page_mm(path):
    with open(path, "rb") as f:
        data = f.read()
    box = re.search(rb"/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s*\]", data)
    if box is None:
        return None
    x0, y0, x1, y1 = (float(v) for v in box.groups())
    return (x1 - x0) * T.MM_PER_INCH / 72.0, (y1 - y0) * T.MM_PER_INCH / 72.0


def save_corners(exporter, item, tr, box, folder):
    """The north-west and south-east corners of the sheet, sharper than the page."""
    half = 22.0  # mm around the corner
    for name, lon, lat in (("corner-nw", box.xMinimum(), box.yMaximum()),
                           ("corner-se", box.xMaximum(), box.yMinimum())):
        u, v = page_point(item, tr, lon, lat)
        image = exporter.renderRegionToImage(QRectF(u - half, v - half, 2 * half, 2 * half),
                                             QSize(), CORNER_DPI)
        image.save(os.path.join(folder, name + ".png"))


def check_job(job, result, folder, failures):
    qgs = glob.glob(os.path.join(result, "*.qgs"))
    if not failures.check(len(qgs) == 1, "%s: %d projects in %s" % (job.name, len(qgs), result)):
        return
    with open(qgs[0], encoding="utf-8") as f:
        qgs_text = f.read()
    project = QgsProject.instance()
    project.clear()
    if not failures.check(project.read(qgs[0]), "%s: QGIS cannot read %s: %s" %
                          (job.name, qgs[0], project.error())):
        return
    check_project_crs(job, project.crs(), failures)
    layers = check_layers(job, project, qgs_text, result, failures)
    check_operations(job, project, layers[0].crs(), failures)

    layouts = project.layoutManager().printLayouts()
    if not failures.check(len(layouts) == 1, "%s: %d layouts" % (job.name, len(layouts))):
        return
    layout = layouts[0]
    maps = [i for i in layout.items() if isinstance(i, QgsLayoutItemMap)]
    if not failures.check(len(maps) == 1, "%s: %d map items" % (job.name, len(maps))):
        return
    item = maps[0]
    frame_layers = [l for l in layers
                    if os.path.basename(os.path.dirname(l.source().split("|")[0])) in
                    ("HYPS", "FRAME")]
    width, height, frame = check_page(job, layout, item, project, frame_layers, failures)

    exporter = QgsLayoutExporter(layout)
    png = os.path.join(folder, "layout.png")
    settings = QgsLayoutExporter.ImageExportSettings()
    settings.dpi = T.DPI
    failures.check(exporter.exportToImage(png, settings) == QgsLayoutExporter.Success,
                   "%s: the layout could not be exported to PNG" % job.name)
    check_labels(job, project, item, exporter.labelingResults(), failures)
    check_sub_sheet_names(job, project, item, width, folder, failures)
    raster = Raster(png, width, height)
    check_margins(job, raster, failures)
    check_marginal_text(job, layout, frame, raster, failures)
    measure(job, project, item, raster, failures, "PNG")
    check_drawing(job, project, item, raster, failures)
    hyps = layer_named(project, "HypsA")
    save_corners(exporter, item, QgsCoordinateTransform(hyps.crs(), item.crs(), project),
                 hyps.extent(), folder)
    T.log("  page %.2f x %.2f mm at 1:%.0f, map turned %.3f deg" %
          (width, height, item.scale(), item.mapRotation()))

    if job.pdf:
        pdf = os.path.join(folder, "layout.pdf")
        failures.check(exporter.exportToPdf(pdf, QgsLayoutExporter.PdfExportSettings()) ==
                       QgsLayoutExporter.Success, "%s: no PDF" % job.name)
        size = pdf_page_mm(pdf)
        failures.check(size is not None and abs(size[0] - width) < 0.001 and
                       abs(size[1] - height) < 0.001,
                       "%s: PDF page %s, want %.3f x %.3f mm" % (job.name, size, width, height))
        if shutil.which("pdftoppm"):
            base = os.path.join(folder, "pdf")
            subprocess.run(["pdftoppm", "-r", "%d" % T.DPI, "-png", "-singlefile", pdf, base],
                           check=True)
            measure(job, project, item, Raster(base + ".png", width, height), failures, "PDF")
    project.clear()


def install_named_fonts(folder):
    """Makes the label fonts "installed": free faces renamed to PragmaticaC,
    FreeSet and AGCenturion, registered with Qt. False without fontTools."""
    try:
        from fontTools.ttLib import TTFont
    except ImportError:
        return False
    faces = {"PragmaticaC": "DejaVuSans.ttf", "FreeSet": "DejaVuSans.ttf",
             "AGCenturion": "DejaVuSerif.ttf"}
    for family, face in faces.items():
        font = TTFont(os.path.join("/usr/share/fonts/truetype/dejavu", face))
        for record in font["name"].names:
            if record.nameID in (1, 4, 16):
                record.string = family
            elif record.nameID == 6:
                record.string = family.replace(" ", "")
        path = os.path.join(folder, family + ".ttf")
        font.save(path)
        if QFontDatabase.addApplicationFont(path) < 0:
            return False
    return True


def check_named_fonts(jobs, artefacts, failures):
    """With the original fonts present, the labels are set in them."""
    folder = os.path.join(artefacts, "named-fonts")
    os.makedirs(folder, exist_ok=True)
    if not install_named_fonts(folder):
        T.log("named fonts: not checked (python3-fonttools or DejaVu fonts missing)")
        return
    for job in jobs:
        qgs = glob.glob(os.path.join(artefacts, job.name, "result", "*.qgs"))
        if len(qgs) != 1:
            continue
        project = QgsProject.instance()
        project.clear()
        project.read(qgs[0])
        layout = project.layoutManager().printLayouts()[0]
        item = [i for i in layout.items() if isinstance(i, QgsLayoutItemMap)][0]
        exporter = QgsLayoutExporter(layout)
        settings = QgsLayoutExporter.ImageExportSettings()
        settings.dpi = T.DPI
        exporter.exportToImage(os.path.join(folder, job.name + ".png"), settings)
        before = len(failures.items)
        check_labels(job, project, item, exporter.labelingResults(), failures, positions=False)
        T.log("named fonts: %s %s" % (job.name, "ok" if len(failures.items) == before else "FAILED"))
        project.clear()
