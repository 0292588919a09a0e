// Resource ids shared by the .rc files and the code. Numbers are fixed: menus, templates and
// commands are addressed by them. This header holds the program-wide ids (strings, icon,
// accelerators, menu bars and commands, panel templates, language flags); the ids inside each
// family of dialogs live beside its .rc file, included by that .rc and by the family's code:
//   readings_ids.h       readings panel (101): learn button, hidden temperature, logo
//   configuration_ids.h  configuration panel (106, 157, 145, 151, 150), emulation dialog (218)
//   schema_ids.h         schema panel (132): scroll bars, wiring diagram pictures
//   oscilloscope_ids.h   oscilloscope panel (159)
//   information_ids.h    information dialog (230) and its picture
//   reset_ids.h          factory reset panel (126)
#pragma once

// String table.
#define IDS_TITLE 1
#define IDS_CLASS_NAME 3
// Shown when KV720.ini cannot be written and the language file has no text 184.
#define IDS_SETTINGS_NOT_SAVED 184
// Shown at a start from a temporary folder when the language file has no text 163 (such a folder
// has no Lang folder): in Polish and English.
#define IDS_TEMPORARY_FOLDER 163

// Icon and accelerators.
#define IDI_KV720 102
#define IDA_MAIN 3

// Menu bars, one per language.
#define IDM_MENU_POL 148
#define IDM_MENU_ANG 193
#define IDM_MENU_RUS 208
#define IDM_MENU_LIT 209
#define IDM_MENU_ITA 214

// Menu commands.
#define CMD_EXIT 40002
#define CMD_ALT_SLASH 40003
#define CMD_READINGS 40005
#define CMD_CONFIGURATION 40006
#define CMD_OPTIONS 40007
#define CMD_RESET 40008
#define CMD_OSCILLOSCOPE 40010
#define CMD_SCHEMA 40013
#define CMD_OPEN 40014
#define CMD_SAVE_AS 40015
#define CMD_COM1 40019
#define CMD_COM2 40020
#define CMD_COM3 40021
#define CMD_COM4 40022
#define CMD_SIZE_640 40028
#define CMD_SIZE_800 40029
#define CMD_SIZE_1024 40030
#define CMD_SIZE_1280X1024 40031
#define CMD_SIZE_1280X960 40032
#define CMD_LANG_POL 40035
#define CMD_LANG_ANG 40036
#define CMD_LANG_RUS 40038
#define CMD_LANG_LIT 40039
#define CMD_LANG_ITA 40042
#define CMD_INFORMATION 40048

// Panel dialog templates.
#define IDD_READINGS 101
#define IDD_CONFIGURATION_640 106
#define IDD_CONFIGURATION_800 157
#define IDD_CONFIGURATION_1024 145
#define IDD_CONFIGURATION_1280X960 151
#define IDD_CONFIGURATION_1280X1024 150
#define IDD_OPTIONS_640 152
#define IDD_OPTIONS_800 125
#define IDD_OPTIONS_1024 153
#define IDD_OPTIONS_1280X960 154
#define IDD_OPTIONS_1280X1024 156
#define IDD_SCHEMA 132
#define IDD_RESET 126
#define IDD_OSCILLOSCOPE 159
#define IDD_INFORMATION 230

// Language item bitmaps, without and with the check mark (bitmap 209 and menu 209 are different
// resource types).
#define IDB_FLAG_POL 1014
#define IDB_FLAG_POL_CHECKED 204
#define IDB_FLAG_ANG 203
#define IDB_FLAG_ANG_CHECKED 205
#define IDB_FLAG_RUS 1015
#define IDB_FLAG_RUS_CHECKED 209
#define IDB_FLAG_LIT 1017
#define IDB_FLAG_LIT_CHECKED 1016
#define IDB_FLAG_ITA 212
#define IDB_FLAG_ITA_CHECKED 211
