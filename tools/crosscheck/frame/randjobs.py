#!/usr/bin/env python3
"""Writes random valid jobs, one a line, for `compare.py batch`.

  randjobs.py COUNT [SEED]
"""
import random
import sys

import xref

CS = ["CK-42", "CK-95", "\u0413CK-2011", "\u0413CK-2011 / \u0421\u041a-42"]
MAPS = {0: ["200", "500", "1000"], 1: ["1000", "2500", "5000"]}


def dm(minutes):
    return "%d %02d" % divmod(minutes, 60)


def job(rng):
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


def main():
    count = int(sys.argv[1])
    rng = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 1)
    for _ in range(count):
        print(job(rng))


if __name__ == "__main__":
    main()
