// Link labels under real mouse input: a click hands the address to the process's opener, an
// address that is not a web page starts nothing, and the plain link label only tells its parent
// once it has a message to post.
#include <gtest/gtest.h>

#include <vector>

#include "controls/link_label.h"
#include "controls/open_address.h"
#include "framework/app.h"
#include "tests/test_input.h"

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
        MoveMouseTo(CPoint(440, 240));  // off the labels
    }
    void TearDown() override
    {
        SetAddressOpener(nullptr);
        AfxSetMessageBoxResponder(nullptr);
    }
    // A static child of the host bound to the label object.
    void Bind(CWnd& label, LPCTSTR text)
    {
        HWND child = ::CreateWindowExW(0, L"Static", text, WS_CHILD | WS_VISIBLE, 20, 20, 300, 30, host.m_hWnd,
                                       (HMENU)(INT_PTR)820, nullptr, nullptr);
        ASSERT_TRUE(child);
        ASSERT_TRUE(label.SubclassWindow(child));
        label.UpdateWindow();
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
    Click(CentreOf(label.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return !opened.empty(); }));
    ASSERT_EQ(1u, opened.size());
    EXPECT_STREQ(L"https://www.kelvo.example/下载", (LPCTSTR)opened[0]);
    EXPECT_TRUE(label.GetVisited());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LinkLabelTest, TextNamingAProgramIsNeverOpened)
{
    for (LPCTSTR text : {L"C:\\windows\\system32\\notepad.exe", L"file:///C:/windows/win.ini"}) {
        CUrlLabel label;
        Bind(label, text);  // no address given: the label opens its own text
        Click(CentreOf(label.m_hWnd));
        ASSERT_TRUE(PumpUntil([&] { return !boxes.empty(); })) << text;  // the refusal is told
        EXPECT_TRUE(opened.empty()) << text;
        EXPECT_FALSE(label.GetVisited());
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
    EXPECT_TRUE(opened.empty());
}

// Quotes and control characters would break out of the browser's quoted command-line argument.
TEST(LinkAddress, OnlyWebAddressesWithoutQuotesOrControlCharactersReachTheBrowser)
{
    EXPECT_TRUE(IsWebAddress(L"HTTP://x"));
    EXPECT_FALSE(IsWebAddress(L"http://"));
    EXPECT_FALSE(IsWebAddress(L"http://a\" & calc.exe & \""));
    EXPECT_FALSE(IsWebAddress(L"http://a\r\nb"));
    EXPECT_FALSE(IsWebAddress(nullptr));
    CString command;
    ASSERT_TRUE(CUrlLabel::BuildBrowserCommand(L"\"C:\\Web\\web.exe\" -nohome \"%1\" -x", L"https://例子.example/", &command));
    EXPECT_STREQ(L"\"C:\\Web\\web.exe\" -nohome \"https://例子.example/\"", (LPCTSTR)command);
    EXPECT_FALSE(CUrlLabel::BuildBrowserCommand(L"web.exe \"%1\"", L"http://a\" calc.exe \"", &command));
}

}  // namespace
