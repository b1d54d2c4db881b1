#include "controls/bitmap_button.h"

#include <initializer_list>

#include "framework/gdi.h"
#include "framework/msgmap.h"

IMPLEMENT_DYNAMIC(CMyBitmapButton, CButton)

BEGIN_MESSAGE_MAP(CMyBitmapButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_KILLFOCUS()
    ON_WM_ACTIVATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

BOOL CMyBitmapButton::LoadBitmaps(UINT nIDNormal, UINT nIDHover, UINT nIDSelected, UINT nIDDisabled,
                                  UINT nIDSelectedHover, UINT nIDPressed)
{
    for (CBitmap* face : {&m_normal, &m_disabled, &m_selectedFace, &m_hoverFace, &m_selectedHover, &m_pressedFace})
        face->DeleteObject();
    if (!m_normal.LoadBitmap(nIDNormal))
        return FALSE;
    BOOL allLoaded = TRUE;
    auto load = [&allLoaded](CBitmap& face, UINT id) {
        if (id && !face.LoadBitmap(id))
            allLoaded = FALSE;
    };
    load(m_hoverFace, nIDHover);
    load(m_selectedFace, nIDSelected);
    load(m_disabled, nIDDisabled);
    load(m_selectedHover, nIDSelectedHover);
    load(m_pressedFace, nIDPressed);
    FitToBitmap();
    return allLoaded;
}

void CMyBitmapButton::FitToBitmap()
{
    BITMAP info = {};
    if (!m_hWnd || !m_normal.GetSafeHandle() || !m_normal.GetBitmap(&info))
        return;
    SetWindowPos(nullptr, 0, 0, info.bmWidth, info.bmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

const CBitmap& CMyBitmapButton::ChooseFace(UINT itemState) const
{
    auto loaded = [](const CBitmap& face) { return face.GetSafeHandle() != nullptr; };
    if ((itemState & ODS_DISABLED) && loaded(m_disabled))
        return m_disabled;
    if (m_pressed && loaded(m_pressedFace))
        return m_pressedFace;
    if (m_selected && loaded(m_selectedFace))
        return m_hover && loaded(m_selectedHover) ? m_selectedHover : m_selectedFace;
    if (m_hover && loaded(m_hoverFace))
        return m_hoverFace;
    return m_normal;
}

void CMyBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    const CBitmap& face = ChooseFace(lpDrawItemStruct->itemState);
    if (!face.GetSafeHandle())
        return;
    CDC* target = CDC::FromHandle(lpDrawItemStruct->hDC);
    CDC memory;
    if (!memory.CreateCompatibleDC(target))
        return;
    HGDIOBJ previous = memory.SelectObject(face.GetSafeHandle());
    const CRect item(lpDrawItemStruct->rcItem);
    target->BitBlt(item.left, item.top, item.Width(), item.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previous);
}

void CMyBitmapButton::ClearHover()
{
    if (!m_hover)
        return;
    m_hover = false;
    m_pressed = false;
    Invalidate(TRUE);
}

void CMyBitmapButton::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    CPoint screen = point;
    ClientToScreen(&screen);
    const HWND under = ::WindowFromPoint(screen);
    if ((nFlags & MK_LBUTTON) && !m_hover)
        return;
    if (under != m_hWnd) {
        ClearHover();
        return;
    }
    if (m_hover)
        return;
    m_hover = true;
    Invalidate(TRUE);
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
}

void CMyBitmapButton::OnMouseLeave() { ClearHover(); }

void CMyBitmapButton::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    ClearHover();
}

void CMyBitmapButton::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CButton::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE)
        ClearHover();
}

void CMyBitmapButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_pressed = true;
    CButton::OnLButtonDown(nFlags, point);
}

void CMyBitmapButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_pressed = false;
    CButton::OnLButtonUp(nFlags, point);
}
