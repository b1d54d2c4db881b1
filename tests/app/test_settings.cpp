// The settings file: defaults, the file written on close, colours, Chinese text, hostile values.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/recorder_app.h"

namespace {

struct Entry {
    std::wstring section, key, value;
    bool operator==(const Entry& o) const { return section == o.section && key == o.key && value == o.value; }
};

std::wstring ReadUtf16File(const CString& path, bool* hadBom)
{
    std::ifstream in((const wchar_t*)path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    *hadBom = bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE;
    if (!*hadBom)
        return L"";
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    memcpy(&text[0], bytes.data() + 2, text.size() * 2);
    return text;
}

std::vector<Entry> ParseIni(const std::wstring& text)
{
    std::vector<Entry> entries;
    std::wstring section;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line[0] == L'[') {
            section = line.substr(1, line.find(L']') - 1);
            continue;
        }
        size_t eq = line.find(L'=');
        entries.push_back({section, line.substr(0, eq), eq == std::wstring::npos ? L"" : line.substr(eq + 1)});
    }
    return entries;
}

void WriteAnsiFile(const CString& path, const std::string& text)
{
    std::ofstream out((const wchar_t*)path, std::ios::binary | std::ios::trunc);
    out << text;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileW(CRecorderApp::SettingsFilePath()); }
    void TearDown() override { DeleteFileW(CRecorderApp::SettingsFilePath()); }
    CRecorderApp app;  // a fresh object: every field at its start value
};

TEST_F(SettingsTest, FirstRunGivesTheMissingKeyDefaults)
{
    app.LoadSettings();
    EXPECT_EQ(15, app.Rate1);
    EXPECT_EQ(100, app.Ratio);
    EXPECT_EQ(0, app.Mouse);
    EXPECT_TRUE(app.TopWnd);
    EXPECT_EQ(300, app.WndPosLeft);
    EXPECT_EQ(200, app.WndPosTop);
    EXPECT_STREQ(L"Verdana", app.DEFAULT_FONTNAME);
    EXPECT_EQ(14, app.DEFAULT_FONTSIZE);
    EXPECT_TRUE(app.DEFAULT_FONTBOLD);
    EXPECT_FALSE(app.DEFAULT_FONTITALIC);
    EXPECT_EQ(RGB(255, 255, 0), app.DEFAULT_FONTCOLOR);
    EXPECT_EQ(RGB(0, 0, 0), app.DEFAULT_FONT_BK_COLOR);
    EXPECT_EQ(2, app.DEFAULT_FONT_BK_STYLE);
    EXPECT_FALSE(app.EnableLogo);
    EXPECT_STREQ(L"", app.LogoText);
    EXPECT_EQ(RGB(255, 255, 255), app.LogoBKColor);
}

TEST_F(SettingsTest, SaveWritesEveryKeyParamFirstInUtf16)
{
    app.LoadSettings();
    app.SaveSettings();
    bool bom = false;
    std::vector<Entry> got = ParseIni(ReadUtf16File(CRecorderApp::SettingsFilePath(), &bom));
    EXPECT_TRUE(bom);
    const std::vector<Entry> expected = {
        {L"Param", L"Language", L"0"},
        {L"Param", L"Rate1", L"15"},
        {L"Param", L"Rate2", L"15"},
        {L"Param", L"Ratio", L"100"},
        {L"Param", L"File", L"1"},
        {L"Param", L"Notice", L"1"},
        {L"Param", L"TopWnd", L"1"},
        {L"Param", L"Mouse", L"0"},
        {L"Param", L"EnableLogo", L"0"},
        {L"Param", L"LogoPos", L"0"},
        {L"Param", L"LogoFont", L"14"},
        {L"Param", L"LogoBK", L"0"},
        {L"Param", L"LOGO_FONTBOLD", L"1"},
        {L"Param", L"LOGO_FONTITALIC", L"0"},
        {L"Param", L"LogoText", L""},
        {L"Param", L"LogoColor", L"#000000"},
        {L"Param", L"LogoBKColor", L"#FFFFFF"},
        {L"Param", L"DEFAULT_CAPTION_FONTSIZE", L"16"},
        {L"Param", L"DEFAULT_FONTNAME", L"Verdana"},
        {L"Param", L"DEFAULT_FONTSIZE", L"14"},
        {L"Param", L"DEFAULT_FONTBOLD", L"1"},
        {L"Param", L"DEFAULT_FONTITALIC", L"0"},
        {L"Param", L"DEFAULT_FONTCOLOR", L"#FFFF00"},
        {L"Param", L"DEFAULT_FONT_BK_STYLE", L"2"},
        {L"Param", L"DEFAULT_FONT_BK_COLOR", L"#000000"},
        {L"POS", L"WndPosLeft", L"300"},
        {L"POS", L"WndPosTop", L"200"},
        {L"POS", L"WndPosEmptyWidth", L"580"},
        {L"POS", L"WndPosEmptyHeight", L"380"},
    };
    ASSERT_EQ(expected.size(), got.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].section, got[i].section) << i;
        EXPECT_EQ(expected[i].key, got[i].key) << i;
        EXPECT_EQ(expected[i].value, got[i].value) << expected[i].key;
    }
}

TEST_F(SettingsTest, ChineseTextAndNegativePositionsSurviveASaveAndLoad)
{
    wcscpy(app.LogoText, L"水印");
    wcscpy(app.DEFAULT_FONTNAME, L"微软雅黑");
    app.WndPosLeft = -3;
    app.WndPosTop = 5;
    app.LogoColor = RGB(0x12, 0xAB, 0x07);
    app.SaveSettings();

    CRecorderApp reloaded;
    reloaded.LoadSettings();
    EXPECT_STREQ(L"水印", reloaded.LogoText);
    EXPECT_STREQ(L"微软雅黑", reloaded.DEFAULT_FONTNAME);
    EXPECT_EQ(-3, reloaded.WndPosLeft);
    EXPECT_EQ(5, reloaded.WndPosTop);
    EXPECT_EQ(RGB(0x12, 0xAB, 0x07), reloaded.LogoColor);
}

TEST_F(SettingsTest, TextsReadBackExactlyAsTypedQuotesAndBlanksIncluded)
{
    // Enclosing quotes and blanks, Chinese, and a quoted name as long as the font field holds.
    const std::wstring longest = L"'" + std::wstring(29, L'f') + L"'";
    for (const wchar_t* text : {L"\"Kelvo 100%\"", L"'x'", L" padded ", L"水印 文字", longest.c_str()}) {
        lstrcpynW(app.LogoText, text, _countof(app.LogoText));
        lstrcpynW(app.DEFAULT_FONTNAME, text, _countof(app.DEFAULT_FONTNAME));
        app.SaveSettings();
        CRecorderApp reloaded;
        reloaded.LoadSettings();
        EXPECT_STREQ(text, reloaded.LogoText);
        EXPECT_STREQ(text, reloaded.DEFAULT_FONTNAME);
    }

    // A text without enclosing quotes or blanks is written as it is, as before.
    wcscpy(app.LogoText, L"水印 \"Kelvo\" 100%");
    app.SaveSettings();
    bool bom = false;
    const std::vector<Entry> got = ParseIni(ReadUtf16File(CRecorderApp::SettingsFilePath(), &bom));
    EXPECT_NE(got.end(), std::find(got.begin(), got.end(), Entry{L"Param", L"LogoText", L"水印 \"Kelvo\" 100%"}));
}

TEST_F(SettingsTest, AnOldFileInTheCodePageIsKeptAndConverted)
{
    WriteAnsiFile(CRecorderApp::SettingsFilePath(), "[Param]\r\nRate1=25\r\nMouse=3\r\n");
    app.LoadSettings();
    EXPECT_EQ(25, app.Rate1);
    EXPECT_EQ(3, app.Mouse);
    wcscpy(app.LogoText, L"水印");
    app.SaveSettings();
    CRecorderApp reloaded;
    reloaded.LoadSettings();
    EXPECT_EQ(25, reloaded.Rate1);
    EXPECT_STREQ(L"水印", reloaded.LogoText);
}

TEST_F(SettingsTest, HostileValuesAreContained)
{
    std::string longText(300, 'x');
    WriteAnsiFile(CRecorderApp::SettingsFilePath(),
                  "[Param]\r\nRate1=0\r\nRatio=5000\r\nLogoText=" + longText + "\r\nDEFAULT_FONTNAME=" + longText +
                      "\r\nLogoColor=#" + longText + "\r\n");
    app.LoadSettings();
    EXPECT_EQ(1, app.Rate1);
    EXPECT_EQ(100, app.Ratio);
    EXPECT_EQ(32u, wcslen(app.LogoText));
    EXPECT_EQ(31u, wcslen(app.DEFAULT_FONTNAME));

    WriteAnsiFile(CRecorderApp::SettingsFilePath(), "[Param]\r\nRate1=-5\r\nRatio=0\r\n");
    app.LoadSettings();
    EXPECT_EQ(1, app.Rate1);
    EXPECT_EQ(1, app.Ratio);

    WriteAnsiFile(CRecorderApp::SettingsFilePath(), "[Param]\r\nRate1=5000\r\nRatio=-5\r\n");
    app.LoadSettings();
    EXPECT_EQ(100, app.Rate1);
    EXPECT_EQ(1, app.Ratio);
}

TEST(ColourText, ParsesAsTheFileWritesItAndHandlesOddTexts)
{
    EXPECT_EQ(RGB(255, 255, 0), ParseColourString(L"#FFFF00"));
    EXPECT_EQ(RGB(0, 0, 0), ParseColourString(L"#000000"));
    EXPECT_EQ(RGB(255, 255, 255), ParseColourString(L"#FFFFFF"));
    EXPECT_EQ(RGB(0x12, 0xAB, 0xAB), ParseColourString(L"#12AB"));
    // Without the number sign the first digit is lost.
    EXPECT_EQ(RGB(255, 240, 0), ParseColourString(L"FFFF00"));
    EXPECT_EQ(RGB(0, 0, 0), ParseColourString(L""));
    EXPECT_EQ(RGB(0, 0, 0), ParseColourString(L"#"));
    EXPECT_EQ(RGB(0, 0, 0), ParseColourString(L"#zz"));
}

TEST(ColourText, ParseHexStopsAtTheFirstOtherCharacter)
{
    EXPECT_EQ(0x1Fu, ParseHex(L"1fz9"));
    EXPECT_EQ(0u, ParseHex(L""));
    EXPECT_EQ(0u, ParseHex(L"g1"));
    EXPECT_EQ(0xABCDu, ParseHex(L"aBcD"));
}

TEST(LanguageLibrary, IsLoadedOnlyFromTheProgramsOwnFolder)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    CString folder(exe);
    folder = folder.Left(folder.ReverseFind(L'\\') + 1);
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    CString source = CString(system) + L"\\version.dll";

    // A library of that name in the current folder (not ours) is not taken.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString planted = CString(temp) + L"JPNres.dll";
    ASSERT_TRUE(CopyFileW(source, planted, FALSE));
    wchar_t previousDir[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previousDir);
    SetCurrentDirectoryW(temp);
    CRecorderApp app;
    app.Language = 1;
    app.LoadLanguageDll();
    EXPECT_EQ(nullptr, app.languageLibrary);
    EXPECT_EQ(AfxGetInstanceHandle(), AfxGetResourceHandle());

    CString ours = folder + L"JPNres.dll";
    ASSERT_TRUE(CopyFileW(source, ours, FALSE));
    app.LoadLanguageDll();
    EXPECT_NE(nullptr, app.languageLibrary);
    EXPECT_EQ((HINSTANCE)app.languageLibrary, AfxGetResourceHandle());
    app.ExitInstance();
    EXPECT_EQ(nullptr, app.languageLibrary);
    EXPECT_EQ(AfxGetInstanceHandle(), AfxGetResourceHandle());

    SetCurrentDirectoryW(previousDir);
    DeleteFileW(planted);
    DeleteFileW(ours);
}

}  // namespace
