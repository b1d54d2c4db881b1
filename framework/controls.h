// Thin wrappers of the platform's standard controls. Each is a CWnd: Create makes the control
// through CWnd::CreateEx, or the object is bound to a dialog's control by subclassing. Owner-drawn
// buttons, statics and combo boxes get their WM_DRAWITEM (and WM_MEASUREITEM, ...) back from the
// parent through OnChildNotify, so a derived class only overrides DrawItem.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/wnd.h"

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    CButton() = default;
    using CWnd::Create;
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const;
    void SetCheck(int nCheck);
    HBITMAP GetBitmap() const;
    HICON SetIcon(HICON hIcon);

    // Paints an owner-drawn (BS_OWNERDRAW) button; the parent's WM_DRAWITEM comes here.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    CStatic() = default;
    using CWnd::Create;
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff);

    // Each returns the image shown before; SS_ICON or SS_BITMAP must be in the style.
    HICON SetIcon(HICON hIcon);
    HBITMAP GetBitmap() const;
    HCURSOR SetCursor(HCURSOR hCursor);

    // Paints an owner-drawn (SS_OWNERDRAW) static; the parent's WM_DRAWITEM comes here.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    CEdit() = default;
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE);
    // (0, -1) selects everything; (-1, ...) removes the selection.
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
};

class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    CComboBox() = default;
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Items. Indexes are 0-based; CB_ERR (-1) and CB_ERRSPACE report failures.
    int AddString(LPCTSTR lpszString);
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int GetLBText(int nIndex, LPTSTR lpszText) const;
    // An index out of range leaves the string empty.
    void GetLBText(int nIndex, CString& rString) const;
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCTSTR lpszString);
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    int GetItemHeight(int nIndex) const;
};

class CProgressCtrl : public CWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    CProgressCtrl() = default;
    using CWnd::Create;
    // The common controls must have been initialised (InitCommonControlsEx).
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // SetRange takes 16-bit ends; SetRange32 full integers.
    void SetRange(short nLower, short nUpper);
    void SetRange32(int nLower, int nUpper);
    // Each of these returns the previous position or step.
    int SetPos(int nPos);
    int OffsetPos(int nPos);
    int SetStep(int nStep);
    int StepIt();
    COLORREF SetBkColor(COLORREF clrNew);
};
