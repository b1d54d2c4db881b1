// The preview window as a window: its template and buttons, the info line, where it goes and
// how large it is when a GIF arrives, its layout, its keys, closing, and the two popup menus.
#include <algorithm>

#include "controls/gif_view.h"
#include "res/image_ids.h"
#include "res/preview_ids.h"
#include "tests/gif/gif_file_builder.h"
#include "tests/recorder/preview_test_util.h"

namespace preview_test {
namespace {

using PreviewWindowTest = PreviewTest;

TEST_F(PreviewWindowTest, StartsHiddenWithTheMainWindowsGifAndNoQualityChosen)
{
    EXPECT_FALSE(preview->IsWindowVisible());
    EXPECT_EQ(CString(mainGif.c_str()), preview->gifPath);
    EXPECT_EQ(0, preview->qualityChoice);
    EXPECT_EQ(0, CPreviewDlg().qualityChoice);
    CString caption;
    preview->GetWindowText(caption);
    EXPECT_EQ(CString(L"预览"), caption);
    EXPECT_STREQ("CPreviewDlg", preview->GetRuntimeClass()->m_lpszClassName);

    wchar_t className[64] = L"";
    ::GetClassNameW(preview->browser.m_hWnd, className, 64);
    EXPECT_STREQ(kGifViewClassName, className);
    EXPECT_EQ(IDC_PREVIEW_VIEW, preview->browser.GetDlgCtrlID());

    const struct {
        CIconButton* button;
        int id;
        const wchar_t* text;
    } buttons[] = {
        {&preview->btnEdit, IDC_PREVIEW_EDIT, L"编辑"},
        {&preview->btnMicroBlog, IDC_PREVIEW_MICROBLOG, L"生成微博GIF"},
        {&preview->btnSave, IDC_PREVIEW_SAVE, L"保存..."},
        {&preview->btnShare, IDC_PREVIEW_SHARE, L"分享到微博"},
        {&preview->btnImport, IDC_PREVIEW_IMPORT, L"导入QQ/微信"},
    };
    for (const auto& b : buttons) {
        ASSERT_TRUE(b.button->m_hWnd);
        EXPECT_EQ(b.id, b.button->GetDlgCtrlID());
        CString text;
        b.button->GetWindowText(text);
        EXPECT_EQ(CString(b.text), text);
        // The same green face with white text in every state.
        for (BYTE index = 0; index < 6; ++index) {
            COLORREF colour = 0;
            ASSERT_EQ(0u, b.button->GetColor(index, &colour));
            EXPECT_EQ(index % 2 ? RGB(255, 255, 255) : RGB(76, 164, 127), colour) << b.text << " " << int(index);
        }
    }
}

TEST_F(PreviewWindowTest, AGifArrivingWhileHiddenSizesAndPlacesTheWindowBesideTheMainWindow)
{
    preview->ShowGifInfo(3, 100, 50, 1.54f);
    Pump(50);
    EXPECT_EQ(CString(L"3F, 1.5K, 100*50"), InfoText());
    EXPECT_TRUE(preview->IsWindowVisible());
    const CRect mainRect = WindowRect(*main);
    const CRect place = WindowRect(*preview);
    EXPECT_EQ(300, place.Width());  // 100 + 60 is below the minimum
    const int expectedHeight = std::max(50 + ::GetSystemMetrics(SM_CYCAPTION) + 60,
                                        std::max(150, mainRect.Height() + main->captureRect.Height() + 40));
    EXPECT_EQ(expectedHeight, place.Height());
    EXPECT_EQ(mainRect.right, place.left);
    EXPECT_EQ(mainRect.top, place.top);
}

TEST_F(PreviewWindowTest, AWideGifMakesAWideWindow)
{
    preview->ShowGifInfo(1, 500, 400, 10.0f);
    Pump(50);
    const CRect place = WindowRect(*preview);
    EXPECT_EQ(560, place.Width());
    EXPECT_GE(place.Height(), 400 + ::GetSystemMetrics(SM_CYCAPTION) + 60);
}

TEST_F(PreviewWindowTest, AVisibleWindowKeepsItsSizeAndPlaceAndOnlyTheInfoChanges)
{
    ShowPlain(mainGif);
    preview->MoveWindow(30, 40, 420, 380);
    Pump(30);
    preview->ShowGifInfo(7, 900, 700, 2048.4f);
    Pump(30);
    EXPECT_EQ(CRect(30, 40, 450, 420), WindowRect(*preview));
    EXPECT_EQ(CString(L"7F, 2048.4K, 900*700"), InfoText());
}

TEST_F(PreviewWindowTest, AMainWindowWithItsRightOrTopEdgeOffTheScreenSendsTheWindowTo100And100)
{
    // A left edge off the screen alone does not count: the window goes beside the right edge.
    main->MoveWindow(-40, 20, 620, WindowRect(*main).Height());
    preview->ShowGifInfo(1, 100, 50, 1.0f);
    EXPECT_EQ(CPoint(580, 20), WindowRect(*preview).TopLeft());

    preview->ShowWindow(SW_HIDE);
    main->MoveWindow(-700, 20, 620, WindowRect(*main).Height());
    preview->ShowGifInfo(1, 100, 50, 1.0f);
    EXPECT_EQ(CPoint(100, 100), WindowRect(*preview).TopLeft());

    preview->ShowWindow(SW_HIDE);
    main->MoveWindow(40, -20, 620, WindowRect(*main).Height());
    preview->ShowGifInfo(1, 100, 50, 1.0f);
    EXPECT_EQ(CPoint(100, 100), WindowRect(*preview).TopLeft());
}

TEST_F(PreviewWindowTest, TheWindowIsPlacedInsideTheWorkArea)
{
    const CRect work = WorkArea();
    main->MoveWindow(work.right - 300, work.top + 10, 620, WindowRect(*main).Height());
    preview->ShowGifInfo(1, 400, 300, 1.0f);
    CRect place = WindowRect(*preview);
    EXPECT_EQ(460, place.Width());
    EXPECT_EQ(work.right, place.right);
    EXPECT_GE(place.left, work.left);
    EXPECT_LE(place.bottom, work.bottom);

    // Larger than the work area: as large as the work area.
    preview->ShowWindow(SW_HIDE);
    preview->ShowGifInfo(1, work.Width() + 500, work.Height() + 500, 1.0f);
    place = WindowRect(*preview);
    EXPECT_EQ(work, place);
}

TEST_F(PreviewWindowTest, WhileTheMainWindowIsMinimisedTheWindowIsSizedButStaysHidden)
{
    main->ShowWindow(SW_MINIMIZE);
    Pump(100);
    if (!main->IsIconic())
        GTEST_SKIP() << "the display does not minimise windows";
    preview->ShowGifInfo(2, 200, 100, 1.0f);
    Pump(50);
    EXPECT_FALSE(preview->IsWindowVisible());
    EXPECT_EQ(300, WindowRect(*preview).Width());
    main->ShowWindow(SW_RESTORE);
}

TEST_F(PreviewWindowTest, APlainGifIsShownWithItsFramesSizeAndDimensions)
{
    const std::wstring gif = WriteGif(L"plain.gif", 64, 48, 3);
    ShowPlain(gif);
    EXPECT_EQ(CString(gif.c_str()), preview->gifPath);
    EXPECT_EQ(3, preview->browser.GetFrameCount());
    CString expected;
    expected.Format(L"3F, %.1fK, 64*48", ReadBytes(gif).size() / 1024.0);
    EXPECT_EQ(expected, InfoText());

    // A file that is not a GIF changes neither the info nor the visibility.
    preview->ShowWindow(SW_HIDE);
    const std::wstring bad = WriteBytes(L"bad.gif", {'n', 'o', 't'});
    EXPECT_FALSE(preview->ShowPlainGif(bad.c_str()));
    EXPECT_FALSE(preview->IsWindowVisible());
    EXPECT_EQ(expected, InfoText());
}

TEST_F(PreviewWindowTest, TheWindowCannotBeTrackedSmallerThan200By150)
{
    MINMAXINFO info = {};
    preview->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(200, info.ptMinTrackSize.x);
    EXPECT_EQ(150, info.ptMinTrackSize.y);
}

TEST_F(PreviewWindowTest, LayoutPutsTheViewAboveTheInfoLineAndTheButtonsInARow)
{
    ShowPlain(mainGif);
    preview->MoveWindow(50, 50, 640, 480);
    Pump(30);
    CRect client;
    preview->GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    auto childRect = [&](const CWnd& child) {
        CRect r = WindowRect(child);
        preview->ScreenToClient(&r);
        return r;
    };
    EXPECT_EQ(CRect(0, 0, w, h - 60), childRect(preview->browser));
    EXPECT_EQ(CRect(3, h - 50, 3 + w, h - 10), childRect(preview->infoLine));
    CIconButton* row[] = {&preview->btnEdit, &preview->btnMicroBlog, &preview->btnSave, &preview->btnShare,
                          &preview->btnImport};
    const int gaps[] = {4, 4, 4, 2};
    int left = 1;
    for (int i = 0; i < 5; ++i) {
        const CRect r = childRect(*row[i]);
        EXPECT_EQ(h - 27, r.top) << i;
        EXPECT_EQ(left, r.left) << i;
        if (i < 4)
            left = r.right + gaps[i];
    }
}

TEST_F(PreviewWindowTest, EnterDoesNothingAndEscapeHidesWithoutDeletingAnything)
{
    ShowPlain(mainGif);
    preview->btnSave.SetFocus();
    ::PostMessageW(preview->btnSave.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
    Pump(50);
    preview->SendMessage(WM_COMMAND, IDOK);
    EXPECT_TRUE(preview->IsWindowVisible());

    ::PostMessageW(preview->btnSave.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !preview->IsWindowVisible(); }, 1000));
    EXPECT_TRUE(Exists(mainGif));
    EXPECT_TRUE(messages.empty());
}

TEST_F(PreviewWindowTest, ClosingHidesAndDeletesTheShownFile)
{
    ShowPlain(mainGif);
    preview->SendMessage(WM_CLOSE);
    Pump(50);
    EXPECT_FALSE(preview->IsWindowVisible());
    EXPECT_FALSE(Exists(mainGif));
    EXPECT_TRUE(messages.empty());
}

TEST_F(PreviewWindowTest, ShowAgainBringsBackTheWindowOnlyWhenItShowsAGif)
{
    preview->ShowAgain();
    EXPECT_FALSE(preview->IsWindowVisible());
    ShowPlain(mainGif);
    preview->ShowWindow(SW_HIDE);
    preview->ShowAgain();
    EXPECT_TRUE(preview->IsWindowVisible());
}

// Screen pixels of a window's client area, 0x00RRGGBB.
std::vector<uint32_t> ScreenPixels(const CWnd& wnd)
{
    CRect r;
    wnd.GetClientRect(&r);
    wnd.ClientToScreen(&r);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = r.Width();
    info.bmiHeader.biHeight = -r.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, r.Width(), r.Height(), screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + r.Width() * r.Height());
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

TEST_F(PreviewWindowTest, TheShownGifIsVisibleAndMovesOnTheScreen)
{
    // A blue square that steps to the right over white, 200 ms a step.
    const int w = 200, h = 120;
    giftest::GifFileBuilder gif(w, h, {giftest::Rgb{255, 255, 255}, giftest::Rgb{0, 0, 255}});
    gif.Loop(0);
    for (int step = 0; step < 4; ++step) {
        std::vector<uint8_t> pixels(size_t(w) * h, 0);
        for (int y = 40; y < 80; ++y)
            for (int x = step * 50; x < step * 50 + 40; ++x)
                pixels[size_t(y) * w + x] = 1;
        gif.Control(1, 20, -1).Image(0, 0, w, h, pixels);
    }
    ShowPlain(WriteBytes(L"moving.gif", gif.Trailer().Data()));
    preview->SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump(100);
    auto blueAt = [](const std::vector<uint32_t>& pixels) {
        return std::count(pixels.begin(), pixels.end(), 0x0000FFu);
    };
    const std::vector<uint32_t> first = ScreenPixels(preview->browser);
    Pump(300);
    const std::vector<uint32_t> second = ScreenPixels(preview->browser);
    EXPECT_EQ(40 * 40, blueAt(first));
    EXPECT_EQ(40 * 40, blueAt(second));
    EXPECT_NE(first, second);
}

// ---- The popup menus ----------------------------------------------------------------------------

struct MenuCall {
    int calls = 0;
    UINT flags = 0;
    CPoint at;
    std::vector<UINT> ids;  // items of the popup, 0 for a separator, -1 for a submenu
    std::vector<UINT> subIds;
};

void RecordMenu(MenuCall* call, UINT answer)
{
    CMenu::SetTestResponder([call, answer](CMenu& menu, UINT flags, int x, int y) {
        ++call->calls;
        call->flags = flags;
        call->at = CPoint(x, y);
        call->ids.clear();
        for (UINT i = 0; i < menu.GetMenuItemCount(); ++i) {
            if (CMenu* sub = menu.GetSubMenu(static_cast<int>(i))) {
                call->ids.push_back(static_cast<UINT>(-1));
                for (UINT j = 0; j < sub->GetMenuItemCount(); ++j)
                    call->subIds.push_back(sub->GetMenuItemID(static_cast<int>(j)));
            } else {
                call->ids.push_back(menu.GetMenuItemID(static_cast<int>(i)));
            }
        }
        return answer;
    });
}

TEST_F(PreviewWindowTest, TheSaveMenuOpensAboveTheSaveButtonAndADismissalDoesNothing)
{
    ShowPlain(mainGif);
    MenuCall call;
    RecordMenu(&call, 0);
    preview->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_SAVE, BN_CLICKED),
                         reinterpret_cast<LPARAM>(preview->btnSave.m_hWnd));
    ASSERT_EQ(1, call.calls);
    EXPECT_EQ(0x1E0u, call.flags);
    EXPECT_EQ(WindowRect(preview->btnSave).TopLeft(), call.at);
    EXPECT_EQ((std::vector<UINT>{ID_PREVIEW_COPY, 0, ID_PREVIEW_SAVE_TO_DISK}), call.ids);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(preview->IsWindowVisible());
}

TEST_F(PreviewWindowTest, DismissingTheQualityMenuChoosesNothingAndMakesNothing)
{
    ShowPlain(mainGif);
    preview->qualityChoice = ID_QUALITY_128;
    MenuCall call;
    RecordMenu(&call, 0);
    preview->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_MICROBLOG, BN_CLICKED),
                         reinterpret_cast<LPARAM>(preview->btnMicroBlog.m_hWnd));
    ASSERT_EQ(1, call.calls);
    EXPECT_EQ(0x1E0u, call.flags);
    EXPECT_EQ(WindowRect(preview->btnMicroBlog).TopLeft(), call.at);
    EXPECT_EQ((std::vector<UINT>{ID_QUALITY_256, ID_QUALITY_128, ID_QUALITY_64, ID_QUALITY_32, 0,
                                 static_cast<UINT>(-1)}),
              call.ids);
    EXPECT_EQ((std::vector<UINT>{ID_QUALITY_GRAY_256, ID_QUALITY_GRAY_128, ID_QUALITY_GRAY_64, ID_QUALITY_GRAY_32}),
              call.subIds);
    EXPECT_EQ(0, preview->qualityChoice);
    EXPECT_EQ(RecorderReady, main->state);
    EXPECT_TRUE(preview->IsWindowVisible());
}

TEST_F(PreviewWindowTest, AChosenQualityHasTheMainWindowMakeTheFittedGifAndHidesTheWindow)
{
    ShowPlain(mainGif);
    MenuCall call;
    RecordMenu(&call, ID_QUALITY_GRAY_64);
    preview->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_MICROBLOG, BN_CLICKED),
                         reinterpret_cast<LPARAM>(preview->btnMicroBlog.m_hWnd));
    EXPECT_EQ(ID_QUALITY_GRAY_64, preview->qualityChoice);
    EXPECT_EQ(RecorderMaking, main->state);
    EXPECT_FALSE(preview->IsWindowVisible());
    EXPECT_NE(CString(mainGif.c_str()), main->gifPath);  // a new name for the fitted GIF
    // The engine has no frames here: it answers, and the window is ready again.
    EXPECT_TRUE(PumpUntil([&] { return main->state == RecorderReady; }, 5000));
}

TEST_F(PreviewWindowTest, TheQualityMenuIsNotOfferedUnlessTheFramesAreReady)
{
    ShowPlain(mainGif);
    MenuCall call;
    RecordMenu(&call, ID_QUALITY_64);
    for (int state : {RecorderIdle, RecorderRecording, RecorderPaused, RecorderMaking}) {
        main->state = state;
        preview->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_MICROBLOG, BN_CLICKED),
                             reinterpret_cast<LPARAM>(preview->btnMicroBlog.m_hWnd));
        EXPECT_EQ(state, main->state);
    }
    EXPECT_EQ(0, call.calls);
    EXPECT_TRUE(preview->IsWindowVisible());
    main->state = RecorderReady;
}

TEST(PreviewLevelsTest, ColourCountsAndGreyFollowTheLevel)
{
    const struct {
        int choice, colours;
        bool gray;
    } levels[] = {
        {32880, 256, false}, {32881, 128, false}, {32882, 64, false}, {32885, 32, false}, {32884, 16, false},
        {32913, 256, true},  {32914, 128, true},  {32915, 64, true},  {32916, 32, true},  {32917, 16, true},
        {0, 256, false},     {32883, 256, false}, {-5, 256, false},
    };
    for (const auto& level : levels) {
        int colours = 0;
        bool gray = true;
        CPreviewDlg::CompressionFor(level.choice, &colours, &gray);
        EXPECT_EQ(level.colours, colours) << level.choice;
        EXPECT_EQ(level.gray, gray) << level.choice;
    }
    EXPECT_EQ(32880, CPreviewDlg::QualityChoiceForColours(256));
    EXPECT_EQ(32881, CPreviewDlg::QualityChoiceForColours(128));
    EXPECT_EQ(32882, CPreviewDlg::QualityChoiceForColours(64));
    EXPECT_EQ(32885, CPreviewDlg::QualityChoiceForColours(32));
    EXPECT_EQ(32884, CPreviewDlg::QualityChoiceForColours(16));
    EXPECT_EQ(0, CPreviewDlg::QualityChoiceForColours(1));
}

}  // namespace
}  // namespace preview_test
