#!/usr/bin/env python3
"""Prints the table of scripts/bench: every measured figure beside its goal,
from the benchmarks' JSON files and startup-probe's CSV in one folder.
Exit status 1 when a goal is missed or a figure is missing.

usage: bench_table.py RESULTS_FOLDER
"""
import csv
import json
import os
import statistics
import sys

# (file, benchmark name, what, size, goal in ms or None)
BENCHMARKS = [
    ("catalogue_bench", "BM_LoadSchiffeStartUp/32767", "loading `schiffe.dat` at start-up", "32767 ship types", 20),
    ("catalogue_bench", "BM_LoadSchiffeEditor/32767", "loading `schiffe.dat` in the catalogue editor",
     "32767 ship types", 20),
    ("shipcost_bench", "BM_PreisBerechnen_Liste/32767", "pricing an order list (`PreisBerechnen`)",
     "32767 lines x 32767 types", 10),
    ("exchange_bench", "BM_TauschBerechnen", "one run of the exchange computation", "loaded rate tables", None),
    ("windows_bench", "BM_OpenCatalogueEditor/iterations:10", "opening the catalogue editor (`FrmConfig2`)",
     "32767 ship types", 300),
    ("windows_bench", "BM_OpenFlightTimeWindow/iterations:10", "opening the flight time window (`FrmZeit`)",
     "32767 ships, 32767 planets", 300),
    ("windows_bench", "BM_KeystrokeShipField", "keystroke in the ship field (`FrmSchiffspreise`)",
     "32767 ship types", 16),
    ("windows_bench", "BM_KeystrokeExchange", "keystroke in an amount box (`FrmTausch`)", "loaded rate tables", 16),
    ("windows_bench", "BM_KeystrokeFlightTime", "Tab out of the speed box, recomputation (`FrmZeit`)",
     "32767 planets", 16),
]
UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def milliseconds(value):
    if value >= 1:
        return "%.1f ms" % value
    if value >= 0.001:
        return "%.1f µs" % (value * 1000)
    return "%.0f ns" % (value * 1e6)


def load_benchmarks(folder):
    found = {}
    for name in {b[0] for b in BENCHMARKS}:
        path = os.path.join(folder, name + ".json")
        if not os.path.exists(path):
            continue
        with open(path) as f:
            for b in json.load(f).get("benchmarks", []):
                if b.get("run_type", "iteration") == "iteration" and "error_occurred" not in b:
                    found[(name, b["name"])] = b["cpu_time"] * UNIT_MS[b.get("time_unit", "ns")]
    return found


def startup_rows(folder):
    path = os.path.join(folder, "startup.csv")
    if not os.path.exists(path):
        return [("start-up: time to the main menu", "vs. the floor program", "not measured", "<= 1.10 x", "no"),
                ("start-up: peak memory (VmHWM)", "vs. the floor program", "not measured", "<= 1.15 x", "no")]
    with open(path) as f:
        rows = list(csv.DictReader(f))
    labels = list(dict.fromkeys(r["label"] for r in rows))
    floor, program = ([r for r in rows if r["label"] == label] for label in labels[:2])
    ok = lambda r: r["ok"] == "True"
    pairs = [(p, q) for p, q in zip(program, floor) if ok(p) and ok(q) and float(q["window_ms"]) > 0]
    x_time = statistics.median(float(p["window_ms"]) / float(q["window_ms"]) for p, q in pairs)
    med = lambda runs, key: statistics.median(float(r[key]) for r in runs if ok(r) and r[key])
    x_hwm = med(program, "hwm_mib") / med(floor, "hwm_mib")
    return [
        ("start-up: time to the main menu", "%d interleaved rounds" % len(pairs),
         "%.2f x (%.0f ms vs. %.0f ms)" % (x_time, med(program, "window_ms"), med(floor, "window_ms")),
         "<= 1.10 x", "yes" if x_time <= 1.10 else "NO"),
        ("start-up: peak memory (VmHWM)", "%d interleaved rounds" % len(pairs),
         "%.2f x (%.1f MiB vs. %.1f MiB)" % (x_hwm, med(program, "hwm_mib"), med(floor, "hwm_mib")),
         "<= 1.15 x", "yes" if x_hwm <= 1.15 else "NO"),
    ]


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    folder = sys.argv[1]
    measured = load_benchmarks(folder)
    rows = startup_rows(folder)
    for file, name, what, size, goal in BENCHMARKS:
        value = measured.get((file, name))
        if value is None:
            rows.append((what, size, "not measured", "< %d ms" % goal if goal else "", "no"))
            continue
        met = "" if goal is None else ("yes" if value < goal else "NO")
        rows.append((what, size, milliseconds(value), "< %d ms" % goal if goal else "", met))
    print("| What | Size | Measured | Goal | Met |")
    print("|---|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print()
    print("Benchmarks: CPU time per operation; start-up: median of the per-round time ratios, "
          "ratio of the median peak memories.")
    return 1 if any(row[4] in ("NO", "no") for row in rows) else 0


if __name__ == "__main__":
    sys.exit(main())
