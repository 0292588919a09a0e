#!/usr/bin/env python3
"""Draws the shell's small pictures: the program icon (kv720.ico) and the ten language item
bitmaps (flag_<code>.bmp without the check mark, flag_<code>_checked.bmp with it). Standard
library only; run from anywhere, writes beside this script. The outputs are committed."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 13  # the menu check-mark size; the program stretches to the system's size when it differs

RED = (220, 20, 60)
WHITE = (255, 255, 255)
BLUE = (0, 57, 166)
NAVY = (1, 33, 105)
YELLOW = (253, 185, 19)
GREEN = (0, 106, 68)
IT_GREEN = (0, 146, 70)
IT_RED = (206, 43, 55)
GREY = (192, 192, 192)
DARK = (64, 64, 64)


def bands(colors, horizontal=True):
    """A flag of equal bands (top to bottom, or left to right)."""
    def pixel(x, y, w, h):
        n = len(colors)
        i = (y * n // h) if horizontal else (x * n // w)
        return colors[min(i, n - 1)]
    return pixel


def union(x, y, w, h):
    """A small union flag: blue field, white diagonals, white cross with a red centre line."""
    cx, cy = w // 2, h // 2
    if x == cx or y == cy:
        return RED
    if abs(x - cx) <= 1 or abs(y - cy) <= 1:
        return WHITE
    if abs(x * (h - 1) - y * (w - 1)) <= w // 2 or abs(x * (h - 1) - (h - 1 - y) * (w - 1)) <= w // 2:
        return WHITE
    return NAVY


FLAGS = {
    'pol': bands([WHITE, RED]),
    'ang': union,
    'rus': bands([WHITE, BLUE, RED]),
    'lit': bands([YELLOW, GREEN, RED]),
    'ita': bands([IT_GREEN, WHITE, IT_RED], horizontal=False),
}


def blend(a, b, t):
    return tuple(int(round(a[i] * (1 - t) + b[i] * t)) for i in range(3))


def flag_image(code, checked):
    """Checked: the flag in full colour in a black frame. Unchecked: faded, in a grey frame."""
    inner = SIZE - 2
    img = [[GREY] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if x in (0, SIZE - 1) or y in (0, SIZE - 1):
                img[y][x] = (0, 0, 0) if checked else (128, 128, 128)
            else:
                c = FLAGS[code](x - 1, y - 1, inner, inner)
                img[y][x] = c if checked else blend(c, GREY, 0.55)
    return img


def bmp_bytes(img):
    """A 24-bit bottom-up BMP of rows of (r, g, b); rows padded to four bytes."""
    h, w = len(img), len(img[0])
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up
        line = bytearray()
        for r, g, b in img[y]:
            line += bytes((b, g, r))
        line += b'\0' * (row - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def bmp8_bytes(img):
    """An 8-bit (256-colour) bottom-up BMP of rows of (r, g, b): the palette holds the image's
    colours in the order they first occur; rows padded to four bytes."""
    h, w = len(img), len(img[0])
    palette = {}
    for line in img:
        for c in line:
            palette.setdefault(c, len(palette))
    if len(palette) > 256:
        raise ValueError("%d colours do not fit a 256-colour bitmap" % len(palette))
    row = (w + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up
        line = bytes(palette[c] for c in img[y])
        data += line + b'\0' * (row - len(line))
    colours = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(colours)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, len(data), 2835, 2835, len(palette),
                       len(palette))
    return header + info + colours + bytes(data)


def write_bmp(path, img):
    with open(path, 'wb') as f:
        f.write(bmp_bytes(img))


def icon_image(n):
    """A speed dial: white face, dark rim, ticks, a red needle at about two thirds; transparent
    outside the rim. Returns rows of (r, g, b, a), sampled 4 x 4 per pixel for smooth edges."""
    c = (n - 1) / 2.0
    r_out = n / 2.0 - 0.5
    rim = max(1.2, n / 14.0)
    ang = math.radians(30)  # needle direction, from the top, clockwise
    nx, ny = math.sin(ang), -math.cos(ang)
    img = []
    for y in range(n):
        row = []
        for x in range(n):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(4):
                for sx in range(4):
                    px, py = x + (sx + 0.5) / 4 - 0.5, y + (sy + 0.5) / 4 - 0.5
                    dx, dy = px - c, py - c
                    d = math.hypot(dx, dy)
                    if d > r_out:
                        continue
                    col = WHITE
                    if d > r_out - rim:
                        col = (0, 70, 140)
                    else:
                        # ticks on the upper three quarters
                        a = math.degrees(math.atan2(dx, -dy))
                        if d > r_out - rim - n / 8.0 and -135 <= a <= 135 and abs((a + 135) % 27) < 4:
                            col = DARK
                        # needle: a thin wedge from the hub
                        along = dx * nx + dy * ny
                        across = abs(-dx * ny + dy * nx)
                        if 0 <= along <= r_out - rim - 1 and across <= max(0.8, n / 28.0) * (1 - along / r_out) + 0.35:
                            col = (210, 0, 0)
                        if d <= n / 9.0:
                            col = DARK
                    acc[0] += col[0]
                    acc[1] += col[1]
                    acc[2] += col[2]
                    acc[3] += 255
            cover = acc[3] / 255.0
            if cover == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((int(acc[0] / cover), int(acc[1] / cover), int(acc[2] / cover),
                            int(acc[3] / 16)))
        img.append(row)
    return img


def icon_entry(img):
    n = len(img)
    xor = bytearray()
    for y in range(n - 1, -1, -1):
        for r, g, b, a in img[y]:
            xor += bytes((b, g, r, a))
    mask_row = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(img[y]):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, sizes):
    entries = [icon_entry(icon_image(n)) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, e in zip(sizes, entries):
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(e), offset)
        offset += len(e)
    with open(path, 'wb') as f:
        f.write(out + b''.join(entries))


def main():
    for code in FLAGS:
        write_bmp(os.path.join(HERE, 'flag_%s.bmp' % code), flag_image(code, False))
        write_bmp(os.path.join(HERE, 'flag_%s_checked.bmp' % code), flag_image(code, True))
    write_ico(os.path.join(HERE, 'kv720.ico'), [16, 32, 48])


if __name__ == '__main__':
    main()
