// The import's block walk, frame streams, fitting and composition without Win32. Every input is
// placed right before an inaccessible page, so reading past its end faults.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "gif/gif_compose.h"
#include "tests/gif/gif_reader_test_util.h"

using gifimport::GifFit;
using gifimport::GifFrameGeometry;
using gifimport::GifLayout;
using gifimport::GifLayoutStatus;
using gifimport::GifMemoryReader;
using gifimport::GifReadLimits;
using gifimport::GifRgbCanvas;
using gifimport::Rgb;
using giftest::GifFileBuilder;
using readertest::GuardedBytes;
using readertest::Solid;
using readertest::TestPalette;

namespace {

const Rgb kFill{10, 20, 30};
const Rgb kBackground{200, 190, 180};
const Rgb kRed{255, 0, 0};
const Rgb kGreen{0, 255, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kYellow{255, 255, 0};

GifLayoutStatus Layout(const std::vector<uint8_t>& bytes, GifLayout* layout,
                       const GifReadLimits& limits = GifReadLimits()) {
    GuardedBytes guarded(bytes);
    return gifimport::ReadGifLayout(guarded.Data(), guarded.Size(), limits, layout);
}

std::vector<uint8_t> Header(int w, int h, bool globalTable = true) {
    return GifFileBuilder(w, h, globalTable ? TestPalette() : std::vector<giftest::Rgb>()).Data();
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The composed snapshots of a file, each with the geometry of its frame.
struct Composed {
    bool loaded = false;
    std::vector<GifRgbCanvas> pictures;
    std::vector<GifFrameGeometry> frames;
};

Composed ComposeAll(const std::vector<uint8_t>& bytes, const GifReadLimits& limits = GifReadLimits()) {
    GuardedBytes guarded(bytes);
    GifMemoryReader reader(kFill, kBackground);
    Composed out;
    out.loaded = reader.Load(guarded.Data(), guarded.Size(), limits);
    if (!out.loaded) return out;
    reader.Compose([&out](const GifFrameGeometry& frame, const GifRgbCanvas& canvas) {
        out.pictures.push_back(canvas);
        out.frames.push_back(frame);
        return true;
    });
    return out;
}

// ---- The block walk on hostile input -------------------------------------------------------

struct HostileCase {
    const char* name;
    std::vector<uint8_t> bytes;
    GifLayoutStatus status;
    size_t frames;
};

std::vector<HostileCase> HostileCases() {
    const std::vector<uint8_t> header = Header(8, 6);
    const std::vector<uint8_t> image = GifFileBuilder(8, 6, TestPalette()).Image(0, 0, 8, 6, Solid(8, 6, 1)).Data();
    const std::vector<uint8_t> imageOnly(image.begin() + static_cast<ptrdiff_t>(header.size()), image.end());
    auto cut = [](std::vector<uint8_t> v, size_t drop) {
        v.resize(v.size() - drop);
        return v;
    };
    std::vector<uint8_t> bigScreen = Header(65535, 65535);
    std::vector<uint8_t> zeroScreen = Header(0, 0);
    std::vector<uint8_t> wideScreen = Header(8193, 10);
    std::vector<uint8_t> control = {0x21, 0xF9, 0x04, 0x04, 10, 0, 0, 0};
    std::vector<uint8_t> descriptorWithLocalTable = {0x2C, 0, 0, 0, 0, 8, 0, 6, 0, 0x82};  // 8-entry table

    return {
        {"empty", {}, GifLayoutStatus::NotGif, 0},
        {"GIF alone", {'G', 'I', 'F'}, GifLayoutStatus::NotGif, 0},
        {"GIF89a alone", {'G', 'I', 'F', '8', '9', 'a'}, GifLayoutStatus::Truncated, 0},
        {"GIF87a alone", {'G', 'I', 'F', '8', '7', 'a'}, GifLayoutStatus::Truncated, 0},
        {"wrong version", {'G', 'I', 'F', '8', '8', 'a', 8, 0, 6, 0, 0, 0, 0, 0x3B}, GifLayoutStatus::NotGif, 0},
        {"not a GIF", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0, 0}, GifLayoutStatus::NotGif, 0},
        {"screen descriptor cut", cut(Header(8, 6, false), 1), GifLayoutStatus::Truncated, 0},
        {"global table cut", cut(header, 1), GifLayoutStatus::Truncated, 0},
        {"screen 0 x 0", Join(zeroScreen, imageOnly), GifLayoutStatus::BadScreen, 0},
        {"screen 65535 x 65535", Join(bigScreen, imageOnly), GifLayoutStatus::BadScreen, 0},
        {"screen wider than 8192", Join(wideScreen, imageOnly), GifLayoutStatus::BadScreen, 0},
        {"no block after the header", header, GifLayoutStatus::NoFrame, 0},
        {"trailer before any frame", Join(Join(header, {0x3B}), imageOnly), GifLayoutStatus::NoFrame, 0},
        {"unknown block before any frame", Join(Join(header, {0x77}), imageOnly), GifLayoutStatus::NoFrame, 0},
        {"comment chain without terminator", Join(header, {0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd'}), GifLayoutStatus::NoFrame, 0},
        {"comment length past the end", Join(header, {0x21, 0xFE, 200, 'a'}), GifLayoutStatus::NoFrame, 0},
        {"extension introducer alone", Join(header, {0x21}), GifLayoutStatus::NoFrame, 0},
        {"control extension cut", Join(header, {0x21, 0xF9, 0x04, 0x04, 10}), GifLayoutStatus::NoFrame, 0},
        {"control extension then the end", Join(header, control), GifLayoutStatus::NoFrame, 0},
        {"image descriptor cut", Join(header, {0x2C, 0, 0, 0, 0, 8, 0}), GifLayoutStatus::NoFrame, 0},
        {"local table cut", Join(Join(header, descriptorWithLocalTable), std::vector<uint8_t>(20, 0)), GifLayoutStatus::NoFrame, 0},
        {"LZW code size missing", Join(header, {0x2C, 0, 0, 0, 0, 8, 0, 6, 0, 0}), GifLayoutStatus::NoFrame, 0},
        {"image data without terminator", Join(header, {0x2C, 0, 0, 0, 0, 8, 0, 6, 0, 0, 8, 2, 0x44, 0x01}), GifLayoutStatus::NoFrame, 0},
        {"image data length past the end", Join(header, {0x2C, 0, 0, 0, 0, 8, 0, 6, 0, 0, 8, 250, 1, 2}), GifLayoutStatus::NoFrame, 0},
        {"image of width 0", Join(header, {0x2C, 0, 0, 0, 0, 0, 0, 6, 0, 0, 8, 1, 0, 0, 0x3B}), GifLayoutStatus::NoFrame, 0},
        {"LZW code size 12", Join(header, {0x2C, 0, 0, 0, 0, 8, 0, 6, 0, 0, 12, 1, 0, 0, 0x3B}), GifLayoutStatus::NoFrame, 0},
        {"plain-text first frame alone", GifFileBuilder(8, 6, TestPalette()).Control(0, 5, -1).PlainText().Trailer().Data(),
         GifLayoutStatus::NoFrame, 0},
        {"plain-text first frame, then an image",
         GifFileBuilder(8, 6, TestPalette()).Control(0, 5, -1).PlainText().Image(0, 0, 8, 6, Solid(8, 6, 1)).Trailer().Data(),
         GifLayoutStatus::Ok, 1},
        {"unknown extension label, then an image", Join(Join(header, {0x21, 0x42, 2, 'x', 'y', 0}), Join(imageOnly, {0x3B})),
         GifLayoutStatus::Ok, 1},
        {"image then unknown block", Join(Join(header, imageOnly), {0x99, 1, 2, 3}), GifLayoutStatus::Ok, 1},
        {"image then the end", Join(header, imageOnly), GifLayoutStatus::Ok, 1},
        {"largest screen allowed", Join(Header(8192, 1), imageOnly), GifLayoutStatus::Ok, 1},
    };
}

TEST(GifLayoutTest, HostileInputGivesFailureOrBoundedFrames) {
    for (const HostileCase& c : HostileCases()) {
        SCOPED_TRACE(c.name);
        GifLayout layout;
        EXPECT_EQ(c.status, Layout(c.bytes, &layout));
        EXPECT_EQ(c.frames, layout.frames.size());
        for (const auto& frame : layout.frames) {
            EXPECT_LE(frame.end, c.bytes.size());
            EXPECT_LT(frame.begin, frame.end);
        }
        // The native composition walks the same data without reading past it.
        GuardedBytes guarded(c.bytes);
        GifMemoryReader reader(kFill, kBackground);
        reader.Load(guarded.Data(), guarded.Size());
        reader.Compose([](const GifFrameGeometry&, const GifRgbCanvas&) { return true; });
    }
}

TEST(GifLayoutTest, FilesOverTheSizeLimitAreRefusedBeforeReading) {
    GifReadLimits limits;
    limits.maxFileBytes = 100;
    const std::vector<uint8_t> gif = readertest::ThreeFrameGif();
    ASSERT_GT(gif.size(), 100u);
    GifLayout layout;
    EXPECT_EQ(GifLayoutStatus::TooLarge, Layout(gif, &layout, limits));
    EXPECT_EQ(GifLayoutStatus::TooLarge, gifimport::ReadGifLayout(nullptr, (128ull << 20) + 1, GifReadLimits(), &layout));
    limits.maxFileBytes = gif.size();
    EXPECT_EQ(GifLayoutStatus::Ok, Layout(gif, &layout, limits));
}

TEST(GifLayoutTest, EveryCutOfAFileKeepsOnlyTheWholeFramesBeforeTheCut) {
    const std::vector<uint8_t> gif = readertest::ThreeFrameGif();
    GifLayout whole;
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(gif, &whole));
    ASSERT_EQ(3u, whole.frames.size());
    for (size_t size = 0; size <= gif.size(); ++size) {
        SCOPED_TRACE(size);
        const std::vector<uint8_t> part(gif.begin(), gif.begin() + static_cast<ptrdiff_t>(size));
        GifLayout layout;
        Layout(part, &layout);
        size_t complete = 0;
        for (const auto& frame : whole.frames) complete += frame.end <= size ? 1 : 0;
        EXPECT_EQ(complete, layout.frames.size());
        const Composed composed = ComposeAll(part);
        EXPECT_EQ(complete >= 2 ? complete : 0, composed.pictures.size());
    }
}

TEST(GifLayoutTest, FileCutInItsThirdFrameHasTwoAndCutInItsSecondHasOne) {
    const std::vector<uint8_t> gif = readertest::ThreeFrameGif();
    GifLayout whole;
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(gif, &whole));
    const size_t inThird = (whole.frames[2].begin + whole.frames[2].end) / 2;
    const size_t inSecond = (whole.frames[1].begin + whole.frames[1].end) / 2;
    GifLayout layout;
    Layout(std::vector<uint8_t>(gif.begin(), gif.begin() + static_cast<ptrdiff_t>(inThird)), &layout);
    EXPECT_EQ(2u, layout.framesFound);
    Layout(std::vector<uint8_t>(gif.begin(), gif.begin() + static_cast<ptrdiff_t>(inSecond)), &layout);
    EXPECT_EQ(1u, layout.framesFound);
}

TEST(GifLayoutTest, HundredThousandOnePixelFramesAreCutAtTheFrameLimit) {
    GifFileBuilder gif(1, 1, TestPalette());
    const std::vector<uint8_t> before = gif.Data();
    gif.Image(0, 0, 1, 1, {1});
    const std::vector<uint8_t> one(gif.Data().begin() + static_cast<ptrdiff_t>(before.size()), gif.Data().end());
    std::vector<uint8_t> bytes = before;
    bytes.reserve(before.size() + one.size() * 100000 + 1);
    for (int i = 0; i < 100000; ++i) bytes.insert(bytes.end(), one.begin(), one.end());
    bytes.push_back(0x3B);

    const auto start = std::chrono::steady_clock::now();
    GifLayout layout;
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(bytes, &layout));
    EXPECT_EQ(GifReadLimits().maxFrames, layout.frames.size());
    EXPECT_TRUE(layout.cut);
    const Composed composed = ComposeAll(bytes);
    EXPECT_EQ(GifReadLimits().maxFrames, composed.pictures.size());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(GifLayoutTest, MemoryBudgetEndsTheListCleanly) {
    // Each 100 x 100 frame on a 100 x 100 screen costs 30 000 (snapshot) + 40 000 (picture).
    GifFileBuilder gif(100, 100, TestPalette());
    for (int i = 0; i < 10; ++i) gif.Control(1, 4, -1).Image(0, 0, 100, 100, Solid(100, 100, static_cast<uint8_t>(i % 3)));
    const std::vector<uint8_t> bytes = gif.Trailer().Data();
    GifReadLimits limits;
    limits.memoryBudget = 7 * 70000 + 69999;
    GifLayout layout;
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(bytes, &layout, limits));
    EXPECT_EQ(7u, layout.frames.size());
    EXPECT_EQ(10u, layout.framesFound);
    EXPECT_TRUE(layout.cut);
    const Composed composed = ComposeAll(bytes, limits);
    ASSERT_TRUE(composed.loaded);
    EXPECT_EQ(7u, composed.pictures.size());
    limits.memoryBudget = 10 * 70000;
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(bytes, &layout, limits));
    EXPECT_EQ(10u, layout.frames.size());
    EXPECT_FALSE(layout.cut);
}

TEST(GifLayoutTest, NoFrameIsTakenAfterTheBudgetRanOut) {
    // 10 x 10 frames cost 300 + 400, the 1 x 1 frame 300 + 4: it would fit, but would follow a gap.
    const std::vector<uint8_t> bytes = GifFileBuilder(10, 10, TestPalette())
                                           .Image(0, 0, 10, 10, Solid(10, 10, 0))
                                           .Image(0, 0, 10, 10, Solid(10, 10, 1))
                                           .Image(0, 0, 10, 10, Solid(10, 10, 2))
                                           .Image(0, 0, 1, 1, Solid(1, 1, 0))
                                           .Trailer()
                                           .Data();
    GifReadLimits limits;
    limits.memoryBudget = 1800;
    GifLayout layout;
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(bytes, &layout, limits));
    EXPECT_EQ(2u, layout.frames.size());
    EXPECT_EQ(4u, layout.framesFound);
}

TEST(GifLayoutTest, FrameTooCostlyOnItsOwnIsLeftOutAndTheRestKept) {
    // The middle frame claims 60000 x 60000 pixels with a few bytes of data.
    const std::vector<uint8_t> bytes = GifFileBuilder(4, 4, TestPalette())
                                           .Image(0, 0, 4, 4, Solid(4, 4, 0))
                                           .RawImage(0, 0, 60000, 60000, 0, {2, 2, 0x4C, 0x01, 0})
                                           .Image(0, 0, 4, 4, Solid(4, 4, 1))
                                           .Trailer()
                                           .Data();
    GifLayout layout;
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(bytes, &layout));
    EXPECT_EQ(3u, layout.framesFound);
    ASSERT_EQ(2u, layout.frames.size());
    EXPECT_EQ(4, layout.frames[1].geometry.rect.width);
    EXPECT_TRUE(layout.cut);
}

TEST(GifLayoutTest, AGrownPictureHoldsTheFirstFrameWithinTheSideAndAreaLimits) {
    GifReadLimits limits;
    limits.growScreenToFirstFrame = true;
    limits.maxScreenSide = 100;
    limits.maxScreenArea = 2000;
    GifLayout layout;
    // A screen of 0 x 0 takes the first frame's size; later frames grow nothing.
    const std::vector<uint8_t> empty = GifFileBuilder(0, 0, TestPalette())
                                           .Image(0, 0, 3, 2, Solid(3, 2, 0))
                                           .Image(50, 50, 9, 9, Solid(9, 9, 1))
                                           .Trailer()
                                           .Data();
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(empty, &layout, limits));
    EXPECT_EQ(3, layout.screenWidth);
    EXPECT_EQ(2, layout.screenHeight);
    EXPECT_EQ(2u, layout.frames.size());
    // Grown only where the first frame reaches past the screen.
    const std::vector<uint8_t> wide =
        GifFileBuilder(10, 4, TestPalette()).Image(8, 1, 4, 5, Solid(4, 5, 0)).Trailer().Data();
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(wide, &layout, limits));
    EXPECT_EQ(12, layout.screenWidth);
    EXPECT_EQ(6, layout.screenHeight);
    // The limits hold for the grown picture: a side, then the area.
    const std::vector<uint8_t> tooFar =
        GifFileBuilder(10, 4, TestPalette()).Image(95, 0, 6, 1, Solid(6, 1, 0)).Trailer().Data();
    EXPECT_EQ(GifLayoutStatus::BadScreen, Layout(tooFar, &layout, limits));
    const std::vector<uint8_t> tooLarge =
        GifFileBuilder(10, 4, TestPalette()).Image(0, 0, 50, 41, Solid(50, 41, 0)).Trailer().Data();
    EXPECT_EQ(GifLayoutStatus::BadScreen, Layout(tooLarge, &layout, limits));
    limits.growScreenToFirstFrame = false;
    EXPECT_EQ(GifLayoutStatus::BadScreen, Layout(empty, &layout, limits));
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(wide, &layout, limits));
    EXPECT_EQ(10, layout.screenWidth);
}

TEST(GifLayoutTest, GeometryAndDelaysComeFromTheFile) {
    const std::vector<uint8_t> bytes = GifFileBuilder(40, 30, TestPalette())
                                           .Image(1, 2, 3, 4, Solid(3, 4, 0))
                                           .Control(2, 0, -1)
                                           .Image(5, 6, 7, 8, Solid(7, 8, 1))
                                           .Control(3, 1500, 2)
                                           .Image(0, 0, 40, 30, Solid(40, 30, 2))
                                           .Trailer()
                                           .Data();
    GifLayout layout;
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(bytes, &layout));
    ASSERT_EQ(3u, layout.frames.size());
    EXPECT_EQ(40, layout.screenWidth);
    EXPECT_EQ(30, layout.screenHeight);
    const auto& a = layout.frames[0].geometry;
    EXPECT_EQ(1, a.rect.left);
    EXPECT_EQ(2, a.rect.top);
    EXPECT_EQ(3, a.rect.width);
    EXPECT_EQ(4, a.rect.height);
    EXPECT_EQ(-1, a.delay);
    EXPECT_EQ(0, a.disposal);
    EXPECT_EQ(0, layout.frames[1].geometry.delay);
    EXPECT_EQ(2, layout.frames[1].geometry.disposal);
    EXPECT_EQ(1500, layout.frames[2].geometry.delay);
    EXPECT_EQ(3, layout.frames[2].geometry.disposal);
}

TEST(GifLayoutTest, MissingOrZeroDelayBecomesFiveAndOthersAreKept) {
    EXPECT_EQ(5, gifimport::ImportedDelay(-1));
    EXPECT_EQ(5, gifimport::ImportedDelay(0));
    EXPECT_EQ(1, gifimport::ImportedDelay(1));
    EXPECT_EQ(1500, gifimport::ImportedDelay(1500));
    EXPECT_EQ(65535, gifimport::ImportedDelay(65535));
}

// ---- Single-frame streams ------------------------------------------------------------------

TEST(GifFrameStreamTest, StreamHoldsHeaderFrameBlocksAndTrailer) {
    GifFileBuilder gif(8, 6, TestPalette());
    gif.Loop(0).Comment("before").Image(0, 0, 8, 6, Solid(8, 6, 0));
    const size_t secondBegin = gif.Data().size();
    gif.Control(1, 7, -1).Comment("between").Loop(3).Image(2, 1, 4, 3, Solid(4, 3, 1));
    const size_t secondEnd = gif.Data().size();
    gif.Comment("after").Trailer();
    const std::vector<uint8_t> bytes = gif.Data();

    GifLayout layout;
    ASSERT_EQ(GifLayoutStatus::Ok, Layout(bytes, &layout));
    ASSERT_EQ(2u, layout.frames.size());
    const size_t header = GifFileBuilder(8, 6, TestPalette()).Data().size();
    EXPECT_EQ(header, layout.headerBytes);
    EXPECT_EQ(secondBegin, layout.frames[1].begin);
    EXPECT_EQ(secondEnd, layout.frames[1].end);

    GuardedBytes guarded(bytes);
    const std::vector<uint8_t> stream = gifimport::FrameStream(guarded.Data(), layout, layout.frames[1]);
    std::vector<uint8_t> expected(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(header));
    expected.insert(expected.end(), bytes.begin() + static_cast<ptrdiff_t>(secondBegin),
                    bytes.begin() + static_cast<ptrdiff_t>(secondEnd));
    expected.push_back(0x3B);
    EXPECT_EQ(expected, stream);
    EXPECT_EQ(expected.size(), gifimport::FrameStreamSize(layout, layout.frames[1]));
    // The stream is a GIF of its own with exactly that frame.
    gdImageOwner picture(gdImageCreateFromGifPtr(static_cast<int>(stream.size()), const_cast<uint8_t*>(stream.data())));
    ASSERT_TRUE(picture);
    EXPECT_EQ(4, picture->sx);
    EXPECT_EQ(3, picture->sy);
    EXPECT_EQ(1, gdImagePalettePixel(picture.get(), 0, 0));
}

// ---- Fitting into a box --------------------------------------------------------------------

TEST(GifFitTest, ShrinksToFitAndCentres) {
    struct Case {
        int w, h, boxW, boxH;
        int fitW, fitH, dx, dy;
        bool resample;
    };
    const Case cases[] = {
        {400, 300, 200, 200, 200, 150, 0, -25, true},
        {100, 50, 200, 200, 100, 50, -50, -75, false},
        {1000, 1000, 580, 380, 380, 380, -100, 0, true},
        {200, 100, 580, 380, 200, 100, -190, -140, false},
        {800, 300, 580, 380, 580, 217, 0, -81, true},
        {580, 380, 580, 380, 580, 380, 0, 0, false},
        {8192, 1, 200, 200, 200, 1, 0, -99, true},
        {1, 8192, 200, 200, 1, 200, -99, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " into " + std::to_string(c.boxW) + "x" +
                     std::to_string(c.boxH));
        GifFit fit;
        ASSERT_TRUE(gifimport::FitIntoBox(c.w, c.h, c.boxW, c.boxH, &fit));
        EXPECT_EQ(c.fitW, fit.width);
        EXPECT_EQ(c.fitH, fit.height);
        EXPECT_EQ(c.dx, fit.offsetX);
        EXPECT_EQ(c.dy, fit.offsetY);
        EXPECT_EQ(c.resample, fit.resample);
    }
}

TEST(GifFitTest, ZeroSizesAreRefused) {
    GifFit fit;
    EXPECT_FALSE(gifimport::FitIntoBox(0, 10, 10, 10, &fit));
    EXPECT_FALSE(gifimport::FitIntoBox(10, 0, 10, 10, &fit));
    EXPECT_FALSE(gifimport::FitIntoBox(10, 10, 0, 10, &fit));
    EXPECT_FALSE(gifimport::FitIntoBox(10, 10, 10, 0, &fit));
    EXPECT_FALSE(gifimport::FitIntoBox(10, 10, -5, 10, &fit));
}

// ---- Composition ---------------------------------------------------------------------------

// Each case: a file and pixels of its snapshots that disposal, transparency and decoding decide.
struct Probe {
    size_t picture;
    int x, y;
    Rgb want;
};
struct DisposalCase {
    const char* name;
    std::vector<uint8_t> bytes;
    size_t pictures;
    std::vector<Probe> probes;
};

std::vector<DisposalCase> DisposalCases() {
    // A checker whose white (3) is the transparent index, over blue.
    std::vector<uint8_t> checker(16);
    for (size_t i = 0; i < checker.size(); ++i) checker[i] = (i + i / 4) % 2 ? 5 : 3;
    std::vector<Probe> checkerProbes = {{1, 0, 0, kBlue}};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) checkerProbes.push_back({1, x + 1, y + 1, (x + y) % 2 ? kYellow : kBlue});
    }
    // Alternate rows of an interlaced frame with its own colour table.
    const std::vector<giftest::Rgb> local = {{1, 2, 3}, {4, 5, 6}};
    std::vector<uint8_t> rows(5 * 9);
    std::vector<Probe> rowProbes;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 5; ++x) rows[static_cast<size_t>(y * 5 + x)] = static_cast<uint8_t>(y % 2);
        rowProbes.push_back({1, 2, y, y % 2 ? Rgb{4, 5, 6} : Rgb{1, 2, 3}});
    }
    return {
        {"disposal 1 keeps frames, the unpainted canvas shows the fill",
         GifFileBuilder(10, 8, TestPalette()).Control(1, 10, -1).Image(0, 0, 6, 8, Solid(6, 8, 0))
             .Control(1, 10, -1).Image(4, 2, 3, 3, Solid(3, 3, 2)).Trailer().Data(),
         2,
         {{0, 0, 0, kRed}, {0, 6, 0, kFill}, {0, 5, 3, kRed}, {1, 4, 2, kBlue}, {1, 6, 4, kBlue}, {1, 3, 3, kRed},
          {1, 7, 2, kFill}, {1, 9, 7, kFill}}},
        {"disposal 2 paints the background after the snapshot",
         GifFileBuilder(10, 8, TestPalette()).Control(1, 10, -1).Image(0, 0, 10, 8, Solid(10, 8, 0))
             .Control(2, 10, -1).Image(2, 2, 3, 3, Solid(3, 3, 1)).Control(1, 10, 4).Image(0, 0, 1, 1, {4})
             .Trailer().Data(),
         3,
         {{1, 2, 2, kGreen}, {1, 4, 4, kGreen}, {2, 2, 2, kBackground}, {2, 4, 4, kBackground}, {2, 5, 5, kRed},
          {2, 1, 2, kRed}, {2, 0, 0, kRed} /* transparent pixel of the last frame */}},
        {"disposal 3 restores what was under the frame",
         GifFileBuilder(10, 8, TestPalette()).Control(1, 10, -1).Image(0, 0, 10, 8, Solid(10, 8, 0))
             .Control(3, 10, -1).Image(3, 1, 4, 4, Solid(4, 4, 2)).Control(1, 10, -1).Image(8, 6, 2, 2, Solid(2, 2, 1))
             .Trailer().Data(),
         3,
         {{1, 3, 1, kBlue}, {1, 6, 4, kBlue}, {2, 3, 1, kRed}, {2, 6, 4, kRed}, {2, 9, 7, kGreen}}},
        {"disposal 3 over the edge restores the visible part",
         GifFileBuilder(10, 8, TestPalette()).Control(1, 10, -1).Image(0, 0, 10, 8, Solid(10, 8, 5))
             .Control(3, 10, -1).Image(7, 5, 6, 6, Solid(6, 6, 2)).Control(1, 10, 0).Image(0, 0, 1, 1, {0})
             .Trailer().Data(),
         3,
         {{1, 9, 7, kBlue}, {2, 9, 7, kYellow}, {2, 7, 5, kYellow}}},
        {"frames off the screen are clipped",
         GifFileBuilder(6, 4, TestPalette()).Control(2, 10, -1).Image(4, 2, 5, 5, Solid(5, 5, 1))
             .Control(3, 10, -1).Image(65000, 65000, 2, 2, Solid(2, 2, 2)).Trailer().Data(),
         2,
         {{0, 5, 3, kGreen}, {0, 3, 3, kFill}, {1, 5, 3, kBackground}}},
        {"transparent pixels leave the canvas alone",
         GifFileBuilder(6, 6, TestPalette()).Control(1, 10, -1).Image(0, 0, 6, 6, Solid(6, 6, 2))
             .Control(1, 10, 3).Image(1, 1, 4, 4, checker).Trailer().Data(),
         2, checkerProbes},
        {"interlaced frame with a local table",
         GifFileBuilder(5, 9, TestPalette()).Image(0, 0, 5, 9, Solid(5, 9, 0)).Image(0, 0, 5, 9, rows, local, true)
             .Trailer().Data(),
         2, rowProbes},
    };
}

TEST(GifComposeTest, DisposalTransparencyAndDecodingDecideTheSnapshots) {
    for (const DisposalCase& d : DisposalCases()) {
        SCOPED_TRACE(d.name);
        const Composed c = ComposeAll(d.bytes);
        ASSERT_TRUE(c.loaded);
        ASSERT_EQ(d.pictures, c.pictures.size());
        for (const Probe& p : d.probes) {
            EXPECT_EQ(p.want, c.pictures[p.picture].At(p.x, p.y)) << "picture " << p.picture << " at " << p.x << "," << p.y;
        }
    }
}

TEST(GifComposeTest, UndecodableFramesAreDroppedAndTheOthersComposed) {
    const std::vector<uint8_t> bytes = GifFileBuilder(4, 4, TestPalette())
                                           .Control(1, 11, -1)
                                           .Image(0, 0, 4, 4, Solid(4, 4, 0))
                                           .Control(1, 22, -1)
                                           .RawImage(0, 0, 4, 4, 0, {2, 1, 0x05, 0})  // ends after no pixel
                                           .Control(1, 33, -1)
                                           .Image(0, 0, 4, 4, Solid(4, 4, 1))
                                           .Trailer()
                                           .Data();
    const Composed c = ComposeAll(bytes);
    ASSERT_EQ(2u, c.pictures.size());
    EXPECT_EQ(11, c.frames[0].delay);
    EXPECT_EQ(33, c.frames[1].delay);
    EXPECT_EQ(kGreen, c.pictures[1].At(0, 0));
}

TEST(GifComposeTest, FileWhoseFramesAllFailToDecodeIsRefused) {
    const std::vector<uint8_t> bytes = GifFileBuilder(4, 4, TestPalette())
                                           .RawImage(0, 0, 4, 4, 0, {2, 1, 0x05, 0})
                                           .RawImage(0, 0, 4, 4, 0, {2, 1, 0x05, 0})
                                           .Trailer()
                                           .Data();
    EXPECT_FALSE(ComposeAll(bytes).loaded);
    // Without any colour table no frame can be shown.
    const std::vector<uint8_t> noTable = GifFileBuilder(4, 4, {})
                                             .Image(0, 0, 4, 4, Solid(4, 4, 0))
                                             .Image(0, 0, 4, 4, Solid(4, 4, 0))
                                             .Trailer()
                                             .Data();
    EXPECT_FALSE(ComposeAll(noTable).loaded);
}

TEST(GifComposeTest, StillGifLoadsButComposesNothing) {
    GuardedBytes guarded(readertest::OneFrameGif());
    GifMemoryReader reader(kFill, kBackground);
    ASSERT_TRUE(reader.Load(guarded.Data(), guarded.Size()));
    EXPECT_FALSE(reader.IsAnimated());
    EXPECT_EQ(0u, reader.FrameTotal());
    EXPECT_EQ(0u, reader.Compose([](const GifFrameGeometry&, const GifRgbCanvas&) { return true; }));
}

TEST(GifComposeTest, RefusedSnapshotStopsAndASecondRunHandsOutNothing) {
    GuardedBytes guarded(readertest::ThreeFrameGif());
    GifMemoryReader reader(kFill, kBackground);
    ASSERT_TRUE(reader.Load(guarded.Data(), guarded.Size()));
    EXPECT_EQ(3u, reader.FrameTotal());
    int calls = 0;
    EXPECT_EQ(1u, reader.Compose([&calls](const GifFrameGeometry&, const GifRgbCanvas&) { return ++calls < 2; }));
    EXPECT_TRUE(reader.StoppedEarly());
    EXPECT_EQ(1u, reader.Compose([](const GifFrameGeometry&, const GifRgbCanvas&) { return true; }));
    EXPECT_FALSE(reader.StoppedEarly());
    EXPECT_EQ(0u, reader.Compose([](const GifFrameGeometry&, const GifRgbCanvas&) { return true; }));
}

// ---- Real GIFs from ImageMagick and gifsicle, against Pillow -------------------------------

TEST(GifComposeTest, RealGifsMatchAnIndependentDecoder) {
    const std::vector<readertest::ReferenceGif> gifs = readertest::LoadReferenceGifs(READER_REFERENCE_DIR);
    ASSERT_GE(gifs.size(), 8u) << "reference GIFs missing in " << READER_REFERENCE_DIR;
    for (const readertest::ReferenceGif& ref : gifs) {
        SCOPED_TRACE(ref.name);
        const Composed c = ComposeAll(readertest::ReadBytes(ref.gifPath));
        ASSERT_TRUE(c.loaded);
        ASSERT_EQ(ref.frames.size(), c.pictures.size());
        for (size_t i = 0; i < ref.frames.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(ref.delays[i], gifimport::ImportedDelay(c.frames[i].delay));
            int wrong = 0;
            for (int y = 0; y < ref.height; ++y) {
                for (int x = 0; x < ref.width; ++x) {
                    const uint8_t* p = &ref.frames[i][static_cast<size_t>((y * ref.width + x) * 4)];
                    const Rgb want = p[3] == 1 ? kFill : p[3] == 2 ? kBackground : Rgb{p[0], p[1], p[2]};
                    wrong += c.pictures[i].At(x, y) != want ? 1 : 0;
                }
            }
            EXPECT_EQ(0, wrong);
        }
    }
}

}  // namespace
