// The settings every window of the recorder reads, and the settings file kelvo.ini beside the
// executable. The application object owns the one set the program uses and hands it to the
// main window; only the user-interface thread reads or writes it (the capture thread gets
// copies through the engine's setters).
#pragma once

#include <windows.h>

#include "framework/cstring.h"

struct RecorderSettings {
    // kelvo.ini beside the executable.
    static CString FilePath();
    // Reads every key, with its default when missing; read when the main window opens.
    void Load(const CString& path);
    // Writes every key; written when the main window closes. The file is kept as UTF-16 so
    // that Chinese text survives any code page, and every text reads back exactly as it was,
    // enclosing quotes and blanks included.
    void Save(const CString& path) const;

    int Language = 0;

    // In the order of the settings file's table.
    int Mouse = 0;
    int Rate1 = 15;
    int Rate2 = 15;
    int Ratio = 70;
    bool File = true;
    bool Notice = true;
    bool TopWnd = true;
    int WndPosLeft = 300;
    int WndPosTop = 200;
    int WndPosEmptyWidth = 580;
    int WndPosEmptyHeight = 380;
    int DEFAULT_CAPTION_FONTSIZE = 16;
    wchar_t DEFAULT_FONTNAME[32] = L"Verdana";
    int DEFAULT_FONTSIZE = 14;
    bool DEFAULT_FONTBOLD = true;
    bool DEFAULT_FONTITALIC = false;
    COLORREF DEFAULT_FONTCOLOR = RGB(255, 255, 0);
    int DEFAULT_FONT_BK_STYLE = 2;
    COLORREF DEFAULT_FONT_BK_COLOR = RGB(0, 0, 0);
    bool EnableLogo = false;
    wchar_t LogoText[33] = L"";
    COLORREF LogoColor = RGB(0, 0, 0);
    COLORREF LogoBKColor = RGB(255, 255, 255);
    int LogoPos = 0;
    int LogoFont = 14;
    bool LogoBK = false;
    bool LOGO_FONTBOLD = true;
    bool LOGO_FONTITALIC = false;
};

// "#RRGGBB" to a colour value; the first character is skipped whatever it is.
COLORREF ParseColourString(CString text);
// The value of the leading hexadecimal digits.
unsigned ParseHex(const wchar_t* text);
