// The colour picker's popup: a grid of 228 colours with a swatch and the hexadecimal text of the
// colour under the cursor, and a small button for the full colour dialog. While it is open it
// works as an eyedropper over the whole screen: it holds the mouse capture, reads the screen
// pixel under the cursor and, on release, hands that colour to the button that opened it.
//
// Private messages between the picker button and its popup:
//   button -> popup  WM_PALETTE_INIT    wParam: the button's colour (the start colour)
//   button -> popup  WM_PALETTE_PRESS   lParam: screen point of the press that opened the popup
//   popup -> button  WM_PALETTE_PICKED  wParam: the chosen colour; lParam: the release point
//   popup -> button  WM_PALETTE_MORE    close and open the full colour dialog
//   popup -> button  WM_PALETTE_CLOSED  (sent) the popup is being destroyed, however that came
//   popup -> button  WM_SETCURSOR       wParam 0; lParam 0: eyedropper, 1: arrow
// The choice has a message of its own so that a real mouse release on the button is never
// taken for a colour.
#pragma once

#include <windows.h>

#include "framework/gdi.h"
#include "framework/wnd.h"

constexpr UINT WM_PALETTE_INIT = WM_USER + 1;
constexpr UINT WM_PALETTE_MORE = WM_USER + 2;
constexpr UINT WM_PALETTE_PRESS = WM_USER + 3;
constexpr UINT WM_PALETTE_PICKED = WM_USER + 4;
constexpr UINT WM_PALETTE_CLOSED = WM_USER + 5;

// The picker's pens, 1 px solid, for the process's whole life.
extern CPen g_grayTextPen;  // COLOR_GRAYTEXT as it was at start
extern CPen g_whitePen;
extern CPen g_blackPen;

class CColorPaletteWnd : public CWnd {
public:
    static constexpr int kWidth = 191;
    static constexpr int kHeight = 150;
    static constexpr int kColumns = 19;
    static constexpr int kRows = 12;
    static constexpr int kCellCount = kColumns * kRows;
    static constexpr int kGridHeight = 120;  // the cells; the band with swatch and text below
    static constexpr UINT kMoreButtonId = 100;

    CColorPaletteWnd() = default;

    // Registers the window class "ColorPalette" once for the process; false when it cannot be.
    static bool RegisterWindowClass();
    // A topmost popup at (x, y) in screen coordinates, owned by the button, which gets its reports.
    BOOL Create(HWND owner, int x, int y);

    // The colour of a cell (0 .. kCellCount - 1) as the grid paints it.
    static COLORREF CellColor(int cell);
    // A cell's 9 x 9 square in client coordinates.
    static CRect CellRect(int cell);

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnPaletteInit(WPARAM wParam, LPARAM lParam);
    LRESULT OnPalettePress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Reports the chosen colour to the button, which closes the popup.
    void Pick(CPoint client);
    void InvalidateBand();
    void InvalidateCell(int cell);

    HWND paletteOwner = nullptr;
    COLORREF paletteColor = 0;       // shown in the swatch and sent on release
    COLORREF paletteStartColor = 0;  // the button's colour when the popup opened
    CPoint palettePress{INT_MIN, INT_MIN};  // screen point of the last press
    bool paletteMoved = false;              // the mouse has left that point since
    bool pressOnButton = false;             // the last press was the one that opened the popup
    int paletteHoverCell = -1;
    CWnd paletteMoreButton;
    CFont paletteFont;
};
