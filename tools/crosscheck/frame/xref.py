"""Independent reference model of the frame layers of one sheetjob job.

Everything here is written from the behaviour description alone, in plain
IEEE double arithmetic, in the order of operations the description gives.
`run_job(text)` returns {layer key: [record, ...]} for the frame folder, each
record a dict with "attrs" (field values as stored) and "geom" (list of
(x, y) vertices), and "fixed" (False when the vertices depend on font rows
that are not known to this model).
"""
import math

TOL = 0.00016666666666666666
SNAP = 0.20000000298023224  # single-precision 0.2
EARTH_R = 6371.032
FRAME_PI = 3.1415926
STEP_LON = 0.125
STEP_LAT = 1.0 / 12.0


def anint(x):
    """Round half away from zero."""
    a = abs(x)
    r = math.floor(a)
    if a - r >= 0.5:
        r += 1.0
    return math.copysign(r, x)


def eq(a, b):
    return abs(a - b) <= TOL


# ----------------------------------------------------------------- job input

def txt_gradmin(text):
    t = text.strip()
    if not t:
        raise ValueError("blank angle")
    k = next((i for i, ch in enumerate(t) if not ch.isdigit()), None)
    if k is None:
        return float(int(t))
    if k == 0:
        raise ValueError("angle starts with a non-digit: %r" % text)
    deg = int(t[:k])
    if t[k] not in "\u00b0 ":
        raise ValueError("bad degree separator: %r" % text)
    rest = t[k + 1:].strip()
    minutes = 0
    if rest:
        k2 = next((i for i, ch in enumerate(rest) if not ch.isdigit()), None)
        if k2 is None:
            minutes = int(rest)
        else:
            if rest[k2] != "'" or k2 == 0:
                raise ValueError("bad minute sign: %r" % text)
            minutes = int(rest[:k2])
    if minutes > 59:
        raise ValueError("minutes above 59")
    return deg + minutes / 60


def txt_min(text):
    t = text.strip()
    k = next((i for i, ch in enumerate(t) if not ch.isdigit()), None)
    if k is None:
        m = int(t)
    else:
        if t[k] != "'" or k == 0:
            raise ValueError("bad minute text %r" % text)
        m = int(t[:k])
    if m > 59:
        raise ValueError("minutes above 59")
    return m


BELTS = "VUTSRQPONMLKJ"
ROMAN_UNITS = ["", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"]


def roman(n):
    return "X" * (n // 10) + ROMAN_UNITS[n % 10]


def parse_nom(text):
    t = text.lstrip()
    letter = t[0].upper()
    if letter not in "UTSRQPONMLK":
        raise ValueError("belt letter")
    y_zone = BELTS.index(letter)
    rest = t[1:]
    hyph = rest.startswith("-")
    if hyph:
        rest = rest[1:]
    x_zone = int(rest[:2])
    rest = rest[2:]
    if not rest.strip() or rest.lstrip().startswith("("):
        set_scale, number = 1, 0
    else:
        set_scale = 0
        if hyph:
            assert rest[0] == "-"
            j = 1
            while j < len(rest) and rest[j] in "IVX":
                j += 1
            number = [roman(i) for i in range(37)].index(rest[1:j])
            rest = rest[j:]
        else:
            number = int(rest[:2])
            rest = rest[2:]
    rest = rest.strip()
    sheet_type = 0
    if rest:
        assert rest[0] == "(" and rest[-1] == ")"
        sheet_type = {"2": 1, "3": 2, "4": 3}[rest[1:-1].strip()]
    return set_scale, y_zone, x_zone, number, sheet_type


def base_params(set_scale, y_zone, x_zone, number, sheet_type):
    north = 88 - 4 * y_zone
    west = 6 * x_zone + 174
    if west >= 360:
        west -= 360
    north = float(north)
    west = float(west)
    if set_scale != 0:
        south = north - 4
        east = west + 6 * (sheet_type + 1)
        mstep, xmin, pstep, ymin = {0: (1.0, 10), 1: (2.0, 20), 3: (4.0, 40)}.get(
            sheet_type, (1.0, 10)) + (2.0 / 3.0, 10)
    else:
        row = (number - 1) // 6
        col = number - 1 - 6 * row
        north = north - row * (2.0 / 3.0)
        south = north - 2.0 / 3.0
        west = west + col * 1
        east = west + (sheet_type + 1) * 1
        mstep, xmin, pstep, ymin = {0: (0.25, 1), 1: (0.5, 2), 2: (0.75, 5)}.get(
            sheet_type, (0.25, 1)) + (1.0 / 6.0, 1)
    return dict(BaseWest=west, BaseEast=east, BaseSouth=south, BaseNorth=north,
                BaseMeridianStep=mstep, BaseXMinute=xmin,
                BaseParallelStep=pstep, BaseYMinute=ymin)


CS_NAMES = {"CK-42": 1, "CK-95": 2, "\u0413CK-2011": 3,
            "\u0413CK-2011 / \u0421\u041a-42": 4}
MAP_SCALES = {0: {"200": 0, "500": 1, "1000": 2},
              1: {"1000": 0, "2500": 1, "5000": 2}}


def parse_job(text):
    items = {}
    for line in text.splitlines():
        for item in line.split(";"):
            if not item.strip():
                continue
            key, value = item.split("=", 1)
            items[key.strip()] = value.strip()
    job = {"CoordSystem": CS_NAMES[items.get("CS", "CK-42")]}
    ss, yz, xz, num, st = parse_nom(items["Nom"])
    job.update(SetScale=ss, yZone=yz, xZone=xz, SheetNumber=num, SheetType=st)
    job["MapScale"] = MAP_SCALES[ss][items["MapScale"]] if "MapScale" in items else 0
    job.update(base_params(ss, yz, xz, num, st))
    lon_m, lat_m = (1.0, 2.0 / 3.0) if ss == 0 else (6.0, 4.0)
    for key, base in (("xFrom", "BaseWest"), ("xTo", "BaseEast"),
                      ("yFrom", "BaseSouth"), ("yTo", "BaseNorth"),
                      ("ParallelStep", "BaseParallelStep"),
                      ("MeridianStep", "BaseMeridianStep")):
        job[key] = txt_gradmin(items[key]) if key in items else job[base]
    for key, base in (("xMinute", "BaseXMinute"), ("yMinute", "BaseYMinute")):
        job[key] = txt_min(items[key]) if key in items else job[base]
    ok = (job["xFrom"] > job["BaseWest"] - lon_m and job["xTo"] < job["BaseEast"] + lon_m
          and job["yFrom"] > job["BaseSouth"] - lat_m and job["yTo"] < job["BaseNorth"] + lat_m
          and job["xMinute"] != 0 and job["yMinute"] != 0
          and job["ParallelStep"] != 0 and job["MeridianStep"] != 0)
    if not ok:
        raise ValueError("bounds or steps refused")
    return job


# -------------------------------------------------------------- nomenclature

def plus_zone(z):
    return 1 if z + 1 == 61 else z + 1


def minus_zone(z):
    return 60 if z - 1 == 0 else z - 1


def adj_x200(east, zone, number):
    r = (number - 1) // 6
    c = number - 1 - 6 * r
    c = c + 1 if east else c - 1
    if c == 6:
        zone, c = plus_zone(zone), 0
    elif c == -1:
        zone, c = minus_zone(zone), 5
    return zone, 6 * r + c + 1


def adj_y200(north, belt, number):
    r = (number - 1) // 6
    c = number - 1 - 6 * r
    r = r - 1 if north else r + 1
    if r == 6:
        belt, r = belt + 1, 0
    elif r == -1:
        belt, r = belt - 1, 5
    return belt, 6 * r + c + 1


def nomenclature(ss, yz, xz, num, st):
    text = "%s-%02d" % (BELTS[yz], xz)
    if ss != 0:
        z = xz
        for _ in range(st):
            z = plus_zone(z)
            text += ",%02d" % z
        return text
    text += "-" + roman(num)
    z, n = xz, num
    for _ in range(st):
        text += ","
        nz, nn = adj_x200(True, z, n)
        if nz != z:
            text += "%02d-" % nz
            z = nz
        text += roman(nn)
        n = nn
    return text


def adjacent(direction, ss, yz, xz, num, st):
    if ss != 0:
        if direction in (-1, 1):
            for _ in range(st + 1):
                xz = minus_zone(xz) if direction == -1 else plus_zone(xz)
        else:
            yz = yz - 1 if direction > 0 else yz + 1
    else:
        if direction in (-1, 1):
            for _ in range(st + 1):
                xz, num = adj_x200(direction == 1, xz, num)
        else:
            yz, num = adj_y200(direction > 0, yz, num)
    return nomenclature(ss, yz, xz, num, st)


# --------------------------------------------------------------- datum shift

D2R = 0.017453292519943295
R2D = 57.29577951308232


def sk42_to_gsk2011(lon, lat):
    a1 = 6378245.0
    e1 = 0.006693421622965862
    one_e1 = 0.9933065783770342
    dx, dy, dz = 23.56, -140.86, -79.77
    wx, wy, wz = -8.426061777683734e-9, -1.6795933649726876e-6, -3.850695687991034e-6
    k = 0.9999997726
    e2 = 0.006694398105662064
    a2e2 = 42697.78490325407
    L = lon * D2R
    B = lat * D2R
    sb = math.sin(B)
    N = a1 / math.sqrt(1 - e1 * (sb * sb))
    X = N * math.cos(B) * math.cos(L)
    Y = N * math.cos(B) * math.sin(L)
    Z = N * one_e1 * sb
    Xp = k * (X + wz * Y - wy * Z) + dx
    Yp = k * (Y - wz * X + wx * Z) + dy
    Zp = k * (Z + wy * X - wx * Y) + dz
    D = math.sqrt(Xp * Xp + Yp * Yp)
    if D == 0:
        return 0.0, (Zp / abs(Zp)) * math.pi / 2 * R2D
    La = abs(math.asin(Yp / D))
    if Yp < 0:
        Lp = math.pi + La if Xp < 0 else 2 * math.pi - La
    elif Yp > 0:
        Lp = math.pi - La if Xp < 0 else La
    else:
        Lp = 0.0 if Xp > 0 else math.pi
    if Zp == 0:
        Bp = 0.0
    else:
        r = math.sqrt(Xp * Xp + Yp * Yp + Zp * Zp)
        c = math.asin(Zp / r)
        p = a2e2 / (2 * r)
        s1 = 0.0
        while True:
            b = c + s1
            sbb = math.sin(b)
            s2 = math.asin(p * math.sin(2 * b) / math.sqrt(1 - e2 * (sbb * sbb)))
            if abs(s2 - s1) <= 1e-13:
                Bp = b
                break
            s1 = s2
    return Lp * R2D, Bp * R2D


# ------------------------------------------------------ graticule arithmetic

def start_grad(value, origin, step):
    if eq(origin, value):
        return origin
    k = 0
    if origin < value:
        while True:
            cand = k * step + origin
            if cand > value or eq(cand, value):
                return cand
            k += 1
    while True:
        cand = k * (-step) + origin
        if eq(cand, value):
            return cand
        if cand < value:
            return (k - 1) * (-step) + origin
        k += 1


def end_grad(value, origin, step):
    if eq(origin, value):
        return origin
    k = 0
    if origin < value:
        while True:
            cand = k * step + origin
            if eq(cand, value):
                return cand
            if cand > value:
                return (k - 1) * step + origin
            k += 1
    while True:
        cand = k * (-step) + origin
        if cand < value or eq(cand, value):
            return cand
        k += 1


def plus_unique(lst, value):
    if not any(eq(v, value) for v in lst):
        lst.append(value)


def add_line(fixed, frm, to, spacing, include_end, along_x):
    d = spacing if frm <= to else -spacing
    pts = []
    count = 0
    while True:
        c = count * d + frm
        if eq(c, to) or (d > 0 and c > to) or (d < 0 and c < to):
            if include_end:
                pts.append((to, fixed) if along_x else (fixed, to))
            return pts
        pts.append((c, fixed) if along_x else (fixed, c))
        count += 1


def add_rectangle(w, e, dx, s, n, dy):
    pts = add_line(n, w, e, dx, False, True)
    pts += add_line(e, n, s, dy, False, False)
    pts += add_line(s, e, w, dx, False, True)
    pts += add_line(w, s, n, dy, True, False)
    return pts


def cross_line_by_edge(horizontal, c, a, b):
    if horizontal:
        ua, va, ub, vb = a[0], a[1], b[0], b[1]
    else:
        ua, va, ub, vb = a[1], a[0], b[1], b[0]
    if va == c and vb == c:
        return True, min(ua, ub), max(ua, ub)
    res = None
    if va == c:
        res = (True, ua, ua)
    if vb == c:
        res = (True, ub, ub)
    if res:
        return res
    if min(va, vb) < c < max(va, vb):
        u = ua + (c - va) / (vb - va) * (ub - ua)
        return True, u, u
    return False, None, None


def clip_line(horizontal, c, poly):
    found = False
    lo = hi = None
    n = len(poly)
    for i in range(n):
        ok, l, h = cross_line_by_edge(horizontal, c, poly[i], poly[(i + 1) % n])
        if ok:
            if not found:
                lo, hi = l, h
            else:
                lo, hi = min(lo, l), max(hi, h)
            found = True
    return (found and lo != hi), lo, hi


def graticule_list(lo, hi, origin, step, code4, outline, horizontal):
    first = start_grad(lo, origin, step)
    if eq(first, lo):
        first = first + step
    last = end_grad(hi, origin, step)
    if eq(last, hi):
        last = last - step
    out = []
    k = 0
    while True:
        v = k * step + first
        if not (v < last or eq(v, last)):
            break
        k += 1
        if code4:
            ok, a, b = clip_line(horizontal, v, outline)
            if not ok or a == b:
                continue
        out.append(v)
    if eq(start_grad(lo, origin, step), lo):
        plus_unique(out, lo)
    if eq(end_grad(hi, origin, step), hi):
        plus_unique(out, hi)
    out.sort()
    return out


# --------------------------------------------------------------- frame model

# (advance, xmin, ymin, xmax, ymax) per font for the rows that are known.
_ROWS = {
    32: ((233, 0, 0, 0, 0), (351, 0, 0, 0, 0), (250, 0, 0, 0, 0)),
    39: ((232, 50, 508, 182, 700), (194, 50, 527, 144, 700), (211, 60, 326, 149, 743)),
    45: ((422, 79, 225, 343, 310), (420, 100, 240, 320, 293), (237, 0, 220, 225, 293)),
    48: ((582, 45, -21, 536, 721), (590, 59, -8, 530, 708), (500, 32, -11, 480, 725)),
    49: ((578, 129, 0, 383, 700), (359, 40, 0, 259, 700), (500, 82, 0, 444, 725)),
    50: ((584, 59, 0, 535, 721), (523, 50, 0, 473, 708), (500, 28, 0, 462, 725)),
    51: ((581, 41, -21, 527, 721), (546, 35, -8, 466, 708), (500, 30, -11, 462, 725)),
    52: ((586, 26, 0, 560, 700), (593, 40, 0, 553, 700), (500, 25, 0, 477, 725)),
    53: ((581, 47, -21, 534, 700), (558, 80, -8, 488, 700), (500, 43, -11, 472, 714)),
    54: ((581, 44, -21, 536, 721), (574, 60, -8, 514, 708), (500, 41, -11, 486, 725)),
    55: ((581, 35, 0, 546, 700), (470, 20, 0, 450, 700), (500, 38, -11, 474, 714)),
    56: ((584, 55, -21, 528, 721), (613, 70, -8, 543, 708), (500, 32, -11, 481, 725)),
    57: ((581, 44, -21, 536, 721), (579, 60, -8, 519, 708), (500, 28, -11, 473, 725)),
    176: ((266, 36, 508, 229, 701), (336, 56, 490, 280, 714), (500, 70, 425, 370, 725)),
}
_EXTRA = {(65, 1): (622, -4, 0, 626, 700), (192, 1): (622, -4, 0, 626, 700),
          (65, 3): (658, -29, 0, 696, 757), (73, 1): (264, 85, 0, 179, 700),
          (255, 2): (498, 45, 0, 418, 513)}
# Stand-in row for a character whose metrics are not known: only used to
# judge whether a neighbour name fits its side, never for compared vertices.
_GUESS = (620, 40, 0, 580, 700)


def metric(code, font):
    if code in _ROWS:
        return _ROWS[code][font - 1], True
    if (code, font) in _EXTRA:
        return _EXTRA[(code, font)], True
    return _GUESS, False


def text_parameters(text, font, size, mode):
    """Returns (bottom, top, width, known) in map millimetres."""
    k = size * 0.35277777777777775 / 1000
    top, bottom, total = -999999, 999999, 0
    known = True
    codes = text.encode("cp1251")
    n = len(codes)
    for i, c in enumerate(codes, 1):
        (adv, xmin, ymin, xmax, ymax), ok = metric(c, font)
        known = known and ok
        total = total + adv
        bottom = min(bottom, ymin)
        top = max(top, ymax)
        if i == 1 and mode in (2, 3):
            total = total - xmin
        if i == n and mode in (1, 3):
            total = total + xmax - adv + 1
    return bottom * k, top * k, total * k, known


FONT_NAMES = {1: "PragmaticaC", 2: "FreeSet", 3: "AGCenturion"}


def layout(set_scale, map_scale):
    L = dict(MinuteXStartFilled=True, MinuteYStartFilled=True,
             MinuteLineCode=400901, MinuteTickCode=400901, MinuteFillCode=400901,
             MinuteFrameOn=False, OutletsOn=False, DigitsOn=False,
             AdjacentOn=False, OuterFrameKind=0, ScaleDenominator=0.0,
             MinuteFrameGap=0.0, MinuteFrameWidth=0.0)
    f12 = 1.2000000476837158
    f98 = 9.800000190734863
    f11 = 1.100000023841858
    if set_scale == 0:
        table = {
            0: dict(ScaleDenominator=200000.0, MinuteFrameOn=True, MinuteFrameGap=7.0,
                    MinuteFrameWidth=f12, OutletsOn=True, MeridianOutletCode=400904,
                    ParallelOutletCode=400905, DigitsOn=True, DigitSize=6.5, DigitFont=2,
                    DigitCode=400912, AdjacentOn=True, AdjacentSize=6.5, AdjacentFont=1,
                    AdjacentCode=400911, OuterFrameKind=1, OuterFrameDistance=f98,
                    OuterFrameCode=400902),
            1: dict(ScaleDenominator=500000.0, DigitsOn=True, DigitSize=5.0, DigitFont=2,
                    DigitCode=400913, OuterFrameKind=1, OuterFrameDistance=5.0,
                    OuterFrameCode=400922),
            2: dict(ScaleDenominator=1000000.0),
        }
    else:
        table = {
            0: dict(ScaleDenominator=1000000.0, MinuteFrameOn=True, MinuteFrameGap=0.0,
                    MinuteFrameWidth=1.0, DigitsOn=True, DigitSize=8.0, DigitFont=3,
                    DigitCode=400912, OuterFrameKind=2, OuterFrameDistance=8.5,
                    OuterFrameCode=400902, OuterSideOffset=f11, OuterSideCode=400903),
            1: dict(ScaleDenominator=2500000.0, DigitsOn=True, DigitSize=5.5, DigitFont=3,
                    DigitCode=400913, OuterFrameKind=1, OuterFrameDistance=5.0,
                    OuterFrameCode=400922),
            2: dict(ScaleDenominator=5000000.0),
        }
    L.update(table.get(map_scale, {}))
    if L["OuterFrameKind"] == 0:
        L["AdjacentOn"] = False
    if not L["MinuteFrameOn"] or L["MinuteFrameGap"] == 0:
        L["OutletsOn"] = False
    return L


class Frame:
    def __init__(self, s):
        self.s = s

    def tt(self, lat0, d):
        return lat0 + (d / 1000000.0 * self.s) / (EARTH_R * FRAME_PI) * 180

    def tl(self, lon0, lat, d):
        return lon0 + (d / 1000000.0 * self.s) / (
            math.cos(lat / 360 * 2 * FRAME_PI) * EARTH_R * FRAME_PI) * 180

    @staticmethod
    def min_reper(x, x0, step):
        return (anint((x - x0) / step) - 3) * step + x0

    @staticmethod
    def next_vertex(cur, decreasing, g, step):
        if not decreasing:
            v = g + (anint((cur - g) / step) - 2) * step
            while v <= cur:
                v = v + step
            if (v - cur) / step < SNAP:
                v = v + step
        else:
            v = g + (anint((cur - g) / step) + 2) * step
            while v >= cur:
                v = v - step
            if (cur - v) / step < SNAP:
                v = v - step
        return v

    def _walk(self, start, end, origin, step):
        vals = [start]
        cur = start
        dec = start > end
        g = self.min_reper(min(start, end), origin, step)
        while cur != end:
            cur = self.next_vertex(cur, dec, g, step)
            if (dec and cur < end + SNAP * step) or (not dec and cur > end - SNAP * step):
                cur = end
            vals.append(cur)
        return vals

    def out_parallel(self, lat, d, lon_start, lon_end, lon0, step=STEP_LON):
        lat_t = self.tt(lat, d)
        return [(x, lat_t) for x in self._walk(lon_start, lon_end, lon0, step)]

    def out_meridian(self, lon, d, lat_start, lat_end, lat0, step=STEP_LAT):
        return [(self.tl(lon, y, d), y) for y in self._walk(lat_start, lat_end, lat0, step)]

    def ramka_parallel(self, d, outward, lat, lon1, lon2, step, keep_last):
        off = d if outward else -d
        lat_t = self.tt(lat, off)
        if lon1 > lon2:
            a, b = self.tl(lon1, lat_t, d), self.tl(lon2, lat_t, -d)
        else:
            a, b = self.tl(lon1, lat_t, -d), self.tl(lon2, lat_t, d)
        pts = self.out_parallel(lat, off, a, b, lon1, step)
        return pts if keep_last else pts[:-1]

    def ramka_meridian(self, d, outward, lon, lat1, lat2, step, keep_last):
        off = d if outward else -d
        if lat1 > lat2:
            a, b = self.tt(lat1, d), self.tt(lat2, -d)
        else:
            a, b = self.tt(lat1, -d), self.tt(lat2, d)
        pts = self.out_meridian(lon, off, a, b, lat1, step)
        return pts if keep_last else pts[:-1]

    def ring(self, d, W, E, S, N):
        pts = self.ramka_parallel(d, True, N, W, E, STEP_LON, False)
        pts += self.ramka_meridian(d, True, E, N, S, STEP_LAT, False)
        pts += self.ramka_parallel(d, False, S, E, W, STEP_LON, False)
        pts += self.ramka_meridian(d, False, W, S, N, STEP_LAT, True)
        return pts


def coord_to_txt(coord, is_lon):
    v = anint(coord * 60) / 60
    if is_lon and v > 180:
        v = 360 - v
    deg = math.floor(v)
    minutes = int(anint((v - deg) * 60))
    dtext = ("%3d" % deg).strip() if deg < 1000 else "***"
    return dtext + "\u00b0", "%02d'" % minutes


def _rec(code, geom, fixed=True, **extra):
    attrs = {"L_code": code}
    attrs.update(extra)
    return {"attrs": attrs, "geom": geom, "fixed": fixed}


def minute_side(fr, L, side, W, E, S, N, base_west, base_south, xminute, yminute):
    g, w = L["MinuteFrameGap"], L["MinuteFrameWidth"]
    tick_code, fill_code = L["MinuteTickCode"], L["MinuteFillCode"]
    recs = []
    if side in ("N", "S"):
        if side == "N":
            lat1, lat2, latm = fr.tt(N, g), fr.tt(N, g + w), fr.tt(N, g + w / 2)
        else:
            lat1, lat2, latm = fr.tt(S, -(g + w)), fr.tt(S, -g), fr.tt(S, -(g + w / 2))
        a, b, o, h, filled = W, E, base_west, xminute / 60, L["MinuteXStartFilled"]

        def tick(x):
            recs.append(_rec(tick_code, [(x, lat1), (x, lat2)]))

        def fill(c, n):
            recs.append(_rec(fill_code, fr.out_parallel(latm, 0, c, n, W, STEP_LON)))
    else:
        if side == "W":
            base, d1, d2, dm = W, -(g + w), -g, -(g + w / 2)
        else:
            base, d1, d2, dm = E, g, g + w, g + w / 2
        a, b, o, h, filled = S, N, base_south, yminute / 60, L["MinuteYStartFilled"]

        def tick(y):
            recs.append(_rec(tick_code, [(fr.tl(base, y, d1), y), (fr.tl(base, y, d2), y)]))

        def fill(c, n):
            recs.append(_rec(fill_code, fr.out_meridian(base, dm, c, n, S, STEP_LAT)))
    cur = o
    if eq(cur, a):
        nxt = cur + h
        first_tick = True
    elif cur < a:
        while cur < a and not eq(cur, a):
            cur = cur + h
            filled = not filled
        if eq(cur, a):
            cur = a
            nxt = cur + h
            first_tick = True
        elif cur < b:
            nxt = cur + h
            first_tick = True
        else:
            return recs
    else:
        while cur > a and not eq(cur, a):
            cur = cur - h
            filled = not filled
        if eq(cur, a):
            cur = a
            nxt = cur + h
            first_tick = True
        else:
            nxt = cur + h
            cur = a
            first_tick = False
    if first_tick:
        tick(cur)
    while True:
        if eq(nxt, b):
            nxt, do_tick, last = b, True, True
        elif nxt < b:
            do_tick, last = True, False
        else:
            nxt, do_tick, last = b, False, True
        if do_tick:
            tick(nxt)
        if filled:
            fill(cur, nxt)
        filled = not filled
        cur = nxt
        nxt = cur + h
        if last:
            return recs


def frame_layers(job, W, E, S, N, lats, lons, neighbours, adj_widths=None):
    """neighbours: dict side -> name (N, S, W, E). adj_widths: optional dict
    side -> label width w (mm, clearance included) to use instead of the
    metric table (for names whose character rows are not known)."""
    L = layout(job["SetScale"], job["MapScale"])
    fr = Frame(L["ScaleDenominator"])
    layers = {}
    if L["OuterFrameKind"] != 0 or L["MinuteFrameOn"] or L["OutletsOn"]:
        layers["FRAME/Frame"] = []
    if L["AdjacentOn"] and L["OuterFrameKind"] != 0:
        layers["FRAME/FrameAdj"] = []
    if L["DigitsOn"]:
        layers["FRAME/FrameDig"] = []
    info = {}
    if L["MinuteFrameOn"]:
        fl = layers["FRAME/Frame"]
        g, w = L["MinuteFrameGap"], L["MinuteFrameWidth"]
        fl.append(_rec(L["MinuteLineCode"], fr.ring(g, W, E, S, N)))
        fl.append(_rec(L["MinuteLineCode"], fr.ring(g + w, W, E, S, N)))
        for side in "NSWE":
            fl.extend(minute_side(fr, L, side, W, E, S, N, job["BaseWest"],
                                  job["BaseSouth"], job["xMinute"], job["yMinute"]))
    if L["OutletsOn"] or L["OuterFrameKind"] != 0:
        outer_frame(fr, L, job, layers, W, E, S, N, lats, lons, neighbours,
                    adj_widths, info)
    return layers, info


def outer_frame(fr, L, job, layers, W, E, S, N, lats, lons, neighbours, adj_widths, info):
    fl = layers["FRAME/Frame"]
    kind = L["OuterFrameKind"]
    if kind == 2:
        D, off = L["OuterFrameDistance"], L["OuterSideOffset"]
        fl.append(_rec(L["OuterSideCode"], fr.ring(D - off, W, E, S, N)))
        fl.append(_rec(L["OuterSideCode"], fr.ring(D + off, W, E, S, N)))
        fl.append(_rec(L["OuterFrameCode"], fr.ring(D, W, E, S, N)))
    elif kind == 1 and not L["AdjacentOn"]:
        fl.append(_rec(L["OuterFrameCode"], fr.ring(L["OuterFrameDistance"], W, E, S, N)))
    elif kind == 1:
        broken_outer_line(fr, L, job, layers, W, E, S, N, neighbours, adj_widths, info)
    if L["OutletsOn"]:
        g = L["MinuteFrameGap"]
        for phi in lats:
            fl.append(_rec(L["ParallelOutletCode"],
                           fr.out_parallel(phi, 0, W, fr.tl(W, phi, -g), W, STEP_LON)))
            fl.append(_rec(L["ParallelOutletCode"],
                           fr.out_parallel(phi, 0, E, fr.tl(E, phi, g), W, STEP_LON)))
        for lam in lons:
            fl.append(_rec(L["MeridianOutletCode"], [(lam, N), (lam, fr.tt(N, g))]))
            fl.append(_rec(L["MeridianOutletCode"], [(lam, S), (lam, fr.tt(S, -g))]))
    if L["DigitsOn"]:
        info["collisions"] = []
        digit_labels(fr, L, layers["FRAME/FrameDig"], W, E, S, N, lats, lons,
                     info["collisions"])


def broken_outer_line(fr, L, job, layers, W, E, S, N, neighbours, adj_widths, info):
    D = L["OuterFrameDistance"]
    code = L["OuterFrameCode"]
    phim = (S + N) / 2
    lamm = (W + E) / 2
    top = fr.tt(N, D)
    bottom = fr.tt(S, -D)
    wid, known = {}, {}
    for side in "NSWE":
        t = neighbours[side].rstrip()
        _, _, tw, ok = text_parameters(t, L["AdjacentFont"], L["AdjacentSize"], 3)
        wid[side] = tw + 2.0
        known[side] = ok
        if adj_widths and side in adj_widths:
            wid[side] = adj_widths[side]
            known[side] = True
    # A side keeps its label only when its edge is the nominal one, judged on
    # the trapezium before any datum shift.
    if not eq(job["xFrom"], job["BaseWest"]):
        wid["W"] = 0
    if not eq(job["xTo"], job["BaseEast"]):
        wid["E"] = 0
    if not eq(job["yFrom"], job["BaseSouth"]):
        wid["S"] = 0
    if not eq(job["yTo"], job["BaseNorth"]):
        wid["N"] = 0
    for side in "NSWE":
        if wid[side] == 0:
            known[side] = True
    gaps = {}
    for side in "WE":
        w = wid[side]
        y1, y2 = fr.tt(phim, -w / 2), fr.tt(phim, w / 2)
        if y1 <= S or y2 >= N:
            wid[side] = 0
            y1 = y2 = phim
        gaps[side] = (y1, y2)
    for side, lat in (("N", top), ("S", bottom)):
        w = wid[side]
        x1, x2 = fr.tl(lamm, lat, -w / 2), fr.tl(lamm, lat, w / 2)
        if x1 <= W or x2 >= E:
            wid[side] = 0
            x1 = x2 = lamm
        gaps[side] = (x1, x2)
    info["adj_width"] = dict(wid)
    info["adj_known"] = dict(known)
    fl = layers["FRAME/Frame"]
    c_nw = fr.tl(W, top, -D)
    c_ne = fr.tl(E, top, D)
    c_se = fr.tl(E, bottom, D)
    c_sw = fr.tl(W, bottom, -D)
    yW1, yW2 = gaps["W"]
    yE1, yE2 = gaps["E"]
    xN1, xN2 = gaps["N"]
    xS1, xS2 = gaps["S"]
    p1 = fr.out_meridian(W, -D, yW2, top, S)[:-1] + fr.out_parallel(N, D, c_nw, xN1, W)
    p2 = fr.out_parallel(N, D, xN2, c_ne, W)[:-1] + fr.out_meridian(E, D, top, yE2, S)
    p3 = fr.out_meridian(E, D, yE1, bottom, S)[:-1] + fr.out_parallel(S, -D, c_se, xS2, W)
    p4 = fr.out_parallel(S, -D, xS1, c_sw, W)[:-1] + fr.out_meridian(W, -D, bottom, yW1, S)
    fl.append(_rec(code, p1, known["W"] and known["N"]))
    fl.append(_rec(code, p2, known["N"] and known["E"]))
    fl.append(_rec(code, p3, known["E"] and known["S"]))
    fl.append(_rec(code, p4, known["S"] and known["W"]))
    adj = layers["FRAME/FrameAdj"]
    geoms = {"N": lambda: fr.out_parallel(N, D, xN1, xN2, W),
             "S": lambda: fr.out_parallel(S, -D, xS1, xS2, W),
             "W": lambda: fr.out_meridian(W, -D, yW1, yW2, S),
             "E": lambda: fr.out_meridian(E, D, yE1, yE2, S)}
    for side in "NSWE":
        if wid[side] != 0:
            adj.append(_rec(L["AdjacentCode"], geoms[side](), known[side],
                            Text=neighbours[side].rstrip(),
                            Font=FONT_NAMES[L["AdjacentFont"]],
                            Size=("%6.2f" % L["AdjacentSize"]).strip()))


def digit_labels(fr, L, dig, W, E, S, N, lats, lons, collisions):
    font, size = L["DigitFont"], L["DigitSize"]
    extra = dict(Font=FONT_NAMES[font], Size=("%6.2f" % size).strip())
    code = L["DigitCode"]
    off = 1.0
    if L["MinuteFrameOn"] and L["MinuteFrameGap"] == 0:
        off = 1.0 + L["MinuteFrameWidth"]
    n, m = len(lats), len(lons)
    f01 = 0.10000000149011612
    corners = {}
    hP = None
    for i, phi in enumerate(lats, 1):
        dt, mt = coord_to_txt(phi, False)
        b1, t1, w1, _ = text_parameters(dt, font, size, 3)
        h1 = t1 - b1
        yA = fr.tt(phi, 0.8 / 2 + h1 / 2)
        b2, t2, w2, _ = text_parameters(mt, font, size, 3)
        h2 = t2 - b2
        yB = fr.tt(phi, -(0.8 / 2 + h2 / 2 + f01))
        wmax = max(w1, w2) + off
        wd = (fr.tl(W, yA, -wmax), fr.tl(W, yA, w1 - wmax))
        wm = (fr.tl(W, yB, -wmax), fr.tl(W, yB, w2 - wmax))
        ed = (fr.tl(E, yA, off), fr.tl(E, yA, off + w1))
        em = (fr.tl(E, yB, off), fr.tl(E, yB, off + w2))
        if i == 1:
            ylow = fr.tt(yB, -(h2 / 2 + 0.8))
            corners["SW"] = (fr.tl(wm[1], yB, 0.8), ylow)
            corners["SE"] = (fr.tl(em[0], yB, -0.8), ylow)
        if i == n:
            yhigh = fr.tt(yA, h1 / 2 + 0.8)
            corners["NW"] = (fr.tl(wd[1], yA, 0.8), yhigh)
            corners["NE"] = (fr.tl(ed[0], yA, -0.8), yhigh)
            hP = h1
        for text, y, (x0, x1) in ((dt, yA, wd), (mt, yB, wm), (dt, yA, ed), (mt, yB, em)):
            dig.append(_rec(code, fr.out_parallel(y, 0, x0, x1, W), True, Text=text, **extra))
    for j, lam in enumerate(lons, 1):
        dt, mt = coord_to_txt(lam, True)
        b1, t1, w1, _ = text_parameters(dt, font, size, 2)
        b2, t2, w2, _ = text_parameters(mt, font, size, 1)
        _, _, ws, _ = text_parameters(" ", font, size, 0)
        h = max(t1 - b1, t2 - b2)
        text = dt + " " + mt

        def ends(y):
            return fr.tl(lam, y, -(ws / 2 + w1)), fr.tl(lam, y, ws / 2 + w2)

        offN = off
        if n >= 1:
            y = fr.tt(N, offN + h / 2)
            yn = fr.tt(N, offN)
            x0, x1 = ends(y)
            hit = j == 1 and corners["NW"][0] > x0 and corners["NW"][1] > yn
            if not hit and j == m:
                hit = corners["NE"][0] < x1 and corners["NE"][1] > yn
            if hit:
                offN = 0.4 + hP + 0.8
                collisions.append("N%d" % j)
        yN = fr.tt(N, offN + h / 2)
        offS = off
        if n >= 1:
            y = fr.tt(S, -(offS + h / 2))
            ys = fr.tt(S, -offS)
            x0, x1 = ends(y)
            hit = j == 1 and corners["SW"][0] > x0 and corners["SW"][1] < ys
            if not hit and j == m:
                hit = corners["SE"][0] < x1 and corners["SE"][1] < ys
            if hit:
                offS = 0.4 + hP + 0.8
                collisions.append("S%d" % j)
        yS = fr.tt(S, -(offS + h / 2))
        for y in (yN, yS):
            x0, x1 = ends(y)
            dig.append(_rec(code, fr.out_parallel(y, 0, x0, x1, W), True, Text=text, **extra))


# ------------------------------------------------------------------- driver

def run_job(text, adj_widths=None):
    job = parse_job(text)
    xf, xt, yf, yt = job["xFrom"], job["xTo"], job["yFrom"], job["yTo"]
    code4 = job["CoordSystem"] == 4
    if code4:
        nw = sk42_to_gsk2011(xf, yt)
        ne = sk42_to_gsk2011(xt, yt)
        sw = sk42_to_gsk2011(xf, yf)
        se = sk42_to_gsk2011(xt, yf)
        W, E = max(nw[0], sw[0]), min(ne[0], se[0])
        S, N = max(sw[1], se[1]), min(nw[1], ne[1])
        outline = [sk42_to_gsk2011(x, y)
                   for x, y in add_rectangle(xf, xt, STEP_LON, yf, yt, STEP_LAT)]
    else:
        W, E, S, N = xf, xt, yf, yt
        outline = None
    lats = graticule_list(S, N, job["BaseSouth"], job["ParallelStep"], code4, outline, True)
    lons = graticule_list(W, E, job["BaseWest"], job["MeridianStep"], code4, outline, False)
    args = (job["SetScale"], job["yZone"], job["xZone"], job["SheetNumber"], job["SheetType"])
    neighbours = {"W": adjacent(-1, *args), "E": adjacent(1, *args),
                  "N": adjacent(2, *args), "S": adjacent(-2, *args)}
    layers, info = frame_layers(job, W, E, S, N, lats, lons, neighbours, adj_widths)
    info.update(job=job, bounds=(W, E, S, N), lats=lats, lons=lons,
                neighbours=neighbours, name=nomenclature(*args))
    return layers, info
