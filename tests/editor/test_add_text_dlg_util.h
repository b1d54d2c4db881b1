// Helpers of the Edit dialog's tests: a main window with frames ready, a script run inside the
// dialog's modal loop, and pixels read back from the screen.
#pragma once

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "app/recorder_app.h"
#include "editor/add_text_dlg.h"
#include "editor/frame_strip_view.h"
#include "recorder/recorder_dlg.h"
#include "res/editor_ids.h"
#include "res/resource.h"
#include "tests/capture/engine_test_support.h"
#include "tests/recorder/main_window_test_util.h"
#include "tests/test_gdi_count.h"
#include "tests/test_pump.h"

namespace editor_test {

// Frames of w x h in the given colours, all kept, delay 10 + index; the state becomes "ready".
inline void GiveFrames(CRecorderDlg& main, int w, int h, std::initializer_list<COLORREF> colours)
{
    main.engine.ClearFrames();
    int delay = 10;
    for (COLORREF colour : colours)
        main.engine.frames.Add(engine_test::MakeRecord(w, h, colour, delay++));
    main.frameCount = main.engine.GetFrameCount();
    main.state = RecorderReady;
}

// The script that runs once the Edit dialog's modal loop is up, and whether it ran.
inline std::function<void(CAddTextDlg&)> pendingScript;
inline bool scriptRan = false;

inline void CALLBACK RunPendingScript(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND wnd = ::FindWindowW(nullptr, L"编辑");
    auto* dialog = wnd ? dynamic_cast<CAddTextDlg*>(CWnd::FromHandlePermanent(wnd)) : nullptr;
    if (!dialog || !dialog->IsWindowVisible() || !pendingScript)
        return;  // not up yet: try at the next tick
    ::KillTimer(nullptr, id);
    auto body = std::move(pendingScript);
    pendingScript = nullptr;
    scriptRan = true;
    body(*dialog);
}

// Runs the script from a thread timer of the next Edit dialog's modal loop.
inline void WhenDialogOpens(std::function<void(CAddTextDlg&)> body)
{
    pendingScript = std::move(body);
    scriptRan = false;
    ::SetTimer(nullptr, 0, 100, &RunPendingScript);
}

inline COLORREF ScreenPixel(CWnd& wnd, CPoint client)
{
    wnd.ClientToScreen(&client);
    HDC dc = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(dc, client.x, client.y);
    ::ReleaseDC(nullptr, dc);
    return c;
}

// A click on strip item n's thumbnail (as last painted), with the given keys held.
inline void ClickStripItem(XListView& strip, int n, UINT keys = 0)
{
    strip.UpdateWindow();
    const CStripItem* item = strip.GetItem(n);
    ASSERT_NE(nullptr, item);
    const CPoint at = CRect(item->thumbRect).CenterPoint();
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(at.x, at.y));
    strip.SendMessage(WM_LBUTTONUP, keys, MAKELPARAM(at.x, at.y));
    Pump(50);
}

// The real main window of the menu tests, and the Edit dialog opened modeless over it when a
// test asks.
class DialogFixture : public MainWindowTest {
protected:
    void TearDown() override
    {
        pendingScript = nullptr;
        if (dialog) {
            dialog->DestroyWindow();
            dialog.reset();
        }
        MainWindowTest::TearDown();
    }
    // The dialog modeless over the main window, on top at the screen's top left corner.
    void OpenDialog()
    {
        dialog = std::make_unique<CAddTextDlg>(*main, main.get());
        ASSERT_TRUE(dialog->Create(IDD_EDIT_DIALOG, main.get()));
        dialog->SetWindowPos(&CWnd::wndTopMost, 0, 0, 900, 640, SWP_SHOWWINDOW);
        dialog->UpdateWindow();
        Pump(100);
    }
    void Repaint()
    {
        dialog->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(50);
    }
    std::unique_ptr<CAddTextDlg> dialog;
};

}  // namespace editor_test
