// CListCtrl: a thin wrapper of the common-controls list view, in the report view the program
// uses: columns, items and their texts, states and lParams, selection, searching, visibility and
// item rectangles. The common controls must have been initialised (InitCommonControlsEx).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/cstring.h"
#include "framework/wnd.h"

class CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    CListCtrl() = default;
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // The list-view extended styles (LVS_EX_...); SetExtendedStyle returns the previous ones.
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD dwNewStyle);
    COLORREF GetTextColor() const;
    COLORREF GetTextBkColor() const;

    // Columns. InsertColumn returns the new column's index or -1; a width of -1 leaves the
    // control's default, a subitem of -1 gives the column its own index as subitem.
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    BOOL DeleteColumn(int nCol);
    BOOL GetColumn(int nCol, LVCOLUMN* pColumn) const;
    // The header of a report-view list (a temporary object), or null.
    CWnd* GetHeaderCtrl() const;

    // Items. The index-taking members fail (-1, FALSE, empty) for an index the control does not have.
    int GetItemCount() const;
    int InsertItem(const LVITEM* pItem);
    int InsertItem(int nItem, LPCTSTR lpszItem);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    BOOL GetItem(LVITEM* pItem) const;
    BOOL SetItem(const LVITEM* pItem);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    UINT GetItemState(int nItem, UINT nMask) const;
    // nItem -1 changes every item.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);

    // Searching and selection. GetNextItem starts after nItem (-1: from the first) and takes
    // LVNI_... flags; FindItem searches from the item after nStart.
    int GetNextItem(int nItem, int nFlags) const;
    int FindItem(LVFINDINFO* pFindInfo, int nStart = -1) const;

    // Geometry and painting.
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    BOOL Scroll(CSize size);
    // The rectangle of one cell; nArea is LVIR_BOUNDS, LVIR_ICON or LVIR_LABEL.
    BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const;
    BOOL RedrawItems(int nFirst, int nLast);
};
