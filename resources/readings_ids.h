// Control and bitmap ids of the readings panel (template 101). Shared by readings.rc and
// src/readings/.
#pragma once

#define IDC_READINGS_LEARN 1005
#define IDC_READINGS_RAW_TEMPERATURE 1006
#define IDC_READINGS_LOGO 230
#define IDB_READINGS_LOGO 230
