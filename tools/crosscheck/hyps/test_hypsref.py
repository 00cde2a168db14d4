#!/usr/bin/python3
"""Checks of the model against worked values, so that a fault in the model is
not mistaken for a fault of the program.  Run: /usr/bin/python3 test_hypsref.py"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hypsref as r  # noqa: E402


class Texts(unittest.TestCase):
    def test_degree_minute_second(self):
        for angle, text in [(45.5, "  45°30'00\""), (37.2541666667, "  37°15'15\""),
                            (130, " 130°00'00\""), (45.99999, "  46°00'00\"")]:
            self.assertEqual(r.gradminsec(angle), text, angle)

    def test_point_labels(self):
        for lon, lat, dec, text in [
                (36, 52, -1, "36°00' в.д. 52°00' с.ш."),
                (37.5, 52.3333333, -1, "37°30' в.д. 52°20' с.ш."),
                (200.25, 52.6666667, -1, "159°45' з.д. 52°40' с.ш."),
                (180, -10.5, -1, "180°00' в.д. 10°30' ю.ш."),
                (180.01, -0.000001, -1, "179°59' з.д. 0°00' с.ш."),
                (37.5028472, 52.3347222, 2, "37°30'10.25\" в.д. 52°20'5.00\" с.ш."),
                (37.5027778, 52.3347222, 0, "37°30'10\" в.д. 52°20'05\" с.ш."),
                (59.99986111, 44.99999, 2, "59°59'59.50\" в.д. 44°59'59.96\" с.ш.")]:
            self.assertEqual(r.coord_point_to_txtn(lon, lat, dec, 1), text, (lon, lat))

    def test_line_labels(self):
        for cls, value, want in [(2, 200.5, ["159°", "30'", "з.д."]), (2, 180.0, ["180°", "00'", "в.д."]),
                                 (1, 52.99999, ["53°", "00'", "с.ш."])]:
            self.assertEqual(r.hypsl_att(cls, value)[2:], want)

    def test_round_half_away(self):
        self.assertEqual([r.anint(v) for v in (0.5, 1.5, 2.5, -0.5, -2.5)], [1, 2, 3, -1, -3])


class Names(unittest.TestCase):
    def test_names(self):
        for args, name in [((1, 8, 37, 0, 0), "N-37"), ((1, 6, 37, 0, 1), "P-37,38"),
                           ((1, 1, 59, 0, 3), "U-59,60,01,02"), ((0, 8, 37, 14, 1), "N-37-XIV,XV"),
                           ((0, 8, 37, 17, 2), "N-37-XVII,XVIII,38-XIII"), ((0, 8, 60, 6, 1), "N-60-VI,01-I"),
                           ((0, 11, 1, 1, 0), "K-01-I")]:
            self.assertEqual(r.nomenclature(*args), name)

    def test_nomenclature_text(self):
        for text, want in [("N-37", (1, 8, 37, 0, 0)), ("n37", (1, 8, 37, 0, 0)), ("T-37 (4)", (1, 2, 37, 0, 3)),
                           ("N3714", (0, 8, 37, 14, 0)), ("N-37-XIV(2)", (0, 8, 37, 14, 1))]:
            self.assertEqual(r.read_nom(text), want)
        for text in ["A-37", "N-37 -XIV", "N37 14", "N-37-xiv", "N-37-XXXVII", "N-61", "N-37(5)", "N-31"]:
            self.assertRaises(r.JobError, r.read_nom, text)


class Geometry(unittest.TestCase):
    def test_datum_shift(self):
        for lon, lat, want in [(37, 56, (36.998104499, 56.000037142)), (0, 56, (359.997962340, 55.999351002))]:
            got = r.sk42_to_gsk2011(lon, lat)
            self.assertAlmostEqual(got[0], want[0], places=9)
            self.assertAlmostEqual(got[1], want[1], places=9)

    def test_graticule_walks(self):
        for fn, value, origin, want in [(r.start_grad, 54.3, 54.0, 54.5), (r.start_grad, 54.50005, 54.0, 54.5),
                                        (r.end_grad, 54.3, 54.0, 54.0), (r.start_grad, 54.3, 56.0, 54.5),
                                        (r.end_grad, 54.3, 56.0, 54.0)]:
            self.assertEqual(fn(value, origin, 0.5), want)

    def test_tolerance(self):
        self.assertTrue(r.eq_tol(0.0, 1 / 6000))
        self.assertFalse(r.eq_tol(10.0, 10.0002))
        self.assertFalse(r.eq_tol(10.0, 10.0 + 1 / 6000))

    def test_clipping(self):
        square = [(0.0, 0.0), (0.0, 2.0), (3.0, 2.0), (3.0, 0.0)]
        self.assertEqual(r.clip_line(True, 2.0, square), (True, 0.0, 3.0))
        self.assertEqual(r.clip_line(False, 1.5, square), (True, 0.0, 2.0))
        self.assertEqual(r.clip_line(False, 5.0, square), (False, None, None))
        triangle = [(0.0, 0.0), (-1.0, 2.0), (1.0, 2.0)]
        self.assertFalse(r.clip_line(True, 0.0, triangle)[0])

    def test_outline_counts(self):
        ring = r.add_rectangle(36, 37, 0.125, 52 + 1 / 3, 53, r.ONE_TWELFTH)
        self.assertEqual((len(ring), ring[0], ring[-1]), (33, (36, 53), (36, 53)))
        wide = r.add_rectangle(36, 37.05, 0.125, 52, 53, r.ONE_TWELFTH)
        self.assertIn((37.05, 53), wide)
        self.assertEqual(len(r.add_rectangle(37, 37.25, 1 / 64, 54.5, 54 + 2 / 3, 0.010416666666666666)), 65)


class Jobs(unittest.TestCase):
    def test_base_sheets(self):
        for nom, want in [("N-37", (36, 42, 52, 56)), ("N-37-XIV", (37, 38, 54, 54 + 2 / 3)),
                          ("T-37 (4)", (36, 60, 76, 80)), ("K-01-I", (180, 181, 43 + 1 / 3, 44))]:
            b = r.compute_base(*r.read_nom(nom))
            got = (b["BaseWest"], b["BaseEast"], b["BaseSouth"], b["BaseNorth"])
            self.assertEqual([round(v, 12) for v in got], [round(v, 12) for v in want], nom)

    def test_refusals(self):
        for text in ["Nom=N-37-XIV; xFrom=36; Path=x;", "Nom=N-37-XIV; xMinute=0; Path=x;",
                     "MapScale=500; Nom=N-37-XIV; Path=x;", "Nom=N-37; MapScale=500; Path=x;",
                     "nom=N-37; Path=x;", "Nom=N-37-XIV; Path=x", "Nom=N-37-XIV(2); SubSheetFrames=1; Path=x;"]:
            self.assertEqual(r.run_job(text)[0], 8, text)

    def test_layer_counts(self):
        _, layers, _ = r.run_job("Nom=N-37-XIV; SubSheetFrames=1; Path=x;")
        self.assertEqual(sum(k.startswith("HYPS_50/") for k in layers), 16)
        self.assertEqual(sum(k.startswith("HYPS_25/") for k in layers), 64)
        self.assertIn("HYPS_25/N-37-51-А-в", layers)
        for nom, first in [("N-37-I", 1), ("N-37-XXXVI", 131), ("N-37-VIII", 27)]:
            _, layers, _ = r.run_job("Nom=%s; SubSheetFrames=1; Path=x;" % nom)
            self.assertIn("HYPS_50/N-37-%d-А" % first, layers)
        _, layers, _ = r.run_job("Nom=Q-37-XIV; Path=x;")
        self.assertEqual(layers["HYPS/HypsL"]["records"][-1]["attrs"]["L_code"], 400013)


if __name__ == "__main__":
    unittest.main()
