// CMyBitmapButton: an owner-drawn push button that shows one of up to six bitmaps by its state
// (normal, hover, selected, disabled, selected and hovered, pressed) and lights up while the
// mouse is over it. The normal bitmap fixes the button's size.
#pragma once

#include "framework/controls.h"
#include "framework/gdi_objects.h"

class CMyBitmapButton : public CButton {
    DECLARE_DYNAMIC(CMyBitmapButton)
public:
    CMyBitmapButton() = default;
    ~CMyBitmapButton() override = default;

    // Resource ids, 0 for none. FALSE at once (nothing resized) when the normal bitmap does not
    // load; otherwise the button takes the normal bitmap's size, and the result is FALSE when an
    // optional bitmap that was asked for did not load.
    BOOL LoadBitmaps(UINT nIDNormal, UINT nIDHover = 0, UINT nIDSelected = 0, UINT nIDDisabled = 0,
                     UINT nIDSelectedHover = 0, UINT nIDPressed = 0);
    void FitToBitmap();
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    // Ends the hover look (and a press in progress).
    void ClearHover();

protected:
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnKillFocus(CWnd* pNewWnd);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    // The face DrawItem paints for this item state.
    const CBitmap& ChooseFace(UINT itemState) const;

    bool m_selected = false;  // draws the selected faces; nothing in the program sets it
    bool m_hover = false;
    bool m_pressed = false;
    CBitmap m_normal;
    CBitmap m_disabled;
    CBitmap m_selectedFace;
    CBitmap m_hoverFace;
    CBitmap m_selectedHover;
    CBitmap m_pressedFace;
};
