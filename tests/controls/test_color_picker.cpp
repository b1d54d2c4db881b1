// The colour picker button in a real dialog, driven by real mouse input: the popup's grid, the
// eyedropper, the colour dialog, and releases and destructions that must not be taken for a choice.
#include <gtest/gtest.h>

#include <vector>

#include "controls/color_picker_button.h"
#include "framework/color_dialog.h"
#include "tests/controls/buttons_test_util.h"
#include "tests/controls/test_color_picker_ids.h"

using namespace buttons_test;

namespace {

constexpr COLORREF kPatch = RGB(12, 34, 56);
const CRect kPatchRect(400, 200, 460, 250);  // dialog client coordinates

// The pickers' parent: logs the commands it gets and paints a patch of a known colour.
class PickerDialog : public CDialog {
public:
    PickerDialog() { Create(IDD_PICKER_TEST, &Stage()); }
    ~PickerDialog() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
    // (id, lParam) of every BN_CLICKED received.
    std::vector<std::pair<int, LPARAM>> clicks;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
            clicks.emplace_back(LOWORD(wParam), lParam);
        if (message == WM_ERASEBKGND) {
            CRect client;
            GetClientRect(&client);
            HDC dc = (HDC)wParam;
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
            SetBkColor(dc, kPatch);
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &kPatchRect, nullptr, 0, nullptr);
            return TRUE;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

struct Picker : CColorPickerButton {
    using CColorPickerButton::palette;
    using CColorPickerButton::paletteOpen;
    using CColorPickerButton::paletteWnd;
};

class ColorPickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.m_hWnd);
        ASSERT_TRUE(picker.SubclassDlgItem(IDC_P_TEXT, &dlg));
        picker.MoveWindow(20, 20, 40, 20);
        picker.SetColor(kStart, false);
        SetForegroundWindow(Stage().m_hWnd);
        MoveMouseTo(Outside());
        Pump(30);
    }
    void TearDown() override
    {
        CColorDialog::SetTestResponder(nullptr);
        POINT at;  // a button a failed test left down goes up where the pointer is
        ::GetCursorPos(&at);
        MouseUp(at);
    }

    POINT Outside()
    {
        CPoint p(300, 150);
        dlg.ClientToScreen(&p);
        return p;
    }
    // A real click inside a grid cell, the pointer brought over it first.
    void ClickCell(int cell)
    {
        CRect client = CColorPaletteWnd::CellRect(cell);
        CPoint p(client.left + 4, client.top + 4);
        picker.palette.ClientToScreen(&p);
        MoveMouseTo(p);
        MoveMouseTo(p);
        Click(p);
    }
    bool IsOpen() { return picker.paletteOpen && picker.palette.IsWindow() && picker.palette.IsWindowVisible(); }
    // Opens the popup with a real click on the button: it stays open after the release.
    void OpenWithClick()
    {
        Click(CentreOf(picker.m_hWnd));
        ASSERT_TRUE(PumpUntil([&] { return IsOpen(); }));
        Pump(60);
        ASSERT_TRUE(IsOpen());
    }
    COLORREF FaceCentre()
    {
        Canvas face(40, 20);
        Snapshot(picker, face);
        return face.At(15, 10);
    }

    static constexpr COLORREF kStart = RGB(200, 100, 50);
    PickerDialog dlg;
    Picker picker;
};

TEST_F(ColorPickerTest, ClickOpensThePopupAndAClickOnACellTakesItsColour)
{
    OpenWithClick();
    EXPECT_EQ(kStart, picker.GetColor());
    EXPECT_TRUE(dlg.clicks.empty());
    // Column 7, row 8: red 204, green 0, blue 102 (the grid reads it back from the screen).
    const int cell = 8 * CColorPaletteWnd::kColumns + 7;
    ASSERT_EQ(RGB(204, 0, 102), CColorPaletteWnd::CellColor(cell));
    ClickCell(cell);
    ASSERT_TRUE(PumpUntil([&] { return !dlg.clicks.empty(); }));
    Pump(30);
    EXPECT_EQ(RGB(204, 0, 102), picker.GetColor());
    ASSERT_EQ(1u, dlg.clicks.size());
    EXPECT_EQ(IDC_P_TEXT, dlg.clicks[0].first);
    EXPECT_EQ((LPARAM)picker.m_hWnd, dlg.clicks[0].second);
    EXPECT_FALSE(picker.palette.IsWindow());
    EXPECT_EQ(RGB(204, 0, 102), FaceCentre());

    // A popup destroyed by someone else leaves the button closed, and it opens and works again.
    Pump(600);  // past the double-click time
    OpenWithClick();
    ASSERT_TRUE(picker.paletteWnd);
    ::DestroyWindow(picker.paletteWnd);
    Pump(30);
    EXPECT_FALSE(picker.paletteOpen);
    EXPECT_EQ(nullptr, picker.paletteWnd);
    Pump(600);
    OpenWithClick();
    ClickCell(0);  // white
    ASSERT_TRUE(PumpUntil([&] { return !picker.paletteOpen; }));
    EXPECT_EQ(RGB(255, 255, 255), picker.GetColor());
}

TEST_F(ColorPickerTest, PressOnTheButtonDraggedAcrossTheScreenTakesThePixelUnderTheRelease)
{
    // A release on the button alone, the press made elsewhere, is no choice.
    MouseDown(Outside());
    Pump(30);
    MoveMouseTo(CentreOf(picker.m_hWnd));
    MouseUp(CentreOf(picker.m_hWnd));
    Pump(100);
    EXPECT_FALSE(picker.paletteOpen);
    EXPECT_EQ(kStart, FaceCentre());
    Pump(600);

    CPoint patch = kPatchRect.CenterPoint();
    dlg.ClientToScreen(&patch);
    MouseDown(CentreOf(picker.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return IsOpen(); }));
    MoveMouseTo(Outside());
    MoveMouseTo(patch);
    MoveMouseTo(CPoint(patch.x + 2, patch.y + 1));
    MouseUp(CPoint(patch.x + 2, patch.y + 1));
    ASSERT_TRUE(PumpUntil([&] { return !picker.paletteOpen; }));
    Pump(30);
    EXPECT_EQ(kPatch, picker.GetColor());
    EXPECT_EQ(1u, dlg.clicks.size());  // the eyedropper's choice only
}

TEST_F(ColorPickerTest, MoreColoursOpensTheColourDialogOwnedByTheTopLevelWindow)
{
    std::vector<CHOOSECOLORW> shown;
    INT_PTR answer = IDOK;
    CColorDialog::SetTestResponder([&](CColorDialog& dialog) {
        shown.push_back(dialog.m_cc);
        dialog.m_cc.rgbResult = RGB(1, 2, 3);
        return answer;
    });
    for (INT_PTR road : {IDCANCEL, IDOK}) {
        answer = road;
        OpenWithClick();
        CRect more;
        ::GetWindowRect(::GetDlgItem(picker.palette.m_hWnd, CColorPaletteWnd::kMoreButtonId), &more);
        // Over the band first, then onto the button, which the popup lets have the mouse.
        MoveMouseTo(CPoint(more.left - 8, more.top + 4));
        MoveMouseTo(more.CenterPoint());
        MoveMouseTo(CPoint(more.CenterPoint().x + 1, more.CenterPoint().y));
        Click(CPoint(more.CenterPoint().x + 1, more.CenterPoint().y));
        ASSERT_TRUE(PumpUntil([&] { return shown.size() == (road == IDOK ? 2u : 1u); }));
        Pump(50);
        EXPECT_FALSE(picker.paletteOpen);
        EXPECT_FALSE(picker.palette.IsWindow());
        Pump(600);
    }
    EXPECT_EQ(RGB(1, 2, 3), picker.GetColor());
    EXPECT_EQ(1u, dlg.clicks.size());  // the cancelled dialog told the parent nothing
    ASSERT_EQ(2u, shown.size());
    for (const CHOOSECOLORW& cc : shown)
        EXPECT_EQ(Stage().m_hWnd, cc.hwndOwner);
}

TEST_F(ColorPickerTest, DestroyingTheDialogClosesAnOpenPopup)
{
    auto* other = new PickerDialog;
    auto* button = new Picker;
    ASSERT_TRUE(button->SubclassDlgItem(IDC_P_BACK, other));
    ASSERT_TRUE(button->OpenPalette());
    HWND popup = button->paletteWnd;
    ASSERT_TRUE(::IsWindow(popup));
    delete other;
    EXPECT_FALSE(::IsWindow(popup));
    delete button;
    Pump(30);
}

// The eyedropper cursor keeps its shape in masks whose rows are not a whole number of bytes
// wider than the picture: a 24-pixel cursor holds the same masks as a 32-pixel one.
std::vector<DWORD> CursorMasks(int size)
{
    std::vector<DWORD> rows;  // the left 24 pixels of the AND rows, then of the XOR rows
    HCURSOR cursor = CColorPickerButton::MakePickCursor(size, size);
    ICONINFO info = {};
    if (!cursor || !GetIconInfo(cursor, &info))
        return rows;
    // A monochrome cursor: the AND mask above the XOR mask in one bitmap, 4 bytes a row at both sizes.
    std::vector<BYTE> bits(4 * 2 * size);
    if (GetBitmapBits(info.hbmMask, (LONG)bits.size(), bits.data()) == (LONG)bits.size())
        for (int mask : {0, size})
            for (int y = 0; y < 24; ++y) {
                const BYTE* row = &bits[(mask + y) * 4];
                rows.push_back(row[0] << 16 | row[1] << 8 | row[2]);
            }
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DestroyCursor(cursor);
    return rows;
}

TEST(ColorPickerCursor, MasksOfAnySizeHoldTheSameShape)
{
    const std::vector<DWORD> whole = CursorMasks(32);
    ASSERT_EQ(48u, whole.size());
    EXPECT_NE(0xFFFFFFu, whole[1]);  // a picture is there
    EXPECT_EQ(0xFFFFFFu, whole[20]);  // below it the screen shows through
    EXPECT_EQ(whole, CursorMasks(24));
    EXPECT_EQ(nullptr, CColorPickerButton::MakePickCursor(15, 15));
}

}  // namespace
