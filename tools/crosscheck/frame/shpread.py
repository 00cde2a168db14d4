"""Minimal readers for the .shp and .dbf files that sheetjob writes."""
import struct


def read_shp(path):
    """Returns (shape type, [list of (x, y) vertices per record])."""
    with open(path, "rb") as f:
        data = f.read()
    code, = struct.unpack(">i", data[0:4])
    if code != 9994:
        raise ValueError("%s: not a shapefile" % path)
    shape_type, = struct.unpack("<i", data[32:36])
    pos = 100
    shapes = []
    while pos < len(data):
        _, length = struct.unpack(">ii", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + 2 * length]
        pos += 8 + 2 * length
        st, = struct.unpack("<i", body[0:4])
        if st == 0:
            shapes.append([])
        elif st == 1:
            shapes.append([struct.unpack("<dd", body[4:20])])
        elif st in (3, 5):
            nparts, npoints = struct.unpack("<ii", body[36:44])
            off = 44 + 4 * nparts
            pts = struct.unpack("<%dd" % (2 * npoints), body[off:off + 16 * npoints])
            shapes.append(list(zip(pts[0::2], pts[1::2])))
        else:
            raise ValueError("shape type %d" % st)
    return shape_type, shapes


def read_dbf(path):
    """Returns ([(name, type, width, decimals)], [dict per record])."""
    with open(path, "rb") as f:
        data = f.read()
    nrec, hlen, rlen = struct.unpack("<IHH", data[4:12])
    fields = []
    pos = 32
    while data[pos] != 0x0D:
        d = data[pos:pos + 32]
        name = d[:11].split(b"\0")[0].decode("ascii")
        fields.append((name, chr(d[11]), d[16], d[17]))
        pos += 32
    records = []
    for i in range(nrec):
        r = data[hlen + i * rlen: hlen + (i + 1) * rlen]
        p = 1
        rec = {}
        for name, typ, width, dec in fields:
            raw = r[p:p + width]
            p += width
            text = raw.decode("cp1251").strip()
            if typ in "NF":
                if text == "" or set(text) == {"*"}:
                    rec[name] = None
                elif dec == 0 and "." not in text:
                    rec[name] = int(text)
                else:
                    rec[name] = float(text)
            else:
                rec[name] = text
        records.append(rec)
    return fields, records


def read_layer(base):
    """base: path without extension. Returns (shape type, fields, records)."""
    st, shapes = read_shp(base + ".shp")
    fields, attrs = read_dbf(base + ".dbf")
    if len(shapes) != len(attrs):
        raise ValueError("%s: %d shapes but %d attribute records"
                         % (base, len(shapes), len(attrs)))
    return st, fields, [{"attrs": a, "geom": g} for a, g in zip(attrs, shapes)]


PRJ = {
    1: 'GEOGCS["GCS_Pulkovo_1942",DATUM["D_Pulkovo_1942",SPHEROID["Krasovsky_1940", '
       '6378245.0,298.3]], PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433]]',
    2: 'GEOGCS["GCS_Pulkovo_1995",DATUM["D_Pulkovo_1995",SPHEROID["Krasovsky_1940", '
       '6378245.0,298.3]], PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433]]',
    3: 'GEOGCS["GCS_RUSSIA_2011",DATUM["D_RUSSIA_2011",SPHEROID["S_RUSSIA_2011", '
       '6378136.5,298.2564151],AUTHORITY["EPSG","1159"]], PRIMEM["Greenwich",0.0],'
       'UNIT["Degree",0.0174532925199433],AUTHORITY["EPSG","7683"]]',
}
PRJ[4] = PRJ[3]


def validate(base, coord_system):
    """Structural checks of one layer's files: the index against the main
    file, the header lengths and bounding box, the projection text."""
    problems = []
    with open(base + ".shp", "rb") as f:
        shp = f.read()
    with open(base + ".shx", "rb") as f:
        shx = f.read()
    if struct.unpack(">i", shp[24:28])[0] * 2 != len(shp):
        problems.append("shp header length differs from the file size")
    if struct.unpack(">i", shx[24:28])[0] * 2 != len(shx):
        problems.append("shx header length differs from the file size")
    if shp[28:100] != shx[28:100]:
        problems.append("shp and shx headers differ after the length")
    pos, k = 100, 0
    xs, ys = [], []
    _, shapes = read_shp(base + ".shp")
    for k, pts in enumerate(shapes):
        off, length = struct.unpack(">ii", shx[100 + 8 * k:108 + 8 * k])
        num, clen = struct.unpack(">ii", shp[pos:pos + 8])
        if off * 2 != pos or length != clen or num != k + 1:
            problems.append("index entry %d does not match record %d" % (k + 1, k + 1))
            break
        pos += 8 + 2 * clen
        xs += [p[0] for p in pts]
        ys += [p[1] for p in pts]
    if (len(shx) - 100) // 8 != len(shapes):
        problems.append("index holds %d entries for %d shapes" % ((len(shx) - 100) // 8, len(shapes)))
    if xs:
        box = struct.unpack("<4d", shp[36:68])
        if box != (min(xs), min(ys), max(xs), max(ys)):
            problems.append("bounding box %s, vertices span %s" % (box, (min(xs), min(ys), max(xs), max(ys))))
    try:
        with open(base + ".PRJ", "rb") as f:
            prj = f.read()
        if prj != PRJ[coord_system].encode("ascii") + b"\r\n":
            problems.append("projection text %r" % prj[:60])
    except FileNotFoundError:
        problems.append("no .PRJ file")
    return problems
