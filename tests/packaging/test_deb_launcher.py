#!/usr/bin/env python3
"""The kv720 launcher of the .deb, unpacked, for a new user (an empty HOME): it prepares its
Wine prefix, maps COM1 to the device given with --port (kv720-sim's pseudo-terminal), starts the
program quietly, the program polls the simulator, and closing it ends the launcher with the
program's exit code.

    python3 test_deb_launcher.py --dist DIST --version-file BUILD/win/version.txt \\
        --driver ... --sim ... --work ...      (the e2e harness's options)
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "e2e"))
import harness  # noqa: E402

DIST = {}


class DebLauncherTest(unittest.TestCase):
    def setUp(self):
        harness.CONFIG.require("driver", "sim")
        self.dir = os.path.join(harness.CONFIG.work, "deb-launcher")
        leftovers = harness.Leftovers(harness.CONFIG.work, "deb-launcher")
        leftovers.clean()
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.root = os.path.join(self.dir, "root")
        subprocess.run(["dpkg-deb", "-x", DIST["deb"], self.root], check=True)
        self.home = os.path.join(self.dir, "home")
        os.makedirs(self.home)
        self.prefix = os.path.join(self.home, ".local", "share", "kv720", ".wine")
        leftovers.add(prefix=self.prefix)
        self.addCleanup(harness.kill_wine, self.prefix)
        self.xvfb = harness.Xvfb(1280, 960, log=os.path.join(self.dir, "xvfb.log")).start()
        self.addCleanup(self.xvfb.stop)
        # A Unix socket path has at most 107 bytes.
        sockets = tempfile.mkdtemp(prefix="kv720-deb-")
        self.addCleanup(shutil.rmtree, sockets, True)
        self.sim = harness.Sim(harness.CONFIG.sim, self.dir, "sim", socket_dir=sockets).start()
        self.addCleanup(self.sim.stop)

    def test_a_new_user_starts_the_program_on_the_simulator(self):
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home,
               "DISPLAY": self.xvfb.display, "USER": os.environ.get("USER", "root")}
        out_path, err_path = (os.path.join(self.dir, n) for n in ("launcher.out", "launcher.err"))
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            launcher = subprocess.Popen(
                [os.path.join(self.root, "usr", "bin", "kv720"), "--port", self.sim.link],
                env=env, stdout=out, stderr=err, cwd=self.dir)
        self.addCleanup(harness.stop_process, launcher)

        # Preparing the prefix takes a while; then the program polls the simulator on COM1.
        self.sim.wait_frame("65 01 01 67", timeout=300)
        self.sim.wait_frame("65 02 02 69", timeout=60)
        data = os.path.join(self.home, ".local", "share", "kv720")
        self.assertEqual(os.readlink(os.path.join(self.prefix, "ports", "com1")), self.sim.link)
        self.assertTrue(os.path.isfile(os.path.join(data, "Lang", "KV720_lang.pol")))

        driver = harness.Driver(harness.CONFIG.driver, harness.wine_env(self.prefix, self.xvfb.display),
                                os.path.join(self.dir, "driver.log"))
        self.addCleanup(driver.quit)
        self.assertEqual(driver.wait_main(60000)["class"], harness.MAIN_CLASS)
        driver.sync()
        subprocess.run([harness.tool("import"), "-display", self.xvfb.display, "-window", "root",
                        os.path.join(self.dir, "program.png")], timeout=60)  # for looking at
        driver.close()
        self.assertEqual(launcher.wait(60), 0)
        self.assertTrue(os.path.isfile(os.path.join(data, "KV720.ini")))

        with open(out_path, "rb") as f:
            self.assertEqual(f.read(), b"")
        with open(err_path, "rb") as f:
            said = f.read().decode()
        # Only the launcher's own words: the first start's progress, no Wine output.
        self.assertIn("first start: preparing Wine", said)
        self.assertEqual([line for line in said.splitlines() if not line.startswith("kv720: ")], [])


def main():
    import argparse
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--dist", required=True)
    parser.add_argument("--version-file", required=True)
    known, rest = parser.parse_known_args()
    with open(known.version_file) as f:
        version = f.read().strip().replace("-", ".")
    DIST["deb"] = os.path.join(os.path.abspath(known.dist), "kv720_%s_amd64.deb" % version)
    rest = harness.CONFIG.parse(rest)
    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    sys.exit(0 if program.result.wasSuccessful() and program.result.testsRun else 1)


if __name__ == "__main__":
    main()
