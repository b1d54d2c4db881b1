// The progress window as a real window on the display: its parts, the modal state over every
// top-level window of the thread, cancelling, the message pump, the caption's percentage, the
// bounded text and the position kept in the profile.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "framework/framework.h"
#include "tests/test_pump.h"
#include "controls/progress_wnd.h"

namespace {

CWinApp g_app(L"kelvo progress test");

std::wstring TextOf(HWND hWnd)
{
    wchar_t text[1024] = L"";
    ::GetWindowTextW(hWnd, text, 1024);
    return text;
}

CRect WindowRectOf(HWND hWnd)
{
    CRect r;
    ::GetWindowRect(hWnd, &r);
    return r;
}

std::set<HWND> EnabledThreadWindows()
{
    std::set<HWND> windows;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM param) -> BOOL {
            if (::IsWindowEnabled(hWnd))
                reinterpret_cast<std::set<HWND>*>(param)->insert(hWnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A top-level window that counts the WM_APP messages it gets; with `repost` it posts itself
// another one from each, so its queue never runs dry.
class CountingWnd : public CWnd {
public:
    int count = 0;
    bool repost = false;

    bool Make(LPCTSTR caption, int x)
    {
        return CreateEx(0, AfxRegisterWndClass(0), caption, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, x, 100, 300, 200,
                        nullptr, nullptr) != FALSE;
    }

protected:
    LRESULT OnApp(WPARAM, LPARAM)
    {
        ++count;
        if (repost)
            PostMessage(WM_APP);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingWnd, CWnd)
    ON_MESSAGE(WM_APP, OnApp)
END_MESSAGE_MAP()

class ProgressWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        profilePath.Format(L"%skelvo_progress_%lu.ini", folder, ::GetCurrentProcessId());
        ::DeleteFileW(profilePath);
        g_app.m_pszProfileName = profilePath;
        ASSERT_TRUE(mainWnd.Make(L"main", 50));
        ASSERT_TRUE(otherWnd.Make(L"other", 400));
        g_app.m_pMainWnd = &mainWnd;
        Pump();
    }

    void TearDown() override
    {
        g_app.m_pMainWnd = nullptr;
        mainWnd.DestroyWindow();
        otherWnd.DestroyWindow();
        Pump();
        g_app.m_pszProfileName = nullptr;
        ::DeleteFileW(profilePath);
    }

    void WriteProfile(LPCTSTR x, LPCTSTR y)
    {
        ::WritePrivateProfileStringW(L"ProgressWndSettings", L"X", x, profilePath);
        ::WritePrivateProfileStringW(L"ProgressWndSettings", L"Y", y, profilePath);
    }

    std::wstring ReadProfile(LPCTSTR key)
    {
        wchar_t value[64] = L"";
        ::GetPrivateProfileStringW(L"ProgressWndSettings", key, L"", value, 64, profilePath);
        return value;
    }

    // The window's top-left corner when centred over the monitor's work area (no visible owner).
    CPoint CentredCorner(HWND hWnd)
    {
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info);
        CRect r = WindowRectOf(hWnd);
        return CPoint(info.rcWork.left + (info.rcWork.right - info.rcWork.left - r.Width()) / 2,
                      info.rcWork.top + (info.rcWork.bottom - info.rcWork.top - r.Height()) / 2);
    }

    CString profilePath;
    CountingWnd mainWnd;
    CountingWnd otherWnd;
};

TEST_F(ProgressWindow, ConstructionShowsTextBarAndCancelButtonLaidOut)
{
    CProgressWnd progress(nullptr, L"导入GIF", TRUE);
    ASSERT_TRUE(progress.IsWindow());
    EXPECT_TRUE(progress.IsWindowVisible());
    EXPECT_EQ(::GetWindow(progress.m_hWnd, GW_OWNER), mainWnd.m_hWnd);
    EXPECT_EQ(TextOf(progress.m_hWnd), std::wstring(L"导入GIF"));
    // Centred over the narrower owner near the screen's edge, yet wholly on the work area.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(progress.m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const CRect placed = WindowRectOf(progress.m_hWnd);
    EXPECT_GE(placed.left, monitor.rcWork.left);
    EXPECT_GE(placed.top, monitor.rcWork.top);
    EXPECT_NEAR(placed.CenterPoint().y, WindowRectOf(mainWnd.m_hWnd).CenterPoint().y, 1);

    HWND text = ::GetDlgItem(progress.m_hWnd, CProgressWnd::IDC_PROGRESS_TEXT);
    HWND bar = ::GetDlgItem(progress.m_hWnd, CProgressWnd::IDC_PROGRESS_BAR);
    HWND button = ::GetDlgItem(progress.m_hWnd, CProgressWnd::IDC_PROGRESS_CANCEL);
    ASSERT_TRUE(text && bar && button);
    EXPECT_EQ(TextOf(button), std::wstring(L" Cancel "));
    EXPECT_TRUE(::IsWindowEnabled(button));
    EXPECT_TRUE(::GetWindowLongW(bar, GWL_STYLE) & PBS_SMOOTH);

    // Text on top; the bar and then the button in one row below it, all inside the client area.
    CRect client;
    progress.GetClientRect(&client);
    progress.ClientToScreen(&client);
    CRect t = WindowRectOf(text), b = WindowRectOf(bar), k = WindowRectOf(button);
    EXPECT_LT(t.bottom, k.top);
    EXPECT_LT(b.right, k.left);
    EXPECT_GT(b.top, t.bottom);
    EXPECT_GT(b.Height(), 0);
    EXPECT_GT(b.Width(), k.Width());
    for (const CRect& part : {t, b, k}) {
        EXPECT_GE(part.left, client.left);
        EXPECT_GE(part.top, client.top);
        EXPECT_LE(part.right, client.right + 1);
        EXPECT_LE(part.bottom, client.bottom);
    }
    // Room for four lines of text.
    CClientDC dc(&progress);
    HGDIOBJ old = dc.SelectObject((HGDIOBJ)::SendMessageW(text, WM_GETFONT, 0, 0));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc.m_hDC, &metrics);
    dc.SelectObject(old);
    EXPECT_GE(t.Height(), 4 * metrics.tmHeight);
}

TEST_F(ProgressWindow, ModalDisablesEveryTopLevelWindowOfTheThreadAndEnablesThemAfter)
{
    CountingWnd alreadyDisabled;
    ASSERT_TRUE(alreadyDisabled.Make(L"disabled", 700));
    alreadyDisabled.EnableWindow(FALSE);
    const std::set<HWND> enabledBefore = EnabledThreadWindows();
    ASSERT_TRUE(enabledBefore.count(mainWnd.m_hWnd) && enabledBefore.count(otherWnd.m_hWnd));

    {
        CProgressWnd progress(&mainWnd, L"Job");
        ASSERT_TRUE(progress.BeginModal(L"Job"));
        EXPECT_TRUE(progress.IsModal());
        EXPECT_FALSE(mainWnd.IsWindowEnabled());
        EXPECT_FALSE(otherWnd.IsWindowEnabled());  // not an ancestor, disabled all the same
        EXPECT_TRUE(progress.IsWindowEnabled());
        for (HWND w : EnabledThreadWindows())
            EXPECT_EQ(w, progress.m_hWnd) << "still enabled: " << TextOf(w);
        // A second BeginModal changes nothing.
        ASSERT_TRUE(progress.BeginModal(L"Job"));
        progress.EndModal();
        EXPECT_FALSE(progress.IsModal());
        EXPECT_EQ(EnabledThreadWindows().size(), enabledBefore.size() + 1);

        ASSERT_TRUE(progress.BeginModal(L"Job"));
        EXPECT_FALSE(otherWnd.IsWindowEnabled());
    }  // deleted while modal
    EXPECT_EQ(EnabledThreadWindows(), enabledBefore);
    EXPECT_FALSE(alreadyDisabled.IsWindowEnabled());
    alreadyDisabled.DestroyWindow();
}

TEST_F(ProgressWindow, ReleaseOverCancelButtonDuringModalJobCancelsAndClosesTheWindow)
{
    auto progress = std::make_unique<CProgressWnd>(&mainWnd, L"Job");
    ASSERT_TRUE(progress->BeginModal(L"Job"));
    progress->SetRange(0, 100, 1);
    Pump();

    // A release reaches the pump with the cursor over the button.
    CRect button = WindowRectOf(progress->cancelButton.m_hWnd);
    ASSERT_TRUE(::SetCursorPos(button.CenterPoint().x, button.CenterPoint().y));
    progress->cancelButton.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    for (int i = 0; i < 20 && !progress->IsCancelled(); ++i) {
        progress->StepIt();
        progress->PumpMessages();
        ::Sleep(10);
    }
    EXPECT_TRUE(progress->IsCancelled());
    EXPECT_FALSE(progress->IsWindowVisible());
    // The close posted on cancelling ends the window and the modal state.
    Pump(200);
    EXPECT_FALSE(progress->IsWindow());
    EXPECT_TRUE(mainWnd.IsWindowEnabled());
    EXPECT_TRUE(otherWnd.IsWindowEnabled());
    // Cancelling saved the position.
    EXPECT_FALSE(ReadProfile(L"X").empty());
    progress.reset();
    EXPECT_TRUE(mainWnd.IsWindowEnabled());
}

TEST_F(ProgressWindow, ClickingCancelSetsIsCancelledAndThePumpStopsAtOnce)
{
    CProgressWnd progress(&mainWnd, L"Job");
    EXPECT_FALSE(progress.IsCancelled());
    progress.cancelButton.SendMessage(BM_CLICK);
    EXPECT_TRUE(progress.IsCancelled());
    EXPECT_FALSE(progress.IsWindowVisible());
    // Not modal: the window stays until the job deletes it.
    Pump();
    EXPECT_TRUE(progress.IsWindow());

    mainWnd.PostMessage(WM_APP);
    progress.PumpMessages();
    EXPECT_EQ(mainWnd.count, 0);
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, mainWnd.m_hWnd, WM_APP, WM_APP, PM_NOREMOVE));

    progress.Clear();
    EXPECT_FALSE(progress.IsCancelled());
    progress.PumpMessages();
    EXPECT_EQ(mainWnd.count, 1);
}

TEST_F(ProgressWindow, PumpMessagesDispatchesPostedMessagesAndLeavesQuitForTheOwnerLoop)
{
    CProgressWnd progress(&mainWnd, L"Job");
    ASSERT_TRUE(progress.BeginModal(L"Job"));
    for (int i = 0; i < 5; ++i)
        otherWnd.PostMessage(WM_APP);
    progress.PumpMessages();
    EXPECT_EQ(otherWnd.count, 5);
    EXPECT_EQ(::GetFocus(), progress.m_hWnd);

    ::PostQuitMessage(7);
    progress.PumpMessages();
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(ProgressWindow, PumpMessagesReturnsWhileAnotherWindowKeepsItsQueueFull)
{
    CProgressWnd progress(&mainWnd, L"Job");
    otherWnd.repost = true;
    otherWnd.PostMessage(WM_APP);
    const DWORD start = ::GetTickCount();
    progress.PumpMessages();
    EXPECT_LT(::GetTickCount() - start, 2000u);
    EXPECT_GT(otherWnd.count, 1);
    otherWnd.repost = false;
    Pump();
}

TEST_F(ProgressWindow, CaptionShowsThePercentageAndChangesOnlyWithIt)
{
    CProgressWnd progress(&mainWnd, L"Title");
    progress.SetRange(0, 10, 1);
    int previous = -1;
    for (int i = 0; i < 5; ++i)
        previous = progress.StepIt();
    EXPECT_EQ(previous, 4);
    EXPECT_EQ(TextOf(progress.m_hWnd), std::wstring(L"Title [50%]"));
    EXPECT_EQ((int)progress.bar.SendMessage(PBM_GETPOS), 5);

    progress.SetWindowText(L"marker");
    progress.SetPos(5);
    EXPECT_EQ(TextOf(progress.m_hWnd), std::wstring(L"marker"));
    progress.SetPos(6);
    EXPECT_EQ(TextOf(progress.m_hWnd), std::wstring(L"Title [60%]"));

    // An empty range shows 0 %, whatever the position.
    progress.SetRange(5, 5, 1);
    progress.SetPos(9);
    EXPECT_EQ(TextOf(progress.m_hWnd), std::wstring(L"Title [0%]"));
    progress.SetWindowText(L"marker");
    progress.SetPos(100);
    EXPECT_EQ(TextOf(progress.m_hWnd), std::wstring(L"marker"));

    EXPECT_EQ(progress.SetStep(3), 1);
    EXPECT_EQ(progress.SetStep(2), 3);
}

TEST_F(ProgressWindow, TextIsFormattedAndCutTo511Characters)
{
    CProgressWnd progress(&mainWnd, L"Job");
    progress.SetText(L"第 %d / %d 帧 %s", 3, 10, L"完成");
    EXPECT_EQ(TextOf(progress.text.m_hWnd), std::wstring(L"第 3 / 10 帧 完成"));

    const std::wstring longText(2000, L'x');
    progress.SetText(L"%s", longText.c_str());
    EXPECT_EQ(TextOf(progress.text.m_hWnd), std::wstring(511, L'x'));

    // The cut never leaves half of a surrogate pair.
    std::wstring pair = std::wstring(510, L'y') + L"\xD83D\xDE00" + L"zzz";
    progress.SetText(L"%s", pair.c_str());
    EXPECT_EQ(TextOf(progress.text.m_hWnd), std::wstring(510, L'y'));
}

TEST_F(ProgressWindow, WithoutAWindowOnlyTheStepIsStored)
{
    CProgressWnd progress;
    EXPECT_FALSE(progress.IsWindow());
    progress.SetRange(0, 10, 5);
    progress.SetText(L"nothing");
    EXPECT_EQ(progress.SetPos(7), 0);
    EXPECT_EQ(progress.StepIt(), 0);
    EXPECT_EQ(progress.SetStep(4), 1);
    EXPECT_EQ(progress.SetStep(4), 4);
    progress.PumpMessages();

    // BeginModal makes the window, owned by the main window.
    ASSERT_TRUE(progress.BeginModal(L"Later"));
    EXPECT_EQ(::GetWindow(progress.m_hWnd, GW_OWNER), mainWnd.m_hWnd);
    EXPECT_EQ(TextOf(progress.m_hWnd), std::wstring(L"Later"));
    EXPECT_FALSE(mainWnd.IsWindowEnabled());
    progress.DestroyWindow();
    EXPECT_TRUE(mainWnd.IsWindowEnabled());
    EXPECT_FALSE(progress.IsModal());
}

TEST_F(ProgressWindow, PositionIsSavedInTheProfileAndRestored)
{
    {
        CProgressWnd progress(&mainWnd, L"Job");
        progress.SetWindowPos(nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    EXPECT_EQ(ReadProfile(L"X"), std::wstring(L"123"));
    EXPECT_EQ(ReadProfile(L"Y"), std::wstring(L"77"));

    CProgressWnd again(&mainWnd, L"Job");
    EXPECT_EQ(WindowRectOf(again.m_hWnd).TopLeft(), CPoint(123, 77));
}

TEST_F(ProgressWindow, SavedPositionOffTheScreenOrMissingCentresTheWindow)
{
    // No visible owner: centred on the monitor.
    g_app.m_pMainWnd = nullptr;
    const wchar_t* cases[][2] = {{L"-1", L"40"}, {L"99999", L"40"}, {L"40", L"-3"}, {L"40", L"99999"}, {L"", L""}};
    for (const auto& c : cases) {
        WriteProfile(c[0], c[1]);
        CProgressWnd progress(nullptr, L"Job");
        EXPECT_EQ(WindowRectOf(progress.m_hWnd).TopLeft(), CentredCorner(progress.m_hWnd))
            << "X=" << std::wstring(c[0]) << " Y=" << std::wstring(c[1]);
    }
}

TEST_F(ProgressWindow, WindowsAreEnabledAgainWhenTheOwnerTakesTheWindowWithIt)
{
    CProgressWnd progress(&mainWnd, L"Job");
    ASSERT_TRUE(progress.BeginModal(L"Job"));
    EXPECT_FALSE(otherWnd.IsWindowEnabled());
    g_app.m_pMainWnd = nullptr;
    mainWnd.DestroyWindow();  // destroys the windows it owns
    EXPECT_FALSE(progress.IsWindow());
    EXPECT_TRUE(otherWnd.IsWindowEnabled());
    EXPECT_FALSE(progress.IsModal());
}

}  // namespace
