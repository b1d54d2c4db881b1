// The editable list in a real dialog, driven by real mouse and keyboard input: typed text reaches
// the end callback on Enter, focus loss and Escape; a refusal, deleted rows and a list that goes
// away leave nothing open or registered.
#include <gtest/gtest.h>

#include <memory>
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
    int flag, row, column;
    DWORD_PTR data;
};
std::vector<Call> g_begins, g_ends;
int g_refusals = 0;  // begin calls still to refuse

std::wstring TextOf(CWnd* wnd)
{
    CString text;
    wnd->GetWindowText(text);
    return text.GetString();
}

// As the Edit dialog does: the editor gets the cell's text, all of it selected.
int OnBegin(CWnd** editor, int row, int column, CString* text, DWORD_PTR data, CListCtrlEx*, int flag)
{
    g_begins.push_back({flag, row, column, data});
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
    g_ends.push_back({flag, row, column, data});
    (*editor)->GetWindowText(*text);
    return 1;
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

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_LIST, list);
        DDX_Control(pDX, IDC_CELL_EDIT, cellEdit);
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
        for (int column = 0; column < 3; ++column)
            list.InsertColumn(column, L"列", LVCFMT_LEFT, column == 2 ? 150 : 60);
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
        CPoint centre = cell.CenterPoint();
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
        ASSERT_TRUE(PumpUntil([&] { return TextOf(&dlg->cellEdit).find(text) != std::wstring::npos; })) << "no typing";
    }
    std::wstring Cell(int row, int column) { return dlg->list.GetItemText(row, column).GetString(); }
    void EndWith(WORD key)
    {
        TypeKey(key);
        ASSERT_TRUE(PumpUntil([&] { return !dlg->list.IsEditing(); }));
    }

    int data[3] = {};
    std::unique_ptr<ListDialog> dlg;
};

TEST_F(ListEdit, DoubleClickTypeAndEnterGiveTheTextToTheEditedCell)
{
    // A refusing begin callback refuses that edit only.
    g_refusals = 1;
    DoubleClick(CellCentre(1, 2));
    ASSERT_TRUE(PumpUntil([&] { return g_begins.size() == 1; }));
    Pump(50);
    EXPECT_FALSE(dlg->list.IsEditing());
    Pump(::GetDoubleClickTime() + 50);

    OpenByDoubleClick(1, 2);
    ASSERT_EQ(2u, g_begins.size());
    EXPECT_EQ(2, g_begins[1].column);
    EXPECT_EQ((DWORD_PTR)&data[1], g_begins[1].data);
    EXPECT_EQ(L"row1", TextOf(&dlg->cellEdit));
    CRect editor;  // over the cell
    dlg->cellEdit.GetWindowRect(&editor);
    EXPECT_TRUE(editor.PtInRect(CellCentre(1, 2)));

    TypeInEditor(L"ab字幕");
    EndWith(VK_RETURN);
    ASSERT_EQ(1u, g_ends.size());
    EXPECT_EQ(1, g_ends[0].flag);
    EXPECT_EQ(1, g_ends[0].row);
    EXPECT_EQ(2, g_ends[0].column);
    EXPECT_EQ(L"ab字幕", Cell(1, 2));
    EXPECT_TRUE(dlg->IsWindowVisible());  // Enter did not reach the dialog
}

TEST_F(ListEdit, FocusLossAndEscapeEndTheEditThroughTheEndCallback)
{
    OpenByDoubleClick(2, 0);
    TypeInEditor(L"7");
    Click(CentreOf(dlg->GetDlgItem(IDC_OTHER)->m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return !dlg->list.IsEditing(); }, 3000));
    ASSERT_EQ(1u, g_ends.size());
    EXPECT_EQ(1, g_ends[0].flag);
    EXPECT_EQ(2, g_ends[0].row);
    EXPECT_EQ(L"7", Cell(2, 0));
    EXPECT_EQ(dlg->GetDlgItem(IDC_OTHER)->m_hWnd, ::GetFocus());

    // Escape ends the edit only (the dialog stays) and the callback decides: this one commits.
    Pump(::GetDoubleClickTime() + 50);
    OpenByDoubleClick(0, 1);
    TypeInEditor(L"中文");
    EndWith(VK_ESCAPE);
    ASSERT_EQ(2u, g_ends.size());
    EXPECT_EQ(0, g_ends[1].flag);
    EXPECT_EQ(1, g_ends[1].column);
    EXPECT_EQ(L"中文", Cell(0, 1));
    EXPECT_TRUE(dlg->IsWindowVisible());
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
    ASSERT_EQ(2u, g_ends.size());
    EXPECT_EQ(-1, g_ends[1].row);
    EXPECT_EQ(0u, g_ends[1].data);
    ASSERT_EQ(1, list.GetItemCount());
    EXPECT_EQ(L"moved", Cell(0, 2));
    // The row is found by the caller's data, never by the list's own record.
    LVFINDINFOW find = {};
    find.flags = LVFI_ROWDATA;
    find.lParam = (LPARAM)&data[2];
    EXPECT_EQ(0, list.FindItem(&find, -1));
    find.lParam = (LPARAM)list.GetRowRecord(0);
    EXPECT_EQ(-1, list.FindItem(&find, -1));

    // All rows at once; the list still edits a new row afterwards.
    ASSERT_TRUE(list.BeginEdit(0, 1));
    ASSERT_TRUE(list.DeleteAllItems());
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(-1, g_ends.back().row);
    list.InsertItem(0, L"new");
    ASSERT_TRUE(list.BeginEdit(0, 0));
    TypeKey(VK_RETURN);
    EXPECT_FALSE(list.IsEditing());

    // Rows and columns outside the list are refused.
    EXPECT_FALSE(list.BeginEdit(-1, 0));
    EXPECT_FALSE(list.BeginEdit(1, 0));
    EXPECT_FALSE(list.BeginEdit(0, 3));
    EXPECT_FALSE(list.SetItemData(1, 1));
    EXPECT_FALSE(list.DeleteRowRecord(1));
    list.SetCellColors(1, 0, RGB(1, 2, 3), RGB(4, 5, 6));
    EXPECT_EQ(nullptr, list.GetCellRecord(1, 0));
    EXPECT_EQ(1, list.GetItemCount());
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

    // The remaining list's hook still works.
    OpenByDoubleClick(1, 1);
    EXPECT_EQ(1, g_popupEditorMap.GetCount());
    Click(CentreOf(dlg->GetDlgItem(IDC_OTHER)->m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return !dlg->list.IsEditing(); }));
    EXPECT_EQ(0, g_popupEditorMap.GetCount());
}

}  // namespace
