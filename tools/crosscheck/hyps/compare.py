#!/usr/bin/python3
"""Runs sheetjob on argument files and compares the HYPS, HYPS_50 and HYPS_25
layers with the reference model, vertex by vertex (exact doubles).

  compare.py --exe BUILD/sheetjob JOBFILE...        one job per file
  compare.py --exe BUILD/sheetjob --jobs jobs.txt   one job per line (# comments)
  compare.py --golden GOLDEN.json...                reference against a golden file

Options: --random N --seed S adds N generated jobs; --quiet prints only the
jobs that differ. The program is --exe (a build folder or the executable),
else $SHEETJOB, else build/debug/apps/sheetjob.
"""

import argparse
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.join(HERE, "..", "common")]
import hypsref  # noqa: E402
import sheetrun  # noqa: E402

FOLDERS = ("HYPS", "HYPS_50", "HYPS_25")


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


def run_program(exe, text):
    """-> (exit code, stderr, {key: Layer or error text}); text holds
    'Path=@' where the scratch folder goes."""
    with sheetrun.scratch("xhyps-") as tmp:
        out = os.path.join(tmp, "out")
        rc, err = sheetrun.run(exe, tmp, (text.replace("Path=@", "Path=" + out) + "\n").encode("utf-8"))
        return rc, err.strip(), sheetrun.read_layers(out, FOLDERS)


def compare_job(exe, text):
    """-> (difference lines, record counts of the HYPS layers, layer count)."""
    want_exit, want, job = hypsref.run_job(text.replace("Path=@", "Path=/tmp/x"))
    got_exit, err, got = run_program(exe, text)
    lines = []
    if got_exit != want_exit:
        lines.append("exit %s (%s), want %d" % (got_exit, err, want_exit))
    for key in sorted(set(want) | set(got)):
        if key not in got:
            lines.append("%s: missing" % key)
        elif key not in want:
            lines.append("%s: not expected" % key)
        elif isinstance(got[key], str):
            lines.append("%s: unreadable: %s" % (key, got[key]))
        else:
            layer = got[key]
            lines += diff_layer(key, want[key], {"shape_type": layer.shape_type, "fields": layer.fields,
                                                 "records": layer.records})
            lines += ["%s: %s" % (key, p) for p in layer.problems]
            problem = job and sheetrun.prj_problem(layer, job["CoordSystem"])
            if problem:
                lines.append("%s: %s" % (key, problem))
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
    a.exe = sheetrun.find_exe(a.exe)
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
    if jobs:
        print("hyps: %d of %d jobs agree" % (len(jobs) - bad, len(jobs)))
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
