#include "framework/app.h"

#include <mutex>
#include <set>
#include <string>

#include "framework/dialog.h"
#include "framework/msgmap.h"
#include "framework/wnd.h"

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resourceHandle = nullptr;
std::function<int(LPCTSTR, UINT)> g_messageBoxResponder;
}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    if (lpszAppName)
        m_appName = lpszAppName;
    // The program has one application object; tests may make more, which leave the first alone.
    if (!g_app)
        g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

void CWinApp::InitNames()
{
    m_hInstance = GetModuleHandleW(nullptr);
    wchar_t path[MAX_PATH] = L"";
    DWORD length = GetModuleFileNameW(m_hInstance, path, MAX_PATH);
    CString exe(path, (int)length);
    int slash = exe.ReverseFind(L'\\');
    CString title = exe.Mid(slash + 1);
    int dot = title.ReverseFind(L'.');
    if (dot > 0)
        title = title.Left(dot);
    if (m_appName.IsEmpty())
        m_appName = title;
    // A bare file name: the profile functions keep it in the Windows folder.
    m_profileName = title + L".INI";
    m_pszAppName = m_appName;
    m_pszProfileName = m_profileName;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run()
{
    MSG peek;
    do {
        if (!PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE))
            AfxDeleteTempObjects();
    } while (AfxPumpMessage());
    MSG quit;
    int code = 0;
    if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        code = (int)quit.wParam;
    int exitCode = ExitInstance();
    return exitCode ? exitCode : code;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    CString text;
    text.Format(L"%d", nValue);
    return WritePrivateProfileStringW(lpszSection, lpszEntry, text, m_pszProfileName);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    // Grow until the value fits: the call reports truncation as size - 1.
    for (DWORD size = 256; size <= 65536; size *= 2) {
        CString value;
        LPTSTR buffer = value.GetBuffer((int)size);
        DWORD got = GetPrivateProfileStringW(lpszSection, lpszEntry, lpszDefault ? lpszDefault : L"", buffer, size,
                                             m_pszProfileName);
        value.ReleaseBuffer((int)got);
        if (got < size - 1)
            return value;
    }
    return lpszDefault ? CString(lpszDefault) : CString();
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

// There is no help file; the command is accepted and does nothing.
void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleW(nullptr); }

HINSTANCE AfxGetResourceHandle() { return g_resourceHandle ? g_resourceHandle : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE hInstResource) { g_resourceHandle = hInstResource; }

LPCTSTR AfxGetAppName() { return g_app && g_app->m_pszAppName ? g_app->m_pszAppName : L""; }

void AfxEnableControlContainer() {}

void AfxSetMessageBoxResponder(std::function<int(LPCTSTR, UINT)> responder)
{
    g_messageBoxResponder = std::move(responder);
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    if (g_messageBoxResponder)
        return g_messageBoxResponder(lpszText ? lpszText : L"", nType);
    HWND owner = nullptr;
    if (CWnd* main = AfxGetMainWnd())
        owner = main->m_hWnd;
    if (owner && !::IsWindowEnabled(owner))
        owner = ::GetLastActivePopup(owner);
    if (!(nType & MB_ICONMASK)) {
        UINT buttons = nType & MB_TYPEMASK;
        nType |= (buttons == MB_OK || buttons == MB_OKCANCEL) ? MB_ICONEXCLAMATION : MB_ICONQUESTION;
    }
    return ::MessageBoxW(owner, lpszText ? lpszText : L"", AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    if (!text.LoadString(nIDPrompt))
        text.Format(L"(%u)", nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::mutex lock;
    static std::set<std::wstring> names;
    wchar_t name[96];
    wsprintfW(name, L"Afx:%p:%x:%p:%p:%p", (void*)AfxGetInstanceHandle(), nClassStyle, (void*)hCursor,
              (void*)hbrBackground, (void*)hIcon);
    std::lock_guard<std::mutex> guard(lock);
    auto it = names.find(name);
    if (it != names.end())
        return it->c_str();
    WNDCLASSW wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name;
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return names.insert(name).first->c_str();
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->InitNames();
    app->m_hInstance = hInstance;
    int exitCode;
    try {
        if (!app->InitInstance())
            exitCode = app->ExitInstance();
        else
            exitCode = app->Run();
    } catch (...) {
        OutputDebugStringW(L"kelvo: exception left the application\n");
        exitCode = -1;
    }
    return exitCode;
}
