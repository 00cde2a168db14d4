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
