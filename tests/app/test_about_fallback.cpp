// A program without a version resource: the About box shows the fallback texts and the update
// notice has no version of its own.
#include <gtest/gtest.h>

#include "app/about_dlg.h"
#include "res/about_ids.h"

namespace {

TEST(AboutWithoutVersion, ShowsTheFallbackTexts)
{
    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    CString version, legal;
    about.GetDlgItemText(IDC_ABOUT_VERSION, version);
    about.GetDlgItemText(IDC_ABOUT_LEGAL, legal);
    EXPECT_STREQ(L"<failed to retrieve version info>", (LPCTSTR)version);
    EXPECT_STREQ(L"<failed to retrieve legal info>", (LPCTSTR)legal);
    about.DestroyWindow();

    CString own = L"x";
    CUpdateDlg::GetOwnVersion(own);
    EXPECT_TRUE(own.IsEmpty());
}

}  // namespace
