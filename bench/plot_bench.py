#!/usr/bin/env python3
"""make bench: kv720-cli plot on a two-hour drive at the recorder's cadence (130,000 rows), and
the page opening in headless Chromium. Prints the two times; asserts nothing.

Usage: plot_bench.py --cli build/bench/kv720-cli [--rows 130000] [--work DIR]
"""

import argparse
import math
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from chromium import Chromium  # noqa: E402

HEADER = ("time_s,lambda_V,tps_V,tps_switch,actuator_steps,att_init_steps,engine_rpm,"
          "temperature_C,on_gas,learning,lpg_off,cut_off,learn_finished,learn_failed,"
          "speed_reached,temperature_reached,lambda_state,tps_lamp,engine_running,marker,note\n")
UNITS = ("s,V,V,,steps,steps,rpm,degC,0/1,0/1,0/1,0/1,0/1,0/1,0/1,0/1,0..7,0..4,0/1,,"
         "started 2024-05-01 09:30:07; registration KR720SM; controller 3.05\n")


def drive(path, rows):
    """A made-up drive at 18 rows a second: lambda swinging, speed and throttle wandering, the
    stepper following, warming up, on gas after a minute, a marker every ten minutes."""
    with open(path, "w", newline="") as f:
        f.write(HEADER + UNITS)
        for i in range(rows):
            t = i / 18.0
            rpm = int(2500 + 1500 * math.sin(t / 40) + 500 * math.sin(t / 3)) // 50 * 50
            tps = 0.6 + 1.8 * max(0.0, math.sin(t / 40))
            lam = 0.45 + 0.4 * math.sin(t * 2.1)
            gas = 1 if t > 60 else 0
            cut = 1 if rpm > 3800 and math.sin(t / 3) < -0.3 else 0
            marker = str(i // 10800) if i and i % 10800 == 0 else ""
            f.write("%.3f,%.4f,%.4f,,%d,110,%d,%d,%d,0,0,%d,0,0,%d,1,%d,%d,1,%s,\n" % (
                t, lam, tps, 110 + int(30 * math.sin(t / 7)), rpm, min(90, 20 + int(t / 10)),
                gas, cut, gas, 1 if lam > 0.5 else 4, 1 + int(tps), marker))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--rows", type=int, default=130000)
    parser.add_argument("--work", default=None)
    args = parser.parse_args()
    work = args.work or tempfile.mkdtemp(prefix="kv720-plot-bench-")
    os.makedirs(work, exist_ok=True)
    csv_path, page = os.path.join(work, "drive.csv"), os.path.join(work, "drive.html")
    drive(csv_path, args.rows)

    runs = []
    for _ in range(3):
        start = time.monotonic()
        subprocess.run([args.cli, "plot", csv_path, "-o", page], check=True,
                       stdout=subprocess.DEVNULL)
        runs.append(time.monotonic() - start)
    opens = []
    with Chromium(width=1280, height=1400, timeout=120) as browser:
        for _ in range(3):
            browser.call("Page.navigate", url="about:blank")
            start = time.monotonic()
            browser.open("file://" + page, "document.documentElement.dataset.ready", timeout=120)
            opens.append(time.monotonic() - start)
        if browser.errors:
            print("plot bench: the page reported %s" % browser.errors, file=sys.stderr)
    size = os.path.getsize(page) / 1e6
    print("plot, %d rows (%.1f MB CSV, %.1f MB page):" % (args.rows, os.path.getsize(csv_path) / 1e6,
                                                          size))
    print("  kv720-cli plot writes the page   %6.2f s (best of 3; worst %.2f s)" % (min(runs), max(runs)))
    print("  Chromium opens and draws it      %6.2f s (best of 3; worst %.2f s)" % (min(opens), max(opens)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
