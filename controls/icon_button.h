// Owner-drawn image buttons. A button shows an icon or a bitmap with a transparent colour,
// optionally beside its caption, in a flat look that lights up under the mouse, with six state
// colours, a tooltip, an optional own cursor, an optional check-box behaviour and an optional
// transparent mode that shows the parent's background. CIconButton is the plain button;
// CHoverButton (hover_button.h) also tells its parent when the mouse enters and leaves. Both are
// CImageButtonBase, which holds everything they share.
//
// The button owns every image, mask, generated copy, cursor, menu and tooltip it holds; handles
// given to SetIconHandles and SetBitmapHandles become its property.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "framework/menu.h"
#include "framework/tooltip.h"

class CImageButtonBase : public CButton {
public:
    // Results of the setters.
    static constexpr DWORD kOk = 0;
    static constexpr DWORD kErrNoResource = 1;     // resource, icon information or bitmap header unavailable
    static constexpr DWORD kErrNoMask = 2;         // transparency mask not made
    static constexpr DWORD kErrColorIndex = 3;     // colour index 6 or more
    static constexpr DWORD kErrAlignment = 4;      // alignment above 3
    static constexpr DWORD kErrBadValue = 5;       // colour shift out of range; background capture refused
    static constexpr DWORD kErrPressedLook = 6;    // pressed look other than 0 or 1

    // Out-image values that ask for a copy of the in image instead of a second image.
    static constexpr int kNoOutImage = 0;
    static constexpr int kGrayCopy = -2;
    static constexpr int kDarkCopy = -3;

    // Colour indices.
    enum : BYTE {
        ColorBackHover = 0,  // background while hovered or pressed
        ColorTextHover = 1,
        ColorBackNormal = 2,
        ColorTextNormal = 3,
        ColorBackFocus = 4,
        ColorTextFocus = 5,
        ColorCount = 6,
    };
    // Placement of image and caption.
    enum : BYTE {
        AlignImageLeft = 0,
        AlignImageAbove = 1,
        AlignImageRight = 2,
        AlignOverlap = 3,  // image at the top-left corner, caption over the whole button
    };

    CImageButtonBase();
    ~CImageButtonBase() override;

    // Images. Icon ids load from the resource module at the given size (0, 0: the resource's
    // own); an out id of kNoOutImage, kGrayCopy or kDarkCopy is passed on as it is.
    DWORD SetIconsById(int nIconIn, int cxIn, int cyIn, int nIconOut = kNoOutImage, int cxOut = 0, int cyOut = 0);
    DWORD SetIconPair(int nIconIn, int nIconOut = kNoOutImage);
    // hIconOut may be (HICON)kGrayCopy or (HICON)kDarkCopy. A null in icon only releases the images.
    DWORD SetIconHandles(HICON hIconIn, HICON hIconOut = nullptr);
    DWORD SetBitmapsById(int nBitmapIn, COLORREF crTransIn, int nBitmapOut = kNoOutImage, COLORREF crTransOut = 0);
    DWORD SetBitmapHandles(HBITMAP hBitmapIn, COLORREF crTransIn, HBITMAP hBitmapOut = nullptr,
                           COLORREF crTransOut = 0);
    // Margins to 0; the window takes the in icon's size, or else the in bitmap's.
    void FitToImage();

    // Look.
    DWORD SetFlat(BOOL bFlat, BOOL bRepaint = TRUE);
    DWORD SetAlignment(BYTE byAlign, BOOL bRepaint = TRUE);
    // 0: image and caption move by (1, 1) while pressed; 1: by (0, 2).
    DWORD SetPressedLook(BYTE byLook, BOOL bRepaint = TRUE);
    DWORD SetBorderVisible(BOOL bVisible, BOOL bRepaint = TRUE);
    DWORD SetFlatFocusRect(BOOL bDraw, BOOL bRepaint = TRUE);
    DWORD SetTrackWhenInactive(BOOL bTrack);
    // Transparent mode on for good; the parent's background is captured again at the next paint.
    void SetTransparent(BOOL bRepaint = FALSE);
    // Captures the background from pDC (in the parent's client coordinates) instead.
    DWORD CaptureParentBackground(CDC* pDC);

    // Colours.
    DWORD ResetColors(BOOL bRepaint = TRUE);
    DWORD SetColor(BYTE byIndex, COLORREF crColor, BOOL bRepaint = TRUE);
    DWORD GetColor(BYTE byIndex, COLORREF* pColor) const;
    // Moves red, green and blue by the same amount, as far as every channel stays in 0..255.
    DWORD ShiftColor(BYTE byIndex, short shShift, BOOL bRepaint = TRUE);

    // Check-box mode (from the control's style when it is bound).
    DWORD SetCheck(int nCheck, BOOL bRepaint = TRUE);
    int GetCheck() const;
    BOOL IsDefault() const { return m_default; }

    // Tooltip.
    void SetTipText(LPCTSTR lpszText, BOOL bActivate = TRUE);
    void SetTipTextById(UINT nIDText, BOOL bActivate = TRUE);
    void EnableTip(BOOL bActivate = TRUE);
    // Only before the tooltip exists.
    DWORD SetBalloonTip();

    // Cursor, web address, popup menu.
    DWORD SetButtonCursor(UINT nIDCursor, BOOL bRepaint = TRUE);
    DWORD SetLinkAddress(LPCTSTR lpszAddress);
    DWORD SetPopupMenu(UINT nIDMenu, HWND hMenuOwner, BOOL bRepaint = TRUE);
    // The message is sent (wParam = the popup, lParam = lParam) just before the menu opens.
    DWORD SetMenuNotify(HWND hWnd, UINT nMessage, LPARAM lParam);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Image helpers, also for the derived buttons.
    // A monochrome mask (1 where hSource has crTransparent); those pixels of hSource become black.
    static HBITMAP MakeMaskBitmap(HBITMAP hSource, int width, int height, COLORREF crTransparent);
    static HBITMAP MakeGrayBitmap(HBITMAP hSource, int width, int height, COLORREF crTransparent);
    static HBITMAP MakeDarkBitmap(HBITMAP hSource, int width, int height, COLORREF crTransparent);
    static HICON MakeGrayIcon(HICON hIcon);
    static HICON MakeDarkIcon(HICON hIcon);
    // Each channel c becomes c - c * factor, for 0 < factor <= 1; otherwise the colour is kept.
    static COLORREF ScaleColorDown(COLORREF crColor, double factor);
    static BYTE GrayLevel(COLORREF crColor);
    // The largest shift toward shShift (limited by every channel) applied to the colour.
    static COLORREF ShiftedColor(COLORREF crColor, short shShift);

protected:
    // Drawing steps, in the order DrawItem calls them. The frame rectangle may shrink.
    virtual void DrawBackground(CDC* pDC, CRect* pRect);
    virtual void DrawFrame(CDC* pDC, CRect* pRect);
    virtual void DrawIconImage(CDC* pDC, BOOL bHasCaption, const CRect& rcItem, CRect* pCaptionRect, BOOL bPressed,
                               BOOL bDisabled);
    virtual void DrawBitmapImage(CDC* pDC, BOOL bHasCaption, const CRect& rcItem, CRect* pCaptionRect,
                                 BOOL bPressed, BOOL bDisabled);
    virtual void DrawCaptionText(CDC* pDC, LPCTSTR lpszText, const CRect& rcItem, CRect* pCaptionRect,
                                 BOOL bPressed, BOOL bDisabled);
    // Hook of the hover variant: the hover look has just begun.
    virtual void OnHoverBegins() {}

    void PreSubclassWindow() override;

    // The top-left corner where an image of this size goes; may narrow the caption rectangle.
    CRect PlaceImageAndText(BOOL bHasCaption, const CRect& rcItem, CRect* pCaptionRect, BOOL bPressed, int width,
                            int height) const;
    void PaintParentBackground(CDC* pDC);
    // Copies the pixels under the button from pSource (in the parent's client coordinates).
    void CaptureBackgroundFrom(CDC* pSource);
    void DropBackground();
    void ReleaseImages();
    void CreateTip();
    void LeaveHover();
    void Repaint(BOOL bRepaint);
    // Which image slot shows now: in (0) or out (1).
    int ShownSlot(bool hasOut, BOOL bPressed) const;

    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnKillFocus(CWnd* pNewWnd);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnSysColorChange();
    BOOL OnClicked();
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnEnable(BOOL bEnable);
    void OnCancelMode();
    UINT OnGetDlgCode();
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    void OnMouseLeave();
    LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    struct IconDeleter {
        void operator()(HICON icon) const { ::DestroyIcon(icon); }
    };
    using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
    struct CursorDeleter {
        void operator()(HCURSOR cursor) const { ::DestroyCursor(cursor); }
    };
    using OwnedCursor = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDeleter>;
    struct IconSlot {
        OwnedIcon icon;
        int width = 0;
        int height = 0;
    };
    struct BitmapSlot {
        CBitmap bitmap;
        CBitmap mask;
        int width = 0;
        int height = 0;
        COLORREF transparent = 0;
    };
    struct MenuNotify {
        HWND hWnd = nullptr;
        UINT message = 0;
        LPARAM lParam = 0;
    };

    BOOL m_showDisabledBitmap = TRUE;
    CPoint m_imageMargin{3, 3};
    CPoint m_pressedOffset{1, 1};
    BOOL m_flat = TRUE;
    BOOL m_hover = FALSE;
    BOOL m_transparent = FALSE;
    BOOL m_pressed = FALSE;
    BOOL m_focused = FALSE;
    BOOL m_disabled = FALSE;
    BOOL m_default = FALSE;
    BOOL m_checkBoxMode = FALSE;
    BYTE m_alignment = AlignImageLeft;
    BOOL m_borderVisible = TRUE;
    BOOL m_flatFocusRect = FALSE;
    COLORREF m_colors[ColorCount] = {};
    HWND m_menuOwner = nullptr;
    BOOL m_menuOpen = FALSE;
    CMenu m_menu;
    OwnedCursor m_cursor;
    CToolTipCtrl m_tooltip;
    CDC m_backgroundDC;
    CBitmap m_backgroundBitmap;
    HGDIOBJ m_previousBitmap = nullptr;
    BOOL m_trackWhenInactive = TRUE;
    BOOL m_checked = FALSE;
    DWORD m_tooltipStyle = 0;
    WCHAR m_linkAddress[260] = {};
    IconSlot m_icons[2];      // in, out
    BitmapSlot m_bitmaps[2];  // in, out
    MenuNotify m_menuNotify;

private:
    bool m_tipCreationTried = false;
    // Set when disabling took the focus away from this button, for OnEnable.
    bool m_focusLostToDisable = false;
};

class CIconButton : public CImageButtonBase {
public:
    CIconButton() = default;
};
