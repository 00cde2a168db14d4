"""Reads one shapefile layer that sheetjob wrote (.shp, .shx, .dbf, .PRJ) and
checks its files against each other.

Standard library only. Vertices come back as the exact doubles stored; texts
of the table are the Windows-1251 bytes decoded to str with the blanks that
pad them dropped; numbers are int (no decimals) or float.

    layer = read_layer("out/HYPS/HypsA")     # the path without extension
    layer.shape_type, layer.fields, layer.records, layer.problems, layer.prj

A file that cannot be read at all raises LayerError; everything else that is
wrong with the files (index against main file, header lengths and bounding
boxes, record numbers and counts, table layout) is listed in layer.problems,
so that a comparison can report it beside the records it still reads.
"""
import os
import struct

SHP_FILE_CODE = 9994  # first word of every .shp and .shx (published format)
SHP_VERSION = 1000    # the format's one version
SHP_HEADER_BYTES = 100
SHX_ENTRY_BYTES = 8
SHAPE_NULL, SHAPE_POINT, SHAPE_POLYLINE, SHAPE_POLYGON = 0, 1, 3, 5
DBF_HEADER_END = 0x0D   # ends the field descriptors of a dBASE III table
DBF_FIELD_BYTES = 32
DBF_LIVE_RECORD = 0x20  # first byte of a record that is not marked deleted
DBF_END_OF_FILE = 0x1A  # optional end-of-file byte after the last record
TEXT_CODE_PAGE = "cp1251"


class LayerError(Exception):
    """A file of the layer is missing or too broken to read any further."""


class Layer:
    """shape_type: int; fields: [(name, type letter, width, decimals)], "Id"
    first; records: [{"attrs": {name: value}, "geom": [(x, y), ...]}], a
    record missing on one side holding None there; problems: [str];
    prj: the .PRJ bytes or None when there is no .PRJ file."""

    def __init__(self, shape_type, fields, records, problems, prj):
        self.shape_type = shape_type
        self.fields = fields
        self.records = records
        self.problems = problems
        self.prj = prj


def _read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as e:
        raise LayerError("%s: %s" % (path, e.strerror or e)) from None


def _header_problems(data, name):
    """Checks shared by .shp and .shx: file code, version, length word."""
    if len(data) < SHP_HEADER_BYTES:
        raise LayerError("%s: %d bytes, shorter than the header" % (name, len(data)))
    code, = struct.unpack(">i", data[0:4])
    if code != SHP_FILE_CODE:
        raise LayerError("%s: file code %d" % (name, code))
    out = []
    version, = struct.unpack("<i", data[28:32])
    if version != SHP_VERSION:
        out.append("%s: version %d" % (name, version))
    length, = struct.unpack(">i", data[24:28])
    if length * 2 != len(data):
        out.append("%s: header length %d, file %d bytes" % (name, length * 2, len(data)))
    return out


def _span(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs), min(ys), max(xs), max(ys))


def read_shp(path):
    """-> (shape type, [[(x, y), ...] per record], problems, record positions
    [(byte offset, content length in 16-bit words)])."""
    data = _read(path)
    name = os.path.basename(path)
    problems = _header_problems(data, name)
    shape_type, = struct.unpack("<i", data[32:36])
    shapes, positions = [], []
    pos = SHP_HEADER_BYTES
    while pos < len(data):
        if pos + 8 > len(data):
            problems.append("%s: %d stray bytes after record %d" % (name, len(data) - pos, len(shapes)))
            break
        num, clen = struct.unpack(">ii", data[pos:pos + 8])
        k = len(shapes) + 1
        body = data[pos + 8:pos + 8 + clen * 2]
        if num != k:
            problems.append("%s: record %d numbered %d" % (name, k, num))
        if len(body) != clen * 2 or clen < 2:
            raise LayerError("%s: record %d runs past the end of the file" % (name, k))
        positions.append((pos, clen))
        pos += 8 + clen * 2
        st, = struct.unpack("<i", body[:4])
        if st not in (SHAPE_NULL, shape_type):
            problems.append("%s: record %d of shape type %d in a layer of type %d" % (name, k, st, shape_type))
        if st == SHAPE_NULL:
            shapes.append([])
        elif st == SHAPE_POINT:
            shapes.append([struct.unpack("<2d", body[4:20])])
        elif st in (SHAPE_POLYLINE, SHAPE_POLYGON):
            nparts, npts = struct.unpack("<2i", body[36:44])
            off = 44 + 4 * nparts
            if off + 16 * npts > len(body):
                raise LayerError("%s: record %d holds fewer vertices than it counts" % (name, k))
            pts = struct.unpack("<%dd" % (2 * npts), body[off:off + 16 * npts])
            shapes.append(list(zip(pts[0::2], pts[1::2])))
            # every layer of the program is written one part per shape
            first = struct.unpack("<%di" % nparts, body[44:off])
            if nparts != 1 or first[0] != 0:
                problems.append("%s: record %d has %d parts starting at %s" % (name, k, nparts, list(first)))
            box = struct.unpack("<4d", body[4:36])
            if npts and box != _span(shapes[-1]):
                problems.append("%s: record %d bounding box %r, vertices span %r"
                                % (name, k, box, _span(shapes[-1])))
        else:
            raise LayerError("%s: record %d of shape type %d" % (name, k, st))
    every = [p for sh in shapes for p in sh]
    box = struct.unpack("<4d", data[36:68])
    if every and box != _span(every):
        problems.append("%s: header bounding box %r, vertices span %r" % (name, box, _span(every)))
    return shape_type, shapes, problems, positions


def check_shx(path, shp_path, positions):
    """Problems of the index: its header against the main file's, one entry
    per record pointing at that record with its length."""
    data = _read(path)
    name = os.path.basename(path)
    problems = _header_problems(data, name)
    with open(shp_path, "rb") as f:
        shp_header = f.read(SHP_HEADER_BYTES)
    if data[28:SHP_HEADER_BYTES] != shp_header[28:SHP_HEADER_BYTES]:
        problems.append("%s: header differs from the .shp header after the length" % name)
    entries = (len(data) - SHP_HEADER_BYTES) // SHX_ENTRY_BYTES
    if entries != len(positions):
        problems.append("%s: %d entries for %d records" % (name, entries, len(positions)))
    for k in range(min(entries, len(positions))):
        at = SHP_HEADER_BYTES + SHX_ENTRY_BYTES * k
        off, clen = struct.unpack(">ii", data[at:at + SHX_ENTRY_BYTES])
        if (off * 2, clen) != positions[k]:
            problems.append("%s: entry %d (offset %d, length %d) does not match the record at %d, length %d"
                            % (name, k + 1, off * 2, clen, positions[k][0], positions[k][1]))
            break
    return problems


def _number(text, decimals):
    if text == "":
        return None
    if decimals == 0:
        try:
            return int(text)
        except ValueError:
            pass
    try:
        return float(text)
    except ValueError:
        return text  # overflow stars or garbage: left as stored, so it shows


def read_dbf(path):
    """-> (fields [(name, type, width, decimals)], records [dict], problems)."""
    data = _read(path)
    name = os.path.basename(path)
    if len(data) < 32:
        raise LayerError("%s: %d bytes, shorter than the header" % (name, len(data)))
    nrec, hlen, rlen = struct.unpack("<IHH", data[4:12])
    fields, problems = [], []
    pos = 32
    while pos < len(data) and data[pos] != DBF_HEADER_END:
        d = data[pos:pos + DBF_FIELD_BYTES]
        fname = d[:11].split(b"\0")[0].decode("ascii", "replace")
        fields.append((fname, chr(d[11]), d[16], d[17]))
        pos += DBF_FIELD_BYTES
    if pos >= len(data):
        raise LayerError("%s: field descriptors without their end byte" % name)
    if pos + 1 != hlen:
        problems.append("%s: header length %d, field descriptors end at %d" % (name, hlen, pos + 1))
    if rlen != 1 + sum(f[2] for f in fields):
        problems.append("%s: record length %d for fields of %d bytes" % (name, rlen, sum(f[2] for f in fields)))
    body = len(data) - hlen
    if body not in (nrec * rlen, nrec * rlen + 1) or (body == nrec * rlen + 1 and data[-1] != DBF_END_OF_FILE):
        problems.append("%s: %d bytes of records for %d records of %d bytes" % (name, body, nrec, rlen))
    records = []
    for i in range(nrec):
        raw = data[hlen + i * rlen:hlen + (i + 1) * rlen]
        if len(raw) < rlen:
            break
        if raw[0] != DBF_LIVE_RECORD:
            problems.append("%s: record %d marked deleted" % (name, i + 1))
        p = 1
        attrs = {}
        for fname, typ, width, dec in fields:
            text = raw[p:p + width].decode(TEXT_CODE_PAGE, "replace").strip(" ")
            p += width
            attrs[fname] = _number(text, dec) if typ in "NF" else text
        records.append(attrs)
    return fields, records, problems


def read_layer(base):
    """base: the layer's path without extension."""
    shape_type, shapes, problems, positions = read_shp(base + ".shp")
    problems += check_shx(base + ".shx", base + ".shp", positions)
    fields, attrs, dbf_problems = read_dbf(base + ".dbf")
    problems += dbf_problems
    if len(shapes) != len(attrs):
        problems.append("%d shapes but %d attribute records" % (len(shapes), len(attrs)))
    records = [{"attrs": attrs[i] if i < len(attrs) else None,
                "geom": shapes[i] if i < len(shapes) else None}
               for i in range(max(len(shapes), len(attrs)))]
    try:
        with open(base + ".PRJ", "rb") as f:
            prj = f.read()
    except OSError:
        prj = None
    return Layer(shape_type, fields, records, problems, prj)
