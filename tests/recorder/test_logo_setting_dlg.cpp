// The watermark dialog on its own: what each control stores and what closing keeps, Enter, the
// sample's pixels on the screen at each place, and GDI objects over repeated paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>

#include "recorder/logo_setting_dlg.h"
#include "tests/controls/buttons_test_util.h"
#include "tests/test_pump.h"

namespace {

const int kDependents[] = {IDC_LOGO_TEXT_COLOR, IDC_LOGO_BOX_COLOR, IDC_LOGO_POSITION, IDC_LOGO_TEXT,
                           IDC_LOGO_SIZE,       IDC_LOGO_BOX,       IDC_LOGO_BOLD,     IDC_LOGO_ITALIC};
constexpr COLORREF kBox = RGB(0, 0, 255);
constexpr COLORREF kText = RGB(255, 255, 0);

class LogoDialog : public ::testing::Test {
protected:
    void Open()
    {
        dialog = std::make_unique<CLogoSettingDlg>(settings);
        ASSERT_TRUE(dialog->Create(IDD_LOGO_SETTING));
        dialog->SetWindowPos(&CWnd::wndTop, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        dialog->UpdateWindow();
        Pump(100);  // the pickers' posted reports
    }
    void TearDown() override
    {
        if (dialog && dialog->m_hWnd)
            dialog->DestroyWindow();
    }

    CComboBox& Combo(int id) { return id == IDC_LOGO_SIZE ? dialog->sizeList : dialog->positionList; }
    void Click(int id)
    {
        dialog->GetDlgItem(id)->SendMessage(BM_CLICK);
        Pump(20);
    }
    void Choose(int id, int index)
    {
        Combo(id).SetCurSel(index);
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)Combo(id).m_hWnd);
    }
    // A key as the modal loop delivers it: through the dialog's PreTranslateMessage.
    void PressEnterIn(int id)
    {
        CWnd* control = dialog->GetDlgItem(id);
        control->SetFocus();
        control->PostMessage(WM_KEYDOWN, VK_RETURN, 1);
        control->PostMessage(WM_KEYUP, VK_RETURN, 0xC0000001);
        Pump(50);
    }
    CString Text() const { return CString(settings.LogoText); }

    // The bounds of the sample's pixels close to a colour, in sample coordinates (empty when none),
    // read from the screen.
    CRect ScreenBoundsOf(COLORREF colour)
    {
        CRect sample = dialog->SampleRect();
        dialog->ClientToScreen(&sample);
        CClientDC screen(nullptr);
        CDC copy;
        CBitmap bitmap;
        copy.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, sample.Width(), sample.Height());
        HGDIOBJ old = copy.SelectObject(bitmap.GetSafeHandle());
        copy.BitBlt(0, 0, sample.Width(), sample.Height(), &screen, sample.left, sample.top, SRCCOPY);
        CRect bounds;
        for (int y = 0; y < sample.Height(); ++y) {
            for (int x = 0; x < sample.Width(); ++x) {
                const COLORREF c = copy.GetPixel(x, y);
                if (abs(GetRValue(c) - GetRValue(colour)) + abs(GetGValue(c) - GetGValue(colour)) +
                        abs(GetBValue(c) - GetBValue(colour)) > 24)
                    continue;
                if (bounds.IsRectEmpty())
                    bounds = CRect(x, y, x + 1, y + 1);
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
        }
        copy.SelectObject(old);
        return bounds;
    }
    void Repaint()
    {
        dialog->UpdateWindow();
        Pump(30);
    }

    RecorderSettings settings;
    std::unique_ptr<CLogoSettingDlg> dialog;
};

TEST_F(LogoDialog, ControlsStoreAtOnceAndClosingKeepsWhatTheyCannotShow)
{
    // Values that only a hand-edited file holds: a place the list does not offer and a size
    // that is not in the list.
    settings.EnableLogo = false;
    settings.LogoPos = 7;
    settings.LogoFont = 20;
    settings.LogoColor = RGB(1, 2, 3);
    wcscpy(settings.LogoText, L"旧");
    Open();
    for (int id : kDependents)
        EXPECT_FALSE(dialog->GetDlgItem(id)->IsWindowEnabled()) << id;
    EXPECT_EQ(-1, Combo(IDC_LOGO_POSITION).GetCurSel());
    EXPECT_EQ(4, Combo(IDC_LOGO_POSITION).GetCount());
    EXPECT_EQ(0, Combo(IDC_LOGO_SIZE).GetCurSel());
    EXPECT_EQ(RGB(1, 2, 3), dialog->textPicker.GetColor());

    Click(IDC_LOGO_ENABLE);
    EXPECT_TRUE(settings.EnableLogo);
    for (int id : kDependents)
        EXPECT_TRUE(dialog->GetDlgItem(id)->IsWindowEnabled()) << id;

    // Enter in the text edit stores the text trimmed and leaves the dialog open; format
    // characters stay as typed.
    dialog->SetDlgItemText(IDC_LOGO_TEXT, L"  100% %s 水印\t ");
    PressEnterIn(IDC_LOGO_TEXT);
    EXPECT_STREQ(L"100% %s 水印", Text());
    EXPECT_TRUE(dialog->IsWindowVisible());
    // Enter elsewhere does nothing (the focus left the edit first, which stored it).
    PressEnterIn(IDC_LOGO_SIZE);
    dialog->SetDlgItemText(IDC_LOGO_TEXT, L"其他");
    PressEnterIn(IDC_LOGO_SIZE);
    EXPECT_STREQ(L"100% %s 水印", Text());
    EXPECT_TRUE(dialog->IsWindowVisible());

    // 35 characters keep 30; a surrogate pair across the limit goes whole.
    dialog->SetDlgItemText(IDC_LOGO_TEXT, L"abcdefghijklmnopqrstuvwxyz0123456789");
    PressEnterIn(IDC_LOGO_TEXT);
    EXPECT_STREQ(L"abcdefghijklmnopqrstuvwxyz0123", Text());
    dialog->SetDlgItemText(IDC_LOGO_TEXT, L"abcdefghijklmnopqrstuvwxyz012\U0001F600z");
    PressEnterIn(IDC_LOGO_TEXT);
    EXPECT_STREQ(L"abcdefghijklmnopqrstuvwxyz012", Text());
    EXPECT_STREQ(L"\U0001F600", CLogoSettingDlg::WatermarkTextFrom(L" \U0001F600 "));

    Choose(IDC_LOGO_SIZE, 3);
    EXPECT_EQ(14, settings.LogoFont);
    Click(IDC_LOGO_BOLD);
    EXPECT_FALSE(settings.LOGO_FONTBOLD);
    Click(IDC_LOGO_ITALIC);
    EXPECT_TRUE(settings.LOGO_FONTITALIC);
    Click(IDC_LOGO_BOX);
    EXPECT_TRUE(settings.LogoBK);

    // Closing with the caption's button stores every control again; the place that the list
    // could not show stays as it was (never -1).
    dialog->SendMessage(WM_CLOSE);
    Pump(30);  // the close turns into a posted cancel
    EXPECT_FALSE(dialog->IsWindowVisible());
    EXPECT_EQ(7, settings.LogoPos);
    EXPECT_EQ(14, settings.LogoFont);
    EXPECT_TRUE(settings.EnableLogo);

    // A size that is not in the list opens as "8", which closing then stores.
    dialog->DestroyWindow();
    settings.LogoFont = 20;
    Open();
    dialog->SendMessage(WM_CLOSE);
    EXPECT_EQ(8, settings.LogoFont);
    EXPECT_EQ(7, settings.LogoPos);
}

TEST_F(LogoDialog, SampleShowsTheTextAtItsPlaceAndLeaksNothing)
{
    settings.EnableLogo = true;
    wcscpy(settings.LogoText, L"水印 WM");
    settings.LogoBK = true;
    settings.LogoBKColor = kBox;
    settings.LogoColor = kText;
    settings.LogoPos = 3;
    Open();
    const CRect sample = dialog->SampleRect();
    CRect frame;
    dialog->GetDlgItem(IDC_LOGO_SAMPLE_FRAME)->GetWindowRect(&frame);
    dialog->ScreenToClient(&frame);
    EXPECT_EQ(frame.Size(), sample.Size());
    EXPECT_EQ(frame.right + 22, sample.left);

    // Bottom right: the box reaches the sample's right and bottom edges, with the text inside.
    CRect box = ScreenBoundsOf(kBox);
    ASSERT_FALSE(box.IsRectEmpty());
    EXPECT_EQ(sample.Width(), box.right);
    EXPECT_EQ(sample.Height(), box.bottom);
    EXPECT_GT(box.left, sample.Width() / 2);
    const CRect text = ScreenBoundsOf(kText);
    EXPECT_TRUE(box.PtInRect(text.TopLeft()) && box.PtInRect(CPoint(text.right - 1, text.bottom - 1)));
    // The hatch fills the rest.
    EXPECT_FALSE(ScreenBoundsOf(RGB(191, 191, 191)).IsRectEmpty());

    const struct {
        int index;
        bool right, bottom;
    } places[] = {{0, false, false}, {1, false, true}, {2, true, false}, {3, true, true}};
    for (const auto& place : places) {
        Choose(IDC_LOGO_POSITION, place.index);
        Repaint();
        EXPECT_EQ(place.index, settings.LogoPos);
        box = ScreenBoundsOf(kBox);
        EXPECT_EQ(place.right ? sample.Width() : box.Width(), box.right) << place.index;
        EXPECT_EQ(place.bottom ? sample.Height() : box.Height(), box.bottom) << place.index;
    }

    // A bigger size makes a bigger box.
    const CRect small = ScreenBoundsOf(kBox);
    Choose(IDC_LOGO_SIZE, 5);
    Repaint();
    EXPECT_EQ(18, settings.LogoFont);
    EXPECT_GT(ScreenBoundsOf(kBox).Height(), small.Height());

    // Painting again and again keeps the process's GDI objects flat.
    const int before = LiveGdiObjects();
    for (int i = 0; i < 20; ++i) {
        dialog->InvalidateRect(&sample, FALSE);
        dialog->UpdateWindow();
    }
    EXPECT_EQ(before, LiveGdiObjects());

    // Turned off: the hatch alone, and the other settings keep their values.
    Click(IDC_LOGO_ENABLE);
    Repaint();
    EXPECT_FALSE(settings.EnableLogo);
    EXPECT_TRUE(ScreenBoundsOf(kBox).IsRectEmpty());
    EXPECT_TRUE(ScreenBoundsOf(kText).IsRectEmpty());
    EXPECT_TRUE(settings.LogoBK);
    EXPECT_EQ(kBox, settings.LogoBKColor);
    EXPECT_STREQ(L"水印 WM", CString(settings.LogoText));
}

}  // namespace
