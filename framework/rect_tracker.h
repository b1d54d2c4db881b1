// CRectTracker: a rectangle the user moves or resizes with the mouse, or draws as a rubber band.
// m_rect is in the client coordinates of the window the tracking runs in. Track and
// TrackRubberBand capture the mouse and run a small message loop until the left button comes up
// (accepted), or Esc, the right button or a lost capture cancels (m_rect restored).
#pragma once

#include <windows.h>

#include "framework/geometry.h"

class CDC;
class CWnd;

class CRectTracker {
public:
    enum StyleFlags {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32,
    };
    // What a point hits: a handle, the inside, or nothing. The handle names refer to m_rect's
    // fields (hitTopLeft is the corner at left, top), so they stay right for an inverted rectangle.
    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    CRectTracker() = default;
    CRectTracker(LPCRECT lpSrcRect, UINT nStyle);
    virtual ~CRectTracker() = default;

    CRect m_rect;
    UINT m_nStyle = 0;
    int m_nHandleSize = 7;
    // The smallest width and height a resize leaves when inverting is not allowed.
    CSize m_sizeMin = CSize(7, 7);

    // Border, hatching and handles as m_nStyle asks.
    void Draw(CDC* pDC) const;
    // m_rect normalised, grown by the handles and hatching that lie outside it.
    void GetTrueRect(LPRECT lpTrueRect) const;
    // Sets the sizing cursor for the hit under the mouse; FALSE (nothing set) outside the tracker
    // or for a hit-test code other than HTCLIENT.
    BOOL SetCursor(CWnd* pWnd, UINT nHitTest) const;
    int HitTest(CPoint point) const;

    // Moves or resizes by the handle under point (which the left button went down on). TRUE when
    // the button came up over a valid start; FALSE when point hit nothing or tracking was cancelled.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE, CWnd* pWndClipTo = nullptr);
    // Draws a new rectangle from point to the mouse. TRUE when the button came up and the
    // rectangle is not empty.
    BOOL TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert = TRUE);

    // Draws (and, drawn again, erases) the feedback rectangle while tracking.
    virtual void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd);
    // May change the rectangle the mouse asks for, before it is taken (lpRect is m_rect).
    virtual void AdjustRect(int nHandle, LPRECT lpRect);
    // Called after m_rect changed during tracking, with the rectangle before the change.
    virtual void OnChangedRect(const CRect& rectOld);
    // Bit n set: handle n is shown and hit. Side handles hide when the rectangle is too small.
    virtual UINT GetHandleMask() const;

protected:
    BOOL TrackHandle(int nHandle, CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo);
    void GetHandleRect(int nHandle, CRect* pHandleRect) const;
    // The handle as it looks on screen, for an inverted rectangle.
    int NormalizeHit(int nHandle) const;
};
