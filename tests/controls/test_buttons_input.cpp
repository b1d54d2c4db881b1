// Image buttons driven by real mouse input and by messages: hover, hover notices, check mode,
// double clicks, focus on disabling, tooltips, cursor, popup menu, transparent mode, and the
// images and GDI objects that swaps and destruction must free.
#include <gtest/gtest.h>

#include "controls/hover_button.h"
#include "controls/icon_button.h"
#include "controls/open_address.h"
#include "framework/menu.h"
#include "res/image_ids.h"
#include "tests/controls/buttons_test_util.h"

using namespace buttons_test;

namespace {

constexpr COLORREF kKey = RGB(0, 255, 0);

class StageEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Stage();
        SetForegroundWindow(Stage().m_hWnd);
        Pump(50);
    }
};
const ::testing::Environment* const g_stage = ::testing::AddGlobalTestEnvironment(new StageEnvironment);

void Render(CButton& button, UINT itemState, Canvas& canvas)
{
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = itemState;
    dis.hwndItem = button.m_hWnd;
    dis.hDC = canvas.dc.GetSafeHdc();
    dis.rcItem = RECT{0, 0, canvas.width, canvas.height};
    button.DrawItem(&dis);
}

bool IconAlive(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

bool GdiAlive(HGDIOBJ object) { return object && GetObjectType(object) != 0; }

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.m_hWnd);
        SetForegroundWindow(Stage().m_hWnd);
        MoveMouseTo(Outside());
        Pump(20);
    }
    void TearDown() override { MoveMouseTo(Outside()); }

    void Bind(CWnd& button, int id, int x = 10, int y = 100, int w = 40, int h = 30)
    {
        ASSERT_TRUE(button.SubclassDlgItem(id, &dlg));
        button.MoveWindow(x, y, w, h);
        button.UpdateWindow();
    }
    // A point of the dialog away from every control.
    POINT Outside()
    {
        CPoint p(400, 220);
        dlg.ClientToScreen(&p);
        return p;
    }
    static POINT Offset(POINT p, int dx, int dy) { return POINT{p.x + dx, p.y + dy}; }

    TestDialog dlg;
    Probe<CIconButton> image;
};

// ---------------------------------------------------------------------------------------------
// Hover

TEST_F(InputTest, HoverLookBeginsAndEndsWithTheMouse)
{
    Bind(image, IDC_T_IMAGE);
    image.SetColor(CIconButton::ColorBackHover, RGB(0, 0, 90));
    image.SetColor(CIconButton::ColorBackNormal, RGB(90, 0, 0));
    image.SetBorderVisible(FALSE);
    MoveMouseTo(CentreOf(image.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return image.m_hover != FALSE; }));
    Canvas lit(40, 30);
    Snapshot(image, lit);
    EXPECT_EQ(RGB(0, 0, 90), lit.At(5, 5));
    MoveMouseTo(Outside());
    ASSERT_TRUE(PumpUntil([&] { return !image.m_hover; }));
    Canvas plain(40, 30);
    Snapshot(image, plain);
    EXPECT_EQ(RGB(90, 0, 0), plain.At(5, 5));
    EXPECT_TRUE(dlg.Messages(WM_HOVER_NOTICE).empty());
}

TEST_F(InputTest, RaisedButtonNeverHovers)
{
    Bind(image, IDC_T_IMAGE);
    image.SetFlat(FALSE);
    MoveMouseTo(CentreOf(image.m_hWnd));
    MoveMouseTo(Offset(CentreOf(image.m_hWnd), 2, 1));
    Pump(60);
    EXPECT_FALSE(image.m_hover);
}

TEST_F(InputTest, DraggedInWithTheButtonHeldDoesNotLightUpUntilReleased)
{
    Bind(image, IDC_T_IMAGE);
    MouseDown(Outside());
    Pump(20);
    MoveMouseTo(CentreOf(image.m_hWnd));
    MoveMouseTo(Offset(CentreOf(image.m_hWnd), 1, 1));
    Pump(40);
    EXPECT_FALSE(image.m_hover);
    MouseUp(Offset(CentreOf(image.m_hWnd), 1, 1));
    Pump(20);
    MoveMouseTo(Offset(CentreOf(image.m_hWnd), 3, 2));
    EXPECT_TRUE(PumpUntil([&] { return image.m_hover != FALSE; }));
    EXPECT_EQ(0, dlg.Clicks(IDC_T_IMAGE));
}

TEST_F(InputTest, HoverButtonPostsOneNoticeOnEnterAndOneOnEveryLeave)
{
    Probe<CHoverButton> hover;
    Bind(hover, IDC_T_HOVER);
    dlg.watched = WM_HOVER_NOTICE;
    MoveMouseTo(CentreOf(hover.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return hover.m_hover != FALSE; }));
    MoveMouseTo(Offset(CentreOf(hover.m_hWnd), 3, 2));
    Pump(30);
    auto notices = dlg.Messages(WM_HOVER_NOTICE);
    ASSERT_EQ(1u, notices.size());
    EXPECT_EQ(0u, notices[0].wParam);
    EXPECT_EQ(1, notices[0].lParam);

    MoveMouseTo(Outside());
    ASSERT_TRUE(PumpUntil([&] { return dlg.Messages(WM_HOVER_NOTICE).size() == 2; }));
    notices = dlg.Messages(WM_HOVER_NOTICE);
    EXPECT_EQ(0u, notices[1].wParam);
    EXPECT_EQ(0, notices[1].lParam);
    EXPECT_FALSE(hover.m_hover);

    // A leave while not hovered still tells the parent.
    hover.SendMessage(WM_MOUSELEAVE);
    Pump(20);
    notices = dlg.Messages(WM_HOVER_NOTICE);
    ASSERT_EQ(3u, notices.size());
    EXPECT_EQ(0, notices[2].lParam);
}

TEST_F(InputTest, HoverEndsOfOtherKindsPostNoNotice)
{
    Probe<CHoverButton> hover;
    Bind(hover, IDC_T_HOVER);
    dlg.watched = WM_HOVER_NOTICE;
    MoveMouseTo(CentreOf(hover.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return hover.m_hover != FALSE; }));
    Pump(20);
    dlg.log.clear();
    hover.SendMessage(WM_CANCELMODE);
    Pump(30);
    EXPECT_FALSE(hover.m_hover);
    EXPECT_TRUE(dlg.Messages(WM_HOVER_NOTICE).empty());
}

// ---------------------------------------------------------------------------------------------
// Clicks

TEST_F(InputTest, CheckBoxModeTogglesOnEachClickAndTheParentGetsTheClicks)
{
    Probe<CIconButton> check;
    Bind(check, IDC_T_CHECK);
    Click(CentreOf(check.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return dlg.Clicks(IDC_T_CHECK) == 1; }));
    EXPECT_EQ(1, check.GetCheck());
    EXPECT_EQ(check.m_hWnd, GetFocus());
    Pump(600);  // past the double-click time
    Click(CentreOf(check.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return dlg.Clicks(IDC_T_CHECK) == 2; }));
    EXPECT_EQ(0, check.GetCheck());
}

TEST_F(InputTest, DoubleClickGivesTwoClicks)
{
    Probe<CIconButton> push;
    Bind(push, IDC_T_PUSH);
    Click(CentreOf(push.m_hWnd));
    Click(CentreOf(push.m_hWnd));
    EXPECT_TRUE(PumpUntil([&] { return dlg.Clicks(IDC_T_PUSH) == 2; }));
}

TEST_F(InputTest, ClickOnAButtonWithALinkOpensItsAddressThroughTheProcesssOpener)
{
    std::vector<std::wstring> opened;
    SetAddressOpener([&](LPCTSTR address, int) -> INT_PTR {
        opened.push_back(address);
        return 33;
    });
    Probe<CIconButton> push;
    Bind(push, IDC_T_PUSH);
    push.SetLinkAddress(L"https://www.kelvo.example/");
    Click(CentreOf(push.m_hWnd));
    EXPECT_TRUE(PumpUntil([&] { return dlg.Clicks(IDC_T_PUSH) == 1; }));
    SetAddressOpener(nullptr);
    EXPECT_EQ(std::vector<std::wstring>{L"https://www.kelvo.example/"}, opened);
}

// ---------------------------------------------------------------------------------------------
// Focus on disabling

TEST_F(InputTest, DisablingLeavesTheFocusAloneWhenTheButtonDoesNotHaveIt)
{
    Bind(image, IDC_T_IMAGE);
    CWnd* edit = dlg.GetDlgItem(IDC_T_EDIT);
    edit->SetFocus();
    ASSERT_EQ(edit->m_hWnd, GetFocus());
    image.EnableWindow(FALSE);
    Pump(10);
    EXPECT_EQ(edit->m_hWnd, GetFocus());
}

TEST_F(InputTest, DisablingTheFocusedButtonMovesTheFocusToTheNextTabItem)
{
    Bind(image, IDC_T_IMAGE);
    image.SetFocus();
    ASSERT_EQ(image.m_hWnd, GetFocus());
    image.EnableWindow(FALSE);
    Pump(10);
    EXPECT_EQ(dlg.GetDlgItem(IDC_T_BITMAP)->m_hWnd, GetFocus());
}

TEST_F(InputTest, DisablingTheOnlyTabItemFocusesTheParent)
{
    Bind(image, IDC_T_IMAGE);
    for (int id : {IDC_T_PUSH, IDC_T_DEFPUSH, IDC_T_CHECK, IDC_T_HOVER, IDC_T_EDIT, IDC_T_BITMAP, IDC_T_OWNERDRAW})
        dlg.GetDlgItem(id)->EnableWindow(FALSE);
    image.SetFocus();
    ASSERT_EQ(image.m_hWnd, GetFocus());
    image.EnableWindow(FALSE);
    Pump(10);
    EXPECT_EQ(dlg.m_hWnd, GetFocus());
}

// ---------------------------------------------------------------------------------------------
// Tooltip, cursor, menu

TEST_F(InputTest, TooltipIsCreatedWithOneToolForTheButton)
{
    Bind(image, IDC_T_IMAGE);
    image.SetTipText(nullptr);
    EXPECT_FALSE(image.m_tooltip.GetSafeHwnd());
    image.SetTipText(L"hello");
    ASSERT_TRUE(image.m_tooltip.GetSafeHwnd());
    WCHAR className[64] = {};
    GetClassNameW(image.m_tooltip.m_hWnd, className, 64);
    EXPECT_STREQ(TOOLTIPS_CLASSW, className);
    EXPECT_EQ(1, image.m_tooltip.GetToolCount());
    EXPECT_EQ(400, image.m_tooltip.GetMaxTipWidth());
    CString text;
    image.m_tooltip.GetText(text, &image, 1);
    EXPECT_STREQ(L"hello", (LPCTSTR)text);
    image.SetTipText(L"world", FALSE);
    image.SetTipTextById(IDS_T_TIP);
    EXPECT_EQ(1, image.m_tooltip.GetToolCount());
    image.m_tooltip.GetText(text, &image, 1);
    EXPECT_STREQ(L"提示文字", (LPCTSTR)text);
    EXPECT_FALSE(image.m_tooltip.GetStyle() & TTS_BALLOON);
}

TEST_F(InputTest, TooltipIsMadeAtTheFirstMessageAndBalloonOnlyBeforeThat)
{
    Probe<CIconButton> balloon;
    Bind(image, IDC_T_IMAGE);
    Bind(balloon, IDC_T_PUSH);
    balloon.SetBalloonTip();
    EXPECT_FALSE(image.m_tooltip.GetSafeHwnd());
    image.PostMessage(WM_NULL);
    balloon.PostMessage(WM_NULL);
    Pump(10);
    ASSERT_TRUE(image.m_tooltip.GetSafeHwnd());
    EXPECT_EQ(0, image.m_tooltip.GetToolCount());
    ASSERT_TRUE(balloon.m_tooltip.GetSafeHwnd());
    EXPECT_TRUE(balloon.m_tooltip.GetStyle() & TTS_BALLOON);
}

TEST_F(InputTest, ActiveTooltipShowsOverTheButtonAndAnInactiveOneDoesNot)
{
    Bind(image, IDC_T_IMAGE);
    image.SetTipText(L"tip", FALSE);
    image.m_tooltip.SetDelayTime(TTDT_INITIAL, 20);
    MoveMouseTo(CentreOf(image.m_hWnd));
    MoveMouseTo(Offset(CentreOf(image.m_hWnd), 1, 0));
    Pump(200);
    EXPECT_FALSE(image.m_tooltip.IsWindowVisible());
    image.EnableTip(TRUE);
    MoveMouseTo(Offset(CentreOf(image.m_hWnd), 2, 1));
    MoveMouseTo(Offset(CentreOf(image.m_hWnd), 3, 1));
    EXPECT_TRUE(PumpUntil([&] { return image.m_tooltip.IsWindowVisible() != FALSE; }, 1500));
    image.EnableTip(FALSE);
    EXPECT_TRUE(PumpUntil([&] { return !image.m_tooltip.IsWindowVisible(); }));
}

TEST_F(InputTest, OwnCursorIsShownOverTheButton)
{
    Bind(image, IDC_T_IMAGE);
    EXPECT_EQ(0u, image.SetButtonCursor(IDC_T_CURSOR));
    ASSERT_TRUE(image.m_cursor);
    EXPECT_TRUE(image.SendMessage(WM_SETCURSOR, (WPARAM)image.m_hWnd, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(image.m_cursor.get(), GetCursor());
    EXPECT_EQ(0u, image.SetButtonCursor(0));
    EXPECT_FALSE(image.m_cursor);
}

TEST_F(InputTest, PopupMenuNotifiesShowsAtTheBottomLeftAndPostsTheChoice)
{
    Probe<CIconButton> push;
    Bind(push, IDC_T_PUSH);
    constexpr UINT kNotify = WM_APP + 5;
    ASSERT_EQ(0u, push.SetPopupMenu(IDM_T_POPUP, dlg.m_hWnd));
    push.SetMenuNotify(dlg.m_hWnd, kNotify, 77);
    dlg.watched = kNotify;
    UINT flags = 0;
    POINT at = {};
    BOOL openWhileShown = FALSE;
    CMenu::SetTestResponder([&](CMenu&, UINT f, int x, int y) -> UINT {
        flags = f;
        at = POINT{x, y};
        openWhileShown = push.m_menuOpen;
        return ID_T_COMMAND_B;
    });
    push.SendMessage(BM_CLICK);
    Pump(20);
    CMenu::SetTestResponder(nullptr);

    const auto notices = dlg.Messages(kNotify);
    ASSERT_EQ(1u, notices.size());
    EXPECT_EQ(77, notices[0].lParam);
    EXPECT_TRUE(IsMenu((HMENU)notices[0].wParam));
    EXPECT_EQ(ID_T_COMMAND_A, (int)GetMenuItemID((HMENU)notices[0].wParam, 0));
    EXPECT_TRUE(openWhileShown);
    EXPECT_FALSE(push.m_menuOpen);
    EXPECT_TRUE(flags & TPM_RETURNCMD);
    CRect window;
    push.GetWindowRect(&window);
    EXPECT_EQ(window.left, at.x);
    EXPECT_EQ(window.bottom, at.y);
    int chosen = 0;
    for (const auto& l : dlg.log)
        chosen += l.message == WM_COMMAND && LOWORD(l.wParam) == ID_T_COMMAND_B;
    EXPECT_EQ(1, chosen);
    EXPECT_EQ(1, dlg.Clicks(IDC_T_PUSH));
}

// ---------------------------------------------------------------------------------------------
// Transparent mode

TEST_F(InputTest, TransparentButtonShowsTheParentsPixels)
{
    dlg.paint = [&](HDC dc) {
        CRect client;
        dlg.GetClientRect(&client);
        CDC* pDC = CDC::FromHandle(dc);
        pDC->FillSolidRect(0, 0, 200, client.bottom, RGB(255, 0, 255));
        pDC->FillSolidRect(200, 0, client.right - 200, client.bottom, RGB(0, 255, 255));
    };
    Bind(image, IDC_T_IMAGE, 180, 100, 40, 30);
    image.SetBitmapsById(IDB_T_IN, kKey);
    image.SetTransparent(TRUE);
    // The parent paints first; the button then takes the parent's pixels under it.
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Canvas shot(40, 30);
    Snapshot(image, shot);
    EXPECT_EQ(RGB(255, 0, 255), shot.At(2, 2));
    EXPECT_EQ(RGB(0, 255, 255), shot.At(37, 27));
    EXPECT_EQ(RGB(255, 0, 255), shot.At(14, 10));  // a transparent pixel of the bitmap
    EXPECT_EQ(RGB(200, 0, 0), shot.At(16, 12));
    EXPECT_EQ(0, shot.Count(kKey));

    // A background captured from a DC of the owner's choosing.
    CRect client;
    dlg.GetClientRect(&client);
    Canvas source(client.Width(), client.Height(), RGB(1, 2, 3));
    EXPECT_EQ(0u, image.CaptureParentBackground(&source.dc));
    Canvas drawn(40, 30);
    Render(image, 0, drawn);
    EXPECT_EQ(RGB(1, 2, 3), drawn.At(2, 2));
    EXPECT_EQ(RGB(1, 2, 3), drawn.At(14, 10));
}

// ---------------------------------------------------------------------------------------------
// Handles: swaps and destruction free what they replace

TEST_F(InputTest, IconSwapsFreeEveryReplacedIconAndKeepTheGdiCountFlat)
{
    Bind(image, IDC_T_IMAGE);
    Canvas canvas(40, 30);
    image.SetIconPair(IDI_START_BUTTON);
    Render(image, 0, canvas);
    const int before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 100; ++i) {
        HICON oldIn = image.m_icons[0].icon.get();
        HICON oldOut = image.m_icons[1].icon.get();
        const DWORD result = i % 2 ? image.SetIconPair(IDI_PAUSE_BUTTON, 0)
                                   : image.SetIconsById(IDI_T_IN, 0, 0, CIconButton::kGrayCopy);
        ASSERT_EQ(0u, result);
        ASSERT_FALSE(IconAlive(oldIn)) << "swap " << i;
        ASSERT_FALSE(oldOut && IconAlive(oldOut)) << "swap " << i;
        Render(image, i % 3 ? 0 : ODS_DISABLED, canvas);
    }
    image.SetIconPair(IDI_START_BUTTON);
    EXPECT_LE(LiveGdiObjects(), before + 2);
}

TEST_F(InputTest, BitmapSwapsFreeEveryReplacedBitmapAndMask)
{
    Bind(image, IDC_T_IMAGE);
    Canvas canvas(40, 30);
    image.SetBitmapsById(IDB_T_IN, kKey, IDB_T_OUT, kKey);
    Render(image, ODS_DISABLED, canvas);
    const int before = LiveGdiObjects();
    for (int i = 0; i < 100; ++i) {
        const HGDIOBJ old[] = {image.m_bitmaps[0].bitmap.GetSafeHandle(), image.m_bitmaps[0].mask.GetSafeHandle(),
                               image.m_bitmaps[1].bitmap.GetSafeHandle(), image.m_bitmaps[1].mask.GetSafeHandle()};
        const DWORD result = i % 2 ? image.SetBitmapsById(IDB_T_IN, kKey, IDB_T_OUT, kKey)
                                   : image.SetBitmapsById(IDB_T_OUT, kKey, CIconButton::kDarkCopy);
        ASSERT_EQ(0u, result);
        for (HGDIOBJ h : old)
            ASSERT_FALSE(GdiAlive(h)) << "swap " << i;
        Render(image, i % 3 ? 0 : ODS_DISABLED, canvas);
    }
    image.SetBitmapsById(IDB_T_IN, kKey, IDB_T_OUT, kKey);
    EXPECT_LE(LiveGdiObjects(), before + 2);
}

TEST_F(InputTest, RepeatedBackgroundCapturesFreeTheOldOnes)
{
    Bind(image, IDC_T_IMAGE);
    Canvas canvas(40, 30);
    image.SetTransparent();
    Render(image, 0, canvas);
    const int before = LiveGdiObjects();
    for (int i = 0; i < 100; ++i) {
        image.SetTransparent();
        Render(image, 0, canvas);
    }
    EXPECT_LE(LiveGdiObjects(), before + 2);
}

TEST_F(InputTest, DestroyingTheButtonsFreesEverythingTheyOwn)
{
    const int before = LiveGdiObjects();
    auto icons = std::make_unique<Probe<CIconButton>>();
    auto bitmaps = std::make_unique<Probe<CIconButton>>();
    Bind(*icons, IDC_T_IMAGE);
    Bind(*bitmaps, IDC_T_PUSH, 60, 100, 40, 30);
    ASSERT_EQ(0u, icons->SetIconsById(IDI_T_IN, 0, 0, CIconButton::kDarkCopy));
    ASSERT_EQ(0u, icons->SetButtonCursor(IDC_T_CURSOR));
    icons->SetTipText(L"tip");
    icons->SetTransparent();
    ASSERT_EQ(0u, bitmaps->SetBitmapsById(IDB_T_IN, kKey, CIconButton::kGrayCopy));
    Canvas canvas(40, 30);
    Render(*icons, 0, canvas);
    Render(*bitmaps, ODS_DISABLED, canvas);

    const HICON ownedIcons[] = {icons->m_icons[0].icon.get(), icons->m_icons[1].icon.get(), icons->m_cursor.get()};
    const HWND tip = icons->m_tooltip.m_hWnd;
    const HGDIOBJ ownedBitmaps[] = {bitmaps->m_bitmaps[0].bitmap.GetSafeHandle(),
                                    bitmaps->m_bitmaps[0].mask.GetSafeHandle(),
                                    bitmaps->m_bitmaps[1].bitmap.GetSafeHandle(),
                                    bitmaps->m_bitmaps[1].mask.GetSafeHandle()};
    for (HICON h : ownedIcons)
        ASSERT_TRUE(IconAlive(h));
    for (HGDIOBJ h : ownedBitmaps)
        ASSERT_TRUE(GdiAlive(h));
    ASSERT_TRUE(IsWindow(tip));
    EXPECT_GT(LiveGdiObjects(), before);

    icons.reset();
    bitmaps.reset();
    for (HICON h : ownedIcons)
        EXPECT_FALSE(IconAlive(h));
    for (HGDIOBJ h : ownedBitmaps)
        EXPECT_FALSE(GdiAlive(h));
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_LE(LiveGdiObjects(), before + 2);
}

}  // namespace
