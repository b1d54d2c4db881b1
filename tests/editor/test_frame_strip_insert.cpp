// Inserting pictures into the recording through the strip: a still picture fitted on black, an
// animated GIF's frames in order, refused positions, and saving a frame.
#include "tests/editor/strip_test_util.h"

#include <string>

#include "res/strip_ids.h"
#include "tests/gif/gif_file_builder.h"
#include "tests/test_pump.h"

namespace {

std::wstring TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    ::DeleteFileW(path.c_str());
    return path;
}

void AnswerFileDialog(const std::wstring& path, int* asked = nullptr)
{
    CFileDialog::SetTestResponder([path, asked](CFileDialog& dialog) -> INT_PTR {
        if (asked)
            ++*asked;
        dialog.SetPathName(path.c_str());
        return IDOK;
    });
}

COLORREF PixelAt(const CxImage& picture, int x, int yFromTop)
{
    const BYTE* dib = static_cast<const BYTE*>(picture.GetDIB());
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    const BYTE* bits = dib + header->biSize;
    const int stride = (header->biWidth * 3 + 3) & ~3;
    const BYTE* p = bits + (header->biHeight - 1 - yFromTop) * stride + x * 3;
    return RGB(p[2], p[1], p[0]);
}

std::vector<FrameRecord*> Records(const FrameRecordArray& frames)
{
    std::vector<FrameRecord*> list;
    for (INT_PTR i = 0; i < frames.GetSize(); ++i)
        list.push_back(frames[i]);
    return list;
}

TEST_F(StripTest, StillPictureGoesAfterTheCurrentFrameFittedOnBlack)
{
    Open(10, 58, 38);
    const auto before = Records(frames);
    const std::wstring path = TempFile(L"strip_insert.bmp");
    std::unique_ptr<CxImage> picture(MakePicture(100, 100, RGB(255, 0, 0)));
    ASSERT_TRUE(picture->Save(path.c_str(), CXIMAGE_FORMAT_BMP));
    AnswerFileDialog(path);

    strip->InsertImageFrames(3);
    ASSERT_EQ(11, frames.GetSize());
    ASSERT_EQ(11, strip->GetItemCount());
    FrameRecord* added = frames[3];
    EXPECT_EQ(100, added->delay);
    EXPECT_EQ(1u, added->image->GetFlags());
    EXPECT_EQ(58u, added->image->GetWidth());
    EXPECT_EQ(38u, added->image->GetHeight());
    // 100 x 100 into 58 x 38: 38 x 38 in the middle, black bands of 10 on both sides.
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(*added->image, 5, 19));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(*added->image, 52, 19));
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(*added->image, 29, 19));
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(*added->image, 11, 19));
    // The others keep their order; the strip's rows follow the frames.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(before[i], frames[i < 3 ? i : i + 1]) << i;
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(frames[i], strip->items[i]->frame) << i;
    EXPECT_EQ(Numbers{4}, Selected());
    EXPECT_EQ(4u, strip->currentItem);
    Pump(50);
    ASSERT_FALSE(host.picked.empty());
    EXPECT_EQ(4, host.picked.back());
    ::DeleteFileW(path.c_str());
}

TEST_F(StripTest, AnimatedGifFramesGoInTheirOrder)
{
    Open(10, 58, 38);
    const auto before = Records(frames);
    const std::wstring path = TempFile(L"strip_insert.gif");
    using giftest::Rgb;
    const std::vector<Rgb> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}};
    giftest::GifFileBuilder gif(58, 38, palette);
    gif.Loop(0);
    for (int f = 0; f < 3; ++f) {
        gif.Control(1, 7 + f, -1);
        gif.Image(0, 0, 58, 38, std::vector<uint8_t>(58 * 38, static_cast<uint8_t>(f)), {}, false, 2);
    }
    gif.Trailer();
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ::WriteFile(file, gif.Data().data(), static_cast<DWORD>(gif.Data().size()), &written, nullptr);
    ::CloseHandle(file);
    AnswerFileDialog(path);

    strip->InsertImageFrames(3);
    ASSERT_EQ(13, frames.GetSize());
    const COLORREF colours[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(7 + f, frames[3 + f]->delay) << f;
        EXPECT_EQ(colours[f], PixelAt(*frames[3 + f]->image, 29, 19)) << f;
        EXPECT_EQ(1u, frames[3 + f]->image->GetFlags()) << f;
    }
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(before[i], frames[i < 3 ? i : i + 3]) << i;
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(frames[i], strip->items[i]->frame) << i;
    EXPECT_EQ((Numbers{4, 5, 6}), Selected());
    EXPECT_EQ(4u, strip->currentItem);
    // The progress window is gone and the host is usable again.
    EXPECT_TRUE(host.IsWindowEnabled());
    ::DeleteFileW(path.c_str());
}

TEST_F(StripTest, InsertionOutsideTheFramesIsRefused)
{
    Open(5, 58, 38);
    int asked = 0;
    AnswerFileDialog(TempFile(L"never_read.bmp"), &asked);
    strip->InsertImageFrames(-1);
    strip->InsertImageFrames(6);
    EXPECT_EQ(0, asked);
    FrameRecord extra{MakePicture(58, 38, RGB(1, 1, 1)), 5};
    EXPECT_FALSE(strip->InsertFrame(7, &extra));
    EXPECT_FALSE(strip->InsertFrame(-1, &extra));
    EXPECT_FALSE(strip->InsertFrame(0, nullptr));
    delete extra.image;
    EXPECT_EQ(5, frames.GetSize());
    EXPECT_EQ(5, strip->GetItemCount());

    // After the last frame appends; the current item is the new last frame, never past it.
    const std::wstring path = TempFile(L"strip_append.png");
    std::unique_ptr<CxImage> picture(MakePicture(58, 38, RGB(0, 0, 255)));
    ASSERT_TRUE(picture->Save(path.c_str(), CXIMAGE_FORMAT_PNG));
    AnswerFileDialog(path);
    strip->InsertImageFrames(5);
    ASSERT_EQ(6, frames.GetSize());
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(*frames[5]->image, 0, 0));
    EXPECT_EQ(6u, strip->currentItem);
    // A file that is no picture changes nothing.
    const std::wstring junk = TempFile(L"strip_junk.png");
    HANDLE file = ::CreateFileW(junk.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::WriteFile(file, "not a picture", 13, nullptr, nullptr);
    ::CloseHandle(file);
    AnswerFileDialog(junk);
    strip->InsertImageFrames(0);
    EXPECT_EQ(6, frames.GetSize());
    ::DeleteFileW(path.c_str());
    ::DeleteFileW(junk.c_str());
}

TEST_F(StripTest, SaveFrameWritesTheFullPictureOrNothing)
{
    Open(5, 58, 38);
    const std::wstring png = TempFile(L"strip_saved.png");
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_STRIP_SAVE_FRAME; });
    AnswerFileDialog(png);
    Click(ThumbPoint(2), true);
    CxImage saved;
    ASSERT_TRUE(saved.Load(png.c_str(), CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(58u, saved.GetWidth());
    EXPECT_EQ(38u, saved.GetHeight());
    EXPECT_EQ(RGB(8, 100, 200), PixelAt(saved, 10, 10));

    const std::wstring unknown = TempFile(L"strip_saved.xyz");
    AnswerFileDialog(unknown);
    Click(ThumbPoint(2), true);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(unknown.c_str()));
    ::DeleteFileW(png.c_str());
}

}  // namespace
