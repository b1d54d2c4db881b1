// The GIF pipeline's file: layout byte for byte, merging of identical neighbours, frame
// differences, long delays, play counts, progress and failures.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "tests/capture/gif_pipeline_test_util.h"

namespace {

using pipeline_test::Compose;
using pipeline_test::Encode;
using pipeline_test::MakeDib;
using pipeline_test::Rgb;
using pipeline_test::Walk;

const Rgb kRed{255, 0, 0}, kGreen{0, 160, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

std::vector<uint8_t> Solid(int w, int h, Rgb c) {
    return MakeDib(w, h, [c](int, int) { return c; });
}

// Three colours in stripes: picture "A"; "B" is the same with the stripes in another order.
std::vector<uint8_t> PictureA() {
    return MakeDib(9, 5, [](int x, int) { return x < 3 ? kRed : (x < 6 ? kGreen : kBlue); });
}
std::vector<uint8_t> PictureB() {
    return MakeDib(9, 5, [](int x, int) { return x < 3 ? kBlue : (x < 6 ? kRed : kGreen); });
}

int Le16(const std::vector<uint8_t>& f, size_t at) { return f.at(at) | (f.at(at + 1) << 8); }

TEST(GifPipelineLayout, OneFrameIsHeaderTableLoopBlockOneFullFrameAndTrailer) {
    const std::vector<uint8_t> file = Encode({PictureA()}, {7});
    ASSERT_GT(file.size(), 820u);
    EXPECT_EQ(0, std::memcmp(file.data(), "GIF89a", 6));
    EXPECT_EQ(9, Le16(file, 6));
    EXPECT_EQ(5, Le16(file, 8));
    EXPECT_EQ(0xF7, file[10]);
    EXPECT_EQ(0, file[11]);
    EXPECT_EQ(0, file[12]);

    // Global table: the picture's three colours first (in the quantizer's order), then black.
    std::vector<Rgb> table;
    for (int i = 0; i < 256; ++i) table.push_back(Rgb{file[13 + 3 * i], file[14 + 3 * i], file[15 + 3 * i]});
    for (const Rgb& c : {kRed, kGreen, kBlue})
        EXPECT_NE(table.begin() + 3, std::find(table.begin(), table.begin() + 3, c));
    for (int i = 3; i < 256; ++i) EXPECT_EQ((Rgb{0, 0, 0}), table[i]) << "entry " << i;

    const uint8_t loop[19] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P',
                              'E',  '2',  '.',  '0', 0x03, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(file.data() + 781, loop, sizeof loop));
    const uint8_t control[8] = {0x21, 0xF9, 0x04, 0x04, 7, 0, 0xFF, 0x00};
    EXPECT_EQ(0, std::memcmp(file.data() + 800, control, sizeof control));
    const uint8_t descriptor[10] = {0x2C, 0, 0, 0, 0, 9, 0, 5, 0, 0x00};
    EXPECT_EQ(0, std::memcmp(file.data() + 808, descriptor, sizeof descriptor));
    EXPECT_EQ(8, file[818]);  // LZW minimum code size
    EXPECT_EQ(0x3B, file.back());

    const auto walked = Walk(file);
    ASSERT_TRUE(walked.ok);
    ASSERT_EQ(1u, walked.frames.size());
    EXPECT_EQ(1, walked.frames[0].disposal);
    EXPECT_EQ(-1, walked.frames[0].transparentIndex);
    const auto pictures = Compose(file);
    ASSERT_EQ(1u, pictures.size());
    EXPECT_EQ(kRed, pictures[0][0]);
    EXPECT_EQ(kGreen, pictures[0][4]);
    EXPECT_EQ(kBlue, pictures[0][9 * 5 - 1]);
}

TEST(GifPipelineMerging, ThreeIdenticalFramesBecomeOneWithTheSummedDelay) {
    const auto walked = Walk(Encode({PictureA(), PictureA(), PictureA()}, {6, 6, 6}));
    ASSERT_TRUE(walked.ok);
    ASSERT_EQ(1u, walked.frames.size());
    EXPECT_EQ(18, walked.frames[0].delay);
}

TEST(GifPipelineMerging, RunsMergePairwiseAndARepeatAfterAChangeStays) {
    const auto file = Encode({PictureA(), PictureA(), PictureB(), PictureB(), PictureA()}, {1, 2, 3, 4, 5});
    const auto walked = Walk(file);
    ASSERT_TRUE(walked.ok);
    ASSERT_EQ(3u, walked.frames.size());
    EXPECT_EQ(3, walked.frames[0].delay);
    EXPECT_EQ(7, walked.frames[1].delay);
    EXPECT_EQ(5, walked.frames[2].delay);
    const auto pictures = Compose(file);
    ASSERT_EQ(3u, pictures.size());
    EXPECT_EQ(kRed, pictures[0][0]);
    EXPECT_EQ(kBlue, pictures[1][0]);
    EXPECT_EQ(kRed, pictures[2][0]);
}

TEST(GifPipelineDifference, OnePixelChangeIsStoredAsOnePixelAtItsPlace) {
    auto changed = MakeDib(9, 5, [](int x, int y) {
        if (x == 6 && y == 3) return kWhite;
        return x < 3 ? kRed : (x < 6 ? kGreen : kBlue);
    });
    const auto file = Encode({PictureA(), changed}, {10, 10});
    const auto walked = Walk(file);
    ASSERT_EQ(2u, walked.frames.size());
    const auto& second = walked.frames[1];
    EXPECT_EQ(6, second.left);
    EXPECT_EQ(3, second.top);
    EXPECT_EQ(1, second.width);
    EXPECT_EQ(1, second.height);
    const auto pictures = Compose(file);
    ASSERT_EQ(2u, pictures.size());
    EXPECT_EQ(kWhite, pictures[1][3 * 9 + 6]);
    EXPECT_EQ(kBlue, pictures[1][3 * 9 + 7]);
}

TEST(GifPipelineDifference, LaterFramesAreTheSmallestChangedRectangle) {
    auto moved = MakeDib(9, 5, [](int x, int y) {
        if (x >= 2 && x <= 4 && y >= 1 && y <= 2) return kWhite;
        return x < 3 ? kRed : (x < 6 ? kGreen : kBlue);
    });
    const auto walked = Walk(Encode({PictureA(), moved}, {10, 10}));
    ASSERT_EQ(2u, walked.frames.size());
    EXPECT_EQ(2, walked.frames[1].left);
    EXPECT_EQ(1, walked.frames[1].top);
    EXPECT_EQ(3, walked.frames[1].width);
    EXPECT_EQ(2, walked.frames[1].height);
}

TEST(GifPipelinePlayCount, PlayingOnceWritesNoLoopBlock) {
    const auto file = Encode({PictureA()}, {5}, true, 1);
    EXPECT_EQ(0x21, file.at(781));
    EXPECT_EQ(0xF9, file.at(782));  // the frame's control extension follows the table
    EXPECT_TRUE(Walk(file).ok);
}

TEST(GifPipelinePlayCount, PlayingThreeTimesLoopsTwice) {
    const auto file = Encode({PictureA()}, {5}, true, 3);
    EXPECT_EQ(0xFF, file.at(782));
    EXPECT_EQ(2, Le16(file, 797));
}

TEST(GifPipelineDelays, AMergedDelayAboveTheFieldContinuesInOnePixelFrames) {
    const auto file = Encode({PictureA(), PictureA(), PictureA(), PictureB()}, {30000, 30000, 30000, 4});
    const auto walked = Walk(file);
    ASSERT_TRUE(walked.ok);
    ASSERT_EQ(3u, walked.frames.size());
    EXPECT_EQ(65535, walked.frames[0].delay);
    EXPECT_EQ(24465, walked.frames[1].delay);
    EXPECT_EQ(0, walked.frames[1].left);
    EXPECT_EQ(0, walked.frames[1].top);
    EXPECT_EQ(1, walked.frames[1].width);
    EXPECT_EQ(1, walked.frames[1].height);
    EXPECT_EQ(4, walked.frames[2].delay);
    const auto pictures = Compose(file);
    ASSERT_EQ(3u, pictures.size());
    EXPECT_EQ(pictures[0], pictures[1]);  // the continuation changes nothing
    EXPECT_EQ(kBlue, pictures[2][0]);
}

TEST(GifPipelineDelays, OneFrameLongerThanTwoFieldsTakesThreeFrames) {
    const auto walked = Walk(Encode({PictureA()}, {2 * 65535 + 10}));
    ASSERT_EQ(3u, walked.frames.size());
    EXPECT_EQ(65535, walked.frames[0].delay);
    EXPECT_EQ(65535, walked.frames[1].delay);
    EXPECT_EQ(10, walked.frames[2].delay);
}

TEST(GifPipelineInput, AnEmptyListWritesNothing) {
    bool called = false;
    const gifpipeline::ByteSink sink = [&](const uint8_t*, size_t) { return called = true; };
    EXPECT_EQ(gifpipeline::PipelineResult::NoFrames,
              gifpipeline::WriteAnimatedGif(nullptr, 0, gifpipeline::PipelineOptions(), sink));
    EXPECT_FALSE(called);
}

TEST(GifPipelineInput, FramesThatAreNoPicturesAreLeftOut) {
    std::vector<uint8_t> garbage(64, 0x5A);
    const auto a = PictureA();
    const auto other = Solid(4, 4, kRed);  // another size than the first picture
    std::vector<gifpipeline::PipelineFrame> frames = {
        {nullptr, 3}, {garbage.data(), 3}, {a.data(), 8}, {other.data(), 9}};
    std::vector<uint8_t> out;
    ASSERT_EQ(gifpipeline::PipelineResult::Written,
              gifpipeline::WriteAnimatedGifToMemory(frames.data(), frames.size(), gifpipeline::PipelineOptions(), out));
    const auto walked = Walk(out);
    ASSERT_EQ(1u, walked.frames.size());
    EXPECT_EQ(9, walked.screen.width);
    EXPECT_EQ(8, walked.frames[0].delay);

    std::vector<gifpipeline::PipelineFrame> none = {{nullptr, 3}, {garbage.data(), 3}};
    EXPECT_EQ(gifpipeline::PipelineResult::NoFrames,
              gifpipeline::WriteAnimatedGifToMemory(none.data(), none.size(), gifpipeline::PipelineOptions(), out));
    EXPECT_TRUE(out.empty());
}

TEST(GifPipelineFailure, ARefusedWriteEndsTheRun) {
    const auto a = PictureA(), b = PictureB();
    std::vector<gifpipeline::PipelineFrame> frames = {{a.data(), 5}, {b.data(), 5}};
    int calls = 0;
    const gifpipeline::ByteSink sink = [&](const uint8_t*, size_t) { return ++calls < 2; };
    EXPECT_EQ(gifpipeline::PipelineResult::WriteFailed,
              gifpipeline::WriteAnimatedGif(frames.data(), frames.size(), gifpipeline::PipelineOptions(), sink));
    EXPECT_EQ(2, calls);
}

TEST(GifPipelineProgress, SevenFramesReportSixtyToNinetyThenNinetyFive) {
    std::vector<std::vector<uint8_t>> dibs;
    for (int i = 0; i < 7; ++i) dibs.push_back(Solid(3, 3, Rgb{static_cast<uint8_t>(i * 30), 0, 0}));
    std::vector<gifpipeline::PipelineFrame> frames;
    for (const auto& d : dibs) frames.push_back({d.data(), 5});
    std::vector<int> seen;
    std::vector<uint8_t> out;
    ASSERT_EQ(gifpipeline::PipelineResult::Written,
              gifpipeline::WriteAnimatedGifToMemory(frames.data(), frames.size(), gifpipeline::PipelineOptions(), out,
                                                    [&](int p) { seen.push_back(p); return true; }));
    EXPECT_EQ((std::vector<int>{60, 65, 70, 75, 80, 85, 90, 95}), seen);
}

TEST(GifPipelineProgress, ACancelFromTheProgressStopsTheRun) {
    const auto a = PictureA(), b = PictureB();
    std::vector<gifpipeline::PipelineFrame> frames = {{a.data(), 5}, {b.data(), 5}, {a.data(), 5}};
    std::vector<uint8_t> out;
    int calls = 0;
    EXPECT_EQ(gifpipeline::PipelineResult::Cancelled,
              gifpipeline::WriteAnimatedGifToMemory(frames.data(), frames.size(), gifpipeline::PipelineOptions(), out,
                                                    [&](int) { return ++calls < 2; }));
    EXPECT_EQ(2, calls);
    EXPECT_TRUE(out.empty());
}

TEST(GifPipelineProgress, ACancelWhileSeveralThreadsWorkWritesOnlyAWholePrefix) {
    const pipeline_test::Recording recording = pipeline_test::MovingSquare();
    std::vector<gifpipeline::PipelineFrame> frames;
    for (size_t i = 0; i < recording.dibs.size(); ++i)
        frames.push_back({recording.dibs[i].data(), recording.delays[i]});
    gifpipeline::PipelineOptions options;
    options.threads = 3;
    std::vector<uint8_t> whole;
    ASSERT_EQ(gifpipeline::PipelineResult::Written,
              gifpipeline::WriteAnimatedGifToMemory(frames.data(), frames.size(), options, whole));

    // Into a stream: what came before the cancel is the start of the whole file, in order, and
    // all of it was handed over on the calling thread.
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<uint8_t> streamed;
    bool elsewhere = false;
    const gifpipeline::ByteSink sink = [&](const uint8_t* data, size_t size) {
        elsewhere = elsewhere || std::this_thread::get_id() != caller;
        streamed.insert(streamed.end(), data, data + size);
        return true;
    };
    int calls = 0;
    EXPECT_EQ(gifpipeline::PipelineResult::Cancelled,
              gifpipeline::WriteAnimatedGif(frames.data(), frames.size(), options, sink,
                                            [&](int) { return ++calls < 15; }));
    EXPECT_FALSE(elsewhere);
    ASSERT_GT(streamed.size(), 800u);  // the header and some frames
    ASSERT_LT(streamed.size(), whole.size());
    EXPECT_TRUE(std::equal(streamed.begin(), streamed.end(), whole.begin()));
}

TEST(GifPipelineInput, PlainRgbBecomesABottomUpDib) {
    const uint8_t rgb[2 * 2 * 3] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const auto dib = gifpipeline::PackRgbAsDib(rgb, 2, 2, 6);
    ASSERT_EQ(40u + 2 * 8, dib.size());
    // Bottom row first, blue-green-red, rows padded to 4 bytes.
    const uint8_t rows[16] = {9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0};
    EXPECT_EQ(0, std::memcmp(dib.data() + 40, rows, sizeof rows));
    EXPECT_TRUE(gifpipeline::PackRgbAsDib(rgb, 0, 2, 6).empty());
    EXPECT_TRUE(gifpipeline::PackRgbAsDib(rgb, 3, 2, 6).empty());  // stride shorter than a row
}

}  // namespace
