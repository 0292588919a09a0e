"""Headless Chromium driven over the DevTools protocol on a pipe (--remote-debugging-pipe: the
browser reads commands from descriptor 3 and answers on 4, NUL-separated JSON), with only the
standard library. For the browser tests of kv720-cli plot's pages and make bench.

    with Chromium(width=1280, height=1600) as b:
        b.open("file:///.../road.html", ready="document.documentElement.dataset.ready")
        b.evaluate("window.kvCharts.length")
        b.mouse("mouseMoved", 300, 200)
        png = b.screenshot()
"""

import base64
import json
import os
import shutil
import subprocess
import tempfile
import time
import zlib


class BrowserError(Exception):
    pass


def chromium_path():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    raise BrowserError("no chromium on PATH (scripts/setup.sh installs Debian's)")


class Chromium:
    def __init__(self, width=1280, height=1600, timeout=60):
        self.width, self.height, self.timeout = width, height, timeout
        self.profile = tempfile.mkdtemp(prefix="kv720-chromium-")
        to_browser, self._write = os.pipe()
        self._read, from_browser = os.pipe()

        def descriptors():  # the browser's 3 and 4, wherever the pipes' ends are
            commands, answers = os.dup(to_browser), os.dup(from_browser)
            os.dup2(commands, 3)
            os.dup2(answers, 4)

        args = [chromium_path(), "--headless=new", "--remote-debugging-pipe", "--no-sandbox",
                "--disable-gpu", "--no-first-run", "--no-default-browser-check",
                "--disable-extensions", "--hide-scrollbars", "--force-device-scale-factor=1",
                "--user-data-dir=" + self.profile, "--window-size=%d,%d" % (width, height),
                "about:blank"]
        self.proc = subprocess.Popen(args, preexec_fn=descriptors, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, close_fds=False)
        os.close(to_browser)
        os.close(from_browser)
        self._buffer = b""
        self._next = 0
        self.session = None
        self.errors = []  # uncaught exceptions of the page's scripts
        targets = self.call("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.call("Target.attachToTarget", targetId=page["targetId"],
                                 flatten=True)["sessionId"]
        self.call("Page.enable")
        self.call("Runtime.enable")
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=False)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        try:
            self.call("Browser.close", session=False)
        except (BrowserError, OSError):
            pass
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        for fd in (self._write, self._read):
            try:
                os.close(fd)
            except OSError:
                pass
        shutil.rmtree(self.profile, ignore_errors=True)

    def call(self, method, session=True, **params):
        self._next += 1
        message = {"id": self._next, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._write, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + self.timeout
        while True:
            while b"\0" not in self._buffer:
                if time.monotonic() > deadline:
                    raise BrowserError("no answer to %s" % method)
                chunk = os.read(self._read, 1 << 20)
                if not chunk:
                    raise BrowserError("chromium closed its pipe during %s" % method)
                self._buffer += chunk
            raw, self._buffer = self._buffer.split(b"\0", 1)
            answer = json.loads(raw)
            if answer.get("method") == "Runtime.exceptionThrown":
                details = answer["params"]["exceptionDetails"]
                self.errors.append(details.get("exception", {}).get("description")
                                   or details.get("text"))
            if answer.get("id") == self._next:
                if "error" in answer:
                    raise BrowserError("%s: %s" % (method, answer["error"]))
                return answer.get("result", {})

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise BrowserError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=30, what=None):
        """Polls a page expression until it is truthy; answers its value."""
        deadline, problem = time.monotonic() + timeout, ""
        while True:
            try:  # a page that is still loading may not have what the expression reads
                value, problem = self.evaluate(expression), ""
                if value:
                    return value
            except BrowserError as e:
                problem = ": %s" % e
            if time.monotonic() > deadline:
                raise BrowserError("timed out waiting for %s%s%s" % (
                    what or expression, problem, "; page errors: %s" % self.errors if self.errors else ""))
            time.sleep(0.05)

    def open(self, url, ready, timeout=30):
        self.call("Page.navigate", url=url)
        return self.wait_for(ready, timeout, "%s on %s" % (ready, url))

    def mouse(self, kind, x, y, buttons=0, button="none", clicks=0):
        self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button,
                  buttons=buttons, clickCount=clicks)

    def drag(self, x1, y, x2, steps=5):
        self.mouse("mouseMoved", x1, y)
        self.mouse("mousePressed", x1, y, 1, "left", 1)
        for i in range(1, steps + 1):
            self.mouse("mouseMoved", x1 + (x2 - x1) * i / steps, y, 1, "left")
        self.mouse("mouseReleased", x2, y, 0, "left", 1)

    def double_click(self, x, y):
        for clicks in (1, 2):
            self.mouse("mousePressed", x, y, 1, "left", clicks)
            self.mouse("mouseReleased", x, y, 0, "left", clicks)

    def screenshot(self, path=None, clip=None):
        """The whole page, or the clip (x, y, width, height) of it, as PNG bytes (also written
        to path when given)."""
        params = {"format": "png", "captureBeyondViewport": True}
        if clip:
            params["clip"] = dict(zip(("x", "y", "width", "height"), clip), scale=1)
        png = base64.b64decode(self.call("Page.captureScreenshot", **params)["data"])
        if path:
            with open(path, "wb") as f:
                f.write(png)
        return png


def png_pixels(png):
    """(width, height, rows of (r, g, b) tuples) of an 8-bit RGB or RGBA PNG."""
    assert png[:8] == b"\x89PNG\r\n\x1a\n"
    at, chunks, header = 8, [], None
    while at < len(png):
        length = int.from_bytes(png[at:at + 4], "big")
        kind, body = png[at + 4:at + 8], png[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            chunks.append(body)
        at += 12 + length
    width, height = int.from_bytes(header[0:4], "big"), int.from_bytes(header[4:8], "big")
    depth, colour = header[8], header[9]
    if depth != 8 or colour not in (2, 6):
        raise BrowserError("PNG of depth %d colour type %d" % (depth, colour))
    size = 3 if colour == 2 else 4
    raw, stride, rows, previous = zlib.decompress(b"".join(chunks)), width * size, [], None
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        prior = previous or bytearray(stride)
        for i in range(stride):
            a = line[i - size] if i >= size else 0
            b, c = prior[i], prior[i - size] if i >= size else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * size:x * size + 3]) for x in range(width)])
        previous = line
    return width, height, rows
