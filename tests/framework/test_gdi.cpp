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

bool IsDeleted(HGDIOBJ handle) { return GetObjectType(handle) == 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Drawing

TEST(GdiDrawing, FillSolidRectFillsExactlyTheRectangleAndKeepsTheBackgroundColour)
{
    Canvas canvas(20, 20);
    canvas.dc.SetBkColor(RGB(1, 2, 3));
    canvas.dc.FillSolidRect(CRect(2, 3, 7, 7), RGB(10, 200, 30));
    EXPECT_EQ(RGB(10, 200, 30), canvas.dc.GetPixel(2, 3));
    EXPECT_EQ(RGB(10, 200, 30), canvas.dc.GetPixel(6, 6));
    EXPECT_EQ(kWhite, canvas.dc.GetPixel(7, 6));
    EXPECT_EQ(kWhite, canvas.dc.GetPixel(6, 7));
    EXPECT_EQ(kWhite, canvas.dc.GetPixel(1, 3));
    EXPECT_EQ(kWhite, canvas.dc.GetPixel(2, 2));
    EXPECT_EQ(RGB(1, 2, 3), canvas.dc.GetBkColor());

    canvas.dc.FillSolidRect(10, 10, 3, 2, kRed);
    EXPECT_EQ(kRed, canvas.dc.GetPixel(12, 11));
    EXPECT_EQ(kWhite, canvas.dc.GetPixel(13, 11));
    EXPECT_EQ(kWhite, canvas.dc.GetPixel(12, 12));
}

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

TEST(GdiDrawing, HatchBrushLeavesTheBackgroundBetweenItsLines)
{
    Canvas canvas(16, 16);
    CBrush hatch(HS_DIAGCROSS, RGB(191, 191, 191));
    LOGBRUSH logBrush = {};
    ASSERT_EQ((int)sizeof(logBrush), hatch.GetLogBrush(&logBrush));
    EXPECT_EQ((UINT)BS_HATCHED, logBrush.lbStyle);
    canvas.dc.SetBkColor(kWhite);
    canvas.dc.FillRect(CRect(0, 0, 16, 16), &hatch);
    int grey = 0, white = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            COLORREF pixel = canvas.dc.GetPixel(x, y);
            grey += pixel == RGB(191, 191, 191);
            white += pixel == kWhite;
        }
    }
    EXPECT_GT(grey, 16);
    EXPECT_GT(white, 16);
    EXPECT_EQ(256, grey + white);
}

TEST(GdiDrawing, BlitsCopyStretchKeyOutAndBlend)
{
    Canvas source(2, 2);
    source.dc.SetPixel(0, 0, kRed);
    source.dc.SetPixel(1, 0, RGB(0, 255, 0));
    source.dc.SetPixel(0, 1, kBlue);
    source.dc.SetPixel(1, 1, RGB(0, 255, 0));

    Canvas target(8, 8);
    ASSERT_TRUE(target.dc.BitBlt(3, 3, 2, 2, &source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(kRed, target.dc.GetPixel(3, 3));
    EXPECT_EQ(kBlue, target.dc.GetPixel(3, 4));

    Canvas stretched(4, 4);
    ASSERT_TRUE(stretched.dc.StretchBlt(0, 0, 4, 4, &source.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(kRed, stretched.dc.GetPixel(1, 1));
    EXPECT_EQ(kBlue, stretched.dc.GetPixel(0, 3));

    // Pure green is the key: those pixels keep the white underneath.
    Canvas keyed(2, 2);
    ASSERT_TRUE(keyed.dc.TransparentBlt(0, 0, 2, 2, &source.dc, 0, 0, 2, 2, RGB(0, 255, 0)));
    EXPECT_EQ(kRed, keyed.dc.GetPixel(0, 0));
    EXPECT_EQ(kWhite, keyed.dc.GetPixel(1, 0));
    EXPECT_EQ(kWhite, keyed.dc.GetPixel(1, 1));

    Canvas blended(2, 2);
    BLENDFUNCTION half = {AC_SRC_OVER, 0, 128, 0};
    ASSERT_TRUE(blended.dc.AlphaBlend(0, 0, 1, 1, &source.dc, 0, 0, 1, 1, half));
    COLORREF mixed = blended.dc.GetPixel(0, 0);
    EXPECT_EQ(255, GetRValue(mixed));
    EXPECT_NEAR(127, GetGValue(mixed), 2);
    EXPECT_NEAR(127, GetBValue(mixed), 2);
}

TEST(GdiDrawing, TextIsMeasuredAlikeThroughBothFormsAndDrawn)
{
    Canvas canvas(200, 40);
    CFont font;
    ASSERT_TRUE(font.CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
    CFont* previous = canvas.dc.SelectObject(&font);
    ASSERT_NE(nullptr, previous);

    CString text(L"Kelvo 12");
    CRect viaString(0, 0, 1000, 1000), viaPointer(0, 0, 1000, 1000);
    int height = canvas.dc.DrawText(text, &viaString, DT_CALCRECT | DT_NOPREFIX);
    canvas.dc.DrawText(L"Kelvo 12", -1, &viaPointer, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_GT(height, 0);
    EXPECT_GT(viaString.Width(), 0);
    EXPECT_EQ(viaString, viaPointer);
    CSize extent = canvas.dc.GetTextExtent(text);
    EXPECT_EQ(viaString.Width(), extent.cx);
    TEXTMETRIC metrics = {};
    ASSERT_TRUE(canvas.dc.GetTextMetrics(&metrics));
    EXPECT_EQ(metrics.tmHeight, extent.cy);

    canvas.dc.SetTextColor(RGB(0, 0, 0));
    canvas.dc.SetBkMode(TRANSPARENT);
    ASSERT_TRUE(canvas.dc.TextOut(2, 2, text));
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            dark += GetRValue(canvas.dc.GetPixel(x, y)) < 128;
    EXPECT_GT(dark, 20);
    canvas.dc.SelectObject(previous);
}

// ---------------------------------------------------------------------------------------------
// Objects and selection

TEST(GdiSelection, SelectObjectReturnsThePreviousObjectAndPutsItBack)
{
    Canvas canvas(4, 4);
    HGDIOBJ penBefore = GetCurrentObject(canvas.dc, OBJ_PEN);
    HGDIOBJ brushBefore = GetCurrentObject(canvas.dc, OBJ_BRUSH);
    HGDIOBJ fontBefore = GetCurrentObject(canvas.dc, OBJ_FONT);

    CPen pen(PS_SOLID, 3, kRed);
    CBrush brush(kBlue);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, L"Arial"));

    CPen* oldPen = canvas.dc.SelectObject(&pen);
    CBrush* oldBrush = canvas.dc.SelectObject(&brush);
    CFont* oldFont = canvas.dc.SelectObject(&font);
    ASSERT_NE(nullptr, oldPen);
    ASSERT_NE(nullptr, oldBrush);
    ASSERT_NE(nullptr, oldFont);
    EXPECT_EQ(penBefore, oldPen->m_hObject);
    EXPECT_EQ(brushBefore, oldBrush->m_hObject);
    EXPECT_EQ(fontBefore, oldFont->m_hObject);
    EXPECT_EQ(pen.m_hObject, GetCurrentObject(canvas.dc, OBJ_PEN));
    EXPECT_EQ(pen.m_hObject, canvas.dc.GetCurrentPen()->m_hObject);

    // The returned temporaries are the same objects FromHandle gives for those handles.
    EXPECT_EQ(oldPen, CPen::FromHandle((HPEN)penBefore));
    EXPECT_EQ(oldFont, CFont::FromHandle((HFONT)fontBefore));

    CPen* back = canvas.dc.SelectObject(oldPen);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(pen.m_hObject, back->m_hObject);
    canvas.dc.SelectObject(oldBrush);
    CGdiObject* fontBack = canvas.dc.SelectObject(static_cast<CGdiObject*>(oldFont));
    ASSERT_NE(nullptr, fontBack);
    EXPECT_EQ(font.m_hObject, fontBack->m_hObject);
    EXPECT_EQ(penBefore, GetCurrentObject(canvas.dc, OBJ_PEN));
    EXPECT_EQ(brushBefore, GetCurrentObject(canvas.dc, OBJ_BRUSH));
    EXPECT_EQ(fontBefore, GetCurrentObject(canvas.dc, OBJ_FONT));

    CGdiObject* stockOld = canvas.dc.SelectStockObject(NULL_BRUSH);
    ASSERT_NE(nullptr, stockOld);
    EXPECT_EQ(brushBefore, stockOld->m_hObject);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), GetCurrentObject(canvas.dc, OBJ_BRUSH));
    canvas.dc.SelectObject(stockOld);
}

TEST(GdiSelection, CreateSelectRestoreAndDestroyLeaksNoHandle)
{
    const DWORD countBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    Canvas canvas(16, 16);
    for (int i = 0; i < 1000; ++i) {
        HGDIOBJ handles[5] = {};
        HDC memoryHandle = nullptr;
        {
            CPen pen(PS_SOLID, 1 + i % 3, RGB(i % 256, 0, 0));
            CBrush brush(RGB(0, i % 256, 0));
            CFont font;
            ASSERT_TRUE(font.CreatePointFont(80 + i % 40, L"Arial"));
            CBitmap bitmap;
            ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&canvas.dc, 8, 8));
            CRgn region;
            ASSERT_TRUE(region.CreateRectRgn(0, 0, 4 + i % 8, 4));
            handles[0] = pen.m_hObject;
            handles[1] = brush.m_hObject;
            handles[2] = font.m_hObject;
            handles[3] = bitmap.m_hObject;
            handles[4] = region.m_hObject;

            CDC memory;
            ASSERT_TRUE(memory.CreateCompatibleDC(&canvas.dc));
            memoryHandle = memory.m_hDC;
            CBitmap* oldBitmap = memory.SelectObject(&bitmap);
            CPen* oldPen = memory.SelectObject(&pen);
            CBrush* oldBrush = memory.SelectObject(&brush);
            CFont* oldFont = memory.SelectObject(&font);
            memory.SelectClipRgn(&region);
            memory.Rectangle(0, 0, 8, 8);
            memory.SelectClipRgn(nullptr);
            memory.SelectObject(oldFont);
            memory.SelectObject(oldBrush);
            memory.SelectObject(oldPen);
            memory.SelectObject(oldBitmap);
        }
        for (HGDIOBJ handle : handles)
            ASSERT_TRUE(IsDeleted(handle)) << "cycle " << i;
        ASSERT_EQ(0u, (UINT)GetObjectType(memoryHandle)) << "cycle " << i;
        if (i % 100 == 99)
            CGdiObject::DeleteTempMap();
    }
    CGdiObject::DeleteTempMap();
    // Where the platform counts the process's GDI objects, the count is back where it started.
    const DWORD countAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_LE(countAfter, countBefore + 4);
}

TEST(GdiObjects, TemporariesNeverDeleteTheirHandle)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, L"Arial"));
    HGDIOBJ handle = font.m_hObject;
    CFont* temporary = CFont::FromHandle((HFONT)handle);
    ASSERT_NE(nullptr, temporary);
    EXPECT_NE(&font, temporary);
    EXPECT_EQ(temporary, CFont::FromHandle((HFONT)handle));
    CGdiObject::DeleteTempMap();
    EXPECT_EQ((DWORD)OBJ_FONT, GetObjectType(handle));

    // Nor when the thread that made them ends.
    std::thread other([handle] { EXPECT_NE(nullptr, CFont::FromHandle((HFONT)handle)); });
    other.join();
    EXPECT_EQ((DWORD)OBJ_FONT, GetObjectType(handle));

    // A temporary may be used to delete, and the handle value may then come back to it.
    CFont* again = CFont::FromHandle((HFONT)font.Detach());
    EXPECT_TRUE(again->DeleteObject());
    EXPECT_TRUE(IsDeleted(handle));
    EXPECT_EQ(handle, CFont::FromHandle((HFONT)handle)->m_hObject);
    CGdiObject::DeleteTempMap();
}

TEST(GdiObjects, ThreadThatNeverClearsItsTemporariesKeepsOnlyLiveOnes)
{
    // A capture-style loop: fresh bitmaps selected in and out, then deleted. Batches keep the
    // handle values from being reused at once, so each bitmap gets a temporary of its own.
    size_t heldAtEnd = 0;
    bool liveKept = false;
    std::thread worker([&heldAtEnd, &liveKept] {
        CDC memory;
        memory.CreateCompatibleDC(nullptr);
        CPen pen(PS_SOLID, 1, kRed);
        CPen* live = CPen::FromHandle((HPEN)pen.m_hObject);
        for (int round = 0; round < 100; ++round) {
            std::vector<std::unique_ptr<CBitmap>> batch;
            for (int i = 0; i < 40; ++i) {
                batch.push_back(std::make_unique<CBitmap>());
                batch.back()->CreateBitmap(4, 4, 1, 32, nullptr);
                CBitmap* previous = memory.SelectObject(batch.back().get());
                memory.SelectObject(previous);
            }
        }
        heldAtEnd = CGdiObject::GetTempMapSize();
        // Temporaries of objects still alive are kept, so pointers to them stay good.
        liveKept = live == CPen::FromHandle((HPEN)pen.m_hObject) && live->m_hObject == pen.m_hObject;
    });
    worker.join();
    EXPECT_TRUE(liveKept);
    EXPECT_GT(heldAtEnd, 0u);
    EXPECT_LT(heldAtEnd, 600u);
}

TEST(GdiObjects, AttachDetachAndDeleteFollowOwnership)
{
    HPEN raw = CreatePen(PS_SOLID, 1, kRed);
    {
        CPen pen;
        ASSERT_TRUE(pen.Attach(raw));
        HPEN other = CreatePen(PS_SOLID, 1, kBlue);
        EXPECT_FALSE(pen.Attach(other));
        DeleteObject(other);
        EXPECT_EQ((HGDIOBJ)raw, pen.GetSafeHandle());
        EXPECT_EQ((HGDIOBJ)raw, pen.Detach());
        EXPECT_EQ(nullptr, pen.GetSafeHandle());
    }
    EXPECT_EQ((DWORD)OBJ_PEN, GetObjectType(raw));
    {
        CPen pen;
        pen.Attach(raw);
    }
    EXPECT_TRUE(IsDeleted(raw));

    // Creating again replaces (and deletes) the handle held so far.
    CBrush brush(kRed);
    HGDIOBJ first = brush.m_hObject;
    ASSERT_TRUE(brush.CreateSolidBrush(kBlue));
    EXPECT_TRUE(IsDeleted(first));
    LOGBRUSH logBrush = {};
    brush.GetLogBrush(&logBrush);
    EXPECT_EQ(kBlue, logBrush.lbColor);
}

TEST(GdiObjects, PointFontHeightFollowsTheDisplayResolution)
{
    CClientDC screen(nullptr);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, L"Verdana", &screen));
    LOGFONT logFont = {};
    ASSERT_EQ((int)sizeof(logFont), font.GetLogFont(&logFont));
    EXPECT_EQ(-MulDiv(12, screen.GetDeviceCaps(LOGPIXELSY), 72), logFont.lfHeight);
    EXPECT_STREQ(L"Verdana", logFont.lfFaceName);

    CFont copy;
    ASSERT_TRUE(copy.CreateFontIndirect(&logFont));
    LOGFONT copied = {};
    copy.GetLogFont(&copied);
    EXPECT_EQ(logFont.lfHeight, copied.lfHeight);
}

TEST(GdiObjects, BitmapLoadsFromTheResourcesWithItsPixels)
{
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_WIDGETS_TEST));
    BITMAP info = {};
    ASSERT_EQ((int)sizeof(info), bitmap.GetBitmap(&info));
    EXPECT_EQ(4, info.bmWidth);
    EXPECT_EQ(2, info.bmHeight);

    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    CClientDC screen(nullptr);
    CBitmap compatible;
    ASSERT_TRUE(compatible.CreateCompatibleBitmap(&screen, 4, 2));
    CBitmap* old = memory.SelectObject(&bitmap);
    ASSERT_NE(nullptr, old);
    EXPECT_EQ(bitmap.m_hObject, memory.GetCurrentBitmap()->m_hObject);
    EXPECT_EQ(kRed, memory.GetPixel(0, 0));
    EXPECT_EQ(kBlue, memory.GetPixel(2, 0));
    EXPECT_EQ(RGB(10, 20, 30), memory.GetPixel(1, 1));
    EXPECT_EQ(RGB(255, 0, 255), memory.GetPixel(3, 1));
    memory.SelectObject(old);

    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(IDB_WIDGETS_TEST + 77));
}

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

TEST(GdiDeviceContexts, ClientAndWindowDcsAreReleased)
{
    TestWindow window;
    ASSERT_TRUE(window.IsWindow());

    // Held DCs are distinct: the check below can tell a leak from a release.
    HDC held[4];
    for (HDC& dc : held)
        dc = GetDC(window);
    EXPECT_EQ(4u, std::set<HDC>(held, held + 4).size());
    for (HDC dc : held)
        ReleaseDC(window, dc);

    std::set<HDC> client, whole;
    for (int i = 0; i < 200; ++i) {
        {
            CClientDC dc(&window);
            ASSERT_NE(nullptr, dc.m_hDC);
            client.insert(dc.m_hDC);
        }
        {
            CWindowDC dc(&window);
            ASSERT_NE(nullptr, dc.m_hDC);
            whole.insert(dc.m_hDC);
        }
    }
    EXPECT_LE(client.size(), 3u);
    EXPECT_LE(whole.size(), 3u);
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
