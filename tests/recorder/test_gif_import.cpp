// How much of a GIF an import takes: a long recording at full size comes in whole, and when
// frames must be left out the user is told how many of how many came in.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "app/recorder_app.h"
#include "capture/gif_frame_reader.h"
#include "recorder/recorder_dlg.h"
#include "res/resource.h"
#include "tests/gif/gif_file_builder.h"
#include "tests/recorder/main_window_test_util.h"
#include "tests/test_pump.h"

namespace {

// A terminal-like recording: one full picture of width x height, then frames that change a
// single pixel, so that the file stays small whatever the frame count.
std::vector<uint8_t> LongRecording(int width, int height, int frames)
{
    giftest::GifFileBuilder gif(width, height, giftest::DistinctPalette(16, 11));
    gif.Loop(0);
    gif.Control(1, 4, -1).Image(0, 0, width, height, giftest::RandomPixels(width, height, 16, 3));
    for (int i = 1; i < frames; ++i)
        gif.Control(1, 4, -1).Image(i % width, (i / width) % height, 1, 1, {static_cast<uint8_t>(i % 16)});
    return gif.Trailer().Data();
}

class GifImport : public MainWindowTest {
protected:
    void TearDown() override
    {
        CGifFrameReader::OverrideImportLimits(nullptr);
        MainWindowTest::TearDown();
    }

    void WriteGif(const std::vector<uint8_t>& bytes)
    {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        path = CString(folder) + L"kelvo 导入 测试.gif";
        files.push_back(path);
        FILE* f = _wfopen(path, L"wb");
        ASSERT_NE(nullptr, f);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }

    // After an import, the frames taken and the one message telling how many of how many.
    void ExpectPartial(int imported, int total)
    {
        EXPECT_EQ(imported, main->frameCount);
        EXPECT_EQ(imported, main->engine.GetFrameCount());
        CString text;
        text.Format(CString(MAKEINTRESOURCEW(IDS_IMPORT_PARTIAL)), imported, total);
        EXPECT_EQ(std::vector<CString>{text}, boxes);
        boxes.clear();
    }

    CString path;
};

TEST_F(GifImport, EightHundredFramesOf640By420ComeInWhole)
{
    // Snapshots alone take 800 x 0.8 MB: more than a fixed 512 MB budget allows.
    WriteGif(LongRecording(640, 420, 800));
    ASSERT_TRUE(main->LoadGifFile(path));
    EXPECT_EQ(800, main->frameCount);
    ASSERT_EQ(800, main->engine.GetFrameCount());
    EXPECT_EQ(640u, main->engine.GetFrameImage(800)->GetWidth());
    EXPECT_EQ(420u, main->engine.GetFrameImage(800)->GetHeight());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(GifImport, FramesLeftOutAreCountedInAMessage)
{
    WriteGif(LongRecording(64, 48, 40));
    // Past the frame limit.
    gifimport::GifReadLimits limits = CGifFrameReader::ImportLimits();
    limits.maxFrames = 30;
    CGifFrameReader::OverrideImportLimits(&limits);
    ASSERT_TRUE(main->LoadGifFile(path));
    ExpectPartial(30, 40);

    // Past the memory budget: each frame costs a 64 x 48 snapshot at 3 bytes a pixel and its
    // picture at 4; room for 12 of them.
    limits = CGifFrameReader::ImportLimits();
    limits.memoryBudget = 12 * (64 * 48 * 3) + 64 * 48 * 4 + 11 * 4;
    CGifFrameReader::OverrideImportLimits(&limits);
    ASSERT_TRUE(main->LoadGifFile(path));
    ExpectPartial(12, 40);
}

}  // namespace
