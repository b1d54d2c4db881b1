#include "recorder/blank_notice_dlg.h"

#include "recorder/bottom_dialog.h"
#include "recorder/recorder_dlg.h"
#include "recorder/recorder_panel.h"

CBlankNoticeDlg::CBlankNoticeDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

BOOL CBlankNoticeDlg::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return CDialog::Create(nIDTemplate, PanelOwnerFor(pParentWnd));
}

void CBlankNoticeDlg::ShowNotice()
{
    const CRecorderDlg* main = dynamic_cast<CRecorderDlg*>(AfxGetMainWnd());
    if (!main || !main->bottomBar || !main->bottomBar->m_hWnd)
        return;
    CRect strip;
    main->bottomBar->GetWindowRect(&strip);
    ShowNoticeAbove(strip);
}

void CBlankNoticeDlg::ShowNoticeAbove(const CRect& strip)
{
    const CWnd* picture = GetDlgItem(IDC_NOTICE_PICTURE);
    if (!m_hWnd || !picture)
        return;
    CRect pictureRect;
    picture->GetWindowRect(&pictureRect);
    const CRect place = NoticePopupRect(pictureRect.Size(), strip);
    // Shown without taking the activation, so the hovered button keeps its state.
    SetWindowPos(&CWnd::wndTop, place.left, place.top, place.Width(), place.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}
