// CMenu: a menu handle plus behaviour. A menu this object created or loaded (or was given by
// Attach) is destroyed with it; FromHandle and GetSubMenu give temporary, non-owning objects that
// live until DeleteTempMap (those of destroyed menus may go earlier, as the map grows).
#pragma once

#include <windows.h>

#include <functional>

#include "framework/cstring.h"
#include "framework/object.h"

class CBitmap;
class CWnd;

class CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)
public:
    CMenu() = default;
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    bool operator==(const CMenu& other) const { return m_hMenu == other.m_hMenu; }
    bool operator!=(const CMenu& other) const { return m_hMenu != other.m_hMenu; }

    // From the class library's resource module; a menu already held is destroyed first.
    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenu(LPCTSTR lpszResourceName);
    BOOL DestroyMenu();
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    static CMenu* FromHandle(HMENU hMenu);
    static void DeleteTempMap();

    // Items.
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);

    // Marks and states. CheckMenuItem returns the previous state, or 0xFFFFFFFF when there
    // is no such item.
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    // Checks one item of the range with a radio mark and clears the others.
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    // The bitmaps are drawn as the item's check marks; they must outlive the menu.
    BOOL SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked);

    // Queries.
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    // A temporary object for the popup at that position; null when there is none.
    CMenu* GetSubMenu(int nPos) const;

    // Shows the menu as a popup owned by pWnd. With TPM_RETURNCMD the result is the chosen
    // command (0 when dismissed); otherwise the command is posted to the owner as WM_COMMAND.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);
    BOOL TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm);

    // Picks the command instead of showing the popup (tests and scripted runs): the function gets
    // the menu, the flags and the position and returns the command, 0 for a dismissed menu. An
    // empty function restores the real popup.
    using TrackResponder = std::function<UINT(CMenu& menu, UINT nFlags, int x, int y)>;
    static void SetTestResponder(TrackResponder responder);

private:
    BOOL AttachNew(HMENU hMenu);
    BOOL TrackWithResponder(UINT nFlags, int x, int y, HWND owner);
};
