#!/usr/bin/env python3
"""Cross-checks the frame layers that sheetjob writes against the reference
model in xref.py, record by record and vertex by vertex (exact doubles).

  compare.py golden FILE.json        reference against a stored expected job
  compare.py run 'Nom=N-37-XIV; ...' one job through the built program
  compare.py batch JOBS.txt          every job of a file (one job a line)

Options: --bin PATH (default ../../../build/release/apps/sheetjob), -v (list
every differing record instead of the first per layer).
"""
import glob
import json
import math
import os
import subprocess
import sys
import tempfile

import shpread
import xref

FRAME_KEYS = ("FRAME/Frame", "FRAME/FrameAdj", "FRAME/FrameDig")
FIELDS = {
    "FRAME/Frame": [("Id", "N", 6, 0), ("L_code", "N", 8, 0)],
    "FRAME/FrameAdj": [("Id", "N", 6, 0), ("L_code", "N", 8, 0), ("Text", "C", 100, 0),
                       ("Font", "C", 100, 0), ("Size", "C", 100, 0)],
}
FIELDS["FRAME/FrameDig"] = FIELDS["FRAME/FrameAdj"]
DEFAULT_BIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../../build/release/apps/sheetjob")


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
            if gg["attrs"] != exp_attrs:
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

def read_frame_folder(folder, coord_system=None, problems=None):
    layers, fields, names = {}, {}, []
    for shp in sorted(glob.glob(os.path.join(folder, "*.shp"))):
        base = shp[:-4]
        name = os.path.basename(base)
        names.append(name)
        key = next((k for k in FRAME_KEYS if k.split("/")[1].lower() == name.lower()),
                   "FRAME/" + name)
        st, flds, recs = shpread.read_layer(base)
        if problems is not None:
            if st != 3:
                problems.append("%s: shape type %d, expected 3" % (name, st))
            problems.extend("%s: %s" % (name, p)
                            for p in shpread.validate(base, coord_system))
        layers[key] = recs
        fields[key] = flds
    return layers, fields, names


def with_path(job_text, path):
    items = [it for it in job_text.split(";") if it.strip() and
             it.split("=", 1)[0].strip() != "Path"]
    return "; ".join(it.strip() for it in items) + "; Path=%s;\n" % path


def run_program(binary, job_text):
    tmp = tempfile.mkdtemp(prefix="xframe-")
    arg = os.path.join(tmp, "job.txt")
    with open(arg, "w", encoding="utf-8") as f:
        f.write(with_path(job_text, "out"))
    p = subprocess.run([binary, arg], cwd=tmp, capture_output=True, text=True)
    return tmp, p.returncode, p.stderr.strip()


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


def check_job(binary, job_text, verbose=False):
    """Returns (ok, lines)."""
    lines = []
    layers, info = xref.run_job(job_text)
    tmp, rc, err = run_program(binary, job_text)
    if rc != 0:
        return False, ["exit code %d: %s" % (rc, err)]
    folder = os.path.join(tmp, "out", "FRAME")
    got, fields, names = read_frame_folder(folder, info["job"]["CoordSystem"], lines)
    for n in names:
        if n not in ("Frame", "FrameAdj", "FrameDig"):
            lines.append("unexpected layer file name %s" % n)
    if "FRAME/FrameAdj" in got:
        widths, notes = infer_adj_widths(info, got["FRAME/FrameAdj"])
        lines.extend(notes)
        layers, info = xref.run_job(job_text, adj_widths=widths)
    lines.extend(compare_layers(layers, got, verbose, fields))
    ok = not lines
    if ok:
        subprocess.run(["rm", "-rf", tmp])
    else:
        lines.append("(program output kept in %s)" % tmp)
    if verbose:
        lines.append(summary(layers, info))
    return ok, lines


def check_golden(path, verbose=False):
    with open(path, encoding="utf-8") as f:
        gold = json.load(f)
    job_text = gold["argument_file"]
    layers, info = xref.run_job(job_text)
    got = {k: v["records"] for k, v in gold["layers"].items() if k in FRAME_KEYS}
    fixed = {k: [r.get("geometry_fixed", True) for r in v] for k, v in got.items()}
    fields = {k: [tuple(f) for f in v["fields"]] for k, v in gold["layers"].items()
              if k in FRAME_KEYS}
    lines = []
    if "FRAME/FrameAdj" in got:
        widths, notes = infer_adj_widths(info, got["FRAME/FrameAdj"])
        lines.extend(notes)
        layers, info = xref.run_job(job_text, adj_widths=widths)
    # Golden vertices of unknown-width records are compared too when the
    # inferred widths reproduce them; report those separately.
    lines.extend(compare_layers(layers, got, verbose, fields,
                                {k: [True] * len(v) for k, v in got.items()}))
    return not lines, lines


def main(argv):
    binary = DEFAULT_BIN
    verbose = False
    args = []
    it = iter(argv)
    for a in it:
        if a == "--bin":
            binary = os.path.abspath(next(it))
        elif a == "-v":
            verbose = True
        else:
            args.append(a)
    if len(args) != 2 or args[0] not in ("golden", "run", "batch"):
        print(__doc__)
        return 2
    mode, what = args
    if mode == "golden":
        ok, lines = check_golden(what, verbose)
        print(("OK    " if ok else "DIFF  ") + what)
        for ln in lines:
            print("    " + ln)
        return 0 if ok else 1
    jobs = [what] if mode == "run" else [
        ln.strip() for ln in open(what, encoding="utf-8")
        if ln.strip() and not ln.lstrip().startswith("#")]
    failed = 0
    for job in jobs:
        try:
            ok, lines = check_job(binary, job, verbose)
        except Exception as e:  # a reference refusal is a finding, not a crash
            ok, lines = False, ["reference failed: %r" % e]
        failed += not ok
        print(("OK    " if ok else "DIFF  ") + job)
        for ln in lines:
            print("    " + ln)
    print("%d of %d jobs agree" % (len(jobs) - failed, len(jobs)))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
