// The colour picker button in a real dialog on the test display, driven by real mouse input:
// the popup's grid, the eyedropper over the screen, the road through the colour dialog, and the
// mouse releases and window destructions that must not be taken for a choice.
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

class StageEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Stage();
        SetForegroundWindow(Stage().m_hWnd);
        Pump(50);
    }
};
const ::testing::Environment* const g_stage = ::testing::AddGlobalTestEnvironment(new StageEnvironment);

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
    using CColorPickerButton::pickCursor;
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
        MoveMouseTo(Outside());
    }

    POINT Outside()
    {
        CPoint p(300, 150);
        dlg.ClientToScreen(&p);
        return p;
    }
    // The centre of a grid cell on the screen.
    POINT CellCentre(int cell)
    {
        CRect client = CColorPaletteWnd::CellRect(cell);
        CPoint p(client.left + 4, client.top + 4);
        picker.palette.ClientToScreen(&p);
        return p;
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

TEST_F(ColorPickerTest, ClickOpensThePopupUnderTheButtonAndAClickOnACellTakesItsColour)
{
    OpenWithClick();
    CRect button, popup;
    picker.GetWindowRect(&button);
    picker.palette.GetWindowRect(&popup);
    EXPECT_EQ(CRect(button.left, button.bottom - 1, button.left + 191, button.bottom + 149), popup);
    EXPECT_EQ(picker.palette.m_hWnd, ::GetCapture());
    EXPECT_EQ(kStart, picker.GetColor());
    EXPECT_TRUE(dlg.clicks.empty());
    // The grid, its lines, and the band whose swatch shows the start colour.
    Canvas shown(189, 148);
    Snapshot(picker.palette, shown);
    for (int cell : {0, 11 * CColorPaletteWnd::kColumns, 25, 227})
        EXPECT_EQ(CColorPaletteWnd::CellColor(cell), shown.At(CColorPaletteWnd::CellRect(cell).left + 4,
                                                               CColorPaletteWnd::CellRect(cell).top + 4)) << cell;
    EXPECT_EQ(RGB(0, 0, 0), shown.At(9, 5));
    EXPECT_EQ(RGB(0, 0, 0), shown.At(50, 19));
    EXPECT_EQ(RGB(192, 192, 192), shown.At(100, 145));
    EXPECT_EQ(kStart, shown.At(20, 133));
    EXPECT_EQ(RGB(0, 0, 0), shown.At(4, 130));  // the swatch's outline

    // Column 7, row 8: red 204, green 0, blue 102 (the grid reads it back from the screen).
    const int cell = 8 * CColorPaletteWnd::kColumns + 7;
    ASSERT_EQ(RGB(204, 0, 102), CColorPaletteWnd::CellColor(cell));
    MoveMouseTo(CellCentre(cell));
    MoveMouseTo(CellCentre(cell));
    Click(CellCentre(cell));
    ASSERT_TRUE(PumpUntil([&] { return !dlg.clicks.empty(); }));
    Pump(30);
    EXPECT_EQ(RGB(204, 0, 102), picker.GetColor());
    ASSERT_EQ(1u, dlg.clicks.size());
    EXPECT_EQ(IDC_P_TEXT, dlg.clicks[0].first);
    EXPECT_EQ((LPARAM)picker.m_hWnd, dlg.clicks[0].second);
    EXPECT_FALSE(picker.paletteOpen);
    EXPECT_FALSE(picker.palette.IsWindow());
    EXPECT_EQ(RGB(204, 0, 102), FaceCentre());

    // The same cell again: nothing changes, so the parent hears nothing.
    Pump(600);  // past the double-click time
    OpenWithClick();
    MoveMouseTo(CellCentre(cell));
    MoveMouseTo(CellCentre(cell));
    Click(CellCentre(cell));
    ASSERT_TRUE(PumpUntil([&] { return !picker.paletteOpen; }));
    Pump(50);
    EXPECT_EQ(RGB(204, 0, 102), picker.GetColor());
    EXPECT_EQ(1u, dlg.clicks.size());
}

TEST_F(ColorPickerTest, PressOnTheButtonDraggedAcrossTheScreenTakesThePixelUnderTheRelease)
{
    CPoint patch = kPatchRect.CenterPoint();
    dlg.ClientToScreen(&patch);
    MoveMouseTo(CentreOf(picker.m_hWnd));
    MouseDown(CentreOf(picker.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return IsOpen(); }));
    MoveMouseTo(Outside());
    MoveMouseTo(patch);
    MoveMouseTo(CPoint(patch.x + 2, patch.y + 1));
    MouseUp(CPoint(patch.x + 2, patch.y + 1));
    ASSERT_TRUE(PumpUntil([&] { return !picker.paletteOpen; }));
    Pump(30);
    EXPECT_EQ(kPatch, picker.GetColor());
    ASSERT_EQ(1u, dlg.clicks.size());
    EXPECT_EQ(IDC_P_TEXT, dlg.clicks[0].first);
}

TEST_F(ColorPickerTest, AMouseReleaseOnTheButtonAloneIsNoChoice)
{
    MoveMouseTo(Outside());
    MouseDown(Outside());
    Pump(30);
    MoveMouseTo(CentreOf(picker.m_hWnd));
    MouseUp(CentreOf(picker.m_hWnd));
    Pump(100);
    EXPECT_EQ(kStart, picker.GetColor());
    EXPECT_TRUE(dlg.clicks.empty());
    EXPECT_FALSE(picker.paletteOpen);
    EXPECT_EQ(kStart, FaceCentre());
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
    ASSERT_EQ(1u, dlg.clicks.size());
    EXPECT_EQ(IDC_P_TEXT, dlg.clicks[0].first);
    ASSERT_EQ(2u, shown.size());
    for (const CHOOSECOLORW& cc : shown) {
        EXPECT_EQ(Stage().m_hWnd, cc.hwndOwner);
        EXPECT_TRUE(cc.Flags & CC_FULLOPEN);
        EXPECT_EQ(CColorDialog::GetSavedCustomColors(), cc.lpCustColors);
    }
}

TEST_F(ColorPickerTest, APopupDestroyedElsewhereLeavesTheButtonClosedAndReady)
{
    OpenWithClick();
    HWND popup = picker.paletteWnd;
    ASSERT_TRUE(popup);
    ::DestroyWindow(popup);
    Pump(30);
    EXPECT_FALSE(picker.paletteOpen);
    EXPECT_EQ(nullptr, picker.paletteWnd);
    Pump(600);
    // It opens again (the window class stays registered) and still works.
    OpenWithClick();
    const int cell = 0;  // white
    MoveMouseTo(CellCentre(cell));
    MoveMouseTo(CellCentre(cell));
    Click(CellCentre(cell));
    ASSERT_TRUE(PumpUntil([&] { return !picker.paletteOpen; }));
    EXPECT_EQ(RGB(255, 255, 255), picker.GetColor());
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
// wider than the picture.
TEST(ColorPickerCursor, MasksOfAnySizeHoldTheSameShape)
{
    for (int size : {24, 32}) {
        HCURSOR cursor = CColorPickerButton::MakePickCursor(size, size);
        ASSERT_TRUE(cursor) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_EQ(0u, info.xHotspot);
        EXPECT_EQ(15u, info.yHotspot);
        ASSERT_TRUE(info.hbmMask);
        // A monochrome cursor: the AND mask above the XOR mask in one bitmap.
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[2];
        } bmi = {};
        bmi.header.biSize = sizeof(bmi.header);
        bmi.header.biWidth = size;
        bmi.header.biHeight = -2 * size;
        bmi.header.biPlanes = 1;
        bmi.header.biBitCount = 1;
        const int stride = (size + 31) / 32 * 4;
        std::vector<BYTE> bits(stride * 2 * size);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(2 * size, GetDIBits(screen, info.hbmMask, 0, 2 * size, bits.data(), (BITMAPINFO*)&bmi, DIB_RGB_COLORS));
        ReleaseDC(nullptr, screen);
        auto row = [&](int y) { return (bits[y * stride] << 8) | bits[y * stride + 1]; };
        EXPECT_EQ(0xFFE0, row(1)) << size;      // AND, row 1
        EXPECT_EQ(0x0FFF, row(14)) << size;
        EXPECT_EQ(0xFFFF, row(20)) << size;     // below the picture: the screen shows through
        EXPECT_EQ(0x000C, row(size + 1)) << size;  // XOR, row 1
        EXPECT_EQ(0x0380, row(size + 8)) << size;
        EXPECT_EQ(0xFF, bits[1 * stride + 2]) << size;  // right of the picture
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DestroyCursor(cursor);
    }
    EXPECT_EQ(nullptr, CColorPickerButton::MakePickCursor(15, 15));
}

}  // namespace
