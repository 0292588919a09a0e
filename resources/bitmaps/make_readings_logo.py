#!/usr/bin/env python3
"""Draws the readings panel's logo (bitmap 230): 85 x 55 pixels, 24-bit BMP.

Stdlib only and deterministic: running it again gives the same bytes.
Usage: make_readings_logo.py [output.bmp]   (default: readings_logo.bmp beside this script)
"""
import math
import os
import sys

# The BMP writer is shared with the shell's pictures one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from make_images import bmp_bytes  # noqa: E402

WIDTH, HEIGHT = 85, 55

NAVY = (0, 0, 96)
FRAME = (0, 0, 160)
WHITE = (255, 255, 255)
YELLOW = (255, 220, 0)
CYAN = (0, 220, 255)
BLUE = (0, 120, 255)

# 5 x 7 glyphs, one string per row, '#' is ink.
GLYPHS = {
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "V": ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
}


def blank():
    return [[NAVY for _ in range(WIDTH)] for _ in range(HEIGHT)]


def rounded_frame(img):
    """A two-pixel lighter border with cut corners."""
    for y in range(HEIGHT):
        for x in range(WIDTH):
            edge = min(x, y, WIDTH - 1 - x, HEIGHT - 1 - y)
            corner = min(x, WIDTH - 1 - x) + min(y, HEIGHT - 1 - y)
            if corner < 3:
                img[y][x] = (0, 0, 0)
            elif edge < 2 or corner < 5:
                img[y][x] = FRAME


def text(img, s, left, top, scale, colour):
    x = left
    for ch in s:
        rows = GLYPHS[ch]
        for gy, row in enumerate(rows):
            for gx, cell in enumerate(row):
                if cell != "#":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        img[top + gy * scale + dy][x + gx * scale + dx] = colour
        x += 6 * scale


def flame(img, cx, cy, r, colour):
    """A drop pointing up: a circle of radius r with a cone above it."""
    for y in range(HEIGHT):
        for x in range(WIDTH):
            dx, dy = x - cx, y - cy
            inside = dx * dx + dy * dy <= r * r
            if not inside and dy < 0 and -dy <= 2 * r:
                # the cone narrows linearly to the tip 2r above the centre
                half = r * (1 - (-dy) / (2 * r)) * 0.9 + 0.5
                inside = abs(dx) <= half
            if inside:
                img[y][x] = colour


def draw():
    img = blank()
    rounded_frame(img)
    flame(img, 17, 33, 9, BLUE)
    flame(img, 17, 36, 5, CYAN)
    text(img, "KV", 33, 6, 3, WHITE)
    text(img, "720", 35, 34, 2, YELLOW)
    # an underline in the flame's colour ties the two lines together
    for x in range(33, 78):
        img[30][x] = CYAN
    return img


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "readings_logo.bmp")
    with open(out, "wb") as f:
        f.write(bmp_bytes(draw()))


if __name__ == "__main__":
    main()
