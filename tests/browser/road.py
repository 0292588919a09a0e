"""A scripted road test: kv720-sim holds known readings while the native kv720-cli records them,
markers typed on its input as a fitter presses Enter. For the browser tests and make demo.

    sim = harness.Sim(sim_exe, folder, "road").start()
    drive = record_drive(cli, sim, "road.csv", PHASES)
    drive.rows_at(PHASES[0])   # the rows recorded while the first phase's values were held
"""

import csv
import os
import signal
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "e2e"))
import harness  # noqa: E402


class Phase:
    """Readings the simulator holds (pinned Block 2 bytes) and what record decodes them to."""

    def __init__(self, name, lambda_byte, rpm, actuator, note):
        self.name, self.lambda_byte, self.rpm, self.actuator = name, lambda_byte, rpm, actuator
        self.note = note  # the marker's words typed at the end of the phase; None for no marker
        self.lambda_volts = "%.4f" % (lambda_byte * 196 / 10000)

    def pin(self, sim):
        period = 15000000 // self.rpm
        for byte, value in ((2, self.lambda_byte), (3, self.actuator), (5, period & 0xFF),
                            (6, period >> 8)):
            sim.control("set 2 %d %d" % (byte, value))


# A drive of three phases with a marker at the end of the first two: "first gear", then one
# without words.
DRIVE = [Phase("idle", 51, 2000, 110, "first gear"), Phase("pull", 153, 4000, 140, ""),
         Phase("cruise", 102, 3000, 125, None)]
# A second drive to lay over the first: other values, one marker.
AFTER = [Phase("idle", 20, 1500, 100, "first gear"), Phase("pull", 200, 3500, 150, None)]

# Rows each phase lasts at least (the recorder writes about 18 a second).
ROWS_PER_PHASE = 25


class Drive:
    def __init__(self, path, phases):
        self.path, self.phases = path, phases

    def rows(self):
        """The recording's data rows as dicts (the units row left out)."""
        with open(self.path, newline="", encoding="utf-8") as f:
            rows = list(csv.DictReader(f))
        return rows[1:]

    def rows_at(self, phase):
        return [r for r in self.rows() if r["lambda_V"] == phase.lambda_volts
                and r["engine_rpm"] == str(phase.rpm)]

    def marker_time(self, number):
        return next(float(r["time_s"]) for r in self.rows() if r["marker"] == str(number))


def record_drive(cli, sim, path, phases, rows_per_phase=ROWS_PER_PHASE):
    """Records the phases one after another into path; answers the Drive."""
    drive = Drive(path, phases)
    sim.control("static on")
    phases[0].pin(sim)
    proc = subprocess.Popen([cli, "--port", sim.link, "record", path], stdin=subprocess.PIPE,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        markers = 0
        for number, phase in enumerate(phases):
            if number:
                phase.pin(sim)
            harness.wait_until(lambda: os.path.exists(path) and
                               len(drive.rows_at(phase)) >= rows_per_phase, 30,
                               what="%d rows of the %s phase" % (rows_per_phase, phase.name))
            if phase.note is not None:
                proc.stdin.write(phase.note.encode() + b"\n")
                proc.stdin.flush()
                markers += 1
                harness.wait_until(lambda: any(r["marker"] == str(markers) for r in drive.rows()),
                                   30, what="marker %d in the recording" % markers)
        proc.send_signal(signal.SIGINT)
        _, errors = proc.communicate(timeout=30)
        if proc.returncode != 0:
            raise harness.HarnessError("record ended with %d: %s" % (proc.returncode, errors))
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    return drive


def plot(cli, recordings, page, *options):
    subprocess.run([cli, "plot", *recordings, "-o", page, *options], check=True,
                   stdout=subprocess.DEVNULL)
    return page
