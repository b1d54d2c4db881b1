// The engine's GIF writer on Windows: the file, its progress reports to the main window and
// its failures; the same bytes as the route through the image library's one-frame GIFs.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "gif/gd.h"
#include "gif/gif_frames.h"
#include "capture/file_util.h"
#include "image/octree_quantizer.h"
#include "tests/capture/engine_test_support.h"

namespace {

using engine_test::MakePicture;
using engine_test::MakeRecord;
using engine_test::ReportWindow;

// Owns the records handed to the writer.
struct Records {
    std::vector<std::unique_ptr<CxImage>> pictures;
    std::vector<std::unique_ptr<FrameRecord>> owned;
    std::vector<FrameRecord*> list;

    void Add(CxImage* picture, int delay) {
        pictures.emplace_back(picture);
        owned.emplace_back(new FrameRecord{picture, delay});
        list.push_back(owned.back().get());
    }
};

COLORREF Stripes(int x, int y, int t) {
    if ((x + t) % 11 < 3) return RGB(200, 30, 30);
    if ((y * 3 + x + t * 7) % 17 == 0) return RGB((x * 37) & 255, (y * 91) & 255, (t * 53) & 255);
    return y < 5 ? RGB(0, 84, 166) : RGB(240, 240, 240 - (x % 4));
}

TEST(GifWriter, ReportsProgressFromSixtyToNinetyFiveThenHundredToTheWindow) {
    ReportWindow reports;
    CScreenRecorder engine;
    engine.SetNotifyWindow(reports.Handle());
    Records records;
    for (int t = 0; t < 7; ++t) records.Add(MakePicture(20, 12, [t](int x, int y) { return Stripes(x, y, t); }), 5);
    const std::wstring path = engine_test::TempFile(L"kelvo_writer_progress.gif");
    ASSERT_TRUE(engine.WriteAnimatedGif(path.c_str(), records.list.data(), 7, true, 0));
    reports.Settle(100);
    EXPECT_EQ((std::vector<LPARAM>{60, 65, 70, 75, 80, 85, 90, 95, 100}), reports.LParams(WM_GIF_PROGRESS));
    CxImage written(path.c_str(), CXIMAGE_FORMAT_GIF);
    EXPECT_TRUE(written.IsValid());
    EXPECT_EQ(7, written.GetNumFrames());
    EXPECT_EQ(20u, written.GetWidth());
    DeleteFileW(path.c_str());
}

TEST(GifWriter, AnUnwritablePathReportsFailureAndLeavesNoFile) {
    ReportWindow reports;
    CScreenRecorder engine;
    engine.SetNotifyWindow(reports.Handle());
    Records records;
    records.Add(MakePicture(8, 8, [](int, int) { return RGB(1, 2, 3); }), 5);
    const std::wstring path = engine_test::TempFile(L"kelvo_no_such_folder\\out.gif");
    EXPECT_FALSE(engine.WriteAnimatedGif(path.c_str(), records.list.data(), 1, true, 0));
    EXPECT_FALSE(engine_test::FileExists(path));
    reports.Settle(100);
    const auto progress = reports.LParams(WM_GIF_PROGRESS);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(100, progress.back());  // the status strip still reaches the end
}

TEST(GifWriter, NoUsableFrameWritesNothingAndRemovesTheFile) {
    CScreenRecorder engine;
    const std::wstring path = engine_test::TempFile(L"kelvo_writer_empty.gif");
    DeleteFileW(path.c_str());
    EXPECT_FALSE(engine.WriteAnimatedGif(path.c_str(), nullptr, 0, true, 0));
    EXPECT_FALSE(engine_test::FileExists(path));
    Records records;
    records.Add(new CxImage(CXIMAGE_FORMAT_UNKNOWN), 5);  // an empty picture
    EXPECT_FALSE(engine.WriteAnimatedGif(path.c_str(), records.list.data(), 1, true, 0));
    EXPECT_FALSE(engine_test::FileExists(path));
}

TEST(GifWriter, PicturesWithoutDelaysShareOneFromTheFrameRate) {
    CScreenRecorder engine;
    std::vector<std::unique_ptr<CxImage>> owned;
    std::vector<CxImage*> pictures;
    for (int t = 0; t < 3; ++t) {
        owned.emplace_back(MakePicture(10, 6, [t](int x, int y) { return Stripes(x, y, t * 3); }));
        pictures.push_back(owned.back().get());
    }
    const std::wstring path = engine_test::TempFile(L"kelvo_writer_images.gif");
    ASSERT_TRUE(engine.WriteAnimatedGifFromImages(path.c_str(), pictures.data(), 3, 15, true, 0));
    const auto file = engine_test::ReadFileBytes(path);
    gifcodec::GifFrameWalker walker(file.data(), file.size());
    gifcodec::GifFrameBlock frame;
    int frames = 0;
    while (walker.Next(&frame)) {
        EXPECT_EQ(6, frame.delay);  // 100 / 15
        ++frames;
    }
    EXPECT_EQ(3, frames);
    EXPECT_FALSE(engine.WriteAnimatedGifFromImages(path.c_str(), pictures.data(), 3, 0, true, 0));
    DeleteFileW(path.c_str());
}

// The route the file took before: each picture reduced in place by the image library, encoded
// as a one-frame GIF, decoded by the GIF library and given the common palette.
std::vector<BYTE> ImageLibraryRoute(const Records& records, bool dither) {
    RGBQUAD table[256];
    std::memset(table, 0, sizeof table);
    COctreeQuantizer quantizer(256, 8);
    for (FrameRecord* r : records.list) quantizer.AddImage(r->image->GetDIB());
    quantizer.FillPalette(table);
    gdImageOwner holder(gdImageCreate(1, 1));
    std::vector<gdImageOwner> frames;
    std::vector<int> delays;
    for (FrameRecord* r : records.list) {
        CxImage copy(*r->image);
        EXPECT_TRUE(copy.DecreaseBpp(8, dither, table, 0));
        BYTE* buffer = nullptr;
        long size = 0;
        EXPECT_TRUE(copy.Encode(buffer, size, CXIMAGE_FORMAT_GIF));
        frames.emplace_back(gdImageCreateFromGifPtr(static_cast<int>(size), buffer));
        CxImage::FreeMemory(buffer);
        delays.push_back(r->delay);
    }
    for (int i = 0; i < 256; ++i) gdImageColorAllocate(holder.get(), table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
    for (auto& f : frames) gdImagePaletteCopy(f.get(), holder.get());
    for (size_t i = 1; i < frames.size();) {
        if (gdImageCompare(frames[i - 1].get(), frames[i].get()) == 0) {
            delays[i - 1] += delays[i];
            frames.erase(frames.begin() + static_cast<ptrdiff_t>(i));
            delays.erase(delays.begin() + static_cast<ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    std::vector<BYTE> file;
    auto append = [&](void* block, int size) {
        gdBlockOwner owner(block);
        file.insert(file.end(), static_cast<BYTE*>(block), static_cast<BYTE*>(block) + size);
    };
    int size = 0;
    void* block = gdImageGifAnimBeginPtr(frames[0].get(), &size, 1, 0);
    append(block, size);
    for (size_t i = 0; i < frames.size(); ++i) {
        block = gdImageGifAnimAddPtr(frames[i].get(), &size, 0, 0, 0, delays[i], 1, i ? frames[i - 1].get() : nullptr);
        append(block, size);
    }
    block = gdImageGifAnimEndPtr(&size);
    append(block, size);
    return file;
}

TEST(GifWriter, WritesTheSameBytesAsTheRouteThroughOneFrameGifs) {
    Records records;
    for (int t : {0, 1, 1, 2, 5, 5, 5, 3}) records.Add(MakePicture(45, 31, [t](int x, int y) { return Stripes(x, y, t); }), 4 + t);
    // A photo-like frame with thousands of colours, so the palette must approximate.
    records.Add(MakePicture(45, 31, [](int x, int y) { return RGB(x * 5, y * 8, (x * y) & 255); }), 9);
    CScreenRecorder engine;
    for (bool dither : {true, false}) {
        const std::wstring path = engine_test::TempFile(L"kelvo_writer_route.gif");
        ASSERT_TRUE(engine.WriteAnimatedGif(path.c_str(), records.list.data(), static_cast<int>(records.list.size()), dither, 0));
        const auto ours = engine_test::ReadFileBytes(path);
        const auto route = ImageLibraryRoute(records, dither);
        EXPECT_EQ(route.size(), ours.size());
        EXPECT_TRUE(route == ours) << (dither ? "dithered" : "plain");
        DeleteFileW(path.c_str());
    }
}

TEST(FileSizeKB, GivesTheSizeOfAFileOpenElsewhereAndZeroForNone) {
    const std::wstring path = engine_test::TempFile(L"kelvo_size_test.bin");
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    std::vector<char> data(3 * 1024 + 512, 'x');
    DWORD written = 0;
    WriteFile(writer, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    EXPECT_FLOAT_EQ(3.5f, FileSizeKB(path.c_str()));  // while the writer still holds it
    CloseHandle(writer);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FLOAT_EQ(3.5f, FileSizeKB(path.c_str()));  // read-only files too
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    EXPECT_FLOAT_EQ(0.0f, FileSizeKB(path.c_str()));
    EXPECT_FLOAT_EQ(0.0f, FileSizeKB(nullptr));
}

}  // namespace
