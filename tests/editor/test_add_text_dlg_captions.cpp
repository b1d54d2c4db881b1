// The Edit dialog's captions: a new caption and its text cell, typing into the cells (Chinese
// text, refused frame numbers, places bounded however large the number typed), a cell edit that
// an add or a delete ends on its own caption, picking in the preview and the styles reaching only
// a caption on the frame shown, GDI objects flat over many paints and drags, Enter and Esc, and
// the caption defaults kept from one opening to the next. (The real mouse's drag is end to end.)
#include <gtest/gtest.h>

#include "capture/caption_list.h"
#include "editor/editor_messages.h"
#include "recorder/editor_runner.h"
#include "res/editor_ids.h"
#include "tests/editor/test_add_text_dlg_util.h"

namespace {

using editor_test::GiveFrames;

class EditCaptions : public editor_test::DialogFixture {
protected:
    CaptionItem* Caption(int index) { return GetCaptionAt(main->engine.captions, index); }
    int CaptionCount() { return static_cast<int>(main->engine.captions.GetCount()); }
    // Types into the open cell editor and presses a key there, through the dialog's translation.
    void TypeAndPress(const wchar_t* text, WPARAM key)
    {
        dialog->cellEdit.SetWindowText(text);
        dialog->cellEdit.PostMessage(WM_KEYDOWN, key, 0);
        Pump(50);
    }
    int RowOf(CaptionItem* caption)
    {
        LVFINDINFOW find = {};
        find.flags = LVFI_PARAM;
        find.lParam = reinterpret_cast<LPARAM>(caption);
        return dialog->captionList.FindItem(&find, -1);
    }
    // Edits a cell of the caption's row as a double-click does, then Enter.
    void EditCell(CaptionItem* caption, int column, const wchar_t* text)
    {
        ASSERT_TRUE(dialog->captionList.BeginEdit(RowOf(caption), column));
        TypeAndPress(text, VK_RETURN);
    }
    CString CellText(CaptionItem* caption, int column)
    {
        return dialog->captionList.GetItemText(RowOf(caption), column);
    }
    void TearDown() override
    {
        ClearCaptionList(main->engine.captions);
        editor_test::DialogFixture::TearDown();
    }
};

TEST_F(EditCaptions, NewCaptionOpensItsTextCellAndTheCellsTakeWhatIsTyped)
{
    GiveFrames(*main, 320, 240, {RGB(20, 40, 60)});
    for (int i = 1; i < 30; ++i)
        main->engine.frames.Add(engine_test::MakeRecord(320, 240, RGB(20, 40, 60), 10));
    main->frameCount = 30;
    OpenDialog();
    dialog->SendMessage(WM_FRAME_PICKED, 0, 5);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_ADD_TEXT);
    ASSERT_EQ(1, CaptionCount());
    CaptionItem* first = Caption(0);
    EXPECT_EQ(5, first->firstFrame);
    EXPECT_EQ(30, first->lastFrame);
    ASSERT_TRUE(dialog->captionList.IsEditing());

    // Chinese text, and Escape takes it as leaving the cell does; the dialog stays open.
    TypeAndPress(L"你好，字幕", VK_ESCAPE);
    EXPECT_FALSE(dialog->captionList.IsEditing());
    EXPECT_STREQ(L"你好，字幕", first->textInfo.text);
    EXPECT_TRUE(dialog->IsWindowVisible());

    // Frame numbers outside the caption's range or the recording are refused.
    EditCell(first, 0, L"0");
    EditCell(first, 0, L"40");
    EXPECT_EQ(5, first->firstFrame);
    EXPECT_STREQ(L"5", (LPCTSTR)CellText(first, 0));
    EditCell(first, 0, L"7");
    EXPECT_EQ(7, first->firstFrame);
    EditCell(first, 1, L"31");
    EditCell(first, 1, L"4");
    EXPECT_EQ(30, first->lastFrame);

    // However large the number typed, the place stays within a million either way.
    EditCell(first, 3, L"99999999999999999999999");
    EXPECT_EQ(CAddTextDlg::kCaptionCoordMax, first->x);
    EXPECT_STREQ(L"1000000", (LPCTSTR)CellText(first, 3));
    EditCell(first, 4, L"-4294967396");
    EXPECT_EQ(-CAddTextDlg::kCaptionCoordMax, first->y);
    dialog->SendMessage(WM_FRAME_PICKED, 0, 7);
    Repaint();
    EXPECT_TRUE(dialog->IsWindow());

    // A new caption first ends the edit in progress on the caption it began on.
    ASSERT_TRUE(dialog->captionList.BeginEdit(RowOf(first), 2));
    dialog->cellEdit.SetWindowText(L"第一条");
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_ADD_TEXT);
    ASSERT_EQ(2, CaptionCount());
    EXPECT_STREQ(L"第一条", first->textInfo.text);
    TypeAndPress(L"第二条", VK_RETURN);
    EXPECT_STREQ(L"第二条", Caption(1)->textInfo.text);

    // Deleting ends an edit too, and takes the selected row's caption, and only it.
    ASSERT_TRUE(dialog->captionList.BeginEdit(RowOf(Caption(1)), 2));
    dialog->cellEdit.SetWindowText(L"改");
    dialog->captionList.SetItemState(RowOf(first), LVIS_SELECTED, LVIS_SELECTED);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_DELETE_TEXT);
    EXPECT_FALSE(dialog->captionList.IsEditing());
    ASSERT_EQ(1, CaptionCount());
    EXPECT_STREQ(L"改", Caption(0)->textInfo.text);
    EXPECT_EQ(1, dialog->captionList.GetItemCount());
}

TEST_F(EditCaptions, PickingAndDraggingMoveTheCaptionAndStylesReachOnlyIt)
{
    GiveFrames(*main, 300, 200, {RGB(40, 120, 200), RGB(40, 120, 200), RGB(40, 120, 200)});
    OpenDialog();
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_ADD_TEXT);
    dialog->captionList.EndEdit(TRUE);
    ASSERT_EQ(1, CaptionCount());
    CaptionItem* caption = Caption(0);
    caption->lastFrame = 2;
    caption->textInfo.fcolor = RGB(255, 255, 0);
    caption->textInfo.bcolor = RGB(0, 0, 0);
    Repaint();
    ASSERT_GT(caption->width, 0);
    ASSERT_GT(caption->height, 0);
    ASSERT_FLOAT_EQ(1.0f, dialog->previewScale);
    const CRect picture = dialog->pictureRect;

    // Picked in the preview, dragged: its row is selected and shows the new place.
    const CPoint grab(picture.left + caption->x + 3, picture.top + caption->y - caption->height + 4);
    dialog->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y));
    dialog->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(picture.left + 150, picture.top + 60));
    dialog->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(picture.left + 150, picture.top + 60));
    EXPECT_EQ(0, dialog->captionList.GetNextItem(-1, LVNI_SELECTED));
    EXPECT_STREQ(L"147", (LPCTSTR)dialog->captionList.GetItemText(0, 3));

    // The box style reaches the selected caption; the preview shows the box and the
    // highlight around it.
    auto* styles = static_cast<CComboBox*>(dialog->GetDlgItem(IDC_EDIT_BACK_STYLE));
    styles->SetCurSel(1);
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EDIT_BACK_STYLE, CBN_SELCHANGE), (LPARAM)styles->m_hWnd);
    EXPECT_EQ(CAPTION_STYLE_BOX, caption->style);
    Repaint();
    const CPoint boxCorner(picture.left + caption->x + 1, picture.top + caption->y - caption->height + 1);
    EXPECT_EQ(RGB(0, 0, 0), editor_test::ScreenPixel(*dialog, boxCorner));
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), editor_test::ScreenPixel(*dialog, CPoint(boxCorner.x - 3, boxCorner.y - 3)));

    // On a frame outside its range the caption is neither drawn nor changed by the controls.
    dialog->SendMessage(WM_FRAME_PICKED, 0, 3);
    styles->SetCurSel(2);
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EDIT_BACK_STYLE, CBN_SELCHANGE), (LPARAM)styles->m_hWnd);
    EXPECT_EQ(CAPTION_STYLE_BOX, caption->style);
    Repaint();
    EXPECT_EQ(RGB(40, 120, 200), editor_test::ScreenPixel(*dialog, boxCorner));

    // Paints and drags in every style keep no GDI object.
    dialog->SendMessage(WM_FRAME_PICKED, 0, 1);
    Repaint();
    const int before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 60; ++i) {
        caption->style = i % 3;
        const CPoint at(picture.left + caption->x + 2, picture.top + caption->y - caption->height + 2);
        dialog->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        const int step = i % 2 ? 3 : -3;
        dialog->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + step, at.y + step));
        dialog->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x + step, at.y + step));
        dialog->UpdateWindow();
    }
    Pump(50);
    EXPECT_EQ(1, caption->selected);
    EXPECT_LE(LiveGdiObjects(), before + 2);
}

// Enter never closes the dialog; Esc does, returns no colour count (Preview's is checked end to
// end) and keeps the edits. The style controls' state becomes the defaults, and the next opening
// starts from them; a stored background style the combo does not have is kept, never -1.
TEST_F(EditCaptions, EnterKeepsItOpenAndClosingKeepsTheStyleControlsAsTheNextOpeningsDefaults)
{
    GiveFrames(*main, 100, 80, {RGB(1, 2, 3), RGB(4, 5, 6)});
    FrameRecord* first = main->engine.GetFrame(1);
    main->settings.DEFAULT_FONT_BK_STYLE = 7;
    main->settings.DEFAULT_FONTBOLD = false;
    int shownStyle = 0;
    bool stillOpenAfterEnter = false;
    editor_test::WhenDialogOpens([&](CAddTextDlg& d) {
        shownStyle = static_cast<CComboBox*>(d.GetDlgItem(IDC_EDIT_BACK_STYLE))->GetCurSel();
        d.SendMessage(WM_COMMAND, IDC_EDIT_REVERSE);
        CWnd* focus = CWnd::GetFocus();
        HWND target = focus ? focus->m_hWnd : d.m_hWnd;
        ::PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
        Pump(100);
        stillOpenAfterEnter = d.IsWindowVisible() != FALSE;
        d.SendMessage(WM_COMMAND, IDC_EDIT_ADD_TEXT);
        static_cast<CComboBox*>(d.GetDlgItem(IDC_EDIT_FONT_SIZE))->SelectString(0, L"36");
        d.CheckDlgButton(IDC_EDIT_BOLD, BST_CHECKED);
        d.textColorPicker.SetColor(RGB(10, 200, 30), false);
        d.captionList.EndEdit(TRUE);
        d.SetFocus();
        ::PostMessageW(d.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(0, RunEditDialog(*main));
    ASSERT_TRUE(editor_test::scriptRan);
    EXPECT_TRUE(stillOpenAfterEnter);
    EXPECT_EQ(first, main->engine.GetFrame(2));  // the reverse stays
    EXPECT_EQ(-1, shownStyle);
    ASSERT_EQ(1, CaptionCount());
    EXPECT_EQ(CAPTION_STYLE_NONE, Caption(0)->style);
    EXPECT_EQ(7, main->settings.DEFAULT_FONT_BK_STYLE);

    // The next opening: a new caption is bold, 36 points, in the kept colour.
    int dpi = 96;
    editor_test::WhenDialogOpens([&](CAddTextDlg& d) {
        dpi = ScreenDpiY();
        d.SendMessage(WM_COMMAND, IDC_EDIT_ADD_TEXT);
        d.captionList.EndEdit(TRUE);
        d.SendMessage(WM_COMMAND, IDCANCEL);
    });
    RunEditDialog(*main);
    ASSERT_TRUE(editor_test::scriptRan);
    ASSERT_EQ(2, CaptionCount());
    EXPECT_EQ(-::MulDiv(36, dpi, 72), Caption(1)->textInfo.lfont.lfHeight);
    EXPECT_EQ(FW_BOLD, Caption(1)->textInfo.lfont.lfWeight);
    EXPECT_EQ(RGB(10, 200, 30), Caption(1)->textInfo.fcolor);
}

}  // namespace
