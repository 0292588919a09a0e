// Control ids of the configuration panel templates (106, 157, 145, 151, 150) and of the
// emulation construction dialog (218). Shared by configuration.rc and src/configuration/.
#pragma once

// Drop-down lists and check boxes, one per controller parameter.
#define IDC_PROBE_TYPE 1003
#define IDC_LAMBDA_POINT 1013
#define IDC_LAMBDA_DELAY 1017
#define IDC_EMUL_TYPE 1018
#define IDC_EMUL_TIME_HI 1019
#define IDC_EMUL_TIME_LO 1020
#define IDC_IGNITION_TYPE 1021
#define IDC_LPG_ON_SPEED 1022
#define IDC_SPEED_SWITCH 1023
#define IDC_LOW_SIGNAL 1140
#define IDC_TPS_TYPE 1024
#define IDC_TPS_INERT 1025
#define IDC_INJECT_DELAY 1026
#define IDC_LPG_OFF_ENABLE 1041
#define IDC_LPG_OFF_SPEED 1050
#define IDC_EMERGENCY_START 1074
#define IDC_WOZG 1149

// Labels left of the lists.
#define IDC_PROBE_TYPE_LABEL 1075
#define IDC_LAMBDA_POINT_LABEL 1076
#define IDC_LAMBDA_DELAY_LABEL 1077
#define IDC_EMUL_TYPE_LABEL 1078
#define IDC_EMUL_TIME_HI_LABEL 1079
#define IDC_EMUL_TIME_LO_LABEL 1080
#define IDC_IGNITION_TYPE_LABEL 1081
#define IDC_LPG_ON_SPEED_LABEL 1082
#define IDC_SPEED_SWITCH_LABEL 1083
#define IDC_TPS_TYPE_LABEL 1084
#define IDC_TPS_INERT_LABEL 1085
#define IDC_INJECT_DELAY_LABEL 1086
#define IDC_WOZG_LABEL 1096

// Units right of the lists.
#define IDC_LPG_ON_SPEED_UNIT 1087
#define IDC_LAMBDA_POINT_UNIT 1089
#define IDC_LAMBDA_DELAY_UNIT 1090
#define IDC_EMUL_TIME_HI_UNIT 1091
#define IDC_EMUL_TIME_LO_UNIT 1092
#define IDC_TPS_INERT_UNIT 1093
#define IDC_INJECT_DELAY_UNIT 1094
#define IDC_WOZG_UNIT 1095
#define IDC_LPG_OFF_SPEED_UNIT 1062

// Section headings at the left margin and the separator lines between sections.
#define IDC_HEADING_LAMBDA 1126
#define IDC_HEADING_SPEED 1127
#define IDC_HEADING_TPS 1128
#define IDC_HEADING_INJECTORS 1129
#define IDC_HEADING_LPG_OFF 1133
#define IDC_SEPARATOR_1 1134
#define IDC_SEPARATOR_2 1135
#define IDC_SEPARATOR_3 1136
#define IDC_SEPARATOR_4 1137
#define IDC_SEPARATOR_5 1138

// Emulation construction dialog.
#define IDC_EMULDLG_HIGH 1003
#define IDC_EMULDLG_LOW 1004
#define IDC_EMULDLG_HIGH_LABEL 1202
#define IDC_EMULDLG_LOW_LABEL 1203
#define IDC_EMULDLG_HIGH_UNIT 1204
#define IDC_EMULDLG_LOW_UNIT 1205

// The emulation construction dialog's template (the panel templates are in resource.h).
#define IDD_EMULATION 218
