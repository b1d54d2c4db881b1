// CPopupCloseHook: watches the user-interface thread's messages (a WH_CALLWNDPROCRET hook shared
// by every object) and tells the owner of a registered in-place editor to end the edit when the
// focus leaves the editor, a key ends it, or the user scrolls or clicks outside it.
#pragma once

#include <windows.h>

#include "framework/collections.h"

class CPopupCloseHook {
public:
    // The first object installs the thread hook, the last one removes it.
    CPopupCloseHook();
    virtual ~CPopupCloseHook();
    CPopupCloseHook(const CPopupCloseHook&) = delete;
    CPopupCloseHook& operator=(const CPopupCloseHook&) = delete;

    // FALSE unless editor and owner are windows. The notice (WM_LISTEDIT_END, sent) goes to
    // notify when given, else to the owner. Registering again forgets the previous editor.
    BOOL RegisterEditor(HWND editor, HWND owner, HWND notify);
    // TRUE when this object had an editor registered; it no longer has one.
    BOOL UnregisterEditor();

    static LRESULT CALLBACK CallWndRetProc(int code, WPARAM wParam, LPARAM lParam);

private:
    void Notify(BOOL commit) const;

    HWND m_editor = nullptr;
    HWND m_owner = nullptr;
    HWND m_notify = nullptr;
    BOOL m_dropDownOpen = FALSE;  // a combo box or date picker of the editor shows its list
};

// Every registered editor window -> the object it is registered with.
extern CMap<HWND, HWND, CPopupCloseHook*, CPopupCloseHook*> g_popupEditorMap;
