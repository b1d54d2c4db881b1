// Resource ids of the main window's button images: the icons of its image buttons and the
// bitmaps of its caption buttons.
#pragma once

// Icons, 16 x 16
#define IDI_START_BUTTON 192
#define IDI_SETTINGS_BUTTON 193
#define IDI_TUTORIAL_BUTTON 194
#define IDI_EDIT_BUTTON 195
#define IDI_STOP_BUTTON 196
#define IDI_PAUSE_BUTTON 197     // the start button while recording
#define IDI_PREVIEW_BUTTON 198
#define IDI_SHARE_BUTTON 201

// Caption bitmaps, 24 x 20, drawn over the title band's colours (copied without transparency)
#define IDB_MINIMIZE 132
#define IDB_CLOSE 133
#define IDB_MAXIMIZE 134
#define IDB_MINIMIZE_HOVER 147
#define IDB_CLOSE_HOVER 148
