"""Reads a shapefile layer (.shp and .dbf) into the record form used by
hypsref: {"shape_type", "fields", "records": [{"attrs", "geom"}]}."""

import struct


def read_shp(path):
    with open(path, "rb") as f:
        data = f.read()
    code, = struct.unpack(">i", data[0:4])
    if code != 9994:
        raise ValueError("%s: bad file code %d" % (path, code))
    file_len = struct.unpack(">i", data[24:28])[0] * 2
    if file_len != len(data):
        raise ValueError("%s: header length %d, file %d" % (path, file_len, len(data)))
    shape_type, = struct.unpack("<i", data[32:36])
    shapes = []
    bbox_problems = []
    pos = 100
    while pos < len(data):
        num, clen = struct.unpack(">ii", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + clen * 2]
        pos += 8 + clen * 2
        if num != len(shapes) + 1:
            raise ValueError("%s: record number %d at %d" % (path, num, len(shapes) + 1))
        st, = struct.unpack("<i", body[:4])
        if st == 0:
            shapes.append([])
        elif st == 1:
            x, y = struct.unpack("<2d", body[4:20])
            shapes.append([[x, y]])
        elif st in (3, 5):
            nparts, npts = struct.unpack("<2i", body[36:44])
            off = 44 + 4 * nparts
            pts = struct.unpack("<%dd" % (2 * npts), body[off:off + 16 * npts])
            shapes.append([[pts[2 * i], pts[2 * i + 1]] for i in range(npts)])
            rb = struct.unpack("<4d", body[4:36])
            if npts and rb != (min(pts[0::2]), min(pts[1::2]), max(pts[0::2]), max(pts[1::2])):
                bbox_problems.append("record %d bounding box %r" % (len(shapes), rb))
            if nparts != 1:
                shapes[-1].append(["parts", nparts])
        else:
            raise ValueError("%s: shape type %d" % (path, st))
    allx = [v[0] for sh in shapes for v in sh if isinstance(v[0], float)]
    ally = [v[1] for sh in shapes for v in sh if isinstance(v[0], float)]
    hb = struct.unpack("<4d", data[36:68])
    if allx and hb != (min(allx), min(ally), max(allx), max(ally)):
        bbox_problems.append("header bounding box %r" % (hb,))
    if bbox_problems:
        raise ValueError("; ".join(bbox_problems))
    return shape_type, shapes


def read_dbf(path):
    with open(path, "rb") as f:
        data = f.read()
    nrec, hlen, rlen = struct.unpack("<IHH", data[4:12])
    fields = []
    pos = 32
    while data[pos] != 0x0D:
        d = data[pos:pos + 32]
        name = d[:11].split(b"\0")[0].decode("ascii")
        fields.append([name, chr(d[11]), d[16], d[17]])
        pos += 32
    recs = []
    for r in range(nrec):
        start = hlen + r * rlen
        raw = data[start:start + rlen]
        p = 1
        attrs = {}
        for name, typ, width, dec in fields:
            txt = raw[p:p + width].decode("cp1251").strip()
            p += width
            if typ in "NF":
                if txt == "":
                    attrs[name] = None
                elif dec == 0:
                    try:
                        attrs[name] = int(txt)
                    except ValueError:
                        attrs[name] = txt
                else:
                    attrs[name] = float(txt)
            else:
                attrs[name] = txt
        recs.append(attrs)
    return fields, recs


def check_shx(base, nshapes):
    """Returns a problem text or None: the index must point at every record."""
    try:
        with open(base + ".shx", "rb") as f:
            data = f.read()
        with open(base + ".shp", "rb") as f:
            shp = f.read()
    except OSError as e:
        return str(e)
    if (len(data) - 100) // 8 != nshapes:
        return ".shx holds %d entries for %d shapes" % ((len(data) - 100) // 8, nshapes)
    for i in range(nshapes):
        off, clen = struct.unpack(">ii", data[100 + 8 * i:108 + 8 * i])
        num, clen2 = struct.unpack(">ii", shp[off * 2:off * 2 + 8])
        if num != i + 1 or clen != clen2:
            return ".shx entry %d does not match the .shp record" % (i + 1)
    return None


def read_prj(base):
    for ext in (".PRJ", ".prj"):
        try:
            with open(base + ext, "rb") as f:
                return f.read().decode("ascii", "replace")
        except OSError:
            pass
    return None


def read_layer(base):
    """base: path without extension."""
    shape_type, shapes = read_shp(base + ".shp")
    fields, recs = read_dbf(base + ".dbf")
    records = []
    n = max(len(shapes), len(recs))
    for i in range(n):
        records.append({"attrs": recs[i] if i < len(recs) else None,
                        "geom": shapes[i] if i < len(shapes) else None})
    return {"shape_type": shape_type, "fields": fields, "records": records,
            "shx": check_shx(base, len(shapes)), "prj": read_prj(base)}
