// Dialogs of the class library: the modal loop, keyboard routing, data exchange, modeless life.
#include <gtest/gtest.h>

#include "framework/framework.h"
#include "test_framework_ids.h"

namespace {

constexpr UINT ID_END_WITH_42 = 4242;

// An edit box that takes Enter for itself, as in-place editors do.
class EnterEatingEdit : public CWnd {
public:
    int enters = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
            ++enters;
            return TRUE;
        }
        return CWnd::PreTranslateMessage(pMsg);
    }
};

class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(IDD_TEST_DIALOG, parent) {}
    EnterEatingEdit m_edit;
    int oks = 0, cancels = 0;
    bool boundAtInit = false;
    bool ownerDisabledAtInit = false;
    HWND owner = nullptr;
    std::function<void(TestDialog&)> script;  // posts the input the test wants to run

    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_TEST_EDIT, m_edit);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        boundAtInit = m_edit.m_hWnd == ::GetDlgItem(m_hWnd, IDC_TEST_EDIT) &&
                      CWnd::FromHandlePermanent(m_edit.m_hWnd) == &m_edit;
        ownerDisabledAtInit = owner && !::IsWindowEnabled(owner);
        if (script)
            script(*this);
        return TRUE;
    }
    void OnOK() override
    {
        ++oks;
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++cancels;
        CDialog::OnCancel();
    }
    void OnEnd42() { EndDialog(42); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
    ON_COMMAND(ID_END_WITH_42, OnEnd42)
END_MESSAGE_MAP()

void PostKey(HWND hWnd, UINT vk, bool alt = false)
{
    LPARAM lParam = 1 | (alt ? (1 << 29) : 0);
    PostMessageW(hWnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, lParam);
    PostMessageW(hWnd, alt ? WM_SYSKEYUP : WM_KEYUP, vk, lParam | (1u << 30) | (1u << 31));
}

TEST(ModalDialog, EndsWithTheValueOfEndDialogFromAPostedCommand)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr));
    TestDialog dlg(&owner);
    dlg.owner = owner.m_hWnd;
    dlg.script = [](TestDialog& d) { d.PostMessage(WM_COMMAND, ID_END_WITH_42); };
    EXPECT_EQ(42, dlg.DoModal());
    EXPECT_TRUE(dlg.boundAtInit);
    EXPECT_TRUE(dlg.ownerDisabledAtInit);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_edit.m_hWnd);  // the control went with its dialog
    owner.DestroyWindow();
}

TEST(ModalDialog, ChildSeesEnterInPreTranslateMessageBeforeTheDialog)
{
    TestDialog dlg;
    dlg.script = [](TestDialog& d) {
        PostKey(d.m_edit.m_hWnd, VK_RETURN);
        d.PostMessage(WM_COMMAND, ID_END_WITH_42);
    };
    EXPECT_EQ(42, dlg.DoModal());
    EXPECT_EQ(1, dlg.m_edit.enters);
    EXPECT_EQ(0, dlg.oks);
}

TEST(ModalDialog, EnterOnAButtonReachesOnOK)
{
    TestDialog dlg;
    dlg.script = [](TestDialog& d) {
        HWND button = ::GetDlgItem(d.m_hWnd, IDC_TEST_BUTTON);
        ::SetFocus(::GetDlgItem(d.m_hWnd, IDOK));
        (void)button;
        PostKey(::GetDlgItem(d.m_hWnd, IDOK), VK_RETURN);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, dlg.oks);
    EXPECT_EQ(0, dlg.m_edit.enters);
}

TEST(ModalDialog, EscapeCloseAndAltF4ReachOnCancel)
{
    {
        TestDialog dlg;
        dlg.script = [](TestDialog& d) { PostKey(d.m_edit.m_hWnd, VK_ESCAPE); };
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(1, dlg.cancels);
    }
    {
        TestDialog dlg;
        dlg.script = [](TestDialog& d) { d.PostMessage(WM_CLOSE); };
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(1, dlg.cancels);
    }
    {
        TestDialog dlg;
        dlg.script = [](TestDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); };
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(1, dlg.cancels);
    }
}

TEST(ModalDialog, QuitMessageEndsTheLoopAndIsPassedOn)
{
    TestDialog dlg;
    dlg.script = [](TestDialog&) { PostQuitMessage(9); };
    EXPECT_EQ(-1, dlg.DoModal());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(9, (int)msg.wParam);
}

TEST(ModalDialog, MissingTemplateFailsWithoutALoop)
{
    CDialog dlg(9999);
    EXPECT_EQ(-1, dlg.DoModal());
}

class ModelessDialog : public CDialog {
public:
    int inits = 0;
    BOOL OnInitDialog() override
    {
        ++inits;
        return CDialog::OnInitDialog();
    }
};

TEST(ModelessDialog, FollowsTheTemplateVisibilityAndCancelOnlyHides)
{
    ModelessDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_MODELESS));
    EXPECT_EQ(1, dlg.inits);
    EXPECT_FALSE(dlg.IsWindowVisible());
    dlg.ShowWindow(SW_SHOW);
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_TRUE(dlg.IsWindow());
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(Application, MessageBoxesCanBeAnsweredAndStringIdsLoadTheirText)
{
    CString seen;
    AfxSetMessageBoxResponder([&](LPCTSTR text, UINT) {
        seen = text;
        return IDYES;
    });
    EXPECT_EQ(IDYES, AfxMessageBox(IDS_TEST_TEXT, MB_YESNO));
    EXPECT_STREQ(L"无效GIF格式，请检查。", (LPCTSTR)seen);
    AfxSetMessageBoxResponder(nullptr);
}

TEST(Application, RegisteredWindowClassesAreSharedPerStyle)
{
    LPCTSTR a = AfxRegisterWndClass(CS_DBLCLKS);
    LPCTSTR b = AfxRegisterWndClass(CS_DBLCLKS);
    LPCTSTR c = AfxRegisterWndClass(0);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(a, b);
    EXPECT_STRNE(a, c);
    WNDCLASSW wc;
    EXPECT_TRUE(GetClassInfoW(AfxGetInstanceHandle(), a, &wc));
    EXPECT_EQ((UINT)CS_DBLCLKS, wc.style);
}

}  // namespace

namespace {

class ScriptedApp : public CWinApp {
public:
    BOOL initResult = FALSE;
    int inits = 0, exits = 0, runs = 0;
    BOOL InitInstance() override
    {
        ++inits;
        if (initResult)
            PostQuitMessage(0);  // lets the message loop end at once
        return initResult;
    }
    int ExitInstance() override
    {
        ++exits;
        return 7;
    }
    int Run() override
    {
        ++runs;
        return CWinApp::Run();
    }
};

TEST(Application, EntrySkipsTheMessageLoopWhenInitInstanceReturnsFalse)
{
    ScriptedApp app;
    ASSERT_EQ(&app, AfxGetApp());
    EXPECT_EQ(7, AfxWinMain(GetModuleHandleW(nullptr), nullptr, (LPTSTR)L"", SW_SHOW));
    EXPECT_EQ(1, app.inits);
    EXPECT_EQ(0, app.runs);
    EXPECT_EQ(1, app.exits);
    // With TRUE the loop runs until WM_QUIT, then ExitInstance.
    app.initResult = TRUE;
    EXPECT_EQ(7, AfxWinMain(GetModuleHandleW(nullptr), nullptr, (LPTSTR)L"", SW_SHOW));
    EXPECT_EQ(1, app.runs);
    EXPECT_EQ(2, app.exits);
    EXPECT_STRNE(L"", AfxGetAppName());
}

}  // namespace
