// The ON_... entries of the message maps. Each writes a dispatch function that unpacks the
// message and calls the handler with the class library's usual signature; the handler's type is
// checked by the compiler at the call.
#pragma once

#include "framework/gdi.h"
#include "framework/wnd.h"

namespace afx_detail {
inline CPoint PointFromLParam(LPARAM l) { return CPoint((int)(short)LOWORD(l), (int)(short)HIWORD(l)); }
}  // namespace afx_detail

#define KELVO_MSG(msg, body) {msg, 0, 0, 0, KELVO_THUNK body},

// Window messages.
#define ON_WM_CREATE() KELVO_MSG(WM_CREATE, { *r = KELVO_SELF->OnCreate((LPCREATESTRUCT)l); return TRUE; })
#define ON_WM_DESTROY() KELVO_MSG(WM_DESTROY, { KELVO_SELF->OnDestroy(); return TRUE; })
#define ON_WM_CLOSE() KELVO_MSG(WM_CLOSE, { KELVO_SELF->OnClose(); return TRUE; })
#define ON_WM_PAINT() KELVO_MSG(WM_PAINT, { KELVO_SELF->OnPaint(); return TRUE; })
#define ON_WM_ERASEBKGND()                  \
    KELVO_MSG(WM_ERASEBKGND, {              \
        CBorrowedDC dc((HDC)w);             \
        *r = KELVO_SELF->OnEraseBkgnd(&dc); \
        return TRUE;                        \
    })
#define ON_WM_SIZE() KELVO_MSG(WM_SIZE, { KELVO_SELF->OnSize((UINT)w, (short)LOWORD(l), (short)HIWORD(l)); return TRUE; })
#define ON_WM_SIZING() KELVO_MSG(WM_SIZING, { KELVO_SELF->OnSizing((UINT)w, (LPRECT)l); *r = TRUE; return TRUE; })
#define ON_WM_MOVE() KELVO_MSG(WM_MOVE, { KELVO_SELF->OnMove((short)LOWORD(l), (short)HIWORD(l)); return TRUE; })
#define ON_WM_TIMER() KELVO_MSG(WM_TIMER, { KELVO_SELF->OnTimer((UINT_PTR)w); return TRUE; })
#define KELVO_MOUSE(msg, fn) KELVO_MSG(msg, { KELVO_SELF->fn((UINT)w, afx_detail::PointFromLParam(l)); return TRUE; })
#define ON_WM_LBUTTONDOWN() KELVO_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() KELVO_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_RBUTTONDOWN() KELVO_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() KELVO_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEMOVE() KELVO_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSEWHEEL()                                                                               \
    KELVO_MSG(WM_MOUSEWHEEL, {                                                                           \
        *r = KELVO_SELF->OnMouseWheel(LOWORD(w), (short)HIWORD(w), afx_detail::PointFromLParam(l));      \
        return TRUE;                                                                                     \
    })
#define ON_WM_MOUSELEAVE() KELVO_MSG(WM_MOUSELEAVE, { KELVO_SELF->OnMouseLeave(); return TRUE; })
#define ON_WM_SETCURSOR()                                                                              \
    KELVO_MSG(WM_SETCURSOR, {                                                                          \
        *r = KELVO_SELF->OnSetCursor(CWnd::FromHandle((HWND)w), LOWORD(l), HIWORD(l));                 \
        return TRUE;                                                                                   \
    })
#define ON_WM_KILLFOCUS() KELVO_MSG(WM_KILLFOCUS, { KELVO_SELF->OnKillFocus(CWnd::FromHandle((HWND)w)); return TRUE; })
#define KELVO_KEY(msg, fn) KELVO_MSG(msg, { KELVO_SELF->fn((UINT)w, LOWORD(l), HIWORD(l)); return TRUE; })
#define ON_WM_KEYDOWN() KELVO_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_CHAR() KELVO_KEY(WM_CHAR, OnChar)
#define ON_WM_GETDLGCODE() KELVO_MSG(WM_GETDLGCODE, { *r = KELVO_SELF->OnGetDlgCode(); return TRUE; })
#define ON_WM_GETMINMAXINFO() KELVO_MSG(WM_GETMINMAXINFO, { KELVO_SELF->OnGetMinMaxInfo((MINMAXINFO*)l); return TRUE; })
#define ON_WM_ACTIVATE()                                                                                \
    KELVO_MSG(WM_ACTIVATE, {                                                                            \
        KELVO_SELF->OnActivate(LOWORD(w), CWnd::FromHandle((HWND)l), HIWORD(w) != 0);                   \
        return TRUE;                                                                                    \
    })
#define ON_WM_SYSCOMMAND() KELVO_MSG(WM_SYSCOMMAND, { KELVO_SELF->OnSysCommand((UINT)w, l); return TRUE; })
#define ON_WM_QUERYDRAGICON() KELVO_MSG(WM_QUERYDRAGICON, { *r = (LRESULT)KELVO_SELF->OnQueryDragIcon(); return TRUE; })
#define ON_WM_DROPFILES() KELVO_MSG(WM_DROPFILES, { KELVO_SELF->OnDropFiles((HDROP)w); return TRUE; })
#define ON_WM_ENABLE() KELVO_MSG(WM_ENABLE, { KELVO_SELF->OnEnable((BOOL)w); return TRUE; })
#define ON_WM_CANCELMODE() KELVO_MSG(WM_CANCELMODE, { KELVO_SELF->OnCancelMode(); return TRUE; })
#define ON_WM_SYSCOLORCHANGE() KELVO_MSG(WM_SYSCOLORCHANGE, { KELVO_SELF->OnSysColorChange(); return TRUE; })
#define KELVO_SCROLL(msg, fn)                                                                                 \
    KELVO_MSG(msg, {                                                                                          \
        KELVO_SELF->fn(LOWORD(w), HIWORD(w), static_cast<CScrollBar*>(l ? CWnd::FromHandle((HWND)l) : nullptr)); \
        return TRUE;                                                                                          \
    })
#define ON_WM_HSCROLL() KELVO_SCROLL(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() KELVO_SCROLL(WM_VSCROLL, OnVScroll)
#define ON_WM_DRAWITEM() KELVO_MSG(WM_DRAWITEM, { KELVO_SELF->OnDrawItem((int)w, (LPDRAWITEMSTRUCT)l); *r = TRUE; return TRUE; })

// User messages: LRESULT OnXxx(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) KELVO_MSG(message, { *r = KELVO_SELF->memberFxn(w, l); return TRUE; })

// Commands: WM_COMMAND with a notification code and an id range.
#define KELVO_CMD(code, id, lastId, body) {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(lastId), KELVO_THUNK body},
#define ON_COMMAND(id, memberFxn) KELVO_CMD(0, id, id, { KELVO_SELF->memberFxn(); return TRUE; })
#define ON_CONTROL(code, id, memberFxn) KELVO_CMD(code, id, id, { KELVO_SELF->memberFxn(); return TRUE; })
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)

// Notifications: WM_NOTIFY with a code and an id; void OnXxx(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, memberFxn)                                                              \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id),                                               \
     KELVO_THUNK { KELVO_SELF->memberFxn((NMHDR*)l, r); return TRUE; }},

// Reflection: the control's own object sees its notifications first. The plain forms keep the
// message from the parent; with the _EX forms the parent also gets it when the handler returns FALSE.
#define ON_CONTROL_REFLECT(code, memberFxn)                                                         \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, KELVO_THUNK { KELVO_SELF->memberFxn(); return TRUE; }},
#define ON_CONTROL_REFLECT_EX(code, memberFxn)                                                      \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, KELVO_THUNK { return KELVO_SELF->memberFxn(); }},
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                          \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0,                                               \
     KELVO_THUNK { KELVO_SELF->memberFxn((NMHDR*)l, r); return TRUE; }},
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                                                       \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0,                                               \
     KELVO_THUNK { return KELVO_SELF->memberFxn((NMHDR*)l, r); }},
// HBRUSH CtlColor(CDC*, UINT): a null brush leaves the message to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                         \
    KELVO_MSG(WM_REFLECT_BASE + WM_CTLCOLOR, {                           \
        CBorrowedDC dc((HDC)w);                                          \
        HBRUSH brush = KELVO_SELF->CtlColor(&dc, m - WM_CTLCOLORMSGBOX); \
        *r = (LRESULT)brush;                                             \
        return brush != nullptr;                                         \
    })
