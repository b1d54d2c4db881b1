// The main capture window: a borderless strip over the capture area.
#pragma once

#include "controls/dialog_font_helper.h"
#include "framework/framework.h"

class CRecorderDlg : public CDialog {
public:
    CRecorderDlg();

    BOOL OnInitDialog() override;
    void OnCancel() override;

    CRect captureRect;
    int state = 0;

protected:
    void OnEnterKey();
    void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    CDialogFontHelper fontHelper;
};
