#!/usr/bin/python3
"""Run the built program on argument files and compare with the reference.

usage: compare.py [--exe PATH] [-v] FILE...      (argument files, raw bytes)
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ref  # noqa: E402
import shpread  # noqa: E402

DEFAULT_EXE = os.path.abspath(os.environ.get('SHEETJOB', os.path.join(os.path.dirname(os.path.abspath(__file__)), '../../../build/release/apps/sheetjob')))

# stderr wording -> reader status, to tell refusals apart
def status_of_message(msg):
    m = msg.lower()
    if 'is missing' in m:
        return 5
    if 'beyond' in m or 'full sheet' in m:
        return 6
    if 'windows-1251' in m and 'lacks' in m:
        return 3
    if 'longer than' in m:
        return 'long'
    if 'line' in m:
        return 4
    return None


def fmt(v):
    return repr(v)


def cmp_records(layer, got, exp, diffs):
    if len(got) != len(exp):
        diffs.append('%s: %d records, expected %d' % (layer, len(got), len(exp)))
    for i, ((ga, gg), (ea, eg)) in enumerate(zip(got, exp)):
        for k, v in ea.items():
            if ga.get(k) != v:
                diffs.append('%s rec %d: %s=%r expected %r' % (layer, i + 1, k,
                                                                 ga.get(k), v))
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
    tmp = tempfile.mkdtemp(prefix='xjob-')
    try:
        with open(os.path.join(tmp, argname), 'wb') as f:
            f.write(raw)
        if prepare:
            prepare(tmp)
        try:
            p = subprocess.run([exe, argname], cwd=tmp, capture_output=True,
                               timeout=120)
            rc, err = p.returncode, p.stderr.decode('utf-8', 'replace')
        except subprocess.TimeoutExpired:
            rc, err = 'timeout', ''
        diffs = []
        try:
            st, job, note = ref.read_argfile(raw)
        except ref.Undefined as u:
            if rc not in (0, 8) or (rc == 0) != (err == '') or err.count('\n') > 1:
                diffs.append('text leaves it open (%s), but exit %s with %r' % (u, rc, err))
            return dict(rc=rc, err=err, status='undefined', note=str(u),
                        diffs=diffs)
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
            found = [] if rc == 16 else [os.path.join(d, f) for d, _s, fs in os.walk(tmp) for f in fs
                     if f.lower().endswith('.shp')]
            if found:
                diffs.append('refused job left %d layers' % len(found))
            if rc == 8 and not prepare and sorted(os.listdir(tmp)) != [argname]:
                diffs.append('refused job left files: %s' % sorted(os.listdir(tmp)))
        elif err:
            diffs.append('success with stderr: %s' % err.strip())
        if rc in (0, 16) and st == 0:
            root = os.path.join(tmp, job['ResultPath'].encode('latin-1').decode(
                'cp1251', 'replace'))
            try:
                exp = ref.expected(job)
            except ref.Undefined as u:
                diffs.append('accepted, exit %s: %s' % (rc, u))
                return dict(rc=rc, err=err, status=st, note=str(u), diffs=diffs)
            for layer in ('HYPS/HypsA', 'HYPS/HypsP', 'HYPS/HypsL'):
                if layer not in exp:
                    continue
                base = os.path.join(root, layer)
                if not os.path.exists(base + '.shp'):
                    diffs.append('%s missing' % layer)
                    continue
                _t, recs = shpread.read_layer(base)
                cmp_records(layer, recs, exp[layer], diffs)
            frame = os.path.join(root, 'FRAME', 'Frame.shp')
            has_frame = os.path.exists(frame)
            fr = os.path.join(root, 'FRAME')
            any_frame = os.path.isdir(fr) and any(
                f.lower().endswith('.shp') for f in os.listdir(fr))
            if not exp['frame_layers'] and any_frame:
                diffs.append('map scale 1:x000 written frame layers')
            if 'minute' in exp:
                if rc == 16:
                    pass
                elif not has_frame:
                    diffs.append('FRAME/Frame missing')
                else:
                    _t, recs = shpread.read_layer(frame[:-4])
                    cmp_minute(recs, exp['minute'], diffs)
        return dict(rc=rc, err=err, status=st, note=note, diffs=diffs)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def main(argv):
    exe = DEFAULT_EXE
    verbose = False
    files = []
    it = iter(argv)
    for a in it:
        if a == '--exe':
            exe = os.path.abspath(next(it))
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
