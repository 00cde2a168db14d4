"""What the three cross-checks share besides the layer reader: finding the
built program, running it on an argument file in a scratch folder, reading
the layers of a result folder, and the projection text every layer carries.

The projection texts live here and nowhere else: when the program's .PRJ
texts change, change PRJ_TEXT below.
"""
import contextlib
import os
import shutil
import subprocess
import tempfile

from shpread import LayerError, read_layer

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", ".."))
# The build the README's test command makes, then the Release build the
# developer notes suggest for long runs.
DEFAULT_BUILDS = ("build/debug/apps/sheetjob", "build/release/apps/sheetjob")
RUN_TIMEOUT_S = 120  # one job takes well under a second; a hang is a finding

_PULKOVO = ('GEOGCS["GCS_Pulkovo_{0}",DATUM["D_Pulkovo_{0}",SPHEROID["Krasovsky_1940", 6378245.0,298.3]], '
            'PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433]]')
# The 2011 system carries the EPSG codes of its datum and of itself, so that a
# GIS identifies it.
_RUSSIA_2011 = ('GEOGCS["GCS_RUSSIA_2011",DATUM["D_RUSSIA_2011",SPHEROID["S_RUSSIA_2011", 6378136.5,298.2564151],'
                'AUTHORITY["EPSG","1159"]], '
                'PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433],AUTHORITY["EPSG","7683"]]')
# .PRJ text per coordinate-system code (1 "CK-42", 2 "CK-95", 3 "ГCK-2011",
# 4 "ГCK-2011 / СК-42", whose vertices are written shifted to the 2011
# system); one line ended by CR LF.
PRJ_TEXT = {
    1: _PULKOVO.format("1942"),
    2: _PULKOVO.format("1995"),
    3: _RUSSIA_2011,
    4: _RUSSIA_2011,
}


def prj_problem(layer, coord_system):
    """None when the layer's .PRJ is the one its coordinate system asks for."""
    want = (PRJ_TEXT[coord_system] + "\r\n").encode("ascii")
    if layer.prj is None:
        return "no .PRJ file"
    if layer.prj != want:
        at = next((i for i, (a, b) in enumerate(zip(layer.prj, want)) if a != b), min(len(layer.prj), len(want)))
        return "projection text of %d bytes differs from byte %d on: %r, want %r" % (
            len(layer.prj), at, layer.prj[max(0, at - 20):at + 20], want[max(0, at - 20):at + 20])
    return None


def find_exe(given=None):
    """The program to check: a path to the executable or to a build folder,
    else $SHEETJOB, else the first of DEFAULT_BUILDS that exists."""
    given = given or os.environ.get("SHEETJOB")
    if given:
        if os.path.isdir(given):
            given = os.path.join(given, "apps", "sheetjob")
        return os.path.abspath(given)
    for rel in DEFAULT_BUILDS:
        path = os.path.join(ROOT, rel)
        if os.path.exists(path):
            return path
    return os.path.join(ROOT, DEFAULT_BUILDS[0])


@contextlib.contextmanager
def scratch(prefix, keep=False):
    """A fresh folder under $TMPDIR, removed afterwards unless keep() says so."""
    folder = tempfile.mkdtemp(prefix=prefix)
    try:
        yield folder
    finally:
        if not (keep and keep()):
            shutil.rmtree(folder, ignore_errors=True)


def run(exe, folder, arg_bytes, argname="job.txt", args=None):
    """Writes the argument file into folder and runs the program there.
    -> (exit code or "timeout", stderr text)."""
    with open(os.path.join(folder, argname), "wb") as f:
        f.write(arg_bytes)
    try:
        p = subprocess.run([exe] + (args if args is not None else [argname]), cwd=folder,
                           capture_output=True, timeout=RUN_TIMEOUT_S)
    except subprocess.TimeoutExpired:
        return "timeout", ""
    return p.returncode, p.stderr.decode("utf-8", "replace")


def read_layers(root, folders):
    """{"FOLDER/Name": Layer, or the LayerError text} for every .shp in the
    given folders under root. Only .shp files count as layers: style files,
    project files and lock files beside them are not looked at."""
    out = {}
    for folder in folders:
        d = os.path.join(root, folder)
        if not os.path.isdir(d):
            continue
        for fn in sorted(os.listdir(d)):
            if fn.endswith(".shp"):
                key = folder + "/" + fn[:-4]
                try:
                    out[key] = read_layer(os.path.join(d, fn[:-4]))
                except LayerError as e:
                    out[key] = str(e)
    return out
