#include "image/octree_quantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <ostream>
#include <set>
#include <tuple>
#include <vector>

namespace {

struct Color {
    uint8_t r, g, b, a;
    bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator<(const Color& o) const
    {
        return std::tie(r, g, b, a) < std::tie(o.r, o.g, o.b, o.a);
    }
};

void PrintTo(const Color& c, std::ostream* os)
{
    *os << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a) << ")";
}

Color Rgb(int r, int g, int b, int a = 0)
{
    return Color{uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)};
}

RGBQUAD Quad(const Color& c)
{
    RGBQUAD q;
    q.rgbRed = c.r;
    q.rgbGreen = c.g;
    q.rgbBlue = c.b;
    q.rgbReserved = c.a;
    return q;
}

// A value never written by the quantizer for 24-bit pictures (their reserved byte is 0).
const Color kUntouched = Rgb(0x5A, 0x5A, 0x5A, 0xAB);

std::vector<Color> Palette(const COctreeQuantizer& q, Color initial = kUntouched)
{
    std::vector<RGBQUAD> table(256, Quad(initial));
    q.FillPalette(table.data());
    std::vector<Color> out;
    for (const RGBQUAD& e : table)
        out.push_back(Rgb(e.rgbRed, e.rgbGreen, e.rgbBlue, e.rgbReserved));
    return out;
}

// A packed DIB in a buffer of exactly its size, so stray reads leave the allocation.
struct Dib {
    std::vector<uint8_t> bytes;
    size_t rowsOffset = 0;
    size_t stride = 0;

    BITMAPINFOHEADER Header() const
    {
        BITMAPINFOHEADER h;
        std::memcpy(&h, bytes.data(), sizeof h);
        return h;
    }
    void SetHeader(const BITMAPINFOHEADER& h) { std::memcpy(bytes.data(), &h, sizeof h); }
    const void* data() const { return bytes.data(); }
};

// Lays out a DIB of the given depth; rows are stored bottom-up (or top-down) and filled
// with `padding` until pixels are written.
Dib MakeDib(int width, int height, unsigned bits, const std::vector<Color>& table,
            uint32_t clrUsed, bool topDown = false, uint32_t headerSize = 40,
            uint8_t padding = 0xEE)
{
    Dib dib;
    dib.stride = (size_t(bits) * width + 31) / 32 * 4;
    dib.rowsOffset = headerSize + table.size() * 4;
    dib.bytes.assign(dib.rowsOffset + dib.stride * height, padding);
    std::fill(dib.bytes.begin(), dib.bytes.begin() + headerSize, 0);
    BITMAPINFOHEADER h{};
    h.biSize = headerSize;
    h.biWidth = width;
    h.biHeight = topDown ? -height : height;
    h.biPlanes = 1;
    h.biBitCount = WORD(bits);
    h.biCompression = BI_RGB;
    h.biClrUsed = clrUsed;
    dib.SetHeader(h);
    for (size_t i = 0; i < table.size(); ++i) {
        RGBQUAD q = Quad(table[i]);
        std::memcpy(&dib.bytes[headerSize + i * 4], &q, 4);
    }
    return dib;
}

// Start of visual row y (0 = top).
uint8_t* RowOf(Dib& dib, int y)
{
    const BITMAPINFOHEADER h = dib.Header();
    const bool topDown = h.biHeight < 0;
    const int height = topDown ? -h.biHeight : h.biHeight;
    const int stored = topDown ? y : height - 1 - y;
    return &dib.bytes[dib.rowsOffset + dib.stride * stored];
}

Dib MakeDib24(int width, int height, const std::function<Color(int, int)>& pixel,
              bool topDown = false)
{
    Dib dib = MakeDib(width, height, 24, {}, 0, topDown);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = RowOf(dib, y);
        for (int x = 0; x < width; ++x) {
            const Color c = pixel(x, y);
            row[x * 3] = c.b;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.r;
        }
    }
    return dib;
}

// One row of colours, each repeated the given number of times.
Dib MakeStrip(const std::vector<std::pair<Color, int>>& runs)
{
    std::vector<Color> pixels;
    for (const auto& run : runs)
        pixels.insert(pixels.end(), size_t(run.second), run.first);
    return MakeDib24(int(pixels.size()), 1, [&](int x, int) { return pixels[size_t(x)]; });
}

void SetIndex(Dib& dib, int x, int y, unsigned bits, unsigned index)
{
    uint8_t* row = RowOf(dib, y);
    if (bits == 8) {
        row[x] = uint8_t(index);
    } else if (bits == 4) {
        uint8_t& byte = row[x / 2];
        byte = (x & 1) ? uint8_t((byte & 0xF0) | index) : uint8_t((byte & 0x0F) | (index << 4));
    } else {
        uint8_t& byte = row[x / 8];
        const uint8_t mask = uint8_t(0x80 >> (x % 8));
        byte = index ? uint8_t(byte | mask) : uint8_t(byte & ~mask);
    }
}

std::set<Color> Written(const COctreeQuantizer& q)
{
    const std::vector<Color> p = Palette(q);
    return std::set<Color>(p.begin(), p.begin() + q.GetLeafCount());
}

// ---------------------------------------------------------------------------------------

TEST(OctreeQuantizerPalette, OneColourComesBackExact)
{
    COctreeQuantizer q(256, 8);
    // Width 7 leaves fill bytes (0xEE) at the end of each row; they are not pixels.
    Dib dib = MakeDib24(7, 5, [](int, int) { return Rgb(12, 34, 56); });
    ASSERT_TRUE(q.AddImage(dib.data()));
    EXPECT_EQ(q.GetLeafCount(), 1u);
    const std::vector<Color> p = Palette(q);
    EXPECT_EQ(p[0], Rgb(12, 34, 56));
    EXPECT_EQ(p[1], kUntouched);
}

TEST(OctreeQuantizerPalette, LeafColoursFromEntryZeroInTreeOrderRestUntouched)
{
    COctreeQuantizer q(256, 8);
    Dib dib = MakeStrip({{Rgb(255, 255, 255), 1}, {Rgb(255, 0, 0), 2}, {Rgb(0, 0, 0), 3},
                         {Rgb(0, 255, 0), 1}, {Rgb(0, 0, 255), 1}});
    ASSERT_TRUE(q.AddImage(dib.data()));
    ASSERT_EQ(q.GetLeafCount(), 5u);
    const std::vector<Color> p = Palette(q);
    // Child index = red bit * 4 + green bit * 2 + blue bit, visited 0..7.
    EXPECT_EQ(p[0], Rgb(0, 0, 0));
    EXPECT_EQ(p[1], Rgb(0, 0, 255));
    EXPECT_EQ(p[2], Rgb(0, 255, 0));
    EXPECT_EQ(p[3], Rgb(255, 0, 0));
    EXPECT_EQ(p[4], Rgb(255, 255, 255));
    for (size_t i = 5; i < p.size(); ++i)
        ASSERT_EQ(p[i], kUntouched) << "entry " << i;
}

TEST(OctreeQuantizerPalette, ColoursOfSeveralPicturesShareOnePalette)
{
    COctreeQuantizer q(256, 8);
    Dib a = MakeDib24(3, 3, [](int, int) { return Rgb(10, 20, 30); });
    Dib b = MakeDib24(2, 2, [](int, int) { return Rgb(40, 50, 60); });
    ASSERT_TRUE(q.AddImage(a.data()));
    ASSERT_TRUE(q.AddImage(b.data()));
    EXPECT_EQ(Written(q), (std::set<Color>{Rgb(10, 20, 30), Rgb(40, 50, 60)}));
}

TEST(OctreeQuantizerPalette, SevenColourBitsJoinColoursDifferingInLowestBit)
{
    Dib dib = MakeStrip({{Rgb(200, 100, 50), 1}, {Rgb(201, 101, 51), 3}});
    COctreeQuantizer seven(256, 7);
    ASSERT_TRUE(seven.AddImage(dib.data()));
    EXPECT_EQ(seven.GetLeafCount(), 1u);
    // (200 + 3 * 201) / 4 and so on, integer division.
    EXPECT_EQ(Palette(seven)[0], Rgb(200, 100, 50));

    COctreeQuantizer eight(256, 8);
    ASSERT_TRUE(eight.AddImage(dib.data()));
    EXPECT_EQ(eight.GetLeafCount(), 2u);
}

TEST(OctreeQuantizerPalette, ColourBitsAboveEightActAsEight)
{
    Dib dib = MakeStrip({{Rgb(200, 100, 50), 1}, {Rgb(201, 101, 51), 3}, {Rgb(7, 7, 7), 2}});
    COctreeQuantizer nine(256, 9);
    COctreeQuantizer eight(256, 8);
    ASSERT_TRUE(nine.AddImage(dib.data()));
    ASSERT_TRUE(eight.AddImage(dib.data()));
    EXPECT_EQ(nine.GetLeafCount(), 3u);
    EXPECT_EQ(Palette(nine), Palette(eight));
}

TEST(OctreeQuantizerPalette, EmptyQuantizerWritesNothing)
{
    COctreeQuantizer q(256, 8);
    const std::vector<Color> p = Palette(q);
    EXPECT_TRUE(std::all_of(p.begin(), p.end(), [](const Color& c) { return c == kUntouched; }));
}

// ---------------------------------------------------------------------------------------

std::vector<Color> DistinctColours(size_t n)
{
    std::set<Color> seen;
    std::vector<Color> out;
    uint32_t state = 12345;
    while (out.size() < n) {
        state = state * 1103515245u + 12345u;
        const Color c = Rgb(state >> 24, (state >> 16) & 0xFF, (state >> 8) & 0xFF);
        if (seen.insert(c).second)
            out.push_back(c);
    }
    return out;
}

TEST(OctreeQuantizerReduction, ManyColoursStayWithinTheRequestedCount)
{
    const std::vector<Color> colours = DistinctColours(300);
    Dib dib = MakeDib24(20, 15, [&](int x, int y) { return colours[size_t(y * 20 + x)]; });
    for (unsigned wanted : {256u, 64u, 16u}) {
        COctreeQuantizer q(wanted, 8);
        ASSERT_TRUE(q.AddImage(dib.data()));
        EXPECT_LE(q.GetLeafCount(), wanted);
        EXPECT_GT(q.GetLeafCount(), 1u);
        // Exactly the leaves are written (reserved 0); a zero-filled rest stays black.
        const std::vector<Color> p = Palette(q, Rgb(0, 0, 0));
        const std::vector<Color> marked = Palette(q);
        size_t written = 0;
        for (const Color& c : marked)
            written += c.a == 0 ? 1 : 0;
        EXPECT_EQ(written, q.GetLeafCount()) << wanted;
        for (size_t i = q.GetLeafCount(); i < p.size(); ++i)
            ASSERT_EQ(p[i], Rgb(0, 0, 0)) << wanted << " entry " << i;
    }
}

TEST(OctreeQuantizerReduction, MergesNewestInnerNodeOfDeepestLevel)
{
    // Sixteen leaves: an old pair and a new pair, each pair differing only in its lowest
    // bits (one inner node at level 7 with two leaves), and twelve lone colours.
    COctreeQuantizer q(16, 8);
    std::vector<std::pair<Color, int>> runs = {{Rgb(0, 0, 10), 1}, {Rgb(0, 0, 11), 1}};
    for (int i = 0; i < 12; ++i)
        runs.push_back({Rgb(20 * i + 20, 100, 50), 1});
    runs.push_back({Rgb(0, 200, 0), 1});
    runs.push_back({Rgb(0, 201, 0), 1});
    Dib first = MakeStrip(runs);
    ASSERT_TRUE(q.AddImage(first.data()));
    ASSERT_EQ(q.GetLeafCount(), 16u);

    // A seventeenth colour: lone level-7 nodes fold without losing a leaf until the
    // newest pair is reached.
    Dib extra = MakeStrip({{Rgb(255, 255, 255), 1}});
    ASSERT_TRUE(q.AddImage(extra.data()));
    EXPECT_EQ(q.GetLeafCount(), 16u);
    const std::set<Color> palette = Written(q);
    EXPECT_EQ(palette.count(Rgb(0, 0, 10)), 1u);
    EXPECT_EQ(palette.count(Rgb(0, 0, 11)), 1u);
    EXPECT_EQ(palette.count(Rgb(0, 200, 0)), 1u);  // (200 + 201) / 2
    EXPECT_EQ(palette.count(Rgb(0, 201, 0)), 0u);
    EXPECT_EQ(palette.count(Rgb(255, 255, 255)), 1u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(palette.count(Rgb(20 * i + 20, 100, 50)), 1u) << i;
}

TEST(OctreeQuantizerReduction, ColoursOfAFoldedBranchKeepReachingItsLeaf)
{
    // Two colour bits: leaves sit at level 2, eight below each level-1 node.
    COctreeQuantizer q(16, 2);
    std::vector<std::pair<Color, int>> low, high;
    for (int i = 0; i < 8; ++i) {
        low.push_back({Rgb((i & 4) ? 64 : 0, (i & 2) ? 64 : 0, (i & 1) ? 64 : 0), 1});
        high.push_back({Rgb((i & 4) ? 192 : 128, (i & 2) ? 192 : 128, (i & 1) ? 192 : 128), 1});
    }
    Dib lowDib = MakeStrip(low), highDib = MakeStrip(high);
    ASSERT_TRUE(q.AddImage(lowDib.data()));
    ASSERT_TRUE(q.AddImage(highDib.data()));
    ASSERT_EQ(q.GetLeafCount(), 16u);

    // A seventeenth leaf: the lone new branch folds, then the high branch, into one leaf
    // averaging its eight colours (160, 160, 160).
    Dib newBranch = MakeStrip({{Rgb(0, 0, 128), 1}});
    ASSERT_TRUE(q.AddImage(newBranch.data()));
    ASSERT_EQ(q.GetLeafCount(), 10u);
    EXPECT_EQ(Palette(q)[9], Rgb(160, 160, 160));

    // A colour of the folded branch now counts towards the folded leaf.
    Dib more = MakeDib24(100, 10, [](int, int) { return Rgb(192, 192, 192); });
    ASSERT_TRUE(q.AddImage(more.data()));
    EXPECT_EQ(q.GetLeafCount(), 10u);
    const std::vector<Color> p = Palette(q);
    EXPECT_EQ(p[8], Rgb(0, 0, 128));
    EXPECT_EQ(p[9], Rgb((160 * 8 + 192 * 1000) / 1008, (160 * 8 + 192 * 1000) / 1008,
                        (160 * 8 + 192 * 1000) / 1008));
}

TEST(OctreeQuantizerReduction, FewerThanSixteenColoursFoldNeighbouringLeavesByWeight)
{
    // Colour i = (16i, 8i, 4i): tree order is the order of i. Colour i appears i + 1 times;
    // the strip lists them out of order.
    std::vector<std::pair<Color, int>> runs;
    for (int k = 0; k < 16; ++k) {
        const int i = (k * 5) % 16;
        runs.push_back({Rgb(16 * i, 8 * i, 4 * i), i + 1});
    }
    Dib dib = MakeStrip(runs);
    COctreeQuantizer q(8, 8);
    ASSERT_TRUE(q.AddImage(dib.data()));
    ASSERT_EQ(q.GetLeafCount(), 16u);
    const std::vector<Color> p = Palette(q);
    for (int j = 0; j < 8; ++j) {
        const int a = 2 * j, b = 2 * j + 1;
        const int wa = a + 1, wb = b + 1;
        const Color expected = Rgb((16 * a * wa + 16 * b * wb) / (wa + wb),
                                   (8 * a * wa + 8 * b * wb) / (wa + wb),
                                   (4 * a * wa + 4 * b * wb) / (wa + wb));
        EXPECT_EQ(p[size_t(j)], expected) << "entry " << j;
    }
    EXPECT_EQ(p[8], kUntouched);
}

TEST(OctreeQuantizerReduction, FewerLeavesThanRequestedAreCopiedUnmerged)
{
    Dib dib = MakeStrip({{Rgb(1, 2, 3), 4}, {Rgb(250, 10, 10), 1}, {Rgb(10, 250, 10), 2},
                         {Rgb(10, 10, 250), 3}, {Rgb(128, 128, 128), 5}});
    COctreeQuantizer q(8, 8);
    ASSERT_TRUE(q.AddImage(dib.data()));
    ASSERT_EQ(q.GetLeafCount(), 5u);
    const std::vector<Color> p = Palette(q);
    EXPECT_EQ(std::set<Color>(p.begin(), p.begin() + 5),
              (std::set<Color>{Rgb(1, 2, 3), Rgb(250, 10, 10), Rgb(10, 250, 10),
                               Rgb(10, 10, 250), Rgb(128, 128, 128)}));
    EXPECT_EQ(p[5], kUntouched);
}

// ---------------------------------------------------------------------------------------
// Sums of 20 million channel values exceed 32 bits.

constexpr int kBigSide = 1000;
constexpr int kBigAdds = 20;

TEST(OctreeQuantizerLargeCounts, TwentyMillionWhitePixelsStayWhite)
{
    Dib white = MakeDib24(kBigSide, kBigSide, [](int, int) { return Rgb(255, 255, 255); });
    COctreeQuantizer q(256, 8);
    for (int i = 0; i < kBigAdds; ++i)
        ASSERT_TRUE(q.AddImage(white.data()));
    EXPECT_EQ(q.GetLeafCount(), 1u);
    EXPECT_EQ(Palette(q)[0], Rgb(255, 255, 255));
}

TEST(OctreeQuantizerLargeCounts, WeightedFoldOfTwentyMillionPixelsStaysExact)
{
    // Fifteen small leaves, then a white leaf of 20 million pixels; with 8 colours the
    // last entry folds (255, 255, 254) x1 with white.
    std::vector<std::pair<Color, int>> runs;
    for (int i = 0; i < 14; ++i)
        runs.push_back({Rgb(16 * i, 8 * i, 4 * i), 1});
    runs.push_back({Rgb(255, 255, 254), 1});
    Dib small = MakeStrip(runs);
    Dib white = MakeDib24(kBigSide, kBigSide, [](int, int) { return Rgb(255, 255, 255); });
    COctreeQuantizer q(8, 8);
    ASSERT_TRUE(q.AddImage(small.data()));
    for (int i = 0; i < kBigAdds; ++i)
        ASSERT_TRUE(q.AddImage(white.data()));
    ASSERT_EQ(q.GetLeafCount(), 16u);
    EXPECT_EQ(Palette(q)[7], Rgb(255, 255, 254));
}

// ---------------------------------------------------------------------------------------

const std::vector<Color> kSixteen = {
    Rgb(0, 0, 0, 1),       Rgb(200, 150, 100, 2), Rgb(1, 2, 3, 3),     Rgb(40, 41, 42, 4),
    Rgb(50, 51, 52, 5),    Rgb(60, 61, 62, 6),    Rgb(70, 71, 72, 7),  Rgb(80, 81, 82, 8),
    Rgb(90, 91, 92, 9),    Rgb(100, 101, 102, 0), Rgb(110, 0, 0, 0),   Rgb(120, 0, 0, 0),
    Rgb(130, 0, 0, 0),     Rgb(140, 0, 0, 0),     Rgb(150, 0, 0, 0),   Rgb(160, 0, 0, 0)};

TEST(OctreeQuantizerIndexed, OneBitWithFullTableImpliedByZeroCount)
{
    // Width 1: only the first bit of each row is a pixel; the rest of the row reads as 0.
    Dib dib = MakeDib(1, 2, 1, {kSixteen[0], kSixteen[1]}, 0, false, 40, 0x00);
    SetIndex(dib, 0, 0, 1, 1);
    SetIndex(dib, 0, 1, 1, 1);
    COctreeQuantizer q(256, 8);
    ASSERT_TRUE(q.AddImage(dib.data()));
    // The reserved byte of the table entry is carried as the fourth channel.
    EXPECT_EQ(Written(q), std::set<Color>{kSixteen[1]});

    Dib wide = MakeDib(10, 1, 1, {kSixteen[0], kSixteen[1]}, 0, false, 40, 0xFF);
    SetIndex(wide, 0, 0, 1, 0);
    SetIndex(wide, 9, 0, 1, 0);
    COctreeQuantizer both(256, 8);
    ASSERT_TRUE(both.AddImage(wide.data()));
    EXPECT_EQ(Written(both), (std::set<Color>{kSixteen[0], kSixteen[1]}));
    EXPECT_EQ(Palette(both)[0], kSixteen[0]);
}

TEST(OctreeQuantizerIndexed, FourBitHighNibbleIsTheFirstPixel)
{
    Dib one = MakeDib(1, 1, 4, kSixteen, 0, false, 40, 0x00);
    RowOf(one, 0)[0] = 0x3F;  // pixel 0 = index 3; the low nibble lies outside the picture
    COctreeQuantizer q(256, 8);
    ASSERT_TRUE(q.AddImage(one.data()));
    EXPECT_EQ(Written(q), std::set<Color>{kSixteen[3]});

    Dib three = MakeDib(3, 2, 4, kSixteen, 0, false, 40, 0x00);
    const unsigned indexes[2][3] = {{4, 5, 6}, {7, 8, 9}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            SetIndex(three, x, y, 4, indexes[y][x]);
    COctreeQuantizer q3(256, 8);
    ASSERT_TRUE(q3.AddImage(three.data()));
    EXPECT_EQ(Written(q3), (std::set<Color>{kSixteen[4], kSixteen[5], kSixteen[6], kSixteen[7],
                                            kSixteen[8], kSixteen[9]}));
}

TEST(OctreeQuantizerIndexed, EightBitWithImpliedAndExplicitTableSize)
{
    std::vector<Color> full(256, Rgb(9, 9, 9));
    for (int i = 0; i < 256; ++i)
        full[size_t(i)] = Rgb(i, 255 - i, (i * 7) & 0xFF);
    Dib implied = MakeDib(5, 2, 8, full, 0, false, 40, 0x00);
    const unsigned pick[10] = {0, 1, 17, 128, 255, 255, 17, 3, 200, 0};
    for (int k = 0; k < 10; ++k)
        SetIndex(implied, k % 5, k / 5, 8, pick[k]);
    COctreeQuantizer q(256, 8);
    ASSERT_TRUE(q.AddImage(implied.data()));
    std::set<Color> expected;
    for (unsigned i : pick)
        expected.insert(full[i]);
    EXPECT_EQ(Written(q), expected);

    Dib shortTable = MakeDib(3, 1, 8, {kSixteen.begin(), kSixteen.begin() + 5}, 5, false, 40, 0);
    SetIndex(shortTable, 0, 0, 8, 4);
    SetIndex(shortTable, 1, 0, 8, 2);
    SetIndex(shortTable, 2, 0, 8, 4);
    COctreeQuantizer qs(256, 8);
    ASSERT_TRUE(qs.AddImage(shortTable.data()));
    EXPECT_EQ(Written(qs), (std::set<Color>{kSixteen[2], kSixteen[4]}));
}

TEST(OctreeQuantizerIndexed, IndexesBeyondTheTableAreSkipped)
{
    // Two table entries; indexes 2..255 have no colour. Entry 255 would lie far past the
    // end of this buffer.
    Dib dib = MakeDib(4, 1, 8, {kSixteen[1], kSixteen[2]}, 2, false, 40, 0x00);
    SetIndex(dib, 0, 0, 8, 1);
    SetIndex(dib, 1, 0, 8, 255);
    SetIndex(dib, 2, 0, 8, 2);
    SetIndex(dib, 3, 0, 8, 1);
    COctreeQuantizer q(256, 8);
    ASSERT_TRUE(q.AddImage(dib.data()));
    EXPECT_EQ(Written(q), std::set<Color>{kSixteen[2]});

    Dib nibbles = MakeDib(2, 1, 4, {kSixteen[5], kSixteen[6], kSixteen[7]}, 3, false, 40, 0);
    RowOf(nibbles, 0)[0] = 0x2F;  // index 2, then 15
    COctreeQuantizer qn(256, 8);
    ASSERT_TRUE(qn.AddImage(nibbles.data()));
    EXPECT_EQ(Written(qn), std::set<Color>{kSixteen[7]});
}

TEST(OctreeQuantizerIndexed, TableFollowsTheHeaderWhateverItsSize)
{
    for (uint32_t headerSize : {40u, 108u, 124u}) {
        Dib dib = MakeDib(2, 1, 8, {kSixteen[3], kSixteen[8]}, 2, false, headerSize, 0x00);
        SetIndex(dib, 0, 0, 8, 0);
        SetIndex(dib, 1, 0, 8, 1);
        COctreeQuantizer q(256, 8);
        ASSERT_TRUE(q.AddImage(dib.data())) << headerSize;
        EXPECT_EQ(Written(q), (std::set<Color>{kSixteen[3], kSixteen[8]})) << headerSize;
    }
}

// ---------------------------------------------------------------------------------------

TEST(OctreeQuantizerLayout, TopDownPictureGivesTheSamePaletteAsBottomUp)
{
    // Enough colours that reductions happen, which depend on the order pixels arrive in.
    auto pixel = [](int x, int y) { return Rgb(x * 6, y * 8, (x * y * 3) & 0xFF); };
    Dib bottomUp = MakeDib24(41, 30, pixel, false);
    Dib topDown = MakeDib24(41, 30, pixel, true);
    for (unsigned wanted : {256u, 64u, 8u}) {
        COctreeQuantizer a(wanted, 8), b(wanted, 8);
        ASSERT_TRUE(a.AddImage(bottomUp.data()));
        ASSERT_TRUE(b.AddImage(topDown.data()));
        EXPECT_GT(a.GetLeafCount(), 1u);
        EXPECT_EQ(a.GetLeafCount(), b.GetLeafCount()) << wanted;
        EXPECT_EQ(Palette(a), Palette(b)) << wanted;
    }

    std::vector<Color> table(kSixteen.begin(), kSixteen.begin() + 4);
    Dib indexedUp = MakeDib(3, 2, 4, table, 4, false, 40, 0);
    Dib indexedDown = MakeDib(3, 2, 4, table, 4, true, 40, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            SetIndex(indexedUp, x, y, 4, unsigned(x + y) % 4);
            SetIndex(indexedDown, x, y, 4, unsigned(x + y) % 4);
        }
    COctreeQuantizer c(256, 8), d(256, 8);
    ASSERT_TRUE(c.AddImage(indexedUp.data()));
    ASSERT_TRUE(d.AddImage(indexedDown.data()));
    EXPECT_EQ(c.GetLeafCount(), 4u);
    EXPECT_EQ(Palette(c), Palette(d));
}

TEST(OctreeQuantizerLayout, SixteenAndThirtyTwoBitPicturesAreRefused)
{
    for (unsigned bits : {16u, 32u}) {
        Dib dib = MakeDib(4, 4, bits, {}, 0, false, 40, 0x80);
        COctreeQuantizer q(256, 8);
        EXPECT_FALSE(q.AddImage(dib.data())) << bits;
        EXPECT_EQ(q.GetLeafCount(), 0u);
        EXPECT_EQ(Palette(q)[0], kUntouched);
    }
}

struct Malformation {
    const char* what;
    std::function<void(BITMAPINFOHEADER&)> apply;
};

TEST(OctreeQuantizerLayout, MalformedHeadersAreRefusedAndAddNothing)
{
    const std::vector<Malformation> cases = {
        {"header size 0", [](BITMAPINFOHEADER& h) { h.biSize = 0; }},
        {"core header size", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
        {"header size 39", [](BITMAPINFOHEADER& h) { h.biSize = 39; }},
        {"header size 41", [](BITMAPINFOHEADER& h) { h.biSize = 41; }},
        {"header size huge", [](BITMAPINFOHEADER& h) { h.biSize = 0x7FFFFFF0; }},
        {"width 0", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
        {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -4; }},
        {"huge width", [](BITMAPINFOHEADER& h) { h.biWidth = 70000; }},
        {"height 0", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
        {"huge height", [](BITMAPINFOHEADER& h) { h.biHeight = 70000; }},
        {"huge top-down height", [](BITMAPINFOHEADER& h) { h.biHeight = -70000; }},
        {"lowest height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }},
        {"too many bytes", [](BITMAPINFOHEADER& h) { h.biWidth = h.biHeight = 65535; }},
        {"0 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 0; }},
        {"2 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 2; }},
        {"48 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 48; }},
        {"run-length 8", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }},
        {"run-length 4", [](BITMAPINFOHEADER& h) { h.biCompression = 2; }},
        {"bit fields", [](BITMAPINFOHEADER& h) { h.biCompression = 3; }},
        {"257 colours used", [](BITMAPINFOHEADER& h) { h.biClrUsed = 257; }},
        {"all colours used", [](BITMAPINFOHEADER& h) { h.biClrUsed = 0xFFFFFFFF; }},
    };
    for (const Malformation& m : cases) {
        Dib dib = MakeDib24(4, 4, [](int x, int y) { return Rgb(x * 60, y * 60, 9); });
        BITMAPINFOHEADER h = dib.Header();
        m.apply(h);
        dib.SetHeader(h);
        COctreeQuantizer q(256, 8);
        EXPECT_FALSE(q.AddImage(dib.data())) << m.what;
        EXPECT_EQ(q.GetLeafCount(), 0u) << m.what;
    }

    COctreeQuantizer q(256, 8);
    EXPECT_FALSE(q.AddImage(nullptr));
    // A 12-byte core header alone: nothing past it may be read.
    std::vector<uint8_t> core(12, 0);
    core[0] = 12;
    EXPECT_FALSE(q.AddImage(core.data()));
    EXPECT_EQ(q.GetLeafCount(), 0u);
}

TEST(OctreeQuantizerLayout, RefusedPictureLeavesEarlierColoursAlone)
{
    COctreeQuantizer q(256, 8);
    Dib good = MakeDib24(2, 2, [](int, int) { return Rgb(77, 88, 99); });
    ASSERT_TRUE(q.AddImage(good.data()));
    Dib bad = MakeDib24(2, 2, [](int, int) { return Rgb(1, 1, 1); });
    BITMAPINFOHEADER h = bad.Header();
    h.biCompression = 3;
    bad.SetHeader(h);
    EXPECT_FALSE(q.AddImage(bad.data()));
    EXPECT_EQ(q.GetLeafCount(), 1u);
    EXPECT_EQ(Palette(q)[0], Rgb(77, 88, 99));
}

}  // namespace
