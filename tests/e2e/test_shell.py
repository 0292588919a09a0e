#!/usr/bin/env python3
"""The main window through the real exe: KV720.ini at start and after the Port and Language
items, the five menu bars, screen sizes from the desktop, window placement, panel switching and
the three ways out."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import IDENTIFY, BLOCK2, BLOCK5  # noqa: E402

FILE_ITEMS = [40014, 40015, 0, 40002]
PORT_ITEMS = [40019, 40020, 40021, 40022]
SIZE_ITEMS = [40028, 40029, 40030, 40032, 40031]
LANGUAGE_ITEMS = [40035, 40036, 40038, 40039, 40042]
PANEL_ITEMS = [40005, 40006, 40007, 40013, 40008, 40010, 40048]
SIZE_TEXTS = ["640x480", "800x600", "1024x768", "1280x960", "1280x1024"]

# Per menu bar: File, its items, Port, Size, Language, its four named items, the seven panels.
MENU_TEXTS = {
    "pol": ["Plik", "Otwórz...", "Zapisz jako...", "Wyjscie", "Port", "Rozmiar", "Język",
            "Polski", "Angielski", "Rosyjski", "Litewski",
            "Odczyty", "Konfiguracja", "Opcje", "Schemat", "Reset", "Oscyloskop", "Informacje"],
    "ang": ["File", "Open...", "Save As...", "Exit", "Port", "Size", "Language",
            "Polish", "English", "Russian", "Lithuanian",
            "Readings", "Configuration", "Options", "Schema", "Reset", "Oscilloscope",
            "Information"],
    "rus": ["Файл", "Открыть...", "Сохранить как...", "Выход", "Порт", "Размер", "Язык",
            "Польский", "Английский", "Русский", "Литовский",
            "Чтение", "Конфигурация", "Опции", "Схема", "Сброс", "Осцилограф", "Информация"],
    "lit": ["Failas", "Atidaryti...", "Išsaugoti kaip...", "Išejimas", "Portas", "Dydis", "Kalba",
            "Lenku", "Anglu", "Rusu", "Lietuvu",
            "Skaitymas", "Konfiguracija", "Opcijos", "Schema", "Atstatymas", "Osciloskopas",
            "Informacija"],
    "ita": ["Plik", "Otwórz...", "Zapisz jako...", "Wyjscie", "Port", "Rozmiar", "Jêzyk",
            "Polski", "Angielski", "Rosyjski", "Litewski",
            "Risultati", "Configurazione", "Opzioni", "Schemat", "Reset", "Oscyloskop",
            "Informacje"],
}


def expected_menu(code):
    """(depth, id, text) of every item of a menu bar, popups with id None."""
    t = MENU_TEXTS[code]
    items = [(0, None, t[0]), (1, 40014, t[1]), (1, 40015, t[2]), (1, 0, ""), (1, 40002, t[3]),
             (0, None, t[4])]
    items += [(1, PORT_ITEMS[n], "COM %d" % (n + 1)) for n in range(4)]
    items += [(0, None, t[5])] + [(1, SIZE_ITEMS[n], SIZE_TEXTS[n]) for n in range(5)]
    items += [(0, None, t[6])] + [(1, LANGUAGE_ITEMS[n], t[7 + n]) for n in range(4)]
    items += [(1, 40042, "")]
    items += [(0, PANEL_ITEMS[n], t[11 + n]) for n in range(7)]
    return items


def ini_text(port, code):
    return "[Ustawienia]\nCommPort= %d\nLanguage= %s\n" % (port, code)


class ShellTest(harness.E2ETestCase):

    def assertMenuBar(self, d, code):
        tree = d.menu_tree()
        got = [(i["depth"], None if i["popup"] else i["id"], i["text"]) for i in tree]
        self.assertEqual(got, expected_menu(code))
        items = {i["id"]: i for i in tree if not i["popup"]}
        # Item 40042 is live only in the Italian bar; every language item carries its flags.
        self.assertEqual(items[40042]["grayed"], code != "ita")
        for item in LANGUAGE_ITEMS[:4]:
            self.assertTrue(items[item]["bitmap"], item)
        return items

    def assertChecked(self, items, group, checked):
        self.assertEqual([i for i in group if items[i]["checked"]], [checked])

    def assertIni(self, s, port, code, staged=False):
        # Byte for byte: as the test wrote it, or as the program writes a Windows text file (CR LF).
        text = ini_text(port, code)
        self.assertEqual(s.read_ini(), text if staged else text.replace("\n", "\r\n"))

    def test_first_start_creates_ini_and_shows_polish_at_size_4_then_alt_f4(self):
        s = self.session(screen=(1280, 960))
        self.assertIsNone(s.read_ini())
        app = s.start_app()
        d = s.driver
        d.wait_main(30000)
        self.assertIni(s, 1, "pol")
        items = self.assertMenuBar(d, "pol")
        self.assertChecked(items, LANGUAGE_ITEMS, 40035)
        self.assertChecked(items, PORT_ITEMS, 40019)
        self.assertEqual(d.caption(), harness.language_text("pol", 175))
        # A 1280 x 960 desktop: size 4, 1280 x 930 at the corner, only 1280x1024 grayed.
        self.assertEqual(d.rect(), [0, 0, 1280, 930])
        self.assertChecked(items, SIZE_ITEMS, 40032)
        self.assertEqual({i: items[i]["grayed"] for i in SIZE_ITEMS},
                         {40028: False, 40029: False, 40030: False, 40032: False, 40031: True})
        s.screenshot("polish")

        # One program at a time: a second start restores the minimised first one and ends.
        first = d.main()
        d.send(0x0112, 0xF020)  # WM_SYSCOMMAND SC_MINIMIZE
        self.assertTrue(d.main()["iconic"])
        second = s.start_app()
        self.assertEqual(second.wait(60), 0)
        s.app = app
        d.sync()
        now = d.main()
        self.assertEqual((now["hwnd"], now["pid"], now["iconic"]), (first["hwnd"], first["pid"], False))

        d.input("alt+f4")
        self.assertEqual(d.wait_gone(20000).get("exit"), 0)
        self.assertEqual(app.wait(20), 0)

    def test_russian_from_ini_then_language_and_port_choices_rewrite_it(self):
        s = self.session(screen=(1280, 960))
        s.write_ini(ini_text(3, "rus"))
        app = s.start_app()
        d = s.driver
        d.wait_main(30000)
        items = self.assertMenuBar(d, "rus")
        self.assertChecked(items, LANGUAGE_ITEMS, 40038)
        self.assertChecked(items, PORT_ITEMS, 40021)
        self.assertEqual(d.caption(), harness.language_text("rus", 175))
        self.assertIni(s, 3, "rus", staged=True)  # read, not rewritten
        s.screenshot("russian")

        # A new language keeps the port in use.
        d.command(40036)
        self.assertIni(s, 3, "ang")
        items = self.assertMenuBar(d, "ang")
        self.assertChecked(items, LANGUAGE_ITEMS, 40036)
        self.assertChecked(items, PORT_ITEMS, 40021)
        self.assertEqual(d.caption(), harness.language_text("ang", 175))

        # A port choice keeps the language; a later language keeps that port.
        d.command(40020)
        self.assertIni(s, 2, "ang")
        self.assertChecked(self.assertMenuBar(d, "ang"), PORT_ITEMS, 40020)
        d.command(40039)
        self.assertIni(s, 2, "lit")
        self.assertMenuBar(d, "lit")
        self.assertEqual(d.caption(), harness.language_text("lit", 175))

        d.command(40002)
        self.assertEqual(d.wait_gone(20000).get("exit"), 0)
        self.assertEqual(app.wait(20), 0)

    def test_italian_is_reached_through_the_ini(self):
        s = self.session(screen=(800, 600))
        s.write_ini(ini_text(4, "ita"))
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        items = self.assertMenuBar(d, "ita")
        self.assertChecked(items, LANGUAGE_ITEMS, 40042)
        self.assertChecked(items, PORT_ITEMS, 40022)
        self.assertTrue(items[40042]["bitmap"])
        self.assertEqual(d.caption(), harness.language_text("ita", 175))
        # 800 x 600 is at most 50 pixels wider than the window: the corner, size 2.
        self.assertEqual(d.rect()[:3], [0, 0, 800])
        self.assertChecked(items, SIZE_ITEMS, 40029)

    def test_small_desktop_unknown_language_and_port_out_of_range(self):
        s = self.session(screen=(1024, 700))
        s.write_ini(ini_text(7, "xyz"))
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        # 1024 x 700 holds the 800 x 570 window whole, not the 1024 x 738 one: size 2, centred.
        self.assertEqual(d.rect(), [112, 65, 912, 635])
        items = self.assertMenuBar(d, "pol")
        self.assertChecked(items, SIZE_ITEMS, 40029)
        self.assertEqual([i for i in SIZE_ITEMS if items[i]["grayed"]], [40030, 40032, 40031])
        self.assertChecked(items, PORT_ITEMS, 40019)
        self.assertChecked(items, LANGUAGE_ITEMS, 40035)
        self.assertIni(s, 7, "xyz", staged=True)

        # Smaller sizes are centred on the desktop.
        d.command(40029)
        self.assertEqual(d.rect(), [112, 65, 912, 635])
        self.assertChecked(d_items(d), SIZE_ITEMS, 40029)
        d.command(40028)
        self.assertEqual(d.rect(), [192, 125, 832, 575])
        # The port is stored as in use: COM1, not the 7 of the file.
        d.command(40036)
        self.assertIni(s, 1, "ang")

    def test_panel_switching_keeps_a_shown_panel_and_relabels_information(self):
        s = self.session(screen=(1280, 960))
        sim = s.start_sim(port=1)
        app = s.start_app()
        d = s.driver
        d.wait_main(30000)
        readings = d.panel()["hwnd"]
        d.command(40005)
        self.assertEqual(d.panel()["hwnd"], readings)
        self.assertTrue(d.menu_state(40005)["hilite"])

        d.command(40007)
        options = d.panel()["hwnd"]
        self.assertNotEqual(options, readings)
        self.assertEqual(d.caption(), harness.language_text("pol", 177))
        self.assertTrue(d.menu_state(40007)["hilite"])
        self.assertFalse(d.menu_state(40005)["hilite"])
        d.command(40007)
        self.assertEqual(d.panel()["hwnd"], options)

        for item, text in zip(PANEL_ITEMS[1:], (176, 177, 178, 179, 180, 190)):
            d.command(item)
            self.assertEqual(d.caption(), harness.language_text("pol", text), item)
            self.assertTrue(d.menu_state(item)["hilite"], item)

        # The information dialog is re-labelled in place: what was typed stays. The field is
        # typed into while it is being edited, as a fitter would; outside an edit every tick shows
        # the controller's registration (or, offline, nothing) there.
        info = d.panel()["hwnd"]
        sim.wait_poll(BLOCK5)
        self.assertEqual(d.text(1179), harness.language_text("pol", 197))
        d.click(1179)
        sim.wait_poll(BLOCK5)
        d.set_text(1164, "WX12345")
        d.command(40038)
        self.assertEqual(d.panel()["hwnd"], info)
        self.assertEqual(d.text(1164), "WX12345")
        self.assertEqual(d.caption(), harness.language_text("rus", 190))
        self.assertEqual(d.text(1194), harness.language_text("rus", 191))
        sim.wait_poll(BLOCK5)
        self.assertEqual(d.text(1179), harness.language_text("rus", 198))
        self.assertEqual(d.text(1164), "WX12345")
        self.assertTrue(d.menu_state(40048)["hilite"])

        # Other panels are rebuilt for the new language.
        d.command(40007)
        options = d.panel()["hwnd"]
        d.command(40036)
        self.assertNotEqual(d.panel()["hwnd"], options)
        self.assertEqual(d.caption(), harness.language_text("ang", 177))

        d.close()  # the close box
        self.assertEqual(d.wait_gone(20000).get("exit"), 0)
        self.assertEqual(app.wait(20), 0)

    def test_port_choice_moves_polling_to_the_new_port(self):
        s = self.session(screen=(1280, 960))
        com1 = s.start_sim(port=1)
        com2 = s.start_sim(port=2)
        s.start_app()
        d = s.driver
        d.wait_main(30000)
        com1.wait_frame(IDENTIFY, timeout=30)
        self.assertEqual(com2.frames("in"), [])

        d.command(40020)
        com1.clear_log()
        self.assertIni(s, 2, "pol")
        self.assertChecked(d_items(d), PORT_ITEMS, 40020)
        com2.wait_frame(IDENTIFY, timeout=30)
        com2.wait_frame(BLOCK2, timeout=30)  # online on the new port
        self.assertEqual(com1.frames("in"), [])

        # The same port again: closed and opened at the next exchange, polling goes on there.
        d.command(40020)
        com2.clear_log()
        com2.wait_frame(IDENTIFY, timeout=30)
        self.assertEqual(com1.frames("in"), [])
        self.assertIni(s, 2, "pol")


def d_items(d):
    return {i["id"]: i for i in d.menu_tree() if not i["popup"]}


if __name__ == "__main__":
    harness.main()
