// Control ids of the factory reset panel (template 126). Shared by reset.rc and src/reset/.
#pragma once

#define IDC_RESET_HEADING 1104
#define IDC_RESET_DESCRIPTION 1105
#define IDC_RESET_BUTTON 126
#define IDC_RESET_PROGRESS 1010
