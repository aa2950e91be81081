#!/usr/bin/env python3
"""Start-up of the Windows program under Wine against the floor program (a
bare Qt window) built the same way: same static Qt, same prefix, the same
private Xvfb, interleaved rounds. Per run: ms from the start until the first
window with the program's title is on the screen, and the peak memory
(VmHWM) of the process that owns it one second later. Prints each one's
median and the program's ratio to the floor.

usage: wine_startup.py FLOOR.exe PROGRAM.exe SEED_FOLDER [RUNS]
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "windows"))
import wine  # noqa: E402


def window_of(x, title, seconds=60):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        for w in x.viewable_windows():
            if x.title(w) == title and not x.is_splash(w):
                return w
        time.sleep(0.005)
    return None


def peak_mib(x, window):
    pid = (x.property(window, "_NET_WM_PID") or [0])[0]
    for line in open("/proc/%d/status" % pid) if pid else ():
        if line.startswith("VmHWM:"):
            return int(line.split()[1]) / 1024, pid
    return None, pid


def one_run(x, prefix, exe, title, seed):
    work = tempfile.mkdtemp(prefix="krvx-startup-")
    for name in os.listdir(seed):
        shutil.copy(os.path.join(seed, name), work)
    start = time.monotonic()
    proc = subprocess.Popen(prefix.command([exe], 120), env=prefix.env, cwd=work,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = window_of(x, title)
    ms = (time.monotonic() - start) * 1000 if window else None
    time.sleep(1)
    mib, pid = peak_mib(x, window) if window else (None, 0)
    for victim in (pid, proc.pid):
        if victim:
            try:
                os.kill(victim, signal.SIGKILL)
            except ProcessLookupError:
                pass
    proc.wait()
    prefix.wait(60)
    shutil.rmtree(work, ignore_errors=True)
    return ms, mib


def main(floor, program, seed, runs=10):
    rows = {"floor": [], "program": []}
    base = tempfile.mkdtemp(prefix="krvx-wine-startup-")
    try:
        with wine.private_display() as (x, display), wine.Prefix(base, display) as prefix:
            one_run(x, prefix, floor, "Floor", seed)  # warm-up: the caches of both
            one_run(x, prefix, program, "Korvax Rechner", seed)
            for _ in range(runs):
                rows["floor"].append(one_run(x, prefix, floor, "Floor", seed))
                rows["program"].append(one_run(x, prefix, program, "Korvax Rechner", seed))
    finally:
        shutil.rmtree(base, ignore_errors=True)
    medians = {}
    for name, found in rows.items():
        times = [ms for ms, _ in found if ms is not None]
        peaks = [mib for _, mib in found if mib is not None]
        if len(times) < runs or len(peaks) < runs:
            print("%s: a window did not appear in %d of %d runs" % (name, runs - len(times), runs))
            return 1
        medians[name] = statistics.median(times), statistics.median(peaks)
        print("%-8s window %6.0f ms (%4.0f-%4.0f)  peak %5.1f MiB" % (
            name, medians[name][0], min(times), max(times), medians[name][1]))
    ratios = [p[0] / f[0] for f, p in zip(rows["floor"], rows["program"])]
    print("program against floor: %.2f x time (median of per-round ratios, goal 1.10), %.2f x peak memory (goal 1.15)"
          % (statistics.median(ratios), medians["program"][1] / medians["floor"][1]))
    return 0


if __name__ == "__main__":
    if len(sys.argv) < 4:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(*map(os.path.abspath, sys.argv[1:4]), *map(int, sys.argv[4:5])))
