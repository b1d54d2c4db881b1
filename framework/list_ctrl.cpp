#include "framework/list_ctrl.h"

#include <vector>

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(WC_LISTVIEWW, nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CListCtrl::GetExtendedStyle() const { return (DWORD)SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE); }

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle)
{
    return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, (LPARAM)dwNewStyle);
}

COLORREF CListCtrl::GetTextColor() const { return (COLORREF)SendMessage(LVM_GETTEXTCOLOR); }
COLORREF CListCtrl::GetTextBkColor() const { return (COLORREF)SendMessage(LVM_GETTEXTBKCOLOR); }

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = nFormat;
    column.pszText = const_cast<LPWSTR>(lpszColumnHeading ? lpszColumnHeading : L"");
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return (int)SendMessage(LVM_INSERTCOLUMNW, (WPARAM)nCol, (LPARAM)&column);
}

BOOL CListCtrl::DeleteColumn(int nCol) { return (BOOL)SendMessage(LVM_DELETECOLUMN, (WPARAM)nCol); }

BOOL CListCtrl::GetColumn(int nCol, LVCOLUMN* pColumn) const
{
    return pColumn ? (BOOL)SendMessage(LVM_GETCOLUMNW, (WPARAM)nCol, (LPARAM)pColumn) : FALSE;
}

CWnd* CListCtrl::GetHeaderCtrl() const { return CWnd::FromHandle((HWND)SendMessage(LVM_GETHEADER)); }

int CListCtrl::GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT); }

int CListCtrl::InsertItem(const LVITEM* pItem)
{
    return pItem ? (int)SendMessage(LVM_INSERTITEMW, 0, (LPARAM)pItem) : -1;
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = const_cast<LPWSTR>(lpszItem ? lpszItem : L"");
    return InsertItem(&item);
}

BOOL CListCtrl::DeleteItem(int nItem) { return (BOOL)SendMessage(LVM_DELETEITEM, (WPARAM)nItem); }
BOOL CListCtrl::DeleteAllItems() { return (BOOL)SendMessage(LVM_DELETEALLITEMS); }

BOOL CListCtrl::GetItem(LVITEM* pItem) const
{
    return pItem ? (BOOL)SendMessage(LVM_GETITEMW, 0, (LPARAM)pItem) : FALSE;
}

BOOL CListCtrl::SetItem(const LVITEM* pItem)
{
    return pItem ? (BOOL)SendMessage(LVM_SETITEMW, 0, (LPARAM)pItem) : FALSE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    if (nItem < 0 || nItem >= GetItemCount())
        return CString();
    // The control copies at most the buffer and says how much it copied: grow until it fits.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        LVITEMW item = {};
        item.iSubItem = nSubItem;
        item.pszText = buffer.data();
        item.cchTextMax = (int)buffer.size();
        const int copied = (int)SendMessage(LVM_GETITEMTEXTW, (WPARAM)nItem, (LPARAM)&item);
        if (copied < (int)buffer.size() - 1 || buffer.size() >= (1u << 20))
            return CString(buffer.data(), copied >= 0 && copied < (int)buffer.size() ? copied : 0);
        buffer.resize(buffer.size() * 4);
    }
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    LVITEMW item = {};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPWSTR>(lpszText ? lpszText : L"");
    return (BOOL)SendMessage(LVM_SETITEMTEXTW, (WPARAM)nItem, (LPARAM)&item);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return GetItem(&item) ? (DWORD_PTR)item.lParam : 0;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = (LPARAM)dwData;
    return SetItem(&item);
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const
{
    return (UINT)SendMessage(LVM_GETITEMSTATE, (WPARAM)nItem, (LPARAM)nMask);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEMW item = {};
    item.state = nState;
    item.stateMask = nMask;
    return (BOOL)SendMessage(LVM_SETITEMSTATE, (WPARAM)nItem, (LPARAM)&item);
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const
{
    return (int)SendMessage(LVM_GETNEXTITEM, (WPARAM)nItem, MAKELPARAM(nFlags, 0));
}

int CListCtrl::FindItem(LVFINDINFO* pFindInfo, int nStart) const
{
    return pFindInfo ? (int)SendMessage(LVM_FINDITEMW, (WPARAM)nStart, (LPARAM)pFindInfo) : -1;
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK)
{
    return (BOOL)SendMessage(LVM_ENSUREVISIBLE, (WPARAM)nItem, (LPARAM)bPartialOK);
}

BOOL CListCtrl::Scroll(CSize size) { return (BOOL)SendMessage(LVM_SCROLL, (WPARAM)size.cx, (LPARAM)size.cy); }

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const
{
    RECT r = {};
    r.top = iSubItem;
    r.left = nArea;
    if (!SendMessage(LVM_GETSUBITEMRECT, (WPARAM)iItem, (LPARAM)&r))
        return FALSE;
    ref = r;
    return TRUE;
}

BOOL CListCtrl::RedrawItems(int nFirst, int nLast)
{
    return (BOOL)SendMessage(LVM_REDRAWITEMS, (WPARAM)nFirst, (LPARAM)nLast);
}

