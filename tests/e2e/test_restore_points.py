#!/usr/bin/env python3
"""Restore points through the real exe against kv720-sim: File > Open of another car's file and
the factory reset each leave a settings file of the car as it was in Backups beside the program's
settings, read in full before the first write; opening that file brings the simulator's memory
back byte for byte; a controller that does not answer those reads, or a disk that refuses the
file, stops the operation before anything is written."""

import os
import re
import shutil
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
        self.assertEqual(d.message_box()["text"].replace("\r\n", "\n"), text)
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

        # The disk refuses: a file named Backups stands where the folder would go, and a file
        # named KV720 where the per-user folder would go. The message names both folders.
        user_unix, user_windows = s.local_app_data("KV720")
        for blocker in (os.path.join(s.run_dir, "Backups"), user_unix):
            with open(blocker, "wb") as f:
                f.write(b"not a folder")
        refused = "%s\n\n%s\n%s\n%s" % (self.text(186), self.text(164),
                                        harness.windows_path(os.path.join(s.run_dir, "Backups")),
                                        user_windows + "\\Backups")
        d.click(RESET_BUTTON, wait=False)
        self.close_message(d, "I/O Error", refused, shot="reset-disk-refused")
        self.open_file(d, path)
        self.close_message(d, "I/O Error", refused, shot="open-disk-refused")
        os.remove(os.path.join(s.run_dir, "Backups"))
        os.remove(user_unix)

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


    def test_a_stop_part_way_names_the_writes_confirmed_and_the_way_back(self):
        s, sim, d = self.start()
        car, before = sim_settings(sim), memory(sim)
        other = os.path.join(s.run_dir, "other.bs2")
        with open(other, "w", newline="") as f:
            f.write(bs2_text([(v + 3) % 256 for v in car]))

        # The load stops after 10 confirmed writes: the message says so and names the point.
        sim.control("noecho-after 10")
        self.open_file(d, other)
        d.wait_modal(self.text(170))
        (point,) = self.points(s)
        self.close_message(d, self.text(170), "%s\n\n%s 10 / 32\n%s\n%s" % (
            self.text(171), self.text(140), self.text(141),
            harness.windows_path(os.path.join(s.run_dir, "Backups", point))), shot="load-part-way")
        sim.control("faults off")
        self.assertNotEqual(memory(sim), before)

        # The reset stops after 10 confirmed write-backs (the command and 10 echoed).
        d.command(RESET_PANEL)
        sim.control("noecho-after 11")
        d.click(RESET_BUTTON, wait=False)
        d.wait_modal(self.text(137))
        reset_point = next(p for p in self.points(s) if p.endswith("before-reset.bs2"))
        self.close_message(d, self.text(137), "%s\n\n%s 10 / 33\n%s\n%s" % (
            self.text(139), self.text(140), self.text(141),
            harness.windows_path(os.path.join(s.run_dir, "Backups", reset_point))),
            shot="reset-part-way")
        sim.control("faults off")

        # The way back named by the load's message brings the car back whole.
        mark = sim.last_time()
        self.open_file(d, os.path.join(s.run_dir, "Backups", point))
        self.settled(d, sim, 32, mark)
        self.assertEqual(memory(sim), before)

        # Backups beside KV720.ini refused (as under Program Files): the point goes to the
        # per-user folder and the load goes on.
        os.rename(os.path.join(s.run_dir, "Backups"), os.path.join(s.run_dir, "Backups.old"))
        with open(os.path.join(s.run_dir, "Backups"), "wb") as f:
            f.write(b"not a folder")
        mark = sim.last_time()
        self.open_file(d, other)
        self.settled(d, sim, 32, mark)
        user_backups = s.local_app_data("KV720", "Backups")[0]
        (kept,) = os.listdir(user_backups)
        self.assertRegex(kept, NAME)

    def test_started_from_inside_a_zip_it_warns_and_keeps_points_per_user(self):
        # Explorer runs a program opened inside a zip from the user's temporary folder, alone.
        s = self.session(screen=(1024, 768))
        temp = s.temp_folder("Temp1_KV720-1.0.0-windows.zip")
        os.makedirs(temp)
        shutil.copy2(s.config.exe, os.path.join(temp, "KV720.exe"))
        sim = s.start_sim(port=1)
        sim.control("engine stop")
        s.start_app(cwd=temp, exe=os.path.join(temp, "KV720.exe"))
        d = s.driver
        d.wait_main()
        user_unix, user_windows = s.local_app_data("KV720", "Backups")
        # No Lang folder there: the built-in text says it, in Polish and English.
        box = d.message_box() if d.modal(15000) else None
        text = box["text"].replace("\r\n", "\n")
        self.assertTrue(text.startswith("Program uruchomiono z folderu tymczasowego"), text)
        self.assertIn("KV720 was started from a temporary folder", text)
        self.assertTrue(text.endswith("\n" + user_windows), text)
        s.screenshot("temporary-folder-warning")
        d.answer(IDOK)
        d.wait_no_modal(10000)
        sim.wait_frame("65 02 02 69", timeout=20)

        # The reset's point lands in the per-user folder, none in the temporary one.
        d.command(RESET_PANEL)
        d.click(RESET_BUTTON, wait=False)
        d.modal(30000)
        d.answer(IDOK)
        d.wait_no_modal(10000)
        (point,) = os.listdir(user_unix)
        self.assertFalse(os.path.exists(os.path.join(temp, "Backups")))

        # The first Open of the run starts beside that Backups: a name relative to it is found.
        mark = sim.last_time()
        d.command(OPEN, wait=False)
        d.modal(15000)
        s.screenshot("first-open-dialog")
        d.file_dialog("Backups\\" + point)
        self.settled(d, sim, 32, mark)
        # The current folder is the start folder again, not the one of the file opened (Windows
        # would hold that open).
        drive_c = os.path.join(s.prefix.path, "drive_c")
        self.assertEqual(d.cwd().rstrip("\\").lower(),
                         ("C:\\" + os.path.relpath(temp, drive_c).replace("/", "\\")).lower())


if __name__ == "__main__":
    harness.main()
