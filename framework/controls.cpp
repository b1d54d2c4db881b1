// Buttons, statics, edits and progress bars; the combo box is in combo_box.cpp.
#include "framework/controls.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

// ---------------------------------------------------------------------------------------------
// CButton

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

int CButton::GetCheck() const { return (int)SendMessage(BM_GETCHECK); }
void CButton::SetCheck(int nCheck) { SendMessage(BM_SETCHECK, (WPARAM)nCheck); }
UINT CButton::GetState() const { return (UINT)SendMessage(BM_GETSTATE); }
void CButton::SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, (WPARAM)bHighlight); }
UINT CButton::GetButtonStyle() const { return (UINT)::GetWindowLongW(m_hWnd, GWL_STYLE) & 0xFF; }
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) { SendMessage(BM_SETSTYLE, nStyle, (LPARAM)bRedraw); }
HBITMAP CButton::SetBitmap(HBITMAP hBitmap) { return (HBITMAP)SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
HBITMAP CButton::GetBitmap() const { return (HBITMAP)SendMessage(BM_GETIMAGE, IMAGE_BITMAP); }
HICON CButton::SetIcon(HICON hIcon) { return (HICON)SendMessage(BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon); }
HICON CButton::GetIcon() const { return (HICON)SendMessage(BM_GETIMAGE, IMAGE_ICON); }

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM || !lParam)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// CStatic

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}

HICON CStatic::SetIcon(HICON hIcon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)hIcon); }
HICON CStatic::GetIcon() const { return (HICON)SendMessage(STM_GETICON); }

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap)
{
    return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
}

HBITMAP CStatic::GetBitmap() const { return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP); }

HCURSOR CStatic::SetCursor(HCURSOR hCursor)
{
    return (HCURSOR)SendMessage(STM_SETIMAGE, IMAGE_CURSOR, (LPARAM)hCursor);
}

HCURSOR CStatic::GetCursor() const { return (HCURSOR)SendMessage(STM_GETIMAGE, IMAGE_CURSOR); }

void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM || !lParam)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// CEdit

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CEdit::GetSel() const
{
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    return MAKELONG(start, end);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    nStartChar = (int)start;
    nEndChar = (int)end;
}

void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    SetSel((int)(short)LOWORD(dwSelection), (int)(short)HIWORD(dwSelection), bNoScroll);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    SendMessage(EM_SETSEL, (WPARAM)nStartChar, (LPARAM)nEndChar);
    if (!bNoScroll)
        SendMessage(EM_SCROLLCARET);
}

void CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo)
{
    SendMessage(EM_REPLACESEL, (WPARAM)bCanUndo, (LPARAM)(lpszNewText ? lpszNewText : L""));
}

void CEdit::LimitText(int nChars) { SendMessage(EM_LIMITTEXT, (WPARAM)nChars); }
void CEdit::SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, (WPARAM)nMax); }
UINT CEdit::GetLimitText() const { return (UINT)SendMessage(EM_GETLIMITTEXT); }
BOOL CEdit::SetReadOnly(BOOL bReadOnly) { return (BOOL)SendMessage(EM_SETREADONLY, (WPARAM)bReadOnly); }
void CEdit::SetPasswordChar(TCHAR ch) { SendMessage(EM_SETPASSWORDCHAR, (WPARAM)ch); }
TCHAR CEdit::GetPasswordChar() const { return (TCHAR)SendMessage(EM_GETPASSWORDCHAR); }

void CEdit::SetMargins(UINT nLeft, UINT nRight)
{
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight));
}

DWORD CEdit::GetMargins() const { return (DWORD)SendMessage(EM_GETMARGINS); }
void CEdit::GetRect(LPRECT lpRect) const { SendMessage(EM_GETRECT, 0, (LPARAM)lpRect); }
void CEdit::SetRect(LPCRECT lpRect) { SendMessage(EM_SETRECT, 0, (LPARAM)lpRect); }

int CEdit::GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT); }

int CEdit::GetLine(int nIndex, LPTSTR lpszBuffer) const
{
    if (!lpszBuffer)
        return 0;
    return (int)SendMessage(EM_GETLINE, (WPARAM)nIndex, (LPARAM)lpszBuffer);
}

int CEdit::GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const
{
    if (!lpszBuffer || nMaxLength <= 0)
        return 0;
    // The control reads the buffer size from the first word and does not terminate the text.
    lpszBuffer[0] = (TCHAR)(nMaxLength > 0xFFFF ? 0xFFFF : nMaxLength);
    int copied = (int)SendMessage(EM_GETLINE, (WPARAM)nIndex, (LPARAM)lpszBuffer);
    if (copied < 0)
        copied = 0;
    if (copied < nMaxLength)
        lpszBuffer[copied] = L'\0';
    return copied;
}

int CEdit::LineIndex(int nLine) const { return (int)SendMessage(EM_LINEINDEX, (WPARAM)nLine); }
int CEdit::LineLength(int nLine) const { return (int)SendMessage(EM_LINELENGTH, (WPARAM)nLine); }
int CEdit::LineFromChar(int nIndex) const { return (int)SendMessage(EM_LINEFROMCHAR, (WPARAM)nIndex); }
int CEdit::GetFirstVisibleLine() const { return (int)SendMessage(EM_GETFIRSTVISIBLELINE); }
void CEdit::LineScroll(int nLines, int nChars) { SendMessage(EM_LINESCROLL, (WPARAM)nChars, (LPARAM)nLines); }

int CEdit::CharFromPos(CPoint pt) const
{
    return (int)SendMessage(EM_CHARFROMPOS, 0, MAKELPARAM((WORD)pt.x, (WORD)pt.y));
}

CPoint CEdit::PosFromChar(UINT nChar) const
{
    LRESULT packed = SendMessage(EM_POSFROMCHAR, (WPARAM)nChar);
    return CPoint((int)(short)LOWORD(packed), (int)(short)HIWORD(packed));
}

BOOL CEdit::GetModify() const { return (BOOL)SendMessage(EM_GETMODIFY); }
void CEdit::SetModify(BOOL bModified) { SendMessage(EM_SETMODIFY, (WPARAM)bModified); }
BOOL CEdit::CanUndo() const { return (BOOL)SendMessage(EM_CANUNDO); }
BOOL CEdit::Undo() { return (BOOL)SendMessage(EM_UNDO); }
void CEdit::EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
void CEdit::Clear() { SendMessage(WM_CLEAR); }
void CEdit::Copy() { SendMessage(WM_COPY); }
void CEdit::Cut() { SendMessage(WM_CUT); }
void CEdit::Paste() { SendMessage(WM_PASTE); }

// ---------------------------------------------------------------------------------------------
// CProgressCtrl

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(PROGRESS_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CProgressCtrl::SetRange(short nLower, short nUpper)
{
    SendMessage(PBM_SETRANGE, 0, MAKELPARAM((WORD)nLower, (WORD)nUpper));
}

void CProgressCtrl::SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, (WPARAM)nLower, (LPARAM)nUpper); }

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE range = {0, 0};
    SendMessage(PBM_GETRANGE, FALSE, (LPARAM)&range);
    nLower = range.iLow;
    nUpper = range.iHigh;
}

int CProgressCtrl::SetPos(int nPos) { return (int)SendMessage(PBM_SETPOS, (WPARAM)nPos); }
int CProgressCtrl::GetPos() const { return (int)SendMessage(PBM_GETPOS); }
int CProgressCtrl::OffsetPos(int nPos) { return (int)SendMessage(PBM_DELTAPOS, (WPARAM)nPos); }
int CProgressCtrl::SetStep(int nStep) { return (int)SendMessage(PBM_SETSTEP, (WPARAM)nStep); }
int CProgressCtrl::StepIt() { return (int)SendMessage(PBM_STEPIT); }

COLORREF CProgressCtrl::SetBarColor(COLORREF clrBar)
{
    return (COLORREF)SendMessage(PBM_SETBARCOLOR, 0, (LPARAM)clrBar);
}

COLORREF CProgressCtrl::SetBkColor(COLORREF clrNew) { return (COLORREF)SendMessage(PBM_SETBKCOLOR, 0, (LPARAM)clrNew); }
