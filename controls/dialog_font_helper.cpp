#include "controls/dialog_font_helper.h"

#include <cstring>

namespace {

WORD ReadWord(const BYTE* p)
{
    WORD value;
    memcpy(&value, p, sizeof(value));
    return value;
}

DWORD ReadDword(const BYTE* p)
{
    DWORD value;
    memcpy(&value, p, sizeof(value));
    return value;
}

// Skips a menu, class or title field: 0, 0xFFFF plus an ordinal, or a zero-terminated string.
const BYTE* SkipSzOrOrd(const BYTE* p)
{
    WORD first = ReadWord(p);
    if (first == 0)
        return p + 2;
    if (first == 0xFFFF)
        return p + 4;
    while (ReadWord(p) != 0)
        p += 2;
    return p + 2;
}

const BYTE* SkipString(const BYTE* p)
{
    while (ReadWord(p) != 0)
        p += 2;
    return p + 2;
}

const BYTE* AlignDword(const BYTE* p, const BYTE* base)
{
    size_t offset = (size_t)(p - base);
    return base + ((offset + 3) & ~(size_t)3);
}

int ToPixels(int dialogUnits, double scale) { return (int)(dialogUnits * scale + 0.5); }

// Loads and locks a dialog template; the resource is released by the destructor.
struct LockedTemplate {
    HGLOBAL handle = nullptr;
    const BYTE* data = nullptr;
    LockedTemplate(HINSTANCE module, UINT id)
    {
        HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), (LPCWSTR)RT_DIALOG);
        if (res)
            handle = LoadResource(module, res);
        if (handle)
            data = (const BYTE*)LockResource(handle);
    }
    ~LockedTemplate()
    {
        if (handle)
            FreeResource(handle);
    }
};

}  // namespace

CDialogFontHelper::~CDialogFontHelper() { RestoreFont(); }

BOOL CDialogFontHelper::IsExtendedTemplate(const void* dialogTemplate)
{
    return ReadWord((const BYTE*)dialogTemplate + 2) == 0xFFFF;
}

WORD CDialogFontHelper::GetItemCount(const void* dialogTemplate)
{
    const BYTE* t = (const BYTE*)dialogTemplate;
    return ReadWord(t + (IsExtendedTemplate(t) ? 16 : 8));
}

const BYTE* CDialogFontHelper::FirstItem(const void* dialogTemplate)
{
    const BYTE* t = (const BYTE*)dialogTemplate;
    const bool extended = IsExtendedTemplate(t);
    DWORD style = ReadDword(t + (extended ? 12 : 0));
    const BYTE* p = t + (extended ? 26 : 18);
    p = SkipSzOrOrd(p);  // menu
    p = SkipSzOrOrd(p);  // class
    p = SkipString(p);   // title
    if (style & DS_SETFONT) {
        p += extended ? 6 : 2;  // point size (+ weight, italic, charset)
        p = SkipString(p);      // face
    }
    return AlignDword(p, t);
}

const BYTE* CDialogFontHelper::NextItem(const BYTE* item, BOOL extended)
{
    // Items are aligned on 4 bytes from the template's start, which is itself aligned, so
    // aligning the address is the same.
    const BYTE* p = item + (extended ? 24 : 18);
    p = SkipSzOrOrd(p);  // class
    p = SkipSzOrOrd(p);  // title
    WORD extra = ReadWord(p);
    if (extended)
        p += 2 + extra;
    else
        p += extra ? extra : 2;  // the standard count includes its own two bytes
    return (const BYTE*)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
}

void CDialogFontHelper::ReadTemplateFont(const void* dialogTemplate, TemplateFont* info)
{
    const BYTE* t = (const BYTE*)dialogTemplate;
    const bool extended = ReadWord(t) == 1 && ReadWord(t + 2) == 0xFFFF;
    BYTE styleLow = extended ? t[12] : t[0];
    const BYTE* p = t + (extended ? 26 : 18);

    WORD menu = ReadWord(p);
    info->hasMenu = menu != 0;
    p = SkipSzOrOrd(p);
    p = SkipSzOrOrd(p);  // class
    p = SkipString(p);   // title

    if (styleLow & DS_SETFONT) {
        info->pointSize = (short)ReadWord(p);
        if (extended) {
            info->weight = ReadWord(p + 2);
            info->italic = (p[4] & 0xFF) ? 1 : 0;
            info->faceName = (const wchar_t*)(p + 6);
        } else {
            info->weight = 0;
            info->italic = 0;
            info->faceName = (const wchar_t*)(p + 2);
        }
    } else {
        info->pointSize = 8;
        info->weight = 400;
        info->italic = 0;
        info->faceName = L"Tahoma";
    }
}

void CDialogFontHelper::MeasureBaseUnits(HDC dc, HFONT measuredFont, BaseUnits* units)
{
    HGDIOBJ old = SelectObject(dc, measuredFont);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE extent = {};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    GetTextExtentPointA(dc, letters, 52, &extent);
    units->vertical = metrics.tmHeight;
    units->horizontal = ((extent.cx / 26) + 1) / 2;
    SelectObject(dc, old);
}

void CDialogFontHelper::ForEachTemplateChild(const BYTE* t, HFONT childFont, const double* scaleX,
                                             const double* scaleY) const
{
    const WORD count = GetItemCount(t);
    const BYTE* item = FirstItem(t);
    HWND child = GetWindow(dialog, GW_CHILD);
    for (WORD i = 0; i < count; ++i) {
        const int id = (int)ReadDword(item + 20);
        // Forward from after the previous match: controls the dialog made itself are skipped.
        while (child && (short)GetDlgCtrlID(child) != id)
            child = GetWindow(child, GW_HWNDNEXT);
        if (!child)
            break;
        if (scaleX && scaleY) {
            int x = ToPixels((short)ReadWord(item + 12), *scaleX);
            int y = ToPixels((short)ReadWord(item + 14), *scaleY);
            int cx = ToPixels((short)ReadWord(item + 16), *scaleX);
            int cy = ToPixels((short)ReadWord(item + 18), *scaleY);
            MoveWindow(child, x, y, cx, cy, TRUE);
        }
        SendMessageW(child, WM_SETFONT, (WPARAM)childFont, TRUE);
        child = GetWindow(child, GW_HWNDNEXT);
        item = NextItem(item, TRUE);
    }
}

void CDialogFontHelper::ApplyTemplateFont(HINSTANCE templateModule, HWND dialogWindow, int id, double dpi)
{
    if (dialog)
        RestoreFont();
    module = templateModule;
    dialog = dialogWindow;
    templateId = (UINT)id;

    LockedTemplate locked(module, templateId);
    if (!locked.data || !IsWindow(dialog))
        return;
    const BYTE* t = locked.data;

    TemplateFont info;
    ReadTemplateFont(t, &info);
    if (info.pointSize < 0 || info.pointSize > 32767)
        info.pointSize = (-info.pointSize) & 0xFFFF;

    int height = -(int)(info.pointSize * dpi / 72.0 + 0.5);
    font = CreateFontW(height, 0, 0, 0, info.weight, info.italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, info.faceName);
    previousFont = (HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0);
    SendMessageW(dialog, WM_SETFONT, (WPARAM)font, TRUE);

    // Measured outside WM_PAINT, so with a plain window DC.
    BaseUnits units;
    HDC dc = GetDC(dialog);
    MeasureBaseUnits(dc, font, &units);
    ReleaseDC(dialog, dc);

    const double scaleX = units.horizontal / 4.0;
    const double scaleY = units.vertical / 8.0;

    RECT rc = {0, 0, ToPixels((short)ReadWord(t + 22), scaleX), ToPixels((short)ReadWord(t + 24), scaleY)};
    ClientToScreen(dialog, (POINT*)&rc.left);
    ClientToScreen(dialog, (POINT*)&rc.right);
    AdjustWindowRectEx(&rc, ReadDword(t + 12), info.hasMenu, ReadDword(t + 8));
    MoveWindow(dialog, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);

    ForEachTemplateChild(t, font, &scaleX, &scaleY);
}

void CDialogFontHelper::RestoreFont()
{
    if (!dialog)
        return;
    // The dialog may be gone already (the helper outlives its window in every dialog class).
    if (IsWindow(dialog)) {
        SendMessageW(dialog, WM_SETFONT, (WPARAM)previousFont, TRUE);
        LockedTemplate locked(module, templateId);
        if (locked.data)
            ForEachTemplateChild(locked.data, previousFont, nullptr, nullptr);
    }
    // Last, once nothing uses it any more.
    if (font)
        DeleteObject(font);
    dialog = nullptr;
    font = nullptr;
    previousFont = nullptr;
}

int ScreenDpiY()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}
