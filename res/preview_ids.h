// Resource ids of the preview window: its template, its two popup menus with their commands,
// its button icons and its messages.
#pragma once

// Dialog template
#define IDD_PREVIEW_DIALOG 145

// Controls
#define IDC_PREVIEW_VIEW 1004
#define IDC_PREVIEW_INFO 1005
#define IDC_PREVIEW_SAVE 1007
#define IDC_PREVIEW_MICROBLOG 1008
#define IDC_PREVIEW_EDIT 1009
#define IDC_PREVIEW_SHARE 1056
#define IDC_PREVIEW_IMPORT 1057

// Menus
#define IDR_PREVIEW_SAVE_MENU 170
#define IDR_PREVIEW_QUALITY_MENU 177

// Commands of the save menu; the upload has no item.
#define ID_PREVIEW_COPY 32858
#define ID_PREVIEW_UPLOAD 32859
#define ID_PREVIEW_SAVE_TO_DISK 32860

// Compression levels: the quality menu's commands, and the values the main window sets for a
// GIF made by the Edit dialog with a colour count.
#define ID_QUALITY_256 32880
#define ID_QUALITY_128 32881
#define ID_QUALITY_64 32882
#define ID_QUALITY_16 32884
#define ID_QUALITY_32 32885
#define ID_QUALITY_GRAY_256 32913
#define ID_QUALITY_GRAY_128 32914
#define ID_QUALITY_GRAY_64 32915
#define ID_QUALITY_GRAY_32 32916
#define ID_QUALITY_GRAY_16 32917

// Button icons, 16 x 16 (the share button uses the main window's share icon)
#define IDI_PREVIEW_SAVE 171
#define IDI_PREVIEW_MICROBLOG 176
#define IDI_PREVIEW_EDIT 199
#define IDI_PREVIEW_IMPORT 205

// Messages
#define IDS_PREVIEW_SAVE_FAILED 1700
#define IDS_PREVIEW_COMPRESS_FAILED 1701
#define IDS_PREVIEW_NO_GIFSICLE 1702
#define IDS_PREVIEW_GIFSICLE_TIMEOUT 1703
#define IDS_SHARE_TOO_BIG 1704
#define IDS_SHARE_TOO_WIDE 1705
#define IDS_PREVIEW_COLOURS_NO_GIFSICLE 1706
#define IDS_PREVIEW_COLOURS_FAILED 1707
#define IDS_PREVIEW_COLOURS_TIMEOUT 1708
