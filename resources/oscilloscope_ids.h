// Control ids of the oscilloscope panel (template 159). Shared by oscilloscope.rc and
// src/oscilloscope/.
#pragma once

#define IDC_OSCILLOSCOPE_CURSOR 1071
#define IDC_OSCILLOSCOPE_SCROLL 1117
