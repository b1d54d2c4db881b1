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
#include "recorder/recorder_dlg.h"
#include "res/resource.h"
#include "window_test_util.h"

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

// Runs a host program under Wine and waits for it; -1 when not running under Wine.
int RunHost(const std::vector<std::string>& args)
{
    typedef LONG(CDECL * SpawnFn)(char* const argv[], int wait);
    auto spawn = (SpawnFn)(void*)GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp");
    if (!spawn)
        return -1;
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return (int)spawn(argv.data(), 1);
}

std::string UnixPath(const wchar_t* path)
{
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    auto toUnix = (UnixNameFn)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix)
        return std::string();
    char* name = toUnix(path);
    std::string result = name ? name : "";
    if (name)
        HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::string ReadFileText(const wchar_t* path)
{
    FILE* f = _wfopen(path, L"rb");
    if (!f)
        return std::string();
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
        text.append(buffer, n);
    fclose(f);
    return text;
}

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
    "    out.write('%d %d %d %d\\n' % (im.info.get('duration', 0), r, g, b))\n";

TEST(Recording, EndToEndThroughAnIndependentDecoder)
{
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp"))
        GTEST_SKIP() << "needs Wine's host-process call";
    DeleteFileW(CRecorderApp::SettingsFilePath());
    {
        // 10 frames per second, output at half size.
        FILE* f = _wfopen(CRecorderApp::SettingsFilePath(), L"wb");
        ASSERT_NE(nullptr, f);
        fputs("[Param]\r\nRate1=10\r\nRatio=50\r\n", f);
        fclose(f);
    }
    auto main = std::make_unique<CRecorderDlg>();
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

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString report = CString(temp) + L"kelvo_pil_report.txt";
    CString script = CString(temp) + L"kelvo_pil_check.py";
    {
        FILE* f = _wfopen(script, L"wb");
        ASSERT_NE(nullptr, f);
        fputs(kPilScript, f);
        fclose(f);
    }
    ASSERT_EQ(0, RunHost({"/usr/bin/python3", UnixPath(script), UnixPath(gif), UnixPath(report)}));
    std::istringstream in(ReadFileText(report));
    int width = 0, height = 0, frames = 0;
    in >> width >> height >> frames;
    EXPECT_EQ(area.Width() / 2, width);
    EXPECT_EQ(area.Height() / 2, height);
    // About 20 frames at 10 per second, with runs of equal neighbours merged.
    EXPECT_GE(captured, 12);
    EXPECT_LE(captured, 30);
    ASSERT_GE(frames, 3);
    EXPECT_LE(frames, captured);
    int total = 0;
    for (int i = 0; i < frames; ++i) {
        int delay = 0, r = 0, g = 0, b = 0;
        in >> delay >> r >> g >> b;
        total += delay;
        // Each frame shows one colour of the pattern.
        bool matched = false;
        for (COLORREF c : kPattern) {
            matched |= abs(r - GetRValue(c)) <= 8 && abs(g - GetGValue(c)) <= 8 && abs(b - GetBValue(c)) <= 8;
        }
        EXPECT_TRUE(matched) << "frame " << i << " is " << r << "," << g << "," << b;
    }
    // Every captured frame lasts 100 ms, and merging keeps the sum (PIL reports milliseconds).
    EXPECT_EQ(captured * 100, total);

    main->SendMessage(WM_COMMAND, IDCANCEL);
    main->DestroyWindow();
    pattern.DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    DeleteFileW(report);
    DeleteFileW(script);
    DeleteFileW(CRecorderApp::SettingsFilePath());
}

}  // namespace
