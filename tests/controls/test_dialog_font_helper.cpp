// Dialog layout at a fixed DPI: template walking on hand-built templates, and a live dialog.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/dialog_font_helper.h"

namespace {

constexpr int IDD_FONT_TEST = 400;

// Builds dialog templates byte by byte.
class TemplateWriter {
public:
    void Word(WORD w) { Append(&w, 2); }
    void Dword(DWORD d) { Append(&d, 4); }
    void Byte(BYTE b) { bytes.push_back(b); }
    void String(const wchar_t* s)
    {
        Append(s, (wcslen(s) + 1) * 2);
    }
    void Ordinal(WORD id)
    {
        Word(0xFFFF);
        Word(id);
    }
    void Align()
    {
        while (bytes.size() % 4)
            bytes.push_back(0);
    }
    size_t Size() const { return bytes.size(); }
    // Copies into 4-aligned storage, as resources are.
    const BYTE* Data()
    {
        aligned.assign((bytes.size() + 3) / 4 + 1, 0);
        memcpy(aligned.data(), bytes.data(), bytes.size());
        return (const BYTE*)aligned.data();
    }

private:
    void Append(const void* p, size_t n)
    {
        const BYTE* b = (const BYTE*)p;
        bytes.insert(bytes.end(), b, b + n);
    }
    std::vector<BYTE> bytes;
    std::vector<DWORD> aligned;
};

// An extended template: menu by ordinal, class by name, a font, and two items with a string
// class plus creation data and an ordinal title.
TEST(TemplateWalk, ExtendedTemplateFieldsAndItems)
{
    TemplateWriter t;
    t.Word(1);
    t.Word(0xFFFF);
    t.Dword(0);                                // help id
    t.Dword(0);                                // extended style
    t.Dword(WS_POPUP | DS_SETFONT);            // style
    t.Word(2);                                 // items
    t.Word(0); t.Word(0); t.Word(258); t.Word(90);
    t.Ordinal(77);                             // menu
    t.String(L"MyClass");
    t.String(L"标题");
    t.Word(9);                                 // point size
    t.Word(700);                               // weight
    t.Byte(1);                                 // italic
    t.Byte(1);                                 // charset
    t.String(L"Verdana");
    t.Align();
    const size_t first = t.Size();
    t.Dword(0); t.Dword(0); t.Dword(WS_CHILD);
    t.Word(5); t.Word(6); t.Word(40); t.Word(14);
    t.Dword(1000);
    t.String(L"Button");
    t.Ordinal(12);                             // title by ordinal
    t.Word(3); t.Byte(1); t.Byte(2); t.Byte(3);  // creation data
    t.Align();
    const size_t second = t.Size();
    t.Dword(0); t.Dword(0); t.Dword(WS_CHILD);
    t.Word(1); t.Word(2); t.Word(3); t.Word(4);
    t.Dword(1001);
    t.Ordinal(0x0081);
    t.String(L"x");
    t.Word(0);

    const BYTE* data = t.Data();
    EXPECT_TRUE(CDialogFontHelper::IsExtendedTemplate(data));
    EXPECT_EQ(2, CDialogFontHelper::GetItemCount(data));
    const BYTE* item = CDialogFontHelper::FirstItem(data);
    EXPECT_EQ(first, (size_t)(item - data));
    item = CDialogFontHelper::NextItem(item, TRUE);
    EXPECT_EQ(second, (size_t)(item - data));
    DWORD id;
    memcpy(&id, item + 20, 4);
    EXPECT_EQ(1001u, id);

    CDialogFontHelper::TemplateFont font;
    CDialogFontHelper::ReadTemplateFont(data, &font);
    EXPECT_EQ(9, font.pointSize);
    EXPECT_EQ(1, font.hasMenu);
    EXPECT_EQ(700, font.weight);
    EXPECT_EQ(1, font.italic);
    EXPECT_STREQ(L"Verdana", font.faceName);
}

TEST(TemplateWalk, StandardTemplateWithoutFontFallsBackToTahoma)
{
    TemplateWriter t;
    t.Dword(WS_POPUP);  // style, no DS_SETFONT
    t.Dword(0);         // extended style
    t.Word(1);          // items
    t.Word(0); t.Word(0); t.Word(100); t.Word(50);
    t.Word(0);          // no menu
    t.Word(0);          // default class
    t.String(L"t");
    t.Align();
    const size_t first = t.Size();

    const BYTE* data = t.Data();
    EXPECT_FALSE(CDialogFontHelper::IsExtendedTemplate(data));
    EXPECT_EQ(1, CDialogFontHelper::GetItemCount(data));
    EXPECT_EQ(first, (size_t)(CDialogFontHelper::FirstItem(data) - data));
    CDialogFontHelper::TemplateFont font;
    CDialogFontHelper::ReadTemplateFont(data, &font);
    EXPECT_EQ(8, font.pointSize);
    EXPECT_EQ(0, font.hasMenu);
    EXPECT_EQ(400, font.weight);
    EXPECT_STREQ(L"Tahoma", font.faceName);
}

TEST(TemplateWalk, StandardItemCreationDataCountsItsOwnWord)
{
    TemplateWriter t;
    t.Dword(WS_CHILD); t.Dword(0);
    t.Word(1); t.Word(2); t.Word(3); t.Word(4);
    t.Word(55);                   // id (16-bit in the standard form)
    t.Ordinal(0x0080);
    t.String(L"ab");
    t.Word(6); t.Word(0xAAAA); t.Word(0xBBBB);  // 6 bytes including the count
    t.Align();
    const size_t next = t.Size();
    const BYTE* data = t.Data();
    EXPECT_EQ(next, (size_t)(CDialogFontHelper::NextItem(data, FALSE) - data));
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct LiveDialog {
    HWND hWnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FONT_TEST), nullptr,
                                   &PlainDialogProc, 0);
    ~LiveDialog() { DestroyWindow(hWnd); }
};

RECT ChildRect(HWND dialog, int id)
{
    RECT rc;
    HWND child = GetDlgItem(dialog, id);
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, dialog, (POINT*)&rc, 2);
    return rc;
}

TEST(LiveLayout, ChildrenLandWhereTheMeasuredBaseUnitsPutThem)
{
    LiveDialog dlg;
    ASSERT_TRUE(dlg.hWnd);
    CDialogFontHelper helper;
    helper.ApplyTemplateFont(GetModuleHandleW(nullptr), dlg.hWnd, IDD_FONT_TEST, 96.0);

    HFONT font = helper.GetFont();
    ASSERT_TRUE(font);
    LOGFONTW lf;
    GetObjectW(font, sizeof(lf), &lf);
    EXPECT_EQ(-11, lf.lfHeight);
    EXPECT_EQ(700, lf.lfWeight);
    EXPECT_EQ((WPARAM)font, (WPARAM)SendMessageW(GetDlgItem(dlg.hWnd, 1001), WM_GETFONT, 0, 0));

    CDialogFontHelper::BaseUnits units;
    HDC dc = GetDC(dlg.hWnd);
    CDialogFontHelper::MeasureBaseUnits(dc, font, &units);
    ReleaseDC(dlg.hWnd, dc);
    ASSERT_GT(units.horizontal, 0);
    ASSERT_GT(units.vertical, 0);
    auto px = [&](int v, bool horizontal) {
        return (int)(v * (horizontal ? units.horizontal / 4.0 : units.vertical / 8.0) + 0.5);
    };

    RECT client;
    GetClientRect(dlg.hWnd, &client);
    EXPECT_EQ(px(258, true), client.right);
    EXPECT_EQ(px(90, false), client.bottom);

    RECT edit = ChildRect(dlg.hWnd, 1001);
    EXPECT_EQ(px(50, true), edit.left);
    EXPECT_EQ(px(7, false), edit.top);
    EXPECT_EQ(px(100, true), edit.right - edit.left);
    EXPECT_EQ(px(12, false), edit.bottom - edit.top);
    RECT ok = ChildRect(dlg.hWnd, IDOK);
    EXPECT_EQ(px(200, true), ok.left);
    EXPECT_EQ(px(70, false), ok.top);
}

TEST(LiveLayout, ApplyingTwiceGivesTheSameLayoutAndFreesTheFirstFont)
{
    LiveDialog dlg;
    CDialogFontHelper helper;
    helper.ApplyTemplateFont(GetModuleHandleW(nullptr), dlg.hWnd, IDD_FONT_TEST, 96.0);
    HFONT first = helper.GetFont();
    RECT window1, edit1 = ChildRect(dlg.hWnd, 1001);
    GetWindowRect(dlg.hWnd, &window1);

    helper.ApplyTemplateFont(GetModuleHandleW(nullptr), dlg.hWnd, IDD_FONT_TEST, 96.0);
    RECT window2, edit2 = ChildRect(dlg.hWnd, 1001);
    GetWindowRect(dlg.hWnd, &window2);
    EXPECT_TRUE(EqualRect(&window1, &window2));
    EXPECT_TRUE(EqualRect(&edit1, &edit2));
    EXPECT_EQ(0u, GetObjectType(first)) << "the first font was not deleted";
}

TEST(LiveLayout, ControlsMadeByCodeBetweenTemplateChildrenAreSkipped)
{
    LiveDialog dlg;
    // A window of our own placed right after the first template child in the z-order.
    HWND extra = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 1, 1, 5, 5, dlg.hWnd, (HMENU)(UINT_PTR)555, nullptr,
                                 nullptr);
    SetWindowPos(extra, GetDlgItem(dlg.hWnd, 1000), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CDialogFontHelper helper;
    helper.ApplyTemplateFont(GetModuleHandleW(nullptr), dlg.hWnd, IDD_FONT_TEST, 96.0);
    RECT rc = ChildRect(dlg.hWnd, 555);
    EXPECT_EQ(1, rc.left);
    EXPECT_EQ(5, rc.right - rc.left);
    // The template children after it are still laid out.
    EXPECT_EQ((WPARAM)helper.GetFont(), (WPARAM)SendMessageW(GetDlgItem(dlg.hWnd, IDOK), WM_GETFONT, 0, 0));
}

TEST(LiveLayout, RestoreGivesBackTheOldFontAndIsSafeAfterTheDialogIsGone)
{
    HFONT original;
    {
        LiveDialog dlg;
        original = (HFONT)SendMessageW(dlg.hWnd, WM_GETFONT, 0, 0);
        CDialogFontHelper helper;
        helper.ApplyTemplateFont(GetModuleHandleW(nullptr), dlg.hWnd, IDD_FONT_TEST, 96.0);
        HFONT created = helper.GetFont();
        helper.RestoreFont();
        EXPECT_EQ((WPARAM)original, (WPARAM)SendMessageW(dlg.hWnd, WM_GETFONT, 0, 0));
        EXPECT_EQ((WPARAM)original, (WPARAM)SendMessageW(GetDlgItem(dlg.hWnd, 1001), WM_GETFONT, 0, 0));
        EXPECT_EQ(0u, GetObjectType(created));
    }
    CDialogFontHelper helper;
    HFONT created;
    {
        LiveDialog dlg;
        helper.ApplyTemplateFont(GetModuleHandleW(nullptr), dlg.hWnd, IDD_FONT_TEST, 96.0);
        created = helper.GetFont();
    }
    helper.RestoreFont();  // the window is gone: only the font is released
    EXPECT_EQ(0u, GetObjectType(created));
}

}  // namespace
