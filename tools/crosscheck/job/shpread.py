"""Minimal reader of .shp and .dbf files (standard library only)."""
import struct


def read_shp(path):
    """-> (shape type, list of vertex lists)."""
    with open(path, 'rb') as f:
        data = f.read()
    if len(data) < 100:
        raise ValueError('%s: short header' % path)
    code, = struct.unpack('>i', data[0:4])
    if code != 9994:
        raise ValueError('%s: bad file code %d' % (path, code))
    flen, = struct.unpack('>i', data[24:28])
    if flen * 2 != len(data):
        raise ValueError('%s: length field %d, file %d' % (path, flen * 2, len(data)))
    stype, = struct.unpack('<i', data[32:36])
    pos = 100
    shapes = []
    while pos < len(data):
        _num, clen = struct.unpack('>ii', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + clen * 2]
        pos += 8 + clen * 2
        t, = struct.unpack('<i', body[0:4])
        if t == 0:
            shapes.append([])
        elif t == 1:
            shapes.append([struct.unpack('<2d', body[4:20])])
        elif t in (3, 5):
            nparts, npts = struct.unpack('<ii', body[36:44])
            off = 44 + 4 * nparts
            pts = [struct.unpack('<2d', body[off + 16 * i:off + 16 * i + 16])
                   for i in range(npts)]
            shapes.append(pts)
        else:
            raise ValueError('%s: shape type %d' % (path, t))
    return stype, shapes


def read_dbf(path):
    """-> (fields [(name, type, width, decimals)], records [dict]).

    Character values are returned as latin-1 mapped str of the stored bytes,
    with leading and trailing blanks dropped.
    """
    with open(path, 'rb') as f:
        data = f.read()
    nrec, hlen, rlen = struct.unpack('<IHH', data[4:12])
    fields = []
    pos = 32
    while data[pos] != 0x0D:
        d = data[pos:pos + 32]
        name = d[:11].split(b'\0')[0].decode('latin-1')
        fields.append((name, chr(d[11]), d[16], d[17]))
        pos += 32
    recs = []
    for i in range(nrec):
        r = data[hlen + i * rlen:hlen + (i + 1) * rlen]
        off = 1
        rec = {}
        for name, typ, width, _dec in fields:
            raw = r[off:off + width].decode('latin-1')
            off += width
            if typ == 'C':
                rec[name] = raw.strip(' ')
            else:
                s = raw.strip(' ')
                if s == '':
                    rec[name] = None
                else:
                    try:
                        rec[name] = int(s)
                    except ValueError:
                        rec[name] = float(s)
        recs.append(rec)
    return fields, recs


def read_layer(base):
    """base without extension -> (shape type, [(attrs, vertices)])."""
    stype, shapes = read_shp(base + '.shp')
    _fields, recs = read_dbf(base + '.dbf')
    if len(recs) != len(shapes):
        raise ValueError('%s: %d shapes, %d records' % (base, len(shapes), len(recs)))
    return stype, list(zip(recs, shapes))
