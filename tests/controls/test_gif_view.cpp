// The GIF view: its picture with alpha over the composition of gif_compose.h (the disposal
// rules themselves are tested there), delays, looping, hostile files, and the window class: showing a file (which may then be deleted), animating, an
// empty view for bad files and web addresses, painting, and copying to the clipboard.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "controls/gif_explorer.h"
#include "controls/gif_view.h"
#include "framework/framework.h"
#include "tests/test_pump.h"
#include "tests/gif/gif_file_builder.h"

using giftest::GifFileBuilder;
using giftest::Rgb;

namespace {

const Rgb kRed{255, 0, 0};
const Rgb kGreen{0, 255, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kWhite{255, 255, 255};
const std::vector<Rgb> kPalette = {kRed, kGreen, kBlue, kWhite};
enum : uint8_t { R = 0, G = 1, B = 2, W = 3 };

constexpr uint32_t kTransparent = 0;
uint32_t Argb(const Rgb& c) { return 0xFF000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b; }

std::vector<uint8_t> Fill(int w, int h, uint8_t index) { return std::vector<uint8_t>(size_t(w) * h, index); }

uint32_t At(const GifAnimation& a, int x, int y) { return a.Canvas()[size_t(y) * a.Width() + x]; }

GifAnimation Loaded(const std::vector<uint8_t>& bytes)
{
    GifAnimation a;
    EXPECT_TRUE(a.Load(bytes));
    return a;
}

// ---- The picture ------------------------------------------------------------------------------

TEST(GifAnimationTest, DisposalBackgroundClearsOnlyTheFramesRectangle)
{
    GifFileBuilder gif(4, 4, kPalette);
    gif.Control(1, 10, -1).Image(0, 0, 4, 4, Fill(4, 4, R));
    gif.Control(2, 10, -1).Image(1, 1, 2, 2, Fill(2, 2, B));
    gif.Control(1, 10, -1).Image(3, 3, 1, 1, Fill(1, 1, W));
    GifAnimation a = Loaded(gif.Trailer().Data());
    a.Advance();
    EXPECT_EQ(Argb(kBlue), At(a, 2, 2));
    a.Advance();
    EXPECT_EQ(kTransparent, At(a, 1, 1));
    EXPECT_EQ(kTransparent, At(a, 2, 2));
    EXPECT_EQ(Argb(kRed), At(a, 0, 0));
    EXPECT_EQ(Argb(kRed), At(a, 3, 1));
    EXPECT_EQ(Argb(kWhite), At(a, 3, 3));
}

TEST(GifAnimationTest, FirstFrameWithDisposalPreviousGoesBackToEmpty)
{
    GifFileBuilder gif(2, 1, kPalette);
    gif.Control(3, 10, -1).Image(0, 0, 1, 1, Fill(1, 1, B));
    gif.Control(1, 10, -1).Image(1, 0, 1, 1, Fill(1, 1, G));
    GifAnimation a = Loaded(gif.Trailer().Data());
    EXPECT_EQ(Argb(kBlue), At(a, 0, 0));
    a.Advance();
    EXPECT_EQ(kTransparent, At(a, 0, 0));
    EXPECT_EQ(Argb(kGreen), At(a, 1, 0));
}

TEST(GifAnimationTest, TransparentFirstFrameShowsNothingThere)
{
    GifFileBuilder gif(2, 1, kPalette);
    gif.Control(1, 10, W).Image(0, 0, 2, 1, {W, B});
    GifAnimation a = Loaded(gif.Trailer().Data());
    EXPECT_EQ(kTransparent, At(a, 0, 0));
    EXPECT_EQ(Argb(kBlue), At(a, 1, 0));
}

TEST(GifAnimationTest, AfterTheLastFrameThePlayStartsAgainFromAnEmptyCanvas)
{
    GifFileBuilder gif(4, 1, kPalette);
    gif.Control(1, 10, -1).Image(0, 0, 2, 1, Fill(2, 1, R));
    gif.Control(1, 10, -1).Image(2, 0, 2, 1, Fill(2, 1, B));
    GifAnimation a = Loaded(gif.Trailer().Data());
    a.Advance();
    EXPECT_EQ(Argb(kBlue), At(a, 3, 0));
    a.Advance();
    EXPECT_EQ(0, a.CurrentFrame());
    EXPECT_EQ(Argb(kRed), At(a, 0, 0));
    EXPECT_EQ(kTransparent, At(a, 3, 0));
    a.Advance();
    EXPECT_EQ(1, a.CurrentFrame());
}

TEST(GifAnimationTest, DelaysAreKeptAndMissingOrZeroBecomeFive)
{
    GifFileBuilder gif(1, 1, kPalette);
    gif.Image(0, 0, 1, 1, Fill(1, 1, R));                         // no control extension
    gif.Control(1, 0, -1).Image(0, 0, 1, 1, Fill(1, 1, G));       // 0
    gif.Control(1, 1500, -1).Image(0, 0, 1, 1, Fill(1, 1, B));    // 15 s
    gif.Control(1, 1, -1).Image(0, 0, 1, 1, Fill(1, 1, W));
    GifAnimation a = Loaded(gif.Trailer().Data());
    std::vector<int> delays;
    for (int i = 0; i < 4; ++i) {
        delays.push_back(a.CurrentDelay());
        a.Advance();
    }
    EXPECT_EQ((std::vector<int>{5, 5, 1500, 1}), delays);
}

TEST(GifAnimationTest, PictureIsTheScreenGrownToHoldTheFirstFrame)
{
    GifFileBuilder zero(0, 0, kPalette);
    zero.Image(0, 0, 3, 2, Fill(3, 2, R));
    GifAnimation a = Loaded(zero.Trailer().Data());
    EXPECT_EQ(3, a.Width());
    EXPECT_EQ(2, a.Height());

    GifFileBuilder wide(10, 4, kPalette);
    wide.Image(8, 1, 4, 5, Fill(4, 5, R));
    GifAnimation b = Loaded(wide.Trailer().Data());
    EXPECT_EQ(12, b.Width());
    EXPECT_EQ(6, b.Height());
}

TEST(GifAnimationTest, LaterFramesReachingPastThePictureAreCut)
{
    GifFileBuilder gif(2, 2, kPalette);
    gif.Control(1, 10, -1).Image(0, 0, 2, 2, Fill(2, 2, R));
    gif.Control(1, 10, -1).Image(1, 1, 40, 30, Fill(40, 30, B));
    gif.Control(1, 10, -1).Image(500, 500, 2, 2, Fill(2, 2, G));
    GifAnimation a = Loaded(gif.Trailer().Data());
    a.Advance();
    a.Advance();
    EXPECT_EQ(2, a.Width());
    EXPECT_EQ(Argb(kRed), At(a, 0, 0));
    EXPECT_EQ(Argb(kBlue), At(a, 1, 1));
}

// ---- Hostile files ----------------------------------------------------------------------------

TEST(GifAnimationTest, FilesWithoutAUsableFirstFrameGiveNothing)
{
    GifAnimation a;
    EXPECT_FALSE(a.Load({}));
    EXPECT_FALSE(a.Load({'G', 'I', 'F', '8', '9', 'a'}));
    EXPECT_FALSE(a.Load({'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(a.Load(GifFileBuilder(4, 4, kPalette).Trailer().Data()));  // no frame at all

    // A frame whose image data says nothing decodable.
    GifFileBuilder broken(4, 4, kPalette);
    broken.RawImage(0, 0, 4, 4, 0, giftest::ImageData(2, {0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(a.Load(broken.Trailer().Data()));

    // Colours nowhere.
    GifFileBuilder noTable(2, 2, {});
    noTable.Image(0, 0, 2, 2, Fill(2, 2, 0));
    EXPECT_FALSE(a.Load(noTable.Trailer().Data()));

    // Too large a picture to hold.
    GifFileBuilder huge(65535, 65535, kPalette);
    huge.Image(0, 0, 1, 1, Fill(1, 1, R));
    EXPECT_FALSE(a.Load(huge.Trailer().Data()));
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(0, a.FrameCount());
}

TEST(GifAnimationTest, AFileCutShortPlaysTheFramesBeforeTheCut)
{
    GifFileBuilder gif(2, 1, kPalette);
    gif.Control(1, 10, -1).Image(0, 0, 2, 1, Fill(2, 1, R));
    gif.Control(1, 10, -1).Image(0, 0, 2, 1, Fill(2, 1, B));
    std::vector<uint8_t> bytes = gif.Data();  // no trailer
    const size_t whole = bytes.size();
    gif.Control(1, 10, -1).Image(0, 0, 2, 1, Fill(2, 1, G));
    bytes = gif.Data();
    bytes.resize(whole + 12);  // inside the third frame
    GifAnimation a = Loaded(bytes);
    EXPECT_EQ(2, a.FrameCount());
    a.Advance();
    EXPECT_EQ(Argb(kBlue), At(a, 0, 0));
}

TEST(GifAnimationTest, AFrameThatCannotBeDecodedLeavesTheCanvas)
{
    GifFileBuilder gif(2, 1, kPalette);
    gif.Control(1, 10, -1).Image(0, 0, 2, 1, Fill(2, 1, R));
    // Not shown, so its disposal to the background does not wipe what is shown either.
    gif.Control(2, 10, -1).RawImage(0, 0, 2, 1, 0, giftest::ImageData(2, {0xFF}));
    gif.Control(1, 10, -1).Image(1, 0, 1, 1, Fill(1, 1, G));
    GifAnimation a = Loaded(gif.Trailer().Data());
    ASSERT_EQ(3, a.FrameCount());
    a.Advance();
    EXPECT_EQ(Argb(kRed), At(a, 0, 0));
    a.Advance();
    EXPECT_EQ(Argb(kRed), At(a, 0, 0));
    EXPECT_EQ(Argb(kGreen), At(a, 1, 0));
}

TEST(GifAnimationTest, FramesPastTheLimitAreNotPlayed)
{
    GifFileBuilder gif(1, 1, kPalette);
    const std::vector<uint8_t> pixel = Fill(1, 1, R);
    for (size_t i = 0; i < GifAnimation::kMaxFrames + 5; ++i)
        gif.Image(0, 0, 1, 1, pixel);
    GifAnimation a = Loaded(gif.Trailer().Data());
    EXPECT_EQ(static_cast<int>(GifAnimation::kMaxFrames), a.FrameCount());
}

// ---- The window ---------------------------------------------------------------------------------

std::wstring TempFolder()
{
    wchar_t buffer[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buffer);
    std::wstring folder = std::wstring(buffer) + L"kelvo-gif-view-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

std::wstring WriteFile(const std::wstring& name, const std::vector<uint8_t>& bytes)
{
    const std::wstring path = TempFolder() + name;
    FILE* f = _wfopen(path.c_str(), L"wb");
    EXPECT_NE(nullptr, f);
    if (f) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

// A red frame and a blue one, 50 ms each.
std::vector<uint8_t> TwoColourGif(int w, int h, int delay = 5)
{
    GifFileBuilder gif(w, h, kPalette);
    gif.Loop(0);
    gif.Control(1, delay, -1).Image(0, 0, w, h, Fill(w, h, R));
    gif.Control(1, delay, -1).Image(0, 0, w, h, Fill(w, h, B));
    return gif.Trailer().Data();
}

// The view's client area as painted, 0x00RRGGBB, top row first.
class Snapshot {
public:
    explicit Snapshot(HWND hwnd)
    {
        RECT client;
        ::GetClientRect(hwnd, &client);
        width = client.right;
        height = client.bottom;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = ::CreateCompatibleDC(nullptr);
        HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        ::GdiFlush();
        pixels.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size_t(width) * height);
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x] & 0xFFFFFF; }
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

constexpr uint32_t kPaintRed = 0xFF0000, kPaintBlue = 0x0000FF, kPaintWhite = 0xFFFFFF;

class GifViewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterGifViewClass());
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_NE(nullptr, parent);
        view = ::CreateWindowExW(0, kGifViewClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, parent,
                                 reinterpret_cast<HMENU>(1004), nullptr, nullptr);
        ASSERT_NE(nullptr, view);
        AfxSetMessageBoxResponder([this](LPCTSTR, UINT) {
            ++messageBoxes;
            return IDOK;
        });
    }
    void TearDown() override
    {
        AfxSetMessageBoxResponder(nullptr);
        if (parent)
            ::DestroyWindow(parent);
        Pump(20);
    }
    BOOL Show(const std::wstring& path)
    {
        return static_cast<BOOL>(::SendMessageW(view, GVM_SHOWFILE, 0, reinterpret_cast<LPARAM>(path.c_str())));
    }
    int Frames() const { return static_cast<int>(::SendMessageW(view, GVM_GETFRAMECOUNT, 0, 0)); }

    HWND parent = nullptr;
    HWND view = nullptr;
    int messageBoxes = 0;
};

TEST_F(GifViewWindowTest, ShowsTheFileInTheMiddleAndTheFileMayThenBeDeleted)
{
    const std::wstring path = WriteFile(L"middle.gif", TwoColourGif(40, 20, 100));
    ASSERT_TRUE(Show(path));
    EXPECT_EQ(2, Frames());
    EXPECT_EQ(MAKELRESULT(40, 20), ::SendMessageW(view, GVM_GETPICTURESIZE, 0, 0));
    // The file was read whole and closed.
    EXPECT_TRUE(::DeleteFileW(path.c_str()));

    Snapshot shot(view);
    EXPECT_EQ(kPaintRed, shot.At(100, 50));  // centred: (80, 40)-(120, 60)
    EXPECT_EQ(kPaintRed, shot.At(80, 40));
    EXPECT_EQ(kPaintRed, shot.At(119, 59));
    EXPECT_EQ(kPaintWhite, shot.At(79, 50));
    EXPECT_EQ(kPaintWhite, shot.At(100, 39));
    EXPECT_EQ(kPaintWhite, shot.At(0, 0));
}

TEST_F(GifViewWindowTest, AnimatesWithTheStoredDelaysAndLoops)
{
    const std::wstring path = WriteFile(L"animated.gif", TwoColourGif(10, 10, 5));
    ASSERT_TRUE(Show(path));
    std::vector<int> seen;
    std::vector<uint32_t> colours;
    for (int i = 0; i < 40; ++i) {
        Pump(20);
        seen.push_back(static_cast<int>(::SendMessageW(view, GVM_GETCURRENTFRAME, 0, 0)));
        colours.push_back(Snapshot(view).At(100, 50));
    }
    // 800 ms at 50 ms a frame: both frames several times, in turn.
    int changes = 0;
    for (size_t i = 1; i < seen.size(); ++i)
        changes += seen[i] != seen[i - 1];
    EXPECT_GE(changes, 4);
    EXPECT_LE(changes, 20);
    EXPECT_NE(std::find(colours.begin(), colours.end(), kPaintRed), colours.end());
    EXPECT_NE(std::find(colours.begin(), colours.end(), kPaintBlue), colours.end());
    ::DeleteFileW(path.c_str());
}

TEST_F(GifViewWindowTest, AHiddenViewWaitsAndPlaysOnWhenShownAgain)
{
    const std::wstring path = WriteFile(L"hidden.gif", TwoColourGif(10, 10, 3));
    ASSERT_TRUE(Show(path));
    ::ShowWindow(parent, SW_HIDE);
    const LRESULT frame = ::SendMessageW(view, GVM_GETCURRENTFRAME, 0, 0);
    for (int i = 0; i < 15; ++i) {
        Pump(20);
        ASSERT_EQ(frame, ::SendMessageW(view, GVM_GETCURRENTFRAME, 0, 0));
    }
    ::ShowWindow(parent, SW_SHOWNOACTIVATE);
    bool moved = false;
    for (int i = 0; i < 25 && !moved; ++i) {
        Pump(20);
        moved = ::SendMessageW(view, GVM_GETCURRENTFRAME, 0, 0) != frame;
    }
    EXPECT_TRUE(moved);
    ::DeleteFileW(path.c_str());
}

TEST_F(GifViewWindowTest, AOneFrameGifStaysStill)
{
    GifFileBuilder gif(4, 4, kPalette);
    gif.Image(0, 0, 4, 4, Fill(4, 4, B));
    const std::wstring path = WriteFile(L"still.gif", gif.Trailer().Data());
    ASSERT_TRUE(Show(path));
    Pump(150);
    EXPECT_EQ(0, ::SendMessageW(view, GVM_GETCURRENTFRAME, 0, 0));
    EXPECT_EQ(kPaintBlue, Snapshot(view).At(100, 50));
    ::DeleteFileW(path.c_str());
}

TEST_F(GifViewWindowTest, APictureLargerThanTheViewIsShrunkToFit)
{
    const std::wstring path = WriteFile(L"large.gif", TwoColourGif(400, 100, 100));
    ASSERT_TRUE(Show(path));
    Snapshot shot(view);  // 200 x 100: the picture becomes 200 x 50 at (0, 25)
    EXPECT_EQ(kPaintRed, shot.At(0, 30));
    EXPECT_EQ(kPaintRed, shot.At(199, 70));
    EXPECT_EQ(kPaintWhite, shot.At(100, 20));
    EXPECT_EQ(kPaintWhite, shot.At(100, 80));
    ::DeleteFileW(path.c_str());
}

TEST_F(GifViewWindowTest, BadFilesAndWebAddressesGiveAnEmptyViewAndNoMessage)
{
    const std::wstring good = WriteFile(L"good.gif", TwoColourGif(10, 10));
    const std::wstring bad = WriteFile(L"bad.gif", {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3});
    const std::wstring names[] = {bad, TempFolder() + L"missing.gif", L"http://www.kelvo.example/a.gif",
                                  L"about:blank", L"", TempFolder()};
    for (const std::wstring& name : names) {
        ASSERT_TRUE(Show(good));
        EXPECT_FALSE(Show(name)) << std::string(name.begin(), name.end());
        EXPECT_EQ(0, Frames());
        EXPECT_EQ(-1, ::SendMessageW(view, GVM_GETCURRENTFRAME, 0, 0));
        EXPECT_EQ(kPaintWhite, Snapshot(view).At(100, 50));
    }
    EXPECT_FALSE(::SendMessageW(view, GVM_SHOWFILE, 0, 0));
    Pump(100);
    EXPECT_EQ(0, messageBoxes);
    ::DeleteFileW(good.c_str());
    ::DeleteFileW(bad.c_str());
}

// ---- The clipboard ----------------------------------------------------------------------------------

class Clipboard {
public:
    explicit Clipboard(HWND owner) : open(::OpenClipboard(owner) != FALSE) {}
    ~Clipboard()
    {
        if (open)
            ::CloseClipboard();
    }
    bool open;
};

void PutText(HWND owner, const wchar_t* text)
{
    Clipboard clipboard(owner);
    ASSERT_TRUE(clipboard.open);
    ::EmptyClipboard();
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(::GlobalLock(block), text, bytes);
    ::GlobalUnlock(block);
    ::SetClipboardData(CF_UNICODETEXT, block);
}

std::wstring DroppedFile(HWND owner)
{
    Clipboard clipboard(owner);
    HANDLE data = ::GetClipboardData(CF_HDROP);
    if (!data)
        return L"";
    wchar_t name[MAX_PATH * 2] = L"";
    ::DragQueryFileW(static_cast<HDROP>(data), 0, name, MAX_PATH * 2);
    EXPECT_EQ(1u, ::DragQueryFileW(static_cast<HDROP>(data), 0xFFFFFFFF, nullptr, 0));
    return name;
}

TEST_F(GifViewWindowTest, CopyPutsTheShownPictureAndTheFileOnTheClipboard)
{
    GifFileBuilder gif(3, 2, kPalette);
    gif.Control(1, 10, W).Image(0, 0, 3, 2, {R, G, B, W, B, R});  // white is transparent
    const std::wstring path = WriteFile(L"copy me.gif", gif.Trailer().Data());
    ASSERT_TRUE(Show(path));
    ASSERT_TRUE(::SendMessageW(view, GVM_COPYTOCLIPBOARD, 0, 0));

    {
        Clipboard clipboard(view);
        ASSERT_TRUE(clipboard.open);
        HANDLE data = ::GetClipboardData(CF_DIB);
        ASSERT_NE(nullptr, data);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(data));
        ASSERT_NE(nullptr, header);
        EXPECT_EQ(3, header->biWidth);
        EXPECT_EQ(2, header->biHeight);
        ASSERT_EQ(24, header->biBitCount);
        const uint8_t* rows = reinterpret_cast<const uint8_t*>(header) + header->biSize;
        auto pixel = [&](int x, int y) {
            const uint8_t* p = rows + size_t(1 - y) * 12 + x * 3;  // bottom-up, rows of 12 bytes
            return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
        };
        EXPECT_EQ(kPaintRed, pixel(0, 0));
        EXPECT_EQ(0x00FF00u, pixel(1, 0));
        EXPECT_EQ(kPaintBlue, pixel(2, 0));
        EXPECT_EQ(kPaintWhite, pixel(0, 1));  // transparent: the page shows through
        EXPECT_EQ(kPaintBlue, pixel(1, 1));
        ::GlobalUnlock(data);
    }
    wchar_t full[MAX_PATH];
    ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    EXPECT_EQ(std::wstring(full), DroppedFile(view));

    // A deleted file is no longer offered, the picture still is.
    ASSERT_TRUE(::DeleteFileW(path.c_str()));
    ASSERT_TRUE(::SendMessageW(view, GVM_COPYTOCLIPBOARD, 0, 0));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_DIB));
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_HDROP));
}

TEST_F(GifViewWindowTest, CopyOfAnEmptyViewLeavesTheClipboardAlone)
{
    PutText(view, L"keep me");
    EXPECT_FALSE(::SendMessageW(view, GVM_COPYTOCLIPBOARD, 0, 0));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_DIB));
}

// ---- The wrapper ---------------------------------------------------------------------------------

TEST_F(GifViewWindowTest, TheWrapperDrivesTheViewItIsBoundTo)
{
    CGifexplorer explorer;
    ASSERT_TRUE(explorer.SubclassWindow(view));
    const std::wstring path = WriteFile(L"wrapped.gif", TwoColourGif(30, 20, 100));
    explorer.Navigate(path.c_str());
    EXPECT_EQ(2, explorer.GetFrameCount());
    EXPECT_EQ(CSize(30, 20), explorer.GetPictureSize());
    EXPECT_EQ(0, explorer.GetCurrentFrame());
    wchar_t full[MAX_PATH];
    ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    EXPECT_EQ(CString(full), explorer.GetLocationURL());
    EXPECT_EQ(nullptr, explorer.GetDocument());
    EXPECT_TRUE(explorer.CopyToClipboard());

    explorer.Navigate(L"https://www.kelvo.example/");
    EXPECT_EQ(0, explorer.GetFrameCount());
    EXPECT_TRUE(explorer.GetLocationURL().IsEmpty());
    explorer.UnsubclassWindow();
    ::DeleteFileW(path.c_str());
}

TEST_F(GifViewWindowTest, TheWrapperIsCreatedDynamicallyAsAChild)
{
    std::unique_ptr<CObject> object(RUNTIME_CLASS(CGifexplorer)->CreateObject());
    auto* explorer = dynamic_cast<CGifexplorer*>(object.get());
    ASSERT_NE(nullptr, explorer);
    EXPECT_STREQ("CGifexplorer", explorer->GetRuntimeClass()->m_lpszClassName);
    CWnd* host = CWnd::FromHandle(parent);
    ASSERT_TRUE(explorer->Create(nullptr, L"", WS_VISIBLE, CRect(0, 100, 120, 190), host, 2001));
    wchar_t className[64] = L"";
    ::GetClassNameW(explorer->m_hWnd, className, 64);
    EXPECT_STREQ(kGifViewClassName, className);
    EXPECT_TRUE(explorer->GetStyle() & WS_CHILD);
    EXPECT_EQ(2001, explorer->GetDlgCtrlID());
    const std::wstring path = WriteFile(L"dynamic.gif", TwoColourGif(8, 8, 100));
    explorer->Navigate(path.c_str());
    EXPECT_EQ(2, explorer->GetFrameCount());
    explorer->DestroyWindow();
    ::DeleteFileW(path.c_str());
}

}  // namespace
