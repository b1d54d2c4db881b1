#include "framework/controls.h"

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CComboBox::AddString(LPCTSTR lpszString)
{
    return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)(lpszString ? lpszString : L""));
}

int CComboBox::GetCount() const { return (int)SendMessage(CB_GETCOUNT); }
int CComboBox::GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }
int CComboBox::SetCurSel(int nSelect) { return (int)SendMessage(CB_SETCURSEL, (WPARAM)nSelect); }

int CComboBox::GetLBText(int nIndex, LPTSTR lpszText) const
{
    if (!lpszText)
        return CB_ERR;
    return (int)SendMessage(CB_GETLBTEXT, (WPARAM)nIndex, (LPARAM)lpszText);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    rString.Empty();
    int length = (int)SendMessage(CB_GETLBTEXTLEN, (WPARAM)nIndex);
    if (length <= 0)
        return;
    LPTSTR buffer = rString.GetBuffer(length + 1);
    int copied = (int)SendMessage(CB_GETLBTEXT, (WPARAM)nIndex, (LPARAM)buffer);
    rString.ReleaseBuffer(copied > 0 && copied <= length ? copied : 0);
}

int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
{
    return (int)SendMessage(CB_FINDSTRINGEXACT, (WPARAM)nIndexStart, (LPARAM)(lpszFind ? lpszFind : L""));
}

int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString)
{
    return (int)SendMessage(CB_SELECTSTRING, (WPARAM)nStartAfter, (LPARAM)(lpszString ? lpszString : L""));
}

DWORD_PTR CComboBox::GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(CB_GETITEMDATA, (WPARAM)nIndex); }

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return (int)SendMessage(CB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwItemData);
}

int CComboBox::GetItemHeight(int nIndex) const { return (int)SendMessage(CB_GETITEMHEIGHT, (WPARAM)nIndex); }
