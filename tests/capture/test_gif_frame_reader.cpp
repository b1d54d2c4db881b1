// CGifFrameReader with the OLE picture loader and GDI: loading and refusing, delays, the
// composed pixels (against the codec-based composition, itself checked in the gif tests),
// fitting into a box, the memory budget, progress and the append-only hand-outs.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "gif/gif_compose.h"
#include "capture/gif_frame_reader.h"
#include "controls/progress_wnd.h"
#include "tests/capture/engine_test_support.h"
#include "tests/gif/gif_reader_test_util.h"

using engine_test::PixelAt;
using gifimport::GifFrameGeometry;
using gifimport::GifMemoryReader;
using gifimport::GifRgbCanvas;
using gifimport::Rgb;
using giftest::GifFileBuilder;
using readertest::Solid;
using readertest::TestPalette;

namespace {

CWinApp g_app(L"kelvo reader test");

class GifFrameReaderTest : public testing::Test {
protected:
    static void SetUpTestSuite() { OleInitialize(nullptr); }
    static void TearDownTestSuite() { OleUninitialize(); }
};

// Owns what a hand-out appended.
struct RecordList {
    FrameRecordArray items;
    ~RecordList() {
        for (INT_PTR i = 0; i < items.GetSize(); ++i) {
            if (items[i]) delete items[i]->image;
            delete items[i];
        }
    }
};
struct ImageList {
    CxImageArray items;
    ~ImageList() {
        for (INT_PTR i = 0; i < items.GetSize(); ++i) delete items[i];
    }
};

// A moveable global block with the bytes.
HGLOBAL ToGlobal(const std::vector<uint8_t>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    void* p = GlobalLock(block);
    if (!bytes.empty()) memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

BOOL LoadBytes(CGifFrameReader& reader, const std::vector<uint8_t>& bytes) {
    HGLOBAL block = ToGlobal(bytes);
    const BOOL ok = reader.LoadFromMemory(block, static_cast<DWORD>(bytes.size()));
    GlobalFree(block);
    return ok;
}

Rgb ToRgb(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }
COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }
COLORREF MenuColour() { return GetSysColor(COLOR_MENU); }
COLORREF ButtonFace() { return GetSysColor(COLOR_BTNFACE); }

std::wstring TempPath(const std::wstring& name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == bytes.size();
}

// Pixels of the codec-based composition with the reader's two system colours.
std::vector<GifRgbCanvas> ComposeWithCodec(const std::vector<uint8_t>& bytes) {
    GifMemoryReader reader(ToRgb(MenuColour()), ToRgb(ButtonFace()));
    std::vector<GifRgbCanvas> out;
    if (!reader.Load(bytes.data(), bytes.size())) return out;
    reader.Compose([&out](const GifFrameGeometry&, const GifRgbCanvas& canvas) {
        out.push_back(canvas);
        return true;
    });
    return out;
}

// Pixels that differ between a picture and a canvas of the same size.
int CountDifferences(const CxImage& picture, const GifRgbCanvas& canvas) {
    if (static_cast<int>(picture.GetWidth()) != canvas.Width() ||
        static_cast<int>(picture.GetHeight()) != canvas.Height()) {
        return -1;
    }
    int wrong = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) wrong += PixelAt(picture, x, y) != ToColorRef(canvas.At(x, y)) ? 1 : 0;
    }
    return wrong;
}

std::vector<uint8_t> TwoFramesOf(int w, int h, uint8_t first, uint8_t second) {
    return GifFileBuilder(w, h, TestPalette())
        .Control(1, 10, -1)
        .Image(0, 0, w, h, Solid(w, h, first))
        .Control(1, 20, -1)
        .Image(0, 0, w, h, Solid(w, h, second))
        .Trailer()
        .Data();
}

// ---- Loading and refusing ------------------------------------------------------------------

TEST_F(GifFrameReaderTest, SignatureMustBeGif87aOrGif89a) {
    const std::vector<uint8_t> good = TwoFramesOf(8, 6, 0, 1);
    for (const char* version : {"GIF89a", "GIF87a", "GIF88a", "GIF8", "GIX89a", "gif89a"}) {
        SCOPED_TRACE(version);
        std::vector<uint8_t> bytes = good;
        std::vector<uint8_t> head(version, version + strlen(version));
        std::copy(head.begin(), head.end(), bytes.begin());
        if (head.size() < 6) bytes.resize(head.size());
        const bool valid = std::string(version) == "GIF89a" || std::string(version) == "GIF87a";
        CGifFrameReader reader;
        EXPECT_EQ(valid ? TRUE : FALSE, LoadBytes(reader, bytes));
        EXPECT_EQ(valid ? TRUE : FALSE, reader.IsLoaded());
        EXPECT_EQ(valid ? 2 : 0, reader.GetFrameTotal());
    }
}

TEST_F(GifFrameReaderTest, FilesWithoutAUsableFrameOrScreenAreRefused) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const std::vector<uint8_t> header = GifFileBuilder(8, 6, TestPalette()).Data();
    std::vector<uint8_t> trailerOnly = header;
    trailerOnly.push_back(0x3B);
    const Case cases[] = {
        {"header only", header},
        {"trailer before any frame", trailerOnly},
        {"screen 0 x 0", GifFileBuilder(0, 0, TestPalette()).Image(0, 0, 2, 2, Solid(2, 2, 0)).Image(0, 0, 2, 2, Solid(2, 2, 0)).Trailer().Data()},
        {"screen 65535 x 65535", GifFileBuilder(65535, 65535, TestPalette()).Image(0, 0, 2, 2, Solid(2, 2, 0)).Image(0, 0, 2, 2, Solid(2, 2, 0)).Trailer().Data()},
        {"no frame decodes", GifFileBuilder(4, 4, TestPalette()).RawImage(0, 0, 4, 4, 0, {2, 1, 0x05, 0}).RawImage(0, 0, 4, 4, 0, {2, 1, 0x05, 0}).Trailer().Data()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGifFrameReader reader;
        EXPECT_FALSE(LoadBytes(reader, c.bytes));
        EXPECT_FALSE(reader.IsAnimated());
        RecordList list;
        EXPECT_EQ(0, reader.AppendFramesTo(list.items, nullptr));
        EXPECT_EQ(0, list.items.GetSize());
    }
}

TEST_F(GifFrameReaderTest, StillGifLoadsButHandsOutNothing) {
    CGifFrameReader reader;
    ASSERT_TRUE(LoadBytes(reader, readertest::OneFrameGif()));
    EXPECT_TRUE(reader.IsLoaded());
    EXPECT_FALSE(reader.IsAnimated());
    EXPECT_EQ(0, reader.GetFrameTotal());
    RecordList list;
    EXPECT_EQ(0, reader.AppendFramesTo(list.items, nullptr));
    EXPECT_EQ(0, list.items.GetSize());
}

TEST_F(GifFrameReaderTest, LoadFileReadsTheWholeFileAndRefusesMissingAndOversizedFiles) {
    CGifFrameReader reader;
    const std::wstring path = TempPath(L"读取 测试.gif");
    ASSERT_TRUE(WriteFileBytes(path, readertest::ThreeFrameGif()));
    EXPECT_TRUE(reader.LoadFile(path.c_str()));
    EXPECT_EQ(3, reader.GetFrameTotal());
    DeleteFileW(path.c_str());
    EXPECT_FALSE(reader.LoadFile(path.c_str()));
    EXPECT_FALSE(reader.IsLoaded());

    // A valid GIF followed by padding up to just over 128 MB.
    const std::wstring big = TempPath(L"reader_oversized.gif");
    ASSERT_TRUE(WriteFileBytes(big, readertest::ThreeFrameGif()));
    HANDLE f = CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    LARGE_INTEGER end;
    end.QuadPart = (128ll << 20) + 1;
    ASSERT_TRUE(SetFilePointerEx(f, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(f));
    CloseHandle(f);
    EXPECT_FALSE(reader.LoadFile(big.c_str()));
    reader.limits.maxFileBytes = (128ull << 20) + 1;
    EXPECT_TRUE(reader.LoadFile(big.c_str()));
    DeleteFileW(big.c_str());
}

TEST_F(GifFrameReaderTest, LoadResourceGifReadsAResourceOfTheProgram) {
    CGifFrameReader reader;
    ASSERT_TRUE(reader.LoadResourceGif(L"GIFTEST", L"GIF"));
    EXPECT_EQ(4, reader.GetFrameTotal());
    EXPECT_EQ(12, reader.GetScreenSize().cx);
    EXPECT_FALSE(reader.LoadResourceGif(L"NOSUCHGIF", L"GIF"));
    EXPECT_FALSE(reader.IsLoaded());
}

TEST_F(GifFrameReaderTest, SizeBeyondTheBlockIsNotRead) {
    CGifFrameReader reader;
    const std::vector<uint8_t> bytes = readertest::ThreeFrameGif();
    HGLOBAL block = ToGlobal(bytes);
    EXPECT_TRUE(reader.LoadFromMemory(block, 0xFFFFFFFFu));
    EXPECT_EQ(3, reader.GetFrameTotal());
    GlobalFree(block);
}

TEST_F(GifFrameReaderTest, CutFileKeepsTheWholeFramesBeforeTheCut) {
    const std::vector<uint8_t> gif = readertest::ThreeFrameGif();
    gifimport::GifLayout layout;
    ASSERT_EQ(gifimport::GifLayoutStatus::Ok, gifimport::ReadGifLayout(gif.data(), gif.size(), gifimport::GifReadLimits(), &layout));
    const auto cutAt = [&gif](size_t n) { return std::vector<uint8_t>(gif.begin(), gif.begin() + static_cast<ptrdiff_t>(n)); };

    CGifFrameReader reader;
    ASSERT_TRUE(LoadBytes(reader, cutAt((layout.frames[2].begin + layout.frames[2].end) / 2)));
    EXPECT_EQ(2, reader.GetFrameTotal());
    RecordList list;
    EXPECT_EQ(2, reader.AppendFramesTo(list.items, nullptr));

    // Cut in the second frame it is a still picture: whatever the loader makes of it, no frame.
    LoadBytes(reader, cutAt((layout.frames[1].begin + layout.frames[1].end) / 2));
    EXPECT_FALSE(reader.IsAnimated());
    EXPECT_EQ(0, reader.AppendFramesTo(list.items, nullptr));
    EXPECT_EQ(2, list.items.GetSize());
}

TEST_F(GifFrameReaderTest, ReleaseEmptiesTheReaderAndItLoadsAgain) {
    CGifFrameReader reader;
    EXPECT_EQ(RGB(255, 255, 255), reader.GetBackgroundColor());
    ASSERT_TRUE(LoadBytes(reader, readertest::ThreeFrameGif()));
    EXPECT_EQ(ButtonFace(), reader.GetBackgroundColor());
    EXPECT_EQ(8, reader.GetScreenSize().cx);
    EXPECT_EQ(6, reader.GetScreenSize().cy);
    reader.Release();
    EXPECT_FALSE(reader.IsLoaded());
    EXPECT_EQ(0, reader.GetFrameTotal());
    EXPECT_EQ(0, reader.GetScreenSize().cx);
    EXPECT_EQ(RGB(255, 255, 255), reader.GetBackgroundColor());
    RecordList list;
    EXPECT_EQ(0, reader.AppendFramesTo(list.items, nullptr));
    ASSERT_TRUE(LoadBytes(reader, TwoFramesOf(5, 4, 2, 3)));
    EXPECT_EQ(2, reader.AppendFramesTo(list.items, nullptr));
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(*list.items[1]->image, 4, 3));
}

// ---- Hand-outs -----------------------------------------------------------------------------

TEST_F(GifFrameReaderTest, AppendFramesToAppendsRecordsWithTheirDelaysAndKeepsWhatWasThere) {
    const std::vector<uint8_t> bytes = GifFileBuilder(6, 4, TestPalette())
                                           .Image(0, 0, 6, 4, Solid(6, 4, 0))
                                           .Control(1, 0, -1)
                                           .Image(0, 0, 6, 4, Solid(6, 4, 1))
                                           .Control(1, 1500, -1)
                                           .Image(0, 0, 6, 4, Solid(6, 4, 2))
                                           .Control(1, 7, -1)
                                           .Image(0, 0, 6, 4, Solid(6, 4, 3))
                                           .Trailer()
                                           .Data();
    CGifFrameReader reader;
    ASSERT_TRUE(LoadBytes(reader, bytes));
    RecordList list;
    FrameRecord* existing = engine_test::MakeRecord(3, 3, RGB(1, 2, 3), 42);
    list.items.Add(existing);
    ASSERT_EQ(4, reader.AppendFramesTo(list.items, nullptr));
    ASSERT_EQ(5, list.items.GetSize());
    EXPECT_EQ(existing, list.items[0]);
    EXPECT_EQ(42, existing->delay);
    EXPECT_EQ(3u, existing->image->GetWidth());
    const int delays[] = {5, 5, 1500, 7};
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    for (int i = 0; i < 4; ++i) {
        const FrameRecord* r = list.items[i + 1];
        EXPECT_EQ(delays[i], r->delay) << i;
        EXPECT_EQ(1u, r->image->GetFlags()) << i;
        EXPECT_EQ(6u, r->image->GetWidth());
        EXPECT_EQ(4u, r->image->GetHeight());
        EXPECT_EQ(24, r->image->GetBpp());
        EXPECT_EQ(colours[i], PixelAt(*r->image, 5, 3)) << i;
    }
    // Drained: a second run hands out nothing.
    EXPECT_EQ(0, reader.AppendFramesTo(list.items, nullptr));
    EXPECT_EQ(5, list.items.GetSize());
}

TEST_F(GifFrameReaderTest, AppendImagesToHandsOutKeptPictures) {
    CGifFrameReader reader;
    ASSERT_TRUE(LoadBytes(reader, readertest::ThreeFrameGif()));
    ImageList list;
    ASSERT_EQ(3, reader.AppendImagesTo(list.items, nullptr));
    ASSERT_EQ(3, list.items.GetSize());
    EXPECT_EQ(1u, list.items[2]->GetFlags());
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(*list.items[2], 0, 0));
}

TEST_F(GifFrameReaderTest, DisposalTwoPaintsButtonFaceAndUnpaintedCanvasShowsTheMenuColour) {
    ASSERT_NE(MenuColour(), ButtonFace()) << "the two system colours must differ for this test";
    const std::vector<uint8_t> bytes = GifFileBuilder(10, 8, TestPalette())
                                           .Control(2, 10, -1)
                                           .Image(2, 2, 3, 3, Solid(3, 3, 1))
                                           .Control(1, 10, 4)
                                           .Image(0, 0, 1, 1, {4})
                                           .Trailer()
                                           .Data();
    CGifFrameReader reader;
    ASSERT_TRUE(LoadBytes(reader, bytes));
    ImageList list;
    ASSERT_EQ(2, reader.AppendImagesTo(list.items, nullptr));
    EXPECT_EQ(RGB(0, 255, 0), PixelAt(*list.items[0], 3, 3));
    EXPECT_EQ(MenuColour(), PixelAt(*list.items[0], 9, 7));
    EXPECT_EQ(ButtonFace(), PixelAt(*list.items[1], 3, 3));
    EXPECT_EQ(MenuColour(), PixelAt(*list.items[1], 0, 0));
    EXPECT_EQ(MenuColour(), PixelAt(*list.items[1], 9, 7));
}

TEST_F(GifFrameReaderTest, FillCanvasSetsTheBackgroundOnlyWithACanvas) {
    CGifFrameReader reader;
    reader.FillCanvas(RGB(1, 2, 3));
    EXPECT_EQ(RGB(255, 255, 255), reader.GetBackgroundColor());
    const std::vector<uint8_t> bytes = GifFileBuilder(6, 4, TestPalette())
                                           .Control(2, 10, -1)
                                           .Image(1, 1, 2, 2, Solid(2, 2, 0))
                                           .Control(1, 10, -1)
                                           .Image(4, 0, 1, 1, Solid(1, 1, 1))
                                           .Trailer()
                                           .Data();
    ASSERT_TRUE(LoadBytes(reader, bytes));
    reader.FillCanvas(RGB(10, 20, 30));
    EXPECT_EQ(RGB(10, 20, 30), reader.GetBackgroundColor());
    ImageList list;
    ASSERT_EQ(2, reader.AppendImagesTo(list.items, nullptr));
    EXPECT_EQ(RGB(10, 20, 30), PixelAt(*list.items[0], 5, 3));
    EXPECT_EQ(RGB(10, 20, 30), PixelAt(*list.items[1], 1, 1));
}

// ---- The OLE composition agrees with the codec's -------------------------------------------

TEST_F(GifFrameReaderTest, ComposedPixelsAgreeWithTheCodecComposition) {
    std::vector<uint8_t> checker(36);
    for (size_t i = 0; i < checker.size(); ++i) checker[i] = (i + i / 6) % 2 ? 5 : 3;
    const std::vector<giftest::Rgb> local = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    const std::vector<uint8_t> rows = giftest::RandomPixels(7, 11, 4, 77);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"disposal 1 with offsets",
         GifFileBuilder(12, 10, TestPalette()).Control(1, 5, -1).Image(0, 0, 7, 10, Solid(7, 10, 0))
             .Control(1, 5, -1).Image(5, 3, 4, 4, Solid(4, 4, 2)).Control(1, 5, -1).Image(10, 8, 2, 2, Solid(2, 2, 1)).Trailer().Data()},
        {"disposal 2",
         GifFileBuilder(12, 10, TestPalette()).Control(1, 5, -1).Image(0, 0, 12, 10, Solid(12, 10, 0))
             .Control(2, 5, -1).Image(3, 3, 5, 4, Solid(5, 4, 1)).Control(1, 5, 0).Image(0, 0, 12, 10, Solid(12, 10, 0)).Trailer().Data()},
        {"disposal 3",
         GifFileBuilder(12, 10, TestPalette()).Control(1, 5, -1).Image(0, 0, 12, 10, Solid(12, 10, 5))
             .Control(3, 5, -1).Image(2, 1, 6, 6, Solid(6, 6, 2)).Control(3, 5, -1).Image(8, 6, 6, 6, Solid(6, 6, 1))
             .Control(1, 5, 0).Image(0, 0, 1, 1, {0}).Trailer().Data()},
        {"transparency",
         GifFileBuilder(8, 8, TestPalette()).Control(1, 5, -1).Image(0, 0, 8, 8, Solid(8, 8, 2))
             .Control(1, 5, 3).Image(1, 1, 6, 6, checker).Trailer().Data()},
        {"interlaced local table",
         GifFileBuilder(9, 12, TestPalette()).Image(0, 0, 9, 12, Solid(9, 12, 1))
             .Image(1, 1, 7, 11, rows, local, true).Trailer().Data()},
        {"frames over the edge",
         GifFileBuilder(6, 5, TestPalette()).Control(2, 5, -1).Image(3, 2, 6, 6, Solid(6, 6, 1))
             .Control(3, 5, -1).Image(4, 4, 5, 5, Solid(5, 5, 2)).Control(1, 5, -1).Image(0, 0, 2, 2, Solid(2, 2, 5)).Trailer().Data()},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    // Real GIFs from ImageMagick and gifsicle: the OLE loader decodes them as the codec does,
    // whose composition is checked against an independent decoder on the same files.
    const std::vector<readertest::ReferenceGif> gifs = readertest::LoadReferenceGifs(READER_REFERENCE_DIR);
    ASSERT_GE(gifs.size(), 8u) << "reference GIFs missing in " << READER_REFERENCE_DIR;
    for (const readertest::ReferenceGif& ref : gifs) all.push_back({ref.name.c_str(), readertest::ReadBytes(ref.gifPath)});
    for (const Case& c : all) {
        SCOPED_TRACE(c.name);
        const std::vector<GifRgbCanvas> expected = ComposeWithCodec(c.bytes);
        ASSERT_GE(expected.size(), 2u);
        CGifFrameReader reader;
        ASSERT_TRUE(LoadBytes(reader, c.bytes));
        RecordList list;
        ASSERT_EQ(static_cast<int>(expected.size()), reader.AppendFramesTo(list.items, nullptr));
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(0, CountDifferences(*list.items[static_cast<INT_PTR>(i)]->image, expected[i])) << "frame " << i;
        }
    }
}

// ---- Fitting into a box --------------------------------------------------------------------

struct Extracted {
    RecordList list;
    int count = 0;
};

void Extract(const std::vector<uint8_t>& bytes, int w, int h, Extracted* out) {
    CGifFrameReader reader;
    ASSERT_TRUE(LoadBytes(reader, bytes));
    out->count = reader.ExtractResizedFrames(w, h, out->list.items, nullptr);
}

TEST_F(GifFrameReaderTest, ExtractResizedFramesShrinksAndCentresOnBlack) {
    Extracted e;
    Extract(TwoFramesOf(400, 300, 0, 2), 200, 200, &e);
    ASSERT_EQ(2, e.count);
    const CxImage& second = *e.list.items[1]->image;
    EXPECT_EQ(200u, second.GetWidth());
    EXPECT_EQ(200u, second.GetHeight());
    EXPECT_EQ(1u, second.GetFlags());
    EXPECT_EQ(20, e.list.items[1]->delay);
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(second, 100, 24));
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(second, 100, 25));
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(second, 0, 174));
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(second, 199, 100));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(second, 100, 175));
}

TEST_F(GifFrameReaderTest, ExtractResizedFramesNeverEnlarges) {
    Extracted e;
    Extract(TwoFramesOf(100, 50, 0, 1), 200, 200, &e);
    ASSERT_EQ(2, e.count);
    const CxImage& first = *e.list.items[0]->image;
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(first, 49, 100));
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(first, 50, 75));
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(first, 149, 124));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(first, 150, 100));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(first, 100, 74));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(first, 100, 125));
}

TEST_F(GifFrameReaderTest, ExtractResizedFramesFitsTheScreenNotTheFirstFrame) {
    // The first frame is a 10 x 10 corner of a 400 x 300 screen.
    const std::vector<uint8_t> bytes = GifFileBuilder(400, 300, TestPalette())
                                           .Control(1, 10, -1)
                                           .Image(0, 0, 10, 10, Solid(10, 10, 0))
                                           .Control(1, 10, -1)
                                           .Image(0, 0, 400, 300, Solid(400, 300, 2))
                                           .Trailer()
                                           .Data();
    Extracted e;
    Extract(bytes, 200, 200, &e);
    ASSERT_EQ(2, e.count);
    const CxImage& second = *e.list.items[1]->image;
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(second, 100, 24));
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(second, 100, 26));
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(second, 199, 173));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(second, 100, 176));
}

TEST_F(GifFrameReaderTest, ExtractResizedFramesIntoNothingHandsOutNothing) {
    for (const SIZE box : {SIZE{0, 200}, SIZE{200, 0}, SIZE{-1, -1}}) {
        Extracted e;
        Extract(readertest::ThreeFrameGif(), box.cx, box.cy, &e);
        EXPECT_EQ(0, e.count);
        EXPECT_EQ(0, e.list.items.GetSize());
    }
}

// ---- Bounds --------------------------------------------------------------------------------

TEST_F(GifFrameReaderTest, MemoryBudgetKeepsTheFramesSoFar) {
    GifFileBuilder gif(20, 20, TestPalette());
    for (int i = 0; i < 6; ++i) gif.Control(1, 3, -1).Image(0, 0, 20, 20, Solid(20, 20, static_cast<uint8_t>(i % 4)));
    const std::vector<uint8_t> bytes = gif.Trailer().Data();
    CGifFrameReader reader;
    reader.limits.memoryBudget = 4 * (20 * 20 * 3 + 20 * 20 * 4);
    ASSERT_TRUE(LoadBytes(reader, bytes));
    EXPECT_TRUE(reader.FramesLeftOut());
    RecordList list;
    EXPECT_EQ(4, reader.AppendFramesTo(list.items, nullptr));
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(*list.items[3]->image, 0, 0));

    // Resized hand-outs are bounded by their own size too.
    CGifFrameReader resized;
    resized.limits.memoryBudget = 2 * 100 * 100 * 3;
    ASSERT_TRUE(LoadBytes(resized, TwoFramesOf(8, 8, 0, 1)));
    RecordList small;
    EXPECT_EQ(2, resized.ExtractResizedFrames(100, 100, small.items, nullptr));
    CGifFrameReader tooBig;
    tooBig.limits.memoryBudget = 2 * 100 * 100 * 3;
    ASSERT_TRUE(LoadBytes(tooBig, TwoFramesOf(8, 8, 0, 1)));
    RecordList one;
    EXPECT_EQ(1, tooBig.ExtractResizedFrames(100, 141, one.items, nullptr));
    EXPECT_TRUE(tooBig.FramesLeftOut());
}

TEST_F(GifFrameReaderTest, ManyTinyFramesStopAtTheFrameLimit) {
    GifFileBuilder gif(1, 1, TestPalette());
    for (int i = 0; i < 40; ++i) gif.Image(0, 0, 1, 1, {static_cast<uint8_t>(i % 3)});
    CGifFrameReader reader;
    reader.limits.maxFrames = 25;
    ASSERT_TRUE(LoadBytes(reader, gif.Trailer().Data()));
    EXPECT_EQ(25, reader.GetFrameTotal());
    EXPECT_TRUE(reader.FramesLeftOut());
}

// ---- Progress ------------------------------------------------------------------------------

TEST_F(GifFrameReaderTest, ProgressStepsOncePerFrame) {
    CProgressWnd progress(nullptr, L"进程");
    ASSERT_TRUE(progress.IsWindow());
    progress.SetRange(0, 100, 1);
    CGifFrameReader reader;
    ASSERT_TRUE(LoadBytes(reader, readertest::ThreeFrameGif()));
    RecordList list;
    EXPECT_EQ(3, reader.AppendFramesTo(list.items, &progress));
    EXPECT_EQ(3, progress.SetPos(0));
    progress.DestroyWindow();
}

TEST_F(GifFrameReaderTest, CancellingTheProgressWindowDoesNotShortenTheImport) {
    GifFileBuilder gif(16, 16, TestPalette());
    for (int i = 0; i < 12; ++i) gif.Control(1, 2, -1).Image(0, 0, 16, 16, Solid(16, 16, static_cast<uint8_t>(i % 4)));
    CProgressWnd progress(nullptr, L"进程");
    ASSERT_TRUE(progress.BeginModal(L"Progress"));
    progress.SetRange(0, 14, 1);
    // The Cancel button's command: the window hides and closes itself at the next pump.
    progress.SendMessage(WM_COMMAND, MAKEWPARAM(CProgressWnd::IDC_PROGRESS_CANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(progress.cancelButton.GetSafeHwnd()));
    ASSERT_TRUE(progress.IsCancelled());
    CGifFrameReader reader;
    ASSERT_TRUE(LoadBytes(reader, gif.Trailer().Data()));
    RecordList list;
    EXPECT_EQ(12, reader.AppendFramesTo(list.items, &progress));
    EXPECT_EQ(12, list.items.GetSize());
}

}  // namespace
