// CPoint, CSize and CRect: the Win32 POINT, SIZE and RECT with arithmetic. Each adds no data, so
// a pointer to one may be passed wherever the platform expects the plain structure.
#pragma once

#include <windows.h>

#include <utility>

class CPoint;
class CRect;

class CSize : public SIZE {
public:
    CSize() { cx = cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX, cy = initCY; }
    CSize(SIZE size) { cx = size.cx, cy = size.cy; }
    explicit CSize(POINT pt) { cx = pt.x, cy = pt.y; }
    // Low word is cx, high word cy, both signed.
    explicit CSize(DWORD packed) { cx = static_cast<short>(LOWORD(packed)), cy = static_cast<short>(HIWORD(packed)); }

    void SetSize(int newCX, int newCY) { cx = newCX, cy = newCY; }

    bool operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    bool operator!=(SIZE size) const { return !(*this == size); }
    void operator+=(SIZE size) { cx += size.cx, cy += size.cy; }
    void operator-=(SIZE size) { cx -= size.cx, cy -= size.cy; }

    CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
    inline CPoint operator+(POINT pt) const;
    inline CPoint operator-(POINT pt) const;
    inline CRect operator+(const RECT* rect) const;
    inline CRect operator-(const RECT* rect) const;
};

class CPoint : public POINT {
public:
    CPoint() { x = y = 0; }
    CPoint(int initX, int initY) { x = initX, y = initY; }
    CPoint(POINT pt) { x = pt.x, y = pt.y; }
    explicit CPoint(SIZE size) { x = size.cx, y = size.cy; }
    // From a mouse message's lParam: low word x, high word y, both signed.
    explicit CPoint(LPARAM packed)
    {
        x = static_cast<short>(LOWORD(packed)), y = static_cast<short>(HIWORD(packed));
    }

    void Offset(int dx, int dy) { x += dx, y += dy; }
    void Offset(POINT pt) { Offset(pt.x, pt.y); }
    void Offset(SIZE size) { Offset(size.cx, size.cy); }

    bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const { return !(*this == pt); }
    void operator+=(SIZE size) { Offset(size); }
    void operator-=(SIZE size) { Offset(-size.cx, -size.cy); }
    void operator+=(POINT pt) { Offset(pt); }
    void operator-=(POINT pt) { Offset(-pt.x, -pt.y); }

    CPoint operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
    CPoint operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
    CPoint operator-() const { return CPoint(-x, -y); }
    CPoint operator+(POINT pt) const { return CPoint(x + pt.x, y + pt.y); }
    // The difference of two points is a distance.
    CSize operator-(POINT pt) const { return CSize(x - pt.x, y - pt.y); }
    inline CRect operator+(const RECT* rect) const;
    inline CRect operator-(const RECT* rect) const;
};

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    CRect(const RECT& rect) { CopyRect(&rect); }
    CRect(const RECT* rect) { CopyRect(rect); }
    CRect(POINT topLeft, SIZE size) { left = topLeft.x, top = topLeft.y, right = left + size.cx, bottom = top + size.cy; }
    CRect(POINT topLeft, POINT bottomRight) { left = topLeft.x, top = topLeft.y, right = bottomRight.x, bottom = bottomRight.y; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }

    // The corners as points stored in the rectangle itself (left/top and right/bottom are laid
    // out as two POINTs), so `&rect.TopLeft()` may be handed to the platform.
    CPoint& TopLeft() { return reinterpret_cast<CPoint*>(this)[0]; }
    CPoint& BottomRight() { return reinterpret_cast<CPoint*>(this)[1]; }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    // Empty: no area (width or height not positive).
    BOOL IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    // Right and bottom edges are outside.
    BOOL PtInRect(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }

    void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    void SetRect(POINT topLeft, POINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(const RECT* rect)
    {
        if (rect) SetRect(rect->left, rect->top, rect->right, rect->bottom);
        else SetRectEmpty();
    }
    BOOL EqualRect(const RECT* rect) const
    {
        return rect && left == rect->left && top == rect->top && right == rect->right && bottom == rect->bottom;
    }

    void InflateRect(int dx, int dy) { InflateRect(dx, dy, dx, dy); }
    void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(const RECT* by)
    {
        if (by) InflateRect(by->left, by->top, by->right, by->bottom);
    }
    void InflateRect(int l, int t, int r, int b) { left -= l, top -= t, right += r, bottom += b; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(SIZE size) { InflateRect(-size.cx, -size.cy); }
    void DeflateRect(const RECT* by)
    {
        if (by) InflateRect(-by->left, -by->top, -by->right, -by->bottom);
    }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }

    void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
    void OffsetRect(POINT pt) { OffsetRect(pt.x, pt.y); }
    void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }

    // Swaps the coordinates so that left <= right and top <= bottom.
    void NormalizeRect()
    {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }

    // The overlap of two rectangles; when they do not overlap, the null rectangle and FALSE.
    BOOL IntersectRect(const RECT* a, const RECT* b)
    {
        CRect ra(a), rb(b);
        CRect overlap(ra.left > rb.left ? ra.left : rb.left, ra.top > rb.top ? ra.top : rb.top,
                      ra.right < rb.right ? ra.right : rb.right, ra.bottom < rb.bottom ? ra.bottom : rb.bottom);
        if (ra.IsRectEmpty() || rb.IsRectEmpty() || overlap.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        *this = overlap;
        return TRUE;
    }
    // The smallest rectangle holding both; an empty one is left out. FALSE when both are empty.
    BOOL UnionRect(const RECT* a, const RECT* b)
    {
        CRect ra(a), rb(b);
        if (ra.IsRectEmpty()) {
            if (rb.IsRectEmpty()) {
                SetRectEmpty();
                return FALSE;
            }
            *this = rb;
            return TRUE;
        }
        if (rb.IsRectEmpty()) {
            *this = ra;
            return TRUE;
        }
        SetRect(ra.left < rb.left ? ra.left : rb.left, ra.top < rb.top ? ra.top : rb.top,
                ra.right > rb.right ? ra.right : rb.right, ra.bottom > rb.bottom ? ra.bottom : rb.bottom);
        return TRUE;
    }

    bool operator==(const RECT& rect) const { return EqualRect(&rect) != FALSE; }
    bool operator!=(const RECT& rect) const { return !(*this == rect); }
    void operator+=(POINT pt) { OffsetRect(pt); }
    void operator+=(SIZE size) { OffsetRect(size); }
    void operator+=(const RECT* by) { InflateRect(by); }
    void operator-=(POINT pt) { OffsetRect(-pt.x, -pt.y); }
    void operator-=(SIZE size) { OffsetRect(-size.cx, -size.cy); }
    void operator-=(const RECT* by) { DeflateRect(by); }
    void operator&=(const RECT& rect) { IntersectRect(this, &rect); }
    void operator|=(const RECT& rect) { UnionRect(this, &rect); }

    CRect operator+(POINT pt) const { CRect r(*this); r.OffsetRect(pt); return r; }
    CRect operator-(POINT pt) const { CRect r(*this); r.OffsetRect(-pt.x, -pt.y); return r; }
    CRect operator+(SIZE size) const { CRect r(*this); r.OffsetRect(size); return r; }
    CRect operator-(SIZE size) const { CRect r(*this); r.OffsetRect(-size.cx, -size.cy); return r; }
    CRect operator+(const RECT* by) const { CRect r(*this); r.InflateRect(by); return r; }
    CRect operator-(const RECT* by) const { CRect r(*this); r.DeflateRect(by); return r; }
    CRect operator&(const RECT& rect) const { CRect r; r.IntersectRect(this, &rect); return r; }
    CRect operator|(const RECT& rect) const { CRect r; r.UnionRect(this, &rect); return r; }
};

inline CPoint CSize::operator+(POINT pt) const { return CPoint(cx + pt.x, cy + pt.y); }
inline CPoint CSize::operator-(POINT pt) const { return CPoint(cx - pt.x, cy - pt.y); }
inline CRect CSize::operator+(const RECT* rect) const { return CRect(rect) + *this; }
inline CRect CSize::operator-(const RECT* rect) const { return CRect(rect) - *this; }
inline CRect CPoint::operator+(const RECT* rect) const { return CRect(rect) + *this; }
inline CRect CPoint::operator-(const RECT* rect) const { return CRect(rect) - *this; }
