// The capture thread driven by its commands, with a message-only window as the main window.
// Ticks are posted as WM_TIMER where the test must count them exactly (a start with interval
// 0 runs no timer of its own), and come from the thread's timer where the timer is the point.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/capture/engine_test_support.h"

namespace {

using engine_test::MakeRecord;
using engine_test::ReportWindow;

class EngineThread : public ::testing::Test {
protected:
    void SetUp() override {
        engine.SetNotifyWindow(reports.Handle());
        engine.SetCaptureRegion(0, 0, 16, 12, 0);
        ASSERT_TRUE(engine.StartRecorderThread());
        ASSERT_NE(0u, engine.GetThreadId());
    }
    void TearDown() override { EXPECT_TRUE(engine.StopRecorderThread(5000)); }

    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        ASSERT_TRUE(engine.PostCommand(message, wParam, lParam));
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) Post(WM_TIMER, 1, 0);
    }
    bool WaitForFrames(size_t n) {
        return reports.WaitUntil([&] { return reports.Count(WM_FRAME_CAPTURED) >= n; });
    }
    bool WaitForStop() {
        return reports.WaitUntil([&] { return reports.Count(WM_CAPTURE_STOPPED) >= 1; });
    }

    ReportWindow reports;
    CScreenRecorder engine;
};

TEST_F(EngineThread, APauseKeepsTheFramesAndTheCountGoesOn) {
    Post(TM_START_CAPTURE, 0, 0);
    Ticks(3);
    ASSERT_TRUE(WaitForFrames(3));
    Post(TM_PAUSE_CAPTURE);
    Ticks(2);  // ticks while paused capture nothing
    Post(TM_START_CAPTURE, 0, 0);
    Ticks(2);
    ASSERT_TRUE(WaitForFrames(5));
    Post(TM_STOP_CAPTURE, 0, 1);
    ASSERT_TRUE(WaitForStop());
    reports.Settle();
    EXPECT_EQ((std::vector<LPARAM>{1, 2, 3, 4, 5}), reports.LParams(WM_FRAME_CAPTURED));
    ASSERT_EQ(5, engine.GetFrameCount());
    // The default rate's delay, and frames flagged as kept, of the capture region's size.
    EXPECT_EQ(5, engine.GetFrame(1)->delay);
    EXPECT_EQ(1u, engine.GetFrameImage(5)->GetFlags());
    EXPECT_EQ(16u, engine.GetFrameImage(1)->GetWidth());
    EXPECT_EQ(12u, engine.GetFrameImage(1)->GetHeight());
}

TEST_F(EngineThread, AStartAfterAStopBeginsANewRecordingWithOneStopReport) {
    Post(TM_START_CAPTURE, 0, 0);
    Ticks(2);
    ASSERT_TRUE(WaitForFrames(2));
    Post(TM_STOP_CAPTURE, 0, 1);
    Post(TM_START_CAPTURE, 0, 0);
    Ticks(1);
    ASSERT_TRUE(WaitForFrames(3));
    Post(TM_PAUSE_CAPTURE);
    reports.Settle();
    EXPECT_EQ((std::vector<LPARAM>{1, 2, 1}), reports.LParams(WM_FRAME_CAPTURED));
    const auto stops = reports.All(WM_CAPTURE_STOPPED);
    ASSERT_EQ(1u, stops.size());
    EXPECT_EQ(CAPTURE_STOP_REQUESTED, stops[0].wParam);
    EXPECT_EQ(2, stops[0].lParam);
    Post(TM_STOP_CAPTURE, 0, 1);
    ASSERT_TRUE(reports.WaitUntil([&] { return reports.Count(WM_CAPTURE_STOPPED) == 2; }));
    EXPECT_EQ(1, engine.GetFrameCount());
}

TEST_F(EngineThread, AStopWithoutReportPostsNothingButStartsOver) {
    Post(TM_START_CAPTURE, 0, 0);
    Ticks(2);
    ASSERT_TRUE(WaitForFrames(2));
    Post(TM_STOP_CAPTURE, 0, 0);
    Ticks(1);  // stopped: ignored
    reports.Settle();
    EXPECT_EQ(0u, reports.Count(WM_CAPTURE_STOPPED));
    EXPECT_EQ(2u, reports.Count(WM_FRAME_CAPTURED));
    Post(TM_START_CAPTURE, 0, 0);
    Ticks(1);
    ASSERT_TRUE(WaitForFrames(3));
    EXPECT_EQ(1, reports.LParams(WM_FRAME_CAPTURED).back());
}

TEST_F(EngineThread, TheTimerCapturesAtItsRateAndStopsWithThePause) {
    Post(TM_START_CAPTURE, 0, 20);
    ASSERT_TRUE(WaitForFrames(4));
    Post(TM_PAUSE_CAPTURE);
    reports.Settle(150);
    const size_t atPause = reports.Count(WM_FRAME_CAPTURED);
    reports.Settle(300);
    EXPECT_EQ(atPause, reports.Count(WM_FRAME_CAPTURED));
    Post(TM_STOP_CAPTURE, 0, 1);
    ASSERT_TRUE(WaitForStop());
    EXPECT_EQ(50, engine.fps);
    EXPECT_EQ(2, engine.GetFrame(1)->delay);  // 100 / 50
}

TEST_F(EngineThread, RepeatedStartsLeaveNoTimerRunningAfterThePause) {
    for (int i = 0; i < 5; ++i) Post(TM_START_CAPTURE, 0, 15);
    ASSERT_TRUE(WaitForFrames(3));
    Post(TM_PAUSE_CAPTURE);
    reports.Settle(150);
    const size_t atPause = reports.Count(WM_FRAME_CAPTURED);
    // Recording again without a timer of its own: a timer left over would capture now.
    Post(TM_START_CAPTURE, 0, 0);
    reports.Settle(300);
    EXPECT_EQ(atPause, reports.Count(WM_FRAME_CAPTURED));
}

TEST_F(EngineThread, AnIntervalAboveOneSecondKeepsARateOfOne) {
    Post(TM_START_CAPTURE, 0, 1500);
    Ticks(1);
    ASSERT_TRUE(WaitForFrames(1));
    Post(TM_STOP_CAPTURE, 0, 1);
    ASSERT_TRUE(WaitForStop());
    EXPECT_EQ(1, engine.fps);
    EXPECT_EQ(100, engine.GetFrame(1)->delay);
}

TEST_F(EngineThread, MakingAGifWithoutFramesToWriteReportsFailureAndWritesNothing) {
    const std::wstring path = engine_test::TempFile(L"kelvo_engine_none.gif");
    // No frames at all, then frames that were all deleted; the report keeps the mode.
    for (const WPARAM mode : {WPARAM{0}, WPARAM{128}}) {
        SCOPED_TRACE(mode);
        reports.Clear();
        DeleteFileW(path.c_str());
        // The thread is idle: the user-interface thread may change the frames.
        if (mode != 0) {
            engine.frames.Add(MakeRecord(16, 12, RGB(9, 9, 9), 5, false));
            engine.frames.Add(MakeRecord(16, 12, RGB(9, 9, 9), 5, false));
        }
        engine.SetOutput(1.0f, path.c_str());
        Post(TM_MAKE_GIF, mode, 1);
        ASSERT_TRUE(reports.WaitUntil([&] { return reports.Count(WM_GIF_DONE) == 1; }));
        EXPECT_EQ(mode, reports.All(WM_GIF_DONE)[0].wParam);
        EXPECT_EQ(0, reports.All(WM_GIF_DONE)[0].lParam);
        EXPECT_FALSE(engine_test::FileExists(path));
    }
}

TEST_F(EngineThread, MakingAGifWritesTheFileAndReportsSuccessWithTheMode) {
    const std::wstring path = engine_test::TempFile(L"kelvo_engine_made.gif");
    DeleteFileW(path.c_str());
    Post(TM_START_CAPTURE, 0, 0);
    Ticks(3);
    ASSERT_TRUE(WaitForFrames(3));
    Post(TM_STOP_CAPTURE, 0, 1);
    ASSERT_TRUE(WaitForStop());
    engine.SetOutput(1.0f, path.c_str());
    Post(TM_MAKE_GIF, 64, 1);
    ASSERT_TRUE(reports.WaitUntil([&] { return reports.Count(WM_GIF_DONE) == 1; }));
    EXPECT_EQ(64u, reports.All(WM_GIF_DONE)[0].wParam);
    EXPECT_EQ(1, reports.All(WM_GIF_DONE)[0].lParam);
    const auto progress = reports.LParams(WM_GIF_PROGRESS);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(100, progress.back());
    for (size_t i = 1; i < progress.size(); ++i) EXPECT_LE(progress[i - 1], progress[i]);
    CxImage gif(path.c_str(), CXIMAGE_FORMAT_GIF);
    EXPECT_TRUE(gif.IsValid());
    EXPECT_EQ(16u, gif.GetWidth());
    EXPECT_EQ(3, engine.GetFrameCount());  // the recording stays for the next GIF
    DeleteFileW(path.c_str());
}

TEST_F(EngineThread, QuitEndsTheThreadInTimeAndFreesTheFrames) {
    Post(TM_START_CAPTURE, 0, 10);
    ASSERT_TRUE(WaitForFrames(3));
    const DWORD start = GetTickCount();
    EXPECT_TRUE(engine.StopRecorderThread(3000));
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_EQ(0u, engine.GetThreadId());
    EXPECT_EQ(0, engine.GetFrameCount());
    EXPECT_FALSE(engine.PostCommand(TM_START_CAPTURE, 0, 0));
}

TEST_F(EngineThread, QuitStopsALongGifJobAndLeavesNoFile) {
    const std::wstring path = engine_test::TempFile(L"kelvo_engine_quit.gif");
    DeleteFileW(path.c_str());
    for (int i = 0; i < 240; ++i) {
        engine.frames.Add(new FrameRecord{engine_test::MakePicture(400, 300, [i](int x, int y) {
                                              return RGB((x * 7 + i * 13) & 255, (y * 5 + x * i) & 255, (x * y + i) & 255);
                                          }), 5});
    }
    engine.SetCaptureRegion(0, 0, 400, 300, 0);
    engine.SetOutput(0.77f, path.c_str());  // every frame is resampled: seconds of work in all
    Post(TM_MAKE_GIF, 0, 1);
    ASSERT_TRUE(reports.WaitUntil([&] { return reports.Count(WM_GIF_PROGRESS) >= 2; }));
    const DWORD start = GetTickCount();
    EXPECT_TRUE(engine.StopRecorderThread(5000));
    EXPECT_LT(GetTickCount() - start, 500u);
    EXPECT_FALSE(engine_test::FileExists(path));
    EXPECT_EQ(0, engine.GetFrameCount());
}

// An engine whose captures fail on demand, as when the screen gives nothing or memory runs out.
class FailingCaptures : public CScreenRecorder {
public:
    enum class Next { Capture, Drop, OutOfMemory };
    std::atomic<Next> next{Next::Capture};

    bool CaptureFrame() override {
        switch (next.load()) {
        case Next::Drop:
            captureOutOfMemory = false;
            return false;
        case Next::OutOfMemory:
            captureOutOfMemory = true;
            return false;
        default:
            return CScreenRecorder::CaptureFrame();
        }
    }
};

class EngineFailures : public ::testing::Test {
protected:
    void SetUp() override {
        engine.SetNotifyWindow(reports.Handle());
        engine.SetCaptureRegion(0, 0, 8, 8, 0);
        ASSERT_TRUE(engine.StartRecorderThread());
    }
    void TearDown() override { EXPECT_TRUE(engine.StopRecorderThread(3000)); }

    ReportWindow reports;
    FailingCaptures engine;
};

TEST_F(EngineFailures, ADroppedCaptureIsNotCountedAndRecordingGoesOn) {
    engine.PostCommand(TM_START_CAPTURE, 0, 0);
    engine.PostCommand(WM_TIMER, 1, 0);
    ASSERT_TRUE(reports.WaitUntil([&] { return reports.Count(WM_FRAME_CAPTURED) == 1; }));
    engine.next = FailingCaptures::Next::Drop;
    engine.PostCommand(WM_TIMER, 1, 0);
    reports.Settle(100);
    engine.next = FailingCaptures::Next::Capture;
    engine.PostCommand(WM_TIMER, 1, 0);
    ASSERT_TRUE(reports.WaitUntil([&] { return reports.Count(WM_FRAME_CAPTURED) == 2; }));
    EXPECT_EQ((std::vector<LPARAM>{1, 2}), reports.LParams(WM_FRAME_CAPTURED));
    EXPECT_EQ(0u, reports.Count(WM_CAPTURE_STOPPED));
}

TEST_F(EngineFailures, RunningOutOfMemoryStopsTheRecordingKeepsTheFramesAndSaysWhy) {
    engine.PostCommand(TM_START_CAPTURE, 0, 10);
    ASSERT_TRUE(reports.WaitUntil([&] { return reports.Count(WM_FRAME_CAPTURED) >= 2; }));
    engine.next = FailingCaptures::Next::OutOfMemory;
    ASSERT_TRUE(reports.WaitUntil([&] { return reports.Count(WM_CAPTURE_STOPPED) == 1; }));
    engine.next = FailingCaptures::Next::Capture;
    reports.Settle(200);  // the timer is off: nothing more is captured
    const auto stops = reports.All(WM_CAPTURE_STOPPED);
    ASSERT_EQ(1u, stops.size());
    EXPECT_EQ(CAPTURE_STOP_OUT_OF_MEMORY, stops[0].wParam);
    const LPARAM captured = static_cast<LPARAM>(reports.Count(WM_FRAME_CAPTURED));
    EXPECT_EQ(captured, stops[0].lParam);
    EXPECT_EQ(captured, engine.GetFrameCount());  // the frames so far are kept
    // The next start begins a new recording.
    engine.PostCommand(TM_START_CAPTURE, 0, 0);
    engine.PostCommand(WM_TIMER, 1, 0);
    ASSERT_TRUE(reports.WaitUntil([&] { return reports.LParams(WM_FRAME_CAPTURED).back() == 1; }));
}

// An engine whose capture of a frame waits until the test lets it finish, as a slow screen
// copy would, and counts the captures that began and ended.
class SlowCaptures : public CScreenRecorder {
public:
    SlowCaptures()
        : started(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          release(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~SlowCaptures() override {
        SetEvent(release.Get());
        StopRecorderThread(3000);
    }

    bool CaptureFrame() override {
        ++begun;
        SetEvent(started.Get());
        WaitForSingleObject(release.Get(), 10000);
        const bool captured = CScreenRecorder::CaptureFrame();
        ++ended;
        return captured;
    }

    WinHandle started;
    WinHandle release;
    std::atomic<int> begun{0};
    std::atomic<int> ended{0};
};

TEST(EngineHandOver, TheFramesAreHandedOverOnlyAfterTheRunningTickAndAnAskedGifJob) {
    ReportWindow reports;
    SlowCaptures engine;
    engine.SetNotifyWindow(reports.Handle());
    engine.SetCaptureRegion(0, 0, 8, 8, 0);
    ASSERT_TRUE(engine.StartRecorderThread());
    EXPECT_TRUE(engine.AcquireFramesForUi());  // not recording yet: idle

    engine.PostCommand(TM_START_CAPTURE, 0, 0);
    engine.PostCommand(WM_TIMER, 1, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(engine.started.Get(), 5000));
    // The user pauses while the tick is still capturing.
    engine.PostCommand(TM_PAUSE_CAPTURE);
    EXPECT_FALSE(engine.AcquireFramesForUi(300));
    EXPECT_EQ(0, engine.ended.load());

    SetEvent(engine.release.Get());
    ASSERT_TRUE(engine.AcquireFramesForUi());
    // Handed over only after the tick has ended and stored its frame.
    EXPECT_EQ(1, engine.ended.load());
    EXPECT_EQ(1, engine.GetFrameCount());

    // Ticks that were still queued capture nothing once the frames are handed over.
    engine.PostCommand(WM_TIMER, 1, 0);
    engine.PostCommand(WM_TIMER, 1, 0);
    ASSERT_TRUE(engine.AcquireFramesForUi());
    EXPECT_EQ(1, engine.begun.load());
    EXPECT_EQ(1, engine.GetFrameCount());

    // A resume goes on with the same list; while it records, nothing is handed over.
    engine.PostCommand(TM_START_CAPTURE, 0, 0);
    EXPECT_FALSE(engine.AcquireFramesForUi());
    engine.PostCommand(WM_TIMER, 1, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(engine.started.Get(), 5000));
    // A GIF asked for while the tick holds the thread: refused at once, not at the end of the
    // wait, since the job will read the frames; handed over when the job ends.
    const std::wstring path = engine_test::TempFile(L"kelvo_engine_handover.gif");
    engine.SetOutput(1.0f, path.c_str());
    engine.PostCommand(TM_STOP_CAPTURE, 0, 0);
    engine.PostCommand(TM_MAKE_GIF, 0, 0);
    const DWORD asked = GetTickCount();
    EXPECT_FALSE(engine.AcquireFramesForUi(30000));
    EXPECT_LT(GetTickCount() - asked, 5000u);
    EXPECT_EQ(1, engine.ended.load());
    SetEvent(engine.release.Get());
    ASSERT_TRUE(reports.WaitUntil([&] { return reports.Count(WM_GIF_DONE) == 1; }));
    EXPECT_EQ(1, reports.All(WM_GIF_DONE)[0].lParam);
    EXPECT_TRUE(engine.AcquireFramesForUi());
    EXPECT_EQ(2, engine.GetFrameCount());
    EXPECT_TRUE(engine.StopRecorderThread(3000));
    DeleteFileW(path.c_str());
}

TEST(EngineWithoutThread, StartingTwiceKeepsOneThreadAndStoppingTwiceIsHarmless) {
    CScreenRecorder engine;
    EXPECT_FALSE(engine.PostCommand(TM_START_CAPTURE, 0, 0));
    EXPECT_TRUE(engine.StopRecorderThread(100));
    ASSERT_TRUE(engine.StartRecorderThread());
    const DWORD id = engine.GetThreadId();
    ASSERT_TRUE(engine.StartRecorderThread());
    EXPECT_EQ(id, engine.GetThreadId());
    EXPECT_TRUE(engine.StopRecorderThread(3000));
    EXPECT_TRUE(engine.StopRecorderThread(3000));
    EXPECT_TRUE(engine.AcquireFramesForUi());  // no thread: nothing to wait for
}

TEST(EngineWithoutThread, FramesAreNumberedFromOne) {
    CScreenRecorder engine;
    engine.frames.Add(MakeRecord(4, 4, RGB(1, 1, 1), 7));
    engine.frames.Add(MakeRecord(4, 4, RGB(2, 2, 2), 8));
    EXPECT_EQ(nullptr, engine.GetFrame(0));
    EXPECT_EQ(nullptr, engine.GetFrame(3));
    EXPECT_EQ(nullptr, engine.GetFrameImage(3));
    ASSERT_NE(nullptr, engine.GetFrame(1));
    EXPECT_EQ(7, engine.GetFrame(1)->delay);
    EXPECT_EQ(engine.GetFrame(2)->image, engine.GetFrameImage(2));
    EXPECT_EQ(2, engine.GetFrameCount());
}

TEST(EngineWithoutThread, SettersKeepWhatTheySet) {
    CScreenRecorder engine;
    engine.SetCaptureRegion(10, 20, 110, 220, 3);
    engine.SetCaptureRegion(10, 10, 5, 20, 2);  // inverted: ignored, the mode too
    EXPECT_EQ(10, engine.captureRect.left);
    EXPECT_EQ(220, engine.captureRect.bottom);
    EXPECT_EQ(3, engine.cursorMode);

    std::wstring longPath(400, L'a');
    engine.SetOutput(0.7f, longPath.c_str());
    EXPECT_FLOAT_EQ(0.7f, engine.scale);
    EXPECT_EQ(259u, wcslen(engine.outputPath));

    engine.SetWatermark(true, 2, RGB(1, 2, 3), RGB(4, 5, 6), -19, true, true, false, L"logo");
    EXPECT_TRUE(engine.watermarkOn);
    EXPECT_EQ(2, engine.watermarkPos);
    EXPECT_EQ(RGB(1, 2, 3), engine.watermarkText.fcolor);
    EXPECT_EQ(RGB(4, 5, 6), engine.watermarkText.bcolor);
    EXPECT_EQ(-19, engine.watermarkText.lfont.lfHeight);
    EXPECT_EQ(FW_BOLD, engine.watermarkText.lfont.lfWeight);
    EXPECT_EQ(1, engine.watermarkText.lfont.lfItalic);
    EXPECT_EQ(0, engine.watermarkText.opaque);
    EXPECT_STREQ(L"logo", engine.watermarkText.text);
    EXPECT_STREQ(L"Arial", engine.watermarkText.lfont.lfFaceName);

    int x = -1, y = -1;
    engine.SetCaptureRegion(0, 0, 100, 1, 0);  // output height 0 after scaling: no division by 0
    engine.RandomTextY(x, y);
    EXPECT_EQ(0, x);
    EXPECT_EQ(0, y);
}

}  // namespace
