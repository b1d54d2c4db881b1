#include "recorder/edge_bars.h"

BEGIN_MESSAGE_MAP(CEdgeBar, CRecorderPanel)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CEdgeBar::CEdgeBar(UINT templateId, bool leftSide, CWnd* pParent)
    : CRecorderPanel(templateId, pParent), leftSide(leftSide)
{
}

CLeftDialog::CLeftDialog(CWnd* pParent) : CEdgeBar(IDD, true, pParent) {}

CRightDialog::CRightDialog(CWnd* pParent) : CEdgeBar(IDD, false, pParent) {}

void CEdgeBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintEdgeBar(dc, client, leftSide, IndicatorsLit(ReadView()));
}

// A press anywhere on a bar starts a drag of its edge, in every state; the moves decide whether
// it resizes anything.
void CEdgeBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetCapture();
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
    CRecorderPanel::OnLButtonDown(nFlags, point);
}

void CEdgeBar::OnMouseMove(UINT nFlags, CPoint point)
{
    if (MayResize()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
        // Only a drag that began on this bar: a button pressed elsewhere and moved over the bar
        // must not resize the window.
        if ((nFlags & MK_LBUTTON) && ::GetCapture() == m_hWnd)
            DragTo(leftSide ? DragEdge::Left : DragEdge::Right, point);
    }
    CRecorderPanel::OnMouseMove(nFlags, point);
}

void CEdgeBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    ::ReleaseCapture();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    CRecorderPanel::OnLButtonUp(nFlags, point);
}
