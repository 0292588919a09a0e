#!/usr/bin/env python3
"""The keyboard in the panels: the focus is in the panel shown, and Tab moves it through the
panel's tab stops as in any dialog (the message loop's IsDialogMessage, DS_CONTROL templates)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import BLOCK4  # noqa: E402

WS_TABSTOP = 0x00010000
WS_DISABLED = 0x08000000


def focus_after(d, keys, previous):
    d.key(*keys)
    return harness.wait_until(lambda: d.focus()["focus_id"] != previous and d.focus()["focus_id"],
                              5, what="the focus to move")


class KeyboardTest(harness.E2ETestCase):

    def test_focus_starts_in_the_panel_and_tab_walks_every_tab_stop_in_turn(self):
        s = self.session(screen=(1024, 768))
        sim = s.start_sim(port=1)
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        # The readings panel's only tab stop has the focus, and a repaint keeps it there.
        self.assertEqual(d.focus()["focus_id"], 1005)
        d.send(0x000F)  # WM_PAINT: the paint toggles the learn button
        self.assertEqual(d.focus()["focus_id"], 1005)

        d.command(harness.PANEL_COMMANDS["configuration"])
        # After a whole poll the rows the controller's values disable are disabled.
        sim.wait_poll(BLOCK4)
        d.sync()
        stops = [c["id"] for c in d.controls()
                 if c["style"] & WS_TABSTOP and not c["style"] & WS_DISABLED and c["visible"]]
        self.assertGreater(len(stops), 10)
        self.assertEqual(d.focus()["focus_id"], stops[0])
        seen = [stops[0]]
        for _ in stops:
            seen.append(focus_after(d, ["tab"], seen[-1]))
        self.assertEqual(seen, stops + stops[:1])  # in template order, round to the first
        # A new panel starts at its first stop.
        d.command(harness.PANEL_COMMANDS["readings"])
        self.assertEqual(d.focus()["focus_id"], 1005)


if __name__ == "__main__":
    harness.main()
