// Image buttons: binding, setters and their error numbers, generated image copies, and drawing
// (by state, slot, placement, colours and frames), checked on exact pixels.
#include <gtest/gtest.h>

#include <string>

#include "controls/hover_button.h"
#include "controls/icon_button.h"
#include "res/image_ids.h"
#include "tests/controls/buttons_test_util.h"

using namespace buttons_test;

namespace {

constexpr COLORREF kKey = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreenIcon = RGB(0, 160, 0);

// Paints the button into a canvas of its own size, as its parent's WM_DRAWITEM would.
void Render(CButton& button, UINT itemState, Canvas& canvas)
{
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = (UINT)button.GetDlgCtrlID();
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = itemState;
    dis.hwndItem = button.m_hWnd;
    dis.hDC = canvas.dc.GetSafeHdc();
    dis.rcItem = RECT{0, 0, canvas.width, canvas.height};
    button.DrawItem(&dis);
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int CountNear(const Canvas& canvas, COLORREF color, int tolerance)
{
    int n = 0;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            n += Near(canvas.At(x, y), color, tolerance);
    return n;
}

HICON LoadTestIcon(int id) { return (HICON)LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0); }
HBITMAP LoadTestBitmap(int id) { return LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)); }

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ previous = dc.SelectObject((HGDIOBJ)bitmap);
    COLORREF c = dc.GetPixel(x, y);
    dc.SelectObject(previous);
    return c;
}

// The icon drawn on white: transparent pixels stay white.
COLORREF IconPixel(HICON icon, int x, int y)
{
    Canvas canvas(16, 16);
    DrawIconEx(canvas.dc.GetSafeHdc(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    return canvas.At(x, y);
}

class ButtonTest : public ::testing::Test {
protected:
    void Bind(CWnd& button, int id, int x = 10, int y = 100, int w = 40, int h = 30)
    {
        ASSERT_TRUE(button.SubclassDlgItem(id, &dlg));
        button.MoveWindow(x, y, w, h);
    }

    TestDialog dlg;
    Probe<CIconButton> push;   // "开始", push button
    Probe<CIconButton> image;  // no caption
};

// ---------------------------------------------------------------------------------------------
// Binding and styles

TEST_F(ButtonTest, BindingMakesTheControlOwnerDrawnAndReadsItsType)
{
    Probe<CIconButton> def, check, ownerDrawn;
    Bind(push, IDC_T_PUSH);
    Bind(def, IDC_T_DEFPUSH);
    Bind(check, IDC_T_CHECK);
    Bind(ownerDrawn, IDC_T_OWNERDRAW);
    for (CWnd* b : {(CWnd*)&push, (CWnd*)&def, (CWnd*)&check})
        EXPECT_EQ((UINT)BS_OWNERDRAW, b->GetStyle() & 0x1F);
    EXPECT_FALSE(push.IsDefault());
    EXPECT_FALSE(push.m_checkBoxMode);
    EXPECT_TRUE(def.IsDefault());
    EXPECT_TRUE(check.m_checkBoxMode);
    // Every type with the value-2 bit counts as a check box, BS_OWNERDRAW included.
    EXPECT_TRUE(ownerDrawn.m_checkBoxMode);
    EXPECT_TRUE(def.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    EXPECT_TRUE(push.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
    EXPECT_FALSE(push.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
}

TEST_F(ButtonTest, SetStyleKeepsOwnerDrawAndFollowsTheDefaultType)
{
    Bind(push, IDC_T_PUSH);
    push.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
    EXPECT_TRUE(push.IsDefault());
    EXPECT_EQ((UINT)BS_OWNERDRAW, push.GetStyle() & 0x1F);
    push.SendMessage(BM_SETSTYLE, BS_CHECKBOX, FALSE);
    EXPECT_TRUE(push.IsDefault());  // other types leave the flag
    push.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
    EXPECT_FALSE(push.IsDefault());
    EXPECT_EQ((UINT)BS_OWNERDRAW, push.GetStyle() & 0x1F);
}

TEST_F(ButtonTest, CheckStateOnlyInCheckBoxMode)
{
    Probe<CIconButton> check;
    Bind(check, IDC_T_CHECK);
    Bind(push, IDC_T_PUSH);
    EXPECT_EQ(0u, push.SetCheck(1));
    EXPECT_EQ(0, push.GetCheck());
    check.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_EQ(1, check.SendMessage(BM_GETCHECK));
    check.SendMessage(BM_SETCHECK, 3);  // any other value unchecks
    EXPECT_EQ(0, check.SendMessage(BM_GETCHECK));
    check.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(1, check.GetCheck());
    check.SetCheck(0);
    EXPECT_EQ(0, check.GetCheck());
}

// ---------------------------------------------------------------------------------------------
// Setters and their error numbers

TEST_F(ButtonTest, SettersReportTheirErrorNumbersAndChangeNothingOnError)
{
    Bind(push, IDC_T_PUSH);
    COLORREF c = 0;
    push.SetColor(CIconButton::ColorBackHover, RGB(1, 2, 3));
    EXPECT_EQ(3u, push.SetColor(6, RGB(9, 9, 9)));
    EXPECT_EQ(3u, push.GetColor(6, &c));
    EXPECT_EQ(3u, push.ShiftColor(6, 10));
    EXPECT_EQ(5u, push.ShiftColor(0, -300));
    EXPECT_EQ(5u, push.ShiftColor(0, 256));
    EXPECT_EQ(0u, push.GetColor(0, &c));
    EXPECT_EQ(RGB(1, 2, 3), c);
    EXPECT_EQ(4u, push.SetAlignment(4));
    EXPECT_EQ(0u, push.SetAlignment(3));
    EXPECT_EQ(6u, push.SetPressedLook(2));
    EXPECT_EQ(0u, push.SetPressedLook(1));
    CClientDC dc(&dlg);
    EXPECT_EQ(5u, push.CaptureParentBackground(&dc));  // not transparent
    push.SetTransparent();
    EXPECT_EQ(5u, push.CaptureParentBackground(nullptr));
    EXPECT_EQ(0u, push.CaptureParentBackground(&dc));
    EXPECT_EQ(1u, push.SetButtonCursor(9999));
    EXPECT_EQ(0u, push.SetButtonCursor(0));
    EXPECT_EQ(1u, push.SetPopupMenu(9999, dlg.m_hWnd));
    EXPECT_EQ(0u, push.SetPopupMenu(0, dlg.m_hWnd));
}

TEST_F(ButtonTest, MissingImageResourcesFailAndLeaveNoImages)
{
    Bind(image, IDC_T_IMAGE);
    ASSERT_EQ(0u, image.SetIconPair(IDI_T_IN));
    EXPECT_EQ(1u, image.SetIconPair(9999));
    EXPECT_FALSE(image.m_icons[0].icon);
    ASSERT_EQ(0u, image.SetBitmapsById(IDB_T_IN, kKey));
    EXPECT_EQ(1u, image.SetBitmapsById(9999, kKey));
    EXPECT_FALSE(image.m_bitmaps[0].bitmap.GetSafeHandle());
    // A null in icon is a request to clear, not a failure.
    ASSERT_EQ(0u, image.SetIconPair(IDI_T_IN));
    EXPECT_EQ(0u, image.SetIconHandles(nullptr));
    EXPECT_FALSE(image.m_icons[0].icon);
}

TEST(ButtonColors, ShiftMovesAllChannelsAsFarAsEachAllows)
{
    EXPECT_EQ(RGB(255, 155, 105), CIconButton::ShiftedColor(RGB(200, 100, 50), 100));
    EXPECT_EQ(RGB(150, 50, 0), CIconButton::ShiftedColor(RGB(200, 100, 50), -100));
    EXPECT_EQ(RGB(255, 255, 255), CIconButton::ShiftedColor(RGB(240, 240, 240), 30));
    EXPECT_EQ(RGB(10, 20, 30), CIconButton::ShiftedColor(RGB(10, 20, 30), 0));
}

TEST_F(ButtonTest, ShiftColorChangesTheStoredColour)
{
    Bind(push, IDC_T_PUSH);
    push.SetColor(0, RGB(240, 240, 240));
    EXPECT_EQ(0u, push.ShiftColor(0, 30));
    COLORREF c = 0;
    push.GetColor(0, &c);
    EXPECT_EQ(RGB(255, 255, 255), c);
}

TEST_F(ButtonTest, SystemColourChangeResetsTheOwnersColours)
{
    Bind(push, IDC_T_PUSH);
    for (BYTE i = 0; i < 6; ++i)
        push.SetColor(i, RGB(76, 164, 127));
    push.SendMessage(WM_SYSCOLORCHANGE);
    COLORREF c = 0;
    push.GetColor(0, &c);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), c);
    push.GetColor(5, &c);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), c);
}

TEST(ButtonColors, GreyLevelAndScaleDown)
{
    EXPECT_EQ(76, CIconButton::GrayLevel(RGB(255, 0, 0)));
    EXPECT_EQ(149, CIconButton::GrayLevel(RGB(0, 255, 0)));
    EXPECT_EQ(29, CIconButton::GrayLevel(RGB(0, 0, 255)));
    EXPECT_EQ(RGB(150, 75, 3), CIconButton::ScaleColorDown(RGB(200, 100, 4), 0.25));
    EXPECT_EQ(RGB(200, 100, 4), CIconButton::ScaleColorDown(RGB(200, 100, 4), 0.0));
    EXPECT_EQ(RGB(200, 100, 4), CIconButton::ScaleColorDown(RGB(200, 100, 4), 1.5));
    EXPECT_EQ(RGB(0, 0, 0), CIconButton::ScaleColorDown(RGB(200, 100, 4), 1.0));
}

TEST_F(ButtonTest, LinkAddressIsCutAt259Characters)
{
    Bind(push, IDC_T_PUSH);
    push.SetLinkAddress(std::wstring(300, L'a').c_str());
    EXPECT_EQ(259u, wcslen(push.m_linkAddress));
    push.SetLinkAddress(nullptr);
    EXPECT_EQ(0u, wcslen(push.m_linkAddress));
}

TEST_F(ButtonTest, FitToImageTakesTheIconsOrTheBitmapsSize)
{
    Bind(image, IDC_T_IMAGE);
    image.SetIconPair(IDI_T_IN);
    image.FitToImage();
    CRect client;
    image.GetClientRect(&client);
    EXPECT_EQ(CSize(16, 16), client.Size());
    image.SetIconsById(IDI_T_IN, 32, 32);
    image.FitToImage();
    image.GetClientRect(&client);
    EXPECT_EQ(CSize(32, 32), client.Size());
    image.SetBitmapsById(IDB_T_IN, kKey);
    image.FitToImage();
    image.GetClientRect(&client);
    EXPECT_EQ(CSize(12, 10), client.Size());
}

// ---------------------------------------------------------------------------------------------
// Generated copies and masks

TEST_F(ButtonTest, GreyAndDarkIconCopiesKeepBlackAndTransparency)
{
    Bind(image, IDC_T_IMAGE);
    ASSERT_EQ(0u, image.SetIconHandles(LoadTestIcon(IDI_T_IN), (HICON)(INT_PTR)CIconButton::kGrayCopy));
    HICON grey = image.m_icons[1].icon.get();
    ASSERT_TRUE(grey);
    EXPECT_EQ(16, image.m_icons[1].width);
    EXPECT_EQ(RGB(255, 255, 255), IconPixel(grey, 3, 1));   // transparent row
    EXPECT_EQ(RGB(76, 76, 76), IconPixel(grey, 3, 8));      // red
    EXPECT_EQ(RGB(0, 0, 0), IconPixel(grey, 9, 8));         // black stays black
    EXPECT_EQ(RGB(29, 29, 29), IconPixel(grey, 13, 8));     // blue

    ASSERT_EQ(0u, image.SetIconHandles(LoadTestIcon(IDI_T_IN), (HICON)(INT_PTR)CIconButton::kDarkCopy));
    HICON dark = image.m_icons[1].icon.get();
    EXPECT_EQ(RGB(255, 255, 255), IconPixel(dark, 3, 1));
    EXPECT_EQ(RGB(191, 0, 0), IconPixel(dark, 3, 8));
    EXPECT_EQ(RGB(0, 0, 0), IconPixel(dark, 9, 8));
    EXPECT_EQ(RGB(0, 0, 191), IconPixel(dark, 13, 8));
    // The in icon itself is untouched.
    EXPECT_EQ(kRed, IconPixel(image.m_icons[0].icon.get(), 3, 8));
}

TEST_F(ButtonTest, BitmapMasksAndCopies)
{
    Bind(image, IDC_T_IMAGE);
    ASSERT_EQ(0u, image.SetBitmapHandles(LoadTestBitmap(IDB_T_IN), kKey, (HBITMAP)(INT_PTR)CIconButton::kGrayCopy));
    const auto& in = image.m_bitmaps[0];
    const auto& out = image.m_bitmaps[1];
    EXPECT_EQ(12, in.width);
    EXPECT_EQ(10, in.height);
    // The mask is 1 exactly on the transparent colour; those pixels of the bitmap are black now.
    EXPECT_EQ(RGB(255, 255, 255), BitmapPixel((HBITMAP)in.mask.GetSafeHandle(), 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), BitmapPixel((HBITMAP)in.mask.GetSafeHandle(), 3, 3));
    EXPECT_EQ(RGB(0, 0, 0), BitmapPixel((HBITMAP)in.bitmap.GetSafeHandle(), 0, 0));
    EXPECT_EQ(RGB(200, 0, 0), BitmapPixel((HBITMAP)in.bitmap.GetSafeHandle(), 3, 3));
    // The grey copy was made before the mask and has the in bitmap's transparent colour.
    EXPECT_EQ(kKey, out.transparent);
    EXPECT_EQ(RGB(59, 59, 59), BitmapPixel((HBITMAP)out.bitmap.GetSafeHandle(), 3, 3));
    EXPECT_EQ(RGB(22, 22, 22), BitmapPixel((HBITMAP)out.bitmap.GetSafeHandle(), 8, 3));
    EXPECT_EQ(RGB(255, 255, 255), BitmapPixel((HBITMAP)out.mask.GetSafeHandle(), 0, 0));

    ASSERT_EQ(0u, image.SetBitmapHandles(LoadTestBitmap(IDB_T_IN), kKey, (HBITMAP)(INT_PTR)CIconButton::kDarkCopy));
    EXPECT_EQ(RGB(150, 0, 0), BitmapPixel((HBITMAP)image.m_bitmaps[1].bitmap.GetSafeHandle(), 3, 3));
}

// ---------------------------------------------------------------------------------------------
// Drawing

TEST_F(ButtonTest, TransparentColourShowsTheButtonsBackground)
{
    Bind(image, IDC_T_IMAGE);
    image.SetColor(CIconButton::ColorBackNormal, RGB(10, 20, 30));
    ASSERT_EQ(0u, image.SetBitmapsById(IDB_T_IN, kKey));
    Canvas canvas(40, 30);
    Render(image, 0, canvas);
    // Centred: the 12 x 10 bitmap's top-left corner is at (14, 10).
    EXPECT_EQ(0, canvas.Count(kKey));
    EXPECT_EQ(RGB(10, 20, 30), canvas.At(14, 10));
    EXPECT_EQ(RGB(10, 20, 30), canvas.At(25, 19));
    EXPECT_EQ(RGB(200, 0, 0), canvas.At(16, 12));
    EXPECT_EQ(RGB(0, 0, 200), canvas.At(23, 17));
    EXPECT_EQ(24, canvas.Count(RGB(200, 0, 0)));
    EXPECT_EQ(24, canvas.Count(RGB(0, 0, 200)));
    EXPECT_EQ(40 * 30 - 48, canvas.Count(RGB(10, 20, 30)));
}

TEST_F(ButtonTest, DisabledBitmapIsDrawnEmbossed)
{
    Bind(image, IDC_T_IMAGE);
    image.SetColor(CIconButton::ColorBackNormal, RGB(10, 20, 30));
    image.SetBitmapsById(IDB_T_IN, kKey);
    Canvas canvas(40, 30);
    Render(image, ODS_DISABLED, canvas);
    EXPECT_EQ(0, canvas.Count(RGB(200, 0, 0)));
    EXPECT_EQ(0, canvas.Count(kKey));
    EXPECT_GT(40 * 30 - canvas.Count(RGB(10, 20, 30)), 0);  // something is drawn
}

TEST_F(ButtonTest, PushButtonShowsTheInImageWhenHoveredOrPressedAndMovesItWhenPressed)
{
    Bind(image, IDC_T_IMAGE);
    ASSERT_EQ(0u, image.SetIconPair(IDI_T_IN, IDI_T_OUT));
    Canvas normal(40, 30), hovered(40, 30), pressed(40, 30), lookOne(40, 30);
    Render(image, 0, normal);
    // Centred 16 x 16 at (12, 7): the out icon (all green).
    EXPECT_EQ(256, normal.Count(kGreenIcon));
    EXPECT_EQ(0, normal.Count(kRed));
    image.m_hover = TRUE;
    Render(image, 0, hovered);
    EXPECT_EQ(0, hovered.Count(kGreenIcon));
    EXPECT_EQ(kRed, hovered.At(12, 11));  // first opaque row of the in icon
    image.m_hover = FALSE;
    Render(image, ODS_SELECTED, pressed);
    EXPECT_EQ(kRed, pressed.At(13, 12));  // moved by (1, 1)
    EXPECT_NE(kRed, pressed.At(12, 12));
    image.SetPressedLook(1);
    Render(image, ODS_SELECTED, lookOne);
    EXPECT_EQ(kRed, lookOne.At(12, 13));  // moved by (0, 2)
    EXPECT_NE(kRed, lookOne.At(12, 12));
}

TEST_F(ButtonTest, CheckedButtonShowsTheInImageInPlaceOnTheHoverColour)
{
    Probe<CIconButton> check;
    Bind(check, IDC_T_CHECK);
    check.SetWindowText(L"");
    check.SetColor(CIconButton::ColorBackHover, RGB(0, 0, 90));
    check.SetColor(CIconButton::ColorBackNormal, RGB(90, 0, 0));
    ASSERT_EQ(0u, check.SetIconPair(IDI_T_IN, IDI_T_OUT));
    Canvas unchecked(40, 30), checked(40, 30);
    Render(check, 0, unchecked);
    EXPECT_EQ(256, unchecked.Count(kGreenIcon));
    EXPECT_EQ(RGB(90, 0, 0), unchecked.At(5, 5));
    check.SetCheck(1);
    Render(check, 0, checked);
    EXPECT_EQ(kRed, checked.At(12, 11));  // not moved although pressed
    EXPECT_EQ(RGB(0, 0, 90), checked.At(5, 5));
}

TEST_F(ButtonTest, ImagePlacementFollowsTheAlignment)
{
    Bind(push, IDC_T_PUSH);
    ASSERT_EQ(0u, push.SetIconPair(IDI_T_IN));
    struct Case {
        BYTE alignment;
        POINT firstRed;  // the in icon's first opaque red pixel: icon origin + (0, 4)
    } cases[] = {
        {0, {3, 11}},    // left at the margin, centred vertically
        {1, {12, 7}},    // centred horizontally, top at the margin
        {2, {21, 11}},   // right at the margin
        {3, {0, 4}},     // top-left corner
    };
    for (const Case& c : cases) {
        push.SetAlignment(c.alignment);
        Canvas canvas(40, 30);
        Render(push, 0, canvas);
        EXPECT_EQ(kRed, canvas.At(c.firstRed.x, c.firstRed.y)) << "alignment " << (int)c.alignment;
        EXPECT_NE(kRed, canvas.At(c.firstRed.x - 1, c.firstRed.y)) << "alignment " << (int)c.alignment;
        EXPECT_NE(kRed, canvas.At(c.firstRed.x, c.firstRed.y - 1)) << "alignment " << (int)c.alignment;
    }
}

TEST_F(ButtonTest, BackgroundColourFollowsTheState)
{
    Bind(image, IDC_T_IMAGE);
    image.SetColor(CIconButton::ColorBackHover, RGB(0, 0, 90));
    image.SetColor(CIconButton::ColorBackNormal, RGB(90, 0, 0));
    image.SetColor(CIconButton::ColorBackFocus, RGB(0, 90, 0));
    image.SetBorderVisible(FALSE);
    Canvas normal(40, 30), focused(40, 30), pressed(40, 30), hovered(40, 30);
    Render(image, 0, normal);
    Render(image, ODS_FOCUS, focused);
    Render(image, ODS_SELECTED | ODS_FOCUS, pressed);
    image.m_hover = TRUE;
    Render(image, 0, hovered);
    EXPECT_EQ(1200, normal.Count(RGB(90, 0, 0)));
    EXPECT_EQ(1200, focused.Count(RGB(0, 90, 0)));  // flat: no focus rectangle
    EXPECT_EQ(1200, pressed.Count(RGB(0, 0, 90)));
    EXPECT_EQ(1200, hovered.Count(RGB(0, 0, 90)));
}

TEST_F(ButtonTest, FlatFocusRectangleOnlyWhenAsked)
{
    Bind(image, IDC_T_IMAGE);
    image.SetColor(CIconButton::ColorBackFocus, RGB(0, 90, 0));
    image.SetFlatFocusRect(TRUE);
    Canvas canvas(40, 30);
    Render(image, ODS_FOCUS, canvas);
    EXPECT_GT(canvas.width - canvas.Count(RGB(0, 90, 0), RECT{0, 3, 40, 4}), 0);
    EXPECT_EQ(40, canvas.Count(RGB(0, 90, 0), RECT{0, 2, 40, 3}));
    EXPECT_EQ(40, canvas.Count(RGB(0, 90, 0), RECT{0, 1, 40, 2}));
}

TEST_F(ButtonTest, FramesOfTheFlatAndTheRaisedLook)
{
    Bind(image, IDC_T_IMAGE);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    image.SetColor(CIconButton::ColorBackHover, RGB(0, 0, 90));
    image.SetColor(CIconButton::ColorBackNormal, RGB(90, 0, 0));
    Canvas plain(40, 30), hovered(40, 30), pressed(40, 30), borderless(40, 30);
    Render(image, 0, plain);
    EXPECT_EQ(RGB(90, 0, 0), plain.At(0, 0));
    image.m_hover = TRUE;
    Render(image, 0, hovered);
    EXPECT_EQ(highlight, hovered.At(0, 0));
    EXPECT_EQ(shadow, hovered.At(39, 29));
    EXPECT_EQ(RGB(0, 0, 90), hovered.At(1, 1));
    image.m_hover = FALSE;
    Render(image, ODS_SELECTED, pressed);
    EXPECT_EQ(shadow, pressed.At(0, 0));
    EXPECT_EQ(highlight, pressed.At(39, 29));
    image.SetBorderVisible(FALSE);
    Render(image, ODS_SELECTED, borderless);
    EXPECT_EQ(RGB(0, 0, 90), borderless.At(0, 0));

    // The raised look: four lines, and a black frame for the default button.
    image.SetFlat(FALSE);
    Canvas raised(40, 30), raisedPressed(40, 30), raisedDefault(40, 30);
    Render(image, 0, raised);
    EXPECT_EQ(highlight, raised.At(0, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), raised.At(1, 1));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), raised.At(39, 29));
    EXPECT_EQ(shadow, raised.At(38, 28));
    Render(image, ODS_SELECTED, raisedPressed);
    EXPECT_EQ(shadow, raisedPressed.At(0, 0));
    EXPECT_EQ(shadow, raisedPressed.At(39, 29));
    image.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
    Render(image, 0, raisedDefault);
    EXPECT_EQ(RGB(0, 0, 0), raisedDefault.At(0, 0));
    EXPECT_EQ(highlight, raisedDefault.At(1, 1));
}

TEST_F(ButtonTest, CaptionColoursFollowTheStateAndDisabledTextIsEngraved)
{
    Bind(push, IDC_T_PUSH, 10, 100, 60, 30);
    push.SetWindowText(L"HHH");
    push.SetColor(CIconButton::ColorTextNormal, RGB(0, 0, 255));
    push.SetColor(CIconButton::ColorTextHover, RGB(255, 0, 0));
    push.SetColor(CIconButton::ColorTextFocus, RGB(255, 0, 255));
    Canvas normal(60, 30), focused(60, 30), hovered(60, 30), disabled(60, 30);
    Render(push, 0, normal);
    Render(push, ODS_FOCUS, focused);
    Render(push, ODS_DISABLED, disabled);
    push.m_hover = TRUE;
    Render(push, 0, hovered);
    EXPECT_GT(CountNear(normal, RGB(0, 0, 255), 40), 3);
    EXPECT_EQ(0, CountNear(normal, RGB(255, 0, 0), 40));
    EXPECT_GT(CountNear(focused, RGB(255, 0, 255), 40), 3);
    EXPECT_GT(CountNear(hovered, RGB(255, 0, 0), 40), 3);
    EXPECT_EQ(0, CountNear(disabled, RGB(0, 0, 255), 40));
    EXPECT_GT(CountNear(disabled, GetSysColor(COLOR_BTNSHADOW), 10), 3);
}

}  // namespace
