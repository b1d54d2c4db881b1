#include "framework/geometry.h"

#include <gtest/gtest.h>

#include <random>

namespace {

::testing::AssertionResult SameRect(const RECT& actual, int l, int t, int r, int b)
{
    if (actual.left == l && actual.top == t && actual.right == r && actual.bottom == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.left << "," << actual.top << "," << actual.right << ","
                                         << actual.bottom << "), want (" << l << "," << t << "," << r << "," << b << ")";
}

}  // namespace

TEST(Geometry, ClassesAddNoDataToThePlatformStructures)
{
    static_assert(sizeof(CPoint) == sizeof(POINT), "CPoint must stay a POINT");
    static_assert(sizeof(CSize) == sizeof(SIZE), "CSize must stay a SIZE");
    static_assert(sizeof(CRect) == sizeof(RECT), "CRect must stay a RECT");
    CRect r(1, 2, 3, 4);
    LPRECT asPointer = r;
    EXPECT_EQ(asPointer, static_cast<RECT*>(&r));
}

TEST(Geometry, RectMeasuresAndCorners)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_TRUE(r.Size() == CSize(100, 50));
    EXPECT_TRUE(r.CenterPoint() == CPoint(60, 45));
    EXPECT_TRUE(r.TopLeft() == CPoint(10, 20));
    EXPECT_TRUE(r.BottomRight() == CPoint(110, 70));

    // The corners are the rectangle's own storage.
    r.TopLeft() = CPoint(0, 5);
    r.BottomRight().x = 7;
    EXPECT_TRUE(SameRect(r, 0, 5, 7, 70));
    POINT* corners = &r.TopLeft();
    corners[1].y = 9;
    EXPECT_EQ(r.bottom, 9);

    EXPECT_TRUE(SameRect(CRect(CPoint(3, 4), CSize(5, 6)), 3, 4, 8, 10));
    EXPECT_TRUE(SameRect(CRect(CPoint(3, 4), CPoint(5, 6)), 3, 4, 5, 6));
    EXPECT_TRUE(SameRect(CRect(static_cast<const RECT*>(nullptr)), 0, 0, 0, 0));
}

TEST(Geometry, EmptyAndPointInside)
{
    EXPECT_TRUE(SameRect(CRect(), 0, 0, 0, 0));
    EXPECT_TRUE(CRect().IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 5, 10).IsRectEmpty());
    EXPECT_TRUE(CRect(10, 0, 0, 10).IsRectEmpty());  // inverted counts as empty
    CRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.PtInRect(CPoint(0, 0)));
    EXPECT_TRUE(r.PtInRect(CPoint(9, 9)));
    EXPECT_FALSE(r.PtInRect(CPoint(10, 5)));  // right and bottom edges are outside
    EXPECT_FALSE(r.PtInRect(CPoint(5, 10)));
    EXPECT_FALSE(r.PtInRect(CPoint(-1, 5)));
}

TEST(Geometry, NormalizeSwapsInvertedEdges)
{
    CRect r(50, 60, 10, 20);
    r.NormalizeRect();
    EXPECT_TRUE(SameRect(r, 10, 20, 50, 60));
    CRect half(0, 60, 10, 20);
    half.NormalizeRect();
    EXPECT_TRUE(SameRect(half, 0, 20, 10, 60));
}

TEST(Geometry, IntersectAndUnion)
{
    CRect a(0, 0, 100, 100);
    CRect b(50, 60, 150, 160);
    CRect out;
    EXPECT_TRUE(out.IntersectRect(a, b));
    EXPECT_TRUE(SameRect(out, 50, 60, 100, 100));
    EXPECT_TRUE(SameRect(a & b, 50, 60, 100, 100));

    // Touching edges share no area.
    out.SetRect(1, 1, 2, 2);
    EXPECT_FALSE(out.IntersectRect(a, CRect(100, 0, 200, 100)));
    EXPECT_TRUE(SameRect(out, 0, 0, 0, 0));
    EXPECT_FALSE(out.IntersectRect(a, CRect(300, 300, 400, 400)));
    EXPECT_TRUE(SameRect(out, 0, 0, 0, 0));

    EXPECT_TRUE(out.UnionRect(a, b));
    EXPECT_TRUE(SameRect(out, 0, 0, 150, 160));
    EXPECT_TRUE(SameRect(a | b, 0, 0, 150, 160));
    // An empty rectangle is left out of a union, wherever it lies.
    EXPECT_TRUE(out.UnionRect(CRect(-500, -500, -500, -400), b));
    EXPECT_TRUE(SameRect(out, 50, 60, 150, 160));
    EXPECT_FALSE(out.UnionRect(CRect(), CRect(3, 3, 3, 9)));
    EXPECT_TRUE(SameRect(out, 0, 0, 0, 0));

    // In place, with the result aliasing an operand.
    CRect c(0, 0, 10, 10);
    c &= CRect(5, 5, 20, 20);
    EXPECT_TRUE(SameRect(c, 5, 5, 10, 10));
    c |= CRect(0, 0, 1, 1);
    EXPECT_TRUE(SameRect(c, 0, 0, 10, 10));
}

TEST(Geometry, IntersectAndUnionAgreeWithThePlatform)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> coordinate(-20, 20);
    for (int i = 0; i < 2000; ++i) {
        CRect a(coordinate(random), coordinate(random), coordinate(random), coordinate(random));
        CRect b(coordinate(random), coordinate(random), coordinate(random), coordinate(random));
        RECT expected;
        CRect actual;
        BOOL expectedResult = ::IntersectRect(&expected, &a, &b);
        EXPECT_EQ(actual.IntersectRect(a, b) != FALSE, expectedResult != FALSE);
        ASSERT_TRUE(SameRect(actual, expected.left, expected.top, expected.right, expected.bottom))
            << "intersect " << i;
        expectedResult = ::UnionRect(&expected, &a, &b);
        EXPECT_EQ(actual.UnionRect(a, b) != FALSE, expectedResult != FALSE);
        ASSERT_TRUE(SameRect(actual, expected.left, expected.top, expected.right, expected.bottom)) << "union " << i;
    }
}

TEST(Geometry, InflateDeflateAndOffset)
{
    CRect r(10, 10, 20, 20);
    r.InflateRect(2, 3);
    EXPECT_TRUE(SameRect(r, 8, 7, 22, 23));
    r.DeflateRect(CSize(2, 3));
    EXPECT_TRUE(SameRect(r, 10, 10, 20, 20));
    r.InflateRect(1, 2, 3, 4);
    EXPECT_TRUE(SameRect(r, 9, 8, 23, 24));
    r.DeflateRect(1, 2, 3, 4);
    EXPECT_TRUE(SameRect(r, 10, 10, 20, 20));
    CRect by(1, 1, 1, 1);
    r.InflateRect(&by);
    EXPECT_TRUE(SameRect(r, 9, 9, 21, 21));
    r.DeflateRect(&by);
    r.InflateRect(static_cast<const RECT*>(nullptr));
    EXPECT_TRUE(SameRect(r, 10, 10, 20, 20));

    r.OffsetRect(5, -5);
    EXPECT_TRUE(SameRect(r, 15, 5, 25, 15));
    r += CPoint(1, 1);
    r -= CSize(2, 2);
    EXPECT_TRUE(SameRect(r, 14, 4, 24, 14));
    EXPECT_TRUE(SameRect(r + CSize(1, 0), 15, 4, 25, 14));
    EXPECT_TRUE(SameRect(r - CPoint(14, 4), 0, 0, 10, 10));
    r.OffsetRect(-14, -4);
    EXPECT_TRUE(SameRect(r, 0, 0, 10, 10));
    EXPECT_TRUE(r == CRect(0, 0, 10, 10));
    EXPECT_TRUE(r != CRect(0, 0, 10, 11));
}

TEST(Geometry, PointAndSizeArithmetic)
{
    CPoint p(3, 4);
    p.Offset(1, 1);
    p += CSize(10, 20);
    EXPECT_TRUE(p == CPoint(14, 25));
    CSize distance = CPoint(10, 10) - CPoint(3, 4);
    EXPECT_TRUE(distance == CSize(7, 6));
    EXPECT_TRUE(CPoint(1, 1) + CSize(2, 3) == CPoint(3, 4));
    EXPECT_TRUE(CPoint(1, 1) + CPoint(2, 3) == CPoint(3, 4));
    EXPECT_TRUE(-CPoint(1, -2) == CPoint(-1, 2));
    EXPECT_TRUE(CSize(5, 5) - CSize(1, 2) == CSize(4, 3));
    EXPECT_TRUE(-CSize(1, 2) == CSize(-1, -2));
    EXPECT_TRUE(SameRect(CPoint(1, 2) + CRect(0, 0, 5, 5), 1, 2, 6, 7));

    // Mouse coordinates left or above a window are negative.
    CPoint mouse(static_cast<LPARAM>(MAKELPARAM(-5, -7)));
    EXPECT_EQ(mouse.x, -5);
    EXPECT_EQ(mouse.y, -7);
}
