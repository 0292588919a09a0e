#!/usr/bin/env python3
"""Start-up against hostile files: KV720.ini with a code that is no plain word or with no text at
all, language files with other line ends, a KV720.ini that cannot be written, and a start from
another folder. The window must always show, answer and poll."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import BLOCK2  # noqa: E402

POLISH_BAR = ["Plik", "Port", "Rozmiar", "Język", "Odczyty", "Konfiguracja", "Opcje", "Schemat",
              "Reset", "Oscyloskop", "Informacje"]


def menu_bar(d):
    return [i["text"] for i in d.menu_tree() if i["depth"] == 0]


class StartupFilesTest(harness.E2ETestCase):

    def start(self, name, ini):
        s = self.session(screen=(1024, 768), name=name)
        s.write_ini(ini)
        sim = s.start_sim(port=1)
        s.start_app()
        s.driver.wait_main(30000)
        return s, sim, s.driver

    def test_codes_that_name_no_file_and_binary_files_start_in_polish_and_poll(self):
        binary = bytes(range(256)) * 3 + b"\x00\xff" * 100
        cases = {
            "cp1250_letter": b"[Ustawienia]\nCommPort= 1\nLanguage= pol\xb3\n",
            "path": b"[Ustawienia]\r\nCommPort= 1\r\nLanguage= ang\\..\\..\\KV720.ini\r\n",
            "binary": binary,
        }
        for name, ini in cases.items():
            with self.subTest(name):
                s, sim, d = self.start("ini_" + name, ini)
                self.assertEqual(menu_bar(d), POLISH_BAR)
                # Unknown code, no file: the texts stay empty, as for any code without a file.
                self.assertEqual(d.caption(), "")
                sim.wait_frame(BLOCK2, timeout=20)  # online and polling
                d.command(40006)
                d.ctl(1003)  # the configuration panel is up
                d.sync()
                with open(os.path.join(s.run_dir, "KV720.ini"), "rb") as f:
                    self.assertEqual(f.read(), ini)  # nothing is written at start
                # No exception was stopped at a window procedure on the way.
                self.assertFalse(os.path.exists(os.path.join(s.run_dir, "KV720.log")))
                d.close()
                self.assertEqual(d.wait_gone()["exit"], 0)
                s.close()

    def test_language_files_with_cr_lf_or_lone_cr_line_ends_read_like_lf(self):
        s = self.session(screen=(1024, 768), name="lang_line_ends")
        s.write_ini(harness.ini_text(port=1, language="ang"))
        for code, end in (("ang", b"\r"), ("lit", b"\r\n")):
            path = os.path.join(s.run_dir, "Lang", "KV720_lang." + code)
            with open(path, "rb") as f:
                data = f.read()
            with open(path, "wb") as f:
                f.write(data.replace(b"\n", end))
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        self.assertEqual(d.caption(), harness.language_text("ang", 175))
        d.command(harness.LANGUAGE_ITEMS["lit"])
        self.assertEqual(d.caption(), harness.language_text("lit", 175))
        d.command(harness.PANEL_COMMANDS["configuration"])
        self.assertEqual(d.caption(), harness.language_text("lit", 176))
        self.assertEqual(d.text(1077), harness.language_text("lit", 42))

    def test_started_from_another_folder_the_programs_folder_holds_its_files(self):
        s = self.session(screen=(1024, 768), name="other_folder")
        elsewhere = os.path.join(s.dir, "elsewhere")
        os.makedirs(elsewhere)
        s.write_ini(harness.ini_text(port=1, language="ang"))
        s.start_app(cwd=elsewhere)
        d = s.driver
        d.wait_main(30000)
        self.assertEqual(d.caption(), harness.language_text("ang", 175))
        d.command(harness.LANGUAGE_ITEMS["rus"])
        self.assertEqual(s.read_ini().replace("\r\n", "\n"), harness.ini_text(1, "rus"))
        self.assertEqual(os.listdir(elsewhere), [])
        d.close()
        d.wait_gone()

        # A folder with a KV720.ini of its own is used as it always was.
        with open(os.path.join(elsewhere, "KV720.ini"), "w") as f:
            f.write(harness.ini_text(port=2, language="ang"))
        s.start_app(cwd=elsewhere)
        d.wait_main(30000)
        self.assertEqual(d.caption(), "")  # no Lang folder there
        self.assertTrue(d.menu_state(40020)["checked"])

    def test_a_kv720_ini_that_cannot_be_written_is_reported_once_and_the_program_runs_on(self):
        s = self.session(screen=(1024, 768), name="ini_folder")
        os.makedirs(os.path.join(s.run_dir, "KV720.ini"))  # a folder in the file's place
        sim = s.start_sim(port=2)
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        d.modal(10000)
        box = d.message_box()
        self.assertEqual(box["caption"], "Tolmar")
        self.assertEqual(box["text"], harness.language_text("pol", 184))
        d.answer(1)
        d.wait_no_modal()
        # The choices still apply for the run; no second message, no file, no temporary left.
        d.command(40020)
        d.command(harness.LANGUAGE_ITEMS["ang"])
        self.assertEqual(d.caption(), harness.language_text("ang", 175))
        sim.wait_frame(BLOCK2, timeout=20)
        d.sync()
        self.assertIsNone(d.attempt("modal 1000"))
        self.assertTrue(os.path.isdir(os.path.join(s.run_dir, "KV720.ini")))
        self.assertEqual(sorted(os.listdir(s.run_dir)), ["KV720.exe", "KV720.ini", "Lang"])

    def test_a_kv720_ini_held_by_another_program_at_start_is_left_as_it_is(self):
        s = self.session(screen=(1024, 768), name="ini_held")
        ini = harness.ini_text(port=3, language="rus")
        s.write_ini(ini)
        d = s.driver
        d("hold " + harness.windows_path(os.path.join(s.run_dir, "KV720.ini")))
        s.start_app()
        d.wait_main(30000)
        # Read as the defaults for this run, neither rewritten with them nor reported.
        self.assertEqual(menu_bar(d), POLISH_BAR)
        d("release")
        d.sync()
        self.assertIsNone(d.attempt("modal 1500"))
        self.assertEqual(s.read_ini(), ini)

    def test_the_window_fits_the_work_area_left_by_the_taskbar(self):
        # 1366 x 768 less a 40-pixel taskbar, here on the left: 1024 x 738 would hide its bottom
        # rows, so the window is 800 x 570, centred in the work area, and 1024x768 is grayed.
        s = self.session(screen=(1366, 768), name="laptop_taskbar")
        s.set_work_area(40, 0, 1326, 728)
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        self.assertEqual(d.rect(), [40 + 263, 79, 40 + 263 + 800, 79 + 570])
        self.assertTrue(d.menu_state(40029)["checked"])
        self.assertTrue(d.menu_state(40030)["grayed"])
        s.screenshot("laptop-taskbar")


if __name__ == "__main__":
    harness.main()
