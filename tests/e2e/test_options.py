#!/usr/bin/env python3
"""The options panel, the corrections dialog and the gas level sensor dialog through the real
exe under Wine against kv720-sim: the simulator's values in the controls, picks and clicks
against the frame log and read back, each dialog polling only its own blocks, a drag written once
on release, the lamps on screen, the factory button's frames (and nothing stale after a failed
read back), nothing written to another version, and the panel at every screen size in Polish and
Russian with every row shown (screenshots kept in the work folder)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import IDENTIFY, BLOCK2, BLOCK3, BLOCK4, BLOCK5, write_frame, is_write  # noqa: E402

WM_COMMAND = 0x0111
CBN_DROPDOWN = 7

LISTS = (1003, 1013, 1043, 1044, 1045, 1046, 1047, 1048, 1049, 1051, 1052)
BOXES = (1034, 1039, 1040, 1042)
HIDDEN_AT_START = (1003, 1046, 1047, 1048, 1049, 1051, 1057, 1058, 1059, 1060, 1061, 1063, 1064,
                   1065, 1066, 1067)
TEMPERATURE_BYTES = (94, 99, 104, 109, 114, 120, 125, 130, 135, 140, 145, 151, 156, 161, 166,
                     171, 176, 182, 187, 192, 197, 201, 202, 204, 206, 208)
# Gas level sensor dialog: (scroll bar, number field, write address) of Prog1..Prog4.
POINTS = ((1137, 1009, 33), (1122, 1008, 34), (1123, 1007, 35), (1138, 1139, 36))
GREEN, OLIVE, RED, DIM = (0, 255, 0), (128, 128, 0), (255, 0, 0), (128, 84, 79)
LAMP = 18 * 18  # a lamp's inside, within its one-pixel outline

ALL_ROWS = 0x2A  # Options: bits 1, 3 and 5 set and bit 2 clear check all four option boxes


def expected_pick(control, index, options, lambda_type, emul_type):
    """The writes (address, value) of the parameter table for a pick."""
    plain = {1003: 18, 1013: 32, 1043: 31, 1044: 17, 1045: 16}
    if control in plain:
        return [(plain[control], index)]
    if control in (1046, 1049):
        return [(20 if control == 1046 else 26, 2 * index + 2)]
    if control == 1047:
        return [(19, 5 * (50 - index) if lambda_type & 0x0F == 1 else 5 * index)]
    if control == 1048:
        period = 15000000 // (1000 + 100 * index)
        return [(24, period & 0xFF), (25, period >> 8)]
    if control == 1051:
        return [(15, TEMPERATURE_BYTES[index])]
    if control == 1052:
        return [(9, (emul_type & 0xCF) | (index << 4))]
    raise ValueError(control)


def expected_click(control, checked, options):
    bit = {1034: 0x04, 1039: 0x08, 1040: 0x20, 1042: 0x02}[control]
    on = (not checked) if control == 1034 else checked
    return [(5, (options & ~bit & 0xFF) | (bit if on else 0))]


def open_options(test, name, size=2, language="pol", setup=None):
    s, sim, d = harness.open_panel(test, name, "options", size, language, setup)
    d.ctl(1034)
    sim.wait_poll(BLOCK4)
    return s, sim, d


def open_dialog(sim, d, button):
    """Clicks a panel button that opens a modal dialog (posted, since the dialog is modal) and
    waits for the dialog's own polling to fill it."""
    d.click(button, wait=False)
    modal = d.modal(10000)
    sim.wait_poll(BLOCK5)
    return modal


def lamp_counts(img, rect):
    """How many lamps of each colour the dialog shows."""
    return {name: round(img.count(colour, rect) / LAMP)
            for name, colour in (("green", GREEN), ("olive", OLIVE), ("red", RED), ("dim", DIM))}


class OptionsTest(harness.E2ETestCase):
    def test_panel_shows_the_simulators_values(self):
        def setup(sim):
            for block, byte, value in [(3, 1, 0x2B), (3, 2, 0x01), (2, 4, 77), (4, 14, 12),
                                       (4, 13, 30), (4, 2, 45), (4, 1, 200), (4, 4, 41),
                                       (4, 3, 25), (4, 8, 0x70), (4, 9, 0x17), (4, 10, 101),
                                       (3, 11, 145), (3, 5, 0x21)]:
                sim.control("set %d %d %d" % (block, byte, value))

        s, sim, d = open_options(self, "op_values", setup=setup)
        pol = harness.texts("pol")
        self.assertEqual(d.caption(), pol(177))
        self.assertEqual(len(d.controls()), 47)
        # AttInit shows only while 1034 is checked (bit 2 clear); bit 0 set: no sensor.
        selections = {1003: 77, 1013: 12, 1043: 30, 1044: 45, 1045: 200, 1046: 19, 1047: 45,
                      1048: 15,
                      1049: 49, 1051: 10, 1052: 2}
        for control, index in selections.items():
            self.assertEqual(d.sel(control), index, control)
        self.assertEqual(d.text(1047), "4,5")  # TPS code 1: 250 - 25 = 225
        self.assertEqual(d.text(1051), "30")
        self.assertEqual(d.text(1007), pol(181))
        for control in (1034, 1039, 1040, 1042):
            self.assertTrue(d.check(control), control)
        for control in HIDDEN_AT_START:
            self.assertTrue(d.visible(control), control)
        self.assertEqual(d.count(1046), 50)
        for control, n in [(1131, 92), (1132, 93), (1134, 95), (1135, 96), (1130, 39), (1206, 197),
                           (1096, 52), (1014, 97), (1034, 104), (1075, 105), (1078, 108),
                           (1039, 109), (1064, 132), (1065, 111), (1040, 112), (1066, 113),
                           (1067, 114), (1042, 116), (1079, 117), (1057, 118), (1136, 122),
                           (1058, 126), (1059, 124), (1060, 125), (1061, 126), (1063, 128)]:
            self.assertEqual(d.text(control), pol(n), control)

        # TPS code 3 clears and greys 1039 without a write; bit 2 set unchecks 1034.
        mark = sim.last_time()
        sim.control("set 3 2 3")
        sim.control("set 3 1 %d" % 0x2E)
        sim.wait_poll(BLOCK4)
        self.assertFalse(d.check(1039))
        self.assertFalse(d.enabled(1039))
        self.assertFalse(d.check(1034))
        for control in (1003, 1057, 1046, 1047, 1064, 1065, 1058, 1059):
            self.assertFalse(d.visible(control), control)
        self.assertEqual(sim.writes(mark), [])
        self.assertEqual(sim.control("get 3 1"), str(0x2E))

        # Another version: Blocks 2 to 4 are not read, the jump list shows raw bytes, and no
        # pick or click reaches the controller.
        sim.control("version 2")
        sim.wait_poll(IDENTIFY)  # the next identification tells the program; it stops reading
        mark = sim.last_time()
        self.assertEqual(d.count(1046), 256)
        self.assertEqual(d.text(1064), pol(110))
        self.assertEqual(d.sel(1046), 41)
        for control in LISTS:
            if d.visible(control):
                d.pick(control, 1, full=True)
        for control in BOXES:
            if d.enabled(control):
                d.click(control)
        sim.wait_poll(IDENTIFY)  # two more of the program's polls: a write would precede them
        self.assertEqual(sim.writes(mark), [])
        sent = {f.data for f in sim.frames("in") if f.time > mark}
        self.assertEqual(sent, {IDENTIFY})

    def test_picks_and_clicks_against_the_frame_log(self):
        def setup(sim):
            sim.control("set 3 1 %d" % ALL_ROWS)
            sim.control("set 3 2 %d" % 0x21)  # TPS code 1: the jump threshold runs backwards
            sim.control("set 3 5 %d" % 0x81)

        s, sim, d = open_options(self, "op_table", setup=setup)
        start = sim.last_time()
        last, expected = start, []

        def image():
            # Bit fields are written from the image as last read: let a poll read the last
            # write back first.
            sim.wait_poll(BLOCK4, after=last)
            return [int(sim.control("get 3 %d" % k)) for k in (1, 2, 5)]

        for control in LISTS:
            count = d.count(control)
            for index in sorted({0, count // 2, count - 1}):
                writes = expected_pick(control, index, *image())
                d.pick(control, index, full=True)
                expected += writes
                last = sim.wait_frame(write_frame(*writes[-1]), after=last).time
                sim.wait_poll(BLOCK4, after=last)
                self.assertEqual(d.sel(control), index, (control, index))
        for control in BOXES:
            for _ in range(2):
                options = image()[0]
                writes = expected_click(control, not d.check(control), options)
                d.click(control)
                expected += writes
                last = sim.wait_frame(write_frame(*writes[-1]), after=last).time

        sent = sim.writes(start)
        self.assertEqual(sent, expected)
        # The cut-off speed goes low byte first.
        self.assertIn((24, 15000000 // 1800 & 0xFF), sent)
        self.assertLess(sent.index((24, 15000000 // 1800 & 0xFF)),
                        sent.index((25, 15000000 // 1800 >> 8)))

    def test_corrections_dialog_polls_block_5_and_writes_one_nibble(self):
        def setup(sim):
            sim.control("set 5 6 %d" % 0x7C)
            sim.control("set 5 7 %d" % 0x95)

        s, sim, d = open_options(self, "op_corrections", size=3, setup=setup)
        pol = harness.texts("pol")
        modal = open_dialog(sim, d, 1014)
        opened = sim.last_time()  # the panel stopped polling before the dialog came up
        self.assertEqual(modal["caption"], pol(98))
        harness.assert_centred(self, d, modal)
        self.assertEqual(d.text(1075, target="modal"), pol(99))
        self.assertEqual(d.text(1, target="modal"), pol(103))
        self.assertEqual(d.items(1003, target="modal")[0], "-12")
        self.assertEqual(d.items(1013, target="modal")[5], "0")
        shown = {1003: "-6", 1013: "+6", 1122: "0", 1123: "-4"}
        for control, text in shown.items():
            self.assertEqual(d.text(control, target="modal"), text, control)
        s.screenshot("corrections_pol")

        mark = sim.last_time()
        d.pick(1003, 15, target="modal", full=True)  # +18 keeps the high nibble 7
        written = sim.wait_frame(write_frame(12, 0x70), after=mark)
        sim.wait_poll(BLOCK5, after=written.time)
        self.assertEqual(d.text(1003, target="modal"), "+18")
        self.assertEqual(sim.control("get 5 6"), str(0x70))
        mark = sim.last_time()
        d.pick(1123, 0, target="modal", full=True)  # -16 keeps the low nibble 5
        sim.wait_poll(BLOCK5, after=sim.wait_frame(write_frame(13, 0xF5), after=mark).time)
        sim.wait_poll(BLOCK5)
        sent = {f.data for f in sim.frames("in") if f.time > opened and not is_write(f)}
        self.assertEqual(sent, {IDENTIFY, BLOCK5})
        self.assertEqual(sim.writes(opened), [(12, 0x70), (13, 0xF5)])

        d.key("escape")
        d.wait_no_modal(10000)
        closed = sim.last_time()
        sim.wait_frame(BLOCK2, after=closed)
        sim.wait_poll(BLOCK4, after=closed)
        self.assertEqual(d.caption(), pol(177))

    def test_gas_sensor_dialog_drag_lamps_type_and_factory_button(self):
        def setup(sim):
            for byte, value in ((1, 10), (2, 20), (3, 30), (4, 200)):
                sim.control("set 5 %d %d" % (byte, value))
            sim.control("set 5 5 3")  # gas level 3, pinned

        s, sim, d = open_options(self, "op_gas", setup=setup)
        pol = harness.texts("pol")
        modal = open_dialog(sim, d, 1206)
        opened = sim.last_time()  # the panel stopped polling before the dialog came up
        self.assertEqual(modal["caption"], pol(39))
        harness.assert_centred(self, d, modal)
        self.assertEqual(d.text(1141, target="modal"), pol(189))
        self.assertEqual(d.items(1003, target="modal"), [pol(181), pol(182), pol(183)])
        self.assertEqual(d.sel(1003, target="modal"), 2)
        for (bar, field, _), value in zip(POINTS, (10, 20, 30, 200)):
            self.assertEqual(d.text(field, target="modal"), str(value), field)
            self.assertEqual(d.scroll_info(bar, target="modal")["pos"], value, bar)
            self.assertEqual(d.scroll_info(bar, target="modal")["max"], 255, bar)
        for level, lamps in ((3, {"green": 3, "olive": 1, "red": 0, "dim": 1}),
                             (0, {"green": 0, "olive": 4, "red": 1, "dim": 0})):
            sim.control("set 5 5 %d" % level)
            img = s.wait_image("gas_level_%d" % level,
                               lambda i: lamp_counts(i, modal["rect"]) == lamps)
            self.assertEqual(lamp_counts(img, modal["rect"]), lamps)

        # A drag of Prog2: from the first move nothing goes out, not even the dialog's polls,
        # until the release; then one write. (A tick may have been on the line as it began.)
        d.scroll("h", 1122, "thumbtrack", 40, target="modal")
        on_line = sim.frames("in")[-1]
        if on_line.data != BLOCK5:  # a tick on the line ends with its Block 5 read
            sim.wait_frame(BLOCK5, after=on_line.time)
        mark = sim.last_time()
        for pos in (80, 120):
            d.scroll("h", 1122, "thumbtrack", pos, target="modal")
        d.scroll("h", 1122, "thumbposition", 120, target="modal")
        harness.quiet_period(1.0)  # two of the dialog's polling periods
        self.assertEqual(d.scroll_info(1122, target="modal")["pos"], 120)
        self.assertEqual([f.data for f in sim.frames("in") if f.time > mark], [])
        d.scroll("h", 1122, "endscroll", target="modal")
        written = sim.wait_frame(write_frame(34, 120), after=mark)
        sim.wait_poll(BLOCK5, after=written.time)
        self.assertEqual(sim.writes(mark), [(34, 120)])
        self.assertEqual(d.text(1008, target="modal"), "120")
        # Line and page steps stop at the ends.
        mark = sim.last_time()
        d.scroll("h", 1138, "pageright", target="modal")
        d.scroll("h", 1138, "endscroll", target="modal")
        sim.wait_frame(write_frame(36, 210), after=mark)
        for _ in range(2):
            d.scroll("h", 1137, "pageleft", target="modal")
        d.scroll("h", 1137, "endscroll", target="modal")
        sim.wait_frame(write_frame(33, 0), after=mark)

        # Type index 1 replaces bits 0 and 7 and keeps the others.
        sim.wait_poll(BLOCK5)
        options = int(sim.control("get 3 1"))
        mark = sim.last_time()
        d.pick(1003, 1, target="modal", full=True)
        sim.wait_frame(write_frame(5, (options & 0x7E) | 0x80), after=mark)
        sim.wait_poll(BLOCK5)
        self.assertEqual(d.sel(1003, target="modal"), 1)

        # The factory button: the command, one Block 5 read, then the four points read back.
        mark = sim.last_time()
        d.click(1141, target="modal")
        command = sim.wait_frame(write_frame(30, 52), after=mark)
        sim.wait_poll(BLOCK5, after=command.time)
        after = [f.data for f in sim.frames("in") if f.time >= command.time]
        self.assertEqual(after[:6], [write_frame(30, 52), BLOCK5, write_frame(33, 40),
                                     write_frame(34, 90), write_frame(35, 140),
                                     write_frame(36, 190)])
        self.assertEqual(d.text(1139, target="modal"), "190")
        s.screenshot("gas_pol")

        # A failed read back sends nothing more: the controller keeps its fresh points.
        for byte in (1, 2, 3, 4):
            sim.control("set 5 %d 7" % byte)
        sim.wait_poll(BLOCK5)
        sim.control("noreply 5 on")
        mark = sim.last_time()
        d.click(1141, target="modal")
        command = sim.wait_frame(write_frame(30, 52), after=mark)
        sim.wait_frame(BLOCK5, after=command.time)
        sim.control("noreply 5 off")
        sim.wait_poll(BLOCK5, after=command.time)
        self.assertEqual(sim.writes(mark), [(30, 52)])
        self.assertEqual(sim.control("get 5 4"), "190")
        self.assertEqual(d.text(1139, target="modal"), "190")

        sent = {f.data for f in sim.frames("in") if f.time > opened and not is_write(f)}
        self.assertEqual(sent, {IDENTIFY, BLOCK3, BLOCK5})
        d.click(1, target="modal")
        d.wait_no_modal(10000)
        closed = sim.last_time()
        sim.wait_frame(BLOCK2, after=closed)
        sim.wait_poll(BLOCK4, after=closed)
        self.assertEqual(d.text(1007), pol(182))

    def test_every_size_in_polish_and_russian_fits_the_window(self):
        def setup(sim):
            sim.control("set 3 1 %d" % ALL_ROWS)
            sim.control("set 3 5 %d" % 0x91)  # emulation mode 1, the longest item

        s, sim, d = open_options(self, "op_sizes", 5, setup=setup)

        def dialogs_fit(size, language):
            if size != 2:
                return
            for button, name in ((1014, "corrections"), (1206, "gas")):
                modal = open_dialog(sim, d, button)
                dialog_controls = d.controls(target="modal")
                shot = s.image("%s_%s" % (name, language))
                self.assertEqual(harness.cut_texts(shot, dialog_controls), [])
                for c in dialog_controls:
                    r, m = c["rect"], modal["rect"]
                    self.assertTrue(m[0] <= r[0] and r[2] <= m[2] and
                                    m[1] <= r[1] and r[3] <= m[3], (name, c["id"]))
                d.key("escape")
                d.wait_no_modal(10000)

        harness.assert_fits_at_each_size(self, s, sim, d, "options", 47, 1075, 105, dialogs_fit)


if __name__ == "__main__":
    harness.main()
