// Resource ids of the colour picker tests.
#pragma once

#define IDD_PICKER_TEST 700
#define IDC_P_TEXT 701
#define IDC_P_BACK 702
