// CListCtrlEx: in-place editing of a cell, the keys, the notifications it handles itself and
// the colours of its cells.
#include "controls/list_ctrl_ex.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CListCtrlEx, CListCtrl)
    ON_NOTIFY_REFLECT_EX(NM_DBLCLK, OnDblClick)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT_EX(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

void CListCtrlEx::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    m_defaultBackground = GetTextBkColor();
    m_defaultText = GetTextColor();
    SetExtendedStyle(LVS_EX_FULLROWSELECT);
    ModifyStyle(0, LVS_REPORT);
}

LRESULT CListCtrlEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LISTEDIT_END)
        EndEdit((BOOL)wParam);
    return CListCtrl::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// Editing

BOOL CListCtrlEx::EnsureCellVisible(int nItem, int nCol, CRect* pRect)
{
    const BOOL visible = EnsureVisible(nItem, FALSE);
    CRect cell;
    GetSubItemRect(nItem, nCol, LVIR_LABEL, cell);
    CRect client;
    GetClientRect(&client);
    if (cell.right > client.Width())
        Scroll(CSize(cell.Width() <= client.Width() ? cell.right - client.Width() : cell.left, 0));
    else if (cell.left < 0)
        Scroll(CSize(cell.left, 0));
    if (pRect) {
        GetSubItemRect(nItem, nCol, LVIR_LABEL, cell);
        cell.right = std::min<LONG>(cell.right, client.Width() - 4);
        *pRect = cell;
    }
    return visible;
}

bool CListCtrlEx::InEditor(HWND hWnd) const
{
    if (!m_currentEdit || !m_currentEdit->editor || !hWnd)
        return false;
    HWND editor = m_currentEdit->editor->m_hWnd;
    return editor && (hWnd == editor || ::IsChild(editor, hWnd));
}

BOOL CListCtrlEx::BeginEdit(int nItem, int nCol)
{
    CListRowData* record = RowInRange(nItem) ? GetRowRecord(nItem) : nullptr;
    EndEdit(TRUE);
    // The end callback may have moved or deleted rows.
    if (record)
        nItem = FindRowRecord(record);

    if (!RowInRange(nItem) || !ColumnInRange(nCol))
        return FALSE;
    if (IsColumnReadOnly(nCol) || IsRowReadOnly(nItem) || IsCellReadOnly(nItem, nCol))
        return FALSE;

    CRect rect;
    EnsureCellVisible(nItem, nCol, &rect);

    const CListEditData* chosen = &m_defaultEdit;
    if (CListColumnData* column = GetColumnRecord(nCol); column && column->edit.HasEditor())
        chosen = &column->edit;
    if (record && record->edit.HasEditor())
        chosen = &record->edit;
    if (CListCellData* cell = GetCellRecord(nItem, nCol); cell && cell->edit.HasEditor())
        chosen = &cell->edit;
    if (!chosen->HasEditor()) {
        m_currentEdit = nullptr;
        return FALSE;
    }

    m_activeEdit = *chosen;
    m_currentEdit = &m_activeEdit;
    m_editRecord = record;
    m_editRow = m_cursorRow = nItem;
    m_editColumn = m_cursorColumn = nCol;
    CString text = GetItemText(nItem, nCol);

    if (m_activeEdit.begin) {
        m_activeEdit.begin(&m_activeEdit.editor, nItem, nCol, &text, record ? record->data : 0, this, 1);
        // A refusal, or a callback that took the row away, leaves the cell unedited.
        if (record && FindRowRecord(record) != nItem)
            m_activeEdit.editor = nullptr;
    }
    CWnd* editor = m_activeEdit.editor;
    if (!editor || !editor->IsWindow()) {
        m_currentEdit = nullptr;
        m_editRecord = nullptr;
        return FALSE;
    }

    SetRowSelected(-1, FALSE);
    if (!m_activeEdit.begin)
        editor->SetWindowText(text);
    editor->SetParent(this);
    editor->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height() + 1, SWP_SHOWWINDOW);
    editor->ShowWindow(SW_SHOW);
    editor->SetFocus();
    m_hook.RegisterEditor(editor->m_hWnd, m_hWnd, nullptr);
    return TRUE;
}

void CListCtrlEx::EndEdit(BOOL bCommit)
{
    CSingleLock lock(&m_lock, TRUE);
    // Unregistered first: the focus change that hiding the editor causes must not come back.
    const BOOL registered = m_hook.UnregisterEditor();
    if (!registered || !m_currentEdit || !m_currentEdit->editor) {
        // An editor destroyed under the edit takes the edit with it.
        if (!registered) {
            m_currentEdit = nullptr;
            m_editRecord = nullptr;
        }
        return;
    }
    const CListEditData edit = *m_currentEdit;
    CListRowData* const record = m_editRecord;
    const int column = m_editColumn;
    m_currentEdit = nullptr;
    m_editRecord = nullptr;

    CWnd* editor = edit.editor;
    if (editor->IsWindow())
        editor->ShowWindow(SW_HIDE);

    // The row is found by its record: rows may have moved, or gone, since the edit began.
    int row = FindRowRecord(record);
    CString text;
    DWORD_PTR data = 0;
    int commit = bCommit;
    if (row >= 0) {
        text = GetItemText(row, column);
        data = record->data;
    } else {
        commit = 0;
    }

    if (edit.end) {
        commit = edit.end(&editor, row, column, &text, data, this, commit);
        row = FindRowRecord(record);
    } else if (row >= 0 && editor->IsWindow()) {
        editor->GetWindowText(text);
    }

    if (row >= 0) {
        if (commit != 0)
            SetItemText(row, column, text);
        RedrawItems(row, row);
    }
    if (commit == -1)
        SortColumn(column, FALSE);
}

// ---------------------------------------------------------------------------------------------
// Keys

BOOL CListCtrlEx::HandleTab(bool fromEditor, MSG* pMsg)
{
    if (fromEditor) {
        // The list takes the key on its next arrival, once the editor's key is done.
        PostMessage(WM_KEYDOWN, pMsg->wParam, pMsg->lParam);
        return TRUE;
    }
    const bool forward = ::GetKeyState(VK_SHIFT) >= 0;
    int rows = CListCtrl::GetItemCount();
    if (forward && rows == 0 && AppendRowOnTab()) {
        rows = CListCtrl::GetItemCount();
        m_cursorColumn = 0;
    }
    int columns = GetColumnCount();
    if (rows == 0 || columns == 0)
        return CListCtrl::PreTranslateMessage(pMsg);

    auto outside = [&] { return m_cursorRow < 0 || m_cursorColumn < 0 || m_cursorRow >= rows || m_cursorColumn >= columns; };
    // Each cell at most once, however the callbacks change the table.
    for (int tries = rows * columns + 1; tries > 0; --tries) {
        if (tries == rows * columns + 1 && outside()) {
            m_cursorRow = forward ? 0 : rows - 1;
            m_cursorColumn = forward ? 0 : columns - 1;
        } else {
            m_cursorColumn += forward ? 1 : -1;
            if (m_cursorColumn >= columns || m_cursorColumn < 0) {
                m_cursorRow += forward ? 1 : -1;
                m_cursorColumn = forward ? 0 : columns - 1;
            }
            if (outside())
                break;
        }
        if (BeginEdit(m_cursorRow, m_cursorColumn))
            return TRUE;
        rows = CListCtrl::GetItemCount();
        columns = GetColumnCount();
    }
    // Past the last cell or before the first: the dialog moves the focus on.
    return CListCtrl::PreTranslateMessage(pMsg);
}

BOOL CListCtrlEx::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || !m_hWnd)
        return CListCtrl::PreTranslateMessage(pMsg);
    const bool fromList = pMsg->hwnd == m_hWnd;
    const bool fromEditor = !fromList && InEditor(pMsg->hwnd);
    if (!fromList && !fromEditor)
        return CListCtrl::PreTranslateMessage(pMsg);

    switch (pMsg->wParam) {
    case VK_TAB:
        if (::GetKeyState(VK_CONTROL) < 0)
            break;
        return HandleTab(fromEditor, pMsg);
    case VK_RETURN:
        EndEdit(TRUE);
        return TRUE;
    case VK_ESCAPE:
        // The editor's Escape ends the edit as the hook's notice does, and must not reach the
        // dialog, which would close.
        if (fromEditor) {
            EndEdit(FALSE);
            return TRUE;
        }
        break;
    case VK_DELETE:
        // In the editor, Delete edits the text.
        if (m_deleteKey && fromList) {
            DeleteSelectedItems();
            return TRUE;
        }
        break;
    default:
        break;
    }
    return CListCtrl::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------------------------------------
// Notifications

BOOL CListCtrlEx::OnDblClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(pNMHDR);
    const BOOL started = BeginEdit(activate->iItem, activate->iSubItem);
    *pResult = started;
    return started;
}

void CListCtrlEx::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    SortColumn(reinterpret_cast<const NMLISTVIEW*>(pNMHDR)->iSubItem, TRUE);
    *pResult = 0;
}

BOOL CListCtrlEx::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    LRESULT answer = 0;
    const DWORD stage = draw->nmcd.dwDrawStage;
    if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
        const int row = (int)draw->nmcd.dwItemSpec;
        const int column = draw->iSubItem;
        COLORREF background = (COLORREF)-1;
        COLORREF text = (COLORREF)-1;
        if (CListCellData* cell = GetCellRecord(row, column)) {
            background = cell->background;
            text = cell->text;
        }
        if (background == (COLORREF)-1 && text == (COLORREF)-1) {
            if (CListRowData* record = GetRowRecord(row)) {
                background = record->background;
                text = record->text;
            }
        }
        if (background == (COLORREF)-1 && text == (COLORREF)-1) {
            if (CListColumnData* record = GetColumnRecord(column)) {
                background = record->background;
                text = record->text;
            }
        }
        if (background != (COLORREF)-1 || text != (COLORREF)-1) {
            if (background == (COLORREF)-1)
                background = m_defaultBackground;
            if (text == (COLORREF)-1)
                text = m_defaultText;
            if (background != (COLORREF)-1)
                draw->clrTextBk = background;
            if (text != (COLORREF)-1)
                draw->clrText = text;
            answer = CDRF_NEWFONT;
        }
    } else if (stage == CDDS_PREPAINT || stage == CDDS_ITEMPREPAINT) {
        answer = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYSUBITEMDRAW;
    }
    *pResult = answer;
    return answer != 0;
}
