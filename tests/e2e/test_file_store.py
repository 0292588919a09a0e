#!/usr/bin/env python3
"""The Win32 file store against files another program holds for a moment (as a virus scanner
or the search indexer does: open without FILE_SHARE_DELETE), under Wine, which refuses renames
and deletes of such a file as Windows does, and lets a reader share it with an appender. kv720-file-store-check.exe holds and lets go."""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


class FileStoreTest(harness.E2ETestCase):
    def test_replaces_and_appends_wait_out_a_held_file(self):
        s = self.session()
        check = os.path.join(os.path.dirname(harness.CONFIG.driver), "kv720-file-store-check.exe")
        folder = os.path.join(s.dir, "files")
        os.makedirs(folder)
        done = subprocess.run([harness.wine_loader(), check, harness.windows_path(folder)],
                              env=s.prefix.env(s.display), capture_output=True, timeout=300)
        out = done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
        self.assertEqual(done.returncode, 0, out + done.stderr.decode("utf-8", "replace"))
        self.assertEqual(out.count("\nok ") + out.startswith("ok "), 7, out)
        # No temporary file left behind, held or not.
        self.assertEqual(sorted(os.listdir(folder)), ["KV720.ini", "KV720.log", "car.bs2"])


if __name__ == "__main__":
    harness.main()
