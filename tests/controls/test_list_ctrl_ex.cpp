// The editable list in a real dialog on the display, driven by real mouse and keyboard input:
// a double-click opens the dialog's edit box over the cell, typed text (Chinese too) reaches the
// end callback for the right row and column on Enter, focus loss and Escape, a refusing begin
// callback refuses once only, deleting rows under an open edit ends it, bad rows are refused, and
// a list that goes away leaves no editor registered with the thread hook.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "controls/list_ctrl_ex.h"
#include "framework/framework.h"
#include "tests/test_input.h"

namespace {

CWinApp g_app(L"kelvo list test");

constexpr UINT IDD_LIST_TEST = 410;
constexpr int IDC_LIST = 1019;
constexpr int IDC_CELL_EDIT = 1008;
constexpr int IDC_OTHER = 1001;
constexpr int IDC_SECOND_LIST = 1020;
constexpr int IDC_SECOND_EDIT = 1002;

// What the callbacks saw.
struct Call {
    int flag;
    int row;
    int column;
    std::wstring editorText;
    DWORD_PTR data;
};
std::vector<Call> g_begins;
std::vector<Call> g_ends;
int g_refusals = 0;    // begin calls still to refuse
int g_endResult = 1;   // what the end callback answers

std::wstring TextOf(CWnd* wnd)
{
    CString text;
    wnd->GetWindowText(text);
    return text.GetString();
}

// As the Edit dialog does: the editor gets the cell's text, all of it selected.
int OnBegin(CWnd** editor, int row, int column, CString* text, DWORD_PTR data, CListCtrlEx*, int flag)
{
    g_begins.push_back({flag, row, column, L"", data});
    if (g_refusals > 0) {
        --g_refusals;
        *editor = nullptr;
        return FALSE;
    }
    (*editor)->SetWindowText(*text);
    (*editor)->SendMessage(EM_SETSEL, 0, -1);
    return TRUE;
}

int OnEnd(CWnd** editor, int row, int column, CString* text, DWORD_PTR data, CListCtrlEx*, int flag)
{
    g_ends.push_back({flag, row, column, TextOf(*editor), data});
    (*editor)->GetWindowText(*text);
    return g_endResult;
}

class ListDialog : public CDialog {
public:
    ListDialog() { Create(IDD_LIST_TEST); }
    ~ListDialog() override
    {
        if (m_hWnd)
            DestroyWindow();
    }

    CListCtrlEx list;
    CEdit cellEdit;
    std::vector<UINT> notices;  // notification codes from the list that reached the dialog

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_LIST, list);
        DDX_Control(pDX, IDC_CELL_EDIT, cellEdit);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        BOOL handled = CDialog::OnNotify(wParam, lParam, pResult);
        const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
        if (!handled && nm->idFrom == IDC_LIST)
            notices.push_back(nm->code);
        return handled;
    }
};

class ListEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&init);
        dlg = std::make_unique<ListDialog>();
        ASSERT_TRUE(dlg->m_hWnd);
        dlg->SetWindowPos(nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dlg->SetForegroundWindow();
        CListCtrlEx& list = dlg->list;
        list.InsertColumn(0, L"起始", LVCFMT_LEFT, 60);
        list.InsertColumn(1, L"结束", LVCFMT_LEFT, 60);
        list.InsertColumn(2, L"文字", LVCFMT_LEFT, 150);
        for (int row = 0; row < 3; ++row) {
            list.InsertItem(row, std::to_wstring(row + 1).c_str());
            list.SetItemText(row, 1, std::to_wstring(row + 10).c_str());
            list.SetItemText(row, 2, (L"row" + std::to_wstring(row)).c_str());
            list.SetItemData(row, (DWORD_PTR)&data[row]);
        }
        list.SetEditHandlers(&OnBegin, &OnEnd, &dlg->cellEdit);
        g_begins.clear();
        g_ends.clear();
        g_refusals = 0;
        g_endResult = 1;
        Pump(50);
    }
    void TearDown() override
    {
        dlg.reset();
        // The next test's first click must not pair with this test's last one.
        Pump(::GetDoubleClickTime() + 50);
    }

    POINT CellCentre(int row, int column)
    {
        CRect cell;
        dlg->list.GetSubItemRect(row, column, LVIR_LABEL, cell);
        CPoint centre((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        dlg->list.ClientToScreen(&centre);
        return centre;
    }
    void OpenByDoubleClick(int row, int column)
    {
        DoubleClick(CellCentre(row, column));
        ASSERT_TRUE(PumpUntil([&] { return dlg->list.IsEditing(); })) << "no edit opened";
        ASSERT_EQ(dlg->cellEdit.m_hWnd, ::GetFocus());
        Pump(100);  // the list is done with the clicks
    }
    // Types into the open editor and waits until it shows the text.
    void TypeInEditor(const std::wstring& text)
    {
        TypeText(text.c_str());
        ASSERT_TRUE(PumpUntil([&] {
            const std::wstring now = TextOf(&dlg->cellEdit);
            return now.size() >= text.size() && now.compare(now.size() - text.size(), text.size(), text) == 0;
        })) << "typing did not arrive";
    }
    std::wstring Cell(int row, int column) { return dlg->list.GetItemText(row, column).GetString(); }

    int data[3] = {};
    std::unique_ptr<ListDialog> dlg;
};

TEST_F(ListEdit, DoubleClickTypeAndEnterGiveTheTextToTheEditedCell)
{
    OpenByDoubleClick(1, 2);
    ASSERT_EQ(1u, g_begins.size());
    EXPECT_EQ(1, g_begins[0].row);
    EXPECT_EQ(2, g_begins[0].column);
    EXPECT_EQ((DWORD_PTR)&data[1], g_begins[0].data);
    EXPECT_EQ(L"row1", TextOf(&dlg->cellEdit));
    // Over the cell, inside the list.
    CRect editor;
    dlg->cellEdit.GetWindowRect(&editor);
    EXPECT_TRUE(editor.PtInRect(CellCentre(1, 2)));
    EXPECT_EQ(dlg->list.m_hWnd, ::GetParent(dlg->cellEdit.m_hWnd));

    TypeInEditor(L"ab字幕");
    TypeKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->list.IsEditing(); }));
    ASSERT_EQ(1u, g_ends.size());
    EXPECT_EQ(1, g_ends[0].flag);
    EXPECT_EQ(1, g_ends[0].row);
    EXPECT_EQ(2, g_ends[0].column);
    EXPECT_EQ(L"ab字幕", g_ends[0].editorText);
    EXPECT_EQ((DWORD_PTR)&data[1], g_ends[0].data);
    EXPECT_EQ(L"ab字幕", Cell(1, 2));
    EXPECT_EQ(L"row0", Cell(0, 2));
    EXPECT_FALSE(dlg->cellEdit.IsWindowVisible());
    EXPECT_TRUE(dlg->IsWindowVisible());  // Enter did not reach the dialog
}

TEST_F(ListEdit, FocusLeavingTheEditorCommits)
{
    OpenByDoubleClick(2, 0);
    TypeInEditor(L"7");
    Click(CentreOf(dlg->GetDlgItem(IDC_OTHER)->m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return !dlg->list.IsEditing(); }, 3000));
    ASSERT_EQ(1u, g_ends.size());
    EXPECT_EQ(1, g_ends[0].flag);
    EXPECT_EQ(2, g_ends[0].row);
    EXPECT_EQ(0, g_ends[0].column);
    EXPECT_EQ(L"7", Cell(2, 0));
    EXPECT_EQ(dlg->GetDlgItem(IDC_OTHER)->m_hWnd, ::GetFocus());
}

TEST_F(ListEdit, EscapeEndsTheEditAndTheEndCallbackCommits)
{
    OpenByDoubleClick(0, 1);
    TypeInEditor(L"中文");
    TypeKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->list.IsEditing(); }));
    ASSERT_EQ(1u, g_ends.size());
    EXPECT_EQ(0, g_ends[0].flag);
    EXPECT_EQ(0, g_ends[0].row);
    EXPECT_EQ(1, g_ends[0].column);
    EXPECT_EQ(L"中文", Cell(0, 1));
    // The key ended the edit only: the dialog is still there.
    EXPECT_TRUE(dlg->IsWindowVisible());

    // Without an end callback, Escape keeps the cell as it was.
    dlg->list.SetEditor(&dlg->cellEdit);
    ASSERT_TRUE(dlg->list.BeginEdit(0, 1));
    dlg->cellEdit.SetSel(0, -1);
    TypeInEditor(L"x");
    TypeKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->list.IsEditing(); }));
    EXPECT_EQ(L"中文", Cell(0, 1));
}

TEST_F(ListEdit, RefusingBeginCallbackRefusesThatEditOnly)
{
    g_refusals = 1;
    DoubleClick(CellCentre(0, 2));
    ASSERT_TRUE(PumpUntil([&] { return g_begins.size() == 1; }));
    Pump(50);
    EXPECT_FALSE(dlg->list.IsEditing());
    EXPECT_FALSE(dlg->cellEdit.IsWindowVisible());
    // The refused double-click goes on to the dialog.
    EXPECT_NE(dlg->notices.end(), std::find(dlg->notices.begin(), dlg->notices.end(), (UINT)NM_DBLCLK));

    Pump(600);  // past the double-click time
    OpenByDoubleClick(0, 2);
    EXPECT_TRUE(dlg->cellEdit.IsWindowVisible());
    TypeInEditor(L"ok");
    TypeKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->list.IsEditing(); }));
    EXPECT_EQ(L"ok", Cell(0, 2));
}

TEST_F(ListEdit, DeletingRowsUnderAnOpenEditEndsItOnTheRightRow)
{
    CListCtrlEx& list = dlg->list;
    // A row above the edited one goes: the edit ends and commits to its row where it now is.
    ASSERT_TRUE(list.BeginEdit(2, 2));
    TypeInEditor(L"moved");
    ASSERT_TRUE(list.DeleteItem(0));
    EXPECT_FALSE(list.IsEditing());
    ASSERT_EQ(1u, g_ends.size());
    EXPECT_EQ(1, g_ends[0].row);
    EXPECT_EQ((DWORD_PTR)&data[2], g_ends[0].data);
    EXPECT_EQ(L"moved", Cell(1, 2));
    EXPECT_EQ(L"row1", Cell(0, 2));

    // The edited row itself goes: the callback learns that no row is left to take the text.
    ASSERT_TRUE(list.BeginEdit(0, 2));
    TypeInEditor(L"lost");
    ASSERT_TRUE(list.DeleteItem(0));
    EXPECT_FALSE(list.IsEditing());
    ASSERT_EQ(2u, g_ends.size());
    EXPECT_EQ(-1, g_ends[1].row);
    EXPECT_EQ(0, g_ends[1].flag);
    EXPECT_EQ(0u, g_ends[1].data);
    ASSERT_EQ(1, list.GetItemCount());
    EXPECT_EQ(L"moved", Cell(0, 2));
    EXPECT_EQ((DWORD_PTR)&data[2], list.GetItemData(0));

    // All rows at once.
    ASSERT_TRUE(list.BeginEdit(0, 1));
    ASSERT_TRUE(list.DeleteAllItems());
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(-1, g_ends.back().row);
    EXPECT_FALSE(dlg->cellEdit.IsWindowVisible());

    // The list still edits new rows.
    list.InsertItem(0, L"new");
    ASSERT_TRUE(list.BeginEdit(0, 0));
    TypeKey(VK_RETURN);
    EXPECT_FALSE(list.IsEditing());
}

TEST_F(ListEdit, RowsOutsideTheListAreRefused)
{
    CListCtrlEx& list = dlg->list;
    EXPECT_FALSE(list.BeginEdit(-1, 0));
    EXPECT_FALSE(list.BeginEdit(3, 0));
    EXPECT_FALSE(list.BeginEdit(0, 3));
    EXPECT_FALSE(list.IsEditing());
    EXPECT_FALSE(list.SetItemData(3, 1));
    EXPECT_EQ(0u, list.GetItemData(3));
    EXPECT_EQ(nullptr, list.GetRowRecord(3));
    EXPECT_FALSE(list.DeleteRowRecord(3));
    EXPECT_FALSE(list.DeleteItem(3));
    EXPECT_FALSE(list.DeleteItem(-1));
    list.SetRowReadOnly(3, TRUE);
    list.SetCellColors(3, 0, RGB(1, 2, 3), RGB(4, 5, 6));
    EXPECT_EQ(nullptr, list.GetCellRecord(3, 0));
    EXPECT_EQ(3, list.GetItemCount());
    EXPECT_TRUE(g_begins.empty());

    // A row is found by the caller's data, by either flag, and never by its record.
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = (LPARAM)&data[2];
    EXPECT_EQ(2, list.FindItem(&find, -1));
    find.flags = LVFI_ROWDATA;
    EXPECT_EQ(2, list.FindItem(&find, -1));
    EXPECT_EQ(-1, list.FindItem(&find, 2));
    find.lParam = (LPARAM)list.GetRowRecord(1);
    EXPECT_EQ(-1, list.FindItem(&find, -1));
}

TEST_F(ListEdit, ListGoneLeavesNoEditorWithTheHook)
{
    auto second = std::make_unique<CListCtrlEx>();
    ASSERT_TRUE(second->SubclassDlgItem(IDC_SECOND_LIST, dlg.get()));
    CEdit editor;
    ASSERT_TRUE(editor.SubclassDlgItem(IDC_SECOND_EDIT, dlg.get()));
    second->InsertColumn(0, L"a", LVCFMT_LEFT, 80);
    second->InsertItem(0, L"x");
    second->SetEditor(&editor);
    ASSERT_TRUE(second->BeginEdit(0, 0));
    EXPECT_EQ(1, g_popupEditorMap.GetCount());

    // The object goes while its editor is open and its window still stands.
    second.reset();
    EXPECT_EQ(0, g_popupEditorMap.GetCount());
    EXPECT_FALSE(::IsWindow(editor.m_hWnd));  // it was a child of the list

    // The remaining list's hook still works.
    OpenByDoubleClick(1, 1);
    EXPECT_EQ(1, g_popupEditorMap.GetCount());
    Click(CentreOf(dlg->GetDlgItem(IDC_OTHER)->m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return !dlg->list.IsEditing(); }));
    EXPECT_EQ(0, g_popupEditorMap.GetCount());
}

}  // namespace
