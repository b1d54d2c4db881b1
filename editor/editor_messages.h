// Window messages of the frame editor.
#pragma once

#include <windows.h>

// Frame strip to its parent (and the Edit dialog to itself): a frame became current.
// wParam 0, lParam = the 1-based frame number.
constexpr UINT WM_FRAME_PICKED = WM_USER + 198;
