// Resource ids of the Edit dialog: its template and controls, its three popup menus with their
// commands, its button icons and its strings.
#pragma once

// Dialog template
#define IDD_EDIT_DIALOG 152

// Controls: the tool row along the top
#define IDC_EDIT_INSERT_IMAGE 8
#define IDC_EDIT_DELETE_RESTORE 7
#define IDC_EDIT_REVERSE 12
#define IDC_EDIT_SLOW_REPLAY 6
#define IDC_EDIT_SPEED 13
#define IDC_EDIT_COLOR_LEVELS 1056
#define IDC_EDIT_PREVIEW 9

// Controls: the caption row along the bottom
#define IDC_EDIT_ADD_TEXT 5
#define IDC_EDIT_DELETE_TEXT 3
#define IDC_EDIT_FONT 1010
#define IDC_EDIT_FONT_SIZE 1011
#define IDC_EDIT_BOLD 1015
#define IDC_EDIT_ITALIC 1016
#define IDC_EDIT_TEXT_COLOR 1012
#define IDC_EDIT_BACK_COLOR 1013
#define IDC_EDIT_BACK_STYLE 1014
#define IDC_EDIT_BACK_LABEL 1050
#define IDC_EDIT_CAPTION_LIST 1019
#define IDC_EDIT_CELL_EDIT 1008
#define IDC_EDIT_SEPARATOR_1 1025
#define IDC_EDIT_SEPARATOR_2 1026

// Menus and their commands
#define IDR_EDIT_INSERT_MENU 179
#define ID_EDIT_INSERT_AFTER 32893
#define ID_EDIT_INSERT_BEFORE 32894
#define IDR_EDIT_SPEED_MENU 188
#define ID_EDIT_SPEED_UP 32901
#define ID_EDIT_SLOW_DOWN 32902
#define IDR_EDIT_COLORS_MENU 204
#define ID_EDIT_COLORS_128 32923
#define ID_EDIT_COLORS_256 32924
#define ID_EDIT_COLORS_64 32925
#define ID_EDIT_COLORS_32 32926
#define ID_EDIT_COLORS_16 32927

// Button icons, 16 x 16
#define IDI_EDIT_DELETE_TEXT 154
#define IDI_EDIT_ADD_TEXT 155
#define IDI_EDIT_DELETE_RESTORE 164
#define IDI_EDIT_PREVIEW 172
#define IDI_EDIT_INSERT_IMAGE 178
#define IDI_EDIT_SLOW_REPLAY_ON 182
#define IDI_EDIT_SLOW_REPLAY 183
#define IDI_EDIT_REVERSE 184
#define IDI_EDIT_SPEED 187
#define IDI_EDIT_COLOR_LEVELS 203

// Strings
#define IDS_EDIT_ADD_TEXT_TIP 149
#define IDS_EDIT_DELETE_TEXT_TIP 150
#define IDS_EDIT_BACK_NONE 187
#define IDS_EDIT_BACK_BOX 188
#define IDS_EDIT_BACK_OUTLINE 189
