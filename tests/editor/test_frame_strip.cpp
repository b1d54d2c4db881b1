// The frame strip in a real window: layout, selection by real clicks with Ctrl and Shift,
// kept/deleted, the context menu, the delay edit, and painting that gives back its handles.
#include "tests/editor/strip_test_util.h"

#include "editor/num_edit.h"
#include "res/strip_ids.h"
#include "tests/test_gdi_count.h"
#include "tests/test_pump.h"

namespace {


using Reports = std::vector<LPARAM>;

TEST_F(StripTest, RowsFollowTheWidthAndThumbnailsKeepTheirShape)
{
    Open(6, 40, 30);
    Repaint();
    EXPECT_EQ(98u, strip->GetItemHeight());
    const CStripItem* second = strip->GetItem(2);
    EXPECT_EQ(CRect(22, 5 + 98, 115, 74 + 98), CRect(second->thumbRect));
    EXPECT_EQ(CRect(22, 76 + 98, 115, 91 + 98), CRect(second->delayRect));
    EXPECT_EQ(CRect(5, 15 + 98, 17, 27 + 98), CRect(second->checkRect));
    // Small frames are enlarged to 80 x 60; 580 x 380 becomes 80 x 52.
    EXPECT_EQ(80u, second->thumbnail->GetWidth());
    EXPECT_EQ(60u, second->thumbnail->GetHeight());
    FrameRecord wide{MakePicture(580, 380, RGB(1, 2, 3)), 5};
    CStripItem item(&wide);
    ASSERT_TRUE(item.MakeThumbnail());
    EXPECT_EQ(80u, item.thumbnail->GetWidth());
    EXPECT_EQ(52u, item.thumbnail->GetHeight());
    delete wide.image;

    // The thumbnail is on screen in the frame's colour, the kept box carries its tick.
    CClientDC dc(strip);
    const CPoint centre = CRect(second->thumbRect).CenterPoint();
    EXPECT_EQ(RGB(8, 100, 200), dc.GetPixel(centre.x, centre.y));
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(11, 24 + 98));
    frames[1]->image->SetFlags(0, false);
    Repaint();
    EXPECT_NE(RGB(0, 0, 0), dc.GetPixel(11, 24 + 98));

    // Rows never collapse, however narrow or empty the view.
    CStripItem layout;
    EXPECT_GT(layout.Layout(-50, 0), 0);
    strip->MoveWindow(0, 0, 0, 0);
    strip->UpdateScrollSizes();
    strip->UpdateWindow();
    EXPECT_GT(strip->GetItemHeight(), 0u);
}

TEST_F(StripTest, RealClicksSelectWithCtrlAndShift)
{
    Open(30);
    // Shift before any current item does nothing at all.
    ModifiedClick(3, MK_SHIFT);
    EXPECT_EQ(Numbers{}, Selected());
    EXPECT_TRUE(host.picked.empty());

    Click(ThumbPoint(2));
    EXPECT_EQ(Numbers{2}, Selected());
    EXPECT_EQ(2u, strip->currentItem);

    ModifiedClick(4, MK_CONTROL);
    EXPECT_EQ((Numbers{2, 4}), Selected());
    EXPECT_EQ(4u, strip->currentItem);

    // Shift extends from the current item and reports nothing.
    const size_t reports = host.picked.size();
    ModifiedClick(1, MK_SHIFT);
    EXPECT_EQ((Numbers{1, 2, 3, 4}), Selected());
    EXPECT_EQ(4u, strip->currentItem);
    EXPECT_EQ(reports, host.picked.size());

    // Ctrl on a selected row unselects it and still reports the current item.
    ModifiedClick(3, MK_CONTROL);
    EXPECT_EQ((Numbers{1, 2, 4}), Selected());
    Pump(50);
    EXPECT_EQ((Reports{2, 4, 4}), host.picked);

    // Keys: Down from the last selected row, Ctrl+A selects all without a report.
    TypeKey(VK_DOWN);
    EXPECT_EQ(Numbers{5}, Selected());
    EXPECT_EQ(5u, strip->currentItem);

    // Numbers outside the rows are refused.
    strip->SetDelay(0, 50);
    strip->SetDelay(31, 50);
    strip->ToggleKeep(0);
    strip->ToggleKeep(99);
    strip->EditDelay(31);
    for (INT_PTR i = 0; i < frames.GetSize(); ++i) {
        EXPECT_EQ(10, frames[i]->delay);
        EXPECT_EQ(1u, frames[i]->image->GetFlags());
    }
    EXPECT_EQ(nullptr, strip->GetDlgItem(XListView::kDelayEditId));
}

TEST_F(StripTest, KeptBoxesDeleteAndRestore)
{
    Open(30);
    // A click on the box of an unselected frame changes that frame alone.
    Click(CheckPoint(3));
    EXPECT_EQ(0u, frames[2]->image->GetFlags());
    EXPECT_EQ(Numbers{3}, Selected());
    EXPECT_EQ(3u, strip->currentItem);

    // On a selected frame it sets every selected frame to the opposite of the clicked one.
    ModifiedClick(5, MK_SHIFT);
    Click(CheckPoint(4));
    for (int n : {3, 4, 5})
        EXPECT_EQ(0u, frames[n - 1]->image->GetFlags()) << n;
    Click(CheckPoint(3));
    for (int n : {3, 4, 5})
        EXPECT_EQ(1u, frames[n - 1]->image->GetFlags()) << n;

    // Delete/restore: the first selected frame decides.
    frames[3]->image->SetFlags(0, false);
    strip->ToggleDeleted();
    for (int n : {3, 4, 5})
        EXPECT_EQ(0u, frames[n - 1]->image->GetFlags()) << n;
    strip->ToggleDeleted();
    for (int n : {3, 4, 5})
        EXPECT_EQ(1u, frames[n - 1]->image->GetFlags()) << n;

    // The context menu selects the clicked frame and sends the parent its command 7.
    CMenu::SetTestResponder([](CMenu& menu, UINT flags, int, int) -> UINT {
        EXPECT_TRUE(flags & TPM_RETURNCMD);
        EXPECT_EQ(ID_STRIP_SAVE_FRAME, menu.GetMenuItemID(0));
        return ID_STRIP_DELETE_RESTORE;
    });
    Click(ThumbPoint(2), true);
    EXPECT_EQ(Numbers{2}, Selected());
    EXPECT_EQ(std::vector<UINT>{7}, host.commands);
}

TEST_F(StripTest, DelayEditCommitsOnEnterAndOnFocusLoss)
{
    Open(30);
    Click(DelayPoint(2));
    CWnd* edit = strip->GetDlgItem(XListView::kDelayEditId);
    ASSERT_NE(nullptr, edit);
    CString text;
    edit->GetWindowText(text);
    EXPECT_EQ(CString(L" 10"), text);
    // Typing replaces the selected text; letters, signs, full-width digits and Chinese are dropped.
    TypeText(L"2a-\x4E2D\xFF15 5");
    edit->GetWindowText(text);
    EXPECT_EQ(CString(L"25"), text);
    TypeKey(VK_RETURN);
    EXPECT_EQ(25, frames[1]->delay);
    EXPECT_EQ(nullptr, strip->GetDlgItem(XListView::kDelayEditId));
    EXPECT_EQ(2u, strip->currentItem);

    // Another row's delay, then a click elsewhere: the focus loss commits once.
    Click(DelayPoint(3));
    ASSERT_NE(nullptr, strip->GetDlgItem(XListView::kDelayEditId));
    TypeText(L"7");
    Click(ThumbPoint(1));
    EXPECT_EQ(7, frames[2]->delay);
    EXPECT_EQ(nullptr, strip->GetDlgItem(XListView::kDelayEditId));
    EXPECT_EQ(Numbers{1}, Selected());

    // With 2..4 selected, editing 3 sets all three and reports nothing.
    Click(ThumbPoint(2));
    ModifiedClick(4, MK_SHIFT);
    Pump(50);
    const size_t reports = host.picked.size();
    Click(DelayPoint(3));
    TypeText(L"123456");
    // Escape through the thread's queue, as the pump hands keys to PreTranslateMessage.
    CWnd* open = strip->GetDlgItem(XListView::kDelayEditId);
    ASSERT_NE(nullptr, open);
    open->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(50);
    for (int n : {2, 3, 4})
        EXPECT_EQ(999, frames[n - 1]->delay) << n;
    EXPECT_EQ(10, frames[4]->delay);
    Pump(50);
    EXPECT_EQ(reports, host.picked.size());

    // An emptied box commits 1; focus going to another window closes it too.
    Click(DelayPoint(5));
    TypeKey(VK_BACK);
    host.SetFocus();
    Pump(50);
    EXPECT_EQ(1, frames[4]->delay);
    EXPECT_EQ(nullptr, strip->GetDlgItem(XListView::kDelayEditId));
}

TEST(NumEditParse, HoldsEveryTextToOneTo999)
{
    EXPECT_EQ(1, CNumEdit::ParseDelay(L""));
    EXPECT_EQ(1, CNumEdit::ParseDelay(L"0"));
    EXPECT_EQ(1, CNumEdit::ParseDelay(L"-5"));
    EXPECT_EQ(12, CNumEdit::ParseDelay(L"  12x"));
    EXPECT_EQ(999, CNumEdit::ParseDelay(L"999"));
    EXPECT_EQ(999, CNumEdit::ParseDelay(L"1000"));
    EXPECT_EQ(999, CNumEdit::ParseDelay(L"123456"));
    EXPECT_EQ(999, CNumEdit::ParseDelay(L"99999999999999999999999999"));
    EXPECT_EQ(1, CNumEdit::ParseDelay(L"-99999999999999999999999999"));
}

TEST_F(StripTest, SpeedChangesStayWithinOneTo999)
{
    Open(3);
    frames[0]->delay = 1;
    frames[1]->delay = 999;
    strip->SpeedUp();
    EXPECT_EQ(1, frames[0]->delay);
    EXPECT_EQ(998, frames[1]->delay);
    EXPECT_EQ(9, frames[2]->delay);
    strip->SlowDown();
    strip->SlowDown();
    EXPECT_EQ(3, frames[0]->delay);
    EXPECT_EQ(999, frames[1]->delay);
}

TEST_F(StripTest, WhenEveryRowFitsTheStripShowsTheFirstRow)
{
    Open(30);
    strip->ScrollToPosition(CPoint(0, 980));
    ASSERT_EQ(980, strip->GetScrollPosition().y);
    // The frames shrink to a few: the bar goes inert and the strip goes back to the top.
    strip->ClearItems();
    for (int i = 0; i < 3; ++i)
        strip->AddFrame(frames[i]);
    strip->UpdateScrollSizes();
    EXPECT_EQ(0, strip->GetScrollPosition().y);
    // The wheel does nothing then.
    strip->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-WHEEL_DELTA), 0);
    EXPECT_EQ(0, strip->GetScrollPosition().y);
}

TEST_F(StripTest, PaintingAt32ColoursGivesBackEveryHandle)
{
    Open(30);
    strip->SetColorCount(32);
    Repaint();
    AfxDeleteTempObjects();
    const int before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 100; ++i) {
        strip->ScrollToPosition(CPoint(0, (i % 20) * 98));
        Repaint();
    }
    AfxDeleteTempObjects();
    EXPECT_EQ(before, LiveGdiObjects());
}

}  // namespace
