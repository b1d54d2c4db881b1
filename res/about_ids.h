// Resource ids of the About box and the update notice.
#pragma once

// The About box
#define IDD_ABOUTBOX 8000
#define IDB_ABOUT_BANNER 8100
#define IDC_ABOUT_BANNER 8150
#define IDC_ABOUT_VERSION 8200
#define IDC_ABOUT_LEGAL 8201
#define IDC_ABOUT_HOME_LINK 8203
#define IDC_ABOUT_SUPPORT_LINK 8204
#define IDC_ABOUT_CUSTOM_INFO 8206
#define IDS_ABOUT_HOME_TEXT 203
#define IDS_ABOUT_SUPPORT_TEXT 205

// The update notice
#define IDD_UPDATE_NOTICE 180
#define IDC_UPDATE_PAGE 1051
#define IDC_UPDATE_OWN_VERSION 1052
