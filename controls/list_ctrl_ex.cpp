// CListCtrlEx: rows and their records, column and cell records, and the setters. Editing, keys and
// painting are in list_ctrl_ex_edit.cpp.
#include "controls/list_ctrl_ex.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CListCtrlEx, CListCtrl)

CListCtrlEx::CListCtrlEx() = default;

CListCtrlEx::~CListCtrlEx()
{
    // The hook member lets go of the editor when it goes; the records go with their vectors. The
    // window, when its owner left it, is destroyed by the base afterwards and nothing of ours
    // sees its messages then.
    m_currentEdit = nullptr;
    m_editRecord = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Records

CListRowData* CListCtrlEx::GetRowRecord(int nItem) const
{
    if (!RowInRange(nItem))
        return nullptr;
    auto* record = reinterpret_cast<CListRowData*>(CListCtrl::GetItemData(nItem));
    // Only records of ours: an item inserted around this class carries a foreign lParam.
    for (const auto& row : m_rows)
        if (row.get() == record)
            return record;
    return nullptr;
}

int CListCtrlEx::FindRowRecord(const CListRowData* record) const
{
    if (!record)
        return -1;
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(record);
    return CListCtrl::FindItem(&find, -1);
}

CListRowData* CListCtrlEx::MakeRowRecord(int nItem)
{
    if (!RowInRange(nItem))
        return nullptr;
    if (CListRowData* record = GetRowRecord(nItem))
        return record;
    m_rows.push_back(std::make_unique<CListRowData>(0));
    CListRowData* record = m_rows.back().get();
    CListCtrl::SetItemData(nItem, reinterpret_cast<DWORD_PTR>(record));
    return record;
}

void CListCtrlEx::FreeRowRecord(CListRowData* record)
{
    if (record == m_editRecord)
        m_editRecord = nullptr;
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [&](const auto& row) { return row.get() == record; }),
                 m_rows.end());
}

CListColumnData* CListCtrlEx::GetColumnRecord(int nCol) const
{
    for (const auto& column : m_columns)
        if (column->column == nCol)
            return column.get();
    return nullptr;
}

CListColumnData* CListCtrlEx::MakeColumnRecord(int nCol)
{
    if (!ColumnInRange(nCol))
        return nullptr;
    if (CListColumnData* record = GetColumnRecord(nCol))
        return record;
    m_columns.push_back(std::make_unique<CListColumnData>(nCol));
    return m_columns.back().get();
}

CListCellData* CListCtrlEx::GetCellRecord(int nItem, int nCol) const
{
    CListRowData* row = GetRowRecord(nItem);
    if (!row)
        return nullptr;
    for (const auto& cell : row->cells)
        if (cell->column == nCol)
            return cell.get();
    return nullptr;
}

CListCellData* CListCtrlEx::MakeCellRecord(int nItem, int nCol)
{
    if (!ColumnInRange(nCol))
        return nullptr;
    CListRowData* row = MakeRowRecord(nItem);
    if (!row)
        return nullptr;
    if (CListCellData* cell = GetCellRecord(nItem, nCol))
        return cell;
    row->cells.push_back(std::make_unique<CListCellData>(nCol));
    return row->cells.back().get();
}

BOOL CListCtrlEx::DeleteAllRowRecords()
{
    const int count = CListCtrl::GetItemCount();
    for (int i = 0; i < count; ++i)
        if (GetRowRecord(i))
            CListCtrl::SetItemData(i, 0);
    m_editRecord = nullptr;
    m_rows.clear();
    return TRUE;
}

BOOL CListCtrlEx::DeleteRowRecord(int nItem)
{
    CListRowData* record = GetRowRecord(nItem);
    if (!record)
        return FALSE;
    CListCtrl::SetItemData(nItem, 0);
    FreeRowRecord(record);
    return TRUE;
}

BOOL CListCtrlEx::DeleteAllColumnRecords()
{
    m_columns.clear();
    return TRUE;
}

BOOL CListCtrlEx::DeleteColumnRecord(int nCol)
{
    m_columns.erase(std::remove_if(m_columns.begin(), m_columns.end(),
                                   [&](const auto& column) { return column->column == nCol; }),
                    m_columns.end());
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Items

int CListCtrlEx::InsertItem(int nItem, LPCTSTR lpszItem)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = const_cast<LPWSTR>(lpszItem ? lpszItem : L"");
    return InsertItem(&item);
}

int CListCtrlEx::InsertItem(int nItem, LPCTSTR lpszItem, int nImage)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = nItem;
    item.pszText = const_cast<LPWSTR>(lpszItem ? lpszItem : L"");
    item.iImage = nImage;
    return InsertItem(&item);
}

int CListCtrlEx::InsertItem(const LVITEM* pItem)
{
    if (!pItem)
        return -1;
    LVITEMW item = *pItem;
    const DWORD_PTR data = (item.mask & LVIF_PARAM) ? (DWORD_PTR)item.lParam : 0;
    m_rows.push_back(std::make_unique<CListRowData>(data));
    CListRowData* record = m_rows.back().get();
    item.mask |= LVIF_PARAM;
    item.lParam = reinterpret_cast<LPARAM>(record);
    const int index = CListCtrl::InsertItem(&item);
    if (index < 0)
        FreeRowRecord(record);
    return index;
}

BOOL CListCtrlEx::SetItemData(int nItem, DWORD_PTR dwData)
{
    CListRowData* record = MakeRowRecord(nItem);
    if (!record)
        return FALSE;
    record->data = dwData;
    return TRUE;
}

DWORD_PTR CListCtrlEx::GetItemData(int nItem) const
{
    CListRowData* record = GetRowRecord(nItem);
    return record ? record->data : 0;
}

int CListCtrlEx::FindItem(LVFINDINFO* pFindInfo, int nStart) const
{
    if (!pFindInfo)
        return -1;
    if (!(pFindInfo->flags & (LVFI_ROWDATA | LVFI_PARAM)))
        return CListCtrl::FindItem(pFindInfo, nStart);
    const int count = CListCtrl::GetItemCount();
    for (int i = std::max(nStart + 1, 0); i < count; ++i) {
        CListRowData* record = GetRowRecord(i);
        if (record && record->data == (DWORD_PTR)pFindInfo->lParam)
            return i;
    }
    return -1;
}

BOOL CListCtrlEx::DeleteItem(int nItem)
{
    CListRowData* record = GetRowRecord(nItem);
    // The item goes before its record, so nothing the control sends while deleting finds a freed
    // record behind the lParam.
    if (!RowInRange(nItem) || !CListCtrl::DeleteItem(nItem))
        return FALSE;
    // The rows below moved up under an open editor: end the edit. A deleted edited row is no
    // longer found, so its edit commits nothing.
    if (IsEditing())
        EndEdit(TRUE);
    if (record)
        FreeRowRecord(record);
    return TRUE;
}

BOOL CListCtrlEx::DeleteAllItems()
{
    if (!CListCtrl::DeleteAllItems())
        return FALSE;
    if (IsEditing())
        EndEdit(TRUE);
    m_editRecord = nullptr;
    m_rows.clear();
    return TRUE;
}

void CListCtrlEx::DeleteSelectedItems()
{
    for (int i = CListCtrl::GetItemCount() - 1; i >= 0; --i)
        if (GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED)
            DeleteItem(i);
}

BOOL CListCtrlEx::DeleteAllColumns()
{
    int count = GetColumnCount();
    while (count > 0 && DeleteColumn(0))
        count = GetColumnCount();
    return count == 0;
}

BOOL CListCtrlEx::DeleteAll()
{
    DeleteAllItems();
    return DeleteAllColumns();
}

int CListCtrlEx::GetColumnCount() const
{
    CWnd* header = GetHeaderCtrl();
    if (header && header->m_hWnd)
        return (int)::SendMessageW(header->m_hWnd, HDM_GETITEMCOUNT, 0, 0);
    int count = 0;
    for (;;) {
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        if (!GetColumn(count, &column))
            return count;
        ++count;
    }
}

// ---------------------------------------------------------------------------------------------
// Edit settings

void CListCtrlEx::SetEditHandlers(ListEditCallback begin, ListEditCallback end, CWnd* editor)
{
    m_defaultEdit.begin = begin;
    m_defaultEdit.end = end;
    m_defaultEdit.editor = editor;
}

void CListCtrlEx::SetEditor(CWnd* editor) { SetEditHandlers(nullptr, nullptr, editor); }

void CListCtrlEx::SetColumnEditHandlers(int nCol, ListEditCallback begin, ListEditCallback end, CWnd* editor)
{
    if (CListColumnData* column = MakeColumnRecord(nCol)) {
        column->edit.begin = begin;
        column->edit.end = end;
        column->edit.editor = editor;
    }
}

void CListCtrlEx::SetColumnEditor(int nCol, CWnd* editor) { SetColumnEditHandlers(nCol, nullptr, nullptr, editor); }

void CListCtrlEx::SetRowEditHandlers(int nItem, ListEditCallback begin, ListEditCallback end, CWnd* editor)
{
    if (CListRowData* row = MakeRowRecord(nItem)) {
        row->edit.begin = begin;
        row->edit.end = end;
        row->edit.editor = editor;
    }
}

void CListCtrlEx::SetRowEditor(int nItem, CWnd* editor) { SetRowEditHandlers(nItem, nullptr, nullptr, editor); }

void CListCtrlEx::SetCellEditHandlers(int nItem, int nCol, ListEditCallback begin, ListEditCallback end,
                                      CWnd* editor)
{
    if (CListCellData* cell = MakeCellRecord(nItem, nCol)) {
        cell->edit.begin = begin;
        cell->edit.end = end;
        cell->edit.editor = editor;
    }
}

void CListCtrlEx::SetCellEditor(int nItem, int nCol, CWnd* editor)
{
    SetCellEditHandlers(nItem, nCol, nullptr, nullptr, editor);
}

void CListCtrlEx::SetColumnReadOnly(int nCol, BOOL bReadOnly)
{
    if (CListColumnData* column = MakeColumnRecord(nCol))
        column->edit.readOnly = bReadOnly;
}

void CListCtrlEx::SetRowReadOnly(int nItem, BOOL bReadOnly)
{
    if (CListRowData* row = MakeRowRecord(nItem))
        row->edit.readOnly = bReadOnly;
}

void CListCtrlEx::SetCellReadOnly(int nItem, int nCol, BOOL bReadOnly)
{
    if (CListCellData* cell = MakeCellRecord(nItem, nCol))
        cell->edit.readOnly = bReadOnly;
}

BOOL CListCtrlEx::IsColumnReadOnly(int nCol) const
{
    CListColumnData* column = GetColumnRecord(nCol);
    return column ? column->edit.readOnly : FALSE;
}

BOOL CListCtrlEx::IsRowReadOnly(int nItem) const
{
    CListRowData* row = GetRowRecord(nItem);
    return row ? row->edit.readOnly : FALSE;
}

BOOL CListCtrlEx::IsCellReadOnly(int nItem, int nCol) const
{
    if (CListCellData* cell = GetCellRecord(nItem, nCol))
        return cell->edit.readOnly;
    return IsRowReadOnly(nItem) || IsColumnReadOnly(nCol);
}

// ---------------------------------------------------------------------------------------------
// Colours, flags and texts

void CListCtrlEx::SetRowColors(int nItem, COLORREF background, COLORREF text)
{
    if (CListRowData* row = MakeRowRecord(nItem)) {
        row->background = background;
        row->text = text;
        RedrawItems(nItem, nItem);
    }
}

void CListCtrlEx::SetColumnColors(int nCol, COLORREF background, COLORREF text)
{
    if (CListColumnData* column = MakeColumnRecord(nCol)) {
        column->background = background;
        column->text = text;
    }
}

void CListCtrlEx::SetCellColors(int nItem, int nCol, COLORREF background, COLORREF text)
{
    if (CListCellData* cell = MakeCellRecord(nItem, nCol)) {
        cell->background = background;
        cell->text = text;
    }
}

BOOL CListCtrlEx::SetCellFlags(int nItem, int nCol, DWORD flags)
{
    CListCellData* cell = MakeCellRecord(nItem, nCol);
    if (!cell)
        return FALSE;
    cell->flags = flags;
    return TRUE;
}

DWORD CListCtrlEx::GetCellFlags(int nItem, int nCol) const
{
    CListCellData* cell = GetCellRecord(nItem, nCol);
    return cell ? cell->flags : 0;
}

void CListCtrlEx::SetColumnKind(int nCol, DWORD kind, DWORD value)
{
    if (!(kind & 7))
        return;
    if (CListColumnData* column = MakeColumnRecord(nCol)) {
        column->kind = kind;
        column->firstValue = value;
        column->secondValue = 0;
    }
}

void CListCtrlEx::SetColumnKindParam(int nCol, DWORD kind, DWORD value)
{
    if (!(kind & 7))
        return;
    if (CListColumnData* column = MakeColumnRecord(nCol)) {
        column->kind = kind;
        column->firstValue = 0;
        column->secondValue = value;
    }
}

void CListCtrlEx::SetCellText(int nItem, int nCol, LPCTSTR text, int nImage)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | (nImage != -1 ? LVIF_IMAGE : 0);
    item.iItem = nItem;
    item.iSubItem = nCol;
    item.pszText = const_cast<LPWSTR>(text ? text : L"");
    item.iImage = nImage;
    if (nCol == 0) {
        InsertItem(&item);
    } else if (RowInRange(nItem) && ColumnInRange(nCol)) {
        SetItem(&item);
    }
}

void CListCtrlEx::SetRowSelected(int nItem, BOOL bSelected)
{
    if (nItem != -1 && !RowInRange(nItem))
        return;
    SetItemState(nItem, bSelected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

BOOL CListCtrlEx::SortColumn(int, BOOL) { return FALSE; }

BOOL CListCtrlEx::CompareRows(DWORD_PTR, DWORD_PTR) { return TRUE; }

BOOL CListCtrlEx::AppendRowOnTab() { return FALSE; }
