// The GIF pipeline against references: its whole file against the writer's steps done one by
// one with the libraries' calls, its pictures against an independent decoder (Python's imaging
// library), and the quantizer on many pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>

#include "gif/gd.h"
#include "image/pixel_ops.h"
#include "image/octree_quantizer.h"
#include "tests/capture/gif_pipeline_test_util.h"

namespace {

using pipeline_test::Encode;
using pipeline_test::MakeDib;
using pipeline_test::Rgb;

pixels::PackedDib AsPackedDib(const std::vector<uint8_t>& dib) {
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    pixels::PackedDib picture;
    EXPECT_TRUE(picture.Create(header->biWidth, header->biHeight, header->biBitCount));
    EXPECT_EQ(picture.Size(), dib.size());
    std::memcpy(picture.Data(), dib.data(), std::min(picture.Size(), dib.size()));
    return picture;
}

std::vector<uint8_t> Noise(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    return MakeDib(w, h, [&](int, int) {
        return Rgb{static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng())};
    });
}

// A screen-like picture: flat areas, a gradient, a few noisy pixels that move with `t`.
std::vector<uint8_t> Screen(int w, int h, int t) {
    return MakeDib(w, h, [=](int x, int y) {
        if (y < 8) return Rgb{0, 84, 166};
        if (x < w / 4) return Rgb{static_cast<uint8_t>(30 + y * 2), static_cast<uint8_t>(60 + x), 140};
        if ((x * 7 + y * 13 + t * 5) % 97 == 0) return Rgb{static_cast<uint8_t>(x * 9), static_cast<uint8_t>(y * 5), static_cast<uint8_t>(t * 40)};
        return ((x / 6 + y / 4 + t / 2) % 5 == 0) ? Rgb{0, 0, 0} : Rgb{250, 248, 235};
    });
}

// The writer's steps one by one: palette over all frames, each frame reduced by the image
// library, turned into a palette image and given the holder's palette, identical neighbours
// merged with the comparison, then the animation's blocks.
std::vector<uint8_t> LiteralWriter(const std::vector<std::vector<uint8_t>>& dibs, const std::vector<int>& delays,
                                   bool dither) {
    RGBQUAD table[256];
    std::memset(table, 0, sizeof table);
    COctreeQuantizer quantizer(256, 8);
    for (const auto& dib : dibs) quantizer.AddImage(dib.data());
    quantizer.FillPalette(table);
    gdImageOwner holder(gdImageCreate(1, 1));
    for (int i = 0; i < 256; ++i) gdImageColorAllocate(holder.get(), table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);

    struct Frame {
        gdImageOwner image;
        int delay;
    };
    std::vector<Frame> frames;
    for (size_t f = 0; f < dibs.size(); ++f) {
        pixels::PackedDib reduced;
        EXPECT_TRUE(pixels::ReduceToPalette(AsPackedDib(dibs[f]), table, 0, dither, reduced));
        const long w = reduced.Width(), h = reduced.Height();
        std::vector<uint8_t> topDown(static_cast<size_t>(w) * h);
        for (long y = 0; y < h; ++y) std::memcpy(&topDown[static_cast<size_t>(y) * w], reduced.Row(h - 1 - y), static_cast<size_t>(w));
        uint8_t rgb[256][3];
        for (int i = 0; i < 256; ++i) {
            rgb[i][0] = reduced.Palette()[i].rgbRed;
            rgb[i][1] = reduced.Palette()[i].rgbGreen;
            rgb[i][2] = reduced.Palette()[i].rgbBlue;
        }
        gdImageOwner im(gdImageCreateFromIndexed(static_cast<int>(w), static_cast<int>(h), topDown.data(), static_cast<size_t>(w), rgb, 256));
        gdImagePaletteCopy(im.get(), holder.get());
        frames.push_back(Frame{std::move(im), delays[f]});
    }
    for (size_t i = 1; i < frames.size();) {
        if (gdImageCompare(frames[i - 1].image.get(), frames[i].image.get()) == 0) {
            frames[i - 1].delay += frames[i].delay;
            frames.erase(frames.begin() + static_cast<ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    std::vector<uint8_t> file;
    auto append = [&](void* block, int size) {
        gdBlockOwner owner(block);
        const uint8_t* p = static_cast<const uint8_t*>(block);
        file.insert(file.end(), p, p + size);
    };
    int size = 0;
    void* block = gdImageGifAnimBeginPtr(frames[0].image.get(), &size, 1, 0);
    append(block, size);
    for (size_t i = 0; i < frames.size(); ++i) {
        block = gdImageGifAnimAddPtr(frames[i].image.get(), &size, 0, 0, 0, frames[i].delay, 1,
                                     i ? frames[i - 1].image.get() : nullptr);
        append(block, size);
    }
    block = gdImageGifAnimEndPtr(&size);
    append(block, size);
    return file;
}

TEST(GifPipelineReference, TheFileIsByteForByteTheWritersStepsDoneOneByOne) {
    std::vector<std::vector<uint8_t>> dibs;
    std::vector<int> delays;
    for (int t : {0, 0, 1, 2, 2, 2, 3, 1, 4}) {
        dibs.push_back(Screen(83, 47, t));
        delays.push_back(3 + t);
    }
    dibs.push_back(Noise(83, 47, 11));  // more than 256 colours: the palette must approximate
    delays.push_back(9);
    for (bool dither : {true, false}) {
        const auto ours = Encode(dibs, delays, dither);
        const auto literal = LiteralWriter(dibs, delays, dither);
        EXPECT_EQ(literal.size(), ours.size());
        EXPECT_TRUE(literal == ours) << (dither ? "dithered" : "plain");
    }
}

// Frames are reduced, compared and encoded on several threads while the calling thread merges
// and writes: whatever the number of threads, the file is today's, byte for byte, and the
// progress the same, reported on the calling thread. Gaps (frames that are no pictures) and a
// run whose delay needs continuation frames keep the thread counts in step too.
TEST(GifPipelineThreads, EveryThreadCountWritesTheSameBytesAsTheStepsDoneOneByOne) {
    const pipeline_test::Recording recording = pipeline_test::MovingSquare();
    const std::vector<uint8_t> literal = LiteralWriter(recording.dibs, recording.delays, true);
    // What the frames exercise: merged runs, and frames stored as a changed rectangle.
    const auto walked = pipeline_test::Walk(literal);
    ASSERT_EQ(24u, walked.frames.size());
    ASSERT_LT(walked.frames[3].width * walked.frames[3].height, 64 * 48 / 8);

    std::vector<gifpipeline::PipelineFrame> frames;
    for (size_t i = 0; i < recording.dibs.size(); ++i)
        frames.push_back({recording.dibs[i].data(), recording.delays[i]});
    // The same recording with gaps and a run lasting longer than one frame's delay field.
    std::vector<gifpipeline::PipelineFrame> gapped;
    const std::vector<uint8_t> small = MakeDib(4, 4, [](int, int) { return Rgb{9, 9, 9}; });
    for (size_t i = 0; i < recording.dibs.size(); ++i) {
        if (i == 4) gapped.push_back({nullptr, 5});
        if (i == 17) gapped.push_back({small.data(), 5});
        gapped.push_back({recording.dibs[i].data(), i >= 8 && i <= 11 ? 40000 : recording.delays[i]});
    }

    std::vector<uint8_t> gappedOne;
    std::vector<int> progressOne;
    for (int threads : {1, 2, 3, 8}) {
        SCOPED_TRACE(threads);
        gifpipeline::PipelineOptions options;
        options.threads = threads;
        std::vector<uint8_t> file;
        ASSERT_EQ(gifpipeline::PipelineResult::Written,
                  gifpipeline::WriteAnimatedGifToMemory(frames.data(), frames.size(), options, file));
        EXPECT_TRUE(file == literal);

        const std::thread::id caller = std::this_thread::get_id();
        std::vector<int> progress;
        bool elsewhere = false;
        std::vector<uint8_t> gappedFile;
        const gifpipeline::ProgressSink record = [&](int percent) {
            elsewhere = elsewhere || std::this_thread::get_id() != caller;
            progress.push_back(percent);
            return true;
        };
        ASSERT_EQ(gifpipeline::PipelineResult::Written, gifpipeline::WriteAnimatedGifToMemory(
                                                             gapped.data(), gapped.size(), options, gappedFile, record));
        EXPECT_FALSE(elsewhere);
        if (threads == 1) {
            gappedOne = gappedFile;
            progressOne = progress;
            // The long run continues in extra frames.
            ASSERT_EQ(26u, pipeline_test::Walk(gappedOne).frames.size());
        }
        EXPECT_TRUE(gappedFile == gappedOne);
        EXPECT_EQ(progressOne, progress);
    }
}

TEST(GifPipelineRoundTrip, PythonImagingLibraryDecodesTheFramesDelaysAndPixels) {
    const int w = 31, h = 17;  // odd sizes
    std::vector<std::vector<uint8_t>> rgb, dibs;
    std::vector<int> delays = {4, 4, 7, 12, 3};
    for (int t : {0, 0, 1, 2, 3}) {
        // At most a few dozen colours in all: the palette holds them exactly.
        rgb.push_back(pipeline_test::MakeRgb(w, h, [t](int x, int y) {
            return Rgb{static_cast<uint8_t>(((x + t) % 4) * 80), static_cast<uint8_t>((y % 3) * 100),
                       static_cast<uint8_t>(t * 60)};
        }));
        dibs.push_back(gifpipeline::PackRgbAsDib(rgb.back().data(), w, h, w * 3u));
    }
    const std::string path = pipeline_test::TempPath("kelvo_pipeline_pil.gif");
    pipeline_test::WriteFile(path, Encode(dibs, delays));
    std::vector<int> seenDelays;
    std::vector<std::vector<Rgb>> pictures;
    if (!pipeline_test::DecodeWithPil(path, seenDelays, pictures, w, h)) {
        std::remove(path.c_str());
        GTEST_SKIP() << "/usr/bin/python3 with PIL is not available";
    }
    std::remove(path.c_str());
    EXPECT_EQ((std::vector<int>{8, 7, 12, 3}), seenDelays);  // the first two merged
    ASSERT_EQ(4u, pictures.size());
    const size_t sources[4] = {0, 2, 3, 4};
    for (size_t f = 0; f < 4; ++f)
        for (size_t i = 0; i < pictures[f].size(); ++i) {
            const uint8_t* p = &rgb[sources[f]][i * 3];
            ASSERT_EQ((Rgb{p[0], p[1], p[2]}), pictures[f][i]) << "frame " << f << " pixel " << i;
        }
}

TEST(GifPipelineQuantizer, SeventySevenWhiteScreensStayWhite) {
    // 77 x 580 x 380 is about 17 million pixels of one colour.
    const auto white = MakeDib(580, 380, [](int, int) { return Rgb{255, 255, 255}; });
    std::vector<gifpipeline::PipelineFrame> frames(77, gifpipeline::PipelineFrame{white.data(), 5});
    std::vector<uint8_t> file;
    ASSERT_EQ(gifpipeline::PipelineResult::Written,
              gifpipeline::WriteAnimatedGifToMemory(frames.data(), frames.size(), gifpipeline::PipelineOptions(), file));
    const auto walked = pipeline_test::Walk(file);
    ASSERT_EQ(1u, walked.frames.size());
    EXPECT_EQ(77 * 5, walked.frames[0].delay);
    const auto pictures = pipeline_test::Compose(file);
    ASSERT_EQ(1u, pictures.size());
    for (const Rgb& c : pictures[0]) ASSERT_EQ((Rgb{255, 255, 255}), c);
}

}  // namespace
