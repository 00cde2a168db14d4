#!/usr/bin/env python3
"""Cross-checks the frame layers that sheetjob writes against the reference
model in xref.py, record by record and vertex by vertex (exact doubles).

  compare.py golden FILE.json        reference against a stored expected job
  compare.py run 'Nom=N-37-XIV; ...' one job through the built program
  compare.py batch JOBS.txt          every job of a file (one job a line)

  compare.py batch JOBS.txt --random N --seed S
                                     the file's jobs, then N generated ones
  compare.py batch - --random N      generated jobs only

Options: --bin PATH (a build folder or the executable; default $SHEETJOB, else
build/debug/apps/sheetjob), -v (list every differing record instead of the
first per layer, and a summary line per job), --quiet (print only the jobs
that differ), --keep (keep the program's output of a differing job).
"""
import json
import math
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.join(HERE, "..", "common")]
import sheetrun  # noqa: E402
import xref  # noqa: E402

FRAME_KEYS = ("FRAME/Frame", "FRAME/FrameAdj", "FRAME/FrameDig")
FIELDS = {
    "FRAME/Frame": [("Id", "N", 6, 0), ("L_code", "N", 8, 0)],
    "FRAME/FrameAdj": [("Id", "N", 6, 0), ("L_code", "N", 8, 0), ("Text", "C", 100, 0),
                       ("Font", "C", 100, 0), ("Size", "C", 100, 0)],
}
FIELDS["FRAME/FrameDig"] = FIELDS["FRAME/FrameAdj"]
SHAPE_POLYLINE = 3  # every frame layer holds lines


# ------------------------------------------------------- neighbour label gaps

def _solve(f, target, guess, other=None):
    """Finds a double w near guess with f(w) == target (and other(w) true,
    when given, among the neighbouring doubles that also hit target)."""
    w = guess
    for _ in range(200):
        v = f(w)
        if v == target:
            break
        w = math.nextafter(w, math.inf if v < target else -math.inf)
    else:
        return None
    if other is None or other(w):
        return w
    for direction in (math.inf, -math.inf):
        u = w
        for _ in range(20000):
            u = math.nextafter(u, direction)
            if f(u) != target:
                break
            if other(u):
                return u
    return w


def infer_adj_widths(info, adj_records):
    """The neighbour labels' widths depend on font rows this model does not
    hold; take each from the observed label ends and check that both ends
    follow from one width, centred on the middle of the side."""
    job = info["job"]
    W, E, S, N = info["bounds"]
    L = xref.layout(job["SetScale"], job["MapScale"])
    fr = xref.Frame(L["ScaleDenominator"])
    D = L["OuterFrameDistance"]
    phim, lamm = (S + N) / 2, (W + E) / 2
    top, bottom = fr.tt(N, D), fr.tt(S, -D)
    widths, notes = {}, []
    by_text = {v.rstrip(): k for k, v in info["neighbours"].items()}
    for rec in adj_records:
        side = by_text.get(rec["attrs"].get("Text"))
        g = rec["geom"]
        if side is None or len(g) < 2:
            continue
        if side in "NS":
            lat = top if side == "N" else bottom
            deg_per_mm = (1 / 1000000.0 * fr.s) / (
                math.cos(lat / 360 * 2 * xref.FRAME_PI) * xref.EARTH_R * xref.FRAME_PI) * 180
            a, b = g[0][0], g[-1][0]
            guess = 2 * (b - lamm) / deg_per_mm
            w = _solve(lambda w: fr.tl(lamm, lat, w / 2), b, guess,
                       lambda w: fr.tl(lamm, lat, -w / 2) == a)
            ok = w is not None and fr.tl(lamm, lat, -w / 2) == a
        else:
            deg_per_mm = (1 / 1000000.0 * fr.s) / (xref.EARTH_R * xref.FRAME_PI) * 180
            a, b = g[0][1], g[-1][1]
            guess = 2 * (b - phim) / deg_per_mm
            w = _solve(lambda w: fr.tt(phim, w / 2), b, guess,
                       lambda w: fr.tt(phim, -w / 2) == a)
            ok = w is not None and fr.tt(phim, -w / 2) == a
        if w is None:
            w = guess
        widths[side] = w
        if not ok:
            notes.append("gap of the %s label is not centred on the side's middle "
                         "(no one width gives both ends)" % side)
    return widths, notes


# ---------------------------------------------------------------- comparing

def fmt_pt(p):
    return "(%r, %r)" % p


def compare_layers(ref, got, verbose=False, fields_got=None, geometry_fixed=None):
    """ref: {key: [rec]} from xref; got: {key: [rec]} read back.
    Returns a list of difference lines (empty when they agree)."""
    out = []
    for key in FRAME_KEYS:
        r, g = ref.get(key), got.get(key)
        if r is None and g is None:
            continue
        if r is None:
            out.append("%s: written (%d records) but not expected" % (key, len(g)))
            continue
        if g is None:
            out.append("%s: expected (%d records) but not written" % (key, len(r)))
            continue
        if fields_got and key in fields_got and fields_got[key] != FIELDS[key]:
            out.append("%s: fields %s, expected %s" % (key, fields_got[key], FIELDS[key]))
        if len(r) != len(g):
            out.append("%s: %d records, expected %d" % (key, len(g), len(r)))
        bad = 0
        for i, (rr, gg) in enumerate(zip(r, g)):
            what = None
            exp_attrs = dict(rr["attrs"], Id=i + 1)
            if gg["attrs"] is None or gg["geom"] is None:
                what = "only the %s holds this record" % ("shapes" if gg["attrs"] is None else "table")
            elif gg["attrs"] != exp_attrs:
                what = "attrs %s, expected %s" % (gg["attrs"], exp_attrs)
            elif rr["fixed"] and (geometry_fixed is None or geometry_fixed[key][i]):
                ge, gw = rr["geom"], [tuple(p) for p in gg["geom"]]
                if len(ge) != len(gw):
                    what = "%d vertices, expected %d; got %s..%s expected %s..%s" % (
                        len(gw), len(ge), fmt_pt(gw[0]) if gw else "-",
                        fmt_pt(gw[-1]) if gw else "-", fmt_pt(ge[0]), fmt_pt(ge[-1]))
                else:
                    for k, (pe, pw) in enumerate(zip(ge, gw)):
                        if pe != pw:
                            what = "vertex %d of %d: %s, expected %s (dx %.3g, dy %.3g)" % (
                                k + 1, len(ge), fmt_pt(pw), fmt_pt(pe),
                                pw[0] - pe[0], pw[1] - pe[1])
                            break
            if what:
                bad += 1
                if bad == 1 or verbose:
                    out.append("%s record %d (L_code %s): %s" % (
                        key, i + 1, rr["attrs"].get("L_code"), what))
        if bad > 1:
            out.append("%s: %d differing records in all" % (key, bad))
    return out


# ------------------------------------------------------------------ sources

def read_frame_folder(root, coord_system, problems):
    """The layers of root/FRAME as {key: records} and {key: fields}; what is
    wrong with their files goes to problems."""
    layers, fields = {}, {}
    for found, layer in sheetrun.read_layers(root, ["FRAME"]).items():
        name = found.split("/")[1]
        key = next((k for k in FRAME_KEYS if k.split("/")[1].lower() == name.lower()), found)
        if found not in FRAME_KEYS:
            problems.append("unexpected layer file name %s" % name)
        if isinstance(layer, str):
            problems.append("%s: unreadable: %s" % (name, layer))
            continue
        if layer.shape_type != SHAPE_POLYLINE:
            problems.append("%s: shape type %d, expected %d" % (name, layer.shape_type, SHAPE_POLYLINE))
        problems.extend("%s: %s" % (name, p) for p in layer.problems)
        prj = sheetrun.prj_problem(layer, coord_system)
        if prj:
            problems.append("%s: %s" % (name, prj))
        layers[key] = layer.records
        fields[key] = layer.fields
    return layers, fields


def with_path(job_text, path):
    items = [it for it in job_text.split(";") if it.strip() and
             it.split("=", 1)[0].strip() != "Path"]
    return "; ".join(it.strip() for it in items) + "; Path=%s;\n" % path


def summary(layers, info):
    """One line on what the job exercised."""
    parts = ["%s %d" % (k.split("/")[1], len(v)) for k, v in sorted(layers.items())]
    if info.get("collisions"):
        parts.append("moved labels " + ",".join(info["collisions"]))
    wid = info.get("adj_width")
    if wid:
        dropped = [s for s in "NSWE" if wid[s] == 0]
        if dropped:
            parts.append("no name on " + "".join(dropped))
    parts.append("%d parallels, %d meridians" % (len(info["lats"]), len(info["lons"])))
    return "[" + "; ".join(parts) + "]"


def check_job(binary, job_text, verbose=False, keep=False):
    """Returns (ok, lines)."""
    lines = []
    layers, info = xref.run_job(job_text)
    with sheetrun.scratch("xframe-", keep=lambda: keep and lines) as tmp:
        rc, err = sheetrun.run(binary, tmp, with_path(job_text, "out").encode("utf-8"))
        if rc != 0:
            lines.append("exit code %s: %s" % (rc, err.strip()))
            return False, lines
        got, fields = read_frame_folder(os.path.join(tmp, "out"), info["job"]["CoordSystem"], lines)
        if "FRAME/FrameAdj" in got:
            widths, notes = infer_adj_widths(info, got["FRAME/FrameAdj"])
            lines.extend(notes)
            layers, info = xref.run_job(job_text, adj_widths=widths)
        lines.extend(compare_layers(layers, got, verbose, fields))
        if lines and keep:
            lines.append("(program output kept in %s)" % tmp)
    ok = not lines
    if verbose:
        lines.append(summary(layers, info))
    return ok, lines


def check_golden(path, verbose=False):
    with open(path, encoding="utf-8") as f:
        gold = json.load(f)
    job_text = gold["argument_file"]
    layers, info = xref.run_job(job_text)
    got = {k: v["records"] for k, v in gold["layers"].items() if k in FRAME_KEYS}
    fields = {k: [tuple(f) for f in v["fields"]] for k, v in gold["layers"].items()
              if k in FRAME_KEYS}
    lines = []
    if "FRAME/FrameAdj" in got:
        widths, notes = infer_adj_widths(info, got["FRAME/FrameAdj"])
        lines.extend(notes)
        layers, info = xref.run_job(job_text, adj_widths=widths)
    # The records the golden file marks as depending on stand-in letter
    # widths are compared vertex by vertex too: the widths inferred above
    # must reproduce them.
    lines.extend(compare_layers(layers, got, verbose, fields,
                                {k: [True] * len(v) for k, v in got.items()}))
    return not lines, lines


# ------------------------------------------------------------ random jobs

CS = ["CK-42", "CK-95", "\u0413CK-2011", "\u0413CK-2011 / \u0421\u041a-42"]
MAPS = {0: ["200", "500", "1000"], 1: ["1000", "2500", "5000"]}


def dm(minutes):
    return "%d %02d" % divmod(minutes, 60)


def random_job(rng):
    """One valid job: sheet, system, map scale, refined bounds within the
    margins (narrow ones too), spacings and divisions."""
    ss = rng.choice([0, 0, 1])
    belt = rng.choice("UTSRQPONMLK")
    zone = rng.choice(list(range(33, 61)) + [1, 2])
    st = rng.choice([0, 0, 0, 1, 2, 3])
    if ss == 0:
        nom = "%s-%02d-%s" % (belt, zone, xref.roman(rng.randint(1, 36)))
    else:
        nom = "%s-%02d" % (belt, zone)
    if st:
        nom += "(%d)" % (st + 1)
    items = ["Nom=" + nom, "CS=" + rng.choice(CS)]
    if rng.random() < 0.8:
        items.append("MapScale=" + rng.choice(MAPS[ss][:2] if rng.random() < 0.9 else MAPS[ss]))
    base = xref.base_params(*xref.parse_nom(nom))
    w, e = round(base["BaseWest"] * 60), round(base["BaseEast"] * 60)
    s, n = round(base["BaseSouth"] * 60), round(base["BaseNorth"] * 60)
    mx, my = (60, 40) if ss == 0 else (360, 240)
    if rng.random() < 0.5:
        # refine: each bound moved, at most one sheet size minus a minute
        for _ in range(20):
            lw = w + (rng.randint(-mx + 1, mx - 1) if rng.random() < 0.6 else 0)
            le = e + (rng.randint(-mx + 1, mx - 1) if rng.random() < 0.6 else 0)
            ls = s + (rng.randint(-my + 1, my - 1) if rng.random() < 0.6 else 0)
            ln = n + (rng.randint(-my + 1, my - 1) if rng.random() < 0.6 else 0)
            if rng.random() < 0.2:  # a narrow trapezium: sides of a few minutes
                if rng.random() < 0.5:
                    le = lw + rng.randint(1, 6)
                else:
                    ln = ls + rng.randint(1, 6)
            if (le - lw >= 1 and ln - ls >= 1 and ln < 85 * 60 and lw > w - mx
                    and le < e + mx and ls > s - my and ln < n + my):
                break
        else:
            lw, le, ls, ln = w, e, s, n
        for key, v, b in (("xFrom", lw, w), ("xTo", le, e), ("yFrom", ls, s), ("yTo", ln, n)):
            if v != b or rng.random() < 0.2:
                items.append("%s=%s" % (key, dm(v)))
        width, height = le - lw, ln - ls
    else:
        width, height = e - w, n - s
    if rng.random() < 0.4:
        step = rng.randint(max(1, height // 60), max(2, height // 2 if rng.random() < 0.8 else height * 2))
        items.append("ParallelStep=" + dm(step))
    if rng.random() < 0.4:
        step = rng.randint(max(1, width // 60), max(2, width // 2))
        items.append("MeridianStep=" + dm(step))
    if rng.random() < 0.4:
        items.append("xMinute=%d" % rng.randint(max(1, width // 200), 59))
    if rng.random() < 0.4:
        items.append("yMinute=%d" % rng.randint(max(1, height // 200), 59))
    return "; ".join(items) + ";"


def main(argv):
    binary = None
    verbose = quiet = keep = False
    nrandom, seed = 0, 1
    args = []
    it = iter(argv)
    for a in it:
        if a == "--bin":
            binary = next(it)
        elif a == "-v":
            verbose = True
        elif a == "--quiet":
            quiet = True
        elif a == "--keep":
            keep = True
        elif a == "--random":
            nrandom = int(next(it))
        elif a == "--seed":
            seed = int(next(it))
        else:
            args.append(a)
    if len(args) != 2 or args[0] not in ("golden", "run", "batch"):
        print(__doc__)
        return 2
    binary = sheetrun.find_exe(binary)
    mode, what = args
    if mode == "golden":
        ok, lines = check_golden(what, verbose)
        print(("OK    " if ok else "DIFF  ") + what)
        for ln in lines:
            print("    " + ln)
        return 0 if ok else 1
    if mode == "run":
        jobs = [what]
    elif what == "-":
        jobs = []
    else:
        jobs = [ln.strip() for ln in open(what, encoding="utf-8")
                if ln.strip() and not ln.lstrip().startswith("#")]
    rng = random.Random(seed)
    jobs += [random_job(rng) for _ in range(nrandom)]
    failed = 0
    for job in jobs:
        try:
            ok, lines = check_job(binary, job, verbose, keep)
        except Exception as e:  # a reference refusal is a finding, not a crash
            ok, lines = False, ["reference failed: %r" % e]
        failed += not ok
        if quiet and ok:
            continue
        print(("OK    " if ok else "DIFF  ") + job)
        for ln in lines:
            print("    " + ln)
    print("frame: %d of %d jobs agree" % (len(jobs) - failed, len(jobs)))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
