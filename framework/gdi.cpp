#include "framework/gdi.h"

#include <memory>
#include <unordered_map>

#include "framework/wnd.h"

IMPLEMENT_DYNAMIC(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)

namespace {

// Temporary DC objects of this thread, one per DC; they never delete their DC.
thread_local std::unordered_map<HDC, std::unique_ptr<CBorrowedDC>> t_tempDCs;

// As for GDI objects: a thread that never clears its map drops the temporaries of deleted DCs.
constexpr size_t kFirstPruneSize = 64;
thread_local size_t t_pruneSize = kFirstPruneSize;

void PruneDeadTemporaries()
{
    if (t_tempDCs.size() < t_pruneSize)
        return;
    for (auto it = t_tempDCs.begin(); it != t_tempDCs.end();) {
        if (::GetObjectType(it->first) == 0)
            it = t_tempDCs.erase(it);
        else
            ++it;
    }
    t_pruneSize = t_tempDCs.size() * 2 > kFirstPruneSize ? t_tempDCs.size() * 2 : kFirstPruneSize;
}

HDC SourceDC(const CDC* pDC) { return pDC ? pDC->m_hDC : nullptr; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Creation and ownership

CDC::~CDC() { DeleteDC(); }

CWnd* CDC::GetWindow() const { return m_hDC ? CWnd::FromHandle(::WindowFromDC(m_hDC)) : nullptr; }

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    HDC hDC = ::CreateCompatibleDC(SourceDC(pDC));
    if (!hDC)
        return FALSE;
    DeleteDC();
    if (!Attach(hDC)) {
        ::DeleteDC(hDC);
        return FALSE;
    }
    return TRUE;
}

BOOL CDC::Attach(HDC hDC)
{
    if (m_hDC || !hDC)
        return FALSE;
    m_hDC = hDC;
    m_bBorrowed = false;
    return TRUE;
}

void CDC::AttachBorrowed(HDC hDC)
{
    if (Attach(hDC))
        m_bBorrowed = true;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    m_bBorrowed = false;
    return hDC;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC || m_bBorrowed)
        return FALSE;
    return ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC hDC)
{
    if (!hDC)
        return nullptr;
    auto found = t_tempDCs.find(hDC);
    if (found != t_tempDCs.end())
        return found->second.get();
    PruneDeadTemporaries();
    auto dc = std::make_unique<CBorrowedDC>(hDC);
    CDC* temporary = dc.get();
    t_tempDCs.emplace(hDC, std::move(dc));
    return temporary;
}

void CDC::DeleteTempMap()
{
    t_tempDCs.clear();
    t_pruneSize = kFirstPruneSize;
}

// ---------------------------------------------------------------------------------------------
// Selection

CPen* CDC::SelectObject(CPen* pPen)
{
    if (!m_hDC || !pPen || !pPen->m_hObject)
        return nullptr;
    return CPen::FromHandle((HPEN)::SelectObject(m_hDC, pPen->m_hObject));
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    if (!m_hDC || !pBrush || !pBrush->m_hObject)
        return nullptr;
    return CBrush::FromHandle((HBRUSH)::SelectObject(m_hDC, pBrush->m_hObject));
}

CFont* CDC::SelectObject(CFont* pFont)
{
    if (!m_hDC || !pFont || !pFont->m_hObject)
        return nullptr;
    return CFont::FromHandle((HFONT)::SelectObject(m_hDC, pFont->m_hObject));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    if (!m_hDC || !pBitmap || !pBitmap->m_hObject)
        return nullptr;
    return CBitmap::FromHandle((HBITMAP)::SelectObject(m_hDC, pBitmap->m_hObject));
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject)
{
    if (!m_hDC || !pObject || !pObject->m_hObject)
        return nullptr;
    return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    if (!m_hDC || !hObject)
        return nullptr;
    return ::SelectObject(m_hDC, hObject);
}

// ---------------------------------------------------------------------------------------------
// Attributes and coordinates

COLORREF CDC::SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hDC); }
COLORREF CDC::SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
int CDC::SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
int CDC::SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
int CDC::GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }

CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT old = {0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::GetViewportOrg() const
{
    POINT org = {0, 0};
    ::GetViewportOrgEx(m_hDC, &org);
    return CPoint(org);
}

// ---------------------------------------------------------------------------------------------
// State and clipping

int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
int CDC::GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }

int CDC::IntersectClipRect(LPCRECT lpRect)
{
    return lpRect ? IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom) : ERROR;
}

// ---------------------------------------------------------------------------------------------
// Text

int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
{
    if (!lpszString || !lpRect)
        return 0;
    return ::DrawTextW(m_hDC, lpszString, nCount, lpRect, nFormat);
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat)
{
    return DrawText(str.GetString(), str.GetLength(), lpRect, nFormat);
}

BOOL CDC::TextOut(int x, int y, LPCTSTR lpszString, int nCount)
{
    return lpszString ? ::TextOutW(m_hDC, x, y, lpszString, nCount) : FALSE;
}

BOOL CDC::TextOut(int x, int y, const CString& str) { return TextOut(x, y, str.GetString(), str.GetLength()); }

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size = {0, 0};
    if (lpszString && nCount > 0)
        ::GetTextExtentPoint32W(m_hDC, lpszString, nCount, &size);
    return CSize(size);
}

CSize CDC::GetTextExtent(const CString& str) const { return GetTextExtent(str.GetString(), str.GetLength()); }

// ---------------------------------------------------------------------------------------------
// Filled shapes and lines

// An opaque empty text draws the rectangle in the background colour, which is put back after.
void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    if (!lpRect)
        return;
    COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    if (old != CLR_INVALID)
        ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rect = {x, y, x + cx, y + cy};
    FillSolidRect(&rect, clr);
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush)
{
    if (lpRect && pBrush && pBrush->m_hObject)
        ::FillRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject);
}

void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush)
{
    if (lpRect && pBrush && pBrush->m_hObject)
        ::FrameRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    if (lpRect)
        Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
                   clrBottomRight);
}

// The top row and the left column stop one pixel short of the far corners, which belong to the
// right column and the bottom row.
void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    if (cx <= 0 || cy <= 0)
        return;
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

void CDC::DrawFocusRect(LPCRECT lpRect)
{
    if (lpRect)
        ::DrawFocusRect(m_hDC, lpRect);
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }

BOOL CDC::Rectangle(LPCRECT lpRect)
{
    return lpRect ? Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom) : FALSE;
}

BOOL CDC::Polyline(const POINT* lpPoints, int nCount)
{
    return lpPoints ? ::Polyline(m_hDC, lpPoints, nCount) : FALSE;
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT old = {0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    return CPoint(old);
}

BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }

// ---------------------------------------------------------------------------------------------
// Icons and state images

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return hIcon ? ::DrawIcon(m_hDC, x, y, hIcon) : FALSE; }

BOOL CDC::DrawIconEx(int x, int y, HICON hIcon, int cx, int cy, UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw,
                     UINT diFlags)
{
    return hIcon ? ::DrawIconEx(m_hDC, x, y, hIcon, cx, cy, istepIfAniCur, hbrFlickerFreeDraw, diFlags) : FALSE;
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateW(m_hDC, hBrush, nullptr, (LPARAM)hBitmap, 0, pt.x, pt.y, size.cx, size.cy,
                        nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush)
{
    if (!pBitmap)
        return FALSE;
    return DrawState(pt, size, (HBITMAP)pBitmap->m_hObject, nFlags, pBrush ? (HBRUSH)pBrush->m_hObject : nullptr);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateW(m_hDC, hBrush, nullptr, (LPARAM)hIcon, 0, pt.x, pt.y, size.cx, size.cy, nFlags | DST_ICON);
}

// ---------------------------------------------------------------------------------------------
// Pixels and block transfers

COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
BOOL CDC::SetPixelV(int x, int y, COLORREF crColor) { return ::SetPixelV(m_hDC, x, y, crColor); }

BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop)
{
    return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, SourceDC(pSrcDC), xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, SourceDC(pSrcDC), xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop);
}

BOOL CDC::AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend)
{
    if (!pSrcDC)
        return FALSE;
    return ::AlphaBlend(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->m_hDC, xSrc, ySrc, nSrcWidth,
                        nSrcHeight, blend);
}

BOOL CDC::GradientFill(TRIVERTEX* pVertices, ULONG nVertices, void* pMesh, ULONG nMeshElements, DWORD dwMode)
{
    if (!pVertices || !pMesh)
        return FALSE;
    return ::GradientFill(m_hDC, pVertices, nVertices, pMesh, nMeshElements, dwMode);
}

// ---------------------------------------------------------------------------------------------
// Window DCs

CPaintDC::CPaintDC(CWnd* pWnd)
{
    if (!pWnd || !pWnd->m_hWnd)
        return;
    m_hWnd = pWnd->m_hWnd;
    HDC hDC = ::BeginPaint(m_hWnd, &m_ps);
    if (hDC)
        AttachBorrowed(hDC);
    else
        m_hWnd = nullptr;
}

CPaintDC::~CPaintDC()
{
    if (m_hWnd) {
        ::EndPaint(m_hWnd, &m_ps);
        Detach();
    }
}

CClientDC::CClientDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->m_hWnd : nullptr;
    if (HDC hDC = ::GetDC(m_hWnd))
        AttachBorrowed(hDC);
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, Detach());
}

