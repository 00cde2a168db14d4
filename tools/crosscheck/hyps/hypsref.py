"""Independent model of the graticule folder (HypsA, HypsP, HypsL) and the
1:50 000 / 1:25 000 sheet frames, written from the behaviour description only.

`run_job(text)` takes the text of an argument file and returns
(exit_code, layers), layers being a dict "FOLDER/BaseName" ->
{"shape_type", "fields", "records": [{"attrs": {...}, "geom": [[x, y], ...]}]}.
Attribute values are what a reader gets back from the .dbf: strings with
leading and trailing blanks removed, integers for numeric columns.
"""

import math

TOL = 0.00016666666666666666
TWO_THIRDS = 2.0 / 3.0
ONE_SIXTH = 1.0 / 6.0
ONE_TWELFTH = 0.08333333333333333
ARCTIC = 66.56072222222222
ARCTIC_LIMIT = 0.0010000000474974513


def anint(x):
    """Round half away from zero (Fortran ANINT), returned as float."""
    r = math.floor(abs(x) + 0.5)
    return float(r) if x >= 0 else -float(r)


def eq_tol(a, b):
    return abs(a - b) <= TOL


def ffield(v, width):
    """Fortran Iw: right-aligned, asterisks when too wide."""
    s = "%d" % v
    return s.rjust(width) if len(s) <= width else "*" * width


def ffield0(v, width):
    """Fortran Iw.w: leading zeros, asterisks when negative or too wide."""
    if v < 0:
        return "*" * width
    s = "%0*d" % (width, v)
    return s if len(s) <= width else "*" * width


# ---------------------------------------------------------------- base sheet

def compute_base(set_scale, yzone, xzone, sheet, stype):
    north = float(88 - 4 * yzone)
    west = 6 * xzone + 174
    if west >= 360:
        west -= 360
    west = float(west)
    if set_scale != 0:
        south = north - 4.0
        east = west + float(6 * (stype + 1))
        ms, xm, ps, ym = {0: (1.0, 10), 1: (2.0, 20), 3: (4.0, 40)}.get(stype, (1.0, 10)) + (TWO_THIRDS, 10)
    else:
        row = (sheet - 1) // 6
        col = sheet - 1 - 6 * row
        north = north - row * TWO_THIRDS
        south = north - TWO_THIRDS
        west = west + col * 1.0
        east = west + (stype + 1) * 1.0
        ms, xm = {0: (0.25, 1), 1: (0.5, 2), 2: (0.75, 5)}.get(stype, (0.25, 1))
        ps, ym = ONE_SIXTH, 1
    return dict(BaseWest=west, BaseEast=east, BaseSouth=south, BaseNorth=north,
                BaseMeridianStep=ms, BaseXMinute=xm, BaseParallelStep=ps, BaseYMinute=ym)


# ---------------------------------------------------------------- names

BELTS = "VUTSRQPONMLKJ"


def roman(n):
    units = ["", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"]
    return "X" * (n // 10) + units[n % 10]


def plus_zone(z):
    z += 1
    return 1 if z == 61 else z


def minus_zone(z):
    z -= 1
    return 60 if z == 0 else z


def adj_x200(east, zone, num):
    r = (num - 1) // 6
    c = num - 1 - 6 * r
    c = c + 1 if east else c - 1
    if c == 6:
        zone, c = plus_zone(zone), 0
    elif c == -1:
        zone, c = minus_zone(zone), 5
    return zone, 6 * r + c + 1


def adj_y200(north, belt, num):
    r = (num - 1) // 6
    c = num - 1 - 6 * r
    r = r - 1 if north else r + 1
    if r == 6:
        belt, r = belt + 1, 0
    elif r == -1:
        belt, r = belt - 1, 5
    return belt, 6 * r + c + 1


def nomenclature(set_scale, yzone, xzone, sheet, stype):
    t = "%s-%02d" % (BELTS[yzone], xzone)
    if set_scale != 0:
        z = xzone
        for _ in range(stype):
            z = plus_zone(z)
            t += ",%02d" % z
        return t
    t += "-" + roman(sheet)
    z, n = xzone, sheet
    for _ in range(stype):
        t += ","
        nz, nn = adj_x200(True, z, n)
        if nz != z:
            t += "%02d-" % nz
            z = nz
        t += roman(nn)
        n = nn
    return t


# ---------------------------------------------------------------- geometry

def cross_line_by_edge(horizontal, c, a, b):
    if horizontal:
        ua, va, ub, vb = a[0], a[1], b[0], b[1]
    else:
        ua, va, ub, vb = a[1], a[0], b[1], b[0]
    if va == c and vb == c:
        return True, min(ua, ub), max(ua, ub)
    hit = None
    if va == c:
        hit = (ua, ua)
    if vb == c:
        hit = (ub, ub)
    if hit:
        return True, hit[0], hit[1]
    if min(va, vb) < c < max(va, vb):
        u = ua + (c - va) / (vb - va) * (ub - ua)
        return True, u, u
    return False, None, None


def clip_line(horizontal, c, poly):
    found = False
    low = high = None
    n = len(poly)
    for i in range(n):
        ok, lo, hi = cross_line_by_edge(horizontal, c, poly[i], poly[(i + 1) % n])
        if ok:
            if not found:
                low, high = lo, hi
            else:
                low = min(low, lo)
                high = max(high, hi)
            found = True
    if not found:
        return False, None, None
    return low != high, low, high


D2R = 0.017453292519943295
R2D = 57.29577951308232


def sk42_to_gsk2011(lon, lat):
    a1 = 6378245.0
    e1 = 0.006693421622965862
    one_e1 = 0.9933065783770342
    dx, dy, dz = 23.56, -140.86, -79.77
    wx = -8.426061777683734e-9
    wy = -1.6795933649726876e-6
    wz = -3.850695687991034e-6
    sc = 0.9999997726
    e2 = 0.006694398105662064
    ae2 = 42697.78490325407
    L = lon * D2R
    B = lat * D2R
    sb = math.sin(B)
    N = a1 / math.sqrt(1.0 - e1 * (sb * sb))
    X = N * math.cos(B) * math.cos(L)
    Y = N * math.cos(B) * math.sin(L)
    Z = N * one_e1 * sb
    X2 = sc * (X + wz * Y - wy * Z) + dx
    Y2 = sc * (Y - wz * X + wx * Z) + dy
    Z2 = sc * (Z + wy * X - wx * Y) + dz
    D = math.sqrt(X2 * X2 + Y2 * Y2)
    if D == 0:
        return 0.0, (Z2 / abs(Z2)) * (math.pi / 2) * R2D
    La = abs(math.asin(Y2 / D))
    if Y2 < 0:
        L2 = math.pi + La if X2 < 0 else 2 * math.pi - La
    elif Y2 > 0:
        L2 = math.pi - La if X2 < 0 else La
    else:
        L2 = 0.0 if X2 > 0 else math.pi
    if Z2 == 0:
        B2 = 0.0
    else:
        r = math.sqrt(X2 * X2 + Y2 * Y2 + Z2 * Z2)
        c = math.asin(Z2 / r)
        p = ae2 / (2 * r)
        s1 = 0.0
        while True:
            b = c + s1
            sbb = math.sin(b)
            s2 = math.asin(p * math.sin(2 * b) / math.sqrt(1.0 - e2 * (sbb * sbb)))
            if abs(s2 - s1) <= 1e-13:
                B2 = b
                break
            s1 = s2
    return L2 * R2D, B2 * R2D


# ---------------------------------------------------------------- graticule arithmetic

def start_grad(value, origin, step):
    if eq_tol(origin, value):
        return origin
    k = 0
    if origin < value:
        while True:
            c = k * step + origin
            if c > value or eq_tol(c, value):
                return c
            k += 1
    while True:
        c = k * (-step) + origin
        if eq_tol(c, value):
            return c
        if c < value:
            return (k - 1) * (-step) + origin
        k += 1


def end_grad(value, origin, step):
    if eq_tol(origin, value):
        return origin
    k = 0
    if origin < value:
        while True:
            c = k * step + origin
            if eq_tol(c, value):
                return c
            if c > value:
                return (k - 1) * step + origin
            k += 1
    while True:
        c = k * (-step) + origin
        if c < value or eq_tol(c, value):
            return c
        k += 1


def add_run(fixed, frm, to, spacing, include_end, horizontal):
    """ADDPARALLEL (horizontal) / ADDMERIDIAN: list of (x, y)."""
    d = -spacing if frm > to else spacing
    out = []

    def pt(v):
        return (v, fixed) if horizontal else (fixed, v)
    while True:
        c = len(out) * d + frm
        if eq_tol(c, to):
            if include_end:
                out.append(pt(to))
            break
        if (d > 0 and c > to) or (d < 0 and c < to):
            if include_end:
                out.append(pt(to))
            break
        out.append(pt(c))
    return out


def add_parallel(lat, frm, to, spacing, include_end):
    return add_run(lat, frm, to, spacing, include_end, True)


def add_meridian(lon, frm, to, spacing, include_end):
    return add_run(lon, frm, to, spacing, include_end, False)


def add_rectangle(w, e, xs, s, n, ys):
    pts = add_parallel(n, w, e, xs, False)
    pts += add_meridian(e, n, s, ys, False)
    pts += add_parallel(s, e, w, xs, False)
    pts += add_meridian(w, s, n, ys, True)
    return pts


# ---------------------------------------------------------------- texts

def gradminsec(angle):
    s = anint(angle * 60 * 60) / 3600
    deg = math.floor(s)
    m = (s - deg) * 60
    m2 = anint(m * 60) / 60
    mins = math.floor(m2)
    secs = math.floor(anint((m2 - mins) * 60))
    return ffield(deg, 4) + "°" + ffield0(mins, 2) + "'" + ffield0(secs, 2) + '"'


def coord_to_dms(coord, is_lon, dec):
    positive = coord >= 0
    a = abs(coord)
    if dec < 0:
        per_min = 1
        count = int(anint(a * 60))
    else:
        per_min = 60 * 10 ** dec
        count = int(anint(a * 3600 * 10 ** dec))
    if count == 0:
        return 0, 0, 0.0, True
    per_deg = 60 * per_min
    if is_lon and count > 180 * per_deg:
        count = 360 * per_deg - count
        positive = not positive
    deg = count // per_deg
    rest = count - deg * per_deg
    mins = rest // per_min
    units = rest - mins * per_min
    secs = 0.0 if dec < 0 else units / (10 ** dec)
    return deg, mins, secs, positive


def coord_to_txtn(deg, mins, secs, positive, is_lon, dec, style):
    t = ffield(deg, 3).strip() + "°" + ffield0(mins, 2) + "'"
    if dec == 0:
        t += ffield0(int(secs), 2) + '"'
    elif dec > 0:
        t += ("%*.*f" % (dec + 3, dec, secs)).strip() + '"'
    if style == 1:
        if is_lon:
            t += " " + ("в.д." if positive else "з.д.")
        else:
            t += " " + ("с.ш." if positive else "ю.ш.")
    elif style == 2 and not positive:
        t += " " + ("З" if is_lon else "Ю")
    return t


def coord_point_to_txtn(lon, lat, dec, style):
    a = coord_to_txtn(*coord_to_dms(lon, True, dec), True, dec, style)
    b = coord_to_txtn(*coord_to_dms(lat, False, dec), False, dec, style)
    return a.strip() + " " + b.strip()


def hypsl_att(cls, value=None):
    codes = {1: (400011, "Параллель"), 2: (400012, "Меридиан"),
             3: (400013, "Северный полярный круг"), 8: (400010, "Рамка")}
    code, name = codes[cls]
    if cls == 3:
        return [code, name, "66°", "33.64'", "с.ш."]
    if cls == 8:
        return [code, name, "", "", ""]
    v = anint(value * 60) / 60
    hemi = "с.ш."
    if cls == 2:
        if v <= 180:
            hemi = "в.д."
        else:
            v = 360 - v
            hemi = "з.д."
    deg = math.floor(v)
    mins = int(anint((v - deg) * 60))
    return [code, name, (ffield(deg, 3) + "°").strip(), ffield0(mins, 2) + "'", hemi]


# ---------------------------------------------------------------- argument file

class JobError(Exception):
    pass


CS_NAMES = {"CK-42": 1, "CK-95": 2, "ГCK-2011": 3, "ГCK-2011 / СК-42": 4}
ROMANS = [roman(i) for i in range(1, 37)]


def read_nom(v):
    v = v.lstrip()
    if len(v) < 3:
        raise JobError("nom")
    letter = v[0].upper()
    if letter not in "UTSRQPONMLK":
        raise JobError("nom letter")
    yz = "VUTSRQPONMLK".index(letter)
    rest = v[1:]
    hy = rest.startswith("-")
    if hy:
        rest = rest[1:]
    if len(rest) < 2 or not rest[:2].isdigit():
        raise JobError("nom zone")
    xz = int(rest[:2])
    if not (33 <= xz <= 60 or xz in (1, 2)):
        raise JobError("nom zone range")
    rest = rest[2:]
    if rest.lstrip() == "" or rest.lstrip().startswith("("):
        ss, sn = 1, 0
        rest = rest.lstrip()
    else:
        ss = 0
        if hy:
            if not rest.startswith("-"):
                raise JobError("nom sheet")
            rest = rest[1:]
            i = 0
            while i < len(rest) and rest[i] in "IVX":
                i += 1
            if rest[:i] not in ROMANS:
                raise JobError("nom roman")
            sn = ROMANS.index(rest[:i]) + 1
            rest = rest[i:]
        else:
            if len(rest) < 2 or not rest[:2].isdigit() or not 1 <= int(rest[:2]) <= 36:
                raise JobError("nom number")
            sn = int(rest[:2])
            rest = rest[2:]
    rest = rest.strip()
    st = 0
    if rest:
        if not (rest.startswith("(") and rest.endswith(")")):
            raise JobError("nom type")
        inner = rest[1:-1].strip()
        if inner not in ("2", "3", "4"):
            raise JobError("nom type digit")
        st = int(inner) - 1
    return ss, yz, xz, sn, st


def read_gradmin(v):
    t = v.strip()
    if not t:
        raise JobError("empty angle")
    k = 0
    while k < len(t) and t[k].isdigit():
        k += 1
    if k == len(t):
        return float(int(t))
    if k == 0:
        raise JobError("angle sign")
    deg = int(t[:k])
    if t[k] not in "° ":
        raise JobError("angle sep")
    rest = t[k + 1:].strip()
    mins = 0
    if rest:
        k2 = 0
        while k2 < len(rest) and rest[k2].isdigit():
            k2 += 1
        if k2 == len(rest):
            mins = int(rest)
        else:
            if rest[k2] != "'" or k2 == 0:
                raise JobError("minute sign")
            mins = int(rest[:k2])
    if mins > 59:
        raise JobError("minutes")
    return deg + mins / 60


def read_min(v):
    t = v.strip()
    k = 0
    while k < len(t) and t[k].isdigit():
        k += 1
    if not t or k == 0:
        raise JobError("minute text")
    if k < len(t) and t[k] != "'":
        raise JobError("minute sign")
    m = int(t[:k])
    if m > 59:
        raise JobError("minute range")
    return m


SCALES = {0: {"200": 0, "500": 1, "1000": 2}, 1: {"1000": 0, "2500": 1, "5000": 2}}


def parse_job(text):
    """Returns the job dict; raises JobError for a refused file (exit 8)."""
    job = {}
    for line in text.splitlines():
        line = line.strip()
        while line:
            s = line.find(";")
            if s < 0:
                raise JobError("no ;")
            item, line = line[:s], line[s + 1:].strip()
            e = item.find("=")
            if e < 1:
                raise JobError("no =")
            key, val = item[:e].strip(), item[e + 1:].strip()
            if not key or not val:
                raise JobError("blank")
            if key in job and key != "CS":
                raise JobError("twice " + key)
            if key == "CS":
                if val not in CS_NAMES:
                    raise JobError("cs")
                job[key] = CS_NAMES[val]
            elif key == "Nom":
                job[key] = read_nom(val)
            elif key == "Path":
                job[key] = val
            elif key == "MapScale":
                if "Nom" not in job:
                    raise JobError("mapscale first")
                job[key] = SCALES[job["Nom"][0]].get(val)
                if job[key] is None:
                    raise JobError("mapscale")
            elif key in ("xFrom", "yFrom", "xTo", "yTo", "ParallelStep", "MeridianStep"):
                job[key] = read_gradmin(val)
                if key.endswith("Step") and job[key] == 0:
                    raise JobError("zero step")
            elif key in ("xMinute", "yMinute"):
                job[key] = read_min(val)
                if job[key] == 0:
                    raise JobError("zero minute")
            elif key == "SubSheetFrames":
                if val not in ("0", "1"):
                    raise JobError("subsheet value")
                job[key] = val == "1"
            else:
                raise JobError("unknown key " + key)
    if "Path" not in job or "Nom" not in job:
        raise JobError("missing")
    ss, yz, xz, sn, st = job["Nom"]
    if job.get("SubSheetFrames") and not (ss == 0 and st == 0):
        raise JobError("subsheet needs single 1:200000")
    p = dict(CoordSystem=job.get("CS", 1), SetScale=ss, MapScale=job.get("MapScale", 0),
             yZone=yz, xZone=xz, SheetNumber=sn, SheetType=st,
             SubSheetFrames=job.get("SubSheetFrames", False))
    p.update(compute_base(ss, yz, xz, sn, st))
    mx, my = (1.0, TWO_THIRDS) if ss == 0 else (6.0, 4.0)
    checks = [("xFrom", "BaseWest", lambda v, b: v > b - mx),
              ("xTo", "BaseEast", lambda v, b: v < b + mx),
              ("yFrom", "BaseSouth", lambda v, b: v > b - my),
              ("yTo", "BaseNorth", lambda v, b: v < b + my),
              ("xMinute", "BaseXMinute", None), ("yMinute", "BaseYMinute", None),
              ("ParallelStep", "BaseParallelStep", None), ("MeridianStep", "BaseMeridianStep", None)]
    for key, base, ok in checks:
        if key in job:
            if ok and not ok(job[key], p[base]):
                raise JobError("bound " + key)
            p[key] = job[key]
        else:
            p[key] = p[base]
    return p


# ---------------------------------------------------------------- layers

HYPSA_FIELDS = [["Id", "N", 6, 0], ["L_code", "N", 6, 0], ["Name", "C", 100, 0],
                ["LeftUp", "C", 50, 0], ["RghtUp", "C", 50, 0], ["LeftDn", "C", 50, 0],
                ["RghtDn", "C", 50, 0]]
HYPSP_FIELDS = [["Id", "N", 6, 0], ["L_code", "N", 6, 0], ["Lat", "C", 20, 0], ["Lon", "C", 20, 0]]
HYPSL_FIELDS = [["Id", "N", 6, 0], ["L_code", "N", 6, 0], ["Text", "C", 40, 0], ["Grad", "C", 5, 0],
                ["Min", "C", 7, 0], ["Indication", "C", 5, 0]]
SUB_FIELDS = [["Id", "N", 6, 0], ["Name", "C", 100, 0]]


def _layer(shape_type, fields):
    return {"shape_type": shape_type, "fields": fields, "records": []}


def _rec(layer, values, geom):
    names = [f[0] for f in layer["fields"]]
    attrs = {"Id": len(layer["records"]) + 1}
    for name, v in zip(names[1:], values):
        attrs[name] = v.strip() if isinstance(v, str) else v
    layer["records"].append({"attrs": attrs, "geom": [list(p) for p in geom]})


def hyps_layers(p):
    cs = p["CoordSystem"]
    xf, xt, yf, yt = p["xFrom"], p["xTo"], p["yFrom"], p["yTo"]
    corners = [(xf, yt), (xt, yt), (xf, yf), (xt, yf)]  # NW NE SW SE
    if cs == 4:
        corners = [sk42_to_gsk2011(*c) for c in corners]
        nw, ne, sw, se = corners
        west, east = max(nw[0], sw[0]), min(ne[0], se[0])
        south, north = max(sw[1], se[1]), min(nw[1], ne[1])
    else:
        west, east, south, north = xf, xt, yf, yt
    name = nomenclature(p["SetScale"], p["yZone"], p["xZone"], p["SheetNumber"], p["SheetType"])
    layers = {}

    # HypsA
    la = _layer(5, HYPSA_FIELDS)
    outline = add_rectangle(xf, xt, 0.125, yf, yt, ONE_TWELFTH)
    if cs == 4:
        outline = [sk42_to_gsk2011(*v) for v in outline]
    dec = 2 if cs == 4 else -1
    labels = [coord_point_to_txtn(c[0], c[1], dec, 1) for c in corners]
    _rec(la, [-1, name] + labels, outline)
    layers["HYPS/HypsA"] = la

    # HypsP
    lp = _layer(1, HYPSP_FIELDS)
    xs, ys = (0.125, ONE_TWELFTH) if p["SetScale"] == 0 else (0.25, 2 * ONE_TWELFTH)
    flat = start_grad(yf, p["BaseSouth"], ys)
    llat = end_grad(yt, p["BaseSouth"], ys)
    flon = start_grad(xf, p["BaseWest"], xs)
    llon = end_grad(xt, p["BaseWest"], xs)
    if (flat <= llat or eq_tol(flat, llat)) and (flon <= llon or eq_tol(flon, llon)):
        i = 0
        while True:
            lat = i * ys + flat
            j = 0
            while True:
                lon = j * xs + flon
                pt = (lon, lat)
                if cs == 4:
                    pt = sk42_to_gsk2011(lon, lat)
                _rec(lp, [-1, gradminsec(lat), gradminsec(lon)], [pt])
                if eq_tol(lon, llon):
                    break
                j += 1
            if eq_tol(lat, llat):
                break
            i += 1
    layers["HYPS/HypsP"] = lp

    # HypsL
    ll = _layer(3, HYPSL_FIELDS)
    _rec(ll, hypsl_att(8), outline)
    ps, ms = p["ParallelStep"], p["MeridianStep"]
    first = start_grad(south, p["BaseSouth"], ps)
    if eq_tol(first, south):
        first = first + ps
    last = end_grad(north, p["BaseSouth"], ps)
    if eq_tol(last, north):
        last = last - ps
    k = 0
    while True:
        lat = k * ps + first
        if not (lat < last or eq_tol(lat, last)):
            break
        k += 1
        if cs == 4:
            ok, a, b = clip_line(True, lat, outline)
            if not ok or a == b:
                continue
        else:
            a, b = west, east
        _rec(ll, hypsl_att(1, lat), add_parallel(lat, a, b, 0.125, True))
    first = start_grad(west, p["BaseWest"], ms)
    if eq_tol(first, west):
        first = first + ms
    last = end_grad(east, p["BaseWest"], ms)
    if eq_tol(last, east):
        last = last - ms
    k = 0
    while True:
        lon = k * ms + first
        if not (lon < last or eq_tol(lon, last)):
            break
        k += 1
        if cs == 4:
            ok, a, b = clip_line(False, lon, outline)
            if not ok or a == b:
                continue
        else:
            a, b = south, north
        _rec(ll, hypsl_att(2, lon), add_meridian(lon, a, b, ONE_TWELFTH, True))
    if (abs(ARCTIC - north) > ARCTIC_LIMIT and abs(ARCTIC - south) > ARCTIC_LIMIT
            and south < ARCTIC < north):
        draw = True
        if cs == 4:
            ok, a, b = clip_line(True, ARCTIC, outline)
            draw = ok and a != b
        else:
            a, b = west, east
        if draw:
            _rec(ll, hypsl_att(3), add_parallel(ARCTIC, a, b, 0.125, True))
    layers["HYPS/HypsL"] = ll
    return layers


def subsheet_layers(p):
    cs = p["CoordSystem"]
    n = nomenclature(1, p["yZone"], p["xZone"], p["SheetNumber"], 0)
    layers = {}

    def write(folder, name, w, e, s, nn):
        ring = add_rectangle(w, e, 1.0 / 64, s, nn, 0.010416666666666666)
        if cs == 4:
            ring = [sk42_to_gsk2011(*v) for v in ring]
        lay = _layer(5, SUB_FIELDS)
        _rec(lay, [name], ring)
        layers[folder + "/" + name] = lay

    def quarters(w, e, s, nn):
        mx = (w + e) / 2
        my = (s + nn) / 2
        for i in (0, 1):
            for j in (0, 1):
                yield i, j, (w, mx) if i == 0 else (mx, e), (my, nn) if j == 0 else (s, my)

    row = (p["SheetNumber"] - 1) // 6
    col = p["SheetNumber"] - 1 - 6 * row
    first = 24 * row + 2 * col + 1
    big = {(0, 0): "А", (0, 1): "В", (1, 0): "Б", (1, 1): "Г"}
    small = {(0, 0): "а", (0, 1): "в", (1, 0): "б", (1, 1): "г"}
    for i, j, (w, e), (s, nn) in quarters(p["BaseWest"], p["BaseEast"], p["BaseSouth"], p["BaseNorth"]):
        n100 = "%s-%d" % (n, first + i + 12 * j)
        for i2, j2, (w2, e2), (s2, n2) in quarters(w, e, s, nn):
            n50 = n100 + "-" + big[(i2, j2)]
            write("HYPS_50", n50, w2, e2, s2, n2)
            for i3, j3, (w3, e3), (s3, n3) in quarters(w2, e2, s2, n2):
                write("HYPS_25", n50 + "-" + small[(i3, j3)], w3, e3, s3, n3)
    return layers


def run_job(text):
    try:
        p = parse_job(text)
    except JobError:
        return 8, {}, None
    layers = {}
    if p["SubSheetFrames"]:
        layers.update(subsheet_layers(p))
    layers.update(hyps_layers(p))
    return 0, layers, p
