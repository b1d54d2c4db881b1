// The animated-GIF blocks: exact layout, loop block, frame differences, and that what we
// write decodes back to the same pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gif/gd.h"
#include "gif/gif_frames.h"
#include "tests/gif/gif_test_support.h"

using giftest::EncodeAnimation;
using giftest::EncodeSingle;
using giftest::GifFileBuilder;
using giftest::MakeImage;
using giftest::Rgb;

namespace {

std::vector<uint8_t> Block(void* block, int size) {
    gdBlockOwner owner(block);
    if (!block) return {};
    const uint8_t* p = static_cast<const uint8_t*>(block);
    return std::vector<uint8_t>(p, p + size);
}

std::vector<uint8_t> Header(gdImagePtr im, int globalCM, int loops) {
    int size = -1;
    void* b = gdImageGifAnimBeginPtr(im, &size, globalCM, loops);
    return Block(b, size);
}

std::vector<uint8_t> Frame(gdImagePtr im, int delay, gdImagePtr prev, int localCM = 0, int left = 0, int top = 0,
                           int disposal = gdDisposalNone) {
    int size = -1;
    void* b = gdImageGifAnimAddPtr(im, &size, localCM, left, top, delay, disposal, prev);
    return Block(b, size);
}

struct Descriptor {
    int left, top, width, height, flags;
};

// The image descriptor of a frame block (after its 8-byte graphic control extension).
Descriptor FrameDescriptor(const std::vector<uint8_t>& frame) {
    EXPECT_GE(frame.size(), 18u);
    EXPECT_EQ(frame[8], 0x2C);
    auto le = [&](size_t i) { return frame[i] | (frame[i + 1] << 8); };
    return Descriptor{le(9), le(11), le(13), le(15), frame[17]};
}

}  // namespace

TEST(GifWriterLayout, OneFrameFileHasFullTableLoopBlockAndNineBitCodes) {
    // 3 x 2, all pixels index 1; two colours allocated.
    const std::vector<uint8_t> px(6, 1);
    gdImageOwner im = MakeImage(3, 2, px, {Rgb{255, 0, 0}, Rgb{0, 255, 0}});
    std::vector<uint8_t> file = EncodeAnimation({im.get()}, {0x0102}, 0, false);

    std::vector<uint8_t> expected = {'G', 'I', 'F', '8', '9', 'a', 3, 0, 2, 0, 0xF7, 0x00, 0x00};
    std::vector<uint8_t> table(768, 0);
    table[0] = 255;
    table[4] = 255;
    expected.insert(expected.end(), table.begin(), table.end());
    const uint8_t loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01, 0, 0, 0};
    expected.insert(expected.end(), loop, loop + sizeof loop);
    const uint8_t control[] = {0x21, 0xF9, 0x04, 0x04, 0x02, 0x01, 0xFF, 0x00};
    expected.insert(expected.end(), control, control + sizeof control);
    const uint8_t descriptor[] = {0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0x00};
    expected.insert(expected.end(), descriptor, descriptor + sizeof descriptor);
    // Codes (9 bits each): clear 256, 1, 258 ("1 1"), 259 ("1 1 1"), end 257.
    const uint8_t data[] = {0x08, 0x06, 0x00, 0x03, 0x08, 0x1C, 0x18, 0x10, 0x00};
    expected.insert(expected.end(), data, data + sizeof data);
    expected.push_back(0x3B);

    EXPECT_EQ(file, expected);
}

TEST(GifWriterLayout, SinglePixelImageData) {
    gdImageOwner im = MakeImage(1, 1, {5}, giftest::DistinctPalette(6, 1));
    const std::vector<uint8_t> frame = Frame(im.get(), 0, nullptr);
    // clear 256, literal 5, end 257 at 9 bits = 27 bits in 4 bytes.
    const std::vector<uint8_t> data(frame.begin() + 18, frame.end());
    EXPECT_EQ(data, (std::vector<uint8_t>{0x08, 0x04, 0x00, 0x0B, 0x04, 0x04, 0x00}));
}

TEST(GifWriterLayout, LoopValues) {
    gdImageOwner im = MakeImage(2, 2, {0, 0, 0, 0}, {Rgb{1, 2, 3}});
    const std::vector<uint8_t> forever = Header(im.get(), 1, 0);
    const std::vector<uint8_t> three = Header(im.get(), 1, 3);
    const std::vector<uint8_t> none = Header(im.get(), 1, -1);
    ASSERT_EQ(forever.size(), 13u + 768u + 19u);
    ASSERT_EQ(three.size(), 13u + 768u + 19u);
    EXPECT_EQ(forever[797], 0);
    EXPECT_EQ(forever[798], 0);
    EXPECT_EQ(three[797], 3);
    EXPECT_EQ(three[798], 0);
    EXPECT_EQ(0, std::memcmp(&three[781], "\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16));
    // No loop block at all: the header ends with the colour table.
    EXPECT_EQ(none.size(), 13u + 768u);
    EXPECT_EQ(std::vector<uint8_t>(none.begin(), none.begin() + 781), std::vector<uint8_t>(forever.begin(), forever.begin() + 781));
}

TEST(GifWriterLayout, GlobalTableHoldsThePaletteThenBlack) {
    gdImageOwner im(gdImageCreate(4, 3));
    ASSERT_NE(im, nullptr);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(gdImageColorAllocate(im.get(), 10 + i, 20 + i, 30 + i), i);
    const std::vector<uint8_t> header = Header(im.get(), 1, 0);
    ASSERT_EQ(header.size(), 800u);
    EXPECT_EQ(header[6], 4);
    EXPECT_EQ(header[8], 3);
    for (int i = 0; i < 256; ++i) {
        const uint8_t* c = &header[13 + 3 * i];
        if (i < 5) {
            EXPECT_EQ(c[0], 10 + i);
            EXPECT_EQ(c[1], 20 + i);
            EXPECT_EQ(c[2], 30 + i);
        } else {
            EXPECT_TRUE(c[0] == 0 && c[1] == 0 && c[2] == 0) << "entry " << i;
        }
    }
}

TEST(GifWriterLayout, ControlExtensionCarriesDisposalDelayAndTransparency) {
    gdImageOwner im = MakeImage(2, 1, {0, 1}, {Rgb{0, 0, 0}, Rgb{9, 9, 9}});
    std::vector<uint8_t> f = Frame(im.get(), 1234, nullptr, 0, 0, 0, gdDisposalRestoreBackground);
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 8),
              (std::vector<uint8_t>{0x21, 0xF9, 0x04, 2 << 2, 1234 & 0xFF, 1234 >> 8, 0xFF, 0x00}));
    im->transparent = 1;
    f = Frame(im.get(), 7, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 8),
              (std::vector<uint8_t>{0x21, 0xF9, 0x04, (1 << 2) | 1, 7, 0, 1, 0x00}));
}

TEST(GifWriterLayout, LocalTableAndOffsets) {
    gdImageOwner im = MakeImage(2, 1, {0, 1}, {Rgb{4, 5, 6}, Rgb{7, 8, 9}});
    const std::vector<uint8_t> f = Frame(im.get(), 0, nullptr, 1, 30, 40);
    const Descriptor d = FrameDescriptor(f);
    EXPECT_EQ(d.left, 30);
    EXPECT_EQ(d.top, 40);
    EXPECT_EQ(d.flags, 0x87);
    ASSERT_GT(f.size(), 18u + 768u);
    EXPECT_EQ(f[18], 4);
    EXPECT_EQ(f[23], 9);
    EXPECT_EQ(f[24], 0);
    EXPECT_EQ(f[18 + 768], 8);  // LZW minimum code size follows the table
}

TEST(GifWriterLayout, TrailerBlock) {
    int size = 0;
    void* block = gdImageGifAnimEndPtr(&size);
    const std::vector<uint8_t> end = Block(block, size);
    EXPECT_EQ(end, std::vector<uint8_t>{0x3B});
}

TEST(GifWriterLayout, NullImageGivesNoBlock) {
    int size = 99;
    EXPECT_EQ(gdImageGifAnimBeginPtr(nullptr, &size, 1, 0), nullptr);
    EXPECT_EQ(size, 0);
    size = 99;
    EXPECT_EQ(gdImageGifAnimAddPtr(nullptr, &size, 0, 0, 0, 1, 1, nullptr), nullptr);
    EXPECT_EQ(size, 0);
}

TEST(GifWriterDiff, OnePixelChangeGivesThatPixel) {
    const auto palette = giftest::DistinctPalette(16, 3);
    std::vector<uint8_t> a = giftest::RandomPixels(37, 23, 16, 4);
    std::vector<uint8_t> b = a;
    b[static_cast<size_t>(17) * 37 + 29] = static_cast<uint8_t>((a[17 * 37 + 29] + 1) % 16);
    gdImageOwner ia = MakeImage(37, 23, a, palette);
    gdImageOwner ib = MakeImage(37, 23, b, palette);
    const std::vector<uint8_t> f = Frame(ib.get(), 5, ia.get());
    const Descriptor d = FrameDescriptor(f);
    EXPECT_EQ(d.left, 29);
    EXPECT_EQ(d.top, 17);
    EXPECT_EQ(d.width, 1);
    EXPECT_EQ(d.height, 1);
}

TEST(GifWriterDiff, RectangleSpansAllChangesAndAddsOffsets) {
    const auto palette = giftest::DistinctPalette(8, 5);
    std::vector<uint8_t> a(50 * 40, 2);
    std::vector<uint8_t> b = a;
    b[5 * 50 + 40] = 3;   // (40, 5)
    b[30 * 50 + 7] = 4;   // (7, 30)
    b[12 * 50 + 20] = 5;  // inside
    gdImageOwner ia = MakeImage(50, 40, a, palette);
    gdImageOwner ib = MakeImage(50, 40, b, palette);
    const Descriptor d = FrameDescriptor(Frame(ib.get(), 5, ia.get(), 0, 100, 200));
    EXPECT_EQ(d.left, 107);
    EXPECT_EQ(d.top, 205);
    EXPECT_EQ(d.width, 34);
    EXPECT_EQ(d.height, 26);
}

TEST(GifWriterDiff, ChangedIndexWithSameColourIsNotAChange) {
    // Entries 1 and 2 are the same colour: swapping them changes no pixel's look.
    const std::vector<Rgb> palette = {Rgb{0, 0, 0}, Rgb{50, 60, 70}, Rgb{50, 60, 70}, Rgb{200, 0, 0}};
    std::vector<uint8_t> a(10 * 10, 1);
    std::vector<uint8_t> b(10 * 10, 2);
    b[3 * 10 + 6] = 3;
    gdImageOwner ia = MakeImage(10, 10, a, palette);
    gdImageOwner ib = MakeImage(10, 10, b, palette);
    const Descriptor d = FrameDescriptor(Frame(ib.get(), 5, ia.get()));
    EXPECT_EQ(d.left, 6);
    EXPECT_EQ(d.top, 3);
    EXPECT_EQ(d.width, 1);
    EXPECT_EQ(d.height, 1);
}

TEST(GifWriterDiff, DifferentPalettesAreComparedByColour) {
    // Same picture, palette order reversed in the second image.
    const std::vector<Rgb> p1 = {Rgb{1, 1, 1}, Rgb{2, 2, 2}};
    const std::vector<Rgb> p2 = {Rgb{2, 2, 2}, Rgb{1, 1, 1}};
    std::vector<uint8_t> a = {0, 1, 0, 1, 1, 0};
    std::vector<uint8_t> b = {1, 0, 1, 0, 0, 0};  // only the last pixel shows another colour
    gdImageOwner ia = MakeImage(3, 2, a, p1);
    gdImageOwner ib = MakeImage(3, 2, b, p2);
    const Descriptor d = FrameDescriptor(Frame(ib.get(), 5, ia.get()));
    EXPECT_EQ(d.left, 2);
    EXPECT_EQ(d.top, 1);
    EXPECT_EQ(d.width, 1);
    EXPECT_EQ(d.height, 1);
}

TEST(GifWriterDiff, NothingChangedGivesOnePixelAtOrigin) {
    const auto palette = giftest::DistinctPalette(4, 6);
    const std::vector<uint8_t> a = giftest::RandomPixels(9, 7, 4, 7);
    gdImageOwner ia = MakeImage(9, 7, a, palette);
    gdImageOwner ib = MakeImage(9, 7, a, palette);
    const std::vector<uint8_t> f = Frame(ib.get(), 33, ia.get());
    const Descriptor d = FrameDescriptor(f);
    EXPECT_EQ(d.left, 0);
    EXPECT_EQ(d.top, 0);
    EXPECT_EQ(d.width, 1);
    EXPECT_EQ(d.height, 1);
    EXPECT_EQ(f[4], 33);  // the delay survives
}

TEST(GifWriterDiff, SizeMismatchStoresTheWholeFrame) {
    const auto palette = giftest::DistinctPalette(4, 6);
    gdImageOwner ia = MakeImage(5, 5, std::vector<uint8_t>(25, 0), palette);
    gdImageOwner ib = MakeImage(6, 4, std::vector<uint8_t>(24, 0), palette);
    const Descriptor d = FrameDescriptor(Frame(ib.get(), 5, ia.get()));
    EXPECT_EQ(d.left, 0);
    EXPECT_EQ(d.top, 0);
    EXPECT_EQ(d.width, 6);
    EXPECT_EQ(d.height, 4);
}

// Round trips through our own decoder; the independent decoders check the same in the tools test.
class GifRoundTrip : public ::testing::Test {
protected:
    static void Check(int w, int h, int colours, uint32_t seed) {
        const auto palette = giftest::DistinctPalette(colours, seed);
        const std::vector<uint8_t> px = giftest::RandomPixels(w, h, colours, seed + 1);
        gdImageOwner im = MakeImage(w, h, px, palette);
        const std::vector<uint8_t> file = EncodeSingle(im.get());
        gdImageOwner back = giftest::Decode(file);
        ASSERT_NE(back, nullptr) << w << "x" << h << " colours " << colours;
        ASSERT_EQ(back->sx, w);
        ASSERT_EQ(back->sy, h);
        EXPECT_EQ(back->pixels, px) << w << "x" << h << " colours " << colours;
        EXPECT_EQ(back->colorsTotal, 256);
        EXPECT_EQ(back->transparent, -1);
        EXPECT_EQ(gdImageCompare(im.get(), back.get()) & GD_CMP_IMAGE, 0);
    }
};

TEST_F(GifRoundTrip, OnePixel) { Check(1, 1, 1, 10); }
TEST_F(GifRoundTrip, OddWidths) {
    for (int w : {3, 7, 13, 61, 255, 257, 579}) Check(w, 5, 16, static_cast<uint32_t>(w));
}
TEST_F(GifRoundTrip, TwoColours) { Check(64, 48, 2, 20); }
TEST_F(GifRoundTrip, AllColours) { Check(256, 64, 256, 30); }
TEST_F(GifRoundTrip, NoiseForcesManyTableResets) { Check(640, 480, 256, 40); }
TEST_F(GifRoundTrip, FlatImageGrowsLongStrings) {
    gdImageOwner im = MakeImage(1000, 1000, std::vector<uint8_t>(1000000, 7), giftest::DistinctPalette(8, 1));
    const std::vector<uint8_t> file = EncodeSingle(im.get());
    EXPECT_LT(file.size(), 6000u);
    gdImageOwner back = giftest::Decode(file);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->pixels, im->pixels);
}

TEST_F(GifRoundTrip, EveryLengthUpToThreeCodeWidths) {
    // Lengths that end the data at every point of the code-width steps (512, 1024, 2048 entries).
    const auto palette = giftest::DistinctPalette(256, 50);
    const std::vector<uint8_t> all = giftest::RandomPixels(5000, 1, 256, 51);
    for (int n = 1; n <= 5000; n += (n < 2600 ? 1 : 7)) {
        std::vector<uint8_t> px(all.begin(), all.begin() + n);
        gdImageOwner im = MakeImage(n, 1, px, palette);
        gdImageOwner back = giftest::Decode(EncodeSingle(im.get()));
        ASSERT_NE(back, nullptr) << n;
        ASSERT_EQ(back->pixels, px) << n;
    }
}

// Reads the codes of a frame's image data the way a strict reader does (to the end code, at the
// width the decoder has reached by then) and says what it found: "ok", or the fault.
std::string StrictCodeWalk(const std::vector<uint8_t>& file, size_t pixels) {
    gifcodec::GifFrameWalker walker(file.data(), file.size());
    gifcodec::GifFrameBlock f;
    if (!walker.Next(&f)) return "no frame";
    std::vector<uint8_t> payload;
    for (size_t p = f.dataOffset; file[p] != 0; p += file[p] + 1u)
        payload.insert(payload.end(), file.begin() + static_cast<ptrdiff_t>(p + 1), file.begin() + static_cast<ptrdiff_t>(p + 1 + file[p]));
    const uint32_t clear = 1u << f.minCodeSize, end = clear + 1;
    uint32_t next = end + 1;
    int bits = f.minCodeSize + 1;
    std::vector<size_t> length(4096, 1);
    bool havePrev = false;
    uint32_t prev = 0;
    size_t done = 0, pos = 0, nbits = 0;
    uint64_t acc = 0;
    for (;;) {
        while (nbits < static_cast<size_t>(bits)) {
            if (pos >= payload.size()) return "data ends without an end code";
            acc |= static_cast<uint64_t>(payload[pos++]) << nbits;
            nbits += 8;
        }
        const uint32_t code = static_cast<uint32_t>(acc & ((1u << bits) - 1));
        acc >>= bits;
        nbits -= static_cast<size_t>(bits);
        if (code == clear) {
            next = end + 1;
            bits = f.minCodeSize + 1;
            havePrev = false;
            continue;
        }
        if (code == end) break;
        if (havePrev && next < 4096) {
            length[next] = length[prev] + 1;
            if (++next == (1u << bits) && bits < 12) ++bits;
        }
        if (code > next) return "bad code";
        done += length[code];
        prev = code;
        havePrev = true;
    }
    if (done != pixels) return "end code after " + std::to_string(done) + " of " + std::to_string(pixels) + " pixels";
    if (pos != payload.size()) return "bytes after the end code";
    return "ok";
}

TEST(GifWriterLzw, EndCodeAtTheWidthAStrictReaderExpects) {
    // Every length across the 512, 1024 and 2048 width steps, with long and short strings. Only
    // data ending right at a step, with the end code on a byte boundary, shows a width slip;
    // many seeds make sure some do.
    for (uint32_t seed = 0; seed < 24; ++seed) {
        const int colours = seed % 3 == 0 ? 3 : (seed % 3 == 1 ? 16 : 256);
        const auto palette = giftest::DistinctPalette(colours, 90 + seed);
        const std::vector<uint8_t> all = giftest::RandomPixels(9000, 1, colours, 91 + seed);
        for (int n = 1; n <= 9000; n += (n < 2600 ? 1 : 11)) {
            gdImageOwner im = MakeImage(n, 1, std::vector<uint8_t>(all.begin(), all.begin() + n), palette);
            ASSERT_EQ(StrictCodeWalk(EncodeSingle(im.get()), static_cast<size_t>(n)), "ok") << n << " pixels, " << colours << " colours";
        }
    }
}

TEST(GifAnimation, DiffFramesComposeToEveryFrame) {
    const auto palette = giftest::DistinctPalette(32, 60);
    std::vector<gdImageOwner> owners;
    std::vector<gdImagePtr> frames;
    std::vector<uint8_t> px = giftest::RandomPixels(40, 30, 32, 61);
    giftest::Lcg rng(62);
    for (int i = 0; i < 6; ++i) {
        if (i > 0 && i != 3) {  // frame 3 repeats frame 2
            const int x0 = rng.Below(40), y0 = rng.Below(30);
            const int w = 1 + rng.Below(40 - x0), h = 1 + rng.Below(30 - y0);
            for (int y = y0; y < y0 + h; ++y)
                for (int x = x0; x < x0 + w; ++x) px[static_cast<size_t>(y) * 40 + x] = static_cast<uint8_t>(rng.Below(32));
        }
        owners.push_back(MakeImage(40, 30, px, palette));
        frames.push_back(owners.back().get());
    }
    const std::vector<uint8_t> file = EncodeAnimation(frames, {1, 2, 3, 4, 5, 6}, 0, true);
    EXPECT_EQ(gifcodec::CountGifFrames(file.data(), file.size()), 6);

    // Compose each frame's rectangle over the previous result, as a reader does.
    gifcodec::GifFrameWalker walker(file.data(), file.size());
    std::vector<uint8_t> canvas(40 * 30, 0);
    gifcodec::GifFrameBlock fb;
    int index = 0;
    while (walker.Next(&fb)) {
        ASSERT_LT(index, 6);
        EXPECT_EQ(fb.delay, index + 1);
        EXPECT_EQ(fb.disposal, 1);
        // Decode the frame on its own: header + its blocks + trailer.
        std::vector<uint8_t> single(file.begin(), file.begin() + static_cast<ptrdiff_t>(walker.Screen().headerBytes));
        single.insert(single.end(), file.begin() + static_cast<ptrdiff_t>(fb.begin), file.begin() + static_cast<ptrdiff_t>(fb.end));
        single.push_back(0x3B);
        gdImageOwner part = giftest::Decode(single);
        ASSERT_NE(part, nullptr);
        for (int y = 0; y < fb.height; ++y)
            for (int x = 0; x < fb.width; ++x)
                canvas[static_cast<size_t>(fb.top + y) * 40 + fb.left + x] = part->pixels[static_cast<size_t>(y) * fb.width + x];
        EXPECT_EQ(canvas, frames[static_cast<size_t>(index)]->pixels) << "frame " << index;
        ++index;
    }
    EXPECT_EQ(index, 6);
    EXPECT_EQ(walker.State(), gifcodec::GifWalkState::Trailer);
}
