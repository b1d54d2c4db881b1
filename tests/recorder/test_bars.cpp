// The rules of the windows around the capture area, without windows: the status strip's zones,
// the drag rules of the bars, the placement of the strip's buttons and of the notice popup, the
// status text of each state, and what the strip and the bars paint.
#include <gtest/gtest.h>

#include <memory>

#include "recorder/bar_layout.h"
#include "recorder/bar_painting.h"

namespace {

// ---- Zones of the status strip ----------------------------------------------------------------

const CSize kStrip(620, 55);

TEST(StripZones, CornersWinOverTheEdgesTheyOverlap)
{
    EXPECT_EQ(DragEdge::BottomLeft, StripZoneAt(CPoint(0, 54), kStrip));
    EXPECT_EQ(DragEdge::BottomLeft, StripZoneAt(CPoint(2, 52), kStrip));
    EXPECT_EQ(DragEdge::BottomRight, StripZoneAt(CPoint(619, 54), kStrip));
    EXPECT_EQ(DragEdge::BottomRight, StripZoneAt(CPoint(605, 40), kStrip));
    // The grip reaches over the right edge band.
    EXPECT_EQ(DragEdge::BottomRight, StripZoneAt(CPoint(618, 45), kStrip));
}

TEST(StripZones, EdgesAreThreePixelsWideAndRightOpen)
{
    EXPECT_EQ(DragEdge::Left, StripZoneAt(CPoint(0, 0), kStrip));
    EXPECT_EQ(DragEdge::Left, StripZoneAt(CPoint(2, 30), kStrip));
    EXPECT_EQ(DragEdge::None, StripZoneAt(CPoint(3, 30), kStrip));
    EXPECT_EQ(DragEdge::Right, StripZoneAt(CPoint(617, 10), kStrip));
    EXPECT_EQ(DragEdge::None, StripZoneAt(CPoint(616, 10), kStrip));
    EXPECT_EQ(DragEdge::Bottom, StripZoneAt(CPoint(300, 52), kStrip));
    EXPECT_EQ(DragEdge::None, StripZoneAt(CPoint(300, 51), kStrip));
    EXPECT_EQ(DragEdge::Bottom, StripZoneAt(CPoint(3, 54), kStrip));
    EXPECT_EQ(DragEdge::None, StripZoneAt(CPoint(300, 20), kStrip));
    // Outside the client area.
    EXPECT_EQ(DragEdge::None, StripZoneAt(CPoint(300, 55), kStrip));
    EXPECT_EQ(DragEdge::None, StripZoneAt(CPoint(620, 10), kStrip));
}

TEST(StripZones, EachZoneHasItsResizeCursor)
{
    EXPECT_EQ(IDC_SIZENESW, ZoneCursor(DragEdge::BottomLeft));
    EXPECT_EQ(IDC_SIZENWSE, ZoneCursor(DragEdge::BottomRight));
    EXPECT_EQ(IDC_SIZEWE, ZoneCursor(DragEdge::Left));
    EXPECT_EQ(IDC_SIZEWE, ZoneCursor(DragEdge::Right));
    EXPECT_EQ(IDC_SIZENS, ZoneCursor(DragEdge::Bottom));
    EXPECT_EQ(nullptr, ZoneCursor(DragEdge::None));
}

// ---- Drag rules -------------------------------------------------------------------------------

// The main window: 620 x 75 at (100, 100); its bottom is at 175.
const CRect kWindow(100, 100, 720, 175);

TEST(PanelDrag, RecordingAndPausedKeepTheSize)
{
    EXPECT_TRUE(BarsMayResize(0));
    EXPECT_FALSE(BarsMayResize(1));
    EXPECT_FALSE(BarsMayResize(2));
    EXPECT_TRUE(BarsMayResize(3));
    EXPECT_TRUE(BarsMayResize(4));
}

TEST(PanelDrag, LeftEdgeMovesTheLeftSideAndKeepsTheHeight)
{
    const PanelResize r = ComputePanelResize(DragEdge::Left, CPoint(150, 400), kWindow);
    ASSERT_TRUE(r.apply);
    EXPECT_TRUE(r.moveWindow);
    EXPECT_EQ(CRect(150, 100, 720, 175), r.newWindow);
    EXPECT_EQ(0, r.captureHeight);
}

TEST(PanelDrag, RightEdgeMovesTheRightSide)
{
    const PanelResize r = ComputePanelResize(DragEdge::Right, CPoint(500, 0), kWindow);
    ASSERT_TRUE(r.apply);
    EXPECT_EQ(CRect(100, 100, 500, 175), r.newWindow);
    EXPECT_EQ(0, r.captureHeight);
}

TEST(PanelDrag, WindowNeverNarrowerThanSixtyPixels)
{
    EXPECT_TRUE(ComputePanelResize(DragEdge::Left, CPoint(660, 0), kWindow).apply);  // 60 wide
    EXPECT_FALSE(ComputePanelResize(DragEdge::Left, CPoint(661, 0), kWindow).apply); // 59 wide
    EXPECT_TRUE(ComputePanelResize(DragEdge::Right, CPoint(160, 0), kWindow).apply);
    EXPECT_FALSE(ComputePanelResize(DragEdge::Right, CPoint(159, 0), kWindow).apply);
}

TEST(PanelDrag, LeftBarDragStopsAtSixtyAndFollowsAgain)
{
    // Replays a drag the way the bar does it: each applied move becomes the window.
    CRect window = kWindow;
    for (int x : {600, 650, 660, 661, 690, 700, 655, 640}) {
        const PanelResize r = ComputePanelResize(DragEdge::Left, CPoint(x, 300), window);
        if (r.apply)
            window = r.newWindow;
        EXPECT_GE(window.Width(), 60) << "cursor at " << x;
        if (x == 700) {
            EXPECT_EQ(660, window.left) << "the window stays at its last allowed width";
        }
    }
    EXPECT_EQ(CRect(640, 100, 720, 175), window);
}

TEST(PanelDrag, BottomDragSetsTheCaptureHeightFortyPixelsAboveTheCursor)
{
    const PanelResize r = ComputePanelResize(DragEdge::Bottom, CPoint(400, 175 + 300), kWindow);
    ASSERT_TRUE(r.apply);
    EXPECT_FALSE(r.moveWindow);
    EXPECT_EQ(260, r.captureHeight);
}

TEST(PanelDrag, BottomDragBelowSixtyPixelsChangesNothing)
{
    EXPECT_TRUE(ComputePanelResize(DragEdge::Bottom, CPoint(400, 175 + 100), kWindow).apply);
    EXPECT_EQ(60, ComputePanelResize(DragEdge::Bottom, CPoint(400, 175 + 100), kWindow).captureHeight);
    const PanelResize r = ComputePanelResize(DragEdge::Bottom, CPoint(400, 175 + 99), kWindow);
    EXPECT_FALSE(r.apply);
    EXPECT_EQ(0, r.captureHeight);
    // Above the window altogether.
    EXPECT_FALSE(ComputePanelResize(DragEdge::Bottom, CPoint(400, 50), kWindow).apply);
}

TEST(PanelDrag, CornersNeedBothTheWidthAndTheHeight)
{
    PanelResize r = ComputePanelResize(DragEdge::BottomLeft, CPoint(200, 575), kWindow);
    ASSERT_TRUE(r.apply);
    EXPECT_EQ(CRect(200, 100, 720, 175), r.newWindow);
    EXPECT_EQ(360, r.captureHeight);

    r = ComputePanelResize(DragEdge::BottomRight, CPoint(800, 575), kWindow);
    ASSERT_TRUE(r.apply);
    EXPECT_EQ(CRect(100, 100, 800, 175), r.newWindow);
    EXPECT_EQ(360, r.captureHeight);

    // Wide enough but too low, and high enough but too narrow: nothing at all changes.
    EXPECT_FALSE(ComputePanelResize(DragEdge::BottomLeft, CPoint(200, 250), kWindow).apply);
    EXPECT_FALSE(ComputePanelResize(DragEdge::BottomRight, CPoint(800, 250), kWindow).apply);
    EXPECT_FALSE(ComputePanelResize(DragEdge::BottomLeft, CPoint(700, 575), kWindow).apply);
    EXPECT_FALSE(ComputePanelResize(DragEdge::BottomRight, CPoint(120, 575), kWindow).apply);
}

TEST(PanelDrag, NoEdgeNoResize)
{
    EXPECT_FALSE(ComputePanelResize(DragEdge::None, CPoint(400, 600), kWindow).apply);
}

// ---- The strip's buttons and the notice popup --------------------------------------------------

const CSize kPageButton(91, 31);
const CSize kNoticeButton(100, 29);

TEST(StripButtons, PageButtonSitsAtTheBottomRight)
{
    const StripButtonPlaces p = PlaceStripButtons(CSize(620, 55), kPageButton, kNoticeButton);
    EXPECT_EQ(CPoint(620 - 91 - 15, 55 - 31 - 9), p.page);
    EXPECT_TRUE(p.showNotice);
    EXPECT_EQ(CPoint(514 - 100 - 12, 55 - 29 - 7), p.notice);
}

TEST(StripButtons, NarrowStripHidesTheNoticeButtonAndWideningShowsIt)
{
    // x = w - 91 - 15 and the notice button needs x - 91 > 10: w > 207; here its left edge,
    // x - 100 - 12, lies inside the strip for any w > 217.
    const CSize smallNotice(60, 29);
    EXPECT_FALSE(PlaceStripButtons(CSize(207, 55), kPageButton, smallNotice).showNotice);
    EXPECT_FALSE(PlaceStripButtons(CSize(60, 55), kPageButton, smallNotice).showNotice);
    EXPECT_TRUE(PlaceStripButtons(CSize(208, 55), kPageButton, smallNotice).showNotice);
}

TEST(StripButtons, NoticeButtonThatWouldHangOffTheLeftEndIsHidden)
{
    // Wide enough by the page-button rule (x - 91 > 10) but the notice button's left edge,
    // w - 91 - 15 - 100 - 12, must not reach into the 5-pixel outer band.
    EXPECT_FALSE(PlaceStripButtons(CSize(222, 55), kPageButton, kNoticeButton).showNotice);
    const StripButtonPlaces p = PlaceStripButtons(CSize(223, 55), kPageButton, kNoticeButton);
    EXPECT_TRUE(p.showNotice);
    EXPECT_EQ(5, p.notice.x);
}

TEST(NoticePopup, SitsOnTheStripThirtyPixelsInFromItsRightEnd)
{
    const CRect strip(100, 555, 720, 610);
    EXPECT_EQ(CRect(720 - 258 - 30, 555 - 320, 720 - 30, 555), NoticePopupRect(CSize(258, 320), strip));
}

// ---- Status text -----------------------------------------------------------------------------

RecorderView View(int state)
{
    RecorderView v;
    v.state = state;
    v.captureRect = CRect(120, 300, 700, 680);
    return v;
}

TEST(StatusText, RecordingShowsFramesAndSeconds)
{
    RecorderView v = View(1);
    v.frameCount = 0;
    StatusText t = ComposeStatusText(v);
    ASSERT_EQ(2, t.lineCount);
    EXPECT_STREQ(L"0 帧", t.lines[0]);
    EXPECT_STREQ(L"0.0 秒", t.lines[1]);
    EXPECT_EQ(RGB(0, 0, 99), t.colour);
    EXPECT_EQ(CPoint(7, 0), t.offsets[0]);
    EXPECT_EQ(CPoint(7, 16), t.offsets[1]);

    v.frameCount = 45;
    v.rate = 15;
    t = ComposeStatusText(v);
    EXPECT_STREQ(L"45 帧", t.lines[0]);
    EXPECT_STREQ(L"3.0 秒", t.lines[1]);

    v.frameCount = 7;
    v.rate = 5;
    EXPECT_STREQ(L"1.4 秒", ComposeStatusText(v).lines[1]);
}

TEST(StatusText, RateBelowOneCountsAsOne)
{
    RecorderView v = View(1);
    v.frameCount = 45;
    v.rate = 0;
    EXPECT_STREQ(L"45.0 秒", ComposeStatusText(v).lines[1]);
    v.rate = -3;
    EXPECT_STREQ(L"45.0 秒", ComposeStatusText(v).lines[1]);
}

TEST(StatusText, MakingTheGifShowsTheProgressOnOneLine)
{
    RecorderView v = View(4);
    v.progress = 37;
    const StatusText t = ComposeStatusText(v);
    ASSERT_EQ(1, t.lineCount);
    EXPECT_STREQ(L"正在生成: 37%", t.lines[0]);
    EXPECT_EQ(RGB(0, 0, 0), t.colour);
    EXPECT_EQ(CPoint(7, 6), t.offsets[0]);
}

TEST(StatusText, OtherStatesShowTopThenLeftAndTheSize)
{
    for (int state : {0, 2, 3}) {
        RecorderView v = View(state);
        v.frameCount = 45;  // not shown, even when paused
        const StatusText t = ComposeStatusText(v);
        ASSERT_EQ(2, t.lineCount) << "state " << state;
        EXPECT_STREQ(L"左上: 300, 120", t.lines[0]) << "state " << state;
        EXPECT_STREQ(L"尺寸: (580*380)", t.lines[1]) << "state " << state;
        EXPECT_EQ(RGB(0, 0, 0), t.colour);
        EXPECT_EQ(CPoint(7, 0), t.offsets[0]);
        EXPECT_EQ(CPoint(7, 16), t.offsets[1]);
    }
}

TEST(StatusText, MarksAreLitOnlyWhileRecording)
{
    RecorderView v = View(1);
    v.recBlink = true;
    EXPECT_TRUE(IndicatorsLit(v));
    v.recBlink = false;
    EXPECT_FALSE(IndicatorsLit(v));
    for (int state : {0, 2, 3, 4}) {
        v = View(state);
        v.recBlink = true;
        EXPECT_FALSE(IndicatorsLit(v)) << "state " << state;
    }
}

// ---- Painting ---------------------------------------------------------------------------------

// A 32-bit DIB section selected into a memory DC, prefilled with a colour no painting uses.
class Canvas {
public:
    Canvas(int width, int height) : width(width), height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<DWORD*>(bits);
        dc.CreateCompatibleDC(nullptr);
        old = dc.SelectObject(bitmap);
        dc.FillSolidRect(0, 0, width, height, RGB(1, 2, 3));
    }
    ~Canvas()
    {
        dc.SelectObject(old);
        ::DeleteObject(bitmap);
    }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        const DWORD p = pixels[y * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    CRect Client() const { return CRect(0, 0, width, height); }
    // Pixels in a rectangle for which the test holds.
    template <class Test>
    int Count(const CRect& r, Test test) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += test(At(x, y)) ? 1 : 0;
        return n;
    }

    CDC dc;

private:
    int width, height;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    DWORD* pixels = nullptr;
};

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kTeal = RGB(33, 126, 104);
constexpr COLORREF kGold = RGB(255, 215, 0);

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST(StripPainting, BandsGradientAndOuterEdges)
{
    Canvas c(620, 55);
    PaintStatusStrip(c.dc, c.Client(), View(0));
    EXPECT_EQ(kGrey, c.At(10, 0));
    EXPECT_EQ(kGrey, c.At(600, 14));
    EXPECT_EQ(kTeal, c.At(0, 30));
    EXPECT_EQ(kTeal, c.At(4, 10));
    EXPECT_EQ(kTeal, c.At(615, 30));
    EXPECT_EQ(kTeal, c.At(619, 0));
    EXPECT_EQ(kTeal, c.At(300, 50));
    EXPECT_EQ(kTeal, c.At(300, 54));
    // The gradient runs from (227, 227, 227) under the band to white at the strip's bottom edge
    // (under the outer band): 28 steps over 40 rows.
    EXPECT_TRUE(Near(RGB(227, 227, 227), c.At(400, 15), 2)) << std::hex << c.At(400, 15);
    EXPECT_TRUE(Near(RGB(241, 241, 241), c.At(400, 35), 2)) << std::hex << c.At(400, 35);
    EXPECT_TRUE(Near(RGB(251, 251, 251), c.At(400, 49), 2)) << std::hex << c.At(400, 49);
    // No indicator outside recording.
    EXPECT_EQ(kGrey, c.At(20, 2));
}

TEST(StripPainting, IndicatorsWhileRecordingInTheLitHalf)
{
    Canvas c(620, 55);
    RecorderView v = View(1);
    v.recBlink = true;
    PaintStatusStrip(c.dc, c.Client(), v);
    EXPECT_EQ(kGold, c.At(15, 0));
    EXPECT_EQ(kGold, c.At(39, 4));
    EXPECT_EQ(kGrey, c.At(40, 2));
    EXPECT_EQ(kGrey, c.At(20, 5));
    EXPECT_EQ(kGold, c.At(580, 0));
    EXPECT_EQ(kGold, c.At(604, 4));
    EXPECT_EQ(kGrey, c.At(605, 2));

    Canvas paused(620, 55);
    v.state = 2;
    PaintStatusStrip(paused.dc, paused.Client(), v);
    EXPECT_EQ(kGrey, paused.At(20, 2));
    EXPECT_EQ(kGrey, paused.At(590, 2));
}

TEST(StripPainting, StatusTextColourFollowsTheState)
{
    // Navy text while recording, black otherwise; the text lies left, below the grey band.
    const CRect textArea(7, 15, 200, 50);
    auto navy = [](COLORREF p) { return GetBValue(p) > GetRValue(p) + 40 && GetBValue(p) > GetGValue(p) + 40; };
    auto dark = [](COLORREF p) { return GetRValue(p) < 100 && GetGValue(p) < 100 && GetBValue(p) < 100; };

    Canvas recording(620, 55);
    RecorderView v = View(1);
    v.frameCount = 45;
    PaintStatusStrip(recording.dc, recording.Client(), v);
    EXPECT_GT(recording.Count(textArea, navy), 10);

    Canvas idle(620, 55);
    PaintStatusStrip(idle.dc, idle.Client(), View(0));
    EXPECT_EQ(0, idle.Count(textArea, navy));
    EXPECT_GT(idle.Count(textArea, dark), 10);
    // Two lines: text in the upper and in the lower half of the area.
    EXPECT_GT(idle.Count(CRect(7, 15, 200, 32), dark), 3);
    EXPECT_GT(idle.Count(CRect(7, 36, 200, 50), dark), 3);

    Canvas making(620, 55);
    RecorderView m = View(4);
    m.progress = 50;
    PaintStatusStrip(making.dc, making.Client(), m);
    EXPECT_GT(making.Count(textArea, dark), 10);
}

TEST(EdgeBarPainting, OuterBandFrameGreyAndInnerMarks)
{
    Canvas left(20, 380);
    PaintEdgeBar(left.dc, left.Client(), true, false);
    EXPECT_EQ(kTeal, left.At(0, 100));
    EXPECT_EQ(kTeal, left.At(4, 0));
    EXPECT_EQ(kGrey, left.At(5, 100));
    EXPECT_EQ(kGrey, left.At(19, 10));

    Canvas leftLit(20, 380);
    PaintEdgeBar(leftLit.dc, leftLit.Client(), true, true);
    EXPECT_EQ(kGold, leftLit.At(15, 0));
    EXPECT_EQ(kGold, leftLit.At(19, 19));
    EXPECT_EQ(kGrey, leftLit.At(19, 20));
    EXPECT_EQ(kGrey, leftLit.At(14, 10));
    EXPECT_EQ(kGold, leftLit.At(17, 360));
    EXPECT_EQ(kGold, leftLit.At(19, 379));
    EXPECT_EQ(kGrey, leftLit.At(17, 359));
    EXPECT_EQ(kTeal, leftLit.At(2, 10));

    Canvas right(20, 380);
    PaintEdgeBar(right.dc, right.Client(), false, true);
    EXPECT_EQ(kTeal, right.At(15, 100));
    EXPECT_EQ(kTeal, right.At(19, 0));
    EXPECT_EQ(kGrey, right.At(14, 100));
    EXPECT_EQ(kGold, right.At(0, 0));
    EXPECT_EQ(kGold, right.At(4, 19));
    EXPECT_EQ(kGrey, right.At(5, 10));
    EXPECT_EQ(kGold, right.At(2, 370));
    EXPECT_EQ(kGrey, right.At(2, 200));
}

}  // namespace
