#!/usr/bin/env python3
"""The clipping checks once more with Windows 10's window metrics: its caption and menu bar are
taller than Wine's (23 and 20 pixels against 19 and 19), so every client area is 5 pixels
shorter. At every screen size, in Polish and Russian, no control of any panel reaches below the
main window's client area, no text of a label or check box is cut at its control's edge, and the
readings panel's boxes end above the client area's bottom. (Across, nothing changes with these
metrics: the panels' own pixel layouts decide that.)"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import BLOCK2  # noqa: E402

RED = (255, 0, 0)  # the readings panel's background
POLLING = {harness.PANEL_COMMANDS[p] for p in ("readings", "configuration", "oscilloscope")}


TEXT_STATICS = {0x0, 0x1, 0x2, 0xB, 0xC}  # SS_LEFT, SS_CENTER, SS_RIGHT, SS_SIMPLE, ...NOWORDWRAP
CHECK_BUTTONS = {0x2, 0x3, 0x4, 0x5, 0x6, 0x9}  # check boxes and radio buttons


def text_controls(controls, client):
    """Labels and check boxes that lie across inside the client area: their texts do not wrap,
    so a text too long for its control is cut at its right edge."""
    def is_text(c):
        if c["class"] == "Static":
            return c["style"] & 0x1F in TEXT_STATICS
        return c["class"] == "Button" and c["style"] & 0xF in CHECK_BUTTONS
    return [c for c in controls
            if is_text(c) and client[0] <= c["rect"][0] and c["rect"][2] <= client[2]]


class WindowMetricsTest(harness.E2ETestCase):

    def test_every_panel_at_every_size_fits_a_windows_10_client_area(self):
        s = self.session(screen=(1280, 1024))
        s.set_registry(harness.WINDOWS_10_METRICS)
        sim = s.start_sim(port=1)
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        window, client = d.rect(), d.client()
        # The metrics took: 3 frame + 23 caption + 20 menu bar above the client area.
        self.assertEqual(client[1] - window[1], 46)
        for language in ("pol", "rus"):
            d.command(harness.LANGUAGE_ITEMS[language])
            for size in range(1, 6):
                d.command(harness.SIZE_ITEMS[size])
                for panel, command in harness.PANEL_COMMANDS.items():
                    with self.subTest(language=language, size=size, panel=panel):
                        self.check_panel(s, sim, d, command, "%s_%d_%s" % (panel, size, language))

    def check_panel(self, s, sim, d, command, name):
        mark = sim.last_time()
        d.command(command)
        if command in POLLING:
            sim.wait_frame(BLOCK2, after=mark, timeout=20)  # a poll has refreshed the panel
        d.sync()
        client = d.client()
        controls = [c for c in d.controls() if c["visible"]]
        img = s.image(name)
        below = [(c["id"], c["rect"]) for c in controls
                 if c["rect"][1] < client[1] or c["rect"][3] > client[3]]
        self.assertEqual(below, [], client)
        self.assertEqual(harness.cut_texts(img, text_controls(controls, client)), [])
        if command == harness.PANEL_COMMANDS["readings"]:
            left, _, right, bottom = client
            last_rows = img.colors((left, bottom - 2, right, bottom))
            self.assertEqual(set(last_rows), {RED})


if __name__ == "__main__":
    harness.main()
