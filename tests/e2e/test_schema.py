#!/usr/bin/env python3
"""The schema panel through the real exe under Wine: the four pictures in the exe's resources,
the view and its two scroll bars at 640x480 and 800x600 (what shows after each scroll is the
picture at the bars' offsets, pixel for pixel), the whole picture centred without bars in the
larger sizes, and the picture following the language."""

import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

SCHEMA, SIZE_640, SIZE_800, SIZE_1024, SIZE_1280X1024 = 40013, 40028, 40029, 40030, 40031
LANGUAGE_ITEMS = {"pol": 40035, "ang": 40036, "rus": 40038, "lit": 40039, "ita": 40042}
PICTURES = {"rus": 225, "lit": 226, "pol": 227, "ang": 228}
H_BAR, V_BAR = 1120, 1121
WIDTH, HEIGHT = 961, 636
RT_BITMAP = 2


class Picture:
    """The pixels of an 8-bit bottom-up BMP (the committed schema pictures)."""

    def __init__(self, data, file_header=True):
        start = 14 if file_header else 0
        size, self.width, self.height, _, bits = struct.unpack_from("<IiiHH", data, start)
        used = struct.unpack_from("<I", data, start + 32)[0] or 256
        if bits != 8:
            raise harness.HarnessError("not an 8-bit picture: %d bits" % bits)
        table = start + size
        self.palette = [tuple(data[table + 4 * i + 2 - k] for k in range(3)) for i in range(used)]
        self.bits = table + 4 * used if not file_header else struct.unpack_from("<I", data, 10)[0]
        self.data = data
        self.stride = (self.width + 3) & ~3

    @classmethod
    def of(cls, code):
        path = os.path.join(harness.CONFIG.source, "resources", "schema", "schema_%s.bmp" % code)
        with open(path, "rb") as f:
            return cls(f.read())

    def pixel(self, x, y):
        row = self.height - 1 - y
        return self.palette[self.data[self.bits + row * self.stride + x]]


def pe_bitmaps(path):
    """{id: bytes} of the RT_BITMAP resources of a PE file (a packed DIB each)."""
    with open(path, "rb") as f:
        pe = f.read()
    header = struct.unpack_from("<I", pe, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", pe, header + 6)
    optional = header + 24
    magic = struct.unpack_from("<H", pe, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    rsrc_rva = struct.unpack_from("<I", pe, directories + 2 * 8)[0]
    table = optional + optional_size
    for i in range(sections):
        _, size, rva, _, raw = struct.unpack_from("<8sIIII", pe, table + 40 * i)
        if rva <= rsrc_rva < rva + size:
            base, delta = raw + rsrc_rva - rva, rva - raw
            break
    else:
        raise harness.HarnessError("no resource section in %s" % path)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", pe, base + offset + 12)
        for n in range(named + ids):
            name, target = struct.unpack_from("<II", pe, base + offset + 16 + 8 * n)
            yield name, target

    out = {}
    for kind, types in entries(0):
        if kind != RT_BITMAP:
            continue
        for ident, names in entries(types & 0x7FFFFFFF):
            for _, leaf in entries(names & 0x7FFFFFFF):
                data_rva, data_size = struct.unpack_from("<II", pe, base + leaf)
                out[ident] = pe[data_rva - delta:data_rva - delta + data_size]
    return out


class SchemaResourcesTest(harness.E2ETestCase):
    def test_four_pictures_of_961_by_636_in_256_colours_as_committed(self):
        harness.CONFIG.require("exe")
        bitmaps = pe_bitmaps(harness.CONFIG.exe)
        for code, ident in PICTURES.items():
            self.assertIn(ident, bitmaps)
            width, height, planes, bits = struct.unpack_from("<iiHH", bitmaps[ident], 4)
            self.assertEqual((width, height, planes, bits), (WIDTH, HEIGHT, 1, 8), code)
            with open(os.path.join(harness.CONFIG.source, "resources", "schema",
                                   "schema_%s.bmp" % code), "rb") as f:
                self.assertEqual(bitmaps[ident], f.read()[14:], code)


class SchemaPanelTest(harness.E2ETestCase):
    def open_schema(self, language="pol", screen=(1280, 1024)):
        s, _ = self.start_program(screen=screen, ini=harness.ini_text(language=language))
        s.driver.command(SCHEMA)
        return s, s.driver

    def origin(self, d):
        """The panel's top-left corner on the screen."""
        rect = d.panel()["rect"]
        return rect[0], rect[1]

    def assert_view(self, img, picture, at, offset, size, step=5):
        """The screen at `at` shows the picture from `offset` on, over `size`, sampled."""
        (x0, y0), (ox, oy), (w, h) = at, offset, size
        wrong = [(x, y) for y in range(0, h, step) for x in range(0, w, step)
                 if img.pixel(x0 + x, y0 + y) != picture.pixel(ox + x, oy + y)]
        self.assertFalse(wrong, "%d of the view's sampled pixels differ from the picture at %s, "
                         "first at %s" % (len(wrong), offset, wrong[:3]))

    def placed(self, d, ident, left, top):
        """A control's rectangle on the panel."""
        rect = d.ctl(ident)["rect"]
        return [rect[0] - left, rect[1] - top, rect[2] - left, rect[3] - top]

    def bar(self, d, ident):
        info = d.scroll_info(ident)
        return info["min"], info["max"], info["pos"], d.visible(ident)

    def test_640_scrolls_a_view_with_two_bars(self):
        s, d = self.open_schema()
        d.command(SIZE_640)
        picture = Picture.of("pol")
        self.assertEqual(self.bar(d, H_BAR), (0, 361, 0, True))
        self.assertEqual(self.bar(d, V_BAR), (0, 266, 0, True))
        left, top = self.origin(d)
        self.assertEqual(self.placed(d, H_BAR, left, top), [10, 380, 610, 395])
        self.assertEqual(self.placed(d, V_BAR, left, top), [610, 10, 625, 380])
        view = (left + 10, top + 10)
        before = s.image("640-start")
        self.assert_view(before, picture, view, (0, 0), (600, 370))

        for _ in range(2):
            d.scroll("h", H_BAR, "pagedown")
        d.scroll("v", V_BAR, "linedown")
        self.assertEqual(self.bar(d, H_BAR)[2], 100)
        self.assertEqual(self.bar(d, V_BAR)[2], 10)
        after = s.image("640-scrolled")
        self.assert_view(after, picture, view, (100, 10), (600, 370))
        self.assertNotEqual(before.colors((view[0], view[1], view[0] + 600, view[1] + 370)),
                            after.colors((view[0], view[1], view[0] + 600, view[1] + 370)))

        # Paging right from 350 stops at 361; left from 30 reaches the first column again.
        d.scroll("h", H_BAR, "thumbtrack", 350)
        d.scroll("h", H_BAR, "pagedown")
        self.assertEqual(self.bar(d, H_BAR)[2], 361)
        self.assert_view(s.image("640-right"), picture, view, (361, 10), (600, 370))
        d.scroll("h", H_BAR, "thumbtrack", 30)
        d.scroll("h", H_BAR, "pageup")
        d.scroll("v", V_BAR, "lineup")
        self.assertEqual((self.bar(d, H_BAR)[2], self.bar(d, V_BAR)[2]), (0, 0))
        self.assert_view(s.image("640-back"), picture, view, (0, 0), (600, 370))

    def test_800_scrolls_and_the_main_window_paint_keeps_the_view(self):
        s, d = self.open_schema(language="rus")
        d.command(SIZE_800)
        picture = Picture.of("rus")
        self.assertEqual(self.bar(d, H_BAR), (0, 211, 0, True))
        self.assertEqual(self.bar(d, V_BAR), (0, 151, 0, True))
        left, top = self.origin(d)
        self.assertEqual(self.placed(d, H_BAR, left, top), [10, 495, 760, 515])
        self.assertEqual(self.placed(d, V_BAR, left, top), [760, 10, 780, 495])
        d.scroll("v", V_BAR, "pagedown")
        d.scroll("v", V_BAR, "pagedown")
        d.scroll("v", V_BAR, "pagedown")
        d.scroll("v", V_BAR, "pagedown")
        d.scroll("h", H_BAR, "linedown")
        self.assertEqual((self.bar(d, H_BAR)[2], self.bar(d, V_BAR)[2]), (10, 151))
        # A repaint of the whole main window copies the same view again.
        d.send(0x000F, target="main")  # WM_PAINT
        self.assert_view(s.image("800-scrolled"), picture, (left + 10, top + 10), (10, 151),
                         (750, 485))

    def test_larger_sizes_centre_the_whole_picture_without_bars(self):
        s, d = self.open_schema(language="ang")
        picture = Picture.of("ang")
        for size in (SIZE_1024, SIZE_1280X1024):
            d.command(size)
            self.assertFalse(d.visible(H_BAR))
            self.assertFalse(d.visible(V_BAR))
            client = d.client()
            cw, ch = client[2] - client[0], client[3] - client[1]
            at = (client[0] + (cw - WIDTH) // 2, client[1] + (ch - HEIGHT) // 2)
            self.assert_view(s.image("centred-%d" % size), picture, at, (0, 0), (WIDTH, HEIGHT),
                             step=7)

    def test_the_picture_follows_the_language(self):
        s, d = self.open_schema(language="pol")
        d.command(SIZE_1280X1024)
        client = d.client()
        at = (client[0] + (client[2] - client[0] - WIDTH) // 2,
              client[1] + (client[3] - client[1] - HEIGHT) // 2)
        for code, shown in (("ang", "ang"), ("rus", "rus"), ("lit", "lit"), ("ita", "ang"),
                            ("pol", "pol")):
            d.command(LANGUAGE_ITEMS[code])
            self.assertEqual(d.caption(), harness.language_text(code, 178))
            self.assert_view(s.image("language-%s" % code), Picture.of(shown), at, (0, 0),
                             (WIDTH, HEIGHT), step=9)


if __name__ == "__main__":
    harness.main()
