#include "controls/gif_explorer.h"

#include <vector>

#include "controls/gif_view.h"

IMPLEMENT_DYNCREATE(CGifexplorer, CWnd)

CGifexplorer::CGifexplorer() = default;

CGifexplorer::~CGifexplorer() = default;

BOOL CGifexplorer::Create(LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                          UINT nID, void*)
{
    if (!RegisterGifViewClass())
        return FALSE;
    return CWnd::Create(kGifViewClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void CGifexplorer::Navigate(LPCTSTR URL, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
{
    if (m_hWnd)
        SendMessage(GVM_SHOWFILE, 0, reinterpret_cast<LPARAM>(URL));
}

LPDISPATCH CGifexplorer::GetDocument() { return nullptr; }

BOOL CGifexplorer::CopyToClipboard()
{
    return m_hWnd ? static_cast<BOOL>(SendMessage(GVM_COPYTOCLIPBOARD)) : FALSE;
}

int CGifexplorer::GetFrameCount() const { return m_hWnd ? static_cast<int>(SendMessage(GVM_GETFRAMECOUNT)) : 0; }

int CGifexplorer::GetCurrentFrame() const
{
    return m_hWnd ? static_cast<int>(SendMessage(GVM_GETCURRENTFRAME)) : -1;
}

CSize CGifexplorer::GetPictureSize() const
{
    const LRESULT size = m_hWnd ? SendMessage(GVM_GETPICTURESIZE) : 0;
    return CSize(LOWORD(size), HIWORD(size));
}

CString CGifexplorer::GetLocationURL() const
{
    if (!m_hWnd)
        return CString();
    // Long paths (\\?\ form) reach 32767 characters.
    std::vector<wchar_t> buffer(32768, L'\0');
    SendMessage(GVM_GETPATH, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return CString(buffer.data());
}
