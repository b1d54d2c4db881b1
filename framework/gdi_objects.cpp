#include "framework/gdi_objects.h"

#include <map>
#include <memory>
#include <typeindex>
#include <utility>

#include "framework/app.h"
#include "framework/gdi.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

namespace {

// Temporary objects of this thread, one per handle and class. They never own their handle, also
// not when the thread ends and the map goes.
struct LetGoOfHandle {
    void operator()(CGdiObject* object) const
    {
        object->Detach();
        delete object;
    }
};
using TempKey = std::pair<HGDIOBJ, std::type_index>;
thread_local std::map<TempKey, std::unique_ptr<CGdiObject, LetGoOfHandle>> t_tempObjects;

// A thread without the class library's message loop (the capture thread) never clears its map;
// temporaries of deleted objects are dropped as it grows, so it stays as large as what is alive.
constexpr size_t kFirstPruneSize = 256;
thread_local size_t t_pruneSize = kFirstPruneSize;

void PruneDeadTemporaries()
{
    if (t_tempObjects.size() < t_pruneSize)
        return;
    for (auto it = t_tempObjects.begin(); it != t_tempObjects.end();) {
        if (::GetObjectType(it->first.first) == 0)
            it = t_tempObjects.erase(it);
        else
            ++it;
    }
    t_pruneSize = t_tempObjects.size() * 2 > kFirstPruneSize ? t_tempObjects.size() * 2 : kFirstPruneSize;
}

}  // namespace

template <class T>
T* CGdiObject::TemporaryFor(HGDIOBJ hObject)
{
    if (!hObject)
        return nullptr;
    TempKey key(hObject, std::type_index(typeid(T)));
    auto found = t_tempObjects.find(key);
    if (found == t_tempObjects.end()) {
        PruneDeadTemporaries();
        found = t_tempObjects.emplace(key, std::unique_ptr<CGdiObject, LetGoOfHandle>(new T)).first;
    }
    auto& slot = found->second;
    // A caller may have deleted the handle through the temporary; the value may come back.
    slot->m_hObject = hObject;
    return static_cast<T*>(slot.get());
}

void CGdiObject::DeleteTempMap()
{
    t_tempObjects.clear();
    t_pruneSize = kFirstPruneSize;
}

size_t CGdiObject::GetTempMapSize() { return t_tempObjects.size(); }

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (m_hObject || !hObject)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    m_hObject = nullptr;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::AttachNew(HGDIOBJ hObject)
{
    DeleteObject();
    m_hObject = hObject;
    return hObject != nullptr;
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const
{
    return m_hObject ? ::GetObjectW(m_hObject, nCount, lpObject) : 0;
}

UINT CGdiObject::GetObjectType() const { return m_hObject ? (UINT)::GetObjectType(m_hObject) : 0; }

BOOL CGdiObject::CreateStockObject(int nIndex) { return AttachNew(::GetStockObject(nIndex)); }

BOOL CGdiObject::UnrealizeObject() { return m_hObject ? ::UnrealizeObject(m_hObject) : FALSE; }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) { return TemporaryFor<CGdiObject>(hObject); }

// Pens

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return AttachNew(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(const LOGPEN* lpLogPen)
{
    return lpLogPen ? AttachNew(::CreatePenIndirect(lpLogPen)) : FALSE;
}

int CPen::GetLogPen(LOGPEN* pLogPen) const { return GetObject(sizeof(LOGPEN), pLogPen); }

CPen* CPen::FromHandle(HPEN hPen) { return TemporaryFor<CPen>(hPen); }

// Brushes

CBrush::CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }

CBrush::CBrush(int nHatchStyle, COLORREF crColor) { CreateHatchBrush(nHatchStyle, crColor); }

CBrush::CBrush(CBitmap* pBitmap) { CreatePatternBrush(pBitmap); }

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return AttachNew(::CreateSolidBrush(crColor)); }

BOOL CBrush::CreateHatchBrush(int nHatchStyle, COLORREF crColor)
{
    return AttachNew(::CreateHatchBrush(nHatchStyle, crColor));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    if (!pBitmap || !pBitmap->m_hObject)
        return FALSE;
    return AttachNew(::CreatePatternBrush((HBITMAP)pBitmap->m_hObject));
}

BOOL CBrush::CreateSysColorBrush(int nIndex) { return AttachNew(::GetSysColorBrush(nIndex)); }

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush)
{
    return lpLogBrush ? AttachNew(::CreateBrushIndirect(lpLogBrush)) : FALSE;
}

int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) const { return GetObject(sizeof(LOGBRUSH), pLogBrush); }

CBrush* CBrush::FromHandle(HBRUSH hBrush) { return TemporaryFor<CBrush>(hBrush); }

// Fonts

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    return AttachNew(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                                   cStrikeOut, nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily,
                                   lpszFacename));
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont)
{
    return lpLogFont ? AttachNew(::CreateFontIndirectW(lpLogFont)) : FALSE;
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    if (lpszFaceName)
        lstrcpynW(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC)
{
    if (!lpLogFont)
        return FALSE;
    HDC hDC = pDC ? pDC->m_hDC : nullptr;
    HDC screen = hDC ? nullptr : ::GetDC(nullptr);
    HDC measure = hDC ? hDC : screen;
    if (!measure)
        return FALSE;
    // Tenths of a point to device pixels, then to the DC's logical units.
    POINT pt[2] = {{0, 0}, {0, ::MulDiv(::GetDeviceCaps(measure, LOGPIXELSY), lpLogFont->lfHeight, 720)}};
    ::DPtoLP(measure, pt, 2);
    if (screen)
        ::ReleaseDC(nullptr, screen);
    LOGFONTW lf = *lpLogFont;
    int height = pt[1].y - pt[0].y;
    lf.lfHeight = -(height < 0 ? -height : height);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* pLogFont) const { return GetObject(sizeof(LOGFONTW), pLogFont); }

CFont* CFont::FromHandle(HFONT hFont) { return TemporaryFor<CFont>(hFont); }

// Bitmaps

BOOL CBitmap::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEW(nIDResource)); }

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    return AttachNew(::LoadBitmapW(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::LoadOEMBitmap(UINT nIDBitmap) { return AttachNew(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(nIDBitmap))); }

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return AttachNew(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap)
{
    return lpBitmap ? AttachNew(::CreateBitmapIndirect(lpBitmap)) : FALSE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    if (!pDC || !pDC->m_hDC)
        return FALSE;
    return AttachNew(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }

DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* lpBits)
{
    return m_hObject ? (DWORD)::SetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits) : 0;
}

DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const
{
    return m_hObject ? (DWORD)::GetBitmapBits((HBITMAP)m_hObject, (LONG)dwCount, lpBits) : 0;
}

CSize CBitmap::SetBitmapDimension(int nWidth, int nHeight)
{
    SIZE old = {0, 0};
    if (m_hObject)
        ::SetBitmapDimensionEx((HBITMAP)m_hObject, nWidth, nHeight, &old);
    return CSize(old);
}

CSize CBitmap::GetBitmapDimension() const
{
    SIZE size = {0, 0};
    if (m_hObject)
        ::GetBitmapDimensionEx((HBITMAP)m_hObject, &size);
    return CSize(size);
}

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return TemporaryFor<CBitmap>(hBitmap); }

// Regions

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return AttachNew(::CreateRectRgn(x1, y1, x2, y2)); }

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect)
{
    return lpRect ? AttachNew(::CreateRectRgnIndirect(lpRect)) : FALSE;
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2) { return AttachNew(::CreateEllipticRgn(x1, y1, x2, y2)); }

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return AttachNew(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode)
{
    return lpPoints ? AttachNew(::CreatePolygonRgn(lpPoints, nCount, nMode)) : FALSE;
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    if (!m_hObject || !pRgn1)
        return ERROR;
    return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgn1->m_hObject, pRgn2 ? (HRGN)pRgn2->m_hObject : nullptr,
                        nCombineMode);
}

int CRgn::CopyRgn(const CRgn* pRgnSrc) { return CombineRgn(pRgnSrc, nullptr, RGN_COPY); }

int CRgn::OffsetRgn(int x, int y) { return m_hObject ? ::OffsetRgn((HRGN)m_hObject, x, y) : ERROR; }

int CRgn::GetRgnBox(LPRECT lpRect) const { return m_hObject ? ::GetRgnBox((HRGN)m_hObject, lpRect) : ERROR; }

void CRgn::SetRectRgn(int x1, int y1, int x2, int y2)
{
    if (m_hObject)
        ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2);
}

BOOL CRgn::PtInRegion(int x, int y) const { return m_hObject ? ::PtInRegion((HRGN)m_hObject, x, y) : FALSE; }

BOOL CRgn::RectInRegion(LPCRECT lpRect) const
{
    return m_hObject && lpRect ? ::RectInRegion((HRGN)m_hObject, lpRect) : FALSE;
}

BOOL CRgn::EqualRgn(const CRgn* pRgn) const
{
    return m_hObject && pRgn && pRgn->m_hObject ? ::EqualRgn((HRGN)m_hObject, (HRGN)pRgn->m_hObject) : FALSE;
}

CRgn* CRgn::FromHandle(HRGN hRgn) { return TemporaryFor<CRgn>(hRgn); }
