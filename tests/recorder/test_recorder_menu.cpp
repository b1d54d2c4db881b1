// The settings menu and the GIF import of the main window: marks, choices, and imports from a
// file dialog, the clipboard and a drop, which replace the frames only when they succeed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/recorder_app.h"
#include "gif/gd.h"
#include "recorder/recorder_dlg.h"
#include "res/menu_ids.h"
#include "res/resource.h"
#include "tests/recorder/main_window_test_util.h"
#include "tests/test_pump.h"

#include <shlobj.h>

namespace {

CString TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return CString(folder) + name;
}

// An animated GIF of `frames` frames of 40 x 30, each a different grey, with delays of 7.
void WriteAnimatedGif(const CString& path, int frames)
{
    std::vector<unsigned char> bytes;
    gdImagePtr previous = nullptr;
    std::vector<gdImagePtr> images;
    for (int i = 0; i < frames; ++i) {
        gdImagePtr im = gdImageCreate(40, 30);
        for (int c = 0; c < 16; ++c)
            gdImageColorAllocate(im, c * 16, c * 16, c * 16);
        std::fill(im->pixels.begin(), im->pixels.end(), (unsigned char)(i % 16));
        int size = 0;
        void* block = i == 0 ? gdImageGifAnimBeginPtr(im, &size, 1, 0) : nullptr;
        if (block) {
            bytes.insert(bytes.end(), (unsigned char*)block, (unsigned char*)block + size);
            gdFree(block);
        }
        block = gdImageGifAnimAddPtr(im, &size, 0, 0, 0, 7, 1, previous);
        bytes.insert(bytes.end(), (unsigned char*)block, (unsigned char*)block + size);
        gdFree(block);
        previous = im;
        images.push_back(im);
    }
    int size = 0;
    void* end = gdImageGifAnimEndPtr(&size);
    bytes.insert(bytes.end(), (unsigned char*)end, (unsigned char*)end + size);
    gdFree(end);
    for (gdImagePtr im : images)
        gdImageDestroy(im);
    FILE* f = _wfopen(path, L"wb");
    ASSERT_NE(nullptr, f);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// A drop handle (also the clipboard's file list) naming the files.
HGLOBAL MakeFileList(const std::vector<CString>& files)
{
    size_t chars = 1;
    for (const CString& f : files)
        chars += f.GetLength() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* header = (DROPFILES*)GlobalLock(memory);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    wchar_t* p = (wchar_t*)(header + 1);
    for (const CString& f : files) {
        wcscpy(p, f);
        p += f.GetLength() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

class MainWindowMenu : public MainWindowTest {
protected:
    // Opens the settings menu; the responder looks at it and picks `pick`.
    void ChooseFromMenu(UINT pick, UINT* stateOf = nullptr, UINT* seenState = nullptr)
    {
        CMenu::SetTestResponder([=](CMenu& menu, UINT, int, int) -> UINT {
            if (stateOf && seenState)
                *seenState = menu.GetMenuState(*stateOf, MF_BYCOMMAND);
            return pick;
        });
        main->SendMessage(WM_COMMAND, IDC_SETTINGS_BUTTON);
    }

    CString MakeGif(const wchar_t* name, int frames)
    {
        CString path = TempFile(name);
        WriteAnimatedGif(path, frames);
        files.push_back(path);
        return path;
    }

    // Frames of an earlier recording, to see whether an import keeps or replaces them.
    void GiveEngineFrames(int n)
    {
        for (int i = 0; i < n; ++i) {
            auto* image = new CxImage(CXIMAGE_FORMAT_BMP);
            auto* record = new FrameRecord{image, 5};
            main->engine.frames.Add(record);
        }
        main->frameCount = n;
        main->state = RecorderReady;
    }
};

TEST_F(MainWindowMenu, MarksFollowTheSettingsAndUnknownValuesMarkTheDefaults)
{
    theApp.Rate1 = 12;
    theApp.Ratio = 55;
    UINT rateState = 0, sizeState = 0;
    UINT rateItem = ID_RATE_20, sizeItem = ID_SIZE_50;
    ChooseFromMenu(0, &rateItem, &rateState);
    EXPECT_TRUE(rateState & MF_CHECKED);
    ChooseFromMenu(0, &sizeItem, &sizeState);
    EXPECT_TRUE(sizeState & MF_CHECKED);
    // Cancelling changes nothing.
    EXPECT_EQ(12, theApp.Rate1);
}

TEST_F(MainWindowMenu, ChoicesSetTheirExactValues)
{
    ChooseFromMenu(ID_RATE_25);
    EXPECT_EQ(25, theApp.Rate1);
    ChooseFromMenu(ID_SIZE_80);
    EXPECT_EQ(80, theApp.Ratio);
    ChooseFromMenu(ID_MOUSE_YELLOW);
    EXPECT_EQ(4, theApp.Mouse);
    const bool top = theApp.TopWnd;
    ChooseFromMenu(ID_TOPMOST);
    EXPECT_EQ(!top, theApp.TopWnd);
    ChooseFromMenu(ID_TOPMOST);
    EXPECT_EQ(top, theApp.TopWnd);
}

TEST_F(MainWindowMenu, ImportingATenFrameGifReplacesTheFrames)
{
    GiveEngineFrames(3);
    main->state = RecorderPaused;
    CString gif = MakeGif(L"kelvo_import_10.gif", 10);
    CFileDialog::SetTestResponder([&](CFileDialog& dialog) -> INT_PTR {
        dialog.SetPathName(gif);
        return IDOK;
    });
    ChooseFromMenu(ID_IMPORT_FILE);
    EXPECT_EQ(10, main->frameCount);
    EXPECT_EQ(10, main->engine.GetFrameCount());
    EXPECT_EQ(RecorderReady, main->state);
    EXPECT_EQ(7, main->engine.GetFrame(1)->delay);
    EXPECT_EQ(40u, main->engine.GetFrameImage(10)->GetWidth());
    CString text;
    main->startButton.GetWindowText(text);
    CString start;
    start.LoadString(IDS_START);
    EXPECT_STREQ(start, text);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowMenu, AFailedImportLeavesTheFramesAndTheStateAsTheyWere)
{
    GiveEngineFrames(4);
    main->state = RecorderPaused;
    CString garbage = TempFile(L"kelvo_garbage.gif");
    files.push_back(garbage);
    FILE* f = _wfopen(garbage, L"wb");
    fputs("GIF89a this is not a picture", f);
    fclose(f);
    EXPECT_FALSE(main->LoadGifFile(garbage));
    EXPECT_FALSE(main->LoadGifFile(MakeGif(L"kelvo_one_frame.gif", 1)));
    EXPECT_FALSE(main->LoadGifFile(L"C:\\no\\such\\file.gif"));
    EXPECT_FALSE(main->LoadGifFile(MakeGif(L"kelvo_wrong_extension.png", 5)));
    EXPECT_EQ(4, main->engine.GetFrameCount());
    EXPECT_EQ(4, main->frameCount);
    EXPECT_EQ(RecorderPaused, main->state);
}

TEST_F(MainWindowMenu, AOneFrameGifFromTheClipboardIsReported)
{
    GiveEngineFrames(2);
    CString gif = MakeGif(L"kelvo_clip_one.gif", 1);
    ASSERT_TRUE(OpenClipboard(main->m_hWnd));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, MakeFileList({gif}));
    CloseClipboard();
    ChooseFromMenu(ID_IMPORT_CLIPBOARD);
    ASSERT_EQ(1u, boxes.size());
    CString invalid;
    invalid.LoadString(IDS_INVALID_GIF);
    EXPECT_STREQ(invalid, boxes[0]);
    EXPECT_EQ(2, main->engine.GetFrameCount());
    // The clipboard is not left open.
    EXPECT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();
}

TEST_F(MainWindowMenu, ImportsAreRefusedWhileRecordingOrMaking)
{
    CString gif = MakeGif(L"kelvo_refused.gif", 3);
    int dialogs = 0;
    CFileDialog::SetTestResponder([&](CFileDialog&) -> INT_PTR {
        ++dialogs;
        return IDCANCEL;
    });
    for (int state : {RecorderRecording, RecorderMaking}) {
        main->state = state;
        ChooseFromMenu(ID_IMPORT_FILE);
        ChooseFromMenu(ID_IMPORT_CLIPBOARD);
        main->SendMessage(WM_DROPFILES, (WPARAM)MakeFileList({gif}));
    }
    main->state = RecorderIdle;
    EXPECT_EQ(0, dialogs);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0, main->engine.GetFrameCount());
}

TEST_F(MainWindowMenu, ADropOfOneGifImportsAndTwoFilesDoNothing)
{
    CString a = MakeGif(L"kelvo_drop_a.gif", 3);
    CString b = MakeGif(L"kelvo_drop_b.gif", 4);
    main->SendMessage(WM_DROPFILES, (WPARAM)MakeFileList({a, b}));
    EXPECT_EQ(0, main->engine.GetFrameCount());
    main->SendMessage(WM_DROPFILES, (WPARAM)MakeFileList({b}));
    EXPECT_EQ(4, main->engine.GetFrameCount());
    EXPECT_EQ(RecorderReady, main->state);
}

}  // namespace
