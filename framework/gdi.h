// Device contexts and GDI objects. A CDC deletes a DC that it created (or was given by Attach)
// when destroyed; the DCs of CPaintDC and CClientDC are borrowed from a window and
// are given back with EndPaint or ReleaseDC instead. FromHandle gives a temporary, non-owning
// CDC for a DC made elsewhere; temporaries live until DeleteTempMap (those of deleted DCs may go
// earlier, as the map grows).
#pragma once

#include "framework/cstring.h"
#include "framework/gdi_objects.h"
#include "framework/geometry.h"

class CWnd;

class CDC : public CObject {
    DECLARE_DYNAMIC(CDC)
public:
    CDC() = default;
    ~CDC() override;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    CWnd* GetWindow() const;

    // Creation and ownership.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL Attach(HDC hDC);
    HDC Detach();
    // Deletes a DC that this object owns; a borrowed DC (window, paint, temporary) is refused.
    BOOL DeleteDC();
    static CDC* FromHandle(HDC hDC);
    static void DeleteTempMap();

    // Selection. Each returns the object that was selected before, as a temporary object: keep its
    // handle (m_hObject), not the pointer, when it must outlive the current message.
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap);
    CGdiObject* SelectObject(CGdiObject* pObject);
    HGDIOBJ SelectObject(HGDIOBJ hObject);

    // Attributes.
    COLORREF SetTextColor(COLORREF crColor);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF crColor);
    int SetBkMode(int nBkMode);
    int SetStretchBltMode(int nStretchMode);
    CPoint SetBrushOrg(int x, int y);
    CPoint SetBrushOrg(POINT point) { return SetBrushOrg(point.x, point.y); }
    int GetDeviceCaps(int nIndex) const;

    CPoint GetViewportOrg() const;

    // State and clipping.
    int SaveDC();
    BOOL RestoreDC(int nSavedDC);
    int GetClipBox(LPRECT lpRect) const;
    int IntersectClipRect(int x1, int y1, int x2, int y2);
    int IntersectClipRect(LPCRECT lpRect);

    // Text.
    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
    BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount);
    BOOL TextOut(int x, int y, const CString& str);
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
    CSize GetTextExtent(const CString& str) const;

    // Filled shapes and lines.
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    void FillRect(LPCRECT lpRect, CBrush* pBrush);
    void FrameRect(LPCRECT lpRect, CBrush* pBrush);
    // Top and left edges in the first colour, right and bottom edges in the second.
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void DrawFocusRect(LPCRECT lpRect);
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(LPCRECT lpRect);
    BOOL Polyline(const POINT* lpPoints, int nCount);
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }

    // Icons and state images.
    BOOL DrawIcon(int x, int y, HICON hIcon);
    BOOL DrawIcon(POINT point, HICON hIcon) { return DrawIcon(point.x, point.y, hIcon); }
    BOOL DrawIconEx(int x, int y, HICON hIcon, int cx, int cy, UINT istepIfAniCur = 0,
                    HBRUSH hbrFlickerFreeDraw = nullptr, UINT diFlags = DI_NORMAL);
    BOOL DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush = nullptr);
    BOOL DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush = nullptr);
    BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush = nullptr);

    // Pixels and block transfers.
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
    BOOL SetPixelV(int x, int y, COLORREF crColor);
    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop);
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                    int nSrcHeight, DWORD dwRop);
    BOOL AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend);
    BOOL GradientFill(TRIVERTEX* pVertices, ULONG nVertices, void* pMesh, ULONG nMeshElements, DWORD dwMode);
protected:
    // Takes a DC that belongs to someone else: DeleteDC refuses it and the destructor leaves it.
    void AttachBorrowed(HDC hDC);
private:
    bool m_bBorrowed = false;
};

// A DC that belongs to someone else (a message's, an owner-draw item's, a temporary's), wrapped
// without being owned: never deleted, left as it is when the wrapper goes.
class CBorrowedDC : public CDC {
public:
    explicit CBorrowedDC(HDC hDC) { AttachBorrowed(hDC); }
};

// The DC of a WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC {
    DECLARE_DYNAMIC(CPaintDC)
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps = {};
protected:
    HWND m_hWnd = nullptr;
};

// A window's client-area DC (the screen's for a null window), released on destruction.
class CClientDC : public CDC {
    DECLARE_DYNAMIC(CClientDC)
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;
protected:
    HWND m_hWnd = nullptr;
};
