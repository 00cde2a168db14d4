#!/usr/bin/python3
"""Runs sheetjob on argument files and compares the HYPS, HYPS_50 and HYPS_25
layers with the reference model, vertex by vertex (exact doubles).

  compare.py --exe BUILD/sheetjob JOBFILE...        one job per file
  compare.py --exe BUILD/sheetjob --jobs jobs.txt   one job per line (# comments)
  compare.py --golden GOLDEN.json...                reference against a golden file
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hypsref  # noqa: E402
import shpread  # noqa: E402

FOLDERS = ("HYPS", "HYPS_50", "HYPS_25")
WKT_PULKOVO = ('GEOGCS["GCS_Pulkovo_%s",DATUM["D_Pulkovo_%s",SPHEROID["Krasovsky_1940", 6378245.0,298.3]], '
               'PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433]]')
WKT_2011 = ('GEOGCS["GCS_RUSSIA_2011",DATUM["D_RUSSIA_2011",SPHEROID["S_RUSSIA_2011", 6378136.5,298.2564151],'
            'AUTHORITY["EPSG","1159"]], '
            'PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433],AUTHORITY["EPSG","7683"]]')
PRJ = {1: WKT_PULKOVO % ("1942", "1942"), 2: WKT_PULKOVO % ("1995", "1995"), 3: WKT_2011, 4: WKT_2011}


def diff_layer(key, want, got, attrs_only_ok=None, limit=3):
    """Returns a list of difference lines (empty when equal)."""
    out = []
    if want["shape_type"] != got["shape_type"]:
        out.append("%s: shape type %s, want %s" % (key, got["shape_type"], want["shape_type"]))
    wf = [list(f) for f in want["fields"]]
    gf = [list(f) for f in got["fields"]]
    if wf != gf:
        out.append("%s: fields %s, want %s" % (key, gf, wf))
    wr, gr = want["records"], got["records"]
    if len(wr) != len(gr):
        out.append("%s: %d records, want %d" % (key, len(gr), len(wr)))
    for i, (w, g) in enumerate(zip(wr, gr)):
        if len(out) >= limit:
            break
        if w["attrs"] != g["attrs"]:
            d = {k: (g["attrs"].get(k) if g["attrs"] else None, v) for k, v in w["attrs"].items()
                 if not g["attrs"] or g["attrs"].get(k) != v}
            out.append("%s rec %d: attrs (got, want) %s" % (key, i + 1, json.dumps(d, ensure_ascii=False)))
        if attrs_only_ok and not w.get("geometry_fixed", True):
            continue
        wg, gg = w["geom"], g["geom"]
        if wg != gg:
            if gg is None or len(wg) != len(gg):
                out.append("%s rec %d: %s vertices, want %d" % (key, i + 1, None if gg is None else len(gg), len(wg)))
            for j, (a, b) in enumerate(zip(wg, gg or [])):
                if list(a) != list(b):
                    out.append("%s rec %d vertex %d: got %r want %r (d=%.3g,%.3g)" % (
                        key, i + 1, j, b, a, b[0] - a[0], b[1] - a[1]))
                    break
    return out


def read_output(root):
    layers = {}
    for folder in FOLDERS:
        d = os.path.join(root, folder)
        if not os.path.isdir(d):
            continue
        for fn in sorted(os.listdir(d)):
            if fn.endswith(".shp"):
                base = os.path.join(d, fn[:-4])
                try:
                    layers[folder + "/" + fn[:-4]] = shpread.read_layer(base)
                except Exception as e:  # a broken layer is itself a finding
                    layers[folder + "/" + fn[:-4]] = {"shape_type": None, "fields": [], "records": [],
                                                      "error": str(e)}
    return layers


def run_program(exe, text):
    tmp = tempfile.mkdtemp(prefix="xhyps-")
    out = os.path.join(tmp, "out")
    text = text.replace("Path=@", "Path=" + out)
    argf = os.path.join(tmp, "job.txt")
    with open(argf, "w", encoding="utf-8") as f:
        f.write(text + "\n")
    r = subprocess.run([exe, argf], capture_output=True, cwd=tmp)
    return r.returncode, r.stderr.decode("utf-8", "replace").strip(), read_output(out), tmp


def compare_job(exe, text, verbose=False):
    """text holds 'Path=@;' where the temporary folder goes."""
    want_exit, want, job = hypsref.run_job(text.replace("Path=@", "Path=/tmp/x"))
    got_exit, err, got, tmp = run_program(exe, text)
    lines = []
    if got_exit != want_exit:
        lines.append("exit %d (%s), want %d" % (got_exit, err, want_exit))
    for key in sorted(set(want) | set(got)):
        if key not in got:
            lines.append("%s: missing" % key)
        elif key not in want:
            lines.append("%s: not expected" % key)
        elif "error" in got[key]:
            lines.append("%s: unreadable: %s" % (key, got[key]["error"]))
        else:
            lines += diff_layer(key, want[key], got[key])
            if got[key].get("shx"):
                lines.append("%s: %s" % (key, got[key]["shx"]))
            if job and got[key].get("prj") != PRJ[job["CoordSystem"]] + "\r\n":
                lines.append("%s: projection file %r" % (key, got[key].get("prj")))
    subprocess.run(["rm", "-rf", tmp])
    counts = {k: len(v["records"]) for k, v in want.items() if k.startswith("HYPS/")}
    return lines, counts, len(want)


def check_golden(path):
    g = json.load(open(path))
    text = g["argument_file"]
    _, want, _ = hypsref.run_job(text)
    lines = []
    for key, lay in g["layers"].items():
        if not key.startswith("HYPS"):
            continue
        lay = dict(lay, fields=[list(f) for f in lay["fields"]])
        # golden is "want" here: report where the model departs from it
        lines += diff_layer(key, lay, want.get(key, {"shape_type": None, "fields": [], "records": []}),
                            attrs_only_ok=True, limit=10)
    return lines


def random_jobs(n, seed):
    """Jobs over the whole accepted range: sheets, combined types, systems,
    refined bounds (whole minutes, inside and outside the base edges), spacings."""
    import random
    rnd = random.Random(seed)
    cs_names = list(hypsref.CS_NAMES)
    out = []
    for _ in range(n):
        belt = rnd.choice("UTSRQPONMLK")
        zone = rnd.choice([1, 2] + list(range(33, 61)))
        one_m = rnd.random() < 0.35
        items = []
        if one_m:
            nom = "%s-%02d" % (belt, zone) + rnd.choice(["", "", "(2)", " (3)", "(4)"])
        else:
            sheet = rnd.randint(1, 36)
            nom = "%s-%02d-%s" % (belt, zone, hypsref.roman(sheet)) + rnd.choice(["", "", "", "(2)", "(3)", "(4)"])
        items.append("Nom=" + nom)
        items.append("CS=" + rnd.choice(cs_names))
        ss, yz, xz, sn, st = hypsref.read_nom(nom)
        b = hypsref.compute_base(ss, yz, xz, sn, st)
        mx, my = (60, 40) if ss == 0 else (360, 240)

        def dm(v):
            m = int(round(v * 60))
            return "%d %02d" % (m // 60, m % 60)
        if rnd.random() < 0.5:
            for key, base, margin in (("xFrom", "BaseWest", mx), ("xTo", "BaseEast", mx),
                                      ("yFrom", "BaseSouth", my), ("yTo", "BaseNorth", my)):
                if rnd.random() < 0.6:
                    off = rnd.randint(-(margin - 1), margin - 1) // rnd.choice([1, 2, 4, 8])
                    items.append("%s=%s" % (key, dm(b[base] + off / 60)))
        if rnd.random() < 0.4:
            items.append("ParallelStep=" + dm(rnd.choice([1, 2, 3, 5, 7, 10, 13, 20, 30, 40, 45, 60, 90]) / 60))
        if rnd.random() < 0.4:
            items.append("MeridianStep=" + dm(rnd.choice([2, 3, 5, 7, 10, 11, 15, 20, 30, 45, 60, 90, 120]) / 60))
        if ss == 0 and st == 0 and rnd.random() < 0.15:
            items.append("SubSheetFrames=1")
        items.append("Path=@")
        rnd.shuffle(items)
        if "MapScale" not in items:
            pass
        out.append("; ".join(items) + ";")
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe")
    ap.add_argument("--jobs")
    ap.add_argument("--golden", nargs="*")
    ap.add_argument("--random", type=int, default=0)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--quiet", action="store_true")
    ap.add_argument("files", nargs="*")
    a = ap.parse_args()
    a.exe = os.path.abspath(a.exe or os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../../build/release/apps/sheetjob"))
    bad = 0
    for g in a.golden or []:
        lines = check_golden(g)
        print("golden %s: %s" % (os.path.basename(g), "OK" if not lines else "DIFF"))
        for ln in lines:
            print("   ", ln)
        bad += bool(lines)
    jobs = []
    if a.jobs:
        for ln in open(a.jobs, encoding="utf-8"):
            ln = ln.strip()
            if ln and not ln.startswith("#"):
                jobs.append(ln)
    for fn in a.files:
        jobs.append(open(fn, encoding="utf-8").read())
    jobs += random_jobs(a.random, a.seed)
    for text in jobs:
        lines, counts, nlayers = compare_job(a.exe, text)
        if a.quiet and not lines:
            continue
        print("%s %s  [%d layers; %s]" % ("OK  " if not lines else "DIFF", text, nlayers,
                                          " ".join("%s=%d" % (k[5:], v) for k, v in sorted(counts.items()))))
        for ln in lines[:12]:
            print("   ", ln)
        bad += bool(lines)
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
