// The Edit dialog as a user meets it: opened by the main window's 编辑 through the real modal
// path at its own size, driven with the real mouse and keyboard, the posted messages delivered
// between steps, and the result read back from the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "recorder/editor_runner.h"
#include "tests/editor/test_add_text_dlg_util.h"
#include "tests/test_input.h"

namespace {

// Forty colours far apart, none of them the strip's white, black or grey.
COLORREF FrameColour(int n)
{
    const int i = n - 1;
    return RGB(30 + 50 * (i % 5), 30 + 50 * (i / 5 % 4), 70 + 120 * (i / 20));
}

bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

// The frame (1..count) whose colour the screen shows, 0 for none.
int FrameShown(COLORREF colour, int count)
{
    for (int n = 1; n <= count; ++n)
        if (Near(colour, FrameColour(n)))
            return n;
    return 0;
}

// One column of a window's client area as the screen shows it, top to bottom.
std::vector<COLORREF> ScreenColumn(CWnd& wnd, int x)
{
    CRect client;
    wnd.GetClientRect(&client);
    CPoint top(x, 0);
    wnd.ClientToScreen(&top);
    std::vector<COLORREF> column;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 1, client.Height());
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, 1, client.Height(), screen, top.x, top.y, SRCCOPY);
    for (int y = 0; y < client.Height(); ++y)
        column.push_back(::GetPixel(memory, 0, y));
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return column;
}

// The rows of thumbnails that the strip shows, top to bottom: each frame and the middle of its
// thumbnail (client y).
struct ShownRow {
    int frame;
    int middle;
};
std::vector<ShownRow> RowsOnScreen(XListView& strip, int count)
{
    strip.UpdateWindow();
    CRect client;
    strip.GetClientRect(&client);
    // The thumbnail box's middle column.
    const std::vector<COLORREF> column = ScreenColumn(strip, (22 + client.Width() - 5) / 2);
    std::vector<ShownRow> rows;
    int runStart = 0, runFrame = 0;
    for (int y = 0; y <= static_cast<int>(column.size()); ++y) {
        const int frame = y < static_cast<int>(column.size()) ? FrameShown(column[y], count) : 0;
        if (frame == runFrame)
            continue;
        if (runFrame)
            rows.push_back({runFrame, (runStart + y) / 2});
        runFrame = frame;
        runStart = y;
    }
    return rows;
}

void Wheel(int notches)
{
    for (int i = 0; i < std::abs(notches); ++i) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_WHEEL;
        input.mi.mouseData = static_cast<DWORD>(notches < 0 ? -WHEEL_DELTA : WHEEL_DELTA);
        ::SendInput(1, &input, sizeof(input));
        Pump(15);
    }
    Pump(100);
}

CPoint OnScreen(CWnd& wnd, CPoint client)
{
    wnd.ClientToScreen(&client);
    return client;
}

// The main window of the dialog's fixture with the program's own editor behind its 编辑.
class EditorInUse : public editor_test::DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        SetEditorRunner(&RunEditDialog);
    }
    void TearDown() override
    {
        SetEditorRunner(nullptr);
        DialogFixture::TearDown();
    }
    // Frames 1..count in their colours, all kept.
    void GiveFrames(int count)
    {
        main->engine.ClearFrames();
        for (int n = 1; n <= count; ++n)
            main->engine.frames.Add(engine_test::MakeRecord(160, 120, FrameColour(n), 10));
        main->frameCount = count;
        main->state = RecorderReady;
    }
    // Presses 编辑 and runs the body in the Edit dialog's modal loop; the body closes it.
    void Edit(std::function<void(CAddTextDlg&)> body)
    {
        editor_test::WhenDialogOpens([body](CAddTextDlg& d) {
            d.UpdateWindow();
            Pump(100);
            body(d);
            d.PostMessage(WM_COMMAND, IDCANCEL);
        });
        main->SendMessage(WM_COMMAND, IDC_EDIT_BUTTON);
        EXPECT_TRUE(editor_test::scriptRan);
    }
    COLORREF PreviewCentre(CAddTextDlg& d)
    {
        d.UpdateWindow();
        return editor_test::ScreenPixel(d, d.previewRect.CenterPoint());
    }
};

TEST_F(EditorInUse, SlowReplayCyclesThroughTheKeptFramesUntilItsButtonIsClickedAgain)
{
    GiveFrames(5);
    main->engine.GetFrameImage(2)->SetFlags(0, false);
    main->engine.GetFrameImage(4)->SetFlags(0, false);
    Edit([&](CAddTextDlg& d) {
        const POINT button = CentreOf(d.GetDlgItem(IDC_EDIT_SLOW_REPLAY)->m_hWnd);
        Click(button);
        std::vector<int> shown;
        PumpUntil(
            [&] {
                if (shown.empty() || shown.back() != d.currentFrame)
                    shown.push_back(d.currentFrame);
                return shown.size() >= 7;
            },
            4000);
        EXPECT_EQ((std::vector<int>{1, 3, 5, 1, 3, 5, 1}), shown);
        EXPECT_TRUE(d.replaying);
        EXPECT_FALSE(d.GetDlgItem(IDC_EDIT_REVERSE)->IsWindowEnabled());
        EXPECT_PRED2(Near, FrameColour(d.currentFrame), PreviewCentre(d));

        Click(button);
        EXPECT_FALSE(d.replaying);
        const int stoppedAt = d.currentFrame;
        Pump(600);
        EXPECT_EQ(stoppedAt, d.currentFrame);
        EXPECT_TRUE(d.GetDlgItem(IDC_EDIT_REVERSE)->IsWindowEnabled());
    });
}

TEST_F(EditorInUse, StripAtItsOpeningSizeReachesItsLastFrameByWheelAndByKeys)
{
    GiveFrames(40);
    Edit([&](CAddTextDlg& d) {
        ASSERT_NE(nullptr, d.strip);
        XListView& strip = *d.strip;
        std::vector<ShownRow> rows = RowsOnScreen(strip, 40);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(1, rows.front().frame);
        CRect client;
        strip.GetClientRect(&client);
        const int thumbX = (22 + client.Width() - 5) / 2;

        // The wheel turned past the end: the last rows are frames up to 40, each once, in order.
        Click(OnScreen(strip, CPoint(thumbX, rows.front().middle)));
        Wheel(-45);
        rows = RowsOnScreen(strip, 40);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(40, rows.back().frame);
        for (size_t i = 1; i < rows.size(); ++i)
            EXPECT_EQ(rows[i - 1].frame + 1, rows[i].frame);
        // A click on the bottom row picks the frame painted there.
        Click(OnScreen(strip, CPoint(thumbX, rows.back().middle)));
        EXPECT_EQ(40, d.currentFrame);

        // Back to the top, then Page Down from frame 1 to the last frame brings it into view.
        Wheel(45);
        rows = RowsOnScreen(strip, 40);
        ASSERT_FALSE(rows.empty());
        Click(OnScreen(strip, CPoint(thumbX, rows.front().middle)));
        EXPECT_EQ(1, d.currentFrame);
        for (int i = 0; i < 39; ++i)
            TypeKey(VK_NEXT);
        Pump(100);
        EXPECT_EQ(40, d.currentFrame);
        rows = RowsOnScreen(strip, 40);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(40, rows.back().frame);
    });
}

TEST_F(EditorInUse, RestoringAFrameShowsItWhenNothingWasShownBefore)
{
    GiveFrames(3);
    for (int n = 1; n <= 3; ++n)
        main->engine.GetFrameImage(n)->SetFlags(0, false);
    Edit([&](CAddTextDlg& d) {
        XListView& strip = *d.strip;
        strip.UpdateWindow();
        Click(OnScreen(strip, CRect(strip.GetItem(2)->thumbRect).CenterPoint()));
        EXPECT_EQ(2, d.currentFrame);
        Click(CentreOf(d.GetDlgItem(IDC_EDIT_DELETE_RESTORE)->m_hWnd));
        EXPECT_EQ(1u, main->engine.GetFrameImage(2)->GetFlags());
        EXPECT_PRED2(Near, FrameColour(2), PreviewCentre(d));
    });
}

TEST_F(EditorInUse, OpensWithEveryControlWholeAndItsListsEightEntriesTall)
{
    GiveFrames(2);
    Edit([&](CAddTextDlg& d) {
        CRect window;
        d.GetWindowRect(&window);
        EXPECT_GE(window.Width(), CAddTextDlg::kMinWidth);
        EXPECT_GE(window.Height(), CAddTextDlg::kMinHeight);
        CRect client;
        d.GetClientRect(&client);
        for (CWnd* child = d.GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
            if (!child->IsWindowVisible())
                continue;
            CRect place;
            child->GetWindowRect(&place);
            d.ScreenToClient(&place);
            EXPECT_TRUE(place.left >= client.left && place.top >= client.top && place.right <= client.right &&
                        place.bottom <= client.bottom)
                << "control " << child->GetDlgCtrlID() << " at " << place.left << "," << place.top << "-"
                << place.right << "," << place.bottom;
        }
        for (int id : {IDC_EDIT_FONT, IDC_EDIT_FONT_SIZE, IDC_EDIT_BACK_STYLE}) {
            HWND combo = ::GetDlgItem(d.m_hWnd, id);
            Click(CentreOf(combo));
            COMBOBOXINFO info = {};
            info.cbSize = sizeof(info);
            ASSERT_TRUE(::GetComboBoxInfo(combo, &info));
            EXPECT_TRUE(::IsWindowVisible(info.hwndList)) << "list " << id;
            const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
            const int entry = static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
            CRect list;
            ::GetClientRect(info.hwndList, &list);
            EXPECT_GE(list.Height(), std::min(count, 8) * entry) << "list " << id << " of " << count;
            ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
            Pump(50);
        }
    });
}

}  // namespace
