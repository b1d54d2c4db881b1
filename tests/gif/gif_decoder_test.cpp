// gdImageCreateFromGifPtr on hand-made files: what it must read, and what it must refuse
// (the decoder faces files from anywhere).
#include <gtest/gtest.h>

#include "gif/gd.h"
#include "tests/gif/gif_test_support.h"

using giftest::Decode;
using giftest::GifFileBuilder;
using giftest::ImageData;
using giftest::PackCodes;
using giftest::Rgb;

namespace {

const std::vector<Rgb> kFour = {Rgb{0, 0, 0}, Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}};

// A well-formed two-frame file with extensions, used where a valid file is needed.
std::vector<uint8_t> ValidFile() {
    return GifFileBuilder(8, 6, kFour)
        .Loop(0)
        .Comment("hello")
        .Control(1, 10, -1)
        .Image(0, 0, 8, 6, giftest::RandomPixels(8, 6, 4, 1))
        .Control(1, 10, 2)
        .Image(2, 1, 3, 3, giftest::RandomPixels(3, 3, 4, 2), giftest::DistinctPalette(4, 3), true)
        .Trailer()
        .Data();
}

// 2x2 image data in 3-bit codes (minimum code size 2): clear 4, end 5.
std::vector<uint8_t> TinyFile(const std::vector<std::pair<uint32_t, int>>& codes, int minCodeSize = 2) {
    return GifFileBuilder(2, 2, kFour).RawImage(0, 0, 2, 2, 0x00, ImageData(minCodeSize, PackCodes(codes))).Trailer().Data();
}

}  // namespace

TEST(GifDecoder, FirstImageWithGlobalTable) {
    const std::vector<uint8_t> px = giftest::RandomPixels(8, 6, 4, 1);
    gdImageOwner im = Decode(ValidFile());
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->sx, 8);
    EXPECT_EQ(im->sy, 6);
    EXPECT_EQ(im->pixels, px);
    EXPECT_EQ(im->colorsTotal, 4);
    EXPECT_EQ(im->red[1], 255);
    EXPECT_EQ(im->green[2], 255);
    EXPECT_EQ(im->blue[3], 255);
    EXPECT_EQ(im->transparent, -1);
}

TEST(GifDecoder, LocalTableComesBeforeGlobal) {
    const auto local = giftest::DistinctPalette(7, 9);  // padded to 8 entries
    const std::vector<uint8_t> px = giftest::RandomPixels(5, 4, 7, 10);
    gdImageOwner im = Decode(GifFileBuilder(5, 4, kFour).Image(0, 0, 5, 4, px, local).Trailer().Data());
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->colorsTotal, 8);
    EXPECT_EQ(im->pixels, px);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(im->red[i], local[static_cast<size_t>(i)].r);
        EXPECT_EQ(im->green[i], local[static_cast<size_t>(i)].g);
        EXPECT_EQ(im->blue[i], local[static_cast<size_t>(i)].b);
    }
}

TEST(GifDecoder, FrameSizeNotScreenSize) {
    const std::vector<uint8_t> px = giftest::RandomPixels(3, 2, 4, 11);
    gdImageOwner im = Decode(GifFileBuilder(100, 100, kFour).Image(10, 20, 3, 2, px).Trailer().Data());
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->sx, 3);
    EXPECT_EQ(im->sy, 2);
    EXPECT_EQ(im->pixels, px);
}

TEST(GifDecoder, TransparencyFromControlExtension) {
    const std::vector<uint8_t> px = giftest::RandomPixels(4, 4, 4, 12);
    gdImageOwner im = Decode(GifFileBuilder(4, 4, kFour).Control(0, 0, 3).Image(0, 0, 4, 4, px).Trailer().Data());
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->transparent, 3);
    // A control extension without the transparency flag leaves none.
    im = Decode(GifFileBuilder(4, 4, kFour).Control(2, 50, -1).Image(0, 0, 4, 4, px).Trailer().Data());
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->transparent, -1);
}

TEST(GifDecoder, InterlacedRowsPutBackInPlace) {
    for (int h : {1, 2, 3, 4, 5, 8, 9, 17, 33}) {
        const std::vector<uint8_t> px = giftest::RandomPixels(7, h, 4, static_cast<uint32_t>(h));
        gdImageOwner im = Decode(GifFileBuilder(7, h, kFour).Image(0, 0, 7, h, px, {}, true).Trailer().Data());
        ASSERT_NE(im, nullptr) << h;
        EXPECT_EQ(im->pixels, px) << "height " << h;
        EXPECT_EQ(im->interlace, 1);
    }
}

TEST(GifDecoder, SkipsExtensionsAndAcceptsOldVersion) {
    const std::vector<uint8_t> px = giftest::RandomPixels(6, 3, 4, 13);
    const std::vector<uint8_t> file = GifFileBuilder(6, 3, kFour, "GIF87a")
                                          .Comment(std::string(600, 'x'))  // several sub-blocks
                                          .Loop(5)
                                          .PlainText()
                                          .Control(1, 4, 1)
                                          .Comment("between control and image")
                                          .Image(0, 0, 6, 3, px)
                                          .Trailer()
                                          .Data();
    gdImageOwner im = Decode(file);
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->pixels, px);
    EXPECT_EQ(im->transparent, 1);
}

TEST(GifDecoder, SmallCodeSizesAndOutOfTablePixels) {
    for (int mcs = 2; mcs <= 8; ++mcs) {
        const int colours = 1 << mcs;
        const std::vector<uint8_t> px = giftest::RandomPixels(33, 17, colours, static_cast<uint32_t>(mcs));
        // Two-entry global table: pixels above 1 show black.
        gdImageOwner im = Decode(GifFileBuilder(33, 17, {Rgb{1, 1, 1}, Rgb{2, 2, 2}}).Image(0, 0, 33, 17, px, {}, false, mcs).Trailer().Data());
        ASSERT_NE(im, nullptr) << mcs;
        EXPECT_EQ(im->pixels, px);
        EXPECT_EQ(im->colorsTotal, 2);
        EXPECT_EQ(im->red[1], 2);
        EXPECT_EQ(im->red[colours - 1], 0);
    }
}

TEST(GifDecoder, HandMadeCodeStreams) {
    // clear, 1, 2, 6 (= "1 2"), end: pixels 1 2 1 2.
    gdImageOwner im = Decode(TinyFile({{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 3}}));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->pixels, (std::vector<unsigned char>{1, 2, 1, 2}));
    // The code that is being defined (KwKwK): clear, 3, 6 (= "3 3"), then 7 would be "3 3 3"; 3 pixels used.
    im = Decode(TinyFile({{4, 3}, {3, 3}, {6, 3}, {0, 3}, {5, 3}}));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->pixels, (std::vector<unsigned char>{3, 3, 3, 0}));
    // Codes after the last pixel and a missing end code are ignored.
    im = Decode(TinyFile({{4, 3}, {1, 3}, {1, 3}, {1, 3}, {1, 4}, {2, 4}, {3, 4}}));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->pixels, (std::vector<unsigned char>{1, 1, 1, 1}));
    // No leading clear code, and a clear in the middle.
    im = Decode(TinyFile({{2, 3}, {2, 3}, {4, 3}, {0, 3}, {1, 3}, {5, 3}}));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->pixels, (std::vector<unsigned char>{2, 2, 0, 1}));
    // A string longer than the pixels left is cut.
    im = Decode(TinyFile({{4, 3}, {1, 3}, {1, 3}, {1, 3}, {6, 4}, {5, 4}}));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->pixels, (std::vector<unsigned char>{1, 1, 1, 1}));
}

TEST(GifDecoder, FullTableWithoutClearKeepsDecoding) {
    // Minimum code size 2: fill the table to 4096 entries with literal pairs, then keep
    // sending 12-bit codes without a clear (allowed: the table simply stops growing).
    std::vector<std::pair<uint32_t, int>> codes = {{4, 3}};
    std::vector<uint8_t> expect;
    uint32_t next = 6;
    int bits = 3;
    bool first = true;
    while (next < 4096) {
        codes.push_back({1, bits});
        expect.push_back(1);
        if (!first) {
            ++next;
            if (next == (1u << bits) && bits < 12) ++bits;
        }
        first = false;
    }
    codes.push_back({1, bits});  // decoder would add entry 4096: it must not
    expect.push_back(1);
    codes.push_back({2, 12});
    expect.push_back(2);
    codes.push_back({4095, 12});  // the last entry made, "1 1"
    const int w = static_cast<int>(expect.size()) + 2;
    const std::vector<uint8_t> file =
        GifFileBuilder(w, 1, kFour).RawImage(0, 0, w, 1, 0x00, ImageData(2, PackCodes(codes))).Trailer().Data();
    gdImageOwner im = Decode(file);
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(im->pixels.begin(), im->pixels.end() - 2), expect);
    EXPECT_EQ(im->pixels[static_cast<size_t>(w) - 2], 1);
    EXPECT_EQ(im->pixels[static_cast<size_t>(w) - 1], 1);
}

TEST(GifDecoderRefuses, BadCodes) {
    // A code beyond the next free code (6 is next; 7 is not defined).
    EXPECT_EQ(Decode(TinyFile({{4, 3}, {1, 3}, {7, 3}, {5, 3}})), nullptr);
    // The next free code right after a clear (no previous string).
    EXPECT_EQ(Decode(TinyFile({{4, 3}, {6, 3}, {5, 3}})), nullptr);
    // End code before the picture is complete.
    EXPECT_EQ(Decode(TinyFile({{4, 3}, {1, 3}, {5, 3}})), nullptr);
    // Data runs out before the picture is complete (two padding bits cannot hold a code).
    EXPECT_EQ(Decode(TinyFile({{4, 3}, {1, 3}})), nullptr);
    // Literal above 255 with a 9-bit minimum code size.
    EXPECT_EQ(Decode(TinyFile({{512, 10}, {300, 10}, {1, 10}, {1, 10}, {1, 10}, {513, 10}}, 9)), nullptr);
}

TEST(GifDecoderRefuses, CodeSizeOutOfRange) {
    EXPECT_EQ(Decode(TinyFile({{2, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}, {3, 2}}, 1)), nullptr);
    EXPECT_EQ(Decode(TinyFile({{1, 13}, {1, 13}, {1, 13}, {1, 13}}, 12)), nullptr);
    // 11 is still accepted (codes of 12 bits).
    gdImageOwner im = Decode(TinyFile({{2048, 12}, {1, 12}, {1, 12}, {1, 12}, {1, 12}, {2049, 12}}, 11));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->pixels, (std::vector<unsigned char>{1, 1, 1, 1}));
}

TEST(GifDecoderRefuses, EveryTruncation) {
    const std::vector<uint8_t> file = ValidFile();
    ASSERT_NE(Decode(file), nullptr);
    for (size_t n = 0; n < file.size(); ++n) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
        if (cut.empty()) cut.push_back(0);  // a size of zero is refused before any read anyway
        EXPECT_EQ(gdImageCreateFromGifPtr(static_cast<int>(n), cut.data()), nullptr) << "prefix " << n;
    }
}

TEST(GifDecoderRefuses, Garbage) {
    EXPECT_EQ(gdImageCreateFromGifPtr(0, nullptr), nullptr);
    uint8_t one = 'G';
    EXPECT_EQ(gdImageCreateFromGifPtr(1, &one), nullptr);
    EXPECT_EQ(gdImageCreateFromGifPtr(-5, &one), nullptr);
    std::vector<uint8_t> file = ValidFile();
    file[3] = '9';
    file[4] = '0';  // "GIF90a"
    EXPECT_EQ(Decode(file), nullptr);
    giftest::Lcg rng(5);
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> noise(static_cast<size_t>(1 + rng.Below(2000)));
        for (uint8_t& b : noise) b = static_cast<uint8_t>(rng.Next());
        EXPECT_EQ(Decode(noise), nullptr);
        // With a real header in front the noise must still be refused or decoded safely.
        std::vector<uint8_t> headed(file.begin(), file.begin() + 13 + 12);
        headed[3] = '8';
        headed[4] = '9';
        for (uint8_t b : noise) headed.push_back(b);
        gdImageOwner im = Decode(headed);
        (void)im;
    }
}

TEST(GifDecoderRefuses, StructuralFaults) {
    const std::vector<uint8_t> px(4, 1);
    // Unknown block introducer after the image.
    EXPECT_EQ(Decode(GifFileBuilder(2, 2, kFour).Image(0, 0, 2, 2, px).Bytes({0x99}).Trailer().Data()), nullptr);
    // No trailer.
    EXPECT_EQ(Decode(GifFileBuilder(2, 2, kFour).Image(0, 0, 2, 2, px).Data()), nullptr);
    // Trailer before any image.
    EXPECT_EQ(Decode(GifFileBuilder(2, 2, kFour).Trailer().Image(0, 0, 2, 2, px).Trailer().Data()), nullptr);
    // No colour table at all.
    EXPECT_EQ(Decode(GifFileBuilder(2, 2, {}).Image(0, 0, 2, 2, px).Trailer().Data()), nullptr);
    // Zero width.
    EXPECT_EQ(Decode(GifFileBuilder(2, 2, kFour).RawImage(0, 0, 0, 2, 0, ImageData(2, PackCodes({{4, 3}, {5, 3}}))).Trailer().Data()), nullptr);
    // A second image that is cut short spoils the file.
    std::vector<uint8_t> two = GifFileBuilder(2, 2, kFour).Image(0, 0, 2, 2, px).Data();
    two.insert(two.end(), {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x00, 0x02, 0x05, 1, 2});
    EXPECT_EQ(Decode(two), nullptr);
}

TEST(GifDecoderRefuses, ColourTableLargerThanTheFile) {
    // Global table of 256 entries announced, 12 bytes present.
    std::vector<uint8_t> f = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0xF7, 0, 0};
    f.insert(f.end(), 12, 0);
    EXPECT_EQ(Decode(f), nullptr);
    // Local table of 256 entries announced on a small image.
    EXPECT_EQ(Decode(GifFileBuilder(2, 2, kFour).RawImage(0, 0, 2, 2, 0x87, {2, 1, 0x44, 0}).Trailer().Data()), nullptr);
}

TEST(GifDecoderRefuses, OversizedImages) {
    const std::vector<uint8_t> data = ImageData(2, PackCodes({{4, 3}, {1, 3}, {5, 3}}));
    // Sides above the limit.
    EXPECT_EQ(Decode(GifFileBuilder(1, 1, kFour).RawImage(0, 0, 65535, 1, 0, data).Trailer().Data()), nullptr);
    EXPECT_EQ(Decode(GifFileBuilder(1, 1, kFour).RawImage(0, 0, 1, gdMaxImageSide + 1, 0, data).Trailer().Data()), nullptr);
    // Within the side limit but over the area limit.
    EXPECT_EQ(Decode(GifFileBuilder(1, 1, kFour).RawImage(0, 0, 16384, 8192, 0, data).Trailer().Data()), nullptr);
    // Allowed size, but far too little data for it: refused before the picture is made.
    EXPECT_EQ(Decode(GifFileBuilder(1, 1, kFour).RawImage(0, 0, 8000, 8000, 0, data).Trailer().Data()), nullptr);
}

TEST(GifDecoderRefuses, ResultOfEveryByteFlipIsSafe) {
    // Not a promise of refusal: flipped files may still be valid. Every one must be handled,
    // and a decoded picture must have the file's first-image size.
    const std::vector<uint8_t> file = ValidFile();
    for (size_t i = 0; i < file.size(); ++i) {
        for (uint8_t mask : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> bad = file;
            bad[i] = static_cast<uint8_t>(bad[i] ^ mask);
            gdImageOwner im = Decode(bad);
            if (im) {
                EXPECT_EQ(im->pixels.size(), static_cast<size_t>(im->sx) * static_cast<size_t>(im->sy));
            }
        }
    }
}
