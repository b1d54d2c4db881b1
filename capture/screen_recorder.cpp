#include "capture/screen_recorder.h"

#include <process.h>

#include <cstdlib>
#include <ctime>
#include <cwchar>

#include "capture/caption_list.h"

namespace {

// How long a report waits for room in a full window queue.
constexpr int kReportAttempts = 50;
constexpr DWORD kReportRetryMs = 10;

}  // namespace

CScreenRecorder::CScreenRecorder() {
    ZeroMemory(&watermarkText, sizeof watermarkText);
    watermarkText.lfont.lfHeight = -12;
    watermarkText.lfont.lfWeight = FW_NORMAL;
    watermarkText.lfont.lfItalic = 0;
    watermarkText.lfont.lfUnderline = 0;
    watermarkText.lfont.lfCharSet = DEFAULT_CHARSET;
    wcscpy(watermarkText.lfont.lfFaceName, L"Arial");
    watermarkText.fcolor = RGB(255, 255, 255);
    watermarkText.align = 0;
    watermarkText.opaque = 1;
    watermarkText.b_opacity = 0.0f;
    watermarkText.b_round = 0;
}

CScreenRecorder::~CScreenRecorder() {
    if (threadHandle && !StopRecorderThread(kQuitWaitMs)) {
        // The thread works on this object, which is about to go: it cannot be left running.
        // Only a thread stuck for the whole bound gets here, and the process is ending.
        TerminateThread(threadHandle.Get(), 1);
        WaitForSingleObject(threadHandle.Get(), kQuitWaitMs);
        threadHandle.Reset();
        threadId = 0;
    }
    ClearProcessedFrames();
    ClearFrames();
    ClearCaptionList(captions);
}

bool CScreenRecorder::StartRecorderThread() {
    if (threadHandle) return true;
    quitRequested = false;
    gifJobsPending = 0;
    threadReady.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    handOverAnswered.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!threadReady || !handOverAnswered) return false;
    unsigned id = 0;
    const uintptr_t started = _beginthreadex(nullptr, 0, &CScreenRecorder::ThreadEntry, this, 0, &id);
    if (started == 0) return false;
    threadHandle.Reset(reinterpret_cast<HANDLE>(started));
    threadId = id;

    const HANDLE waits[2] = {threadReady.Get(), threadHandle.Get()};
    const DWORD result = WaitForMultipleObjects(2, waits, FALSE, kStartWaitMs);
    if (result == WAIT_OBJECT_0) return true;
    // It ended before its queue existed, or is stuck: have it end as soon as it can.
    StopRecorderThread(kStartWaitMs);
    return false;
}

bool CScreenRecorder::StopRecorderThread(DWORD timeoutMs) {
    if (!threadHandle) return true;
    quitRequested = true;
    // A failed post (a full queue) is covered by the flag, which the loop reads after every
    // message.
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    if (WaitForSingleObject(threadHandle.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
    threadHandle.Reset();
    threadId = 0;
    return true;
}

unsigned __stdcall CScreenRecorder::ThreadEntry(void* engine) {
    CScreenRecorder* self = static_cast<CScreenRecorder*>(engine);
    // A thread gets its message queue with its first message call; only then can commands be
    // posted to it.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(self->threadReady.Get());
    return self->RecorderThreadProc();
}

bool CScreenRecorder::PostCommand(UINT message, WPARAM wParam, LPARAM lParam) {
    if (threadId == 0) return false;
    // Counted before the post: the thread may finish the job before PostThreadMessage returns.
    if (message == TM_MAKE_GIF) ++gifJobsPending;
    if (PostThreadMessageW(threadId, message, wParam, lParam)) return true;
    if (message == TM_MAKE_GIF) --gifJobsPending;
    return false;
}

bool CScreenRecorder::AcquireFramesForUi(DWORD timeoutMs) {
    if (!threadHandle) return true;
    if (gifJobsPending > 0) return false;
    // Tickets use 31 bits and never 0, the answer before any request.
    handOverTickets = (handOverTickets + 1) & (~0u >> 1);
    if (handOverTickets == 0) handOverTickets = 1;
    const unsigned ticket = handOverTickets;
    if (!PostThreadMessageW(threadId, TM_HAND_OVER_FRAMES, ticket, 0)) return false;
    const DWORD start = GetTickCount();
    const HANDLE waits[2] = {handOverAnswered.Get(), threadHandle.Get()};
    for (;;) {
        const unsigned answer = handOverAnswer.load();
        if ((answer >> 1) == ticket) return (answer & 1u) != 0;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, timeoutMs - elapsed);
        // A thread that has ended touches nothing any more.
        if (woke == WAIT_OBJECT_0 + 1) return true;
        if (woke != WAIT_OBJECT_0) return false;
    }
}

void CScreenRecorder::AnswerHandOver(WPARAM ticket, bool idle) {
    handOverAnswer = (static_cast<unsigned>(ticket) << 1) | (idle ? 1u : 0u);
    SetEvent(handOverAnswered.Get());
}

bool CScreenRecorder::PostReport(UINT message, WPARAM wParam, LPARAM lParam) const {
    const HWND wnd = notifyWnd;
    if (wnd == nullptr) return false;
    for (int attempt = 0; attempt < kReportAttempts; ++attempt) {
        if (PostMessageW(wnd, message, wParam, lParam)) return true;
        if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA || quitRequested) return false;
        Sleep(kReportRetryMs);
    }
    return false;
}

void CScreenRecorder::ClearFrames() {
    for (INT_PTR i = 0; i < frames.GetSize(); ++i) {
        FrameRecord* record = frames[i];
        if (record) delete record->image;
        delete record;
    }
    frames.RemoveAll();
}

void CScreenRecorder::ClearProcessedFrames() {
    for (INT_PTR i = 0; i < processedFrames.GetSize(); ++i) {
        FrameRecord* record = processedFrames[i];
        if (record) delete record->image;
        delete record;
    }
    processedFrames.RemoveAll();
}

FrameRecord* CScreenRecorder::GetFrame(int n) const {
    if (n < 1 || n > GetFrameCount()) return nullptr;
    return frames.GetAt(n - 1);
}

CxImage* CScreenRecorder::GetFrameImage(int n) const {
    const FrameRecord* record = GetFrame(n);
    return record ? record->image : nullptr;
}

void CScreenRecorder::SetCaptureRegion(int left, int top, int right, int bottom, int mode) {
    if (left > right || top > bottom) return;
    captureRect = RECT{left, top, right, bottom};
    cursorMode = mode;
}

void CScreenRecorder::SetOutput(float outputScale, const wchar_t* path) {
    scale = outputScale;
    const size_t n = path ? wcsnlen(path, MAX_PATH - 1) : 0;
    if (n > 0) wmemcpy(outputPath, path, n);
    outputPath[n] = 0;
}

void CScreenRecorder::SetWatermark(bool on, int position, COLORREF textColour,
                                   COLORREF boxColour, int fontHeight, bool bold, bool italic,
                                   bool box, const wchar_t* text) {
    watermarkOn = on;
    watermarkPos = position;
    watermarkText.fcolor = textColour;
    watermarkText.bcolor = boxColour;
    watermarkText.lfont.lfHeight = fontHeight;
    watermarkText.lfont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    watermarkText.lfont.lfItalic = italic ? 1 : 0;
    watermarkText.opaque = box ? 1 : 0;
    SetTextInfoText(watermarkText, text);
    watermarkText.align = 0;
}

void CScreenRecorder::OutputSize(int mode, int& w, int& h) const {
    w = static_cast<int>(static_cast<float>(captureRect.right - captureRect.left) * scale);
    h = static_cast<int>(static_cast<float>(captureRect.bottom - captureRect.top) * scale);
    if (mode == static_cast<int>(GIF_MODE_FIT_400)) {
        const float sx = static_cast<float>(w) / 400.0f;
        const float sy = static_cast<float>(h) / 400.0f;
        if (sx > 1.0f && sy <= sx) {
            w = 400;
            h = static_cast<int>(static_cast<float>(h) / sx);
        } else if (sx <= sy && sy > 1.0f) {
            w = static_cast<int>(static_cast<float>(w) / sy);
            h = 400;
        }
    }
    // A tiny region or scale must still give a picture.
    if (w < 1) w = 1;
    if (h < 1) h = 1;
}

void CScreenRecorder::RandomTextY(int& x, int& y) {
    int w = 0, h = 0;
    OutputSize(static_cast<int>(GIF_MODE_AS_SET), w, h);
    srand(static_cast<unsigned>(time(nullptr)));
    x = 0;
    const int range = (2 * h) / 3;
    y = range > 0 ? rand() % range : 0;
}
