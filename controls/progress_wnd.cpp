#include "controls/progress_wnd.h"

#include <climits>
#include <cstddef>
#include <cwchar>

#include "framework/app.h"
#include "framework/gdi.h"
#include "framework/msgmap.h"

namespace {

constexpr LPCTSTR kProfileSection = L"ProgressWndSettings";
constexpr int kMargin = 10;
constexpr int kDefaultWidth = 390;
constexpr int kDefaultHeight = 130;
// Longest time one PumpMessages call spends: a timer firing faster than its handler runs would
// otherwise keep the queue from ever emptying, and the job would never get control back.
constexpr DWORD kPumpBudgetMs = 100;

// The profile's integers may be negative: read them as text, -1 when missing or unreadable.
int ReadProfileCoordinate(CWinApp* app, LPCTSTR key)
{
    CString value = app->GetProfileString(kProfileSection, key, L"");
    if (value.IsEmpty())
        return -1;
    wchar_t* end = nullptr;
    long number = std::wcstol(value, &end, 10);
    if (end == value.GetString() || *end != L'\0' || number < INT_MIN || number > INT_MAX)
        return -1;
    return static_cast<int>(number);
}

CWinApp* ProfileOwner()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_pszProfileName ? app : nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CProgressWnd, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_PROGRESS_CANCEL, OnCancel)
END_MESSAGE_MAP()

CProgressWnd::CProgressWnd() = default;

CProgressWnd::CProgressWnd(CWnd* pParent, LPCTSTR pszTitle, BOOL bSmooth)
{
    Create(pParent, pszTitle, bSmooth);
}

CProgressWnd::~CProgressWnd()
{
    DestroyWindow();
}

BOOL CProgressWnd::Create(CWnd* pParent, LPCTSTR pszTitle, BOOL bSmooth)
{
    if (m_hWnd)
        return FALSE;
    title = pszTitle ? pszTitle : L"";

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    LPCTSTR className = AfxRegisterWndClass(CS_OWNDC | CS_HREDRAW | CS_VREDRAW,
                                            ::LoadCursorW(nullptr, IDC_APPSTARTING),
                                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!className)
        return FALSE;

    if (!font.m_hObject) {
        // The record without the padded border width: accepted by every version of the system.
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            font.CreateFontIndirect(&metrics.lfMessageFont);
    }

    if (!pParent)
        pParent = AfxGetMainWnd();
    owner = pParent && pParent->IsWindow() ? pParent->m_hWnd : nullptr;
    finished = false;
    if (!CreateEx(WS_EX_DLGMODALFRAME, className, title, WS_POPUP | WS_CAPTION, 0, 0, kDefaultWidth, kDefaultHeight,
                  owner, nullptr))
        return FALSE;

    const CRect initial(0, 0, 10, 10);
    if (!text.Create(L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, initial, this, IDC_PROGRESS_TEXT) ||
        !bar.Create(WS_CHILD | WS_VISIBLE | (bSmooth ? PBS_SMOOTH : 0), initial, this, IDC_PROGRESS_BAR) ||
        !cancelButton.Create(cancelLabel, WS_CHILD | WS_VISIBLE | WS_TABSTOP, initial, this, IDC_PROGRESS_CANCEL)) {
        // Half a window is no window; its place is not worth remembering.
        CWnd::DestroyWindow();
        return FALSE;
    }
    if (font.m_hObject) {
        cancelButton.SetFont(&font, TRUE);
        text.SetFont(&font, TRUE);
    }
    bar.SetRange32(lower, upper);
    bar.SetStep(step);
    bar.SetPos(position);

    SetWindowSize(textLines, kDefaultWidth);
    if (savePosition)
        RestorePosition();
    else
        CenterWindow();
    Show();
    return TRUE;
}

BOOL CALLBACK CProgressWnd::DisableThreadWindow(HWND hWnd, LPARAM lParam)
{
    auto* self = reinterpret_cast<CProgressWnd*>(lParam);
    if (hWnd != self->m_hWnd && ::IsWindowEnabled(hWnd)) {
        ::EnableWindow(hWnd, FALSE);
        self->disabledWindows.push_back(hWnd);
    }
    return TRUE;
}

BOOL CProgressWnd::BeginModal(LPCTSTR pszTitle, BOOL bSmooth)
{
    if (!IsWindow() && !Create(AfxGetMainWnd(), pszTitle, bSmooth))
        return FALSE;
    if (modal)
        return TRUE;
    // Every top-level window of the thread, not only the owner: the job pumps this thread's
    // messages, and no other window may start a second action meanwhile.
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableThreadWindow, reinterpret_cast<LPARAM>(this));
    EnableWindow(TRUE);
    modal = true;
    return TRUE;
}

void CProgressWnd::EndModal()
{
    for (auto it = disabledWindows.rbegin(); it != disabledWindows.rend(); ++it) {
        if (::IsWindow(*it))
            ::EnableWindow(*it, TRUE);
    }
    disabledWindows.clear();
    modal = false;
}

void CProgressWnd::Finish()
{
    if (finished)
        return;
    finished = m_hWnd != nullptr;
    if (savePosition)
        SavePosition();
    const bool wasModal = modal;
    EndModal();
    // Give activation back to the owner rather than to whatever window comes next.
    if (wasModal && m_hWnd && ::GetActiveWindow() == m_hWnd && owner && ::IsWindow(owner))
        ::SetActiveWindow(owner);
}

BOOL CProgressWnd::DestroyWindow()
{
    Finish();
    return CWnd::DestroyWindow();
}

void CProgressWnd::OnDestroy()
{
    // Also when the window goes with its owner, without DestroyWindow of ours. Done before the
    // window is hidden where possible (DestroyWindow), so activation can return to the owner.
    Finish();
    CWnd::OnDestroy();
}

void CProgressWnd::SetRange(int nLower, int nUpper, int nStep)
{
    if (!IsWindow())
        return;
    bar.SetRange32(nLower, nUpper);
    bar.SetStep(nStep);
    lower = nLower;
    upper = nUpper;
    step = nStep;
}

int CProgressWnd::SetPos(int nPos)
{
    if (!IsWindow())
        return position;
    if (!cancelled)
        Show();
    position = nPos;
    int newPercent = 0;
    if (upper > lower) {
        double value = (static_cast<double>(nPos) - lower) * 100.0 / (static_cast<double>(upper) - lower) + 0.5;
        if (value > INT_MAX)
            value = INT_MAX;
        if (value < INT_MIN)
            value = INT_MIN;
        newPercent = static_cast<int>(value);
    }
    if (newPercent != percent) {
        percent = newPercent;
        CString caption;
        caption.Format(L"%s [%d%%]", title.GetString(), percent);
        SetWindowText(caption);
    }
    return bar.SetPos(nPos);
}

int CProgressWnd::OffsetPos(int nPos) { return SetPos(position + nPos); }

int CProgressWnd::SetStep(int nStep)
{
    const int old = step;
    step = nStep;
    if (IsWindow())
        bar.SetStep(nStep);
    return old;
}

int CProgressWnd::StepIt() { return SetPos(position + step); }

void CProgressWnd::SetText(LPCTSTR fmt, ...)
{
    if (!IsWindow() || !fmt)
        return;
    CString line;
    va_list args;
    va_start(args, fmt);
    line.FormatV(fmt, args);
    va_end(args);
    if (line.GetLength() > kMaxTextLength) {
        int keep = kMaxTextLength;
        // Never keep half of a surrogate pair.
        if (IS_HIGH_SURROGATE(line.GetAt(keep - 1)))
            --keep;
        line = line.Left(keep);
    }
    text.SetWindowText(line);
}

void CProgressWnd::Clear()
{
    position = 0;
    cancelled = false;
    if (!IsWindow())
        return;
    text.SetWindowText(L"");
    bar.SetPos(0);
    RedrawWindow();
}

void CProgressWnd::Show()
{
    if (!IsWindow() || IsWindowVisible())
        return;
    ShowWindow(SW_SHOWNA);
    RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void CProgressWnd::Hide()
{
    if (!IsWindow() || !IsWindowVisible())
        return;
    ShowWindow(SW_HIDE);
}

void CProgressWnd::PumpMessages()
{
    if (modal && m_hWnd && ::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);

    const DWORD start = ::GetTickCount();
    MSG msg;
    while (!cancelled && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the loop that owns the thread.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (modal && msg.message == WM_LBUTTONUP && cancelButton.IsWindow()) {
            CRect button;
            cancelButton.GetWindowRect(&button);
            if (button.PtInRect(msg.pt))
                OnCancel();
        }
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (::GetTickCount() - start >= kPumpBudgetMs)
            break;
    }
}

void CProgressWnd::OnCancel()
{
    // The button's click and the release seen by the pump may both report one press.
    if (cancelled)
        return;
    if (savePosition)
        SavePosition();
    cancelled = true;
    Hide();
    if (modal && m_hWnd)
        PostMessage(WM_CLOSE);
    CWnd* main = AfxGetMainWnd();
    if (main && main->IsWindow())
        main->SetForegroundWindow();
}

void CProgressWnd::OnClose()
{
    // Closed from outside the job: the job must stop too.
    cancelled = true;
    DestroyWindow();
}

BOOL CProgressWnd::OnEraseBkgnd(CDC* pDC)
{
    CRect clip;
    pDC->GetClipBox(&clip);
    CBrush face;
    if (!face.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)))
        return FALSE;
    HGDIOBJ old = pDC->SelectObject(face.m_hObject);
    pDC->PatBlt(clip.left, clip.top, clip.Width(), clip.Height(), PATCOPY);
    pDC->SelectObject(old);
    return TRUE;
}

void CProgressWnd::SetWindowSize(int nLines, int nWindowWidth)
{
    if (!IsWindow())
        return;
    if (nLines < 1)
        nLines = 1;
    const CSize edge(::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE));

    CRect textRect(kMargin, kMargin, nWindowWidth - 2 * kMargin, 2 * kMargin + 100);
    CSize buttonSize;
    {
        CClientDC dc(this);
        HGDIOBJ oldFont = font.m_hObject ? dc.SelectObject(font.m_hObject) : nullptr;
        CString probe = L"M";
        for (int i = 1; i < nLines; ++i)
            probe += L"\nM";
        dc.DrawText(probe, &textRect, DT_CALCRECT | DT_NOCLIP | DT_NOPREFIX);
        textRect.right = textRect.left + nWindowWidth;
        buttonSize = dc.GetTextExtent(cancelLabel + L"  ");
        buttonSize.cx += 4 * edge.cx;
        buttonSize.cy += 3 * edge.cy;
        if (oldFont)
            dc.SelectObject(oldFont);
    }

    const CRect buttonRect(textRect.right - buttonSize.cx, textRect.bottom + kMargin, textRect.right,
                           textRect.bottom + kMargin + buttonSize.cy);
    const CRect barRect(textRect.left, buttonRect.top + edge.cy, buttonRect.left - kMargin,
                        buttonRect.bottom - edge.cy);

    const CSize client(textRect.Width() + 2 * kMargin, textRect.Height() + buttonRect.Height() + 3 * kMargin);
    CRect windowRect, clientRect;
    GetWindowRect(&windowRect);
    GetClientRect(&clientRect);
    windowRect.right = windowRect.left + client.cx + (windowRect.Width() - clientRect.Width());
    windowRect.bottom = windowRect.top + client.cy + (windowRect.Height() - clientRect.Height());
    MoveWindow(&windowRect, TRUE);
    bar.MoveWindow(&barRect, TRUE);
    cancelButton.MoveWindow(&buttonRect, TRUE);
    text.MoveWindow(&textRect, TRUE);
    textLines = nLines;
}

void CProgressWnd::RestorePosition()
{
    if (!IsWindow())
        return;
    int x = -1;
    int y = -1;
    if (CWinApp* app = ProfileOwner()) {
        x = ReadProfileCoordinate(app, L"X");
        y = ReadProfileCoordinate(app, L"Y");
    }
    if (x >= 0 && x < ::GetSystemMetrics(SM_CXSCREEN) && y >= 0 && y < ::GetSystemMetrics(SM_CYSCREEN)) {
        SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // Centred over the owner, but never partly off its monitor's work area (a narrow owner
    // near the edge would push it out).
    CenterWindow();
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    CRect rect;
    GetWindowRect(&rect);
    const CRect work(monitor.rcWork);
    int left = rect.left, top = rect.top;
    if (left + rect.Width() > work.right)
        left = work.right - rect.Width();
    if (top + rect.Height() > work.bottom)
        top = work.bottom - rect.Height();
    if (left < work.left)
        left = work.left;
    if (top < work.top)
        top = work.top;
    if (left != rect.left || top != rect.top)
        SetWindowPos(nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CProgressWnd::SavePosition()
{
    CWinApp* app = ProfileOwner();
    if (!IsWindow() || !app)
        return;
    CRect rect;
    GetWindowRect(&rect);
    app->WriteProfileInt(kProfileSection, L"X", rect.left);
    app->WriteProfileInt(kProfileSection, L"Y", rect.top);
}
