// The settings file kelvo.ini: read once when the main window opens, written once when it closes.
#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "capture/recorder_settings.h"

namespace {

// The file is UTF-16 with a byte-order mark, so the profile functions keep Chinese text
// (a watermark, a font name) whatever the system's code page. An older file in the code page is
// converted once; a new one is created empty.
void PrepareUnicodeFile(const CString& path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const BYTE bom[2] = {0xFF, 0xFE};
            DWORD written = 0;
            WriteFile(file, bom, 2, &written, nullptr);
            CloseHandle(file);
        }
        return;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    std::string bytes;
    if (size.QuadPart > 0 && size.QuadPart < (1 << 20)) {
        bytes.resize((size_t)size.QuadPart);
        DWORD got = 0;
        if (!ReadFile(file, &bytes[0], (DWORD)bytes.size(), &got, nullptr))
            got = 0;
        bytes.resize(got);
    }
    CloseHandle(file);
    if (bytes.size() >= 2 && (BYTE)bytes[0] == 0xFF && (BYTE)bytes[1] == 0xFE)
        return;
    int chars = MultiByteToWideChar(CP_ACP, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
    std::wstring text((size_t)chars, L'\0');
    if (chars > 0)
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), (int)bytes.size(), &text[0], chars);
    file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const BYTE bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, bom, 2, &written, nullptr);
    if (!text.empty())
        WriteFile(file, text.data(), (DWORD)(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}

// Numbers are read as text and parsed here, so that a negative stored value comes back negative
// on every platform.
int ReadInt(LPCTSTR section, LPCTSTR key, int fallback, const CString& path)
{
    wchar_t text[32] = L"";
    GetPrivateProfileStringW(section, key, L"", text, 32, path);
    const wchar_t* p = text;
    while (*p == L' ' || *p == L'\t')
        ++p;
    if (*p == 0)
        return fallback;
    wchar_t* end = nullptr;
    long long value = wcstoll(p, &end, 10);
    if (end == p)
        return 0;  // like the platform: a key that holds no number reads as 0
    return (int)std::clamp<long long>(value, INT_MIN, INT_MAX);
}

void ReadText(LPCTSTR section, LPCTSTR key, LPCTSTR fallback, wchar_t* field, DWORD capacity, const CString& path)
{
    // Read whole, then cut to the field: a value written inside quotes has its quotes taken
    // off by the profile function only when they both fit into the buffer.
    wchar_t text[1024] = L"";
    GetPrivateProfileStringW(section, key, fallback, text, _countof(text), path);
    lstrcpynW(field, text, (int)capacity);
}

COLORREF ReadColour(LPCTSTR key, LPCTSTR fallback, const CString& path)
{
    wchar_t text[16] = L"";
    ReadText(L"Param", key, fallback, text, 16, path);
    return ParseColourString(text);
}

bool IsQuote(wchar_t c) { return c == L'"' || c == L'\''; }

// Every value goes into the file through here. Reading takes one pair of enclosing quotes off a
// value and trims the blanks around it: a value that would lose either is written inside one
// more pair of double quotes, so that it reads back exactly as it was. Others are written as
// they are.
void WriteText(LPCTSTR section, LPCTSTR key, const CString& value, const CString& path)
{
    const int length = value.GetLength();
    const bool quoted = length > 0 && IsQuote(value[0]) && value[length - 1] == value[0];
    const bool padded = length > 0 && (iswspace(value[0]) || iswspace(value[length - 1]));
    WritePrivateProfileStringW(section, key, quoted || padded ? L"\"" + value + L"\"" : value, path);
}

void WriteUnsigned(LPCTSTR section, LPCTSTR key, unsigned value, const CString& path)
{
    CString text;
    text.Format(L"%u", value);
    WriteText(section, key, text, path);
}

void WriteSigned(LPCTSTR section, LPCTSTR key, int value, const CString& path)
{
    CString text;
    text.Format(L"%d", value);
    WriteText(section, key, text, path);
}

void WriteColour(LPCTSTR key, COLORREF colour, const CString& path)
{
    CString text;
    text.Format(L"#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    WriteText(L"Param", key, text, path);
}

}  // namespace

unsigned ParseHex(const wchar_t* text)
{
    unsigned value = 0;
    for (; text && *text; ++text) {
        wchar_t c = *text;
        unsigned digit;
        if (c >= L'0' && c <= L'9')
            digit = (unsigned)(c - L'0');
        else if (c >= L'a' && c <= L'f')
            digit = (unsigned)(c - L'a' + 10);
        else if (c >= L'A' && c <= L'F')
            digit = (unsigned)(c - L'A' + 10);
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

COLORREF ParseColourString(CString text)
{
    CString rest = text.Mid(1);
    unsigned red = ParseHex(rest.Left(2)) & 0xFF;
    unsigned green = ParseHex(rest.Mid(2, 2)) & 0xFF;
    unsigned blue = ParseHex(rest.Right(2)) & 0xFF;
    return (COLORREF)(red + green * 256 + blue * 65536);
}

CString RecorderSettings::FilePath()
{
    wchar_t path[MAX_PATH] = L"";
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString folder(path, (int)length);
    return folder.Left(folder.ReverseFind(L'\\')) + L"\\kelvo.ini";
}

void RecorderSettings::Load(const CString& path)
{
    WndPosLeft = ReadInt(L"POS", L"WndPosLeft", 300, path);
    WndPosTop = ReadInt(L"POS", L"WndPosTop", 200, path);
    WndPosEmptyWidth = ReadInt(L"POS", L"WndPosEmptyWidth", 580, path);
    WndPosEmptyHeight = ReadInt(L"POS", L"WndPosEmptyHeight", 380, path);
    // The rate divides the second and the output size scales the picture: keep both usable.
    Rate1 = std::clamp(ReadInt(L"Param", L"Rate1", 15, path), 1, 100);
    Rate2 = ReadInt(L"Param", L"Rate2", 15, path);
    Ratio = std::clamp(ReadInt(L"Param", L"Ratio", 100, path), 1, 100);
    File = ReadInt(L"Param", L"File", 1, path) != 0;
    Notice = ReadInt(L"Param", L"Notice", 1, path) != 0;
    TopWnd = ReadInt(L"Param", L"TopWnd", 1, path) != 0;
    Mouse = ReadInt(L"Param", L"Mouse", 0, path);
    DEFAULT_CAPTION_FONTSIZE = ReadInt(L"Param", L"DEFAULT_CAPTION_FONTSIZE", 16, path);
    DEFAULT_FONTSIZE = ReadInt(L"Param", L"DEFAULT_FONTSIZE", 14, path);
    DEFAULT_FONTBOLD = ReadInt(L"Param", L"DEFAULT_FONTBOLD", 1, path) != 0;
    DEFAULT_FONTITALIC = ReadInt(L"Param", L"DEFAULT_FONTITALIC", 0, path) != 0;
    DEFAULT_FONT_BK_STYLE = ReadInt(L"Param", L"DEFAULT_FONT_BK_STYLE", 2, path);
    EnableLogo = ReadInt(L"Param", L"EnableLogo", 0, path) != 0;
    LogoPos = ReadInt(L"Param", L"LogoPos", 0, path);
    LogoFont = ReadInt(L"Param", L"LogoFont", 14, path);
    LogoBK = ReadInt(L"Param", L"LogoBK", 0, path) != 0;
    LOGO_FONTBOLD = ReadInt(L"Param", L"LOGO_FONTBOLD", 1, path) != 0;
    LOGO_FONTITALIC = ReadInt(L"Param", L"LOGO_FONTITALIC", 0, path) != 0;

    ReadText(L"Param", L"DEFAULT_FONTNAME", L"Verdana", DEFAULT_FONTNAME, _countof(DEFAULT_FONTNAME), path);
    DEFAULT_FONTCOLOR = ReadColour(L"DEFAULT_FONTCOLOR", L"#FFFF00", path);
    DEFAULT_FONT_BK_COLOR = ReadColour(L"DEFAULT_FONT_BK_COLOR", L"#000000", path);
    ReadText(L"Param", L"LogoText", L"", LogoText, _countof(LogoText), path);
    LogoColor = ReadColour(L"LogoColor", L"#000000", path);
    LogoBKColor = ReadColour(L"LogoBKColor", L"#FFFFFF", path);
}

void RecorderSettings::Save(const CString& path) const
{
    PrepareUnicodeFile(path);
    WriteUnsigned(L"Param", L"Language", (unsigned)Language, path);
    WriteUnsigned(L"Param", L"Rate1", (unsigned)Rate1, path);
    WriteUnsigned(L"Param", L"Rate2", (unsigned)Rate2, path);
    WriteUnsigned(L"Param", L"Ratio", (unsigned)Ratio, path);
    WriteUnsigned(L"Param", L"File", File, path);
    WriteUnsigned(L"Param", L"Notice", Notice, path);
    WriteUnsigned(L"Param", L"TopWnd", TopWnd, path);
    WriteUnsigned(L"Param", L"Mouse", (unsigned)Mouse, path);
    WriteUnsigned(L"Param", L"EnableLogo", EnableLogo, path);
    WriteUnsigned(L"Param", L"LogoPos", (unsigned)LogoPos, path);
    WriteUnsigned(L"Param", L"LogoFont", (unsigned)LogoFont, path);
    WriteUnsigned(L"Param", L"LogoBK", LogoBK, path);
    WriteUnsigned(L"Param", L"LOGO_FONTBOLD", LOGO_FONTBOLD, path);
    WriteUnsigned(L"Param", L"LOGO_FONTITALIC", LOGO_FONTITALIC, path);
    WriteSigned(L"POS", L"WndPosLeft", WndPosLeft, path);
    WriteSigned(L"POS", L"WndPosTop", WndPosTop, path);
    WriteUnsigned(L"POS", L"WndPosEmptyWidth", (unsigned)WndPosEmptyWidth, path);
    WriteUnsigned(L"POS", L"WndPosEmptyHeight", (unsigned)WndPosEmptyHeight, path);
    WriteText(L"Param", L"LogoText", CString(LogoText, (int)wcsnlen(LogoText, _countof(LogoText))), path);
    WriteColour(L"LogoColor", LogoColor, path);
    WriteColour(L"LogoBKColor", LogoBKColor, path);
    WriteUnsigned(L"Param", L"DEFAULT_CAPTION_FONTSIZE", (unsigned)DEFAULT_CAPTION_FONTSIZE, path);
    WriteText(L"Param", L"DEFAULT_FONTNAME",
              CString(DEFAULT_FONTNAME, (int)wcsnlen(DEFAULT_FONTNAME, _countof(DEFAULT_FONTNAME))), path);
    WriteUnsigned(L"Param", L"DEFAULT_FONTSIZE", (unsigned)DEFAULT_FONTSIZE, path);
    WriteUnsigned(L"Param", L"DEFAULT_FONTBOLD", DEFAULT_FONTBOLD, path);
    WriteUnsigned(L"Param", L"DEFAULT_FONTITALIC", DEFAULT_FONTITALIC, path);
    WriteColour(L"DEFAULT_FONTCOLOR", DEFAULT_FONTCOLOR, path);
    WriteUnsigned(L"Param", L"DEFAULT_FONT_BK_STYLE", (unsigned)DEFAULT_FONT_BK_STYLE, path);
    WriteColour(L"DEFAULT_FONT_BK_COLOR", DEFAULT_FONT_BK_COLOR, path);
}
