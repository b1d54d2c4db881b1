// GDI objects: pens, brushes, fonts, bitmaps and regions. Each object owns its handle and deletes
// it when destroyed. FromHandle gives a temporary, non-owning object for a handle made elsewhere
// (one per handle and class, per thread); temporaries live until DeleteTempMap, which the message
// loops call when idle. Temporaries of deleted objects may go earlier, as the map grows.
#pragma once

#include <windows.h>

#include "framework/geometry.h"
#include "framework/object.h"

class CDC;

class CGdiObject : public CObject {
    DECLARE_DYNAMIC(CGdiObject)
public:
    CGdiObject() = default;
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    // Takes ownership of a handle; fails when this object already holds one.
    BOOL Attach(HGDIOBJ hObject);
    // Gives up the handle without deleting it.
    HGDIOBJ Detach();
    BOOL DeleteObject();

    BOOL UnrealizeObject();

    static CGdiObject* FromHandle(HGDIOBJ hObject);
    // Drops this thread's temporary objects; their handles are left alone.
    static void DeleteTempMap();
protected:
    // Replaces any handle held so far with a new one (null when creation failed).
    BOOL AttachNew(HGDIOBJ hObject);
    template <class T>
    static T* TemporaryFor(HGDIOBJ hObject);
};

class CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor);

    operator HPEN() const { return (HPEN)m_hObject; }

    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);

    static CPen* FromHandle(HPEN hPen);
};

class CBitmap;

class CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor);
    CBrush(int nHatchStyle, COLORREF crColor);

    operator HBRUSH() const { return (HBRUSH)m_hObject; }

    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL CreateHatchBrush(int nHatchStyle, COLORREF crColor);

    static CBrush* FromHandle(HBRUSH hBrush);
};

class CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    CFont() = default;

    operator HFONT() const { return (HFONT)m_hObject; }

    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename);
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont);

    static CFont* FromHandle(HFONT hFont);
};

class CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    CBitmap() = default;

    operator HBITMAP() const { return (HBITMAP)m_hObject; }

    // From the class library's resource module.
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);

    int GetBitmap(BITMAP* pBitMap) const;

    static CBitmap* FromHandle(HBITMAP hBitmap);
};
