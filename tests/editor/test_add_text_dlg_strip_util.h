// Driving the Edit dialog's frame strip as the mouse does.
#pragma once

#include <gtest/gtest.h>

#include "editor/frame_strip_view.h"
#include "tests/test_pump.h"

namespace editor_test {

// A click on item n's thumbnail (as last painted), with the given keys held.
inline void ClickStripItem(XListView& strip, int n, UINT keys = 0)
{
    strip.UpdateWindow();
    const CStripItem* item = strip.GetItem(n);
    ASSERT_NE(nullptr, item);
    const CPoint at((item->thumbRect.left + item->thumbRect.right) / 2,
                    (item->thumbRect.top + item->thumbRect.bottom) / 2);
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(at.x, at.y));
    strip.SendMessage(WM_LBUTTONUP, keys, MAKELPARAM(at.x, at.y));
    Pump(50);
}

}  // namespace editor_test
