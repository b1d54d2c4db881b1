// Resource ids of the button tests.
#pragma once

#define IDD_BUTTONS_TEST 500
#define IDC_T_PUSH 501
#define IDC_T_DEFPUSH 502
#define IDC_T_CHECK 503
#define IDC_T_HOVER 504
#define IDC_T_EDIT 505
#define IDC_T_IMAGE 506
#define IDC_T_BITMAP 507
#define IDC_T_OWNERDRAW 508

#define IDI_T_IN 510
#define IDI_T_OUT 511
#define IDB_T_IN 512
#define IDB_T_OUT 513

#define IDB_FACE_NORMAL 520
#define IDB_FACE_HOVER 521
#define IDB_FACE_SELECTED 522
#define IDB_FACE_DISABLED 523
#define IDB_FACE_SELECTED_HOVER 524
#define IDB_FACE_PRESSED 525

#define IDC_T_CURSOR 530
#define IDM_T_POPUP 540
#define ID_T_COMMAND_A 541
#define ID_T_COMMAND_B 542
#define IDS_T_TIP 550
