// Image buttons: construction, images, setters, tooltip and messages. Drawing is in
// icon_button_draw.cpp, the generated image copies in icon_button_images.cpp.
#include "controls/icon_button.h"

#include <cwchar>

#include "controls/open_address.h"
#include "framework/app.h"
#include "framework/msgmap.h"

namespace {

// The button type bits that BM_SETSTYLE and the control's style carry (BS_TYPEMASK and the bit
// above it, which the type replacement clears too).
constexpr UINT kTypeBits = 0x1F;

HICON LoadIconResource(int id, int cx, int cy)
{
    if (id <= 0 || id > 0xFFFF)
        return nullptr;
    return (HICON)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0);
}

HBITMAP LoadBitmapResource(int id)
{
    if (id <= 0 || id > 0xFFFF)
        return nullptr;
    return ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
}

bool IsCopyRequest(INT_PTR value)
{
    return value == CImageButtonBase::kGrayCopy || value == CImageButtonBase::kDarkCopy;
}

// An icon's size is twice its hot spot, as the icon information gives it. The information's
// bitmaps are copies that the caller must delete.
bool ReadIconSize(HICON icon, int* width, int* height)
{
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon, &info))
        return false;
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    *width = (int)info.xHotspot * 2;
    *height = (int)info.yHotspot * 2;
    return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(CImageButtonBase, CButton)
    ON_WM_SETCURSOR()
    ON_WM_KILLFOCUS()
    ON_WM_MOUSEMOVE()
    ON_WM_SYSCOLORCHANGE()
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_ACTIVATE()
    ON_WM_ENABLE()
    ON_WM_CANCELMODE()
    ON_WM_GETDLGCODE()
    ON_WM_CTLCOLOR_REFLECT()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_WM_MOUSELEAVE()
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
END_MESSAGE_MAP()

CImageButtonBase::CImageButtonBase() { ResetColors(FALSE); }

CImageButtonBase::~CImageButtonBase()
{
    // The captured background's bitmap must leave its DC before either is deleted; images,
    // cursor, menu and tooltip go with their owning members.
    DropBackground();
}

void CImageButtonBase::Repaint(BOOL bRepaint)
{
    if (bRepaint && m_hWnd)
        Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Images

void CImageButtonBase::ReleaseImages()
{
    for (IconSlot& slot : m_icons) {
        slot.icon.reset();
        slot.width = slot.height = 0;
    }
    for (BitmapSlot& slot : m_bitmaps) {
        slot.bitmap.DeleteObject();
        slot.mask.DeleteObject();
        slot.width = slot.height = 0;
        slot.transparent = 0;
    }
}

DWORD CImageButtonBase::SetIconsById(int nIconIn, int cxIn, int cyIn, int nIconOut, int cxOut, int cyOut)
{
    HICON in = LoadIconResource(nIconIn, cxIn, cyIn);
    if (!in) {
        // A missing resource is a failure, not a request to clear the button.
        ReleaseImages();
        Repaint(TRUE);
        return kErrNoResource;
    }
    HICON out = nullptr;
    if (IsCopyRequest(nIconOut))
        out = (HICON)(INT_PTR)nIconOut;
    else if (nIconOut != kNoOutImage)
        out = LoadIconResource(nIconOut, cxOut, cyOut);
    return SetIconHandles(in, out);
}

DWORD CImageButtonBase::SetIconPair(int nIconIn, int nIconOut) { return SetIconsById(nIconIn, 0, 0, nIconOut, 0, 0); }

DWORD CImageButtonBase::SetIconHandles(HICON hIconIn, HICON hIconOut)
{
    ReleaseImages();
    // The same handle twice is one icon, shown in both states.
    const INT_PTR outValue = hIconOut == hIconIn ? 0 : (INT_PTR)hIconOut;
    // Both handles are ours from here on, also when the call fails.
    OwnedIcon out(outValue && !IsCopyRequest(outValue) ? hIconOut : nullptr);
    if (!hIconIn) {
        Repaint(TRUE);
        return kOk;
    }
    IconSlot& inSlot = m_icons[0];
    inSlot.icon.reset(hIconIn);
    if (!ReadIconSize(hIconIn, &inSlot.width, &inSlot.height)) {
        ReleaseImages();
        return kErrNoResource;
    }
    if (outValue == kDarkCopy)
        out.reset(MakeDarkIcon(hIconIn));
    else if (outValue == kGrayCopy)
        out.reset(MakeGrayIcon(hIconIn));
    if (outValue != 0) {
        IconSlot& outSlot = m_icons[1];
        outSlot.icon = std::move(out);
        // A copy that could not be made has no icon information either.
        if (!ReadIconSize(outSlot.icon.get(), &outSlot.width, &outSlot.height)) {
            ReleaseImages();
            return kErrNoResource;
        }
    }
    Repaint(TRUE);
    return kOk;
}

DWORD CImageButtonBase::SetBitmapsById(int nBitmapIn, COLORREF crTransIn, int nBitmapOut, COLORREF crTransOut)
{
    HBITMAP in = LoadBitmapResource(nBitmapIn);
    HBITMAP out = nullptr;
    if (IsCopyRequest(nBitmapOut))
        out = (HBITMAP)(INT_PTR)nBitmapOut;
    else if (nBitmapOut != kNoOutImage)
        out = LoadBitmapResource(nBitmapOut);
    return SetBitmapHandles(in, crTransIn, out, crTransOut);
}

DWORD CImageButtonBase::SetBitmapHandles(HBITMAP hBitmapIn, COLORREF crTransIn, HBITMAP hBitmapOut,
                                         COLORREF crTransOut)
{
    ReleaseImages();
    // The same handle twice is one bitmap, shown in both states.
    const INT_PTR outValue = hBitmapOut == hBitmapIn ? 0 : (INT_PTR)hBitmapOut;
    CBitmap out;  // ours from here on, also when the call fails
    if (outValue && !IsCopyRequest(outValue))
        out.Attach(hBitmapOut);

    BitmapSlot& inSlot = m_bitmaps[0];
    BITMAP info = {};
    if (hBitmapIn)
        inSlot.bitmap.Attach(hBitmapIn);
    if (!hBitmapIn || !inSlot.bitmap.GetBitmap(&info)) {
        ReleaseImages();
        return kErrNoResource;
    }
    inSlot.width = info.bmWidth;
    inSlot.height = info.bmHeight;
    inSlot.transparent = crTransIn;

    // Copies first: making the mask turns the transparent pixels black.
    if (IsCopyRequest(outValue)) {
        HBITMAP copy = outValue == kDarkCopy ? MakeDarkBitmap(hBitmapIn, inSlot.width, inSlot.height, crTransIn)
                                             : MakeGrayBitmap(hBitmapIn, inSlot.width, inSlot.height, crTransIn);
        if (copy)
            out.Attach(copy);
        crTransOut = crTransIn;
    }
    if (!inSlot.mask.Attach(MakeMaskBitmap(hBitmapIn, inSlot.width, inSlot.height, crTransIn))) {
        ReleaseImages();
        return kErrNoMask;
    }

    if (out.GetSafeHandle()) {
        BitmapSlot& outSlot = m_bitmaps[1];
        outSlot.bitmap.Attach(out.Detach());
        if (!outSlot.bitmap.GetBitmap(&info)) {
            ReleaseImages();
            return kErrNoResource;
        }
        outSlot.width = info.bmWidth;
        outSlot.height = info.bmHeight;
        outSlot.transparent = crTransOut;
        HBITMAP mask = MakeMaskBitmap((HBITMAP)outSlot.bitmap.GetSafeHandle(), outSlot.width, outSlot.height,
                                      crTransOut);
        if (!outSlot.mask.Attach(mask)) {
            ReleaseImages();
            return kErrNoMask;
        }
    }
    Repaint(TRUE);
    return kOk;
}

void CImageButtonBase::FitToImage()
{
    m_imageMargin = CPoint(0, 0);
    int width = 0;
    int height = 0;
    if (m_icons[0].icon) {
        width = m_icons[0].width;
        height = m_icons[0].height;
    } else if (m_bitmaps[0].bitmap.GetSafeHandle()) {
        width = m_bitmaps[0].width;
        height = m_bitmaps[0].height;
    } else {
        return;  // nothing to fit to: the button keeps its size rather than vanish
    }
    if (m_hWnd)
        SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------------------------
// Look and colours

DWORD CImageButtonBase::SetFlat(BOOL bFlat, BOOL bRepaint)
{
    m_flat = bFlat;
    Repaint(bRepaint);
    return kOk;
}

DWORD CImageButtonBase::SetAlignment(BYTE byAlign, BOOL bRepaint)
{
    if (byAlign > AlignOverlap)
        return kErrAlignment;
    m_alignment = byAlign;
    Repaint(bRepaint);
    return kOk;
}

DWORD CImageButtonBase::SetPressedLook(BYTE byLook, BOOL bRepaint)
{
    if (byLook == 0)
        m_pressedOffset = CPoint(1, 1);
    else if (byLook == 1)
        m_pressedOffset = CPoint(0, 2);
    else
        return kErrPressedLook;
    Repaint(bRepaint);
    return kOk;
}

DWORD CImageButtonBase::SetBorderVisible(BOOL bVisible, BOOL bRepaint)
{
    m_borderVisible = bVisible;
    Repaint(bRepaint);
    return kOk;
}

DWORD CImageButtonBase::SetFlatFocusRect(BOOL bDraw, BOOL bRepaint)
{
    m_flatFocusRect = bDraw;
    Repaint(bRepaint);
    return kOk;
}

DWORD CImageButtonBase::SetTrackWhenInactive(BOOL bTrack)
{
    m_trackWhenInactive = bTrack;
    return kOk;
}

void CImageButtonBase::SetTransparent(BOOL bRepaint)
{
    m_transparent = TRUE;
    DropBackground();
    Repaint(bRepaint);
}

DWORD CImageButtonBase::ResetColors(BOOL bRepaint)
{
    m_colors[ColorBackHover] = ::GetSysColor(COLOR_BTNFACE);
    m_colors[ColorTextHover] = ::GetSysColor(COLOR_BTNTEXT);
    m_colors[ColorBackNormal] = ::GetSysColor(COLOR_BTNFACE);
    m_colors[ColorTextNormal] = ::GetSysColor(COLOR_BTNTEXT);
    m_colors[ColorBackFocus] = ::GetSysColor(COLOR_BTNFACE);
    m_colors[ColorTextFocus] = ::GetSysColor(COLOR_BTNTEXT);
    Repaint(bRepaint);
    return kOk;
}

DWORD CImageButtonBase::SetColor(BYTE byIndex, COLORREF crColor, BOOL bRepaint)
{
    if (byIndex >= ColorCount)
        return kErrColorIndex;
    m_colors[byIndex] = crColor;
    Repaint(bRepaint);
    return kOk;
}

DWORD CImageButtonBase::GetColor(BYTE byIndex, COLORREF* pColor) const
{
    if (byIndex >= ColorCount)
        return kErrColorIndex;
    if (!pColor)
        return kErrBadValue;
    *pColor = m_colors[byIndex];
    return kOk;
}

COLORREF CImageButtonBase::ShiftedColor(COLORREF crColor, short shShift)
{
    const int channels[3] = {GetRValue(crColor), GetGValue(crColor), GetBValue(crColor)};
    int shift = shShift;
    for (int c : channels) {
        if (shift <= 0)
            shift = shift < -c ? -c : shift;  // no channel may fall below 0
        else
            shift = shift > 255 - c ? 255 - c : shift;  // nor rise above 255
    }
    return RGB(channels[0] + shift, channels[1] + shift, channels[2] + shift);
}

DWORD CImageButtonBase::ShiftColor(BYTE byIndex, short shShift, BOOL bRepaint)
{
    if (byIndex >= ColorCount)
        return kErrColorIndex;
    if (shShift < -255 || shShift > 255)
        return kErrBadValue;
    m_colors[byIndex] = ShiftedColor(m_colors[byIndex], shShift);
    Repaint(bRepaint);
    return kOk;
}

// ---------------------------------------------------------------------------------------------
// Check state, cursor, web address, menu

DWORD CImageButtonBase::SetCheck(int nCheck, BOOL bRepaint)
{
    if (!m_checkBoxMode)
        return kOk;
    m_checked = nCheck != 0;
    Repaint(bRepaint);
    return kOk;
}

int CImageButtonBase::GetCheck() const { return m_checked; }

DWORD CImageButtonBase::SetButtonCursor(UINT nIDCursor, BOOL bRepaint)
{
    m_cursor.reset();
    if (nIDCursor == 0)
        return kOk;
    // Loaded as a private copy, so that destroying it is ours to do.
    m_cursor.reset((HCURSOR)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDCursor), IMAGE_CURSOR, 0, 0,
                                         LR_DEFAULTSIZE));
    Repaint(bRepaint);
    return m_cursor ? kOk : kErrNoResource;
}

DWORD CImageButtonBase::SetLinkAddress(LPCTSTR lpszAddress)
{
    m_linkAddress[0] = L'\0';
    if (lpszAddress) {
        const size_t capacity = sizeof(m_linkAddress) / sizeof(m_linkAddress[0]);
        wcsncpy(m_linkAddress, lpszAddress, capacity - 1);
        m_linkAddress[capacity - 1] = L'\0';
    }
    return kOk;
}

DWORD CImageButtonBase::SetPopupMenu(UINT nIDMenu, HWND hMenuOwner, BOOL bRepaint)
{
    m_menu.DestroyMenu();
    m_menuOwner = nullptr;
    m_menuOpen = FALSE;
    if (nIDMenu == 0) {
        Repaint(bRepaint);
        return kOk;
    }
    if (!m_menu.LoadMenu(nIDMenu))
        return kErrNoResource;
    m_menuOwner = hMenuOwner;
    Repaint(bRepaint);
    return kOk;
}

DWORD CImageButtonBase::SetMenuNotify(HWND hWnd, UINT nMessage, LPARAM lParam)
{
    m_menuNotify.hWnd = hWnd;
    m_menuNotify.message = nMessage;
    m_menuNotify.lParam = lParam;
    return kOk;
}

// ---------------------------------------------------------------------------------------------
// Tooltip

void CImageButtonBase::CreateTip()
{
    if (m_tooltip.GetSafeHwnd() || m_tipCreationTried || !m_hWnd)
        return;
    m_tipCreationTried = true;
    if (!m_tooltip.Create(this, m_tooltipStyle))
        return;
    m_tooltip.Activate(FALSE);
    m_tooltip.SetMaxTipWidth(400);
}

void CImageButtonBase::SetTipText(LPCTSTR lpszText, BOOL bActivate)
{
    if (!lpszText)
        return;
    CreateTip();
    if (!m_tooltip.GetSafeHwnd())
        return;
    if (m_tooltip.GetToolCount() == 0) {
        CRect client;
        GetClientRect(&client);
        m_tooltip.AddTool(this, lpszText, &client, 1);
    }
    m_tooltip.UpdateTipText(lpszText, this, 1);
    m_tooltip.Activate(bActivate);
}

void CImageButtonBase::SetTipTextById(UINT nIDText, BOOL bActivate)
{
    CString text;
    if (text.LoadString(nIDText) && !text.IsEmpty())
        SetTipText(text, bActivate);
}

void CImageButtonBase::EnableTip(BOOL bActivate)
{
    if (m_tooltip.GetSafeHwnd() && m_tooltip.GetToolCount() > 0)
        m_tooltip.Activate(bActivate);
}

DWORD CImageButtonBase::SetBalloonTip()
{
    m_tooltipStyle |= TTS_BALLOON;
    return kOk;
}

// ---------------------------------------------------------------------------------------------
// Framework hooks and messages

void CImageButtonBase::PreSubclassWindow()
{
    const UINT type = GetStyle() & BS_TYPEMASK;
    m_checkBoxMode = (type & BS_CHECKBOX) != 0;
    m_default = type == BS_DEFPUSHBUTTON;
    ModifyStyle(kTypeBits, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

BOOL CImageButtonBase::PreTranslateMessage(MSG* pMsg)
{
    CreateTip();
    m_tooltip.RelayEvent(pMsg);
    // An owner-drawn button takes a quick second click as a double-click, not as a click.
    if (pMsg->message == WM_LBUTTONDBLCLK)
        pMsg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(pMsg);
}

BOOL CImageButtonBase::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_cursor) {
        ::SetCursor(m_cursor.get());
        return TRUE;
    }
    return CButton::OnSetCursor(pWnd, nHitTest, message);
}

void CImageButtonBase::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    // Disabling a focused window takes its focus away before WM_ENABLE arrives.
    if (!pNewWnd && (GetStyle() & WS_DISABLED))
        m_focusLostToDisable = true;
    LeaveHover();
}

void CImageButtonBase::LeaveHover()
{
    if (m_flat && m_hover) {
        m_hover = FALSE;
        Invalidate();
    }
}

void CImageButtonBase::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    CPoint screen = point;
    ClientToScreen(&screen);
    const HWND under = ::WindowFromPoint(screen);
    if ((nFlags & MK_LBUTTON) && !m_hover)
        return;
    if (!m_flat)
        return;
    const bool active = m_trackWhenInactive || ::GetActiveWindow() != nullptr;
    if (under == m_hWnd && active) {
        if (!m_hover) {
            m_hover = TRUE;
            OnHoverBegins();
            Invalidate();
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
            ::TrackMouseEvent(&track);
        }
    } else {
        LeaveHover();
    }
}

void CImageButtonBase::OnMouseLeave() { LeaveHover(); }

void CImageButtonBase::OnSysColorChange()
{
    CButton::OnSysColorChange();
    DropBackground();
    ResetColors(TRUE);
}

BOOL CImageButtonBase::OnClicked()
{
    SetFocus();
    if (m_checkBoxMode) {
        m_checked = !m_checked;
        Invalidate();
    } else if (m_menu.GetSafeHmenu()) {
        m_menuOpen = TRUE;
        Invalidate();
        UpdateWindow();
        CMenu* popup = m_menu.GetSubMenu(0);
        if (m_menuNotify.hWnd)
            ::SendMessageW(m_menuNotify.hWnd, m_menuNotify.message, (WPARAM)(popup ? popup->GetSafeHmenu() : nullptr),
                           m_menuNotify.lParam);
        UINT command = 0;
        if (popup) {
            CRect window;
            GetWindowRect(&window);
            command = (UINT)popup->TrackPopupMenuEx(TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                                    window.left, window.bottom, CWnd::FromHandle(m_menuOwner),
                                                    nullptr);
        }
        m_menuOpen = FALSE;
        Invalidate();
        if (command && m_menuOwner)
            ::PostMessageW(m_menuOwner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    } else if (m_linkAddress[0]) {
        OpenAddress(m_linkAddress, SW_SHOWMAXIMIZED, m_hWnd);
    }
    return FALSE;  // the parent still gets its BN_CLICKED
}

void CImageButtonBase::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CButton::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE)
        LeaveHover();
}

void CImageButtonBase::OnEnable(BOOL bEnable)
{
    CButton::OnEnable(bEnable);
    const bool hadFocus = ::GetFocus() == m_hWnd || m_focusLostToDisable;
    m_focusLostToDisable = false;
    if (bEnable)
        return;
    // Only a button that had the focus hands it on; any other focus stays where the user put it.
    if (hadFocus) {
        if (CWnd* parent = GetParent()) {
            HWND next = ::GetNextDlgTabItem(parent->GetSafeHwnd(), m_hWnd, FALSE);
            if (next && next != m_hWnd)
                ::SetFocus(next);
            else
                parent->SetFocus();
        }
    }
    LeaveHover();
}

void CImageButtonBase::OnCancelMode()
{
    CButton::OnCancelMode();
    LeaveHover();
}

UINT CImageButtonBase::OnGetDlgCode()
{
    UINT code = CButton::OnGetDlgCode();
    code |= m_default ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    return code;
}

HBRUSH CImageButtonBase::CtlColor(CDC*, UINT) { return (HBRUSH)::GetStockObject(NULL_BRUSH); }

LRESULT CImageButtonBase::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    const UINT type = (UINT)wParam & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON)
        m_default = TRUE;
    else if (type == BS_PUSHBUTTON)
        m_default = FALSE;
    // The control stays owner-drawn whatever type the dialog manager asks for.
    return DefWindowProc(BM_SETSTYLE, ((UINT)wParam & ~kTypeBits) | BS_OWNERDRAW, lParam);
}

LRESULT CImageButtonBase::OnSetCheck(WPARAM wParam, LPARAM)
{
    SetCheck(wParam == BST_CHECKED || wParam == BST_INDETERMINATE, TRUE);
    return 0;
}

LRESULT CImageButtonBase::OnGetCheck(WPARAM, LPARAM) { return m_checked; }
