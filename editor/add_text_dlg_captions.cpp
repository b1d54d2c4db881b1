// The Edit dialog's captions: the style controls, the caption list with its in-place cell
// editing, adding and deleting, picking and dragging in the preview, the drawing of captions
// there, and the caption defaults that the dialog leaves in the settings when it closes.
//
// The captions live in the engine's caption list, which owns them; the list rows and the
// preview only point at them.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <cwctype>

#include "capture/caption_list.h"
#include "editor/add_text_dlg.h"
#include "editor/editor_messages.h"
#include "recorder/recorder_dlg.h"
#include "res/editor_ids.h"
#include "res/resource.h"

namespace {

const wchar_t* const kFontSizes[] = {L"10", L"11", L"12", L"14", L"16", L"18", L"20",
                                     L"22", L"24", L"26", L"28", L"36", L"48", L"72"};
const UINT kBackStyleNames[] = {IDS_EDIT_BACK_NONE, IDS_EDIT_BACK_BOX, IDS_EDIT_BACK_OUTLINE};
constexpr int kBackStyleCount = 3;

enum CaptionColumn { ColumnFirst = 0, ColumnLast, ColumnText, ColumnX, ColumnY, ColumnCount };
const struct {
    UINT heading;
    int width;
} kColumns[ColumnCount] = {
    {IDS_CAPTION_FIRST, 70}, {IDS_CAPTION_LAST, 70}, {IDS_CAPTION_TEXT, 430}, {IDS_CAPTION_X, 80}, {IDS_CAPTION_Y, 80},
};

// The integer that the text's leading digits give (after blanks, with an optional sign), 0 when
// there are none. It saturates instead of overflowing: the result stays within +-limit.
long long LeadingNumber(const wchar_t* text, long long limit)
{
    const wchar_t* p = text;
    while (*p && std::iswspace(*p))
        ++p;
    bool negative = false;
    if (*p == L'-' || *p == L'+')
        negative = *p++ == L'-';
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        value = value * 10 + (*p - L'0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return negative ? -value : value;
}

// Point size of the text, as the size combo gives it.
int ComboNumber(CWnd* combo)
{
    CString text;
    if (combo)
        combo->GetWindowText(text);
    return static_cast<int>(LeadingNumber(text, INT32_MAX));
}

CString Number(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}

int CALLBACK AddFontFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM param)
{
    auto* combo = reinterpret_cast<CComboBox*>(param);
    // TrueType faces only, without the vertical variants; a face comes once per character set.
    if (type == TRUETYPE_FONTTYPE && font->lfFaceName[0] != L'@' &&
        combo->FindStringExact(-1, font->lfFaceName) == CB_ERR)
        combo->AddString(font->lfFaceName);
    return 1;
}

CAddTextDlg* DialogOfList(CListCtrlEx* list)
{
    return list ? dynamic_cast<CAddTextDlg*>(list->GetParent()) : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Setting up

void CAddTextDlg::FillFontCombo()
{
    CDC* dc = GetDC();
    if (!dc)
        return;
    LOGFONTW font = {};
    font.lfCharSet = DEFAULT_CHARSET;
    ::EnumFontFamiliesExW(dc->GetSafeHdc(), &font, AddFontFace, reinterpret_cast<LPARAM>(&fontCombo), 0);
    ReleaseDC(dc);
}

void CAddTextDlg::SetUpCaptionControls()
{
    RecorderSettings& settings = recorder.settings;
    FillFontCombo();
    if (fontCombo.SelectString(0, settings.DEFAULT_FONTNAME) == CB_ERR)
        fontCombo.SetCurSel(0);

    auto* sizes = static_cast<CComboBox*>(GetDlgItem(IDC_EDIT_FONT_SIZE));
    if (sizes) {
        for (const wchar_t* size : kFontSizes)
            sizes->AddString(size);
        if (sizes->SelectString(0, Number(settings.DEFAULT_FONTSIZE)) == CB_ERR)
            sizes->SetCurSel(0);
    }
    CheckDlgButton(IDC_EDIT_BOLD, settings.DEFAULT_FONTBOLD ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_EDIT_ITALIC, settings.DEFAULT_FONTITALIC ? BST_CHECKED : BST_UNCHECKED);
    // With notification: a caption still selected from an earlier opening takes these colours.
    textColorPicker.SetColor(settings.DEFAULT_FONTCOLOR, true);
    backColorPicker.SetColor(settings.DEFAULT_FONT_BK_COLOR, true);

    if (auto* styles = static_cast<CComboBox*>(GetDlgItem(IDC_EDIT_BACK_STYLE))) {
        for (UINT name : kBackStyleNames) {
            CString text;
            text.LoadString(name);
            styles->AddString(text);
        }
        // A stored style the combo does not have shows no selection, and stays stored.
        const int style = settings.DEFAULT_FONT_BK_STYLE;
        styles->SetCurSel(style >= 0 && style < kBackStyleCount ? style : -1);
    }

    captionList.SetExtendedStyle(captionList.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    captionList.SetEditHandlers(&CAddTextDlg::OnBeginCellEdit, &CAddTextDlg::OnEndCellEdit, &cellEdit);
    for (int column = 0; column < ColumnCount; ++column) {
        CString heading;
        heading.LoadString(kColumns[column].heading);
        captionList.InsertColumn(column, heading, LVCFMT_LEFT, kColumns[column].width);
    }
    // Newest first: each caption goes in as the top row.
    POSITION pos = recorder.engine.captions.GetHeadPosition();
    while (pos)
        InsertCaptionRow(GetNextCaption(recorder.engine.captions, pos));
}

void CAddTextDlg::SaveCaptionDefaults()
{
    RecorderSettings& settings = recorder.settings;
    CString face;
    fontCombo.GetWindowText(face);
    const size_t length = std::min<size_t>(static_cast<size_t>(face.GetLength()), kCaptionFaceMax);
    std::fill(std::begin(settings.DEFAULT_FONTNAME), std::end(settings.DEFAULT_FONTNAME), L'\0');
    std::copy_n(static_cast<LPCTSTR>(face), length, settings.DEFAULT_FONTNAME);
    settings.DEFAULT_FONTSIZE = ComboNumber(GetDlgItem(IDC_EDIT_FONT_SIZE));
    settings.DEFAULT_FONTBOLD = IsDlgButtonChecked(IDC_EDIT_BOLD) == BST_CHECKED;
    settings.DEFAULT_FONTITALIC = IsDlgButtonChecked(IDC_EDIT_ITALIC) == BST_CHECKED;
    settings.DEFAULT_FONTCOLOR = textColorPicker.GetColor();
    settings.DEFAULT_FONT_BK_COLOR = backColorPicker.GetColor();
    auto* styles = static_cast<CComboBox*>(GetDlgItem(IDC_EDIT_BACK_STYLE));
    const int style = styles ? styles->GetCurSel() : CB_ERR;
    if (style >= 0)
        settings.DEFAULT_FONT_BK_STYLE = style;
}

// ---------------------------------------------------------------------------------------------
// The list rows

void CAddTextDlg::InsertCaptionRow(CaptionItem* caption)
{
    if (!caption)
        return;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 0;
    const CString first = Number(caption->firstFrame);
    item.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(first));
    item.lParam = reinterpret_cast<LPARAM>(caption);
    const int row = captionList.InsertItem(&item);
    if (row < 0)
        return;
    captionList.SetItemText(row, ColumnLast, Number(caption->lastFrame));
    captionList.SetItemText(row, ColumnText, CString(caption->textInfo.text, static_cast<int>(CaptionTextLength(caption->textInfo))));
    captionList.SetItemText(row, ColumnX, Number(caption->x));
    captionList.SetItemText(row, ColumnY, Number(caption->y));
}

int CAddTextDlg::CaptionRow(const CaptionItem* caption) const
{
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(caption);
    return captionList.FindItem(&find, -1);
}

void CAddTextDlg::ShowCaptionPlace(const CaptionItem* caption)
{
    const int row = CaptionRow(caption);
    if (row < 0)
        return;
    captionList.SetItemText(row, ColumnX, Number(caption->x));
    captionList.SetItemText(row, ColumnY, Number(caption->y));
}

void CAddTextDlg::SelectCaptionRow(const CaptionItem* caption)
{
    const int row = CaptionRow(caption);
    if (row >= 0)
        captionList.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// ---------------------------------------------------------------------------------------------
// Adding, deleting, selecting

void CAddTextDlg::OnAddText()
{
    // A cell edit in progress ends on its own caption before the rows shift.
    captionList.EndEdit(TRUE);
    const CxImage* first = FrameImage(1);
    if (!first)
        return;
    CaptionItem* caption = NewCaptionItem();
    if (!caption)
        return;
    srand(static_cast<unsigned>(time(nullptr)));
    caption->x = rand() % 5;
    caption->y = static_cast<int>(first->GetHeight()) - 20 - rand() % 5;
    caption->firstFrame = currentFrame;
    caption->lastFrame = FrameCount();

    LOGFONTW& font = caption->textInfo.lfont;
    CString face;
    fontCombo.GetWindowText(face);
    SetCaptionFaceName(*caption, face);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfHeight = -::MulDiv(ComboNumber(GetDlgItem(IDC_EDIT_FONT_SIZE)), ScreenDpiY(), 72);
    font.lfWeight = IsDlgButtonChecked(IDC_EDIT_BOLD) == BST_CHECKED ? FW_BOLD : FW_NORMAL;
    font.lfItalic = IsDlgButtonChecked(IDC_EDIT_ITALIC) == BST_CHECKED ? 1 : 0;
    caption->textInfo.fcolor = textColorPicker.GetColor();
    caption->textInfo.bcolor = backColorPicker.GetColor();
    CString text;
    text.LoadString(IDS_ENTER_TEXT);
    SetCaptionText(*caption, text);
    auto* styles = static_cast<CComboBox*>(GetDlgItem(IDC_EDIT_BACK_STYLE));
    const int style = styles ? styles->GetCurSel() : CB_ERR;
    caption->style = style >= 0 ? style : CAPTION_STYLE_NONE;
    caption->textInfo.opaque = caption->style == CAPTION_STYLE_BOX ? 1 : 0;

    // The list deletes a record it could not take: then there is no row to point at it.
    if (!AddCaption(recorder.engine.captions, caption))
        return;
    InsertCaptionRow(caption);
    InvalidatePicture();

    // The text cell opens for typing, as a double-click on it would.
    NMITEMACTIVATE activate = {};
    activate.hdr.hwndFrom = captionList.m_hWnd;
    activate.hdr.idFrom = IDC_EDIT_CAPTION_LIST;
    activate.hdr.code = NM_DBLCLK;
    activate.iItem = 0;
    activate.iSubItem = ColumnText;
    SendMessage(WM_NOTIFY, IDC_EDIT_CAPTION_LIST, reinterpret_cast<LPARAM>(&activate));
}

void CAddTextDlg::OnDeleteText()
{
    captionList.EndEdit(TRUE);
    const int row = captionList.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0)
        return;
    auto* caption = reinterpret_cast<CaptionItem*>(captionList.GetItemData(row));
    DeleteCaption(recorder.engine.captions, caption);
    captionList.DeleteItem(row);
    InvalidatePicture();
}

CaptionItem* CAddTextDlg::GetCurrentCaption() const
{
    const CPtrList& captions = recorder.engine.captions;
    POSITION pos = captions.GetHeadPosition();
    while (pos) {
        CaptionItem* caption = GetNextCaption(captions, pos);
        if (caption && caption->selected == 1 && CaptionCoversFrame(*caption, currentFrame))
            return caption;
    }
    return nullptr;
}

void CAddTextDlg::SelectCaption(CaptionItem* caption)
{
    const CPtrList& captions = recorder.engine.captions;
    POSITION pos = captions.GetHeadPosition();
    while (pos) {
        CaptionItem* other = GetNextCaption(captions, pos);
        if (other)
            other->selected = other == caption ? 1 : 0;
    }
    if (!caption)
        return;
    LoadCaptionStyle(caption);
    PostMessage(WM_FRAME_PICKED, 0, caption->firstFrame);
}

void CAddTextDlg::LoadCaptionStyle(const CaptionItem* caption)
{
    const LOGFONTW& font = caption->textInfo.lfont;
    fontCombo.SelectString(0, CString(font.lfFaceName, static_cast<int>(wcsnlen(font.lfFaceName, kCaptionFaceMax))));
    if (auto* sizes = static_cast<CComboBox*>(GetDlgItem(IDC_EDIT_FONT_SIZE))) {
        const int points = static_cast<int>(0.5 - font.lfHeight * 72.0 / ScreenDpiY());
        sizes->SelectString(0, Number(points));
    }
    CheckDlgButton(IDC_EDIT_BOLD, font.lfWeight == FW_BOLD ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_EDIT_ITALIC, font.lfItalic == 1 ? BST_CHECKED : BST_UNCHECKED);
    if (auto* styles = static_cast<CComboBox*>(GetDlgItem(IDC_EDIT_BACK_STYLE)))
        styles->SetCurSel(caption->style >= 0 && caption->style < kBackStyleCount ? caption->style : -1);
    textColorPicker.SetColor(caption->textInfo.fcolor, true);
    backColorPicker.SetColor(caption->textInfo.bcolor, true);
}

void CAddTextDlg::OnCaptionListClick(NMHDR*, LRESULT* pResult)
{
    for (int row = captionList.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = captionList.GetNextItem(row, LVNI_SELECTED))
        SelectCaption(reinterpret_cast<CaptionItem*>(captionList.GetItemData(row)));
    *pResult = 0;
}

void CAddTextDlg::OnCaptionListRClick(NMHDR* pNMHDR, LRESULT* pResult) { OnCaptionListClick(pNMHDR, pResult); }

void CAddTextDlg::OnCaptionListChanged(NMHDR*, LRESULT* pResult) { *pResult = 0; }

// ---------------------------------------------------------------------------------------------
// The style controls: each changes the current caption only

void CAddTextDlg::OnFontChange()
{
    CaptionItem* caption = GetCurrentCaption();
    if (!caption)
        return;
    CString face;
    fontCombo.GetWindowText(face);
    SetCaptionFaceName(*caption, face);
    InvalidatePicture();
}

void CAddTextDlg::OnSizeChange()
{
    CaptionItem* caption = GetCurrentCaption();
    if (!caption)
        return;
    caption->textInfo.lfont.lfHeight = -::MulDiv(ComboNumber(GetDlgItem(IDC_EDIT_FONT_SIZE)), ScreenDpiY(), 72);
    InvalidatePicture();
}

void CAddTextDlg::OnTextColor()
{
    CaptionItem* caption = GetCurrentCaption();
    if (!caption)
        return;
    caption->textInfo.fcolor = textColorPicker.GetColor();
    InvalidatePicture();
}

void CAddTextDlg::OnBackColor()
{
    CaptionItem* caption = GetCurrentCaption();
    if (!caption)
        return;
    caption->textInfo.bcolor = backColorPicker.GetColor();
    InvalidatePicture();
}

void CAddTextDlg::OnItalic()
{
    CaptionItem* caption = GetCurrentCaption();
    if (!caption)
        return;
    caption->textInfo.lfont.lfItalic = IsDlgButtonChecked(IDC_EDIT_ITALIC) == BST_CHECKED ? 1 : 0;
    InvalidatePicture();
}

void CAddTextDlg::OnBold()
{
    CaptionItem* caption = GetCurrentCaption();
    if (!caption)
        return;
    caption->textInfo.lfont.lfWeight = IsDlgButtonChecked(IDC_EDIT_BOLD) == BST_CHECKED ? FW_BOLD : FW_NORMAL;
    InvalidatePicture();
}

void CAddTextDlg::OnBackStyleChange()
{
    CaptionItem* caption = GetCurrentCaption();
    auto* styles = static_cast<CComboBox*>(GetDlgItem(IDC_EDIT_BACK_STYLE));
    if (!caption || !styles || styles->GetCurSel() < 0)
        return;
    caption->style = styles->GetCurSel();
    caption->textInfo.opaque = caption->style == CAPTION_STYLE_BOX ? 1 : 0;
    InvalidatePicture();
}

// ---------------------------------------------------------------------------------------------
// Cell editing

int CAddTextDlg::OnBeginCellEdit(CWnd** editor, int, int column, CString* text, DWORD_PTR, CListCtrlEx*, int)
{
    CWnd* edit = editor ? *editor : nullptr;
    if (!edit || !edit->IsWindow() || column < 0 || column >= ColumnCount)
        return TRUE;
    if (column == ColumnText)
        edit->ModifyStyle(ES_NUMBER, 0);
    else
        edit->ModifyStyle(0, ES_NUMBER);
    edit->SetWindowText(text ? static_cast<LPCTSTR>(*text) : L"");
    edit->SendMessage(EM_SETSEL, 0, -1);
    return TRUE;
}

// Escape ends the edit as focus loss does: whatever was typed is taken (the commit flag is not
// read).
int CAddTextDlg::OnEndCellEdit(CWnd** editor, int, int column, CString* text, DWORD_PTR data, CListCtrlEx* list,
                               int)
{
    auto* caption = reinterpret_cast<CaptionItem*>(data);
    CWnd* edit = editor ? *editor : nullptr;
    if (!caption || !edit || !edit->IsWindow() || !text)
        return FALSE;
    CAddTextDlg* dialog = DialogOfList(list);
    CString typed;
    edit->GetWindowText(typed);
    const long long value = LeadingNumber(typed, INT32_MAX);
    const long long frames = dialog ? dialog->FrameCount() : 0;
    switch (column) {
    case ColumnFirst:
        if (value >= 1 && value <= caption->lastFrame) {
            caption->firstFrame = static_cast<int32_t>(value);
            *text = typed;
        }
        break;
    case ColumnLast:
        if (value >= caption->firstFrame && value >= 0 && value <= frames) {
            caption->lastFrame = static_cast<int32_t>(value);
            *text = typed;
        }
        break;
    case ColumnText:
        if (!typed.IsEmpty()) {
            SetCaptionText(*caption, typed);
            *text = CString(caption->textInfo.text, static_cast<int>(CaptionTextLength(caption->textInfo)));
        }
        break;
    case ColumnX:
    case ColumnY: {
        const auto bounded = static_cast<int32_t>(LeadingNumber(typed, kCaptionCoordMax));
        (column == ColumnX ? caption->x : caption->y) = bounded;
        *text = Number(bounded);
        break;
    }
    default:
        break;
    }
    if (dialog)
        dialog->Invalidate(TRUE);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Picking and dragging in the preview

CPoint CAddTextDlg::PicturePixel(CPoint point) const
{
    return CPoint(static_cast<int>(static_cast<float>(point.x - pictureRect.left) * previewScale),
                  static_cast<int>(static_cast<float>(point.y - pictureRect.top) * previewScale));
}

void CAddTextDlg::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (pictureRect.PtInRect(point)) {
        const CPoint pixel = PicturePixel(point);
        CaptionItem* picked = nullptr;
        const CPtrList& captions = recorder.engine.captions;
        POSITION pos = captions.GetHeadPosition();
        while (pos) {
            CaptionItem* caption = GetNextCaption(captions, pos);
            if (!caption)
                continue;
            const CRect box(caption->x, caption->y - caption->height, caption->x + caption->width, caption->y);
            if (!picked && box.PtInRect(pixel) && CaptionCoversFrame(*caption, currentFrame)) {
                picked = caption;
                caption->selected = 1;
                dragOffset = CPoint(pixel.x - box.left, pixel.y - box.top);
                LoadCaptionStyle(caption);
                SelectCaptionRow(caption);
            } else {
                caption->selected = 0;
            }
        }
        InvalidatePicture();
    }
    CDialog::OnLButtonDown(nFlags, point);
}

void CAddTextDlg::OnMouseMove(UINT nFlags, CPoint point)
{
    CaptionItem* caption = nullptr;
    if ((nFlags & MK_LBUTTON) && pictureRect.PtInRect(point))
        caption = GetCurrentCaption();
    if (caption) {
        const CPoint pixel = PicturePixel(point);
        const long long limit = kCaptionCoordMax;
        caption->x = static_cast<int32_t>(std::clamp<long long>(pixel.x - dragOffset.x, -limit, limit));
        caption->y = static_cast<int32_t>(std::clamp<long long>(pixel.y - dragOffset.y + caption->height, -limit, limit));
        ShowCaptionPlace(caption);
        InvalidatePicture();
    }
    CDialog::OnMouseMove(nFlags, point);
}

// ---------------------------------------------------------------------------------------------
// Drawing in the preview

void CAddTextDlg::DrawCaptions(CDC& dc)
{
    const CPtrList& captions = recorder.engine.captions;
    POSITION pos = captions.GetHeadPosition();
    while (pos) {
        CaptionItem* caption = GetNextCaption(captions, pos);
        if (caption && CaptionCoversFrame(*caption, currentFrame))
            DrawCaption(dc, *caption);
    }
}

void CAddTextDlg::DrawCaption(CDC& dc, CaptionItem& caption)
{
    CXTEXTINFO& info = caption.textInfo;
    const int length = static_cast<int>(CaptionTextLength(info));
    CFont font;
    LOGFONTW logFont = info.lfont;
    logFont.lfFaceName[kCaptionFaceMax] = L'\0';
    font.CreateFontIndirect(&logFont);
    // Drawn in the DC's own font when the caption's cannot be made; selected out again below.
    const HGDIOBJ oldFont = font.GetSafeHandle() ? dc.SelectObject(font.GetSafeHandle()) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(info.fcolor);

    CRect measured(0, 0, 1000, 1000);
    dc.DrawText(info.text, length, &measured, DT_CALCRECT | DT_NOPREFIX);
    caption.width = measured.Width();
    caption.height = measured.Height();
    CRect box = measured;
    box.OffsetRect(caption.x, caption.y - caption.height);

    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (caption.style == CAPTION_STYLE_BOX) {
        dc.FillSolidRect(box, info.bcolor);
    } else if (caption.style == CAPTION_STYLE_OUTLINE) {
        dc.SetTextColor(info.bcolor);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                CRect moved = box;
                moved.OffsetRect(dx, dy);
                dc.DrawText(info.text, length, &moved, format);
            }
    }
    dc.SetTextColor(info.fcolor);
    dc.DrawText(info.text, length, &box, format);
    if (oldFont)
        dc.SelectObject(oldFont);

    if (caption.selected == 1) {
        CPen pen;
        if (pen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_HIGHLIGHT))) {
            const HGDIOBJ oldPen = dc.SelectObject(pen.GetSafeHandle());
            const int left = caption.x - 2, top = caption.y - caption.height - 2;
            const int right = caption.x + caption.width + 2, bottom = caption.y + 2;
            dc.MoveTo(left, top);
            dc.LineTo(left, bottom);
            dc.LineTo(right, bottom);
            dc.LineTo(right, top);
            dc.LineTo(left, top);
            dc.SelectObject(oldPen);
        }
    }
}
