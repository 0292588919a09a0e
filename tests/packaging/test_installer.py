#!/usr/bin/env python3
"""The Windows installer under Wine, as a fitter uses it: a silent install into the user's
local programs folder, the installed program started as its shortcut starts it polls
kv720-sim, a second install refuses to replace the running program, the command line keeps a
restore point in Backups, and the uninstaller removes the program but keeps KV720.ini and
Backups.

    python3 test_installer.py --dist DIST --version-file BUILD/win/version.txt \\
        --exe ... --driver ... --sim ... --work ...      (the e2e harness's options)
"""

import glob
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "e2e"))
import harness  # noqa: E402

DIST = {}
INSTALLED = ["KV720.exe", "kv720-cli.exe", "User guide.txt", "LICENSE.txt", "Uninstall.exe",
             "Lang/KV720_lang.pol", "Lang/KV720_lang.rus"]
SHORTCUT = "KV720 service tool.lnk"
CLI_SHORTCUT = "KV720 command line.lnk"


def shortcut_strings(path):
    """The target's relative path and working folder of a .lnk file."""
    with open(path, "rb") as f:
        data = f.read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    offset = 0x4C
    if flags & 0x01:  # item id list
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    if flags & 0x02:  # link info
        offset += struct.unpack_from("<I", data, offset)[0]
    unicode = flags & 0x80
    strings = {}
    for bit, name in ((0x04, "name"), (0x08, "relative"), (0x10, "workdir"), (0x20, "args"),
                      (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, offset)[0]
            size = count * (2 if unicode else 1)
            raw = data[offset + 2:offset + 2 + size]
            strings[name] = raw.decode("utf-16-le" if unicode else "cp1252").rstrip("\0")
            offset += 2 + size
    return strings


class InstallerTest(harness.E2ETestCase):
    def wine(self, s, *args, cwd=None, timeout=180):
        done = subprocess.run([harness.wine_loader()] + list(args), env=s.prefix.env(s.display),
                              cwd=cwd or s.dir, capture_output=True, timeout=timeout)
        return done.returncode, done.stdout.decode("utf-8", "replace")

    def test_install_run_uninstall_keeps_the_users_files(self):
        s = self.session()
        code, _ = self.wine(s, DIST["setup"], "/S")
        self.assertEqual(code, 0)
        found = glob.glob(os.path.join(s.prefix.path, "drive_c", "users", "*", "AppData", "Local",
                                       "Programs", "KV720"))
        self.assertEqual(len(found), 1, "installed under the user's local programs folder")
        folder = found[0]
        for name in INSTALLED:
            self.assertTrue(os.path.isfile(os.path.join(folder, name)), name)
        menu = glob.glob(os.path.join(s.prefix.path, "drive_c", "users", "*", "AppData", "Roaming",
                                      "Microsoft", "Windows", "Start Menu", "Programs", SHORTCUT))
        self.assertEqual(len(menu), 1, "Start menu shortcut")
        programs = os.path.dirname(menu[0])
        for name in (SHORTCUT, CLI_SHORTCUT):
            link = shortcut_strings(os.path.join(programs, name))
            self.assertTrue(link["workdir"].lower().endswith(r"\appdata\local\programs\kv720"), link)
        self.assertEqual(shortcut_strings(os.path.join(programs, CLI_SHORTCUT))["args"],
                         "/k kv720-cli.exe ports")

        # Started as the shortcut starts it, the program polls the controller on COM1.
        sim = s.start_sim(port=1)
        log = open(os.path.join(s.dir, "app.log"), "ab")
        proc = subprocess.Popen([harness.wine_loader(), os.path.join(folder, "KV720.exe")],
                                cwd=folder, env=s.prefix.env(s.display), stdout=log, stderr=log)
        log.close()
        s.app = harness.App(proc, os.path.join(s.dir, "app.log"))
        d = s.driver
        d.wait_main(60000)
        sim.wait_frame("65 01 01 67", timeout=30)
        sim.wait_frame("65 02 02 69", timeout=30)  # Block 2: it reads, not only identifies
        s.screenshot("installed")
        # A second install while the program runs would replace its files under it: a silent
        # one stops (an interactive one asks to close the program first) and changes nothing.
        exe = os.path.join(folder, "KV720.exe")
        before = os.stat(exe).st_mtime_ns
        code, _ = self.wine(s, DIST["setup"], "/S")
        self.assertEqual(code, 2)
        self.assertEqual(os.stat(exe).st_mtime_ns, before)
        d.close()
        self.assertEqual(d.wait_gone()["exit"], 0)
        self.assertTrue(os.path.isfile(os.path.join(folder, "KV720.ini")))

        # The installed command line keeps its restore point in Backups beside it.
        code, out = self.wine(s, os.path.join(folder, "kv720-cli.exe"), "--port", "COM1", "save",
                              "car.bs2", cwd=folder)
        self.assertEqual(code, 0, out)
        code, out = self.wine(s, os.path.join(folder, "kv720-cli.exe"), "--port", "COM1", "load",
                              "car.bs2", cwd=folder)
        self.assertEqual(code, 0, out)
        backups = glob.glob(os.path.join(folder, "Backups", "*_before-load.bs2"))
        self.assertEqual(len(backups), 1, out)
        with open(os.path.join(folder, "KV720.ini"), "rb") as f:
            ini = f.read()

        # The uninstaller works on from a copy of itself: wait until it is done.
        code, _ = self.wine(s, os.path.join(folder, "Uninstall.exe"), "/S")
        self.assertEqual(code, 0)
        harness.wait_until(lambda: not os.path.exists(os.path.join(folder, "Uninstall.exe")), 60,
                           what="the uninstaller")
        harness.wait_until(lambda: not any(os.path.exists(os.path.join(programs, name))
                                           for name in (SHORTCUT, CLI_SHORTCUT)), 30,
                           what="the shortcuts to go")
        left = sorted(os.path.relpath(os.path.join(r, n), folder)
                      for r, _, names in os.walk(folder) for n in names)
        self.assertEqual(left, sorted(["KV720.ini", "car.bs2",
                                       os.path.relpath(backups[0], folder)]))
        with open(os.path.join(folder, "KV720.ini"), "rb") as f:
            self.assertEqual(f.read(), ini)


def main():
    import argparse
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--dist", required=True)
    parser.add_argument("--version-file", required=True)
    known, rest = parser.parse_known_args()
    with open(known.version_file) as f:
        version = f.read().strip()
    DIST["setup"] = os.path.join(os.path.abspath(known.dist), "KV720-%s-setup.exe" % version)
    sys.argv = [sys.argv[0]] + rest
    harness.main()


if __name__ == "__main__":
    main()
