// End to end through the real program: 自定义水印 from the settings menu, the watermark turned on
// with a Chinese text typed on the keyboard, bottom right, colours from the colour dialog and a
// box; then an animated GIF is imported and 预览 makes the GIF. Every frame of that GIF, read
// back with an independent decoder (Python's PIL on the host), shows the watermark in the
// bottom right corner, and the settings file keeps the Chinese text for the next start. Enter on
// an open drop-down list chooses its highlighted item.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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

// The size and frame count, then a verdict per frame: the box against the bottom and right edges,
// in the bottom right quarter, with the text in it; else where the box is and how much text.
const char kPilScript[] =
    "import sys\n"
    "from PIL import Image\n"
    "im = Image.open(sys.argv[1])\n"
    "out = open(sys.argv[2], 'w')\n"
    "near = lambda c, k: sum(abs(a - b) for a, b in zip(c, k)) <= 40\n"
    "w, h = im.size\n"
    "out.write('%dx%d, %d frames\\n' % (w, h, im.n_frames))\n"
    "for i in range(im.n_frames):\n"
    "    im.seek(i)\n"
    "    px = im.convert('RGB').load()\n"
    "    box = [(x, y) for y in range(h) for x in range(w) if near(px[x, y], (0, 0, 255))] or [(-1, -1)]\n"
    "    l, r = min(p[0] for p in box), max(p[0] for p in box)\n"
    "    t, b = min(p[1] for p in box), max(p[1] for p in box)\n"
    "    text = sum(near(px[x, y], (255, 255, 0)) for y in range(max(t, 0), b + 1) for x in range(max(l, 0), r + 1))\n"
    "    ok = r == w - 1 and b == h - 1 and l > w // 2 and t > h // 2 and text > 20\n"
    "    out.write('frame %d: %s\\n' % (i, 'bottom right' if ok else 'box %d,%d-%d,%d, %d text pixels' % (l, t, r, b, text)))\n";

// Sends the command that opens the watermark dialog modally; once the dialog is up (seen from a
// thread timer of its modal loop) runs `body` in it, then closes it with its caption's close
// button. False when the dialog never came up.
bool WithDialog(const std::function<void()>& command, std::function<void(CLogoSettingDlg&)> body)
{
    static std::function<void(CLogoSettingDlg&)> pending;
    pending = std::move(body);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND wnd = ::FindWindowW(nullptr, L"自定义水印设置");
        auto* dialog = wnd ? dynamic_cast<CLogoSettingDlg*>(CWnd::FromHandlePermanent(wnd)) : nullptr;
        if (!dialog || !dialog->IsWindowVisible() || !pending)
            return;  // not up yet: try at the next tick
        const auto run = std::move(pending);
        pending = nullptr;
        run(*dialog);
        dialog->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    command();
    ::KillTimer(nullptr, timer);
    const bool ran = !pending;
    pending = nullptr;
    return ran;
}

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
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_WATERMARK; });
    EXPECT_TRUE(WithDialog([&] { main->SendMessage(WM_COMMAND, IDC_SETTINGS_BUTTON); }, [&](CLogoSettingDlg& d) {
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
    }));
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

    std::string report;
    ASSERT_TRUE(host_pil::RunScript(kPilScript, {std::wstring(main->gifPath.GetString())}, report)) << report;
    std::string expected = std::to_string(kWidth) + "x" + std::to_string(kHeight) + ", 4 frames\n";
    for (int i = 0; i < 4; ++i)
        expected += "frame " + std::to_string(i) + ": bottom right\n";
    EXPECT_EQ(expected, report);

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

// Keys on the open position list: Down moves the highlight, Enter closes the list on it and the
// choice is applied; the dialog stays.
TEST_F(WatermarkEndToEnd, ListsOpenEightEntriesTallAndEnterOnAnOpenListTakesTheHighlightedPlace)
{
    main->settings.EnableLogo = true;
    main->settings.LogoPos = 0;
    bool dropped = false, closedOnIt = false, stayed = false;
    int shown = -1, stored = -1;
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_WATERMARK; });
    EXPECT_TRUE(WithDialog([&] { main->SendMessage(WM_COMMAND, IDC_SETTINGS_BUTTON); }, [&](CLogoSettingDlg& d) {
        // Each list opens with room for 8 entries, or for all of them when it has fewer.
        for (CComboBox* combo : {&d.positionList, &d.sizeList}) {
            combo->SendMessage(CB_SHOWDROPDOWN, TRUE);
            Pump(50);
            COMBOBOXINFO info = {};
            info.cbSize = sizeof(info);
            ASSERT_TRUE(::GetComboBoxInfo(combo->m_hWnd, &info));
            CRect open;
            ::GetClientRect(info.hwndList, &open);
            const int entries = std::min(8, combo->GetCount());
            EXPECT_GE(open.Height(), entries * static_cast<int>(combo->SendMessage(CB_GETITEMHEIGHT)))
                << combo->GetDlgCtrlID();
            combo->SendMessage(CB_SHOWDROPDOWN, FALSE);
            Pump(50);
        }
        CComboBox& list = d.positionList;
        list.SetFocus();
        list.SendMessage(CB_SHOWDROPDOWN, TRUE);
        Pump(50);
        dropped = list.SendMessage(CB_GETDROPPEDSTATE) != 0;
        TypeKey(VK_DOWN);
        TypeKey(VK_RETURN);
        Pump(50);
        closedOnIt = list.SendMessage(CB_GETDROPPEDSTATE) == 0;
        shown = list.GetCurSel();
        stored = main->settings.LogoPos;
        stayed = d.IsWindowVisible() != FALSE;
    }));
    EXPECT_TRUE(dropped);
    EXPECT_TRUE(closedOnIt);
    EXPECT_EQ(1, shown);
    EXPECT_EQ(1, stored);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(1, main->settings.LogoPos);  // closing stores what the list shows
}

// The dialog only edits the settings, which the engine copies when it makes a GIF: the menu
// item opens it, modal, whatever the main window is doing.
TEST_F(WatermarkEndToEnd, TheMenuItemOpensTheDialogInEveryState)
{
    for (int state : {RecorderIdle, RecorderRecording, RecorderPaused, RecorderReady, RecorderMaking}) {
        main->state = state;
        bool modal = false;
        EXPECT_TRUE(WithDialog([&] { main->OnSettingsCommand(ID_WATERMARK); },
                               [&](CLogoSettingDlg&) { modal = !main->IsWindowEnabled(); })) << "state " << state;
        EXPECT_TRUE(modal && main->IsWindowEnabled()) << "state " << state;
    }
}

}  // namespace
