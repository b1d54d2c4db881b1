#include "recorder/recorder_panel.h"

#include "recorder/recorder_dlg.h"

BEGIN_MESSAGE_MAP(CRecorderPanel, CDialog)
END_MESSAGE_MAP()

CWnd* PanelOwnerFor(CWnd* requested) { return requested ? requested : AfxGetMainWnd(); }

CRecorderDlg* RecorderWindowOf(HWND panel)
{
    if (panel) {
        if (auto* owner = dynamic_cast<CRecorderDlg*>(CWnd::FromHandlePermanent(::GetWindow(panel, GW_OWNER))))
            return owner;
    }
    return dynamic_cast<CRecorderDlg*>(AfxGetMainWnd());
}

CRecorderPanel::CRecorderPanel(UINT templateId, CWnd* pParent) : CDialog(templateId, pParent) {}

BOOL CRecorderPanel::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return CDialog::Create(nIDTemplate, PanelOwnerFor(pParentWnd));
}

BOOL CRecorderPanel::OnInitDialog()
{
    fontHelper.ApplyTemplateFont(AfxGetResourceHandle(), m_hWnd, static_cast<int>(m_nIDTemplate), 96.0);
    CDialog::OnInitDialog();
    return TRUE;
}

void CRecorderPanel::OnOK() {}

void CRecorderPanel::OnCancel() {}

RecorderView CRecorderPanel::ReadView() const
{
    RecorderView view;
    if (const CRecorderDlg* main = Recorder()) {
        view.state = main->state;
        view.recBlink = main->recBlink;
        view.captureRect = main->captureRect;
        view.frameCount = main->frameCount;
        view.rate = main->RecordingRate();
    }
    return view;
}

bool CRecorderPanel::MayResize() const
{
    const CRecorderDlg* main = Recorder();
    return main && main->m_hWnd && BarsMayResize(main->state);
}

void CRecorderPanel::DragTo(DragEdge edge, CPoint clientPoint)
{
    CRecorderDlg* main = Recorder();
    if (!main || !main->m_hWnd)
        return;
    CPoint cursor = clientPoint;
    ClientToScreen(&cursor);
    CRect window;
    main->GetWindowRect(&window);
    const PanelResize resize = ComputePanelResize(edge, cursor, window);
    if (!resize.apply)
        return;
    if (resize.moveWindow)
        main->MoveWindow(&resize.newWindow, TRUE);
    main->OnLayoutPanels(static_cast<WPARAM>(resize.captureHeight), 0);
}
