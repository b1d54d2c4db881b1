// Real mouse and keyboard input through the system's queue, for tests that drive windows.
// Every mouse event carries its own screen point: after SetCursorPos alone, Wine may still
// deliver a button event sent without a point at the pointer's previous place.
#pragma once

#include "tests/test_pump.h"

// One mouse event at a screen point: a move there, with the button changes in `flags`.
inline INPUT MouseInput(POINT screen, DWORD flags = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // One unit more than the exact quotient, so that the point maps back to itself, not to its
    // neighbour on the left or above.
    input.mi.dx = MulDiv(screen.x, 65536, ::GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(screen.y, 65536, ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

inline void MouseAt(POINT screen, DWORD flags = 0)
{
    INPUT input = MouseInput(screen, flags);
    ::SendInput(1, &input, sizeof(input));
}

inline bool CursorIsAt(POINT screen)
{
    POINT at;
    return ::GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
}

// The pointer goes to a point, the buttons as they are; returns once the system reports it there
// and the windows have had the move. SetCursorPos queues the move itself; an injected move besides
// it, or pumping at once, can let the window see the move while the system still reports the
// previous place, and leave tracking then never starts. The pause lets the move settle first.
inline void MoveMouseTo(POINT screen)
{
    ::SetCursorPos(screen.x, screen.y);
    ::Sleep(30);
    PumpUntil([&] { return CursorIsAt(screen); }, 500);
    Pump(30);
}

// A button goes down or up at a point; the pointer is taken there first if it is elsewhere.
inline void MouseDown(POINT screen, bool right = false)
{
    if (!CursorIsAt(screen))
        MoveMouseTo(screen);
    MouseAt(screen, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
}

inline void MouseUp(POINT screen, bool right = false)
{
    MouseAt(screen, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

inline void Click(POINT screen, bool right = false)
{
    MoveMouseTo(screen);
    MouseDown(screen, right);
    Pump(30);
    MouseUp(screen, right);
    Pump(60);
}

// Two clicks in a row, within the double-click time and without moving.
inline void DoubleClick(POINT screen)
{
    MoveMouseTo(screen);
    for (int i = 0; i < 2; ++i) {
        MouseDown(screen);
        MouseUp(screen);
    }
    Pump(60);
}

// A window's centre on the screen.
inline POINT CentreOf(HWND wnd)
{
    RECT r;
    ::GetWindowRect(wnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// One key event: a virtual key, or with KEYEVENTF_UNICODE a character.
inline void SendKey(WORD vk, WCHAR unicode, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = unicode;
    input.ki.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

inline void KeyDown(WORD vk)
{
    SendKey(vk, 0, 0);
    Pump(20);
}

inline void KeyUp(WORD vk)
{
    SendKey(vk, 0, KEYEVENTF_KEYUP);
    Pump(20);
}

// A key pressed and released.
inline void TypeKey(WORD vk)
{
    KeyDown(vk);
    KeyUp(vk);
}

// Text typed character by character (any character, Chinese too).
inline void TypeText(const wchar_t* text)
{
    for (; *text; ++text) {
        SendKey(0, *text, KEYEVENTF_UNICODE);
        SendKey(0, *text, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
        Pump(20);
    }
}
