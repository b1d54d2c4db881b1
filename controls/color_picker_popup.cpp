#include "controls/color_picker_popup.h"

#include "framework/msgmap.h"

CPen g_grayTextPen(PS_SOLID, 1, ::GetSysColor(COLOR_GRAYTEXT));
CPen g_whitePen(PS_SOLID, 1, RGB(255, 255, 255));
CPen g_blackPen(PS_SOLID, 1, RGB(0, 0, 0));

namespace {

const wchar_t kClassName[] = L"ColorPalette";

// The band below the grid that holds the swatch and the colour's text.
const CRect kBandRect(0, CColorPaletteWnd::kGridHeight, 150, 145);
const CRect kSwatchRect(5, 125, 40, 143);

// Selects a GDI object into a DC for one scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~Selected() { ::SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

LPARAM PointToLParam(CPoint p) { return MAKELPARAM((WORD)(short)p.x, (WORD)(short)p.y); }

}  // namespace

BEGIN_MESSAGE_MAP(CColorPaletteWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_DRAWITEM()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_ACTIVATE()
    ON_MESSAGE(WM_PALETTE_INIT, OnPaletteInit)
    ON_MESSAGE(WM_PALETTE_PRESS, OnPalettePress)
END_MESSAGE_MAP()

bool CColorPaletteWnd::RegisterWindowClass()
{
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcW;  // the framework routes the popup's messages to its object
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = (HBRUSH)::GetStockObject(WHITE_BRUSH);
        wc.lpszClassName = kClassName;
        return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

BOOL CColorPaletteWnd::Create(HWND owner, int x, int y)
{
    if (m_hWnd || !RegisterWindowClass())
        return FALSE;
    paletteOwner = owner;
    return CreateEx(WS_EX_TOPMOST, kClassName, L"Palatte", WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, kWidth, kHeight,
                    owner, nullptr);
}

COLORREF CColorPaletteWnd::CellColor(int cell)
{
    static const BYTE kGrays[kRows] = {255, 232, 209, 186, 163, 140, 117, 94, 71, 48, 23, 0};
    const int column = cell % kColumns;
    const int row = cell / kColumns;
    if (column == 0)
        return RGB(kGrays[row], kGrays[row], kGrays[row]);
    // The 216 colours with components in steps of 51: green across six columns, blue down six
    // rows, red in blocks of six columns and six rows.
    const int j = column - 1;
    const int k = row / 6;
    const int i = row % 6;
    return RGB(51 * (3 * k + j / 6), 51 * (j % 6), 51 * i);
}

CRect CColorPaletteWnd::CellRect(int cell)
{
    const int x = 10 * (cell % kColumns);
    const int y = 10 * (cell / kColumns);
    return CRect(x, y, x + 9, y + 9);
}

int CColorPaletteWnd::OnCreate(LPCREATESTRUCT)
{
    paletteColor = ::GetSysColor(COLOR_BTNFACE);
    paletteFont.CreateFont(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS,
                           CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH, L"Verdana");
    paletteMoreButton.CreateEx(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 167, 126, 16, 16, m_hWnd,
                               (HMENU)(UINT_PTR)kMoreButtonId);
    return 0;
}

void CColorPaletteWnd::OnDestroy()
{
    paletteFont.DeleteObject();
    // The button must not wait for a popup that is gone, whoever destroyed it.
    if (::IsWindow(paletteOwner))
        ::SendMessageW(paletteOwner, WM_PALETTE_CLOSED, 0, (LPARAM)m_hWnd);
    CWnd::OnDestroy();
}

BOOL CColorPaletteWnd::OnEraseBkgnd(CDC* pDC)
{
    HDC dc = pDC->GetSafeHdc();
    {
        Selected pen(dc, g_blackPen.m_hObject);
        for (int k = 0; k < kColumns - 1; ++k) {
            ::MoveToEx(dc, 9 + 10 * k, 0, nullptr);
            ::LineTo(dc, 9 + 10 * k, kGridHeight);
        }
        for (int k = 0; k < kRows; ++k) {
            ::MoveToEx(dc, 0, 9 + 10 * k, nullptr);
            ::LineTo(dc, 190, 9 + 10 * k);
        }
        RECT band = {0, kGridHeight, kWidth, kHeight};
        ::FillRect(dc, &band, (HBRUSH)::GetStockObject(LTGRAY_BRUSH));
        Selected hollow(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, 4, 124, 41, 144);
    }
    return TRUE;
}

void CColorPaletteWnd::OnPaint()
{
    CPaintDC paint(this);
    for (int cell = 0; cell < kCellCount; ++cell)
        paint.FillSolidRect(CellRect(cell), CellColor(cell));
    if (paletteHoverCell >= 0 && paletteHoverCell < kCellCount) {
        CRect area = CellRect(paletteHoverCell);
        area.right += 1;
        area.bottom += 1;
        paint.DrawFocusRect(area);
    }
    paint.FillSolidRect(kSwatchRect, paletteColor);
    wchar_t text[8];
    wsprintfW(text, L"#%02X%02X%02X", GetRValue(paletteColor), GetGValue(paletteColor), GetBValue(paletteColor));
    Selected font(paint.GetSafeHdc(), paletteFont.m_hObject ? paletteFont.m_hObject : ::GetStockObject(DEFAULT_GUI_FONT));
    paint.SetBkMode(TRANSPARENT);
    paint.TextOut(80, 127, text, 7);
}

void CColorPaletteWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if ((UINT)nIDCtl != kMoreButtonId || !lpDrawItemStruct)
        return;
    HDC dc = lpDrawItemStruct->hDC;
    const RECT r = lpDrawItemStruct->rcItem;
    ::FillRect(dc, &r, (HBRUSH)::GetStockObject(LTGRAY_BRUSH));
    const bool pressed = lpDrawItemStruct->itemState == (ODS_SELECTED | ODS_FOCUS);
    {
        Selected pen(dc, (pressed ? g_blackPen : g_whitePen).m_hObject);
        ::MoveToEx(dc, r.left, r.bottom - 1, nullptr);
        ::LineTo(dc, r.left, r.top);
        ::LineTo(dc, r.right - 1, r.top);
    }
    {
        Selected pen(dc, (pressed ? g_whitePen : g_blackPen).m_hObject);
        ::MoveToEx(dc, r.right - 1, r.top, nullptr);
        ::LineTo(dc, r.right - 1, r.bottom - 1);
        ::LineTo(dc, r.left, r.bottom - 1);
    }
    const int shift = pressed ? 1 : 0;
    const COLORREF squares[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0)};
    Selected pen(dc, g_grayTextPen.m_hObject);
    for (int n = 0; n < 3; ++n) {
        CBrush fill(squares[n]);
        Selected brush(dc, fill.m_hObject);
        const int at = r.left + 3 + 2 * n + shift;
        const int top = r.top + 3 + 2 * n + shift;
        ::Rectangle(dc, at, top, at + 5, top + 5);
    }
}

LRESULT CColorPaletteWnd::OnPaletteInit(WPARAM wParam, LPARAM)
{
    paletteColor = paletteStartColor = (COLORREF)wParam;
    InvalidateBand();
    return 0;
}

LRESULT CColorPaletteWnd::OnPalettePress(WPARAM, LPARAM lParam)
{
    palettePress = afx_detail::PointFromLParam(lParam);
    pressOnButton = true;
    paletteMoved = false;
    InvalidateRect(kSwatchRect, TRUE);
    return 0;
}

void CColorPaletteWnd::OnLButtonDown(UINT, CPoint point)
{
    ClientToScreen(&point);
    palettePress = point;
    pressOnButton = false;
    paletteMoved = false;
    InvalidateRect(kSwatchRect, TRUE);
}

void CColorPaletteWnd::OnLButtonUp(UINT, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    // A click on the popup (or anywhere while it holds the capture) takes the colour; so does a
    // release after a drag. The release of the click that opened the popup leaves it open.
    if (paletteMoved || (!pressOnButton && screen == palettePress))
        Pick(point);
}

void CColorPaletteWnd::OnActivate(UINT nState, CWnd*, BOOL)
{
    // Losing activation after the mouse has moved ends the choice with the colour shown.
    if (nState == WA_INACTIVE && paletteMoved)
        Pick(CPoint(0, 0));
}

BOOL CColorPaletteWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kMoreButtonId && HIWORD(wParam) == BN_CLICKED) {
        ::PostMessageW(paletteOwner, WM_PALETTE_MORE, 0, 0);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CColorPaletteWnd::OnMouseMove(UINT, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    bool arrow = false;
    HWND under = nullptr;
    if (screen != palettePress) {
        paletteMoved = true;
        under = ::WindowFromPoint(screen);
    }
    if (under) {
        // The eyedropper reads what the screen shows at the cursor, whichever window that is.
        HDC screenDC = ::GetDC(nullptr);
        const COLORREF seen = ::GetPixel(screenDC, screen.x, screen.y);
        ::ReleaseDC(nullptr, screenDC);

        CRect frame;
        GetWindowRect(&frame);
        if (!frame.PtInRect(screen)) {
            if (seen != CLR_INVALID && seen != paletteColor) {
                paletteColor = seen;
                InvalidateBand();
            }
        } else {
            // Window coordinates, the border included, so the grid lines fall on multiples of 10.
            const int x = screen.x - frame.left;
            const int y = screen.y - frame.top;
            int cell = -1;
            if (y < kGridHeight) {
                if (x % 10 != 0 && y % 10 != 0)
                    cell = (y / 10) * kColumns + x / 10;
                if (cell >= kCellCount)
                    cell = -1;
            } else {
                if (paletteColor != paletteStartColor) {
                    paletteColor = paletteStartColor;
                    InvalidateBand();
                }
                if (under == paletteMoreButton.m_hWnd)
                    ::ReleaseCapture();  // so that the button can be clicked
                else
                    arrow = true;
            }
            // Back from the more-colours button: the eyedropper needs the capture again.
            if (under != paletteMoreButton.m_hWnd && ::GetCapture() != m_hWnd)
                SetCapture();
            if (cell != paletteHoverCell) {
                InvalidateCell(paletteHoverCell);
                InvalidateCell(cell);
                InvalidateBand();
                paletteHoverCell = cell;
            }
            // Over a cell the swatch always shows that cell, also when the cursor comes back to
            // it from outside the popup.
            if (cell != -1 && seen != CLR_INVALID && seen != paletteColor) {
                paletteColor = seen;
                InvalidateBand();
            }
        }
    }
    ::PostMessageW(paletteOwner, WM_SETCURSOR, 0, arrow ? 1 : 0);
}

void CColorPaletteWnd::Pick(CPoint client)
{
    ::PostMessageW(paletteOwner, WM_PALETTE_PICKED, (WPARAM)paletteColor, PointToLParam(client));
}

void CColorPaletteWnd::InvalidateBand() { InvalidateRect(kBandRect, TRUE); }

void CColorPaletteWnd::InvalidateCell(int cell)
{
    if (cell < 0 || cell >= kCellCount)
        return;
    CRect area = CellRect(cell);
    area.InflateRect(1, 1);
    InvalidateRect(area, TRUE);
}
