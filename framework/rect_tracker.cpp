#include "framework/rect_tracker.h"

#include <cstdlib>

#include "framework/gdi.h"
#include "framework/wnd.h"

namespace {

// Which of the rectangle's edges a handle moves: left, top, right, bottom.
struct HandleEdges {
    bool left, top, right, bottom;
};

constexpr HandleEdges kHandleEdges[] = {
    {true, true, false, false},   // hitTopLeft
    {false, true, true, false},   // hitTopRight
    {false, false, true, true},   // hitBottomRight
    {true, false, false, true},   // hitBottomLeft
    {false, true, false, false},  // hitTop
    {false, false, true, false},  // hitRight
    {false, false, false, true},  // hitBottom
    {true, false, false, false},  // hitLeft
    {true, true, true, true},     // hitMiddle: the whole rectangle
};

CRect Normalized(const CRect& rect)
{
    CRect r = rect;
    r.NormalizeRect();
    return r;
}

}  // namespace

CRectTracker::CRectTracker(LPCRECT lpSrcRect, UINT nStyle) : m_rect(lpSrcRect), m_nStyle(nStyle) {}

// ---------------------------------------------------------------------------------------------
// Geometry

UINT CRectTracker::GetHandleMask() const
{
    UINT mask = 0x0F;  // the corners
    const CRect r = Normalized(m_rect);
    if (r.Width() >= 3 * m_nHandleSize)
        mask |= (1u << hitTop) | (1u << hitBottom);
    if (r.Height() >= 3 * m_nHandleSize)
        mask |= (1u << hitLeft) | (1u << hitRight);
    return mask;
}

void CRectTracker::GetHandleRect(int nHandle, CRect* pHandleRect) const
{
    const CRect& r = m_rect;
    const int size = m_nHandleSize;
    // Outside handles sit beyond the edge, inside ones within it; "beyond" follows the
    // rectangle's actual direction, so an inverted rectangle keeps its handles outside too.
    const bool outside = (m_nStyle & resizeOutside) != 0;
    const int dirX = r.right >= r.left ? 1 : -1;
    const int dirY = r.bottom >= r.top ? 1 : -1;
    auto place = [&](int edge, int dir, bool atStart) {
        // The handle's first pixel along one axis for a handle at an edge.
        int inner = atStart ? edge : edge - dir * size;
        int outer = atStart ? edge - dir * size : edge;
        int first = outside ? outer : inner;
        return dir > 0 ? first : first - size + 1;
    };
    auto centre = [&](int a, int b) { return (a + b) / 2 - size / 2; };
    const HandleEdges& e = kHandleEdges[nHandle];
    int x = e.left ? place(r.left, dirX, true) : e.right ? place(r.right, dirX, false) : centre(r.left, r.right);
    int y = e.top ? place(r.top, dirY, true) : e.bottom ? place(r.bottom, dirY, false) : centre(r.top, r.bottom);
    pHandleRect->SetRect(x, y, x + size, y + size);
}

void CRectTracker::GetTrueRect(LPRECT lpTrueRect) const
{
    CRect r = Normalized(m_rect);
    if (m_nStyle & (resizeOutside | hatchedBorder))
        r.InflateRect(m_nHandleSize, m_nHandleSize);
    *lpTrueRect = r;
}

int CRectTracker::NormalizeHit(int nHandle) const
{
    if (nHandle < 0 || nHandle == hitMiddle)
        return nHandle;
    const bool flipX = m_rect.right < m_rect.left;
    const bool flipY = m_rect.bottom < m_rect.top;
    HandleEdges e = kHandleEdges[nHandle];
    if (flipX)
        std::swap(e.left, e.right);
    if (flipY)
        std::swap(e.top, e.bottom);
    for (int h = 0; h < hitMiddle; ++h) {
        const HandleEdges& k = kHandleEdges[h];
        if (k.left == e.left && k.top == e.top && k.right == e.right && k.bottom == e.bottom)
            return h;
    }
    return nHandle;
}

int CRectTracker::HitTest(CPoint point) const
{
    CRect trueRect;
    GetTrueRect(&trueRect);
    if (!trueRect.PtInRect(point))
        return hitNothing;
    if (m_nStyle & (resizeInside | resizeOutside)) {
        const UINT mask = GetHandleMask();
        for (int h = 0; h < hitMiddle; ++h) {
            CRect handle;
            GetHandleRect(h, &handle);
            if ((mask & (1u << h)) && handle.PtInRect(point))
                return h;
        }
    }
    return hitMiddle;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void CRectTracker::Draw(CDC* pDC) const
{
    if (!pDC)
        return;
    const int saved = pDC->SaveDC();
    const CRect r = Normalized(m_rect);
    if (m_nStyle & (solidLine | dottedLine)) {
        CPen pen(m_nStyle & dottedLine ? PS_DOT : PS_SOLID, 0, RGB(0, 0, 0));
        pDC->SelectObject(&pen);
        ::SelectObject(pDC->m_hDC, ::GetStockObject(NULL_BRUSH));
        pDC->SetBkColor(RGB(255, 255, 255));
        pDC->Rectangle(r.left, r.top, r.right, r.bottom);
        ::SelectObject(pDC->m_hDC, ::GetStockObject(BLACK_PEN));
    }
    if (m_nStyle & (hatchInside | hatchedBorder)) {
        CBrush hatch(HS_BDIAGONAL, RGB(0, 0, 0));
        pDC->SetBkMode(TRANSPARENT);
        if (m_nStyle & hatchInside) {
            pDC->FillRect(r, &hatch);
        } else {
            CRect outer = r;
            outer.InflateRect(m_nHandleSize, m_nHandleSize);
            // Only the band around the rectangle.
            ::ExcludeClipRect(pDC->m_hDC, r.left, r.top, r.right, r.bottom);
            pDC->FillRect(outer, &hatch);
        }
    }
    pDC->RestoreDC(saved);
    if (m_nStyle & (resizeInside | resizeOutside)) {
        const UINT mask = GetHandleMask();
        for (int h = 0; h < hitMiddle; ++h) {
            if (!(mask & (1u << h)))
                continue;
            CRect handle;
            GetHandleRect(h, &handle);
            pDC->FillSolidRect(handle, RGB(0, 0, 0));
        }
    }
}

BOOL CRectTracker::SetCursor(CWnd* pWnd, UINT nHitTest) const
{
    if (nHitTest != HTCLIENT || !pWnd)
        return FALSE;
    CPoint point;
    ::GetCursorPos(&point);
    pWnd->ScreenToClient(&point);
    const int hit = NormalizeHit(HitTest(point));
    if (hit < 0)
        return FALSE;
    LPCWSTR shape = IDC_SIZEALL;
    switch (hit) {
    case hitTopLeft:
    case hitBottomRight:
        shape = IDC_SIZENWSE;
        break;
    case hitTopRight:
    case hitBottomLeft:
        shape = IDC_SIZENESW;
        break;
    case hitTop:
    case hitBottom:
        shape = IDC_SIZENS;
        break;
    case hitLeft:
    case hitRight:
        shape = IDC_SIZEWE;
        break;
    default:
        break;
    }
    ::SetCursor(::LoadCursorW(nullptr, shape));
    return TRUE;
}

void CRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd)
{
    CRect r = Normalized(CRect(lpRect));
    if (pWndClipTo && pWnd && pWndClipTo != pWnd)
        ::MapWindowPoints(pWnd->GetSafeHwnd(), pWndClipTo->GetSafeHwnd(), (LPPOINT)&r, 2);
    if (r.Width() > 0 && r.Height() > 0)
        pDC->DrawFocusRect(r);  // exclusive-or: drawn twice, it is gone
}

void CRectTracker::AdjustRect(int, LPRECT) {}

void CRectTracker::OnChangedRect(const CRect&) {}

// ---------------------------------------------------------------------------------------------
// Tracking

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo)
{
    const int hit = HitTest(point);
    if (hit < 0)
        return FALSE;
    return TrackHandle(hit, pWnd, point, bAllowInvert, pWndClipTo);
}

BOOL CRectTracker::TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert)
{
    m_rect.SetRect(point.x, point.y, point.x, point.y);
    if (!TrackHandle(hitBottomRight, pWnd, point, bAllowInvert, nullptr))
        return FALSE;
    return !Normalized(m_rect).IsRectEmpty();
}

BOOL CRectTracker::TrackHandle(int nHandle, CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo)
{
    if (!pWnd || !pWnd->GetSafeHwnd() || ::GetCapture())
        return FALSE;
    pWnd->UpdateWindow();
    CWnd* drawWnd = pWndClipTo ? pWndClipTo : pWnd;
    HDC hDC = ::GetDCEx(drawWnd->GetSafeHwnd(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    CDC* pDrawDC = CDC::FromHandle(hDC);

    // Every rectangle is worked out from the start and the mouse's distance from point, so an
    // OnChangedRect that moves or normalises m_rect does not disturb the following moves.
    const CRect start = m_rect;
    const HandleEdges& edges = kHandleEdges[nHandle];
    const bool resizing = nHandle != hitMiddle;
    bool drawn = false;
    bool accepted = false;
    CRect shown;

    pWnd->SetCapture();
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            ::PostQuitMessage(got == 0 ? (int)msg.wParam : 0);
            break;
        }
        if (::GetCapture() != pWnd->GetSafeHwnd())
            break;
        const bool mouse = msg.hwnd == pWnd->GetSafeHwnd() &&
                           (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP);
        if (mouse) {
            const CPoint now((int)(short)LOWORD(msg.lParam), (int)(short)HIWORD(msg.lParam));
            const int dx = now.x - point.x;
            const int dy = now.y - point.y;
            const CRect rectOld = m_rect;
            CRect next = start;
            if (edges.left)
                next.left += dx;
            if (edges.right)
                next.right += dx;
            if (edges.top)
                next.top += dy;
            if (edges.bottom)
                next.bottom += dy;
            if (resizing && !bAllowInvert) {
                // The moving edge stops at the smallest size instead of crossing the fixed one.
                if (edges.left && next.right - next.left < m_sizeMin.cx)
                    next.left = next.right - m_sizeMin.cx;
                if (edges.right && next.right - next.left < m_sizeMin.cx)
                    next.right = next.left + m_sizeMin.cx;
                if (edges.top && next.bottom - next.top < m_sizeMin.cy)
                    next.top = next.bottom - m_sizeMin.cy;
                if (edges.bottom && next.bottom - next.top < m_sizeMin.cy)
                    next.bottom = next.top + m_sizeMin.cy;
            }
            m_rect = next;
            AdjustRect(nHandle, &m_rect);
            const bool last = msg.message == WM_LBUTTONUP;
            if (!rectOld.EqualRect(&m_rect) || last)
                OnChangedRect(rectOld);
            if (drawn && (last || !shown.EqualRect(&m_rect))) {
                DrawTrackerRect(&shown, pWndClipTo, pDrawDC, pWnd);
                drawn = false;
            }
            if (last) {
                accepted = true;
                break;
            }
            if (!drawn) {
                shown = m_rect;
                DrawTrackerRect(&shown, pWndClipTo, pDrawDC, pWnd);
                drawn = true;
            }
            continue;
        }
        if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_RBUTTONDOWN)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (drawn)
        DrawTrackerRect(&shown, pWndClipTo, pDrawDC, pWnd);
    if (::GetCapture() == pWnd->GetSafeHwnd())
        ::ReleaseCapture();
    ::ReleaseDC(drawWnd->GetSafeHwnd(), hDC);

    if (!accepted) {
        m_rect = start;
        return FALSE;
    }
    if (!bAllowInvert)
        m_rect.NormalizeRect();
    return TRUE;
}
