// The frame strip in a real window: selection by real clicks with Ctrl and Shift, delete/restore
// of a selection, the delay edit, scrolling a long strip, and painting that gives back its handles.
#include "tests/editor/strip_test_util.h"

#include "editor/num_edit.h"
#include "tests/test_gdi_count.h"
#include "tests/test_pump.h"

namespace {

TEST_F(StripTest, RealClicksSelectWithCtrlAndShiftAndRefuseRowsThatDoNotExist)
{
    Open(30);
    // Shift before any current item does nothing at all.
    ModifiedClick(3, MK_SHIFT);
    EXPECT_EQ(Numbers{}, Selected());

    Click(ThumbPoint(2));
    ModifiedClick(4, MK_CONTROL);
    EXPECT_EQ((Numbers{2, 4}), Selected());
    // Shift extends from the current item and reports nothing.
    ModifiedClick(1, MK_SHIFT);
    EXPECT_EQ((Numbers{1, 2, 3, 4}), Selected());
    EXPECT_EQ(4u, strip->currentItem);
    // Ctrl on a selected row unselects it and still reports the current item.
    ModifiedClick(3, MK_CONTROL);
    EXPECT_EQ((Numbers{1, 2, 4}), Selected());
    Pump(50);
    EXPECT_EQ((std::vector<LPARAM>{2, 4, 4}), host.picked);
    TypeKey(VK_DOWN);
    EXPECT_EQ(Numbers{5}, Selected());

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

    // Delete/restore over several frames: the first selected frame decides for all.
    ModifiedClick(6, MK_CONTROL);
    frames[5]->image->SetFlags(0, false);
    strip->ToggleDeleted();
    EXPECT_EQ(0u, frames[4]->image->GetFlags());
    EXPECT_EQ(0u, frames[5]->image->GetFlags());
}

TEST_F(StripTest, DelayEditTakesDigitsOnlyAndClosesOnceWhateverClosesIt)
{
    Open(30);
    Click(DelayPoint(2));
    CWnd* edit = strip->GetDlgItem(XListView::kDelayEditId);
    ASSERT_NE(nullptr, edit);
    // Typing replaces the selected text; letters, signs, full-width digits and Chinese are dropped.
    TypeText(L"2a-\x4E2D\xFF15 5");
    CString text;
    edit->GetWindowText(text);
    EXPECT_EQ(CString(L"25"), text);
    TypeKey(VK_RETURN);
    EXPECT_EQ(25, frames[1]->delay);
    EXPECT_EQ(nullptr, strip->GetDlgItem(XListView::kDelayEditId));

    // Another row's delay, then a click elsewhere: the focus loss commits once.
    Click(DelayPoint(3));
    TypeText(L"7");
    Click(ThumbPoint(1));
    EXPECT_EQ(7, frames[2]->delay);
    EXPECT_EQ(nullptr, strip->GetDlgItem(XListView::kDelayEditId));
    EXPECT_EQ(Numbers{1}, Selected());

    // With 2..4 selected, editing 3 sets all three, held at 999, and reports nothing.
    Click(ThumbPoint(2));
    ModifiedClick(4, MK_SHIFT);
    Pump(50);
    const size_t reports = host.picked.size();
    Click(DelayPoint(3));
    TypeText(L"123456");
    CWnd* open = strip->GetDlgItem(XListView::kDelayEditId);
    ASSERT_NE(nullptr, open);
    open->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);  // through the queue, as PreTranslateMessage sees keys
    Pump(100);
    for (int n : {2, 3, 4})
        EXPECT_EQ(999, frames[n - 1]->delay) << n;
    EXPECT_EQ(10, frames[4]->delay);
    EXPECT_EQ(reports, host.picked.size());

    // An emptied box commits 1; focus going to another window closes it too.
    Click(DelayPoint(5));
    TypeKey(VK_BACK);
    host.SetFocus();
    Pump(50);
    EXPECT_EQ(1, frames[4]->delay);
    EXPECT_EQ(nullptr, strip->GetDlgItem(XListView::kDelayEditId));

    // Numbers too long for any integer saturate; speed changes stay within 1..999.
    EXPECT_EQ(999, CNumEdit::ParseDelay(L"99999999999999999999999999"));
    EXPECT_EQ(1, CNumEdit::ParseDelay(L"-99999999999999999999999999"));
    frames[0]->delay = 1;
    frames[2]->delay = 1500;  // as imported: a speed-up takes a hundredth from it too
    strip->SpeedUp();
    EXPECT_EQ(1, frames[0]->delay);
    EXPECT_EQ(998, frames[1]->delay);
    EXPECT_EQ(1499, frames[2]->delay);
    strip->SlowDown();
    strip->SlowDown();
    EXPECT_EQ(999, frames[1]->delay);
    EXPECT_EQ(1499, frames[2]->delay);
}

TEST_F(StripTest, ThumbDragReachesRowsPast65535Pixels)
{
    Open(800, 8, 6);
    const int limit = strip->GetScrollLimit(SB_VERT);
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(::GetScrollBarInfo(strip->m_hWnd, OBJID_VSCROLL, &bar));
    const CRect track(bar.rcScrollBar);
    const int x = track.CenterPoint().x;
    const int thumbY = track.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    // The whole drag is queued at once: the scroll bar tracks it in a loop of its own.
    const int targetY = track.top + (bar.dxyLineButton + (track.Height() - 2 * bar.dxyLineButton) * 97 / 100);
    MoveMouseTo(CPoint(x, thumbY));
    std::vector<INPUT> inputs;
    inputs.push_back(MouseInput(CPoint(x, thumbY), MOUSEEVENTF_LEFTDOWN));
    for (int y = thumbY; y < targetY; y += 20)
        inputs.push_back(MouseInput(CPoint(x, y)));
    inputs.push_back(MouseInput(CPoint(x, targetY), MOUSEEVENTF_LEFTUP));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    PumpUntil([&] { return strip->GetScrollPosition().y > 700 * 98; }, 2000);
    Pump(100);

    // Released, the position snaps to a whole row, and the rows painted are those under it.
    const int pos = strip->GetScrollPosition().y;
    EXPECT_GT(pos, 700 * 98);
    EXPECT_LE(pos, limit);
    EXPECT_EQ(0, pos % 98) << pos;
    const UINT first = strip->GetFirstVisibleRow();
    EXPECT_GT(first, 700u);
    EXPECT_EQ(0, strip->items[first]->itemRect.top);
}

TEST_F(StripTest, RowsScrolledIntoViewShowTheirFramesAndAShortStripGoesBackToTheTop)
{
    Open(30);
    for (int i = 0; i < 4; ++i)
        strip->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    ASSERT_EQ(20u, strip->GetFirstVisibleRow());
    Repaint();
    const CPoint centre = CRect(strip->GetItem(21)->thumbRect).CenterPoint();
    CClientDC dc(strip);
    EXPECT_EQ(RGB(20 * 8, 100, 200), dc.GetPixel(centre.x, centre.y));
    // A new picture for the frame shows at the row's next paint.
    CxImage* old = frames[20]->image;
    frames[20]->image = MakePicture(40, 30, RGB(250, 10, 10));
    delete old;
    Repaint();
    EXPECT_EQ(RGB(250, 10, 10), dc.GetPixel(centre.x, centre.y));

    // The frames shrink to a few: the strip goes back to the top and the wheel does nothing.
    strip->ClearItems();
    for (int i = 0; i < 3; ++i)
        strip->AddFrame(frames[i]);
    strip->UpdateScrollSizes();
    EXPECT_EQ(0, strip->GetScrollPosition().y);
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
