// CColorDialog: the platform's colour dialog. The custom colours the user mixes are kept for the
// whole process and offered again by every later dialog.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>

class CWnd;

class CColorDialog {
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    virtual ~CColorDialog() = default;
    CColorDialog(const CColorDialog&) = delete;
    CColorDialog& operator=(const CColorDialog&) = delete;

    // Callers may adjust fields before DoModal; rgbResult holds the chosen colour after it.
    CHOOSECOLORW m_cc = {};

    // IDOK when the user chose a colour, IDCANCEL otherwise (also when the dialog failed). Without
    // a parent the dialog is owned by the application's main window (or its active popup).
    virtual INT_PTR DoModal();
    COLORREF GetColor() const { return m_cc.rgbResult; }

    // The 16 custom colours shared by every colour dialog of the process.
    static COLORREF* GetSavedCustomColors();

    // Answers the dialog instead of showing it (tests and scripted runs): the function may put a
    // colour into m_cc.rgbResult and returns IDOK or IDCANCEL. It sees the dialog as it would be
    // shown, owner included. An empty function restores the real dialog.
    using Responder = std::function<INT_PTR(CColorDialog& dialog)>;
    static void SetTestResponder(Responder responder);

protected:
    CWnd* m_pParentWnd;
};
