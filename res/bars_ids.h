// Resource ids of the windows around the capture area: the edge bars, the status strip and its
// notice popup.
#pragma once

// Dialog templates
#define IDD_BOTTOM_DIALOG 129
#define IDD_LEFT_DIALOG 130
#define IDD_RIGHT_DIALOG 131
#define IDD_BLANK_NOTICE 167

// Controls of the status strip
#define IDC_NOTICE_BUTTON 1054
#define IDC_PAGE_BUTTON 1055

// The picture control of the notice popup
#define IDC_NOTICE_PICTURE 1055

// Bitmaps
#define IDB_PAGE_BUTTON 189
#define IDB_NOTICE_PICTURE 200
