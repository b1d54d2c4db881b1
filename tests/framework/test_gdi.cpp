// Device contexts and GDI objects: drawing read back from memory, selection, ownership and the
// release of window DCs.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "framework/gdi.h"
#include "framework/msgmap.h"
#include "tests/framework/widgets_test_ids.h"
#include "tests/framework/widgets_test_util.h"

using widgets_test::Canvas;
using widgets_test::TestWindow;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

}  // namespace

// ---------------------------------------------------------------------------------------------
// Drawing

TEST(GdiDrawing, Draw3dRectGivesTheFarCornersToTheBottomRightColour)
{
    for (int form = 0; form < 2; ++form) {
        Canvas canvas(10, 10);
        if (form == 0)
            canvas.dc.Draw3dRect(CRect(1, 1, 6, 5), kRed, kBlue);
        else
            canvas.dc.Draw3dRect(1, 1, 5, 4, kRed, kBlue);
        for (int x = 1; x <= 4; ++x)
            EXPECT_EQ(kRed, canvas.dc.GetPixel(x, 1)) << "top row, x " << x;
        for (int y = 1; y <= 3; ++y)
            EXPECT_EQ(kRed, canvas.dc.GetPixel(1, y)) << "left column, y " << y;
        for (int y = 1; y <= 4; ++y)
            EXPECT_EQ(kBlue, canvas.dc.GetPixel(5, y)) << "right column, y " << y;
        for (int x = 1; x <= 5; ++x)
            EXPECT_EQ(kBlue, canvas.dc.GetPixel(x, 4)) << "bottom row, x " << x;
        EXPECT_EQ(kWhite, canvas.dc.GetPixel(2, 2));
        EXPECT_EQ(kWhite, canvas.dc.GetPixel(4, 3));
        EXPECT_EQ(kWhite, canvas.dc.GetPixel(6, 1));
        EXPECT_EQ(kWhite, canvas.dc.GetPixel(1, 5));
        EXPECT_EQ(kWhite, canvas.dc.GetPixel(0, 0));
    }
}

TEST(GdiDrawing, FillSolidRectCoversExactlyTheRectangleAndKeepsTheBackColour)
{
    Canvas canvas(10, 10);
    canvas.dc.SetBkColor(kBlue);
    canvas.dc.FillSolidRect(2, 3, 4, 5, kRed);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 8;
            EXPECT_EQ(inside ? kRed : kWhite, canvas.dc.GetPixel(x, y)) << x << "," << y;
        }
    EXPECT_EQ(kBlue, ::GetBkColor(canvas.dc.m_hDC));
    canvas.dc.FillSolidRect(nullptr, kRed);  // nothing to fill
}

TEST(GdiDrawing, VerticalGradientRunsFromTheFirstToTheSecondColour)
{
    Canvas canvas(8, 100);
    TRIVERTEX vertices[2] = {{0, 0, 227 << 8, 227 << 8, 227 << 8, 0}, {8, 100, 0xFF00, 0xFF00, 0xFF00, 0}};
    GRADIENT_RECT mesh = {0, 1};
    ASSERT_TRUE(canvas.dc.GradientFill(vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
    EXPECT_EQ(RGB(227, 227, 227), canvas.dc.GetPixel(3, 0));
    EXPECT_GE(GetRValue(canvas.dc.GetPixel(3, 99)), 254);
    int previous = 0;
    for (int y = 0; y < 100; ++y) {
        COLORREF pixel = canvas.dc.GetPixel(5, y);
        EXPECT_EQ(GetRValue(pixel), GetBValue(pixel));
        EXPECT_GE(GetRValue(pixel), previous) << "row " << y;
        previous = GetRValue(pixel);
    }
    EXPECT_GT(GetRValue(canvas.dc.GetPixel(3, 50)), 227);
    EXPECT_LT(GetRValue(canvas.dc.GetPixel(3, 50)), 255);
}

// ---------------------------------------------------------------------------------------------
// Objects and selection

// ---------------------------------------------------------------------------------------------
// Device contexts

TEST(GdiDeviceContexts, OwnedDcIsDeletedAndBorrowedOnesAreNot)
{
    HDC created = nullptr;
    {
        CDC memory;
        ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
        created = memory.m_hDC;
    }
    EXPECT_EQ(0u, (UINT)GetObjectType(created));

    CClientDC screen(nullptr);
    ASSERT_NE(nullptr, screen.m_hDC);
    EXPECT_FALSE(screen.DeleteDC());
    EXPECT_NE(nullptr, screen.m_hDC);

    HDC raw = CreateCompatibleDC(nullptr);
    CDC* temporary = CDC::FromHandle(raw);
    EXPECT_EQ(temporary, CDC::FromHandle(raw));
    EXPECT_FALSE(temporary->DeleteDC());
    CDC::DeleteTempMap();
    EXPECT_EQ((DWORD)OBJ_MEMDC, GetObjectType(raw));
    DeleteDC(raw);
}

namespace {

class PaintProbe : public TestWindow {
public:
    std::set<HDC> paintDCs;
    int paints = 0;
    bool matched = true;
    void OnPaint()
    {
        CPaintDC dc(this);
        ++paints;
        paintDCs.insert(dc.m_hDC);
        matched = matched && dc.m_hDC == dc.m_ps.hdc;
        dc.FillSolidRect(&dc.m_ps.rcPaint, RGB(0, 128, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintProbe, TestWindow)
    ON_WM_PAINT()
END_MESSAGE_MAP()

}  // namespace

TEST(GdiDeviceContexts, PaintDcEndsThePaintAndIsReleased)
{
    PaintProbe window;
    ASSERT_TRUE(window.IsWindow());
    window.UpdateWindow();
    for (int i = 0; i < 50; ++i) {
        window.Invalidate(FALSE);
        window.UpdateWindow();
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "paint " << i;
    }
    EXPECT_GE(window.paints, 50);
    EXPECT_TRUE(window.matched);
    EXPECT_LE(window.paintDCs.size(), 3u);
}
