#!/usr/bin/env python3
"""The settings file (.bs2) through the real exe, the common dialogs and kv720-sim: Save As writes
the simulator's settings in the exact format, Open sends them to another simulator in file order,
a silent controller leaves an existing file as it was, a bad file sends nothing, and a write that
is not echoed stops the load with its message."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import BLOCK2  # noqa: E402

IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7

# The file's keys in order, each with the block byte it is saved from and the write address it
# is loaded to.
KEYS = [
    ("Options", 3, 1, 5), ("LambdaType", 3, 2, 6), ("LambdaPoint", 3, 3, 7),
    ("LambdaDelay", 3, 4, 8), ("EmulType", 3, 5, 9), ("EmulBJ_TimeHi", 3, 6, 10),
    ("EmulBJ_TimeLo", 3, 7, 11), ("ZAM_OTW_BJ", 5, 6, 12), ("ZAM_OTW_DO", 5, 7, 13),
    ("InjectDelay", 3, 10, 14), ("LPGOnTemp", 3, 11, 15), ("AttMax", 4, 1, 16),
    ("AttMin", 4, 2, 17), ("AttInit", 2, 4, 18), ("TPSJump", 4, 3, 19), ("AttJump", 4, 4, 20),
    ("LPGOnRPMLo", 4, 5, 21), ("LPGOnRPMHi", 4, 6, 22), ("IgnitionType", 4, 7, 23),
    ("CutOffRPMLo", 4, 8, 24), ("CutOffRPMHi", 4, 9, 25), ("CutOffSteps", 4, 10, 26),
    ("LPGOffRPMLo", 4, 11, 27), ("LPGOffRPMHi", 4, 12, 28), ("TPSInert", 3, 12, 29),
    ("AttMax_BJ", 4, 13, 31), ("AttMin_BJ", 4, 14, 32), ("Prog1", 5, 1, 33), ("Prog2", 5, 2, 34),
    ("Prog3", 5, 3, 35), ("Prog4", 5, 4, 36), ("WOZG", 3, 8, 37),
]


def bs2_text(values):
    lines = ["[Tolmar_KV720+]", "Version=3", "[Configuration]"]
    lines += ["%s= %d" % (key, value) for (key, _, _, _), value in zip(KEYS, values)]
    return "\n".join(lines + ["NULL= 0", ""])


def sim_settings(sim):
    return [int(sim.control("get %d %d" % (block, index))) for _, block, index, _ in KEYS]


class SettingsFileTest(harness.E2ETestCase):

    def start(self, sims=1):
        s = self.session(screen=(1024, 768))
        s.write_ini(harness.ini_text(port=1, language="ang"))
        peers = [s.start_sim(port=n + 1) for n in range(sims)]
        s.start_app()
        s.driver.wait_main()
        peers[0].wait_frame(BLOCK2, timeout=20)  # the readings panel polls the controller
        return s, peers

    text = staticmethod(harness.texts("ang"))

    def choose(self, d, command, title, path):
        d.command(command, wait=False)
        d.wait_modal(self.text(title))
        d.file_dialog(harness.windows_path(path))

    def assertMessage(self, d, caption, text, buttons=(IDOK,), detail=False):
        """The message box; with detail, its text starts with `text` and an empty line follows
        (test_restore_points checks what comes after it)."""
        d.wait_modal(caption)
        box = d.message_box()
        if detail:
            self.assertTrue(box["text"].replace("\r\n", "\n").startswith(text + "\n\n"), box["text"])
        else:
            self.assertEqual(box["text"], text)
        self.assertTrue(box["icon"])
        self.assertEqual([b["id"] for b in box["buttons"] if b["id"] in (1, 2, 6, 7)],
                         list(buttons))
        return box

    def assertNoModal(self, d):
        """The dialogs are gone (answers are posted) and the command has run to its end."""
        d.wait_no_modal(10000)
        d.sync()
        self.assertIsNone(d.attempt("modal 0"))

    def test_save_then_open_into_another_controller(self):
        s, (sim1, sim2) = self.start(sims=2)
        d = s.driver
        # Settings of one car that differ from the factory values, across Blocks 2 to 5.
        for block, index, value in [(3, 1, 0x5A), (3, 11, 0), (5, 6, 255), (2, 4, 77), (4, 14, 9),
                                    (5, 4, 201), (3, 8, 13)]:
            sim1.control("set %d %d %d" % (block, index, value))
        saved = os.path.join(s.run_dir, "car one.bs2")
        self.choose(d, 40015, 166, os.path.join(s.run_dir, "car one"))  # the extension is added
        harness.wait_until(lambda: os.path.exists(saved), 15, what="the saved file")
        self.assertNoModal(d)
        values = sim_settings(sim1)
        self.assertEqual([0x5A, 0, 255, 77, 9, 201, 13],
                         [values[0], values[10], values[7], values[13], values[26], values[30],
                          values[31]])
        with open(saved, "rb") as f:
            self.assertEqual(f.read().decode("ascii"), bs2_text(values))

        # The other car, on COM2 and still at its factory values.
        self.assertNotEqual(sim_settings(sim2), values)
        d.command(40020)
        sim2.wait_frame(BLOCK2, timeout=20)
        started = time.monotonic()
        self.choose(d, 40014, 165, saved)
        expected = [(address, value) for (_, _, _, address), value in zip(KEYS, values)]
        harness.wait_until(lambda: len(sim2.writes()) >= 32, 20, what="32 writes")
        self.assertNoModal(d)
        self.assertEqual(sim2.writes(), expected)
        self.assertEqual(sim_settings(sim2), values)
        self.assertEqual(sim1.writes(), [])
        self.assertLess(time.monotonic() - started, 60)

    def test_save_as_never_damages_an_existing_file(self):
        s, (sim,) = self.start()
        d = s.driver
        path = os.path.join(s.run_dir, "kept.bs2")
        precious = b"[Tolmar_KV720+]\r\nthe fitter's records\r\n"
        with open(path, "wb") as f:
            f.write(precious)

        # No to the overwrite question shows the save dialog again; Cancel there ends it.
        self.choose(d, 40015, 166, path)
        question = self.assertMessage(d, self.text(172), self.text(173), (IDYES, IDNO))
        d.answer(IDNO)
        d.wait_modal(self.text(166))
        self.assertNotEqual(d.modal()["hwnd"], question["hwnd"])
        d.answer(IDCANCEL)
        self.assertNoModal(d)

        # Yes, but the controller is silent, or does not answer Block 5: the file stays.
        for fault, undo in [("silence on", "silence off"), ("noreply 5 on", "noreply 5 off")]:
            sim.control(fault)
            self.choose(d, 40015, 166, path)
            self.assertMessage(d, self.text(172), self.text(173), (IDYES, IDNO))
            d.answer(IDYES)
            self.assertMessage(d, self.text(170), self.text(174))
            d.answer(IDOK)
            self.assertNoModal(d)
            with open(path, "rb") as f:
                self.assertEqual(f.read(), precious, fault)
            self.assertEqual(sorted(os.listdir(s.run_dir)), ["KV720.exe", "KV720.ini", "Lang", "kept.bs2"])
            sim.control(undo)
            sim.wait_frame(BLOCK2, after=sim.last_time(), timeout=20)

        # With the controller answering, Yes replaces the file whole and leaves nothing beside it.
        self.choose(d, 40015, 166, path)
        self.assertMessage(d, self.text(172), self.text(173), (IDYES, IDNO))
        d.answer(IDYES)
        self.assertNoModal(d)
        with open(path, "rb") as f:
            self.assertEqual(f.read().decode("ascii"), bs2_text(sim_settings(sim)))
        self.assertEqual(sorted(os.listdir(s.run_dir)), ["KV720.exe", "KV720.ini", "Lang", "kept.bs2"])

    def test_open_refuses_bad_files_and_stops_at_a_write_without_echo(self):
        s, (sim,) = self.start()
        d = s.driver
        bad = os.path.join(s.run_dir, "bad.bs2")
        good = os.path.join(s.run_dir, "good.bs2")
        values = sim_settings(sim)
        with open(bad, "w", newline="") as f:
            f.write(bs2_text(values).replace("LPGOnTemp= %d" % values[10], "LPGOnTemp= 300"))
        with open(good, "w", newline="") as f:
            f.write(bs2_text(values).replace("\n", "\r\n"))  # CR LF line ends load too

        self.choose(d, 40014, 165, bad)
        self.assertMessage(d, self.text(169), self.text(168))
        d.answer(IDOK)
        self.assertNoModal(d)
        self.choose(d, 40014, 165, os.path.join(s.run_dir, "missing.bs2"))
        self.assertMessage(d, "I/O Error", self.text(167))
        d.answer(IDOK)
        self.assertNoModal(d)
        self.assertEqual(sim.writes(), [])

        # The controller stops acknowledging after 10 writes, or echoes another value.
        for fault, count in [("noecho-after 10", 11), ("wrongecho on", 1)]:
            sim.control(fault)
            mark = sim.last_time()
            self.choose(d, 40014, 165, good)
            self.assertMessage(d, self.text(170), self.text(171), detail=True)
            sent = sim.writes(mark)
            self.assertEqual(len(sent), count, fault)
            self.assertEqual([a for a, _ in sent], [k[3] for k in KEYS[:count]])
            d.answer(IDOK)
            self.assertNoModal(d)
            sim.control("faults off")


if __name__ == "__main__":
    harness.main()
