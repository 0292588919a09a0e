#!/usr/bin/env python3
"""kv720-cli.exe, the Windows build of the command line, under Wine against kv720-sim on COM1."""

import glob
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


class CliTest(harness.E2ETestCase):
    def run_cli(self, session, *args):
        cli = os.path.join(os.path.dirname(harness.CONFIG.exe), "kv720-cli.exe")
        self.assertTrue(os.path.exists(cli), cli)
        done = subprocess.run([harness.wine_loader(), cli] + list(args), cwd=session.run_dir,
                              env=session.prefix.env(session.display), capture_output=True,
                              timeout=300)
        out = done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
        err = done.stderr.decode("utf-8", "replace").replace("\r\n", "\n")
        return done.returncode, out, err

    def test_info_on_com1(self):
        s = self.session()
        sim = s.start_sim(port=1)
        code, out, err = self.run_cli(s, "--port", "COM1", "info")
        self.assertEqual(code, 0, err)
        # One "label  value" line each, the values from column 30.
        lines = {line[:30].strip(): line[30:].strip() for line in out.splitlines() if line.strip()}
        self.assertEqual(lines["Port"], "COM1")
        self.assertEqual(lines["Identification"], "65 01 45 AB")
        self.assertEqual(lines[harness.language_text("ang", 159).rstrip(": ")], "3.05")
        self.assertEqual(lines[harness.language_text("ang", 191).rstrip(": ")], "KR720SM")
        self.assertEqual(lines[harness.language_text("ang", 192).rstrip(": ")], "1234h25'")
        self.assertEqual(lines[harness.language_text("ang", 193).rstrip(": ")], "2019-05-14")
        # What went over the line: identification, then Block 5.
        sent = [f.hex() for f in sim.frames("in")]
        self.assertEqual(sent, ["65 01 01 67", "65 05 05 6F"])

    def test_utf8_to_a_pipe_any_port_name_and_a_silent_controller(self):
        s = self.session()
        sim = s.start_sim(port=1)
        # "com1:" is the device \\.\COM1; through a pipe the text is UTF-8, degree signs and all.
        code, out, err = self.run_cli(s, "--port", "com1:", "read")
        self.assertEqual(code, 0, err)
        self.assertRegex(out, r"\nLPGOnTemp +\d+  -?\d+ \u00b0C\n")
        # A controller that says nothing: every overlapped read ends at its timeout, and the
        # command says so rather than waiting.
        sim.control("silence on")
        code, _, err = self.run_cli(s, "--port", "COM1", "info")
        self.assertEqual(code, 4, err)
        self.assertIn("does not answer on COM1", err)

    def test_doctor_names_an_adapters_latency_timer(self):
        s = self.session()
        sim = s.start_sim(port=1)
        sim.control("latency 16")
        code, out, err = self.run_cli(s, "--port", "COM1", "doctor")
        self.assertEqual(code, 0, out + err)
        self.assertIn("7 replies come in their wire time  slow", out)
        self.assertIn("a USB serial adapter with a latency timer", out)
        # Wine's device list has no adapter behind COM1: the Windows way to set it, in words.
        self.assertIn("Port Settings > Advanced > Latency Timer (msec): 1", out)
        sim.control("latency 0")
        code, out, err = self.run_cli(s, "--port", "COM1", "doctor")
        self.assertEqual(code, 0, out + err)
        self.assertNotIn("latency", out.lower())

    def test_record_names_its_file_takes_piped_markers_and_plot_makes_the_page(self):
        s = self.session()
        s.start_sim(port=1)
        # A copy in the run folder keeps its Recordings folder (beside the program) there.
        cli = shutil.copy(os.path.join(os.path.dirname(harness.CONFIG.exe), "kv720-cli.exe"),
                          s.run_dir)
        record = subprocess.Popen([harness.wine_loader(), cli, "--port", "COM1", "record",
                                   "--seconds", "8"], cwd=s.run_dir, stdin=subprocess.PIPE,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  env=s.prefix.env(s.display))
        pattern = os.path.join(s.run_dir, "Recordings", "KR720SM_????-??-??_??????.csv")

        def rows():
            found = glob.glob(pattern)
            return open(found[0], encoding="utf-8").read().count("\n") if found else 0

        harness.wait_until(lambda: rows() >= 4, 60, what="the first rows on the disk")
        record.stdin.write("szarpie, \"na gazie\" \u0142\n".encode())
        record.stdin.flush()
        _, err = record.communicate(timeout=60)  # closes its input: the reader thread sees the end
        self.assertEqual(record.returncode, 0, err)
        [recording] = glob.glob(pattern)
        with open(recording, encoding="utf-8") as f:
            text = f.read()
        self.assertIn(',1,"szarpie, ""na gazie"" \u0142"\n', text)
        self.assertTrue(text.endswith("\n"))
        code, out, err = self.run_cli(s, "plot", recording, "-o", "road.html")
        self.assertEqual(code, 0, err)
        with open(os.path.join(s.run_dir, "road.html"), encoding="utf-8") as f:
            page = f.read()
        self.assertIn("uPlot", page)
        self.assertIn('"label":"1 szarpie, \\"na gazie\\" \u0142"', page)

    def test_missing_port_and_usage_errors(self):
        s = self.session()
        code, _, err = self.run_cli(s, "--port", "COM2", "info")  # COM2 leads nowhere
        self.assertEqual(code, 3, err)
        self.assertIn("COM2", err)
        code, _, err = self.run_cli(s, "info")
        self.assertEqual(code, 2, err)


if __name__ == "__main__":
    harness.main()
