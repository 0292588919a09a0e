#!/usr/bin/env python3
"""Memory stays flat: panel re-creations, language and size changes must not grow the program
round after round. The probe inside the program counts its GDI objects, windows and the blocks of
its own heaps: none of them may grow window after window. The resident size of
its Wine process is the coarse gauge beside them (a bitmap loaded at each creation of the readings
panel grew it by 3.7 MB per 200 rounds); it drifts by 3 to 5 KB a round of panel switches because
Wine's common-controls static control never frees the 24 bytes it keeps for its font (Wine's
process heap grows by one block per static control created; Windows frees them)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

WARM_UP = 10
# Windows of rounds: a leak grows the program in every one, Wine settling its heap (steps of 64 KB
# or a few MB after a resize) in some.
WINDOWS = 4
WINDOW = 15
# Resident growth a round may show in every window: far below one leaked bitmap per creation
# (18 KB a round), above Wine's drift (3 to 5 KB a round of panel switches).
BOUND_KB_PER_ROUND = 10
PANELS = ["readings", "configuration", "options", "schema", "reset", "oscilloscope",
          "information"]


def resident_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise harness.HarnessError("no VmRSS for %d" % pid)


class MemoryTest(harness.E2ETestCase):

    def grows_by(self, d, pid, commands, what):
        """Resident growth per round of the commands in the window of rounds that grew least,
        after the warm-up; the program's GDI objects, windows and heap blocks do not grow in every
        window."""
        def rounds(n):
            for _ in range(n):
                for c in commands:
                    d.command(c)  # sent: handled when it returns
            return resident_kb(pid), d.resources()

        sizes, counts = zip(*[rounds(WARM_UP)] + [rounds(WINDOW) for _ in range(WINDOWS)])
        growth = [b - a for a, b in zip(sizes, sizes[1:])]
        print("%s: resident size %d KB, then growing by %s KB a window; objects %s" %
              (what, sizes[0], growth, counts))
        # A leak adds to a count in every window; Wine's own libraries now and then make an object
        # of theirs once, late (a GDI count went 313 to 315 in the fourth window of one run).
        for key in ("gdi_table", "windows", "heap_blocks"):
            values = [c[key] for c in counts]
            self.assertLessEqual(min(b - a for a, b in zip(values, values[1:])), 0,
                                 "%s: %s %s" % (what, key, values))
        return min(growth) / WINDOW

    def test_panels_languages_and_sizes_recreated_round_after_round_keep_memory_flat(self):
        s = self.session(screen=(1024, 768))
        s.start_sim(port=1)
        app = s.start_app()
        d = s.driver
        d.wait_main(30000)
        pid = app.proc.pid  # Wine runs the exe in the process it was started as
        panels = [harness.PANEL_COMMANDS[p] for p in PANELS]
        self.assertLess(self.grows_by(d, pid, panels, "panel switches"), BOUND_KB_PER_ROUND)
        languages = [harness.LANGUAGE_ITEMS[c] for c in ("ang", "rus", "pol")]
        self.assertLess(self.grows_by(d, pid, languages, "language changes"), BOUND_KB_PER_ROUND)
        sizes = [harness.SIZE_ITEMS[n] for n in (1, 2, 3)]
        self.assertLess(self.grows_by(d, pid, sizes, "size changes"), BOUND_KB_PER_ROUND)

        # The logo still shows after all of it: the one copy of its bitmap is never freed.
        d.command(harness.PANEL_COMMANDS["configuration"])
        d.command(harness.PANEL_COMMANDS["readings"])
        left, top, right, bottom = d.ctl(230)["rect"]
        img = s.image("readings_after")
        self.assertGreater(len(img.colors((left, top, right, bottom))), 3)
        d.close()
        self.assertEqual(d.wait_gone()["exit"], 0)


if __name__ == "__main__":
    harness.main()
