// The notice popup: a picture shown above the status strip's right end while the mouse rests on
// the strip's notice button.
#pragma once

#include "framework/framework.h"
#include "res/bars_ids.h"

class CBlankNoticeDlg : public CDialog {
public:
    enum { IDD = IDD_BLANK_NOTICE };
    explicit CBlankNoticeDlg(CWnd* pParent = nullptr);

    using CDialog::Create;
    // Without a parent the popup is owned by the application's main window.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) override;

    // Shows the popup at its picture's size on the main window's status strip, its right edge
    // 30 pixels left of the strip's right end; nothing when there is no strip.
    void ShowNotice();
    // The same against a given strip rectangle (screen coordinates).
    void ShowNoticeAbove(const CRect& strip);
};
