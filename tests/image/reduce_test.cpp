#include <gtest/gtest.h>

#include "image/pixel_ops.h"
#include "pixel_test_util.h"

using pixels::PackedDib;
using testutil::Rgb;

namespace {

struct Table {
    RGBQUAD e[256] = {};
};

double MeanRed(const PackedDib& d) {
    double sum = 0;
    for (long y = 0; y < d.Height(); ++y)
        for (long x = 0; x < d.Width(); ++x) sum += d.PixelColor(x, y).rgbRed;
    return sum / (static_cast<double>(d.Width()) * d.Height());
}

}  // namespace

TEST(NearestEntry, PicksTheSmallestSquaredDistance) {
    Table t;
    t.e[0] = Rgb(0, 0, 0);
    t.e[1] = Rgb(255, 255, 255);
    t.e[2] = Rgb(200, 10, 10);
    t.e[3] = Rgb(100, 100, 100);
    EXPECT_EQ(pixels::NearestPaletteIndex(t.e, 4, 190, 30, 0), 2u);
    EXPECT_EQ(pixels::NearestPaletteIndex(t.e, 4, 120, 90, 100), 3u);
    EXPECT_EQ(pixels::NearestPaletteIndex(t.e, 4, 250, 250, 240), 1u);
    // Squared distance, not the sum of channel differences: (80,0,0) is 80 away from black
    // by channel sums but 6400 squared; (30,30,30) is 90 by sums but 2700 squared.
    Table u;
    u.e[0] = Rgb(80, 0, 0);
    u.e[1] = Rgb(30, 30, 30);
    EXPECT_EQ(pixels::NearestPaletteIndex(u.e, 2, 0, 0, 0), 1u);
}

TEST(NearestEntry, LowestIndexWinsATie) {
    Table t;
    t.e[0] = Rgb(20, 0, 0);
    t.e[1] = Rgb(0, 0, 0);
    t.e[2] = Rgb(0, 0, 0);
    EXPECT_EQ(pixels::NearestPaletteIndex(t.e, 3, 10, 0, 0), 0u);  // 100 both ways
    EXPECT_EQ(pixels::NearestPaletteIndex(t.e, 3, 0, 0, 0), 1u);   // duplicates: first one
    Table u;
    u.e[0] = Rgb(0, 0, 0);
    u.e[1] = Rgb(20, 0, 0);
    EXPECT_EQ(pixels::NearestPaletteIndex(u.e, 2, 10, 0, 0), 0u);
}

TEST(Reduce, CopiesTheTableAndMapsEachPixelToItsNearestEntry) {
    Table t;
    for (int i = 0; i < 256; ++i) t.e[i] = Rgb(i, 255 - i, (i * 7) % 256);
    t.e[9].rgbReserved = 77;
    PackedDib src = testutil::Solid(3, 2, Rgb(0, 0, 0));
    testutil::Put(src, 0, 0, t.e[5]);
    testutil::Put(src, 1, 0, t.e[200]);
    testutil::Put(src, 2, 1, Rgb(9, 246, 63));
    PackedDib out;
    ASSERT_TRUE(pixels::ReduceToPalette(src, t.e, 0, false, out));
    ASSERT_EQ(out.BitsPerPixel(), 8);
    EXPECT_EQ(out.Header()->biClrUsed, 256u);
    EXPECT_EQ(out.Header()->biClrImportant, 0u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(out.Palette()[i].rgbRed, t.e[i].rgbRed);
        EXPECT_EQ(out.Palette()[i].rgbGreen, t.e[i].rgbGreen);
        EXPECT_EQ(out.Palette()[i].rgbBlue, t.e[i].rgbBlue);
    }
    EXPECT_EQ(out.Palette()[9].rgbReserved, 0);
    EXPECT_EQ(out.Row(0)[0], 5);
    EXPECT_EQ(out.Row(0)[1], 200);
    EXPECT_EQ(out.Row(1)[2], 9);
}

TEST(Reduce, OnlyTheImportantEntriesAreUsed) {
    Table t;
    t.e[0] = Rgb(0, 0, 0);
    t.e[1] = Rgb(255, 255, 255);
    t.e[2] = Rgb(128, 0, 0);
    t.e[3] = Rgb(0, 0, 255);
    t.e[4] = Rgb(250, 0, 0);  // exact match for the pixel, but beyond the first 4
    const PackedDib src = testutil::Solid(4, 4, Rgb(250, 0, 0));
    PackedDib out;
    ASSERT_TRUE(pixels::ReduceToPalette(src, t.e, 4, false, out));
    EXPECT_EQ(out.Row(2)[1], 2);
    EXPECT_EQ(out.Header()->biClrImportant, 4u);
    ASSERT_TRUE(pixels::ReduceToPalette(src, t.e, 5, false, out));
    EXPECT_EQ(out.Row(2)[1], 4);
    // Unused entries are still black zeroes, and with every entry allowed the black ones
    // beyond index 4 never beat entry 0 for black pixels.
    const PackedDib black = testutil::Solid(2, 2, Rgb(0, 0, 0));
    ASSERT_TRUE(pixels::ReduceToPalette(black, t.e, 0, false, out));
    EXPECT_EQ(out.Row(0)[0], 0);
}

TEST(Reduce, EightBitSourceIsRemappedThroughItsOwnColours) {
    PackedDib src;
    ASSERT_TRUE(src.Create(2, 1, 8));
    src.Palette()[0] = Rgb(250, 250, 250);
    src.Palette()[1] = Rgb(5, 5, 5);
    src.Row(0)[0] = 1;
    src.Row(0)[1] = 0;
    Table t;
    t.e[0] = Rgb(255, 255, 255);
    t.e[1] = Rgb(0, 0, 0);
    PackedDib out;
    ASSERT_TRUE(pixels::ReduceToPalette(src, t.e, 2, true, out));
    EXPECT_EQ(out.Row(0)[0], 1);
    EXPECT_EQ(out.Row(0)[1], 0);
}

TEST(Reduce, DitherKeepsTheMeanColour) {
    Table t;
    t.e[0] = Rgb(0, 0, 0);
    t.e[1] = Rgb(255, 255, 255);
    for (int level : {30, 100, 128, 200}) {
        const PackedDib src = testutil::Solid(64, 64, Rgb(level, level, level));
        PackedDib plain, dithered;
        ASSERT_TRUE(pixels::ReduceToPalette(src, t.e, 2, false, plain));
        ASSERT_TRUE(pixels::ReduceToPalette(src, t.e, 2, true, dithered));
        const double meanPlain = MeanRed(plain);
        const double meanDither = MeanRed(dithered);
        EXPECT_NEAR(meanDither, level, 2.0) << level;
        EXPECT_GT(std::abs(meanPlain - level), 25.0) << level;  // without diffusion it is all one entry
    }
}

TEST(Reduce, DitherLeavesExactColoursAlone) {
    Table t;
    t.e[0] = Rgb(10, 20, 30);
    t.e[1] = Rgb(200, 100, 0);
    PackedDib src = testutil::Solid(16, 16, Rgb(10, 20, 30));
    for (long y = 0; y < 16; ++y) testutil::Put(src, y, y, Rgb(200, 100, 0));
    PackedDib out;
    ASSERT_TRUE(pixels::ReduceToPalette(src, t.e, 2, true, out));
    for (long y = 0; y < 16; ++y)
        for (long x = 0; x < 16; ++x) EXPECT_EQ(out.Row(y)[x], x == y ? 1 : 0);
}

TEST(Reduce, RefusesAMissingTable) {
    const PackedDib src = testutil::Solid(2, 2, Rgb(1, 1, 1));
    PackedDib out;
    EXPECT_FALSE(pixels::ReduceToPalette(src, nullptr, 0, false, out));
}

TEST(PaletteFor, FewColoursAreKeptExactlyInOrderOfAppearance) {
    PackedDib src = testutil::Solid(4, 2, Rgb(1, 2, 3));
    testutil::Put(src, 2, 1, Rgb(9, 9, 9));  // top row, third pixel
    testutil::Put(src, 0, 0, Rgb(7, 7, 7));  // bottom row
    RGBQUAD table[256];
    bool exact = false;
    EXPECT_EQ(pixels::BuildPaletteFor(src, table, exact), 3u);
    EXPECT_TRUE(exact);
    EXPECT_TRUE(testutil::SameColour(table[0], Rgb(1, 2, 3)));
    EXPECT_TRUE(testutil::SameColour(table[1], Rgb(9, 9, 9)));
    EXPECT_TRUE(testutil::SameColour(table[2], Rgb(7, 7, 7)));
    EXPECT_TRUE(testutil::SameColour(table[3], Rgb(0, 0, 0)));
}

TEST(PaletteFor, ManyColoursGetAColourCube) {
    PackedDib src = testutil::Solid(32, 32, Rgb(0, 0, 0));
    for (long y = 0; y < 32; ++y)
        for (long x = 0; x < 32; ++x) testutil::Put(src, x, y, Rgb(x * 8, y * 8, 77));
    RGBQUAD table[256];
    bool exact = true;
    EXPECT_EQ(pixels::BuildPaletteFor(src, table, exact), 252u);
    EXPECT_FALSE(exact);
    EXPECT_TRUE(testutil::SameColour(table[251], Rgb(255, 255, 255)));
}

TEST(Reduce, AgreesWithTheLinearSearchEverywhere) {
    // Random tables with many duplicates and near-ties, random pixels: every pixel must get
    // exactly the entry the plain nearest search picks, ties to the lowest index included.
    unsigned seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) & 0x7FFF);
    };
    for (int round = 0; round < 6; ++round) {
        Table t;
        for (int i = 0; i < 256; ++i) {
            const int q = round % 2 ? 64 : 8;  // coarse values make duplicates and ties common
            t.e[i] = Rgb(next() % 256 / q * q, next() % 256 / q * q, next() % 256 / q * q);
        }
        PackedDib src = testutil::Solid(40, 40, Rgb(0, 0, 0));
        for (long y = 0; y < 40; ++y)
            for (long x = 0; x < 40; ++x) testutil::Put(src, x, y, Rgb(next() % 256, next() % 256, next() % 256));
        for (unsigned important : {0u, 1u, 17u, 256u}) {
            PackedDib out;
            ASSERT_TRUE(pixels::ReduceToPalette(src, t.e, important, false, out));
            const unsigned count = important == 0 ? 256 : important;
            for (long y = 0; y < 40; ++y)
                for (long x = 0; x < 40; ++x) {
                    const RGBQUAD c = src.PixelColor(x, y);
                    ASSERT_EQ(out.Row(y)[x],
                              pixels::NearestPaletteIndex(t.e, count, c.rgbRed, c.rgbGreen, c.rgbBlue))
                        << "round " << round << " important " << important << " at " << x << "," << y;
                }
        }
    }
}
