#include "controls/link_label.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "controls/open_address.h"
#include "framework/app.h"
#include "framework/msgmap.h"

namespace {

constexpr COLORREF kLinkBlue = RGB(0, 0, 238);
constexpr UINT kHoverMs = 100;
constexpr int kWinHelpHandCursor = 106;

// Starts a browser's command line; above 32 on success, as the shell reports it.
INT_PTR StartCommand(const CString& command, int showCommand)
{
    std::wstring line(command.GetString());  // CreateProcessW may write into its command line
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)showCommand;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        const DWORD error = ::GetLastError();
        return error <= 32 ? (INT_PTR)error : 0;
    }
    if (process.hThread)
        ::CloseHandle(process.hThread);
    if (process.hProcess)
        ::CloseHandle(process.hProcess);
    return 33;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// What both labels share

BEGIN_MESSAGE_MAP(CLinkLabelBase, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CLinkLabelBase::CLinkLabelBase(COLORREF linkColor, COLORREF visitedColor, COLORREF hoverColor)
    : m_linkColor(linkColor), m_visitedColor(visitedColor), m_hoverColor(hoverColor)
{
}

CLinkLabelBase::~CLinkLabelBase() = default;

BOOL CLinkLabelBase::DestroyWindow()
{
    if (IsWindow())
        KillTimer(kHoverTimer);
    return CStatic::DestroyWindow();
}

void CLinkLabelBase::PreSubclassWindow()
{
    // Clicks reach a static control only with SS_NOTIFY.
    ModifyStyle(0, SS_NOTIFY);

    if (m_target.IsEmpty())
        GetWindowText(m_target);
    else if (GetWindowTextLength() == 0)
        SetWindowText(m_target);

    HGDIOBJ font = nullptr;
    if (CFont* own = GetFont())
        font = own->GetSafeHandle();
    if (!font)
        font = ::GetStockObject(DEFAULT_GUI_FONT);
    if (!font)
        font = ::GetStockObject(ANSI_VAR_FONT);
    LOGFONTW description = {};
    if (font && ::GetObjectW(font, sizeof(description), &description)) {
        m_plainFont.CreateFontIndirect(&description);
        description.lfUnderline = TRUE;
        m_underlineFont.CreateFontIndirect(&description);
    }

    FitWindowToText();
    LoadLinkCursor();
    SetUnderlineMode(-1);
    CreateTip();
    CStatic::PreSubclassWindow();
}

void CLinkLabelBase::SetLinkTarget(LPCTSTR target)
{
    m_target = target ? target : L"";
    if (IsWindow())
        FitWindowToText();
}

void CLinkLabelBase::SetLinkColors(COLORREF linkColor, COLORREF visitedColor, COLORREF hoverColor)
{
    m_linkColor = linkColor;
    m_visitedColor = visitedColor;
    m_hoverColor = hoverColor == (COLORREF)-1 ? ::GetSysColor(COLOR_HIGHLIGHT) : hoverColor;
    if (IsWindow())
        Invalidate();
}

void CLinkLabelBase::SetVisitedState(BOOL visited)
{
    m_visited = visited;
    if (IsWindow())
        Invalidate();
}

void CLinkLabelBase::SetHoverCursor(HCURSOR cursor)
{
    if (cursor != m_copiedCursor.get())
        m_copiedCursor.reset();
    m_cursor = cursor;
    if (!m_cursor)
        LoadLinkCursor();
}

void CLinkLabelBase::SetUnderlineMode(int mode)
{
    if (mode != m_underlineMode && IsWindow()) {
        CFont& font = mode == 1 ? m_underlineFont : m_plainFont;
        if (font.GetSafeHandle())
            SetFont(&font);
        Invalidate();
    }
    m_underlineMode = mode;
}

void CLinkLabelBase::SetFitToText(BOOL fit)
{
    m_fitToText = fit;
    FitWindowToText();
}

void CLinkLabelBase::FitWindowToText()
{
    if (!IsWindow() || !m_fitToText)
        return;
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    if (CWnd* parent = GetParent()) {
        parent->ScreenToClient(&window);
        parent->ScreenToClient(&client);
    }

    CString text;
    GetWindowText(text);
    CSize extent;
    {
        CClientDC dc(this);
        HGDIOBJ previous = nullptr;
        if (m_underlineFont.GetSafeHandle())
            previous = dc.SelectObject(m_underlineFont.GetSafeHandle());
        extent = dc.GetTextExtent(text);
        if (previous)
            dc.SelectObject(previous);
    }
    extent.cx += window.Width() - client.Width();
    extent.cy += window.Height() - client.Height();

    const DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        const int shrink = (window.Height() - extent.cy) / 2;
        window.top += shrink;
        window.bottom -= shrink;
    } else {
        window.bottom = window.top + extent.cy;
    }
    const DWORD align = style & SS_TYPEMASK;
    if (align == SS_CENTER) {
        const int shrink = (window.Width() - extent.cx) / 2;
        window.left += shrink;
        window.right -= shrink;
    } else if (align == SS_RIGHT) {
        window.left = window.right - extent.cx;
    } else {
        window.right = window.left + extent.cx;
    }
    SetWindowPos(nullptr, window.left, window.top, window.Width(), window.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CLinkLabelBase::LoadLinkCursor()
{
    if (m_cursor)
        return;
    m_cursor = ::LoadCursorW(nullptr, IDC_HAND);
    if (m_cursor)
        return;
    // Old systems: the hand of the help viewer, read as data so that none of its code runs.
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    CString path(folder);
    path += L"\\winhlp32.exe";
    HMODULE module = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return;
    if (HCURSOR hand = ::LoadCursorW(module, MAKEINTRESOURCEW(kWinHelpHandCursor)))
        m_copiedCursor.reset((HCURSOR)::CopyIcon((HICON)hand));
    ::FreeLibrary(module);
    m_cursor = m_copiedCursor.get();
}

HBRUSH CLinkLabelBase::CtlColor(CDC* pDC, UINT)
{
    if (m_over)
        pDC->SetTextColor(m_hoverColor);
    else if (m_visited)
        pDC->SetTextColor(m_visitedColor);
    else
        pDC->SetTextColor(m_linkColor);
    pDC->SetBkMode(TRANSPARENT);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

void CLinkLabelBase::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_over) {
        m_over = TRUE;
        if (m_underlineMode == -1 && m_underlineFont.GetSafeHandle())
            SetFont(&m_underlineFont);
        Invalidate();
        SetTimer(kHoverTimer, kHoverMs);
    }
    CStatic::OnMouseMove(nFlags, point);
}

void CLinkLabelBase::OnTimer(UINT_PTR nIDEvent)
{
    const DWORD position = ::GetMessagePos();
    CPoint point((short)LOWORD(position), (short)HIWORD(position));
    ScreenToClient(&point);
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        m_over = FALSE;
        KillTimer(kHoverTimer);
        if (m_underlineMode != 1 && m_plainFont.GetSafeHandle())
            SetFont(&m_plainFont);
        client.bottom += 10;
        InvalidateRect(&client);
    }
    CStatic::OnTimer(nIDEvent);
}

BOOL CLinkLabelBase::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_cursor)
        return FALSE;
    ::SetCursor(m_cursor);
    return TRUE;
}

BOOL CLinkLabelBase::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// The label that opens its address

BEGIN_MESSAGE_MAP(CUrlLabel, CLinkLabelBase)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CUrlLabel::CUrlLabel() : CLinkLabelBase(kLinkBlue, RGB(85, 26, 139), RGB(255, 0, 0)) {}

void CUrlLabel::SetLinkTarget(LPCTSTR target)
{
    CLinkLabelBase::SetLinkTarget(target);
    if (IsWindow() && m_tooltip.m_hWnd)
        m_tooltip.UpdateTipText(m_target, this, 1);
}

void CUrlLabel::EnableTip(BOOL enable)
{
    if (m_tooltip.m_hWnd)
        m_tooltip.Activate(enable);
}

BOOL CUrlLabel::PreTranslateMessage(MSG* pMsg)
{
    if (m_tooltip.m_hWnd)
        m_tooltip.RelayEvent(pMsg);
    return CLinkLabelBase::PreTranslateMessage(pMsg);
}

void CUrlLabel::CreateTip()
{
    if (!m_tooltip.Create(this, 0))
        return;
    CRect client;
    GetClientRect(&client);
    m_tooltip.AddTool(this, m_target, &client, 1);
}

void CUrlLabel::OnClicked()
{
    m_over = FALSE;
    const INT_PTR result = OpenUrl(m_target, SW_SHOW);
    if (result > 32) {
        SetVisitedState(TRUE);
        return;
    }
    ::MessageBeep(MB_ICONEXCLAMATION);
    ShowOpenError(result);
}

INT_PTR CUrlLabel::OpenUrl(LPCTSTR address, int showCommand)
{
    // A label's text or address that names a program or a file is never run.
    if (!IsWebAddress(address))
        return SE_ERR_ACCESSDENIED;
    const INT_PTR result = OpenAddress(address, showCommand);
    if (result > 32)
        return result;

    CString fileClass, registered, command;
    if (ReadRegistryDefault(HKEY_CLASSES_ROOT, L".htm", &fileClass) != ERROR_SUCCESS || fileClass.IsEmpty())
        return result;
    if (ReadRegistryDefault(HKEY_CLASSES_ROOT, fileClass + L"\\shell\\open\\command", &registered) != ERROR_SUCCESS ||
        registered.IsEmpty())
        return result;
    if (!BuildBrowserCommand(registered, address, &command))
        return result;
    return StartCommand(command, showCommand);
}

bool CUrlLabel::BuildBrowserCommand(const CString& registered, LPCTSTR address, CString* command)
{
    if (!IsWebAddress(address))
        return false;
    CString line = registered;
    int cut = line.Find(L"\"%1\"");
    if (cut < 0)
        cut = line.Find(L"%1");
    if (cut >= 0)
        line = line.Left(cut);
    line.TrimRight();
    line += L" \"";
    line += address;
    line += L"\"";
    *command = line;
    return true;
}

LONG CUrlLabel::ReadRegistryDefault(HKEY root, LPCTSTR subkey, CString* value)
{
    value->Empty();
    HKEY key = nullptr;
    const LONG opened = ::RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, &key);
    if (opened != ERROR_SUCCESS)
        return opened;
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    const LONG read = ::RegQueryValueExW(key, nullptr, nullptr, &type, (BYTE*)buffer, &size);
    ::RegCloseKey(key);
    if (read != ERROR_SUCCESS)
        return read;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    // The stored text need not end in a terminator.
    buffer[std::min<DWORD>(size / sizeof(wchar_t), MAX_PATH)] = L'\0';
    *value = buffer;
    return ERROR_SUCCESS;
}

CString CUrlLabel::OpenErrorText(INT_PTR result)
{
    CString text;
    switch (result) {
    case 0: text = L"The operating system is out\nof memory or resources."; break;
    case SE_ERR_FNF: text = L"The specified file was not found."; break;
    case SE_ERR_PNF: text = L"The specified path was not found."; break;
    case SE_ERR_ACCESSDENIED: text = L"The operating system denied\naccess to the specified file."; break;
    case SE_ERR_OOM: text = L"There was not enough memory to complete the operation."; break;
    case ERROR_BAD_FORMAT: text = L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case SE_ERR_SHARE: text = L"A sharing violation occurred. "; break;
    case SE_ERR_ASSOCINCOMPLETE: text = L"The filename association is\nincomplete or invalid."; break;
    case SE_ERR_DDETIMEOUT:
        text = L"The DDE transaction could not\nbe completed because the request timed out.";
        break;
    case SE_ERR_DDEFAIL: text = L"The DDE transaction failed."; break;
    case SE_ERR_DDEBUSY:
        text = L"The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case SE_ERR_NOASSOC: text = L"There is no application associated\nwith the given filename extension."; break;
    case SE_ERR_DLLNOTFOUND: text = L"The specified dynamic-link library was not found."; break;
    default: text.Format(L"Unknown Error (%d) occurred.", (int)result); break;
    }
    return L"Unable to open hyperlink:\n\n" + text;
}

void CUrlLabel::ShowOpenError(INT_PTR result) { AfxMessageBox(OpenErrorText(result), MB_ICONEXCLAMATION); }

// ---------------------------------------------------------------------------------------------
// The label that tells its parent

BEGIN_MESSAGE_MAP(CLinkLabel, CLinkLabelBase)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CLinkLabel::CLinkLabel() : CLinkLabelBase(kLinkBlue, kLinkBlue, kLinkBlue) {}

void CLinkLabel::OnClicked()
{
    if (!m_notifyMessage)
        return;
    if (CWnd* parent = GetParent())
        parent->PostMessage(m_notifyMessage, 0, 0);
}
