// The GIF optimiser entry against the real gifsicle of the host (under Wine): colour counts and
// the grey palette checked with an independent decoder (Pillow), paths with blanks, Chinese and
// shell characters, and the failures: no gifsicle, bad inputs, a gifsicle that fails or writes
// garbage, a gifsicle that hangs. The output appears only on success.
#include <gtest/gtest.h>

#include <cstdio>

#include "gif/gd.h"
#include "gif/gif_frames.h"
#include "recorder/gif_optimizer.h"
#include "recorder/host_process.h"
#include "tests/recorder/host_test_util.h"

namespace {

constexpr int kFrames = 3;

// Three 64 x 48 frames over one global table of 256 distinct, strongly coloured entries.
std::vector<unsigned char> ColourfulGif()
{
    gdImageOwner image(gdImageCreate(64, 48));
    for (int i = 0; i < 256; ++i)
        gdImageColorAllocate(image.get(), (i * 37) % 256, (i * 91 + 40) % 256, 255 - (i * 13) % 256);
    std::vector<unsigned char> gif;
    auto append = [&gif](void* block, int size) {
        std::unique_ptr<void, gdBlockDeleter> owner(block);
        const unsigned char* bytes = static_cast<const unsigned char*>(block);
        gif.insert(gif.end(), bytes, bytes + size);
    };
    int size = 0;
    void* header = gdImageGifAnimBeginPtr(image.get(), &size, 1, 0);
    append(header, size);
    for (int k = 0; k < kFrames; ++k) {
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                image->pixels[y * 64 + x] = static_cast<unsigned char>((x * 4 + y * 5 + k * 17) % 256);
        void* frame = gdImageGifAnimAddPtr(image.get(), &size, 0, 0, 0, 10, gdDisposalNone, nullptr);
        append(frame, size);
    }
    void* trailer = gdImageGifAnimEndPtr(&size);
    append(trailer, size);
    return gif;
}

// Frames and colours as Pillow sees them, all frames composed and converted to RGB.
struct GifStats {
    int frames = -1;
    int colours = -1;
    bool grey = false;
};

const char kStatsScript[] =
    "import sys\n"
    "from PIL import Image, ImageSequence\n"
    "im = Image.open(sys.argv[1])\n"
    "cols = set(); n = 0\n"
    "for fr in ImageSequence.Iterator(im):\n"
    "    n += 1\n"
    "    cols |= set(c for _, c in fr.convert('RGB').getcolors(1 << 24))\n"
    "grey = all(r == g == b for r, g, b in cols)\n"
    "open(sys.argv[2], 'w').write('%d %d %d' % (n, len(cols), 1 if grey else 0))\n";

class GifOptimizer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HostProgramsAvailable())
            GTEST_SKIP() << "needs the host's gifsicle (Wine)";
        ASSERT_TRUE(folder.Valid());
        input = folder.File(L"输入 动画.gif");
        output = folder.File(L"输出 结果.gif");
        original = ColourfulGif();
        ASSERT_TRUE(WriteWholeFile(input, original));
        ::SetEnvironmentVariableW(L"KELVO_GIFSICLE", nullptr);
    }

    GifStats StatsOf(const std::wstring& gif)
    {
        GifStats stats;
        const std::wstring report = folder.File(L"stats.txt");
        ProgramRunResult run = RunHostProgram({"/usr/bin/python3", "-c", kStatsScript,
                                               HostPathFromWindowsPath(gif.c_str()),
                                               HostPathFromWindowsPath(report.c_str())},
                                              60000);
        EXPECT_EQ(run.status, ProgramRunStatus::Exited);
        EXPECT_EQ(run.exitCode, 0) << "python3 with PIL must be installed";
        std::vector<unsigned char> text = ReadWholeFile(report);
        text.push_back(0);
        int grey = 0;
        if (std::sscanf(reinterpret_cast<const char*>(text.data()), "%d %d %d", &stats.frames, &stats.colours,
                        &grey) == 3)
            stats.grey = grey != 0;
        ::DeleteFileW(report.c_str());
        return stats;
    }

    // A stand-in for gifsicle: a host shell script in the scratch folder.
    GifsicleSetup FakeGifsicle(const std::string& body, DWORD timeoutMs = 60000)
    {
        const std::wstring script = folder.File(L"fake gifsicle.sh");
        EXPECT_TRUE(WriteWholeFile(script, "#!/bin/sh\n" + body + "\n"));
        const std::string hostScript = HostPathFromWindowsPath(script.c_str());
        EXPECT_EQ(RunHostProgram({"chmod", "755", hostScript}, 10000).exitCode, 0);
        GifsicleSetup setup;
        // The host name is UTF-8; the setup holds it as UTF-16.
        int length = ::MultiByteToWideChar(CP_UTF8, 0, hostScript.c_str(), -1, nullptr, 0);
        setup.program.assign(length > 0 ? length : 1, L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, hostScript.c_str(), -1, &setup.program[0], length);
        setup.program.resize(length > 0 ? length - 1 : 0);
        setup.timeoutMs = timeoutMs;
        return setup;
    }

    // Failure leaves the input as it was and nothing else behind but the listed files.
    void ExpectCleanFailure(const std::vector<std::wstring>& expectedFiles)
    {
        EXPECT_FALSE(FileExists(output));
        EXPECT_EQ(ReadWholeFile(input), original);
        EXPECT_EQ(folder.Files(), expectedFiles);
    }

    ScratchFolder folder{L"kelvo 优化 测试"};
    std::wstring input;
    std::wstring output;
    std::vector<unsigned char> original;
};

TEST_F(GifOptimizer, InputHasManyColoursAndFrames)
{
    GifStats stats = StatsOf(input);
    EXPECT_EQ(stats.frames, kFrames);
    EXPECT_GT(stats.colours, 200);
    EXPECT_FALSE(stats.grey);
}

TEST_F(GifOptimizer, ColourCountGivesAtMostThatManyColours)
{
    for (int colours : {32, 16}) {
        ASSERT_EQ(OptimizeGifColors(colours, input.c_str(), output.c_str()), GifOptimizeOk);
        GifStats stats = StatsOf(output);
        EXPECT_EQ(stats.frames, kFrames);
        EXPECT_LE(stats.colours, colours);
        EXPECT_GT(stats.colours, 2);
        EXPECT_FALSE(stats.grey);
    }
    EXPECT_EQ(ReadWholeFile(input), original);
    EXPECT_EQ(folder.Files(), (std::vector<std::wstring>{L"输入 动画.gif", L"输出 结果.gif"}));
}

TEST_F(GifOptimizer, GreyGivesEqualRedGreenAndBlueEverywhere)
{
    ASSERT_EQ(OptimizeGifGray(64, input.c_str(), output.c_str()), GifOptimizeOk);
    GifStats stats = StatsOf(output);
    EXPECT_EQ(stats.frames, kFrames);
    EXPECT_TRUE(stats.grey);
    EXPECT_GT(stats.colours, 2);
}

TEST_F(GifOptimizer, ColourCallAfterGreyCallGivesColour)
{
    const std::wstring grey = folder.File(L"grey.gif");
    ASSERT_EQ(OptimizeGifGray(256, input.c_str(), grey.c_str()), GifOptimizeOk);
    ASSERT_TRUE(StatsOf(grey).grey);
    ASSERT_EQ(OptimizeGifColors(256, input.c_str(), output.c_str()), GifOptimizeOk);
    GifStats stats = StatsOf(output);
    EXPECT_FALSE(stats.grey);
    EXPECT_GT(stats.colours, 32);
}

TEST_F(GifOptimizer, PathsWithShellCharactersWork)
{
    const std::wstring oddInput = folder.File(L"it's $HOME & (1) `x` 中文 名.gif");
    const std::wstring oddOutput = folder.File(L"out; rm -rf 输出 [2].gif");
    ASSERT_TRUE(WriteWholeFile(oddInput, original));
    ASSERT_EQ(OptimizeGifColors(64, oddInput.c_str(), oddOutput.c_str()), GifOptimizeOk);
    GifStats stats = StatsOf(oddOutput);
    EXPECT_EQ(stats.frames, kFrames);
    EXPECT_LE(stats.colours, 64);
    // Relative paths are taken from the current folder.
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.File(L"").c_str()));
    const int relative = OptimizeGifColors(32, L"输入 动画.gif", L"相对.gif");
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(relative, GifOptimizeOk);
    EXPECT_TRUE(FileExists(folder.File(L"相对.gif")));
}

TEST_F(GifOptimizer, ExistingOutputIsReplacedOnlyOnSuccess)
{
    ASSERT_TRUE(WriteWholeFile(output, std::string("old output")));
    const std::wstring text = folder.File(L"not a gif.gif");
    ASSERT_TRUE(WriteWholeFile(text, std::string("just some text, not a picture\n")));
    EXPECT_EQ(OptimizeGifColors(32, text.c_str(), output.c_str()), GifOptimizeFailed);
    const std::vector<unsigned char> kept = ReadWholeFile(output);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old output");

    ASSERT_EQ(OptimizeGifColors(32, input.c_str(), output.c_str()), GifOptimizeOk);
    EXPECT_EQ(StatsOf(output).frames, kFrames);
}

TEST_F(GifOptimizer, MissingGifsicleIsReportedAsSuch)
{
    GifsicleSetup setup;
    setup.program = L"/nonexistent/gifsicle";
    EXPECT_EQ(OptimizeGif(32, false, input.c_str(), output.c_str(), setup), GifOptimizeNoProgram);
    setup.program = L"kelvo-no-such-gifsicle";
    EXPECT_EQ(OptimizeGif(32, true, input.c_str(), output.c_str(), setup), GifOptimizeNoProgram);
    // The environment variable reaches the two plain calls.
    ::SetEnvironmentVariableW(L"KELVO_GIFSICLE", L"/nonexistent/gifsicle");
    EXPECT_EQ(DefaultGifsicleSetup().program, L"/nonexistent/gifsicle");
    EXPECT_EQ(OptimizeGifColors(32, input.c_str(), output.c_str()), GifOptimizeNoProgram);
    EXPECT_EQ(OptimizeGifGray(32, input.c_str(), output.c_str()), GifOptimizeNoProgram);
    ::SetEnvironmentVariableW(L"KELVO_GIFSICLE", nullptr);
    EXPECT_EQ(DefaultGifsicleSetup().program, L"gifsicle");
    ExpectCleanFailure({L"输入 动画.gif"});
}

TEST_F(GifOptimizer, NonGifInputFails)
{
    const std::wstring text = folder.File(L"文本.gif");
    ASSERT_TRUE(WriteWholeFile(text, std::string("GIF? no, just text\n")));
    EXPECT_EQ(OptimizeGifColors(32, text.c_str(), output.c_str()), GifOptimizeFailed);
    EXPECT_EQ(OptimizeGifGray(32, text.c_str(), output.c_str()), GifOptimizeFailed);
    const std::wstring empty = folder.File(L"空.gif");
    ASSERT_TRUE(WriteWholeFile(empty, std::string()));
    EXPECT_EQ(OptimizeGifColors(32, empty.c_str(), output.c_str()), GifOptimizeFailed);
    EXPECT_EQ(OptimizeGifColors(32, folder.File(L"missing.gif").c_str(), output.c_str()), GifOptimizeFailed);
    ExpectCleanFailure({L"文本.gif", L"空.gif", L"输入 动画.gif"});
}

TEST_F(GifOptimizer, HeaderOnlyInputFailsThoughGifsicleExitsZero)
{
    // Signature, a 1 x 1 screen without a table, and the trailer: no image at all.
    const std::vector<unsigned char> headerOnly = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'};
    ASSERT_EQ(gifcodec::CountGifFrames(headerOnly.data(), headerOnly.size()), 0);
    const std::wstring header = folder.File(L"头部.gif");
    ASSERT_TRUE(WriteWholeFile(header, headerOnly));
    EXPECT_EQ(OptimizeGifColors(32, header.c_str(), output.c_str()), GifOptimizeFailed);
    ExpectCleanFailure({L"头部.gif", L"输入 动画.gif"});
}

TEST_F(GifOptimizer, SuccessNeedsExitZeroAndALoadableOutput)
{
    const std::string hostInput = HostPathFromWindowsPath(input.c_str());
    // A valid GIF written, but a failing exit status.
    GifsicleSetup failing = FakeGifsicle("for last; do :; done\ncp '" + hostInput + "' \"$last\"\nexit 1");
    EXPECT_EQ(OptimizeGif(32, false, input.c_str(), output.c_str(), failing), GifOptimizeFailed);
    // Exit status 0 with garbage, or with a GIF cut short, written.
    GifsicleSetup garbage = FakeGifsicle("for last; do :; done\necho garbage > \"$last\"\nexit 0");
    EXPECT_EQ(OptimizeGif(32, false, input.c_str(), output.c_str(), garbage), GifOptimizeFailed);
    GifsicleSetup truncated = FakeGifsicle("for last; do :; done\nhead -c 100 '" + hostInput + "' > \"$last\"");
    EXPECT_EQ(OptimizeGif(32, false, input.c_str(), output.c_str(), truncated), GifOptimizeFailed);
    // The same stand-in copying the whole GIF and exiting 0 passes: the checks are the reason.
    GifsicleSetup copying = FakeGifsicle("for last; do :; done\ncp '" + hostInput + "' \"$last\"");
    EXPECT_EQ(OptimizeGif(32, false, input.c_str(), output.c_str(), copying), GifOptimizeOk);
    EXPECT_EQ(ReadWholeFile(output), original);
}

TEST_F(GifOptimizer, HungGifsicleIsBoundedByTheTimeLimit)
{
    GifsicleSetup hung = FakeGifsicle("exec sleep 60", 1500);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(OptimizeGif(32, false, input.c_str(), output.c_str(), hung), GifOptimizeTimedOut);
    EXPECT_LT(::GetTickCount() - start, 12000u);
    ExpectCleanFailure({L"fake gifsicle.sh", L"输入 动画.gif"});
}

TEST_F(GifOptimizer, BadArgumentsAreRefusedBeforeAnythingRuns)
{
    EXPECT_EQ(OptimizeGifColors(1, input.c_str(), output.c_str()), GifOptimizeBadArguments);
    EXPECT_EQ(OptimizeGifColors(257, input.c_str(), output.c_str()), GifOptimizeBadArguments);
    EXPECT_EQ(OptimizeGifColors(32, nullptr, output.c_str()), GifOptimizeBadArguments);
    EXPECT_EQ(OptimizeGifColors(32, input.c_str(), L""), GifOptimizeBadArguments);
    // The output named as the input, also spelt differently.
    EXPECT_EQ(OptimizeGifColors(32, input.c_str(), input.c_str()), GifOptimizeBadArguments);
    std::wstring sameOtherCase = folder.File(L"输入 动画.GIF");
    EXPECT_EQ(OptimizeGifGray(32, input.c_str(), sameOtherCase.c_str()), GifOptimizeBadArguments);
    ExpectCleanFailure({L"输入 动画.gif"});
}

}  // namespace
