// End to end through the real program: an imported GIF is edited (frames deleted, a delay typed,
// reversed, a still picture and a 12-frame GIF inserted, 32 colours, 预览), and a caption typed,
// dragged with the real mouse and boxed. The written GIFs are read back with an independent
// decoder (Python's PIL on the host): the frames, their order, delays and colours, and the
// caption on exactly its frames at the dragged place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/caption_list.h"
#include "editor/editor_messages.h"
#include "recorder/editor_runner.h"
#include "recorder/preview_dlg.h"
#include "res/editor_ids.h"
#include "res/menu_ids.h"
#include "tests/editor/test_add_text_dlg_util.h"
#include "tests/host_pil.h"
#include "tests/test_input.h"

namespace {

// 22 colours far apart: 10 for the imported GIF, 12 for the inserted one.
COLORREF Colour(int i)
{
    return RGB(40 + 100 * (i % 3), 40 + 100 * (i / 3 % 3), 40 + 100 * (i / 9));
}

constexpr int kWidth = 120, kHeight = 90;

// An animated GIF of solid frames, colours first.. and delays delay0 + i.
bool WriteGif(const CString& path, int first, int count, int delay0)
{
    std::vector<FrameRecord*> records;
    for (int i = 0; i < count; ++i)
        records.push_back(engine_test::MakeRecord(kWidth, kHeight, Colour(first + i), delay0 + i));
    CScreenRecorder writer;  // reports to no window
    const bool ok = writer.WriteAnimatedGif(path, records.data(), count, false, 0);
    for (FrameRecord* r : records) {
        delete r->image;
        delete r;
    }
    return ok;
}

// Given `want` (per frame: the delay in ms or 0, the centre's colour or None) and `counts` (the
// numbers of colours allowed in the whole GIF), it writes one line per frame that differs, and
// the frame and colour counts when they are wrong.
const char kFramesScript[] =
    "import sys\n"
    "from PIL import Image\n"
    "im = Image.open(sys.argv[1])\n"
    "out = open(sys.argv[-1], 'w')\n"
    "if im.n_frames != len(want):\n"
    "    out.write('%d frames\\n' % im.n_frames)\n"
    "colours = set()\n"
    "for i in range(min(im.n_frames, len(want))):\n"
    "    im.seek(i)\n"
    "    rgb = im.convert('RGB')\n"
    "    colours.update(c for n, c in rgb.getcolors(1 << 24))\n"
    "    delay, centre = want[i]\n"
    "    got = (im.info.get('duration', 0), rgb.getpixel((im.size[0] // 2, im.size[1] // 2)))\n"
    "    if delay and delay != got[0] or centre and max(abs(a - b) for a, b in zip(centre, got[1])) > 8:\n"
    "        out.write('frame %d: %d %s\\n' % (i + 1, got[0], got[1]))\n"
    "if len(colours) not in counts:\n"
    "    out.write('%d colours\\n' % len(colours))\n";

// What the script, after the setup lines, finds wrong in the GIF: empty when nothing.
std::string PilFindings(const std::string& setup, const char* script, const CString& gif)
{
    std::string report;
    const bool ran = host_pil::RunScript((setup + script).c_str(), {std::wstring(gif)}, report);
    return ran ? report : "the script failed\n" + report;
}

// The real main window (from the dialog's fixture), with the real Edit dialog behind its gate.
class EditorEndToEnd : public editor_test::DialogFixture {
protected:
    void SetUp() override
    {
        if (!host_pil::Available())
            GTEST_SKIP() << "needs Wine's host-process call";
        DialogFixture::SetUp();
        main->settings.Ratio = 100;  // frames written at their own size
        SetEditorRunner(&RunEditDialog);
    }
    void TearDown() override
    {
        SetEditorRunner(nullptr);
        DialogFixture::TearDown();
    }
};

TEST_F(EditorEndToEnd, ImportEditAndPreviewWriteExactlyTheEditedFrames)
{
    const CString imported = engine_test::TempFile(L"kelvo_e2e_ten.gif").c_str();
    const CString twelve = engine_test::TempFile(L"kelvo_e2e_twelve.gif").c_str();
    const CString still = engine_test::TempFile(L"kelvo_e2e_still.bmp").c_str();
    ASSERT_TRUE(WriteGif(imported, 0, 10, 8));   // delays 8 .. 17
    ASSERT_TRUE(WriteGif(twelve, 10, 12, 30));   // delays 30 .. 41
    {
        // A still picture of 16 colour blocks, smaller than the frames: centred on black. With
        // it the GIF holds more than 32 colours, and still few enough for its palette to keep
        // every colour exact.
        std::unique_ptr<CxImage> picture(engine_test::MakePicture(
            60, 40, [](int x, int y) { return RGB(x / 15 * 80, y / 10 * 80, 128); }));
        ASSERT_TRUE(picture->Save(still, CXIMAGE_FORMAT_BMP));
    }

    std::vector<CString> files = {imported, still, twelve};
    size_t nextFile = 0;
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) -> INT_PTR {
        if (nextFile >= files.size())
            return IDCANCEL;
        dialog.SetPathName(files[nextFile++]);
        return IDOK;
    });
    auto choose = [](UINT command) {
        CMenu::SetTestResponder([command](CMenu&, UINT, int, int) -> UINT { return command; });
    };

    int framesBeforePreview = 0;
    editor_test::WhenDialogOpens([&](CAddTextDlg& d) {
        ASSERT_NE(nullptr, d.strip);
        XListView& strip = *d.strip;
        auto flags = [&](int n) { return main->engine.GetFrameImage(n)->GetFlags(); };
        // Delete frames 2 and 5: click, Ctrl+click, 删除/复原.
        editor_test::ClickStripItem(strip, 2);
        editor_test::ClickStripItem(strip, 5, MK_CONTROL);
        d.SendMessage(WM_COMMAND, IDC_EDIT_DELETE_RESTORE);
        EXPECT_EQ(0u, flags(2));
        EXPECT_EQ(0u, flags(5));
        EXPECT_EQ(1u, flags(1));
        // Frame 1's delay typed into the delay edit; it commits when the focus leaves.
        strip.UpdateWindow();
        const RECT delay = strip.GetItem(1)->delayRect;
        strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(delay.left + 3, delay.top + 3));
        strip.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(delay.left + 3, delay.top + 3));
        CWnd* editor = CWnd::GetFocus();
        ASSERT_NE(nullptr, editor);
        editor->SendMessage(WM_CHAR, L'7');
        editor->SendMessage(WM_CHAR, L'7');
        strip.SetFocus();
        Pump(50);
        EXPECT_EQ(77, main->engine.GetFrame(1)->delay);

        d.SendMessage(WM_COMMAND, IDC_EDIT_REVERSE);
        // A still picture after frame 3, then the 12 frames after frame 3.
        editor_test::ClickStripItem(strip, 3);
        EXPECT_EQ(3, d.currentFrame);
        choose(ID_EDIT_INSERT_AFTER);
        d.SendMessage(WM_COMMAND, IDC_EDIT_INSERT_IMAGE);
        Pump(100);
        EXPECT_EQ(11, main->engine.GetFrameCount());
        editor_test::ClickStripItem(strip, 3);
        choose(ID_EDIT_INSERT_AFTER);
        d.SendMessage(WM_COMMAND, IDC_EDIT_INSERT_IMAGE);
        Pump(100);
        framesBeforePreview = main->engine.GetFrameCount();
        choose(ID_EDIT_COLORS_32);
        d.SendMessage(WM_COMMAND, IDC_EDIT_COLOR_LEVELS);
        CMenu::SetTestResponder(nullptr);
        d.SendMessage(WM_COMMAND, IDC_EDIT_PREVIEW);
    });
    main->OnSettingsCommand(ID_IMPORT_FILE);
    ASSERT_TRUE(editor_test::scriptRan);
    EXPECT_EQ(23, framesBeforePreview);
    EXPECT_EQ(23, main->frameCount);  // the status strip's count follows the insertions
    EXPECT_EQ(3u, nextFile);
    const CString written = main->gifPath;
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady && main->preview->gifPath != written; }, 90000));

    // Expected: frames 10 9 8, the 12 GIF frames, the still picture (-1), 7 6 4 3 1 (2 and 5
    // deleted), by colour index: imported i has delay 8 + i (frame 1 the typed 77), GIF 10 + g 30 + g.
    const std::vector<int> colours = {9, 8, 7, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, -1, 6, 5, 3, 2, 0};
    std::string want;
    for (int c : colours) {
        const COLORREF rgb = Colour(c);
        const int delay = 10 * (c == 0 ? 77 : c < 10 ? 8 + c : 20 + c);
        want += c < 0 ? std::string("(1000, None), ")
                      : "(" + std::to_string(delay) + ", (" + std::to_string(GetRValue(rgb)) + ", " +
                            std::to_string(GetGValue(rgb)) + ", " + std::to_string(GetBValue(rgb)) + ")), ";
    }
    EXPECT_EQ("", PilFindings("want = [" + want + "]\ncounts = range(33, 1 << 24)\n", kFramesScript, written));
    // The preview shows the copy made with the 色阶 choice.
    const std::string frames = std::to_string(colours.size());
    EXPECT_EQ("", PilFindings("want = [(0, None)] * " + frames + "\ncounts = range(1, 33)\n", kFramesScript,
                              main->preview->gifPath));

    for (const CString& f : files)
        DeleteFileW(f);
}

// Given `frames`, `carriers` (the numbers of the frames with the caption), `box` and `least`: a
// line for each frame whose pixels that differ from the first frame's (outside the frame's marker
// square) are not within the box and at least that wide and high on a carrier, or differ at all
// on another frame.
const char kCaptionScript[] =
    "import sys\n"
    "from PIL import Image, ImageChops, ImageDraw\n"
    "im = Image.open(sys.argv[1])\n"
    "out = open(sys.argv[-1], 'w')\n"
    "if im.n_frames != frames:\n"
    "    out.write('%d frames\\n' % im.n_frames)\n"
    "im.seek(0)\n"
    "base = im.convert('RGB')\n"
    "for i in range(im.n_frames):\n"
    "    im.seek(i)\n"
    "    diff = ImageChops.difference(im.convert('RGB'), base)\n"
    "    ImageDraw.Draw(diff).rectangle([0, 0, 9, 9], fill=(0, 0, 0))\n"
    "    got = diff.convert('L').point(lambda v: 255 if v > 24 else 0).getbbox()\n"
    "    l, t, r, b = got or (1, 1, 0, 0)\n"
    "    ok = l >= box[0] and t >= box[1] and r <= box[2] and b <= box[3] and r - l > least[0] and b - t > least[1]\n"
    "    if not (ok if i + 1 in carriers else got is None):\n"
    "        out.write('frame %d: %s\\n' % (i + 1, got))\n";

TEST_F(EditorEndToEnd, CaptionTypedDraggedAndBoxedLandsOnItsFramesAtTheDraggedPlace)
{
    // Nine frames alike but for a marker square in the corner, so that none merges with another.
    constexpr int w = 240, h = 160;
    main->engine.ClearFrames();
    for (int i = 0; i < 9; ++i) {
        CxImage* picture = engine_test::MakePicture(
            w, h, [i](int x, int y) { return x < 8 && y < 8 ? RGB(250, 25 * i, 20) : RGB(40, 120, 200); });
        picture->SetFlags(1, false);
        main->engine.frames.Add(new FrameRecord{picture, 10});
    }
    main->engine.captureRect = {0, 0, w, h};  // the region the frames came from
    main->frameCount = 9;
    main->state = RecorderReady;

    CaptionItem placed = {};
    CPoint startCorner;
    editor_test::WhenDialogOpens([&](CAddTextDlg& d) {
        d.SendMessage(WM_FRAME_PICKED, 0, 3);
        d.CheckDlgButton(IDC_EDIT_BOLD, BST_UNCHECKED);
        d.SendMessage(WM_COMMAND, IDC_EDIT_ADD_TEXT);
        // The text cell is open: type the text, Enter; then the last frame, as a double-click.
        ASSERT_TRUE(d.captionList.IsEditing());
        d.cellEdit.SetSel(0, -1);
        for (const wchar_t* c = L"Kelvo 字幕"; *c; ++c)
            d.cellEdit.SendMessage(WM_CHAR, *c, 1);
        d.cellEdit.PostMessage(WM_KEYDOWN, VK_RETURN, 0);
        Pump(50);
        ASSERT_TRUE(d.captionList.BeginEdit(0, 1));
        d.cellEdit.SendMessage(WM_CHAR, L'6', 1);
        d.cellEdit.PostMessage(WM_KEYDOWN, VK_RETURN, 0);
        Pump(50);
        CaptionItem* caption = GetCaptionAt(main->engine.captions, 0);
        ASSERT_NE(nullptr, caption);
        EXPECT_STREQ(L"Kelvo 字幕", caption->textInfo.text);
        EXPECT_EQ(3, caption->firstFrame);
        EXPECT_EQ(6, caption->lastFrame);
        d.UpdateWindow();
        ASSERT_GT(caption->height, 0);
        ASSERT_FLOAT_EQ(1.0f, d.previewScale);
        startCorner = CPoint(caption->x, caption->y - caption->height);

        // Dragged with the real mouse, by a point inside its box, 120 right and 70 up.
        CPoint grab(d.pictureRect.left + caption->x + 4, d.pictureRect.top + caption->y - caption->height / 2);
        d.ClientToScreen(&grab);
        MoveMouseTo(grab);
        MouseDown(grab);
        Pump(30);
        for (int step = 1; step <= 10; ++step)
            MoveMouseTo(grab + CPoint(12 * step, -7 * step));
        MouseUp(grab + CPoint(120, -70));
        Pump(30);
        EXPECT_EQ(1, caption->selected);
        EXPECT_EQ(startCorner + CPoint(120, -70), CPoint(caption->x, caption->y - caption->height));

        d.GetDlgItem(IDC_EDIT_BOLD)->SendMessage(BM_CLICK);
        auto* styles = static_cast<CComboBox*>(d.GetDlgItem(IDC_EDIT_BACK_STYLE));
        styles->SetCurSel(CAPTION_STYLE_BOX);
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EDIT_BACK_STYLE, CBN_SELCHANGE), (LPARAM)styles->m_hWnd);
        EXPECT_EQ(FW_BOLD, caption->textInfo.lfont.lfWeight);
        EXPECT_EQ(CAPTION_STYLE_BOX, caption->style);
        d.Invalidate();
        d.UpdateWindow();  // measured again in bold
        placed = *caption;
        d.SendMessage(WM_COMMAND, IDC_EDIT_PREVIEW);
    });
    main->SendMessage(WM_COMMAND, IDC_EDIT_BUTTON);
    ASSERT_TRUE(editor_test::scriptRan);
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 90000));
    const CString written = main->gifPath;

    // The caption's box in the preview, with room for the GIF's own text drawing; the pixels
    // changed cover the caption, not a corner of it.
    char setup[160];
    snprintf(setup, sizeof setup, "frames = 9\ncarriers = range(3, 7)\nbox = (%d, %d, %d, %d)\nleast = (%d, %d)\n",
             placed.x - 4, placed.y - placed.height - 4, placed.x + placed.width + 4, placed.y + 4, placed.width / 2,
             placed.height / 2);
    EXPECT_EQ("", PilFindings(setup, kCaptionScript, written));
    DeleteFileW(written);
}

}  // namespace
