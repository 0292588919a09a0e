"""kv720-cli plot's page in a real browser (headless Chromium), made from recordings of kv720-sim
driven through known readings (road.py): the charts are drawn, the cursor shows the known values,
the markers' lines and labels are there, a zoom changes the span in view, two recordings overlay.

Usage: test_plot.py --cli build/native/kv720-cli --sim build/native/sim/kv720-sim --work DIR
"""

import argparse
import os
import shutil
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "support"))
import road  # noqa: E402
from chromium import Chromium, png_pixels  # noqa: E402
from road import harness  # noqa: E402

ARGS = None
FIRST, SECOND = (21, 101, 192), (198, 40, 40)  # the viewer's colours of files 1 and 2


def near(pixel, colour, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


class PlotInBrowser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = ARGS.work
        shutil.rmtree(cls.work, ignore_errors=True)
        os.makedirs(cls.work)
        sim = harness.Sim(ARGS.sim, cls.work, "road", options=["--start-time", "40"]).start()
        try:
            cls.drive = road.record_drive(ARGS.cli, sim, os.path.join(cls.work, "road.csv"),
                                          road.DRIVE)
            cls.after = road.record_drive(ARGS.cli, sim, os.path.join(cls.work, "after.csv"),
                                          road.AFTER)
        finally:
            sim.stop()
        cls.browser = Chromium(width=1280, height=1700)

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()

    def open(self, *recordings, options=()):
        page = road.plot(ARGS.cli, [r.path for r in recordings],
                         os.path.join(self.work, "page%d.html" % len(recordings)), *options)
        self.browser.open("file://" + page, "document.documentElement.dataset.ready")
        self.assertEqual([], self.browser.errors)

    def chart(self, number):
        """The page rectangle (x, y, width, height) of a chart's plotting area, in CSS pixels."""
        return self.browser.evaluate(
            "(r => [r.left + scrollX, r.top + scrollY, r.width, r.height])"
            "(kvCharts[%d].over.getBoundingClientRect())" % number)

    def x_of(self, number, t):
        return self.chart(number)[0] + self.browser.evaluate("kvCharts[%d].valToPos(%r, 'x')" % (number, t))

    def pixels(self, rect):
        return png_pixels(self.browser.screenshot(clip=rect))[2]

    def read_out(self, t):
        """Points at time t on the lambda chart; answers the read-out's texts by file and column."""
        x, y = self.x_of(0, t), self.chart(0)[1] + 20
        self.browser.evaluate("scrollTo(0, 0)")
        before = self.browser.evaluate("document.querySelector('.kv-time').textContent")
        self.browser.mouse("mouseMoved", x, y)
        self.browser.wait_for("document.querySelector('.kv-time').textContent !== %r" % before)
        return self.browser.evaluate(
            "Object.fromEntries([...document.querySelectorAll('#kv-readout [data-col]')].map("
            "e => [e.parentNode.dataset.file + ':' + e.dataset.col, e.textContent]))")

    def span(self):
        return self.browser.evaluate("kvCharts.map(u => [u.scales.x.min, u.scales.x.max])")

    def test_one_drive_then_two_overlaid(self):
        drive, browser = self.drive, self.browser
        self.open(drive)

        # The charts are drawn: the lambda trace's colour covers part of its plotting area.
        lambda_area = self.chart(0)
        rows = self.pixels(lambda_area)
        traced = sum(near(p, FIRST) for row in rows for p in row)
        self.assertGreater(traced, lambda_area[2], "the lambda chart looks empty")
        self.assertEqual(6, browser.evaluate("kvCharts.length"))

        # The cursor at a known moment of each phase shows that phase's readings with units.
        for phase in road.DRIVE:
            held = drive.rows_at(phase)
            t = float(held[len(held) // 2]["time_s"])
            shown = self.read_out(t)
            self.assertEqual("lambda %s V" % phase.lambda_volts, shown["0:lambda_V"], phase.name)
            self.assertEqual("engine speed %d rpm" % phase.rpm, shown["0:engine_rpm"], phase.name)
            self.assertEqual("stepper position %d steps" % phase.actuator,
                             shown["0:actuator_steps"], phase.name)
            self.assertEqual("on gas (else petrol) on", shown["0:on_gas"], phase.name)

        # Both markers: their labels over the top chart, their dashed lines down every chart.
        labels = browser.evaluate("[...document.querySelectorAll('.kv-marker-label')]"
                                  ".map(e => [e.textContent, e.style.display])")
        self.assertEqual([["1 first gear", ""], ["2", ""]], labels)
        for number in (1, 2):
            x = round(self.x_of(0, drive.marker_time(number)))
            column = self.pixels((x - 1, lambda_area[1], 3, lambda_area[3]))
            lined = sum(any(near(p, FIRST) for p in row) for row in column)
            self.assertGreater(lined, lambda_area[3] // 2, "no line at marker %d" % number)

        # A drag across the engine speed chart zooms every chart to the same span; the statistics
        # follow; a double-click shows everything again.
        whole = self.span()
        t1, t2 = drive.marker_time(1), drive.marker_time(2)
        y = self.chart(2)[1] + 30
        browser.drag(self.x_of(2, t1), y, self.x_of(2, t2))
        zoomed = self.span()
        for low, high in zoomed:
            self.assertAlmostEqual(t1, low, delta=0.1)
            self.assertAlmostEqual(t2, high, delta=0.1)
        stats = browser.evaluate("[...document.querySelector('#kv-stats tr[data-col=engine_rpm]')"
                                 ".cells].map(c => c.textContent)")
        self.assertEqual(["engine speed (rpm)", str(road.DRIVE[0].rpm), str(road.DRIVE[1].rpm)],
                         stats[:3])
        browser.double_click(self.x_of(2, (t1 + t2) / 2), y)
        browser.wait_for("kvCharts[0].scales.x.max - kvCharts[0].scales.x.min > %r" % (t2 - t1 + 1))
        self.assertEqual(whole, self.span())
        browser.screenshot(os.path.join(self.work, "road-test.png"))

        # Two recordings aligned at marker 1: each chart has a series of each; both are drawn,
        # and the cursor at the marker shows each file's own reading.
        self.open(drive, self.after, options=("--align", "marker:1"))
        counts = browser.evaluate("kvCharts.slice(0, 5).map(u => u.series.length)")
        self.assertEqual([5, 5, 3, 5, 3], counts)
        rows = self.pixels(self.chart(0))
        self.assertGreater(sum(near(p, SECOND) for row in rows for p in row), lambda_area[2] // 4)
        shown = self.read_out(drive.marker_time(1) - 0.3)
        self.assertEqual("lambda %s V" % road.DRIVE[0].lambda_volts, shown["0:lambda_V"])
        self.assertEqual("lambda %s V" % road.AFTER[0].lambda_volts, shown["1:lambda_V"])
        positions = browser.evaluate("[...document.querySelectorAll('.kv-marker-label')]"
                                     ".filter(e => e.textContent === '1 first gear')"
                                     ".map(e => e.style.left)")
        self.assertEqual(2, len(positions))
        self.assertEqual(positions[0], positions[1])
        browser.screenshot(os.path.join(self.work, "road-test-compare.png"))


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--work", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
