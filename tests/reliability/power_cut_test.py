#!/usr/bin/python3
"""A power cut right after a successful run: every layer must be whole.

    power_cut_test.py SHEETJOB

The heavy job (a sheet with its 80 sub-sheet frames) runs into an ext4 file
system on a loop device, mounted with a one-second journal commit. As soon as
the run exits 0, the image is copied as it stands, which is what the disk
holds if the power goes then; the copy is repaired with e2fsck, mounted, and
every file of the result must equal the same job's output on an ordinary
folder. It is done twice: into an empty folder, and again over a result that
was synced (the rerun removes the old layers before writing the new ones).
Needs root and a loop device; exits 77 (a skip for CTest) and says why when
either is missing.
"""
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile

JOB = "Nom=N-37-I; SubSheetFrames=1; Path=%s;\n"
SKIP = 77
IMAGE_MB = 64


def run(command, **kw):
    return subprocess.run(command, capture_output=True, text=True, **kw)


def job_into(program, folder, scratch):
    job = os.path.join(scratch, "job.txt")
    with open(job, "w") as f:
        f.write(JOB % folder)
    return run([program, job], timeout=120)


def differences(expected, got):
    found = []
    for folder, _, names in os.walk(expected):
        rel = os.path.relpath(folder, expected)
        for name in names:
            if name == ".sheetjob.lock":
                continue
            other = os.path.join(got, rel, name)
            if not os.path.isfile(other):
                found.append("missing: %s/%s" % (rel, name))
            elif not filecmp.cmp(os.path.join(folder, name), other, shallow=False):
                found.append("not whole: %s/%s (%d bytes)" % (rel, name, os.path.getsize(other)))
    for folder, _, names in os.walk(got):
        for name in names:
            if name.endswith(".sheetjob-part"):
                found.append("left under a temporary name: " + os.path.join(folder, name))
    return found


def after_power_cut(image, scratch, reference, label):
    """Copies the image as it stands, repairs and mounts the copy, compares."""
    copy = os.path.join(scratch, "copy.img")
    shutil.copyfile(image, copy)
    fsck = run(["e2fsck", "-fy", copy])
    if fsck.returncode not in (0, 1):  # 1: errors corrected
        return ["%s: e2fsck could not repair the copy (%d)" % (label, fsck.returncode)]
    mount = os.path.join(scratch, "copy")
    os.makedirs(mount, exist_ok=True)
    if run(["mount", "-o", "loop,ro", copy, mount]).returncode != 0:
        return ["%s: the repaired copy does not mount" % label]
    try:
        return ["%s: %s" % (label, p) for p in differences(reference, os.path.join(mount, "out"))]
    finally:
        run(["umount", mount])
        os.remove(copy)


def main(argv):
    if len(argv) != 1:
        print(__doc__)
        return 2
    program = os.path.abspath(argv[0])
    if os.geteuid() != 0:
        print("power_cut_test: skipped, mounting a file system needs root")
        return SKIP
    if shutil.which("losetup") is None or run(["losetup", "-f"]).returncode != 0:
        print("power_cut_test: skipped, no loop device on this machine")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="sheetjob-power-") as scratch:
        reference = os.path.join(scratch, "reference")
        if job_into(program, reference, scratch).returncode != 0:
            print("power_cut_test: the job fails on an ordinary folder")
            return 1
        image = os.path.join(scratch, "disk.img")
        with open(image, "wb") as f:
            f.truncate(IMAGE_MB << 20)
        if run(["mkfs.ext4", "-q", image]).returncode != 0:
            print("power_cut_test: skipped, mkfs.ext4 is missing")
            return SKIP
        mount = os.path.join(scratch, "disk")
        os.makedirs(mount)
        if run(["mount", "-o", "loop,commit=1", image, mount]).returncode != 0:
            print("power_cut_test: skipped, this machine does not let a loop device be mounted")
            return SKIP
        found = []
        try:
            out = os.path.join(mount, "out")
            for label in ("first run", "rerun over a synced result"):
                r = job_into(program, out, scratch)
                if r.returncode != 0:
                    found.append("%s: exit %d %s" % (label, r.returncode, r.stderr.strip()))
                    break
                found += after_power_cut(image, scratch, reference, label)
                run(["sync", "-f", mount])
        finally:
            run(["umount", mount])
    for p in found[:20]:
        print(p)
    print("power_cut_test: %s" % ("every layer whole after each cut" if not found
                                  else "%d problems" % len(found)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
