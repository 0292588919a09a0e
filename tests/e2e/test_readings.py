#!/usr/bin/env python3
"""The readings panel through the real exe under Wine against kv720-sim: what it draws for a
car on gas, the learn command, the offline state with its slower polling, the port taken from
KV720.ini, and the panel at every screen size and in Russian (screenshots kept in the work
folder, each checked for a round dial)."""

import itertools
import os
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import IDENTIFY, BLOCK2, BLOCK4  # noqa: E402

LEARN = "65 1F 32 B6"

SCALE = {1: (0.8, 0.77), 2: (1.0, 1.0), 3: (1.28, 1.32), 4: (1.6, 1.69), 5: (1.6, 1.81)}

CYAN = (0, 255, 255)
GREEN = (0, 255, 0)
DARK_GREEN = (0, 128, 0)
RED = (255, 0, 0)
WHITE = (255, 255, 255)
PALE_GREY = (210, 210, 210)


def ini(port=1, language="pol"):
    return "[Ustawienia]\r\nCommPort= %d\r\nLanguage= %s\r\n" % (port, language)


class Panel:
    """Maps the panel's 800 x 600 design frame to screen pixels for a screen size."""

    def __init__(self, driver, size):
        rect = driver.panel()["rect"]
        self.left, self.top = rect[0], rect[1]
        self.sx, self.sy = SCALE[size]

    def box(self, left, top, right, bottom, inset=0):
        return (self.left + int(left * self.sx) + inset, self.top + int(top * self.sy) + inset,
                self.left + int(right * self.sx) - inset, self.top + int(bottom * self.sy) - inset)

    def dial(self, x, y):
        """A dial point of the design frame: both axes scale by scaleX."""
        return self.left + int(x * self.sx), self.top + int(y * self.sx)


def area(box):
    return (box[2] - box[0]) * (box[3] - box[1])


def car_on_gas(sim):
    """Static signals of a running car on gas, off idle (TPS lamp 2), lambda lean."""
    sim.control("set 2 7 %d" % (0x08 | 0x20 | 0x01))
    sim.control("set 2 8 %d" % (0x01 | 0x40 | 0x80))


def start_on_gas(test, name, size=2, language="pol"):
    # Short session names: the simulator's control socket path must stay short.
    s = test.session(screen=harness.SCREEN_SIZES[size], name=name)
    s.stage(ini=ini(1, language))
    sim = s.start_sim(port=1)
    car_on_gas(sim)
    s.start_app()
    d = s.driver
    d.wait_main(30000)
    # Blocks 3 and 4 come every fourth tick: wait for both, then for a few more refreshes.
    sim.wait_frame(BLOCK4, timeout=30)
    mark = sim.wait_frame(BLOCK2, timeout=10).time
    sim.wait_for(lambda f: f.data == BLOCK2 and f.time > mark + 0.5, "in", timeout=10,
                 what="refreshes on gas")
    return s, sim, d


def farthest_tick(img, x, y, dx, dy, limit):
    """Distance from (x, y) along a ray to the farthest pixel in a tick colour."""
    found = 0
    for n in range(int(limit)):
        if img.pixel(x + dx * n, y + dy * n) in (PALE_GREY, RED):
            found = n
    return found


class ReadingsTest(harness.E2ETestCase):
    def test_on_gas_cyan_field_and_learn_command(self):
        s, sim, d = start_on_gas(self, "rd_gas")
        p = Panel(d, 2)
        fuel = p.box(490, 465, 615, 505, inset=2)
        img = s.wait_image("on_gas", lambda i: i.count(CYAN, fuel) > area(fuel) * 0.6)
        self.assertGreater(img.count(CYAN, fuel), area(fuel) * 0.6)
        self.assertEqual(img.count(GREEN, fuel), 0)
        # " LPG ON " turns dark green once the panel has seen the gas state.
        self.assertGreater(img.count(DARK_GREEN, p.box(590, 290, 660, 310)), 10)

        sim.clear_log()
        d.click(1005)
        sim.wait_frame(LEARN, timeout=10)
        # The controller learns for its learn time, then reports the outcome of the request in
        # red on message line 5 (language text 18, 19 or 20 by Block 2 byte 8 bits 4 and 5).
        line5 = p.box(40, 485, 440, 505, inset=1)
        img = s.wait_image("learn_done", lambda i: i.count(RED, line5) > 20, timeout=20)
        self.assertGreater(img.count(RED, line5), 20)

    def test_silent_controller_offline_texts_and_500ms_polling(self):
        s = self.session(screen=(800, 600), name="rd_offline")
        s.stage(ini=ini(1))
        sim = s.start_sim(port=1)
        sim.control("set 2 7 %d" % 0x08)
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        sim.wait_frame(BLOCK4, timeout=30)
        online = [f.time for f in sim.frames("in") if f.data == IDENTIFY]

        sim.control("silence on")
        silent_at = sim.frames("in")[-1].time
        # Offline after the third miss; then polling at the offline pace.
        def idents():
            return [f.time for f in sim.frames("in") if f.data == IDENTIFY and f.time > silent_at]
        idents = harness.wait_until(lambda: len(idents()) >= 12 and idents(), 30,
                                    what="twelve identifications")
        self.assertGreater(len(idents), 5)
        gaps = [b - a for a, b in zip(idents[3:], idents[4:])]
        online_gaps = [b - a for a, b in zip(online, online[1:])]
        self.assertLess(statistics.median(online_gaps), 0.2)
        self.assertGreater(statistics.median(gaps), 0.4)
        self.assertLess(statistics.median(gaps), 1.0)

        p = Panel(d, 2)
        img = s.image("offline")
        line = lambda k: p.box(40, 385 + 20 * k, 440, 405 + 20 * k, inset=1)
        self.assertGreater(img.count(RED, line(1)), 20)    # text 30, red
        self.assertEqual(img.count(RED, line(3)), 0)       # text 31, black
        self.assertGreater(area(line(3)) - img.count(WHITE, line(3)), 20)
        for k in (2, 4, 5):
            self.assertEqual(img.count(WHITE, line(k)), area(line(k)))
        fuel = p.box(490, 465, 615, 505, inset=2)
        self.assertGreater(img.count(GREEN, fuel), area(fuel) * 0.6)

    def test_port_from_settings_file(self):
        s = self.session(screen=(800, 600), name="rd_port3")
        s.stage(ini=ini(3))
        on1 = s.start_sim(port=1, name="com1")
        on3 = s.start_sim(port=3, name="com3")
        s.start_app()
        s.driver.wait_main(30000)
        on3.wait_frame(IDENTIFY, timeout=30)
        on3.wait_frame(BLOCK2, timeout=10)
        self.assertEqual(on1.frames("in"), [])

    def test_every_size_and_russian_with_a_round_dial(self):
        s, sim, d = start_on_gas(self, "rd_sizes", 5)
        for size, language in itertools.chain(harness.each_size(d, ("pol",)),
                                              harness.each_size(d, ("rus",), (2,))):
            with self.subTest(size=size, language=language):
                p = Panel(d, size)
                fuel = p.box(490, 465, 615, 505, inset=2)
                img = s.wait_image("readings_%d_%s" % (size, language),
                                   lambda i: i.count(CYAN, fuel) > area(fuel) * 0.6)
                self.assertGreater(img.count(CYAN, fuel), area(fuel) * 0.6)
                # The dial's tick ring reaches as far up as left and right: both axes of the
                # dial scale by scaleX (with scaleY the vertical reach would differ by 4 to 26
                # pixels at every size but 800x600).
                cx, cy = p.dial(625, 170)
                reach = [farthest_tick(img, cx, cy, dx, dy, 135 * p.sx)
                         for dx, dy in ((0, -1), (-1, 0), (1, 0))]
                self.assertLessEqual(max(reach) - min(reach), 2, reach)
                self.assertLess(abs(reach[0] - 124 * p.sx), 4, reach)
                # The logo is inside the speed box.
                logo = d.ctl(230)["rect"]
                speed_box = p.box(470, 20, 780, 320)
                inside = (speed_box[0] < logo[0] and logo[2] < speed_box[2] and
                          speed_box[1] < logo[1] and logo[3] < speed_box[3])
                self.assertTrue(inside, (logo, speed_box))


if __name__ == "__main__":
    harness.main()
