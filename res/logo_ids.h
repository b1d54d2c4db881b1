// Resource ids of the watermark dialog.
#pragma once

// Dialog template (a menu and a string share the number; they are other resource types)
#define IDD_LOGO_SETTING 168

// Controls
#define IDC_LOGO_ENABLE 1028
#define IDC_LOGO_TEXT_COLOR 1029
#define IDC_LOGO_POSITION 1030
#define IDC_LOGO_TEXT 1031
#define IDC_LOGO_BOX_COLOR 1032
#define IDC_LOGO_SAMPLE_FRAME 1033
#define IDC_LOGO_SIZE 1034
#define IDC_LOGO_BOX 1035
#define IDC_LOGO_BOLD 1036
#define IDC_LOGO_ITALIC 1037
