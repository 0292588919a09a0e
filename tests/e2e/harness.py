"""End-to-end harness: KV720.exe under Wine and Xvfb, against kv720-sim, driven by kv720-driver.exe.

A test script builds on E2ETestCase and ends with `harness.main()`:

    class ShellTest(harness.E2ETestCase):
        def test_readings_caption(self):
            s = self.session(screen=(1280, 960))
            sim = s.start_sim(port=1)                     # kv720-sim on COM1, static signals
            s.start_app()                                 # KV720.exe in its run folder
            d = s.driver
            self.assertEqual(d.wait_main()["class"], "Tolmar KV 720")
            d.command(40006)                              # menu command, handled when it returns
            self.assertTrue(d.menu_state(40006)["hilite"])
            sim.wait_frame("65 01 01 67")                 # what the program really sent
            img = s.screenshot("configuration")           # work/<file>/<session>/configuration.png

Pieces (each usable alone): Xvfb (own X server of a chosen size), WinePrefix (throwaway copy of
a cached template prefix with COM1..COM4 redirected to <prefix>/ports/comN), Sim (kv720-sim with
its control socket and frame log), App (the program's process), Driver (one kv720-driver.exe
kept open, one command a line), Image (pixels of a PNG), Session (all of it, torn down even on
failure). Paths come from the command line (--exe, --driver, --sim, --source, --work) or from
the environment (KV720_EXE, KV720_DRIVER, KV720_SIM, KV720_SOURCE_DIR, KV720_E2E_WORK).
KV720_E2E_KEEP=1 keeps each session's Wine prefix for inspection.
"""

import argparse
import atexit
import fcntl
import json
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

MAIN_CLASS = "Tolmar KV 720"

# Wine must not offer to download Mono or Gecko, nor write desktop menu entries into $HOME.
WINE_DLL_OVERRIDES = "mscoree,mshtml=;winemenubuilder.exe=d"

# Screen sizes of the program (screenSize 1..5) and their Size menu items.
SIZE_ITEMS = {1: 40028, 2: 40029, 3: 40030, 4: 40032, 5: 40031}
SCREEN_SIZES = {1: (640, 480), 2: (800, 600), 3: (1024, 768), 4: (1280, 960), 5: (1280, 1024)}
PANEL_COMMANDS = {"readings": 40005, "configuration": 40006, "options": 40007, "schema": 40013,
                  "reset": 40008, "oscilloscope": 40010, "information": 40048}
LANGUAGE_ITEMS = {"pol": 40035, "ang": 40036, "rus": 40038, "lit": 40039, "ita": 40042}


class HarnessError(Exception):
    pass


class DriverError(HarnessError):
    """The driver answered ERR."""


LANGUAGE_CODE_PAGES = {"pol": "cp1250", "ang": "cp1250", "lit": "cp1250", "ita": "cp1250",
                       "rus": "cp1251"}


def language_text(code, number, source=None):
    """Text <number> of a language file as the program reads it: line <number> counted from 0,
    everything after its last "=", cut at 127 characters."""
    path = os.path.join(source or CONFIG.source, "Lang", "KV720_lang." + code)
    with open(path, "rb") as f:
        lines = f.read().decode(LANGUAGE_CODE_PAGES.get(code, "cp1250")).split("\n")
    line = lines[number]
    if "=" not in line:
        raise HarnessError("line %d of %s has no text" % (number, path))
    return line.rsplit("=", 1)[1][:127]


def texts(code):
    """The language-text lookup of one language: texts("pol")(176)."""
    return lambda number: language_text(code, number)


def windows_path(path):
    """A Linux path as the program under Wine sees it (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def ini_text(port=1, language="pol"):
    """KV720.ini as the program writes it."""
    return "[Ustawienia]\nCommPort= %d\nLanguage= %s\n" % (port, language)


# The five read requests as the controller receives them.
IDENTIFY = bytes.fromhex("65010167")
BLOCK2 = bytes.fromhex("65020269")
BLOCK3 = bytes.fromhex("6503036B")
BLOCK4 = bytes.fromhex("6504046D")
BLOCK5 = bytes.fromhex("6505056F")


def write_frame(address, value):
    """A write command as the controller sees it: the wire address is one more."""
    frame = [0x65, address + 1, value]
    return bytes(frame + [sum(frame) & 0xFF])


def is_write(frame):
    return len(frame.data) == 4 and frame.data[0] == 0x65 and frame.data[1] > 5


def assert_centred(test, d, modal):
    """The modal window lies in the middle of the desktop, to a pixel."""
    desktop = d.desktop()
    left, top, right, bottom = modal["rect"]
    test.assertLessEqual(abs(left - (desktop[2] - (right - left)) // 2), 1)
    test.assertLessEqual(abs(top - (desktop[3] - (bottom - top)) // 2), 1)


def each_size(d, languages=("pol", "rus"), sizes=(1, 2, 3, 4, 5)):
    """Switches the program to each language and screen size through its menu: one session
    serves every size (its screen must be large enough for the largest)."""
    for language in languages:
        d.command(LANGUAGE_ITEMS[language])
        for size in sizes:
            d.command(SIZE_ITEMS[size])
            yield size, language


def assert_fits(test, img, controls, client):
    """Every control is shown, lies inside the client area, and no text is cut at its edge."""
    for c in controls:
        test.assertTrue(c["visible"], c["id"])
        r = c["rect"]
        inside = (client[0] <= r[0] and r[2] <= client[2] and
                  client[1] <= r[1] and r[3] <= client[3])
        test.assertTrue(inside, (c["id"], r, client))
    test.assertEqual(cut_texts(img, controls), [])


def assert_fits_at_each_size(test, s, sim, d, panel, count, label, text, also=None):
    """At each size in Polish and Russian the panel (re-shown, then refreshed by a whole poll)
    has its `count` controls, all of them fitting (assert_fits), and control `label` shows text
    `text`; also(size, language) checks more."""
    for size, language in each_size(d):
        with test.subTest(size=size, language=language):
            d.command(PANEL_COMMANDS[panel])
            sim.wait_poll(BLOCK4)
            img = s.image("%s_%d_%s" % (panel, size, language))
            controls = d.controls()
            test.assertEqual(len(controls), count)
            assert_fits(test, img, controls, d.client())
            test.assertEqual(d.text(label), language_text(language, text))
            if also:
                also(size, language)


def open_panel(test, name, panel, size=2, language="pol", setup=None):
    """A session whose program, started in `language` at screen size `size` on COM1 against a
    fresh simulator (given to `setup` first), is online and shows `panel`."""
    s = test.session(screen=SCREEN_SIZES[size], name=name)
    s.stage(ini=ini_text(port=1, language=language))
    sim = s.start_sim(port=1)
    if setup:
        setup(sim)
    s.start_app()
    d = s.driver
    d.wait_main(30000)
    sim.wait_frame(IDENTIFY, timeout=30)
    d.command(PANEL_COMMANDS[panel])
    return s, sim, d


# ------------------------------------------------------------------------------------------------
# Configuration


class Config:
    def __init__(self):
        self.exe = os.environ.get("KV720_EXE", "")
        self.driver = os.environ.get("KV720_DRIVER", "")
        self.sim = os.environ.get("KV720_SIM", "")
        self.source = os.environ.get("KV720_SOURCE_DIR", os.path.dirname(os.path.dirname(HERE)))
        self.work = os.environ.get("KV720_E2E_WORK", "")
        self.keep = os.environ.get("KV720_E2E_KEEP", "") not in ("", "0")

    def parse(self, argv):
        """Takes the harness options out of argv; returns the rest (for unittest)."""
        parser = argparse.ArgumentParser(add_help=False)
        parser.add_argument("--exe")
        parser.add_argument("--driver")
        parser.add_argument("--sim")
        parser.add_argument("--source")
        parser.add_argument("--work")
        parser.add_argument("--keep", action="store_true")
        known, rest = parser.parse_known_args(argv)
        for key in ("exe", "driver", "sim", "source", "work"):
            value = getattr(known, key)
            if value:
                setattr(self, key, os.path.abspath(value))
        self.keep = self.keep or known.keep
        if not self.work:
            self.work = os.path.join(self.source, "build-e2e", "work")
        return rest

    def require(self, *names):
        for name in names:
            path = getattr(self, name)
            if not path or not os.path.exists(path):
                raise HarnessError("no %s at %r (pass --%s or set KV720_%s)"
                                   % (name, path, name, name.upper()))


CONFIG = Config()


def main():
    """Entry point of a test script: harness options, then unittest; non-zero on any failure."""
    rest = CONFIG.parse(sys.argv[1:])
    # A polite kill still tears the sessions down (atexit); SIGKILL is handled by Leftovers.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    result = program.result
    sys.exit(0 if result.wasSuccessful() and result.testsRun > 0 else 1)


# ------------------------------------------------------------------------------------------------
# Tools and processes


def tool(*names):
    for name in names:
        found = shutil.which(name) or (name if os.path.isabs(name) and os.access(name, os.X_OK) else None)
        if found:
            return found
    raise HarnessError("none of %s is installed" % ", ".join(names))


def wine_loader():
    return tool("wine64", "/usr/lib/wine/wine64", "wine")


def wineserver():
    return tool("wineserver", "/usr/lib/wine/wineserver", "wineserver64", "/usr/lib/wine/wineserver64")


# Tests run side by side on a shared machine: every wait gets this many times its nominal timeout
# (a timeout only ends a wait for an event that should have come; it never paces a test).
TIMEOUT_SCALE = float(os.environ.get("KV720_E2E_TIMEOUT_SCALE", "3"))


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    end = time.monotonic() + timeout * TIMEOUT_SCALE
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= end:
            raise HarnessError("timed out after %.1f s waiting for %s"
                               % (timeout * TIMEOUT_SCALE, what))
        time.sleep(interval)


def quiet_period(seconds):
    """Lets time pass for a check that something does not happen (nothing goes out during a
    drag): never a wait for something to happen. A slow machine only makes such a check see
    less, it cannot make it fail."""
    time.sleep(seconds)


def stop_process(proc, grace=3.0):
    """Ends a process this harness started: SIGTERM, then SIGKILL; by its pid only."""
    if proc is None or proc.poll() is not None:
        return
    try:
        proc.terminate()
        proc.wait(grace)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait(grace)
    except ProcessLookupError:
        pass


class Leftovers:
    """Remembers what a session started in <work>/<file>/<session>.leftovers.json, so that a run
    killed by a timeout (SIGKILL leaves no chance to clean up) is cleaned up by the next run of the
    same session, and by nothing else."""

    def __init__(self, work, name):
        self.path = os.path.join(work, name + ".leftovers.json")

    def _load(self):
        try:
            with open(self.path) as f:
                return json.load(f)
        except (OSError, ValueError):
            return {"pids": [], "prefixes": [], "dirs": []}

    def _save(self, data):
        tmp = self.path + ".tmp"
        with open(tmp, "w") as f:
            json.dump(data, f)
        os.replace(tmp, self.path)

    def add(self, pid=None, cmd=None, prefix=None, directory=None):
        data = self._load()
        if pid:
            data["pids"].append([pid, cmd])
        if prefix:
            data["prefixes"].append(prefix)
        if directory:
            data.setdefault("dirs", []).append(directory)
        self._save(data)

    def remove(self, pid=None, prefix=None, directory=None):
        data = self._load()
        data["pids"] = [p for p in data["pids"] if p[0] != pid]
        data["prefixes"] = [p for p in data["prefixes"] if p != prefix]
        data["dirs"] = [d for d in data.get("dirs", []) if d != directory]
        self._save(data)

    def clean(self):
        data = self._load()
        for pid, cmd in data["pids"]:
            try:
                with open("/proc/%d/cmdline" % pid, "rb") as f:
                    running = f.read().split(b"\0")[0].decode(errors="replace")
            except OSError:
                continue
            if cmd and os.path.basename(running) == os.path.basename(cmd):
                try:
                    os.kill(pid, signal.SIGKILL)
                except OSError:
                    pass
        for prefix in data["prefixes"]:
            if os.path.isdir(prefix):
                kill_wine(prefix)
        for directory in data.get("dirs", []):
            shutil.rmtree(directory, ignore_errors=True)
        self._save({"pids": [], "prefixes": [], "dirs": []})


def kill_wine(prefix):
    """Ends every Wine process of one prefix (and only of it)."""
    env = dict(os.environ, WINEPREFIX=prefix)
    try:
        subprocess.run([wineserver(), "-k"], env=env, timeout=20,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([wineserver(), "-w"], env=env, timeout=20,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except (subprocess.TimeoutExpired, HarnessError):
        pass


# ------------------------------------------------------------------------------------------------
# X server


class Xvfb:
    """An X server of its own, so the desktop size is what the test says."""

    def __init__(self, width=1280, height=960, depth=24, log=None):
        self.size = (width, height)
        self.depth = depth
        self.log = log
        self.proc = None
        self.display = None

    def start(self, timeout=15):
        read_fd, write_fd = os.pipe()
        out = open(self.log, "ab") if self.log else subprocess.DEVNULL
        try:
            self.proc = subprocess.Popen(
                [tool("Xvfb"), "-displayfd", str(write_fd), "-screen", "0",
                 "%dx%dx%d" % (self.size[0], self.size[1], self.depth), "-nolisten", "tcp",
                 "-noreset", "-br"],  # black root: whatever is not black was drawn
                pass_fds=(write_fd,), stdout=out, stderr=out, start_new_session=True)
        finally:
            os.close(write_fd)
            if out is not subprocess.DEVNULL:
                out.close()
        number = b""
        end = time.monotonic() + timeout
        try:
            while not number.endswith(b"\n"):
                left = end - time.monotonic()
                if left <= 0 or not select.select([read_fd], [], [], left)[0]:
                    raise HarnessError("Xvfb did not start")
                chunk = os.read(read_fd, 32)
                if not chunk:
                    raise HarnessError("Xvfb exited at start (see %s)" % self.log)
                number += chunk
        finally:
            os.close(read_fd)
        self.display = ":" + number.decode().strip()
        return self

    def stop(self):
        stop_process(self.proc)
        self.proc = None


# ------------------------------------------------------------------------------------------------
# Wine prefix

# Windows are unmanaged and Wine draws their frames itself: there is no window manager under
# Xvfb, so a managed window gets an empty caption bar and every hide or destroy of a top-level
# window waits 2 s for a window manager's answer that never comes. Then the fonts the panels ask
# for, and COM1..COM4 redirected inside the prefix: Wine's mount manager
# rewrites dosdevices/comN from this key at every start (a bare dosdevices link would be replaced
# by the machine's /dev/ttyS*), and a relative target keeps the template valid wherever a copy
# lives. A session then only places or removes <prefix>/ports/comN.
PREFIX_REG = r"""REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Ports]
"COM1"="../ports/com1"
"COM2"="../ports/com2"
"COM3"="../ports/com3"
"COM4"="../ports/com4"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Arial Narrow"="Liberation Sans Narrow"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
"""

# Windows 10's caption and menu bar are taller than Wine's (SM_CYCAPTION 23 and SM_CYMENU 20
# against 19 and 19), so its client areas are smaller. The sizes are in twips, 15 a pixel, one
# pixel less than the metric (the border line).
WINDOWS_10_METRICS = r"""REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics]
"CaptionHeight"="-330"
"MenuHeight"="-285"
"""

# Files of a prefix that Wine never rewrites in place: hard links to the template are enough.
_SHARED_SUFFIXES = (".dll", ".exe", ".sys", ".drv", ".nls", ".tlb", ".acm", ".ocx", ".cpl",
                    ".ax", ".ds", ".com", ".ttf", ".ttc", ".fon", ".mui", ".msstyles", ".vxd")


def wine_env(prefix, display=None):
    env = dict(os.environ)
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES=WINE_DLL_OVERRIDES)
    if display:
        env["DISPLAY"] = display
    env.pop("WINELOADERNOEXEC", None)
    return env


class WinePrefix:
    TEMPLATE_MARK = ".kv720-e2e-template"

    def __init__(self, path):
        self.path = path

    @property
    def ports(self):
        return os.path.join(self.path, "ports")

    def env(self, display=None):
        return wine_env(self.path, display)

    @classmethod
    def template(cls, work, display):
        """The cached template prefix under <work>, made once per Wine version (wineboot takes
        several seconds; a copy takes a fraction of one)."""
        os.makedirs(work, exist_ok=True)
        path = os.path.join(work, "wine-template")
        version = subprocess.run([wine_loader(), "--version"], capture_output=True,
                                 text=True).stdout.strip()
        version += " template:%08x" % zlib.crc32((PREFIX_REG + "marlett").encode())
        with open(os.path.join(work, "wine-template.lock"), "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            mark = os.path.join(path, cls.TEMPLATE_MARK)
            try:
                with open(mark) as f:
                    if f.read().strip() == version:
                        return path
            except OSError:
                pass
            tmp = path + ".tmp"
            for old in (tmp, path):
                if os.path.isdir(old):
                    kill_wine(old)
                    shutil.rmtree(old)
            env = wine_env(tmp, display)
            log = os.path.join(work, "wine-template.log")
            with open(log, "wb") as out:
                started = time.monotonic()
                subprocess.run([wine_loader(), "wineboot", "-i"], env=env, stdout=out, stderr=out,
                               timeout=300, check=True)
                subprocess.run([wineserver(), "-w"], env=env, timeout=120)
                # Wine's own Marlett draws the caption buttons; this Wine does not find it in
                # its data folder, so it goes where every prefix looks.
                for folder in ("/usr/share/wine/fonts", "/usr/lib/wine/fonts", "/opt/wine/share/wine/fonts"):
                    marlett = os.path.join(folder, "marlett.ttf")
                    fonts = os.path.join(tmp, "drive_c", "windows", "Fonts")
                    if os.path.exists(marlett) and os.path.isdir(fonts):
                        shutil.copy2(marlett, fonts)
                        break
                reg = os.path.join(tmp, "kv720-e2e.reg")
                with open(reg, "w") as f:
                    f.write(PREFIX_REG)
                subprocess.run([wine_loader(), "regedit", "/S", reg], env=env, stdout=out,
                               stderr=out, timeout=120, check=True)
                subprocess.run([wineserver(), "-k"], env=env, timeout=60)
                subprocess.run([wineserver(), "-w"], env=env, timeout=60)
                out.write(b"template made in %.1f s\n" % (time.monotonic() - started))
            with open(os.path.join(tmp, cls.TEMPLATE_MARK), "w") as f:
                f.write(version + "\n")
            os.rename(tmp, path)
            return path

    def create_from(self, template):
        if os.path.exists(self.path):
            kill_wine(self.path)
            shutil.rmtree(self.path)

        def link_or_copy(src, dst):
            rel = os.path.relpath(src, template)
            if rel.startswith("drive_c" + os.sep + "windows") and src.lower().endswith(_SHARED_SUFFIXES):
                os.link(src, dst)
            else:
                shutil.copy2(src, dst)

        shutil.copytree(template, self.path, symlinks=True, copy_function=link_or_copy)
        os.makedirs(self.ports, exist_ok=True)
        return self

    def set_port(self, number, target):
        """Points COM<number> at target (a pty link), or leaves it dangling when target is None."""
        link = os.path.join(self.ports, "com%d" % number)
        if os.path.lexists(link):
            os.unlink(link)
        if target:
            os.symlink(target, link)

    def kill(self):
        kill_wine(self.path)

    def remove(self):
        self.kill()
        shutil.rmtree(self.path, ignore_errors=True)


# ------------------------------------------------------------------------------------------------
# Simulator


class Frame:
    __slots__ = ("time", "direction", "data", "note")

    def __init__(self, t, direction, data, note=""):
        self.time, self.direction, self.data, self.note = t, direction, data, note

    def hex(self):
        return " ".join("%02X" % b for b in self.data)

    def __repr__(self):
        return "%.6f %s %s%s" % (self.time, self.direction, self.hex(),
                                 " # " + self.note if self.note else "")


def parse_bytes(entry):
    """"65 01 01 67", "65010167", b"..." or a list of ints -> bytes."""
    if isinstance(entry, (bytes, bytearray)):
        return bytes(entry)
    if isinstance(entry, str):
        return bytes.fromhex(entry)
    return bytes(entry)


def parse_frame_log(text):
    frames = []
    for line in text.splitlines():
        line, _, note = line.partition("#")
        parts = line.split()
        if len(parts) < 2 or parts[1] not in ("in", "out"):
            continue
        try:
            frames.append(Frame(float(parts[0]), parts[1], bytes(int(x, 16) for x in parts[2:]),
                                note.strip()))
        except ValueError:
            continue
    return frames


class Sim:
    """kv720-sim on a pseudo-terminal: its link, control socket and frame log."""

    def __init__(self, exe, directory, name, static=True, options=(), socket_dir=None):
        self.exe = exe
        self.name = name
        self.link = os.path.join(directory, name + ".pty")
        # A Unix socket path has at most 107 bytes; build folders can be deeper than that.
        self.socket = os.path.join(socket_dir or directory, name + ".sock")
        self.log = os.path.join(directory, name + ".frames")
        self.stdout_log = os.path.join(directory, name + ".out")
        self.static = static
        self.options = list(options)
        self.proc = None
        self._log_read, self._frames = 0, []

    def start(self, timeout=10):
        for path in (self.link, self.socket):
            if os.path.lexists(path):
                os.unlink(path)
        args = [self.exe, "--link", self.link, "--control", self.socket, "--log", self.log]
        if self.static:
            args.append("--static")
        args += self.options
        # Output goes to a file: a pipe nobody reads after start-up could fill and stall it.
        with open(self.stdout_log, "wb") as out:
            self.proc = subprocess.Popen(args, stdout=out, stderr=subprocess.STDOUT,
                                         start_new_session=True)

        def ready():
            with open(self.stdout_log, "rb") as f:
                text = f.read()
            if b"ready" in text:
                return True
            if self.proc.poll() is not None:
                raise HarnessError("kv720-sim exited at start: %r" % text)
            return False

        wait_until(ready, timeout, 0.02, "kv720-sim to get ready")
        return self

    def control(self, command, timeout=5):
        """One control command; answers the reply text after "ok", raises on "error"."""
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
            s.settimeout(timeout)
            s.connect(self.socket)
            s.sendall(command.encode() + b"\n")
            reply = b""
            while not reply.endswith(b"\n"):
                chunk = s.recv(4096)
                if not chunk:
                    break
                reply += chunk
        reply = reply.decode(errors="replace").strip()
        if not reply.startswith("ok"):
            raise HarnessError("kv720-sim %r: %s" % (command, reply))
        return reply[2:].strip()

    def frames(self, direction=None):
        """The frame log so far. Only its new whole lines are read each time: waits poll the log
        every 50 ms while it grows to thousands of frames."""
        try:
            with open(self.log, "rb") as f:
                size = os.fstat(f.fileno()).st_size
                if size < self._log_read:  # cleared: start again
                    self._log_read, self._frames = 0, []
                f.seek(self._log_read)
                chunk = f.read(size - self._log_read)
        except OSError:
            return []
        end = chunk.rfind(b"\n") + 1
        if end:
            self._frames += parse_frame_log(chunk[:end].decode("ascii", errors="replace"))
            self._log_read += end
        return [f for f in self._frames if direction is None or f.direction == direction]

    def last_time(self):
        """The time of the last frame in the log (0 for none): a mark for `after`."""
        frames = self.frames()
        return frames[-1].time if frames else 0.0

    def writes(self, after=None):
        """(address, value) of each write command the program sent (after a frame time)."""
        return [(f.data[1] - 1, f.data[2]) for f in self.frames("in")
                if is_write(f) and (after is None or f.time > after)]

    def wait_poll(self, last_block, after=None, timeout=15):
        """Waits for a whole poll ending with the read of `last_block` that started after `after`
        (default: now), then for the next identification: whatever the poll refreshed was
        refreshed between them. Answers that identification's time."""
        if after is None:
            after = self.last_time()
        # The poll must begin after the mark: a request the program sent before it but that the
        # simulator read late (a loaded machine, a reply the program had given up on) is logged
        # after the mark, and a poll ending in it refreshed nothing of what came since.
        if parse_bytes(last_block) != parse_bytes(IDENTIFY):
            after = self.wait_frame(IDENTIFY, after=after, timeout=timeout).time
        end = self.wait_frame(last_block, after=after, timeout=timeout)
        return self.wait_frame(IDENTIFY, after=end.time, timeout=timeout).time

    def wait_frame(self, data, direction="in", timeout=10, after=None):
        """The first frame with these bytes (after a time, if given); waits for it to come."""
        want = parse_bytes(data)
        return self.wait_for(lambda f: f.data == want, direction, timeout, after,
                             "frame %s %s" % (direction, want.hex(" ")))

    def wait_for(self, predicate, direction=None, timeout=10, after=None, what="frame"):
        """The first frame (of a direction, later than after) that predicate accepts."""

        def find():
            for f in self.frames(direction):
                if (after is None or f.time > after) and predicate(f):
                    return f
            return None

        try:
            return wait_until(find, timeout, 0.05, what)
        except HarnessError as e:
            tail = self.frames()[-8:]
            raise HarnessError("%s; last frames: %s" % (e, tail)) from None

    def clear_log(self):
        self.control("log-clear")
        self._log_read, self._frames = 0, []

    def stop(self):
        stop_process(self.proc)


# ------------------------------------------------------------------------------------------------
# The program and the driver


class App:
    """KV720.exe running under Wine in its run folder."""

    def __init__(self, proc, log):
        self.proc = proc
        self.log = log

    @property
    def running(self):
        return self.proc.poll() is None

    def wait(self, timeout=20):
        """The exit code of the program."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("KV720.exe still runs after %.0f s" % timeout) from None


class Driver:
    """One kv720-driver.exe kept open in batch mode: a command in, a JSON answer out."""

    def __init__(self, exe, env, log):
        self.log_path = log
        self.log = open(log, "ab")
        self.proc = subprocess.Popen([wine_loader(), exe], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=self.log, env=env)
        self._buffer = b""

    def raw(self, line, timeout=60):
        """Sends one command; answers (ok, payload) with the payload still a string."""
        if self.proc.poll() is not None:
            raise HarnessError("the driver has exited (%s)" % self.proc.returncode)
        self.log.write(b"> " + line.encode() + b"\n")
        self.proc.stdin.write(line.encode() + b"\n")
        self.proc.stdin.flush()
        fd = self.proc.stdout.fileno()
        end = time.monotonic() + timeout
        while b"\n" not in self._buffer:
            left = end - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                raise HarnessError("no answer from the driver to %r in %.0f s" % (line, timeout))
            chunk = os.read(fd, 65536)
            if not chunk:
                raise HarnessError("the driver exited while answering %r" % line)
            self._buffer += chunk
        answer, _, self._buffer = self._buffer.partition(b"\n")
        self.log.write(b"< " + answer + b"\n")
        self.log.flush()
        text = answer.decode("utf-8", errors="replace").rstrip("\r")
        status, _, payload = text.partition(" ")
        if status not in ("OK", "ERR"):
            raise HarnessError("driver said %r to %r" % (text, line))
        return status == "OK", payload

    def __call__(self, line, timeout=60):
        ok, payload = self.raw(line, timeout)
        if not ok:
            raise DriverError("%s: %s" % (line, payload))
        return json.loads(payload)

    def attempt(self, line, timeout=60):
        """Like calling the driver, but an ERR answer comes back as None."""
        ok, payload = self.raw(line, timeout)
        return json.loads(payload) if ok else None

    # The commands, by name. Targets: "panel" (default), "main", "modal" or a hwnd string.
    @staticmethod
    def _t(target):
        return "" if target in (None, "panel") else "@%s " % target

    def wait_main(self, timeout_ms=30000):
        return self("wait-main %d" % timeout_ms, timeout=timeout_ms / 1000 + 30)

    def main(self):
        return self("main")

    def caption(self):
        return self("caption")

    def rect(self):
        return self("rect")

    def client(self):
        return self("client")

    def desktop(self):
        return self("desktop")

    def panel(self):
        return self("panel")

    def window(self, target=None):
        return self("win " + self._t(target))

    def controls(self, target=None):
        return self("controls " + self._t(target))

    def ctl(self, control, target=None):
        return self("ctl %s%d" % (self._t(target), control))

    def text(self, control, target=None):
        return self("text %s%d" % (self._t(target), control))

    def enabled(self, control, target=None):
        return self("enabled %s%d" % (self._t(target), control))

    def visible(self, control, target=None):
        return self("visible %s%d" % (self._t(target), control))

    def check(self, control, target=None):
        return self("check %s%d" % (self._t(target), control))

    def sel(self, control, target=None):
        return self("sel %s%d" % (self._t(target), control))

    def count(self, control, target=None):
        return self("count %s%d" % (self._t(target), control))

    def items(self, control, target=None):
        return self("items %s%d" % (self._t(target), control))

    def pick(self, control, index, target=None, full=False, wait=True):
        return self("%spick %s%d %d%s" % ("" if wait else "nowait ", self._t(target), control,
                                          index, " full" if full else ""))

    def click(self, control, target=None, wait=True):
        return self("%sclick %s%d" % ("" if wait else "nowait ", self._t(target), control))

    def set_text(self, control, text, target=None):
        return self("settext %s%d %s" % (self._t(target), control, text))

    def scroll(self, direction, control, code, pos=0, target=None, wait=True):
        return self("%sscroll %s%s %d %s %d" % ("" if wait else "nowait ", self._t(target),
                                                direction, control, code, pos))

    def scroll_info(self, which, target=None):
        return self("scroll-info %s%s" % (self._t(target), which))

    def command(self, command_id, wait=True):
        """A menu command. Without wait it is posted (use it for commands that open a modal
        dialog: a sent command would not return before the dialog closes)."""
        return self("%scommand %d" % ("" if wait else "nowait ", command_id))

    def cwd(self):
        """The program's current directory (a Windows path)."""
        return self("cwd")

    def resources(self):
        """The program's object counts, read inside it: gdi, user (GetGuiResources; 0 under
        Wine), gdi_table (its live GDI objects), windows (its windows, children included),
        heap_blocks (busy blocks of the C runtime's heaps), process_heap_blocks (Wine's DLLs')."""
        return self("resources")

    def menu_state(self, command_id):
        return self("menu-state %d" % command_id)

    def menu_bar(self):
        return self("menu-bar")

    def menu_tree(self):
        return self("menu-tree")

    def modal(self, wait_ms=0):
        return self("modal %d" % wait_ms, timeout=wait_ms / 1000 + 30)

    def wait_modal(self, caption, timeout=30):
        """The program's modal window once it carries this caption."""
        def found():
            m = self.attempt("modal 0")
            return m if m and m["caption"] == caption else None
        return wait_until(found, timeout, 0.1, "a window captioned %r" % caption)

    def wait_no_modal(self, wait_ms=5000):
        return self("wait-no-modal %d" % wait_ms, timeout=wait_ms / 1000 + 30)

    def file_dialog(self, path, target="modal"):
        """Types a path (a Windows path, see windows_path) into the common file dialog and
        presses its OK button."""
        return self("file-dialog %s%s" % (self._t(target) if target != "modal" else "", path))

    def message_box(self, target="modal"):
        """{"caption", "text", "icon", "buttons": [{"id", "text"}], ...} of a message box."""
        return self("message-box %s" % (self._t(target) if target != "modal" else ""))

    def answer(self, button_id, target="modal"):
        """Presses a dialog's button: IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7."""
        return self("answer %s%d" % (self._t(target) if target != "modal" else "", button_id))

    def key(self, *keys, target=None):
        return self("key %s%s" % (self._t(target), " ".join(keys)))

    def alt_f4(self):
        return self("alt-f4")

    def input(self, chord):
        return self("input " + chord)

    def close(self):
        return self("close")

    def wait_gone(self, timeout_ms=15000):
        return self("wait-gone %d" % timeout_ms, timeout=timeout_ms / 1000 + 30)

    def sync(self):
        return self("sync")

    def send(self, message, wparam=0, lparam=0, target="main", wait=True):
        return self("%ssend %s%d %d %d" % ("" if wait else "nowait ", self._t(target) or "@panel ",
                                           message, wparam, lparam))

    def post(self, message, wparam=0, lparam=0, target="main"):
        return self("post %s%d %d %d" % (self._t(target) or "@panel ", message, wparam, lparam))

    def focus(self):
        return self("focus")

    def quit(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.close()
                self.proc.wait(10)
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait(5)
        self.proc.stdout.close()
        self.log.close()


# ------------------------------------------------------------------------------------------------
# Pictures


class Image:
    """The RGB pixels of a picture file (read through ImageMagick's convert)."""

    def __init__(self, path):
        self.path = path
        data = subprocess.run([tool("convert"), path, "-depth", "8", "ppm:-"],
                              capture_output=True, check=True).stdout
        header = re.match(rb"P6\s+(?:#.*\s+)*(\d+)\s+(\d+)\s+(\d+)\s", data)
        if not header:
            raise HarnessError("cannot read %s" % path)
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.pixels = data[header.end():header.end() + 3 * self.width * self.height]

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("pixel (%d, %d) outside %dx%d" % (x, y, self.width, self.height))
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def _box(self, box):
        if box is None:
            return 0, 0, self.width, self.height
        left, top, right, bottom = box
        return max(0, left), max(0, top), min(self.width, right), min(self.height, bottom)

    def colors(self, box=None):
        """{(r, g, b): count} inside box = (left, top, right, bottom)."""
        left, top, right, bottom = self._box(box)
        counts = {}
        for y in range(top, bottom):
            row = self.pixels[3 * (y * self.width + left):3 * (y * self.width + right)]
            for i in range(0, len(row), 3):
                c = (row[i], row[i + 1], row[i + 2])
                counts[c] = counts.get(c, 0) + 1
        return counts

    def count(self, color, box=None, tolerance=0):
        return sum(n for c, n in self.colors(box).items()
                   if all(abs(a - b) <= tolerance for a, b in zip(c, color)))

    def non_black(self, box=None):
        return sum(n for c, n in self.colors(box).items() if c != (0, 0, 0))


def cut_texts(img, controls):
    """Ids of the static texts and check boxes whose text reaches their far edge (the left one for
    a right-aligned text): the panels' texts do not wrap, so a text too long for its control is
    cut there. Etched lines, push buttons and group boxes (whose frames are drawn at the edges)
    are left out."""
    cut = []
    for c in controls:
        if c["class"] not in ("Static", "Button") or (c["style"] & 0x1F) == 0x10:  # etched line
            continue
        if c["class"] == "Button" and (c["style"] & 0x0F) in (0, 1, 7):
            continue
        left, top, right, bottom = c["rect"]
        colours = img.colors((left, top, right, bottom))
        background = max(colours, key=colours.get)
        right_aligned = c["class"] == "Static" and (c["style"] & 0x1F) == 2  # SS_RIGHT
        edge = (left, left + 1) if right_aligned else (right - 2, right - 1)
        ink = [img.pixel(x, y) for x in edge for y in range(top, bottom)]
        if any(max(abs(a - b) for a, b in zip(p, background)) > 80 for p in ink):
            cut.append(c["id"])
    return cut


# ------------------------------------------------------------------------------------------------
# Session


_OPEN_SESSIONS = []


@atexit.register
def _close_open_sessions():
    for session in list(_OPEN_SESSIONS):
        session.close()


class Session:
    """One test's world: an X server, a Wine prefix, a run folder, simulators, the program and
    a driver. close() tears all of it down and is safe to call on a half-built session."""

    def __init__(self, name, screen=(1280, 960), config=CONFIG, display=None):
        config.require("exe", "driver")
        self.config = config
        self.name = re.sub(r"[^A-Za-z0-9_.-]+", "_", name)
        # Test files run side by side: each keeps its sessions in a folder of its own. The X
        # display (-displayfd), the wineserver (one per prefix) and the simulators' sockets
        # (a fresh temporary folder) are each the session's own too.
        root = os.path.join(config.work, os.path.splitext(os.path.basename(sys.argv[0]))[0])
        self.dir = os.path.join(root, self.name)
        os.makedirs(root, exist_ok=True)
        self.leftovers = Leftovers(root, self.name)
        self.leftovers.clean()
        if os.path.isdir(self.dir):
            shutil.rmtree(self.dir)
        os.makedirs(self.dir)
        self.run_dir = os.path.join(self.dir, "run")
        self.sims = []
        self.socket_dir = None
        self.app = None
        self._driver = None
        self.prefix = None
        self.timings = {}
        _OPEN_SESSIONS.append(self)
        try:
            started = time.monotonic()
            if display:  # someone's screen: the demo with a display
                self.xvfb, self.display = None, display
            else:
                self.xvfb = Xvfb(screen[0], screen[1], log=os.path.join(self.dir, "xvfb.log")).start()
                self.leftovers.add(pid=self.xvfb.proc.pid, cmd="Xvfb")
                self.display = self.xvfb.display
            self.timings["xvfb"] = time.monotonic() - started
            started = time.monotonic()
            template = WinePrefix.template(config.work, self.display)
            self.timings["template"] = time.monotonic() - started
            started = time.monotonic()
            self.prefix = WinePrefix(os.path.join(self.dir, "prefix"))
            self.leftovers.add(prefix=self.prefix.path)
            self.prefix.create_from(template)
            self.timings["prefix"] = time.monotonic() - started
            for n in range(1, 5):
                self.prefix.set_port(n, None)
            self.stage()
        except BaseException:
            self.close()
            raise

    # Run folder ----------------------------------------------------------------------------

    def stage(self, ini=None, lang=True):
        """(Re)builds the run folder: KV720.exe, Lang\\ from the repository, and KV720.ini when
        given (text, written as is)."""
        if os.path.isdir(self.run_dir):
            shutil.rmtree(self.run_dir)
        os.makedirs(self.run_dir)
        shutil.copy2(self.config.exe, os.path.join(self.run_dir, "KV720.exe"))
        if lang:
            source = os.path.join(self.config.source, "Lang")
            target = os.path.join(self.run_dir, "Lang")
            os.makedirs(target)
            for name in sorted(os.listdir(source)):
                if name.startswith("KV720_lang."):
                    shutil.copy2(os.path.join(source, name), target)
        if ini is not None:
            self.write_ini(ini)
        return self.run_dir

    def write_ini(self, text):
        data = text.encode("cp1250") if isinstance(text, str) else text
        with open(os.path.join(self.run_dir, "KV720.ini"), "wb") as f:
            f.write(data)

    def read_ini(self):
        try:
            with open(os.path.join(self.run_dir, "KV720.ini"), "rb") as f:
                return f.read().decode("cp1250")
        except FileNotFoundError:
            return None

    # Peers -----------------------------------------------------------------------------------

    def start_sim(self, port=1, static=True, options=(), name=None):
        """kv720-sim with COM<port> pointing at it (port None: not connected to any COM)."""
        self.config.require("sim")
        if self.socket_dir is None:
            self.socket_dir = tempfile.mkdtemp(prefix="kv720-e2e-")
            self.leftovers.add(directory=self.socket_dir)
        sim = Sim(self.config.sim, self.dir, name or "sim%d" % (len(self.sims) + 1), static, options,
                  self.socket_dir)
        sim.start()
        self.leftovers.add(pid=sim.proc.pid, cmd=self.config.sim)
        self.sims.append(sim)
        if port:
            self.prefix.set_port(port, sim.link)
        return sim

    def set_port(self, number, target):
        self.prefix.set_port(number, target)

    def set_registry(self, text):
        """Imports registry text (REGEDIT4) into this session's prefix; call before start_app."""
        path = os.path.join(self.dir, "session.reg")
        with open(path, "w") as f:
            f.write(text)
        with open(os.path.join(self.dir, "regedit.log"), "ab") as out:
            subprocess.run([wine_loader(), "regedit", "/S", path], env=self.prefix.env(self.display),
                           stdout=out, stderr=out, timeout=120, check=True)

    def start_app(self, env=None, cwd=None, exe=None):
        """KV720.exe of the run folder; with cwd, started from that folder instead (as from the
        Start menu's search or a shortcut without a working folder); with exe, that copy of the
        program."""
        log = os.path.join(self.dir, "app.log")
        out = open(log, "ab")
        environment = self.prefix.env(self.display)
        environment.update(env or {})
        started = time.monotonic()
        if exe is None:
            exe = "KV720.exe" if cwd is None else os.path.join(self.run_dir, "KV720.exe")
        proc = subprocess.Popen([wine_loader(), exe], cwd=cwd or self.run_dir, env=environment,
                                stdout=out, stderr=out)
        out.close()
        self.app = App(proc, log)
        self.app.started = started
        return self.app

    def local_app_data(self, *parts):
        """(Unix path, Windows path) of %LOCALAPPDATA% of the prefix's user, or of a path in it."""
        users = os.path.join(self.prefix.path, "drive_c", "users")
        (user,) = [u for u in os.listdir(users) if u.lower() != "public"]
        unix = os.path.join(users, user, "AppData", "Local", *parts)
        return unix, "\\".join(["C:\\users", user, "AppData", "Local"] + list(parts))

    def temp_folder(self, *parts):
        """Unix path of the prefix user's %TEMP% (Wine's is C:\\users\\<user>\\Temp), or of a
        path in it."""
        with open(os.path.join(self.prefix.path, "user.reg"), encoding="utf-8",
                  errors="replace") as f:
            value = re.search(r'^"TEMP"="C:\\\\(.*)"$', f.read(), re.M).group(1)
        return os.path.join(self.prefix.path, "drive_c", *value.split("\\\\"), *parts)

    def set_work_area(self, left, top, width, height):
        """The work area a window manager with a taskbar announces on the X screen
        (_NET_WORKAREA), which Wine gives the program as the monitor's work area; before
        start_app."""
        subprocess.run([tool("xprop"), "-display", self.display, "-root", "-f", "_NET_WORKAREA",
                        "32c", "-set", "_NET_WORKAREA", "%d, %d, %d, %d" % (left, top, width, height)],
                       check=True, timeout=30)

    @property
    def driver(self):
        if self._driver is None:
            self.config.require("driver")
            self._driver = Driver(self.config.driver, self.prefix.env(self.display),
                                  os.path.join(self.dir, "driver.log"))
        return self._driver

    # Looking ---------------------------------------------------------------------------------

    def screenshot(self, name, settle=True):
        """The whole X screen as <session>/<name>.png; with settle, pending paints are done
        first."""
        if settle and self.app and self.app.running:
            # Wine puts a window's pixels on the X screen when its thread finds its queue empty.
            # One sync paints what is invalid and waits for a round trip through the program's
            # message loop; the second cannot be answered before the program went back to that
            # loop, where it flushed.
            try:
                self.driver.sync()
                self.driver.sync()
            except HarnessError:
                pass
        path = os.path.join(self.dir, name + ".png")
        subprocess.run([tool("import"), "-display", self.display, "-window", "root", path],
                       check=True, timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return path

    def image(self, name, settle=True):
        return Image(self.screenshot(name, settle))

    def wait_image(self, name, predicate, timeout=15):
        """Screenshots until predicate(image) holds (the pixels a test waits for); answers the
        last image, which the caller asserts on."""
        last = []

        def shot():
            last[:] = [self.image(name)]
            return predicate(last[0])
        try:
            wait_until(shot, timeout, 0.1, "the picture %s" % name)
        except HarnessError:
            pass
        return last[0]

    # Teardown --------------------------------------------------------------------------------

    def close(self):
        if self not in _OPEN_SESSIONS:
            return
        _OPEN_SESSIONS.remove(self)
        if self.app is not None and self.app.running and self.display:
            try:  # how the screen looked at the end, for a failed test
                self.screenshot("last", settle=False)
            except Exception:
                pass
        if self._driver is not None:
            try:
                self._driver.quit()
            except Exception:
                pass
        if self.prefix is not None:
            self.prefix.kill()
        if self.app is not None:
            try:
                self.app.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.app.proc.kill()
                self.app.proc.wait(5)
        for sim in self.sims:
            sim.stop()
            self.leftovers.remove(pid=sim.proc.pid)
        if self.socket_dir:
            shutil.rmtree(self.socket_dir, ignore_errors=True)
            self.leftovers.remove(directory=self.socket_dir)
        if getattr(self, "xvfb", None) is not None and self.xvfb.proc is not None:
            pid = self.xvfb.proc.pid if self.xvfb.proc else None
            self.xvfb.stop()
            self.leftovers.remove(pid=pid)
        if self.prefix is not None:
            if self.config.keep:
                self.prefix.kill()
            else:
                self.prefix.remove()
            self.leftovers.remove(prefix=self.prefix.path)


class E2ETestCase(unittest.TestCase):
    """Gives each test its sessions, torn down whatever happens."""

    def setUp(self):
        started = time.monotonic()
        self.addCleanup(lambda: print("%s: %.1f s" % (self.id().split(".", 1)[-1],
                                                      time.monotonic() - started)))

    def session(self, screen=(1280, 960), name=None):
        s = Session(name or self.id().split(".", 1)[-1], screen)
        self.addCleanup(s.close)
        return s

    def start_program(self, screen=(1280, 960), sim=True, static=True, ini=None, port=1,
                      timeout_ms=30000):
        """A session with kv720-sim on COM<port>, KV720.exe started and its main window up.
        Answers (session, sim or None)."""
        s = self.session(screen)
        if ini is not None:
            s.write_ini(ini)
        peer = s.start_sim(port=port, static=static) if sim else None
        s.start_app()
        s.driver.wait_main(timeout_ms)
        return s, peer


# ------------------------------------------------------------------------------------------------
# By hand: python3 harness.py --exe .. --driver .. --sim .. [--screen 1280x960] [--ini TEXT]
# starts the program against kv720-sim on COM1 and reads driver commands from stdin; lines
# starting with "!" are the harness's own: "!shot NAME", "!frames [N]", "!sim COMMAND".


def _by_hand():
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--screen", default="1280x960")
    parser.add_argument("--ini")
    parser.add_argument("--live", action="store_true", help="live signals instead of static")
    known, rest = parser.parse_known_args(sys.argv[1:])
    CONFIG.parse(rest)
    width, height = (int(v) for v in known.screen.split("x"))
    session = Session("by-hand", screen=(width, height))
    try:
        if known.ini is not None:
            session.write_ini(known.ini.replace("\\n", "\n"))
        sim = session.start_sim(port=1, static=not known.live)
        session.start_app()
        d = session.driver
        print("display %s, folder %s" % (session.display, session.dir), flush=True)
        for line in sys.stdin:
            line = line.strip()
            if not line:
                continue
            try:
                if line.startswith("!shot"):
                    print(session.screenshot(line[5:].strip() or "shot"))
                elif line.startswith("!frames"):
                    count = int(line[7:].strip() or 10)
                    for frame in sim.frames()[-count:]:
                        print(frame)
                elif line.startswith("!sim "):
                    print(sim.control(line[5:]))
                else:
                    ok, payload = d.raw(line)
                    print(("OK " if ok else "ERR ") + payload, flush=True)
            except HarnessError as e:
                print("harness: %s" % e, flush=True)
    finally:
        session.close()


if __name__ == "__main__":
    _by_hand()
