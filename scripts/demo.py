#!/usr/bin/env python3
"""The demo: kv720-sim on COM1 with live signals and KV720.exe under Wine on it.

With a display (DISPLAY set) the window opens there and the demo waits until it is closed.
Without one it first records a road test of kv720-sim's car with two markers, plots it with
kv720-cli plot and photographs the page in headless Chromium; then it runs under Xvfb
(1280x1024), visits every panel, each screen size on the readings
panel, and Russian then Polish, the configuration and options panels at every size in both
languages with their dialogs, the wiring diagram in its four languages and scrolled at 640x480,
the oscilloscope live and under its value cursor, a factory reset and a load, each undone from
its restore point, and writes one PNG per view to <build>/demo/.

Usage: demo.py <build dir>   (the Makefile's build folder, holding win/ and native/)
"""

import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402
from test_settings_file import bs2_text, sim_settings  # noqa: E402
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from chromium import BrowserError, Chromium  # noqa: E402

INI = harness.ini_text(port=1, language="pol")

PANELS = [("readings", 40005), ("configuration", 40006), ("options", 40007), ("schema", 40013),
          ("reset", 40008), ("oscilloscope", 40010), ("information", 40048)]
EMULATION_TYPE_LIST = 1018
OPTIONS_CORRECTIONS_BUTTON, OPTIONS_GAS_SENSOR_BUTTON = 1014, 1206
WM_COMMAND, CBN_DROPDOWN = 0x0111, 7
SIZES = [("640x480", 40028), ("800x600", 40029), ("1024x768", 40030), ("1280x960", 40032),
         ("1280x1024", 40031)]
RUSSIAN, POLISH = 40038, 40035
SCHEMA, SCHEMA_H_BAR, SCHEMA_V_BAR = 40013, 1120, 1121
SCHEMA_LANGUAGES = [("polish", POLISH), ("english", 40036), ("russian", RUSSIAN),
                    ("lithuanian", 40039)]

# The oscilloscope's cursor check box and scroll bar, and how long its sweep runs before the shot.
OSCILLOSCOPE, OSCILLOSCOPE_CURSOR, OSCILLOSCOPE_BAR = 40010, 1071, 1117
OSCILLOSCOPE_SWEEP = 5.0

# Time for a panel's polling to fill it from the controller (and the oscilloscope to draw traces).
SETTLE = 2.0

OPEN, OPEN_TITLE = 40014, 165


def backups(session):
    folder = os.path.join(session.run_dir, "Backups")
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


def open_settings(session, sim, d, path, shot=None):
    """File > Open of a settings file, through the open dialog as a user does it; with shot, the
    dialog is first shown the Backups folder and photographed. Waits for the 32 writes."""
    title = harness.language_text("pol", OPEN_TITLE)
    mark = sim.frames()[-1].time
    d.command(OPEN, wait=False)
    harness.wait_until(lambda: (d.attempt("modal 0") or {}).get("caption") == title, 20,
                       what="the open dialog")
    if shot:
        d.file_dialog(harness.windows_path(os.path.dirname(path)))  # into the folder
        time.sleep(1.0)
        shot()
    d.file_dialog(harness.windows_path(path))
    harness.wait_until(lambda: len(sim.writes(after=mark)) >= 32, 30, what="32 writes")
    d.wait_no_modal(10000)


def restore_points(session, sim, d, before_reset, shot):
    """After the reset: its restore point, a load of another car's file and its restore point,
    each opened again and checked to bring the simulator's settings back exactly. Answers the
    problems found."""
    problems = []
    points = backups(session)
    if len(points) != 1 or not points[0].endswith("_before-reset.bs2"):
        return ["no before-reset restore point after the reset: %s" % points]
    reset_point = points[0]
    factory = sim_settings(sim)
    other = os.path.join(session.run_dir, "another car.bs2")
    with open(other, "w", newline="") as f:
        f.write(bs2_text([(v + 17) % 256 for v in factory]))
    open_settings(session, sim, d, other)
    load_points = [p for p in backups(session) if p.endswith("_before-load.bs2")]
    if len(load_points) != 1:
        return ["no before-load restore point after the load: %s" % backups(session)]
    # The load's point, opened from the Backups folder, brings the factory values back; the
    # reset's point then brings back the car as it was before the reset.
    for point, expected, what in [(load_points[0], factory, "load"),
                                  (reset_point, before_reset, "reset")]:
        path = os.path.join(session.run_dir, "Backups", point)
        open_settings(session, sim, d, path, shot if what == "load" else None)
        if sim_settings(sim) != expected:
            problems.append("restore point %s did not bring the car back" % point)
        else:
            print("demo: Backups\\%s undid the %s exactly" % (point, what))
    return problems


# The road test: kv720-sim's car from a cold start (on gas at about 9 s, engine braking at 14 s),
# recorded with a marker at each, then plotted and photographed in headless Chromium.
ROAD_MARKERS = [(9.6, "hesitates at the switch to gas"), (14.4, "")]
ROAD_SECONDS = 20


def road_test(build, out_dir):
    """Records, plots and photographs the road test; answers the problems found."""
    folder = os.path.join(out_dir, "road-test")
    os.makedirs(folder, exist_ok=True)
    cli = os.path.join(build, "native", "kv720-cli")
    csv_path, page = os.path.join(folder, "road.csv"), os.path.join(folder, "road.html")
    sim = harness.Sim(harness.CONFIG.sim, folder, "road", static=False).start()
    try:
        start = time.monotonic()
        record = subprocess.Popen([cli, "--port", sim.link, "record", csv_path,
                                   "--seconds", str(ROAD_SECONDS)], stdin=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        for at, words in ROAD_MARKERS:
            time.sleep(max(0.0, at - (time.monotonic() - start)))
            record.stdin.write(words.encode() + b"\n")
            record.stdin.flush()
        record.stdin.close()
        if record.wait(ROAD_SECONDS + 30) != 0:
            return ["kv720-cli record ended with %d" % record.returncode]
    finally:
        sim.stop()
    subprocess.run([cli, "plot", csv_path, "-o", page], check=True, stdout=subprocess.DEVNULL)
    shot = os.path.join(out_dir, "00-road-test.png")
    try:
        with Chromium(width=1280, height=1250) as browser:
            browser.open("file://" + page, "document.documentElement.dataset.ready")
            # The cursor just after the first marker, as a fitter looks at the moment.
            x = browser.evaluate("(u => u.over.getBoundingClientRect().left + u.valToPos("
                                 "u.data[0].find(t => t > %r) || 0, 'x'))(kvCharts[0])"
                                 % (ROAD_MARKERS[0][0] + 0.4))
            y = browser.evaluate("kvCharts[0].over.getBoundingClientRect().top + 30")
            browser.mouse("mouseMoved", x, y)
            browser.screenshot(shot, clip=(0, 0, 1280, 1250))
            labels = browser.evaluate("document.querySelectorAll('.kv-marker-label').length")
    except BrowserError as e:
        return ["the road test page: %s" % e]
    print("demo: road test recorded in %s, plotted as %s" % (csv_path, page))
    print("  %s  (the road test page)" % shot)
    return [] if labels == len(ROAD_MARKERS) else ["the page shows %d markers" % labels]


def configure(build):
    config = harness.CONFIG
    config.exe = os.path.join(build, "win", "KV720.exe")
    config.driver = os.path.join(build, "win", "tests", "e2e", "kv720-driver.exe")
    config.sim = os.path.join(build, "native", "sim", "kv720-sim")
    config.source = ROOT
    # The tests' work folder: its cached Wine prefix template is shared.
    config.work = os.path.join(build, "native", "tests", "e2e", "work")
    config.require("exe", "driver", "sim")
    return config


def start(session):
    session.write_ini(INI)
    sim = session.start_sim(port=1, static=False)
    app = session.start_app()
    return sim, app


def interactive(display):
    session = harness.Session("demo-display", display=display)
    try:
        # A real screen has a window manager: let it manage and frame the window.
        subprocess.run([harness.wine_loader(), "reg", "delete", r"HKCU\Software\Wine\X11 Driver",
                        "/f"], env=session.prefix.env(display), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        sim, app = start(session)
        print("demo: KV720.exe runs on %s against kv720-sim (COM1 -> %s)" % (display, sim.link))
        print("demo: run folder %s; close the window to end" % session.run_dir)
        code = app.proc.wait()
        print("demo: KV720.exe ended with exit code %d" % code)
        return 0
    finally:
        session.close()


def headless(build, out_dir):
    problems = road_test(build, out_dir)
    session = harness.Session("demo", screen=(1280, 1024))
    shots = []
    try:
        sim, app = start(session)
        d = session.driver
        d.wait_main(60000)
        try:
            sim.wait_frame("65 01 01 67", timeout=20)
        except harness.HarnessError:
            print("demo: warning: the program has not asked kv720-sim for its identity yet",
                  file=sys.stderr)

        def shot(name):
            time.sleep(SETTLE)
            left, top, right, bottom = d.rect()
            full = session.screenshot(name)
            path = os.path.join(out_dir, name + ".png")
            # The window only (the rest of the X screen is black).
            subprocess.run([harness.tool("convert"), full, "-crop",
                            "%dx%d+%d+%d" % (right - left, bottom - top, max(left, 0), max(top, 0)),
                            "+repage", path], check=True)
            shots.append((path, d.caption()))

        for number, (name, command) in enumerate(PANELS, 1):
            d.command(command)
            shot("%02d-%s" % (number, name))
        d.command(40005)
        for number, (name, command) in enumerate(SIZES, len(PANELS) + 1):
            d.command(command)
            shot("%02d-readings-%s" % (number, name))
        d.command(RUSSIAN)
        shot("%02d-readings-russian" % (len(PANELS) + len(SIZES) + 1))
        d.command(POLISH)
        shot("%02d-readings-polish" % (len(PANELS) + len(SIZES) + 2))

        # The configuration panel has a template per size: every size in both languages.
        number = len(PANELS) + len(SIZES) + 3
        d.command(40006)
        for language, command in (("polish", POLISH), ("russian", RUSSIAN)):
            d.command(command)
            for name, size in SIZES:
                d.command(size)
                shot("%02d-configuration-%s-%s" % (number, name, language))
                number += 1
        d.command(POLISH)
        time.sleep(SETTLE)  # let the re-created panel poll before the dialog stops its polling

        # The emulation construction dialog opens on emulation type 0. As a user does it: the
        # list drops down (which stops polling), then the pick, posted since the dialog is modal.
        d.send(WM_COMMAND, (CBN_DROPDOWN << 16) | EMULATION_TYPE_LIST, 0, target="panel")
        d.pick(EMULATION_TYPE_LIST, 0, wait=False)
        d.modal(10000)
        shot("%02d-emulation-dialog" % number)
        d.key("escape")
        d.wait_no_modal(10000)
        number += 1

        # The wiring diagram in its four languages, whole at 1280x1024, then scrolled at 640x480.
        d.command(SCHEMA)
        d.command(SIZES[-1][1])
        for language, command in SCHEMA_LANGUAGES:
            d.command(command)
            shot("%02d-schema-%s" % (number, language))
            number += 1
        d.command(SIZES[0][1])
        for _ in range(3):
            d.scroll("h", SCHEMA_H_BAR, "pagedown")
        for _ in range(2):
            d.scroll("v", SCHEMA_V_BAR, "pagedown")
        shot("%02d-schema-640x480-scrolled" % number)
        d.command(POLISH)
        number += 1

        # The oscilloscope at 800x600: the running car swept for a few seconds, then frozen
        # under the value cursor (which stops all traffic) at an earlier sample.
        d.command(SIZES[1][1])
        d.command(OSCILLOSCOPE)
        time.sleep(OSCILLOSCOPE_SWEEP)
        shot("%02d-oscilloscope-live" % number)
        number += 1
        d.click(OSCILLOSCOPE_CURSOR)
        d.scroll("h", OSCILLOSCOPE_BAR, "thumbtrack", 120)
        shot("%02d-oscilloscope-cursor" % number)
        d.click(OSCILLOSCOPE_CURSOR)
        number += 1
        d.command(SIZES[-1][1])

        # The information dialog with its date editor open (leaving the panel discards the edit).
        d.command(40048)
        d.click(1180)
        shot("%02d-information-date-editor" % number)
        number += 1

        # A factory reset of the simulator: it refuses while the engine runs.
        d.command(40008)
        sim.control("engine stop")
        before_reset = sim_settings(sim)
        d.click(126, wait=False)
        d.modal(30000)
        shot("%02d-reset-done" % number)
        d.click(1, target="modal", wait=False)
        d.wait_no_modal(10000)
        number += 1

        # Restore points: the reset's, then a load's, each opened again from Backups.
        d.command(40005)
        problems += restore_points(session, sim, d, before_reset,
                                   lambda: shot("%02d-open-restore-point" % number))
        sim.control("engine run")
        number += 1

        # The options panel, every row shown (Options 0x2A, the factory byte, checks all four
        # option boxes), at every size in both languages, and its two dialogs, opened as a user
        # does (posted clicks, since the dialogs are modal).
        sim.control("set 3 1 %d" % 0x2A)
        d.command(40007)
        for language, command in (("polish", POLISH), ("russian", RUSSIAN)):
            d.command(command)
            for name, size in SIZES:
                d.command(size)
                shot("%02d-options-%s-%s" % (number, name, language))
                number += 1
        d.command(POLISH)
        d.command(SIZES[1][1])
        time.sleep(SETTLE)
        for button, name in ((OPTIONS_CORRECTIONS_BUTTON, "corrections"),
                             (OPTIONS_GAS_SENSOR_BUTTON, "gas-sensor")):
            d.click(button, wait=False)
            d.modal(10000)
            shot("%02d-%s-dialog" % (number, name))
            number += 1
            d.key("escape")
            d.wait_no_modal(10000)

        d.close()
        gone = d.wait_gone(20000)
        code = app.wait(20)
        print("demo: %d frames exchanged with kv720-sim; KV720.exe ended with exit code %d"
              % (len(sim.frames()), code if gone else -1))
        for problem in problems:
            print("demo: %s" % problem, file=sys.stderr)
    finally:
        session.close()
        for path, caption in shots:
            print("  %s  (%s)" % (path, caption))
        if shots:
            print("demo: %d screenshots in %s" % (len(shots), out_dir))
    return 1 if problems else 0


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    build = os.path.abspath(sys.argv[1])
    try:
        configure(build)
        if os.environ.get("DISPLAY"):
            return interactive(os.environ["DISPLAY"])
        out_dir = os.path.join(build, "demo")
        shutil.rmtree(out_dir, ignore_errors=True)
        os.makedirs(out_dir)
        return headless(build, out_dir)
    except harness.HarnessError as e:
        print("demo: %s" % e, file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
