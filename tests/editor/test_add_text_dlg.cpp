// The Edit dialog as a window: the preview of the current frame (centred, shrunk, reduced to
// the chosen colours, surviving any size), the frame operations on the engine's list, the slow
// replay's walk over kept frames, the layout rules, and closing by Esc and Preview.
#include <gtest/gtest.h>

#include "recorder/editor_runner.h"
#include "editor/editor_messages.h"
#include "res/editor_ids.h"
#include "tests/editor/test_add_text_dlg_util.h"

namespace {

using editor_test::GiveFrames;

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
    ASSERT_GT(area.Width(), 320);
    ASSERT_GT(area.Height(), 240);

    // Smaller than the area: natural size, centred, on the hatch.
    const CRect picture = dialog->pictureRect;
    EXPECT_EQ(320, picture.Width());
    EXPECT_EQ(240, picture.Height());
    EXPECT_LE(abs(picture.CenterPoint().x - area.CenterPoint().x), 1);
    EXPECT_LE(abs(picture.CenterPoint().y - area.CenterPoint().y), 1);
    EXPECT_EQ(RGB(200, 30, 30), editor_test::ScreenPixel(*dialog, picture.CenterPoint()));
    const auto background = editor_test::ScreenColours(*dialog, CRect(area.left + 2, area.top + 2, area.left + 40,
                                                                      picture.top - 2));
    EXPECT_TRUE(background.count(RGB(191, 191, 191)));

    // Wider than the area: shrunk by the width, aspect kept.
    dialog->SendMessage(WM_FRAME_PICKED, 0, 3);
    Repaint();
    EXPECT_EQ(area.Width(), dialog->pictureRect.Width());
    EXPECT_NEAR(300.0 * area.Width() / 1600.0, dialog->pictureRect.Height(), 1.0);

    // The colours at natural size (a shrunk picture blends neighbours into new colours).
    dialog->SendMessage(WM_FRAME_PICKED, 0, 2);
    Repaint();
    CRect inner = dialog->pictureRect;
    inner.DeflateRect(2, 2);
    EXPECT_GT(editor_test::ScreenColours(*dialog, inner).size(), 100u);

    // 色阶: 16 colours at most; a dismissed menu returns to 256.
    ChooseColours(ID_EDIT_COLORS_16);
    EXPECT_EQ(16, dialog->colorCount);
    CString text;
    dialog->colorLevelsButton.GetWindowText(text);
    EXPECT_STREQ(L"色阶(16色)", (LPCTSTR)text);
    EXPECT_LE(editor_test::ScreenColours(*dialog, inner).size(), 16u);
    ChooseColours(0);
    EXPECT_EQ(256, dialog->colorCount);
    dialog->colorLevelsButton.GetWindowText(text);
    EXPECT_STREQ(L"色阶(256色)", (LPCTSTR)text);
    EXPECT_GT(editor_test::ScreenColours(*dialog, inner).size(), 100u);

    // A deleted frame shows only the hatch.
    main->engine.GetFrameImage(2)->SetFlags(0, false);
    Repaint();
    EXPECT_LE(editor_test::ScreenColours(*dialog, inner).size(), 3u);
}

TEST_F(EditDialog, PaintingSurvivesAnySizeAndKeepsNoGdiObjects)
{
    GiveFrames(*main, 640, 480, {RGB(10, 120, 200)});
    OpenDialog();
    ChooseColours(ID_EDIT_COLORS_32);
    Repaint();
    const int before = editor_test::GdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 100; ++i) {
        dialog->InvalidateRect(nullptr, FALSE);
        dialog->UpdateWindow();
    }
    Pump(50);
    EXPECT_LE(editor_test::GdiObjects(), before + 2);

    // Sizes set by a program are not limited: the preview area becomes empty or negative.
    for (CSize size : {CSize(120, 90), CSize(1, 1), CSize(0, 0), CSize(300, 60)}) {
        dialog->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        Repaint();
        dialog->SendMessage(WM_PAINT);
        EXPECT_TRUE(dialog->IsWindow()) << size.cx << " x " << size.cy;
    }
    dialog->SetWindowPos(nullptr, 0, 0, 900, 640, SWP_NOZORDER | SWP_NOMOVE);
    Repaint();
    EXPECT_EQ(RGB(10, 120, 200), editor_test::ScreenPixel(*dialog, dialog->pictureRect.CenterPoint()));
    EXPECT_LE(editor_test::GdiObjects(), before + 2);
}

TEST_F(EditDialog, ReverseKeepsThePictureCurrentAndInsertRefusesFramesThatDoNotExist)
{
    GiveFrames(*main, 40, 30, {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0), RGB(5, 0, 0)});
    OpenDialog();
    std::vector<FrameRecord*> before;
    for (int n = 1; n <= 5; ++n)
        before.push_back(main->engine.GetFrame(n));
    dialog->SendMessage(WM_FRAME_PICKED, 0, 2);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_REVERSE);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(before[5 - n], main->engine.GetFrame(n));
    EXPECT_EQ(4, dialog->currentFrame);
    EXPECT_EQ(10, main->engine.GetFrame(5)->delay);  // delays travel with their frames
    EXPECT_EQ(14, main->engine.GetFrame(1)->delay);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_REVERSE);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(before[n - 1], main->engine.GetFrame(n));

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
    EXPECT_EQ(5, main->engine.GetFrameCount());
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_INSERT_IMAGE);
    EXPECT_EQ(1, menus);
    EXPECT_STREQ(L"在第5帧后插入图片", (LPCTSTR)label);
    EXPECT_EQ(5, main->engine.GetFrameCount());
}

TEST_F(EditDialog, SlowReplayWalksTheKeptFramesAndStopsWhenNoneIsLeft)
{
    GiveFrames(*main, 40, 30, {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0), RGB(5, 0, 0)});
    main->engine.GetFrameImage(2)->SetFlags(0, false);
    main->engine.GetFrameImage(4)->SetFlags(0, false);
    OpenDialog();
    dialog->slowReplayButton.SetCheck(BST_CHECKED);
    dialog->SendMessage(WM_COMMAND, IDC_EDIT_SLOW_REPLAY);
    ASSERT_TRUE(dialog->replaying);
    EXPECT_FALSE(dialog->GetDlgItem(IDC_EDIT_REVERSE)->IsWindowEnabled());
    EXPECT_TRUE(dialog->GetDlgItem(IDC_EDIT_SLOW_REPLAY)->IsWindowEnabled());
    std::vector<int> shown;
    for (int i = 0; i < 5; ++i) {
        dialog->SendMessage(WM_TIMER, CAddTextDlg::kReplayTimer);
        shown.push_back(dialog->currentFrame);
    }
    EXPECT_EQ((std::vector<int>{3, 5, 1, 3, 5}), shown);

    // Every frame deleted: the next tick ends the replay and clears its button.
    for (int n = 1; n <= 5; ++n)
        main->engine.GetFrameImage(n)->SetFlags(0, false);
    dialog->SendMessage(WM_TIMER, CAddTextDlg::kReplayTimer);
    EXPECT_FALSE(dialog->replaying);
    EXPECT_EQ(BST_UNCHECKED, dialog->slowReplayButton.GetCheck());
    EXPECT_TRUE(dialog->GetDlgItem(IDC_EDIT_REVERSE)->IsWindowEnabled());
}

TEST_F(EditDialog, LayoutKeepsTheRowsInPlaceAndTheMinimumSizeOnlyForTheMouse)
{
    GiveFrames(*main, 40, 30, {RGB(1, 0, 0)});
    OpenDialog();
    auto placeOf = [&](int id) {
        CRect rc;
        dialog->GetDlgItem(id)->GetWindowRect(&rc);
        dialog->ScreenToClient(&rc);
        return rc;
    };
    const CRect add = placeOf(IDC_EDIT_ADD_TEXT), list = placeOf(IDC_EDIT_CAPTION_LIST);
    const CRect reverse = placeOf(IDC_EDIT_REVERSE), levels = placeOf(IDC_EDIT_COLOR_LEVELS);
    const CRect area = dialog->previewRect;
    dialog->SetWindowPos(nullptr, 0, 0, 1100, 740, SWP_NOZORDER | SWP_NOMOVE);
    Pump(50);
    EXPECT_EQ(add + CPoint(0, 100), placeOf(IDC_EDIT_ADD_TEXT));
    EXPECT_EQ(list.Width() + 200, placeOf(IDC_EDIT_CAPTION_LIST).Width());
    EXPECT_EQ(list.top + 100, placeOf(IDC_EDIT_CAPTION_LIST).top);
    EXPECT_EQ(reverse, placeOf(IDC_EDIT_REVERSE));
    EXPECT_EQ(levels, placeOf(IDC_EDIT_COLOR_LEVELS));
    EXPECT_EQ(area.Width() + 200, dialog->previewRect.Width());
    EXPECT_EQ(area.Height() + 100, dialog->previewRect.Height());

    // Dragging an edge below 777 x 602 stops there, on the side that is dragged.
    CRect drag(100, 100, 800, 500);
    dialog->SendMessage(WM_SIZING, WMSZ_LEFT, (LPARAM)&drag);
    EXPECT_EQ(CRect(23, 100, 800, 702), drag);
    drag = CRect(100, 100, 800, 500);
    dialog->SendMessage(WM_SIZING, WMSZ_TOPRIGHT, (LPARAM)&drag);
    EXPECT_EQ(CRect(100, -102, 877, 500), drag);
}

// Enter never closes the dialog, Esc does and returns no colour count; Preview returns it.
TEST_F(EditDialog, EscClosesKeepingTheChangesAndPreviewHandsOverTheColourCount)
{
    GiveFrames(*main, 40, 30, {RGB(1, 0, 0), RGB(2, 0, 0)});
    FrameRecord* first = main->engine.GetFrame(1);
    bool stillOpenAfterEnter = false;
    editor_test::ModalScript closeByKeys([&](CAddTextDlg& d) {
        d.SendMessage(WM_COMMAND, IDC_EDIT_REVERSE);
        CWnd* focus = CWnd::GetFocus();
        HWND target = focus ? focus->m_hWnd : d.m_hWnd;
        ::PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
        Pump(100);
        stillOpenAfterEnter = d.IsWindowVisible() != FALSE;
        ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(0, RunEditDialog(*main));
    EXPECT_TRUE(editor_test::ModalScript::ran());
    EXPECT_TRUE(stillOpenAfterEnter);
    EXPECT_EQ(first, main->engine.GetFrame(2));  // the reverse stays

    editor_test::ModalScript preview([&](CAddTextDlg& d) {
        CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_EDIT_COLORS_64; });
        d.SendMessage(WM_COMMAND, IDC_EDIT_COLOR_LEVELS);
        CMenu::SetTestResponder(nullptr);
        d.SendMessage(WM_COMMAND, IDC_EDIT_PREVIEW);
    });
    EXPECT_EQ(64, RunEditDialog(*main));
    EXPECT_TRUE(editor_test::ModalScript::ran());
}

}  // namespace
