#include "framework/scroll_view.h"

#include <algorithm>

#include "framework/app.h"
#include "framework/msgmap.h"

const SIZE CScrollView::sizeDefault = {0, 0};

IMPLEMENT_DYNAMIC(CScrollView, CWnd)

BEGIN_MESSAGE_MAP(CScrollView, CWnd)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

CScrollView::CScrollView() = default;

CScrollView::~CScrollView() = default;

BOOL CScrollView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, void* pContext)
{
    if (!lpszClassName) {
        lpszClassName = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr);
        if (!lpszClassName)
            return FALSE;
    }
    return CWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

void CScrollView::PostNcDestroy()
{
    delete this;
}

void CScrollView::OnInitialUpdate()
{
    UpdateBars();
    Invalidate(TRUE);
}

void CScrollView::OnDraw(CDC*) {}

void CScrollView::OnPrepareDC(CDC* pDC)
{
    const CPoint pos = GetScrollPosition();
    ::SetMapMode(pDC->m_hDC, mapMode);
    ::SetViewportOrgEx(pDC->m_hDC, -pos.x, -pos.y, nullptr);
}

void CScrollView::OnPaint()
{
    CPaintDC dc(this);
    if (!dc.m_hDC)
        return;
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    mapMode = nMapMode;
    totalSize = CSize(std::max(0L, sizeTotal.cx), std::max(0L, sizeTotal.cy));
    pageSize = sizePage;
    if (pageSize.cx <= 0)
        pageSize.cx = totalSize.cx / 10;
    if (pageSize.cy <= 0)
        pageSize.cy = totalSize.cy / 10;
    lineSize = sizeLine;
    if (lineSize.cx <= 0)
        lineSize.cx = pageSize.cx / 10;
    if (lineSize.cy <= 0)
        lineSize.cy = pageSize.cy / 10;
    lineSize.cx = std::max(1L, lineSize.cx);
    lineSize.cy = std::max(1L, lineSize.cy);
    if (m_hWnd)
        UpdateBars();
}

void CScrollView::SetPageSize(SIZE sizePage)
{
    if (sizePage.cx > 0)
        pageSize.cx = sizePage.cx;
    if (sizePage.cy > 0)
        pageSize.cy = sizePage.cy;
}

void CScrollView::SetLineSize(SIZE sizeLine)
{
    if (sizeLine.cx > 0)
        lineSize.cx = sizeLine.cx;
    if (sizeLine.cy > 0)
        lineSize.cy = sizeLine.cy;
}

CPoint CScrollView::GetScrollPosition() const
{
    if (!m_hWnd)
        return CPoint(0, 0);
    // The 32-bit positions of the bars; a hidden bar stands at 0.
    SCROLLINFO h = {}, v = {};
    const int x = GetScrollInfo(SB_HORZ, &h, SIF_POS) ? h.nPos : 0;
    const int y = GetScrollInfo(SB_VERT, &v, SIF_POS) ? v.nPos : 0;
    return CPoint(x, y);
}

void CScrollView::ScrollToPosition(POINT pt)
{
    if (!m_hWnd)
        return;
    const CPoint old = GetScrollPosition();
    const int x = std::clamp(static_cast<int>(pt.x), 0, std::max(0, GetScrollLimit(SB_HORZ)));
    const int y = std::clamp(static_cast<int>(pt.y), 0, std::max(0, GetScrollLimit(SB_VERT)));
    if (x != old.x)
        SetScrollPos(SB_HORZ, x, TRUE);
    if (y != old.y)
        SetScrollPos(SB_VERT, y, TRUE);
    const CPoint now = GetScrollPosition();
    if (now != old)
        ScrollWindow(old.x - now.x, old.y - now.y);
}

void CScrollView::UpdateBars()
{
    if (!m_hWnd || updatingBars)
        return;
    updatingBars = true;
    // Decide on the client area without bars, then measure again with those shown.
    CRect client;
    GetClientRect(&client);
    const DWORD style = GetStyle();
    int width = client.Width() + ((style & WS_VSCROLL) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0);
    int height = client.Height() + ((style & WS_HSCROLL) ? ::GetSystemMetrics(SM_CYHSCROLL) : 0);
    bool needV = totalSize.cy > height;
    bool needH = totalSize.cx > width;
    if (needV)
        width -= ::GetSystemMetrics(SM_CXVSCROLL);
    if (!needH && totalSize.cx > width)
        needH = true;
    if (needH)
        height -= ::GetSystemMetrics(SM_CYHSCROLL);
    if (!needV && totalSize.cy > height)
        needV = true;

    const CPoint pos = GetScrollPosition();
    auto setBar = [this](int bar, bool need, int total, int page, int position) {
        SCROLLINFO info = {};
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = need ? total - 1 : 0;
        info.nPage = need ? static_cast<UINT>(std::max(1, page)) : 0;
        info.nPos = need ? std::clamp(position, 0, std::max(0, total - std::max(1, page))) : 0;
        SetScrollInfo(bar, &info, TRUE);
        ShowScrollBar(bar, need ? TRUE : FALSE);
    };
    setBar(SB_VERT, needV, totalSize.cy, height, pos.y);
    setBar(SB_HORZ, needH, totalSize.cx, width, pos.x);
    updatingBars = false;
    if (GetScrollPosition() != pos)
        Invalidate(FALSE);
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    UpdateBars();
}

int CScrollView::ScrollTarget(int nBar, UINT nSBCode, int line, int page) const
{
    SCROLLINFO info = {};
    GetScrollInfo(nBar, &info, SIF_ALL);
    switch (nSBCode) {
    case SB_LINEUP:
        return info.nPos - line;
    case SB_LINEDOWN:
        return info.nPos + line;
    case SB_PAGEUP:
        return info.nPos - page;
    case SB_PAGEDOWN:
        return info.nPos + page;
    case SB_TOP:
        return 0;
    case SB_BOTTOM:
        return GetScrollLimit(nBar);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        // The message's own position has 16 bits only; the bar's track position is whole.
        return info.nTrackPos;
    default:
        return info.nPos;
    }
}

void CScrollView::OnVScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar && pScrollBar->m_hWnd)
        return;  // a scroll bar control of a child, not ours
    if (nSBCode == SB_ENDSCROLL)
        return;
    const int y = ScrollTarget(SB_VERT, nSBCode, lineSize.cy, pageSize.cy);
    ScrollToPosition(CPoint(GetScrollPosition().x, y));
}

void CScrollView::OnHScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar && pScrollBar->m_hWnd)
        return;
    if (nSBCode == SB_ENDSCROLL)
        return;
    const int x = ScrollTarget(SB_HORZ, nSBCode, lineSize.cx, pageSize.cx);
    ScrollToPosition(CPoint(x, GetScrollPosition().y));
}

BOOL CScrollView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    if (!(GetStyle() & WS_VSCROLL))
        return FALSE;
    const int lines = -zDelta / WHEEL_DELTA;
    if (lines != 0)
        ScrollToPosition(CPoint(GetScrollPosition().x, GetScrollPosition().y + lines * lineSize.cy));
    return TRUE;
}
