#!/usr/bin/env python3
"""What make dist put in dist/: each package holds what a fitter needs and nothing of the
build, and every program in it carries the build's version and its manifest.

    python3 test_packages.py --dist DIST --version-file BUILD/win/version.txt
"""

import argparse
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LANGUAGES = ["KV720_lang.%s" % code for code in ("ang", "ita", "lit", "pol", "rus")]
ARGS = argparse.Namespace(dist=None, version=None)


def package(pattern):
    return os.path.join(ARGS.dist, pattern % ARGS.version)


def check_windows_program(test, data, name, window):
    strings = pe.version_strings(data)
    test.assertEqual(strings.get("FileVersion"), ARGS.version, name)
    test.assertEqual(strings.get("ProductVersion"), ARGS.version, name)
    test.assertEqual(strings.get("ProductName"), "KV720 service tool", name)
    test.assertEqual(strings.get("OriginalFilename"), name)
    manifest = pe.manifest(data)
    test.assertIn('level="asInvoker"', manifest, name)
    test.assertIn("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", manifest, name)  # Windows 10 and 11
    test.assertIn("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", manifest, name)  # Windows 7
    if window:
        test.assertRegex(manifest, r"<dpiAware[^>]*>false</dpiAware>")
        test.assertRegex(manifest, r"<gdiScaling[^>]*>true</gdiScaling>")
        test.assertIn("Microsoft.Windows.Common-Controls", manifest)


class WindowsZipTest(unittest.TestCase):
    def test_the_program_folder_as_a_fitter_unpacks_it(self):
        with zipfile.ZipFile(package("KV720-%s-windows.zip")) as z:
            names = sorted(z.namelist())
            self.assertEqual(names, sorted(["KV720.exe", "kv720-cli.exe", "User guide.txt",
                                            "LICENSE.txt"] + ["Lang/" + n for n in LANGUAGES]))
            for name, window in (("KV720.exe", True), ("kv720-cli.exe", False)):
                check_windows_program(self, z.read(name), name, window)
            for lang in LANGUAGES:
                with open(os.path.join(SOURCE, "Lang", lang), "rb") as f:
                    self.assertEqual(z.read("Lang/" + lang), f.read(), lang)
            guide = z.read("User guide.txt")
            licence = z.read("LICENSE.txt")
        # Notepad of older Windows shows one long line without carriage returns.
        for text in (guide, licence):
            self.assertEqual(text.count(b"\n"), text.count(b"\r\n"))
        self.assertIn(b"MIT License", licence)
        self.assertIn(b"Device Manager", guide)


class InstallerTest(unittest.TestCase):
    def test_a_64_bit_installer_that_asks_for_no_administrator(self):
        with open(package("KV720-%s-setup.exe"), "rb") as f:
            data = f.read()
        machine = int.from_bytes(data[int.from_bytes(data[0x3C:0x40], "little") + 4:][:2], "little")
        self.assertEqual(machine, 0x8664)  # amd64: this Wine runs no 32-bit programs
        self.assertEqual(pe.version_strings(data).get("ProductVersion"), ARGS.version)
        self.assertIn('level="asInvoker"', pe.manifest(data))


class DebTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.deb = package("kv720_%s_amd64.deb").replace(ARGS.version, ARGS.version.replace("-", "."))
        cls.root = tempfile.mkdtemp(prefix="kv720-deb-")
        subprocess.run(["dpkg-deb", "-x", cls.deb, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["rm", "-rf", cls.root])

    def field(self, name):
        return subprocess.run(["dpkg-deb", "-f", self.deb, name], capture_output=True, text=True,
                              check=True).stdout.strip()

    def test_control_fields(self):
        self.assertEqual(self.field("Package"), "kv720")
        self.assertEqual(self.field("Version"), ARGS.version.replace("-", "."))
        self.assertEqual(self.field("Architecture"), "amd64")
        depends = [d.strip() for d in self.field("Depends").split(",")]
        self.assertTrue(any(d.startswith("wine64") for d in depends), depends)
        self.assertTrue(any(d.startswith("libc6") for d in depends), depends)

    def test_files_and_modes(self):
        listing = subprocess.run(["dpkg-deb", "-c", self.deb], capture_output=True, text=True,
                                 check=True).stdout
        files = {}
        for line in listing.splitlines():
            mode, owner, _, _, _, path = line.split(None, 5)
            self.assertEqual(owner, "root/root", path)
            if not mode.startswith("d"):
                files[path[1:]] = mode
        expected = {"/usr/bin/kv720": "-rwxr-xr-x", "/usr/bin/kv720-cli": "-rwxr-xr-x",
                    "/usr/lib/kv720/KV720.exe": "-rw-r--r--",
                    "/usr/lib/udev/rules.d/60-kv720-latency.rules": "-rw-r--r--",
                    "/usr/share/applications/kv720.desktop": "-rw-r--r--",
                    "/usr/share/doc/kv720/copyright": "-rw-r--r--",
                    "/usr/share/doc/kv720/user-guide.txt": "-rw-r--r--"}
        expected.update({"/usr/lib/kv720/Lang/" + n: "-rw-r--r--" for n in LANGUAGES})
        expected.update({"/usr/share/icons/hicolor/%dx%d/apps/kv720.png" % (s, s): "-rw-r--r--"
                         for s in (16, 32, 48)})
        self.assertEqual(files, expected)
        with open(os.path.join(self.root, "usr/lib/kv720/KV720.exe"), "rb") as f:
            check_windows_program(self, f.read(), "KV720.exe", True)

    def test_native_command_line_runs_without_sanitizer_or_build_libraries(self):
        cli = os.path.join(self.root, "usr", "bin", "kv720-cli")
        done = subprocess.run([cli, "--version"], capture_output=True, text=True, timeout=30)
        self.assertEqual((done.returncode, done.stdout), (0, "kv720-cli %s\n" % ARGS.version))
        libraries = subprocess.run(["ldd", cli], capture_output=True, text=True).stdout
        for unwanted in ("libasan", "libubsan", "libstdc++", "libgcc_s"):
            self.assertNotIn(unwanted, libraries)

    def test_udev_rule_sets_the_latency_timer_of_ftdi_adapters_only(self):
        with open(os.path.join(self.root, "usr/lib/udev/rules.d/60-kv720-latency.rules")) as f:
            rules = [l.strip() for l in f if l.strip() and not l.lstrip().startswith("#")]
        self.assertEqual(len(rules), 1, rules)
        keys = [k.strip() for k in rules[0].split(",")]
        self.assertEqual(sorted(keys), sorted(['ACTION=="add"', 'SUBSYSTEM=="usb-serial"',
                                               'DRIVER=="ftdi_sio"', 'ATTR{latency_timer}="1"']))

    def test_desktop_entry_starts_the_launcher_with_its_icon(self):
        with open(os.path.join(self.root, "usr/share/applications/kv720.desktop")) as f:
            lines = f.read().splitlines()
        self.assertEqual(lines[0], "[Desktop Entry]")
        entry = dict(line.split("=", 1) for line in lines[1:] if "=" in line)
        self.assertEqual((entry["Type"], entry["Exec"], entry["Icon"], entry["Terminal"]),
                         ("Application", "kv720", "kv720", "false"))
        for size in (16, 32, 48):
            icon = os.path.join(self.root, "usr/share/icons/hicolor/%dx%d/apps/kv720.png" % (size, size))
            out = subprocess.run(["identify", "-format", "%w %h", icon], capture_output=True,
                                 text=True, check=True).stdout
            self.assertEqual(out, "%d %d" % (size, size))


def main():
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--dist", required=True)
    parser.add_argument("--version-file", required=True)
    known, rest = parser.parse_known_args()
    ARGS.dist = known.dist
    with open(known.version_file) as f:
        ARGS.version = f.read().strip()
    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    sys.exit(0 if program.result.wasSuccessful() and program.result.testsRun else 1)


if __name__ == "__main__":
    main()
