#!/usr/bin/python3
"""Measures whole jobs of sheetjob side by side with copying their output.

For every job: the processor time (user + system) of the program and of
`cp -r` of the tree it wrote, the median of many runs each; the wall time; the
peak resident memory (/usr/bin/time); the system calls (strace -f -c) in all
and per record; the files and records written. Further programs (an older
build, say) are measured the same way, run for run, for comparison.

    bench.py [--runs N] [--check] PROGRAM [OTHER-PROGRAM...]

With --check the targets are tested and the exit code is 1 when one is missed:
the heavy job's processor time at most 0.9 times that of `cp -r`, the 1'
graticule's at most 3 times, at most 2 system calls per record beyond those of
the files, and peak memory under 10 MB for every job.
Standard library only; needs /usr/bin/time (package time) and strace.
"""
import argparse
import os
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# The jobs, with the names the targets are checked under.
JOBS = [
    ("heavy", "the 1:200 000 sheet N-37-I with its 80 sub-sheet frames",
     "Nom=N-37-I; SubSheetFrames=1;"),
    ("graticule", "the 1:1 000 000 sheet N-37 with a 1' graticule",
     "Nom=N-37; MeridianStep=0 01; ParallelStep=0 01;"),
    ("largest", "the largest trapezium the reader accepts (a quadruple 1:1 000 000 sheet"
     " with a sheet's margin on every side) with a 1' graticule and 1' scales",
     "Nom=N-37 (4); xFrom=30 01; xTo=65 59; yFrom=48 01; yTo=59 59; MeridianStep=0 01;"
     " ParallelStep=0 01; xMinute=1; yMinute=1;"),
    ("plain", "the 1:1 000 000 sheet N-37 with its own graticule (for the cost per record)",
     "Nom=N-37;"),
]
TARGET_CPU = {"heavy": 0.9, "graticule": 3.0}
TARGET_CALLS_PER_RECORD = 2.0
TARGET_PEAK_KB = 10 * 1024


def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def timed(command):
    """Processor and wall seconds of one run of `command`."""
    cpu0, wall0 = children_cpu(), time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return children_cpu() - cpu0, time.perf_counter() - wall0


def records_and_files(tree):
    records = files = 0
    for folder, _, names in os.walk(tree):
        for name in names:
            files += 1
            if name.lower().endswith(".shx"):
                records += (os.path.getsize(os.path.join(folder, name)) - 100) // 8
    return records, files


def peak_kb(program, job_file):
    out = subprocess.run(["/usr/bin/time", "-f", "%M", program, job_file],
                         capture_output=True, text=True, check=True)
    return int(out.stderr.strip().splitlines()[-1])


def system_calls(program, job_file, work):
    log = os.path.join(work, "strace.txt")
    subprocess.run(["strace", "-f", "-c", "-o", log, program, job_file],
                   check=True, stdout=subprocess.DEVNULL)
    with open(log) as f:
        total = [line for line in f if line.strip().endswith("total")]
    # "% time, seconds, usecs/call, calls, errors, total"
    return int(total[-1].split()[3]) if total else -1


def measure(program, job, runs, work):
    out = os.path.join(work, "out")
    copy = os.path.join(work, "copy")
    job_file = os.path.join(work, "job.txt")
    with open(job_file, "w") as f:
        f.write(job + " Path=" + out + ";\n")

    def fresh():
        shutil.rmtree(out, ignore_errors=True)
        shutil.rmtree(copy, ignore_errors=True)

    cpu, wall, cp_cpu, cp_wall = [], [], [], []
    os.sync()  # the writing-back of the job before must not land on this one
    for _ in range(runs):
        fresh()
        c, w = timed([program, job_file])
        cpu.append(c)
        wall.append(w)
        c, w = timed(["cp", "-r", out, copy])
        cp_cpu.append(c)
        cp_wall.append(w)
    records, files = records_and_files(out)
    size = sum(os.path.getsize(os.path.join(d, n)) for d, _, ns in os.walk(out) for n in ns)
    fresh()
    calls = system_calls(program, job_file, work)
    fresh()
    peak = peak_kb(program, job_file)
    fresh()
    return {
        "cpu": statistics.median(cpu), "wall": statistics.median(wall),
        "cp_cpu": statistics.median(cp_cpu), "cp_wall": statistics.median(cp_wall),
        "records": records, "files": files, "bytes": size, "calls": calls, "peak": peak,
    }


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args(argv)
    missed = []
    for program in args.programs:
        print("== %s" % program)
        results = {}
        with tempfile.TemporaryDirectory() as work:
            for name, what, job in JOBS:
                r = measure(os.path.abspath(program), job, args.runs, work)
                results[name] = r
                ratio = r["cpu"] / r["cp_cpu"] if r["cp_cpu"] > 0 else float("inf")
                print("%-9s %s" % (name, what))
                print("          %d files, %d records, %d bytes" % (r["files"], r["records"], r["bytes"]))
                print("          processor %.1f ms, cp -r %.1f ms: %.2f x" % (
                    r["cpu"] * 1e3, r["cp_cpu"] * 1e3, ratio))
                print("          wall %.1f ms, cp -r %.1f ms; peak memory %d kB; %d system calls" % (
                    r["wall"] * 1e3, r["cp_wall"] * 1e3, r["peak"], r["calls"]))
                if name in TARGET_CPU and ratio > TARGET_CPU[name]:
                    missed.append("%s: processor time %.2f x cp -r (target %.1f)" % (
                        name, ratio, TARGET_CPU[name]))
                if r["peak"] >= TARGET_PEAK_KB:
                    missed.append("%s: peak memory %d kB" % (name, r["peak"]))
        # The same folders and files with more records: what the records
        # alone cost in system calls.
        plain, grid = results["plain"], results["graticule"]
        extra = grid["records"] - plain["records"]
        if extra > 0 and grid["files"] == plain["files"]:
            per_record = (grid["calls"] - plain["calls"]) / extra
            print("          %.3f system calls per record beyond those of the files" % per_record)
            if per_record > TARGET_CALLS_PER_RECORD:
                missed.append("%.2f system calls per record" % per_record)
        args.check = args.check and program == args.programs[0]
        if args.check:
            for m in missed:
                print("target missed: " + m)
            if missed:
                return 1
            print("targets met")
        missed = []
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
