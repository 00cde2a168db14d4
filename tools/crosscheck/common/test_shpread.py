#!/usr/bin/python3
"""The shared layer reader against layers written here byte by byte: a sound
layer reads back exactly, and every kind of damage the cross-checks rely on
it to find is reported. Run: /usr/bin/python3 test_shpread.py"""
import os
import shutil
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sheetrun  # noqa: E402
import shpread  # noqa: E402

# Vertices whose last bits matter: 0.1 + 0.2 is not 0.3.
LINES = [[(37.0, 54.666666666666664), (37.125, 54.666666666666664), (0.1 + 0.2, 54.0)],
         [(38.0, 54.0), (38.0, 54.08333333333333)]]
FIELDS = [("Id", "N", 6, 0), ("L_code", "N", 6, 0), ("Text", "C", 40, 0), ("Size", "N", 10, 2)]
ATTRS = [{"Id": 1, "L_code": 400011, "Text": "Параллель", "Size": 6.5},
         {"Id": 2, "L_code": -1, "Text": "54° 30' с.ш.", "Size": None}]


def span(points):
    if not points:
        return (0.0, 0.0, 0.0, 0.0)  # what an empty layer's header holds
    return (min(p[0] for p in points), min(p[1] for p in points),
            max(p[0] for p in points), max(p[1] for p in points))


def shp_files(shape_type, shapes):
    """Main and index file of a layer, as the published format lays them out."""
    bodies = []
    for pts in shapes:
        if shape_type == 1:
            bodies.append(struct.pack("<i2d", 1, *pts[0]))
        else:
            flat = [c for p in pts for c in p]
            bodies.append(struct.pack("<i4d2ii%dd" % len(flat), shape_type, *span(pts), 1, len(pts), 0, *flat))
    every = [p for pts in shapes for p in pts]

    def header(length_bytes):
        return (struct.pack(">i5ii", 9994, 0, 0, 0, 0, 0, length_bytes // 2)
                + struct.pack("<ii4d4d", 1000, shape_type, *span(every), 0, 0, 0, 0))
    records, index, pos = b"", b"", 100
    for k, body in enumerate(bodies):
        records += struct.pack(">ii", k + 1, len(body) // 2) + body
        index += struct.pack(">ii", pos // 2, len(body) // 2)
        pos += 8 + len(body)
    return header(100 + len(records)) + records, header(100 + len(index)) + index


def dbf_file(fields, rows):
    rlen = 1 + sum(f[2] for f in fields)
    head = struct.pack("<B3BIHH20x", 3, 26, 1, 1, len(rows), 32 + 32 * len(fields) + 1, rlen)
    for name, typ, width, dec in fields:
        head += name.encode("ascii").ljust(11, b"\0") + typ.encode() + b"\0" * 4 + bytes([width, dec]) + b"\0" * 14
    head += b"\r"
    body = b""
    for row in rows:
        body += b" "
        for name, typ, width, dec in fields:
            v = row[name]
            if typ == "C":
                body += v.encode("cp1251").ljust(width)
            else:
                body += (b"" if v is None else ("%.*f" % (dec, v)).encode()).rjust(width)
    return head + body + b"\x1a"


class Reader(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="xshp-")
        self.base = os.path.join(self.dir, "HypsL")
        self.write(3, LINES, FIELDS, ATTRS)

    def tearDown(self):
        shutil.rmtree(self.dir)

    def write(self, shape_type, shapes, fields, rows, prj=sheetrun.PRJ_TEXT[1] + "\r\n"):
        shp, shx = shp_files(shape_type, shapes)
        for ext, data in ((".shp", shp), (".shx", shx), (".dbf", dbf_file(fields, rows)),
                          (".PRJ", prj.encode("ascii"))):
            with open(self.base + ext, "wb") as f:
                f.write(data)

    def patch(self, ext, offset, data):
        with open(self.base + ext, "r+b") as f:
            f.seek(offset if offset >= 0 else os.path.getsize(self.base + ext) + offset)
            f.write(data)

    def test_sound_layer_reads_back_exactly(self):
        layer = shpread.read_layer(self.base)
        self.assertEqual(layer.problems, [])
        self.assertEqual(layer.shape_type, 3)
        self.assertEqual(layer.fields, FIELDS)
        self.assertEqual([r["geom"] for r in layer.records], LINES)
        self.assertEqual([r["attrs"] for r in layer.records], ATTRS)
        self.assertIsNone(sheetrun.prj_problem(layer, 1))

    def test_points_and_empty_layers(self):
        self.write(1, [[(359.99, -0.5)]], FIELDS[:2], ATTRS[:1])
        layer = shpread.read_layer(self.base)
        self.assertEqual((layer.problems, layer.records[0]["geom"]), ([], [(359.99, -0.5)]))
        self.write(1, [], FIELDS[:2], [])
        layer = shpread.read_layer(self.base)
        self.assertEqual((layer.problems, layer.records), ([], []))

    def test_damage_is_reported(self):
        second = 100 + 8 + 4 + 32 + 8 + 4 + 16 * 3  # offset of the second .shp record
        cases = [
            # (what, file, offset, bytes, words the problem holds)
            ("main file length word", ".shp", 24, struct.pack(">i", 999), "header length"),
            ("index length word", ".shx", 24, struct.pack(">i", 999), "header length"),
            ("index header against main header", ".shx", 36, struct.pack("<d", -1.0), "differs from the .shp"),
            ("index entry offset", ".shx", 108, struct.pack(">i", 51), "entry 2"),
            ("record number", ".shp", second, struct.pack(">i", 7), "numbered 7"),
            ("record bounding box", ".shp", 112, struct.pack("<d", 36.0), "record 1 bounding box"),
            ("header bounding box", ".shp", 52, struct.pack("<d", 39.0), "header bounding box"),
            ("shape type of a record", ".shp", second + 8, struct.pack("<i", 5), "shape type 5"),
            ("part not starting at vertex 0", ".shp", 152, struct.pack("<i", 1), "starting at [1]"),
            ("version", ".shp", 28, struct.pack("<i", 1001), "version 1001"),
            ("table record count", ".dbf", 4, struct.pack("<I", 1), "2 shapes but 1 attribute records"),
            ("table record length", ".dbf", 10, struct.pack("<H", 58), "record length 58"),
            ("deleted record", ".dbf", 32 * 5 + 1, b"*", "marked deleted"),
        ]
        for what, ext, offset, data, words in cases:
            with self.subTest(what):
                self.write(3, LINES, FIELDS, ATTRS)
                self.patch(ext, offset, data)
                problems = " | ".join(shpread.read_layer(self.base).problems)
                self.assertIn(words, problems)

    def test_missing_index_entry_and_table_record(self):
        self.patch(".shx", 24, struct.pack(">i", 54))
        with open(self.base + ".shx", "r+b") as f:
            f.truncate(108)
        self.assertIn("1 entries for 2 records", " ".join(shpread.read_layer(self.base).problems))
        self.write(3, LINES, FIELDS, ATTRS)
        with open(self.base + ".dbf", "r+b") as f:
            f.truncate(os.path.getsize(self.base + ".dbf") - 20)
        layer = shpread.read_layer(self.base)
        self.assertIn("bytes of records for 2 records", " ".join(layer.problems))
        self.assertIsNone(layer.records[1]["attrs"])

    def test_unreadable_files_raise(self):
        for what, ext, offset, data in [("file code", ".shp", 0, struct.pack(">i", 9995)),
                                        ("record past the end", ".shp", 104, struct.pack(">i", 400)),
                                        ("short index", ".shx", 0, b"")]:
            with self.subTest(what):
                self.write(3, LINES, FIELDS, ATTRS)
                if data:
                    self.patch(ext, offset, data)
                else:
                    open(self.base + ext, "wb").close()
                self.assertRaises(shpread.LayerError, shpread.read_layer, self.base)
        os.remove(self.base + ".dbf")
        self.assertRaises(shpread.LayerError, shpread.read_layer, self.base)

    def test_projection_text(self):
        layer = shpread.read_layer(self.base)
        self.assertIn("projection text", sheetrun.prj_problem(layer, 3))
        self.write(3, LINES, FIELDS, ATTRS, prj=sheetrun.PRJ_TEXT[1])  # no line end
        self.assertIn("projection text", sheetrun.prj_problem(shpread.read_layer(self.base), 1))
        os.remove(self.base + ".PRJ")
        self.assertEqual(sheetrun.prj_problem(shpread.read_layer(self.base), 1), "no .PRJ file")

    def test_result_folder_counts_shp_files_only(self):
        hyps = os.path.join(self.dir, "out", "HYPS")
        os.makedirs(hyps)
        for ext in (".shp", ".shx", ".dbf", ".PRJ"):
            shutil.copy(self.base + ext, os.path.join(hyps, "HypsL" + ext))
        for other in ("HypsL.qml", "sheet.lock", "HypsP.dbf"):
            open(os.path.join(hyps, other), "w").close()
        open(os.path.join(self.dir, "out", "N-37-XIV.qgs"), "w").close()
        open(os.path.join(hyps, "broken.shp"), "wb").close()
        got = sheetrun.read_layers(os.path.join(self.dir, "out"), ["HYPS", "FRAME"])
        self.assertEqual(sorted(got), ["HYPS/HypsL", "HYPS/broken"])
        self.assertEqual(got["HYPS/HypsL"].problems, [])
        self.assertIn("shorter than the header", got["HYPS/broken"])


if __name__ == "__main__":
    unittest.main()
