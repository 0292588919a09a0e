// Control ids of the options panel templates (152, 125, 153, 154, 156), the corrections dialog
// (170) and the gas level sensor dialog (217). Shared by options.rc and src/options/.
#pragma once

// Options panel: the option boxes, each heading the rows it switches on.
#define IDC_OPT_MANUAL_BASE 1034
#define IDC_OPT_JUMP 1039
#define IDC_OPT_CUT_OFF 1040
#define IDC_OPT_TEMPERATURE 1042

// Options panel: drop-down lists, one per controller parameter.
#define IDC_OPT_ATT_INIT 1003
#define IDC_OPT_ATT_MIN_BJ 1013
#define IDC_OPT_ATT_MAX_BJ 1043
#define IDC_OPT_ATT_MIN 1044
#define IDC_OPT_ATT_MAX 1045
#define IDC_OPT_ATT_JUMP 1046
#define IDC_OPT_TPS_JUMP 1047
#define IDC_OPT_CUT_OFF_SPEED 1048
#define IDC_OPT_CUT_OFF_STEPS 1049
#define IDC_OPT_LPG_ON_TEMP 1051
#define IDC_OPT_EMUL_MODE 1052

// Options panel: labels left of the lists.
#define IDC_OPT_ATT_MIN_BJ_LABEL 1075
#define IDC_OPT_ATT_MAX_BJ_LABEL 1076
#define IDC_OPT_ATT_MIN_LABEL 1077
#define IDC_OPT_ATT_MAX_LABEL 1078
#define IDC_OPT_ATT_JUMP_LABEL 1064
#define IDC_OPT_TPS_JUMP_LABEL 1065
#define IDC_OPT_CUT_OFF_SPEED_LABEL 1066
#define IDC_OPT_CUT_OFF_STEPS_LABEL 1067
#define IDC_OPT_EMUL_MODE_LABEL 1079
#define IDC_OPT_SENSOR_LABEL 1096

// Options panel: units right of the lists.
#define IDC_OPT_ATT_INIT_UNIT 1057
#define IDC_OPT_ATT_MIN_BJ_UNIT 1085
#define IDC_OPT_ATT_MAX_BJ_UNIT 1086
#define IDC_OPT_ATT_MIN_UNIT 1088
#define IDC_OPT_ATT_MAX_UNIT 1136
#define IDC_OPT_ATT_JUMP_UNIT 1058
#define IDC_OPT_TPS_JUMP_UNIT 1059
#define IDC_OPT_CUT_OFF_SPEED_UNIT 1060
#define IDC_OPT_CUT_OFF_STEPS_UNIT 1061
#define IDC_OPT_LPG_ON_TEMP_UNIT 1063

// Options panel: the gas level sensor row, the corrections button, headings and separators.
#define IDC_OPT_SENSOR_CHANGE 1206
#define IDC_OPT_SENSOR_TYPE 1007
#define IDC_OPT_CORRECTIONS 1014
#define IDC_OPT_HEADING_ACTUATOR 1131
#define IDC_OPT_HEADING_CUT_OFF 1132
#define IDC_OPT_HEADING_TEMPERATURE 1134
#define IDC_OPT_HEADING_EMULATION 1135
#define IDC_OPT_HEADING_SENSOR 1130
#define IDC_OPT_SEPARATOR_1 1137
#define IDC_OPT_SEPARATOR_2 1138
#define IDC_OPT_SEPARATOR_3 1139
#define IDC_OPT_SEPARATOR_4 1140

// Corrections dialog: four lists of nibble corrections and their labels.
#define IDD_CORRECTIONS 170
#define IDC_CORR_IDLE_CLOSING 1003    // ZAM_OTW_BJ bits 3..0
#define IDC_CORR_IDLE_OPENING 1013    // ZAM_OTW_BJ bits 7..4
#define IDC_CORR_DRIVE_CLOSING 1122   // ZAM_OTW_DO bits 3..0
#define IDC_CORR_DRIVE_OPENING 1123   // ZAM_OTW_DO bits 7..4
#define IDC_CORR_IDLE_CLOSING_LABEL 1075
#define IDC_CORR_IDLE_OPENING_LABEL 1076
#define IDC_CORR_DRIVE_CLOSING_LABEL 1077
#define IDC_CORR_DRIVE_OPENING_LABEL 1078

// Gas level sensor dialog: a scroll bar and a number field per switching point, level labels,
// the factory button and the sensor type list.
#define IDD_GAS_SENSOR 217
#define IDC_GAS_PROG4_BAR 1138
#define IDC_GAS_PROG3_BAR 1123
#define IDC_GAS_PROG2_BAR 1122
#define IDC_GAS_PROG1_BAR 1137
#define IDC_GAS_PROG4_FIELD 1139
#define IDC_GAS_PROG3_FIELD 1007
#define IDC_GAS_PROG2_FIELD 1008
#define IDC_GAS_PROG1_FIELD 1009
#define IDC_GAS_LEVEL_RESERVE 1150
#define IDC_GAS_LEVEL_1 1151
#define IDC_GAS_LEVEL_2 1152
#define IDC_GAS_LEVEL_3 1153
#define IDC_GAS_LEVEL_4 1154
#define IDC_GAS_FACTORY 1141
#define IDC_GAS_TYPE_LABEL 1200
#define IDC_GAS_TYPE 1003
