// A frame strip in a plain parent window over a frame list of the test's own, and real input.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "editor/frame_strip_view.h"
#include "framework/framework.h"
#include "tests/test_input.h"

// Records the frames the strip reports picked.
class StripHost : public CWnd {
public:
    std::vector<LPARAM> picked;  // WM_FRAME_PICKED numbers, in order

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class StripTest : public ::testing::Test {
protected:
    // Opens a strip whose rows are laid out for layoutWidth (120 gives rows of 98) and whose
    // client area is clientHeight high, over `count` frames of w x h with delay 10.
    void Open(int count, int w = 40, int h = 30, int clientHeight = 500, int layoutWidth = 120);
    void TearDown() override;

    // A 24-bit picture of one colour.
    static CxImage* MakePicture(int w, int h, COLORREF colour);
    void AddFrames(int count, int w, int h);
    std::vector<int> Selected() const;  // 1-based numbers of the selected rows
    // Screen point inside row n's thumbnail or delay text (row on screen).
    CPoint ThumbPoint(int n) const { return ScreenPoint(CRect(strip->GetItem(n)->thumbRect).CenterPoint()); }
    CPoint DelayPoint(int n) const
    {
        const RECT& r = strip->GetItem(n)->delayRect;
        return ScreenPoint(CPoint(r.left + 8, (r.top + r.bottom) / 2));
    }
    CPoint ScreenPoint(CPoint client) const
    {
        strip->ClientToScreen(&client);
        return client;
    }
    void Repaint();
    // A click on row n's thumbnail with Ctrl or Shift held (MK_CONTROL, MK_SHIFT), given to the
    // strip as its mouse messages: Wine leaves keys sent with SendInput out of the mouse flags.
    void ModifiedClick(int n, UINT keys);

    StripHost host;
    XListView* strip = nullptr;  // deletes itself with its window
    FrameRecordArray frames;
};

using Numbers = std::vector<int>;
