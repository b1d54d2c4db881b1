// CColorPickerButton: an owner-drawn push button that shows a colour and lets the user pick a
// new one. A press opens the colour popup under the button (controls/color_picker_popup.h): a
// click on a cell, or anywhere on the screen, takes the colour under the cursor, and so does a
// press on the button dragged to any pixel and released there; the popup's small button opens
// the full colour dialog. A changed colour reaches the parent as BN_CLICKED of the button's
// control id (WM_COMMAND, lParam the button's window).
//
// Bind it to an owner-drawn push button of a dialog template (DDX_Control or SubclassDlgItem).
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "controls/color_picker_popup.h"
#include "framework/controls.h"

class CColorPickerButton : public CButton {
public:
    CColorPickerButton();
    ~CColorPickerButton() override;

    COLORREF GetColor() const { return color; }
    // With notify, the parent gets BN_CLICKED (posted) even when the colour stays the same.
    void SetColor(COLORREF colour, bool notify);
    // A window whose text shows the colour as "#RRGGBB" from then on.
    void SetBuddy(HWND hWnd);

    // Opens the popup (or brings the open one back) and gives it the mouse capture; false when
    // it cannot be created.
    bool OpenPalette();
    void ClosePalette();

    // The face is painted with the background; the owner-draw paint has nothing to add.
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // The eyedropper cursor (16 x 16, hot spot at the bottom left) in masks of the given size;
    // null outside 16..99 pixels.
    static HCURSOR MakePickCursor(int width, int height);

protected:
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnDestroy();
    LRESULT OnPalettePicked(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteMore(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteClosed(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void DrawFace(CDC* pDC);

    struct CursorDeleter {
        void operator()(HCURSOR cursor) const { ::DestroyCursor(cursor); }
    };
    using OwnedCursor = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDeleter>;

    COLORREF color;
    HWND buddyWnd = nullptr;
    HWND paletteWnd = nullptr;
    bool paletteOpen = false;
    OwnedCursor pickCursor;
    CColorPaletteWnd palette;
};
