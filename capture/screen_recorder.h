// The capture engine: its own thread copies the capture rectangle from the screen on a timer
// into a list of frames, and on request prepares the kept frames (captions, scaling,
// watermark) and writes them as an animated GIF. The user-interface thread commands it with
// the thread messages of engine_messages.h; it answers with window messages to notifyWnd.
//
// Who may touch the frame lists, and when (no lock guards them; the hand-over does):
// - `frames` and `captions`: the capture thread appends frames while recording, empties the
//   list at a new start and when it ends, and reads both while it makes a GIF. The
//   user-interface thread may read or change them (Edit dialog, GIF import, GetFrame...) only
//   after AcquireFramesForUi returned true, and then until it posts the next TM_START_CAPTURE
//   or TM_MAKE_GIF. A pause alone is not enough: a tick that began before it may still be
//   capturing; the hand-over waits for the thread to confirm that it is idle.
// - `processedFrames`: the capture thread only, while it makes a GIF.
// - The setters (SetCaptureRegion, SetOutput, SetWatermark, SetNotifyWindow): the
//   user-interface thread, while the capture thread is idle, before posting the command that
//   uses the values; the post orders the writes before the thread's reads.
#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "capture/engine_messages.h"
#include "capture/gif_pipeline.h"
#include "capture/recorder_state.h"
#include "framework/collections.h"
#include "image/handles.h"
#include "image/ximage.h"

// One captured or imported frame; the record owns its picture.
struct FrameRecord {
    CxImage* image;  // captured frames are 24-bit
    int delay;       // display time in hundredths of a second
};

typedef CTypedPtrArray<CPtrArray, FrameRecord*> FrameRecordArray;

class CScreenRecorder {
public:
    // Bounds of the thread's start and end, in ms.
    static constexpr DWORD kStartWaitMs = 5000;
    static constexpr DWORD kQuitWaitMs = 10000;
    // Bound of the wait for the thread to hand the frames over, in ms.
    static constexpr DWORD kHandOverWaitMs = 3000;

    CScreenRecorder();
    // Ends a thread still running (bounded) and deletes every record left in the lists.
    virtual ~CScreenRecorder();
    CScreenRecorder(const CScreenRecorder&) = delete;
    CScreenRecorder& operator=(const CScreenRecorder&) = delete;

    // Starts the capture thread and returns once its message queue exists, so that commands
    // posted right after are not lost. False when it could not be started in kStartWaitMs.
    // True at once when the thread already runs.
    bool StartRecorderThread();
    // Asks the thread to end (a long job stops at its next step) and waits at most timeoutMs.
    // True when no thread runs any more; false when it did not end in time: it is then left
    // to the end of the process and the engine must not be reused.
    bool StopRecorderThread(DWORD timeoutMs = kQuitWaitMs);
    static unsigned __stdcall ThreadEntry(void* engine);
    // The capture thread's message loop; returns 0.
    virtual unsigned RecorderThreadProc();

    // Posts a command to the capture thread; false when there is no thread or the post failed.
    bool PostCommand(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // One screen copy of captureRect (with the cursor as cursorMode says) appended to
    // `frames`. False when nothing was added; CaptureRanOutOfMemory() then tells whether a
    // frame could not be stored for want of memory. Virtual so that a test can stand in for
    // the screen; a class that overrides it must stop the thread in its own destructor.
    virtual bool CaptureFrame();
    bool CaptureRanOutOfMemory() const { return captureOutOfMemory; }
    void ClearFrames();
    void ClearProcessedFrames();

    // Frame preparation: every kept frame of `frames` copied, captioned, scaled to the output
    // size and watermarked into `processedFrames`; progress 0..59 to notifyWnd.
    // mode GIF_MODE_FIT_400 fits the output into 400 x 400.
    void ProcessFrames(int mode);
    // Draws every caption of `captions` whose range holds frameNumber (1-based).
    void DrawCaptions(CxImage& picture, int frameNumber);
    // The watermark text's size in its font, when watermarkOn; else both left unchanged.
    void MeasureWatermarkText(int& width, int& height);

    // Writes the records' pictures as an animated GIF to path (see gif_pipeline.h), posting
    // progress 60..95 and 100 to notifyWnd. playCount: 0 forever, 1 once, n times. True when
    // the file was written whole; else false and no file is left.
    bool WriteAnimatedGif(const wchar_t* path, FrameRecord* const* records, int count,
                          bool dither, int playCount, int unused = 0);
    // The same with one delay for all pictures: 100 / framesPerSecond (at least 1).
    bool WriteAnimatedGifFromImages(const wchar_t* path, CxImage* const* images, int count,
                                    int framesPerSecond, bool dither, int playCount,
                                    int unused = 0);

    // The one gate of the user-interface thread to `frames` and `captions`. Asks the capture
    // thread to confirm that it is idle and waits at most timeoutMs, pumping no messages (the
    // thread never waits for a window). The thread answers after every command and tick posted
    // before the request: idle when it is paused or stopped; busy while it records. A GIF job
    // asked for and not finished refuses at once. True when the thread confirmed, or when no
    // thread runs; the frames then stay the caller's until it posts TM_START_CAPTURE or
    // TM_MAKE_GIF. False: the caller must not touch the lists.
    bool AcquireFramesForUi(DWORD timeoutMs = kHandOverWaitMs);

    // Record n (1-based) of `frames`; null outside 1..count.
    FrameRecord* GetFrame(int n) const;
    int GetFrameCount() const { return static_cast<int>(frames.GetSize()); }
    CxImage* GetFrameImage(int n) const;
    void SetNotifyWindow(HWND wnd) { notifyWnd = wnd; }
    DWORD GetThreadId() const { return threadId; }
    // Ignored entirely unless left <= right and top <= bottom.
    void SetCaptureRegion(int left, int top, int right, int bottom, int mode);
    // path: at most 259 characters are kept.
    void SetOutput(float outputScale, const wchar_t* path);
    // fontHeight is stored as given (the caller passes minus the pixel height).
    void SetWatermark(bool on, int position, COLORREF textColour, COLORREF boxColour,
                      int fontHeight, bool bold, bool italic, bool box, const wchar_t* text);
    // x = 0; y = a random row in the upper two thirds of the output height.
    void RandomTextY(int& x, int& y);

    // Fields, in the order of the engine's record.
    FrameRecordArray frames;           // recorded or imported frames
    FrameRecordArray processedFrames;  // output frames of the GIF being written
    int cursorMode = 0;                // 0 none, 1 cursor, 2/3/4 cursor over a magenta/cyan/yellow square
    RECT captureRect = {150, 200, 550, 450};  // screen coordinates
    int fps = 20;                      // rate of the running recording
    float scale = 0.5f;                // output size factor
    wchar_t outputPath[MAX_PATH] = {};
    CXTEXTINFO watermarkText;
    bool watermarkOn = false;
    int watermarkPos = 0;              // 0 top left, 1 bottom left, 2 top right, 3 bottom right
    // Captions over ranges of frames, drawn into the output frames; the list owns its records.
    // Same rule as `frames`.
    CPtrList captions{10};
    WinHandle threadHandle;
    DWORD threadId = 0;
    HWND notifyWnd = nullptr;

protected:
    // Set by CaptureFrame when a frame could not be stored for want of memory.
    bool captureOutOfMemory = false;

private:
    // State of the capture thread's loop.
    struct LoopState {
        int count = 0;
        bool paused = true;
        bool newRecording = true;
        UINT_PTR timer = 0;
    };
    void HandleCommand(const MSG& msg, LoopState& state);
    void KillCaptureTimer(LoopState& state);
    void OnTick(LoopState& state);
    void MakeGif(WPARAM mode, bool dither);
    void AnswerHandOver(WPARAM ticket, bool idle);

    // Posts a report to notifyWnd, retrying a while when the window's queue is full.
    bool PostReport(UINT message, WPARAM wParam, LPARAM lParam) const;
    // Output size of the frame preparation for a mode, never below 1 x 1.
    void OutputSize(int mode, int& w, int& h) const;
    bool WriteGifFile(const wchar_t* path, const std::vector<gifpipeline::PipelineFrame>& input,
                      bool dither, int playCount);

    std::atomic<bool> quitRequested{false};
    WinHandle threadReady;  // set by the thread once its queue exists

    // The hand-over: each request carries a new ticket; the thread answers with the ticket
    // shifted left by one, the lowest bit set when it is idle, and sets the event. An answer
    // to an older request (its wait ran out) is told apart by its ticket.
    unsigned handOverTickets = 0;  // user-interface thread only
    std::atomic<unsigned> handOverAnswer{0};
    WinHandle handOverAnswered;  // auto-reset
    // GIF jobs posted and not yet finished: the thread is busy with the frames until they end.
    std::atomic<int> gifJobsPending{0};
};
