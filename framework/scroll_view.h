// CScrollView: a child window that paints a document larger than itself and scrolls over it
// with its own scroll bars (MM_TEXT only). The scroll position is the scroll bars' position;
// OnDraw paints in document coordinates (the DC's origin is moved by the position).
//
// Views live on the heap and delete themselves when their window is destroyed, as the class
// library's views do: create one with new (or its run-time class), then Create; never delete it
// while its window exists.
#pragma once

#include "framework/gdi.h"
#include "framework/geometry.h"
#include "framework/wnd.h"

class CScrollView : public CWnd {
    DECLARE_DYNAMIC(CScrollView)
public:
    // Marks the default page and line sizes of SetScrollSizes.
    static const SIZE sizeDefault;

    CScrollView();
    ~CScrollView() override;

    // A null class name uses a class of the layer's own (arrow cursor, no background brush).
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, void* pContext = nullptr) override;

    // Document size and the distances of a page and a line scroll. The defaults are a tenth of
    // the document for a page and a tenth of a page for a line.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    void SetPageSize(SIZE sizePage);
    void SetLineSize(SIZE sizeLine);
    CSize GetTotalSize() const { return totalSize; }
    CSize GetPageSize() const { return pageSize; }
    CSize GetLineSize() const { return lineSize; }
    // The document point at the client area's top left corner.
    CPoint GetScrollPosition() const;
    // Moves to the point, kept within the scroll range of each bar.
    void ScrollToPosition(POINT pt);

    // Called by the owner once the view is placed; the base lays out the bars and repaints.
    virtual void OnInitialUpdate();

protected:
    // Paints the document; the DC's origin is already moved by the scroll position.
    virtual void OnDraw(CDC* pDC);
    virtual void OnPrepareDC(CDC* pDC);
    void PostNcDestroy() override;

    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    DECLARE_MESSAGE_MAP()

private:
    void UpdateBars();
    // The new position of one bar for a scroll code; the current one when the code moves nothing.
    int ScrollTarget(int nBar, UINT nSBCode, int line, int page) const;

    int mapMode = MM_TEXT;
    CSize totalSize{0, 0};
    CSize pageSize{0, 0};
    CSize lineSize{0, 0};
    bool updatingBars = false;  // showing or hiding a bar resizes the client area
};
