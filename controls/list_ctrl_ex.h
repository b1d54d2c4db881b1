// CListCtrlEx: a report-view list whose rows carry a record with the caller's data pointer, with
// optional per-row, per-column and per-cell colours and edit settings, and in-place editing of
// one cell at a time: a window the caller supplies (an edit box of the dialog) is moved over the
// cell, with callbacks before and after each edit and Tab from cell to cell.
#pragma once

#include <memory>
#include <vector>

#include "controls/list_ctrl_ex_hook.h"
#include "framework/cstring.h"
#include "framework/list_ctrl.h"
#include "framework/msgmap.h"
#include "framework/sync.h"

// Ends the edit in progress; wParam non-zero keeps the typed text (the notice of the editor hook).
constexpr UINT WM_LISTEDIT_END = WM_USER + 10;
// CListCtrlEx::FindItem: search the rows by the caller's data pointer. LVFI_PARAM does the same:
// the items' own lParams belong to the list.
constexpr UINT LVFI_ROWDATA = 0x0004;

class CListCtrlEx;

// The cell-edit callbacks: (editor pointer of the edit in use, row, column, cell text, row data,
// list, flag). The begin callback gets the flag 1 and may put another editor, or null to refuse,
// into the pointer; it fills the editor itself. The end callback gets the commit flag, reads the
// editor and leaves in the text what the cell is to show; its result decides: 0 leaves the cell,
// anything else writes the text, -1 also sorts by the column.
typedef int (*ListEditCallback)(CWnd** editor, int row, int column, CString* text, DWORD_PTR data,
                                CListCtrlEx* list, int flag);

struct CListEditData {
    ListEditCallback begin = nullptr;
    ListEditCallback end = nullptr;
    CWnd* editor = nullptr;  // not owned
    BOOL readOnly = FALSE;

    BOOL HasEditor() const { return begin != nullptr || editor != nullptr; }
};

struct CListCellData {
    explicit CListCellData(int column) : column(column) {}
    CListEditData edit;
    COLORREF background = (COLORREF)-1;  // -1: not set
    COLORREF text = (COLORREF)-1;
    DWORD flags = 0;
    int column;
};

struct CListColumnData {
    explicit CListColumnData(int column) : column(column) {}
    CListEditData edit;
    int column;
    COLORREF background = (COLORREF)-1;
    COLORREF text = (COLORREF)-1;
    DWORD kind = 0;
    DWORD firstValue = 0;
    DWORD secondValue = 0;
};

struct CListRowData {
    explicit CListRowData(DWORD_PTR data) : data(data) {}
    virtual ~CListRowData() = default;
    CListEditData edit;
    std::vector<std::unique_ptr<CListCellData>> cells;
    COLORREF background = (COLORREF)-1;
    COLORREF text = (COLORREF)-1;
    DWORD_PTR data;  // the caller's data pointer
};

class CListCtrlEx : public CListCtrl {
    DECLARE_DYNAMIC(CListCtrlEx)
public:
    CListCtrlEx();
    ~CListCtrlEx() override;

    // Items. Every item's lParam is its row record; the caller's data lives in the record. Row
    // indexes outside the list are refused (FALSE, -1, 0 or null).
    int InsertItem(int nItem, LPCTSTR lpszItem);
    int InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
    // The caller's lParam (with LVIF_PARAM) becomes the row's data.
    int InsertItem(const LVITEM* pItem);
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    CListRowData* GetRowRecord(int nItem) const;
    int FindRowRecord(const CListRowData* record) const;
    // With LVFI_ROWDATA or LVFI_PARAM, the first row after nStart whose data is the lParam.
    int FindItem(LVFINDINFO* pFindInfo, int nStart = -1) const;
    // An edit in progress ends first; its row, when deleted, takes nothing of the typed text.
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    BOOL DeleteAllRowRecords();
    BOOL DeleteRowRecord(int nItem);
    BOOL DeleteAllColumnRecords();
    BOOL DeleteColumnRecord(int nCol);
    void DeleteSelectedItems();
    void EnableDeleteKey(BOOL bEnable) { m_deleteKey = bEnable; }
    BOOL DeleteAllColumns();
    BOOL DeleteAll();
    int GetColumnCount() const;
    CListColumnData* GetColumnRecord(int nCol) const;
    CListCellData* GetCellRecord(int nItem, int nCol) const;

    // Editors and callbacks: list-wide, per column, per row and per cell (the most specific wins).
    void SetEditHandlers(ListEditCallback begin, ListEditCallback end, CWnd* editor);
    void SetEditor(CWnd* editor);
    void SetColumnEditHandlers(int nCol, ListEditCallback begin, ListEditCallback end, CWnd* editor);
    void SetColumnEditor(int nCol, CWnd* editor);
    void SetRowEditHandlers(int nItem, ListEditCallback begin, ListEditCallback end, CWnd* editor);
    void SetRowEditor(int nItem, CWnd* editor);
    void SetCellEditHandlers(int nItem, int nCol, ListEditCallback begin, ListEditCallback end, CWnd* editor);
    void SetCellEditor(int nItem, int nCol, CWnd* editor);
    void SetColumnReadOnly(int nCol, BOOL bReadOnly);
    void SetRowReadOnly(int nItem, BOOL bReadOnly);
    void SetCellReadOnly(int nItem, int nCol, BOOL bReadOnly);
    BOOL IsColumnReadOnly(int nCol) const;
    BOOL IsRowReadOnly(int nItem) const;
    BOOL IsCellReadOnly(int nItem, int nCol) const;

    // Colours; -1 leaves one unset (the list's own colour is drawn).
    void SetRowColors(int nItem, COLORREF background, COLORREF text);
    void SetColumnColors(int nCol, COLORREF background, COLORREF text);
    void SetCellColors(int nItem, int nCol, COLORREF background, COLORREF text);
    BOOL SetCellFlags(int nItem, int nCol, DWORD flags);
    DWORD GetCellFlags(int nItem, int nCol) const;
    void SetColumnKind(int nCol, DWORD kind, DWORD value);
    void SetColumnKindParam(int nCol, DWORD kind, DWORD value);
    // Column 0 inserts a row; an image other than -1 is set too.
    void SetCellText(int nItem, int nCol, LPCTSTR text, int nImage = -1);
    // nItem -1 for every row.
    void SetRowSelected(int nItem, BOOL bSelected);
    virtual BOOL SortColumn(int nCol, BOOL bToggle);
    BOOL CompareRows(DWORD_PTR first, DWORD_PTR second);

    // Scrolls the cell into view; the rectangle, when wanted, is its label's within the client area.
    BOOL EnsureCellVisible(int nItem, int nCol, CRect* pRect);
    // Opens the editor over the cell (after ending any edit in progress); FALSE when the cell
    // cannot be edited or the begin callback refuses.
    BOOL BeginEdit(int nItem, int nCol);
    void EndEdit(BOOL bCommit);
    BOOL IsEditing() const { return m_currentEdit != nullptr; }
    // Asked when Tab finds no row to move to; TRUE when a row was added.
    virtual BOOL AppendRowOnTab();

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;
    BOOL OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    bool RowInRange(int nItem) const { return nItem >= 0 && nItem < CListCtrl::GetItemCount(); }
    bool ColumnInRange(int nCol) const { return nCol >= 0 && nCol < GetColumnCount(); }
    CListRowData* MakeRowRecord(int nItem);
    CListColumnData* MakeColumnRecord(int nCol);
    CListCellData* MakeCellRecord(int nItem, int nCol);
    void FreeRowRecord(CListRowData* record);
    BOOL HandleTab(bool fromEditor, MSG* pMsg);
    bool InEditor(HWND hWnd) const;

    CCriticalSection m_lock;  // EndEdit runs whole
    std::vector<std::unique_ptr<CListRowData>> m_rows;
    std::vector<std::unique_ptr<CListColumnData>> m_columns;
    CListEditData* m_currentEdit = nullptr;  // &m_activeEdit while a cell is edited
    // The edit data in use, copied from the list-wide, column, row or cell data: a begin
    // callback changes only this edit's editor, and deleting the row cannot pull it away.
    CListEditData m_activeEdit;
    CListEditData m_defaultEdit;
    CListRowData* m_editRecord = nullptr;  // the edited row, found again by it when the edit ends
    int m_editRow = -1;
    int m_editColumn = -1;
    int m_cursorRow = -1;
    int m_cursorColumn = -1;
    COLORREF m_defaultBackground = (COLORREF)-1;
    COLORREF m_defaultText = (COLORREF)-1;
    CPopupCloseHook m_hook;
    BOOL m_deleteKey = FALSE;
};
