#!/usr/bin/env python3
"""Writes the five language files and the catalogue README.md from the table below.

The table is the translators' source: one entry per text number 0..200 with a key (readable
name of the line, never read by the program), where the text is shown, and the text in each
language, written in proper UTF-8. The script applies the code-page substitutions (Lithuanian
letters and Italian grave accents that Windows-1250 lacks), encodes each file in its code page
and refuses texts that the loader would mangle. Running it again gives byte-identical files.

    python3 Lang/make_lang_files.py          # rewrite the files
    python3 Lang/make_lang_files.py --check  # exit 1 if a file differs from the table
"""

import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
LINES = 201
MAX_BYTES = 127

# language code (the file suffix), language name, code page
LANGS = [
    ("pol", "Polish", "cp1250"),
    ("ang", "English", "cp1250"),
    ("rus", "Russian", "cp1251"),
    ("lit", "Lithuanian", "cp1250"),
    ("ita", "Italian", "cp1250"),
]

# Letters Windows-1250 cannot hold, replaced by the closest letter without the diacritic
# (Lithuanian, as the built-in Lithuanian menu does: "Išejimas", "Lenku") or by the apostrophe
# form (Italian grave accents: "è" -> "e'"). Italian é exists in 1250 and is kept.
SUBST = {
    "lit": {"ė": "e", "Ė": "E", "į": "i", "Į": "I", "ų": "u", "Ų": "U", "ū": "u", "Ū": "U"},
    "ita": {"à": "a'", "è": "e'", "ì": "i'", "ò": "o'", "ù": "u'",
            "À": "A'", "È": "E'", "Ì": "I'", "Ò": "O'", "Ù": "U'"},
}

V5 = "[V]     "   # template default of the volt units on the configuration panel
V1 = "[V] "       # template default of the volt unit on the options panel
PCT = "[%]    "   # template default of the per-cent unit on the options panel
DEG = "[°C]  "    # template default of the temperature unit on the options panel


def same(text):
    return dict(pol=text, ang=text, rus=text, lit=text, ita=text)


def t(pol, ang, rus, lit, ita):
    return dict(pol=pol, ang=ang, rus=rus, lit=lit, ita=ita)


# Ignition types 1..18 (texts 64..81): cylinders and coils, then other speed signal sources.
_COILS = [(4, 1, ""), (4, 2, " (DIS)"), (4, 4, ""), (6, 1, ""), (6, 3, " (DIS)"), (6, 6, ""),
          (8, 1, ""), (8, 4, " (DIS)"), (8, 8, ""), (3, 1, ""), (3, 3, ""), (5, 1, ""),
          (5, 5, ""), (2, 1, ""), (1, 1, "")]


def _pl_coils(n):
    return "cewka" if n == 1 else ("cewki" if n in (2, 3, 4) else "cewek")


def _lt_coils(n):
    # 1 ritė, 2..9 ritės (Lithuanian counts 2..9 take the plural nominative)
    return "ritė" if n == 1 else "ritės"


IGNITION = []
for cyl, coils, tag in _COILS:
    IGNITION.append(t(
        f"{cyl} cyl. - {coils} {_pl_coils(coils)}{tag}",
        f"{cyl} cyl. - {coils} coil{'s' if coils > 1 else ''}{tag}",
        f"{cyl} цил. - {coils} кат.{tag}",
        f"{cyl} cil. - {coils} {_lt_coils(coils)}{tag}",
        f"{cyl} cil. - {coils} bobin{'e' if coils > 1 else 'a'}{tag}",
    ))
IGNITION += [
    t("Obrotomierz", "Tachometer signal", "Сигнал тахометра", "Tachometro signalas",
      "Segnale contagiri"),
    t("Sygnał z ECU", "ECU speed signal", "Сигнал от ЭБУ", "ECU signalas", "Segnale da ECU"),
    t("Czujnik wału", "Crankshaft sensor", "Датчик коленвала", "Alkūn. veleno jutiklis",
      "Sensore albero motore"),
]
assert len(IGNITION) == 18

# (number, key, where it is shown, texts). Numbers not listed get "unused_<n>=" with no text.
TEXTS = [
    # Readings panel (drawn texts and the learn button)
    (0, "readings_lambda_title", "Readings panel: title of the lambda box",
     t("Sonda Lambda", "Lambda probe", "Лямбда-зонд", "Lambda zondas", "Sonda lambda")),
    (1, "readings_lambda_bar_left", "Readings panel: caption under the left end of the lambda bar (low voltage)",
     t("UBOGA", "LEAN", "БЕДНАЯ", "LIESAS", "POVERA")),
    (2, "readings_lambda_bar_right", "Readings panel: caption under the right end of the lambda bar (high voltage)",
     t("BOGATA", "RICH", "БОГАТАЯ", "RIEBUS", "RICCA")),
    (3, "readings_tps_title", "Readings panel: title of the throttle (TPS) box",
     t("Przepustnica (TPS)", "Throttle (TPS)", "Дроссель (ДПДЗ)", "Droselis (TPS)", "Farfalla (TPS)")),
    (4, "readings_tps_inertia_label", "Readings panel: label before the TPS idle inertia voltage",
     t("Bezwładność TPS:", "TPS idle inertia:", "Инерция ДПДЗ:", "TPS inercija:", "Inerzia TPS:")),
    (5, "readings_actuator_title", "Readings panel: title of the actuator (stepper motor) box",
     t("Silnik krokowy", "Stepper actuator", "Шаговый двигатель", "Žingsninis variklis", "Motore passo-passo")),
    (6, "readings_actuator_base_caption", "Readings panel: caption under the moving base-position pointer of the actuator bar (keep very short)",
     t("Baza", "Base", "База", "Bazė", "Base")),
    (11, "readings_temperature_title", "Readings panel: title of the temperature box",
     t("Temperatura", "Temperature", "Температура", "Temperatūra", "Temperatura")),
    (12, "readings_msg_on_petrol", "Readings panel, message line 1: the engine runs on petrol",
     t("Praca na benzynie", "Running on petrol", "Работа на бензине", "Darbas benzinu", "Funzionamento a benzina")),
    (13, "readings_msg_on_lpg", "Readings panel, message line 1: the engine runs on LPG",
     t("Praca na gazie", "Running on LPG", "Работа на газе", "Darbas dujomis", "Funzionamento a GPL")),
    (14, "fuel_field_petrol", "Readings and oscilloscope panels: fuel-state field on petrol (green field, short)",
     t("BENZYNA", "PETROL", "БЕНЗИН", "BENZINAS", "BENZINA")),
    (15, "fuel_field_lpg", "Readings and oscilloscope panels: fuel-state field on LPG (cyan field, very short)",
     t("GAZ", "LPG", "ГАЗ", "DUJOS", "GPL")),
    (16, "readings_msg_learning_hold", "Readings panel, message line 5: learning in progress, throttle off idle",
     t("Nauka - utrzymuj stałe obroty", "Learning - hold the engine speed steady",
       "Обучение - держите обороты постоянными", "Mokymas - laikykite pastovias apsukas",
       "Apprendimento - mantenere i giri costanti")),
    (17, "readings_msg_learning_raise", "Readings panel, message line 5 (red): learning in progress, throttle at idle",
     t("Nauka - zwiększ obroty silnika!", "Learning - raise the engine speed!",
       "Обучение - увеличьте обороты!", "Mokymas - padidinkite apsukas!",
       "Apprendimento - aumentare i giri!")),
    (18, "readings_msg_learning_interrupted", "Readings panel, message line 5 (red): outcome of a learn request, learning did not complete",
     t("Nauka przerwana", "Learning interrupted", "Обучение прервано", "Mokymas nutrauktas",
       "Apprendimento interrotto")),
    (19, "readings_msg_learning_error", "Readings panel, message line 5 (red): outcome of a learn request, the controller reports an error (stays shown)",
     t("Błąd nauki - powtórz procedurę", "Learning error - repeat the procedure",
       "Ошибка обучения - повторите процедуру", "Mokymo klaida - pakartokite procedūrą",
       "Errore di apprendimento - ripetere")),
    (20, "readings_msg_learning_done", "Readings panel, message line 5 (red): outcome of a learn request, learning completed",
     t("Nauka zakończona poprawnie", "Learning completed successfully", "Обучение успешно завершено",
       "Mokymas sėkmingai baigtas", "Apprendimento completato")),
    (21, "readings_msg_lpg_off", "Readings panel, message line 3 (red): LPG switched off",
     t("Gaz wyłączony (LPG OFF)", "LPG switched off (LPG OFF)", "Газ выключен (LPG OFF)",
       "Dujos išjungtos (LPG OFF)", "GPL disinserito (LPG OFF)")),
    (22, "readings_msg_temperature_low", "Readings panel, message line 4 (red): switch-on temperature not reached",
     t("Za niska temperatura silnika", "Engine temperature too low", "Низкая температура двигателя",
       "Per žema variklio temperatūra", "Temperatura motore troppo bassa")),
    (23, "readings_msg_cut_off", "Readings panel, message line 5 (red): fuel cut-off active",
     t("Odcięcie zasilania (CUT-OFF)", "Fuel cut-off active (CUT-OFF)", "Отсечка топлива (CUT-OFF)",
       "Kuro nutraukimas (CUT-OFF)", "Taglio carburante (CUT-OFF)")),
    (24, "readings_msg_waiting_switch_over", "Readings panel, message line 3: on petrol, waiting for the switch-over conditions",
     t("Oczekiwanie na przełączenie na gaz", "Waiting for switch-over to LPG",
       "Ожидание переключения на газ", "Laukiama perjungimo į dujas", "Attesa commutazione a GPL")),
    (25, "readings_msg_raise_speed", "Readings panel, message line 4 (red): engine speed below the switch-over point",
     t("Zwiększ obroty silnika", "Raise the engine speed", "Увеличьте обороты двигателя",
       "Padidinkite variklio apsukas", "Aumentare i giri motore")),
    (26, "readings_msg_release_throttle", "Readings panel, message line 4 (red): engine speed above the switch-over point, switch-over happens as the speed falls",
     t("Zmniejsz obroty - przełączenie przy spadku", "Release throttle: switch-over when slowing",
       "Сбросьте газ: переключение на спаде оборотов", "Sumažinkite apsukas: perjungimas mažėjant",
       "Ridurre i giri: commutazione in decelerazione")),
    (27, "readings_msg_switch_over_disabled", "Readings panel, message line 3 (red): on petrol while the switch-over to LPG is disabled in the controller",
     t("Przełączenie na gaz zablokowane", "Switch-over to LPG disabled", "Переключение на газ заблокировано",
       "Perjungimas į dujas užblokuotas", "Commutazione a GPL disabilitata")),
    (28, "readings_msg_engine_stopped", "Readings panel, message line 3 (red): the engine is not running",
     t("Silnik nie pracuje", "Engine not running", "Двигатель не работает", "Variklis neveikia", "Motore spento")),
    (29, "readings_msg_unsupported_version", "Readings panel, message line 1 (red): the controller answers with a version the program does not support",
     t("Nieobsługiwana wersja sterownika", "Unsupported controller version",
       "Неподдерживаемая версия контроллера", "Nepalaikoma valdiklio versija",
       "Versione centralina non supportata")),
    (30, "readings_msg_no_connection", "Readings panel, message line 1 (red): no controller answers",
     t("Brak komunikacji ze sterownikiem", "No communication with the controller", "Нет связи с контроллером",
       "Nėra ryšio su valdikliu", "Nessuna comunicazione con la centralina")),
    (31, "readings_msg_check_cable", "Readings panel, message line 3: hint shown with the no-connection message",
     t("Sprawdź przewód i wybrany port COM", "Check the cable and the selected COM port",
       "Проверьте кабель и выбранный COM-порт", "Patikrinkite kabelį ir pasirinktą COM prievadą",
       "Controllare il cavo e la porta COM scelta")),
    (32, "readings_msg_learning_already", "Readings panel, message line 5 (red): learn button pressed while learning is already running",
     t("Nauka już trwa", "Learning already in progress", "Обучение уже выполняется", "Mokymas jau vyksta",
       "Apprendimento già in corso")),
    (33, "readings_learn_button", "Readings panel: caption of the learn button (control 1005)",
     t("Nauka", "Learn", "Обучение", "Mokymas", "Apprendi")),

    # Messages about writes that stopped part-way, restore points and files (the main window)
    (34, "file_msg_path_too_long", "File > Open... and File > Save As...: message (caption \"I/O Error\") when the chosen file's path is too long for the dialog",
     t("Ścieżka wybranego pliku jest za długa. Przenieś plik do folderu o krótszej ścieżce i wybierz go ponownie.",
       "The path of the chosen file is too long. Move the file to a folder with a shorter path and choose it again.",
       "Путь к файлу слишком длинный. Переместите файл в папку с более коротким путём и выберите его снова.",
       "Failo kelias per ilgas. Perkelkite failą į aplanką trumpesniu keliu ir pasirinkite jį iš naujo.",
       "Il percorso del file è troppo lungo. Spostalo in una cartella con un percorso più corto e riprova.")),
    (140, "msg_writes_confirmed", "File > Open... (message 171) and the reset panel (message 139) after a stop part-way: label before \"n / total\", the writes the controller confirmed",
     t("Zapisy potwierdzone przez sterownik:", "Writes confirmed by the controller:",
       "Записей подтверждено контроллером:", "Valdiklio patvirtinti įrašai:",
       "Scritture confermate dalla centralina:")),
    (141, "msg_restore_point_kept", "File > Open... (message 171) and the reset panel (message 139) after a stop part-way: line before the restore point's full path",
     t("Wcześniejsze ustawienia samochodu są w punkcie przywracania; Plik > Otwórz tego pliku je przywróci:",
       "The car's earlier settings are kept in this restore point; File > Open of it puts them back:",
       "Прежние настройки автомобиля в точке восстановления; Файл > Открыть её вернёт их:",
       "Ankstesni automobilio nustatymai yra atkūrimo taške; Failas > Atidaryti jį juos grąžins:",
       "Le impostazioni precedenti dell'auto sono nel punto di ripristino; Plik > Otwórz lo ripristina:")),
    (163, "msg_temporary_folder", "Main window: warning at start (caption \"Tolmar\") when started from a temporary folder (inside a zip); the restore points' folder follows on the next line",
     t("Uruchomiono z folderu tymczasowego (z pliku zip?): ustawienia przepadną. Rozpakuj zip. Punkty przywracania trafią do:",
       "Started from a temporary folder (inside a zip?): settings would be lost. Unpack the zip first. Restore points go to:",
       "Запуск из временной папки (из zip?): настройки пропадут. Распакуйте архив. Точки восстановления:",
       "Paleista iš laikino aplanko (iš zip?): nustatymai bus prarasti. Išpakuokite zip. Atkūrimo taškai:",
       "Avviato da una cartella temporanea (zip?): le impostazioni andranno perse. Estrai lo zip. Punti di ripristino:")),
    (164, "msg_folders_tried", "File > Open... and the reset panel: line after message 186, before the folders the restore point was tried in",
     t("Próbowano zapisać w folderach:", "Folders tried:", "Попытки записи в папки:", "Bandyti aplankai:",
       "Cartelle provate:")),

    # Configuration panel
    (35, "config_heading_lambda", "Configuration panel: section heading 1126 (lambda rows)",
     t("Sonda Lambda", "Lambda probe", "Лямбда-зонд", "Lambda zondas", "Sonda lambda")),
    (36, "config_heading_speed", "Configuration panel: section heading 1127 (ignition and switch-over rows)",
     t("Obroty", "Engine speed", "Обороты", "Apsukos", "Giri motore")),
    (37, "config_heading_tps", "Configuration panel: section heading 1128 (TPS rows)",
     t("TPS", "TPS", "ДПДЗ", "TPS", "TPS")),
    (38, "config_heading_injector_emulator", "Configuration panel: section heading 1129 (petrol/LPG overlap row)",
     t("Emulator wtryskiwaczy", "Injector emulator", "Эмулятор форсунок", "Purkštukų emuliatorius",
       "Emulatore iniettori")),
    (39, "gas_level_sensor", "Options panel: section heading 1130; gas level sensor dialog: caption",
     t("Czujnik ilości gazu", "Gas level sensor", "Датчик уровня газа", "Dujų lygio jutiklis",
       "Sensore livello GPL")),
    (40, "config_label_lambda_type", "Configuration panel: label 1075 of the lambda probe type list 1003",
     t("Typ sondy Lambda", "Lambda probe type", "Тип лямбда-зонда", "Lambda zondo tipas", "Tipo sonda lambda")),
    (41, "config_label_lambda_point", "Configuration panel: label 1076 of the lambda neutral point list 1013",
     t("Punkt neutralny Lambdy", "Lambda neutral point", "Нейтральная точка лямбды", "Lambda neutralus taškas",
       "Punto neutro lambda")),
    (42, "config_label_lambda_delay", "Configuration panel: label 1077 of the lambda reading delay list 1017",
     t("Czas opóźnienia odczytu sondy Lambda", "Lambda probe reading delay", "Задержка чтения лямбда-зонда",
       "Lambda zondo nuskaitymo delsa", "Ritardo lettura sonda lambda")),
    (43, "config_label_emulation_type", "Configuration panel: label 1078 of the emulation type list 1018; first half of the emulation construction dialog caption (no % sign)",
     t("Typ emulacji sondy Lambda", "Lambda emulation type", "Тип эмуляции лямбда-зонда",
       "Lambda emuliacijos tipas", "Tipo emulazione lambda")),
    (44, "emulation_label_time_high", "Configuration panel: label 1079 of list 1019; emulation construction dialog: label 1202",
     t('Czas emulacji stanu "H"', 'Emulation time of state "H"', 'Время эмуляции состояния "H"',
       'Būsenos "H" emuliacijos laikas', 'Tempo emulazione stato "H"')),
    (45, "emulation_label_time_low", "Configuration panel: label 1080 of list 1020; emulation construction dialog: label 1203",
     t('Czas emulacji stanu "L"', 'Emulation time of state "L"', 'Время эмуляции состояния "L"',
       'Būsenos "L" emuliacijos laikas', 'Tempo emulazione stato "L"')),
    (46, "config_label_ignition_type", "Configuration panel: label 1081 of the ignition type list 1021",
     t("Typ układu zapłonowego", "Ignition system type", "Тип системы зажигания", "Uždegimo sistemos tipas",
       "Tipo di accensione")),
    (47, "config_label_lpg_on_speed", "Configuration panel: label 1082 of the switch-over speed list 1022",
     t("Punkt przełączenia na gaz", "LPG switch-over speed", "Обороты переключения на газ",
       "Perjungimo į dujas apsukos", "Giri commutazione a GPL")),
    (48, "config_label_switch_over_direction", "Configuration panel: label 1083 of list 1023 (switch-over while the speed falls or rises)",
     t("Przełączenie przy zmianie obrotów ", "Switch-over with engine speed", "Переключение по оборотам",
       "Perjungimas keičiantis apsukoms", "Commutazione al variare dei giri")),
    (49, "config_label_tps_type", "Configuration panel: label 1084 of the TPS sensor type list 1024",
     t("Typ czujnika TPS", "TPS sensor type", "Тип ДПДЗ", "TPS jutiklio tipas", "Tipo sensore TPS")),
    (50, "config_label_tps_inertia", "Configuration panel: label 1085 of the TPS idle inertia list 1025",
     t("Bezwładność TPS na biegu jałowym", "TPS inertia at idle", "Инерция ДПДЗ на холостом ходу",
       "TPS inercija tuščiąja eiga", "Inerzia TPS al minimo")),
    (51, "config_label_overlap_time", "Configuration panel: label 1086 of the petrol/LPG overlap time list 1026",
     t("Czas nakładania faz BENZYNA/GAZ", "PETROL/LPG overlap time", "Время перекрытия БЕНЗИН/ГАЗ",
       "BENZINO/DUJŲ persidengimo laikas", "Tempo sovrapposizione BENZINA/GPL")),
    (52, "sensor_type_label", "Options panel: label 1096 of the gas level sensor row; gas level sensor dialog: label 1200 of the type list",
     t("Typ czujnika", "Sensor type", "Тип датчика", "Jutiklio tipas", "Tipo sensore")),
    (53, "config_unit_lambda_point", "Configuration panel: unit 1089 of the lambda neutral point",
     same(V5)),
    (54, "config_unit_lambda_delay", "Configuration panel: unit 1090 of the lambda reading delay (minutes:seconds)",
     t("[min:sek]", "[min:s]", "[мин:сек]", "[min:s]", "[min:s]")),
    (55, "emulation_unit_time_high", "Configuration panel: unit 1091; emulation construction dialog: unit 1204 (seconds)",
     t("[sek]", "[s]", "[сек]", "[s]", "[s]")),
    (56, "emulation_unit_time_low", "Configuration panel: unit 1092; emulation construction dialog: unit 1205 (seconds)",
     t("[sek]", "[s]", "[сек]", "[s]", "[s]")),
    (57, "config_unit_lpg_on_speed", "Configuration panel: unit 1087 of the switch-over speed (rpm)",
     t("[obr/min]", "[rpm]", "[об/мин]", "[aps./min]", "[giri/min]")),
    (58, "config_unit_tps_inertia", "Configuration panel: unit 1093 of the TPS idle inertia",
     same(V5)),
    (59, "config_unit_overlap_time", "Configuration panel: unit 1094 of the overlap time (seconds)",
     t("[sek]", "[s]", "[сек]", "[s]", "[s]")),
    (60, "config_unit_valve_pre_opening", "Configuration panel: unit 1095 of the LPG valve pre-opening time (seconds)",
     t("[sek]", "[s]", "[сек]", "[s]", "[s]")),
    (61, "emulation_type_0", "Configuration panel: item 0 of the emulation type list 1018 (opens the emulation construction dialog); second half of that dialog's caption (no % sign)",
     t("Prostokątna", "Square wave", "Прямоугольная", "Stačiakampė", "Onda quadra")),
    (62, "emulation_type_1", "Configuration panel: item 1 of the emulation type list 1018",
     t("Sygnał sondy", "Probe signal", "Сигнал зонда", "Zondo signalas", "Segnale sonda")),
    (63, "emulation_type_2", "Configuration panel: item 2 of the emulation type list 1018",
     t("Bez emulacji", "No emulation", "Без эмуляции", "Be emuliacijos", "Nessuna")),
] + [
    (64 + i, f"ignition_type_{i + 1}", f"Configuration panel: item {i} of the ignition type list 1021 (ignition type {i + 1})", texts)
    for i, texts in enumerate(IGNITION)
] + [
    (82, "switch_over_on_falling_speed", "Configuration panel: item 0 of list 1023 (switch-over as the engine speed falls)",
     t("w dół", "falling", "вниз", "mažėjant", "in calo")),
    (83, "switch_over_on_rising_speed", "Configuration panel: item 1 of list 1023 (switch-over as the engine speed rises)",
     t("w górę", "rising", "вверх", "didėjant", "in aumento")),
    (84, "tps_type_standard", "Configuration panel: item 0 of the TPS sensor type list 1024 (code 0); oscilloscope: TPS sensor name",
     t("Standardowy 0-5 V", "Standard 0-5 V", "Стандартный 0-5 V", "Standartinis 0-5 V", "Standard 0-5 V")),
    (85, "tps_type_inverted", "Configuration panel: item 1 of list 1024 (code 1, falling voltage); oscilloscope: TPS sensor name",
     t("Odwrócony 5-0 V", "Inverted 5-0 V", "Инверсный 5-0 V", "Atvirkštinis 5-0 V", "Invertito 5-0 V")),
    (86, "tps_type_none", "Configuration panel: item 2 of list 1024 (codes 2..5, no voltage shown); oscilloscope: TPS sensor name",
     t("Brak czujnika", "No sensor", "Нет датчика", "Be jutiklio", "Nessun sensore")),
    (87, "tps_type_switch_plus", "Configuration panel: item 3 of list 1024 (code 6, idle switch); oscilloscope: TPS sensor name",
     t("Włącznik (+)", "Idle switch (+)", "Выключатель (+)", "Jungiklis (+)", "Interruttore (+)")),
    (88, "tps_type_switch_minus", "Configuration panel: item 4 of list 1024 (code 7, idle switch); oscilloscope: TPS sensor name",
     t("Włącznik (-)", "Idle switch (-)", "Выключатель (-)", "Jungiklis (-)", "Interruttore (-)")),
    (89, "tps_type_other", "Configuration panel: item 5 of list 1024 (code 8 and above); oscilloscope: TPS sensor name",
     t("Inny 0-5 V", "Other 0-5 V", "Другой 0-5 V", "Kitas 0-5 V", "Altro 0-5 V")),

    # Options panel and its dialogs
    (92, "options_heading_actuator", "Options panel: section heading 1131 (actuator limit rows)",
     t("Silnik krokowy", "Stepper motor", "Шаговый мотор", "Žingsn. variklis", "Passo-passo")),
    (93, "options_heading_cut_off", "Options panel: section heading 1132 (cut-off rows)",
     t("Odcięcie", "Cut-off", "Отсечка", "Nutraukimas", "Cut-off")),
    (94, "config_heading_high_speed", "Configuration panel: section heading 1133 (return-to-petrol speed row)",
     t("Wysokie obroty", "High speed", "Высокие обороты", "Didelės apsukos", "Giri elevati")),
    (95, "options_heading_temperature", "Options panel: section heading 1134 (switch-over temperature row)",
     t("Temperatura", "Temperature", "Температура", "Temperatūra", "Temperatura")),
    (96, "options_heading_emulation", "Options panel: section heading 1135 (emulation mode row)",
     t("Emulacja", "Emulation", "Эмуляция", "Emuliacija", "Emulazione")),
    (97, "options_button_corrections", "Options panel: button 1014 (opens the corrections dialog)",
     t("Korekcje", "Corrections", "Коррекции", "Korekcijos", "Correzioni")),
    (98, "corrections_caption", "Corrections dialog: caption",
     t("Korekcje silnika krokowego", "Stepper motor corrections", "Коррекции шагового двигателя",
       "Žingsninio variklio korekcijos", "Correzioni motore passo-passo")),
    (99, "corrections_label_idle_closing", "Corrections dialog: label 1075 of list 1003",
     t("Korekcja zamykania na biegu jałowym [kroki]", "Closing correction at idle [steps]",
       "Коррекция закрытия на холостом ходу [шаги]", "Uždarymo korekcija tuščiąja eiga [žingsn.]",
       "Correzione chiusura al minimo [passi]")),
    (100, "corrections_label_idle_opening", "Corrections dialog: label 1076 of list 1013",
     t("Korekcja otwierania na biegu jałowym [kroki]", "Opening correction at idle [steps]",
       "Коррекция открытия на холостом ходу [шаги]", "Atidarymo korekcija tuščiąja eiga [žingsn.]",
       "Correzione apertura al minimo [passi]")),
    (101, "corrections_label_driving_closing", "Corrections dialog: label 1077 of list 1122",
     t("Korekcja zamykania podczas jazdy [kroki]", "Closing correction while driving [steps]",
       "Коррекция закрытия при движении [шаги]", "Uždarymo korekcija važiuojant [žingsn.]",
       "Correzione chiusura in marcia [passi]")),
    (102, "corrections_label_driving_opening", "Corrections dialog: label 1078 of list 1123",
     t("Korekcja otwierania podczas jazdy [kroki]", "Opening correction while driving [steps]",
       "Коррекция открытия при движении [шаги]", "Atidarymo korekcija važiuojant [žingsn.]",
       "Correzione apertura in marcia [passi]")),
    (103, "corrections_button_ok", "Corrections dialog: button 1",
     same("OK")),
    (104, "options_check_manual_base", "Options panel: check box 1034 (base position set by hand; heads the base position row)",
     t("Ręczna pozycja bazowa", "Manual base position", "Ручная базовая позиция", "Rankinis atskaitos taškas",
       "Posizione base manuale")),
    (105, "options_label_idle_lower", "Options panel: label 1075 of list 1013 (lower actuator limit at idle)",
     t("Dolny zakres na biegu jałowym", "Lower limit at idle", "Нижний предел на холостом ходу",
       "Apatinė riba tuščiąja eiga", "Limite inferiore al minimo")),
    (106, "options_label_idle_upper", "Options panel: label 1076 of list 1043 (upper actuator limit at idle)",
     t("Górny zakres na biegu jałowym", "Upper limit at idle", "Верхний предел на холостом ходу",
       "Viršutinė riba tuščiąja eiga", "Limite superiore al minimo")),
    (107, "options_label_work_lower", "Options panel: label 1077 of list 1044 (lower working limit)",
     t("Dolny zakres pracy", "Lower working limit", "Нижний рабочий предел", "Apatinė darbo riba",
       "Limite inferiore di lavoro")),
    (108, "options_label_work_upper", "Options panel: label 1078 of list 1045 (upper working limit)",
     t("Górny zakres pracy", "Upper working limit", "Верхний рабочий предел", "Viršutinė darbo riba",
       "Limite superiore di lavoro")),
    (109, "options_check_acceleration_jump", "Options panel: check box 1039 (acceleration jump; heads the jump rows)",
     t("Skok przy przyspieszaniu", "Acceleration jump", "Скачок при ускорении", "Šuolis greitėjant",
       "Salto in accelerazione")),
    (110, "options_label_jump_position", "Options panel: label 1064 of list 1046 for a controller of another version (raw position)",
     t("Pozycja skoku", "Jump position", "Позиция скачка", "Šuolio padėtis", "Posizione salto")),
    (111, "options_label_tps_jump", "Options panel: label 1065 of list 1047 (TPS jump threshold)",
     t("Próg skoku TPS", "TPS jump threshold", "Порог скачка ДПДЗ", "TPS šuolio slenkstis", "Soglia salto TPS")),
    (112, "options_check_cut_off", "Options panel: check box 1040 (cut-off on engine braking; heads the cut-off rows)",
     t("Odcięcie przy hamowaniu silnikiem", "Cut-off on engine braking", "Отсечка при торможении двигателем",
       "Nutraukimas stabdant varikliu", "Cut-off in rilascio")),
    (113, "options_label_cut_off_speed", "Options panel: label 1066 of list 1048 (cut-off speed)",
     t("Obroty odcięcia", "Cut-off speed", "Обороты отсечки", "Nutraukimo apsukos", "Giri cut-off")),
    (114, "options_label_cut_off_closing", "Options panel: label 1067 of list 1049 (actuator closing at cut-off, per cent)",
     t("Przymknięcie przy odcięciu", "Closing at cut-off", "Прикрытие при отсечке", "Uždarymas nutraukus",
       "Chiusura in cut-off")),
    (115, "config_check_return_to_petrol", "Configuration panel: check box 1041 (return to petrol above the speed of list 1050)",
     t("Powrót na benzynę powyżej", "Return to petrol above", "Возврат на бензин выше", "Grįžti į benziną virš",
       "Ritorno a benzina oltre")),
    (116, "options_check_switch_temperature", "Options panel: check box 1042 (switch-over temperature in use; heads the temperature row)",
     t("Temperatura przełączenia", "Switch-over temperature", "Температура переключения", "Perjungimo temperatūra",
       "Temperatura commutazione")),
    (117, "options_label_emulation_mode", "Options panel: label 1079 of list 1052 (when the emulation works)",
     t("Emulacja aktywna", "Emulation active", "Эмуляция активна", "Emuliacija aktyvi", "Emulazione attiva")),
    (118, "options_unit_base_position", "Options panel: unit 1057 of the base position (actuator steps)",
     t("[kroki]", "[steps]", "[шаги]", "[žingsn.]", "[passi]")),
    (119, "options_unit_idle_lower", "Options panel: unit 1085 (actuator steps)",
     t("[kroki]", "[steps]", "[шаги]", "[žingsn.]", "[passi]")),
    (120, "options_unit_idle_upper", "Options panel: unit 1086 (actuator steps)",
     t("[kroki]", "[steps]", "[шаги]", "[žingsn.]", "[passi]")),
    (121, "options_unit_work_lower", "Options panel: unit 1088 (actuator steps)",
     t("[kroki]", "[steps]", "[шаги]", "[žingsn.]", "[passi]")),
    (122, "options_unit_work_upper", "Options panel: unit 1136 (actuator steps)",
     t("[kroki]", "[steps]", "[шаги]", "[žingsn.]", "[passi]")),
    (123, "options_unit_jump_position", "Options panel: unit 1058 for a controller of another version (actuator steps)",
     t("[kroki]", "[steps]", "[шаги]", "[žingsn.]", "[passi]")),
    (124, "options_unit_tps_jump", "Options panel: unit 1059 of the TPS jump threshold",
     same(V1)),
    (125, "options_unit_cut_off_speed", "Options panel: unit 1060 of the cut-off speed (rpm)",
     t("[obr/min]", "[rpm]", "[об/мин]", "[aps./min]", "[giri/min]")),
    (126, "options_unit_percent", "Options panel: unit 1061 of the cut-off closing, and unit 1058 of the jump for a current controller (per cent)",
     same(PCT)),
    (127, "config_unit_return_to_petrol_speed", "Configuration panel: unit 1062 of the return-to-petrol speed list 1050 (rpm)",
     t("[obr/min]", "[rpm]", "[об/мин]", "[aps./min]", "[giri/min]")),
    (128, "options_unit_temperature", "Options panel: unit 1063 of the switch-over temperature",
     same(DEG)),
    (129, "emulation_mode_lpg", "Options panel: item 0 of list 1052 (emulation on LPG only)",
     t("Na gazie", "LPG only", "На газе", "Tik dujomis", "Solo GPL")),
    (130, "emulation_mode_lpg_cut_off", "Options panel: item 1 of list 1052 (emulation on LPG and during cut-off)",
     t("Gaz i odcięcie", "LPG + cut-off", "Газ и отсечка", "Dujos ir nutr.", "GPL e cut-off")),
    (131, "emulation_mode_always", "Options panel: item 2 of list 1052 (emulation always)",
     t("Zawsze", "Always", "Всегда", "Visada", "Sempre")),
    (132, "options_label_jump_relative", "Options panel: label 1064 of list 1046 for a current controller (jump in per cent of the base position)",
     t("Skok względem bazy", "Jump above base", "Скачок от базы", "Šuolis nuo atskaitos", "Salto sulla base")),

    # Factory reset panel
    (134, "reset_heading", "Reset panel: static text 1104",
     t("PRZYWRÓCENIE USTAWIEŃ FABRYCZNYCH STEROWNIKA:", "RESTORING THE CONTROLLER'S FACTORY SETTINGS:",
       "ВОССТАНОВЛЕНИЕ ЗАВОДСКИХ НАСТРОЕК КОНТРОЛЛЕРА:", "VALDIKLIO GAMYKLINIŲ NUSTATYMŲ ATKŪRIMAS:",
       "RIPRISTINO DELLE IMPOSTAZIONI DI FABBRICA:")),
    (135, "reset_description", "Reset panel: static text 1105",
     t("-pamięć w urządzeniu zostanie zapisana wartościami  fabrycznymi.",
       "-the controller's memory will be overwritten with the factory values.",
       "-память устройства будет перезаписана заводскими значениями.",
       "-į valdiklio atmintį bus įrašytos gamyklinės reikšmės.",
       "-la memoria della centralina verrà sovrascritta con i valori di fabbrica.")),
    (136, "reset_button", "Reset panel: button 126 (starts the factory reset at once)",
     t("ZRESETUJ   I   PRZYWRÓĆ USTAWIENIA FABRYCZNE", "RESET AND RESTORE THE FACTORY SETTINGS",
       "СБРОСИТЬ И ВОССТАНОВИТЬ ЗАВОДСКИЕ НАСТРОЙКИ", "ATSTATYTI GAMYKLINIUS NUSTATYMUS",
       "RESET E RIPRISTINO IMPOSTAZIONI DI FABBRICA")),
    (137, "reset_msg_caption", "Reset panel: caption of its three message boxes",
     t("Reset sterownika", "Controller reset", "Сброс контроллера", "Valdiklio atstatymas", "Reset centralina")),
    (138, "reset_msg_done", "Reset panel: message box after every setting was written back and echoed",
     t("Ustawienia fabryczne zostały przywrócone.", "The factory settings have been restored.",
       "Заводские настройки восстановлены.", "Gamykliniai nustatymai atkurti.",
       "Impostazioni di fabbrica ripristinate.")),
    (139, "reset_msg_write_failed", "Reset panel: warning message box when a write-back was not echoed",
     t("Błąd zapisu: sterownik nie potwierdził danych. Przywracanie przerwane.",
       "Write error: the controller did not confirm the data. Restoring stopped.",
       "Ошибка записи: контроллер не подтвердил данные. Восстановление прервано.",
       "Rašymo klaida: valdiklis nepatvirtino duomenų. Atkūrimas nutrauktas.",
       "Errore di scrittura: la centralina non ha confermato i dati. Ripristino interrotto.")),

    # Oscilloscope panel
    (142, "osc_check_value_cursor", "Oscilloscope panel: check box 1071 (value cursor)",
     t("Kursor wartości", "Value cursor", "Курсор значений", "Verčių žymeklis", "Cursore valori")),
    (143, "osc_trace_lambda", "Oscilloscope panel: title of trace 1 (lambda probe voltage), chart 1",
     t("Sonda Lambda", "Lambda probe", "Лямбда-зонд", "Lambda zondas", "Sonda lambda")),
    (144, "osc_trace_actuator", "Oscilloscope panel: title of trace 2 (actuator position), chart 2",
     t("Silnik krokowy", "Stepper motor", "Шаговый двигатель", "Žingsn. variklis", "Passo-passo")),
    (145, "osc_actuator_range", "Oscilloscope panel: range of chart 2 (actuator steps)",
     t("0 - 255 kroków", "0 - 255 steps", "0 - 255 шагов", "0 - 255 žingsn.", "0 - 255 passi")),
    (146, "osc_trace_base", "Oscilloscope panel: title of trace 3 (actuator base position), chart 2",
     t("Pozycja bazowa", "Base position", "Базовая позиция", "Atskaitos taškas", "Posizione base")),
    (147, "osc_trace_speed", "Oscilloscope panel: title of trace 4 (engine speed), chart 3",
     t("Obroty silnika", "Engine speed", "Обороты двигателя", "Variklio apsukos", "Giri motore")),
    (148, "osc_speed_range", "Oscilloscope panel: range of chart 3 (engine speed)",
     t("0 - 8000 obr/min", "0 - 8000 rpm", "0 - 8000 об/мин", "0 - 8000 aps./min", "0 - 8000 giri/min")),
    (149, "osc_trace_tps", "Oscilloscope panel: title of trace 5 (throttle sensor), chart 4",
     t("Czujnik TPS", "Throttle (TPS)", "ДПДЗ", "Droselis (TPS)", "Farfalla (TPS)")),
    (150, "osc_time_axis", "Oscilloscope panel: caption of the time axis (seconds)",
     t("Czas [s]", "Time [s]", "Время [с]", "Laikas [s]", "Tempo [s]")),
    (151, "osc_unit_lambda", "Oscilloscope panel: unit right of the lambda value (value font)",
     same("V")),
    (152, "osc_unit_actuator", "Oscilloscope panel: unit right of the actuator value",
     t("kroki", "steps", "шаги", "žingsn.", "passi")),
    (153, "osc_unit_speed", "Oscilloscope panel: unit right of the engine speed value",
     t("obr/min", "rpm", "об/мин", "aps./min", "giri/min")),

    # Information dialog, dialogs shared texts
    (154, "info_contact_product", "Information panel: contact line 1075 (the program's name)",
     t("Program serwisowy KV720", "KV720 service tool", "Сервисная программа KV720",
       "KV720 serviso programa", "Programma di servizio KV720")),
    (155, "info_contact_purpose", "Information panel: contact line 1076 (what the program is for)",
     t("dla sterownika LPG KV720", "for the KV720 LPG controller", "для газового контроллера KV720",
       "KV720 dujų valdikliui", "per la centralina GPL KV720")),
    (156, "info_contact_help", "Information panel: contact line 1077 (where the program's help is)",
     t("Pomoc: plik README.md programu", "Help: the program's README.md",
       "Справка: файл README.md программы", "Pagalba: programos README.md",
       "Aiuto: il file README.md del programma")),
    (157, "info_contact_support", "Information panel: contact line 1078 (who helps with the installation)",
     t("Wsparcie: dystrybutor KV720", "Support: your KV720 distributor", "Поддержка: дистрибьютор KV720",
       "Palaikymas: KV720 platintojas", "Assistenza: il distributore KV720")),
    (158, "info_program_version", "Information panel: static text 1079 (program version)",
     t("Wersja programu: 3.08", "Program version: 3.08", "Версия программы: 3.08", "Programos versija: 3.08",
       "Versione programma: 3.08")),
    (159, "info_label_controller_version", "Information panel: label 1199 of the controller version field",
     t("Odczytana wersja sterownika:", "Controller firmware version:", "Версия контроллера:",
       "Nuskaityta valdiklio versija:", "Versione centralina letta:")),
    (160, "dialog_button_close", "Emulation construction dialog and gas level sensor dialog: button 1",
     t("Zamknij", "Close", "Закрыть", "Uždaryti", "Chiudi")),
    (161, "info_msg_offline", "Information panel: controller version field 1170 when no controller answers",
     t("Brak połączenia", "No connection", "Нет связи", "Nėra ryšio", "Nessuna connessione")),
    (162, "info_msg_unsupported", "Information panel: controller version field 1170 for a controller of another version",
     t("Nieobsługiwana wersja", "Unsupported version", "Неподдерживаемая версия", "Nepalaikoma versija",
       "Versione non supportata")),

    # Settings file (.bs2) commands of the File menu
    (165, "file_open_title", "File > Open...: title of the open dialog",
     t("Otwórz plik ustawień", "Open settings file", "Открыть файл настроек", "Atidaryti nustatymų failą",
       "Apri file impostazioni")),
    (166, "file_save_title", "File > Save As...: title of the save dialog",
     t("Zapisz plik ustawień", "Save settings file", "Сохранить файл настроек", "Išsaugoti nustatymų failą",
       "Salva file impostazioni")),
    (167, "file_msg_cannot_open", "File > Open...: message when the chosen file cannot be read; File > Save As...: when it cannot be written (caption \"I/O Error\")",
     t("Nie można otworzyć pliku.", "The file cannot be opened.", "Не удается открыть файл.",
       "Nepavyko atidaryti failo.", "Impossibile aprire il file.")),
    (168, "file_msg_not_settings", "File > Open...: message when the file is not a valid settings file",
     t("Plik nie jest poprawnym plikiem ustawień KV720.", "The file is not a valid KV720 settings file.",
       "Файл не является файлом настроек KV720.", "Failas nėra tinkamas KV720 nustatymų failas.",
       "Il file non è un file di impostazioni KV720 valido.")),
    (169, "file_msg_not_settings_caption", "File > Open...: caption of the invalid-file message",
     t("Błędny plik", "Invalid file", "Неверный файл", "Netinkamas failas", "File non valido")),
    (170, "file_msg_write_failed_caption", "File > Open...: caption of the write-failure message; caption of message 174",
     t("Błąd komunikacji", "Communication error", "Ошибка связи", "Ryšio klaida", "Errore di comunicazione")),
    (171, "file_msg_write_failed", "File > Open...: message when the controller did not acknowledge a write",
     t("Sterownik nie potwierdził zapisu. Sprawdź połączenie i wersję sterownika.",
       "The controller did not confirm the write. Check the connection and the controller version.",
       "Контроллер не подтвердил запись. Проверьте связь и версию контроллера.",
       "Valdiklis nepatvirtino įrašymo. Patikrinkite ryšį ir valdiklio versiją.",
       "La centralina non ha confermato la scrittura. Controllare il collegamento e la versione.")),
    (172, "file_msg_overwrite_caption", "File > Save As...: caption of the overwrite question",
     t("Zapisz jako", "Save As", "Сохранить как", "Išsaugoti kaip", "Salva con nome")),
    (173, "file_msg_overwrite", "File > Save As...: question when the chosen file exists (Yes / No)",
     t("Plik już istnieje. Czy zastąpić go?", "The file already exists. Do you want to replace it?",
       "Файл уже существует. Заменить его?", "Toks failas jau yra. Ar perrašyti?",
       "Il file esiste già. Sostituirlo?")),
    (174, "file_msg_not_saved", "File > Save As...: message when the controller did not answer (caption text 170), the file is left as it was; File > Open... and the reset panel: the same when the reads for the restore point get no answer",
     t("Sterownik nie odpowiedział. Plik nie został zapisany.",
       "The controller did not answer. The file was not saved.",
       "Контроллер не ответил. Файл не сохранён.",
       "Valdiklis neatsakė. Failas neišsaugotas.",
       "La centralina non ha risposto. Il file non è stato salvato.")),

    # Main window captions
    (175, "caption_readings", "Main window caption on the readings panel",
     t("KV720 - Odczyty parametrów pracy", "KV720 - Live readings", "KV720 - Чтение параметров",
       "KV720 - Parametrų skaitymas", "KV720 - Risultati in tempo reale")),
    (176, "caption_configuration", "Main window caption on the configuration panel",
     t("KV720 - Konfiguracja sterownika", "KV720 - Controller configuration", "KV720 - Конфигурация контроллера",
       "KV720 - Valdiklio konfigūracija", "KV720 - Configurazione centralina")),
    (177, "caption_options", "Main window caption on the options panel",
     t("KV720 - Opcje", "KV720 - Options", "KV720 - Опции", "KV720 - Opcijos", "KV720 - Opzioni")),
    (178, "caption_schema", "Main window caption on the schema panel (wiring diagram)",
     t("KV720 - Schemat podłączenia", "KV720 - Wiring diagram", "KV720 - Схема подключения",
       "KV720 - Prijungimo schema", "KV720 - Schema di collegamento")),
    (179, "caption_reset", "Main window caption on the reset panel",
     t("KV720 - Przywracanie ustawień fabrycznych", "KV720 - Factory reset", "KV720 - Сброс на заводские настройки",
       "KV720 - Gamyklinių nustatymų atkūrimas", "KV720 - Ripristino impostazioni di fabbrica")),
    (180, "caption_oscilloscope", "Main window caption on the oscilloscope panel",
     t("KV720 - Oscyloskop", "KV720 - Oscilloscope", "KV720 - Осциллограф", "KV720 - Osciloskopas",
       "KV720 - Oscilloscopio")),

    # Gas level sensor types (options panel 1007, gas level sensor dialog list 1003)
    (181, "gas_sensor_type_none", "Options panel: sensor type text 1007; gas level sensor dialog: item 0 of list 1003 (no sensor)",
     t("Brak czujnika", "No sensor", "Нет датчика", "Be jutiklio", "Nessun sensore")),
    (182, "gas_sensor_type_resistive", "Options panel: sensor type text 1007; gas level sensor dialog: item 1 of list 1003 (programmable)",
     t("Rezystancyjny", "Resistive", "Резистивный", "Varžinis", "Resistivo")),
    (183, "gas_sensor_type_hall", "Options panel: sensor type text 1007; gas level sensor dialog: item 2 of list 1003 (programmable)",
     t("Hallotronowy", "Hall effect", "Датчик Холла", "Holo jutiklis", "Effetto Hall")),
    (184, "settings_msg_not_saved", "Main window: warning message box (caption \"Tolmar\"), once a run, when KV720.ini cannot be written; the port and language then last only until the program closes",
     t("Nie można zapisać ustawień w pliku KV720.ini. Port i język obowiązują tylko do zamknięcia programu.",
       "The settings cannot be saved in KV720.ini. The port and the language apply only until the program is closed.",
       "Невозможно сохранить настройки в файле KV720.ini. Порт и язык действуют только до закрытия программы.",
       "Nepavyksta išsaugoti nustatymų faile KV720.ini. Prievadas ir kalba galioja tik iki programos uždarymo.",
       "Impossibile salvare le impostazioni in KV720.ini. La porta e la lingua valgono solo fino alla chiusura del programma.")),
    (185, "config_check_low_signal", "Configuration panel: check box 1140 (low emulation signal level)",
     t("Niski poziom sygnału", "Low signal level", "Низкий уровень сигнала", "Žemas signalo lygis",
       "Livello segnale basso")),
    (186, "restore_point_msg_not_written", "File > Open... and the reset panel: message when the restore point kept before the writes cannot be written (caption \"I/O Error\"); nothing is sent",
     t("Nie udało się zapisać punktu przywracania; do sterownika nic nie wysłano.",
       "A restore point could not be written; nothing was sent to the controller.",
       "Не удалось записать точку восстановления; в контроллер ничего не отправлено.",
       "Nepavyko įrašyti atkūrimo taško; į valdiklį nieko neišsiųsta.",
       "Impossibile scrivere il punto di ripristino; non è stato inviato nulla alla centralina.")),
    (187, "config_check_emergency_start", "Configuration panel: check box 1074 (emergency start)",
     t("Awaryjny rozruch silnika", "Emergency engine start", "Аварийный запуск двигателя",
       "Avarinis variklio užvedimas", "Avviamento di emergenza")),
    (188, "config_label_valve_pre_opening", "Configuration panel: label 1096 of the LPG valve pre-opening list 1149",
     t("Wstępne otwarcie zaworu GAZU", "LPG valve pre-opening", "Предоткрытие клапана ГАЗА",
       "Išankstinis DUJŲ vožtuvo atidarymas", "Pre-apertura valvola GPL")),
    (189, "gas_sensor_button_factory", "Gas level sensor dialog: button 1141 (factory switching points)",
     t("Ustawienia fabryczne", "Factory settings", "Заводские настройки", "Gamykliniai nustatymai",
       "Impostazioni di fabbrica")),
    (190, "caption_information", "Main window caption on the information panel",
     t("KV720 - Informacje o sterowniku", "KV720 - Controller information", "KV720 - Информация о контроллере",
       "KV720 - Valdiklio informacija", "KV720 - Informazioni centralina")),
    (191, "info_label_registration", "Information panel: label 1194 of the registration number",
     t("Numer rejestracyjny:", "Registration number:", "Гос. номер автомобиля:", "Valstybinis numeris:",
       "Targa del veicolo:")),
    (192, "info_label_running_time", "Information panel: label 1195 of the running time on LPG",
     t("Czas pracy na Gazie [h]:", "Running time on LPG [h]:", "Время работы на газе [ч]:",
       "Darbo dujomis laikas [h]:", "Tempo di lavoro a GPL [h]:")),
    (193, "info_label_installation_date", "Information panel: label 1196 of the installation date",
     t("Data montażu instalacji:", "Installation date:", "Дата установки:", "Įrengimo data:",
       "Data di installazione:")),
    (194, "info_label_year", "Information panel: date editor label 1189 (year)",
     t("Rok:", "Year:", "Год:", "Metai:", "Anno:")),
    (195, "info_label_month", "Information panel: date editor label 1190 (month)",
     t("Miesiąc:", "Month:", "Месяц:", "Mėnuo:", "Mese:")),
    (196, "info_label_day", "Information panel: date editor label 1191 (day)",
     t("Dzień:", "Day:", "День:", "Diena:", "Giorno:")),
    (197, "button_change", "Options panel: button 1206 (opens the gas level sensor dialog); information panel: buttons 1179 and 1180 when not editing",
     t("Zmień", "Change", "Изменить", "Keisti", "Modifica")),
    (198, "info_button_save", "Information panel: buttons 1179 and 1180 while editing (the next press writes)",
     t("Zapisz", "Save", "Записать", "Išsaugoti", "Salva")),
    (199, "info_button_clear", "Information panel: button 1182 (clears the running time at once)",
     t("Wykasuj", "Clear", "Сбросить", "Ištrinti", "Azzera")),
    (200, "reset_msg_refused", "Reset panel: error message box when the controller refuses the reset (engine running)",
     t("Nie można przywrócić ustawień fabrycznych przy pracującym silniku. Wyłącz silnik i spróbuj ponownie.",
       "The factory settings cannot be restored while the engine is running. Stop the engine and try again.",
       "Невозможно восстановить заводские настройки при работающем двигателе. Заглушите двигатель.",
       "Negalima atkurti gamyklinių nustatymų veikiant varikliui. Išjunkite variklį ir bandykite dar kartą.",
       "Impossibile ripristinare le impostazioni di fabbrica a motore acceso. Spegnere il motore e riprovare.")),
]

# Texts the program inserts as arguments of a format ("%s:   %s" of the emulation dialog caption).
FORMAT_ARGUMENTS = {43, 61}


def build_table():
    by_number = {}
    for number, key, where, texts in TEXTS:
        assert number not in by_number, f"text {number} defined twice"
        assert 0 <= number < LINES, number
        by_number[number] = (key, where, texts)
    return by_number


def localise(code, text):
    for src, dst in SUBST.get(code, {}).items():
        text = text.replace(src, dst)
    return text


def check_text(number, code, text):
    if "=" in text or "\n" in text or "\r" in text:
        raise SystemExit(f"text {number} ({code}) contains '=' or a line end: {text!r}")
    if number in FORMAT_ARGUMENTS and "%" in text:
        raise SystemExit(f"text {number} ({code}) is a format argument and must not contain '%'")
    if re.search(r"%(?!\])", text):
        raise SystemExit(f"text {number} ({code}) has a '%' other than the unit '[%]'")


def render(code, codepage, table):
    out = bytearray()
    for number in range(LINES):
        if number in table:
            key, _, texts = table[number]
            text = localise(code, texts[code])
        else:
            key, text = f"unused_{number}", ""
        assert "=" not in key and key.isascii()
        check_text(number, code, text)
        encoded = text.encode(codepage)  # strict: refuses letters the code page lacks
        if len(encoded) > MAX_BYTES:
            raise SystemExit(f"text {number} ({code}) has {len(encoded)} bytes, more than {MAX_BYTES}")
        out += key.encode("ascii") + b"=" + encoded + b"\n"
    return bytes(out)


def md_cell(text):
    shown = text.replace("|", "\\|")
    if shown != shown.strip() or "  " in shown:
        shown = "`" + shown + "`"   # keep significant spaces visible
    return shown


def render_readme(table):
    used = sorted(table)
    ranges = []
    for n in used:
        if ranges and ranges[-1][1] == n - 1:
            ranges[-1][1] = n
        else:
            ranges.append([n, n])
    used_text = ", ".join(f"{a}" if a == b else f"{a}-{b}" for a, b in ranges)
    unused = [n for n in range(LINES) if n not in table]
    lines = []
    lines.append("# KV720 language files")
    lines.append("")
    lines.append("The labels, titles, list items and messages of the KV720 service tool's panels and dialogs")
    lines.append("come from one text file per language, read from the `Lang` folder beside `KV720.exe`")
    lines.append("(the menus are built into the program). This folder holds the five files and this catalogue.")
    lines.append("")
    lines.append("| File | Language | Code page |")
    lines.append("|---|---|---|")
    for code, name, cp in LANGS:
        lines.append(f"| `KV720_lang.{code}` | {name} | Windows-{cp[2:]} |")
    lines.append("")
    lines.append("The language is chosen in the Language menu (Polish, English, Russian, Lithuanian) and kept in")
    lines.append("`KV720.ini` as `Language= <code>`; Italian (`ita`) is reached by writing its code there.")
    lines.append("")
    lines.append("## How the program reads a file")
    lines.append("")
    lines.append("- Text number n is line n of the file; the first line is line 0. Every file has exactly 201")
    lines.append("  lines, 0 to 200; lines after line 200 are ignored.")
    lines.append("- A line `key=text` sets text n to everything after the **last** `=` up to the line end,")
    lines.append("  leading and trailing spaces included. The key before the `=` is never read; it only says what")
    lines.append("  the line is for. So a text can never contain `=`, and a key must not contain one either.")
    lines.append("- A line without `=` leaves the text as it was, which after a language change means the")
    lines.append("  previous language's text stays on screen. Every line therefore has a key and an `=`, even")
    lines.append("  for numbers the program does not use (`unused_7=`).")
    lines.append("- Texts longer than 127 characters are cut.")
    lines.append("- Line ends are a single LF (no CR), and there is no byte-order mark. The program also")
    lines.append("  reads CR LF and a lone CR as line ends, so a file saved by any editor keeps its numbers.")
    lines.append("")
    lines.append("## Encoding")
    lines.append("")
    lines.append("Each file is single-byte text in the Windows code page of its language: Windows-1251 for")
    lines.append("Russian, Windows-1250 for the others. The program converts the file from that code page, so")
    lines.append("the texts show correctly on any Windows. Bytes the code page leaves undefined (0x81, 0x83,")
    lines.append("0x88, 0x90, 0x98 in 1250; 0x98 in 1251) must not occur, nor control characters.")
    lines.append("")
    lines.append("Windows-1250 has no letter for some characters of Lithuanian and Italian; the files use:")
    lines.append("")
    lines.append("- Lithuanian: `ė`, `į`, `ų`, `ū` (and capitals) are written as `e`, `i`, `u`, `u`, the")
    lines.append("  closest letter without the diacritic, as the built-in Lithuanian menu does (\"Išejimas\",")
    lines.append("  \"Lenku\"). `ą`, `č`, `ę`, `š`, `ž` exist in 1250 and are written properly.")
    lines.append("- Italian: the grave-accented vowels `à`, `è`, `ì`, `ò`, `ù` are written in the apostrophe")
    lines.append("  form (`e'`, `gia'`, `verra'`). `é` exists in 1250 and is kept.")
    lines.append("- The degree sign `°` is byte 0xB0 in both code pages.")
    lines.append("")
    lines.append("## Rules for the texts")
    lines.append("")
    lines.append("- Texts must fit their controls: keep labels, list items and buttons about as long as the")
    lines.append("  Polish ones. Main window captions (175-180, 190) and message-box texts may be longer.")
    lines.append("- The Polish file carries the dialog templates' own Polish defaults wherever the templates")
    lines.append("  have one (including their trailing spaces, e.g. `[V]     `).")
    lines.append("- No text is used as a printf format. Texts 43 and 61 are inserted into the caption format")
    lines.append("  `%s:   %s` of the emulation construction dialog, so they must not contain `%`; the only `%`")
    lines.append("  in any file is the per-cent unit `[%]` (text 126).")
    lines.append("- Unit texts in square brackets and the short oscilloscope units are drawn right of a value;")
    lines.append("  the fuel-state texts 14 and 15 sit in a small coloured field and must stay short.")
    lines.append("")
    lines.append("## Adding or changing a language")
    lines.append("")
    lines.append("1. The source of all five files is the table in `make_lang_files.py`, written in UTF-8 with")
    lines.append("   proper letters. Add a column for the new language (and its code page in `LANGS`), or edit")
    lines.append("   a text there. The code-page substitutions above are applied by the script.")
    lines.append("2. Run `python3 Lang/make_lang_files.py`: it writes every `KV720_lang.*` file and this")
    lines.append("   catalogue, and refuses a text that contains `=`, a line end, a stray `%`, a letter the")
    lines.append("   code page cannot hold, or more than 127 bytes. `--check` only compares.")
    lines.append("3. A file can also be written by hand: copy `KV720_lang.ang`, keep every key and `=`, replace")
    lines.append("   the texts after the `=`, and save it in the language's code page with LF line ends.")
    lines.append("4. A new code is used by writing it into `KV720.ini` (`Language= xyz`); the program then")
    lines.append("   reads `Lang\\KV720_lang.xyz` with the Polish menu bar. The program converts the file with")
    lines.append("   1251 only for `rus`, with 1250 for every other code.")
    lines.append("5. Run the unit test `LangFiles.*` (part of `make test`): it checks line count, line ends,")
    lines.append("   keys, lengths, code-page bytes, format safety and that every used number has a text.")
    lines.append("")
    lines.append("## Text numbers")
    lines.append("")
    lines.append(f"Numbers in use: {used_text}.")
    lines.append(f"Unused (key `unused_<n>`, empty text): {', '.join(str(n) for n in unused)}.")
    lines.append("")
    lines.append("| # | Key | Where it is shown | English text |")
    lines.append("|---|---|---|---|")
    for n in range(LINES):
        if n in table:
            key, where, texts = table[n]
            lines.append(f"| {n} | `{key}` | {where} | {md_cell(texts['ang'])} |")
        else:
            lines.append(f"| {n} | `unused_{n}` | not shown anywhere (empty text) | |")
    lines.append("")
    return "\n".join(lines).encode("utf-8")


def main():
    check_only = "--check" in sys.argv[1:]
    table = build_table()
    outputs = {os.path.join(HERE, f"KV720_lang.{code}"): render(code, cp, table) for code, _, cp in LANGS}
    outputs[os.path.join(HERE, "README.md")] = render_readme(table)
    differ = []
    for path, data in outputs.items():
        old = open(path, "rb").read() if os.path.exists(path) else None
        if old != data:
            differ.append(os.path.basename(path))
            if not check_only:
                with open(path, "wb") as f:
                    f.write(data)
    if check_only and differ:
        print("out of date: " + ", ".join(differ))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
