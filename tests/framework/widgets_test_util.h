// Shared pieces of the widget tests: windows on the test display, a 32-bit
// memory canvas whose pixels read back exactly, and a message pump.
#pragma once

#include <windows.h>

#include "framework/app.h"
#include "framework/gdi.h"
#include "framework/wnd.h"

namespace widgets_test {

// One visible top-level window for the whole run. Without a window manager, Wine waits about two
// seconds whenever a mapped top-level window goes away, so the tests put their windows inside it.
inline CWnd& Stage()
{
    static struct StageWindow : CWnd {
        StageWindow()
        {
            CreateEx(0, AfxRegisterWndClass(0, nullptr, (HBRUSH)GetStockObject(WHITE_BRUSH)), L"widgets",
                     WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10, 400, 300, nullptr, nullptr);
        }
        ~StageWindow() override
        {
            if (m_hWnd)
                DestroyWindow();
        }
    } stage;
    return stage;
}

// A visible child window on the stage, to parent controls or to paint in.
class TestWindow : public CWnd {
public:
    explicit TestWindow(int width = 320, int height = 200)
    {
        CreateEx(0, AfxRegisterWndClass(0, nullptr, (HBRUSH)GetStockObject(WHITE_BRUSH)), L"widgets",
                 WS_CHILD | WS_VISIBLE, 0, 0, width, height, Stage().m_hWnd, nullptr);
    }
    ~TestWindow() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
};

// A top-down 32-bit DIB section selected into a memory DC: no dependence on the display depth.
class Canvas {
public:
    Canvas(int width, int height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        dc.CreateCompatibleDC(nullptr);
        if (CBitmap* before = dc.SelectObject(&bitmap))
            original = (HBITMAP)before->m_hObject;
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    }
    ~Canvas()
    {
        // Put the DC's own bitmap back so that ours can be deleted.
        if (original)
            dc.SelectObject((HGDIOBJ)original);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    CDC dc;
    CBitmap bitmap;

private:
    HBITMAP original = nullptr;
};


}  // namespace widgets_test
