#include <gtest/gtest.h>

#include "image/pixel_ops.h"
#include "pixel_test_util.h"

using pixels::PackedDib;
using testutil::Rgb;
using testutil::SameColour;

namespace {

bool AllPixels(const PackedDib& d, RGBQUAD c) {
    for (long y = 0; y < d.Height(); ++y)
        for (long x = 0; x < d.Width(); ++x)
            if (!SameColour(d.PixelColor(x, y), c)) return false;
    return true;
}

}  // namespace

TEST(Resample, GivesTheRequestedSizes) {
    const PackedDib src = testutil::Solid(580, 380, Rgb(10, 20, 30));
    const long sizes[][2] = {{80, 52}, {1160, 760}, {1, 1}, {1, 380}, {580, 1}, {3, 700}};
    for (const auto& s : sizes) {
        PackedDib out;
        ASSERT_TRUE(pixels::ResampleBicubic(src, s[0], s[1], true, out));
        EXPECT_EQ(out.Width(), s[0]);
        EXPECT_EQ(out.Height(), s[1]);
        EXPECT_EQ(out.BitsPerPixel(), 24);
    }
}

TEST(Resample, NeverMakesAnEmptyPicture) {
    const PackedDib src = testutil::Solid(1000, 10, Rgb(1, 2, 3));
    PackedDib out;
    ASSERT_TRUE(pixels::ResampleBicubic(src, 80, 0, true, out));
    EXPECT_EQ(out.Width(), 80);
    EXPECT_EQ(out.Height(), 1);
    ASSERT_TRUE(pixels::ResampleBicubic(src, -5, -5, false, out));
    EXPECT_EQ(out.Width(), 1);
    EXPECT_EQ(out.Height(), 1);
}

TEST(Resample, OnePixelPictureEnlargesToItsColour) {
    const PackedDib src = testutil::Solid(1, 1, Rgb(200, 100, 50));
    PackedDib out;
    ASSERT_TRUE(pixels::ResampleBicubic(src, 17, 9, true, out));
    EXPECT_TRUE(AllPixels(out, Rgb(200, 100, 50)));
}

TEST(Resample, ConstantColourStaysConstant) {
    const RGBQUAD c = Rgb(37, 201, 254);
    const PackedDib src = testutil::Solid(61, 47, c);
    const long sizes[][2] = {{200, 150}, {30, 20}, {7, 300}, {61, 47}, {1, 1}};
    for (bool averaging : {true, false}) {
        for (const auto& s : sizes) {
            PackedDib out;
            ASSERT_TRUE(pixels::ResampleBicubic(src, s[0], s[1], averaging, out));
            EXPECT_TRUE(AllPixels(out, c)) << s[0] << "x" << s[1] << " averaging " << averaging;
        }
    }
}

TEST(Resample, SameSizeKeepsEveryPixel) {
    PackedDib src = testutil::Solid(9, 7, Rgb(0, 0, 0));
    for (long y = 0; y < 7; ++y)
        for (long x = 0; x < 9; ++x) testutil::Put(src, x, y, Rgb(x * 25, y * 30, (x * y) % 256));
    PackedDib out;
    ASSERT_TRUE(pixels::ResampleBicubic(src, 9, 7, true, out));
    for (long y = 0; y < 7; ++y)
        for (long x = 0; x < 9; ++x) EXPECT_TRUE(SameColour(out.PixelColor(x, y), src.PixelColor(x, y)));
}

TEST(Resample, AveragingShrinkUsesEverySourcePixel) {
    // A 1-pixel checkerboard shrunk 4 times: averaging gives mid grey everywhere.
    PackedDib src = testutil::Solid(64, 64, Rgb(0, 0, 0));
    for (long y = 0; y < 64; ++y)
        for (long x = 0; x < 64; ++x)
            if ((x + y) % 2) testutil::Put(src, x, y, Rgb(255, 255, 255));
    PackedDib out;
    ASSERT_TRUE(pixels::ResampleBicubic(src, 16, 16, true, out));
    for (long y = 0; y < 16; ++y)
        for (long x = 0; x < 16; ++x) {
            const RGBQUAD c = out.PixelColor(x, y);
            EXPECT_NEAR(c.rgbRed, 128, 1);
            EXPECT_NEAR(c.rgbBlue, 128, 1);
        }
}

TEST(Resample, EnlargedEdgeIsSmoothAndMonotonic) {
    // Left half black, right half white: the enlarged row rises from 0 to 255 without
    // going below or above (clamped) and never falls.
    PackedDib src = testutil::Solid(8, 2, Rgb(0, 0, 0));
    for (long y = 0; y < 2; ++y)
        for (long x = 4; x < 8; ++x) testutil::Put(src, x, y, Rgb(255, 255, 255));
    PackedDib out;
    ASSERT_TRUE(pixels::ResampleBicubic(src, 64, 2, true, out));
    EXPECT_EQ(out.PixelColor(0, 0).rgbRed, 0);
    EXPECT_EQ(out.PixelColor(63, 0).rgbRed, 255);
    bool hasMiddle = false;
    for (long x = 0; x < 64; ++x) {
        const int v = out.PixelColor(x, 0).rgbRed;
        if (v > 0 && v < 255) hasMiddle = true;
    }
    EXPECT_TRUE(hasMiddle);
}

TEST(Resample, EightBitSourceGivesTwentyFourBitResult) {
    PackedDib src;
    ASSERT_TRUE(src.Create(4, 4, 8));
    src.Palette()[3] = Rgb(90, 80, 70);
    for (long y = 0; y < 4; ++y)
        for (long x = 0; x < 4; ++x) src.Row(y)[x] = 3;
    PackedDib out;
    ASSERT_TRUE(pixels::ResampleBicubic(src, 10, 10, true, out));
    EXPECT_EQ(out.BitsPerPixel(), 24);
    EXPECT_TRUE(AllPixels(out, Rgb(90, 80, 70)));
}

TEST(Resample, RefusesAnEmptySourceAndHugeTargets) {
    PackedDib empty, out;
    EXPECT_FALSE(pixels::ResampleBicubic(empty, 10, 10, true, out));
    const PackedDib src = testutil::Solid(2, 2, Rgb(1, 1, 1));
    EXPECT_FALSE(pixels::ResampleBicubic(src, 40000, 40000, true, out));
}
