#!/usr/bin/env python3
"""The whole chain at once: KV720.exe starts under Wine against kv720-sim on COM1, shows its
main window, talks to the controller, and ends cleanly on WM_CLOSE."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import IDENTIFY  # noqa: E402


class SmokeTest(harness.E2ETestCase):
    def test_starts_polls_com1_and_closes(self):
        s = self.session(screen=(1280, 960))
        sim = s.start_sim(port=1)
        app = s.start_app()
        d = s.driver

        main = d.wait_main(30000)
        self.assertEqual(main["class"], harness.MAIN_CLASS)
        # No KV720.ini: the program starts in Polish on the readings panel.
        self.assertEqual(d.caption(), harness.language_text("pol", 175))
        self.assertEqual(d.panel()["class"], "#32770")

        # The readings panel identifies the controller on COM1, and the controller answers.
        ident = sim.wait_frame(IDENTIFY, timeout=30)
        reply = sim.wait_for(lambda f: len(f.data) == 4 and f.data[0] == 0x65, "out",
                             after=ident.time, what="the identification reply")
        self.assertEqual(reply.data[1], 0x01)

        # The window is drawn: most of its area is not the black of the empty X screen.
        left, top, right, bottom = d.rect()
        img = s.image("started")
        area = (right - left) * (bottom - top)
        self.assertGreater(img.non_black((left, top, right, bottom)), area // 2)
        self.assertGreater(len(img.colors((left, top, right, bottom))), 3)

        d.close()
        gone = d.wait_gone(20000)
        self.assertEqual(gone.get("exit"), 0)
        self.assertEqual(app.wait(20), 0)


if __name__ == "__main__":
    harness.main()
