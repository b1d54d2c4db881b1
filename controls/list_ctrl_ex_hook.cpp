#include "controls/list_ctrl_ex_hook.h"

#include <vector>

#include <commctrl.h>

#include "controls/list_ctrl_ex.h"
#include "framework/collections.h"

// Editor window -> the object it is registered with.
CMap<HWND, HWND, CPopupCloseHook*, CPopupCloseHook*> g_popupEditorMap(10);

namespace {

HHOOK g_hook = nullptr;
int g_useCount = 0;

// The registered editor that is the window or one of its ancestors, nearest first.
CPopupCloseHook* EditorOf(HWND hWnd, HWND* editor = nullptr)
{
    for (; hWnd; hWnd = ::GetParent(hWnd)) {
        CPopupCloseHook* hook = nullptr;
        if (g_popupEditorMap.Lookup(hWnd, hook)) {
            if (editor)
                *editor = hWnd;
            return hook;
        }
    }
    return nullptr;
}

bool EndsEditsOutside(UINT message)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MENUSELECT:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEWHEEL:
        return true;
    default:
        return false;
    }
}

}  // namespace

CPopupCloseHook::CPopupCloseHook()
{
    if (g_useCount == 0)
        g_hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &CallWndRetProc, nullptr, ::GetCurrentThreadId());
    ++g_useCount;
}

CPopupCloseHook::~CPopupCloseHook()
{
    // No map entry may outlive the object: the hook would call into freed memory.
    UnregisterEditor();
    if (--g_useCount == 0 && g_hook) {
        ::UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

BOOL CPopupCloseHook::RegisterEditor(HWND editor, HWND owner, HWND notify)
{
    if (!editor || !owner || !::IsWindow(editor) || !::IsWindow(owner))
        return FALSE;
    UnregisterEditor();
    m_editor = editor;
    m_owner = owner;
    m_notify = notify;
    g_popupEditorMap.SetAt(editor, this);
    m_dropDownOpen = FALSE;
    return TRUE;
}

BOOL CPopupCloseHook::UnregisterEditor()
{
    CPopupCloseHook* registered = nullptr;
    if (!m_editor || !g_popupEditorMap.Lookup(m_editor, registered))
        return FALSE;
    BOOL ours = registered == this;
    if (ours)
        g_popupEditorMap.RemoveKey(m_editor);
    m_editor = m_owner = m_notify = nullptr;
    m_dropDownOpen = FALSE;
    return ours;
}

void CPopupCloseHook::Notify(BOOL commit) const
{
    HWND target = m_notify ? m_notify : m_owner;
    if (target)
        ::SendMessageW(target, WM_LISTEDIT_END, (WPARAM)commit, 0);
}

LRESULT CALLBACK CPopupCloseHook::CallWndRetProc(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* msg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code < 0 || !msg || g_popupEditorMap.IsEmpty())
        return ::CallNextHookEx(g_hook, code, wParam, lParam);

    HWND editor = nullptr;
    switch (msg->message) {
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMHDR*>(msg->lParam);
        if (nm && (nm->code == DTN_DROPDOWN || nm->code == DTN_CLOSEUP)) {
            if (CPopupCloseHook* hook = EditorOf(nm->hwndFrom))
                hook->m_dropDownOpen = nm->code == DTN_DROPDOWN;
        }
        break;
    }
    case WM_COMMAND: {
        const UINT notification = HIWORD(msg->wParam);
        if (msg->lParam && (notification == CBN_DROPDOWN || notification == CBN_CLOSEUP)) {
            if (CPopupCloseHook* hook = EditorOf((HWND)msg->lParam))
                hook->m_dropDownOpen = notification == CBN_DROPDOWN;
        }
        break;
    }
    case WM_DESTROY: {
        CPopupCloseHook* hook = nullptr;
        if (g_popupEditorMap.Lookup(msg->hwnd, hook))
            hook->UnregisterEditor();
        break;
    }
    case WM_KILLFOCUS:
        if (CPopupCloseHook* hook = EditorOf(msg->hwnd, &editor)) {
            HWND gaining = (HWND)msg->wParam;
            const bool staysInside = gaining && (gaining == editor || ::IsChild(editor, gaining));
            if (!hook->m_dropDownOpen && !staysInside)
                hook->Notify(TRUE);
        }
        break;
    case WM_KEYDOWN:
        if (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN) {
            if (CPopupCloseHook* hook = EditorOf(msg->hwnd))
                hook->Notify(msg->wParam == VK_RETURN);
        }
        break;
    default:
        if (EndsEditsOutside(msg->message) && !EditorOf(msg->hwnd)) {
            // A notice may end edits and so change the map: take the editors first, and ask
            // the map again before each notice.
            std::vector<HWND> editors;
            POSITION pos = g_popupEditorMap.GetStartPosition();
            while (pos) {
                HWND key = nullptr;
                CPopupCloseHook* hook = nullptr;
                g_popupEditorMap.GetNextAssoc(pos, key, hook);
                editors.push_back(key);
            }
            for (HWND each : editors) {
                CPopupCloseHook* hook = nullptr;
                if (!g_popupEditorMap.Lookup(each, hook) || !::IsWindow(each) || hook->m_dropDownOpen)
                    continue;
                if (::SendMessageW(each, CB_GETDROPPEDSTATE, 0, 0) || ::SendMessageW(each, DTM_GETMONTHCAL, 0, 0))
                    continue;
                hook->Notify(TRUE);
            }
        }
        break;
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}
