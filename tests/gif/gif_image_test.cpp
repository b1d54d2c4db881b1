// Palette images: creation limits, colour allocation, palette copy and comparison.
#include <gtest/gtest.h>

#include "gif/gd.h"
#include "tests/gif/gif_test_support.h"

using giftest::MakeImage;
using giftest::Rgb;

TEST(GdImageCreate, EmptyPaletteImage) {
    gdImageOwner im(gdImageCreate(7, 3));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->sx, 7);
    EXPECT_EQ(im->sy, 3);
    EXPECT_EQ(im->colorsTotal, 0);
    EXPECT_EQ(im->transparent, -1);
    EXPECT_EQ(im->pixels, std::vector<unsigned char>(21, 0));
}

TEST(GdImageCreate, RefusesBadSizes) {
    EXPECT_EQ(gdImageCreate(0, 5), nullptr);
    EXPECT_EQ(gdImageCreate(5, 0), nullptr);
    EXPECT_EQ(gdImageCreate(-1, 5), nullptr);
    EXPECT_EQ(gdImageCreate(gdMaxImageSide + 1, 1), nullptr);
    EXPECT_EQ(gdImageCreate(1, 1 << 30), nullptr);
    EXPECT_EQ(gdImageCreate(8192, 8193), nullptr);  // over the area limit
    gdImageOwner wide(gdImageCreate(gdMaxImageSide, 2));
    EXPECT_NE(wide, nullptr);
}

TEST(GdImageColorAllocate, NextIndexWithoutSharingUntilFull) {
    gdImageOwner im(gdImageCreate(1, 1));
    ASSERT_NE(im, nullptr);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(gdImageColorAllocate(im.get(), 1, 2, 3), i);
    EXPECT_EQ(gdImageColorAllocate(im.get(), 1, 2, 3), -1);
    EXPECT_EQ(im->colorsTotal, 256);
    EXPECT_EQ(im->red[255], 1);
    EXPECT_EQ(im->green[255], 2);
    EXPECT_EQ(im->blue[255], 3);
    EXPECT_EQ(gdImageColorAllocate(nullptr, 0, 0, 0), -1);
}

TEST(GdImageCreateFromIndexed, CopiesRowsWithStrideAndPalette) {
    const uint8_t px[] = {1, 2, 99, 3, 4, 99};  // stride 3, width 2
    const uint8_t rgb[][3] = {{0, 0, 0}, {10, 11, 12}, {20, 21, 22}, {30, 31, 32}, {40, 41, 42}};
    gdImageOwner im(gdImageCreateFromIndexed(2, 2, px, 3, rgb, 5));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->pixels, (std::vector<unsigned char>{1, 2, 3, 4}));
    EXPECT_EQ(im->colorsTotal, 5);
    EXPECT_EQ(im->red[4], 40);
    EXPECT_EQ(im->blue[1], 12);
    EXPECT_EQ(im->red[5], 0);
}

TEST(GdImageCreateFromIndexed, RefusesBadArguments) {
    const uint8_t px[4] = {};
    const uint8_t rgb[][3] = {{0, 0, 0}};
    EXPECT_EQ(gdImageCreateFromIndexed(2, 2, px, 1, rgb, 1), nullptr);   // stride below width
    EXPECT_EQ(gdImageCreateFromIndexed(2, 2, nullptr, 2, rgb, 1), nullptr);
    EXPECT_EQ(gdImageCreateFromIndexed(2, 2, px, 2, nullptr, 1), nullptr);
    EXPECT_EQ(gdImageCreateFromIndexed(2, 2, px, 2, rgb, 257), nullptr);
    EXPECT_EQ(gdImageCreateFromIndexed(0, 2, px, 2, rgb, 1), nullptr);
}

TEST(GdImagePaletteCopy, NearestColourFirstMinimumWins) {
    // dst colours: 0 (10,10,10), 1 (200,0,0), 2 (0,0,0)
    gdImageOwner dst = MakeImage(3, 1, {0, 1, 2}, {Rgb{10, 10, 10}, Rgb{200, 0, 0}, Rgb{0, 0, 0}});
    // src: 0 and 1 equally far from (10,10,10); 2 is (255,0,0); 3 is exact black, 4 black again.
    gdImageOwner src = MakeImage(1, 1, {0}, {Rgb{0, 10, 20}, Rgb{20, 10, 0}, Rgb{255, 0, 0}, Rgb{0, 0, 0}, Rgb{0, 0, 0}});
    gdImagePaletteCopy(dst.get(), src.get());
    EXPECT_EQ(dst->pixels, (std::vector<unsigned char>{0, 2, 3}));
    EXPECT_EQ(dst->colorsTotal, 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dst->red[i], src->red[i]);
        EXPECT_EQ(dst->green[i], src->green[i]);
        EXPECT_EQ(dst->blue[i], src->blue[i]);
    }
}

TEST(GdImagePaletteCopy, SamePaletteKeepsFirstOfDuplicates) {
    // A 256-entry holder whose tail is black, as the writer makes it.
    gdImageOwner holder(gdImageCreate(1, 1));
    for (int i = 0; i < 256; ++i) gdImageColorAllocate(holder.get(), i < 3 ? 50 * (i + 1) : 0, 0, 0);
    gdImageOwner frame(gdImageCreate(4, 1));
    for (int i = 0; i < 256; ++i) gdImageColorAllocate(frame.get(), holder->red[i], 0, 0);
    frame->pixels = {0, 2, 3, 200};
    gdImagePaletteCopy(frame.get(), holder.get());
    EXPECT_EQ(frame->pixels, (std::vector<unsigned char>{0, 2, 3, 3}));
}

TEST(GdImagePaletteCopy, TransparentIndexFollowsItsColour) {
    gdImageOwner dst = MakeImage(2, 1, {0, 1}, {Rgb{0, 0, 255}, Rgb{255, 255, 255}});
    dst->transparent = 0;
    gdImageOwner src = MakeImage(1, 1, {0}, {Rgb{250, 250, 250}, Rgb{0, 0, 250}});
    gdImagePaletteCopy(dst.get(), src.get());
    EXPECT_EQ(dst->pixels, (std::vector<unsigned char>{1, 0}));
    EXPECT_EQ(dst->transparent, 1);
}

TEST(GdImagePaletteCopy, PicturesLookTheSameAfterCopyToASuperset) {
    const auto small = giftest::DistinctPalette(16, 70);
    std::vector<Rgb> big = giftest::DistinctPalette(200, 71);
    big.insert(big.begin() + 37, small.begin(), small.end());  // every colour present, shuffled in
    const std::vector<uint8_t> px = giftest::RandomPixels(30, 20, 16, 72);
    gdImageOwner dst = MakeImage(30, 20, px, small);
    gdImageOwner before = MakeImage(30, 20, px, small);
    gdImageOwner src = MakeImage(1, 1, {0}, big);
    gdImagePaletteCopy(dst.get(), src.get());
    EXPECT_EQ(giftest::PixelColours(*dst), giftest::PixelColours(*before));
    EXPECT_NE(dst->pixels, before->pixels);
    EXPECT_EQ(gdImageCompare(dst.get(), before.get()) & GD_CMP_IMAGE, 0);
}

TEST(GdImageCompare, IdenticalImagesGiveZero) {
    const auto pal = giftest::DistinctPalette(8, 80);
    const auto px = giftest::RandomPixels(11, 9, 8, 81);
    gdImageOwner a = MakeImage(11, 9, px, pal);
    gdImageOwner b = MakeImage(11, 9, px, pal);
    EXPECT_EQ(gdImageCompare(a.get(), b.get()), 0);
}

TEST(GdImageCompare, ComparesColourNotIndex) {
    gdImageOwner a = MakeImage(2, 1, {0, 1}, {Rgb{1, 2, 3}, Rgb{4, 5, 6}});
    gdImageOwner b = MakeImage(2, 1, {1, 0}, {Rgb{4, 5, 6}, Rgb{1, 2, 3}});
    const int r = gdImageCompare(a.get(), b.get());
    EXPECT_EQ(r & GD_CMP_IMAGE, 0);
    EXPECT_NE(r & GD_CMP_COLOR, 0);  // the palettes themselves differ

    gdImageOwner c = MakeImage(2, 1, {0, 0}, {Rgb{1, 2, 3}, Rgb{4, 5, 6}});
    EXPECT_NE(gdImageCompare(a.get(), c.get()) & GD_CMP_IMAGE, 0);
}

TEST(GdImageCompare, OnePixelDifferenceIsSeen) {
    const auto pal = giftest::DistinctPalette(8, 82);
    auto px = giftest::RandomPixels(64, 64, 8, 83);
    gdImageOwner a = MakeImage(64, 64, px, pal);
    px[64 * 64 - 1] = static_cast<uint8_t>((px[64 * 64 - 1] + 1) % 8);
    gdImageOwner b = MakeImage(64, 64, px, pal);
    EXPECT_EQ(gdImageCompare(a.get(), b.get()), GD_CMP_IMAGE);
}

TEST(GdImageCompare, SizesAndColourCounts) {
    const auto pal = giftest::DistinctPalette(4, 84);
    gdImageOwner a = MakeImage(3, 3, std::vector<uint8_t>(9, 0), pal);
    gdImageOwner wider = MakeImage(4, 3, std::vector<uint8_t>(12, 0), pal);
    gdImageOwner taller = MakeImage(3, 4, std::vector<uint8_t>(12, 0), pal);
    EXPECT_EQ(gdImageCompare(a.get(), wider.get()), GD_CMP_SIZE_X | GD_CMP_IMAGE);
    EXPECT_EQ(gdImageCompare(a.get(), taller.get()), GD_CMP_SIZE_Y | GD_CMP_IMAGE);
    gdImageOwner fewer = MakeImage(3, 3, std::vector<uint8_t>(9, 0), {pal[0], pal[1]});
    EXPECT_EQ(gdImageCompare(a.get(), fewer.get()), GD_CMP_NUM_COLORS);
    EXPECT_NE(gdImageCompare(a.get(), nullptr), 0);
}

TEST(GdImageCompare, TransparencyCounts) {
    const std::vector<Rgb> pal = {Rgb{0, 0, 0}, Rgb{9, 9, 9}};
    gdImageOwner a = MakeImage(2, 1, {0, 1}, pal);
    gdImageOwner b = MakeImage(2, 1, {0, 1}, pal);
    b->transparent = 1;
    EXPECT_EQ(gdImageCompare(a.get(), b.get()), GD_CMP_TRANSPARENT | GD_CMP_IMAGE);
    a->transparent = 1;
    EXPECT_EQ(gdImageCompare(a.get(), b.get()), 0);
}

TEST(GdImageCompare, EntriesPastColorsTotalShowBlack) {
    // Stale values past colorsTotal must not count: such pixels are black, as the writer writes them.
    gdImageOwner a = MakeImage(2, 1, {0, 1}, {Rgb{5, 5, 5}});
    a->red[1] = 200;
    gdImageOwner b = MakeImage(2, 1, {0, 1}, {Rgb{5, 5, 5}, Rgb{0, 0, 0}});
    EXPECT_EQ(gdImageCompare(a.get(), b.get()), GD_CMP_NUM_COLORS);

    int size = 0;
    gdBlockOwner header(gdImageGifAnimBeginPtr(a.get(), &size, 1, -1));
    ASSERT_EQ(size, 13 + 768);
    const uint8_t* table = static_cast<const uint8_t*>(header.get()) + 13;
    EXPECT_EQ(table[0], 5);
    EXPECT_EQ(table[3], 0);
}
