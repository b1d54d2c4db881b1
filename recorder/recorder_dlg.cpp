#include "recorder/recorder_dlg.h"

#include "app/recorder_app.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CRecorderDlg, CDialog)
    ON_COMMAND(IDOK, OnEnterKey)
    ON_COMMAND(IDCANCEL, OnCloseButton)
END_MESSAGE_MAP()

CRecorderDlg::CRecorderDlg() : CDialog(IDD_RECORDER_DIALOG), captureRect(0, 0, 310, 250) {}

BOOL CRecorderDlg::OnInitDialog()
{
    fontHelper.ApplyTemplateFont(AfxGetResourceHandle(), m_hWnd, IDD_RECORDER_DIALOG, 96.0);
    CDialog::OnInitDialog();

    ModifyStyle(0, WS_SYSMENU | WS_MINIMIZEBOX);
    CString title;
    title.LoadString(IDS_APP_TITLE);
    SetWindowText(title);

    theApp.LoadSettings();
    captureRect.right = captureRect.left + 620;
    captureRect.bottom = captureRect.top + 380;

    // A position saved partly off the screen is not trusted.
    int left = theApp.WndPosLeft, top = theApp.WndPosTop;
    if (left < 0 || left > 1000 || top < 0 || top > 700) {
        left = 100;
        top = 100;
    }
    CRect window;
    GetWindowRect(&window);
    MoveWindow(left, top, captureRect.Width(), window.Height());

    if (theApp.TopWnd)
        SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

// Enter does not close the window.
void CRecorderDlg::OnEnterKey() {}

void CRecorderDlg::OnCloseButton() { OnCancel(); }

void CRecorderDlg::OnCancel()
{
    CRect window;
    GetWindowRect(&window);
    theApp.WndPosLeft = window.left;
    theApp.WndPosTop = window.top;
    theApp.WndPosEmptyWidth = captureRect.Width();
    theApp.WndPosEmptyHeight = captureRect.Height();
    theApp.SaveSettings();
    EndDialog(IDCANCEL);
}
