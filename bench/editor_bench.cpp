// Edit dialog benchmark: opens the dialog on 1,000 frames of 800 x 600 and scrolls its frame
// strip from the first row to the last, one row at a time, at 256 and at 32 colours. Prints the
// time to open (until the dialog and its strip are painted) and the slowest and mean repaint of
// the strip. A user should never wait more than a second for the dialog. Run it under Wine on a
// display (scripts/bench.sh does).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/recorder_app.h"
#include "editor/add_text_dlg.h"
#include "editor/frame_strip_view.h"
#include "recorder/recorder_dlg.h"
#include "res/editor_ids.h"
#include "res/resource.h"

namespace {

constexpr int kFrames = 1000;
constexpr int kWidth = 800, kHeight = 600;

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A picture with detail everywhere, so that scaling and reduction do real work.
CxImage* MakeFrame(int seed)
{
    std::unique_ptr<BYTE[]> pixels(new BYTE[static_cast<size_t>(kWidth) * kHeight * 3]);
    for (int y = 0; y < kHeight; ++y) {
        BYTE* row = pixels.get() + static_cast<size_t>(y) * kWidth * 3;
        for (int x = 0; x < kWidth; ++x) {
            row[x * 3] = static_cast<BYTE>(x + seed);
            row[x * 3 + 1] = static_cast<BYTE>(y * 2 + seed);
            row[x * 3 + 2] = static_cast<BYTE>((x ^ y) + seed);
        }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, pixels.get(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    auto* picture = new CxImage;
    picture->CreateFromHBITMAP(bitmap);
    DeleteObject(bitmap);
    picture->SetFlags(1, false);
    return picture;
}

// Scrolls the strip one row at a time from the top to the end; the slowest repaint in seconds,
// and the mean one in *mean.
double ScrollEndToEnd(XListView& strip, int* steps, double* mean)
{
    strip.ScrollToPosition(CPoint(0, 0));
    strip.UpdateWindow();
    double worst = 0, total = 0;
    *steps = 0;
    for (;;) {
        const int before = strip.GetScrollPosition().y;
        strip.SendMessage(WM_VSCROLL, SB_LINEDOWN);
        if (strip.GetScrollPosition().y == before)
            break;
        const LARGE_INTEGER t0 = Now();
        strip.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const double took = Seconds(t0, Now());
        worst = std::max(worst, took);
        total += took;
        ++*steps;
        PumpPending();
    }
    *mean = *steps ? total / *steps : 0;
    return worst;
}

}  // namespace

int main()
{
    std::unique_ptr<CRecorderDlg> main(new CRecorderDlg(theApp));
    theApp.m_pMainWnd = main.get();
    if (!main->Create(IDD_RECORDER_DIALOG)) {
        std::printf("the main window could not be made\n");
        return 1;
    }
    std::printf("making %d frames of %d x %d...\n", kFrames, kWidth, kHeight);
    std::unique_ptr<CxImage> base[4];
    for (int i = 0; i < 4; ++i)
        base[i].reset(MakeFrame(i * 37));
    for (int i = 0; i < kFrames; ++i)
        main->engine.frames.Add(new FrameRecord{new CxImage(*base[i % 4]), 10});
    main->frameCount = kFrames;
    main->state = RecorderReady;

    const LARGE_INTEGER t0 = Now();
    CAddTextDlg dialog(*main, main.get());
    dialog.Create(IDD_EDIT_DIALOG, main.get());
    dialog.ShowWindow(SW_SHOWNORMAL);
    dialog.UpdateWindow();
    if (dialog.strip)
        dialog.strip->UpdateWindow();
    const double open = Seconds(t0, Now());
    std::printf("open the Edit dialog on %d frames: %.3f s\n", kFrames, open);
    if (!dialog.strip) {
        std::printf("no frame strip\n");
        return 1;
    }
    // The first pass makes each row's thumbnail as it comes into view; the second reduces them.
    int steps = 0;
    double mean = 0;
    double worst = ScrollEndToEnd(*dialog.strip, &steps, &mean);
    std::printf("scroll end to end at 256 colours: %d rows, worst repaint %.1f ms, mean %.1f ms\n", steps,
                worst * 1000, mean * 1000);
    dialog.ApplyColorLevels(ID_EDIT_COLORS_32);
    worst = ScrollEndToEnd(*dialog.strip, &steps, &mean);
    std::printf("scroll end to end at 32 colours: %d rows, worst repaint %.1f ms, mean %.1f ms\n", steps,
                worst * 1000, mean * 1000);

    dialog.DestroyWindow();
    main->state = RecorderIdle;
    main->SendMessage(WM_COMMAND, IDCANCEL);
    main->DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    DeleteFileW(CRecorderApp::SettingsFilePath());
    return 0;
}
