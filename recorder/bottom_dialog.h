// The status strip under the capture area: paints the lower frame, shows the status text of the
// main window's state, resizes the capture area from its edges and corners, and hosts the
// notice button (which shows the notice popup while hovered) and the web-page button.
#pragma once

#include "controls/hover_button.h"
#include "controls/icon_button.h"
#include "recorder/recorder_panel.h"
#include "res/bars_ids.h"

class CBottomDialog : public CRecorderPanel {
public:
    enum { IDD = IDD_BOTTOM_DIALOG };
    explicit CBottomDialog(CWnd* pParent = nullptr);

    // Which edge or corner the current press grabbed; at most one is set, all are cleared on
    // release.
    bool dragLeft = false;
    bool dragRight = false;
    bool dragBottom = false;
    bool dragBottomLeft = false;
    bool dragBottomRight = false;
    // Percent of the GIF being made, written by the main window on every progress report and
    // shown while the GIF is made.
    int progress = 0;

    CHoverButton noticeButton;
    CIconButton pageButton;

    // The edge the current drag moves (DragEdge::None when no press grabbed one).
    DragEdge CurrentDrag() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnSize(UINT nType, int cx, int cy);
    void OnMove(int x, int y);
    void OnNoticeButton();
    void OnVisitPage();
    LRESULT OnHoverNotice(WPARAM wParam, LPARAM lParam);

    // Opens the product's web page; a separate step so that tests need no browser.
    virtual void OpenWebPage(const CString& address);

    DECLARE_MESSAGE_MAP()

private:
    void InvalidateWithButtons();
    void ClearDragFlags();
    void SetDragFlag(DragEdge edge);
    CSize ClientSize() const;
};
