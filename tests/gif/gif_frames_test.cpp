// The frame walker and counter over hand-made and written files.
#include <gtest/gtest.h>

#include "gif/gd.h"
#include "gif/gif_frames.h"
#include "tests/gif/gif_test_support.h"

using gifcodec::CountGifFrames;
using gifcodec::GifFrameBlock;
using gifcodec::GifFrameWalker;
using gifcodec::GifWalkState;
using giftest::GifFileBuilder;
using giftest::Rgb;

namespace {

const std::vector<Rgb> kTwo = {Rgb{0, 0, 0}, Rgb{255, 255, 255}};

std::vector<uint8_t> ThreeFrames() {
    return GifFileBuilder(10, 8, kTwo)
        .Loop(0)
        .Control(1, 7, -1)
        .Image(0, 0, 10, 8, giftest::RandomPixels(10, 8, 2, 1))
        .Comment("two")
        .Control(2, 1500, 1)
        .Comment("inside")
        .Image(3, 2, 4, 5, giftest::RandomPixels(4, 5, 2, 2), giftest::DistinctPalette(3, 4), true)
        .Image(1, 1, 2, 2, giftest::RandomPixels(2, 2, 2, 3))
        .Trailer()
        .Data();
}

}  // namespace

TEST(GifFrameWalker, ReadsScreenAndEveryFrame) {
    const std::vector<uint8_t> file = ThreeFrames();
    GifFrameWalker walker(file.data(), file.size());
    ASSERT_TRUE(walker.HeaderValid());
    EXPECT_EQ(walker.Screen().width, 10);
    EXPECT_EQ(walker.Screen().height, 8);
    EXPECT_TRUE(walker.Screen().hasGlobalTable);
    EXPECT_EQ(walker.Screen().globalTableEntries, 2);
    EXPECT_EQ(walker.Screen().headerBytes, 19u);

    GifFrameBlock f;
    ASSERT_TRUE(walker.Next(&f));
    EXPECT_TRUE(f.hasControl);
    EXPECT_EQ(f.delay, 7);
    EXPECT_EQ(f.disposal, 1);
    EXPECT_EQ(f.transparentIndex, -1);
    EXPECT_EQ(f.width, 10);
    EXPECT_EQ(f.height, 8);
    EXPECT_EQ(file[f.begin], 0x21);
    EXPECT_EQ(file[f.begin + 1], 0xF9);
    EXPECT_EQ(file[f.descriptorOffset], 0x2C);
    EXPECT_EQ(f.minCodeSize, 8);
    const size_t firstEnd = f.end;

    ASSERT_TRUE(walker.Next(&f));
    EXPECT_EQ(f.delay, 1500);
    EXPECT_EQ(f.disposal, 2);
    EXPECT_EQ(f.transparentIndex, 1);
    EXPECT_EQ(f.left, 3);
    EXPECT_EQ(f.top, 2);
    EXPECT_TRUE(f.interlaced);
    EXPECT_TRUE(f.hasLocalTable);
    EXPECT_EQ(f.localTableEntries, 4);
    // The frame starts at its control extension, after the comment that precedes it, and
    // keeps the comment between the control extension and the image.
    EXPECT_GT(f.begin, firstEnd);
    EXPECT_EQ(file[f.begin + 1], 0xF9);
    EXPECT_GT(f.descriptorOffset, f.begin + 8);
    EXPECT_EQ(file[f.end - 1], 0x00);

    ASSERT_TRUE(walker.Next(&f));
    EXPECT_FALSE(f.hasControl);
    EXPECT_EQ(f.delay, 0);
    EXPECT_EQ(f.begin, f.descriptorOffset);
    EXPECT_EQ(file[f.end], 0x3B);

    EXPECT_FALSE(walker.Next(&f));
    EXPECT_EQ(walker.State(), GifWalkState::Trailer);
    EXPECT_FALSE(walker.Next(&f));
}

TEST(GifFrameWalker, CountsCompleteFramesOfACutFile) {
    const std::vector<uint8_t> file = ThreeFrames();
    EXPECT_EQ(CountGifFrames(file.data(), file.size()), 3);
    GifFrameWalker walker(file.data(), file.size());
    std::vector<size_t> ends;
    GifFrameBlock f;
    while (walker.Next(&f)) ends.push_back(f.end);
    ASSERT_EQ(ends.size(), 3u);
    // Every prefix counts the frames that end inside it, and never reads beyond it.
    for (size_t n = 0; n < file.size(); ++n) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
        int expected = 0;
        for (size_t e : ends) expected += e <= n ? 1 : 0;
        EXPECT_EQ(CountGifFrames(cut.data(), cut.size()), expected) << "prefix " << n;
        GifFrameWalker w(cut.data(), cut.size());
        while (w.Next(nullptr)) {
        }
        EXPECT_NE(w.State(), GifWalkState::Trailer);
    }
}

TEST(GifFrameWalker, PlainTextIsNotAFrameAndTakesItsControl) {
    const std::vector<uint8_t> file = GifFileBuilder(8, 8, kTwo)
                                          .Control(3, 99, 0)
                                          .PlainText()
                                          .Image(0, 0, 8, 8, std::vector<uint8_t>(64, 1))
                                          .Trailer()
                                          .Data();
    GifFrameWalker walker(file.data(), file.size());
    GifFrameBlock f;
    ASSERT_TRUE(walker.Next(&f));
    EXPECT_FALSE(f.hasControl);
    EXPECT_EQ(f.transparentIndex, -1);
    EXPECT_FALSE(walker.Next(&f));
    EXPECT_EQ(walker.State(), GifWalkState::Trailer);
}

TEST(GifFrameWalker, RefusesWhatIsNotAGif) {
    const uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CountGifFrames(png, sizeof png), 0);
    EXPECT_FALSE(GifFrameWalker(png, sizeof png).HeaderValid());
    EXPECT_EQ(CountGifFrames(nullptr, 100), 0);
    const uint8_t shortHeader[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0};
    GifFrameWalker w(shortHeader, sizeof shortHeader);
    EXPECT_FALSE(w.HeaderValid());
    EXPECT_EQ(w.State(), GifWalkState::Truncated);
    // An unknown block after the first frame stops the walk there.
    const std::vector<uint8_t> file = GifFileBuilder(2, 2, kTwo)
                                          .Image(0, 0, 2, 2, std::vector<uint8_t>(4, 1))
                                          .Bytes({0x00})
                                          .Image(0, 0, 2, 2, std::vector<uint8_t>(4, 1))
                                          .Trailer()
                                          .Data();
    GifFrameWalker m(file.data(), file.size());
    EXPECT_TRUE(m.Next(nullptr));
    EXPECT_FALSE(m.Next(nullptr));
    EXPECT_EQ(m.State(), GifWalkState::Malformed);
}

TEST(GifFrameWalker, CountsWrittenAnimation) {
    const auto pal = giftest::DistinctPalette(4, 9);
    gdImageOwner a = giftest::MakeImage(5, 5, giftest::RandomPixels(5, 5, 4, 1), pal);
    gdImageOwner b = giftest::MakeImage(5, 5, giftest::RandomPixels(5, 5, 4, 2), pal);
    const std::vector<uint8_t> file = giftest::EncodeAnimation({a.get(), b.get(), a.get(), a.get()}, {1, 2, 3, 4}, -1, true);
    EXPECT_EQ(CountGifFrames(file.data(), file.size()), 4);
}
