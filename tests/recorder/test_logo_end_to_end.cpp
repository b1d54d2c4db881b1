// End to end through the real program: 自定义水印 from the settings menu, the watermark turned on
// with a Chinese text typed on the keyboard, bottom right, colours from the colour dialog and a
// box; then an animated GIF is imported and 预览 makes the GIF. Every frame of that GIF, read
// back with an independent decoder (Python's PIL on the host), shows the watermark in the
// bottom right corner, and the settings file keeps the Chinese text for the next start.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "framework/color_dialog.h"
#include "recorder/logo_setting_dlg.h"
#include "res/menu_ids.h"
#include "tests/capture/engine_test_support.h"
#include "tests/host_pil.h"
#include "tests/recorder/main_window_test_util.h"
#include "tests/test_input.h"

namespace {

constexpr int kWidth = 200, kHeight = 150;
constexpr COLORREF kBox = RGB(0, 0, 255);
constexpr COLORREF kText = RGB(255, 255, 0);
const COLORREF kFrames[] = {RGB(90, 90, 90), RGB(150, 60, 60), RGB(60, 150, 60), RGB(170, 170, 170)};
const wchar_t kTyped[] = L"水印测试";

// The size and frame count; per frame the bounds (inclusive) of the pixels near the box colour,
// or -1s when there are none, and how many pixels inside them are near the text colour.
const char kPilScript[] =
    "import sys\n"
    "from PIL import Image\n"
    "im = Image.open(sys.argv[1])\n"
    "out = open(sys.argv[2], 'w')\n"
    "near = lambda c, r, g, b: abs(c[0] - r) + abs(c[1] - g) + abs(c[2] - b) <= 40\n"
    "out.write('%d %d %d\\n' % (im.size[0], im.size[1], im.n_frames))\n"
    "for i in range(im.n_frames):\n"
    "    im.seek(i)\n"
    "    rgb = im.convert('RGB')\n"
    "    w, h = rgb.size\n"
    "    px = rgb.load()\n"
    "    box = [(x, y) for y in range(h) for x in range(w) if near(px[x, y], 0, 0, 255)]\n"
    "    if not box:\n"
    "        out.write('-1 -1 -1 -1 0\\n')\n"
    "        continue\n"
    "    l = min(p[0] for p in box); r = max(p[0] for p in box)\n"
    "    t = min(p[1] for p in box); b = max(p[1] for p in box)\n"
    "    text = sum(1 for y in range(t, b + 1) for x in range(l, r + 1) if near(px[x, y], 255, 255, 0))\n"
    "    out.write('%d %d %d %d %d\\n' % (l, t, r, b, text))\n";

struct FrameMark {
    int left = -1, top = -1, right = -1, bottom = -1, textPixels = 0;
};

bool ReadWithPil(const CString& gif, int& width, int& height, std::vector<FrameMark>& frames)
{
    std::string report;
    if (!host_pil::RunScript(kPilScript, {std::wstring((LPCTSTR)gif)}, report))
        return false;
    std::istringstream in(report);
    int count = 0;
    in >> width >> height >> count;
    for (int i = 0; i < count; ++i) {
        FrameMark mark;
        in >> mark.left >> mark.top >> mark.right >> mark.bottom >> mark.textPixels;
        frames.push_back(mark);
    }
    return (bool)in;
}

// Runs the script once the watermark dialog's modal loop is up (from a thread timer of that
// loop), then closes the dialog with its caption's close button whatever the script did.
class ModalScript {
public:
    explicit ModalScript(std::function<void(CLogoSettingDlg&)> body)
    {
        Script() = std::move(body);
        ::SetTimer(nullptr, 0, 100, &Tick);
    }
    ~ModalScript() { Script() = nullptr; }

private:
    static std::function<void(CLogoSettingDlg&)>& Script()
    {
        static std::function<void(CLogoSettingDlg&)> body;
        return body;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND wnd = ::FindWindowW(nullptr, L"自定义水印设置");
        auto* dialog = wnd ? dynamic_cast<CLogoSettingDlg*>(CWnd::FromHandlePermanent(wnd)) : nullptr;
        if (!dialog || !dialog->IsWindowVisible() || !Script())
            return;  // not up yet: try at the next tick
        ::KillTimer(nullptr, id);
        auto body = std::move(Script());
        Script() = nullptr;
        body(*dialog);
        dialog->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    }
};

class WatermarkEndToEnd : public MainWindowTest {};

TEST_F(WatermarkEndToEnd, SetInTheDialogShownInEveryFrameAndKeptInTheSettingsFile)
{
    if (!host_pil::Available())
        GTEST_SKIP() << "needs Wine's host-process call";
    const CString imported = engine_test::TempFile(L"kelvo_logo_import.gif").c_str();
    files.push_back(imported);
    {
        std::vector<FrameRecord*> records;
        for (COLORREF c : kFrames)
            records.push_back(engine_test::MakeRecord(kWidth, kHeight, c, 10));
        CScreenRecorder writer;  // reports to no window
        ASSERT_TRUE(writer.WriteAnimatedGif(imported, records.data(), (int)records.size(), false, 0));
        for (FrameRecord* r : records) {
            delete r->image;
            delete r;
        }
    }

    // 自定义水印 from the settings menu; the dialog runs modally inside the menu's command.
    std::vector<HWND> colourOwners;
    COLORREF nextColour = kText;
    CColorDialog::SetTestResponder([&](CColorDialog& dialog) -> INT_PTR {
        colourOwners.push_back(dialog.m_cc.hwndOwner);
        dialog.m_cc.rgbResult = nextColour;
        return IDOK;
    });
    HWND dialogWnd = nullptr;
    ModalScript script([&](CLogoSettingDlg& d) {
        dialogWnd = d.m_hWnd;
        d.GetDlgItem(IDC_LOGO_ENABLE)->SendMessage(BM_CLICK);
        Pump(20);
        // The text typed on the keyboard, then Enter, which stores it and keeps the dialog.
        d.GetDlgItem(IDC_LOGO_TEXT)->SetFocus();
        TypeText(kTyped);
        TypeKey(VK_RETURN);
        Pump(50);
        EXPECT_TRUE(d.IsWindowVisible());
        d.positionList.SetCurSel(3);  // bottom right
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOGO_POSITION, CBN_SELCHANGE), (LPARAM)d.positionList.m_hWnd);
        // Colours through each picker's "more colours", as its popup asks for them.
        nextColour = kText;
        d.textPicker.PostMessage(WM_PALETTE_MORE);
        Pump(100);
        nextColour = kBox;
        d.boxPicker.PostMessage(WM_PALETTE_MORE);
        Pump(100);
        d.GetDlgItem(IDC_LOGO_BOX)->SendMessage(BM_CLICK);
        Pump(20);
    });
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_WATERMARK; });
    main->SendMessage(WM_COMMAND, IDC_SETTINGS_BUTTON);
    CColorDialog::SetTestResponder(nullptr);
    EXPECT_FALSE(::IsWindow(dialogWnd));
    // The colour dialog belongs to the watermark dialog, not to the main window behind it.
    EXPECT_EQ((std::vector<HWND>{dialogWnd, dialogWnd}), colourOwners);

    // Import the GIF from the settings menu, then 预览.
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) -> INT_PTR {
        dialog.SetPathName(imported);
        return IDOK;
    });
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_IMPORT_FILE; });
    main->SendMessage(WM_COMMAND, IDC_SETTINGS_BUTTON);
    ASSERT_EQ(4, main->engine.GetFrameCount());
    main->SendMessage(WM_COMMAND, IDC_PREVIEW_BUTTON);
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 60000));

    int width = 0, height = 0;
    std::vector<FrameMark> frames;
    ASSERT_TRUE(ReadWithPil(main->gifPath, width, height, frames));
    EXPECT_EQ(kWidth, width);
    EXPECT_EQ(kHeight, height);
    ASSERT_EQ(4u, frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        const FrameMark& m = frames[i];
        // The box sits in the bottom right corner, against both edges, with the text in it.
        EXPECT_EQ(kWidth - 1, m.right) << "frame " << i;
        EXPECT_EQ(kHeight - 1, m.bottom) << "frame " << i;
        EXPECT_GT(m.left, kWidth / 2) << "frame " << i;
        EXPECT_GT(m.top, kHeight / 2) << "frame " << i;
        EXPECT_GT(m.textPixels, 20) << "frame " << i;
    }

    // Closing the main window writes the settings file; the next start reads it all back.
    main->SendMessage(WM_COMMAND, IDCANCEL);
    main->DestroyWindow();
    RecorderSettings restarted;
    restarted.Load(CRecorderApp::SettingsFilePath());
    EXPECT_TRUE(restarted.EnableLogo);
    EXPECT_STREQ(kTyped, CString(restarted.LogoText));
    EXPECT_EQ(3, restarted.LogoPos);
    EXPECT_EQ(kText, restarted.LogoColor);
    EXPECT_EQ(kBox, restarted.LogoBKColor);
    EXPECT_TRUE(restarted.LogoBK);
}

// The dialog only edits the settings, which the engine copies when it makes a GIF: the menu
// item opens it whatever the main window is doing, also while recording or making a GIF.
TEST_F(WatermarkEndToEnd, TheMenuItemOpensTheDialogInEveryState)
{
    for (int state : {RecorderIdle, RecorderRecording, RecorderPaused, RecorderReady, RecorderMaking}) {
        main->state = state;
        bool shown = false;
        ModalScript script([&](CLogoSettingDlg& d) { shown = d.IsWindowVisible() && !main->IsWindowEnabled(); });
        main->OnSettingsCommand(ID_WATERMARK);
        EXPECT_TRUE(shown) << "state " << state;
        EXPECT_TRUE(main->IsWindowEnabled()) << "state " << state;
    }
}

}  // namespace
