// Inserting pictures into the recording through the strip: a still picture fitted on black after
// the current frame, refused positions and files, and a frame saved under no known format. (An
// animated GIF's frames in order are checked end to end, in the written GIF.)
#include "tests/editor/strip_test_util.h"

#include <string>

#include "res/strip_ids.h"
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

TEST_F(StripTest, StillPictureGoesAfterTheCurrentFrameFittedOnBlack)
{
    Open(10, 58, 38);
    FrameRecord* const fourth = frames[3];
    const std::wstring path = TempFile(L"strip_insert.bmp");
    std::unique_ptr<CxImage> picture(MakePicture(100, 100, RGB(255, 0, 0)));
    ASSERT_TRUE(picture->Save(path.c_str(), CXIMAGE_FORMAT_BMP));
    AnswerFileDialog(path);

    strip->InsertImageFrames(3);
    ASSERT_EQ(11, frames.GetSize());
    ASSERT_EQ(11, strip->GetItemCount());
    FrameRecord* added = frames[3];
    EXPECT_EQ(fourth, frames[4]);
    EXPECT_EQ(added, strip->items[3]->frame);
    EXPECT_EQ(58u, added->image->GetWidth());
    EXPECT_EQ(38u, added->image->GetHeight());
    // 100 x 100 into 58 x 38: 38 x 38 in the middle, black bands of 10 on both sides.
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(*added->image, 5, 19));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(*added->image, 52, 19));
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(*added->image, 11, 19));
    EXPECT_EQ(Numbers{4}, Selected());
    Pump(50);
    ASSERT_FALSE(host.picked.empty());
    EXPECT_EQ(4, host.picked.back());
    ::DeleteFileW(path.c_str());
}

TEST_F(StripTest, InsertionOutsideTheFramesOrOfNoPictureChangesNothing)
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
    EXPECT_EQ(6, strip->GetItemCount());
    ::DeleteFileW(path.c_str());
    ::DeleteFileW(junk.c_str());
}

TEST_F(StripTest, SavingAFrameUnderAnUnknownExtensionWritesNothing)
{
    Open(5, 58, 38);
    const std::wstring unknown = TempFile(L"strip_saved.xyz");
    CMenu::SetTestResponder([](CMenu&, UINT, int, int) -> UINT { return ID_STRIP_SAVE_FRAME; });
    int asked = 0;
    AnswerFileDialog(unknown, &asked);
    Click(ThumbPoint(2), true);
    EXPECT_EQ(1, asked);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(unknown.c_str()));
}

}  // namespace
