// The micro-blog copy: made by the real gifsicle under a new name each time, shown with its
// info, replaced copies and the last copy at the end deleted; a failed compression tells the
// user and keeps the GIF shown before. While a slow stand-in for gifsicle runs, this thread's
// messages are handled and Cancel stops it. A GIF made for the Edit dialog's colour count that
// gifsicle cannot reduce is shown as written.
#include "controls/progress_wnd.h"
#include "gif/gd.h"
#include "recorder/host_process.h"
#include "res/preview_ids.h"
#include "tests/capture/engine_test_support.h"
#include "tests/recorder/preview_test_util.h"

namespace preview_test {
namespace {

class PreviewCompressTest : public PreviewTest {
protected:
    void TearDown() override
    {
        ::SetEnvironmentVariableW(L"KELVO_GIFSICLE", nullptr);
        PreviewTest::TearDown();
    }

    // As after the quality menu: the window hidden, the main window's new GIF handed over.
    void CompressAfterMenu(int choice, const std::wstring& newMainGif)
    {
        preview->qualityChoice = choice;
        preview->ShowWindow(SW_HIDE);
        main->gifPath = newMainGif.c_str();
        preview->gifPath = main->gifPath;
        preview->CompressForMicroBlog();
        Pump(50);
    }

    std::wstring Shown() const { return std::wstring(preview->browser.GetLocationURL()); }

    // A stand-in for gifsicle on the host, named by KELVO_GIFSICLE: it runs the body with $MARK
    // set to the host name of Folder() + "mark" (for files that tell how far it came).
    void UseSlowGifsicle(const std::string& body)
    {
        const std::wstring script = WriteBytes(L"slow gifsicle.sh", {});
        const std::string hostMark = HostPathFromWindowsPath((Folder() + L"mark").c_str());
        const std::string text = "#!/bin/sh\nMARK='" + hostMark + "'\n" + body + "\n";
        WriteBytes(script, std::vector<uint8_t>(text.begin(), text.end()));
        const std::string hostScript = HostPathFromWindowsPath(script.c_str());
        ASSERT_EQ(0, RunHostProgram({"chmod", "755", hostScript}, 10000).exitCode);
        std::wstring program(hostScript.size() + 1, L'\0');
        program.resize(::MultiByteToWideChar(CP_UTF8, 0, hostScript.c_str(), -1, &program[0],
                                             static_cast<int>(program.size())) - 1);
        ::SetEnvironmentVariableW(L"KELVO_GIFSICLE", program.c_str());
    }
    bool Marked(const wchar_t* suffix) const { return Exists(Folder() + L"mark" + suffix); }
};

// Presses Cancel of the progress window that this thread shows, as a click would.
bool PressProgressCancel()
{
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND h, LPARAM param) -> BOOL {
        const bool progress = dynamic_cast<CProgressWnd*>(CWnd::FromHandlePermanent(h)) && ::IsWindowVisible(h);
        if (progress)
            *reinterpret_cast<HWND*>(param) = h;
        return !progress;
    }, reinterpret_cast<LPARAM>(&found));
    HWND button = ::GetDlgItem(found, CProgressWnd::IDC_PROGRESS_CANCEL);
    return button && ::PostMessageW(found, WM_COMMAND, MAKEWPARAM(CProgressWnd::IDC_PROGRESS_CANCEL, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(button));
}

// The process whose id the file holds still exists on the host.
bool HostProcessAlive(const std::wstring& pidFile)
{
    const std::vector<uint8_t> bytes = ReadBytes(pidFile);
    const std::string pid(bytes.begin(), bytes.end());
    if (pid.empty())
        return false;
    return RunHostProgram({"/bin/sh", "-c", "kill -0 $1 2>/dev/null", "sh", pid}, 10000).exitCode == 0;
}

// The palette entries that the first frame's pixels use; allGrey when each has R = G = B.
std::vector<int> UsedColours(const std::wstring& path, bool* allGrey)
{
    std::vector<uint8_t> bytes = ReadBytes(path);
    *allGrey = true;
    std::vector<int> used;
    if (bytes.empty())
        return used;
    gdImageOwner image(gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), bytes.data()));
    if (!image)
        return used;
    std::vector<bool> seen(256, false);
    for (unsigned char index : image->pixels) {
        if (!seen[index]) {
            seen[index] = true;
            used.push_back(index);
            *allGrey = *allGrey && image->red[index] == image->green[index] && image->green[index] == image->blue[index];
        }
    }
    return used;
}

// The message texts, for a failure's description.
std::string Describe(const std::vector<CString>& messages)
{
    std::string all;
    for (const CString& m : messages) {
        char text[2048] = "";
        ::WideCharToMultiByte(CP_UTF8, 0, m, -1, text, sizeof(text), nullptr, nullptr);
        all += std::string(text) + " | ";
    }
    return all;
}

TEST_F(PreviewCompressTest, TheCopyGetsANewNameAndIsShownWithItsInfo)
{
    ShowPlain(mainGif);
    const std::wstring fitted = WriteGif(L"fitted 400 微博.gif", 160, 120, 3, 250);
    const std::vector<uint8_t> fittedBytes = ReadBytes(fitted);
    CompressAfterMenu(ID_QUALITY_64, fitted);
    ASSERT_TRUE(messages.empty()) << Describe(messages);

    const std::wstring copy(preview->gifPath);
    EXPECT_NE(fitted, copy);
    EXPECT_NE(mainGif, copy);
    EXPECT_TRUE(Exists(copy));
    EXPECT_EQ(FullPath(copy), Shown());
    EXPECT_TRUE(preview->IsWindowVisible());
    EXPECT_EQ(fittedBytes, ReadBytes(fitted));  // the input stays as it was
    bool grey = false;
    const std::vector<int> used = UsedColours(copy, &grey);
    EXPECT_FALSE(used.empty());
    EXPECT_LE(used.size(), 64u);
    EXPECT_FALSE(grey);
    CString info;
    info.Format(L"3F, %.1fK, 160*120", ReadBytes(copy).size() / 1024.0);
    EXPECT_EQ(info, InfoText());
}

TEST_F(PreviewCompressTest, AGreyLevelGivesGreyAndAColourLevelAfterItColourAgain)
{
    const std::wstring fitted = WriteGif(L"fitted.gif", 100, 80, 2, 200);
    CompressAfterMenu(ID_QUALITY_GRAY_32, fitted);
    ASSERT_TRUE(messages.empty()) << Describe(messages);
    bool grey = false;
    EXPECT_LE(UsedColours(std::wstring(preview->gifPath), &grey).size(), 32u);
    EXPECT_TRUE(grey);

    CompressAfterMenu(ID_QUALITY_128, fitted);
    ASSERT_TRUE(messages.empty());
    EXPECT_LE(UsedColours(std::wstring(preview->gifPath), &grey).size(), 128u);
    EXPECT_FALSE(grey);
}

TEST_F(PreviewCompressTest, AReplacedCopyIsDeletedAndTheLastOneGoesWithTheWindow)
{
    const std::wstring fitted = WriteGif(L"fitted.gif", 80, 60, 2, 100);
    CompressAfterMenu(ID_QUALITY_256, fitted);
    const std::wstring first(preview->gifPath);
    ASSERT_TRUE(Exists(first));
    CompressAfterMenu(ID_QUALITY_32, fitted);
    const std::wstring second(preview->gifPath);
    EXPECT_NE(first, second);
    EXPECT_FALSE(Exists(first));
    EXPECT_TRUE(Exists(second));

    // A plain preview meanwhile does not orphan the copy.
    ShowPlain(mainGif);
    EXPECT_TRUE(Exists(second));
    preview->DestroyWindow();
    preview.reset();
    EXPECT_FALSE(Exists(second));
    EXPECT_TRUE(Exists(mainGif));
    EXPECT_TRUE(Exists(fitted));
}

TEST_F(PreviewCompressTest, ClosingDeletesTheShownCopy)
{
    const std::wstring fitted = WriteGif(L"fitted.gif", 80, 60, 2, 100);
    CompressAfterMenu(ID_QUALITY_64, fitted);
    const std::wstring copy(preview->gifPath);
    ASSERT_TRUE(Exists(copy));
    preview->SendMessage(WM_CLOSE);
    Pump(30);
    EXPECT_FALSE(preview->IsWindowVisible());
    EXPECT_FALSE(Exists(copy));
    EXPECT_TRUE(Exists(fitted));
}

TEST_F(PreviewCompressTest, WithoutGifsicleTheUserIsToldAndThePreviousGifStaysShown)
{
    ShowPlain(mainGif);
    const int gifsBefore = TempGifCount();
    ::SetEnvironmentVariableW(L"KELVO_GIFSICLE", L"/nonexistent/gifsicle-missing");
    const std::wstring fitted = WriteGif(L"fitted.gif", 80, 60, 2, 100);
    CompressAfterMenu(ID_QUALITY_64, fitted);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadText(IDS_PREVIEW_NO_GIFSICLE), messages[0]);
    EXPECT_EQ(CString(FullPath(mainGif).c_str()), preview->gifPath);
    EXPECT_EQ(FullPath(mainGif), Shown());
    EXPECT_TRUE(preview->IsWindowVisible());
    EXPECT_EQ(gifsBefore, TempGifCount());  // no empty copy left behind
}

TEST_F(PreviewCompressTest, AnInputThatIsNoGifFailsWithAMessageAndNothingChanges)
{
    const std::wstring gif = WriteGif(L"shown before.gif", 64, 64, 2);
    ShowPlain(gif);
    const CString info = InfoText();
    const int gifsBefore = TempGifCount();
    CompressAfterMenu(ID_QUALITY_64, WriteBytes(L"not a gif.gif", {'G', 'I', 'F', '8', '9', 'a', 0, 0}));
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadText(IDS_PREVIEW_COMPRESS_FAILED), messages[0]);
    EXPECT_EQ(CString(FullPath(gif).c_str()), preview->gifPath);
    EXPECT_EQ(info, InfoText());
    EXPECT_TRUE(preview->IsWindowVisible());
    EXPECT_EQ(gifsBefore, TempGifCount());
}

TEST_F(PreviewCompressTest, AFailureWithNothingShownBeforeLeavesTheWindowHidden)
{
    CompressAfterMenu(ID_QUALITY_64, WriteBytes(L"empty.gif", {}));
    ASSERT_EQ(1u, messages.size());
    EXPECT_FALSE(preview->IsWindowVisible());
    EXPECT_EQ(main->gifPath, preview->gifPath);
}

TEST_F(PreviewCompressTest, MessagesAreHandledWhileGifsicleRunsAndCancelStopsItKeepingThePreviousGif)
{
    if (!HostProgramsAvailable())
        GTEST_SKIP() << "the stand-in runs on the host (Wine)";
    ShowPlain(mainGif);
    const CString info = InfoText();
    const int gifsBefore = TempGifCount();
    const std::wstring fitted = WriteGif(L"fitted.gif", 80, 60, 2, 100);
    // It writes its process id, then would sleep long before writing anything.
    UseSlowGifsicle("echo $$ > \"$MARK.pid\"; sleep 30; touch \"$MARK.finished\"; for last; do :; done; cp '" +
                    HostPathFromWindowsPath(fitted.c_str()) + "' \"$last\"");
    // Cancel once a thread timer of this thread has fired a few times with the stand-in running:
    // its messages are handled meanwhile.
    static int ticksWhileRunning;
    static bool pressed;
    ticksWhileRunning = 0;
    pressed = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (!pressed && !ReadBytes(Folder() + L"mark.pid").empty() && ++ticksWhileRunning == 5)
            pressed = PressProgressCancel();
    });
    CompressAfterMenu(ID_QUALITY_64, fitted);
    ::KillTimer(nullptr, timer);
    ASSERT_TRUE(pressed);
    EXPECT_TRUE(messages.empty()) << Describe(messages);  // the user asked: nothing to tell
    EXPECT_FALSE(HostProcessAlive(Folder() + L"mark.pid"));
    EXPECT_FALSE(Marked(L".finished"));
    EXPECT_EQ(CString(FullPath(mainGif).c_str()), preview->gifPath);
    EXPECT_EQ(FullPath(mainGif), Shown());
    EXPECT_EQ(info, InfoText());
    EXPECT_TRUE(preview->IsWindowVisible());
    EXPECT_EQ(gifsBefore, TempGifCount());  // no partial copy left behind
}

TEST_F(PreviewCompressTest, AnEditorColourCountGifsicleCannotApplyShowsTheGifAsWritten)
{
    main->engine.ClearFrames();
    for (COLORREF colour : {RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200)})
        main->engine.frames.Add(engine_test::MakeRecord(90, 60, colour, 10));
    main->frameCount = 3;
    main->settings.Ratio = 100;
    CPreviewDlg& shown = *main->preview;
    // As after the Edit dialog's 预览 with a colour count: the engine writes the GIF, the main
    // window hands it over.
    auto makeForEditor = [&](int colours) {
        shown.ShowWindow(SW_HIDE);
        main->MakeGif(colours);
        ASSERT_EQ(RecorderMaking, main->state);
        ASSERT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 60000));
        Pump(50);
    };
    auto expectShownAsWritten = [&] {
        EXPECT_TRUE(shown.IsWindowVisible());
        EXPECT_EQ(main->gifPath, shown.gifPath);
        EXPECT_EQ(FullPath(std::wstring(main->gifPath)), std::wstring(shown.browser.GetLocationURL()));
        EXPECT_EQ(3, shown.browser.GetFrameCount());
        // The size from the file's logical screen.
        const std::vector<uint8_t> bytes = ReadBytes(std::wstring(main->gifPath));
        ASSERT_GT(bytes.size(), 10u);
        CString info;
        info.Format(L"3F, %.1fK, %d*%d", bytes.size() / 1024.0, bytes[6] | bytes[7] << 8, bytes[8] | bytes[9] << 8);
        CString line;
        shown.infoLine.GetWindowText(line);
        EXPECT_EQ(std::wstring(info), std::wstring(line));
    };

    ::SetEnvironmentVariableW(L"KELVO_GIFSICLE", L"/nonexistent/gifsicle-missing");
    makeForEditor(32);
    ASSERT_EQ(1u, messages.size()) << Describe(messages);
    EXPECT_EQ(LoadText(IDS_PREVIEW_COLOURS_NO_GIFSICLE), messages[0]);
    expectShownAsWritten();

    // Cancelled by the user: shown as written, nothing to tell.
    if (!HostProgramsAvailable())
        return;
    messages.clear();
    UseSlowGifsicle("echo $$ > \"$MARK.pid\"; sleep 30");
    static bool pressed;
    pressed = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (!pressed && !ReadBytes(Folder() + L"mark.pid").empty())
            pressed = PressProgressCancel();
    });
    makeForEditor(64);
    ::KillTimer(nullptr, timer);
    ASSERT_TRUE(pressed);
    EXPECT_TRUE(messages.empty()) << Describe(messages);
    expectShownAsWritten();
}

}  // namespace
}  // namespace preview_test
