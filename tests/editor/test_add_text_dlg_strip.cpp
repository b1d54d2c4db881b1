// The Edit dialog with its frame strip: reverse moves the thumbnails with their frames, the
// slow replay starts at the strip's top row and keeps the frame shown in view, a click in the
// strip stops it, and the colour levels reach the thumbnails.
#include <gtest/gtest.h>

#include "editor/editor_messages.h"
#include "tests/editor/test_add_text_dlg_strip_util.h"
#include "tests/editor/test_add_text_dlg_util.h"

namespace {

using EditDialogStrip = editor_test::DialogFixture;

TEST_F(EditDialogStrip, ReverseMovesTheThumbnailsWithTheirFrames)
{
    editor_test::GiveFrames(*main, 80, 60,
                            {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0), RGB(0, 200, 200)});
    OpenDialog();
    ASSERT_NE(nullptr, dialog->strip);
    XListView& strip = *dialog->strip;
    std::vector<const CxImage*> thumbnails;
    for (int n = 1; n <= 5; ++n)
        thumbnails.push_back(strip.GetItem(n)->thumbnail.get());
    editor_test::ClickStripItem(strip, 2);
    editor_test::ClickStripItem(strip, 4, MK_CONTROL);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_REVERSE);
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(main->engine.GetFrame(n), strip.GetItem(n)->frame);
        EXPECT_EQ(thumbnails[5 - n], strip.GetItem(n)->thumbnail.get());
        EXPECT_EQ(0, strip.GetItem(n)->selected);
    }
    // The first row now shows the last frame's picture.
    Pump(100);
    const RECT box = strip.GetItem(1)->thumbRect;
    CPoint centre((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    strip.ClientToScreen(&centre);
    dialog->ScreenToClient(&centre);
    EXPECT_EQ(RGB(0, 200, 200), editor_test::ScreenPixel(*dialog, centre));

    ChooseColours(ID_EDIT_COLORS_32);
    EXPECT_EQ(32, strip.GetColorCount());
}

TEST_F(EditDialogStrip, SlowReplayStartsAtTheTopRowAndFollowsTheFrameShown)
{
    main->engine.ClearFrames();
    for (int i = 0; i < 40; ++i)
        main->engine.frames.Add(engine_test::MakeRecord(80, 60, RGB(i * 6, 100, 200 - i * 5), 10));
    main->frameCount = 40;
    main->state = RecorderReady;
    OpenDialog();
    ASSERT_NE(nullptr, dialog->strip);
    XListView& strip = *dialog->strip;
    const int row = static_cast<int>(strip.GetItemHeight());
    ASSERT_GT(row, 0);
    strip.ScrollToPosition(CPoint(0, 6 * row));

    dialog->slowReplayButton.SetCheck(BST_CHECKED);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_SLOW_REPLAY);
    EXPECT_EQ(7, dialog->currentFrame);
    EXPECT_EQ(1, strip.GetItem(7)->selected);
    dialog->SendMessage(WM_TIMER, CAddTextDlg::kReplayTimer);
    EXPECT_EQ(8, dialog->currentFrame);
    EXPECT_EQ(0, strip.GetItem(7)->selected);
    EXPECT_EQ(1, strip.GetItem(8)->selected);

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
    Pump(50);
    EXPECT_FALSE(dialog->replaying);
    EXPECT_EQ(clicked, dialog->currentFrame);
    EXPECT_EQ(BST_UNCHECKED, dialog->slowReplayButton.GetCheck());
}

}  // namespace
