#!/usr/bin/python3
"""Runs two builds of sheetjob on the same generated jobs and compares every
byte they write, their exit codes and their messages.

    compare-builds.py [--jobs N] [--seed S] [--layers-only] OLD-PROGRAM NEW-PROGRAM

The jobs cover every belt and zone, both series and their combined sheets, the
four coordinate systems, the map scales, refined trapezia, graticule spacings,
minute divisions and sub-sheet frames. With --layers-only the QGIS styles and
project are left out of the comparison (for a change that is meant to alter
them). Prints each job that differs and exits 1 when any does. Standard
library only.
"""
import argparse
import filecmp
import os
import random
import shutil
import subprocess
import sys
import tempfile

BELTS = "KLMNOPQRSTU"
ZONES = [f"{z:02d}" for z in list(range(33, 61)) + [1, 2]]
ROMAN = ["I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI", "XII", "XIII",
         "XIV", "XV", "XVI", "XVII", "XVIII", "XIX", "XX", "XXI", "XXII", "XXIII", "XXIV",
         "XXV", "XXVI", "XXVII", "XXVIII", "XXIX", "XXX", "XXXI", "XXXII", "XXXIII",
         "XXXIV", "XXXV", "XXXVI"]
SYSTEMS = ["CK-42", "CK-95", "\u0413CK-2011", "\u0413CK-2011 / \u0421\u041a-42"]


def angle(value):
    """Degrees and whole minutes as the argument file writes them."""
    minutes = round(value * 60)
    return f"{minutes // 60} {minutes % 60:02d}"


def job(rng, path):
    belt, zone = rng.choice(BELTS), rng.choice(ZONES)
    million = rng.random() < 0.35
    items = []
    if million:
        kind = rng.choice(["", "", " (2)", " (4)"])
        items.append(f"Nom={belt}-{zone}{kind}")
        items.append(f"MapScale={rng.choice([1000, 1000, 2500, 5000])}")
        west = (6 * int(zone) + 174) % 360
        south = 4 * (BELTS.index(belt) + 10)
        width, height = 6, 4
    else:
        number = rng.randrange(36)
        kind = rng.choice(["", "", "", "(2)", "(3)"])
        items.append(f"Nom={belt}-{zone}-{ROMAN[number]}{kind}")
        items.append(f"MapScale={rng.choice([200, 200, 500, 1000])}")
        west = (6 * int(zone) + 174) % 360 + (number % 6)
        south = 4 * (BELTS.index(belt) + 10) + 4 - 2 / 3 * (number // 6 + 1)
        width, height = 1, 2 / 3
        if not kind and rng.random() < 0.3:
            items.append(f"SubSheetFrames={rng.choice([0, 1])}")
    items.append(f"CS={rng.choice(SYSTEMS)}")
    if rng.random() < 0.3:
        # A refined trapezium inside the sheet's own margin, on whole minutes.
        w = west + rng.randrange(-3, 4) * width / 6
        s = south + rng.randrange(-3, 4) * height / 6
        items += [f"xFrom={angle(w)}", f"xTo={angle(w + width * rng.choice([0.5, 1, 1.5]))}",
                  f"yFrom={angle(s)}", f"yTo={angle(s + height * rng.choice([0.5, 1, 1.5]))}"]
    if rng.random() < 0.3:
        items.append(f"MeridianStep=0 {rng.choice([1, 5, 10, 15, 30])}")
        items.append(f"ParallelStep=0 {rng.choice([1, 5, 10, 20])}")
    if rng.random() < 0.2:
        items.append(f"xMinute={rng.choice([1, 2, 5])}")
        items.append(f"yMinute={rng.choice([1, 2, 5])}")
    items.append(f"Path={path}")
    return "; ".join(items) + ";\n"


def run(program, text, work):
    out = os.path.join(work, "out")
    arg = os.path.join(work, "job.txt")
    with open(arg, "w", encoding="utf-8") as f:
        f.write(text.replace("Path=@", "Path=" + out))
    r = subprocess.run([program, arg], capture_output=True, timeout=120)
    return r.returncode, r.stderr.replace(work.encode(), b"@"), out


def differences(a, b, layers_only):
    found = []
    for folder, dirs, files in os.walk(a):
        rel = os.path.relpath(folder, a)
        for name in files:
            if name in (".sheetjob.lock", ".sheetjob.run"):  # the run's own bookkeeping
                continue
            if layers_only and name.lower().endswith((".qml", ".qgs")):
                continue
            other = os.path.join(b, rel, name)
            if not os.path.exists(other):
                found.append(f"only in the old output: {rel}/{name}")
            elif not filecmp.cmp(os.path.join(folder, name), other, shallow=False):
                found.append(f"differs: {rel}/{name}")
    for folder, dirs, files in os.walk(b):
        rel = os.path.relpath(folder, b)
        for name in files:
            if layers_only and name.lower().endswith((".qml", ".qgs")):
                continue
            if name in (".sheetjob.lock", ".sheetjob.run"):
                continue
            if not os.path.exists(os.path.join(a, rel, name)):
                found.append(f"only in the new output: {rel}/{name}")
    return found


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--jobs", type=int, default=200)
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--layers-only", action="store_true")
    p.add_argument("old")
    p.add_argument("new")
    args = p.parse_args()
    rng = random.Random(args.seed)
    failed = files = 0
    exits = {}
    for i in range(args.jobs):
        text = job(rng, "@")
        with tempfile.TemporaryDirectory() as wa, tempfile.TemporaryDirectory() as wb:
            ca, ea, oa = run(os.path.abspath(args.old), text, wa)
            cb, eb, ob = run(os.path.abspath(args.new), text, wb)
            exits[cb] = exits.get(cb, 0) + 1
            found = []
            if ca != cb:
                found.append(f"exit {ca} -> {cb}")
            if ea != eb:
                found.append(f"stderr {ea!r} -> {eb!r}")
            if os.path.isdir(oa) or os.path.isdir(ob):
                found += differences(oa, ob, args.layers_only)
                files += sum(len(f) for _, _, f in os.walk(ob))
            if found:
                failed += 1
                print(f"job {i}: {text.strip()}")
                for line in found[:10]:
                    print("   ", line)
    codes = ", ".join(f"{n} exit {c}" for c, n in sorted(exits.items()))
    print(f"{args.jobs} jobs ({codes}), {files} files: {failed} differ")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
