// The edge bars, the status strip and the notice popup as windows around a real main window:
// their places, their buttons, dragging them (by mouse messages) in each state, the notice
// popup, and what they show on the screen.
#include <gtest/gtest.h>

#include <memory>

#include "app/recorder_app.h"
#include "controls/hover_button.h"
#include "recorder/blank_notice_dlg.h"
#include "recorder/bottom_dialog.h"
#include "recorder/edge_bars.h"
#include "recorder/recorder_dlg.h"
#include "res/resource.h"
#include "tests/test_pump.h"

namespace {

CRect WindowRectOf(const CWnd& wnd)
{
    CRect r;
    wnd.GetWindowRect(&r);
    return r;
}

CRect ClientRectOf(const CWnd& wnd)
{
    CRect r;
    wnd.GetClientRect(&r);
    return r;
}

// A child's rectangle in its parent's client coordinates.
CRect ChildRectOf(const CWnd& child, const CWnd& parent)
{
    CRect r = WindowRectOf(child);
    parent.ScreenToClient(&r);
    return r;
}

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kTeal = RGB(33, 126, 104);
constexpr COLORREF kGold = RGB(255, 215, 0);

// The main window, opened modeless with the default settings, and the windows it makes.
class BarsWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::DeleteFileW(CRecorderApp::SettingsFilePath());
        main = std::make_unique<CRecorderDlg>(theApp);
        theApp.m_pMainWnd = main.get();
        ASSERT_TRUE(main->Create(IDD_RECORDER_DIALOG));
        main->ShowWindow(SW_SHOW);
        Pump(300);
        ASSERT_NE(nullptr, main->bottomBar);
        ASSERT_NE(nullptr, main->leftBar);
        ASSERT_NE(nullptr, main->rightBar);
        ASSERT_NE(nullptr, main->notice);
    }

    void TearDown() override
    {
        if (main && main->m_hWnd) {
            main->state = RecorderIdle;  // never refused or asked
            main->SendMessage(WM_COMMAND, IDCANCEL);
            main->DestroyWindow();
        }
        main.reset();
        theApp.m_pMainWnd = nullptr;
        ::DeleteFileW(CRecorderApp::SettingsFilePath());
        Pump(50);
    }

    // Presses a bar at a screen point, moves to each point with the button held, releases there.
    void Drag(CWnd& bar, CPoint press, std::initializer_list<CPoint> moves)
    {
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPointFor(bar, press));
        CPoint last = press;
        for (CPoint p : moves) {
            bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, ClientPointFor(bar, p));
            last = p;
        }
        bar.SendMessage(WM_LBUTTONUP, 0, ClientPointFor(bar, last));
    }

    void Repaint()
    {
        for (CWnd* w : {static_cast<CWnd*>(main->bottomBar), static_cast<CWnd*>(main->leftBar),
                        static_cast<CWnd*>(main->rightBar)}) {
            w->Invalidate(TRUE);
            w->UpdateWindow();
        }
        Pump(50);
    }

    std::unique_ptr<CRecorderDlg> main;
};

TEST_F(BarsWindows, FrameTheCaptureAreaOnThreeSides)
{
    const CRect w = WindowRectOf(*main);
    const CRect capture = main->captureRect;
    EXPECT_EQ(580, capture.Width());
    EXPECT_EQ(380, capture.Height());
    EXPECT_EQ(CRect(w.left, w.bottom, w.left + 20, w.bottom + 380), WindowRectOf(*main->leftBar));
    EXPECT_EQ(CRect(w.right - 20, w.bottom, w.right, w.bottom + 380), WindowRectOf(*main->rightBar));
    EXPECT_EQ(CRect(w.left, w.bottom + 380, w.right, w.bottom + 435), WindowRectOf(*main->bottomBar));
    EXPECT_TRUE(main->leftBar->IsWindowVisible());
    EXPECT_TRUE(main->rightBar->IsWindowVisible());
    EXPECT_TRUE(main->bottomBar->IsWindowVisible());
    EXPECT_FALSE(main->notice->IsWindowVisible());
    // Owned by the main window: they stay above it and out of the taskbar.
    EXPECT_EQ(main->m_hWnd, ::GetWindow(main->bottomBar->m_hWnd, GW_OWNER));
    EXPECT_EQ(main->m_hWnd, ::GetWindow(main->leftBar->m_hWnd, GW_OWNER));
    EXPECT_EQ(main->m_hWnd, ::GetWindow(main->notice->m_hWnd, GW_OWNER));
}

TEST_F(BarsWindows, StripButtonsSitAtTheBottomRight)
{
    CBottomDialog& strip = *main->bottomBar;
    const CRect client = ClientRectOf(strip);
    const CRect page = ChildRectOf(strip.pageButton, strip);
    const CRect notice = ChildRectOf(strip.noticeButton, strip);
    EXPECT_EQ(client.right - page.Width() - 15, page.left);
    EXPECT_EQ(client.bottom - page.Height() - 9, page.top);
    EXPECT_EQ(page.left - notice.Width() - 12, notice.left);
    EXPECT_EQ(client.bottom - notice.Height() - 7, notice.top);
    EXPECT_TRUE(strip.noticeButton.IsWindowVisible());
    EXPECT_TRUE(strip.pageButton.IsWindowVisible());
}

TEST_F(BarsWindows, NarrowStripHidesTheNoticeButtonAndWideningShowsIt)
{
    CBottomDialog& strip = *main->bottomBar;
    const CRect w = WindowRectOf(*main);
    const int pageWidth = ClientRectOf(strip.pageButton).Width();
    const int noticeWidth = ClientRectOf(strip.noticeButton).Width();
    auto resize = [&](int width) {
        main->MoveWindow(w.left, w.top, width, w.Height());
        main->OnLayoutPanels(0, 0);
        Pump();
    };
    // Hidden once x - bw <= 10 with x = w - bw - 15.
    resize(2 * pageWidth + 25);
    EXPECT_FALSE(strip.noticeButton.IsWindowVisible());
    // Room by that rule, but the button would hang off the strip's left end.
    resize(pageWidth + 15 + noticeWidth + 12 + 4);
    EXPECT_FALSE(strip.noticeButton.IsWindowVisible());
    // Just inside the strip's outer band.
    resize(pageWidth + 15 + noticeWidth + 12 + 5);
    EXPECT_TRUE(strip.noticeButton.IsWindowVisible());
    EXPECT_EQ(5, ChildRectOf(strip.noticeButton, strip).left);
    resize(w.Width());
    EXPECT_TRUE(strip.noticeButton.IsWindowVisible());
}

TEST_F(BarsWindows, LeftBarDragStopsAtSixtyPixelsAndFollowsAgain)
{
    CLeftDialog& bar = *main->leftBar;
    const CRect w = WindowRectOf(*main);
    const int y = w.bottom + 100;
    Drag(bar, CPoint(w.left + 10, y), {CPoint(w.left + 100, y)});
    EXPECT_EQ(CRect(w.left + 100, w.top, w.right, w.bottom), WindowRectOf(*main));
    EXPECT_EQ(w.Width() - 100 - 40, main->captureRect.Width());
    EXPECT_EQ(380, main->captureRect.Height());
    EXPECT_EQ(w.left + 100, WindowRectOf(bar).left);
    EXPECT_EQ(nullptr, ::GetCapture());

    // 59 pixels is refused, the window stays at 60 and follows the cursor back.
    Drag(bar, CPoint(w.left + 100, y), {CPoint(w.right - 60, y), CPoint(w.right - 59, y), CPoint(w.right - 30, y)});
    EXPECT_EQ(60, WindowRectOf(*main).Width());
    Drag(bar, CPoint(w.right - 60, y), {CPoint(w.right - 59, y), CPoint(w.right - 200, y)});
    EXPECT_EQ(200, WindowRectOf(*main).Width());
}

TEST_F(BarsWindows, RightBarDragMovesTheRightSide)
{
    CRightDialog& bar = *main->rightBar;
    const CRect w = WindowRectOf(*main);
    const int y = w.bottom + 50;
    Drag(bar, CPoint(w.right - 10, y), {CPoint(w.right - 120, y)});
    EXPECT_EQ(CRect(w.left, w.top, w.right - 120, w.bottom), WindowRectOf(*main));
    EXPECT_EQ(w.right - 120 - 20, main->captureRect.right);
    EXPECT_EQ(w.right - 120, WindowRectOf(bar).right);
}

TEST_F(BarsWindows, StripBottomDragSetsTheHeightAndRefusesBelowSixty)
{
    CBottomDialog& strip = *main->bottomBar;
    const CRect w = WindowRectOf(*main);
    const CRect s = WindowRectOf(strip);
    Drag(strip, CPoint(s.left + 300, s.bottom - 1), {CPoint(s.left + 300, w.bottom + 300)});
    EXPECT_EQ(260, main->captureRect.Height());
    EXPECT_EQ(w, WindowRectOf(*main));
    EXPECT_EQ(w.bottom + 260, WindowRectOf(strip).top);
    EXPECT_EQ(260, WindowRectOf(*main->leftBar).Height());

    const CRect s2 = WindowRectOf(strip);
    Drag(strip, CPoint(s2.left + 300, s2.bottom - 1), {CPoint(s2.left + 300, w.bottom + 99)});
    EXPECT_EQ(260, main->captureRect.Height());
    EXPECT_FALSE(strip.dragBottom);
}

TEST_F(BarsWindows, StripCornerDragsSetWidthAndHeight)
{
    CBottomDialog& strip = *main->bottomBar;
    const CRect w = WindowRectOf(*main);
    CRect s = WindowRectOf(strip);
    Drag(strip, CPoint(s.right - 5, s.bottom - 5), {CPoint(w.right - 100, w.bottom + 240)});
    EXPECT_EQ(CRect(w.left, w.top, w.right - 100, w.bottom), WindowRectOf(*main));
    EXPECT_EQ(200, main->captureRect.Height());

    s = WindowRectOf(strip);
    Drag(strip, CPoint(s.left + 1, s.bottom - 1), {CPoint(w.left + 50, w.bottom + 340)});
    EXPECT_EQ(CRect(w.left + 50, w.top, w.right - 100, w.bottom), WindowRectOf(*main));
    EXPECT_EQ(300, main->captureRect.Height());
}

TEST_F(BarsWindows, PressOutsideTheZonesGrabsNothing)
{
    CBottomDialog& strip = *main->bottomBar;
    const CRect w = WindowRectOf(*main);
    const CRect s = WindowRectOf(strip);
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPointFor(strip, CPoint(s.left + 200, s.top + 20)));
    EXPECT_EQ(DragEdge::None, strip.CurrentDrag());
    EXPECT_EQ(nullptr, ::GetCapture());
    strip.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, ClientPointFor(strip, CPoint(s.left + 100, w.bottom + 200)));
    strip.SendMessage(WM_LBUTTONUP, 0, ClientPointFor(strip, CPoint(s.left + 100, w.bottom + 200)));
    EXPECT_EQ(w, WindowRectOf(*main));
    EXPECT_EQ(380, main->captureRect.Height());
}

TEST_F(BarsWindows, PressSetsOneFlagAndReleaseClearsIt)
{
    CBottomDialog& strip = *main->bottomBar;
    const CRect s = WindowRectOf(strip);
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPointFor(strip, CPoint(s.left + 1, s.top + 20)));
    EXPECT_TRUE(strip.dragLeft);
    EXPECT_FALSE(strip.dragRight || strip.dragBottom || strip.dragBottomLeft || strip.dragBottomRight);
    EXPECT_EQ(strip.m_hWnd, ::GetCapture());
    strip.SendMessage(WM_LBUTTONUP, 0, ClientPointFor(strip, CPoint(s.left + 1, s.top + 20)));
    EXPECT_EQ(DragEdge::None, strip.CurrentDrag());
    EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(BarsWindows, RecordingAndPausedDragsChangeNothing)
{
    const CRect w = WindowRectOf(*main);
    for (int state : {RecorderRecording, RecorderPaused}) {
        main->state = state;
        const int y = w.bottom + 100;
        Drag(*main->leftBar, CPoint(w.left + 10, y), {CPoint(w.left + 100, y)});
        Drag(*main->rightBar, CPoint(w.right - 10, y), {CPoint(w.right - 100, y)});
        const CRect s = WindowRectOf(*main->bottomBar);
        Drag(*main->bottomBar, CPoint(s.left + 300, s.bottom - 1), {CPoint(s.left + 300, w.bottom + 200)});
        Drag(*main->bottomBar, CPoint(s.right - 5, s.bottom - 5), {CPoint(w.right - 100, w.bottom + 200)});
        EXPECT_EQ(w, WindowRectOf(*main)) << "state " << state;
        EXPECT_EQ(380, main->captureRect.Height()) << "state " << state;
        EXPECT_EQ(nullptr, ::GetCapture());
    }
    // Ready and making the GIF allow it again.
    main->state = RecorderMaking;
    Drag(*main->leftBar, CPoint(w.left + 10, w.bottom + 100), {CPoint(w.left + 30, w.bottom + 100)});
    EXPECT_EQ(w.left + 30, WindowRectOf(*main).left);
}

TEST_F(BarsWindows, MoveWithoutAPressOverABarDoesNotResize)
{
    // A button pressed elsewhere and moved over the bar: no capture, no drag.
    const CRect w = WindowRectOf(*main);
    main->leftBar->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, ClientPointFor(*main->leftBar, CPoint(w.left + 100, w.bottom + 50)));
    EXPECT_EQ(w, WindowRectOf(*main));
}

TEST_F(BarsWindows, NoticePopupShowsAboveTheStripAndHidesOnLeave)
{
    CBottomDialog& strip = *main->bottomBar;
    strip.SendMessage(WM_HOVER_NOTICE, 0, 1);
    Pump();
    ASSERT_TRUE(main->notice->IsWindowVisible());
    const CRect s = WindowRectOf(strip);
    EXPECT_EQ(CRect(s.right - 258 - 30, s.top - 320, s.right - 30, s.top), WindowRectOf(*main->notice));
    strip.SendMessage(WM_HOVER_NOTICE, 0, 0);
    EXPECT_FALSE(main->notice->IsWindowVisible());
}

TEST_F(BarsWindows, NoNoticeWhileRecordingOrPausedButLeaveAlwaysHides)
{
    CBottomDialog& strip = *main->bottomBar;
    for (int state : {RecorderRecording, RecorderPaused}) {
        main->state = state;
        strip.SendMessage(WM_HOVER_NOTICE, 0, 1);
        EXPECT_FALSE(main->notice->IsWindowVisible()) << "state " << state;
    }
    for (int state : {RecorderIdle, RecorderReady, RecorderMaking}) {
        main->state = state;
        strip.SendMessage(WM_HOVER_NOTICE, 0, 1);
        EXPECT_TRUE(main->notice->IsWindowVisible()) << "state " << state;
        strip.SendMessage(WM_HOVER_NOTICE, 0, 0);
        EXPECT_FALSE(main->notice->IsWindowVisible()) << "state " << state;
    }
    // Shown before recording starts, it stays until the mouse leaves.
    main->state = RecorderIdle;
    strip.SendMessage(WM_HOVER_NOTICE, 0, 1);
    main->state = RecorderRecording;
    EXPECT_TRUE(main->notice->IsWindowVisible());
    strip.SendMessage(WM_HOVER_NOTICE, 0, 0);
    EXPECT_FALSE(main->notice->IsWindowVisible());
}

TEST_F(BarsWindows, EnterAndEscapeNeverCloseABar)
{
    for (CWnd* bar : {static_cast<CWnd*>(main->bottomBar), static_cast<CWnd*>(main->leftBar),
                      static_cast<CWnd*>(main->rightBar)}) {
        bar->SendMessage(WM_COMMAND, IDOK);
        bar->SendMessage(WM_COMMAND, IDCANCEL);
        bar->SendMessage(WM_CLOSE);
        Pump(20);
        EXPECT_TRUE(bar->IsWindow());
        EXPECT_TRUE(bar->IsWindowVisible());
    }
}

TEST_F(BarsWindows, RecordingMarksBlinkOnTheScreen)
{
    const CRect strip = WindowRectOf(*main->bottomBar);
    const CRect left = WindowRectOf(*main->leftBar);
    const CRect right = WindowRectOf(*main->rightBar);
    main->state = RecorderRecording;
    main->recBlink = true;
    Repaint();
    EXPECT_EQ(kGold, ScreenPixel(strip.left + 20, strip.top + 2));
    EXPECT_EQ(kGold, ScreenPixel(strip.right - 20, strip.top + 2));
    EXPECT_EQ(kGold, ScreenPixel(left.left + 17, left.top + 5));
    EXPECT_EQ(kGold, ScreenPixel(left.left + 17, left.bottom - 5));
    EXPECT_EQ(kGold, ScreenPixel(right.left + 2, right.top + 5));
    EXPECT_EQ(kGold, ScreenPixel(right.left + 2, right.bottom - 5));

    main->recBlink = false;
    Repaint();
    EXPECT_EQ(kGrey, ScreenPixel(strip.left + 20, strip.top + 2));
    EXPECT_EQ(kGrey, ScreenPixel(left.left + 17, left.top + 5));
    EXPECT_EQ(kGrey, ScreenPixel(right.left + 2, right.top + 5));
    EXPECT_EQ(kTeal, ScreenPixel(left.left + 1, left.top + 100));
    EXPECT_EQ(kTeal, ScreenPixel(right.right - 1, right.top + 100));
    EXPECT_EQ(kTeal, ScreenPixel(strip.left + 200, strip.bottom - 2));
}

TEST_F(BarsWindows, StripTextFollowsTheFrameCount)
{
    // The text area of the strip changes with the frame count while recording.
    const CRect strip = WindowRectOf(*main->bottomBar);
    auto textSignature = [&]() {
        unsigned long long sum = 0;
        HDC screen = ::GetDC(nullptr);
        for (int y = strip.top + 16; y < strip.bottom - 5; ++y)
            for (int x = strip.left + 7; x < strip.left + 150; ++x)
                sum = sum * 31 + ::GetPixel(screen, x, y);
        ::ReleaseDC(nullptr, screen);
        return sum;
    };
    main->state = RecorderRecording;
    main->frameCount = 0;
    Repaint();
    const auto zero = textSignature();
    main->frameCount = 45;
    Repaint();
    const auto many = textSignature();
    EXPECT_NE(zero, many);
    main->frameCount = 0;
    Repaint();
    EXPECT_EQ(zero, textSignature());
}

// The strip's web-page button, with the browser step replaced.
class PageStrip : public CBottomDialog {
public:
    CString opened;
    int opens = 0;

protected:
    void OpenWebPage(const CString& address) override
    {
        opened = address;
        ++opens;
    }
};

TEST_F(BarsWindows, PageButtonOpensTheProductPage)
{
    PageStrip strip;
    ASSERT_TRUE(strip.Create(IDD_BOTTOM_DIALOG, main.get()));
    strip.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PAGE_BUTTON, BN_CLICKED), (LPARAM)strip.pageButton.m_hWnd);
    CString expected;
    expected.LoadString(IDS_PRODUCT_URL);
    EXPECT_EQ(1, strip.opens);
    EXPECT_STREQ(expected, strip.opened);
    // The notice button's click does nothing.
    strip.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NOTICE_BUTTON, BN_CLICKED), (LPARAM)strip.noticeButton.m_hWnd);
    EXPECT_EQ(1, strip.opens);
    strip.DestroyWindow();
}

}  // namespace
