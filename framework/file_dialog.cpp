#include "framework/file_dialog.h"

#include <utility>

#include "framework/app.h"
#include "framework/wnd.h"

namespace {

CFileDialog::Responder& TestResponder()
{
    static CFileDialog::Responder responder;
    return responder;
}

// Offset of the file name inside a path: after the last "\" or "/".
int FileNameOffset(const CString& path)
{
    int backslash = path.ReverseFind(L'\\');
    int slash = path.ReverseFind(L'/');
    return (backslash > slash ? backslash : slash) + 1;
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd), m_filter(ConvertFilter(lpszFilter))
{
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = kPathBufferSize;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    // The program's relative paths must not follow the folder the user browsed to.
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    if (lpszDefExt) {
        m_defExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_defExt;
    }
    if (lpszFileName)
        SetPathName(lpszFileName);
}

std::wstring CFileDialog::ConvertFilter(LPCTSTR lpszFilter)
{
    std::wstring filter = lpszFilter ? lpszFilter : L"";
    while (!filter.empty() && filter.back() == L'|')
        filter.pop_back();
    if (filter.empty())
        return filter;
    for (wchar_t& ch : filter) {
        if (ch == L'|')
            ch = L'\0';
    }
    // Each part ends with a NUL and the list with one more.
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

void CFileDialog::SetTestResponder(Responder responder) { TestResponder() = std::move(responder); }

INT_PTR CFileDialog::DoModal()
{
    if (TestResponder())
        return TestResponder()(*this);
    if (!m_ofn.hwndOwner) {
        HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
        if (!owner) {
            if (CWnd* main = AfxGetMainWnd())
                owner = main->GetSafeHwnd();
            if (owner && !::IsWindowEnabled(owner))
                owner = ::GetLastActivePopup(owner);
        }
        m_ofn.hwndOwner = owner;
    }
    BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

void CFileDialog::SetPathName(LPCTSTR lpszPathName)
{
    lstrcpynW(m_szFileName, lpszPathName ? lpszPathName : L"", kPathBufferSize);
    CString path(m_szFileName);
    int nameAt = FileNameOffset(path);
    int dot = path.ReverseFind(L'.');
    m_ofn.nFileOffset = (WORD)nameAt;
    m_ofn.nFileExtension = (WORD)(dot >= nameAt ? dot + 1 : 0);
    lstrcpynW(m_szFileTitle, path.Mid(nameAt), MAX_PATH);
}

CString CFileDialog::GetPathName() const { return CString(m_szFileName); }

