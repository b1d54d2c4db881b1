// Capture benchmark: records an 800 x 600 region at 30 frames per second for a few seconds with
// the real engine and reports frames delivered per second, CPU time of the capture thread per
// frame, and memory per recorded frame against the raw 24-bit size. Run it under Wine on a
// display (scripts/bench.sh does).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "capture/engine_messages.h"
#include "capture/screen_recorder.h"

CPtrList g_captionList(10);

namespace {

int g_frames = 0;
bool g_stopped = false;

LRESULT CALLBACK ReceiverProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_FRAME_CAPTURED)
        g_frames = (int)lParam;
    else if (message == WM_CAPTURE_STOPPED)
        g_stopped = true;
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

void PumpFor(DWORD milliseconds, bool* until = nullptr)
{
    const DWORD end = GetTickCount() + milliseconds;
    while ((int)(end - GetTickCount()) > 0 && !(until && *until)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

double ThreadCpuSeconds(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return 0.0;
    auto seconds = [](const FILETIME& t) {
        return (double)(((ULONGLONG)t.dwHighDateTime << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Address space in use by the process (Wine reports no private-bytes counter).
SIZE_T PrivateBytes()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return (SIZE_T)(status.ullTotalVirtual - status.ullAvailVirtual);
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? atoi(argv[1]) : 5;
    const int width = 800, height = 600, rate = 30;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KelvoCaptureBench";
    RegisterClassW(&wc);
    HWND receiver = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);

    CScreenRecorder engine;
    engine.SetNotifyWindow(receiver);
    if (!engine.StartRecorderThread()) {
        fprintf(stderr, "capture_bench: the capture thread did not start\n");
        return 1;
    }
    engine.SetCaptureRegion(100, 100, 100 + width, 100 + height, 1);
    const SIZE_T memoryBefore = PrivateBytes();
    const double cpuBefore = ThreadCpuSeconds(engine.threadHandle.Get());
    const DWORD start = GetTickCount();
    engine.PostCommand(TM_START_CAPTURE, 0, 1000 / rate);
    PumpFor((DWORD)seconds * 1000);
    const DWORD elapsed = GetTickCount() - start;
    const int frames = g_frames;
    const double cpu = ThreadCpuSeconds(engine.threadHandle.Get()) - cpuBefore;
    const SIZE_T memoryAfter = PrivateBytes();
    engine.PostCommand(TM_STOP_CAPTURE, 0, 1);
    PumpFor(5000, &g_stopped);

    const double raw = (double)width * height * 3;
    const double perFrame = frames ? (double)(memoryAfter - memoryBefore) / frames : 0.0;
    printf("capture %dx%d at %d fps for %.1f s\n", width, height, rate, elapsed / 1000.0);
    printf("frames delivered: %d (%.1f per second, target >= 29)\n", frames, frames * 1000.0 / elapsed);
    printf("capture thread CPU: %.2f ms per frame\n", frames ? cpu * 1000.0 / frames : 0.0);
    printf("memory per frame: %.0f bytes = %.2f x the raw 24-bit size (target <= 1.2)\n", perFrame, perFrame / raw);
    engine.StopRecorderThread();
    DestroyWindow(receiver);
    return 0;
}
