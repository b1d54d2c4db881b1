// Link labels under real mouse input: a click hands the address to the process's opener, an
// address that is not a web page starts nothing, the hover comes and goes, and the plain link
// label only tells its parent once it has a message to post.
#include <gtest/gtest.h>

#include <vector>

#include "controls/link_label.h"
#include "controls/open_address.h"
#include "framework/app.h"
#include "tests/controls/buttons_test_util.h"

using namespace buttons_test;

namespace {

constexpr UINT kLinkMessage = WM_APP + 17;

// The parent of the labels: counts the link message it receives.
class Host : public CWnd {
public:
    Host()
    {
        CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1)), L"links",
                 WS_POPUP | WS_VISIBLE, 60, 60, 400, 200, nullptr, nullptr);
    }
    ~Host() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
    int linkMessages = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kLinkMessage)
            ++linkMessages;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class LinkLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.m_hWnd);
        SetForegroundWindow(host.m_hWnd);
        SetAddressOpener([this](LPCTSTR address, int) {
            opened.push_back(address);
            return (INT_PTR)42;
        });
        AfxSetMessageBoxResponder([this](LPCTSTR text, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        MoveMouseTo(Away());
    }
    void TearDown() override
    {
        SetAddressOpener(nullptr);
        AfxSetMessageBoxResponder(nullptr);
    }
    // A static child of the host bound to the label object.
    void Bind(CWnd& label, LPCTSTR text, int y = 20)
    {
        HWND child = ::CreateWindowExW(0, L"Static", text, WS_CHILD | WS_VISIBLE, 20, y, 300, 30, host.m_hWnd,
                                       (HMENU)(INT_PTR)(800 + y), nullptr, nullptr);
        ASSERT_TRUE(child);
        ASSERT_TRUE(label.SubclassWindow(child));
        label.UpdateWindow();
    }
    POINT Away()
    {
        CPoint p(380, 180);
        host.ClientToScreen(&p);
        return p;
    }

    Host host;
    std::vector<CString> opened;
    std::vector<CString> boxes;
};

TEST_F(LinkLabelTest, ClickHandsTheAddressToTheOpenerAndMarksTheLinkVisited)
{
    CUrlLabel label;
    Bind(label, L"主页");
    label.SetLinkTarget(L"https://www.kelvo.example/下载");
    // The window shrank to its text.
    CRect place;
    label.GetWindowRect(&place);
    EXPECT_LT(place.Width(), 300);
    EXPECT_LT(place.Height(), 30);

    // Hovered while the mouse is on it; over at a tick after it leaves.
    MoveMouseTo(CentreOf(label.m_hWnd));
    EXPECT_TRUE(PumpUntil([&] { return label.IsHovered(); }, 300));
    MoveMouseTo(Away());
    EXPECT_TRUE(PumpUntil([&] { return !label.IsHovered(); }, 1000));

    Click(CentreOf(label.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return !opened.empty(); }));
    ASSERT_EQ(1u, opened.size());
    EXPECT_STREQ(L"https://www.kelvo.example/下载", (LPCTSTR)opened[0]);
    EXPECT_TRUE(label.GetVisited());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LinkLabelTest, TextNamingAProgramIsNeverOpened)
{
    for (LPCTSTR text : {L"C:\\windows\\system32\\notepad.exe", L"file:///C:/windows/win.ini", L"calc"}) {
        CUrlLabel label;
        Bind(label, text);  // no address given: the label opens its own text
        EXPECT_STREQ(text, (LPCTSTR)label.GetLinkTarget());
        Click(CentreOf(label.m_hWnd));
        ASSERT_TRUE(PumpUntil([&] { return !boxes.empty(); })) << text;
        EXPECT_TRUE(opened.empty()) << text;
        EXPECT_FALSE(label.GetVisited());
        EXPECT_STREQ(L"Unable to open hyperlink:\n\nThe operating system denied\naccess to the specified file.",
                     (LPCTSTR)boxes.back());
        boxes.clear();
        label.DestroyWindow();
    }
}

TEST_F(LinkLabelTest, PlainLinkLabelPostsOnlyOnceItHasAMessage)
{
    CLinkLabel label;
    Bind(label, L"更多");
    Click(CentreOf(label.m_hWnd));
    Pump(100);
    EXPECT_EQ(0, host.linkMessages);

    label.SetNotifyMessage(kLinkMessage);
    Sleep(GetDoubleClickTime() + 50);  // a second click at once would be a double click
    Click(CentreOf(label.m_hWnd));
    EXPECT_TRUE(PumpUntil([&] { return host.linkMessages == 1; }));
    EXPECT_FALSE(label.GetVisited());
    EXPECT_TRUE(opened.empty());
}

TEST(LinkAddress, OnlyWebAddressesWithoutQuotesOrControlCharactersAreOpened)
{
    EXPECT_TRUE(IsWebAddress(L"https://www.kelvo.example/"));
    EXPECT_TRUE(IsWebAddress(L"HTTP://x"));
    EXPECT_FALSE(IsWebAddress(L"http://"));
    EXPECT_FALSE(IsWebAddress(L"ftp://x"));
    EXPECT_FALSE(IsWebAddress(L"calc.exe"));
    EXPECT_FALSE(IsWebAddress(L"http://a\" & calc.exe & \""));
    EXPECT_FALSE(IsWebAddress(L"http://a\r\nb"));
    EXPECT_FALSE(IsWebAddress(nullptr));

    std::vector<CString> opened;
    SetAddressOpener([&](LPCTSTR address, int) {
        opened.push_back(address);
        return (INT_PTR)42;
    });
    EXPECT_EQ(SE_ERR_ACCESSDENIED, CUrlLabel::OpenUrl(L"cmd.exe /c calc", SW_SHOW));
    EXPECT_EQ(42, CUrlLabel::OpenUrl(L"http://x.example/", SW_SHOW));
    SetAddressOpener(nullptr);
    EXPECT_EQ(1u, opened.size());
}

TEST(LinkAddress, BrowserCommandQuotesTheAddressInPlaceOfItsPlaceholder)
{
    CString command;
    ASSERT_TRUE(CUrlLabel::BuildBrowserCommand(L"\"C:\\Program Files\\Web\\web.exe\" -nohome \"%1\" -extra",
                                               L"https://例子.example/页", &command));
    EXPECT_STREQ(L"\"C:\\Program Files\\Web\\web.exe\" -nohome \"https://例子.example/页\"", (LPCTSTR)command);
    ASSERT_TRUE(CUrlLabel::BuildBrowserCommand(L"web.exe %1", L"http://a.example/?q=1&r=2", &command));
    EXPECT_STREQ(L"web.exe \"http://a.example/?q=1&r=2\"", (LPCTSTR)command);
    ASSERT_TRUE(CUrlLabel::BuildBrowserCommand(L"web.exe", L"http://a.example/", &command));
    EXPECT_STREQ(L"web.exe \"http://a.example/\"", (LPCTSTR)command);
    EXPECT_FALSE(CUrlLabel::BuildBrowserCommand(L"web.exe \"%1\"", L"http://a\" calc.exe \"", &command));
}

}  // namespace
