#!/usr/bin/python3
"""Generate argument files, run the program on each and compare with the reference.

usage: cases.py [--exe PATH] [--random N] [--seed S] [--show K] [--grid N] [--ops N]
                [--margin-sheets N] [--only SUBSTRING]

--random N adds N mutated argument files, --grid N every 1:1 000 000 sheet and
N random 1:200 000 sheets; --margin-sheets N checks the margins to the bit on
N of the 108 sheets (belts K, N, U of zone 37) drawn with the seed, instead of
on all of them.
"""
import os
import random
import sys
from collections import defaultdict

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare  # noqa: E402
import ref  # noqa: E402

ROMANS = ref.ROMANS[1:37]
CS_OK = ['CK-42', 'CK-95', 'ГCK-2011', 'ГCK-2011 / СК-42']
CS_BAD = ['СК-42', 'СК-95', 'ГСК-2011', 'ГСК-2011 / СК-42', 'ГCK-2011 / CK-42',
          'ГCK-2011/СК-42', 'ГCK-2011  / СК-42', 'ck-42', 'CK42', 'CK-42 x',
          'CК-42', 'СK-42', '1', 'ГCK-2011 /СК-42']


def job(*items, end='\n', sep=' '):
    return sep.join(items) + end


def u8(text):
    return text.encode('utf-8')


def cp(text):
    return text.encode('cp1251')


def base_items(nom='N-37-XIV', path='out/x'):
    return ['Nom=%s;' % nom, 'Path=%s;' % path]


def gen_cases(margin_sheets=None, seed=1):
    c = []

    def add(label, text_or_bytes):
        raw = text_or_bytes if isinstance(text_or_bytes, bytes) else u8(text_or_bytes)
        c.append((label, raw))

    # examples of the description
    add('ex/road', 'Nom=N-37-XIV; CS=CK-42; Path=D-Maps;\n')
    add('ex/two-lines', 'Nom=N-37-XIV(2); CS=CK-42;\nPath=maps; MapScale=500; xMinute=2;\n')
    for nom in ['N-37', 'N37', 'n37', 'T-37 (4)', 'N-37-XIV', 'N3714', 'N-37-XIV(2)',
                'A-37', 'N-37 -XIV', 'N37 14', 'N-37-xiv', 'N-37-XXXVII', 'N-61', 'N-37(5)']:
        add('nom/example ' + nom, job(*base_items(nom)))
    # every belt letter, both cases, and letters outside the range
    for ch in 'ABCDEFGHIJKLMNOPQRSTUVWXYZ':
        for cc in (ch, ch.lower()):
            add('nom/belt ' + cc, job(*base_items(cc + '-37')))
            add('nom/belt200 ' + cc, job(*base_items(cc + '-40-XXXVI')))
    # zones
    for z in ['00', '01', '02', '03', '30', '31', '32', '33', '34', '45', '59', '60',
              '61', '99', '1', '3a', 'x7']:
        for form in ('N-%s', 'N%s', 'K-%s-I', 'U%s36', 'U-%s (4)', 'P-%s-VI(3)'):
            add('nom/zone ' + form % z, job(*base_items(form % z)))
    # roman numerals
    for r in ROMANS + ['IIII', 'VX', 'XXXVII', 'XL', 'IL', 'VV', 'XXXX', 'iv', 'Xiv',
                       'XIVI', 'IIV', 'XIIII', 'XVIV', '', 'L', 'C']:
        add('nom/roman ' + r, job(*base_items('M-38-' + r)))
    for n in range(0, 40):
        add('nom/compact %02d' % n, job(*base_items('L38%02d' % n)))
    # combined sheets and trailing text
    for tail in ['(2)', '( 3 )', '(4)', '(5)', '(1)', '(0)', '(2) x', '(2)x', '(22)',
                 '(2', '2)', ' (2)', '( 2)', '(2 )', '  (  4  )  ', '()', '(a)',
                 '(2)(2)', ' x', '-', ')', '(3);']:
        for nom in ('N-37-XIV', 'N3714', 'N-37', 'N37', 'N-60-VI', 'U-59', 'R-02-XXXVI'):
            add('nom/comb %s%s' % (nom, tail), job(*base_items(nom + tail)))
    for nom in ['N-3', 'N', 'N-', 'N-37-', 'N-37- XIV', 'N--37', 'N-37--XIV', 'N37-XIV',
                'N-3714', 'N 37', 'N-37-X IV', 'N3714(2)', 'N37(4)', 'N-37-XIV-XV',
                'N-37-V', 'N-37-I', 'n-37-xiv', 'N-37-XIV ', '  N-37-XIV', 'N-037',
                'N-37-XXXVI(3)', 'N-37-XXX', 'N37360', 'N3736', 'N37 (2)', 'N-37-XIV=',
                'Q-01-I(4)', 'K-02-XXXVI(4)', 'U-60 (4)', 'K-33-I']:
        add('nom/misc ' + nom, job(*base_items(nom)))
    # coordinate systems
    for cs in CS_OK + CS_BAD:
        add('cs/' + cs, job('CS=%s;' % cs, *base_items()))
        add('cs1M/' + cs, job(*base_items('P-39 (2)'), 'CS= %s ;' % cs))
        add('cs-cp1251/' + cs, cp(job('CS=%s;' % cs, *base_items())))
    add('cs/twice last wins', job('CS=CK-95;', *base_items(), 'CS=ГCK-2011;'))
    add('cs/twice bad first', job('CS=bad;', *base_items(), 'CS=CK-42;'))
    add('cs/twice 4 then 1', job('CS=ГCK-2011 / СК-42;', *base_items(), 'CS=CK-42;'))
    # map scales
    for nom in ('N-37-XIV', 'N-37', 'N-37-XIV(3)', 'N-37 (4)'):
        for ms in ['200', '500', '1000', '2500', '5000', '0500', ' 500 ', '500.0',
                   '0', '1', '2', '100', '50O', '1000 ']:
            add('scale/%s %s' % (nom, ms), job(*base_items(nom), 'MapScale=%s;' % ms))
    add('scale/before nom', job('MapScale=500;', *base_items()))
    add('scale/before nom 1M', job('Path=abc;', 'MapScale=1000;', 'Nom=N-37;'))
    add('scale/twice', job(*base_items(), 'MapScale=500;', 'MapScale=500;'))
    add('scale/after bad nom', job('Nom=A-37;', 'MapScale=500;', 'Path=abc;'))
    # bounds at and around the margins
    for nom, keys in [
        ('N-37-XIV', {'xFrom': ['36 01', '36', '36 00', '36 59', '36°00\'', '37', '37 30',
                                '38', '38 59', '39', '35 59', '0', '400'],
                      'xTo': ['38 59', '39', '39 00', '38', '37', '36 01', '36', '99'],
                      'yFrom': ['53 20', '53 21', '53 19', '54', '54 40', '53', '0', '55'],
                      'yTo': ['55 20', '55 19', '55 21', '54 40', '54', '53 30', '56']}),
        ('N-37-XIV(3)', {'xFrom': ['36 01', '36'], 'xTo': ['40 59', '41', '39 59'],
                         'yFrom': ['53 20', '53 21'], 'yTo': ['55 20', '55 19']}),
        ('N-37', {'xFrom': ['30 01', '30', '31', '29 59', '36 00', '41 59'],
                  'xTo': ['47 59', '48', '42', '36'],
                  'yFrom': ['48', '48 01', '47 59', '52 10'],
                  'yTo': ['60', '59 59', '56', '53 45']}),
        ('T-37 (4)', {'xFrom': ['30 01', '30'], 'xTo': ['65 59', '66', '54'],
                      'yFrom': ['72 01', '72'], 'yTo': ['83 59', '84']}),
        ('K-01-XXXVI', {'xFrom': ['184 01', '184', '185 30'], 'xTo': ['186 59', '187'],
                        'yFrom': ['39 20', '39 21'], 'yTo': ['41 20', '41 19']}),
        ('U-60', {'xFrom': ['168', '168 01', '170'], 'xTo': ['186', '185 59', '181'],
                  'yFrom': ['76', '76 01', '79'], 'yTo': ['88', '87 59', '85']}),
        ('U-59 (4)', {'xTo': ['198', '197 59', '203 59', '204']}),
        ('Q-02-VI(2)', {'xFrom': ['190', '191'], 'xTo': ['193', '193 59', '194']}),
        ('R-60-XII', {'xTo': ['180 59', '181']}),
    ]:
        for key, vals in keys.items():
            for v in vals:
                add('bound/%s %s=%s' % (nom, key, v), job(*base_items(nom), '%s=%s;' % (key, v)))
    add('bound/reversed x', job(*base_items(), 'xFrom=37 50;', 'xTo=37 10;'))
    add('bound/reversed y', job(*base_items(), 'yFrom=54 30;', 'yTo=54 10;'))
    add('bound/all four', job(*base_items(), 'xFrom=36 30;', 'xTo=38 20;', 'yFrom=53 50;',
                               'yTo=54 50;'))
    add('bound/arctic', job(*base_items('Q-41'), 'yTo=66 33;', 'yFrom=64 10;'))
    add('bound/arctic2', job(*base_items('R-41 (2)'), 'yFrom=66 34;'))
    add('bound/arctic edge', job(*base_items('Q-40-III'), 'yFrom=66 33;', 'yTo=66 34;'))
    # degree-minute texts
    for form in ["37° 30'", "37°30'", "37 30'", "37° 30", "37°", "37", "37° 30' N",
                 "   37°   30'   ", "-37° 30'", "37.5", "37 ° 30'", "37° 60'", "37° 5 '",
                 "37°59'", "37° 00'", "037° 7'", "37  30", "37 30 N", "37°30'x", "37'",
                 "37°30''", "37° °30'", "37 30 '", "37°+30'", "0037 0030", "+37",
                 "37 3O'", "37°30'°", "37 59'", "37 0", "00000000000037"]:
        add('dm/xFrom ' + form, job(*base_items('N-37'), 'xFrom=%s;' % form))
        add('dm/MeridianStep ' + form.replace('37', '0', 1),
            job(*base_items('N-37'), 'MeridianStep=%s;' % form.replace('37', '0', 1)))
    for form in ["37° '", "37°'", "37 '", "99999999999", "2147483647", "2147483648",
                 "37 99999999999'", "4294967333", "37 4294967297"]:
        add('undef/xFrom ' + form, job(*base_items('N-37'), 'xFrom=%s;' % form))
    for form in ["'", "' ", "99999999999", "4294967298'", "'5"]:
        add('undef/xMinute ' + form, job(*base_items('N-37'), 'xMinute=%s;' % form))
    for form in ["0", "0 0", "0°00'", "0 01", "0 20", "0° 15'", "1", "2", "0 59", "0 60",
                 "10", "0°30'", "00", "0 00'", "1°", "0° 1'"]:
        add('step/Parallel ' + form, job(*base_items(), 'ParallelStep=%s;' % form))
        add('step/Meridian ' + form, job(*base_items(), 'MeridianStep=%s;' % form))
        add('step/1M Parallel ' + form, job(*base_items('M-38'), 'ParallelStep=%s;' % form))
    for form in ["0", "1", "2", "2'", "59", "60", "59'", "60'", "5 '", "-5", "00", "07",
                 "3' x", "3x", "30'", " 30 ", "100", "1.5", "5°", "01'"]:
        add('min/x ' + form, job(*base_items(), 'xMinute=%s;' % form))
        add('min/y ' + form, job(*base_items(), 'yMinute=%s;' % form))
        add('min/x1M ' + form, job(*base_items('N-37 (2)'), 'xMinute=%s;' % form))
    # item syntax
    add('syn/blanks', '   Nom   =   N-37-XIV   ;    Path =   out/x   ;   \n')
    add('syn/one per line', 'Nom=N-37-XIV;\nPath=out/x;\n')
    add('syn/blank lines', '\n\n   \nNom=N-37-XIV;\n\n\nPath=out/x;\n\n')
    add('syn/no final semicolon', 'Nom=N-37-XIV; Path=out/x\n')
    add('syn/no final semicolon blank', 'Nom=N-37-XIV; Path=out/x  \n')
    add('syn/no newline at end', 'Nom=N-37-XIV; Path=out/x;')
    add('syn/lower key', 'nom=N-37-XIV; Path=out/x;\n')
    add('syn/upper key', 'NOM=N-37-XIV; Path=out/x;\n')
    add('syn/lower path key', 'Nom=N-37-XIV; path=out/x;\n')
    add('syn/blank in key', 'No m=N-37-XIV; Path=out/x;\n')
    add('syn/unknown key', 'Nom=N-37-XIV; Path=out/x; Scale=200;\n')
    add('syn/eq in value', 'Nom=N-37-XIV; Path=out/a=b;\n')
    add('syn/empty value', 'Nom=; Path=out/x;\n')
    add('syn/blank value', 'Nom=   ; Path=out/x;\n')
    add('syn/empty key', '=N-37-XIV; Path=out/x;\n')
    add('syn/semicolon only', ';\nNom=N-37-XIV; Path=out/x;\n')
    add('syn/double semicolon', 'Nom=N-37-XIV;; Path=out/x;\n')
    add('syn/short item', 'a=;Nom=N-37-XIV; Path=out/x;\n')
    add('syn/short item2', 'a=b;Nom=N-37-XIV; Path=out/x;\n')
    add('syn/no eq', 'Nom N-37-XIV; Path=out/x;\n')
    add('syn/eq after semicolon', 'Nom; =N-37-XIV; Path=out/x;\n')
    add('syn/two eq', 'Nom==N-37-XIV; Path=out/x;\n')
    add('syn/tab before key', '\tNom=N-37-XIV; Path=out/x;\n')
    add('syn/tab after value', 'Nom=N-37-XIV\t; Path=out/x;\n')
    add('syn/tab line', 'Nom=N-37-XIV; Path=out/x;\n\t\n')
    add('syn/crlf', 'Nom=N-37-XIV;\r\nPath=out/x;\r\n')
    add('syn/crlf no sc', 'Nom=N-37-XIV;\r\nPath=out/x\r\n')
    add('syn/cr inside', 'Nom=N-37-XIV;\rPath=out/x;\n')
    add('syn/two crs', 'Nom=N-37-XIV;\r\r\nPath=out/x;\n')
    add('syn/cr only blank line', 'Nom=N-37-XIV;\n\r\nPath=out/x;\n')
    add('syn/cr only', 'Nom=N-37-XIV;\rPath=out/x;\r')
    add('syn/bom', b'\xef\xbb\xbfNom=N-37-XIV; Path=out/x;\n')
    add('syn/bom crlf cs', b'\xef\xbb\xbf' + u8('CS=ГCK-2011;\r\nNom=N-37-XIV; Path=out/x;\r\n'))
    add('syn/bom only', b'\xef\xbb\xbf')
    add('syn/empty file', b'')
    add('syn/blank file', b'   \n\n  \n')
    add('syn/nul byte', b'Nom=N-37-XIV; Path=out/x;\n\x00\n')
    add('syn/utf8 lacking char', u8('Nom=N-37-XIV; Path=out/x; CS=CK-42€;\n'))
    add('syn/utf8 lacking char euro ok', u8('Nom=N-37-XIV; Path=out/x€;\n'))
    add('syn/utf8 lacking char2', u8('Nom=N-37-XIV; Path=out/x;\nCS=ГCK-2011 / СК-42;\n# ✓\n'))
    add('syn/utf8 degree', u8("Nom=N-37-XIV; Path=out/x; xFrom=36°30';\n"))
    add('syn/cp1251 degree', b"Nom=N-37-XIV; Path=out/x; xFrom=36\xb030';\n")
    add('syn/invalid utf8', b"Nom=N-37-XIV; Path=out/x; xFrom=36\xb030'; CS=\xc3CK-2011;\n")
    add('syn/twice Nom', job(*base_items(), 'Nom=N-37-XIV;'))
    add('syn/twice Nom other', job(*base_items(), 'Nom=N-38;'))
    add('syn/twice Path', job(*base_items(), 'Path=out/y;'))
    for k, v in [('xFrom', '37 10'), ('xTo', '37 50'), ('yFrom', '54 10'), ('yTo', '54 30'),
                 ('ParallelStep', '0 20'), ('MeridianStep', '0 30'), ('xMinute', '2'),
                 ('yMinute', '2'), ('SubSheetFrames', '0')]:
        add('syn/twice ' + k, job(*base_items(), '%s=%s;' % (k, v), '%s=%s;' % (k, v)))
        add('syn/once ' + k, job(*base_items(), '%s=%s;' % (k, v)))
        add('syn/lower ' + k, job(*base_items(), '%s=%s;' % (k.lower(), v)))
        add('syn/before nom ' + k, job('%s=%s;' % (k, v), *base_items()))
    add('syn/missing path', 'Nom=N-37-XIV;\n')
    add('syn/missing nom', 'Path=out/x;\n')
    add('syn/missing both', 'CS=CK-42;\n')
    for p in ['ab', ' ab', 'abc', 'a b', 'out/x/', 'out//x', './out', 'a', 'ab ',
              'out/deep/er/x', 'out/Путь', 'out/x y z']:
        add('path/' + p, 'Nom=N-37-XIV; Path=%s;\n' % p)
    # encodings: what counts as UTF-8 and what Windows-1251 holds
    for ch in ['\u0098', '\u00a0', '\u00a4', '\u00b5', '\u0105', '\u011e', '\u0451',
               '\u0457', '\u2116', '\u2026', '\u20ac', '\u2122', '\u2713', '\U0001f600',
               '\u0490', '\u0491', '\u00ad', '\u00a7', '\u00ff', '\u00e9']:
        add('enc/path U+%04X' % ord(ch), 'Nom=N-37-XIV; Path=out/p%s;\n' % ch)
    for seq in [b'\xed\xa0\x80', b'\xc0\xb0', b'\xf4\x90\x80\x80', b'\xe0\x80\xaf',
                b'\xf8\x88\x80\x80\x80', b'\xc2', b'\xe2\x82', b'\xa0', b'\xb0']:
        add('enc/path bytes %r' % seq, b'Nom=N-37-XIV; Path=out/p' + seq + b';\n')
        add('enc/cs bytes %r' % seq, b'CS=\xc3CK-2011; Nom=N-37-XIV; Path=out/p;' + seq + b'\n')
    add('enc/bom then cp1251', b'\xef\xbb\xbfCS=\xc3CK-2011; Nom=N-37-XIV; Path=out/p;\n')
    add('enc/bom then cp1251 2', b'\xef\xbb\xbfNom=N-37-XIV; Path=out/p; CS=\xc3CK-2011;\n')
    add('enc/two boms', b'\xef\xbb\xbf\xef\xbb\xbfNom=N-37-XIV; Path=out/p;\n')
    add('enc/bom second line', b'Nom=N-37-XIV;\n\xef\xbb\xbfPath=out/p;\n')
    add('enc/utf16', 'Nom=N-37-XIV; Path=out/p;\n'.encode('utf-16'))
    add('bound/reversed map2', job(*base_items(), 'xFrom=37 50;', 'xTo=37 10;', 'MapScale=1000;'))
    add('bound/empty map2', job(*base_items(), 'yFrom=54 40;', 'MapScale=1000;'))
    add('bound/reversed map1', job(*base_items(), 'xFrom=37 50;', 'xTo=37 10;', 'MapScale=500;'))
    # sub-sheet frames
    for nom in ('N-37-XIV', 'N-37-XIV(2)', 'N-37', 'N3736', 'N-37 (4)'):
        for v in ('0', '1', ' 1 ', '2', '01', 'yes', 'true'):
            add('sub/%s %s' % (nom, v), job(*base_items(nom), 'SubSheetFrames=%s;' % v))
    add('sub/1 then missing path', 'Nom=N-37; SubSheetFrames=1;\n')
    add('sub/1 with bad bound', 'Nom=N-37; SubSheetFrames=1; Path=abc; xFrom=10;\n')
    # long lines
    for n in (998, 999, 1000, 1001, 1002, 1200):
        line = 'Nom=N-37-XIV; Path=out/x;'
        add('long/blanks %d' % n, line + ' ' * (n - len(line)) + '\n')
        add('long/item at end %d' % n, ' ' * (n - len(line)) + line + '\n')
        pad = 'Nom=N-37-XIV; ' + ' ' * (n - len('Nom=N-37-XIV; Path=out/x;')) + 'Path=out/x;'
        add('long/item split %d' % n, pad + '\n')
        add('long/cyr %d' % n, 'Nom=N-37-XIV; CS=ГCK-2011;' + ' ' * (n - 35) + 'Path=out;\n')
    # margins to the bit, for every sheet of one 1:1 000 000 sheet and for belts
    sheets = [(belt, n) for belt in 'KNU' for n in range(1, 37)]
    if margin_sheets is not None:
        sheets = sorted(random.Random(seed).sample(sheets, margin_sheets), key=sheets.index)
    for belt, n in sheets:
        b = ref.compute_base(0, 'VUTSRQPONMLK'.index(belt), 37, n, 0)
        for key, val in (('yFrom', b['BaseSouth'] - ref.TWO_THIRDS),
                         ('yTo', b['BaseNorth'] + ref.TWO_THIRDS),
                         ('yFrom', b['BaseSouth'] - ref.TWO_THIRDS + 1 / 60),
                         ('yTo', b['BaseNorth'] + ref.TWO_THIRDS - 1 / 60),
                         ('xFrom', b['BaseWest'] - 1 + 1 / 60),
                         ('yTo', b['BaseNorth'] - 1 / 60),
                         ('yFrom', b['BaseSouth'] + 1 / 60)):
            txt = ref.gradmin2txt(val).strip().replace(ref.DEG, '°')
            add('margin/%s-37-%s %s=%s' % (belt, ROMANS[n - 1], key, txt),
                job(*base_items('%s-37-%s' % (belt, ROMANS[n - 1])),
                    '%s=%s;' % (key, txt)))
    for i in range(1, 10):
        add('long/garbage after 1000 #%d' % i,
            'Nom=N-37-XIV; Path=out/x;' + ' ' * (975 + i - 1) + 'x' * i + '\n')
    # several items per line, every key
    add('full/every key', 'CS=CK-95; Nom=N-37-XIV(2); Path=out/full; MapScale=500; '
        "xFrom=36°50'; xTo=39 10; yFrom=54 05; yTo=54 35; ParallelStep=0 5; "
        "MeridianStep=0°20'; xMinute=3; yMinute=4'; SubSheetFrames=0;\n")
    for i, (nom, ms, ps, xm, ym) in enumerate([
            ('N-37-XIV', '0 10', '0 05', '3', '7'), ('N-37', '0 30', '0 20', '7', '13'),
            ('M-39-VI', '0 07', '0 06', '11', '17'), ('U-59 (4)', '3', '1', '59', '59'),
            ('N-37 (2)', '0 45', '0 40', '20', '10'), ('K-02-XXXVI', '0 25', '0 13', '4', '9')]):
        add('full/steps %d' % i, 'Nom=%s; Path=out/s; MeridianStep=%s; ParallelStep=%s; '
            'xMinute=%s; yMinute=%s;\n' % (nom, ms, ps, xm, ym))
        add('full/steps shifted %d' % i, 'Nom=%s; Path=out/s; MeridianStep=%s; ParallelStep=%s; '
            'xMinute=%s; yMinute=%s; xFrom=%s; yTo=%s;\n'
            % (nom, ms, ps, xm, ym, '37 07' if 'N' in nom[0] else '1 00', '55 03'))
    return c


MUT_CHARS = " ;=-()'0123456789IVXNKTU\t\r°" + 'CКГ'


def mutate(rng, text, ops=3):
    s = list(text)
    for _ in range(rng.randint(1, ops)):
        op = rng.randrange(4)
        i = rng.randrange(len(s) + 1)
        if op == 0 and s:
            del s[min(i, len(s) - 1)]
        elif op == 1:
            s.insert(i, rng.choice(MUT_CHARS))
        elif op == 2 and s:
            s[min(i, len(s) - 1)] = rng.choice(MUT_CHARS)
        else:
            j = rng.randrange(len(s) + 1)
            s[i:i] = s[j:j + rng.randint(1, 6)]
    return ''.join(s)


RANDOM_BASES = [
    "Nom=N-37-XIV; CS=CK-42; Path=out/r; MapScale=200; xFrom=36 30; xTo=38 10;\n",
    "Nom=T-37 (4); Path=out/r; MapScale=2500; yFrom=76 10; ParallelStep=0 20; xMinute=2;\n",
    "CS=ГCK-2011 / СК-42;\nNom=K3301(2); Path=out/r; yTo=44 20; MeridianStep=0°30';\n",
    "Nom=Q-60-VI(3); Path=out/r; CS=ГCK-2011; xTo=182 30; yMinute=5'; ParallelStep=0 10;\n",
    "Nom=n01; Path=out/r; xFrom=178 10; yFrom=50 30; yTo=55 10; xMinute=15;\n",
    "\ufeffNom = L-45-XXXIII ;\r\nPath = out/r ;\r\nCS = CK-95; MeridianStep = 0° 10' ;\r\n",
    "Nom=S-33 (2);Path=out/r;MapScale=5000;xTo=28 30;yMinute=20;xMinute=3';\n",
    "Nom=O3836(3); Path=out/r; MapScale=1000; yFrom=55 50; xTo=50 10; ParallelStep=0 07;\n",
    "SubSheetFrames=0; Nom=P-02-XII; Path=out/r; xFrom=191 05; yTo=63 40;\n",
]


def main(argv):
    nrand, seed, show, only, grid, ops, margin_sheets = 300, 1, 3, None, 0, 3, None
    exe = compare.DEFAULT_EXE
    it = iter(argv)
    for a in it:
        if a == '--exe':
            exe = compare.sheetrun.find_exe(next(it))
        elif a == '--random':
            nrand = int(next(it))
        elif a == '--seed':
            seed = int(next(it))
        elif a == '--show':
            show = int(next(it))
        elif a == '--ops':
            ops = int(next(it))
        elif a == '--grid':
            grid = int(next(it))
        elif a == '--margin-sheets':
            margin_sheets = int(next(it))
        elif a == '--only':
            only = next(it)
    cases = gen_cases(margin_sheets, seed)
    rng = random.Random(seed)
    for k in range(nrand):
        base = rng.choice(RANDOM_BASES)
        cases.append(('random/%d' % k, u8(mutate(rng, base, ops))))
    if grid:
        zones = list(range(33, 61)) + [1, 2]
        for b in 'KLMNOPQRSTU':
            for z in zones:
                for t in range(4):
                    nom = ('%s-%02d' % (b, z)) if (z + t) % 2 else ('%s%02d' % (b.lower(), z))
                    if t:
                        nom += ' (%d)' % (t + 1)
                    cases.append(('grid/%s' % nom, u8('Nom=%s; Path=out/g; MapScale=5000;\n' % nom)))
        for k in range(grid):
            b, z, n, t = rng.choice('KLMNOPQRSTU'), rng.choice(zones), rng.randint(1, 36), rng.randrange(4)
            nom = ('%s-%02d-%s' % (b, z, ROMANS[n - 1])) if k % 2 else ('%s%02d%02d' % (b, z, n))
            if t:
                nom += '(%d)' % (t + 1)
            cases.append(('grid/%s' % nom, u8('Nom=%s; Path=out/g; MapScale=1000;\n' % nom)))
    if only:
        cases = [x for x in cases if only in x[0]]
    groups = defaultdict(list)
    undefined = 0
    accepted = 0
    for label, raw in cases:
        r = compare.run_case(raw, exe)
        if r['status'] == 'undefined':
            undefined += 1
            continue
        accepted += r['rc'] == 0
        for d in r['diffs']:
            key = d.split(':')[0] if not d.startswith('exit') else d.split('(')[0]
            groups[key + ('' if not r['note'] else ' [' + r['note'] + ']')].append(
                (label, raw, d))
    print('%d cases, %d accepted by the program, %d left undefined by the text'
          % (len(cases), accepted, undefined))
    for key, items in sorted(groups.items()):
        print('== %s: %d cases' % (key, len(items)))
        for label, raw, d in items[:show]:
            print('   %s  %r\n      %s' % (label, raw[:160], d))
    return 1 if groups else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
