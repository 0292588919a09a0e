#!/usr/bin/env python3
"""The kv720 launcher (packaging/linux/kv720) with a stand-in Wine: how it maps the ports,
what it says about devices, that it prepares its prefix once and passes the exit code through.

The launcher is laid out as the .deb installs it (bin/kv720, bin/kv720-cli, lib/kv720/), with a
fake kv720-cli that lists made-up ports and a fake Wine that records each call.
"""

import grp
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LAUNCHER = os.path.join(SOURCE, "packaging", "linux", "kv720")

FAKE_WINE = """#!/bin/bash
# Records the call; "KV720.exe" ends with the code in $FAKE_EXIT.
echo "$PWD|$WINEPREFIX|$WINEDEBUG|$*" >> "$FAKE_LOG"
case "$1" in
  wineboot) mkdir -p "$WINEPREFIX/drive_c/windows" ;;
  regedit) cp "$3" "$WINEPREFIX/imported.reg" ;;
  KV720.exe) echo "wine noise"; echo "more noise" >&2; exit "${FAKE_EXIT:-0}" ;;
esac
"""


def write(path, text, mode=0o644):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, mode)


class LauncherTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="kv720-launcher-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        root = os.path.join(self.dir, "usr")
        self.bin = os.path.join(root, "bin")
        os.makedirs(self.bin)
        shutil.copy2(LAUNCHER, os.path.join(self.bin, "kv720"))
        self.lib = os.path.join(root, "lib", "kv720")
        write(os.path.join(self.lib, "KV720.exe"), "program 1")
        write(os.path.join(self.lib, "Lang", "KV720_lang.pol"), "texts")
        self.devices = os.path.join(self.dir, "dev")
        os.makedirs(self.devices)
        self.ports = []
        self.home = os.path.join(self.dir, "home")
        os.makedirs(self.home)
        self.log = os.path.join(self.dir, "wine.calls")
        write(os.path.join(self.dir, "wine"), FAKE_WINE, 0o755)
        write(os.path.join(self.dir, "wineserver"), "#!/bin/sh\nexit 0\n", 0o755)
        self.data = os.path.join(self.home, ".local", "share", "kv720")
        self.prefix = os.path.join(self.data, ".wine")

    def device(self, name, mode=0o666):
        path = os.path.join(self.devices, name)
        write(path, "")
        os.chmod(path, mode)
        return path

    def fake_cli(self, *devices):
        lines = "".join("%s  USB serial adapter\\n" % d for d in devices) or "No serial ports found.\\n"
        write(os.path.join(self.bin, "kv720-cli"),
              "#!/bin/sh\n[ \"$1\" = ports ] && printf '%s'\n" % lines, 0o755)

    def run_launcher(self, *args, exit_code=0, as_nobody=False):
        user = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] if as_nobody else []
        env = {"PATH": os.environ["PATH"], "HOME": self.home,
               "USER": "nobody" if as_nobody else "fitter",
               "WINE": os.path.join(self.dir, "wine"),
               "WINESERVER": os.path.join(self.dir, "wineserver"),
               "FAKE_LOG": self.log, "FAKE_EXIT": str(exit_code)}
        done = subprocess.run(user + [os.path.join(self.bin, "kv720")] + list(args), env=env,
                              capture_output=True, text=True, timeout=60)
        return done.returncode, done.stdout, done.stderr

    def calls(self):
        try:
            with open(self.log) as f:
                return [line.rstrip("\n").split("|") for line in f]
        except FileNotFoundError:
            return []

    def links(self):
        out = {}
        for n in range(1, 5):
            link = os.path.join(self.prefix, "ports", "com%d" % n)
            out[n] = os.readlink(link) if os.path.islink(link) else None
        return out

    def test_first_start_prepares_the_prefix_then_starts_quietly_in_the_program_folder(self):
        self.fake_cli()
        port = self.device("ttyUSB0")
        code, out, err = self.run_launcher("--port", port, exit_code=0)
        self.assertEqual(code, 0, err)
        self.assertEqual(out, "")
        self.assertIn("first start: preparing Wine", err)
        self.assertNotIn("noise", out + err)  # Wine's own output goes to the log
        with open(os.path.join(self.data, "wine.log")) as f:
            self.assertIn("more noise", f.read())
        commands = [c[3].split()[0] for c in self.calls()]
        self.assertEqual(commands, ["wineboot", "regedit", "KV720.exe"])
        cwd, prefix, debug, _ = self.calls()[-1]
        self.assertEqual((cwd, prefix, debug), (self.data, self.prefix, "-all"))
        with open(os.path.join(self.prefix, "imported.reg")) as f:
            registry = f.read()
        self.assertIn('[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n"COM1"="../ports/com1"', registry)
        self.assertIn('"COM4"="../ports/com4"', registry)
        for name in ("KV720.exe", os.path.join("Lang", "KV720_lang.pol")):
            self.assertTrue(os.path.isfile(os.path.join(self.data, name)), name)

        # The next start: no preparation, the user's files kept, a newer program copied in.
        write(os.path.join(self.data, "KV720.ini"), "[Ustawienia]\n")
        write(os.path.join(self.lib, "KV720.exe"), "program 2")
        code, _, err = self.run_launcher("--port", port)
        self.assertEqual(code, 0, err)
        self.assertNotIn("preparing", err)
        self.assertEqual([c[3].split()[0] for c in self.calls()][3:], ["KV720.exe"])
        with open(os.path.join(self.data, "KV720.exe")) as f:
            self.assertEqual(f.read(), "program 2")
        self.assertTrue(os.path.exists(os.path.join(self.data, "KV720.ini")))

    def test_ports_given_or_found_become_com1_to_com4_in_order(self):
        usb0, usb1, s0 = self.device("ttyUSB0"), self.device("ttyUSB1"), self.device("ttyS0")
        self.fake_cli(s0, usb0, usb1)
        cases = [
            ((), {1: s0, 2: usb0, 3: usb1, 4: None}),
            (("--port", usb1), {1: usb1, 2: None, 3: None, 4: None}),
            (("--port=" + usb1, "-p", usb0), {1: usb1, 2: usb0, 3: None, 4: None}),
        ]
        for args, expected in cases:
            code, _, err = self.run_launcher(*args)
            self.assertEqual(code, 0, err)
            self.assertEqual(self.links(), expected, args)

    def test_a_bare_device_name_is_under_dev(self):
        self.fake_cli()
        if not os.path.exists("/dev/null"):
            self.skipTest("no /dev/null")
        code, _, err = self.run_launcher("--port", "null")
        self.assertEqual(code, 0, err)
        self.assertEqual(self.links()[1], "/dev/null")

    def test_no_port_found_starts_the_program_and_says_so(self):
        self.fake_cli()
        code, _, err = self.run_launcher()
        self.assertEqual(code, 0)
        self.assertIn("no serial port found", err)
        self.assertEqual(self.links(), {1: None, 2: None, 3: None, 4: None})

    def test_usage_mistakes_end_before_wine_starts(self):
        self.fake_cli()
        port = self.device("ttyUSB0")
        for args, message in [
            (("--port", os.path.join(self.devices, "ttyUSB9")), "ttyUSB9 does not exist"),
            (("--port",), "option --port needs a device"),
            (("--serial", port), "unknown argument --serial"),
            (("-p", port) * 5, "at most four --port options"),
        ]:
            code, _, err = self.run_launcher(*args)
            self.assertEqual(code, 2, args)
            self.assertIn(message, err)
        self.assertEqual(self.calls(), [])

    def test_the_programs_exit_code_comes_back(self):
        self.fake_cli()
        for expected in (0, 1, 3):
            code, _, _ = self.run_launcher("--port", self.device("ttyUSB0"), exit_code=expected)
            self.assertEqual(code, expected)

    def test_a_device_the_user_may_not_open_names_the_group_to_join(self):
        self.fake_cli()
        if os.geteuid() != 0:
            port = self.device("ttyUSB0", mode=0o000)
            code, _, err = self.run_launcher("--port", port)
            self.assertEqual(code, 0)  # the program starts all the same, offline on that port
            self.assertIn("you may not open %s" % port, err)
            return
        # Root opens anything: the launcher runs as nobody, the device belongs to dialout.
        try:
            dialout = grp.getgrnam("dialout").gr_gid
        except KeyError:
            self.skipTest("no dialout group")
        port = self.device("ttyUSB0", mode=0o660)
        os.chown(port, 0, dialout)
        for folder, dirs, files in os.walk(self.dir):
            for name in dirs + files:
                os.chmod(os.path.join(folder, name), 0o777 if name in dirs else
                         os.stat(os.path.join(folder, name)).st_mode | 0o666)
        os.chmod(self.dir, 0o777)
        os.chmod(port, 0o660)
        code, _, err = self.run_launcher("--port", port, as_nobody=True)
        self.assertEqual(code, 0, err)
        self.assertIn("you may not open %s: join the group dialout" % port, err)
        self.assertIn("sudo usermod -aG dialout", err)


if __name__ == "__main__":
    unittest.main(verbosity=2)
