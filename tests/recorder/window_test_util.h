// Small helpers for tests that drive the recorder's windows with messages.
#pragma once

#include <functional>

#include "framework/framework.h"

// Dispatches this thread's messages for the given time.
inline void Pump(DWORD milliseconds = 50)
{
    const DWORD end = ::GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (static_cast<int>(end - ::GetTickCount()) > 0);
}

// Dispatches messages until the condition holds or the time is up; returns the condition.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD end = ::GetTickCount() + timeoutMs;
    while (!condition()) {
        if (static_cast<int>(end - ::GetTickCount()) <= 0)
            return false;
        Pump(10);
    }
    return true;
}

// A screen point as the lParam of a mouse message to this window.
inline LPARAM ClientPointFor(const CWnd& wnd, CPoint screen)
{
    wnd.ScreenToClient(&screen);
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(screen.x)), static_cast<WORD>(static_cast<short>(screen.y)));
}
