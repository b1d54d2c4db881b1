#include "recorder/logo_setting_dlg.h"

#include <cwchar>

#include "controls/drop_down_list.h"
#include "res/resource.h"

namespace {

// The size list's items, in points.
const wchar_t* const kSizes[] = {L"8", L"10", L"12", L"14", L"16", L"18"};

// The position list's items, in the order of their values.
const UINT kPlaceNames[CLogoSettingDlg::kPlaceCount] = {IDS_LOGO_TOP_LEFT, IDS_LOGO_BOTTOM_LEFT,
                                                        IDS_LOGO_TOP_RIGHT, IDS_LOGO_BOTTOM_RIGHT};

// The controls that only matter while the watermark is on.
const int kDependents[] = {IDC_LOGO_TEXT_COLOR, IDC_LOGO_BOX_COLOR, IDC_LOGO_POSITION, IDC_LOGO_TEXT,
                           IDC_LOGO_SIZE,       IDC_LOGO_BOX,       IDC_LOGO_BOLD,     IDC_LOGO_ITALIC};

// Selects an object into a DC and puts the previous one back when it goes, so that the object
// can be deleted afterwards on every path.
class ScopedSelect {
public:
    ScopedSelect(CDC& dc, HGDIOBJ object) : dc(dc), previous(object ? dc.SelectObject(object) : nullptr) {}
    ~ScopedSelect()
    {
        if (previous)
            dc.SelectObject(previous);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    bool Ok() const { return previous != nullptr; }

private:
    CDC& dc;
    HGDIOBJ previous;
};

}  // namespace

BEGIN_MESSAGE_MAP(CLogoSettingDlg, CDialog)
    ON_BN_CLICKED(IDC_LOGO_ENABLE, OnEnableLogo)
    ON_WM_CLOSE()
    ON_WM_PAINT()
    ON_CBN_SELCHANGE(IDC_LOGO_POSITION, OnPositionChange)
    ON_BN_CLICKED(IDC_LOGO_TEXT_COLOR, OnTextColour)
    ON_BN_CLICKED(IDC_LOGO_BOX_COLOR, OnBoxColour)
    ON_EN_KILLFOCUS(IDC_LOGO_TEXT, OnTextKillFocus)
    ON_CBN_SELCHANGE(IDC_LOGO_SIZE, OnSizeChange)
    ON_BN_CLICKED(IDC_LOGO_BOX, OnBoxCheck)
    ON_BN_CLICKED(IDC_LOGO_BOLD, OnBoldCheck)
    ON_BN_CLICKED(IDC_LOGO_ITALIC, OnItalicCheck)
END_MESSAGE_MAP()

CLogoSettingDlg::CLogoSettingDlg(RecorderSettings& settings, CWnd* pParent)
    : CDialog(IDD, pParent), settings(settings)
{
    sampleBrush.CreateHatchBrush(HS_DIAGCROSS, RGB(191, 191, 191));
}

void CLogoSettingDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOGO_TEXT_COLOR, textPicker);
    DDX_Control(pDX, IDC_LOGO_BOX_COLOR, boxPicker);
    DDX_Control(pDX, IDC_LOGO_POSITION, positionList);
    DDX_Control(pDX, IDC_LOGO_SIZE, sizeList);
}

BOOL CLogoSettingDlg::OnInitDialog()
{
    fontHelper.ApplyTemplateFont(AfxGetResourceHandle(), m_hWnd, IDD, 96.0);
    CDialog::OnInitDialog();

    // Each picker reports its colour once, and the same colour is stored again.
    textPicker.SetColor(settings.LogoColor, true);
    boxPicker.SetColor(settings.LogoBKColor, true);

    for (UINT name : kPlaceNames)
        positionList.AddString(CString(MAKEINTRESOURCEW(name)));
    // A place that the list does not offer (only from a hand-edited file) shows no selection.
    positionList.SetCurSel(settings.LogoPos >= 0 && settings.LogoPos < kPlaceCount ? settings.LogoPos : -1);

    for (const wchar_t* item : kSizes)
        sizeList.AddString(item);
    CString points;
    points.Format(L"%d", settings.LogoFont);
    if (sizeList.SelectString(0, points) == CB_ERR)
        sizeList.SetCurSel(0);
    FitDropDownList(positionList.m_hWnd);
    FitDropDownList(sizeList.m_hWnd);

    const CString text(settings.LogoText, (int)wcsnlen(settings.LogoText, _countof(settings.LogoText)));
    SetDlgItemText(IDC_LOGO_TEXT, text);
    CheckDlgButton(IDC_LOGO_BOX, settings.LogoBK ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_LOGO_BOLD, settings.LOGO_FONTBOLD ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_LOGO_ITALIC, settings.LOGO_FONTITALIC ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_LOGO_ENABLE, settings.EnableLogo ? BST_CHECKED : BST_UNCHECKED);
    EnableDependents(Checked(IDC_LOGO_ENABLE));
    return TRUE;
}

// There is no OK button, and Enter never closes the dialog.
void CLogoSettingDlg::OnOK() {}

BOOL CLogoSettingDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        // An open drop-down list takes Enter: it closes on the highlighted item, which is then
        // applied like any other choice.
        for (HWND list : {positionList.m_hWnd, sizeList.m_hWnd}) {
            if (list && pMsg->hwnd == list && ::SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0))
                return CDialog::PreTranslateMessage(pMsg);
        }
        const CWnd* focus = CWnd::GetFocus();
        if (focus && focus->m_hWnd == ::GetDlgItem(m_hWnd, IDC_LOGO_TEXT)) {
            StoreText();
            RedrawSample();
        }
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------------------------------------
// The controls

void CLogoSettingDlg::OnEnableLogo()
{
    settings.EnableLogo = Checked(IDC_LOGO_ENABLE);
    EnableDependents(settings.EnableLogo);
    RedrawSample();
}

void CLogoSettingDlg::OnClose()
{
    settings.EnableLogo = Checked(IDC_LOGO_ENABLE);
    settings.LogoBK = Checked(IDC_LOGO_BOX);
    settings.LOGO_FONTBOLD = Checked(IDC_LOGO_BOLD);
    settings.LOGO_FONTITALIC = Checked(IDC_LOGO_ITALIC);
    settings.LogoColor = textPicker.GetColor();
    settings.LogoBKColor = boxPicker.GetColor();
    StorePosition();
    StoreSize();
    StoreText();
    CDialog::OnClose();
}

void CLogoSettingDlg::OnPositionChange()
{
    StorePosition();
    RedrawSample();
}

void CLogoSettingDlg::OnTextColour()
{
    settings.LogoColor = textPicker.GetColor();
    RedrawSample();
}

void CLogoSettingDlg::OnBoxColour()
{
    settings.LogoBKColor = boxPicker.GetColor();
    RedrawSample();
}

void CLogoSettingDlg::OnTextKillFocus()
{
    StoreText();
    RedrawSample();
}

void CLogoSettingDlg::OnSizeChange()
{
    StoreSize();
    RedrawSample();
}

void CLogoSettingDlg::OnBoxCheck()
{
    settings.LogoBK = Checked(IDC_LOGO_BOX);
    RedrawSample();
}

void CLogoSettingDlg::OnBoldCheck()
{
    settings.LOGO_FONTBOLD = Checked(IDC_LOGO_BOLD);
    RedrawSample();
}

void CLogoSettingDlg::OnItalicCheck()
{
    settings.LOGO_FONTITALIC = Checked(IDC_LOGO_ITALIC);
    RedrawSample();
}

CString CLogoSettingDlg::WatermarkTextFrom(CString typed)
{
    typed.Trim();
    int length = typed.GetLength();
    if (length > kMaxTextLength) {
        length = kMaxTextLength;
        // Half a surrogate pair would be a broken character in the file and in the GIF.
        if (IS_HIGH_SURROGATE(typed[length - 1]))
            --length;
        typed = typed.Left(length);
    }
    return typed;
}

void CLogoSettingDlg::StoreText()
{
    CString typed;
    GetDlgItemText(IDC_LOGO_TEXT, typed);
    const CString text = WatermarkTextFrom(typed);
    wmemset(settings.LogoText, 0, _countof(settings.LogoText));
    wmemcpy(settings.LogoText, text, text.GetLength());
}

// No selection keeps the stored place: storing -1 would write "4294967295" to the file.
void CLogoSettingDlg::StorePosition()
{
    const int selected = positionList.GetCurSel();
    if (selected >= 0)
        settings.LogoPos = selected;
}

void CLogoSettingDlg::StoreSize()
{
    const int selected = sizeList.GetCurSel();
    if (selected < 0)
        return;
    CString points;
    sizeList.GetLBText(selected, points);
    settings.LogoFont = _wtoi(points);
}

void CLogoSettingDlg::EnableDependents(bool enable)
{
    for (int id : kDependents)
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(enable);
}

void CLogoSettingDlg::RedrawSample()
{
    const CRect sample = SampleRect();
    InvalidateRect(&sample, FALSE);
}

// ---------------------------------------------------------------------------------------------
// The sample

CRect CLogoSettingDlg::SampleRect() const
{
    CRect frame;
    if (const CWnd* box = GetDlgItem(IDC_LOGO_SAMPLE_FRAME)) {
        box->GetWindowRect(&frame);
        ScreenToClient(&frame);
        frame.OffsetRect(frame.Width() + 22, 0);
    }
    return frame;
}

// The same places as the GIF's watermark, so that the sample shows where the text will go.
CPoint CLogoSettingDlg::SamplePlace(int position, int w, int h, int tw, int th)
{
    switch (position) {
    case 0:
        return CPoint(0, 0);
    case 1:
        return CPoint(0, h - th);
    case 3:
        return CPoint(w - tw, h - th);
    default:
        return CPoint(w - tw, 0);
    }
}

void CLogoSettingDlg::OnPaint()
{
    CPaintDC dc(this);
    const CRect sample = SampleRect();
    const int w = sample.Width(), h = sample.Height();
    if (w <= 0 || h <= 0)
        return;
    // Declared before the DC, so the DC goes first and releases them.
    CBitmap bitmap;
    CDC canvas;
    if (!canvas.CreateCompatibleDC(&dc) || !bitmap.CreateCompatibleBitmap(&dc, w, h))
        return;
    ScopedSelect selected(canvas, bitmap.GetSafeHandle());
    if (!selected.Ok())
        return;
    DrawSample(canvas, w, h);
    dc.BitBlt(sample.left, sample.top, w, h, &canvas, 0, 0, SRCCOPY);
}

void CLogoSettingDlg::DrawSample(CDC& dc, int w, int h)
{
    // The hatch starts at the area's corner, whatever the brush was last used for.
    sampleBrush.UnrealizeObject();
    const CPoint origin = dc.GetViewportOrg();
    dc.SetBrushOrg(origin.x % 8, origin.y % 8);
    dc.FillRect(CRect(0, 0, w, h), &sampleBrush);

    const int length = (int)wcsnlen(settings.LogoText, _countof(settings.LogoText));
    if (!settings.EnableLogo || length == 0)
        return;
    CFont font;
    if (!font.CreateFont(-MulDiv(settings.LogoFont, ScreenDpiY(), 72), 0, 0, 0,
                         settings.LOGO_FONTBOLD ? FW_BOLD : FW_NORMAL, settings.LOGO_FONTITALIC ? 1 : 0, 0, 0,
                         DEFAULT_CHARSET, 0, 0, 0, 0, L"宋体"))
        return;
    ScopedSelect selected(dc, font.GetSafeHandle());
    if (!selected.Ok())
        return;
    dc.SetTextColor(settings.LogoColor);
    dc.SetBkMode(TRANSPARENT);

    CRect box(0, 0, 1000, 1000);
    dc.DrawText(settings.LogoText, length, &box, DT_CALCRECT | DT_NOPREFIX);
    box.OffsetRect(SamplePlace(settings.LogoPos, w, h, box.Width(), box.Height()));
    if (settings.LogoBK)
        dc.FillSolidRect(&box, settings.LogoBKColor);
    dc.DrawText(settings.LogoText, length, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}
