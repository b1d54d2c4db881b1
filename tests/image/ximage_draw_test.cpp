// CxImage and GDI: pictures from screen bitmaps, drawing to device contexts, text drawn into
// pictures. Needs a display (screen DC) and fonts; text sizes are always measured, never assumed.
#include <gtest/gtest.h>

#include <set>

#include "image/ximage.h"
#include "ximage_test_util.h"

using ximagetest::MakePicture;
using ximagetest::PixelAt;
using ximagetest::Same;

namespace {

// A 24-bit top-down DIB section selected into a memory DC, for reading back what was drawn.
class Canvas {
public:
    Canvas(long w, long h, COLORREF fill) : w_(w), h_(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        dc_ = CreateCompatibleDC(nullptr);
        bmp_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bmp_);
        for (long y = 0; y < h; ++y)
            for (long x = 0; x < w; ++x) Set(x, y, fill);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(long x, long y) const {
        GdiFlush();
        const BYTE* p = Pixel(x, y);
        return RGB(p[2], p[1], p[0]);
    }

private:
    BYTE* Pixel(long x, long y) const {
        const size_t stride = ((static_cast<size_t>(w_) * 24 + 31) / 32) * 4;
        return static_cast<BYTE*>(bits_) + stride * static_cast<size_t>(y) + x * 3;
    }
    void Set(long x, long y, COLORREF c) {
        BYTE* p = Pixel(x, y);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
    }
    long w_, h_;
    HDC dc_;
    HBITMAP bmp_;
    HGDIOBJ old_;
    void* bits_ = nullptr;
};

SIZE MeasureText(const LOGFONTW& lf, const wchar_t* text) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Bounding box (top-down, right and bottom exclusive) of pixels that are not `background`.
RECT ChangedBox(const CxImage& img, COLORREF background) {
    RECT box{1 << 30, 1 << 30, -1, -1};
    for (long y = 0; y < static_cast<long>(img.GetHeight()); ++y)
        for (long x = 0; x < static_cast<long>(img.GetWidth()); ++x)
            if (!Same(PixelAt(img, x, y), background)) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

std::set<COLORREF> ColoursIn(const CxImage& img, RECT r) {
    std::set<COLORREF> colours;
    for (long y = r.top; y < r.bottom; ++y)
        for (long x = r.left; x < r.right; ++x) {
            const RGBQUAD c = PixelAt(img, x, y);
            colours.insert(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
        }
    return colours;
}

CXTEXTINFO TextInfo(const wchar_t* text, const wchar_t* face, long height) {
    CXTEXTINFO t{};
    wcsncpy(t.text, text, 4095);
    t.lfont.lfHeight = height;
    t.lfont.lfWeight = 400;
    t.lfont.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(t.lfont.lfFaceName, face, 31);
    t.fcolor = RGB(0, 0, 0);
    t.bcolor = RGB(255, 0, 0);
    t.opaque = 1;
    t.b_opacity = 0.0f;
    return t;
}

const COLORREF kWhite = RGB(255, 255, 255);

}  // namespace

TEST(CxImageScreen, CreateFromScreenBitmapCopiesExactPixels) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 23, 11);
    HGDIOBJ old = SelectObject(mem, bmp);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 23; ++x) SetPixel(mem, x, y, RGB(x * 11, y * 23, 255 - x));
    CxImage img(CXIMAGE_FORMAT_UNKNOWN);
    ASSERT_TRUE(img.CreateFromHBITMAP(bmp, nullptr));  // while still selected, as callers do
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(img.GetWidth(), 23u);
    EXPECT_EQ(img.GetHeight(), 11u);
    EXPECT_EQ(img.GetBpp(), 24);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 23; ++x) ASSERT_TRUE(Same(PixelAt(img, x, y), RGB(x * 11, y * 23, 255 - x))) << x << "," << y;
    EXPECT_FALSE(CxImage().CreateFromHBITMAP(nullptr));
}

TEST(CxImageScreen, DrawAtNaturalSizeAndStretched) {
    const CxImage img = MakePicture(4, 3, [](long x, long y) { return RGB(x * 60, y * 100, 9); });
    Canvas canvas(20, 20, RGB(1, 1, 1));
    EXPECT_EQ(img.Draw(canvas.dc(), 5, 6), 1);
    for (long y = 0; y < 3; ++y)
        for (long x = 0; x < 4; ++x) EXPECT_EQ(canvas.At(5 + x, 6 + y), RGB(x * 60, y * 100, 9));
    EXPECT_EQ(canvas.At(4, 6), RGB(1, 1, 1));
    EXPECT_EQ(canvas.At(9, 6), RGB(1, 1, 1));

    Canvas big(20, 20, RGB(1, 1, 1));
    EXPECT_EQ(img.Stretch(big.dc(), 2, 2, 8, 6, SRCCOPY), 1);
    EXPECT_EQ(big.At(2, 2), RGB(0, 0, 9));
    EXPECT_EQ(big.At(3, 3), RGB(0, 0, 9));
    EXPECT_EQ(big.At(9, 7), RGB(180, 200, 9));
    EXPECT_EQ(big.At(10, 8), RGB(1, 1, 1));
}

TEST(CxImageScreen, DrawIntoARectangleWithClipping) {
    const CxImage img = MakePicture(2, 2, [](long, long) { return RGB(200, 0, 0); });
    Canvas canvas(10, 10, RGB(0, 0, 0));
    RECT clip{0, 0, 10, 4};
    EXPECT_EQ(img.Draw(canvas.dc(), RECT{2, 2, 8, 8}, &clip, true), 1);
    EXPECT_EQ(canvas.At(3, 3), RGB(200, 0, 0));
    EXPECT_EQ(canvas.At(3, 4), RGB(0, 0, 0));  // clipped
    EXPECT_EQ(canvas.At(1, 3), RGB(0, 0, 0));
    EXPECT_EQ(CxImage().Draw(canvas.dc(), 0, 0), 0);
}

TEST(CxImageScreen, EightBitPicturesDrawThroughTheirColourTable) {
    CxImage img = MakePicture(4, 4, [](long x, long) { return x < 2 ? RGB(0, 100, 200) : RGB(200, 100, 0); });
    RGBQUAD table[256] = {};
    table[0] = CxImage::RGBtoRGBQUAD(RGB(0, 128, 255));
    table[1] = CxImage::RGBtoRGBQUAD(RGB(255, 128, 0));
    ASSERT_TRUE(img.DecreaseBpp(8, false, table, 2));
    Canvas canvas(8, 8, RGB(0, 0, 0));
    EXPECT_EQ(img.Draw(canvas.dc(), 0, 0, 4, 4, nullptr, false), 1);
    EXPECT_EQ(canvas.At(0, 0), RGB(0, 128, 255));
    EXPECT_EQ(canvas.At(3, 3), RGB(255, 128, 0));
    Canvas stretched(8, 8, RGB(0, 0, 0));
    EXPECT_EQ(img.Stretch(stretched.dc(), 0, 0, 8, 8), 1);
    EXPECT_EQ(stretched.At(7, 7), RGB(255, 128, 0));
}

TEST(CxImageText, OpaqueBoxIsExactlyTheMeasuredTextBox) {
    for (const wchar_t* face : {L"Verdana", L"Arial"}) {
        CXTEXTINFO t = TextInfo(L"Kelvo \x5B57\x5E55 gif", face, -19);
        const SIZE size = MeasureText(t.lfont, t.text);
        ASSERT_GT(size.cx, 0);
        ASSERT_GT(size.cy, 0);
        CxImage img = MakePicture(300, 120, [](long, long) { return kWhite; });
        const long x = 37, y = 100;
        EXPECT_EQ(img.DrawStringEx(nullptr, x, y, &t, false), 1);
        const RECT box = ChangedBox(img, kWhite);
        EXPECT_EQ(box.left, x) << face;
        EXPECT_EQ(box.bottom, y) << face;  // y is the bottom edge: the box ends on row y - 1
        EXPECT_EQ(box.right - box.left, size.cx) << face;
        EXPECT_EQ(box.bottom - box.top, size.cy) << face;
        // Hard-edged letters on a solid box: exactly two colours inside.
        const std::set<COLORREF> colours = ColoursIn(img, box);
        EXPECT_EQ(colours.size(), 2u) << face;
        EXPECT_TRUE(colours.count(RGB(255, 0, 0)));
        EXPECT_TRUE(colours.count(RGB(0, 0, 0)));
    }
}

TEST(CxImageText, MultiLineBoxEndsAtTheBottomOfTheLastLine) {
    CXTEXTINFO t = TextInfo(L"first line\nsecond", L"Verdana", -14);
    const SIZE one = MeasureText(t.lfont, L"first line");
    const SIZE both = MeasureText(t.lfont, t.text);
    ASSERT_GT(both.cy, one.cy);
    CxImage img = MakePicture(200, 100, [](long, long) { return kWhite; });
    ASSERT_EQ(img.DrawStringEx(nullptr, 0, 90, &t), 1);
    const RECT box = ChangedBox(img, kWhite);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.bottom, 90);
    EXPECT_EQ(box.bottom - box.top, both.cy);
    EXPECT_EQ(box.right - box.left, both.cx);
}

TEST(CxImageText, BoxOpacityAndNoBox) {
    CXTEXTINFO t = TextInfo(L"WWWW", L"Verdana", -16);
    t.fcolor = RGB(0, 0, 255);
    t.bcolor = RGB(0, 0, 0);
    t.b_opacity = 0.5f;
    CxImage half = MakePicture(100, 40, [](long, long) { return kWhite; });
    ASSERT_EQ(half.DrawStringEx(nullptr, 2, 30, &t), 1);
    const RECT box = ChangedBox(half, kWhite);
    const std::set<COLORREF> colours = ColoursIn(half, box);
    EXPECT_TRUE(colours.count(RGB(128, 128, 128)) || colours.count(RGB(127, 127, 127)));
    EXPECT_TRUE(colours.count(RGB(0, 0, 255)));

    t.opaque = 0;
    CxImage none = MakePicture(100, 40, [](long, long) { return kWhite; });
    ASSERT_EQ(none.DrawStringEx(nullptr, 2, 30, &t), 1);
    const RECT letters = ChangedBox(none, kWhite);
    EXPECT_GE(letters.left, 2);
    EXPECT_LE(letters.bottom, 30);
    const std::set<COLORREF> only = ColoursIn(none, letters);
    EXPECT_EQ(only.size(), 2u);  // white and the text colour, nothing in between
    EXPECT_TRUE(only.count(RGB(0, 0, 255)));
}

TEST(CxImageText, SmoothLettersBlend) {
    CXTEXTINFO t = TextInfo(L"Smooth text", L"Verdana", -24);
    t.opaque = 0;
    t.smooth = 1;
    CxImage img = MakePicture(220, 40, [](long, long) { return kWhite; });
    ASSERT_EQ(img.DrawStringEx(nullptr, 0, 36, &t), 1);
    const std::set<COLORREF> colours = ColoursIn(img, ChangedBox(img, kWhite));
    EXPECT_GT(colours.size(), 2u);
}

TEST(CxImageText, DrawStringPlacesHardEdgedLettersInTheTextBox) {
    CxImage img = MakePicture(200, 60, [](long, long) { return kWhite; });
    LOGFONTW lf{};
    lf.lfHeight = -20;
    lf.lfWeight = 700;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcscpy(lf.lfFaceName, L"Verdana");
    const SIZE size = MeasureText(lf, L"Outline");
    ASSERT_EQ(img.DrawString(nullptr, 10, 50, L"Outline", CxImage::RGBtoRGBQUAD(RGB(0, 160, 0)),
                             L"Verdana", -20, 700, 0, 0, false),
              1);
    const RECT r = ChangedBox(img, kWhite);
    EXPECT_GE(r.left, 10);
    EXPECT_LE(r.right, 10 + size.cx);
    EXPECT_GE(r.top, 50 - size.cy);
    EXPECT_LE(r.bottom, 50);
    EXPECT_GT(r.bottom, 50 - size.cy / 2);  // the letters stand on the lower part of the box
    EXPECT_EQ(ColoursIn(img, r).size(), 2u);
}

TEST(CxImageText, TextAtThePictureEdgeIsClipped) {
    // The watermark's bottom-left place: y = height puts the box on the last rows.
    CXTEXTINFO t = TextInfo(L"edge", L"Verdana", -12);
    CxImage img = MakePicture(50, 30, [](long, long) { return kWhite; });
    ASSERT_EQ(img.DrawStringEx(nullptr, -1, 30, &t), 1);
    const RECT box = ChangedBox(img, kWhite);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.bottom, 30);
    ASSERT_EQ(img.DrawStringEx(nullptr, 500, 500, &t), 1);  // entirely outside: nothing
    EXPECT_EQ(ChangedBox(img, kWhite).right, box.right);
    EXPECT_EQ(img.DrawStringEx(nullptr, 0, 0, nullptr), 0);
}

TEST(CxImageText, UnterminatedRecordTextIsBounded) {
    CXTEXTINFO t = TextInfo(L"", L"Verdana", -12);
    for (size_t i = 0; i < 4096; ++i) t.text[i] = L'x';
    CxImage img = MakePicture(50, 30, [](long, long) { return kWhite; });
    EXPECT_EQ(img.DrawStringEx(nullptr, 0, 20, &t), 1);
}
