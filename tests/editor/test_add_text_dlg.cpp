// The Edit dialog as a window: the preview surviving any size, reverse and the insert menu on the
// engine's list and the strip's rows, and the slow replay over kept frames.
#include <gtest/gtest.h>

#include "editor/editor_messages.h"
#include "tests/editor/test_add_text_dlg_util.h"

namespace {

using editor_test::GiveFrames;
using editor_test::ScreenPixel;
using EditDialog = editor_test::DialogFixture;

TEST_F(EditDialog, PaintingSurvivesAnySizeAndKeepsNoGdiObjects)
{
    GiveFrames(*main, 640, 480, {RGB(10, 120, 200)});
    OpenDialog();
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_EDIT_COLORS_32; });
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_COLOR_LEVELS);
    Repaint();
    const int before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 100; ++i) {
        dialog->InvalidateRect(nullptr, FALSE);
        dialog->UpdateWindow();
    }
    Pump(50);
    EXPECT_LE(LiveGdiObjects(), before + 2);

    // Sizes set by a program are not limited: the preview area becomes empty or negative.
    for (CSize size : {CSize(120, 90), CSize(1, 1), CSize(0, 0), CSize(300, 60)}) {
        dialog->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        Repaint();
        EXPECT_TRUE(dialog->IsWindow()) << size.cx << " x " << size.cy;
    }
    dialog->SetWindowPos(nullptr, 0, 0, 900, 640, SWP_NOZORDER | SWP_NOMOVE);
    Repaint();
    EXPECT_EQ(RGB(10, 120, 200), ScreenPixel(*dialog, dialog->pictureRect.CenterPoint()));
    EXPECT_LE(LiveGdiObjects(), before + 2);
}

TEST_F(EditDialog, ReverseMovesTheRowsWithTheirFramesAndInsertRefusesFramesThatDoNotExist)
{
    GiveFrames(*main, 80, 60, {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0), RGB(0, 200, 200)});
    OpenDialog();
    XListView& strip = *dialog->strip;
    std::vector<const CxImage*> thumbnails;
    for (int n = 1; n <= 5; ++n)
        thumbnails.push_back(strip.GetItem(n)->thumbnail.get());
    editor_test::ClickStripItem(strip, 2);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_REVERSE);
    EXPECT_EQ(4, dialog->currentFrame);  // the picture shown stays current
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(main->engine.GetFrame(n), strip.GetItem(n)->frame);
        EXPECT_EQ(thumbnails[5 - n], strip.GetItem(n)->thumbnail.get());
    }
    // The first row now shows the last frame's picture.
    Pump(100);
    CPoint centre = CRect(strip.GetItem(1)->thumbRect).CenterPoint();
    strip.ClientToScreen(&centre);
    dialog->ScreenToClient(&centre);
    EXPECT_EQ(RGB(0, 200, 200), ScreenPixel(*dialog, centre));

    // The insert menu opens only over a frame that exists, and names it.
    int menus = 0;
    CString label;
    CMenu::SetTestResponder([&](CMenu& menu, UINT, int, int) -> UINT {
        ++menus;
        menu.GetMenuString(ID_EDIT_INSERT_AFTER, label, MF_BYCOMMAND);
        return 0;
    });
    for (int frame : {0, -3, 6, 1000}) {
        dialog->SendMessage(WM_FRAME_PICKED, 0, frame);
        dialog->SendMessage(WM_COMMAND, IDC_EDIT_INSERT_IMAGE);
        dialog->InsertImageAt(3);
    }
    EXPECT_EQ(0, menus);
    dialog->SendMessage(WM_FRAME_PICKED, 0, 5);
    dialog->InsertImageAt(7);  // past the end
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_INSERT_IMAGE);
    EXPECT_EQ(1, menus);
    EXPECT_STREQ(L"在第5帧后插入图片", (LPCTSTR)label);
    EXPECT_EQ(5, main->engine.GetFrameCount());
}

TEST_F(EditDialog, SlowReplayWalksTheKeptFramesInViewAndStops)
{
    main->engine.ClearFrames();
    for (int i = 0; i < 40; ++i)
        main->engine.frames.Add(engine_test::MakeRecord(80, 60, RGB(i * 6, 100, 200 - i * 5), 10));
    main->frameCount = 40;
    main->state = RecorderReady;
    main->engine.GetFrameImage(9)->SetFlags(0, false);
    OpenDialog();
    XListView& strip = *dialog->strip;
    const int row = static_cast<int>(strip.GetItemHeight());
    ASSERT_GT(row, 0);
    strip.ScrollToPosition(CPoint(0, 6 * row));

    // It starts at the strip's top row and skips deleted frames; the buttons that edit are off.
    dialog->slowReplayButton.SetCheck(BST_CHECKED);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_SLOW_REPLAY);
    ASSERT_TRUE(dialog->replaying);
    EXPECT_FALSE(dialog->GetDlgItem(IDC_EDIT_REVERSE)->IsWindowEnabled());
    std::vector<int> shown = {dialog->currentFrame};
    for (int i = 0; i < 3; ++i) {
        dialog->SendMessage(WM_TIMER, CAddTextDlg::kReplayTimer);
        shown.push_back(dialog->currentFrame);
    }
    EXPECT_EQ((std::vector<int>{7, 8, 10, 11}), shown);
    EXPECT_EQ(0, strip.GetItem(10)->selected);
    EXPECT_EQ(1, strip.GetItem(11)->selected);

    // Past the rows in view, the frame shown becomes the top row.
    CRect client;
    strip.GetClientRect(&client);
    const int lastVisible = 7 + (client.Height() + row - 1) / row - 1;
    while (dialog->currentFrame <= lastVisible)
        dialog->SendMessage(WM_TIMER, CAddTextDlg::kReplayTimer);
    EXPECT_EQ((dialog->currentFrame - 1) * row, strip.GetScrollPosition().y);

    // A click in the strip stops the replay and shows the frame clicked.
    const int clicked = dialog->currentFrame + 1;
    editor_test::ClickStripItem(strip, clicked);
    EXPECT_FALSE(dialog->replaying);
    EXPECT_EQ(clicked, dialog->currentFrame);
    EXPECT_EQ(BST_UNCHECKED, dialog->slowReplayButton.GetCheck());

    // Every frame deleted: the next tick ends the replay and clears its button.
    dialog->slowReplayButton.SetCheck(BST_CHECKED);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_SLOW_REPLAY);
    ASSERT_TRUE(dialog->replaying);
    for (int n = 1; n <= 40; ++n)
        main->engine.GetFrameImage(n)->SetFlags(0, false);
    dialog->SendMessage(WM_TIMER, CAddTextDlg::kReplayTimer);
    EXPECT_FALSE(dialog->replaying);
    EXPECT_EQ(BST_UNCHECKED, dialog->slowReplayButton.GetCheck());
    EXPECT_TRUE(dialog->GetDlgItem(IDC_EDIT_REVERSE)->IsWindowEnabled());
}

}  // namespace
