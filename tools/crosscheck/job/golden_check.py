#!/usr/bin/python3
"""Check the reference against the recorded whole jobs, then run the program on them.

usage: golden_check.py [--exe PATH] [GOLDEN.json ...]   (default: the project's tests/data/golden/*.json)
"""
import glob
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare  # noqa: E402
import ref  # noqa: E402


GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', '..', 'tests', 'data', 'golden')


def main(argv):
    exe = compare.DEFAULT_EXE
    if argv[:1] == ['--exe']:
        exe, argv = compare.sheetrun.find_exe(argv[1]), argv[2:]
    bad = 0
    for fn in argv or sorted(glob.glob(os.path.join(GOLDEN, '*.json'))):
        g = json.load(open(fn, encoding='utf-8'))
        raw = g['argument_file'].encode('utf-8')
        st, job, _ = ref.read_argfile(raw)
        diffs = []
        if (0 if st == 0 else 8) != g['exit']:
            diffs.append('reader status %d, recorded exit %d' % (st, g['exit']))
        if st == 0:
            exp = ref.expected(job)
            for layer in ('HYPS/HypsA', 'HYPS/HypsP', 'HYPS/HypsL'):
                recs = [(r['attrs'], r['geom'] if r.get('geometry_fixed', True) else [])
                        for r in g['layers'][layer]['records']]
                compare.cmp_records(layer, recs, exp[layer], diffs)
            if 'minute' in exp:
                recs = [(r['attrs'], r['geom']) for r in g['layers']['FRAME/Frame']['records']]
                compare.cmp_minute(recs, exp['minute'], diffs)
        r = compare.run_case(raw, exe)
        print('%s: reference %s; program %s' % (os.path.basename(fn),
              'agrees' if not diffs else 'DIFFERS', 'agrees' if not r['diffs'] else 'DIFFERS'))
        for d in diffs:
            print('    reference:', d)
        for d in r['diffs']:
            print('    program:', d)
        bad += bool(diffs or r['diffs'])
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
