#include "framework/tooltip.h"

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

CToolTipCtrl::~CToolTipCtrl()
{
    // A popup is not destroyed with its owner's child windows: it goes with this object.
    if (m_hWnd)
        DestroyWindow();
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)registered;
    return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr, nullptr);
}

void CToolTipCtrl::FillToolInfo(TOOLINFOW& info, CWnd* pWnd, UINT_PTR nIDTool)
{
    info = {};
    // The size without lpReserved: comctl32 before version 6 refuses the larger structure.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    info.uId = nIDTool;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    if (!m_hWnd || !pWnd)
        return FALSE;
    TOOLINFOW info;
    FillToolInfo(info, pWnd, nIDTool);
    info.uFlags = 0;  // no TTF_SUBCLASS: the owner relays its messages itself
    if (lpRectTool)
        info.rect = *lpRectTool;
    else
        ::GetClientRect(info.hwnd, &info.rect);
    info.lpszText = const_cast<LPWSTR>(lpszText ? lpszText : LPSTR_TEXTCALLBACKW);
    return (BOOL)SendMessage(TTM_ADDTOOLW, 0, (LPARAM)&info);
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    if (!m_hWnd)
        return;
    TOOLINFOW info;
    FillToolInfo(info, pWnd, nIDTool);
    info.lpszText = const_cast<LPWSTR>(lpszText ? lpszText : L"");
    SendMessage(TTM_UPDATETIPTEXTW, 0, (LPARAM)&info);
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const
{
    str.Empty();
    if (!m_hWnd)
        return;
    // The control copies at most 80 characters unless told the buffer's size (version 6 reads
    // it from wParam); give it room for both.
    constexpr int kBufferLength = 1024;
    LPTSTR buffer = str.GetBuffer(kBufferLength);
    buffer[0] = L'\0';
    TOOLINFOW info;
    FillToolInfo(info, pWnd, nIDTool);
    info.lpszText = buffer;
    SendMessage(TTM_GETTEXTW, kBufferLength, (LPARAM)&info);
    buffer[kBufferLength - 1] = L'\0';
    str.ReleaseBuffer();
}

int CToolTipCtrl::GetToolCount() const { return m_hWnd ? (int)SendMessage(TTM_GETTOOLCOUNT) : 0; }

void CToolTipCtrl::Activate(BOOL bActivate)
{
    if (m_hWnd)
        SendMessage(TTM_ACTIVATE, (WPARAM)bActivate);
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg)
{
    if (m_hWnd && lpMsg)
        SendMessage(TTM_RELAYEVENT, 0, (LPARAM)lpMsg);
}

void CToolTipCtrl::SetDelayTime(DWORD dwDuration, int iTime)
{
    if (m_hWnd)
        SendMessage(TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0));
}

int CToolTipCtrl::SetMaxTipWidth(int iWidth) { return m_hWnd ? (int)SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth) : 0; }

int CToolTipCtrl::GetMaxTipWidth() const { return m_hWnd ? (int)SendMessage(TTM_GETMAXTIPWIDTH) : 0; }
