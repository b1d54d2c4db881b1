// CxImage construction, flags, the packed DIB and the pixel operations as callers use them.
#include <gtest/gtest.h>

#include "image/ximage.h"
#include "ximage_test_util.h"

using ximagetest::MakePicture;
using ximagetest::PixelAt;
using ximagetest::Same;

namespace {

COLORREF Pattern(long x, long y) { return RGB(x * 7 % 256, y * 11 % 256, (x + y) % 256); }

}  // namespace

TEST(CxImageBasics, EmptyPictureRemembersItsType) {
    CxImage img(CXIMAGE_FORMAT_UNKNOWN);
    EXPECT_FALSE(img.IsValid());
    EXPECT_EQ(img.GetWidth(), 0u);
    EXPECT_EQ(img.GetHeight(), 0u);
    EXPECT_EQ(img.GetNumFrames(), 0);
    EXPECT_EQ(img.GetDIB(), nullptr);
    EXPECT_EQ(img.GetFlags(), 0u);
    EXPECT_EQ(CxImage(CXIMAGE_FORMAT_PNG).GetType(), static_cast<DWORD>(CXIMAGE_FORMAT_PNG));
}

TEST(CxImageBasics, TypeIdsFollowTheExtensionInAnyCase) {
    EXPECT_EQ(CXIMAGE_FORMAT_GIF, 2);
    EXPECT_EQ(CxImage::GetTypeIdFromName(L"bmp"), static_cast<DWORD>(CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(CxImage::GetTypeIdFromName(L"BMP"), static_cast<DWORD>(CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(CxImage::GetTypeIdFromName(L"jpg"), static_cast<DWORD>(CXIMAGE_FORMAT_JPG));
    EXPECT_EQ(CxImage::GetTypeIdFromName(L"JpEg"), static_cast<DWORD>(CXIMAGE_FORMAT_JPG));
    EXPECT_EQ(CxImage::GetTypeIdFromName(L"Png"), static_cast<DWORD>(CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(CxImage::GetTypeIdFromName(L"GIF"), static_cast<DWORD>(CXIMAGE_FORMAT_GIF));
    EXPECT_EQ(CxImage::GetTypeIdFromName(L"tif"), 0u);
    EXPECT_EQ(CxImage::GetTypeIdFromName(L""), 0u);
    EXPECT_EQ(CxImage::GetTypeIdFromName(L"b\\file"), 0u);
    EXPECT_EQ(CxImage::GetTypeIdFromName(L"gifgifgifgif"), 0u);
    EXPECT_EQ(CxImage::GetTypeIdFromName(nullptr), 0u);
}

TEST(CxImageBasics, FlagsWordIsTheKeptMark) {
    CxImage img;
    img.SetFlags(1, false);
    EXPECT_EQ(img.GetFlags(), 1u);
    img.SetFlags(0, false);
    EXPECT_EQ(img.GetFlags(), 0u);
    img.SetFlags(0xABCD0001u, false);
    EXPECT_EQ(img.GetFlags(), 0xABCD0001u);
    img.SetFlags(0x12340000u, true);  // reserved upper half stays
    EXPECT_EQ(img.GetFlags(), 0xABCD0000u);
}

TEST(CxImageBasics, CopyIsDeepAndKeepsFlags) {
    CxImage a = MakePicture(13, 7, Pattern);
    ASSERT_TRUE(a.IsValid());
    a.SetFlags(1, false);
    CxImage b(a, true, true, true);
    EXPECT_EQ(b.GetWidth(), 13u);
    EXPECT_EQ(b.GetHeight(), 7u);
    EXPECT_EQ(b.GetFlags(), 1u);
    EXPECT_NE(a.GetDIB(), b.GetDIB());
    for (long y = 0; y < 7; ++y)
        for (long x = 0; x < 13; ++x) EXPECT_TRUE(Same(PixelAt(b, x, y), Pattern(x, y)));
    // Changing the copy leaves the original.
    b.Resample2(3, 3);
    EXPECT_EQ(a.GetWidth(), 13u);
    EXPECT_TRUE(Same(PixelAt(a, 12, 6), Pattern(12, 6)));
    CxImage blank(a, false);
    EXPECT_EQ(blank.GetWidth(), 13u);
    EXPECT_TRUE(Same(PixelAt(blank, 5, 5), RGB(0, 0, 0)));
}

TEST(CxImageBasics, DibIsPackedBottomUpWithAlignedRows) {
    CxImage img = MakePicture(5, 3, [](long x, long y) { return RGB(x, y, 200); });
    const BYTE* dib = static_cast<const BYTE*>(img.GetDIB());
    ASSERT_NE(dib, nullptr);
    const BITMAPINFOHEADER* h = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 5);
    EXPECT_EQ(h->biHeight, 3);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, 24);
    EXPECT_EQ(h->biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h->biClrUsed, 0u);
    EXPECT_EQ(h->biSizeImage, 16u * 3u);
    const BYTE* bits = dib + 40;
    // Bottom picture row first: row 0 of the data is picture row 2.
    EXPECT_EQ(bits[0], 200);  // blue
    EXPECT_EQ(bits[1], 2);    // green = y
    EXPECT_EQ(bits[2], 0);    // red = x
    EXPECT_EQ(bits[16 + 3 * 4 + 2], 4);  // second stored row starts 16 bytes on: x 4, y 1
    EXPECT_EQ(bits[16 + 3 * 4 + 1], 1);
    EXPECT_EQ(bits[32 + 1], 0);  // top picture row last
}

TEST(CxImageBasics, ColourConversionAndTransparentIndex) {
    const RGBQUAD q = CxImage::RGBtoRGBQUAD(RGB(10, 20, 30));
    EXPECT_EQ(q.rgbRed, 10);
    EXPECT_EQ(q.rgbGreen, 20);
    EXPECT_EQ(q.rgbBlue, 30);
    EXPECT_EQ(q.rgbReserved, 0);
    CxImage img;
    img.SetTransIndex(5);
    EXPECT_EQ(img.GetTransIndex(), 5);
    img.SetTransIndex(-1);
    EXPECT_EQ(img.GetTransIndex(), -1);
}

TEST(CxImageResample, ThumbnailSizesAndNeverZero) {
    CxImage img = MakePicture(580, 380, [](long, long) { return RGB(40, 80, 120); });
    ASSERT_TRUE(img.Resample2(80, 52, IM_BICUBIC2, OM_REPEAT, nullptr, false));
    EXPECT_EQ(img.GetWidth(), 80u);
    EXPECT_EQ(img.GetHeight(), 52u);
    EXPECT_TRUE(Same(PixelAt(img, 40, 26), RGB(40, 80, 120)));
    ASSERT_TRUE(img.Resample2(400, 0));
    EXPECT_EQ(img.GetWidth(), 400u);
    EXPECT_EQ(img.GetHeight(), 1u);
    ASSERT_TRUE(img.Resample2(1, 1));
    EXPECT_EQ(img.GetWidth(), 1u);
    EXPECT_TRUE(Same(PixelAt(img, 0, 0), RGB(40, 80, 120)));
}

TEST(CxImageResample, IntoADestinationLeavesTheSource) {
    CxImage img = MakePicture(20, 10, Pattern);
    img.SetFlags(1, false);
    CxImage dst;
    ASSERT_TRUE(img.Resample2(40, 20, IM_BICUBIC2, OM_REPEAT, &dst));
    EXPECT_EQ(img.GetWidth(), 20u);
    EXPECT_EQ(dst.GetWidth(), 40u);
    EXPECT_EQ(dst.GetHeight(), 20u);
    EXPECT_EQ(dst.GetFlags(), 1u);
    EXPECT_FALSE(CxImage().Resample2(10, 10));
}

TEST(CxImageMix, CentresAPictureOnABlackCanvas) {
    // The picture insertion case: 200 x 100 into 580 x 380 at offsets (-190, -140).
    CxImage canvas = MakePicture(580, 380, [](long, long) { return RGB(0, 0, 0); });
    CxImage pic = MakePicture(200, 100, [](long x, long y) { return RGB(255, x, y); });
    ASSERT_TRUE(canvas.Mix(pic, OpDstCopy, -190, -140, false));
    EXPECT_EQ(canvas.GetWidth(), 580u);
    // Left margin 190, bottom margin 140, so the top margin is 380 - 100 - 140 = 140.
    EXPECT_TRUE(Same(PixelAt(canvas, 190, 140), RGB(255, 0, 0)));
    EXPECT_TRUE(Same(PixelAt(canvas, 389, 239), RGB(255, 199, 99)));
    EXPECT_TRUE(Same(PixelAt(canvas, 189, 140), RGB(0, 0, 0)));
    EXPECT_TRUE(Same(PixelAt(canvas, 390, 239), RGB(0, 0, 0)));
    EXPECT_TRUE(Same(PixelAt(canvas, 200, 139), RGB(0, 0, 0)));
    EXPECT_TRUE(Same(PixelAt(canvas, 200, 240), RGB(0, 0, 0)));
}

TEST(CxImageMix, OddDifferenceGoesToTheTop) {
    // 800 x 300 fitted to 580 x 217 sits at (0, -81): 81 black rows below, 82 above.
    CxImage canvas = MakePicture(580, 380, [](long, long) { return RGB(0, 0, 0); });
    CxImage pic = MakePicture(580, 217, [](long, long) { return RGB(9, 9, 9); });
    ASSERT_TRUE(canvas.Mix(pic, OpDstCopy, 0, -81));
    EXPECT_TRUE(Same(PixelAt(canvas, 0, 81), RGB(0, 0, 0)));
    EXPECT_TRUE(Same(PixelAt(canvas, 0, 82), RGB(9, 9, 9)));
    EXPECT_TRUE(Same(PixelAt(canvas, 579, 298), RGB(9, 9, 9)));
    EXPECT_TRUE(Same(PixelAt(canvas, 579, 299), RGB(0, 0, 0)));
}

TEST(CxImageMix, RefusesAnEmptySource) {
    CxImage canvas = MakePicture(4, 4, [](long, long) { return RGB(1, 1, 1); });
    EXPECT_FALSE(canvas.Mix(CxImage(), OpDstCopy, 0, 0));
}

TEST(CxImageDecreaseBpp, UsesTheTableAndTheImportantCount) {
    CxImage img = MakePicture(4, 2, [](long x, long) { return x < 2 ? RGB(250, 0, 0) : RGB(0, 0, 240); });
    RGBQUAD table[256] = {};
    table[0] = CxImage::RGBtoRGBQUAD(RGB(128, 0, 0));
    table[1] = CxImage::RGBtoRGBQUAD(RGB(0, 0, 255));
    table[2] = CxImage::RGBtoRGBQUAD(RGB(250, 0, 0));
    CxImage limited(img);
    ASSERT_TRUE(limited.DecreaseBpp(8, false, table, 2));
    EXPECT_EQ(limited.GetBpp(), 8);
    EXPECT_TRUE(Same(PixelAt(limited, 0, 0), RGB(128, 0, 0)));
    EXPECT_TRUE(Same(PixelAt(limited, 3, 1), RGB(0, 0, 255)));
    const BITMAPINFOHEADER* h = static_cast<const BITMAPINFOHEADER*>(limited.GetDIB());
    EXPECT_EQ(h->biClrUsed, 256u);
    EXPECT_EQ(h->biClrImportant, 2u);
    ASSERT_TRUE(img.DecreaseBpp(8, true, table, 0));
    EXPECT_TRUE(Same(PixelAt(img, 1, 0), RGB(250, 0, 0)));
    EXPECT_FALSE(img.DecreaseBpp(4, false, table, 0));
    EXPECT_FALSE(img.DecreaseBpp(8, false, nullptr, 0));
}
