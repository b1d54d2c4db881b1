// The Edit dialog as a window: the preview of the current frame (centred, shrunk, reduced to
// the chosen colours, surviving any size), reverse and the insert menu on the engine's list and
// the strip's rows, the slow replay over kept frames, and closing by Esc.
#include <gtest/gtest.h>

#include "editor/editor_messages.h"
#include "recorder/editor_runner.h"
#include "tests/editor/test_add_text_dlg_util.h"

namespace {

using editor_test::GiveFrames;
using editor_test::ScreenColours;
using editor_test::ScreenPixel;
using EditDialog = editor_test::DialogFixture;

// A picture with many colours: a smooth two-way gradient.
FrameRecord* GradientFrame(int w, int h)
{
    CxImage* picture = engine_test::MakePicture(
        w, h, [w, h](int x, int y) { return RGB(x * 255 / w, y * 255 / h, (x + y) * 255 / (w + h)); });
    picture->SetFlags(1, false);
    return new FrameRecord{picture, 10};
}

TEST_F(EditDialog, PreviewShowsTheFrameCentredShrunkAndInTheChosenColours)
{
    GiveFrames(*main, 320, 240, {RGB(200, 30, 30)});
    main->engine.frames.Add(GradientFrame(400, 200));
    main->engine.frames.Add(GradientFrame(1600, 300));
    main->frameCount = 3;
    OpenDialog();
    const CRect area = dialog->previewRect;
    // Smaller than the area: natural size, centred.
    const CRect picture = dialog->pictureRect;
    EXPECT_EQ(CSize(320, 240), picture.Size());
    EXPECT_LE(abs(picture.CenterPoint().x - area.CenterPoint().x), 1);
    EXPECT_LE(abs(picture.CenterPoint().y - area.CenterPoint().y), 1);
    EXPECT_EQ(RGB(200, 30, 30), ScreenPixel(*dialog, picture.CenterPoint()));
    // Wider than the area: shrunk by the width, aspect kept.
    dialog->SendMessage(WM_FRAME_PICKED, 0, 3);
    Repaint();
    EXPECT_EQ(area.Width(), dialog->pictureRect.Width());
    EXPECT_NEAR(300.0 * area.Width() / 1600.0, dialog->pictureRect.Height(), 1.0);

    // 色阶: 16 colours at most; a dismissed menu returns to 256.
    dialog->SendMessage(WM_FRAME_PICKED, 0, 2);
    Repaint();
    CRect inner = dialog->pictureRect;
    inner.DeflateRect(2, 2);
    ChooseColours(ID_EDIT_COLORS_16);
    CString text;
    dialog->colorLevelsButton.GetWindowText(text);
    EXPECT_STREQ(L"色阶(16色)", (LPCTSTR)text);
    EXPECT_LE(ScreenColours(*dialog, inner).size(), 16u);
    EXPECT_EQ(16, dialog->strip->GetColorCount());
    ChooseColours(0);
    EXPECT_EQ(256, dialog->colorCount);
    EXPECT_GT(ScreenColours(*dialog, inner).size(), 100u);
    // A deleted frame shows only the hatch.
    main->engine.GetFrameImage(2)->SetFlags(0, false);
    Repaint();
    EXPECT_LE(ScreenColours(*dialog, inner).size(), 3u);
}

TEST_F(EditDialog, PaintingSurvivesAnySizeAndKeepsNoGdiObjects)
{
    GiveFrames(*main, 640, 480, {RGB(10, 120, 200)});
    OpenDialog();
    ChooseColours(ID_EDIT_COLORS_32);
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

// Enter never closes the dialog, Esc does and returns no colour count (Preview's is checked end
// to end).
TEST_F(EditDialog, EnterKeepsTheDialogOpenAndEscClosesItKeepingTheChanges)
{
    GiveFrames(*main, 40, 30, {RGB(1, 0, 0), RGB(2, 0, 0)});
    FrameRecord* first = main->engine.GetFrame(1);
    bool stillOpenAfterEnter = false;
    editor_test::WhenDialogOpens([&](CAddTextDlg& d) {
        d.SendMessage(WM_COMMAND, IDC_EDIT_REVERSE);
        CWnd* focus = CWnd::GetFocus();
        HWND target = focus ? focus->m_hWnd : d.m_hWnd;
        ::PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
        Pump(100);
        stillOpenAfterEnter = d.IsWindowVisible() != FALSE;
        ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(0, RunEditDialog(*main));
    EXPECT_TRUE(editor_test::scriptRan);
    EXPECT_TRUE(stillOpenAfterEnter);
    EXPECT_EQ(first, main->engine.GetFrame(2));  // the reverse stays
}

}  // namespace
