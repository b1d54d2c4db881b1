#include <gtest/gtest.h>

#include "image/packed_dib.h"
#include "pixel_test_util.h"

using pixels::PackedDib;
using testutil::Rgb;

TEST(PackedDib, HeaderDescribesABottomUpPicture) {
    PackedDib d;
    ASSERT_TRUE(d.Create(5, 3, 24));
    const BITMAPINFOHEADER* h = d.Header();
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 5);
    EXPECT_EQ(h->biHeight, 3);  // positive: rows stored bottom-up
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, 24);
    EXPECT_EQ(h->biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h->biClrUsed, 0u);
    EXPECT_EQ(d.Stride(), 16u);  // 15 bytes padded to 16
    EXPECT_EQ(h->biSizeImage, 48u);
    EXPECT_EQ(d.Size(), 40u + 48u);
    EXPECT_EQ(d.Bits(), d.Data() + 40);
}

TEST(PackedDib, RowsAreFourByteAligned) {
    for (long w = 1; w <= 9; ++w) {
        EXPECT_EQ(PackedDib::StrideFor(w, 24) % 4, 0u) << w;
        EXPECT_GE(PackedDib::StrideFor(w, 24), static_cast<size_t>(w * 3)) << w;
        EXPECT_LT(PackedDib::StrideFor(w, 24), static_cast<size_t>(w * 3 + 4)) << w;
        EXPECT_EQ(PackedDib::StrideFor(w, 8) % 4, 0u) << w;
        EXPECT_LT(PackedDib::StrideFor(w, 8), static_cast<size_t>(w + 4)) << w;
    }
}

TEST(PackedDib, EightBitPictureCarriesAFullColourTable) {
    PackedDib d;
    ASSERT_TRUE(d.Create(3, 2, 8));
    EXPECT_EQ(d.Header()->biClrUsed, 256u);
    EXPECT_EQ(d.Stride(), 4u);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(d.Palette()), d.Data() + 40);
    EXPECT_EQ(d.Bits(), d.Data() + 40 + 1024);
    d.Palette()[7] = Rgb(1, 2, 3);
    d.Row(1)[2] = 7;
    EXPECT_TRUE(testutil::SameColour(d.PixelColor(2, 1), Rgb(1, 2, 3)));
}

TEST(PackedDib, RefusesImpossibleSizesAndDepths) {
    PackedDib d;
    EXPECT_FALSE(d.Create(0, 5, 24));
    EXPECT_FALSE(d.Create(5, -1, 24));
    EXPECT_FALSE(d.Create(pixels::kMaxSide + 1, 1, 24));
    EXPECT_FALSE(d.Create(20000, 20000, 24));  // above the pixel limit
    EXPECT_FALSE(d.Create(4, 4, 16));
    EXPECT_FALSE(d.IsValid());
    EXPECT_EQ(d.Width(), 0);
}
