#!/usr/bin/python3
"""Command line and folder checks that need more than one argument file.

usage: commandline.py [--exe PATH] [--quiet]   (--quiet: print only the checks that differ)
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare  # noqa: E402

EXE = compare.DEFAULT_EXE
JOB = b'Nom=N-37-XIV; Path=out/x;\n'
problems = []
passed = []
QUIET = '--quiet' in sys.argv


def run(args, cwd, env=None):
    p = subprocess.run([EXE] + args, cwd=cwd, capture_output=True, timeout=120,
                       env=env)
    return p.returncode, p.stderr.decode('utf-8', 'replace')


def check(name, cond, detail=''):
    if not (cond and QUIET):
        print('%-60s %s %s' % (name, 'ok' if cond else 'DIFFERS', detail if not cond else ''))
    (passed if cond else problems).append(name)


def fresh():
    return tempfile.mkdtemp(prefix='xjob-sp-')


def write(path, data=b''):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def case_command_line():
    t = fresh()
    rc, err = run(['missing.txt'], t)
    check('missing argument file: exit 8, one line, nothing made',
          rc == 8 and err.count('\n') == 1 and os.listdir(t) == [], (rc, err))
    write(os.path.join(t, 'job.txt'), JOB)
    rc, err = run(['   job.txt'], t)
    check('argument with leading blanks is read', rc == 0 and err == '', (rc, err))
    shutil.rmtree(os.path.join(t, 'out'))
    rc, err = run(['  job.txt  '], t)
    check('trailing blanks belong to the name: not found, exit 8',
          rc == 8 and '"job.txt  " not found' in err, (rc, err))
    write(os.path.join(t, 'job.txt  '), JOB)
    rc, err = run(['  job.txt  '], t)
    check('argument with blanks on both sides names the file with trailing blanks',
          rc == 0 and err == '', (rc, err))
    shutil.rmtree(os.path.join(t, 'out'))
    # Several arguments are a series: every file is run in turn, the exit code
    # is the highest of the jobs', and each failed job says which file it was.
    rc, err = run(['job.txt', 'other.txt', 'third'], t)
    check('a series runs every file: two missing ones are named, exit 8',
          rc == 8 and err.count('\n') == 2 and '"other.txt"' in err and '"third"' in err
          and os.path.exists(os.path.join(t, 'out', 'x', 'HYPS', 'HypsA.shp')), (rc, err))
    shutil.rmtree(os.path.join(t, 'out'))
    rc, err = run(['other.txt', 'job.txt'], t)
    check('a series goes on after a missing file',
          rc == 8 and os.path.exists(os.path.join(t, 'out', 'x', 'HYPS', 'HypsA.shp')), (rc, err))
    write(os.path.join(t, 'sub', 'job2.txt'), b'Nom=N-37; Path=rel/y;\n')
    rc, err = run(['sub/job2.txt'], t)
    check('relative Path taken from the current folder',
          rc == 0 and os.path.exists(os.path.join(t, 'rel/y/HYPS/HypsA.shp')), (rc, err))
    # An argument longer than 260 characters is read whole: cut, it would
    # name another file than the one asked for (as "Path" is not cut either).
    deep = os.path.join(t, 'deep')
    rel = ''
    while len(rel) < 240:
        rel += 'dddddddddd/'
    rel = 'deep/' + rel
    fname = 'j' * (260 - len(rel))
    write(os.path.join(t, rel, fname), JOB)
    arg = rel + fname
    assert len(arg) == 260
    rc, err = run([arg + 'EXTRA'], t)
    check('argument of 265 characters not cut: not found, exit 8, one line',
          rc == 8 and err.count('\n') == 1, (rc, err.strip()))
    write(os.path.join(t, rel, fname + 'EXTRA'), b'Nom=N-37; Path=out/long;\n')
    rc, err = run([arg + 'EXTRA'], t)
    check('argument of 265 characters names the file that is read',
          rc == 0 and os.path.exists(os.path.join(t, 'out/long/HYPS/HypsA.shp')), (rc, err.strip()))
    shutil.rmtree(deep)
    # a result folder longer than the 260-character field
    longp = 'lp/' + '/'.join(['p' * 60] * 5)
    write(os.path.join(t, 'job5.txt'), ('Nom=N-37; Path=%s;\n' % longp).encode())
    rc, err = run(['job5.txt'], t)
    check('Path of %d characters written where it says (not cut)' % len(longp),
          rc == 0 and os.path.exists(os.path.join(t, longp, 'HYPS', 'HypsA.shp')), (rc, err))
    shutil.rmtree(t)


def case_folders():
    t = fresh()
    write(os.path.join(t, 'job.txt'), JOB)
    h = os.path.join(t, 'out/x/HYPS')
    f = os.path.join(t, 'out/x/FRAME')
    stale = ['hypsa.shp', 'HYPSA.DBF', 'HypsA.prj', 'hypsa.SBX', 'HYPSP.SHP', 'hypsp.shx']
    # Only the members a layer has go: not a file that merely begins with its name.
    keep = ['HYPSL.DBF', 'hypsl.shx', 'other.txt', 'HypsAB.shp', 'hypsa.xyz', 'HypsA',
            'HypsA.shp.bak']
    for n in stale + keep:
        write(os.path.join(h, n), b'stale')
    fstale = ['frame.SHP', 'Frame.sbn', 'FRAMEDIG.shp', 'framedig.dbf']
    fkeep = ['FRAMEADJ.DBF', 'note', 'Frame.foo']
    for n in fstale + fkeep:
        write(os.path.join(f, n), b'stale')
    write(os.path.join(t, 'out/x/HYPS_50/a.shp'), b'stale')
    rc, err = run(['job.txt'], t)
    check('rerun into an existing folder', rc == 0 and err == '', (rc, err))
    gone = [n for n in stale if os.path.exists(os.path.join(h, n))]
    check('stale HYPS members removed whatever their case', not gone, gone)
    lost = [n for n in keep if not os.path.exists(os.path.join(h, n))]
    check('HYPS files without a .shp member and other files kept', not lost, lost)
    gone = [n for n in fstale if os.path.exists(os.path.join(f, n))]
    check('stale FRAME members removed', not gone, gone)
    lost = [n for n in fkeep if not os.path.exists(os.path.join(f, n))]
    check('FRAME other files kept', not lost, lost)
    check('HYPS_50 untouched without sub-sheet frames',
          os.path.exists(os.path.join(t, 'out/x/HYPS_50/a.shp')))
    # with sub-sheet frames every layer member in HYPS_50 / HYPS_25 goes, other
    # files and subfolders stay
    write(os.path.join(t, 'job2.txt'), b'Nom=N-37-XIV; Path=out/x; SubSheetFrames=1;\n')
    write(os.path.join(t, 'out/x/HYPS_25/zzz.dbf'), b'stale')
    write(os.path.join(t, 'out/x/HYPS_25/zzz.txt'), b'stale')
    write(os.path.join(t, 'out/x/HYPS_25/sub/keep.txt'), b'stale')
    os.symlink(os.path.join(t, 'job.txt'), os.path.join(t, 'out/x/HYPS_25/link.shp'))
    rc, err = run(['job2.txt'], t)
    check('sub-sheet frames run', rc == 0 and err == '', (rc, err))
    check('HYPS_50 old layer removed', not os.path.exists(os.path.join(t, 'out/x/HYPS_50/a.shp')))
    check('HYPS_25 old layer removed', not os.path.exists(os.path.join(t, 'out/x/HYPS_25/zzz.dbf')))
    check('HYPS_25 other file kept', os.path.exists(os.path.join(t, 'out/x/HYPS_25/zzz.txt')))
    check('HYPS_25 subfolder kept', os.path.exists(os.path.join(t, 'out/x/HYPS_25/sub/keep.txt')))
    check('symbolic link removed, its target kept',
          not os.path.lexists(os.path.join(t, 'out/x/HYPS_25/link.shp'))
          and os.path.exists(os.path.join(t, 'job.txt')))
    shutil.rmtree(t)
    # result folder that cannot be made
    t = fresh()
    write(os.path.join(t, 'blocker'), b'x')
    write(os.path.join(t, 'job.txt'), b'Nom=N-37-XIV; Path=blocker/x;\n')
    rc, err = run(['job.txt'], t)
    check('result folder cannot be made: exit 8, one line',
          rc == 8 and err.count('\n') == 1, (rc, err))
    write(os.path.join(t, 'job3.txt'), b'Nom=N-37-XIV; Path=blocker;\n')
    rc, err = run(['job3.txt'], t)
    check('result folder is a file: exit 8, one line', rc == 8 and err.count('\n') == 1,
          (rc, err))
    # HYPS exists as a file: its creation fails
    write(os.path.join(t, 'r/HYPS'), b'x')
    write(os.path.join(t, 'job4.txt'), b'Nom=N-37-XIV; Path=r;\n')
    rc, err = run(['job4.txt'], t)
    check('HYPS is a file: exit 8', rc == 8 and err.count('\n') == 1, (rc, err))
    shutil.rmtree(t)


if __name__ == '__main__':
    if '--exe' in sys.argv[1:-1]:
        EXE = compare.sheetrun.find_exe(sys.argv[sys.argv.index('--exe') + 1])
    case_command_line()
    case_folders()
    print('command line and folders: %d of %d checks agree' % (len(passed), len(passed) + len(problems)))
    sys.exit(1 if problems else 0)
