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

TEST(Buttons, CheckStateStyleAndHighlight)
{
    TestWindow parent;
    CButton box;
    ASSERT_TRUE(box.Create(L"加粗", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(5, 5, 100, 25), &parent, 1015));
    EXPECT_EQ((UINT)BS_AUTOCHECKBOX, box.GetButtonStyle());
    EXPECT_EQ(BST_UNCHECKED, box.GetCheck());
    box.SetCheck(BST_CHECKED);
    EXPECT_EQ(BST_CHECKED, box.GetCheck());
    EXPECT_EQ((UINT)BST_CHECKED, parent.IsDlgButtonChecked(1015));
    box.SendMessage(BM_CLICK);
    EXPECT_EQ(BST_UNCHECKED, box.GetCheck());

    CButton push;
    ASSERT_TRUE(push.Create(L"OK", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 30, 100, 50), &parent, 1));
    push.SetButtonStyle(BS_DEFPUSHBUTTON);
    EXPECT_EQ((UINT)BS_DEFPUSHBUTTON, push.GetButtonStyle());
    push.SetState(TRUE);
    EXPECT_TRUE(push.GetState() & BST_PUSHED);
    push.SetState(FALSE);
    EXPECT_FALSE(push.GetState() & BST_PUSHED);
}

TEST(ComboBoxes, ChineseItemsRoundTrip)
{
    TestWindow parent;
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, CRect(5, 5, 200, 200), &parent, 1010));
    EXPECT_EQ(0, combo.AddString(L"宋体"));
    EXPECT_EQ(1, combo.AddString(L"微软雅黑"));
    EXPECT_EQ(2, combo.AddString(L"黑体"));
    EXPECT_EQ(1, combo.InsertString(1, L"Verdana"));
    EXPECT_EQ(4, combo.GetCount());

    EXPECT_EQ(CB_ERR, combo.GetCurSel());
    EXPECT_EQ(2, combo.SelectString(0, L"微软"));
    EXPECT_EQ(2, combo.GetCurSel());
    CString text;
    combo.GetLBText(combo.GetCurSel(), text);
    EXPECT_EQ(CString(L"微软雅黑"), text);
    EXPECT_EQ(4, combo.GetLBTextLen(2));
    wchar_t buffer[16] = {};
    EXPECT_EQ(2, combo.GetLBText(3, buffer));
    EXPECT_STREQ(L"黑体", buffer);

    // The select-string search starts after the given item and wraps around.
    EXPECT_EQ(0, combo.SelectString(0, L"宋"));
    EXPECT_EQ(CB_ERR, combo.SelectString(0, L"楷体"));
    EXPECT_EQ(1, combo.FindString(-1, L"verd"));
    EXPECT_EQ(CB_ERR, combo.FindStringExact(-1, L"微软"));
    EXPECT_EQ(2, combo.FindStringExact(-1, L"微软雅黑"));

    EXPECT_NE(CB_ERR, combo.SetItemData(3, 0x1234));
    EXPECT_EQ((DWORD_PTR)0x1234, combo.GetItemData(3));
    int value = 7;
    combo.SetItemDataPtr(0, &value);
    EXPECT_EQ(&value, combo.GetItemDataPtr(0));

    combo.GetLBText(9, text);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(CB_ERR, combo.SetCurSel(9));

    EXPECT_EQ(3, combo.DeleteString(1));
    combo.GetLBText(1, text);
    EXPECT_EQ(CString(L"微软雅黑"), text);
    EXPECT_FALSE(combo.GetDroppedState());
    combo.ResetContent();
    EXPECT_EQ(0, combo.GetCount());
}

TEST(Edits, SelectionReplacementLimitsAndLines)
{
    TestWindow parent;
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | ES_AUTOHSCROLL, CRect(5, 5, 200, 30), &parent, 1031));
    edit.SetWindowText(L"你好世界");
    edit.SetSel(1, 2);
    int start = 0, end = 0;
    edit.GetSel(start, end);
    EXPECT_EQ(1, start);
    EXPECT_EQ(2, end);
    EXPECT_EQ(MAKELONG(1, 2), (LONG)edit.GetSel());
    edit.ReplaceSel(L"们");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(CString(L"你们世界"), text);
    edit.SetSel(0, -1);
    edit.GetSel(start, end);
    EXPECT_EQ(0, start);
    EXPECT_EQ(4, end);

    edit.LimitText(30);
    EXPECT_EQ(30u, edit.GetLimitText());
    EXPECT_FALSE(edit.GetStyle() & ES_READONLY);
    edit.SetReadOnly();
    EXPECT_TRUE(edit.GetStyle() & ES_READONLY);
    edit.SetMargins(3, 5);
    EXPECT_EQ((DWORD)MAKELONG(3, 5), edit.GetMargins());

    CEdit lines;
    ASSERT_TRUE(lines.Create(WS_VISIBLE | ES_MULTILINE, CRect(5, 40, 200, 120), &parent, 1032));
    lines.SetWindowText(L"第一行\r\nsecond line\r\n3");
    EXPECT_EQ(3, lines.GetLineCount());
    wchar_t line[32];
    wmemset(line, L'#', 32);
    EXPECT_EQ(11, lines.GetLine(1, line, 31));
    EXPECT_STREQ(L"second line", line);
    // A short buffer gets only what fits, and nothing past it is touched.
    wmemset(line, L'#', 32);
    EXPECT_EQ(4, lines.GetLine(1, line, 4));
    EXPECT_EQ(0, wcsncmp(line, L"seco", 4));
    EXPECT_EQ(L'#', line[4]);
    EXPECT_EQ(3, lines.LineLength(lines.LineIndex(0)));
}

TEST(ProgressBars, RangePositionAndSteps)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_PROGRESS_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    TestWindow parent;
    CProgressCtrl bar;
    ASSERT_TRUE(bar.Create(WS_VISIBLE, CRect(5, 5, 200, 25), &parent, 12));
    bar.SetRange(0, 12);
    int lower = -1, upper = -1;
    bar.GetRange(lower, upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(12, upper);
    EXPECT_EQ(10, bar.SetStep(1));
    EXPECT_EQ(0, bar.StepIt());
    EXPECT_EQ(1, bar.StepIt());
    EXPECT_EQ(2, bar.GetPos());
    EXPECT_EQ(2, bar.OffsetPos(5));
    EXPECT_EQ(7, bar.GetPos());
    EXPECT_EQ(7, bar.SetPos(40));
    EXPECT_EQ(12, bar.GetPos());

    bar.SetRange32(-100000, 250000);
    bar.GetRange(lower, upper);
    EXPECT_EQ(-100000, lower);
    EXPECT_EQ(250000, upper);
    bar.SetPos(123456);
    EXPECT_EQ(123456, bar.GetPos());
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
    EXPECT_EQ(CString(L"动画.Gif"), open.GetFileName());
    EXPECT_EQ(CString(L"Gif"), open.GetFileExt());
    EXPECT_EQ(CString(L"动画"), open.GetFileTitle());
    EXPECT_EQ(CString(L"C:\\用户\\录制.v2"), open.GetFolderPath());
    EXPECT_STREQ(L"动画.Gif", open.m_ofn.lpstrFileTitle);
    EXPECT_EQ(open.GetPathName().Find(L"动画"), (int)open.m_ofn.nFileOffset);

    CFileDialog::SetTestResponder([](CFileDialog& dialog) -> INT_PTR {
        dialog.SetPathName(L"C:\\录制.v2\\frame");
        return IDCANCEL;
    });
    CFileDialog other(FALSE, L"jpg");
    EXPECT_EQ(IDCANCEL, other.DoModal());
    // A dot in a folder name is no extension.
    EXPECT_TRUE(other.GetFileExt().IsEmpty());
    EXPECT_EQ(CString(L"frame"), other.GetFileTitle());
    other.SetPathName(L"C:\\a.gif");
    EXPECT_EQ(CString(L"C:\\"), other.GetFolderPath());
}

TEST_F(FileDialogTest, OverlongNamesAreCutToTheBuffer)
{
    std::wstring longName(CFileDialog::kPathBufferSize + 500, L'字');
    CFileDialog dialog(FALSE, nullptr, longName.c_str());
    EXPECT_EQ(CFileDialog::kPathBufferSize - 1, dialog.GetPathName().GetLength());
    EXPECT_EQ(CFileDialog::kPathBufferSize, (int)dialog.m_ofn.nMaxFile);
    EXPECT_EQ(CFileDialog::kPathBufferSize - 1, dialog.GetFileName().GetLength());
}
