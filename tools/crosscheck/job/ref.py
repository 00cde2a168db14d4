"""Independent reference of the job reader and of the records that show it.

Works on bytes (Windows-1251) mapped one to one onto str with latin-1, so that
every position counts one character as in the fixed-length text fields.
Python floats are IEEE doubles; every formula keeps the written order.
"""
import math

TOL = 0.00016666666666666666
TWO_THIRDS = 2.0 / 3.0
SIXTH = 1.0 / 6.0
TWELFTH = 1.0 / 12.0
LINE_LEN = 1000
DEG = '\xb0'  # degree sign in Windows-1251


class Undefined(Exception):
    """The input reaches behaviour the text leaves to the implementer."""


def anint(x):
    return math.copysign(math.floor(abs(x) + 0.5), x) if x != 0 else 0.0


def eqtol(a, b):
    return abs(a - b) <= TOL


def w2(s):
    return s.decode('latin-1')


# ---------------------------------------------------------------- text helpers

def adjustl(t):
    n = len(t)
    s = t.lstrip(' ')
    return s + ' ' * (n - len(s))


def is_blank(t):
    return t.strip(' ') == ''


def read_int(digits):
    """Integer read of a run of decimal digits."""
    if digits == '':
        raise Undefined('empty number')
    v = int(digits)
    if v > 2147483647:
        raise Undefined('number too large')
    return v


def first_nondigit(t):
    for i, ch in enumerate(t):
        if ch not in '0123456789':
            return i + 1
    return 0


def txtgradmin2grad(text):
    """-> (status, angle)."""
    t = adjustl(text)
    if is_blank(t):
        return 1, None
    tt = t.rstrip(' ')
    k = first_nondigit(tt)
    if k == 0:
        deg = read_int(tt)
        minutes = 0
    elif k == 1:
        return 1, None
    else:
        deg = read_int(tt[:k - 1])
        if tt[k - 1] not in (DEG, ' '):
            return 1, None
        rem = tt[k:].lstrip(' ').rstrip(' ')
        if rem == '':
            minutes = 0
        else:
            k2 = first_nondigit(rem)
            if k2 == 0:
                minutes = read_int(rem)
            else:
                if rem[k2 - 1] != "'":
                    return 1, None
                if k2 == 1:
                    raise Undefined('minute sign alone')
                minutes = read_int(rem[:k2 - 1])
    if minutes > 59:
        return 1, None
    return 0, deg + minutes / 60.0


def after_minute_sign(text):
    """The argument file refuses a value with anything but blanks after its
    minute sign (seconds, a letter): the readers would drop it silently."""
    return "'" in text and text.split("'", 1)[1].strip(' ') != ''


def txtmin2min(text):
    """-> (status, minutes)."""
    t = adjustl(text)
    if is_blank(t):
        return 1, None
    tt = t.rstrip(' ')
    k = first_nondigit(tt)
    if k == 0:
        m = read_int(tt)
    else:
        if tt[k - 1] != "'":
            return 1, None
        if k == 1:
            raise Undefined('minute sign alone')
        m = read_int(tt[:k - 1])
    if m > 59:
        return 1, m
    return 0, m


def iw(v, width):
    s = '%d' % v
    return s.rjust(width) if len(s) <= width else '*' * width


def i2(v):
    if v < 0 or v > 99:
        return '**'
    return '%02d' % v


def gradmin2txt(angle):
    deg = math.floor(angle)
    m = anint((angle - deg) * 60)
    if m == 60:
        deg += 1
        m = 0
    return iw(int(deg), 3) + DEG + ' ' + i2(int(m)) + "'"


def gradminsec(angle):
    s = anint(angle * 60 * 60) / 3600
    deg = math.floor(s)
    m = (s - deg) * 60
    m2 = anint(m * 60) / 60
    minutes = math.floor(m2)
    seconds = math.floor(anint((m2 - minutes) * 60))
    return (iw(int(deg), 4).rstrip(' ') + DEG + i2(int(minutes)) + "'"
            + i2(int(seconds)) + '"')


# ----------------------------------------------------------- base parameters

def compute_base(set_scale, yzone, xzone, sheet, stype):
    north = float(88 - 4 * yzone)
    west = float(6 * xzone + 174)
    if west >= 360:
        west = west - 360
    if set_scale != 0:
        south = north - 4
        east = west + 6 * (stype + 1)
    else:
        row = (sheet - 1) // 6
        col = sheet - 1 - 6 * row
        north = north - row * TWO_THIRDS
        south = north - TWO_THIRDS
        west = west + col * 1
        east = west + (stype + 1) * 1
    if set_scale != 0:
        ms, xm = {0: (1.0, 10), 1: (2.0, 20), 3: (4.0, 40)}.get(stype, (1.0, 10))
        ps, ym = TWO_THIRDS, 10
    else:
        ms, xm = {0: (0.25, 1), 1: (0.5, 2), 2: (0.75, 5)}.get(stype, (0.25, 1))
        ps, ym = SIXTH, 1
    return dict(BaseWest=west, BaseEast=east, BaseSouth=south, BaseNorth=north,
                BaseMeridianStep=ms, BaseXMinute=xm, BaseParallelStep=ps,
                BaseYMinute=ym)


# --------------------------------------------------------------- nomenclature

BELTS = 'VUTSRQPONMLKJ'
ROMANS = [None] + [('X' * (n // 10)) + ['', 'I', 'II', 'III', 'IV', 'V', 'VI',
                                       'VII', 'VIII', 'IX'][n % 10]
                   for n in range(1, 40)]


def read_nomenclature(value):
    """-> None on failure, else (SetScale, yZone, xZone, SheetNumber, SheetType)."""
    t = adjustl(value).rstrip(' ')
    if len(t) < 3:
        return None
    c = t[0].upper()
    if c not in 'UTSRQPONMLK':
        return None
    yzone = 'VUTSRQPONMLK'.index(c)
    pos = 1
    hyph = t[pos] == '-'
    if hyph:
        pos += 1
    if len(t) - pos < 2:
        return None
    zd = t[pos:pos + 2]
    if not (zd[0] in '0123456789' and zd[1] in '0123456789'):
        return None
    xzone = int(zd)
    if not (33 <= xzone <= 60 or xzone in (1, 2)):
        return None
    pos += 2
    rest = t[pos:]
    if rest.lstrip(' ') == '' or rest.lstrip(' ').startswith('('):
        set_scale, sheet = 1, 0
        rest = rest.lstrip(' ')
    else:
        set_scale = 0
        if hyph:
            if not rest.startswith('-'):
                return None
            j = 1
            while j < len(rest) and rest[j] in 'IVX':
                j += 1
            num = rest[1:j]
            if num not in ROMANS[1:37]:
                return None
            sheet = ROMANS.index(num)
            rest = rest[j:]
        else:
            d = rest[:2]
            if len(d) < 2 or not (d[0] in '0123456789' and d[1] in '0123456789'):
                return None
            sheet = int(d)
            if not 1 <= sheet <= 36:
                return None
            rest = rest[2:]
    rest = rest.lstrip(' ')
    if rest == '':
        stype = 0
    else:
        if rest[0] != '(':
            return None
        rest = rest[1:].lstrip(' ')
        if rest == '' or rest[0] not in '234':
            return None
        stype = int(rest[0]) - 1
        rest = rest[1:].lstrip(' ')
        if not rest.startswith(')'):
            return None
        if rest[1:].strip(' ') != '':
            return None
    return set_scale, yzone, xzone, sheet, stype


def plusx(z):
    return 1 if z + 1 == 61 else z + 1


def nomenclature(set_scale, yzone, xzone, sheet, stype):
    text = BELTS[yzone] + '-' + '%02d' % xzone
    if set_scale != 0:
        z = xzone
        for _ in range(stype):
            z = plusx(z)
            text += ',' + '%02d' % z
        return text
    text += '-' + ROMANS[sheet]
    z, n = xzone, sheet
    for _ in range(stype):
        text += ','
        r = (n - 1) // 6
        c = n - 1 - 6 * r + 1
        nz = z
        if c == 6:
            nz = plusx(z)
            c = 0
        nn = 6 * r + c + 1
        if nz != z:
            text += '%02d' % nz + '-'
            z = nz
        text += ROMANS[nn]
        n = nn
    return text


# -------------------------------------------------------------- argument file

CS_NAMES = {
    'CK-42': 1,
    'CK-95': 2,
    '\xc3CK-2011': 3,
    '\xc3CK-2011 / \xd1\xca-42': 4,
}

SCALES = {0: {'200': 0, '500': 1, '1000': 2},
          1: {'1000': 0, '2500': 1, '5000': 2}}


def decode_file(raw):
    """-> (status, list of lines as latin-1 str).  status 3 refuses the file."""
    if raw.startswith(b'\xef\xbb\xbf'):
        raw = raw[3:]
    try:
        u = raw.decode('utf-8')
        if any(ord(ch) > 127 for ch in u):
            try:
                raw = u.encode('cp1251')
            except UnicodeEncodeError:
                return 3, None
    except UnicodeDecodeError:
        pass
    parts = raw.split(b'\n')
    if parts and parts[-1] == b'':
        parts.pop()
    lines = []
    for p in parts:
        if p.endswith(b'\r'):
            p = p[:-1]
        lines.append(w2(p))
    return 0, lines


class Job(dict):
    pass


def read_argfile(raw):
    """READARGFILE without the folder step.  -> (status, job, note)."""
    st, lines = decode_file(raw)
    if st:
        return 3, None, 'encoding'
    j = Job(CoordSystem=1, SetScale=-999, MapScale=-999, xMinute=-999,
            yMinute=-999, xFrom=-999.0, xTo=-999.0, yFrom=-999.0, yTo=-999.0,
            ParallelStep=-999.0, MeridianStep=-999.0, ResultPath='',
            SubSheetFrames=-999)
    note = ''
    for ln in lines:
        if len(ln) > LINE_LEN:
            # Cutting would drop what stands beyond the limit without a word
            # (an item, or the end of a folder name): such a line is refused.
            # Blanks beyond it are only padding.
            if ln[LINE_LEN:].strip(' ') != '':
                return 4, j, 'long line'
            ln = ln[:LINE_LEN]
        line = ln.ljust(LINE_LEN)
        while not is_blank(line):
            rc, line = read_arg(line, j)
            if rc:
                return 4, j, note
    if j['ResultPath'] == '' or j['SetScale'] == -999:
        return 5, j, note
    if j['SubSheetFrames'] == 1 and not (j['SetScale'] == 0 and j['SheetType'] == 0):
        return 4, j, note
    if j['MapScale'] == -999:
        j['MapScale'] = 0
    if j['SetScale'] == 0:
        lon_m, lat_m = 1.0, TWO_THIRDS
    else:
        lon_m, lat_m = 6.0, 4.0
    checks = [
        ('xFrom', 'BaseWest', lambda v, b: v > b - lon_m),
        ('xTo', 'BaseEast', lambda v, b: v < b + lon_m),
        ('yFrom', 'BaseSouth', lambda v, b: v > b - lat_m),
        ('yTo', 'BaseNorth', lambda v, b: v < b + lat_m),
        ('xMinute', 'BaseXMinute', lambda v, b: v != 0),
        ('yMinute', 'BaseYMinute', lambda v, b: v != 0),
        ('ParallelStep', 'BaseParallelStep', lambda v, b: v != 0),
        ('MeridianStep', 'BaseMeridianStep', lambda v, b: v != 0),
    ]
    for f, b, ok in checks:
        if j[f] < 0:
            j[f] = j[b]
        elif not ok(j[f], j[b]):
            return 6, j, note
    return 0, j, note


def read_arg(line, j):
    """READARG -> (status, remaining line)."""
    line = adjustl(line)
    s = line.find(';') + 1
    if s < 4:
        return 1, line
    e = line.find('=') + 1
    if e < 2 or e > s:
        return 1, line
    key = adjustl(line[:e - 1]).rstrip(' ')
    if key == '':
        return 1, line
    value = adjustl(line[e:s - 1]).rstrip(' ')
    if value == '':
        return 1, line
    line = ' ' * LINE_LEN if s == LINE_LEN else line[s:].ljust(LINE_LEN)
    if key == 'CS':
        if value not in CS_NAMES:
            return 2, line
        j['CoordSystem'] = CS_NAMES[value]
    elif key == 'Nom':
        if j['SetScale'] != -999:
            return 4, line
        r = read_nomenclature(value)
        if r is None:
            j['SetScale'] = -900
            return 3, line
        j['SetScale'], j['yZone'], j['xZone'], j['SheetNumber'], j['SheetType'] = r
        j.update(compute_base(*r))
    elif key == 'Path':
        if j['ResultPath'] != '':
            return 4, line
        if len(value) < 3:
            return 3, line
        if any(ord(ch) < 0x20 or ord(ch) == 0x7f for ch in value):
            # A control character would cut the path short (a NUL) or garble
            # every message naming it: the value is refused like a bad one.
            return 3, line
        j['ResultPath'] = value if value.endswith('/') else value + '/'
    elif key == 'MapScale':
        if j['MapScale'] != -999:
            return 4, line
        if j['SetScale'] == -999:
            return 5, line
        m = SCALES[j['SetScale']].get(value)
        if m is None:
            j['MapScale'] = -900
            return 3, line
        j['MapScale'] = m
    elif key in ('xFrom', 'yFrom', 'xTo', 'yTo', 'ParallelStep', 'MeridianStep'):
        if j[key] != -999.0:
            return 4, line
        st, v = txtgradmin2grad(value)
        if st or after_minute_sign(value):
            return 3, line
        if key in ('ParallelStep', 'MeridianStep') and v == 0:
            return 3, line
        j[key] = v
    elif key in ('xMinute', 'yMinute'):
        if j[key] != -999:
            return 4, line
        st, v = txtmin2min(value)
        if st or v == 0 or after_minute_sign(value):
            return 3, line
        j[key] = v
    elif key == 'SubSheetFrames':
        if j['SubSheetFrames'] != -999:
            return 4, line
        if value not in ('0', '1'):
            return 4, line
        j['SubSheetFrames'] = int(value)
    else:
        return 2, line
    return 0, line


# ------------------------------------------------------------------- layers

def startgrad(value, origin, step):
    if eqtol(origin, value):
        return origin
    if origin < value:
        k = 0
        while True:
            c = k * step + origin
            if c > value or eqtol(c, value):
                return c
            k += 1
    k = 0
    while True:
        c = k * (-step) + origin
        if eqtol(c, value):
            return c
        if c < value:
            return (k - 1) * (-step) + origin
        k += 1


def endgrad(value, origin, step):
    if eqtol(origin, value):
        return origin
    if origin < value:
        k = 0
        while True:
            c = k * step + origin
            if eqtol(c, value):
                return c
            if c > value:
                return (k - 1) * step + origin
            k += 1
    k = 0
    while True:
        c = k * (-step) + origin
        if c < value or eqtol(c, value):
            return c
        k += 1


def add_run(fixed, frm, to, spacing, include_end, along_x):
    d = spacing if not frm > to else -spacing
    out = []
    while True:
        c = len(out) * d + frm
        if eqtol(c, to):
            if include_end:
                out.append(to)
            break
        if (d > 0 and c > to) or (d < 0 and c < to):
            if include_end:
                out.append(to)
            break
        out.append(c)
    return [(v, fixed) if along_x else (fixed, v) for v in out]


def add_parallel(lat, frm, to, spacing, inc):
    return add_run(lat, frm, to, spacing, inc, True)


def add_meridian(lon, frm, to, spacing, inc):
    return add_run(lon, frm, to, spacing, inc, False)


def add_rectangle(w, e, xs, s, n, ys):
    return (add_parallel(n, w, e, xs, False) + add_meridian(e, n, s, ys, False)
            + add_parallel(s, e, w, xs, False) + add_meridian(w, s, n, ys, True))


def hypsp_records(j):
    if j['SetScale'] == 0:
        xs, ys = 0.125, TWELFTH
    else:
        xs, ys = 0.125 * 2, TWELFTH * 2
    flat = startgrad(j['yFrom'], j['BaseSouth'], ys)
    llat = endgrad(j['yTo'], j['BaseSouth'], ys)
    flon = startgrad(j['xFrom'], j['BaseWest'], xs)
    llon = endgrad(j['xTo'], j['BaseWest'], xs)
    recs = []
    if not ((flat <= llat or eqtol(flat, llat)) and (flon <= llon or eqtol(flon, llon))):
        return recs
    i = 0
    while True:
        lat = i * ys + flat
        jj = 0
        while True:
            lon = jj * xs + flon
            recs.append(({'L_code': -1, 'Lat': gradminsec(lat).strip(' '),
                          'Lon': gradminsec(lon).strip(' ')}, [(lon, lat)]))
            if eqtol(lon, llon) or lon > llon + 1:
                break
            jj += 1
        if eqtol(lat, llat) or lat > llat + 1:
            break
        i += 1
    return recs


AC = 66.56072222222222
AC_LIM = 0.0010000000474974513


def hypsl_att(cls, value=None):
    if cls == 8:
        return {'L_code': 400010, 'Text': w2('Рамка'.encode('cp1251')),
                'Grad': '', 'Min': '', 'Indication': ''}
    if cls == 3:
        return {'L_code': 400013,
                'Text': w2('Северный полярный круг'.encode('cp1251')),
                'Grad': '66' + DEG, 'Min': "33.64'",
                'Indication': w2('с.ш.'.encode('cp1251'))}
    v = anint(value * 60) / 60
    if cls == 2:
        if v <= 180:
            hem = 'в.д.'
        else:
            v = 360 - v
            hem = 'з.д.'
        code, name = 400012, 'Меридиан'
    else:
        hem = 'с.ш.'
        code, name = 400011, 'Параллель'
    deg = math.floor(v)
    m = anint((v - deg) * 60)
    return {'L_code': code, 'Text': w2(name.encode('cp1251')),
            'Grad': (iw(int(deg), 3) + DEG).strip(' '),
            'Min': i2(int(m)) + "'", 'Indication': w2(hem.encode('cp1251'))}


def hypsl_records(j, outline):
    w, e, s, n = j['xFrom'], j['xTo'], j['yFrom'], j['yTo']
    recs = [(hypsl_att(8), outline)]
    ps, ms = j['ParallelStep'], j['MeridianStep']
    first = startgrad(s, j['BaseSouth'], ps)
    if eqtol(first, s):
        first = first + ps
    last = endgrad(n, j['BaseSouth'], ps)
    if eqtol(last, n):
        last = last - ps
    k = 0
    while True:
        lat = k * ps + first
        if not (lat < last or eqtol(lat, last)):
            break
        recs.append((hypsl_att(1, lat), add_parallel(lat, w, e, 0.125, True)))
        k += 1
    first = startgrad(w, j['BaseWest'], ms)
    if eqtol(first, w):
        first = first + ms
    last = endgrad(e, j['BaseWest'], ms)
    if eqtol(last, e):
        last = last - ms
    k = 0
    while True:
        lon = k * ms + first
        if not (lon < last or eqtol(lon, last)):
            break
        recs.append((hypsl_att(2, lon), add_meridian(lon, s, n, TWELFTH, True)))
        k += 1
    if abs(n - AC) > AC_LIM and abs(s - AC) > AC_LIM and s < AC < n:
        recs.append((hypsl_att(3), add_parallel(AC, w, e, 0.125, True)))
    return recs


def minute_walk(a, b, o, h, filled=True):
    """Ticks and fills of one side: list of ('T', v) and ('F', c, n)."""
    out = []
    cur = o
    if eqtol(cur, a):
        nxt = cur + h
        first_tick = True
    elif cur < a:
        while cur < a and not eqtol(cur, a):
            cur = cur + h
            filled = not filled
        if eqtol(cur, a):
            cur = a
            nxt = cur + h
            first_tick = True
        elif cur < b:
            nxt = cur + h
            first_tick = True
        else:
            return out
    else:
        while cur > a and not eqtol(cur, a):
            cur = cur - h
            filled = not filled
        if eqtol(cur, a):
            cur = a
            nxt = cur + h
            first_tick = True
        else:
            nxt = cur + h
            cur = a
            first_tick = False
    if first_tick:
        out.append(('T', cur))
    while True:
        if eqtol(nxt, b):
            nxt, tick, last = b, True, True
        elif nxt < b:
            tick, last = True, False
        else:
            nxt, tick, last = b, False, True
        if tick:
            out.append(('T', nxt))
        if filled:
            out.append(('F', cur, nxt))
        filled = not filled
        cur = nxt
        nxt = cur + h
        if last:
            return out


def minute_frame(j):
    hx = j['xMinute'] / 60
    hy = j['yMinute'] / 60
    ns = minute_walk(j['xFrom'], j['xTo'], j['BaseWest'], hx)
    we = minute_walk(j['yFrom'], j['yTo'], j['BaseSouth'], hy)
    return [('N', ns), ('S', ns), ('W', we), ('E', we)]


def expected(j):
    """Records the accepted job writes, as far as this reference covers them."""
    out = {}
    if abs(j['xTo'] - j['xFrom']) > 360 or abs(j['yTo'] - j['yFrom']) > 180:
        raise Undefined('trapezium larger than the globe')
    name = nomenclature(j['SetScale'], j['yZone'], j['xZone'], j['SheetNumber'],
                        j['SheetType'])
    outline = add_rectangle(j['xFrom'], j['xTo'], 0.125, j['yFrom'], j['yTo'],
                            TWELFTH)
    cs4 = j['CoordSystem'] == 4
    out['HYPS/HypsA'] = [({'L_code': -1, 'Name': name},
                          None if cs4 else outline)]
    out['HYPS/HypsP'] = [(a, None if cs4 else g) for a, g in hypsp_records(j)]
    if not cs4:
        out['HYPS/HypsL'] = hypsl_records(j, outline)
        if j['MapScale'] == 0:
            out['minute'] = minute_frame(j)
    out['frame_layers'] = j['MapScale'] != 2
    return out
