// The base of the windows that frame the capture area (the two edge bars and the status strip):
// borderless popups owned by the main window, which read its state, paint from it and resize
// the capture area through it. Enter and Esc never close them.
#pragma once

#include "controls/dialog_font_helper.h"
#include "framework/framework.h"
#include "recorder/bar_layout.h"
#include "recorder/bar_painting.h"

class CRecorderDlg;

// The owner a panel is created with: the given window, else the application's main window.
CWnd* PanelOwnerFor(CWnd* requested);

// The main window that a panel or popup belongs to: its owner when that is the main window,
// else the application's main window; null when neither is one.
CRecorderDlg* RecorderWindowOf(HWND panel);

class CRecorderPanel : public CDialog {
public:
    CRecorderPanel(UINT templateId, CWnd* pParent);

    using CDialog::Create;
    // Without a parent the panel is owned by the application's main window.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) override;

    CDialogFontHelper fontHelper;

protected:
    // Lays the template out again at 96 DPI before the base initialisation.
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    CRecorderDlg* Recorder() const { return RecorderWindowOf(m_hWnd); }
    // The main window's values as the panels show them (progress 0).
    RecorderView ReadView() const;
    // False while recording or paused, and when there is no main window to resize.
    bool MayResize() const;
    // One move of a drag: the client point of the mouse message, converted to the screen.
    void DragTo(DragEdge edge, CPoint clientPoint);

    DECLARE_MESSAGE_MAP()
};
