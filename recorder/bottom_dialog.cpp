#include "recorder/bottom_dialog.h"

#include "controls/open_address.h"
#include "recorder/blank_notice_dlg.h"
#include "recorder/recorder_dlg.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CBottomDialog, CRecorderPanel)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SIZE()
    ON_WM_MOVE()
    ON_BN_CLICKED(IDC_NOTICE_BUTTON, OnNoticeButton)
    ON_BN_CLICKED(IDC_PAGE_BUTTON, OnVisitPage)
    ON_MESSAGE(WM_HOVER_NOTICE, OnHoverNotice)
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kPageButtonTransparent = RGB(0, 255, 0);

CSize ClientSizeOf(const CWnd& wnd)
{
    CRect r;
    wnd.GetClientRect(&r);
    return r.Size();
}

}  // namespace

CBottomDialog::CBottomDialog(CWnd* pParent) : CRecorderPanel(IDD, pParent) {}

void CBottomDialog::DoDataExchange(CDataExchange* pDX)
{
    CRecorderPanel::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NOTICE_BUTTON, noticeButton);
    DDX_Control(pDX, IDC_PAGE_BUTTON, pageButton);
}

BOOL CBottomDialog::OnInitDialog()
{
    CRecorderPanel::OnInitDialog();
    noticeButton.SetBorderVisible(FALSE, TRUE);
    pageButton.SetBitmapsById(IDB_PAGE_BUTTON, kPageButtonTransparent, CIconButton::kNoOutImage, 0);
    pageButton.SetBorderVisible(FALSE, TRUE);
    return TRUE;
}

DragEdge CBottomDialog::CurrentDrag() const
{
    if (dragBottomLeft)
        return DragEdge::BottomLeft;
    if (dragBottomRight)
        return DragEdge::BottomRight;
    if (dragLeft)
        return DragEdge::Left;
    if (dragRight)
        return DragEdge::Right;
    if (dragBottom)
        return DragEdge::Bottom;
    return DragEdge::None;
}

void CBottomDialog::ClearDragFlags()
{
    dragLeft = dragRight = dragBottom = dragBottomLeft = dragBottomRight = false;
}

void CBottomDialog::SetDragFlag(DragEdge edge)
{
    ClearDragFlags();
    dragBottomLeft = edge == DragEdge::BottomLeft;
    dragBottomRight = edge == DragEdge::BottomRight;
    dragLeft = edge == DragEdge::Left;
    dragRight = edge == DragEdge::Right;
    dragBottom = edge == DragEdge::Bottom;
}

CSize CBottomDialog::ClientSize() const { return ClientSizeOf(*this); }

void CBottomDialog::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    RecorderView view = ReadView();
    view.progress = progress;
    // Drawn off screen first: the strip is repainted on every captured frame.
    CDC memory;
    CBitmap bitmap;
    if (memory.CreateCompatibleDC(&dc) && bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height())) {
        const HGDIOBJ old = memory.SelectObject(bitmap.m_hObject);
        PaintStatusStrip(memory, client, view);
        dc.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
        memory.SelectObject(old);
    } else {
        PaintStatusStrip(dc, client, view);
    }
}

void CBottomDialog::OnLButtonDown(UINT nFlags, CPoint point)
{
    const DragEdge zone = StripZoneAt(point, ClientSize());
    if (zone == DragEdge::None)
        return;
    SetCapture();
    ::SetCursor(::LoadCursorW(nullptr, ZoneCursor(zone)));
    SetDragFlag(zone);
    CRecorderPanel::OnLButtonDown(nFlags, point);
}

void CBottomDialog::OnMouseMove(UINT nFlags, CPoint point)
{
    if (MayResize()) {
        const DragEdge drag = CurrentDrag();
        if ((nFlags & MK_LBUTTON) && drag != DragEdge::None) {
            DragTo(drag, point);
        } else {
            const DragEdge zone = StripZoneAt(point, ClientSize());
            if (zone != DragEdge::None)
                ::SetCursor(::LoadCursorW(nullptr, ZoneCursor(zone)));
        }
    }
    CRecorderPanel::OnMouseMove(nFlags, point);
}

void CBottomDialog::OnLButtonUp(UINT nFlags, CPoint point)
{
    ClearDragFlags();
    ::ReleaseCapture();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    CRecorderPanel::OnLButtonUp(nFlags, point);
}

void CBottomDialog::OnSize(UINT nType, int cx, int cy)
{
    CRecorderPanel::OnSize(nType, cx, cy);
    // The first WM_SIZE comes while the dialog is created, before the buttons are bound.
    if (!pageButton.m_hWnd || !noticeButton.m_hWnd)
        return;
    const StripButtonPlaces places =
        PlaceStripButtons(ClientSize(), ClientSizeOf(pageButton), ClientSizeOf(noticeButton));
    pageButton.SetWindowPos(nullptr, places.page.x, places.page.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (places.showNotice) {
        noticeButton.SetWindowPos(nullptr, places.notice.x, places.notice.y, 0, 0,
                                  SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        noticeButton.ShowWindow(SW_SHOW);
    } else {
        noticeButton.ShowWindow(SW_HIDE);
    }
    InvalidateWithButtons();
}

void CBottomDialog::OnMove(int x, int y)
{
    CRecorderPanel::OnMove(x, y);
    InvalidateWithButtons();
}

// The buttons as well: moving the strip and then its buttons copies stale pixels into them.
void CBottomDialog::InvalidateWithButtons()
{
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The notice button only shows the popup while hovered; a click does nothing.
void CBottomDialog::OnNoticeButton() {}

void CBottomDialog::OnVisitPage()
{
    CString address;
    address.LoadString(IDS_PRODUCT_URL);
    OpenWebPage(address);
}

void CBottomDialog::OpenWebPage(const CString& address)
{
    // Nothing to report when no browser opens it.
    OpenAddress(address, SW_SHOWMAXIMIZED);
}

LRESULT CBottomDialog::OnHoverNotice(WPARAM, LPARAM lParam)
{
    CRecorderDlg* main = Recorder();
    if (!main || !main->notice || !main->notice->m_hWnd)
        return 0;
    if (lParam == 0)
        main->notice->ShowWindow(SW_HIDE);
    else if (main->state != RecorderRecording && main->state != RecorderPaused)
        main->notice->ShowNotice();
    return 0;
}
