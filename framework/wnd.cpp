#include "framework/wnd.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "framework/gdi.h"
#include "framework/msgmap.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// Permanent objects: windows created or subclassed by this layer. Windows belong to the thread
// that made them, but the capture thread posts to them and may look them up, so the map is locked.
std::mutex g_mapLock;
std::unordered_map<HWND, CWnd*>& PermanentMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

// Temporary objects for windows of others (FromHandle); one per window, dropped once the
// window is gone.
thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>> t_tempMap;

// The message being dispatched on this thread, for Default().
thread_local const CWnd::CurrentMessage* t_currentMessage = nullptr;

// Creation hook: the first window created while t_creating is set belongs to that object.
thread_local CWnd* t_creating = nullptr;
thread_local HHOOK t_creationHook = nullptr;

}  // namespace

struct CreationHook {
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND && t_creating) {
            CWnd* wnd = t_creating;
            t_creating = nullptr;
            wnd->AttachAndSubclass((HWND)wParam);
        }
        return CallNextHookEx(t_creationHook, code, wParam, lParam);
    }

    // Installs the hook for one creation call and removes it again, also on early returns.
    explicit CreationHook(CWnd* wnd)
    {
        t_creating = wnd;
        t_creationHook = SetWindowsHookExW(WH_CBT, &Proc, nullptr, GetCurrentThreadId());
    }
    ~CreationHook()
    {
        t_creating = nullptr;
        if (t_creationHook)
            UnhookWindowsHookEx(t_creationHook);
        t_creationHook = nullptr;
    }
};

// ---------------------------------------------------------------------------------------------
// Handle map

CWnd::CWnd() = default;

const CWnd CWnd::wndTop(SpecialHandle(), HWND_TOP);
const CWnd CWnd::wndTopMost(SpecialHandle(), HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(SpecialHandle(), HWND_NOTOPMOST);

CWnd::~CWnd()
{
    if (m_hWnd && !m_bTemporary && FromHandlePermanent(m_hWnd) == this) {
        // The owner forgot to destroy its window: do it now so no message reaches a dead object.
        if (::IsWindow(m_hWnd))
            CWnd::DestroyWindow();
        if (m_hWnd)
            Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_mapLock);
    auto it = PermanentMap().find(hWnd);
    return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hWnd))
        return wnd;
    auto& temp = t_tempMap[hWnd];
    if (!temp) {
        temp = std::make_unique<CWnd>();
        temp->m_hWnd = hWnd;
        temp->m_bTemporary = true;
    }
    return temp.get();
}

void CWnd::DeleteTempMap()
{
    for (auto it = t_tempMap.begin(); it != t_tempMap.end();) {
        if (!::IsWindow(it->first)) {
            it->second->m_hWnd = nullptr;
            it = t_tempMap.erase(it);
        } else {
            ++it;
        }
    }
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (m_hWnd || !hWnd)
        return FALSE;
    {
        std::lock_guard<std::mutex> lock(g_mapLock);
        auto& slot = PermanentMap()[hWnd];
        if (slot && slot != this)
            return FALSE;  // another object already speaks for this window
        slot = this;
    }
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        std::lock_guard<std::mutex> lock(g_mapLock);
        auto it = PermanentMap().find(hWnd);
        if (it != PermanentMap().end() && it->second == this)
            PermanentMap().erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::AttachAndSubclass(HWND hWnd)
{
    if (!Attach(hWnd))
        return;
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)&AfxWndProc);
    if (old != &AfxWndProc)
        m_pfnSuper = old;
    m_bSubclassed = true;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || !::IsWindow(hWnd) || m_hWnd)
        return FALSE;
    if (FromHandlePermanent(hWnd))
        return FALSE;
    AttachAndSubclass(hWnd);
    return m_hWnd == hWnd;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!pParent)
        return FALSE;
    HWND hCtl = ::GetDlgItem(pParent->m_hWnd, (int)nID);
    return hCtl ? SubclassWindow(hCtl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return nullptr;
    if (m_pfnSuper)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = nullptr;
    m_bSubclassed = false;
    return Detach();
}

// ---------------------------------------------------------------------------------------------
// Creation and destruction

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    HWND hWnd;
    {
        CreationHook hook(this);
        hWnd = CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight, hWndParent,
                               nIDorHMenu, GetModuleHandleW(nullptr), lpParam);
    }
    if (!hWnd) {
        // WM_CREATE refused the window: it is gone again, and so is our entry.
        if (m_hWnd)
            Detach();
        return FALSE;
    }
    return m_hWnd == hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    (dwStyle & WS_CHILD) ? (HMENU)(UINT_PTR)nID : nullptr, lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void*)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    if (!::IsWindow(m_hWnd)) {
        Detach();
        return FALSE;
    }
    HWND hWnd = m_hWnd;
    const bool routed = m_bSubclassed;
    BOOL ok = ::DestroyWindow(hWnd);
    // A window that routes its messages to us has let go of the object in WM_NCDESTROY, and the
    // object may be gone (PostNcDestroy): touch nothing then.
    if (!routed)
        Detach();
    return ok;
}

HWND CWnd::HookedCreate(HWND (*create)(void* context), void* context)
{
    if (m_hWnd)
        return nullptr;
    HWND hWnd;
    {
        CreationHook hook(this);
        hWnd = create(context);
    }
    if (!hWnd && m_hWnd)
        Detach();
    return hWnd;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

// ---------------------------------------------------------------------------------------------
// Dispatch

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);

    CWnd::CurrentMessage current = {hWnd, message, wParam, lParam};
    const CWnd::CurrentMessage* saved = t_currentMessage;
    t_currentMessage = &current;
    LRESULT result = 0;
    try {
        if (message == WM_NCDESTROY) {
            // The window's own procedure cleans up first; then the object lets go of the handle
            // and may delete itself in PostNcDestroy.
            result = wnd->DefWindowProc(message, wParam, lParam);
            WNDPROC super = wnd->m_pfnSuper;
            if (super && ::IsWindow(hWnd))
                SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)super);
            wnd->m_pfnSuper = nullptr;
            wnd->m_bSubclassed = false;
            wnd->Detach();
            wnd->PostNcDestroy();
        } else {
            result = wnd->WindowProc(message, wParam, lParam);
        }
    } catch (...) {
        // No exception may unwind through the system's code.
        OutputDebugStringW(L"kelvo: exception in a window procedure\n");
        result = 0;
    }
    t_currentMessage = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const CurrentMessage* msg = t_currentMessage;
    if (!msg || msg->hwnd != m_hWnd)
        return 0;
    return DefWindowProc(msg->message, msg->wParam, msg->lParam);
}

BOOL CWnd::DispatchMapEntry(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, 0, 0);
    if (!e)
        return FALSE;
    LRESULT result = 0;
    BOOL handled = e->pfnThunk(this, message, wParam, lParam, &result);
    if (handled)
        *pResult = result;
    return handled;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) {
            *pResult = 0;
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(wParam, lParam, &result))
            return FALSE;
        *pResult = result;
        return TRUE;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        // Only the control itself colours it (reflected WM_CTLCOLOR); else the default colours.
        CWnd* child = FromHandlePermanent((HWND)lParam);
        return child && child != this && child->OnChildNotify(message, wParam, lParam, pResult);
    }
    case WM_DRAWITEM: {
        // An owner-drawn control of ours draws itself; menus and other controls go to the map.
        auto* dis = (LPDRAWITEMSTRUCT)lParam;
        CWnd* child = dis && dis->CtlType != ODT_MENU ? FromHandlePermanent(dis->hwndItem) : nullptr;
        if (child && child != this && child->OnChildNotify(message, wParam, lParam, pResult))
            return TRUE;
        return DispatchMapEntry(message, wParam, lParam, pResult);
    }
    default:
        return DispatchMapEntry(message, wParam, lParam, pResult);
    }
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (lParam) {
        CWnd* child = FromHandlePermanent((HWND)lParam);
        if (child && child != this && child->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr))
            return TRUE;
    }
    return OnCmdMsg(id, code, wParam, lParam, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* nm = (NMHDR*)lParam;
    if (!nm)
        return FALSE;
    CWnd* child = FromHandlePermanent(nm->hwndFrom);
    if (child && child != this && child->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_NOTIFY, nm->code, (UINT)nm->idFrom);
    if (!e)
        return FALSE;
    return e->pfnThunk(this, WM_NOTIFY, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const AFX_MSGMAP_ENTRY* e = nullptr;
    switch (message) {
    case WM_COMMAND:
        e = FindMessageEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
        break;
    case WM_NOTIFY:
        e = FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, ((NMHDR*)lParam)->code, 0);
        break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        e = FindMessageEntry(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0);
        break;
    default:
        break;
    }
    if (!e)
        return FALSE;
    LRESULT result = 0;
    BOOL handled = e->pfnThunk(this, message, wParam, lParam, &result);
    if (pResult)
        *pResult = result;
    return handled;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* wnd = FromHandlePermanent(hWnd);
        if (wnd && wnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop || !(GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

