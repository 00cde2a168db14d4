#!/usr/bin/python3
"""Run the built program on argument files and compare with the reference.

usage: compare.py [--exe PATH] [-v] FILE...      (argument files, raw bytes)

The program is --exe (a build folder or the executable), else $SHEETJOB, else
build/debug/apps/sheetjob.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.join(HERE, '..', 'common')]
import ref  # noqa: E402
import sheetrun  # noqa: E402
from shpread import LayerError, read_layer  # noqa: E402

DEFAULT_EXE = sheetrun.find_exe()
HYPS_LAYERS = ('HYPS/HypsA', 'HYPS/HypsP', 'HYPS/HypsL')


def status_of_message(msg):
    """The reader status a refusal's stderr line names, to tell refusals apart."""
    m = msg.lower()
    if 'is missing' in m:
        return 5
    if 'beyond' in m or 'full sheet' in m:
        return 6
    if 'windows-1251' in m and 'lacks' in m:
        return 3
    if 'line' in m:
        return 4
    return None


def as_text(v):
    """The reference keeps texts as Windows-1251 bytes mapped one to one onto
    str; the layer reader gives them decoded."""
    return v.encode('latin-1').decode('cp1251', 'replace') if isinstance(v, str) else v


def read_checked(base, coord_system, diffs, name):
    """Records of one layer as [(attrs, vertices)], or None; what is wrong
    with its files goes to diffs."""
    try:
        layer = read_layer(base)
    except LayerError as e:
        diffs.append('%s unreadable: %s' % (name, e))
        return None
    diffs.extend('%s: %s' % (name, p) for p in layer.problems)
    prj = sheetrun.prj_problem(layer, coord_system)
    if prj:
        diffs.append('%s: %s' % (name, prj))
    return [(r['attrs'] or {}, r['geom'] or []) for r in layer.records]


def cmp_records(layer, got, exp, diffs):
    if len(got) != len(exp):
        diffs.append('%s: %d records, expected %d' % (layer, len(got), len(exp)))
    for i, ((ga, gg), (ea, eg)) in enumerate(zip(got, exp)):
        for k, v in ea.items():
            if ga.get(k) != as_text(v):
                diffs.append('%s rec %d: %s=%r expected %r' % (layer, i + 1, k,
                                                                 ga.get(k), as_text(v)))
                return
        if eg is None:
            continue
        gg = [tuple(p) for p in gg]
        if len(gg) != len(eg):
            diffs.append('%s rec %d: %d vertices, expected %d (first %r / %r, last %r / %r)'
                         % (layer, i + 1, len(gg), len(eg), gg[:1], eg[:1],
                            gg[-1:], eg[-1:]))
            return
        for n, (p, q) in enumerate(zip(gg, eg)):
            if p[0] != q[0] or p[1] != q[1]:
                diffs.append('%s rec %d vertex %d: %r expected %r'
                             % (layer, i + 1, n + 1, p, q))
                return


def cmp_minute(recs, sides, diffs):
    recs = recs[2:]
    pos = 0
    for side, seq in sides:
        horiz = side in 'NS'
        for item in seq:
            if pos >= len(recs):
                diffs.append('minute %s: records end before %r' % (side, item))
                return
            _a, g = recs[pos]
            pos += 1
            ax = 0 if horiz else 1
            if item[0] == 'T':
                if len(g) != 2 or g[0][ax] != item[1] or g[1][ax] != item[1]:
                    diffs.append('minute %s rec %d: tick %r got %r'
                                 % (side, pos + 2, item[1], g))
                    return
            else:
                if g[0][ax] != item[1] or g[-1][ax] != item[2]:
                    diffs.append('minute %s rec %d: fill %r..%r got %r..%r'
                                 % (side, pos + 2, item[1], item[2], g[0][ax],
                                    g[-1][ax]))
                    return


def run_case(raw, exe=DEFAULT_EXE, argname='job.txt', prepare=None):
    """-> dict(rc, err, status, note, diffs)."""
    with sheetrun.scratch('xjob-') as tmp:
        if prepare:
            prepare(tmp)
        rc, err = sheetrun.run(exe, tmp, raw, argname)
        return judge(raw, tmp, rc, err, argname, prepare)


def judge(raw, tmp, rc, err, argname, prepare):
    diffs = []
    try:
        st, job, note = ref.read_argfile(raw)
    except ref.Undefined as u:
        return dict(rc=rc, err=err, status='undefined', note=str(u),
                    diffs=open_outcome(rc, err, u))
    layers_left = [os.path.join(d, f) for d, _s, fs in os.walk(tmp) for f in fs
                   if f.lower().endswith('.shp')]
    exp = None
    if st == 0:
        try:
            exp = ref.expected(job)
        except ref.Undefined as u:
            # the program may refuse it as a layer failure before writing anything
            diffs = open_outcome(rc, err, u, (0, 16))
            if rc == 16 and layers_left:
                diffs.append('refused job left %d layers' % len(layers_left))
            return dict(rc=rc, err=err, status=st, note=str(u), diffs=diffs)
    exp_rc = 0 if st == 0 else 8
    if rc != exp_rc:
        diffs.append('exit %s expected %d (reader status %d)%s'
                     % (rc, exp_rc, st, (': ' + err.strip()) if err else ''))
    if rc != 0:
        lines = err.rstrip('\n').split('\n')
        if not err.endswith('\n') or len(lines) != 1:
            diffs.append('stderr has %d lines' % len(lines))
        if st and rc == 8:
            ms = status_of_message(err)
            if ms is not None and ms != st and not (st == 4 and ms == 3):
                diffs.append('reader status %d, message says %s: %s'
                             % (st, ms, err.strip()))
        if rc != 16 and layers_left:
            diffs.append('refused job left %d layers' % len(layers_left))
        if rc == 8 and not prepare and sorted(os.listdir(tmp)) != [argname]:
            diffs.append('refused job left files: %s' % sorted(os.listdir(tmp)))
    elif err:
        diffs.append('success with stderr: %s' % err.strip())
    if rc in (0, 16) and exp is not None:
        compare_layers(os.path.join(tmp, as_text(job['ResultPath'])), job, exp, rc, diffs)
    return dict(rc=rc, err=err, status=st, note=note, diffs=diffs)


def open_outcome(rc, err, why, codes=(0, 8)):
    """Where the text leaves the outcome open the run must still end
    cleanly: one of the given exit codes, and one stderr line exactly when
    it fails."""
    if rc not in codes or (rc == 0) != (err == '') or err.count('\n') > 1:
        return ['text leaves it open (%s), but exit %s with %r' % (why, rc, err)]
    return []


def compare_layers(root, job, exp, rc, diffs):
    for layer in HYPS_LAYERS:
        if layer not in exp:
            continue
        base = os.path.join(root, layer)
        if not os.path.exists(base + '.shp'):
            diffs.append('%s missing' % layer)
            continue
        recs = read_checked(base, job['CoordSystem'], diffs, layer)
        if recs is not None:
            cmp_records(layer, recs, exp[layer], diffs)
    fr = os.path.join(root, 'FRAME')
    any_frame = os.path.isdir(fr) and any(f.lower().endswith('.shp') for f in os.listdir(fr))
    if not exp['frame_layers'] and any_frame:
        diffs.append('map scale 1:x000 written frame layers')
    if 'minute' in exp and rc != 16:
        frame = os.path.join(fr, 'Frame')
        if not os.path.exists(frame + '.shp'):
            diffs.append('FRAME/Frame missing')
        else:
            recs = read_checked(frame, job['CoordSystem'], diffs, 'FRAME/Frame')
            if recs is not None:
                cmp_minute(recs, exp['minute'], diffs)


def main(argv):
    exe = DEFAULT_EXE
    verbose = False
    files = []
    it = iter(argv)
    for a in it:
        if a == '--exe':
            exe = sheetrun.find_exe(next(it))
        elif a == '-v':
            verbose = True
        else:
            files.append(a)
    bad = 0
    for fn in files:
        with open(fn, 'rb') as f:
            raw = f.read()
        r = run_case(raw, exe)
        if r['diffs'] or verbose:
            print('%s: exit %s status %s %s' % (fn, r['rc'], r['status'], r['note']))
            for d in r['diffs']:
                print('   ', d)
        bad += bool(r['diffs'])
    print('%d of %d files differ' % (bad, len(files)))
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
