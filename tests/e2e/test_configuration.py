#!/usr/bin/env python3
"""The configuration panel and the emulation construction dialog through the real exe under Wine
against kv720-sim: the simulator's values in every control, the LPG-on speed written low byte
first and read back, the emulation dialog polling only Block 3 and drawing the simulator's wave,
every pick of every list against the frame log, and the panel at every screen size in Polish and
Russian (screenshots kept in the work folder)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import IDENTIFY, BLOCK2, BLOCK3, BLOCK4, write_frame, is_write  # noqa: E402

WM_COMMAND = 0x0111
CBN_DROPDOWN = 7
YELLOW = (255, 255, 0)
BLACK = (0, 0, 0)

LISTS = (1003, 1013, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1050, 1149)
CHECK_BOXES = (1140, 1041, 1074)
HIDDEN_AT_START = (1050, 1062, 1149, 1095, 1096)


class Image:
    """The controller's bytes the expected writes depend on, read from the simulator."""

    def __init__(self, sim):
        self.options = int(sim.control("get 3 1"))
        self.lambda_type = int(sim.control("get 3 2"))
        self.emul_type = int(sim.control("get 3 5"))


def expected_pick(control, index, image):
    """The writes (address, value) the parameter table gives for a pick."""
    lt, et, opt = image.lambda_type, image.emul_type, image.options
    plain = {1017: 8, 1019: 10, 1020: 11, 1021: 23, 1025: 29, 1026: 14, 1149: 37}
    if control in plain:
        return [(plain[control], index + 1)]
    if control == 1003:
        return [(6, (lt & 0x0F) | (index << 4)), (7, {0: 22, 5: 60}.get(index, 127))]
    if control == 1013:
        return [(7, index + {0: 20, 5: 50}.get(lt >> 4, 100))]
    if control == 1018:
        return [(9, (et & 0xFC) | index)]
    if control in (1022, 1050):
        first, low = (1500, 21) if control == 1022 else (4000, 27)
        period = 15000000 // (first + 100 * index)
        return [(low, period & 0xFF), (low + 1, (period >> 8) & 0xFF)]
    if control == 1023:
        return [(5, (opt & 0xEF) | (index << 4))]
    if control == 1024:
        return [(6, (lt & 0xF0) | (0, 1, 2, 6, 7, 8)[index])]
    raise ValueError(control)


def expected_click(control, checked, image):
    if control == 1041:
        return [(5, (image.options & 0xBF) | (0x40 if checked else 0))]
    bit = 4 if control == 1140 else 8
    return [(9, (image.emul_type & ~bit & 0xFF) | (bit if checked else 0))]


def open_configuration(test, name, size=2, language="pol", setup=None):
    s, sim, d = harness.open_panel(test, name, "configuration", size, language, setup)
    d.ctl(1003)
    sim.wait_poll(BLOCK4)
    return s, sim, d


def chart_origin(img, rect):
    """The dialog's client origin: the chart's black rectangle, 540 pixels wide, starts at
    client (10, 10); it is the first row of the dialog with such a black run."""
    left, top, right, bottom = rect
    for y in range(max(top, 0), min(bottom, img.height)):
        run = 0
        for x in range(max(left, 0), min(right, img.width)):
            run = run + 1 if img.pixel(x, y) == BLACK else 0
            if run == 500:
                return x - 499 - 10, y - 10
    raise AssertionError("no chart in the dialog")


def wave_edges(high, low):
    """x of every vertical edge of the wave in client pixels: each phase after the first starts
    with a column straight below or above the last point."""
    edges, k, phases = [], 0, [high // 2 + 2, low // 2 + 2]
    i = 0
    while k < 480:
        n = phases[i % 2]
        if k > 0:
            edges.append(59 + k)
        k += n
        i += 1
    return edges


class ConfigurationTest(harness.E2ETestCase):
    def test_panel_shows_the_simulators_values(self):
        def setup(sim):
            for block, byte, value in [(3, 1, 0x7A), (3, 2, 0x27), (3, 3, 127), (3, 4, 24),
                                       (3, 5, 0x0C), (3, 6, 8), (3, 7, 255), (3, 8, 25),
                                       (3, 10, 50), (3, 12, 19), (4, 7, 18)]:
                sim.control("set %d %d %d" % (block, byte, value))

        s, sim, d = open_configuration(self, "cf_values", setup=setup)
        pol = harness.texts("pol")
        self.assertEqual(d.caption(), pol(176))
        self.assertEqual(len(d.controls()), 49)
        selections = {1003: 2, 1013: 27, 1017: 23, 1018: 0, 1019: 7, 1020: 254, 1021: 17,
                      1022: 5, 1023: 1, 1024: 4, 1025: 18, 1026: 49, 1050: 10, 1149: 24}
        for control, index in selections.items():
            self.assertEqual(d.sel(control), index, control)
        items = d.items(1013)
        self.assertEqual((len(items), items[27]), (51, "2:54"))
        self.assertEqual(d.items(1022)[5], "2000")
        self.assertEqual(d.items(1021)[17], pol(81))
        for control in (1019, 1020, 1079, 1080, 1091, 1092, 1140, 1074):
            self.assertTrue(d.enabled(control), control)
        for control in (1025, 1085, 1093):  # TPS code 7 has bit 1 set
            self.assertFalse(d.enabled(control), control)
        for control in (1140, 1041, 1074):
            self.assertTrue(d.check(control), control)
        for control in HIDDEN_AT_START:
            self.assertTrue(d.visible(control), control)
        for control, n in [(1126, 35), (1075, 40), (1077, 42), (1086, 51), (1096, 188),
                           (1089, 53), (1087, 57), (1062, 127), (1041, 115), (1140, 185),
                           (1074, 187), (1133, 94)]:
            self.assertEqual(d.text(control), pol(n), control)

        # Emulation type 1 disables the time rows; the unchecked box hides the LPG-off row at
        # the next refresh.
        sim.control("set 3 5 1")
        sim.control("set 3 1 %d" % 0x3A)
        sim.wait_poll(BLOCK4)
        for control in (1019, 1020, 1079, 1080, 1091, 1092):
            self.assertFalse(d.enabled(control), control)
        for control in (1050, 1062, 1149, 1095, 1096):
            self.assertFalse(d.visible(control), control)

    def test_lpg_on_2500_goes_low_byte_first_and_comes_back(self):
        s, sim, d = open_configuration(self, "cf_2500")
        # Wheel notches over the closed list change nothing and write nothing.
        mark = sim.last_time()
        selected = d.sel(1022)
        combo = d.ctl(1022)["hwnd"]
        for delta in (0xFF880000, 0x00780000, 0xFF880000):  # WHEEL_DELTA down, up, down
            d.send(0x020A, delta, 0, target=combo)  # WM_MOUSEWHEEL
        sim.wait_poll(BLOCK4, after=mark)
        self.assertEqual(d.sel(1022), selected)
        self.assertEqual(sim.writes(mark), [])

        mark = sim.last_time()
        d.pick(1022, 10, full=True)
        low = sim.wait_frame("65 16 70 EB", after=mark)
        high = sim.wait_frame("65 17 17 93", after=mark)
        self.assertLess(low.time, high.time)
        writes = [f for f in sim.frames("in") if f.time > mark and is_write(f)]
        self.assertEqual([f.hex() for f in writes], ["65 16 70 EB", "65 17 17 93"])
        sim.wait_poll(BLOCK4, after=high.time)
        self.assertEqual(d.sel(1022), 10)
        self.assertEqual(d.text(1022), "2500")
        self.assertEqual(sim.control("get 4 5"), "112")
        self.assertEqual(sim.control("get 4 6"), "23")

    def test_emulation_dialog_polls_block_3_draws_the_wave_and_closes_with_esc(self):
        def setup(sim):
            sim.control("set 3 5 1")    # emulation type 1
            sim.control("set 3 6 40")   # H 1.000 s
            sim.control("set 3 7 10")   # L 0.250 s
            sim.control("set 3 2 32")   # probe type 2: six voltage labels

        s, sim, d = open_configuration(self, "cf_emul", size=5, setup=setup)
        pol = harness.texts("pol")
        mark = sim.last_time()
        # From the open list, as a user picks: drop-down first, then the pick (posted, since the
        # dialog it opens is modal).
        d.send(WM_COMMAND, (CBN_DROPDOWN << 16) | 1018, 0, target="panel")
        d.pick(1018, 0, wait=False)
        modal = d.modal(10000)
        written = sim.wait_frame(write_frame(9, 0), after=mark)
        self.assertEqual(modal["caption"], "%s:   %s" % (pol(43), pol(61)))
        harness.assert_centred(self, d, modal)
        self.assertEqual(d.text(1, target="modal"), pol(160))
        self.assertEqual(d.text(1202, target="modal"), pol(44))

        # While it is open only identification and Block 3 go out (three of its polls).
        for _ in range(3):
            sim.wait_poll(BLOCK3)
        sent = {f.data for f in sim.frames("in") if f.time > written.time}
        self.assertEqual(sent, {IDENTIFY, BLOCK3})
        self.assertEqual(d.sel(1003, target="modal"), 39)
        self.assertEqual(d.sel(1004, target="modal"), 9)

        def edges(img):
            ox, oy = chart_origin(img, d.modal()["rect"])
            return [x - ox for x in range(ox + 55, ox + 545) if img.pixel(x, oy + 95) == YELLOW]

        self.assertEqual(edges(s.image("emulation_40_10")), wave_edges(40, 10))

        mark = sim.last_time()
        d.pick(1004, 19, target="modal", full=True)  # L 0,500 s
        sim.wait_poll(BLOCK3, after=sim.wait_frame(write_frame(11, 20), after=mark).time)
        img = s.wait_image("emulation_40_20", lambda i: edges(i) == wave_edges(40, 20))
        self.assertEqual(edges(img), wave_edges(40, 20))

        d.key("escape")
        d.wait_no_modal(10000)
        closed = sim.last_time()
        sim.wait_frame(BLOCK2, after=closed)
        sim.wait_poll(BLOCK4, after=closed)
        self.assertEqual(d.sel(1018), 0)
        self.assertEqual(d.sel(1020), 19)

    def test_every_pick_and_click_against_the_frame_log(self):
        def setup(sim):
            sim.control("set 3 1 %d" % 0x6A)  # LPG-off row shown
            sim.control("set 3 5 %d" % 0x09)  # emulation type 1, emergency start on

        s, sim, d = open_configuration(self, "cf_table", setup=setup)
        expected = []
        start = sim.last_time()
        last = start

        def settled_image():
            # Bit fields are written from the image as last read: let a poll read the writes of
            # the control before back first. (Picks of one control change only its own bits.)
            sim.wait_poll(BLOCK4, after=last)
            return Image(sim)

        # Plain lists first (their writes do not depend on the image), then the bit fields,
        # then the probe type, which rebuilds the lambda point list.
        order = [1017, 1019, 1020, 1021, 1022, 1025, 1026, 1050, 1149, 1013, 1023, 1024, 1018, 1003]
        for control in order:
            count = d.count(control)
            bit_field = control in (1013, 1018, 1023, 1024, 1003)
            image = settled_image() if bit_field else Image(sim)
            for index in range(count):
                writes = expected_pick(control, index, image)
                if control == 1018 and index == 0:
                    d.send(WM_COMMAND, (CBN_DROPDOWN << 16) | 1018, 0, target="panel")
                    d.pick(1018, 0, wait=False)
                    d.modal(10000)
                    d.key("escape")
                    d.wait_no_modal(10000)
                else:
                    d.pick(control, index, full=True)
                expected += writes
                last = sim.wait_frame(write_frame(*writes[-1]), after=last).time
        for control in CHECK_BOXES:
            for _ in range(2):
                image = settled_image()  # a refresh in flight would undo the click on screen
                checked = not d.check(control)
                writes = expected_click(control, checked, image)
                d.click(control)
                expected += writes
                last = sim.wait_frame(write_frame(*writes[-1]), after=last).time

        sent = [f.data for f in sim.frames("in") if f.time > start and is_write(f)]
        want = [write_frame(a, v) for a, v in expected]
        self.assertEqual(len(sent), len(want))
        for i, (got, exp) in enumerate(zip(sent, want)):
            self.assertEqual(got.hex(" "), exp.hex(" "), "write %d" % i)
        self.assertEqual(len(want), 6 * 2 + 11 + 255 * 3 + 3 + 18 + 21 * 2 + 2 + 6 + 19 + 50 +
                         41 * 2 + 50 + 6)

    def test_every_size_in_polish_and_russian_fits_the_window(self):
        def setup(sim):
            sim.control("set 3 1 %d" % 0x6A)  # LPG-off row shown
            sim.control("set 3 5 %d" % 0x08)  # emulation type 0, emergency start: all rows
            sim.control("set 3 2 %d" % 0x21)

        s, sim, d = open_configuration(self, "cf_sizes", 5, setup=setup)
        harness.assert_fits_at_each_size(self, s, sim, d, "configuration", 49, 1077, 42)


if __name__ == "__main__":
    harness.main()
