// Screen capture on the test display: a window painted with a known pattern is copied
// exactly, and the cursor marks land where and how the marking mode says.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/capture/engine_test_support.h"
#include "tests/test_pump.h"

namespace {

using engine_test::PixelAt;

const COLORREF kGrey = RGB(128, 128, 128);

// The colour of pixel (x, y) of the pattern window.
COLORREF Pattern(int x, int y) {
    if (x == y) return RGB(255, 255, 0);
    if (y < 20) return x < 30 ? RGB(200, 30, 30) : RGB(20, 180, 40);
    return x < 30 ? RGB(30, 60, 220) : RGB(x * 4, y * 3, 77);
}

// A topmost borderless window that paints either the pattern or plain grey.
class PaintedWindow {
public:
    PaintedWindow(int left, int top, int width, int height, bool pattern) : pattern_(pattern) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &PaintedWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"KelvoCaptureTestWindow";
        RegisterClassW(&wc);
        wnd_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, left, top, width,
                               height, nullptr, nullptr, wc.hInstance, this);
        UpdateWindow(wnd_);
        Pump(300);
    }
    ~PaintedWindow() { DestroyWindow(wnd_); }
    PaintedWindow(const PaintedWindow&) = delete;
    PaintedWindow& operator=(const PaintedWindow&) = delete;
    bool Ok() const { return wnd_ != nullptr; }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<PaintedWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (message == WM_PAINT && self) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(wnd, &ps);
            RECT client;
            GetClientRect(wnd, &client);
            for (int y = 0; y < client.bottom; ++y)
                for (int x = 0; x < client.right; ++x) SetPixelV(dc, x, y, self->pattern_ ? Pattern(x, y) : kGrey);
            EndPaint(wnd, &ps);
            return 0;
        }
        if (message == WM_ERASEBKGND) return 1;
        return DefWindowProcW(wnd, message, wParam, lParam);
    }

    HWND wnd_ = nullptr;
    bool pattern_;
};

bool Near(COLORREF a, COLORREF b, int tolerance = 2) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Square colour blended at 100/255 over the grey background.
COLORREF OverGrey(int r, int g, int b) {
    auto blend = [](int s) { return (s * 100 + 128 * 155) / 255; };
    return RGB(blend(r), blend(g), blend(b));
}

TEST(CaptureFrame, CopiesTheRegionExactly) {
    PaintedWindow window(200, 150, 64, 48, true);
    ASSERT_TRUE(window.Ok());
    CScreenRecorder engine;
    engine.SetCaptureRegion(200, 150, 264, 198, 0);
    ASSERT_TRUE(engine.CaptureFrame());
    ASSERT_EQ(1, engine.GetFrameCount());
    const CxImage& picture = *engine.GetFrameImage(1);
    ASSERT_EQ(64u, picture.GetWidth());
    ASSERT_EQ(48u, picture.GetHeight());
    EXPECT_EQ(24, picture.GetBpp());
    EXPECT_EQ(1u, picture.GetFlags());
    int wrong = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) wrong += PixelAt(picture, x, y) != Pattern(x, y);
    EXPECT_EQ(0, wrong);
    EXPECT_EQ(5, engine.GetFrame(1)->delay);  // 100 / the default 20 frames a second

    // A part of it, offset into the window.
    engine.SetCaptureRegion(210, 160, 250, 190, 0);
    ASSERT_TRUE(engine.CaptureFrame());
    const CxImage& part = *engine.GetFrameImage(2);
    ASSERT_EQ(40u, part.GetWidth());
    EXPECT_EQ(Pattern(10, 10), PixelAt(part, 0, 0));
    EXPECT_EQ(Pattern(49, 39), PixelAt(part, 39, 29));
}

TEST(CaptureFrame, AnEmptyRegionAddsNothing) {
    CScreenRecorder engine;
    engine.SetCaptureRegion(10, 10, 10, 50, 0);
    EXPECT_FALSE(engine.CaptureFrame());
    EXPECT_FALSE(engine.CaptureRanOutOfMemory());
    EXPECT_EQ(0, engine.GetFrameCount());
}

class CursorMarks : public ::testing::Test {
protected:
    // The grey window covers (300, 300)..(420, 420); the cursor is at its centre, so in the
    // copy it is at (60, 60): the square spans 40..79, the icon starts at (50, 50).
    void SetUp() override {
        ASSERT_TRUE(window.Ok());
        SetCursorPos(360, 360);
        Pump(200);
        CURSORINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetCursorInfo(&info));
        ASSERT_EQ(360, info.ptScreenPos.x);
        ASSERT_EQ(360, info.ptScreenPos.y);
    }

    const CxImage& Capture(int mode) {
        engine.SetCaptureRegion(300, 300, 420, 420, mode);
        EXPECT_TRUE(engine.CaptureFrame());
        return *engine.GetFrameImage(engine.GetFrameCount());
    }

    // Pixels of the square that the icon does not cover, and pixels outside the square.
    static void ExpectSquare(const CxImage& copy, COLORREF colour) {
        for (POINT p : {POINT{41, 41}, POINT{70, 45}, POINT{45, 70}, POINT{79, 40}, POINT{40, 79}})
            EXPECT_TRUE(Near(colour, PixelAt(copy, p.x, p.y))) << p.x << "," << p.y << ": " << std::hex << PixelAt(copy, p.x, p.y);
        for (POINT p : {POINT{39, 39}, POINT{80, 45}, POINT{45, 80}, POINT{20, 100}})
            EXPECT_EQ(kGrey, PixelAt(copy, p.x, p.y)) << p.x << "," << p.y;
    }

    // The icon's pixels start at (50, 50): nothing above or left of it changed.
    static void ExpectCursorOnly(const CxImage& copy) {
        int changedOutside = 0, changedInside = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 120; ++x) {
                const bool changed = PixelAt(copy, x, y) != kGrey;
                if (x < 50 || y < 50)
                    changedOutside += changed;
                else
                    changedInside += changed;
            }
        EXPECT_EQ(0, changedOutside);
        EXPECT_GT(changedInside, 10);
        EXPECT_NE(kGrey, PixelAt(copy, 51, 53));  // the arrow's tip, below its point
    }

    PaintedWindow window{300, 300, 120, 120, false};
    CScreenRecorder engine;
};

TEST_F(CursorMarks, ModeZeroLeavesTheCopyAlone) {
    const CxImage& copy = Capture(0);
    for (int y = 0; y < 120; y += 3)
        for (int x = 0; x < 120; x += 3) ASSERT_EQ(kGrey, PixelAt(copy, x, y)) << x << "," << y;
}

TEST_F(CursorMarks, ModesOneAndFiveDrawTheCursorOnly) {
    ExpectCursorOnly(Capture(1));
    ExpectCursorOnly(Capture(5));
}

TEST_F(CursorMarks, ModesTwoThreeFourBlendMagentaCyanYellowSquares) {
    ExpectSquare(Capture(2), OverGrey(255, 0, 255));
    ExpectSquare(Capture(3), OverGrey(0, 255, 255));
    ExpectSquare(Capture(4), OverGrey(255, 255, 0));
    EXPECT_NE(OverGrey(255, 0, 255), PixelAt(*engine.GetFrameImage(1), 51, 53));  // the cursor on top
}

TEST_F(CursorMarks, AHiddenCursorIsNotDrawn) {
    while (ShowCursor(FALSE) >= 0) {
    }
    const CxImage& copy = Capture(2);
    while (ShowCursor(TRUE) < 0) {
    }
    int changed = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x) changed += PixelAt(copy, x, y) != kGrey;
    EXPECT_EQ(0, changed);
}

}  // namespace
