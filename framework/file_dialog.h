// CFileDialog: the platform's open and save dialogs. The filter is written with "|" between the
// parts and ends with "||", e.g. "Animated Gif File(*.gif)|*.gif||".
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>

#include "framework/cstring.h"

class CWnd;

class CFileDialog {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // Points into this object's own buffers; callers may adjust fields before DoModal.
    OPENFILENAMEW m_ofn = {};

    // IDOK when the user chose a file, IDCANCEL otherwise (also when the dialog failed). Without a
    // parent the dialog is owned by the application's main window (or its active popup).
    virtual INT_PTR DoModal();

    CString GetPathName() const;
    // Puts a path into the result, as if the user had chosen it (for responders); it is cut to
    // the buffer's size.
    void SetPathName(LPCTSTR lpszPathName);

    BOOL IsOpenDialog() const { return m_bOpenFileDialog; }
    // The filter with "|" turned into the NUL separators the platform expects.
    static std::wstring ConvertFilter(LPCTSTR lpszFilter);

    // Answers the dialog instead of showing it (tests and scripted runs): the function may put a
    // path in with SetPathName and returns IDOK or IDCANCEL. An empty function restores the real
    // dialog.
    using Responder = std::function<INT_PTR(CFileDialog& dialog)>;
    static void SetTestResponder(Responder responder);

    static constexpr int kPathBufferSize = 4096;

protected:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;

private:
    std::wstring m_filter;
    CString m_defExt;
    wchar_t m_szFileName[kPathBufferSize] = L"";
    wchar_t m_szFileTitle[MAX_PATH] = L"";
};
