// Windows of the class library: handle map, subclassing, message maps and reflection.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/framework.h"

namespace {

constexpr UINT WM_TEST_A = WM_APP + 1;
constexpr UINT WM_TEST_B = WM_APP + 2;
constexpr UINT WM_TEST_UNMAPPED = WM_APP + 3;
constexpr UINT WM_TEST_THROW = WM_APP + 4;

class BaseWnd : public CWnd {
public:
    int baseA = 0, baseB = 0, timers = 0;
    LRESULT OnTestA(WPARAM, LPARAM) { ++baseA; return 11; }
    LRESULT OnTestB(WPARAM w, LPARAM) { ++baseB; return (LRESULT)w * 2; }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    void OnTimer(UINT_PTR id) { timers += (int)id; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
    ON_MESSAGE(WM_TEST_A, OnTestA)
    ON_MESSAGE(WM_TEST_B, OnTestB)
    ON_MESSAGE(WM_TEST_THROW, OnThrow)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
public:
    int derivedA = 0;
    LRESULT OnDerivedA(WPARAM, LPARAM) { ++derivedA; return 22; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
    ON_MESSAGE(WM_TEST_A, OnDerivedA)
END_MESSAGE_MAP()

BOOL CreatePopup(CWnd& wnd, LPCTSTR title = L"test")
{
    return wnd.CreateEx(0, AfxRegisterWndClass(0), title, WS_POPUP, 0, 0, 100, 100, nullptr, nullptr);
}

TEST(MessageMap, MostDerivedHandlerWinsAndBaseTableIsTheFallback)
{
    DerivedWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    EXPECT_EQ(22, wnd.SendMessage(WM_TEST_A));
    EXPECT_EQ(1, wnd.derivedA);
    EXPECT_EQ(0, wnd.baseA);
    EXPECT_EQ(14, wnd.SendMessage(WM_TEST_B, 7));
    EXPECT_EQ(1, wnd.baseB);
    EXPECT_EQ(0, wnd.SendMessage(WM_TEST_UNMAPPED));
    // Window messages arrive with the handler's own signature.
    wnd.SendMessage(WM_TIMER, 5);
    EXPECT_EQ(5, wnd.timers);
    wnd.DestroyWindow();
}

TEST(MessageMap, AnExceptionNeverLeavesTheWindowProcedure)
{
    BaseWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    EXPECT_EQ(0, wnd.SendMessage(WM_TEST_THROW));
    EXPECT_EQ(11, wnd.SendMessage(WM_TEST_A));  // still alive and dispatching
    wnd.DestroyWindow();
}

// A child control that sees its own notifications first.
class ReflectingButton : public CWnd {
public:
    int clicks = 0, notifies = 0, colours = 0;
    BOOL handled = TRUE;  // what the _EX handler answers
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ~ReflectingButton() override { DeleteObject(brush); }
    BOOL OnClicked() { ++clicks; return handled; }
    void OnCustom(NMHDR*, LRESULT* result) { ++notifies; *result = 77; }
    HBRUSH CtlColor(CDC*, UINT type) { ++colours; return type == CTLCOLOR_STATIC ? brush : nullptr; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingButton, CWnd)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustom)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class PlainReflectingButton : public CWnd {
public:
    int clicks = 0;
    void OnClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PlainReflectingButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class ParentWnd : public CWnd {
public:
    int parentClicks = 0, parentNotifies = 0, commands = 0;
    void OnButton() { ++parentClicks; }
    void OnMenuCommand() { ++commands; }
    void OnNotifyCustom(NMHDR*, LRESULT* result) { ++parentNotifies; *result = 5; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ParentWnd, CWnd)
    ON_BN_CLICKED(100, OnButton)
    ON_BN_CLICKED(101, OnButton)
    ON_COMMAND(500, OnMenuCommand)
    ON_NOTIFY(NM_CUSTOMDRAW, 100, OnNotifyCustom)
END_MESSAGE_MAP()

LRESULT SendNotify(CWnd& parent, CWnd& child, UINT code)
{
    NMHDR nm = {child.m_hWnd, (UINT_PTR)child.GetDlgCtrlID(), code};
    return parent.SendMessage(WM_NOTIFY, nm.idFrom, (LPARAM)&nm);
}

TEST(Reflection, ExFormPassesToParentOnlyWhenTheChildReturnsFalse)
{
    ParentWnd parent;
    ASSERT_TRUE(CreatePopup(parent));
    ReflectingButton button;
    ASSERT_TRUE(button.Create(L"BUTTON", L"b", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 50, 20), &parent, 100));
    const WPARAM click = MAKEWPARAM(100, BN_CLICKED);

    parent.SendMessage(WM_COMMAND, click, (LPARAM)button.m_hWnd);
    EXPECT_EQ(1, button.clicks);
    EXPECT_EQ(0, parent.parentClicks);

    button.handled = FALSE;
    parent.SendMessage(WM_COMMAND, click, (LPARAM)button.m_hWnd);
    EXPECT_EQ(2, button.clicks);
    EXPECT_EQ(1, parent.parentClicks);
    parent.DestroyWindow();
}

TEST(Reflection, PlainFormKeepsTheNotificationFromTheParent)
{
    ParentWnd parent;
    ASSERT_TRUE(CreatePopup(parent));
    PlainReflectingButton button;
    ASSERT_TRUE(button.Create(L"BUTTON", L"b", WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 101));
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), (LPARAM)button.m_hWnd);
    EXPECT_EQ(1, button.clicks);
    EXPECT_EQ(0, parent.parentClicks);
    // A menu command (no control) goes straight to the map.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(500, 0), 0);
    EXPECT_EQ(1, parent.commands);
    parent.DestroyWindow();
}

TEST(Reflection, NotifyAndCtlColorReachTheChildFirst)
{
    ParentWnd parent;
    ASSERT_TRUE(CreatePopup(parent));
    ReflectingButton button;
    ASSERT_TRUE(button.Create(L"BUTTON", L"b", WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 100));

    EXPECT_EQ(77, SendNotify(parent, button, NM_CUSTOMDRAW));
    EXPECT_EQ(1, button.notifies);
    EXPECT_EQ(0, parent.parentNotifies);

    HDC dc = GetDC(parent.m_hWnd);
    LRESULT brush = parent.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)button.m_hWnd);
    EXPECT_EQ((LRESULT)button.brush, brush);
    EXPECT_EQ(1, button.colours);
    // The child gives no brush for buttons: the default procedure's colours apply.
    brush = parent.SendMessage(WM_CTLCOLORBTN, (WPARAM)dc, (LPARAM)button.m_hWnd);
    EXPECT_EQ(2, button.colours);
    EXPECT_NE((LRESULT)button.brush, brush);
    EXPECT_NE(0, brush);
    ReleaseDC(parent.m_hWnd, dc);
    parent.DestroyWindow();
}

class SubclassProbe : public CWnd {
public:
    bool procWasOursInPreSubclass = true;
    int lbuttons = 0;
    void PreSubclassWindow() override
    {
        procWasOursInPreSubclass = (WNDPROC)GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == &AfxWndProc;
    }
    void OnLButtonDown(UINT, CPoint point) { lbuttons += point.x; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SubclassProbe, CWnd)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

TEST(Subclassing, PreSubclassRunsBeforeTheProcedureIsSwappedAndUnsubclassRestoresIt)
{
    HWND hWnd = CreateWindowExW(0, L"STATIC", L"s", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hWnd);
    WNDPROC original = (WNDPROC)GetWindowLongPtrW(hWnd, GWLP_WNDPROC);
    SubclassProbe probe;
    ASSERT_TRUE(probe.SubclassWindow(hWnd));
    EXPECT_FALSE(probe.procWasOursInPreSubclass);
    EXPECT_EQ(&probe, CWnd::FromHandlePermanent(hWnd));
    SendMessageW(hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(7, 3));
    EXPECT_EQ(7, probe.lbuttons);
    // A second object cannot take the same window.
    SubclassProbe other;
    EXPECT_FALSE(other.SubclassWindow(hWnd));

    EXPECT_EQ(hWnd, probe.UnsubclassWindow());
    EXPECT_EQ(original, (WNDPROC)GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    DestroyWindow(hWnd);
}

class SelfDeletingWnd : public CWnd {
public:
    static int deleted;
    void PostNcDestroy() override
    {
        ++deleted;
        delete this;
    }
};
int SelfDeletingWnd::deleted = 0;

TEST(Destruction, PostNcDestroyRunsOnceAndDestroyIsSafeWhenTheHandleIsGone)
{
    auto* wnd = new SelfDeletingWnd;
    ASSERT_TRUE(CreatePopup(*wnd));
    HWND hWnd = wnd->m_hWnd;
    ::DestroyWindow(hWnd);  // from outside the object
    EXPECT_EQ(1, SelfDeletingWnd::deleted);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));

    CWnd plain;
    ASSERT_TRUE(CreatePopup(plain));
    ::DestroyWindow(plain.m_hWnd);
    EXPECT_EQ(nullptr, plain.m_hWnd);
    EXPECT_FALSE(plain.DestroyWindow());

    // An attached (not subclassed) window is let go when destroyed through the object.
    HWND raw = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    CWnd attached;
    ASSERT_TRUE(attached.Attach(raw));
    EXPECT_TRUE(attached.DestroyWindow());
    EXPECT_EQ(nullptr, attached.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(raw));
}

TEST(Destruction, AnObjectDestroyedFirstTakesItsWindowAlong)
{
    HWND hWnd;
    {
        CWnd wnd;
        ASSERT_TRUE(CreatePopup(wnd));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(HandleMap, TemporaryObjectsStandForForeignWindowsUntilTheyAreGone)
{
    HWND hWnd = CreateWindowExW(0, L"STATIC", L"外部", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd* temp = CWnd::FromHandle(hWnd);
    ASSERT_NE(nullptr, temp);
    EXPECT_EQ(temp, CWnd::FromHandle(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    CString text;
    temp->GetWindowText(text);
    EXPECT_STREQ(L"外部", (LPCTSTR)text);
    DestroyWindow(hWnd);
    CWnd::DeleteTempMap();
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
}

TEST(Pumping, PumpMessageReportsQuitAndPostsItAgain)
{
    CWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    wnd.PostMessage(WM_NULL);
    PostQuitMessage(3);
    EXPECT_TRUE(AfxPumpMessage());
    EXPECT_FALSE(AfxPumpMessage());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3, (int)msg.wParam);
    wnd.DestroyWindow();
}

}  // namespace
