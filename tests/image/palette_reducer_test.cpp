// The palette reducer against a textbook reduction: a linear nearest-entry search and
// Floyd-Steinberg over a whole-picture error plane. Its cells, colour cache and streamed
// error rows must give exactly the same indexes.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "image/palette_reducer.h"
#include "image/pixel_ops.h"
#include "pixel_test_util.h"

using pixels::PackedDib;

namespace {

// Sixteenths rounded to whole units, half away from zero.
int RoundSixteenths(int e) { return e >= 0 ? (e + 8) / 16 : -((-e + 8) / 16); }

int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Indexes of src (top row first) reduced to the first `count` entries of table.
std::vector<uint8_t> Textbook(const PackedDib& src, const RGBQUAD* table, unsigned count, bool dither) {
    const long w = src.Width(), h = src.Height();
    std::vector<int> err(static_cast<size_t>(w * h) * 3, 0);
    std::vector<uint8_t> out(static_cast<size_t>(w * h));
    auto spread = [&](long x, long y, const int e[3], int weight) {
        if (x < 0 || x >= w || y >= h) return;
        for (int k = 0; k < 3; ++k) err[static_cast<size_t>(y * w + x) * 3 + k] += e[k] * weight;
    };
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x) {
            const RGBQUAD c = src.PixelColor(x, h - 1 - y);
            const int* acc = &err[static_cast<size_t>(y * w + x) * 3];
            int rgb[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
            if (dither)
                for (int k = 0; k < 3; ++k) rgb[k] = Clamp(rgb[k] + RoundSixteenths(acc[k]));
            const unsigned idx = pixels::NearestPaletteIndex(table, count, rgb[0], rgb[1], rgb[2]);
            out[static_cast<size_t>(y * w + x)] = static_cast<uint8_t>(idx);
            if (!dither) continue;
            const int e[3] = {rgb[0] - table[idx].rgbRed, rgb[1] - table[idx].rgbGreen,
                              rgb[2] - table[idx].rgbBlue};
            spread(x + 1, y, e, 7);
            spread(x - 1, y + 1, e, 3);
            spread(x, y + 1, e, 5);
            spread(x + 1, y + 1, e, 1);
        }
    return out;
}

// Random entries on a grid of `step` (coarse grids make ties and duplicates common).
void RandomTable(std::mt19937& rng, RGBQUAD table[256], int step) {
    for (int i = 0; i < 256; ++i)
        table[i] = testutil::Rgb(static_cast<int>(rng() % 256) / step * step, static_cast<int>(rng() % 256) / step * step,
                                 static_cast<int>(rng() % 256) / step * step);
    table[200] = table[3];  // a duplicate: the lower index must win
}

PackedDib Noise(std::mt19937& rng, long w, long h) {
    PackedDib d;
    d.Create(w, h, 24);
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w * 3; ++x) d.Row(y)[x] = static_cast<BYTE>(rng());
    return d;
}

// An 8-bit picture: random colour table, random indexes.
PackedDib Noise8(std::mt19937& rng, long w, long h) {
    PackedDib d;
    d.Create(w, h, 8);
    for (int i = 0; i < 256; ++i) d.Palette()[i] = testutil::Rgb(rng() % 256, rng() % 256, rng() % 256);
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x) d.Row(y)[x] = static_cast<BYTE>(rng());
    return d;
}

// Smooth ramps reaching both ends of every channel, so diffused errors clamp.
PackedDib Ramps(long w, long h) {
    PackedDib d;
    d.Create(w, h, 24);
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            testutil::Put(d, x, y, testutil::Rgb(static_cast<int>(x * 255 / w), static_cast<int>(y * 255 / h),
                                                 (x + y) % 2 ? 255 : 0));
    return d;
}

std::vector<uint8_t> TopDownIndexes(const PackedDib& reduced) {
    const long w = reduced.Width(), h = reduced.Height();
    std::vector<uint8_t> out(static_cast<size_t>(w * h));
    for (long y = 0; y < h; ++y) std::memcpy(&out[static_cast<size_t>(y * w)], reduced.Row(h - 1 - y), static_cast<size_t>(w));
    return out;
}

}  // namespace

TEST(PaletteReducer, ReductionIsTheTextbookOneForEveryEntryCount) {
    std::mt19937 rng(2024);
    RGBQUAD table[256];
    for (int step : {1, 16, 64}) {
        RandomTable(rng, table, step);
        const PackedDib pictures[] = {Noise(rng, 1, 1), Noise(rng, 37, 23), Noise(rng, 160, 120), Noise8(rng, 13, 7),
                                      Ramps(61, 40)};
        for (const PackedDib& src : pictures)
            for (unsigned important : {0u, 1u, 2u, 17u, 255u})
                for (bool dither : {false, true}) {
                    PackedDib reduced;
                    ASSERT_TRUE(pixels::ReduceToPalette(src, table, important, dither, reduced));
                    const unsigned count = important == 0 ? 256 : important;
                    ASSERT_EQ(Textbook(src, table, count, dither), TopDownIndexes(reduced))
                        << "step " << step << " important " << important << (dither ? " dithered" : " plain")
                        << " " << src.Width() << "x" << src.Height();
                }
    }
}

TEST(PaletteReducer, EntriesPastTheCountAreNeverChosen) {
    // The picture's colours are exact entries past the count; the dithered error pushes the
    // pixels anywhere, yet no index reaches the count.
    RGBQUAD table[256];
    for (int i = 0; i < 256; ++i) table[i] = testutil::Rgb(i, 255 - i, (i * 37) & 255);
    PackedDib src;
    ASSERT_TRUE(src.Create(40, 30, 24));
    for (long y = 0; y < 30; ++y)
        for (long x = 0; x < 40; ++x) testutil::Put(src, x, y, table[10 + (x * 7 + y * 3) % 246]);
    for (bool dither : {false, true}) {
        pixels::PaletteReducer reducer(table, 10);
        std::vector<uint8_t> out(40 * 30, 0xFF);
        reducer.Reduce(pixels::DibView::Of(src), dither, out.data(), 40);
        for (uint8_t index : out) ASSERT_LT(index, 10) << (dither ? "dithered" : "plain");
    }
}

TEST(PaletteReducer, ReadsTopDownAndShortTablePicturesAndWritesPaddedRows) {
    // A top-down 8-bit DIB with a 4-entry colour table; index 9 lies past it and counts as black.
    const int w = 5, h = 3;
    const RGBQUAD colours[4] = {testutil::Rgb(250, 0, 0), testutil::Rgb(0, 250, 0), testutil::Rgb(0, 0, 250),
                                testutil::Rgb(240, 240, 240)};
    const uint8_t indexes[h][w] = {{0, 1, 2, 3, 9}, {3, 3, 9, 0, 1}, {2, 9, 1, 0, 3}};
    const size_t stride = 8;
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + sizeof colours + stride * h, 0);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = -h;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biClrUsed = 4;
    std::memcpy(dib.data(), &header, sizeof header);
    std::memcpy(dib.data() + sizeof header, colours, sizeof colours);
    for (int y = 0; y < h; ++y) std::memcpy(dib.data() + sizeof header + sizeof colours + stride * y, indexes[y], w);

    RGBQUAD table[256] = {};
    table[0] = testutil::Rgb(255, 255, 255);
    table[1] = testutil::Rgb(255, 0, 0);
    table[2] = testutil::Rgb(0, 255, 0);
    table[3] = testutil::Rgb(0, 0, 255);
    table[4] = testutil::Rgb(0, 0, 0);
    pixels::DibView view;
    ASSERT_TRUE(pixels::DibView::Read(dib.data(), view));
    pixels::PaletteReducer reducer(table, 5);
    const ptrdiff_t outStride = 7;
    std::vector<uint8_t> out(outStride * h, 0xAA);
    reducer.Reduce(view, false, out.data(), outStride);
    const uint8_t expected[h][w] = {{1, 2, 3, 0, 4}, {0, 0, 4, 1, 2}, {3, 4, 2, 1, 0}};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) EXPECT_EQ(expected[y][x], out[y * outStride + x]) << x << "," << y;
        for (int x = w; x < outStride; ++x) EXPECT_EQ(0xAA, out[y * outStride + x]) << "padding touched";
    }
}
