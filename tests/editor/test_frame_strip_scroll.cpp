// Scrolling a long strip: a real drag of the thumb past the 16-bit positions, the snap to
// whole rows, the keyboard bringing a row into view, and thumbnails made as rows come into view.
#include "tests/editor/strip_test_util.h"

#include <vector>

#include "tests/test_pump.h"

namespace {

TEST_F(StripTest, ThumbDragReachesRowsPast65535Pixels)
{
    Open(800, 8, 6);
    const int limit = strip->GetScrollLimit(SB_VERT);
    ASSERT_EQ(800 * 98 - 5 * 98, limit);  // the client shows 5 rows and part of a sixth

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
    inputs.push_back(MouseInput(CPoint(x, targetY)));
    inputs.push_back(MouseInput(CPoint(x, targetY), MOUSEEVENTF_LEFTUP));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    PumpUntil([&] { return strip->GetScrollPosition().y > 700 * 98; }, 2000);
    Pump(100);

    const int pos = strip->GetScrollPosition().y;
    EXPECT_GT(pos, 700 * 98);
    EXPECT_LE(pos, limit);
    EXPECT_EQ(0, pos % 98) << pos;
    EXPECT_GT(strip->GetFirstVisibleRow(), 700u);
    // The rows painted are those under the position.
    const UINT first = strip->GetFirstVisibleRow();
    EXPECT_EQ(0, strip->items[first]->itemRect.top);
    EXPECT_EQ(98, strip->items[first + 1]->itemRect.top);
}

TEST_F(StripTest, ReleasedThumbSnapsToTheNearestRow)
{
    Open(30);
    strip->SetScrollPos(SB_VERT, 147);
    strip->SendMessage(WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_EQ(98, strip->GetScrollPosition().y);
    strip->SetScrollPos(SB_VERT, 148);
    strip->SendMessage(WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_EQ(196, strip->GetScrollPosition().y);

    // Line and page scrolls move by rows.
    strip->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(294, strip->GetScrollPosition().y);
    strip->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(294 + 5 * 98, strip->GetScrollPosition().y);
    strip->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 3), 0);
    EXPECT_EQ(196 + 5 * 98, strip->GetScrollPosition().y);

    // Up from the first selected row above the view brings it to the top.
    strip->items[2]->selected = 1;
    strip->SelectPrevious();
    EXPECT_EQ(98, strip->GetScrollPosition().y);
    EXPECT_EQ(2u, strip->currentItem);
}

TEST_F(StripTest, ThumbnailOfARowScrolledIntoViewIsMadeAndShown)
{
    Open(30);
    Repaint();
    // The six rows on screen have their thumbnails; the rest wait for their first paint.
    for (int n = 1; n <= 6; ++n)
        EXPECT_NE(nullptr, strip->GetItem(n)->thumbnail) << n;
    EXPECT_EQ(nullptr, strip->GetItem(21)->thumbnail);

    strip->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    strip->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    strip->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    strip->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    ASSERT_EQ(20u, strip->GetFirstVisibleRow());
    Repaint();
    const CStripItem& row = *strip->GetItem(21);
    ASSERT_NE(nullptr, row.thumbnail);
    CClientDC dc(strip);
    const CPoint centre = CRect(row.thumbRect).CenterPoint();
    EXPECT_EQ(RGB(20 * 8, 100, 200), dc.GetPixel(centre.x, centre.y));
    // The rows scrolled away keep theirs.
    EXPECT_NE(nullptr, strip->GetItem(1)->thumbnail);

    // At 32 colours the row shows its thumbnail reduced; the thumbnail itself is not remade.
    const CxImage* made = row.thumbnail.get();
    strip->SetColorCount(32);
    Repaint();
    EXPECT_EQ(made, row.thumbnail.get());
    EXPECT_EQ(RGB(20 * 8, 100, 200), dc.GetPixel(centre.x, centre.y));

    // A new picture for the frame gives the row a new thumbnail at its next paint.
    CxImage* old = frames[20]->image;
    frames[20]->image = MakePicture(40, 30, RGB(250, 10, 10));
    delete old;
    Repaint();
    EXPECT_EQ(RGB(250, 10, 10), dc.GetPixel(centre.x, centre.y));
}

}  // namespace
