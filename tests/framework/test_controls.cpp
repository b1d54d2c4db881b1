// Standard controls in a real parent window, and the file dialog's filter and seam.
#include <gtest/gtest.h>

#include <string>

#include "framework/controls.h"
#include "framework/file_dialog.h"
#include "framework/msgmap.h"
#include "tests/framework/widgets_test_util.h"
#include "tests/test_pump.h"

using widgets_test::TestWindow;

namespace {

// A parent that counts the WM_DRAWITEM it handles itself.
class DrawParent : public TestWindow {
public:
    int parentDraws = 0;
    void OnDrawItem(int, LPDRAWITEMSTRUCT) { ++parentDraws; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DrawParent, TestWindow)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

class ProbeButton : public CButton {
public:
    int draws = 0;
    HWND drawnItem = nullptr;
    UINT drawnType = 0;
    void DrawItem(LPDRAWITEMSTRUCT item) override
    {
        ++draws;
        drawnItem = item->hwndItem;
        drawnType = item->CtlType;
        CDC::FromHandle(item->hDC)->FillSolidRect(&item->rcItem, RGB(0, 0, 0));
    }
};

class ProbeStatic : public CStatic {
public:
    int draws = 0;
    void DrawItem(LPDRAWITEMSTRUCT item) override
    {
        ++draws;
        EXPECT_EQ(m_hWnd, item->hwndItem);
    }
};

}  // namespace

TEST(OwnerDrawControls, ButtonPaintsThroughItsOwnDrawItem)
{
    DrawParent parent;
    ProbeButton button;
    ASSERT_TRUE(button.Create(L"按钮", WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 40), &parent, 1001));
    EXPECT_EQ(&parent, button.GetParent());
    button.Invalidate();
    button.UpdateWindow();
    PumpPending();
    EXPECT_GE(button.draws, 1);
    EXPECT_EQ(button.m_hWnd, button.drawnItem);
    EXPECT_EQ((UINT)ODT_BUTTON, button.drawnType);
    // The button answered for itself: the parent's own handler is not asked.
    EXPECT_EQ(0, parent.parentDraws);
    CDC::DeleteTempMap();
}

TEST(OwnerDrawControls, StaticPaintsThroughItsOwnDrawItem)
{
    DrawParent parent;
    ProbeStatic label;
    ASSERT_TRUE(label.Create(L"", WS_VISIBLE | SS_OWNERDRAW, CRect(10, 50, 90, 70), &parent, 1002));
    label.Invalidate();
    label.UpdateWindow();
    PumpPending();
    EXPECT_GE(label.draws, 1);
    EXPECT_EQ(0, parent.parentDraws);
}

TEST(OwnerDrawControls, PlainWindowLeavesTheDrawingToTheParent)
{
    DrawParent parent;
    CWnd plain;
    ASSERT_TRUE(plain.Create(L"BUTTON", L"", WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 40), &parent, 1003));
    plain.Invalidate();
    plain.UpdateWindow();
    PumpPending();
    EXPECT_GE(parent.parentDraws, 1);
}

// ---------------------------------------------------------------------------------------------
// File dialog

namespace {

class FileDialogTest : public ::testing::Test {
protected:
    void TearDown() override { CFileDialog::SetTestResponder(nullptr); }
};

// A literal with embedded NULs, all of it.
template <size_t N>
std::wstring Whole(const wchar_t (&text)[N])
{
    return std::wstring(text, N - 1);
}

std::wstring FilterOf(const CFileDialog& dialog)
{
    const wchar_t* filter = dialog.m_ofn.lpstrFilter;
    if (!filter)
        return std::wstring();
    // Up to and including the closing double NUL.
    size_t length = 0;
    while (filter[length] || filter[length + 1])
        ++length;
    return std::wstring(filter, length + 2);
}

}  // namespace

TEST_F(FileDialogTest, FilterBarsBecomeNulSeparators)
{
    CFileDialog save(FALSE, L"gif", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     L"Animated Gif File(*.gif)|*.gif||");
    EXPECT_EQ(Whole(L"Animated Gif File(*.gif)\0*.gif\0\0"), FilterOf(save));
    EXPECT_STREQ(L"gif", save.m_ofn.lpstrDefExt);
    EXPECT_EQ((DWORD)(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT),
              save.m_ofn.Flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_FALSE(save.IsOpenDialog());

    CFileDialog open(TRUE, L"*.*", nullptr, 0,
                     L"BMP (*.bmp)|*.bmp|JPG (*.jpg)|*.jpg|PNG (*.png)|*.png||");
    EXPECT_EQ(Whole(L"BMP (*.bmp)\0*.bmp\0JPG (*.jpg)\0*.jpg\0PNG (*.png)\0*.png\0\0"), FilterOf(open));
    EXPECT_FALSE(open.m_ofn.Flags & OFN_OVERWRITEPROMPT);

    // A filter without the closing bars still ends properly; no filter gives none.
    EXPECT_EQ(Whole(L"All\0*.*\0\0"), CFileDialog::ConvertFilter(L"All|*.*"));
    CFileDialog none(TRUE);
    EXPECT_EQ(nullptr, none.m_ofn.lpstrFilter);
    EXPECT_EQ(nullptr, none.m_ofn.lpstrDefExt);
}

TEST_F(FileDialogTest, ResponderAnswersInsteadOfTheDialog)
{
    int asked = 0;
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) -> INT_PTR {
        ++asked;
        EXPECT_TRUE(dialog.IsOpenDialog());
        dialog.SetPathName(L"C:\\用户\\录制.v2\\动画.Gif");
        return IDOK;
    });
    CFileDialog open(TRUE, L"*.*", nullptr, 0, L"Animated Gif File(*.gif)|*.gif||");
    ASSERT_EQ(IDOK, open.DoModal());
    EXPECT_EQ(1, asked);
    EXPECT_EQ(CString(L"C:\\用户\\录制.v2\\动画.Gif"), open.GetPathName());
    EXPECT_STREQ(L"动画.Gif", open.m_ofn.lpstrFileTitle);
    EXPECT_EQ(open.GetPathName().Find(L"动画"), (int)open.m_ofn.nFileOffset);
    EXPECT_EQ(open.GetPathName().Find(L"Gif"), (int)open.m_ofn.nFileExtension);

    CFileDialog::SetTestResponder([](CFileDialog& dialog) -> INT_PTR {
        dialog.SetPathName(L"C:\\录制.v2\\frame");
        return IDCANCEL;
    });
    CFileDialog other(FALSE, L"jpg");
    EXPECT_EQ(IDCANCEL, other.DoModal());
    // A dot in a folder name is no extension.
    EXPECT_EQ(0, (int)other.m_ofn.nFileExtension);
    EXPECT_STREQ(L"frame", other.m_ofn.lpstrFileTitle);
}

TEST_F(FileDialogTest, OverlongNamesAreCutToTheBuffer)
{
    std::wstring longName(CFileDialog::kPathBufferSize + 500, L'字');
    CFileDialog dialog(FALSE, nullptr, longName.c_str());
    EXPECT_EQ(CFileDialog::kPathBufferSize - 1, dialog.GetPathName().GetLength());
    EXPECT_EQ(CFileDialog::kPathBufferSize, (int)dialog.m_ofn.nMaxFile);
    EXPECT_EQ(MAX_PATH - 1, lstrlenW(dialog.m_ofn.lpstrFileTitle));
}
