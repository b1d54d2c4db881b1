#include "framework/cmdtarget.h"

namespace {

bool IsCommandFamily(UINT message)
{
    return message == WM_COMMAND || message == WM_NOTIFY || message == WM_REFLECT_BASE + WM_COMMAND ||
           message == WM_REFLECT_BASE + WM_NOTIFY;
}

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const
{
    const bool command = IsCommandFamily(message);
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage != message)
                continue;
            if (command && (e->nCode != code || id < e->nID || id > e->nLastID))
                continue;
            return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    // Menus send code 0 and accelerators code 1; both reach ON_COMMAND entries.
    UINT code = (UINT)nCode;
    if (code == 1 && lParam == 0)
        code = 0;
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_COMMAND, code, nID);
    if (!e)
        return FALSE;
    LRESULT ignored = 0;
    return e->pfnThunk(this, WM_COMMAND, wParam, lParam, result ? result : &ignored);
}
