#include "app/about_dlg.h"

#include <cwchar>
#include <vector>

#include "controls/open_address.h"
#include "recorder/recorder_dlg.h"
#include "res/about_ids.h"
#include "res/resource.h"

namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;

// The version resource of the running program, read from its file. False when the path does
// not fit the buffer or the file has no version resource.
bool ReadOwnVersionResource(DWORD pathLimit, std::vector<BYTE>& data)
{
    std::vector<wchar_t> path(pathLimit + 1, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), pathLimit);
    if (length == 0 || length >= pathLimit)
        return false;
    DWORD unused = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.data(), &unused);
    if (size == 0)
        return false;
    data.assign(size, 0);
    return ::GetFileVersionInfoW(path.data(), 0, size, data.data()) != FALSE;
}

const VS_FIXEDFILEINFO* FixedInfo(std::vector<BYTE>& data)
{
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), L"\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO))
        return nullptr;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    return info->dwSignature == kFixedInfoSignature ? info : nullptr;
}

// The main window when it is the capture window, else null.
const CRecorderDlg* CaptureWindow() { return dynamic_cast<const CRecorderDlg*>(AfxGetMainWnd()); }

}  // namespace

void GetVersionInfo(CString& version, CString& legal)
{
    version = L"<failed to retrieve version info>";
    legal = L"<failed to retrieve legal info>";
    std::vector<BYTE> data;
    if (!ReadOwnVersionResource(255, data))
        return;

    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) || !value ||
        length < sizeof(DWORD))
        return;
    // Stored as language, then code page; the string block's name puts the language first.
    const DWORD stored = *static_cast<const DWORD*>(value);
    const DWORD translation = MAKELONG(HIWORD(stored), LOWORD(stored));
    const VS_FIXEDFILEINFO* fixed = FixedInfo(data);
    if (!fixed)
        return;

    CString title;
    title.LoadString(IDS_APP_TITLE);
    version.Format(L"%s Version %u.%u.%u.%u", (LPCTSTR)title, HIWORD(fixed->dwProductVersionMS),
                   LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                   LOWORD(fixed->dwProductVersionLS));

    CString key;
    key.Format(L"\\StringFileInfo\\%08lx\\LegalCopyright", translation);
    value = nullptr;
    length = 0;
    if (::VerQueryValueW(data.data(), key, &value, &length) && value && length > 0) {
        const auto* text = static_cast<const wchar_t*>(value);
        legal = CString(text, (int)wcsnlen(text, length));
    }
}

void SetupAboutLink(CUrlLabel& link, LPCTSTR text, LPCTSTR address)
{
    link.SetWindowText(text);
    link.SetLinkTarget(address);
    link.SetLinkColors(RGB(0, 0, 255), RGB(0, 0, 255), RGB(0, 0, 255));
    link.EnableTip(FALSE);
}

// ---------------------------------------------------------------------------------------------
// The About box

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUTBOX, pParent) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_HOME_LINK, m_homeLink);
    DDX_Control(pDX, IDC_ABOUT_SUPPORT_LINK, m_supportLink);
    DDX_Control(pDX, IDC_ABOUT_VERSION, m_version);
    DDX_Control(pDX, IDC_ABOUT_LEGAL, m_legal);
    DDX_Control(pDX, IDC_ABOUT_CUSTOM_INFO, m_customInfo);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CString version, legal;
    GetVersionInfo(version, legal);
    m_version.SetWindowText(version);
    m_legal.SetWindowText(legal);

    CWinApp* app = AfxGetApp();
    CString product = app ? app->GetProfileString(L"Custom", L"ProductLink", L"") : CString();
    // Whatever else the profile holds (a program, a file) is not offered as a link.
    if (!IsWebAddress(product))
        product.LoadString(IDS_PRODUCT_URL);
    CString text;
    text.LoadString(IDS_ABOUT_HOME_TEXT);
    SetupAboutLink(m_homeLink, text, product);
    CString support;
    text.LoadString(IDS_ABOUT_SUPPORT_TEXT);
    support.LoadString(IDS_SUPPORT_URL);
    SetupAboutLink(m_supportLink, text, support);

    // The banner keeps its proportions across the dialog's width.
    if (CWnd* banner = GetDlgItem(IDC_ABOUT_BANNER)) {
        CRect place, client;
        banner->GetWindowRect(&place);
        ScreenToClient(&place);
        GetClientRect(&client);
        const int width = client.Width() - 3;
        if (place.Width() > 0 && width > 0) {
            banner->ModifyStyle(0, SS_REALSIZECONTROL);
            banner->SetWindowPos(nullptr, place.left, place.top, width, place.Height() * width / place.Width(),
                                 SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    m_customInfo.SetWindowText(app ? app->GetProfileString(L"Custom", L"CustomInfo", L"") : CString());
    m_customInfo.ShowWindow(SW_HIDE);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// The update notice

CUpdateDlg::CUpdateDlg(CWnd* pParent) : CDialog(IDD_UPDATE_NOTICE, pParent) {}

void CUpdateDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_UPDATE_OWN_VERSION, m_ownVersion);
    DDX_Control(pDX, IDC_UPDATE_PAGE, m_page);
}

BOOL CUpdateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CString version;
    GetOwnVersion(version);
    m_ownVersion.SetWindowText(version);
    return TRUE;
}

void CUpdateDlg::GetOwnVersion(CString& version)
{
    version.Empty();
    std::vector<BYTE> data;
    if (!ReadOwnVersionResource(520, data))
        return;
    if (const VS_FIXEDFILEINFO* fixed = FixedInfo(data))
        version.Format(L"%d.%d.%d.%d", HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                       HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
}

void CUpdateDlg::OnDocumentComplete(LPCTSTR pageText)
{
    if (!pageText || !*pageText || !m_hWnd)
        return;
    const CString offered = CString(pageText).Left(3);
    if (offered.Find(L"4.") < 0)
        return;
    CString own;
    m_ownVersion.GetWindowText(own);
    if (own.Left(3) == offered)
        return;
    // Nothing interrupts a recording; when the main window is not the capture window there is no
    // telling, so the notice waits too.
    const CRecorderDlg* main = CaptureWindow();
    if (!main || main->state == RecorderRecording)
        return;
    CenterWindow(GetOwner());
    ShowWindow(SW_SHOW);
}
