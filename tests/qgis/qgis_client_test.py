#!/usr/bin/python3
"""The result folder as QGIS sees it: runs sheetjob on jobs of every set and
map scale, a combined sheet, the other coordinate systems and a sub-sheet job,
opens each written project headless and checks what a cartographer would:

- every layer is valid, in the job's geographic system, styled by its .qml;
- the project system is the one of the sheet's map; data in WGS 84 and in
  web maps meets it by the EPSG operation chosen for the job's datum;
- the layout holds the whole frame on its page with 10 mm of white paper
  around all that is printed, one map item at the map scale, drawing the
  finished frame only (no graticule crosses, no sub-sheet frames), the sheet's
  name above the frame and its scale and coordinate system below;
- every value label and neighbour name is placed, on its line, in its font
  (the named one when it is installed, else its free stand-in), also on
  sheets east of 180 degrees;
- the sub-sheet names show on the screen, clear of the sub-sheet lines;
- the exported layout prints the frame at true size (within 0.5 mm).

The exported pages (PDF and PNG) and corner views stay in the artefact folder.
Exits 77 (skipped) when QGIS's Python bindings are missing.

Usage: /usr/bin/python3 qgis_client_test.py SHEETJOB ARTEFACT-FOLDER [JOB-NAME ...]
"""

import math
import os
import shutil
import subprocess
import sys
import time

SKIPPED = 77
DPI = 200.0                     # raster of the exported layout
SIZE_TOLERANCE_MM = 0.5         # printed size against the map scale
LABEL_TOLERANCE_MM = 0.5        # a label's middle against its line's design place
LINE_SEARCH_MM = 0.5            # a line is looked for this far from where it belongs
PAGE_MARGIN_MM = 10.0           # least white paper around all that is printed
INK_DARKNESS = 40               # a pixel this dark (of 255) is printed
MM_PER_INCH = 25.4

SK42, SK95, GSK, GSK_SK42 = "CK-42", "CK-95", "\u0413CK-2011", "\u0413CK-2011 / \u0421\u041a-42"
GEOGRAPHIC = {SK42: "EPSG:4284", SK95: "EPSG:4200", GSK: "EPSG:7683", GSK_SK42: "EPSG:7683"}
ELLIPSOID = {SK42: "EPSG:7024", SK95: "EPSG:7024", GSK: "EPSG:1025", GSK_SK42: "EPSG:1025"}
GK_BASE = {SK42: 28400, SK95: 20000, GSK: 20900, GSK_SK42: 20900}
# The EPSG operation to WGS 84 each system's project pins, as PROJ names it.
TO_WGS84 = {SK42: "Pulkovo 1942 to WGS 84 (20)", SK95: "Pulkovo 1995 to WGS 84 (2)",
            GSK: "GSK-2011 to WGS 84 (1)", GSK_SK42: "GSK-2011 to WGS 84 (1)"}
# The note on the coordinate system below the printed frame.
SYSTEM_NOTE = {SK42: "Система координат 1942 г.", SK95: "Система координат 1995 г.",
               GSK: "Геодезическая система координат 2011 г.",
               GSK_SK42: "Геодезическая система координат 2011 г. (разграфка СК-42)"}


class Job:
    def __init__(self, name, nom, cs=SK42, map_scale=None, scale=200000, conic=None, extra="",
                 layers=6, pdf=False, zone=7):
        self.name = name
        self.nom = nom
        self.cs = cs
        self.zone = zone        # Gauss-Krueger zone of a 1:200 000 set's map
        self.map_scale = map_scale
        self.scale = scale
        self.conic = conic      # (lon_0, lat_0, lat_1, lat_2) of a 1:1 000 000 set's map
        self.extra = extra
        self.layers = layers    # layers written (the map scale decides the frame layers)
        self.pdf = pdf


JOBS = [
    Job("N-37-XIV", "N-37-XIV", pdf=True),
    Job("N-37-XIV-500", "N-37-XIV", map_scale=500, scale=500000, layers=5),
    Job("N-37-XIV-1000", "N-37-XIV", map_scale=1000, scale=1000000, layers=3),
    Job("N-37", "N-37", scale=1000000, conic=(39, 54, 52 + 2 / 3, 55 + 1 / 3), layers=5, pdf=True),
    Job("N-37-2500", "N-37", map_scale=2500, scale=2500000, conic=(39, 54, 52 + 2 / 3, 55 + 1 / 3),
        layers=5),
    Job("N-37-5000", "N-37", map_scale=5000, scale=5000000, conic=(39, 54, 52 + 2 / 3, 55 + 1 / 3),
        layers=3),
    Job("T-37-4", "T-37 (4)", scale=1000000, conic=(48, 78, 76 + 2 / 3, 79 + 1 / 3), layers=5),
    Job("S-37-XIV-3", "S-37-XIV(3)", layers=6),
    Job("N-37-XIV-SK95", "N-37-XIV", cs=SK95),
    Job("N-37-XIV-GSK", "N-37-XIV", cs=GSK),
    Job("N-37-XIV-GSK-SK42", "N-37-XIV", cs=GSK_SK42),
    Job("N-37-XIV-subsheets", "N-37-XIV", extra="SubSheetFrames=1;", layers=6 + 16 + 64, pdf=True),
    # Chukotka: the layers' longitudes run past 180 (0..360), the map's do not.
    Job("N-01-XIV", "N-01-XIV", zone=31, pdf=True),
    Job("N-01-XIII-GSK-SK42", "N-01-XIII", cs=GSK_SK42, zone=31),  # west edge on 180
    Job("Q-02", "Q-02", scale=1000000, conic=(-171, 66, 64 + 2 / 3, 67 + 1 / 3), layers=5),
    Job("Q-02-SK95", "Q-02", cs=SK95, scale=1000000, conic=(-171, 66, 64 + 2 / 3, 67 + 1 / 3),
        layers=5),
    Job("U-37-4", "U-37 (4)", scale=1000000, conic=(48, 82, 80 + 2 / 3, 83 + 1 / 3), layers=5,
        pdf=True),
]

FRAME_CODES = {"outer": (400902, 400922), "outline": 400010}


def log(text):
    print(text, flush=True)


class Failures:
    def __init__(self):
        self.items = []

    def check(self, ok, what):
        if not ok:
            self.items.append(what)
            log("  FAIL " + what)
        return ok


def run_sheetjob(exe, job, folder):
    result = os.path.join(folder, "result")
    os.makedirs(folder, exist_ok=True)
    argfile = os.path.join(folder, "job.txt")
    text = "Nom=%s; CS=%s; Path=%s;" % (job.nom, job.cs, result)
    if job.map_scale:
        text += " MapScale=%d;" % job.map_scale
    text += job.extra + "\n"
    with open(argfile, "w", encoding="utf-8") as f:
        f.write(text)
    done = subprocess.run([exe, argfile], capture_output=True, text=True, timeout=60)
    return done.returncode, done.stderr, result


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    exe, artefacts = argv[1], argv[2]
    wanted = set(argv[3:])
    try:
        from qgis.core import QgsApplication  # noqa: F401
    except ImportError:
        print("SKIPPED: QGIS's Python bindings are not installed (Debian: qgis python3-qgis)")
        return SKIPPED
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    import qgis_checks

    shutil.rmtree(artefacts, ignore_errors=True)
    os.makedirs(artefacts)
    app = qgis_checks.start()
    failures = Failures()
    started = time.time()
    for job in JOBS:
        if wanted and job.name not in wanted:
            continue
        t0 = time.time()
        log("job %s: Nom=%s CS=%s map 1:%d" % (job.name, job.nom, job.cs, job.scale))
        folder = os.path.join(artefacts, job.name)
        code, err, result = run_sheetjob(exe, job, folder)
        if not failures.check(code == 0, "%s: sheetjob exit %d: %s" % (job.name, code, err.strip())):
            continue
        qgis_checks.check_job(job, result, folder, failures)
        log("  %.1f s" % (time.time() - t0))
    # Last: the fonts registered here stay for the rest of the process.
    qgis_checks.check_named_fonts([j for j in JOBS if j.name in ("N-37-XIV", "N-37")],
                                  artefacts, failures)
    qgis_checks.stop(app)
    ran = [j for j in JOBS if not wanted or j.name in wanted]
    log("%d jobs in %.1f s; artefacts in %s" % (len(ran), time.time() - started, artefacts))
    if failures.items:
        log("%d failures:" % len(failures.items))
        for f in failures.items:
            log("  " + f)
        return 1
    return 0


if __name__ == "__main__":
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    sys.exit(main(sys.argv))
