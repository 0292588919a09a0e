// Control and bitmap ids of the information dialog (template 230). Shared by information.rc and
// src/information/.
#pragma once

#define IDB_INFORMATION_PICTURE 224

#define IDC_INFO_PICTURE 1208
#define IDC_INFO_CONTACT_1 1075
#define IDC_INFO_CONTACT_2 1076
#define IDC_INFO_CONTACT_3 1077
#define IDC_INFO_CONTACT_4 1078
#define IDC_INFO_SEPARATOR 1209
#define IDC_INFO_PROGRAM_VERSION 1079

// The controller version and the three service records, each a label and a field.
#define IDC_INFO_VERSION_LABEL 1199
#define IDC_INFO_VERSION 1170
#define IDC_INFO_REGISTRATION_LABEL 1194
#define IDC_INFO_REGISTRATION 1164
#define IDC_INFO_REGISTRATION_CHANGE 1179
#define IDC_INFO_RUNNING_TIME_LABEL 1195
#define IDC_INFO_RUNNING_TIME 1171
#define IDC_INFO_RUNNING_TIME_CLEAR 1182
#define IDC_INFO_DATE_LABEL 1196
#define IDC_INFO_DATE 1172
#define IDC_INFO_DATE_CHANGE 1180

// The date editor, shown only while the installation date is edited.
#define IDC_INFO_DATE_EDITOR 1188
#define IDC_INFO_YEAR 1003
#define IDC_INFO_MONTH 1004
#define IDC_INFO_DAY 1013
#define IDC_INFO_YEAR_LABEL 1189
#define IDC_INFO_MONTH_LABEL 1190
#define IDC_INFO_DAY_LABEL 1191
