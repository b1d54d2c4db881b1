// Window messages of the editor's windows.
#pragma once

#include <windows.h>

// The frame strip to its parent (and the Edit dialog to itself): lParam = the 1-based frame now
// current.
constexpr UINT WM_FRAME_PICKED = WM_USER + 198;
