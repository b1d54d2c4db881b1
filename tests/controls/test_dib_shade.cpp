// The shade button's picture class (hostile sizes and writes, the .bmp file) and every shade kind
// painted in a real button without leaking GDI objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "controls/dib.h"
#include "controls/shade_button.h"
#include "tests/controls/buttons_test_util.h"

using namespace buttons_test;

namespace {

std::vector<BYTE> ReadFile(LPCTSTR path)
{
    std::vector<BYTE> data;
    if (FILE* file = _wfopen(path, L"rb")) {
        for (int c; (c = fgetc(file)) != EOF;)
            data.push_back((BYTE)c);
        fclose(file);
    }
    return data;
}

CString TempPath(LPCTSTR name)
{
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    return CString(folder) + name;
}

int ChannelDistance(COLORREF a, COLORREF b)
{
    return std::max({abs(GetRValue(a) - GetRValue(b)), abs(GetGValue(a) - GetGValue(b)),
                     abs(GetBValue(a) - GetBValue(b))});
}

TEST(Dib, HostileSizesAndOutOfRangeWritesChangeNothing)
{
    CDib dib;
    EXPECT_EQ(nullptr, dib.Create(0, 5, 8));
    EXPECT_EQ(nullptr, dib.Create(5, -1, 8));
    EXPECT_EQ(nullptr, dib.Create(32768, 1, 8));
    EXPECT_EQ(nullptr, dib.Create(1, 70000, 24));
    EXPECT_EQ(nullptr, dib.Create(30000, 30000, 8));  // more pixels than any picture may have
    EXPECT_EQ(nullptr, dib.Create(5, 5, 7));
    EXPECT_EQ(nullptr, dib.GetBits());
    dib.SetPixelIndex(0, 0, 1);
    dib.Clear(3);
    // A failed save is reported and leaves no file behind.
    EXPECT_FALSE(dib.SaveAsBmp(TempPath(L"kelvo_empty_dib.bmp")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(TempPath(L"kelvo_empty_dib.bmp")));

    // Indexes outside the picture, and any index at 1 and 4 bits (where one byte per pixel would
    // land past the row), write nothing.
    for (int depth : {1, 4, 8}) {
        CDib narrow;
        ASSERT_NE(nullptr, narrow.Create(31, 1, depth));
        const std::vector<BYTE> before(narrow.GetBits(), narrow.GetBits() + narrow.GetStride());
        for (int x = -1; x <= 31; ++x)
            if (depth != 8 || x < 0 || x == 31)
                narrow.SetPixelIndex(x, 0, 0xFF);
        narrow.SetPixelIndex(0, 1, 0xFF);
        EXPECT_EQ(before, std::vector<BYTE>(narrow.GetBits(), narrow.GetBits() + narrow.GetStride())) << depth;
    }

    // Blends outside 0..100 act as their bound; copying onto itself keeps the picture.
    ASSERT_NE(nullptr, dib.Create(4, 4, 8));
    dib.Clear(42);
    dib.BlendPalette(RGB(10, 20, 30), 150);
    dib.BlendPalette(RGB(200, 200, 200), -40);
    dib.CopyFrom(dib);
    ASSERT_NE(nullptr, dib.GetBits());
    EXPECT_EQ(42, dib.GetBits()[15]);
    const RGBQUAD* palette = reinterpret_cast<const RGBQUAD*>(dib.GetBits() - 1024);
    for (int i : {0, 17, 255})
        EXPECT_TRUE(palette[i].rgbRed == 10 && palette[i].rgbGreen == 20 && palette[i].rgbBlue == 30) << i;
}

TEST(Dib, SavedFileIsTheBlockBehindAFileHeaderAndLoadsBackTheSamePicture)
{
    CDib dib;
    ASSERT_NE(nullptr, dib.Create(3, 2, 8));
    dib.MakeGrayPalette();
    dib.SetPixelIndex(0, 0, 255);
    dib.SetPixelIndex(1, 1, 128);
    const CString path = TempPath(L"kelvo_dib.bmp");
    ASSERT_TRUE(dib.SaveAsBmp(path));

    const std::vector<BYTE> file = ReadFile(path);
    ASSERT_EQ(sizeof(BITMAPFILEHEADER) + dib.GetBlockSize(), file.size());
    BITMAPFILEHEADER header;
    memcpy(&header, file.data(), sizeof(header));
    EXPECT_EQ(0x4D42, header.bfType);
    EXPECT_EQ(file.size(), header.bfSize);
    EXPECT_EQ(0, memcmp(file.data() + 14, dib.GetBits() - 1024 - 40, dib.GetBlockSize()));

    // The platform reads it as the same picture, its first row at the top.
    HBITMAP loaded = (HBITMAP)LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(nullptr, loaded);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, loaded);
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 0, 0));
    EXPECT_EQ(RGB(128, 128, 128), GetPixel(dc, 1, 1));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 2, 1));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(loaded);
    DeleteFileW(path);

    EXPECT_FALSE(dib.SaveAsBmp(TempPath(L"no_such_folder_kelvo\\x.bmp")));
}

// A shade button as a child of the stage, with access to its hover state and its picture.
struct ShadeProbe : CShadeButton {
    using CShadeButton::m_hover;
    using CShadeButton::m_normal;
};

class ShadeButtonTest : public ::testing::Test {
protected:
    void Make(int width, int height)
    {
        ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 10 + width, 10 + height),
                                  &Stage(), 700));
    }
    void Render(Canvas& canvas)
    {
        DRAWITEMSTRUCT dis = {ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, 0, button.m_hWnd, canvas.dc.GetSafeHdc(),
                              RECT{0, 0, canvas.width, canvas.height}, 0};
        button.DrawItem(&dis);
    }
    void TearDown() override
    {
        if (button.m_hWnd)
            button.DestroyWindow();
    }
    ShadeProbe button;
};

TEST_F(ShadeButtonTest, EveryShadePaintsTheWholeFaceWithoutLeakingGdiObjects)
{
    Make(48, 24);
    // Without noise, the vertical shade runs from the shadow at the bottom to near the highlight.
    ASSERT_TRUE(button.BuildShadeImages(CShadeButton::ShadeVertical, 0, 30, 0, RGB(0, 0, 0)));
    Canvas canvas(48, 24, RGB(255, 0, 255));
    Render(canvas);
    EXPECT_LE(ChannelDistance(GetSysColor(COLOR_BTNSHADOW), canvas.At(24, 23)), 2);
    EXPECT_LE(ChannelDistance(GetSysColor(COLOR_BTNHIGHLIGHT), canvas.At(24, 0)), 8);

    auto paintAll = [&] {
        for (int shade = 0; shade <= 9; ++shade) {
            ASSERT_TRUE(button.BuildShadeImages(shade, 8, 20, 10, RGB(0, 0, 255))) << shade;
            canvas.dc.FillSolidRect(0, 0, 48, 24, RGB(255, 0, 255));
            button.m_hover = shade % 2;
            Render(canvas);
            EXPECT_EQ(0, canvas.Count(RGB(255, 0, 255), CRect(1, 1, 47, 23))) << shade;
            button.RedrawWindow();
        }
    };
    paintAll();
    const int before = LiveGdiObjects();
    for (int round = 0; round < 3; ++round)
        paintAll();
    EXPECT_EQ(before, LiveGdiObjects());
}

TEST_F(ShadeButtonTest, SizesThatCannotBeShadedBuildNothing)
{
    Make(40, 0);
    EXPECT_FALSE(button.BuildShadeImages(CShadeButton::ShadeDiagonal, 8, 20, 0, 0));
    EXPECT_EQ(nullptr, button.m_normal.GetBits());
    button.DestroyWindow();

    Make(40, 1);
    EXPECT_FALSE(button.BuildShadeImages(CShadeButton::ShadeBevel, 8, 20, 0, 0));
    EXPECT_TRUE(button.BuildShadeImages(CShadeButton::ShadeVertical, 8, 20, 0, 0));
    button.DestroyWindow();

    // Narrow bevels and out-of-range noise strengths are drawn, not divided by zero.
    Make(3, 20);
    EXPECT_TRUE(button.BuildShadeImages(CShadeButton::ShadeBevel, 1000, 20, 0, 0));
    EXPECT_TRUE(button.BuildShadeImages(CShadeButton::ShadeStreaks, -5, 20, 0, 0));
}

}  // namespace
