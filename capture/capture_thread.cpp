// The capture thread's message loop: start, pause and stop of the recording on a thread
// timer, and the make-GIF job.
#include <objbase.h>

#include <new>

#include "capture/screen_recorder.h"

namespace {

// COM for the thread (single-threaded apartment), released when the loop ends.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace

unsigned CScreenRecorder::RecorderThreadProc() {
    ComApartment com;
    LoopState state;
    MSG msg;
    // Messages are examined here, never dispatched: the thread has no window, and its timer
    // ticks arrive in its own queue.
    while (!quitRequested) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;  // WM_QUIT, or no queue to read
        HandleCommand(msg, state);
    }
    KillCaptureTimer(state);
    ClearProcessedFrames();
    ClearFrames();
    return 0;
}

void CScreenRecorder::KillCaptureTimer(LoopState& state) {
    if (state.timer != 0) {
        KillTimer(nullptr, state.timer);
        state.timer = 0;
    }
}

void CScreenRecorder::HandleCommand(const MSG& msg, LoopState& state) {
    switch (msg.message) {
    case TM_START_CAPTURE:
        if (state.newRecording) {
            ClearFrames();
            state.count = 0;
        }
        state.paused = false;
        state.newRecording = false;
        // A start while a timer runs replaces it rather than adding a second one.
        KillCaptureTimer(state);
        if (msg.lParam > 0) {
            state.timer = SetTimer(nullptr, 0, static_cast<UINT>(msg.lParam), nullptr);
            // Never 0: an interval above a second still records one frame a second.
            const LPARAM rate = 1000 / msg.lParam;
            fps = rate > 0 ? static_cast<int>(rate) : 1;
        }
        break;
    case TM_STOP_CAPTURE:
        state.paused = true;
        state.newRecording = true;
        KillCaptureTimer(state);
        if (msg.lParam > 0)
            PostReport(WM_CAPTURE_STOPPED, CAPTURE_STOP_REQUESTED, state.count);
        break;
    case TM_PAUSE_CAPTURE:
        state.paused = true;
        KillCaptureTimer(state);
        break;
    case WM_TIMER:
        OnTick(state);
        break;
    case TM_MAKE_GIF:
        MakeGif(msg.wParam, msg.lParam != 0);
        break;
    case TM_HAND_OVER_FRAMES:
        // Every command and tick posted before the request has run to its end. A paused or
        // stopped thread touches the lists again only on the next start or GIF job.
        AnswerHandOver(msg.wParam, state.paused);
        break;
    default:
        break;
    }
}

void CScreenRecorder::OnTick(LoopState& state) {
    // Ticks queued before a pause or stop arrive after it and are ignored here.
    if (state.paused) return;
    if (CaptureFrame()) {
        ++state.count;
        PostReport(WM_FRAME_CAPTURED, 0, state.count);
        return;
    }
    if (CaptureRanOutOfMemory()) {
        // Keep what was recorded, stop as a stop request would, and say why.
        state.paused = true;
        state.newRecording = true;
        KillCaptureTimer(state);
        PostReport(WM_CAPTURE_STOPPED, CAPTURE_STOP_OUT_OF_MEMORY, state.count);
    }
}

void CScreenRecorder::MakeGif(WPARAM mode, bool dither) {
    bool written = false;
    ClearProcessedFrames();
    try {
        if (frames.GetSize() > 0) {
            ProcessFrames(static_cast<int>(mode));
            if (processedFrames.GetSize() > 0 && !quitRequested) {
                written = WriteAnimatedGif(outputPath, processedFrames.GetData(),
                                           static_cast<int>(processedFrames.GetSize()), dither, 0,
                                           0);
            }
        }
    } catch (const std::bad_alloc&) {
        written = false;  // the writer leaves no partial file behind
    }
    ClearProcessedFrames();
    --gifJobsPending;
    PostReport(WM_GIF_DONE, mode, written ? 1 : 0);
}
