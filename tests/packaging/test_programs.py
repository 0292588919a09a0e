#!/usr/bin/env python3
"""The Windows build's two programs carry the build's version and their manifests, as the
packages ship them (the same checks as test_packages.py, on the build, with every make test).

    python3 test_programs.py --win BUILD/win
"""

import argparse
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_packages  # noqa: E402

WIN = {}


class ProgramsTest(unittest.TestCase):
    def test_version_resource_and_manifest_of_each_program(self):
        for name, window in (("KV720.exe", True), ("kv720-cli.exe", False)):
            with open(os.path.join(WIN["dir"], name), "rb") as f:
                test_packages.check_windows_program(self, f.read(), name, window)


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--win", required=True)
    known, rest = parser.parse_known_args()
    WIN["dir"] = known.win
    with open(os.path.join(known.win, "version.txt")) as f:
        test_packages.ARGS.version = f.read().strip()
    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    sys.exit(0 if program.result.wasSuccessful() and program.result.testsRun else 1)
