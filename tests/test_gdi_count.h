// Counting the process's GDI objects, for tests that check a window gives back what it paints with.
#pragma once

#include <windows.h>

// Live GDI objects of this process. Wine answers GetGuiResources with 0; its GDI handle table
// is the process's own, so the used entries are counted there instead.
inline int LiveGdiObjects()
{
    GdiFlush();
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported)
        return (int)reported;
#ifdef _WIN64
    struct Entry {
        ULONGLONG object;
        ULONG owner;
        USHORT unique;
        BYTE type;
        BYTE flags;
        ULONGLONG user;
    };
    using GetPeb = void*(WINAPI*)();
    static const auto getPeb = (GetPeb)(void*)GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetCurrentPeb");
    if (!getPeb)
        return -1;
    const BYTE* peb = (const BYTE*)getPeb();
    const Entry* table = *(const Entry* const*)(peb + 0xF8);  // GdiSharedHandleTable
    if (!table)
        return -1;
    int used = 0;
    for (int i = 0; i < 0x10000; ++i)
        used += table[i].type != 0;
    return used;
#else
    return -1;
#endif
}
