// The About box and the update notice: the version from the program's own version resource, where
// a click on the links goes, and when the update notice shows itself.
#include <gtest/gtest.h>

#include <vector>

#include "app/about_dlg.h"
#include "app/recorder_app.h"
#include "controls/gif_view.h"
#include "controls/open_address.h"
#include "recorder/recorder_dlg.h"
#include "res/about_ids.h"
#include "tests/test_input.h"

namespace {

// The About box opened modeless, so the test can look at it and click it.
class AboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetAddressOpener([this](LPCTSTR address, int) {
            opened.push_back(address);
            return (INT_PTR)42;
        });
    }
    void TearDown() override
    {
        if (about.m_hWnd)
            about.DestroyWindow();
        SetAddressOpener(nullptr);
        WritePrivateProfileStringW(L"Custom", nullptr, nullptr, theApp.m_pszProfileName);
    }
    void Open()
    {
        ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
        about.ShowWindow(SW_SHOW);
        about.SetForegroundWindow();
        about.UpdateWindow();
        Pump(50);
    }
    CString Text(int id)
    {
        CString text;
        about.GetDlgItemText(id, text);
        return text;
    }

    CAboutDlg about;
    std::vector<CString> opened;
};

TEST_F(AboutTest, ShowsTheVersionResourceAndOpensOnlyWebAddresses)
{
    Open();
    EXPECT_STREQ(L"Lumisho GIF制作 Version 4.0.1.0", (LPCTSTR)Text(IDC_ABOUT_VERSION));
    EXPECT_STREQ(L"Copyright (C) 2026 Kelvo", (LPCTSTR)Text(IDC_ABOUT_LEGAL));
    Click(CentreOf(about.m_supportLink.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return !opened.empty(); }));
    EXPECT_STREQ(L"https://www.kelvo.example/support/", (LPCTSTR)opened[0]);
    about.DestroyWindow();

    // The profile's product link is used only when it is a web address.
    WritePrivateProfileStringW(L"Custom", L"ProductLink", L"C:\\windows\\system32\\calc.exe", theApp.m_pszProfileName);
    WritePrivateProfileStringW(L"Custom", L"CustomInfo", L"Partner edition", theApp.m_pszProfileName);
    Open();
    EXPECT_STREQ(L"https://www.kelvo.example/", (LPCTSTR)about.m_homeLink.GetLinkTarget());
    EXPECT_STREQ(L"Partner edition", (LPCTSTR)Text(IDC_ABOUT_CUSTOM_INFO));
    about.DestroyWindow();
    WritePrivateProfileStringW(L"Custom", L"ProductLink", L"https://partner.example/kelvo", theApp.m_pszProfileName);
    Open();
    EXPECT_STREQ(L"https://partner.example/kelvo", (LPCTSTR)about.m_homeLink.GetLinkTarget());
}

// The update notice decides from the page's text, its own version and the main window.
class UpdateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterGifViewClass(); }
    void SetUp() override { ASSERT_TRUE(notice.Create(IDD_UPDATE_NOTICE)); }
    void TearDown() override
    {
        theApp.m_pMainWnd = nullptr;
        if (notice.m_hWnd)
            notice.DestroyWindow();
    }
    bool ShownFor(LPCTSTR page)
    {
        notice.ShowWindow(SW_HIDE);
        notice.OnDocumentComplete(page);
        return notice.IsWindowVisible() != FALSE;
    }

    CUpdateDlg notice;
};

TEST_F(UpdateTest, ShowsForAnotherVersionUnlessRecordingOrTheMainWindowIsUnknown)
{
    CString own;
    notice.GetDlgItemText(IDC_UPDATE_OWN_VERSION, own);
    EXPECT_STREQ(L"4.0.1.0", (LPCTSTR)own);
    EXPECT_FALSE(notice.IsWindowVisible());

    CRecorderDlg main(theApp);
    theApp.m_pMainWnd = &main;
    EXPECT_TRUE(ShownFor(L"4.1.0.0 is out"));
    EXPECT_FALSE(ShownFor(L"4.0.9.0"));  // the first three characters agree
    EXPECT_FALSE(ShownFor(L""));
    EXPECT_FALSE(ShownFor(nullptr));

    main.state = RecorderRecording;
    EXPECT_FALSE(ShownFor(L"4.1.0.0"));
    main.state = RecorderPaused;
    EXPECT_TRUE(ShownFor(L"4.1.0.0"));

    // Another window as the main window: no telling whether a recording runs.
    CWnd other;
    theApp.m_pMainWnd = &other;
    EXPECT_FALSE(ShownFor(L"4.1.0.0"));
}

}  // namespace
