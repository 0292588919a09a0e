#!/usr/bin/python3
"""Draws the installation wiring diagram of the schema panel, once per language, from one drawing
and the label table schema_labels.tsv: 961 x 636 pixels, reduced to 256 colours, written as 8-bit
BMP files schema_<code>.bmp beside this script (bitmaps 225 rus, 226 lit, 227 pol, 228 ang).

Needs Debian's python3-cairo and fonts-dejavu-core (scripts/setup.sh installs both). Every text
is measured: a text that runs over another text, a wire, a part or the picture's edge stops the
script with its name, so a longer translation cannot silently break the drawing.

Usage: make_schema.py                write the four bitmaps
       make_schema.py --check        render into memory and compare with the committed bitmaps
       make_schema.py --png DIR      also write PNG copies (for looking at them)
"""
import argparse
import collections
import os
import struct
import sys

import cairo

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 961, 636
LANGUAGES = ["rus", "lit", "pol", "ang"]
FONT = "DejaVu Sans"
FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

PAPER = (1.0, 1.0, 1.0)
INK = (0.10, 0.10, 0.12)
PART = (0.86, 0.89, 0.94)        # fill of the car's parts
PART_EDGE = (0.30, 0.33, 0.40)
BODY = (0.78, 0.84, 0.93)        # the controller
CONNECTOR = (0.25, 0.27, 0.32)
GAS = (1.0, 0.95, 0.70)          # the gas line: a pale pipe, unlike any wire
GAS_EDGE = (0.42, 0.38, 0.22)
PIPE = (0.62, 0.62, 0.62)        # exhaust and intake tubes
OUTLINE = (0.25, 0.25, 0.25)     # the edge drawn around every wire

WIRE_RGB = {
    "red": (0.86, 0.10, 0.10), "black": (0.08, 0.08, 0.08), "brown": (0.50, 0.28, 0.10),
    "white": (1.0, 1.0, 1.0), "pink": (1.0, 0.55, 0.75), "violet": (0.55, 0.25, 0.78),
    "grey": (0.60, 0.60, 0.60), "green": (0.08, 0.60, 0.20), "blue": (0.12, 0.36, 0.88),
    "yellow": (1.0, 0.85, 0.0), "orange": (1.0, 0.55, 0.0),
}

# The controller and its two rows of pins.
CTRL_LEFT, CTRL_RIGHT, CTRL_TOP, CTRL_BOTTOM = 395, 565, 56, 624
STRIP = 24
LEFT_PIN_X, RIGHT_PIN_X = CTRL_LEFT, CTRL_RIGHT

# pin, side, y, colour, stripe colour (or None), x where the wire meets its part
WIRES = [
    (1, "L", 100, "red", None, 170),
    (2, "L", 165, "black", None, 40),
    (3, "L", 222, "brown", None, 150),
    (4, "L", 282, "white", None, 165),
    (5, "L", 306, "pink", None, 165),
    (6, "L", 376, "violet", None, 170),
    (7, "L", 468, "white", "black", 250),
    (8, "L", 592, "orange", "black", 150),
    (9, "R", 84, "grey", None, 826),
    (10, "R", 160, "green", None, 780),
    (11, "R", 234, "blue", None, 790),
    (12, "R", 256, "blue", "white", 790),
    (13, "R", 278, "yellow", None, 790),
    (14, "R", 300, "yellow", "black", 790),
    (15, "R", 382, "brown", "white", 768),
    (16, "R", 430, "orange", None, 768),
    (17, "R", 586, "green", "black", 768),
]


def read_labels(path):
    """The label table: {code: {key: [lines]}}."""
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f
                if line.strip() and not line.startswith("#")]
    header, body = rows[0], rows[1:]
    labels = {code: {} for code in header[1:]}
    for row in body:
        if len(row) != len(header):
            raise SystemExit("schema_labels.tsv: row %r has %d columns" % (row[0], len(row)))
        for code, text in zip(header[1:], row[1:]):
            labels[code][row[0]] = text.split("|")
    return labels


class Overlap(Exception):
    pass


class Drawing:
    """A cairo context with the texts' and parts' rectangles kept to catch overlaps."""

    def __init__(self, texts):
        self.surface = cairo.ImageSurface(cairo.FORMAT_RGB24, WIDTH, HEIGHT)
        self.c = cairo.Context(self.surface)
        options = cairo.FontOptions()
        options.set_antialias(cairo.ANTIALIAS_GRAY)
        options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
        options.set_hint_metrics(cairo.HINT_METRICS_ON)
        self.c.set_font_options(options)
        self.texts = texts
        self.taken = []  # (name, x0, y0, x1, y1, kind)
        self.junctions = []  # drawn last, over the wires they join

    # -- bookkeeping --------------------------------------------------------------------------
    def take(self, name, x0, y0, x1, y1, inside=None, kind="text"):
        """Notes a rectangle. Texts may touch nothing but the part they are `inside`; parts may
        not touch each other; wires and lines join parts, so they only keep clear of texts."""
        if x0 < 2 or y0 < 2 or x1 > WIDTH - 2 or y1 > HEIGHT - 2:
            raise Overlap("%s runs over the picture's edge (%d,%d)-(%d,%d)" % (name, x0, y0, x1, y1))
        for other in self.taken:
            if other[0] == "[%s]" % inside or (kind != "text" and other[5] != "text" and
                                      (kind == "wire" or other[5] == "wire")):
                continue
            if x0 < other[3] and other[1] < x1 and y0 < other[4] and other[2] < y1:
                raise Overlap("%s (%d,%d)-(%d,%d) overlaps %s" % (name, x0, y0, x1, y1, other[0]))
        self.taken.append((name, x0, y0, x1, y1, kind))

    # -- primitives -----------------------------------------------------------------------------
    def colour(self, rgb):
        self.c.set_source_rgb(*rgb)

    def rect(self, x0, y0, x1, y1, fill, edge=PART_EDGE, width=1.5, name=None, radius=0):
        c = self.c
        c.new_path()
        if radius:
            c.new_sub_path()
            c.arc(x1 - radius, y0 + radius, radius, -1.5708, 0)
            c.arc(x1 - radius, y1 - radius, radius, 0, 1.5708)
            c.arc(x0 + radius, y1 - radius, radius, 1.5708, 3.1416)
            c.arc(x0 + radius, y0 + radius, radius, 3.1416, 4.7124)
            c.close_path()
        else:
            c.rectangle(x0, y0, x1 - x0, y1 - y0)
        if fill:
            self.colour(fill)
            c.fill_preserve()
        self.colour(edge)
        c.set_line_width(width)
        c.stroke()
        if name:
            self.take("[%s]" % name, x0 - 1, y0 - 1, x1 + 1, y1 + 1, kind="part")

    def line(self, points, rgb=INK, width=1.5):
        c = self.c
        c.move_to(*points[0])
        for p in points[1:]:
            c.line_to(*p)
        self.colour(rgb)
        c.set_line_width(width)
        c.stroke()

    def circle(self, x, y, r, fill, edge=INK, width=1.2):
        self.c.new_path()  # a text leaves a current point that the arc would join
        self.c.arc(x, y, r, 0, 6.2832)
        if fill:
            self.colour(fill)
            self.c.fill_preserve()
        self.colour(edge)
        self.c.set_line_width(width)
        self.c.stroke()

    def font(self, size, bold=False):
        self.c.select_font_face(FONT, cairo.FONT_SLANT_NORMAL,
                                cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
        self.c.set_font_size(size)

    def text(self, key, x, y, size=12, bold=False, align="left", rgb=INK, inside=None,
             raw=None, gap=1):
        """Draws a label (its lines from the table, or `raw`) with its first baseline at y;
        `align` says where x is: left, centre or right of each line."""
        lines = [raw] if raw is not None else self.texts[key]
        self.font(size, bold)
        ascent, descent, height = self.c.font_extents()[:3]
        step = int(round(height)) + gap - 2
        widths = [self.c.text_extents(s).x_advance for s in lines]
        box_w = max(widths)
        left = {"left": x, "centre": x - box_w / 2, "right": x - box_w}[align]
        self.take(repr(key or raw), int(left) - 1, int(y - ascent), int(left + box_w) + 2,
                  int(y + descent + step * (len(lines) - 1)) + 1, inside)
        self.colour(rgb)
        for i, (s, w) in enumerate(zip(lines, widths)):
            lx = {"left": x, "centre": x - w / 2, "right": x - w}[align]
            self.c.move_to(round(lx), y + i * step)
            self.c.show_text(s)

    def wire(self, points, base, stripe=None, name=None):
        """A harness wire: its colour in a thin dark edge, a striped wire with dashes of the
        stripe colour."""
        c = self.c
        c.set_line_join(cairo.LINE_JOIN_MITER)
        c.set_line_cap(cairo.LINE_CAP_BUTT)
        self.line(points, OUTLINE, 6)
        self.line(points, WIRE_RGB[base], 4)
        if stripe:
            c.set_dash([7, 5])
            self.line(points, WIRE_RGB[stripe], 4)
            c.set_dash([])
        if name:
            for (x0, y0), (x1, y1) in zip(points, points[1:]):
                self.take(name, min(x0, x1) - 3, min(y0, y1) - 3, max(x0, x1) + 3, max(y0, y1) + 3,
                          kind="wire")

    def gas_line(self, points, name):
        c = self.c
        c.set_line_join(cairo.LINE_JOIN_ROUND)
        self.line(points, GAS_EDGE, 11)
        self.line(points, GAS, 6)
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            self.take(name, min(x0, x1) - 5, min(y0, y1) - 5, max(x0, x1) + 5, max(y0, y1) + 5,
                      kind="wire")

    def ground_mark(self, x, y):
        """The ground sign hanging below (x, y)."""
        self.line([(x, y), (x, y + 8)], INK, 2)
        for i, half in enumerate((9, 6, 3)):
            self.line([(x - half, y + 8 + 3 * i), (x + half, y + 8 + 3 * i)], INK, 2)

    def dot(self, x, y):
        self.junctions.append((x, y))

    def draw_junctions(self):
        for x, y in self.junctions:
            self.circle(x, y, 4, INK, INK, 1)


# -- the controller -------------------------------------------------------------------------------
def draw_controller(d):
    d.rect(CTRL_LEFT, CTRL_TOP, CTRL_RIGHT, CTRL_BOTTOM, BODY, PART_EDGE, 2, "controller", radius=8)
    d.rect(CTRL_LEFT, CTRL_TOP + 20, CTRL_LEFT + STRIP, CTRL_BOTTOM - 20, CONNECTOR, CONNECTOR, 1)
    d.rect(CTRL_RIGHT - STRIP, CTRL_TOP + 20, CTRL_RIGHT, CTRL_BOTTOM - 20, CONNECTOR, CONNECTOR, 1)
    d.text(None, 480, 300, 26, True, "centre", raw="KV720", inside="controller")
    d.text("controller", 480, 324, 13, False, "centre", inside="controller")
    d.text("connector", 480, 360, 11, False, "centre", rgb=PART_EDGE, inside="controller")
    for pin, side, y, *_ in WIRES:
        x0 = CTRL_LEFT + 3 if side == "L" else CTRL_RIGHT - STRIP + 3
        d.rect(x0, y - 8, x0 + STRIP - 6, y + 8, PAPER, PAPER, 1, radius=2)
        d.text(None, x0 + (STRIP - 6) / 2, y + 4, 10, True, "centre", raw=str(pin),
               inside="controller")


def draw_wires(d):
    """Every wire straight from its pin to its part, its colour named under it by the pin."""
    for pin, side, y, base, stripe, end in WIRES:
        start = CTRL_LEFT if side == "L" else CTRL_RIGHT
        name = "wire %d" % pin
        d.wire([(start, y), (end, y)], base, stripe, name)
        words = [d.texts[base][0]] + ([d.texts[stripe][0]] if stripe else [])
        label = " / ".join(words)
        if side == "L":
            d.text(None, start - 6, y + 15, 11, align="right", raw=label)
        else:
            d.text(None, start + 6, y + 15, 11, raw=label)


# -- the car's side (left) ------------------------------------------------------------------------
def draw_supply(d):
    """Battery + through the fuse and the ignition switch to pin 1; battery - and pin 2 to ground."""
    d.rect(20, 76, 170, 124, (0.25, 0.27, 0.32), INK, 1.5, "battery", radius=4)
    d.text("battery", 98, 96, 11, True, "centre", rgb=PAPER, inside="battery")
    d.rect(166, 94, 176, 106, WIRE_RGB["red"], INK, 1)
    d.take("[battery terminal]", 166, 93, 177, 107, inside="battery", kind="part")
    d.text(None, 159, 90, 12, True, "centre", rgb=PAPER, raw="+", inside="battery")
    d.text(None, 30, 120, 12, True, "centre", rgb=PAPER, raw="−", inside="battery")
    d.wire([(40, 124), (40, 165)], "black", None, "battery minus")
    d.dot(40, 165)
    d.ground_mark(40, 168)
    d.text("ground", 58, 186, 11)
    # The fuse and the switch sit in the red wire.
    d.rect(224, 94, 260, 106, PAPER, INK, 1.5)
    d.line([(224, 100), (260, 100)], INK, 1)
    d.text("fuse", 242, 121, 11, align="centre")
    d.rect(290, 95, 338, 105, PAPER, PAPER, 0)
    d.circle(296, 100, 3, PAPER, INK, 1.5)
    d.circle(332, 100, 3, PAPER, INK, 1.5)
    d.line([(298, 98), (329, 84)], INK, 2)
    d.text("ignition_switch", 314, 78, 11, align="centre")


def draw_coil(d):
    d.rect(20, 208, 150, 236, PART, PART_EDGE, 1.5, "coil", radius=3)
    c = d.c
    c.move_to(40, 222)
    for i in range(6):
        c.curve_to(44 + 14 * i, 208, 52 + 14 * i, 208, 54 + 14 * i, 222)
    d.colour(INK)
    c.set_line_width(1.5)
    c.stroke()
    d.text("coil", 20, 252, 11)
    d.text("rpm", 160, 214, 11)


def draw_switch(d):
    d.rect(20, 268, 165, 322, (0.20, 0.21, 0.24), INK, 1.5, "switch", radius=6)
    d.rect(31, 276, 51, 288, (0.6, 0.6, 0.62), PAPER, 1)
    d.line([(41, 282), (48, 274)], PAPER, 2.5)
    d.text("switch_input", 60, 286, 11, rgb=PAPER, inside="switch")
    d.circle(41, 306, 5, (0.2, 0.9, 0.3), PAPER, 1)
    d.text("switch_lamp", 60, 310, 11, rgb=PAPER, inside="switch")
    d.text("switch", 20, 338, 11)


def draw_ecu_and_emulator(d):
    d.rect(20, 352, 170, 420, PART, PART_EDGE, 1.5, "ecu", radius=4)
    d.text("ecu", 95, 376, 11, True, "centre", inside="ecu")
    d.text("lambda_out", 178, 368, 11)
    for x in (45, 75, 105, 135):
        d.line([(x, 420), (x, 446)], INK, 2)
    d.rect(20, 446, 250, 490, (0.98, 0.93, 0.70), PART_EDGE, 1.5, "emulator", radius=4)
    d.text("emulator", 135, 473, 11, True, "centre", inside="emulator")
    for x in (45, 75, 105, 135):
        d.line([(x, 490), (x, 512)], INK, 2)
        d.rect(x - 4, 512, x + 4, 530, (0.7, 0.72, 0.76), INK, 1)
        d.c.move_to(x - 4, 530)
        d.c.line_to(x, 537)
        d.c.line_to(x + 4, 530)
        d.colour(INK)
        d.c.fill()
    d.text("injectors", 152, 528, 11)


def draw_petrol_valve(d):
    d.line([(20, 614), (150, 614)], (0.35, 0.45, 0.30), 5)
    d.c.move_to(62, 606)
    d.c.line_to(62, 622)
    d.c.line_to(90, 606)
    d.c.line_to(90, 622)
    d.c.close_path()
    d.colour(PAPER)
    d.c.fill_preserve()
    d.colour(INK)
    d.c.set_line_width(1.5)
    d.c.stroke()
    d.rect(64, 582, 88, 602, PART, INK, 1.5, "petrol valve")
    d.line([(76, 602), (76, 614)], INK, 1.5)
    d.wire([(88, 592), (150, 592)], "orange", "black")
    d.text("petrol_valve", 158, 584, 11)


# -- the engine's and the gas side (right) ---------------------------------------------------------
def draw_exhaust_and_probe(d):
    d.rect(700, 104, 955, 124, PIPE, PART_EDGE, 1.5, "exhaust")
    d.text("exhaust", 760, 118, 10, align="centre", inside="exhaust")
    d.wire([(826, 84), (826, 92)], "grey")
    d.rect(816, 92, 836, 100, (0.55, 0.55, 0.58), INK, 1)
    d.rect(820, 100, 832, 116, (0.75, 0.75, 0.78), INK, 1)
    d.text("lambda_probe", 844, 96, 11)
    d.text("lambda_in", 818, 76, 11, align="right")


def draw_intake(d):
    d.rect(700, 176, 955, 200, PIPE, PART_EDGE, 1.5, "intake")
    d.text("intake", 704, 192, 10, inside="intake")
    d.circle(804, 188, 9, PIPE, INK, 1.5)
    d.line([(797, 195), (811, 181)], INK, 2.5)
    d.rect(780, 146, 828, 172, PART, PART_EDGE, 1.5, "tps box", radius=3)
    d.text(None, 804, 164, 11, True, "centre", raw="TPS", inside="tps box")
    d.line([(804, 172), (804, 179)], INK, 1.5)
    d.text("tps", 836, 152, 11)
    d.text("throttle", 804, 214, 10, align="centre")
    d.text("mixer", 890, 214, 10)


def draw_stepper(d):
    d.rect(790, 222, 856, 312, PART, PART_EDGE, 1.5, "stepper", radius=4)
    d.circle(823, 268, 16, PAPER, INK, 1.5)
    d.text(None, 823, 274, 15, True, "centre", raw="M", inside="stepper")
    d.rect(856, 244, 904, 292, (0.80, 0.80, 0.82), PART_EDGE, 1.5)
    d.take("[stepper valve]", 857, 243, 905, 293, inside="stepper", kind="part")
    d.text("stepper", 868, 328, 11, align="right")


def draw_reducer(d):
    d.rect(768, 360, 904, 446, PART, PART_EDGE, 1.5, "reducer", radius=8)
    d.text("reducer", 840, 404, 12, True, "centre", inside="reducer")
    d.rect(768, 374, 782, 390, (0.35, 0.35, 0.38), INK, 1)       # temperature sensor
    d.rect(768, 421, 796, 439, (0.55, 0.55, 0.58), INK, 1)       # gas solenoid valve
    d.text("temperature", 760, 373, 11, align="right")
    d.text("gas_valve", 760, 421, 11, align="right")
    for y in (372, 434):
        d.line([(904, y), (950, y)], (0.2, 0.5, 0.9), 5)
    d.text("coolant", 954, 462, 10, align="right")


def draw_tank(d):
    d.rect(814, 522, 954, 620, (0.85, 0.86, 0.88), PART_EDGE, 1.5, "tank", radius=20)
    d.text("tank", 884, 575, 12, True, "centre", inside="tank")
    d.rect(768, 528, 811, 606, (0.62, 0.64, 0.68), PART_EDGE, 1.5, "multivalve")
    d.text("multivalve", 816, 512, 11)
    # The valves' wire branches down to the multivalve's gas valve.
    d.wire([(740, 430), (740, 540), (768, 540)], "orange", None, "valve branch")
    d.dot(740, 430)
    d.text("gas_valve", 734, 544, 11, align="right")
    d.text("level", 760, 578, 11, align="right")


def draw_gas_line(d):
    d.gas_line([(790, 528), (790, 446)], "gas line 1")
    d.gas_line([(880, 360), (880, 292)], "gas line 2")
    d.gas_line([(880, 244), (880, 200)], "gas line 3")


def draw_legend(d):
    d.text("title", 12, 30, 16, True)
    d.gas_line([(600, 20), (640, 20)], "legend gas")
    d.text("gas_line", 650, 24, 11)
    d.wire([(600, 40), (640, 40)], "white", "black", "legend wire")
    d.text("wire", 650, 44, 11)


def render(texts):
    d = Drawing(texts)
    d.colour(PAPER)
    d.c.paint()
    draw_legend(d)
    draw_controller(d)
    draw_gas_line(d)
    for part in (draw_supply, draw_coil, draw_switch, draw_ecu_and_emulator, draw_petrol_valve,
                 draw_exhaust_and_probe, draw_intake, draw_stepper, draw_reducer, draw_tank):
        part(d)
    draw_wires(d)
    d.draw_junctions()
    return d.surface


# -- 256 colours and the BMP file ----------------------------------------------------------------
def quantize(surface):
    """The picture as palette indices, top row first, and a palette of at most 256 colours:
    the most used colours (every flat fill) exactly, the rarer edge shades mapped to the
    nearest of them. Deterministic: ties are broken by the colour's value."""
    surface.flush()
    data, stride = bytes(surface.get_data()), surface.get_stride()
    pixels = [data[y * stride + 4 * x:y * stride + 4 * x + 3]  # B, G, R
              for y in range(HEIGHT) for x in range(WIDTH)]
    counts = collections.Counter(pixels)
    ranked = sorted(counts, key=lambda p: (-counts[p], p))
    palette = ranked[:256]
    index = {p: i for i, p in enumerate(palette)}
    for p in ranked[256:]:
        index[p] = min(range(len(palette)),
                       key=lambda i: sum((a - b) ** 2 for a, b in zip(p, palette[i])))
    return [index[p] for p in pixels], palette


def bmp8(indices, palette):
    """An uncompressed bottom-up 8-bit BMP with a 256-entry colour table."""
    row = (WIDTH + 3) & ~3
    table = b"".join(bgr + b"\0" for bgr in palette) + b"\0\0\0\0" * (256 - len(palette))
    image = bytearray()
    for y in range(HEIGHT - 1, -1, -1):
        image += bytes(indices[y * WIDTH:(y + 1) * WIDTH]) + b"\0" * (row - WIDTH)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(image), 2835, 2835, 256, 0)
    return header + info + table + bytes(image)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--png", metavar="DIR")
    args = parser.parse_args()
    if not os.path.exists(FONT_FILE):
        raise SystemExit("make_schema: %s is missing (Debian package fonts-dejavu-core)" % FONT_FILE)
    labels = read_labels(os.path.join(HERE, "schema_labels.tsv"))
    differ = []
    for code in LANGUAGES:
        try:
            surface = render(labels[code])
        except Overlap as e:
            raise SystemExit("make_schema: %s: %s" % (code, e))
        if args.png:
            surface.write_to_png(os.path.join(args.png, "schema_%s.png" % code))
        picture = bmp8(*quantize(surface))
        path = os.path.join(HERE, "schema_%s.bmp" % code)
        if args.check:
            with open(path, "rb") as f:
                if f.read() != picture:
                    differ.append(os.path.basename(path))
        else:
            with open(path, "wb") as f:
                f.write(picture)
    if differ:
        raise SystemExit("make_schema: %s differ from what the drawing renders; run "
                         "resources/schema/make_schema.py and commit the result" % ", ".join(differ))


if __name__ == "__main__":
    main()
