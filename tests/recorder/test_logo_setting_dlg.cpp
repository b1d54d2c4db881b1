// The watermark dialog on its own: how the text is cut, what closing keeps, the sample's pixels
// on the screen at each place, and GDI objects over repeated paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>

#include "recorder/logo_setting_dlg.h"
#include "tests/controls/buttons_test_util.h"
#include "tests/test_pump.h"

namespace {

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

TEST_F(LogoDialog, TheTextIsCutWholeAndClosingKeepsWhatTheListsCannotShow)
{
    // Values that only a hand-edited file holds: a place the list does not offer and a size
    // that is not in the list.
    settings.EnableLogo = true;
    settings.LogoPos = 7;
    settings.LogoFont = 20;
    Open();
    // Trimmed, format characters as typed; 35 characters keep 30; a surrogate pair across the
    // limit goes whole.
    dialog->SetDlgItemText(IDC_LOGO_TEXT, L"  100% %s 水印\t ");
    PressEnterIn(IDC_LOGO_TEXT);
    EXPECT_STREQ(L"100% %s 水印", Text());
    dialog->SetDlgItemText(IDC_LOGO_TEXT, L"abcdefghijklmnopqrstuvwxyz0123456789");
    PressEnterIn(IDC_LOGO_TEXT);
    EXPECT_STREQ(L"abcdefghijklmnopqrstuvwxyz0123", Text());
    dialog->SetDlgItemText(IDC_LOGO_TEXT, L"abcdefghijklmnopqrstuvwxyz012\U0001F600z");
    PressEnterIn(IDC_LOGO_TEXT);
    EXPECT_STREQ(L"abcdefghijklmnopqrstuvwxyz012", Text());
    EXPECT_STREQ(L"\U0001F600", CLogoSettingDlg::WatermarkTextFrom(L" \U0001F600 "));

    // Closing with the caption's button stores every control: the place the list could not
    // show stays as it was (never -1), the size not in the list becomes the shown "8".
    dialog->SendMessage(WM_CLOSE);
    Pump(30);  // the close turns into a posted cancel
    EXPECT_FALSE(dialog->IsWindowVisible());
    EXPECT_EQ(7, settings.LogoPos);
    EXPECT_EQ(8, settings.LogoFont);
    EXPECT_STREQ(L"abcdefghijklmnopqrstuvwxyz012", Text());
}

TEST_F(LogoDialog, SampleShowsTheTextAtItsPlaceAndLeaksNothing)
{
    settings.EnableLogo = true;
    wcscpy(settings.LogoText, L"水印 WM");
    settings.LogoBK = true;
    settings.LogoBKColor = kBox;
    settings.LogoColor = kText;
    Open();
    const CRect sample = dialog->SampleRect();
    const struct {
        int index;
        bool right, bottom;
    } places[] = {{0, false, false}, {1, false, true}, {2, true, false}, {3, true, true}};
    for (const auto& place : places) {
        Choose(IDC_LOGO_POSITION, place.index);
        Repaint();
        const CRect box = ScreenBoundsOf(kBox);
        ASSERT_FALSE(box.IsRectEmpty()) << place.index;
        EXPECT_EQ(place.right ? sample.Width() : box.Width(), box.right) << place.index;
        EXPECT_EQ(place.bottom ? sample.Height() : box.Height(), box.bottom) << place.index;
        const CRect text = ScreenBoundsOf(kText);
        EXPECT_TRUE(box.PtInRect(text.TopLeft()) && box.PtInRect(CPoint(text.right - 1, text.bottom - 1)));
    }

    // A bigger size makes a bigger box.
    const CRect small = ScreenBoundsOf(kBox);
    Choose(IDC_LOGO_SIZE, 5);
    Repaint();
    EXPECT_GT(ScreenBoundsOf(kBox).Height(), small.Height());

    // Painting again and again keeps the process's GDI objects flat.
    const int before = LiveGdiObjects();
    for (int i = 0; i < 20; ++i) {
        dialog->InvalidateRect(&sample, FALSE);
        dialog->UpdateWindow();
    }
    EXPECT_EQ(before, LiveGdiObjects());

    // Turned off: the hatch alone.
    dialog->GetDlgItem(IDC_LOGO_ENABLE)->SendMessage(BM_CLICK);
    Repaint();
    EXPECT_TRUE(ScreenBoundsOf(kBox).IsRectEmpty());
    EXPECT_TRUE(ScreenBoundsOf(kText).IsRectEmpty());
    EXPECT_FALSE(ScreenBoundsOf(RGB(191, 191, 191)).IsRectEmpty());
}

}  // namespace
