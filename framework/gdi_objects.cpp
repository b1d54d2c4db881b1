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

BOOL CGdiObject::UnrealizeObject() { return m_hObject ? ::UnrealizeObject(m_hObject) : FALSE; }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) { return TemporaryFor<CGdiObject>(hObject); }

// Pens

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return AttachNew(::CreatePen(nPenStyle, nWidth, crColor));
}

CPen* CPen::FromHandle(HPEN hPen) { return TemporaryFor<CPen>(hPen); }

// Brushes

CBrush::CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }

CBrush::CBrush(int nHatchStyle, COLORREF crColor) { CreateHatchBrush(nHatchStyle, crColor); }

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return AttachNew(::CreateSolidBrush(crColor)); }

BOOL CBrush::CreateHatchBrush(int nHatchStyle, COLORREF crColor)
{
    return AttachNew(::CreateHatchBrush(nHatchStyle, crColor));
}

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

CFont* CFont::FromHandle(HFONT hFont) { return TemporaryFor<CFont>(hFont); }

// Bitmaps

BOOL CBitmap::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEW(nIDResource)); }

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    return AttachNew(::LoadBitmapW(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return AttachNew(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    if (!pDC || !pDC->m_hDC)
        return FALSE;
    return AttachNew(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const
{
    return m_hObject ? ::GetObject(m_hObject, sizeof(BITMAP), pBitMap) : 0;
}

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return TemporaryFor<CBitmap>(hBitmap); }
