#!/usr/bin/env python3
"""Restore points through the real exe against kv720-sim: File > Open of another car's file and
the factory reset each leave a settings file of the car as it was in Backups beside the program's
settings, read in full before the first write; opening that file brings the simulator's memory
back byte for byte; a controller that does not answer those reads, or a disk that refuses the
file, stops the operation before anything is written."""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import IDENTIFY, BLOCK2  # noqa: E402
from test_settings_file import KEYS, bs2_text, sim_settings  # noqa: E402

IDOK = 1
OPEN, RESET_PANEL, RESET_BUTTON = 40014, 40008, 126
RESET_COMMAND = (30, 51)
READS = [bytes([0x65, n, n, (0x65 + 2 * n) & 0xFF]) for n in (2, 3, 4, 5)]
NAME = re.compile(r"^KR720SM_(\d{4})-(\d\d)-(\d\d)_(\d{6})_(before-load|before-reset)\.bs2$")


def memory(sim):
    """The simulator's five blocks as it sends them now."""
    return sim.control("dump")


def wait_offline(sim, after):
    """Until the program polls at the offline pace: identifications half a second apart."""
    def offline():
        times = [f.time for f in sim.frames("in") if f.time > after and f.data == IDENTIFY]
        return len(times) >= 2 and times[-1] - times[-2] > 0.4
    harness.wait_until(offline, 20, 0.1, "the link to go offline")


def reads_then_first_write(sim, mark):
    """The program's frames after the mark: the four frames before its first write command, and
    that write."""
    sent = [f.data for f in sim.frames("in") if f.time > mark]
    first = next(i for i, data in enumerate(sent) if data[1] > 5)
    return sent[max(first - 4, 0):first], (sent[first][1] - 1, sent[first][2])


class RestorePointTest(harness.E2ETestCase):

    def start(self):
        s = self.session(screen=(1024, 768))
        s.write_ini(harness.ini_text(port=1, language="ang"))
        sim = s.start_sim(port=1)
        sim.control("engine stop")  # the controller refuses a reset while the engine runs
        s.start_app()
        s.driver.wait_main()
        sim.wait_frame(BLOCK2, timeout=20)
        self.s = s
        return s, sim, s.driver

    text = staticmethod(harness.texts("ang"))

    def points(self, s):
        folder = os.path.join(s.run_dir, "Backups")
        return sorted(os.listdir(folder)) if os.path.isdir(folder) else []

    def read_point(self, s, name):
        with open(os.path.join(s.run_dir, "Backups", name), "rb") as f:
            return f.read().decode("ascii")

    def open_file(self, d, path):
        d.command(OPEN, wait=False)
        d.wait_modal(self.text(165))
        d.file_dialog(harness.windows_path(path))

    def close_message(self, d, caption, text, shot=None):
        d.wait_modal(caption)
        self.assertEqual(d.message_box()["text"], text)
        if shot:
            self.s.screenshot(shot)
        d.answer(IDOK)
        d.wait_no_modal(10000)
        d.sync()

    def settled(self, d, sim, count, mark):
        harness.wait_until(lambda: len(sim.writes(mark)) >= count, 30,
                           what="%d writes" % count)
        d.wait_no_modal(10000)
        d.sync()
        self.assertIsNone(d.attempt("modal 0"))

    def assertPoint(self, s, name, reason, values):
        """The restore point holds Save As's text of these values, then its comment lines."""
        self.assertRegex(name, NAME)
        self.assertEqual(NAME.match(name).group(5), reason)
        text = self.read_point(s, name)
        saved = bs2_text(values)
        self.assertEqual(text[:len(saved)], saved)
        comments = text[len(saved):].splitlines()
        self.assertTrue(comments and all(line.startswith(";") for line in comments), comments)
        for line in ["; reason: " + reason, "; controller version: 3.05",
                     "; registration: KR720SM", "; hours on gas: 1234h25'",
                     "; installation date: 2019-05-14"]:
            self.assertIn(line, comments)

    def test_open_keeps_the_car_and_its_restore_point_brings_it_back_exactly(self):
        s, sim, d = self.start()
        for block, index, value in [(3, 1, 0x5A), (4, 1, 33), (5, 6, 255), (2, 4, 77), (3, 8, 13)]:
            sim.control("set %d %d %d" % (block, index, value))
        car, before = sim_settings(sim), memory(sim)
        other = [(v + 17) % 256 for v in car]
        other_path = os.path.join(s.run_dir, "another car.bs2")
        with open(other_path, "w", newline="") as f:
            f.write(bs2_text(other))

        mark = sim.last_time()
        self.open_file(d, other_path)
        self.settled(d, sim, 32, mark)
        self.assertEqual(sim_settings(sim), other)
        reads, first = reads_then_first_write(sim, mark)
        self.assertEqual(reads, READS)  # the whole car read just before the first write
        self.assertEqual(first, (KEYS[0][3], other[0]))
        (point,) = self.points(s)
        self.assertPoint(s, point, "before-load", car)

        # Opening the restore point writes the car's own values back: memory as it was.
        mark = sim.last_time()
        self.open_file(d, os.path.join(s.run_dir, "Backups", point))
        self.settled(d, sim, 32, mark)
        self.assertEqual(sim.writes(mark),
                         [(k[3], v) for k, v in zip(KEYS, car)])
        self.assertEqual(memory(sim), before)
        # That load kept the other car in a point of its own; the first one is untouched.
        self.assertEqual(len(self.points(s)), 2)
        self.assertPoint(s, point, "before-load", car)

    def test_factory_reset_keeps_a_before_reset_point_that_undoes_it(self):
        s, sim, d = self.start()
        for block, index, value in [(4, 1, 99), (3, 11, 120), (5, 1, 50)]:
            sim.control("set %d %d %d" % (block, index, value))
        car, before = sim_settings(sim), memory(sim)
        d.command(RESET_PANEL)
        mark = sim.last_time()
        d.click(RESET_BUTTON, wait=False)
        self.close_message(d, self.text(137), self.text(138))
        reads, first = reads_then_first_write(sim, mark)
        self.assertEqual(reads, READS)
        self.assertEqual(first, RESET_COMMAND)
        self.assertNotEqual(sim_settings(sim), car)
        (point,) = self.points(s)
        self.assertPoint(s, point, "before-reset", car)

        mark = sim.last_time()
        self.open_file(d, os.path.join(s.run_dir, "Backups", point))
        self.settled(d, sim, 32, mark)
        self.assertEqual(memory(sim), before)

    def test_nothing_is_written_without_a_restore_point(self):
        s, sim, d = self.start()
        path = os.path.join(s.run_dir, "car.bs2")
        with open(path, "w", newline="") as f:
            f.write(bs2_text([(v + 1) % 256 for v in sim_settings(sim)]))
        before = memory(sim)
        start = sim.last_time()

        # The controller stops answering one of the reads: "did not answer", nothing written.
        sim.control("noreply 5 on")
        self.open_file(d, path)
        self.close_message(d, self.text(170), self.text(174))
        d.command(RESET_PANEL)
        d.click(RESET_BUTTON, wait=False)
        self.close_message(d, self.text(170), self.text(174), shot="reset-no-answer")
        sim.control("noreply 5 off")

        # The disk refuses: a file named Backups stands where the folder would go.
        with open(os.path.join(s.run_dir, "Backups"), "wb") as f:
            f.write(b"not a folder")
        d.click(RESET_BUTTON, wait=False)
        self.close_message(d, "I/O Error", self.text(186), shot="reset-disk-refused")
        self.open_file(d, path)
        self.close_message(d, "I/O Error", self.text(186), shot="open-disk-refused")
        os.remove(os.path.join(s.run_dir, "Backups"))

        # A silent controller: once the readings panel has seen the link go offline, the reset
        # stops without a message and Open fails at its first write, which is never sent.
        d.command(40005)
        sim.control("silence on")
        wait_offline(sim, sim.last_time())
        d.command(RESET_PANEL)
        d.click(RESET_BUTTON)
        self.assertIsNone(d.attempt("modal 500"))
        self.open_file(d, path)
        self.close_message(d, self.text(170), self.text(171))

        self.assertEqual(sim.writes(start), [])
        self.assertEqual(self.points(s), [])
        sim.control("silence off")
        self.assertEqual(memory(sim), before)


if __name__ == "__main__":
    harness.main()
