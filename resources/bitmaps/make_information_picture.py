#!/usr/bin/env python3
"""Draws the information dialog's picture (bitmap 224): 280 x 185 pixels, 256 colours.

The product's name over a plain drawing of the controller: an aluminium housing with cooling
fins, two mounting lugs, the wiring connector with its cable and the name plate with the status
lamp. Flat colours only, so the picture stays within a 256-colour palette.

Stdlib only and deterministic: running it again gives the same bytes.
Usage: make_information_picture.py [output.bmp]   (default: information_picture.bmp here)
       make_information_picture.py --check        (exit 1 when the committed bitmap differs)
"""
import os
import sys

# The BMP writer is shared with the shell's pictures one folder up, the glyphs with the logo.
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.path.insert(0, HERE)
from make_images import bmp8_bytes  # noqa: E402
from make_readings_logo import GLYPHS as LOGO_GLYPHS  # noqa: E402

WIDTH, HEIGHT = 280, 185

SKY_TOP = (214, 228, 242)
SKY_BOTTOM = (250, 252, 255)
NAVY = (0, 0, 96)
CYAN = (0, 170, 220)
OUTLINE = (40, 48, 60)
FRONT = (176, 184, 194)
TOP = (208, 214, 222)
SIDE = (140, 148, 160)
FIN_LIGHT = (232, 236, 240)
FIN_DARK = (120, 128, 140)
LUG = (150, 156, 166)
HOLE = (70, 76, 88)
CONNECTOR = (34, 34, 38)
PIN = (212, 170, 60)
CABLE = (24, 24, 28)
CABLE_SHINE = (90, 90, 100)
PLATE = (250, 250, 250)
PLATE_TEXT = (20, 20, 20)
LAMP = (0, 190, 60)
SHADOW = (170, 180, 192)

GLYPHS = dict(LOGO_GLYPHS)
GLYPHS.update({
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
})


def blank():
    """A sky fading to white from top to bottom, in 16 bands."""
    img = []
    for y in range(HEIGHT):
        t = (y * 16 // HEIGHT) / 15.0
        colour = tuple(int(round(a + (b - a) * t)) for a, b in zip(SKY_TOP, SKY_BOTTOM))
        img.append([colour] * WIDTH)
    return img


def fill(img, left, top, right, bottom, colour):
    for y in range(max(top, 0), min(bottom, HEIGHT)):
        for x in range(max(left, 0), min(right, WIDTH)):
            img[y][x] = colour


def frame(img, left, top, right, bottom, colour):
    fill(img, left, top, right, top + 1, colour)
    fill(img, left, bottom - 1, right, bottom, colour)
    fill(img, left, top, left + 1, bottom, colour)
    fill(img, right - 1, top, right, bottom, colour)


def disc(img, cx, cy, r, colour):
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                img[y][x] = colour


def text(img, s, left, top, scale, colour):
    x = left
    for ch in s:
        for gy, row in enumerate(GLYPHS[ch]):
            for gx, cell in enumerate(row):
                if cell == "#":
                    fill(img, x + gx * scale, top + gy * scale, x + (gx + 1) * scale,
                         top + (gy + 1) * scale, colour)
        x += 6 * scale


def text_width(s, scale):
    return (6 * len(s) - 1) * scale


def parallelogram(img, left, right, bottom, depth, colour):
    """The housing's top face: rows rise to the right by one pixel per row."""
    for d in range(depth):
        y = bottom - 1 - d
        fill(img, left + d, y, right + d, y + 1, colour)


def housing(img, left, top, right, bottom, depth):
    """The box: front face, top face with cooling fins, right side face, outlines."""
    fill(img, left + 6, bottom, right + 6, bottom + 5, SHADOW)  # its shadow on the ground
    parallelogram(img, left, right, top, depth, TOP)
    for x in range(left + 10, right - 4, 9):  # fins across the top face
        for d in range(1, depth - 1):
            img[top - 1 - d][x + d] = FIN_DARK
            img[top - 1 - d][x + d + 1] = FIN_LIGHT
    for d in range(depth):  # the right side face
        fill(img, right + d, top - d, right + d + 1, bottom - d, SIDE)
    fill(img, left, top, right, bottom, FRONT)
    frame(img, left, top, right, bottom, OUTLINE)
    for d in range(depth):  # the slanted edges of the top and side faces
        img[top - 1 - d][left + d] = OUTLINE
        img[top - 1 - d][right + d] = OUTLINE
        img[bottom - 1 - d][right + d] = OUTLINE
    fill(img, left + depth, top - depth, right + depth, top - depth + 1, OUTLINE)
    fill(img, right + depth - 1, top - depth, right + depth, bottom - depth, OUTLINE)


def lug(img, left, top, width, height):
    fill(img, left, top, left + width, top + height, LUG)
    frame(img, left, top, left + width, top + height, OUTLINE)
    disc(img, left + width // 2, top + height // 2, 3, HOLE)


def connector(img, left, top, right, bottom):
    """The wiring connector on the front face: two rows of pins, the cable leaving to the left."""
    fill(img, left, top, right, bottom, CONNECTOR)
    for row in range(2):
        for x in range(left + 4, right - 3, 5):
            fill(img, x, top + 4 + row * 7, x + 2, top + 7 + row * 7, PIN)
    # The cable: a thick band from the connector's left edge down to the picture's edge.
    for x in range(0, left):
        sag = (left - x) * (left - x) // 90
        y = (top + bottom) // 2 + sag // 3
        fill(img, x, y - 4, x + 1, y + 5, CABLE)
        img[y - 2][x] = CABLE_SHINE


def plate(img, left, top):
    """The name plate: the product's name and the status lamp beside it."""
    name = "KV720"
    width, height = text_width(name, 2) + 14, 7 * 2 + 10
    fill(img, left, top, left + width, top + height, PLATE)
    frame(img, left, top, left + width, top + height, OUTLINE)
    text(img, name, left + 7, top + 5, 2, PLATE_TEXT)
    disc(img, left + width + 12, top + height // 2, 4, OUTLINE)
    disc(img, left + width + 12, top + height // 2, 3, LAMP)


def draw():
    img = blank()
    title = "KV720"
    left = (WIDTH - text_width(title, 5)) // 2
    text(img, title, left, 8, 5, NAVY)
    fill(img, left, 47, left + text_width(title, 5), 50, CYAN)
    sub = "LPG"
    text(img, sub, (WIDTH - text_width(sub, 2)) // 2, 55, 2, CYAN)
    box_left, box_top, box_right, box_bottom, depth = 70, 96, 224, 162, 16
    lug(img, box_left - 18, box_bottom - 22, 19, 18)
    housing(img, box_left, box_top, box_right, box_bottom, depth)
    lug(img, box_right + depth - 1, box_bottom - depth - 14, 17, 18)
    connector(img, box_left + 8, box_top + 14, box_left + 50, box_top + 34)
    plate(img, box_left + 62, box_top + 12)
    return img


def main():
    committed = os.path.join(HERE, "information_picture.bmp")
    if sys.argv[1:] == ["--check"]:
        with open(committed, "rb") as f:
            same = f.read() == bmp8_bytes(draw())
        print("information_picture.bmp %s its drawing" % ("matches" if same else "differs from"))
        return 0 if same else 1
    out = sys.argv[1] if len(sys.argv) > 1 else committed
    with open(out, "wb") as f:
        f.write(bmp8_bytes(draw()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
