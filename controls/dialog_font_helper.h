// Lays a dialog out again from its template at a fixed DPI: the template's font is re-created
// at that DPI, and the dialog and every child get their template rectangles in the base units
// of that font. Dialogs then look the same whatever the display's DPI setting.
#pragma once

#include <windows.h>

class CDialogFontHelper {
public:
    struct TemplateFont {
        int pointSize = 0;
        int hasMenu = 0;
        int weight = 0;
        int italic = 0;
        const wchar_t* faceName = nullptr;
    };
    struct BaseUnits {
        int horizontal = 0;  // average character width
        int vertical = 0;    // character height
    };

    CDialogFontHelper() = default;
    ~CDialogFontHelper();
    CDialogFontHelper(const CDialogFontHelper&) = delete;
    CDialogFontHelper& operator=(const CDialogFontHelper&) = delete;

    void ApplyTemplateFont(HINSTANCE module, HWND dialog, int templateId, double dpi);
    void RestoreFont();

    static void MeasureBaseUnits(HDC dc, HFONT font, BaseUnits* units);
    static void ReadTemplateFont(const void* dialogTemplate, TemplateFont* font);
    static BOOL IsExtendedTemplate(const void* dialogTemplate);
    static WORD GetItemCount(const void* dialogTemplate);
    static const BYTE* FirstItem(const void* dialogTemplate);
    static const BYTE* NextItem(const BYTE* item, BOOL extended);

    HFONT GetFont() const { return font; }

private:
    // Sends the font to every child that matches a template item, walking the children forward
    // in template order; moves each to its converted rectangle when a scale is given.
    void ForEachTemplateChild(const BYTE* dialogTemplate, HFONT childFont, const double* scaleX,
                              const double* scaleY) const;

    UINT templateId = 0;
    HINSTANCE module = nullptr;
    HWND dialog = nullptr;
    HFONT font = nullptr;          // owned
    HFONT previousFont = nullptr;  // the dialog's, not owned
};

// The screen's vertical pixels per inch, for point sizes; 96 when no screen DC can be had.
int ScreenDpiY();
