#!/usr/bin/python3
"""A heavy job written into nearly full file systems: whatever the free space,
the run either ends with exit code 0 and every layer complete, or with a
failure (exit 16, one line naming the layer) and no layer left incomplete or
inconsistent, nothing under a temporary name, and nothing changed outside the
result folder.

    full_disk_test.py SHEETJOB [SIZES_KB...]

Mounts a tmpfs of each size (root only; exits 77, a skip for CTest, when it
cannot mount), fills it from the start with the job's own folders, and checks
every layer with the cross-check's shapefile reader, which compares the .shp,
.shx and .dbf of a layer against each other record by record.
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "crosscheck", "common"))
from shpread import LayerError, read_layer  # noqa: E402

JOB = "Nom=N-37-I; SubSheetFrames=1; Path=%s;\n"
MEMBERS = (".shx", ".dbf", ".PRJ", ".cpg")
SKIP = 77
# Sizes in kB around those at which the heavy job's files run out of room: the
# whole tree takes about 2.6 MB of tmpfs pages (one 4 kB page a file at least).
DEFAULT_SIZES = [64, 200, 400, 640, 900, 1200, 1500, 1800, 2000, 2100, 2200, 2300, 2400, 2450,
                 2500, 2550, 2600, 2700]


def problems_in(result):
    found = []
    for folder, _, names in os.walk(result):
        layers = {n[:-4].lower() for n in names if n.lower().endswith(".shp")}
        for name in names:
            path = os.path.join(folder, name)
            if name.endswith(".sheetjob-part"):
                found.append("left under a temporary name: " + path)
            elif name.split(".")[0].lower() not in layers and name.endswith(MEMBERS + (".qml",)):
                found.append("a member without its layer's .shp: " + path)
            if not name.endswith(".shp"):
                continue
            base = path[:-4]
            for member in MEMBERS:
                if not os.path.isfile(base + member):
                    found.append("%s has no %s" % (path, member))
            try:
                layer = read_layer(base)
                found.extend("%s: %s" % (path, p) for p in layer.problems)
            except LayerError as error:
                found.append("%s: %s" % (path, error))
    return found


def run_once(program, size_kb, scratch):
    mount = os.path.join(scratch, "fs%d" % size_kb)
    os.makedirs(mount)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dk" % size_kb, "tmpfs", mount],
                      capture_output=True).returncode != 0:
        return None
    try:
        job = os.path.join(scratch, "job%d.txt" % size_kb)
        with open(job, "w") as f:
            f.write(JOB % os.path.join(mount, "out"))
        run = subprocess.run([program, job], capture_output=True, text=True, timeout=120)
        found = problems_in(os.path.join(mount, "out"))
        if run.returncode == 0:
            for layer in ("HYPS/HypsA.shp", "FRAME/Frame.shp", "HYPS_25/N-37-14-Г-г.shp"):
                if not os.path.isfile(os.path.join(mount, "out", layer)):
                    found.append("exit 0 without " + layer)
        elif run.returncode in (8, 16):
            if run.stderr.count("\n") != 1:
                found.append("not one line: %r" % run.stderr)
            # The sub-sheet frames are written first, and their failure leaves
            # the job not done; a sheet layer, style or project is exit 16.
            sub_sheets = ("HYPS_50" in run.stderr or "HYPS_25" in run.stderr) \
                and "QGIS file" not in run.stderr
            if sub_sheets and run.returncode != 8:
                found.append("a sub-sheet failure with exit %d: %s"
                             % (run.returncode, run.stderr.strip()))
        else:
            found.append("exit code %d: %s" % (run.returncode, run.stderr.strip()))
        return run.returncode, found
    finally:
        subprocess.run(["umount", mount], capture_output=True)


def main(argv):
    if len(argv) < 1:
        print(__doc__)
        return 2
    program = os.path.abspath(argv[0])
    sizes = [int(a) for a in argv[1:]] or DEFAULT_SIZES
    if os.geteuid() != 0:
        print("full_disk_test: skipped, mounting a file system needs root")
        return SKIP
    failed = False
    outcomes = {}
    with tempfile.TemporaryDirectory(prefix="sheetjob-full-") as scratch:
        outside = os.path.join(scratch, "outside.txt")
        with open(outside, "w") as f:
            f.write("keep")
        for size in sizes:
            result = run_once(program, size, scratch)
            if result is None:
                print("full_disk_test: skipped, this machine does not let tmpfs be mounted")
                return SKIP
            code, found = result
            outcomes[code] = outcomes.get(code, 0) + 1
            print("%5d kB: exit %d%s" % (size, code, "" if not found else ": " + found[0]))
            failed = failed or bool(found)
        with open(outside) as f:
            if f.read() != "keep":
                print("a file outside the result folder changed")
                failed = True
    # Both endings must have been seen, or the sizes miss the interesting range.
    if 0 not in outcomes or not (set(outcomes) - {0}):
        print("full_disk_test: the sizes did not cover both a full and a roomy file system: %r"
              % outcomes)
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
