#include <gtest/gtest.h>

#include "image/pixel_ops.h"
#include "pixel_test_util.h"

using pixels::PackedDib;
using testutil::Rgb;
using testutil::SameColour;

namespace {

// Bounding box of pixels of colour c, in stored (bottom-up) coordinates; count of them.
struct Found {
    long minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1, count = 0;
};

Found FindColour(const PackedDib& d, RGBQUAD c) {
    Found f;
    for (long y = 0; y < d.Height(); ++y)
        for (long x = 0; x < d.Width(); ++x)
            if (SameColour(d.PixelColor(x, y), c)) {
                f.minX = std::min(f.minX, x);
                f.maxX = std::max(f.maxX, x);
                f.minY = std::min(f.minY, y);
                f.maxY = std::max(f.maxY, y);
                ++f.count;
            }
    return f;
}

}  // namespace

TEST(MixCopy, NegativeOffsetsCentreASmallPictureWithTheOddPixelTopAndRight) {
    // A 200 x 100 picture on a 580 x 380 canvas at (-190, -140): 190 columns left, 140 rows
    // below, the rest above and right.
    PackedDib canvas = testutil::Solid(580, 380, Rgb(0, 0, 0));
    const PackedDib pic = testutil::Solid(200, 100, Rgb(255, 255, 255));
    ASSERT_TRUE(pixels::MixCopy(canvas, pic, -190, -140));
    const Found f = FindColour(canvas, Rgb(255, 255, 255));
    EXPECT_EQ(f.count, 200 * 100);
    EXPECT_EQ(f.minX, 190);
    EXPECT_EQ(f.maxX, 389);
    EXPECT_EQ(f.minY, 140);
    EXPECT_EQ(f.maxY, 239);

    // 580 x 217 at (0, -81): 81 rows below (stored rows 0..80), 82 above.
    PackedDib canvas2 = testutil::Solid(580, 380, Rgb(0, 0, 0));
    ASSERT_TRUE(pixels::MixCopy(canvas2, testutil::Solid(580, 217, Rgb(9, 9, 9)), 0, -81));
    const Found g = FindColour(canvas2, Rgb(9, 9, 9));
    EXPECT_EQ(g.minY, 81);
    EXPECT_EQ(g.maxY, 81 + 216);
    EXPECT_EQ(380 - 1 - g.maxY, 82);
}

TEST(MixCopy, SourcePixelsKeepTheirPlaces) {
    PackedDib canvas = testutil::Solid(10, 10, Rgb(0, 0, 0));
    PackedDib pic = testutil::Solid(3, 2, Rgb(1, 1, 1));
    testutil::Put(pic, 0, 0, Rgb(100, 0, 0));  // bottom left
    testutil::Put(pic, 2, 1, Rgb(0, 100, 0));  // top right
    ASSERT_TRUE(pixels::MixCopy(canvas, pic, -4, -5));
    EXPECT_TRUE(SameColour(canvas.PixelColor(4, 5), Rgb(100, 0, 0)));
    EXPECT_TRUE(SameColour(canvas.PixelColor(6, 6), Rgb(0, 100, 0)));
    EXPECT_TRUE(SameColour(canvas.PixelColor(3, 5), Rgb(0, 0, 0)));
    EXPECT_TRUE(SameColour(canvas.PixelColor(7, 6), Rgb(0, 0, 0)));
    EXPECT_TRUE(SameColour(canvas.PixelColor(4, 7), Rgb(0, 0, 0)));
}

TEST(MixCopy, PositiveOffsetsReadFurtherIntoTheSourceAndClip) {
    PackedDib canvas = testutil::Solid(4, 4, Rgb(0, 0, 0));
    PackedDib pic = testutil::Solid(5, 5, Rgb(0, 0, 0));
    for (long y = 0; y < 5; ++y)
        for (long x = 0; x < 5; ++x) testutil::Put(pic, x, y, Rgb(x * 10, y * 10, 50));
    ASSERT_TRUE(pixels::MixCopy(canvas, pic, 2, 3));
    // Only canvas x 0..2, y 0..1 have source pixels (source x 2..4, y 3..4).
    EXPECT_TRUE(SameColour(canvas.PixelColor(0, 0), Rgb(20, 30, 50)));
    EXPECT_TRUE(SameColour(canvas.PixelColor(2, 1), Rgb(40, 40, 50)));
    EXPECT_TRUE(SameColour(canvas.PixelColor(3, 0), Rgb(0, 0, 0)));
    EXPECT_TRUE(SameColour(canvas.PixelColor(0, 2), Rgb(0, 0, 0)));
}

TEST(MixCopy, SourceEntirelyOutsideChangesNothing) {
    PackedDib canvas = testutil::Solid(4, 4, Rgb(3, 3, 3));
    const PackedDib pic = testutil::Solid(2, 2, Rgb(200, 200, 200));
    ASSERT_TRUE(pixels::MixCopy(canvas, pic, -10, 0));
    ASSERT_TRUE(pixels::MixCopy(canvas, pic, 0, 5));
    EXPECT_EQ(FindColour(canvas, Rgb(3, 3, 3)).count, 16);
}

TEST(MixCopy, EightBitSourceIsReadThroughItsColours) {
    PackedDib canvas = testutil::Solid(2, 1, Rgb(0, 0, 0));
    PackedDib pic;
    ASSERT_TRUE(pic.Create(2, 1, 8));
    pic.Palette()[4] = Rgb(11, 22, 33);
    pic.Row(0)[1] = 4;
    ASSERT_TRUE(pixels::MixCopy(canvas, pic, 0, 0));
    EXPECT_TRUE(SameColour(canvas.PixelColor(1, 0), Rgb(11, 22, 33)));
    PackedDib eight = pic;
    EXPECT_FALSE(pixels::MixCopy(eight, canvas, 0, 0));  // target must be 24-bit
}

TEST(FillBox, SolidBoxInTopDownCoordinatesClipped) {
    PackedDib d = testutil::Solid(10, 8, Rgb(0, 0, 0));
    ASSERT_TRUE(pixels::FillBox(d, {2, 1, 5, 4}, Rgb(255, 0, 0), 0.0f, 0));
    Found f = FindColour(d, Rgb(255, 0, 0));
    EXPECT_EQ(f.count, 9);
    EXPECT_EQ(f.minX, 2);
    EXPECT_EQ(f.maxX, 4);
    EXPECT_EQ(f.maxY, 8 - 1 - 1);  // top row 1 is stored row 6
    EXPECT_EQ(f.minY, 8 - 4);
    ASSERT_TRUE(pixels::FillBox(d, {-3, -3, 20, 2}, Rgb(0, 255, 0), 0.0f, 0));
    EXPECT_EQ(FindColour(d, Rgb(0, 255, 0)).count, 20);
}

TEST(FillBox, TransparencyBlendsAndOneLeavesThePicture) {
    PackedDib d = testutil::Solid(4, 4, Rgb(0, 0, 0));
    ASSERT_TRUE(pixels::FillBox(d, {0, 0, 4, 4}, Rgb(200, 200, 200), 1.0f, 0));
    EXPECT_EQ(FindColour(d, Rgb(0, 0, 0)).count, 16);
    ASSERT_TRUE(pixels::FillBox(d, {0, 0, 4, 4}, Rgb(200, 200, 200), 0.5f, 0));
    EXPECT_NEAR(d.PixelColor(1, 1).rgbRed, 100, 1);
}

TEST(FillBox, RoundedCornersSpareTheCorners) {
    PackedDib d = testutil::Solid(20, 20, Rgb(0, 0, 0));
    ASSERT_TRUE(pixels::FillBox(d, {0, 0, 20, 20}, Rgb(9, 9, 9), 0.0f, 6));
    EXPECT_TRUE(SameColour(d.PixelColor(0, 0), Rgb(0, 0, 0)));
    EXPECT_TRUE(SameColour(d.PixelColor(19, 19), Rgb(0, 0, 0)));
    EXPECT_TRUE(SameColour(d.PixelColor(10, 0), Rgb(9, 9, 9)));
    EXPECT_TRUE(SameColour(d.PixelColor(10, 10), Rgb(9, 9, 9)));
}

TEST(PaintCoverage, HardEdgesThresholdAtHalf) {
    PackedDib d = testutil::Solid(4, 2, Rgb(0, 0, 0));
    const std::vector<BYTE> mask = {0, 127, 128, 255};
    ASSERT_TRUE(pixels::PaintCoverage(d, 0, 0, mask, 4, 1, Rgb(255, 255, 255), true));
    // Top-down row 0 is stored row 1.
    EXPECT_EQ(d.PixelColor(0, 1).rgbRed, 0);
    EXPECT_EQ(d.PixelColor(1, 1).rgbRed, 0);
    EXPECT_EQ(d.PixelColor(2, 1).rgbRed, 255);
    EXPECT_EQ(d.PixelColor(3, 1).rgbRed, 255);
    EXPECT_EQ(d.PixelColor(3, 0).rgbRed, 0);
    ASSERT_TRUE(pixels::PaintCoverage(d, 0, 1, mask, 4, 1, Rgb(255, 255, 255), false));
    EXPECT_EQ(d.PixelColor(0, 0).rgbRed, 0);
    EXPECT_NEAR(d.PixelColor(1, 0).rgbRed, 127, 1);
    EXPECT_EQ(d.PixelColor(3, 0).rgbRed, 255);
}

TEST(PaintCoverage, ClipsAMaskOutsideThePicture) {
    PackedDib d = testutil::Solid(3, 3, Rgb(0, 0, 0));
    const std::vector<BYTE> mask(5 * 5, 255);
    ASSERT_TRUE(pixels::PaintCoverage(d, -1, -1, mask, 5, 5, Rgb(1, 2, 3), true));
    EXPECT_EQ(FindColour(d, Rgb(1, 2, 3)).count, 9);
    EXPECT_FALSE(pixels::PaintCoverage(d, 0, 0, mask, 6, 6, Rgb(1, 2, 3), true));  // mask too small
}
