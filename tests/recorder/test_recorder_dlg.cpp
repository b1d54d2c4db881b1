// The main capture window driven by messages: placement from the settings, the state machine
// over start, pause, resume, stop and preview, resizing by its edges, and closing.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/recorder_app.h"
#include "capture/engine_messages.h"
#include "recorder/preview_dlg.h"
#include "recorder/recorder_dlg.h"
#include "res/preview_ids.h"
#include "res/resource.h"
#include "tests/test_input.h"

namespace {

// The settings file as UTF-16 with its byte order mark.
void WriteSettings(const std::wstring& text)
{
    FILE* f = _wfopen(CRecorderApp::SettingsFilePath(), L"wb");
    ASSERT_TRUE(f);
    ASSERT_EQ(text.size() + 1, fwrite((L"\xFEFF" + text).c_str(), sizeof(wchar_t), text.size() + 1, f));
    fclose(f);
}

CString LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::DeleteFileW(CRecorderApp::SettingsFilePath());
        AfxSetMessageBoxResponder([this](LPCTSTR text, UINT) {
            boxes.push_back(text);
            return boxAnswer;
        });
    }

    void Open()
    {
        main = std::make_unique<CRecorderDlg>(theApp);
        theApp.m_pMainWnd = main.get();
        ASSERT_TRUE(main->Create(IDD_RECORDER_DIALOG));
        main->ShowWindow(SW_SHOW);
        Pump(200);
    }

    void TearDown() override
    {
        if (main && main->m_hWnd) {
            if (main->state == RecorderRecording || main->state == RecorderPaused) {
                Command(IDC_STOP_BUTTON);
                PumpUntil([&] { return main->state == RecorderReady; }, 5000);
            }
            PumpUntil([&] { return main->state != RecorderMaking; }, 30000);
            Command(IDCANCEL);
            main->DestroyWindow();
        }
        if (main && !main->gifPath.IsEmpty())
            ::DeleteFileW(main->gifPath);
        main.reset();
        theApp.m_pMainWnd = nullptr;
        AfxSetMessageBoxResponder(nullptr);
        ::DeleteFileW(CRecorderApp::SettingsFilePath());
    }

    void Command(UINT id) { main->SendMessage(WM_COMMAND, id); }

    CRect WindowRect() const
    {
        CRect r;
        main->GetWindowRect(&r);
        return r;
    }

    // Presses the window at a client point, moves with the button held to a screen point,
    // and releases.
    void DragFrom(CPoint clientPress, CPoint screenTo)
    {
        main->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(clientPress.x, clientPress.y));
        main->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, ClientPointFor(*main, screenTo));
        main->SendMessage(WM_LBUTTONUP, 0, ClientPointFor(*main, screenTo));
    }

    bool WaitForFrames(int n) { return PumpUntil([&] { return main->frameCount >= n; }, 5000); }

    std::unique_ptr<CRecorderDlg> main;
    std::vector<CString> boxes;
    int boxAnswer = IDOK;
};

TEST_F(MainWindow, FirstRunOpensAt300By200With580By380CaptureArea)
{
    Open();
    CRect w = WindowRect();
    EXPECT_EQ(300, w.left);
    EXPECT_EQ(200, w.top);
    EXPECT_EQ(620, w.Width());
    EXPECT_EQ(580, main->captureRect.Width());
    EXPECT_EQ(380, main->captureRect.Height());
    EXPECT_EQ(w.bottom, main->captureRect.top);
    EXPECT_EQ(w.left + 20, main->captureRect.left);
    EXPECT_EQ(RecorderIdle, main->state);
}

TEST_F(MainWindow, SavedPositionsOffTheAllowedRangeGoTo100By100)
{
    for (const wchar_t* pos : {L"[POS]\r\nWndPosLeft=1001\r\nWndPosTop=5\r\n", L"[POS]\r\nWndPosLeft=-3\r\nWndPosTop=5\r\n"}) {
        WriteSettings(pos);
        Open();
        CRect w = WindowRect();
        EXPECT_EQ(100, w.left) << pos;
        EXPECT_EQ(100, w.top) << pos;
        Command(IDCANCEL);
        main->DestroyWindow();
        main.reset();
    }
    WriteSettings(L"[POS]\r\nWndPosLeft=1000\r\nWndPosTop=700\r\n");
    Open();
    EXPECT_EQ(1000, WindowRect().left);
    EXPECT_EQ(700, WindowRect().top);
}

TEST_F(MainWindow, StartPauseResumeStopFollowTheStateTable)
{
    Open();
    // Commands that do not apply are ignored.
    Command(IDC_STOP_BUTTON);
    Command(IDC_PREVIEW_BUTTON);
    EXPECT_EQ(RecorderIdle, main->state);

    Command(IDC_START_BUTTON);
    EXPECT_EQ(RecorderRecording, main->state);
    CString text;
    main->startButton.GetWindowText(text);
    EXPECT_STREQ(LoadText(IDS_PAUSE), text);
    ASSERT_TRUE(WaitForFrames(3));

    Command(IDC_START_BUTTON);
    EXPECT_EQ(RecorderPaused, main->state);
    main->startButton.GetWindowText(text);
    EXPECT_STREQ(LoadText(IDS_RESUME), text);
    Pump(200);
    const int pausedAt = main->frameCount;

    // A resume continues the same frame list.
    Command(IDC_START_BUTTON);
    EXPECT_EQ(RecorderRecording, main->state);
    ASSERT_TRUE(WaitForFrames(pausedAt + 2));

    Command(IDC_STOP_BUTTON);
    EXPECT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 5000));
    main->startButton.GetWindowText(text);
    EXPECT_STREQ(LoadText(IDS_START), text);
    const int recorded = main->engine.GetFrameCount();
    EXPECT_GE(recorded, pausedAt + 2);

    // A start after a stop begins a new frame list.
    Command(IDC_START_BUTTON);
    ASSERT_TRUE(PumpUntil([&] { return main->frameCount >= 1 && main->frameCount < recorded; }, 5000));
}

TEST_F(MainWindow, PreviewWhileRecordingStopsAndWritesTheGif)
{
    Open();
    Command(IDC_START_BUTTON);
    ASSERT_TRUE(WaitForFrames(3));
    Command(IDC_PREVIEW_BUTTON);
    EXPECT_EQ(RecorderMaking, main->state);
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 30000));
    EXPECT_TRUE(boxes.empty()) << "a failure was reported";
    ASSERT_FALSE(main->gifPath.IsEmpty());
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    ASSERT_TRUE(GetFileAttributesExW(main->gifPath, GetFileExInfoStandard, &info));
    EXPECT_GT(info.nFileSizeLow, 800u);
    // Output size = capture area x Ratio (100 on a first run).
    CxImage gif;
    ASSERT_TRUE(gif.Load(main->gifPath, CXIMAGE_FORMAT_GIF));
    EXPECT_EQ(580u, gif.GetWidth());
    EXPECT_EQ(380u, gif.GetHeight());
}

TEST_F(MainWindow, AFailedGifIsReportedAndLeavesTheWindowReady)
{
    Open();
    // No frame at all: the engine answers with failure.
    main->state = RecorderReady;
    Command(IDC_PREVIEW_BUTTON);
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 10000));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_STREQ(LoadText(IDS_GIF_NOT_WRITTEN), boxes[0]);
}

TEST_F(MainWindow, AStopReportNeverOverridesTheMakingOfAGif)
{
    Open();
    main->state = RecorderMaking;
    main->SendMessage(WM_CAPTURE_STOPPED, CAPTURE_STOP_REQUESTED, 0);
    EXPECT_EQ(RecorderMaking, main->state);
    main->state = RecorderPaused;
    main->SendMessage(WM_CAPTURE_STOPPED, CAPTURE_STOP_REQUESTED, 0);
    EXPECT_EQ(RecorderReady, main->state);
}

TEST_F(MainWindow, LeftEdgeRefuses59PixelsAndAllows60)
{
    Open();
    CRect w = WindowRect();
    DragFrom(CPoint(1, 30), CPoint(w.right - 59, w.top + 30));
    EXPECT_EQ(w, WindowRect());
    DragFrom(CPoint(1, 30), CPoint(w.right - 60, w.top + 30));
    EXPECT_EQ(60, WindowRect().Width());
    EXPECT_EQ(w.right, WindowRect().right);
    EXPECT_EQ(20, main->captureRect.Width());
}

TEST_F(MainWindow, TopEdgeKeepsTheCaptureBottomAndAtLeast60High)
{
    Open();
    CRect w = WindowRect();
    const int bottom = main->captureRect.bottom;
    DragFrom(CPoint(100, 1), CPoint(w.left + 100, w.top + 50));
    EXPECT_EQ(bottom, main->captureRect.bottom);
    EXPECT_EQ(380 - 50, main->captureRect.Height());
    // Leaving 59 pixels of capture height is refused.
    CRect now = WindowRect();
    DragFrom(CPoint(100, 1), CPoint(now.left + 100, bottom - 59 - now.Height()));
    EXPECT_EQ(now, WindowRect());
}

TEST_F(MainWindow, WhileRecordingTheWindowNeitherMovesNorResizes)
{
    Open();
    Command(IDC_START_BUTTON);
    CRect w = WindowRect();
    DragFrom(CPoint(1, 30), CPoint(w.left + 100, w.top + 30));
    DragFrom(CPoint(200, 40), CPoint(w.left + 250, w.top + 80));
    EXPECT_EQ(w, WindowRect());
}

TEST_F(MainWindow, AMoveWithTheButtonHeldButNoPressOnTheWindowChangesNothing)
{
    Open();
    const CRect w = WindowRect();
    // A button pressed elsewhere and moved over the window: over its middle and over its
    // left edge.
    main->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 40));
    main->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, ClientPointFor(*main, CPoint(w.left + 250, w.top + 80)));
    EXPECT_EQ(w, WindowRect());
    main->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1, 30));
    main->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, ClientPointFor(*main, CPoint(w.left - 40, w.top + 30)));
    EXPECT_EQ(w, WindowRect());
}

TEST_F(MainWindow, ClosingWhileRecordingAsksAndCancelKeepsRecording)
{
    Open();
    Command(IDC_START_BUTTON);
    boxAnswer = IDCANCEL;
    Command(IDCANCEL);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_STREQ(LoadText(IDS_CONFIRM_EXIT_RECORDING), boxes[0]);
    EXPECT_EQ(RecorderRecording, main->state);
    EXPECT_TRUE(main->IsWindowVisible());
}

TEST_F(MainWindow, ClosingWhileMakingTheGifIsRefused)
{
    Open();
    main->state = RecorderMaking;
    Command(IDCANCEL);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_STREQ(LoadText(IDS_MAKING_GIF_WAIT), boxes[0]);
    EXPECT_TRUE(main->IsWindowVisible());
    main->state = RecorderIdle;
}

std::wstring TempFolder()
{
    wchar_t folder[MAX_PATH + 1] = L"";
    GetTempPathW(MAX_PATH + 1, folder);
    return folder;
}

std::wstring Lower(CString name) { return name.MakeLower().GetString(); }

// The GIF files directly in the temporary folder that are not in `before`, by full name in lower case.
std::set<std::wstring> NewTempGifs(const std::set<std::wstring>& before = {})
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((TempFolder() + L"*.gif").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        names.insert(Lower((TempFolder() + found.cFileName).c_str()));
    FindClose(search);
    for (const std::wstring& name : before)
        names.erase(name);
    return names;
}

TEST_F(MainWindow, TemporaryGifsGoOnceSupersededAndAtTheEndButNotAFileOfOthers)
{
    // A file of another program, named like ours.
    const std::wstring foreign = TempFolder() + L"1-2-3-4-5-" + std::to_wstring(GetCurrentProcessId()) + L".gif";
    HANDLE file = CreateFileW(foreign.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    const std::set<std::wstring> before = NewTempGifs();

    Open();
    main->settings.Ratio = 30;
    Command(IDC_START_BUTTON);
    ASSERT_TRUE(WaitForFrames(3));
    // After each GIF only the one the preview shows is left.
    for (int i = 0; i < 2; ++i) {
        Command(IDC_PREVIEW_BUTTON);
        ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 30000));
        ASSERT_TRUE(boxes.empty());
        EXPECT_EQ(std::set<std::wstring>{Lower(main->preview->gifPath)}, NewTempGifs(before));
    }

    // The micro-blog copy is left with the fitted GIF it was made of; the GIF shown before goes.
    const std::wstring full = Lower(main->preview->gifPath);
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) { return static_cast<UINT>(ID_QUALITY_64); });
    main->preview->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_MICROBLOG, BN_CLICKED),
                               reinterpret_cast<LPARAM>(main->preview->btnMicroBlog.m_hWnd));
    CMenu::SetTestResponder(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 60000));
    ASSERT_TRUE(boxes.empty()) << "the copy failed";
    const std::set<std::wstring> expected{Lower(main->preview->gifPath), Lower(main->gifPath)};
    EXPECT_EQ(2u, expected.size());
    EXPECT_EQ(expected, NewTempGifs(before));
    EXPECT_EQ(0u, expected.count(full));
    // The next GIF supersedes both.
    Command(IDC_PREVIEW_BUTTON);
    ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 30000));
    EXPECT_EQ(std::set<std::wstring>{Lower(main->preview->gifPath)}, NewTempGifs(before));

    Command(IDCANCEL);
    main->DestroyWindow();
    EXPECT_TRUE(NewTempGifs(before).empty());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(foreign.c_str()));
    DeleteFileW(foreign.c_str());
}

TEST(FindExtension, IsTheTextAfterTheLastFullStopOfTheWholeName)
{
    EXPECT_STREQ(L"b\\file", FindExtension(L"D:\\a.b\\file"));
    EXPECT_STREQ(L"", FindExtension(L"name"));
    EXPECT_STREQ(L"gif", FindExtension(L"C:\\x\\y.GIF.gif"));
}

TEST_F(MainWindow, ARealPressAndDragOnTheTitleMovesTheWindow)
{
    Open();
    main->SetForegroundWindow();
    Pump(100);
    const CRect w = WindowRect();
    const CPoint grab(w.left + 200, w.top + 10);
    MoveMouseTo(grab);
    MouseDown(grab);
    Pump(50);
    MoveMouseTo(CPoint(grab.x + 40, grab.y + 30));
    MoveMouseTo(CPoint(grab.x + 80, grab.y + 60));
    MouseUp(CPoint(grab.x + 80, grab.y + 60));
    Pump(200);
    // Under Wine a window that moves under the pointer can get one more move report in old
    // coordinates, so the place is checked for direction, not to the pixel.
    const CRect moved = WindowRect();
    EXPECT_GE(moved.left, w.left + 40);
    EXPECT_GE(moved.top, w.top + 30);
    EXPECT_EQ(w.Size(), moved.Size());
    EXPECT_EQ(moved.bottom, main->captureRect.top);  // the capture area follows
    EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(MainWindow, RealClicksStartAndStopARecording)
{
    Open();
    main->SetForegroundWindow();
    Pump(100);
    Click(CentreOf(main->startButton.m_hWnd));
    EXPECT_TRUE(PumpUntil([&] { return main->state == RecorderRecording; }));
    ASSERT_TRUE(WaitForFrames(2));
    Click(CentreOf(main->stopButton.m_hWnd));
    EXPECT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 5000));
}

}  // namespace
