// Resource ids of the widget tests.
#pragma once

#define IDB_WIDGETS_TEST 9101
#define IDM_WIDGETS_SETTINGS 9201
#define ID_RATE_30 9301
#define ID_RATE_20 9302
#define ID_RATE_15 9303
#define ID_RATE_5 9304
#define ID_IMPORT_FILE 9311
#define ID_IMPORT_CLIPBOARD 9312
#define ID_TOPMOST 9321
#define ID_WATERMARK 9322
