// Shared pieces of the button tests: a stage window on the test display, a dialog that logs what
// its buttons report, a 32-bit canvas whose pixels read back exactly, message pumping, real
// input and a count of the process's live GDI objects.
#pragma once

#include <windows.h>

#include "tests/test_gdi_count.h"

#include <functional>
#include <ostream>
#include <vector>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "framework/wnd.h"
#include "tests/controls/test_buttons_ids.h"
#include "tests/test_input.h"

// Readable rectangles in failure messages.
inline void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace buttons_test {

// One visible, active top-level window for the whole run; the test dialogs are its children.
inline CWnd& Stage()
{
    static struct StageWindow : CWnd {
        StageWindow()
        {
            CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), (HBRUSH)GetStockObject(WHITE_BRUSH)),
                     L"buttons", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 640, 420, nullptr, nullptr);
        }
        ~StageWindow() override
        {
            if (m_hWnd)
                DestroyWindow();
        }
    } stage;
    return stage;
}

// The test dialog: logs the clicks and the hover notices its children send it.
class TestDialog : public CDialog {
public:
    struct Logged {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    TestDialog() { Create(IDD_BUTTONS_TEST, &Stage()); }
    ~TestDialog() override
    {
        if (m_hWnd)
            DestroyWindow();
    }

    int Clicks(int id) const
    {
        int n = 0;
        for (const Logged& l : log)
            n += l.message == WM_COMMAND && LOWORD(l.wParam) == id && HIWORD(l.wParam) == BN_CLICKED;
        return n;
    }
    std::vector<Logged> Messages(UINT message) const
    {
        std::vector<Logged> found;
        for (const Logged& l : log)
            if (l.message == message)
                found.push_back(l);
        return found;
    }

    std::vector<Logged> log;

    // A message that the tests watch for besides clicks (WM_HOVER_NOTICE, commands of menus).
    UINT watched = 0;
    std::function<void(HDC)> paint;  // what the dialog paints as its background, when set

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND || (watched && message == watched))
            log.push_back({message, wParam, lParam});
        if (message == WM_ERASEBKGND && paint) {
            paint((HDC)wParam);
            return TRUE;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

// A top-down 32-bit DIB section in a memory DC.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : width(width), height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, (void**)&bits, nullptr, 0));
        dc.CreateCompatibleDC(nullptr);
        original = dc.SelectObject(bitmap.GetSafeHandle());
        dc.FillSolidRect(0, 0, width, height, fill);
    }
    ~Canvas()
    {
        if (original)
            dc.SelectObject(original);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const DWORD p = bits[y * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(COLORREF color, const RECT& area) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += At(x, y) == color;
        return n;
    }
    int Count(COLORREF color) const { return Count(color, RECT{0, 0, width, height}); }

    int width, height;
    CDC dc;
    CBitmap bitmap;

private:
    DWORD* bits = nullptr;
    HGDIOBJ original = nullptr;
};

// Paints a window's client area on the screen and copies it into a canvas.
inline void Snapshot(CWnd& wnd, Canvas& canvas)
{
    wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    GdiFlush();
    CPoint origin(0, 0);
    wnd.ClientToScreen(&origin);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(canvas.dc.GetSafeHdc(), 0, 0, canvas.width, canvas.height, screen, origin.x, origin.y, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
}

// Gives a test access to a button's protected state.
template <class Button>
struct Probe : Button {
    using Button::m_bitmaps;
    using Button::m_checkBoxMode;
    using Button::m_colors;
    using Button::m_cursor;
    using Button::m_hover;
    using Button::m_icons;
    using Button::m_linkAddress;
    using Button::m_menuOpen;
    using Button::m_pressed;
    using Button::m_tooltip;
    using Button::m_transparent;
    using Button::m_flat;
};

}  // namespace buttons_test
