// Control and bitmap ids of the schema panel (template 132). Shared by schema.rc and src/schema/.
#pragma once

#define IDC_SCHEMA_HSCROLL 1120
#define IDC_SCHEMA_VSCROLL 1121

// The wiring diagram, one picture per language, drawn by schema/make_schema.py.
#define IDB_SCHEMA_RUS 225
#define IDB_SCHEMA_LIT 226
#define IDB_SCHEMA_POL 227
#define IDB_SCHEMA_ANG 228
