#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "image/dib_view.h"

namespace {

std::vector<uint8_t> Dib(const BITMAPINFOHEADER& header, size_t extra) {
    std::vector<uint8_t> dib(sizeof header + extra, 0);
    std::memcpy(dib.data(), &header, sizeof header);
    return dib;
}

BITMAPINFOHEADER Header(long w, long h, int bits) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    return header;
}

}  // namespace

TEST(DibView, FindsTheRowsBehindTheColourTableInBothOrders) {
    BITMAPINFOHEADER header = Header(3, 2, 8);
    header.biClrUsed = 2;
    const auto dib = Dib(header, 2 * 4 + 2 * 4);
    pixels::DibView view;
    ASSERT_TRUE(pixels::DibView::Read(dib.data(), view));
    EXPECT_EQ(3, view.width);
    EXPECT_EQ(2, view.height);
    EXPECT_EQ(4u, view.stride);
    EXPECT_EQ(2u, view.paletteEntries);
    EXPECT_EQ(dib.data() + 40 + 8, view.rows);
    EXPECT_EQ(view.rows + 4, view.TopDownRow(0));  // bottom-up: the top row is stored last

    header = Header(3, -2, 24);
    const auto topDown = Dib(header, 2 * 12);
    ASSERT_TRUE(pixels::DibView::Read(topDown.data(), view));
    EXPECT_TRUE(view.topDown);
    EXPECT_EQ(0u, view.paletteEntries);
    EXPECT_EQ(12u, view.stride);
    EXPECT_EQ(view.rows, view.TopDownRow(0));

    header = Header(2, 2, 8);  // no colour count: all 256
    const auto full = Dib(header, 256 * 4 + 2 * 4);
    ASSERT_TRUE(pixels::DibView::Read(full.data(), view));
    EXPECT_EQ(256u, view.paletteEntries);
    EXPECT_EQ(full.data() + 40 + 1024, view.rows);
}

TEST(DibView, RefusesWhatIsNoPlainPictureOfASaneSize) {
    pixels::DibView view;
    EXPECT_FALSE(pixels::DibView::Read(nullptr, view));
    auto refused = [&view](BITMAPINFOHEADER header) {
        const auto dib = Dib(header, 0);
        return !pixels::DibView::Read(dib.data(), view);
    };
    EXPECT_TRUE(refused(Header(4, 4, 32)));
    EXPECT_TRUE(refused(Header(4, 4, 4)));
    EXPECT_TRUE(refused(Header(0, 4, 24)));
    EXPECT_TRUE(refused(Header(4, 0, 24)));
    EXPECT_TRUE(refused(Header(32768, 1, 24)));
    EXPECT_TRUE(refused(Header(1, -32768, 24)));
    EXPECT_TRUE(refused(Header(8192, 8193, 24)));  // more than 64 M pixels
    EXPECT_TRUE(refused(Header(4, INT_MIN, 24)));  // its negation does not fit in 32 bits
    BITMAPINFOHEADER header = Header(4, 4, 8);
    header.biClrUsed = 257;
    EXPECT_TRUE(refused(header));
    header = Header(4, 4, 24);
    header.biCompression = 1;  // run-length coded
    EXPECT_TRUE(refused(header));
    header = Header(4, 4, 24);
    header.biSize = 12;  // OS/2 1.x core header
    EXPECT_TRUE(refused(header));
}

TEST(DibView, ViewOfAPackedDibUsesItsWholeTable) {
    pixels::PackedDib dib;
    ASSERT_TRUE(dib.Create(5, 3, 8));
    dib.Header()->biClrUsed = 16;  // the picture keeps its 256 entries regardless
    const pixels::DibView view = pixels::DibView::Of(dib);
    EXPECT_EQ(dib.Bits(), view.rows);
    EXPECT_EQ(dib.Palette(), view.palette);
    EXPECT_EQ(256u, view.paletteEntries);
    EXPECT_EQ(dib.Row(2), view.TopDownRow(0));
    EXPECT_EQ(nullptr, pixels::DibView::Of(pixels::PackedDib()).rows);
}
