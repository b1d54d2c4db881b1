// Static texts that look and behave like hyperlinks: coloured text, underlined while the mouse is
// over it, a hand cursor, a hover colour, a visited colour after a click, and a window that
// shrinks to fit its text. CUrlLabel opens its web address when clicked and shows it as a
// tooltip; CLinkLabel only posts a message of the owner's choosing to its parent.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "framework/tooltip.h"

// What the two labels share.
class CLinkLabelBase : public CStatic {
public:
    CLinkLabelBase(COLORREF linkColor, COLORREF visitedColor, COLORREF hoverColor);
    ~CLinkLabelBase() override;

    BOOL DestroyWindow() override;

    // The address (CUrlLabel) or the text to show; the window shrinks to it when it exists.
    virtual void SetLinkTarget(LPCTSTR target);
    CString GetLinkTarget() const { return m_target; }
    // A hover colour of -1 takes the system's highlight colour.
    void SetLinkColors(COLORREF linkColor, COLORREF visitedColor, COLORREF hoverColor);
    COLORREF GetLinkColor() const { return m_linkColor; }
    COLORREF GetVisitedColor() const { return m_visitedColor; }
    COLORREF GetHoverColor() const { return m_hoverColor; }
    void SetVisitedState(BOOL visited);
    BOOL GetVisited() const { return m_visited; }
    // The label does not own a cursor given here; null brings back the hand cursor.
    void SetHoverCursor(HCURSOR cursor);
    HCURSOR GetHoverCursor() const { return m_cursor; }
    // 1: always underlined; -1: underlined while hovered; anything else: never.
    void SetUnderlineMode(int mode);
    int GetUnderlineMode() const { return m_underlineMode; }
    void SetFitToText(BOOL fit);
    BOOL GetFitToText() const { return m_fitToText; }
    BOOL IsHovered() const { return m_over; }

protected:
    static constexpr UINT_PTR kHoverTimer = 100;

    void PreSubclassWindow() override;
    // The tooltip's step of PreSubclassWindow; nothing for a label without one.
    virtual void CreateTip() {}
    void FitWindowToText();
    void LoadLinkCursor();

    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    struct CursorDeleter {
        void operator()(HCURSOR cursor) const { ::DestroyCursor(cursor); }
    };
    using OwnedCursor = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDeleter>;

    COLORREF m_linkColor;
    COLORREF m_visitedColor;
    COLORREF m_hoverColor;
    BOOL m_over = FALSE;
    BOOL m_visited = FALSE;
    int m_underlineMode = -1;
    BOOL m_fitToText = TRUE;
    CString m_target;
    CFont m_underlineFont;
    CFont m_plainFont;
    HCURSOR m_cursor = nullptr;
    OwnedCursor m_copiedCursor;  // the fallback hand, the only cursor the label destroys
};

class CUrlLabel : public CLinkLabelBase {
public:
    CUrlLabel();

    void SetLinkTarget(LPCTSTR target) override;
    void EnableTip(BOOL enable);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Opens a web address: the shell first, then the command registered for .htm files. Anything
    // but an http:// or https:// address is refused (SE_ERR_ACCESSDENIED) and nothing starts.
    // Above 32 on success.
    static INT_PTR OpenUrl(LPCTSTR address, int showCommand);
    // The registered browser command cut at its "%1" (with the quote before it), then a blank and
    // the address in quotes; false, and nothing built, for an address OpenUrl refuses.
    static bool BuildBrowserCommand(const CString& registered, LPCTSTR address, CString* command);
    static LONG ReadRegistryDefault(HKEY root, LPCTSTR subkey, CString* value);
    // The text that ShowOpenError shows for a launch result.
    static CString OpenErrorText(INT_PTR result);
    static void ShowOpenError(INT_PTR result);

protected:
    void CreateTip() override;
    void OnClicked();
    DECLARE_MESSAGE_MAP()

    CToolTipCtrl m_tooltip;
};

class CLinkLabel : public CLinkLabelBase {
public:
    CLinkLabel();

    // The message a click posts to the parent (wParam and lParam 0); 0, the start, posts nothing.
    void SetNotifyMessage(UINT message) { m_notifyMessage = message; }

protected:
    void OnClicked();
    DECLARE_MESSAGE_MAP()

    UINT m_notifyMessage = 0;
};
