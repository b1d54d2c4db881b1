#include "editor/frame_strip_view.h"

#include <algorithm>

#include "editor/editor_messages.h"
#include "editor/num_edit.h"
#include "framework/app.h"
#include "framework/file_dialog.h"
#include "framework/menu.h"
#include "framework/msgmap.h"
#include "recorder/recorder_dlg.h"
#include "res/strip_ids.h"

namespace {

constexpr int kMinDelay = 1;
constexpr int kMaxDelay = 999;
// Document height while every row fits: the bar stays visible but has nothing to move.
constexpr int kIdleScrollHeight = 2000;

// Rows that the client height can show, counting a partly shown last row.
UINT RowsShown(int clientHeight, UINT itemHeight, size_t count)
{
    if (clientHeight <= 0 || itemHeight == 0)
        return 0;
    UINT rows = static_cast<UINT>(clientHeight) / itemHeight;
    if (static_cast<UINT>(clientHeight) % itemHeight)
        ++rows;
    return static_cast<UINT>(std::min<size_t>(rows, count));
}

}  // namespace

IMPLEMENT_DYNCREATE(XListView, CScrollView)

BEGIN_MESSAGE_MAP(XListView, CScrollView)
    ON_WM_LBUTTONDOWN()
    ON_WM_VSCROLL()
    ON_WM_KEYDOWN()
    ON_WM_MOUSEWHEEL()
    ON_WM_ERASEBKGND()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
END_MESSAGE_MAP()

XListView::XListView() = default;

XListView::~XListView()
{
    ClearItems();
}

FrameRecordArray* XListView::Frames() const
{
    if (frames)
        return frames;
    auto* main = dynamic_cast<CRecorderDlg*>(AfxGetMainWnd());
    return main ? &main->engine.frames : nullptr;
}

void XListView::SetColorCount(int count)
{
    colorCount = (count == 128 || count == 64 || count == 32 || count == 16) ? count : 256;
}

void XListView::AddFrame(FrameRecord* record)
{
    if (!record)
        return;
    items.push_back(std::make_unique<CStripItem>(record));
}

void XListView::ClearItems()
{
    items.clear();
}

CStripItem* XListView::GetItem(int n) const
{
    return n >= 1 && static_cast<size_t>(n) <= items.size() ? items[n - 1].get() : nullptr;
}

UINT XListView::GetFirstVisibleRow() const
{
    return itemHeight ? static_cast<UINT>(GetScrollPosition().y) / itemHeight : 0;
}

void XListView::Reinitialize()
{
    OnInitialUpdate();
}

void XListView::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();
    UpdateScrollSizes();
}

void XListView::UpdateScrollSizes()
{
    CStripItem layout;
    itemHeight = static_cast<UINT>(layout.Layout(LayoutWidth(), 0));
    CRect client;
    GetClientRect(&client);
    const long clientHeight = std::max(0L, static_cast<long>(client.Height()));
    const long long total = static_cast<long long>(items.size()) * itemHeight + clientHeight % itemHeight;
    if (total > clientHeight) {
        const int height = static_cast<int>(std::min<long long>(total, 0x7FFFFFFF));
        SetScrollSizes(MM_TEXT, CSize(1, height));
        EnableScrollBar(SB_BOTH, ESB_ENABLE_BOTH);
    } else {
        // Nothing to scroll: back to the top, or a row could stay hidden above a dead bar.
        ScrollToPosition(CPoint(0, 0));
        SetScrollSizes(MM_TEXT, CSize(1, kIdleScrollHeight));
        EnableScrollBar(SB_BOTH, ESB_DISABLE_BOTH);
    }
    Invalidate(TRUE);
}

BOOL XListView::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void XListView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (client.Width() <= 0 || client.Height() <= 0)
        return;
    CStripItem layout;
    itemHeight = static_cast<UINT>(layout.Layout(LayoutWidth(), 0));
    const UINT rows = RowsShown(client.Height(), itemHeight, items.size());
    const int bufferHeight = std::max(client.Height(), static_cast<int>(rows * itemHeight));

    CDC memory;
    if (!memory.CreateCompatibleDC(nullptr))
        return;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(pDC, client.Width(), bufferHeight))
        return;
    CBitmap* oldBitmap = memory.SelectObject(&bitmap);
    if (!oldBitmap)
        return;
    memory.FillSolidRect(0, 0, client.Width(), bufferHeight, ::GetSysColor(COLOR_WINDOW));

    const CPoint scroll = GetScrollPosition();
    const UINT firstRow = static_cast<UINT>(scroll.y) / itemHeight;
    for (UINT row = firstRow; row < items.size() && row - firstRow < rows; ++row) {
        CStripItem& item = *items[row];
        item.CopyRects(layout);
        item.OffsetRects(static_cast<int>((row - firstRow) * itemHeight));
        item.Draw(&memory, static_cast<int>(row + 1), colorCount);
    }
    pDC->BitBlt(0, scroll.y, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(oldBitmap);
}

int XListView::LayoutWidth() const
{
    CRect client;
    GetClientRect(&client);
    // The rows are laid out beside the vertical bar, which stays shown once the sizes are set.
    // Before that the client area still covers the bar's place: leave it out, or the scroll
    // range would be built for other rows than the ones painted and hit.
    if (!(GetStyle() & WS_VSCROLL))
        return client.Width() - ::GetSystemMetrics(SM_CXVSCROLL);
    return client.Width();
}

UINT XListView::ItemAt(CPoint point) const
{
    if (itemHeight == 0 || point.y < 0)
        return 0;
    return (static_cast<UINT>(point.y) + static_cast<UINT>(GetScrollPosition().y)) / itemHeight + 1;
}

void XListView::SelectOnly(UINT n)
{
    for (size_t i = 0; i < items.size(); ++i)
        items[i]->selected = (i + 1 == n) ? 1 : 0;
}

void XListView::PickOnly(UINT n)
{
    SelectOnly(n);
    currentItem = n;
    ReportCurrent();
}

void XListView::SelectRange(UINT first, UINT last)
{
    for (size_t i = 0; i < items.size(); ++i)
        items[i]->selected = (i + 1 >= first && i + 1 <= last) ? 1 : 0;
}

void XListView::ReportCurrent() const
{
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_FRAME_PICKED, 0, static_cast<LPARAM>(currentItem));
}

void XListView::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetFocus();
    const UINT n = ItemAt(point);
    if (!IsValidItem(n))
        return;
    CStripItem& item = *items[n - 1];
    if (::PtInRect(&item.delayRect, point)) {
        EditDelay(n);
        Default();
        return;
    }
    if (::PtInRect(&item.checkRect, point)) {
        ToggleKeep(n);
        Default();
        return;
    }
    if (nFlags & MK_SHIFT) {
        // currentItem is the anchor; with none there is nothing to extend from.
        if (!IsValidItem(currentItem))
            return;
        if (currentItem < n)
            SelectRange(currentItem, n);
        else if (currentItem > n)
            SelectRange(n, currentItem);
    } else if (nFlags & MK_CONTROL) {
        item.selected = item.selected ? 0 : 1;
        if (item.selected)
            currentItem = n;
        ReportCurrent();
    } else {
        PickOnly(n);
    }
    Invalidate(TRUE);
    Default();
}

void XListView::OnRButtonDown(UINT, CPoint point)
{
    SetFocus();
    const UINT n = ItemAt(point);
    if (!IsValidItem(n))
        return;
    PickOnly(n);
    Invalidate(TRUE);
    Default();
}

void XListView::OnRButtonUp(UINT, CPoint point)
{
    const UINT n = ItemAt(point);
    if (!IsValidItem(n)) {
        Default();
        return;
    }
    CMenu menu;
    UINT command = 0;
    if (menu.LoadMenu(IDR_STRIP_MENU)) {
        if (CMenu* popup = menu.GetSubMenu(0)) {
            CPoint screen = point;
            ClientToScreen(&screen);
            command = static_cast<UINT>(popup->TrackPopupMenu(TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL, screen.x,
                                                              screen.y, this));
        }
        menu.DestroyMenu();
    }
    if (command == ID_STRIP_DELETE_RESTORE) {
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_COMMAND, kDeleteRestoreCommand, 0);
    } else if (command == ID_STRIP_SAVE_FRAME) {
        SaveFrame(n);
    }
    Default();
}

void XListView::SaveFrame(UINT n)
{
    if (!IsValidItem(n) || !items[n - 1]->frame || !items[n - 1]->frame->image)
        return;
    CFileDialog dialog(FALSE, L"jpg", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       L"BMP (*.bmp)|*.bmp|JPG (*.jpg)|*.jpg|PNG (*.png)|*.png||", this);
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    const DWORD type = CxImage::GetTypeIdFromName(FindExtension(path));
    if (type == CXIMAGE_FORMAT_UNKNOWN)
        return;
    // Save writes the whole file or removes what it began.
    items[n - 1]->frame->image->Save(path, type);
}

void XListView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CScrollView::OnKeyDown(nChar, nRepCnt, nFlags);
}

BOOL XListView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && m_hWnd && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        switch (pMsg->wParam) {
        case VK_DOWN:
        case VK_NEXT:
            SelectNext();
            return TRUE;
        case VK_UP:
        case VK_PRIOR:
            SelectPrevious();
            return TRUE;
        case 'A':
            if (::GetKeyState(VK_CONTROL) < 0) {
                for (auto& item : items)
                    item->selected = 1;
                Invalidate(TRUE);
                return TRUE;
            }
            break;
        default:
            break;
        }
    }
    return CScrollView::PreTranslateMessage(pMsg);
}

void XListView::SelectNext()
{
    if (items.empty())
        return;
    size_t anchor = 0;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]->selected)
            anchor = i;
    MoveSelectionTo(std::min(anchor + 1, items.size() - 1), true);
}

void XListView::SelectPrevious()
{
    if (items.empty())
        return;
    size_t anchor = 0;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]->selected)
            anchor = i;
    MoveSelectionTo(anchor > 0 ? anchor - 1 : 0, true);
}

void XListView::ShowFrame(UINT n)
{
    if (!IsValidItem(n)) {
        SelectOnly(0);
        Invalidate(TRUE);
        return;
    }
    // The owner chose the frame: reporting it back would read as the user's pick.
    MoveSelectionTo(n - 1, false);
}

void XListView::FollowReversedFrames()
{
    FrameRecordArray* list = Frames();
    const size_t n = items.size();
    if (!list || static_cast<size_t>(list->GetSize()) != n)
        return;
    for (size_t j = 0; j < n; ++j) {
        items[j]->frame = (*list)[static_cast<INT_PTR>(j)];
        items[j]->selected = 0;
    }
    // No thumbnail is made again (rows never painted have none yet).
    for (size_t i = 0; i < n / 2; ++i)
        items[i]->SwapThumbnails(*items[n - 1 - i]);
    Invalidate(TRUE);
}

void XListView::MoveSelectionTo(size_t index, bool report)
{
    SelectOnly(static_cast<UINT>(index + 1));
    CRect client;
    GetClientRect(&client);
    if (itemHeight) {
        const UINT visible = RowsShown(client.Height(), itemHeight, items.size());
        const UINT first = GetFirstVisibleRow();
        if (index < first || visible == 0 || index > first + visible - 1)
            ScrollToPosition(CPoint(0, static_cast<int>(index * itemHeight)));
    }
    currentItem = static_cast<UINT>(index + 1);
    if (report)
        ReportCurrent();
    Invalidate(TRUE);
}

void XListView::ToggleKeep(UINT n)
{
    if (!IsValidItem(n))
        return;
    CStripItem& item = *items[n - 1];
    const DWORD flag = item.IsKept() ? 0 : 1;
    if (item.selected) {
        for (auto& other : items)
            if (other->selected && other->frame && other->frame->image)
                other->frame->image->SetFlags(flag, false);
    } else {
        SelectOnly(n);
        if (item.frame && item.frame->image)
            item.frame->image->SetFlags(flag, false);
    }
    currentItem = n;
    ReportCurrent();
    Invalidate(TRUE);
}

void XListView::ToggleDeleted()
{
    auto first = std::find_if(items.begin(), items.end(), [](const auto& item) { return item->selected; });
    if (first == items.end())
        return;
    const DWORD flag = (*first)->IsKept() ? 0 : 1;
    for (auto& item : items)
        if (item->selected && item->frame && item->frame->image)
            item->frame->image->SetFlags(flag, false);
}

void XListView::SpeedUp()
{
    for (auto& item : items)
        if (item->frame && item->frame->delay > kMinDelay)
            --item->frame->delay;  // one hundredth, long imported delays included
    Invalidate(TRUE);
}

void XListView::SlowDown()
{
    for (auto& item : items)
        if (item->frame && item->frame->delay < kMaxDelay)
            item->frame->delay = std::max(item->frame->delay + 1, kMinDelay);
    Invalidate(TRUE);
}

void XListView::SetDelay(UINT n, UINT delay)
{
    if (!IsValidItem(n))
        return;
    const int value = static_cast<int>(std::min<UINT>(delay, 0x7FFFFFFF));
    if (items[n - 1]->selected) {
        for (auto& item : items)
            if (item->selected && item->frame)
                item->frame->delay = value;
    } else {
        if (items[n - 1]->frame)
            items[n - 1]->frame->delay = value;
        PickOnly(n);
    }
    Invalidate(TRUE);
}

void XListView::EditDelay(UINT n)
{
    if (!IsValidItem(n) || !items[n - 1]->frame)
        return;
    const RECT& box = items[n - 1]->delayRect;
    auto edit = std::make_unique<CNumEdit>();
    if (!edit->CreateEx(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, box.left, box.top, 23,
                        15, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kDelayEditId))))
        return;
    edit->ModifyStyleEx(0, WS_EX_CLIENTEDGE | WS_EX_RIGHT | WS_EX_NOPARENTNOTIFY, SWP_FRAMECHANGED);
    edit->SetItemNumber(n);
    CString text;
    text.Format(L"%3d", items[n - 1]->frame->delay);
    edit->SetWindowText(text);
    // From the focus on, the edit frees itself when it closes, which the focus change may
    // already do: only its window handle is used after it.
    const HWND window = edit->m_hWnd;
    edit.release()->FreeOnClose();
    ::SetFocus(window);
    if (::IsWindow(window))
        ::SendMessageW(window, EM_SETSEL, 0, -1);
}

void XListView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    SetFocus();
    CRect client;
    GetClientRect(&client);
    const UINT visibleRows = itemHeight ? static_cast<UINT>(std::max(0, client.Height())) / itemHeight : 0;
    switch (nSBCode) {
    case SB_LINEUP:
    case SB_LINEDOWN:
        SetLineSize(CSize(0, static_cast<int>(itemHeight)));
        break;
    case SB_PAGEUP:
    case SB_PAGEDOWN:
        SetPageSize(CSize(0, static_cast<int>(std::max(1u, visibleRows) * itemHeight)));
        break;
    case SB_THUMBTRACK: {
        if (pScrollBar && pScrollBar->m_hWnd)
            return;
        // Only the thumb follows the drag; the rows move when it is let go.
        SCROLLINFO info = {};
        GetScrollInfo(SB_VERT, &info, SIF_TRACKPOS | SIF_POS);
        const int pos = std::min(info.nTrackPos, GetScrollLimit(SB_VERT));
        if (pos != info.nPos)
            SetScrollPos(SB_VERT, pos, TRUE);
        return;
    }
    case SB_ENDSCROLL: {
        if (itemHeight) {
            // Snap to the nearest row boundary; half a row goes back.
            const UINT pos = static_cast<UINT>(std::max(0, GetScrollPos(SB_VERT)));
            const UINT q = pos / itemHeight;
            const UINT r = pos % itemHeight;
            const UINT snapped = (r * 2 <= itemHeight) ? q * itemHeight : (q + 1) * itemHeight;
            SetScrollPos(SB_VERT, static_cast<int>(std::min<UINT>(snapped, static_cast<UINT>(GetScrollLimit(SB_VERT)))),
                         TRUE);
        }
        Invalidate(TRUE);
        break;
    }
    default:
        break;
    }
    CScrollView::OnVScroll(nSBCode, nPos, pScrollBar);
}

BOOL XListView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    CRect client;
    GetClientRect(&client);
    if (static_cast<long long>(items.size()) * itemHeight <= client.Height())
        return TRUE;
    SendMessage(WM_VSCROLL, zDelta < 1 ? SB_LINEDOWN : SB_LINEUP, 0);
    return TRUE;
}
