#!/usr/bin/python3
"""Regenerates src/sheetjob/frame/FontMetrics.cpp, the glyph metric table of the
three label fonts, in thousandths of the em.

The rows that the frame's design fixes (the characters of the value labels and
a few others) are kept exactly as they stand. The other rows come from a freely
licensed face of the same style that Debian ships; for each font the candidate
whose metrics come closest to the fixed rows (RMS over all five values) is used.

Usage: /usr/bin/python3 tools/fontmetrics/generate.py [output.cpp]
Needs python3-fonttools and the packages fonts-freefont-ttf, fonts-paratype,
fonts-dejavu-extra. Not needed to build or test the program.
"""

import math
import sys

from fontTools.ttLib import TTFont

FONT_DIR = "/usr/share/fonts/truetype"

# Candidate stand-ins per font number: (label, file).
CANDIDATES = {
    1: [("FreeSans", "freefont/FreeSans.ttf"),
        ("PT Sans", "paratype/PTS55F.ttf"),
        ("PT Sans Caption", "paratype/PTC55F.ttf")],
    2: [("PT Sans", "paratype/PTS55F.ttf"),
        ("PT Sans Narrow", "paratype/PTN57F.ttf"),
        ("FreeSans", "freefont/FreeSans.ttf")],
    3: [("DejaVu Serif Condensed", "dejavu/DejaVuSerifCondensed.ttf"),
        ("FreeSerif", "freefont/FreeSerif.ttf"),
        ("PT Serif", "paratype/PTF55F.ttf"),
        ("DejaVu Serif", "dejavu/DejaVuSerif.ttf")],
}

NAMES = {1: "PragmaticaC", 2: "FreeSet", 3: "AGCenturion"}


def span(a, b):
    return list(range(a, b + 1))


# Windows-1251 codes that each font defines.
DEFINED = {
    1: span(32, 126) + span(161, 172) + [174] + span(176, 180) + [182] + span(184, 255),
    3: span(32, 126) + [163, 164] + span(166, 169) + [171, 172, 174] + span(176, 179)
    + [182, 184, 185] + span(187, 190) + span(192, 255),
}
DEFINED[2] = DEFINED[1]

# The fixed rows: advance, xmin, ymin, xmax, ymax per font.
FIXED = {
    32: [(233, 0, 0, 0, 0), (351, 0, 0, 0, 0), (250, 0, 0, 0, 0)],
    39: [(232, 50, 508, 182, 700), (194, 50, 527, 144, 700), (211, 60, 326, 149, 743)],
    45: [(422, 79, 225, 343, 310), (420, 100, 240, 320, 293), (237, 0, 220, 225, 293)],
    48: [(582, 45, -21, 536, 721), (590, 59, -8, 530, 708), (500, 32, -11, 480, 725)],
    49: [(578, 129, 0, 383, 700), (359, 40, 0, 259, 700), (500, 82, 0, 444, 725)],
    50: [(584, 59, 0, 535, 721), (523, 50, 0, 473, 708), (500, 28, 0, 462, 725)],
    51: [(581, 41, -21, 527, 721), (546, 35, -8, 466, 708), (500, 30, -11, 462, 725)],
    52: [(586, 26, 0, 560, 700), (593, 40, 0, 553, 700), (500, 25, 0, 477, 725)],
    53: [(581, 47, -21, 534, 700), (558, 80, -8, 488, 700), (500, 43, -11, 472, 714)],
    54: [(581, 44, -21, 536, 721), (574, 60, -8, 514, 708), (500, 41, -11, 486, 725)],
    55: [(581, 35, 0, 546, 700), (470, 20, 0, 450, 700), (500, 38, -11, 474, 714)],
    56: [(584, 55, -21, 528, 721), (613, 70, -8, 543, 708), (500, 32, -11, 481, 725)],
    57: [(581, 44, -21, 536, 721), (579, 60, -8, 519, 708), (500, 28, -11, 473, 725)],
    176: [(266, 36, 508, 229, 701), (336, 56, 490, 280, 714), (500, 70, 425, 370, 725)],
}
OVERRIDES = {f: {code: rows[f - 1] for code, rows in FIXED.items()} for f in (1, 2, 3)}
OVERRIDES[1][65] = (622, -4, 0, 626, 700)
OVERRIDES[1][192] = (622, -4, 0, 626, 700)
OVERRIDES[1][73] = (264, 85, 0, 179, 700)
OVERRIDES[3][65] = (658, -29, 0, 696, 757)
OVERRIDES[2][255] = (498, 45, 0, 418, 513)


def face_metrics(path):
    """Metrics of every Windows-1251 code the face has, in thousandths of the em."""
    font = TTFont(path)
    scale = 1000.0 / font["head"].unitsPerEm
    cmap = font.getBestCmap()
    glyf = font["glyf"]
    hmtx = font["hmtx"]
    out = {}
    for code in range(32, 256):
        try:
            ch = bytes([code]).decode("cp1251")
        except UnicodeDecodeError:
            continue
        name = cmap.get(ord(ch))
        if name is None:
            continue
        advance = hmtx[name][0]
        g = glyf[name]
        if g.numberOfContours == 0:
            box = (0, 0, 0, 0)
        else:
            g.recalcBounds(glyf)
            box = (g.xMin, g.yMin, g.xMax, g.yMax)
        out[code] = tuple(int(math.floor(v * scale + 0.5)) for v in (advance,) + box)
    return out


def rms(metrics, overrides):
    total, count = 0.0, 0
    for code, row in overrides.items():
        got = metrics.get(code, (0, 0, 0, 0, 0))
        for a, b in zip(got, row):
            total += (a - b) ** 2
            count += 1
    return math.sqrt(total / count)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else "src/sheetjob/frame/FontMetrics.cpp"
    chosen = {}
    report = []
    for f in (1, 2, 3):
        fits = []
        for label, rel in CANDIDATES[f]:
            m = face_metrics(f"{FONT_DIR}/{rel}")
            missing = [c for c in DEFINED[f] if c not in m and c not in OVERRIDES[f]]
            fits.append((rms(m, OVERRIDES[f]), label, m, missing))
            print(f"font {f} {NAMES[f]}: {label}: RMS {fits[-1][0]:.1f}, missing {missing}",
                  file=sys.stderr)
        fits = [x for x in fits if not x[3]] or fits
        best = min(fits, key=lambda x: x[0])
        chosen[f] = best
        report.append(f'"{NAMES[f]}" from {best[1]} (RMS {best[0]:.1f} units over the fixed rows)')

    lines = []
    lines.append("// Generated by tools/fontmetrics/generate.py; edit that script, not this file.")
    lines.append("// Glyph metrics of the label fonts in thousandths of the size: advance, xmin,")
    lines.append("// ymin, xmax, ymax per Windows-1251 code. The rows of the value-label")
    lines.append("// characters (and a few others) are fixed by the frame's design and kept")
    lines.append("// exactly; the other rows are taken from freely licensed faces of the same style:")
    for r in report:
        lines.append(f"//   {r}.")
    lines.append("// So the widths of texts with other characters (the neighbour names) are close,")
    lines.append("// not exact.")
    lines.append("")
    lines.append('#include "sheetjob/frame/FontMetrics.h"')
    lines.append("")
    lines.append("namespace sheetjob::frame {")
    lines.append("")
    lines.append("namespace {")
    lines.append("")
    lines.append("struct Row {")
    lines.append("    unsigned char code;")
    lines.append("    GlyphMetrics m;")
    lines.append("};")
    for f in (1, 2, 3):
        m = chosen[f][2]
        lines.append("")
        lines.append(f"// Font {f}, \"{NAMES[f]}\" (stand-in {chosen[f][1]}; * marks a fixed row).")
        lines.append(f"constexpr Row kFont{f}[] = {{")
        for code in DEFINED[f]:
            row = OVERRIDES[f].get(code)
            mark = " *" if row is not None else ""
            if row is None:
                row = m.get(code, (0, 0, 0, 0, 0))
            vals = ", ".join(str(v) for v in row)
            lines.append(f"    {{{code}, {{{vals}}}}},{' //' + mark if mark else ''}")
        lines.append("};")
    lines.append("")
    lines.append("template <size_t N> void fill(std::array<GlyphMetrics, 256>& font, const Row (&rows)[N]) {")
    lines.append("    for (const Row& r : rows)")
    lines.append("        font[r.code] = r.m;")
    lines.append("}")
    lines.append("")
    lines.append("} // namespace")
    lines.append("")
    lines.append("const FontMetricTable& fontMetrics() {")
    lines.append("    static const FontMetricTable table = [] {")
    lines.append("        FontMetricTable t{};")
    lines.append("        fill(t[0], kFont1);")
    lines.append("        fill(t[1], kFont2);")
    lines.append("        fill(t[2], kFont3);")
    lines.append("        return t;")
    lines.append("    }();")
    lines.append("    return table;")
    lines.append("}")
    lines.append("")
    lines.append("} // namespace sheetjob::frame")
    with open(target, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")
    for r in report:
        print(r, file=sys.stderr)


if __name__ == "__main__":
    main()
