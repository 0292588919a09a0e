#!/usr/bin/env python3
"""The serial set-up as Windows documents it: a device that refuses the line settings is not
used at all (it used to be written to with whatever settings it had)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import BLOCK2  # noqa: E402


class SerialPortTest(harness.E2ETestCase):

    def test_a_device_that_refuses_the_line_settings_gets_no_byte_and_reads_offline(self):
        s = self.session(screen=(1024, 768))
        # COM1 is a plain file: it opens, but has no serial state to get or set.
        path = os.path.join(s.dir, "not-a-port")
        open(path, "wb").close()
        s.set_port(1, path)
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        # Three misses take the link offline: the caption says so.
        offline = harness.language_text("pol", 175)
        harness.wait_until(lambda: d.caption() == offline, 10, 0.1, "the offline caption")
        self.assertEqual(os.path.getsize(path), 0)
        # The program still answers and moves to a working port at once.
        sim = s.start_sim(port=2)
        d.command(40020)
        sim.wait_frame(BLOCK2, timeout=20)
        self.assertEqual(os.path.getsize(path), 0)
        d.close()
        self.assertEqual(d.wait_gone()["exit"], 0)


if __name__ == "__main__":
    harness.main()
