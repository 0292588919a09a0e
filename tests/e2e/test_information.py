#!/usr/bin/env python3
"""The information dialog through the real exe under Wine against kv720-sim: the simulator's
service record in the fields, the registration number, the installation date and the clearing of
the running time written as the frame log shows and read back into the fields, the code page of
the registration number, the offline view, and the dialog at every screen size in Polish and
Russian (screenshots kept in the work folder)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import IDENTIFY, BLOCK5, write_frame  # noqa: E402

RECORD_CONTROLS = (1194, 1164, 1179, 1195, 1171, 1182, 1196, 1172, 1180)
DATE_EDITOR = (1188, 1003, 1004, 1013, 1189, 1190, 1191)
NAVY = (0, 0, 96)  # the picture's title


def open_information(test, name, size=2, language="pol", setup=None):
    s, sim, d = harness.open_panel(test, name, "information", size, language, setup)
    sim.wait_poll(BLOCK5)
    return s, sim, d


class InformationTest(harness.E2ETestCase):
    def test_record_is_shown_and_every_edit_is_written_and_read_back(self):
        s, sim, d = open_information(self, "in_record")
        pol = harness.texts("pol")
        self.assertEqual(d.caption(), pol(190))
        self.assertEqual(d.text(1170), "3.05")
        self.assertEqual(d.text(1164), "KR720SM")
        self.assertEqual(d.text(1171), "1234h25'")
        self.assertEqual(d.text(1172), "2019-05-14")
        for control, n in [(1075, 154), (1078, 157), (1079, 158), (1199, 159), (1194, 191),
                           (1179, 197), (1182, 199), (1180, 197)]:
            self.assertEqual(d.text(control), pol(n), control)
        for control in RECORD_CONTROLS:
            self.assertTrue(d.enabled(control), control)
        for control in DATE_EDITOR:
            self.assertFalse(d.visible(control), control)
        self.assertTrue(d.ctl(1164)["style"] & 0x0800)  # ES_READONLY

        # Registration: the first press makes the field writable, the second writes 7 bytes.
        d.click(1179)
        sim.wait_poll(BLOCK5)
        self.assertEqual(d.text(1179), pol(198))
        self.assertFalse(d.ctl(1164)["style"] & 0x0800)
        d.set_text(1164, "WX123")
        mark = sim.last_time()
        d.click(1179)
        expected = [(42, ord("W")), (43, ord("X")), (44, ord("1")), (45, ord("2")),
                    (46, ord("3")), (47, 0), (48, 0)]
        sim.wait_frame(write_frame(48, 0), after=mark)
        self.assertEqual(sim.writes(mark), expected)
        sim.wait_poll(BLOCK5)
        self.assertEqual(d.text(1164), "WX123")
        self.assertEqual(d.text(1179), pol(197))

        # A letter code page 1250 cannot hold is refused by the field.
        d.click(1179)
        sim.wait_poll(BLOCK5)
        d.set_text(1164, "ЖK1")
        self.assertEqual(d.text(1164), "K1")
        mark = sim.last_time()
        d.click(1179)
        sim.wait_frame(write_frame(48, 0), after=mark)
        self.assertEqual(sim.writes(mark)[:3], [(42, ord("K")), (43, ord("1")), (44, 0)])

        # Date: the editor opens on today; 2005-11-15 is written as 0x4E, 0x85.
        d.click(1180)
        sim.wait_poll(BLOCK5)
        for control in DATE_EDITOR:
            self.assertTrue(d.visible(control), control)
        self.assertEqual(d.text(1180), pol(198))
        s.screenshot("date-editor")
        d.pick(1003, 5)
        d.pick(1004, 10)
        self.assertEqual(d.count(1013), 30)
        d.pick(1013, 14)
        mark = sim.last_time()
        d.click(1180)
        sim.wait_frame(write_frame(41, 0x85), after=mark)
        self.assertEqual(sim.writes(mark), [(40, 0x4E), (41, 0x85)])
        sim.wait_poll(BLOCK5)
        self.assertEqual(d.text(1172), "2005-11-15")
        self.assertFalse(d.visible(1003))

        # February follows the year: 2004 has 29 days.
        d.click(1180)
        sim.wait_poll(BLOCK5)
        d.pick(1003, 4)
        d.pick(1004, 1)
        self.assertEqual(d.items(1013)[-1], "29")
        d.pick(1003, 5)
        self.assertEqual(d.count(1013), 28)

        # Clear: hours low, hours high, minutes.
        mark = sim.last_time()
        d.click(1182)
        sim.wait_frame(write_frame(49, 0), after=mark)
        self.assertEqual(sim.writes(mark), [(38, 0), (39, 0), (49, 0)])
        sim.wait_poll(BLOCK5)
        self.assertEqual(d.text(1171), "0h0'")

    def test_russian_registration_and_offline_view(self):
        def setup(sim):
            for k, b in enumerate(bytes.fromhex("C0C2D13132")):  # "АВС12" in code page 1251
                sim.control("set 5 %d %d" % (13 + k, b))
            sim.control("set 5 18 0")

        s, sim, d = open_information(self, "in_russian", language="rus", setup=setup)
        self.assertEqual(d.text(1164), "АВС12")
        d.click(1179)
        sim.wait_poll(BLOCK5)
        d.set_text(1164, "ЕКХ7")
        mark = sim.last_time()
        d.click(1179)
        sim.wait_frame(write_frame(48, 0), after=mark)
        self.assertEqual(sim.writes(mark)[:5],
                         [(42, 0xC5), (43, 0xCA), (44, 0xD5), (45, ord("7")), (46, 0)])
        sim.wait_poll(BLOCK5)
        self.assertEqual(d.text(1164), "ЕКХ7")

        # No controller: the offline text, empty and disabled fields.
        sim.control("silence on")
        rus = harness.texts("rus")
        harness.wait_until(lambda: d.text(1170) == rus(161), 15, what="the offline text")
        for control in RECORD_CONTROLS:
            self.assertFalse(d.enabled(control), control)
        for control in (1164, 1171, 1172):
            self.assertEqual(d.text(control), "", control)
        sim.control("silence off")
        harness.wait_until(lambda: d.text(1170) == "3.05", 15, what="the controller again")

    def test_every_size_in_polish_and_russian(self):
        s, sim, d = open_information(self, "in_sizes", size=5)
        # Both editors open, so every view shows the date editor too; what the user entered
        # survives the language and size changes.
        d.click(1179)
        d.click(1180)
        sim.wait_poll(BLOCK5)
        d.set_text(1164, "ABC")
        pictures = {}
        for language in ("pol", "rus"):
            d.command(harness.LANGUAGE_ITEMS[language])
            self.assertEqual(d.text(1194), harness.language_text(language, 191))
            for size in range(1, 6):
                d.command(harness.SIZE_ITEMS[size])
                sim.wait_poll(BLOCK5)
                scale_x, scale_y = {1: (0.8, 0.77), 2: (1.0, 1.0), 3: (1.28, 1.32),
                                    4: (1.6, 1.69), 5: (1.6, 1.81)}[size]
                left, top, right, bottom = d.ctl(1208)["rect"]
                self.assertEqual((right - left, bottom - top),
                                 (int(280 * scale_x), int(185 * scale_y)), size)
                img = s.image("information-%d-%s" % (size, language))
                pictures[size] = img.count(NAVY, (left, top, right, bottom))
                self.assertGreater(pictures[size], 100, size)  # the picture is drawn
                self.assertEqual(d.text(1172), "2019-05-14")
                self.assertEqual(d.text(1164), "ABC")
                self.assertEqual(d.text(1180), harness.language_text(language, 198))
                self.assertTrue(d.visible(1003))


if __name__ == "__main__":
    harness.main()
