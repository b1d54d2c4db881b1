// CxImage file and memory codecs: round trips, fallback to the real format, GIF palettes and
// frame counts, and hostile data.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "gif/gd.h"
#include "image/ximage.h"
#include "ximage_test_util.h"

using ximagetest::MakePicture;
using ximagetest::PixelAt;
using ximagetest::ReadBytes;
using ximagetest::Same;
using ximagetest::TempFile;
using ximagetest::WriteBytes;

namespace {

COLORREF Gradient(long x, long y) { return RGB(x * 255 / 63, y * 255 / 47, (x * y) % 256); }

void ExpectSamePixels(const CxImage& a, const CxImage& b) {
    ASSERT_EQ(a.GetWidth(), b.GetWidth());
    ASSERT_EQ(a.GetHeight(), b.GetHeight());
    for (long y = 0; y < static_cast<long>(a.GetHeight()); ++y)
        for (long x = 0; x < static_cast<long>(a.GetWidth()); ++x) {
            const RGBQUAD p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            ASSERT_TRUE(p.rgbRed == q.rgbRed && p.rgbGreen == q.rgbGreen && p.rgbBlue == q.rgbBlue)
                << x << "," << y;
        }
}

// An animated GIF of n frames of w x h made with the GIF library.
std::vector<BYTE> AnimatedGif(int n, int w, int h) {
    std::vector<BYTE> out;
    std::vector<gdImagePtr> frames;
    for (int i = 0; i < n; ++i) {
        gdImagePtr im = gdImageCreate(w, h);
        for (int c = 0; c < 256; ++c) gdImageColorAllocate(im, c, 255 - c, (c * 3) % 256);
        for (size_t p = 0; p < im->pixels.size(); ++p) im->pixels[p] = static_cast<unsigned char>((p + i * 17) % 256);
        frames.push_back(im);
    }
    int size = 0;
    void* block = gdImageGifAnimBeginPtr(frames[0], &size, 1, 0);
    out.insert(out.end(), static_cast<BYTE*>(block), static_cast<BYTE*>(block) + size);
    gdFree(block);
    for (int i = 0; i < n; ++i) {
        block = gdImageGifAnimAddPtr(frames[i], &size, 0, 0, 0, 10, 1, i ? frames[i - 1] : nullptr);
        out.insert(out.end(), static_cast<BYTE*>(block), static_cast<BYTE*>(block) + size);
        gdFree(block);
    }
    block = gdImageGifAnimEndPtr(&size);
    out.insert(out.end(), static_cast<BYTE*>(block), static_cast<BYTE*>(block) + size);
    gdFree(block);
    for (gdImagePtr im : frames) gdImageDestroy(im);
    return out;
}

}  // namespace

TEST(CxImageFiles, BmpAndPngRoundTripsAreExact) {
    const CxImage src = MakePicture(64, 48, Gradient);
    for (DWORD type : {DWORD(CXIMAGE_FORMAT_BMP), DWORD(CXIMAGE_FORMAT_PNG)}) {
        TempFile file(type == CXIMAGE_FORMAT_BMP ? L".bmp" : L".png");
        ASSERT_TRUE(src.Save(file.c_str(), type));
        CxImage back(file.c_str(), type);
        ASSERT_TRUE(back.IsValid()) << type;
        EXPECT_EQ(back.GetType(), type);
        EXPECT_EQ(back.GetNumFrames(), 1);
        ExpectSamePixels(src, back);
    }
}

TEST(CxImageFiles, JpegRoundTripIsClose) {
    const CxImage src = MakePicture(64, 48, [](long x, long y) { return RGB(x * 4, y * 5, 128); });
    TempFile file(L".jpg");
    ASSERT_TRUE(src.Save(file.c_str(), CXIMAGE_FORMAT_JPG));
    const std::vector<BYTE> data = ReadBytes(file.path());
    ASSERT_GE(data.size(), 3u);
    EXPECT_EQ(data[0], 0xFF);
    EXPECT_EQ(data[1], 0xD8);
    CxImage back(file.c_str(), CXIMAGE_FORMAT_JPG);
    ASSERT_TRUE(back.IsValid());
    ASSERT_EQ(back.GetWidth(), 64u);
    ASSERT_EQ(back.GetHeight(), 48u);
    double total = 0;
    for (long y = 0; y < 48; ++y)
        for (long x = 0; x < 64; ++x) {
            const RGBQUAD p = PixelAt(src, x, y), q = PixelAt(back, x, y);
            total += std::abs(p.rgbRed - q.rgbRed) + std::abs(p.rgbGreen - q.rgbGreen) +
                     std::abs(p.rgbBlue - q.rgbBlue);
        }
    EXPECT_LT(total / (64 * 48 * 3), 4.0);
}

TEST(CxImageFiles, EightBitPictureSavesWithItsColours) {
    CxImage img = MakePicture(10, 10, [](long x, long) { return x < 5 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
    RGBQUAD table[256] = {};
    table[0] = CxImage::RGBtoRGBQUAD(RGB(10, 200, 30));
    table[1] = CxImage::RGBtoRGBQUAD(RGB(250, 240, 230));
    ASSERT_TRUE(img.DecreaseBpp(8, false, table, 2));
    TempFile file(L".png");
    ASSERT_TRUE(img.Save(file.c_str(), CXIMAGE_FORMAT_PNG));
    CxImage back(file.c_str(), CXIMAGE_FORMAT_PNG);
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(Same(PixelAt(back, 0, 0), RGB(10, 200, 30)));
    EXPECT_TRUE(Same(PixelAt(back, 9, 9), RGB(250, 240, 230)));
}

TEST(CxImageFiles, WrongTypeFallsBackToTheFormatInTheData) {
    const CxImage src = MakePicture(16, 16, Gradient);
    TempFile file(L".jpg");  // a PNG under a JPEG name
    ASSERT_TRUE(src.Save(file.c_str(), CXIMAGE_FORMAT_PNG));
    CxImage back(file.c_str(), CxImage::GetTypeIdFromName(L"jpg"));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back.GetType(), static_cast<DWORD>(CXIMAGE_FORMAT_PNG));
    ExpectSamePixels(src, back);
    CxImage unknown(file.c_str(), CXIMAGE_FORMAT_UNKNOWN);
    EXPECT_TRUE(unknown.IsValid());

    // A GIF animation named .jpg loads its first frame.
    TempFile gif(L".jpg");
    ASSERT_TRUE(WriteBytes(gif.path(), AnimatedGif(3, 8, 6)));
    CxImage first(gif.c_str(), CXIMAGE_FORMAT_JPG);
    ASSERT_TRUE(first.IsValid());
    EXPECT_EQ(first.GetType(), static_cast<DWORD>(CXIMAGE_FORMAT_GIF));
    EXPECT_EQ(first.GetWidth(), 8u);
}

TEST(CxImageFiles, DecodeFromMemory) {
    const CxImage src = MakePicture(12, 9, Gradient);
    BYTE* buffer = nullptr;
    long size = 0;
    ASSERT_TRUE(src.Encode(buffer, size, CXIMAGE_FORMAT_BMP));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer[0], 'B');
    CxImage back(buffer, static_cast<DWORD>(size), CXIMAGE_FORMAT_BMP);
    CxImage::FreeMemory(buffer);
    ASSERT_TRUE(back.IsValid());
    ExpectSamePixels(src, back);
}

TEST(CxImageGif, GifFileCountsEveryFrame) {
    TempFile file(L".gif");
    ASSERT_TRUE(WriteBytes(file.path(), AnimatedGif(3, 20, 10)));
    CxImage img(file.c_str(), CxImage::GetTypeIdFromName(L"gif"));
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.GetNumFrames(), 3);
    EXPECT_EQ(img.GetWidth(), 20u);
    EXPECT_EQ(img.GetHeight(), 10u);
    EXPECT_EQ(img.GetBpp(), 8);
    // First frame: pixel p has index p % 256, colour (i, 255 - i, 3i).
    EXPECT_TRUE(Same(PixelAt(img, 7, 1), RGB(27, 255 - 27, 81)));
}

TEST(CxImageGif, OneFrameEncodeKeepsThePaletteAndIndexes) {
    // The GIF writer's road: 24-bit frame, reduce to a 256-entry table, encode, decode with
    // the GIF library.
    CxImage img = MakePicture(33, 17, Gradient);
    RGBQUAD table[256];
    for (int i = 0; i < 256; ++i) table[i] = CxImage::RGBtoRGBQUAD(RGB(i, (i * 5) % 256, 255 - i));
    ASSERT_TRUE(img.DecreaseBpp(8, true, table, 0));
    img.SetTransIndex(-1);
    BYTE* buffer = nullptr;
    long size = 0;
    ASSERT_TRUE(img.Encode(buffer, size, CXIMAGE_FORMAT_GIF));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::memcmp(buffer, "GIF89a", 6), 0);
    gdImageOwner im(gdImageCreateFromGifPtr(size, buffer));
    ASSERT_TRUE(im);
    ASSERT_EQ(im->sx, 33);
    ASSERT_EQ(im->sy, 17);
    EXPECT_EQ(im->transparent, -1);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(im->red[i], i);
        EXPECT_EQ(im->green[i], (i * 5) % 256);
        EXPECT_EQ(im->blue[i], 255 - i);
    }
    const BYTE* dib = static_cast<const BYTE*>(img.GetDIB());
    const BYTE* bits = dib + 40 + 1024;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 33; ++x)
            ASSERT_EQ(gdImagePalettePixel(im.get(), x, y), bits[(16 - y) * 36 + x]) << x << "," << y;
    CxImage back(buffer, static_cast<DWORD>(size), CXIMAGE_FORMAT_GIF);
    CxImage::FreeMemory(buffer);
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back.GetNumFrames(), 1);
    ExpectSamePixels(img, back);
}

TEST(CxImageGif, TwentyFourBitPictureSavesAsGif) {
    const CxImage few = MakePicture(16, 16, [](long x, long y) { return RGB(x * 16, y * 16, 7); });
    TempFile file(L".gif");
    ASSERT_TRUE(few.Save(file.c_str(), CXIMAGE_FORMAT_GIF));
    CxImage back(file.c_str(), CXIMAGE_FORMAT_GIF);
    ASSERT_TRUE(back.IsValid());
    ExpectSamePixels(few, back);  // 256 colours: kept exactly
    const CxImage many = MakePicture(64, 48, Gradient);
    ASSERT_TRUE(many.Save(file.c_str(), CXIMAGE_FORMAT_GIF));
    EXPECT_TRUE(CxImage(file.c_str(), CXIMAGE_FORMAT_GIF).IsValid());
}

TEST(CxImageGif, TruncatedAnimationKeepsItsWholeFrames) {
    std::vector<BYTE> gif = AnimatedGif(3, 20, 10);
    // Cut inside the last frame's data: two whole frames remain, the first still shows.
    std::vector<BYTE> cut(gif.begin(), gif.end() - 8);
    CxImage img(cut.data(), static_cast<DWORD>(cut.size()), CXIMAGE_FORMAT_GIF);
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.GetNumFrames(), 2);
    // Cut inside the first frame: nothing to show.
    std::vector<BYTE> header(gif.begin(), gif.begin() + 13 + 768 + 19 + 8 + 10 + 4);
    EXPECT_FALSE(CxImage(header.data(), static_cast<DWORD>(header.size()), CXIMAGE_FORMAT_GIF).IsValid());
}

TEST(CxImageHostile, DamagedFilesFailCleanly) {
    const CxImage src = MakePicture(40, 30, Gradient);
    for (DWORD type : {DWORD(CXIMAGE_FORMAT_BMP), DWORD(CXIMAGE_FORMAT_PNG), DWORD(CXIMAGE_FORMAT_GIF)}) {
        BYTE* buffer = nullptr;
        long size = 0;
        ASSERT_TRUE(src.Encode(buffer, size, type));
        std::vector<BYTE> data(buffer, buffer + size);
        CxImage::FreeMemory(buffer);
        for (size_t keep : {size_t(1), size_t(10), data.size() / 3, data.size() / 2}) {
            CxImage img(data.data(), static_cast<DWORD>(keep), type);
            EXPECT_FALSE(img.IsValid()) << "type " << type << " cut at " << keep;
            EXPECT_EQ(img.GetWidth(), 0u);
        }
    }
}

TEST(CxImageHostile, TruncatedJpegNeverCrashes) {
    const CxImage src = MakePicture(40, 30, Gradient);
    BYTE* buffer = nullptr;
    long size = 0;
    ASSERT_TRUE(src.Encode(buffer, size, CXIMAGE_FORMAT_JPG));
    std::vector<BYTE> data(buffer, buffer + size);
    CxImage::FreeMemory(buffer);
    for (size_t keep : {size_t(3), size_t(20), data.size() / 2}) {
        CxImage img(data.data(), static_cast<DWORD>(keep), CXIMAGE_FORMAT_JPG);
        // A decoder may show the part it has; if it does, the picture is whole-sized.
        if (img.IsValid()) {
            EXPECT_EQ(img.GetWidth(), 40u);
            EXPECT_EQ(img.GetHeight(), 30u);
        }
    }
}

TEST(CxImageHostile, GarbageAndImpossibleHeaders) {
    std::vector<BYTE> garbage(5000);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<BYTE>((i * 7919) >> 3);
    for (DWORD type : {0u, 1u, 2u, 3u, 4u, 99u})
        EXPECT_FALSE(CxImage(garbage.data(), static_cast<DWORD>(garbage.size()), type).IsValid()) << type;

    // A BMP header that claims 100000 x 100000 pixels with almost no data.
    std::vector<BYTE> bmp(54 + 16, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    const DWORD fileSize = static_cast<DWORD>(bmp.size()), offBits = 54, infoSize = 40;
    const LONG huge = 100000;
    const WORD planes = 1, bits = 24;
    std::memcpy(&bmp[2], &fileSize, 4);
    std::memcpy(&bmp[10], &offBits, 4);
    std::memcpy(&bmp[14], &infoSize, 4);
    std::memcpy(&bmp[18], &huge, 4);
    std::memcpy(&bmp[22], &huge, 4);
    std::memcpy(&bmp[26], &planes, 2);
    std::memcpy(&bmp[28], &bits, 2);
    EXPECT_FALSE(CxImage(bmp.data(), static_cast<DWORD>(bmp.size()), CXIMAGE_FORMAT_BMP).IsValid());

    // A GIF whose screen and image claim 65535 x 65535.
    std::vector<BYTE> gif = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0, 0,
                             0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0, 0,
                             8, 2, 0x00, 0x01, 0, 0x3B};
    EXPECT_FALSE(CxImage(gif.data(), static_cast<DWORD>(gif.size()), CXIMAGE_FORMAT_GIF).IsValid());

    EXPECT_FALSE(CxImage(static_cast<const BYTE*>(nullptr), 10, CXIMAGE_FORMAT_PNG).IsValid());
    EXPECT_FALSE(CxImage(garbage.data(), 0, CXIMAGE_FORMAT_PNG).IsValid());
}

TEST(CxImageHostile, MissingAndEmptyFiles) {
    TempFile missing(L".png");
    CxImage a(missing.c_str(), CXIMAGE_FORMAT_PNG);
    EXPECT_FALSE(a.IsValid());
    EXPECT_EQ(a.GetNumFrames(), 0);
    TempFile empty(L".png");
    ASSERT_TRUE(WriteBytes(empty.path(), {}));
    EXPECT_FALSE(CxImage(empty.c_str(), CXIMAGE_FORMAT_PNG).IsValid());
    // A failed load empties a picture that was valid.
    CxImage b = MakePicture(4, 4, Gradient);
    EXPECT_FALSE(b.Load(missing.c_str(), CXIMAGE_FORMAT_PNG));
    EXPECT_FALSE(b.IsValid());
}

TEST(CxImageHostile, EncodeAndSaveRefuseWhatTheyCannotDo) {
    CxImage empty;
    BYTE* buffer = nullptr;
    long size = 0;
    EXPECT_FALSE(empty.Encode(buffer, size, CXIMAGE_FORMAT_PNG));
    const CxImage img = MakePicture(4, 4, Gradient);
    BYTE stale = 0;
    buffer = &stale;  // must be empty on entry
    EXPECT_FALSE(img.Encode(buffer, size, CXIMAGE_FORMAT_PNG));
    buffer = nullptr;
    EXPECT_FALSE(img.Encode(buffer, size, 77));
    EXPECT_EQ(buffer, nullptr);
    EXPECT_FALSE(img.Save(L"C:\\no-such-folder-xyz\\a.png", CXIMAGE_FORMAT_PNG));
    TempFile file(L".tif");
    EXPECT_FALSE(img.Save(file.c_str(), 0));
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
}
