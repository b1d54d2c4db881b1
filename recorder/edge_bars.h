// The left and right edge bars of the capture area: 20-pixel strips that paint the frame, blink
// the recording marks, and resize the capture area's width when dragged.
#pragma once

#include "recorder/recorder_panel.h"
#include "res/bars_ids.h"

class CEdgeBar : public CRecorderPanel {
public:
    CEdgeBar(UINT templateId, bool leftSide, CWnd* pParent);

    bool IsLeftBar() const { return leftSide; }

protected:
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    bool leftSide;
};

class CLeftDialog : public CEdgeBar {
public:
    enum { IDD = IDD_LEFT_DIALOG };
    explicit CLeftDialog(CWnd* pParent = nullptr);
};

class CRightDialog : public CEdgeBar {
public:
    enum { IDD = IDD_RIGHT_DIALOG };
    explicit CRightDialog(CWnd* pParent = nullptr);
};
