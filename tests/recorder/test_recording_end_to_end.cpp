// End to end: record a region of the screen where a window cycles through known colours,
// press preview, and read the written GIF back with an independent decoder (Python's PIL on
// the host, through Wine's host-process call).
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/recorder_app.h"
#include "recorder/preview_dlg.h"
#include "recorder/recorder_dlg.h"
#include "res/preview_ids.h"
#include "res/resource.h"
#include "tests/host_pil.h"
#include "tests/test_pump.h"

namespace {

const COLORREF kPattern[] = {RGB(220, 30, 30), RGB(30, 200, 40), RGB(40, 60, 230), RGB(240, 240, 20)};

// A window that shows one colour of the pattern and moves to the next every 200 ms.
class PatternWindow : public CWnd {
public:
    int index = 0;
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(rc, kPattern[index % 4]);
    }
    void OnTimer(UINT_PTR)
    {
        ++index;
        Invalidate(FALSE);
        UpdateWindow();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PatternWindow, CWnd)
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Prints the size, then per frame: delay and the composed colour at the centre.
const char kPilScript[] =
    "import sys\n"
    "from PIL import Image\n"
    "im = Image.open(sys.argv[1])\n"
    "out = open(sys.argv[2], 'w')\n"
    "out.write('%d %d %d\\n' % (im.size[0], im.size[1], im.n_frames))\n"
    "for i in range(im.n_frames):\n"
    "    im.seek(i)\n"
    "    r, g, b = im.convert('RGB').getpixel((im.size[0] // 2, im.size[1] // 2))\n"
    "    out.write('%d %d %d %d\\n' % (im.info.get('duration', 0), r, g, b))\n"
    "colours = set()\n"
    "for i in range(im.n_frames):\n"
    "    im.seek(i)\n"
    "    colours.update(c for n, c in im.convert('RGB').getcolors(1 << 24))\n"
    "out.write('%d\\n' % len(colours))\n";

struct PilReport {
    int width = 0, height = 0, frames = 0, colours = 0;
    std::vector<int> delays;
    std::vector<COLORREF> centres;
};

// Reads a GIF with Python's PIL on the host.
bool ReadWithPil(const CString& gif, PilReport& report)
{
    std::string text;
    if (!host_pil::RunScript(kPilScript, {std::wstring(gif)}, text))
        return false;
    std::istringstream in(text);
    in >> report.width >> report.height >> report.frames;
    for (int i = 0; i < report.frames; ++i) {
        int delay = 0, r = 0, g = 0, b = 0;
        in >> delay >> r >> g >> b;
        report.delays.push_back(delay);
        report.centres.push_back(RGB(r, g, b));
    }
    in >> report.colours;
    return (bool)in;
}

std::string FileBytes(const CString& path) { return host_pil::ReadFileText(path); }

TEST(Recording, EndToEndThroughAnIndependentDecoder)
{
    if (!host_pil::Available())
        GTEST_SKIP() << "needs Wine's host-process call";
    DeleteFileW(CRecorderApp::SettingsFilePath());
    {
        // 10 frames per second, output at half size.
        FILE* f = _wfopen(CRecorderApp::SettingsFilePath(), L"wb");
        ASSERT_NE(nullptr, f);
        fputs("[Param]\r\nRate1=10\r\nRatio=50\r\n", f);
        fclose(f);
    }
    auto main = std::make_unique<CRecorderDlg>(theApp);
    theApp.m_pMainWnd = main.get();
    ASSERT_TRUE(main->Create(IDD_RECORDER_DIALOG));
    Pump(300);
    const CRect area = main->captureRect;

    PatternWindow pattern;
    ASSERT_TRUE(pattern.CreateEx(0, AfxRegisterWndClass(0), L"pattern", WS_POPUP | WS_VISIBLE, area.left, area.top,
                                 area.Width(), area.Height(), nullptr, nullptr));
    pattern.UpdateWindow();
    Pump(200);
    pattern.SetTimer(1, 200);

    main->SendMessage(WM_COMMAND, IDC_START_BUTTON);
    Pump(2000);
    main->SendMessage(WM_COMMAND, IDC_PREVIEW_BUTTON);
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 60000));
    pattern.KillTimer(1);
    const int captured = main->engine.GetFrameCount();
    const CString gif = main->gifPath;

    PilReport report;
    ASSERT_TRUE(ReadWithPil(gif, report));
    EXPECT_EQ(area.Width() / 2, report.width);
    EXPECT_EQ(area.Height() / 2, report.height);
    // About 20 frames at 10 per second, with runs of equal neighbours merged.
    EXPECT_GE(captured, 12);
    EXPECT_LE(captured, 30);
    ASSERT_GE(report.frames, 3);
    EXPECT_LE(report.frames, captured);
    int total = 0;
    for (int i = 0; i < report.frames; ++i) {
        total += report.delays[i];
        // Each frame shows one colour of the pattern.
        const COLORREF c = report.centres[i];
        bool matched = false;
        for (COLORREF p : kPattern) {
            matched |= abs(GetRValue(c) - GetRValue(p)) <= 8 && abs(GetGValue(c) - GetGValue(p)) <= 8 &&
                       abs(GetBValue(c) - GetBValue(p)) <= 8;
        }
        EXPECT_TRUE(matched) << "frame " << i;
    }
    // Every captured frame lasts 100 ms, and merging keeps the sum (PIL reports milliseconds).
    EXPECT_EQ(captured * 100, total);

    // The preview shows it; Save As makes a byte-identical copy.
    ASSERT_NE(nullptr, main->preview);
    EXPECT_TRUE(main->preview->IsWindowVisible());
    EXPECT_STREQ(gif, main->preview->gifPath);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString saved = CString(temp) + L"kelvo 保存 copy.gif";
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) -> INT_PTR {
        dialog.SetPathName(saved);
        return IDOK;
    });
    main->preview->SaveGifAs();
    CFileDialog::SetTestResponder(nullptr);
    EXPECT_EQ(FileBytes(gif), FileBytes(saved));

    // The micro-blog copy at 64 colours: fitted into 400 x 400, then through gifsicle.
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return CPreviewDlg::QualityChoiceForColours(64); });
    main->preview->SendMessage(WM_COMMAND, IDC_PREVIEW_MICROBLOG);
    CMenu::SetTestResponder(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady && main->preview->gifPath != gif; }, 60000));
    const CString compressed = main->preview->gifPath;
    PilReport small;
    ASSERT_TRUE(ReadWithPil(compressed, small));
    EXPECT_LE(small.width, 400);
    EXPECT_LE(small.height, 400);
    EXPECT_GE(small.frames, 1);
    EXPECT_LE(small.colours, 64);
    DeleteFileW(saved);

    main->SendMessage(WM_COMMAND, IDCANCEL);
    main->DestroyWindow();
    pattern.DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    DeleteFileW(CRecorderApp::SettingsFilePath());
}

}  // namespace
