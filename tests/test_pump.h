// Message pumping for tests that drive windows: the waiting messages go through
// PreTranslateMessage and are dispatched, as the program's own loops do it.
#pragma once

#include <functional>

#include "framework/framework.h"

inline void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

// Pumps until the condition holds or the time is up; returns the condition.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 1000)
{
    const DWORD end = ::GetTickCount() + timeoutMs;
    for (;;) {
        PumpPending();
        AfxDeleteTempObjects();  // idle, as in the program's loops
        if (done())
            return true;
        if (static_cast<int>(end - ::GetTickCount()) <= 0)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Pumps for the given time.
inline void Pump(DWORD milliseconds = 50)
{
    PumpUntil([] { return false; }, milliseconds);
}

// A screen point as the lParam of a mouse message to this window.
inline LPARAM ClientPointFor(const CWnd& wnd, CPoint screen)
{
    wnd.ScreenToClient(&screen);
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(screen.x)), static_cast<WORD>(static_cast<short>(screen.y)));
}
