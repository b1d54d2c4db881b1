#include "framework/menu.h"

#include <memory>
#include <unordered_map>
#include <utility>

#include "framework/app.h"
#include "framework/gdi_objects.h"
#include "framework/wnd.h"

IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {

// Temporary menu objects of this thread, one per menu; they never destroy their menu.
struct LetGoOfMenu {
    void operator()(CMenu* menu) const
    {
        menu->Detach();
        delete menu;
    }
};
thread_local std::unordered_map<HMENU, std::unique_ptr<CMenu, LetGoOfMenu>> t_tempMenus;

// A thread that never clears its map drops the temporaries of destroyed menus as it grows.
constexpr size_t kFirstPruneSize = 64;
thread_local size_t t_pruneSize = kFirstPruneSize;

void PruneDeadTemporaries()
{
    if (t_tempMenus.size() < t_pruneSize)
        return;
    for (auto it = t_tempMenus.begin(); it != t_tempMenus.end();) {
        if (!::IsMenu(it->first))
            it = t_tempMenus.erase(it);
        else
            ++it;
    }
    t_pruneSize = t_tempMenus.size() * 2 > kFirstPruneSize ? t_tempMenus.size() * 2 : kFirstPruneSize;
}

CMenu::TrackResponder& Responder()
{
    static CMenu::TrackResponder responder;
    return responder;
}

HBITMAP BitmapHandle(const CBitmap* pBmp) { return pBmp ? (HBITMAP)pBmp->m_hObject : nullptr; }

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::AttachNew(HMENU hMenu)
{
    DestroyMenu();
    m_hMenu = hMenu;
    return hMenu != nullptr;
}

BOOL CMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEW(nIDResource)); }

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName)
{
    return AttachNew(::LoadMenuW(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (m_hMenu || !hMenu)
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (!hMenu)
        return nullptr;
    auto found = t_tempMenus.find(hMenu);
    if (found == t_tempMenus.end()) {
        PruneDeadTemporaries();
        found = t_tempMenus.emplace(hMenu, std::unique_ptr<CMenu, LetGoOfMenu>(new CMenu)).first;
    }
    auto& slot = found->second;
    // A caller may have destroyed the menu through the temporary; the value may come back.
    slot->m_hMenu = hMenu;
    return slot.get();
}

void CMenu::DeleteTempMap()
{
    t_tempMenus.clear();
    t_pruneSize = kFirstPruneSize;
}

// Items

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    return ::ModifyMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

// Marks and states

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }

BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
{
    return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
}

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked,
                               const CBitmap* pBmpChecked)
{
    return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, BitmapHandle(pBmpUnchecked), BitmapHandle(pBmpChecked));
}

// Queries

UINT CMenu::GetMenuItemCount() const { return (UINT)::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    rString.Empty();
    int length = ::GetMenuStringW(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (length <= 0)
        return 0;
    LPTSTR buffer = rString.GetBuffer(length + 1);
    int copied = ::GetMenuStringW(m_hMenu, nIDItem, buffer, length + 1, nFlags);
    rString.ReleaseBuffer(copied > 0 ? copied : 0);
    return rString.GetLength();
}

CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }

// Popups

void CMenu::SetTestResponder(TrackResponder responder) { Responder() = std::move(responder); }

BOOL CMenu::TrackWithResponder(UINT nFlags, int x, int y, HWND owner)
{
    UINT command = Responder()(*this, nFlags, x, y);
    if (nFlags & TPM_RETURNCMD)
        return (BOOL)command;
    // Without TPM_RETURNCMD the real popup reports the choice to its owner.
    if (command && owner)
        ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return TRUE;
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    HWND owner = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    if (Responder())
        return TrackWithResponder(nFlags, x, y, owner);
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, owner, lpRect);
}

BOOL CMenu::TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm)
{
    HWND owner = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    if (Responder())
        return TrackWithResponder(fuFlags, x, y, owner);
    return ::TrackPopupMenuEx(m_hMenu, fuFlags, x, y, owner, lptpm);
}
