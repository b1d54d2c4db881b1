#include "controls/color_picker_button.h"

#include <vector>

#include "framework/color_dialog.h"
#include "framework/msgmap.h"

namespace {

// The eyedropper, 16 x 16: AND and XOR mask bytes of each row, first byte first.
const BYTE kPickAnd[16][2] = {
    {0xFF, 0xF1}, {0xFF, 0xE0}, {0xFF, 0xC0}, {0xFF, 0x00}, {0xFF, 0x81}, {0xFF, 0x03}, {0xFE, 0x07}, {0xFC, 0x17},
    {0xF8, 0x3F}, {0xF0, 0x7F}, {0xE0, 0xFF}, {0xC1, 0xFF}, {0x83, 0xFF}, {0x87, 0xFF}, {0x0F, 0xFF}, {0x3F, 0xFF},
};
const BYTE kPickXor[16][2] = {
    {0x00, 0x00}, {0x00, 0x0C}, {0x00, 0x08}, {0x00, 0x10}, {0x00, 0x00}, {0x00, 0x40}, {0x00, 0xE0}, {0x01, 0xC0},
    {0x03, 0x80}, {0x07, 0x00}, {0x0E, 0x00}, {0x1C, 0x00}, {0x38, 0x00}, {0x30, 0x00}, {0x40, 0x00}, {0x00, 0x00},
};

class SelectedPen {
public:
    SelectedPen(CDC* dc, CPen& pen) : dc_(dc), old_(dc->SelectObject(pen.m_hObject)) {}
    ~SelectedPen() { dc_->SelectObject(old_); }
    SelectedPen(const SelectedPen&) = delete;
    SelectedPen& operator=(const SelectedPen&) = delete;

private:
    CDC* dc_;
    HGDIOBJ old_;
};

}  // namespace

BEGIN_MESSAGE_MAP(CColorPickerButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_PALETTE_PICKED, OnPalettePicked)
    ON_MESSAGE(WM_PALETTE_MORE, OnPaletteMore)
    ON_MESSAGE(WM_PALETTE_CLOSED, OnPaletteClosed)
END_MESSAGE_MAP()

CColorPickerButton::CColorPickerButton()
    : color(::GetSysColor(COLOR_BTNFACE)),
      pickCursor(MakePickCursor(::GetSystemMetrics(SM_CXCURSOR), ::GetSystemMetrics(SM_CYCURSOR)))
{
}

CColorPickerButton::~CColorPickerButton() { ClosePalette(); }

HCURSOR CColorPickerButton::MakePickCursor(int width, int height)
{
    if (width < 16 || width > 99 || height < 16 || height > 99)
        return nullptr;
    // Mask rows are whole 16-bit words.
    const int stride = (width + 15) / 16 * 2;
    std::vector<BYTE> andMask(stride * height, 0xFF);
    std::vector<BYTE> xorMask(stride * height, 0x00);
    for (int row = 0; row < 16; ++row) {
        andMask[row * stride] = kPickAnd[row][0];
        andMask[row * stride + 1] = kPickAnd[row][1];
        xorMask[row * stride] = kPickXor[row][0];
        xorMask[row * stride + 1] = kPickXor[row][1];
    }
    return ::CreateCursor(::GetModuleHandleW(nullptr), 0, 15, width, height, andMask.data(), xorMask.data());
}

void CColorPickerButton::SetColor(COLORREF colour, bool notify)
{
    color = colour;
    if (!m_hWnd)
        return;
    if (notify) {
        if (HWND parent = ::GetParent(m_hWnd))
            ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), (LPARAM)m_hWnd);
    }
    if (buddyWnd) {
        wchar_t text[8];
        wsprintfW(text, L"#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
        ::SetWindowTextW(buddyWnd, text);
    }
    Invalidate(TRUE);
}

void CColorPickerButton::SetBuddy(HWND hWnd) { buddyWnd = hWnd; }

bool CColorPickerButton::OpenPalette()
{
    if (!m_hWnd)
        return false;
    if (!paletteOpen || !palette.IsWindow()) {
        int screenWidth, screenHeight;
        {
            CClientDC dc(this);
            screenWidth = dc.GetDeviceCaps(HORZRES);
            screenHeight = dc.GetDeviceCaps(VERTRES);
        }
        CRect button;
        GetWindowRect(&button);
        int x = button.left;
        if (x > screenWidth - CColorPaletteWnd::kWidth)
            x = screenWidth - CColorPaletteWnd::kWidth;
        if (x < 0)
            x = 0;
        int y = button.bottom - 1;
        if (y > screenHeight - CColorPaletteWnd::kHeight)
            y -= CColorPaletteWnd::kHeight;
        if (!palette.Create(m_hWnd, x, y))
            return false;
        paletteWnd = palette.m_hWnd;
    }
    palette.PostMessage(WM_PALETTE_INIT, (WPARAM)color);
    palette.ShowWindow(SW_SHOW);
    palette.SetCapture();
    paletteOpen = true;
    return true;
}

void CColorPickerButton::ClosePalette()
{
    paletteOpen = false;
    paletteWnd = nullptr;
    if (palette.IsWindow())
        palette.DestroyWindow();
}

void CColorPickerButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CColorPickerButton::OnEraseBkgnd(CDC* pDC)
{
    DrawFace(pDC);
    return TRUE;
}

void CColorPickerButton::DrawFace(CDC* pDC)
{
    CRect r;
    GetClientRect(&r);
    CRect inner = r;
    inner.DeflateRect(1, 1);
    if (!paletteOpen) {
        pDC->Draw3dRect(r, RGB(255, 255, 255), ::GetSysColor(COLOR_3DDKSHADOW));
        pDC->Draw3dRect(inner, ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNFACE));
    } else {
        // Flat while the popup is open: the frame gives way to the face colour.
        pDC->Draw3dRect(r, ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNFACE));
        pDC->Draw3dRect(inner, ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNFACE));
    }
    CRect s = r;
    s.DeflateRect(3, 3);
    pDC->FillSolidRect(s, color);
    {
        SelectedPen pen(pDC, g_grayTextPen);
        pDC->MoveTo(s.right - 1, s.top - 1);
        pDC->LineTo(s.left - 1, s.top - 1);
        pDC->LineTo(s.left - 1, s.bottom);
    }
    {
        SelectedPen pen(pDC, g_whitePen);
        pDC->LineTo(s.right - 6, s.bottom);
        pDC->LineTo(s.right - 6, s.bottom - 4);
        pDC->LineTo(s.right, s.bottom - 4);
        pDC->MoveTo(s.right, s.top - 1);
        pDC->LineTo(s.right, s.bottom - 3);
    }
    // The notch with a small down arrow in the bottom-right corner.
    const CRect notch(s.right - 5, s.bottom - 3, s.right + 1, s.bottom + 1);
    pDC->FillSolidRect(notch, ::GetSysColor(COLOR_BTNFACE));
    SelectedPen pen(pDC, IsWindowEnabled() ? g_blackPen : g_grayTextPen);
    for (int row = 0; row < 3; ++row) {
        pDC->MoveTo(notch.left + row, notch.top + 1 + row);
        pDC->LineTo(notch.left + 5 - row, notch.top + 1 + row);
    }
}

void CColorPickerButton::OnLButtonDown(UINT, CPoint point)
{
    Default();
    ClientToScreen(&point);
    if (OpenPalette())
        palette.PostMessage(WM_PALETTE_PRESS, (WPARAM)color, MAKELPARAM((WORD)(short)point.x, (WORD)(short)point.y));
    Invalidate(TRUE);
}

BOOL CColorPickerButton::OnSetCursor(CWnd*, UINT nHitTest, UINT)
{
    if (paletteOpen && pickCursor && nHitTest != HTCLIENT)
        ::SetCursor(pickCursor.get());
    else
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

void CColorPickerButton::OnDestroy()
{
    // The popup is owned by the dialog, not by the button: it would outlive it.
    ClosePalette();
    CButton::OnDestroy();
}

LRESULT CColorPickerButton::OnPalettePicked(WPARAM wParam, LPARAM)
{
    // A report from a popup that has already been closed (its deactivation) changes nothing.
    if (!paletteOpen)
        return 0;
    ClosePalette();
    const COLORREF chosen = (COLORREF)wParam;
    if (chosen == color)
        Invalidate(TRUE);
    else
        SetColor(chosen, true);
    return 0;
}

LRESULT CColorPickerButton::OnPaletteMore(WPARAM, LPARAM)
{
    ClosePalette();
    Invalidate(TRUE);
    CColorDialog dialog(0, CC_FULLOPEN, GetTopLevelParent());
    if (dialog.DoModal() == IDOK)
        SetColor(dialog.GetColor(), true);
    return 1;
}

LRESULT CColorPickerButton::OnPaletteClosed(WPARAM, LPARAM)
{
    // Destroyed some other way than by ClosePalette (its owner dialog closing, say): the button
    // is closed too and does not wait for a popup that is gone.
    if (paletteOpen) {
        paletteOpen = false;
        paletteWnd = nullptr;
        Invalidate(TRUE);
    }
    return 0;
}
