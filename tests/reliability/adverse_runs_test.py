#!/usr/bin/python3
"""Runs that end badly, and the runs after them: killed at each rename (strace
delivers SIGKILL at the k-th), then another sheet into the folder: done, and no
temporary file, no member without its .shp, no project but its own. Under an
address-space limit from tiny upwards: the loader fails (127), or one line
and 8 or 16, or done; never an abort. As another user: its lock file is no
obstacle; a result folder it may not read is named as such.

    adverse_runs_test.py SHEETJOB     (a part that cannot run here is skipped)
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile

from full_disk_test import problems_in

NOBODY = 65534  # the unprivileged user and group of Debian
RENAMES = "rename,renameat,renameat2"
SHEET, OTHER = "Nom=N-37-XIV; Path=res;\n", "Nom=N-37; Path=res;\n"  # OTHER has no FrameAdj
SUB_SHEETS = "Nom=N-37-XIV; Path=res; SubSheetFrames=1;\n"
# Kill points with sub-sheets: before and after a sub-sheet folder goes in place
# whole (with its styles), among the sheet's layers; and, with a file of the
# user's in the sub-sheet folders (written into file by file), inside two
# layers and among the styles.
SUB_SHEET_KILLS = [(False, [2, 3, 30]), (True, [4, 251, 480])]
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what)


def run(program, folder, job, preexec=None, strace=()):
    with open(os.path.join(folder, "job.txt"), "w") as f:
        f.write(job)
    trace = ["strace", "-f", "-o", os.path.join(folder, "trace"), *strace] if strace else []
    return subprocess.run(trace + [program, "job.txt"], cwd=folder, capture_output=True,
                          text=True, errors="replace", preexec_fn=preexec, timeout=120)


def one_line(r):
    return r.returncode in (8, 16) and r.stderr.count("\n") == 1 and r.stderr[:10] == "sheetjob: "


def killed_runs(program, scratch):
    folder = tempfile.mkdtemp(dir=scratch)
    run(program, folder, SHEET, strace=["-e", "trace=" + RENAMES])
    with open(os.path.join(folder, "trace")) as f:
        count = sum(" rename" in line for line in f)
    for job, own_file, kills in [(SHEET, False, range(1, count + 1))] + [
            (SUB_SHEETS, own, kills) for own, kills in SUB_SHEET_KILLS]:
        for k in kills:
            folder = tempfile.mkdtemp(dir=scratch)
            for sub in ("HYPS_50", "HYPS_25") if own_file else ():
                os.makedirs(os.path.join(folder, "res", sub))
                open(os.path.join(folder, "res", sub, "notes.txt"), "w").close()
            killed = run(program, folder, job,
                         strace=["-e", "inject=%s:signal=KILL:when=%d" % (RENAMES, k)])
            expect(killed.returncode != 0, "%r ran past rename %d" % (job, k))
            after, res = run(program, folder, OTHER), os.path.join(folder, "res")
            left = problems_in(res) + [n for n in os.listdir(res) if n.endswith(".qgs")]
            expect(after.returncode == 0 and left == ["N-37.qgs"],
                   "%r killed at rename %d, then: %s %s" % (job, k, after.stderr, left))
            shutil.rmtree(folder)
    print("killed at each of %d renames, and at 6 with sub-sheets" % count)


def memory_limit(program, scratch):
    folder = tempfile.mkdtemp(dir=scratch)

    def limit(kb):
        return lambda: resource.setrlimit(resource.RLIMIT_AS, (kb << 10, kb << 10))

    if run(program, folder, SHEET, preexec=limit(256 << 10)).returncode != 0:
        return "the build needs more than 256 MB of address space (sanitizers)"
    codes = []
    for kb in range(2048, 256 << 10, 24):  # up to the first success
        shutil.rmtree(os.path.join(folder, "res"), ignore_errors=True)
        r = run(program, folder, SHEET, preexec=limit(kb))
        codes.append(r.returncode)
        loader = r.returncode == 127 and r.stderr[:10] != "sheetjob: "
        expect(loader or one_line(r) or r.returncode == 0, "%d kB: %r" % (kb, r.stderr))
        if r.returncode == 0:
            break
    print("address-space limits from 2 MB by 24 kB: exit codes", sorted(set(codes)))
    expect(set(codes) - {0, 127}, "no limit reached the program itself")


def other_user(program, scratch):
    def as_nobody():
        os.setgroups([])
        os.setgid(NOBODY)
        os.setuid(NOBODY)
    if os.geteuid() != 0 or subprocess.run([program, "-V"], capture_output=True,
                                           preexec_fn=as_nobody).returncode != 0:
        return "no other user to run the program as"
    folder = tempfile.mkdtemp(dir=scratch)
    run(program, folder, SHEET)
    subprocess.run(["chmod", "-R", "a+rwX", folder], check=True)
    res = os.path.join(folder, "res")
    os.chmod(os.path.join(res, ".sheetjob.lock"), 0o644)  # readable, not writable
    r = run(program, folder, SHEET, preexec=as_nobody)
    expect(r.returncode == 0, "another user's lock file: %r" % r.stderr)
    os.chmod(res, 0o700)
    r = run(program, folder, SHEET, preexec=as_nobody)
    expect(one_line(r) and "cannot open result folder res/: Permission denied" in r.stderr,
           "another user's result folder: %r" % r.stderr)


def main(argv):
    program, skipped = os.path.abspath(argv[0]), []
    with tempfile.TemporaryDirectory(prefix="sheetjob-adverse-") as scratch:
        os.chmod(scratch, 0o755)
        for part in (killed_runs, memory_limit, other_user):
            if part is killed_runs and shutil.which("strace") is None:
                skipped.append("killed_runs: strace is not installed")
            elif why := part(program, scratch):
                skipped.append("%s: %s" % (part.__name__, why))
    for why in skipped:
        print("skipped " + why)
    return 1 if failures else 77 if len(skipped) == 3 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
