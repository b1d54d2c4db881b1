// The shade button's picture class and the shade button: sizes, the pixel and palette rules, the
// .bmp file, hostile sizes, and every shade kind painted in a real button without leaking GDI
// objects.
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
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return data;
    data.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!data.empty() && (!::ReadFile(file, data.data(), (DWORD)data.size(), &read, nullptr) || read != data.size()))
        data.clear();
    CloseHandle(file);
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

TEST(Dib, SizesFollowTheDepthAndRowsCountFromTheTop)
{
    CDib dib;
    ASSERT_NE(nullptr, dib.Create(3, 2, 8));
    EXPECT_EQ(4u, dib.GetStride());
    EXPECT_EQ(256, dib.GetColorCount());
    EXPECT_EQ(sizeof(BITMAPINFOHEADER) + 1024 + 8, dib.GetBlockSize());

    dib.SetPixelIndex(0, 0, 77);   // top row of the picture: the last row of the block
    dib.SetPixelIndex(2, 1, 99);   // bottom row: the first
    dib.SetPixelIndex(3, 0, 55);   // outside: ignored
    dib.SetPixelIndex(-1, 0, 55);
    const BYTE* bits = dib.GetBits();
    const BYTE expected[8] = {0, 0, 99, 0, 77, 0, 0, 0};
    EXPECT_EQ(0, memcmp(expected, bits, 8));

    dib.BlendPalette(RGB(10, 20, 30), 150);  // more than 100 acts as 100
    const RGBQUAD* palette = reinterpret_cast<const RGBQUAD*>(bits - 1024);
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(palette[i].rgbRed == 10 && palette[i].rgbGreen == 20 && palette[i].rgbBlue == 30) << i;
    dib.BlendPalette(RGB(200, 200, 200), -40);  // less than 0 changes nothing
    EXPECT_EQ(10, palette[17].rgbRed);

    CDib bits1;
    ASSERT_NE(nullptr, bits1.Create(10, 1, 1));
    EXPECT_EQ(4u, bits1.GetStride());
    EXPECT_EQ(2, bits1.GetColorCount());
}

TEST(Dib, HostileSizesAndNarrowDepthsWriteNothing)
{
    CDib dib;
    EXPECT_EQ(nullptr, dib.Create(0, 5, 8));
    EXPECT_EQ(nullptr, dib.Create(5, -1, 8));
    EXPECT_EQ(nullptr, dib.Create(32768, 1, 8));
    EXPECT_EQ(nullptr, dib.Create(1, 70000, 24));
    EXPECT_EQ(nullptr, dib.Create(30000, 30000, 8));  // more pixels than any picture may have
    EXPECT_EQ(nullptr, dib.Create(5, 5, 7));
    EXPECT_EQ(nullptr, dib.GetBits());
    EXPECT_EQ(0u, dib.GetBlockSize());
    dib.SetPixelIndex(0, 0, 1);
    dib.Clear(3);
    EXPECT_FALSE(dib.SaveAsBmp(TempPath(L"kelvo_empty_dib.bmp")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(TempPath(L"kelvo_empty_dib.bmp")));

    // One byte per pixel is only true at 8 bits: at 1 and 4 bits an index write would land past
    // the row, so nothing is written at all.
    for (int depth : {1, 4}) {
        CDib narrow;
        ASSERT_NE(nullptr, narrow.Create(31, 1, depth));
        const std::vector<BYTE> before(narrow.GetBits(), narrow.GetBits() + narrow.GetStride());
        for (int x = 0; x < 31; ++x)
            narrow.SetPixelIndex(x, 0, 0xFF);
        EXPECT_EQ(before, std::vector<BYTE>(narrow.GetBits(), narrow.GetBits() + narrow.GetStride())) << depth;
    }
}

TEST(Dib, CopyingOntoItselfKeepsThePicture)
{
    CDib dib;
    ASSERT_NE(nullptr, dib.Create(4, 4, 8));
    dib.MakeGrayPalette();
    dib.Clear(42);
    dib.CopyFrom(dib);
    ASSERT_NE(nullptr, dib.GetBits());
    EXPECT_EQ(42, dib.GetBits()[15]);

    CDib copy;
    copy.CopyFrom(dib);
    ASSERT_EQ(dib.GetBlockSize(), copy.GetBlockSize());
    EXPECT_EQ(0, memcmp(dib.GetBits() - 1024 - 40, copy.GetBits() - 1024 - 40, dib.GetBlockSize()));
}

TEST(Dib, SavedFileIsTheBlockBehindAFileHeaderAndLoadsBack)
{
    CDib dib;
    ASSERT_NE(nullptr, dib.Create(3, 2, 8));
    dib.MakeGrayPalette();
    dib.SetPixelIndex(0, 0, 255);
    dib.SetPixelIndex(1, 1, 128);
    const CString path = TempPath(L"kelvo_dib.bmp");
    ASSERT_TRUE(dib.SaveAsBmp(path));

    const std::vector<BYTE> file = ReadFile(path);
    ASSERT_EQ(14u + 40 + 1024 + 8, file.size());
    BITMAPFILEHEADER header;
    memcpy(&header, file.data(), sizeof(header));
    EXPECT_EQ(0x4D42, header.bfType);
    EXPECT_EQ(file.size(), header.bfSize);
    EXPECT_EQ(14u + 40 + 1024, header.bfOffBits);
    EXPECT_EQ(0, memcmp(file.data() + 14, dib.GetBits() - 1024 - 40, dib.GetBlockSize()));

    // The platform reads it as the same picture.
    HBITMAP loaded = (HBITMAP)LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(nullptr, loaded);
    DIBSECTION section = {};
    ASSERT_TRUE(GetObjectW(loaded, sizeof(section), &section));
    EXPECT_EQ(3, section.dsBm.bmWidth);
    EXPECT_EQ(2, section.dsBm.bmHeight);
    EXPECT_EQ(8, section.dsBm.bmBitsPixel);
    EXPECT_EQ(0, memcmp(section.dsBm.bmBits, dib.GetBits(), 8));
    DeleteObject(loaded);
    DeleteFileW(path);

    // A file that cannot be created is a failure, not a success.
    EXPECT_FALSE(dib.SaveAsBmp(TempPath(L"no_such_folder_kelvo\\x.bmp")));
}

class StageEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Stage();
        Pump(50);
    }
};
const ::testing::Environment* const g_stage = ::testing::AddGlobalTestEnvironment(new StageEnvironment);

// A shade button as a child of the stage, with access to its hover and pressed state.
struct ShadeProbe : CShadeButton {
    using CShadeButton::m_hover;
    using CShadeButton::m_normal;
    using CShadeButton::m_pressed;
};

class ShadeButtonTest : public ::testing::Test {
protected:
    void Make(int width, int height)
    {
        ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 10 + width, 10 + height),
                                  &Stage(), 700));
    }
    void Render(Canvas& canvas, UINT state = 0)
    {
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = button.m_hWnd;
        dis.hDC = canvas.dc.GetSafeHdc();
        dis.rcItem = RECT{0, 0, canvas.width, canvas.height};
        button.DrawItem(&dis);
    }
    void TearDown() override
    {
        if (button.m_hWnd)
            button.DestroyWindow();
    }
    ShadeProbe button;
};

TEST_F(ShadeButtonTest, VerticalShadeRunsFromShadowAtTheBottomToNearHighlightAtTheTop)
{
    Make(60, 40);
    ASSERT_TRUE(button.BuildShadeImages(CShadeButton::ShadeVertical, 0, 30, 0, RGB(0, 0, 0)));
    Canvas canvas(60, 40, RGB(255, 0, 255));
    Render(canvas);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_LE(ChannelDistance(shadow, canvas.At(30, 39)), 2);
    EXPECT_LE(ChannelDistance(highlight, canvas.At(30, 0)), 8);
    EXPECT_EQ(0, canvas.Count(RGB(255, 0, 255)));  // the picture covers the whole face

    // Hovered, the lighter copy shows: fully blended toward the highlight it is one colour.
    ASSERT_TRUE(button.BuildShadeImages(CShadeButton::ShadeVertical, 0, 100, 0, RGB(0, 0, 0)));
    button.m_hover = TRUE;
    Canvas hovered(60, 40, RGB(255, 0, 255));
    Render(hovered);
    EXPECT_EQ(58 * 38, hovered.Count(highlight, CRect(1, 1, 59, 39)));  // inside the hover frame
}

TEST_F(ShadeButtonTest, EveryShadePaintsTheWholeFaceWithoutLeakingGdiObjects)
{
    Make(48, 24);
    Canvas canvas(48, 24, RGB(255, 0, 255));
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
