#include "editor/add_text_dlg.h"

#include <algorithm>

#include "controls/drop_down_list.h"
#include "editor/editor_messages.h"
#include "editor/frame_strip_view.h"
#include "recorder/recorder_dlg.h"
#include "res/editor_ids.h"

namespace {

// The anchored controls, in the order they are recorded and moved. The top row keeps its place;
// the caption row keeps its distance from the bottom; the caption list also stretches with the
// width. The colour-levels button keeps its template place.
enum class Anchor { Top, Bottom, BottomStretch };

const struct {
    int id;
    Anchor anchor;
} kLayout[CAddTextDlg::kLayoutCount] = {
    {IDC_EDIT_SPEED, Anchor::Top},          {IDC_EDIT_REVERSE, Anchor::Top},
    {IDC_EDIT_PREVIEW, Anchor::Top},        {IDC_EDIT_DELETE_RESTORE, Anchor::Top},
    {IDC_EDIT_INSERT_IMAGE, Anchor::Top},   {IDC_EDIT_SLOW_REPLAY, Anchor::Top},
    {IDC_EDIT_ADD_TEXT, Anchor::Bottom},    {IDC_EDIT_DELETE_TEXT, Anchor::Bottom},
    {IDC_EDIT_SEPARATOR_1, Anchor::Bottom}, {IDC_EDIT_SEPARATOR_2, Anchor::Bottom},
    {IDC_EDIT_FONT, Anchor::Bottom},        {IDC_EDIT_FONT_SIZE, Anchor::Bottom},
    {IDC_EDIT_BACK_STYLE, Anchor::Bottom},  {IDC_EDIT_BACK_LABEL, Anchor::Bottom},
    {IDC_EDIT_BOLD, Anchor::Bottom},        {IDC_EDIT_ITALIC, Anchor::Bottom},
    {IDC_EDIT_TEXT_COLOR, Anchor::Bottom},  {IDC_EDIT_BACK_COLOR, Anchor::Bottom},
    {IDC_EDIT_CAPTION_LIST, Anchor::BottomStretch},
};

}  // namespace

IMPLEMENT_DYNAMIC(CAddTextDlg, CDialog)

BEGIN_MESSAGE_MAP(CAddTextDlg, CDialog)
    ON_BN_CLICKED(IDC_EDIT_PREVIEW, OnPreview)
    ON_BN_CLICKED(IDC_EDIT_DELETE_RESTORE, OnDeleteRestore)
    ON_BN_CLICKED(IDC_EDIT_REVERSE, OnReverse)
    ON_BN_CLICKED(IDC_EDIT_SPEED, OnSpeed)
    ON_BN_CLICKED(IDC_EDIT_INSERT_IMAGE, OnInsertImage)
    ON_BN_CLICKED(IDC_EDIT_SLOW_REPLAY, OnSlowReplay)
    ON_BN_CLICKED(IDC_EDIT_COLOR_LEVELS, OnColorLevels)
    ON_WM_TIMER()
    ON_MESSAGE(WM_FRAME_PICKED, OnFramePicked)
    ON_WM_PAINT()
    ON_WM_HSCROLL()
    ON_WM_SIZE()
    ON_WM_SIZING()
    ON_WM_GETMINMAXINFO()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_EDIT_ADD_TEXT, OnAddText)
    ON_BN_CLICKED(IDC_EDIT_DELETE_TEXT, OnDeleteText)
    ON_CBN_SELCHANGE(IDC_EDIT_FONT, OnFontChange)
    ON_CBN_SELCHANGE(IDC_EDIT_FONT_SIZE, OnSizeChange)
    ON_BN_CLICKED(IDC_EDIT_TEXT_COLOR, OnTextColor)
    ON_BN_CLICKED(IDC_EDIT_ITALIC, OnItalic)
    ON_BN_CLICKED(IDC_EDIT_BOLD, OnBold)
    ON_CBN_SELCHANGE(IDC_EDIT_BACK_STYLE, OnBackStyleChange)
    ON_BN_CLICKED(IDC_EDIT_BACK_COLOR, OnBackColor)
    ON_NOTIFY(NM_CLICK, IDC_EDIT_CAPTION_LIST, OnCaptionListClick)
    ON_NOTIFY(NM_RCLICK, IDC_EDIT_CAPTION_LIST, OnCaptionListRClick)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_EDIT_CAPTION_LIST, OnCaptionListChanged)
END_MESSAGE_MAP()

CAddTextDlg::CAddTextDlg(CRecorderDlg& recorder, CWnd* pParent)
    : CDialog(IDD_EDIT_DIALOG, pParent), recorder(recorder)
{
    hatchBrush.CreateHatchBrush(HS_DIAGCROSS, RGB(191, 191, 191));
}

CAddTextDlg::~CAddTextDlg() = default;

void CAddTextDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EDIT_FONT, fontCombo);
    DDX_Control(pDX, IDC_EDIT_TEXT_COLOR, textColorPicker);
    DDX_Control(pDX, IDC_EDIT_CAPTION_LIST, captionList);
    DDX_Control(pDX, IDC_EDIT_CELL_EDIT, cellEdit);
    DDX_Control(pDX, IDC_EDIT_ADD_TEXT, addTextButton);
    DDX_Control(pDX, IDC_EDIT_DELETE_TEXT, deleteTextButton);
    DDX_Control(pDX, IDC_EDIT_BACK_COLOR, backColorPicker);
    DDX_Control(pDX, IDC_EDIT_DELETE_RESTORE, deleteRestoreButton);
    DDX_Control(pDX, IDC_EDIT_PREVIEW, previewButton);
    DDX_Control(pDX, IDC_EDIT_INSERT_IMAGE, insertImageButton);
    DDX_Control(pDX, IDC_EDIT_SLOW_REPLAY, slowReplayButton);
    DDX_Control(pDX, IDC_EDIT_REVERSE, reverseButton);
    DDX_Control(pDX, IDC_EDIT_SPEED, speedButton);
    DDX_Control(pDX, IDC_EDIT_COLOR_LEVELS, colorLevelsButton);
}

BOOL CAddTextDlg::OnInitDialog()
{
    fontHelper.ApplyTemplateFont(AfxGetResourceHandle(), m_hWnd, IDD_EDIT_DIALOG, 96.0);
    CDialog::OnInitDialog();

    const struct {
        CIconButton* button;
        int icon;
        int second;
    } faces[] = {
        {&deleteRestoreButton, IDI_EDIT_DELETE_RESTORE, 0},
        {&insertImageButton, IDI_EDIT_INSERT_IMAGE, 0},
        {&previewButton, IDI_EDIT_PREVIEW, 0},
        {&slowReplayButton, IDI_EDIT_SLOW_REPLAY, IDI_EDIT_SLOW_REPLAY_ON},
        {&reverseButton, IDI_EDIT_REVERSE, 0},
        {&speedButton, IDI_EDIT_SPEED, 0},
        {&colorLevelsButton, IDI_EDIT_COLOR_LEVELS, 0},
    };
    for (const auto& face : faces) {
        face.button->SetIconPair(face.icon, face.second);
        face.button->ShiftColor(CImageButtonBase::ColorBackHover, 30, TRUE);
    }

    CreateStrip();

    addTextButton.SetIconPair(IDI_EDIT_ADD_TEXT, 0);
    addTextButton.ShiftColor(CImageButtonBase::ColorBackHover, 30, TRUE);
    deleteTextButton.SetIconPair(IDI_EDIT_DELETE_TEXT, 0);
    deleteTextButton.ShiftColor(CImageButtonBase::ColorBackHover, 30, TRUE);
    addTextButton.SetTipTextById(IDS_EDIT_ADD_TEXT_TIP);
    deleteTextButton.SetTipTextById(IDS_EDIT_DELETE_TEXT_TIP);
    SetUpCaptionControls();

    LayoutControls(true);
    LayoutControls(false);
    PlaceStripAndPreview();
    // In the dialog font the template can come out smaller than the mouse may make the window,
    // cutting off the caption row's last control: open at least at that size.
    CRect window;
    GetWindowRect(&window);
    if (window.Width() < kMinWidth || window.Height() < kMinHeight)
        SetWindowPos(nullptr, 0, 0, std::max<int>(window.Width(), kMinWidth), std::max<int>(window.Height(), kMinHeight),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (strip)
        strip->Reinitialize();
    return TRUE;
}

void CAddTextDlg::CreateStrip()
{
    // A view deletes itself when its window goes; one whose window was never made is ours.
    auto* view = static_cast<XListView*>(RUNTIME_CLASS(XListView)->CreateObject());
    if (!view)
        return;
    view->SetFrames(&recorder.engine.frames);
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, 0)) {
        if (!view->m_hWnd)
            delete view;
        return;
    }
    strip = view;
    strip->SetColorCount(colorCount);
    const int count = FrameCount();
    for (int n = 1; n <= count; ++n)
        strip->AddFrame(recorder.engine.GetFrame(n));
}

CxImage* CAddTextDlg::FrameImage(int frame) const { return recorder.engine.GetFrameImage(frame); }

int CAddTextDlg::FrameCount() const { return recorder.engine.GetFrameCount(); }

// ---------------------------------------------------------------------------------------------
// Closing

// Enter never closes the dialog.
void CAddTextDlg::OnOK() {}

void CAddTextDlg::OnCancel()
{
    // The focus moves first, so that an open delay edit commits before the strip goes.
    SetFocus();
    if (replaying)
        StopReplay();
    if (strip)
        strip->ClearItems();
    SaveCaptionDefaults();
    EndDialog(IDCANCEL);
}

void CAddTextDlg::OnPreview()
{
    OnCancel();
    previewChosen = true;
}

int RunEditDialog(CRecorderDlg& recorder)
{
    CAddTextDlg dialog(recorder, &recorder);
    dialog.DoModal();
    return dialog.previewChosen ? dialog.colorCount : 0;
}

BOOL CAddTextDlg::PreTranslateMessage(MSG* pMsg) { return CDialog::PreTranslateMessage(pMsg); }

void CAddTextDlg::OnDestroy()
{
    if (replaying)
        StopReplay();
    // The strip's window goes with the dialog, and the view with its window.
    strip = nullptr;
    CDialog::OnDestroy();
}

// ---------------------------------------------------------------------------------------------
// Window and layout

void CAddTextDlg::AnchorControl(int index, const CRect& client, bool record)
{
    CWnd* control = GetDlgItem(kLayout[index].id);
    if (!control)
        return;
    LayoutEntry& entry = layout[index];
    const Anchor anchor = kLayout[index].anchor;
    if (record) {
        CRect rc;
        control->GetWindowRect(&rc);
        ScreenToClient(&rc);
        entry.left = rc.left;
        entry.width = rc.Width();
        entry.height = rc.Height();
        entry.top = rc.top;
        entry.bottomGap = client.bottom - rc.bottom;
        entry.rightGap = client.right - rc.right;
        return;
    }
    CRect place;
    place.left = entry.left;
    place.right = anchor == Anchor::BottomStretch ? client.right - entry.rightGap : entry.left + entry.width;
    if (anchor == Anchor::Top) {
        place.top = entry.top;
        place.bottom = entry.top + entry.height;
    } else {
        place.bottom = client.bottom - entry.bottomGap;
        place.top = place.bottom - entry.height;
    }
    control->MoveWindow(place, FALSE);
}

void CAddTextDlg::LayoutControls(bool record)
{
    CRect client;
    GetClientRect(&client);
    for (int i = 0; i < kLayoutCount; ++i)
        AnchorControl(i, client, record);
    if (record) {
        layoutRecorded = true;
        return;
    }
    // Moved at their fields' height, the lists would open an entry or two tall.
    for (int id : {IDC_EDIT_FONT, IDC_EDIT_FONT_SIZE, IDC_EDIT_BACK_STYLE})
        FitDropDownList(::GetDlgItem(m_hWnd, id));
    Invalidate(TRUE);
    UpdateWindow();
}

void CAddTextDlg::PlaceStripAndPreview()
{
    CWnd* addText = GetDlgItem(IDC_EDIT_ADD_TEXT);
    CWnd* deleteRestore = GetDlgItem(IDC_EDIT_DELETE_RESTORE);
    if (!addText || !deleteRestore)
        return;
    CRect client, add, tool;
    GetClientRect(&client);
    addText->GetWindowRect(&add);
    ScreenToClient(&add);
    deleteRestore->GetWindowRect(&tool);
    ScreenToClient(&tool);
    if (strip) {
        strip->MoveWindow(CRect(client.left, client.top, add.left - 2, client.bottom), TRUE);
        strip->UpdateScrollSizes();
    }
    previewRect = client;
    previewRect.left = add.left - 5;
    previewRect.top = tool.bottom + 2;
    previewRect.bottom = add.top - 5;
}

void CAddTextDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (!layoutRecorded || !GetWindow(GW_CHILD))
        return;
    LayoutControls(false);
    PlaceStripAndPreview();
    if (nType == SIZE_MAXIMIZED)
        InvalidateRect(previewRect, TRUE);
    else if (nType == SIZE_RESTORED)
        Invalidate(TRUE);
}

void CAddTextDlg::OnSizing(UINT fwSide, LPRECT pRect)
{
    CDialog::OnSizing(fwSide, pRect);
    if (pRect->right - pRect->left < kMinWidth) {
        if (fwSide == WMSZ_LEFT || fwSide == WMSZ_TOPLEFT || fwSide == WMSZ_BOTTOMLEFT)
            pRect->left = pRect->right - kMinWidth;
        else
            pRect->right = pRect->left + kMinWidth;
    }
    if (pRect->bottom - pRect->top < kMinHeight) {
        if (fwSide == WMSZ_TOP || fwSide == WMSZ_TOPLEFT || fwSide == WMSZ_TOPRIGHT)
            pRect->top = pRect->bottom - kMinHeight;
        else
            pRect->bottom = pRect->top + kMinHeight;
    }
}

// The platform's limits stay: a maximised window or a size set by a program is not limited.
void CAddTextDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI) { CDialog::OnGetMinMaxInfo(lpMMI); }

void CAddTextDlg::OnLButtonUp(UINT nFlags, CPoint point) { CDialog::OnLButtonUp(nFlags, point); }

void CAddTextDlg::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    InvalidatePicture();
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}
