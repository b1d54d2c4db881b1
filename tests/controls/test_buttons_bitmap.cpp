// The bitmap button (faces by state, hover tracking with the mouse), the confined rectangle
// tracker, and the program's own button images.
#include <gtest/gtest.h>

#include "controls/bitmap_button.h"
#include "controls/confined_tracker.h"
#include "res/image_ids.h"
#include "tests/controls/buttons_test_util.h"

using namespace buttons_test;

namespace {

constexpr COLORREF kNormal = RGB(128, 128, 128);
constexpr COLORREF kHover = RGB(255, 255, 0);
constexpr COLORREF kSelected = RGB(0, 128, 255);
constexpr COLORREF kDisabled = RGB(64, 64, 64);
constexpr COLORREF kSelectedHover = RGB(255, 0, 255);
constexpr COLORREF kPressed = RGB(0, 255, 255);

struct BitmapProbe : CMyBitmapButton {
    using CMyBitmapButton::m_hover;
    using CMyBitmapButton::m_pressed;
    using CMyBitmapButton::m_selected;
};

COLORREF Face(CMyBitmapButton& button, UINT itemState)
{
    Canvas canvas(20, 14, RGB(1, 1, 1));
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = itemState;
    dis.hwndItem = button.m_hWnd;
    dis.hDC = canvas.dc.GetSafeHdc();
    dis.rcItem = RECT{0, 0, 20, 14};
    button.DrawItem(&dis);
    const COLORREF c = canvas.At(10, 7);
    return canvas.Count(c) == 20 * 14 ? c : RGB(1, 2, 3);  // a face fills the whole item
}

CSize ClientSize(CWnd& wnd)
{
    CRect r;
    wnd.GetClientRect(&r);
    return r.Size();
}

class BitmapButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(button.SubclassDlgItem(IDC_T_BITMAP, &dlg));
        button.MoveWindow(10, 100, 40, 30);
    }
    POINT Outside()
    {
        CPoint p(400, 220);
        dlg.ClientToScreen(&p);
        return p;
    }

    TestDialog dlg;
    BitmapProbe button;
};

TEST_F(BitmapButtonTest, LoadingTakesTheNormalBitmapsSize)
{
    EXPECT_TRUE(button.LoadBitmaps(IDB_FACE_NORMAL, IDB_FACE_HOVER));
    EXPECT_EQ(CSize(20, 14), ClientSize(button));
    // A missing optional bitmap: resized all the same, but reported.
    button.MoveWindow(10, 100, 40, 30);
    EXPECT_FALSE(button.LoadBitmaps(IDB_FACE_NORMAL, 9999));
    EXPECT_EQ(CSize(20, 14), ClientSize(button));
    // A missing normal bitmap: nothing resized.
    button.MoveWindow(10, 100, 40, 30);
    EXPECT_FALSE(button.LoadBitmaps(9999, IDB_FACE_HOVER));
    EXPECT_EQ(CSize(40, 30), ClientSize(button));
}

TEST_F(BitmapButtonTest, FaceFollowsThePrecedenceOfTheStates)
{
    ASSERT_TRUE(button.LoadBitmaps(IDB_FACE_NORMAL, IDB_FACE_HOVER, IDB_FACE_SELECTED, IDB_FACE_DISABLED,
                                   IDB_FACE_SELECTED_HOVER, IDB_FACE_PRESSED));
    EXPECT_EQ(kNormal, Face(button, 0));
    button.m_hover = true;
    EXPECT_EQ(kHover, Face(button, 0));
    button.m_selected = true;
    EXPECT_EQ(kSelectedHover, Face(button, 0));
    button.m_hover = false;
    EXPECT_EQ(kSelected, Face(button, 0));
    button.m_pressed = true;
    EXPECT_EQ(kPressed, Face(button, 0));
    EXPECT_EQ(kDisabled, Face(button, ODS_DISABLED));
}

TEST_F(BitmapButtonTest, MissingFacesFallBackToTheNextRule)
{
    ASSERT_TRUE(button.LoadBitmaps(IDB_FACE_NORMAL, IDB_FACE_HOVER));
    button.m_hover = true;
    button.m_pressed = true;
    button.m_selected = true;
    EXPECT_EQ(kHover, Face(button, ODS_DISABLED));
    ASSERT_TRUE(button.LoadBitmaps(IDB_FACE_NORMAL));
    EXPECT_EQ(kNormal, Face(button, ODS_DISABLED));
    EXPECT_EQ(kNormal, Face(button, 0));
}

TEST_F(BitmapButtonTest, HoverTracksTheMouseAndADragOffClearsHoverAndPress)
{
    ASSERT_TRUE(button.LoadBitmaps(IDB_FACE_NORMAL, IDB_FACE_HOVER, 0, 0, 0, IDB_FACE_PRESSED));
    MoveMouseTo(Outside());
    const POINT centre = CentreOf(button.m_hWnd);
    MoveMouseTo(centre);
    ASSERT_TRUE(PumpUntil([&] { return button.m_hover; }));
    Canvas shot(20, 14);
    Snapshot(button, shot);
    EXPECT_EQ(kHover, shot.At(10, 7));

    MouseDown(centre);
    ASSERT_TRUE(PumpUntil([&] { return button.m_pressed; }));
    Snapshot(button, shot);
    EXPECT_EQ(kPressed, shot.At(10, 7));
    MoveMouseTo(Outside());
    ASSERT_TRUE(PumpUntil([&] { return !button.m_hover; }));
    EXPECT_FALSE(button.m_pressed);
    MoveMouseTo(centre);
    MoveMouseTo(POINT{centre.x + 1, centre.y});
    Pump(40);
    EXPECT_FALSE(button.m_hover);  // no hover while the button is still held
    MoveMouseTo(Outside());
    MouseUp(Outside());
    Pump(20);
    MoveMouseTo(centre);
    ASSERT_TRUE(PumpUntil([&] { return button.m_hover; }));
    MoveMouseTo(Outside());
    ASSERT_TRUE(PumpUntil([&] { return !button.m_hover; }));
    Snapshot(button, shot);
    EXPECT_EQ(kNormal, shot.At(10, 7));
    EXPECT_EQ(0, dlg.Clicks(IDC_T_BITMAP));
}

TEST_F(BitmapButtonTest, FocusLossEndsHover)
{
    ASSERT_TRUE(button.LoadBitmaps(IDB_FACE_NORMAL, IDB_FACE_HOVER));
    button.SetFocus();
    button.m_hover = true;
    button.m_pressed = true;
    dlg.GetDlgItem(IDC_T_EDIT)->SetFocus();
    EXPECT_FALSE(button.m_hover);
    EXPECT_FALSE(button.m_pressed);
    EXPECT_STREQ("CMyBitmapButton", button.GetRuntimeClass()->m_lpszClassName);
}

// ---------------------------------------------------------------------------------------------
// The confined tracker

struct TrackerProbe : CConfinedTracker {
    int changes = 0;
    bool alwaysInside = true;
    void OnChangedRect(const CRect& rectOld) override
    {
        CConfinedTracker::OnChangedRect(rectOld);
        ++changes;
        CRect r = m_rect;
        r.NormalizeRect();
        CRect joined;
        joined.UnionRect(&r, &m_rectLimit);
        alwaysInside = alwaysInside && joined.EqualRect(&m_rectLimit);
    }
};

TEST(ConfinedTracker, ChangesArePushedBackInsideKeepingThePreviousSize)
{
    CConfinedTracker t;
    t.m_rectLimit = CRect(0, 0, 100, 100);
    t.m_rect = CRect(-10, 20, 30, 60);
    t.OnChangedRect(CRect(5, 20, 45, 60));
    EXPECT_EQ(CRect(0, 20, 40, 60), t.m_rect);

    t.m_rect = CRect(80, 90, 120, 130);
    t.OnChangedRect(CRect(70, 70, 110, 110));
    EXPECT_EQ(CRect(60, 60, 100, 100), t.m_rect);

    // Wider than the limit: flush with its right edge.
    t.m_rect = CRect(-10, 10, 150, 50);
    t.OnChangedRect(CRect(0, 10, 160, 50));
    EXPECT_EQ(CRect(-60, 10, 100, 50), t.m_rect);
}

TEST(ConfinedTracker, EmptyLimitOrRectangleChangesNothingAndInvertedOnesAreConfined)
{
    CConfinedTracker t;
    t.m_rect = CRect(-10, -10, 20, 20);
    t.OnChangedRect(CRect(0, 0, 30, 30));
    EXPECT_EQ(CRect(-10, -10, 20, 20), t.m_rect);  // no limit set
    t.m_rectLimit = CRect(0, 0, 100, 100);
    t.m_rect = CRect(-10, 5, -10, 40);  // no width
    t.OnChangedRect(CRect(0, 0, 30, 30));
    EXPECT_EQ(CRect(-10, 5, -10, 40), t.m_rect);
    // A rubber band drawn up and to the left past the limit.
    t.m_rect = CRect(50, 50, -20, 10);
    t.OnChangedRect(CRect(20, 20, 50, 50));
    EXPECT_EQ(CRect(0, 10, 30, 50), t.m_rect);
}

class TrackerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.m_hWnd);
        SetForegroundWindow(Stage().m_hWnd);
        PumpPending();
    }
    // Queues mouse messages for the tracking loop, in the dialog's client coordinates.
    void Post(UINT message, int x, int y, WPARAM keys = MK_LBUTTON)
    {
        dlg.PostMessage(message, keys, MAKELPARAM(x, y));
    }

    TestDialog dlg;
    TrackerProbe tracker;
};

TEST_F(TrackerTest, MovingPastTheLimitStopsAtItsEdges)
{
    tracker.m_rectLimit = CRect(50, 50, 250, 200);
    tracker.m_rect = CRect(100, 100, 140, 130);
    tracker.m_nStyle = CRectTracker::solidLine;
    Post(WM_MOUSEMOVE, 60, 60);
    Post(WM_MOUSEMOVE, 20, 15);
    Post(WM_LBUTTONUP, 20, 15, 0);
    EXPECT_TRUE(tracker.Track(&dlg, CPoint(120, 115)));
    EXPECT_EQ(CRect(50, 50, 90, 80), tracker.m_rect);
    EXPECT_GE(tracker.changes, 2);
    EXPECT_TRUE(tracker.alwaysInside);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(TrackerTest, RubberBandDrawnUpAndLeftStaysInside)
{
    tracker.m_rectLimit = CRect(50, 50, 250, 200);
    Post(WM_MOUSEMOVE, 80, 90);
    Post(WM_MOUSEMOVE, 10, 5);
    Post(WM_LBUTTONUP, 10, 5, 0);
    EXPECT_TRUE(tracker.TrackRubberBand(&dlg, CPoint(100, 100)));
    CRect r = tracker.m_rect;
    r.NormalizeRect();
    EXPECT_FALSE(r.IsRectEmpty());
    CRect joined;
    joined.UnionRect(&r, &tracker.m_rectLimit);
    EXPECT_EQ(tracker.m_rectLimit, joined);
    EXPECT_TRUE(tracker.alwaysInside);
}

TEST_F(TrackerTest, ResizeByAHandleAndCancelWithEscape)
{
    tracker.m_rect = CRect(10, 10, 110, 110);
    tracker.m_nStyle = CRectTracker::resizeInside;
    EXPECT_EQ(CRectTracker::hitTopLeft, tracker.HitTest(CPoint(12, 12)));
    EXPECT_EQ(CRectTracker::hitRight, tracker.HitTest(CPoint(107, 60)));
    EXPECT_EQ(CRectTracker::hitMiddle, tracker.HitTest(CPoint(60, 60)));
    EXPECT_EQ(CRectTracker::hitNothing, tracker.HitTest(CPoint(200, 200)));

    Post(WM_MOUSEMOVE, 158, 128);
    Post(WM_LBUTTONUP, 158, 128, 0);
    EXPECT_TRUE(tracker.Track(&dlg, CPoint(108, 108)));
    EXPECT_EQ(CRect(10, 10, 160, 130), tracker.m_rect);

    Post(WM_MOUSEMOVE, 60, 60);
    dlg.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(tracker.Track(&dlg, CPoint(80, 80)));
    EXPECT_EQ(CRect(10, 10, 160, 130), tracker.m_rect);
    EXPECT_EQ(nullptr, GetCapture());
}

// ---------------------------------------------------------------------------------------------
// The program's own images

TEST(ProgramImages, IconsAreSixteenPixelPictogramsWithTransparentCorners)
{
    for (int id : {IDI_START_BUTTON, IDI_SETTINGS_BUTTON, IDI_TUTORIAL_BUTTON, IDI_EDIT_BUTTON, IDI_STOP_BUTTON,
                   IDI_PAUSE_BUTTON, IDI_PREVIEW_BUTTON, IDI_SHARE_BUTTON}) {
        HICON icon = (HICON)LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0);
        ASSERT_TRUE(icon) << id;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << id;
        EXPECT_EQ(8u, info.xHotspot) << id;
        EXPECT_EQ(8u, info.yHotspot) << id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        Canvas canvas(16, 16);
        DrawIconEx(canvas.dc.GetSafeHdc(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
        EXPECT_EQ(RGB(255, 255, 255), canvas.At(0, 0)) << id;
        EXPECT_LT(canvas.Count(RGB(255, 255, 255)), 16 * 16 - 40) << id;  // a picture, not a blank
        DestroyIcon(icon);
    }
}

TEST(ProgramImages, CaptionBitmapsFitTheTitleBand)
{
    for (int id : {IDB_MINIMIZE, IDB_CLOSE, IDB_MAXIMIZE, IDB_MINIMIZE_HOVER, IDB_CLOSE_HOVER}) {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadBitmap(id)) << id;
        BITMAP info = {};
        bitmap.GetBitmap(&info);
        EXPECT_EQ(24, info.bmWidth) << id;
        EXPECT_EQ(20, info.bmHeight) << id;
    }
    // They are copied without transparency, so their edges carry the band's gradient.
    CBitmap close;
    close.LoadBitmap(IDB_CLOSE);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ previous = dc.SelectObject(close.GetSafeHandle());
    EXPECT_EQ(RGB(43, 162, 135), dc.GetPixel(0, 0));
    const COLORREF bottom = dc.GetPixel(0, 19);
    EXPECT_NEAR(43 - (43 - 33) * 19 / 25, GetRValue(bottom), 1);
    EXPECT_NEAR(162 - (162 - 126) * 19 / 25, GetGValue(bottom), 1);
    dc.SelectObject(previous);
}

}  // namespace
