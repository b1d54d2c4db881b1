#include "recorder/recorder_dlg.h"

#include <algorithm>

#include "capture/caption_list.h"
#include "capture/engine_messages.h"
#include "capture/file_util.h"
#include "capture/temp_gif_name.h"
#include "controls/open_address.h"
#include "recorder/blank_notice_dlg.h"
#include "recorder/bottom_dialog.h"
#include "recorder/edge_bars.h"
#include "recorder/editor_runner.h"
#include "recorder/preview_dlg.h"
#include "res/bars_ids.h"
#include "res/image_ids.h"
#include "res/preview_ids.h"
#include "res/resource.h"

namespace {

constexpr int kBarWidth = 20;
constexpr int kStripHeight = 55;
constexpr int kMinimumSize = 60;  // the window's width and the capture height never go below
constexpr int kZone = 3;          // width of the resize zones along the top and the sides

// Colours of the window's own paint.
const COLORREF kTitleTop = RGB(43, 162, 135);
const COLORREF kTitleBottom = RGB(33, 126, 104);
const COLORREF kButtonBandBottom = RGB(227, 227, 227);
const COLORREF kFrameGrey = RGB(128, 128, 128);
const COLORREF kRecordMark = RGB(255, 215, 0);

void VerticalGradient(CDC& dc, const CRect& rect, COLORREF top, COLORREF bottom)
{
    TRIVERTEX vertices[2] = {
        {rect.left, rect.top, (COLOR16)(GetRValue(top) << 8), (COLOR16)(GetGValue(top) << 8),
         (COLOR16)(GetBValue(top) << 8), 0},
        {rect.right, rect.bottom, (COLOR16)(GetRValue(bottom) << 8), (COLOR16)(GetGValue(bottom) << 8),
         (COLOR16)(GetBValue(bottom) << 8), 0},
    };
    GRADIENT_RECT gradient = {0, 1};
    dc.GradientFill(vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_V);
}

}  // namespace

BEGIN_MESSAGE_MAP(CRecorderDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(IDOK, OnEnterKey)
    ON_COMMAND(IDCANCEL, OnCloseButton)
    ON_WM_DESTROY()
    ON_COMMAND(IDC_START_BUTTON, OnStartPause)
    ON_MESSAGE(WM_LAYOUT_PANELS, OnLayoutPanels)
    ON_MESSAGE(WM_FRAME_CAPTURED, OnFrameCaptured)
    ON_MESSAGE(WM_CAPTURE_STOPPED, OnCaptureStopped)
    ON_MESSAGE(WM_GIF_PROGRESS, OnGifProgress)
    ON_MESSAGE(WM_GIF_DONE, OnGifDone)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SIZE()
    ON_COMMAND(IDC_SETTINGS_BUTTON, OnSettingsMenu)
    ON_COMMAND(IDC_MINIMIZE_BUTTON, OnMinimize)
    ON_COMMAND(IDC_PREVIEW_BUTTON, OnPreview)
    ON_COMMAND(IDC_EDIT_BUTTON, OnEdit)
    ON_WM_DROPFILES()
    ON_COMMAND(IDC_TUTORIAL_BUTTON, OnTutorial)
    ON_WM_SYSCOMMAND()
    ON_COMMAND(IDC_STOP_BUTTON, OnStopRecording)
    ON_COMMAND(IDC_SHARE_BUTTON, OnShare)
END_MESSAGE_MAP()

CRecorderDlg::CRecorderDlg(RecorderSettings& settings, CWnd* pParent)
    : CDialog(IDD_RECORDER_DIALOG, pParent), settings(settings), captureRect(0, 0, 310, 250)
{
    icon = AfxGetApp()->LoadIcon(IDI_APP_ICON);
}

CRecorderDlg::~CRecorderDlg() = default;

void CRecorderDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDCANCEL, closeButton);
    DDX_Control(pDX, IDC_MINIMIZE_BUTTON, minimizeButton);
    DDX_Control(pDX, IDC_MAXIMIZE_BUTTON, maximizeButton);
    DDX_Control(pDX, IDC_START_BUTTON, startButton);
    DDX_Control(pDX, IDC_STOP_BUTTON, stopButton);
    DDX_Control(pDX, IDC_EDIT_BUTTON, editButton);
    DDX_Control(pDX, IDC_PREVIEW_BUTTON, previewButton);
    DDX_Control(pDX, IDC_SETTINGS_BUTTON, settingsButton);
    DDX_Control(pDX, IDC_TUTORIAL_BUTTON, tutorialButton);
    DDX_Control(pDX, IDC_SHARE_BUTTON, shareButton);
}

BOOL CRecorderDlg::OnInitDialog()
{
    fontHelper.ApplyTemplateFont(AfxGetResourceHandle(), m_hWnd, IDD_RECORDER_DIALOG, 96.0);
    CDialog::OnInitDialog();

    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);
    ModifyStyle(0, WS_SYSMENU | WS_MINIMIZEBOX);
    CString title;
    title.LoadString(IDS_APP_TITLE);
    SetWindowText(title);

    bottomBar = new CBottomDialog;
    bottomBar->Create(IDD_BOTTOM_DIALOG, this);
    leftBar = new CLeftDialog;
    leftBar->Create(IDD_LEFT_DIALOG, this);
    rightBar = new CRightDialog;
    rightBar->Create(IDD_RIGHT_DIALOG, this);
    preview = new CPreviewDlg;
    preview->Create(IDD_PREVIEW_DIALOG, this);
    notice = new CBlankNoticeDlg;
    notice->Create(IDD_BLANK_NOTICE, this);
    notice->ShowWindow(SW_HIDE);

    closeButton.LoadBitmaps(IDB_CLOSE, IDB_CLOSE_HOVER);
    minimizeButton.LoadBitmaps(IDB_MINIMIZE, IDB_MINIMIZE_HOVER);
    maximizeButton.LoadBitmaps(IDB_MAXIMIZE, IDB_MAXIMIZE);
    const struct {
        CIconButton* button;
        int icon;
    } faces[] = {
        {&startButton, IDI_START_BUTTON},   {&stopButton, IDI_STOP_BUTTON},         {&editButton, IDI_EDIT_BUTTON},
        {&previewButton, IDI_PREVIEW_BUTTON}, {&settingsButton, IDI_SETTINGS_BUTTON}, {&shareButton, IDI_SHARE_BUTTON},
        {&tutorialButton, IDI_TUTORIAL_BUTTON},
    };
    for (const auto& face : faces) {
        face.button->SetIconPair(face.icon, 0);
        face.button->SetTransparent(FALSE);
    }

    settings.Load(RecorderSettings::FilePath());
    captureRect.right = captureRect.left + 620;
    captureRect.bottom = captureRect.top + 380;

    // A saved place partly off the screen is not trusted.
    int left = settings.WndPosLeft, top = settings.WndPosTop;
    if (left < 0 || left > 1000 || top < 0 || top > 700) {
        left = 100;
        top = 100;
    }
    CRect window;
    GetWindowRect(&window);
    MoveWindow(left, top, captureRect.Width(), window.Height());

    PostMessage(WM_SIZE, 0, 0);
    PostMessage(WM_LAYOUT_PANELS, 0, 0);
    if (settings.TopWnd)
        SetTopmost(true);

    engine.SetNotifyWindow(m_hWnd);
    if (!engine.StartRecorderThread())
        AfxMessageBox(IDS_ENGINE_FAILED, MB_OK | MB_ICONSTOP);
    return TRUE;
}

LRESULT CRecorderDlg::OnLayoutPanels(WPARAM wParam, LPARAM)
{
    if (wParam != 0)
        captureRect.bottom = captureRect.top + (int)wParam;
    CRect window;
    GetWindowRect(&window);
    const int height = captureRect.Height();
    if (leftBar && leftBar->m_hWnd) {
        leftBar->MoveWindow(window.left, window.bottom, kBarWidth, height, TRUE);
        leftBar->ShowWindow(SW_SHOWNORMAL);
    }
    if (rightBar && rightBar->m_hWnd) {
        rightBar->MoveWindow(window.right - kBarWidth, window.bottom, kBarWidth, height, TRUE);
        rightBar->ShowWindow(SW_SHOWNORMAL);
    }
    if (bottomBar && bottomBar->m_hWnd) {
        bottomBar->MoveWindow(window.left, window.bottom + height, window.Width(), kStripHeight, TRUE);
        bottomBar->ShowWindow(SW_SHOWNORMAL);
    }
    captureRect.SetRect(window.left + kBarWidth, window.bottom, window.right - kBarWidth, window.bottom + height);
    return 0;
}

void CRecorderDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (!closeButton.m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    auto widthOf = [](CWnd& button) {
        CRect rc;
        button.GetClientRect(&rc);
        return rc.Width();
    };
    const int close = widthOf(closeButton), maximize = widthOf(maximizeButton), minimize = widthOf(minimizeButton);
    closeButton.MoveWindow(client.Width() - close - 3, 0, close, 20, TRUE);
    maximizeButton.MoveWindow(client.Width() - close - maximize - 4, 0, maximize, 20, TRUE);
    minimizeButton.MoveWindow(client.Width() - close - maximize - minimize - 5, 0, minimize, 20, TRUE);

    CIconButton* row[] = {&startButton,    &stopButton,     &previewButton, &editButton,
                          &settingsButton, &tutorialButton, &shareButton};
    int x = 5;
    for (CIconButton* button : row) {
        const int width = widthOf(*button);
        button->MoveWindow(x, 28, width, 29, TRUE);
        x += width + 1;
    }
    Invalidate();
}

void CRecorderDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
        CRect client;
        GetClientRect(&client);
        const int cxIcon = GetSystemMetrics(SM_CXICON), cyIcon = GetSystemMetrics(SM_CYICON);
        dc.DrawIcon((client.Width() - cxIcon + 1) / 2, (client.Height() - cyIcon + 1) / 2, icon);
        return;
    }
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    VerticalGradient(dc, CRect(0, 0, client.right, 25), kTitleTop, kTitleBottom);
    VerticalGradient(dc, CRect(0, 25, client.right, 60), RGB(255, 255, 255), kButtonBandBottom);
    dc.FillSolidRect(CRect(0, 60, client.right, client.bottom), kFrameGrey);
    dc.FillSolidRect(CRect(0, 25, 5, client.bottom), kTitleBottom);
    dc.FillSolidRect(CRect(client.right - 5, 25, client.right, client.bottom), kTitleBottom);

    CIconButton* buttons[] = {&startButton,    &stopButton,     &editButton, &previewButton,
                              &settingsButton, &tutorialButton, &shareButton};
    for (CIconButton* button : buttons)
        button->SetTransparent(FALSE);

    CFont titleFont;
    titleFont.CreateFont(14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
    CFont* oldFont = dc.SelectObject(&titleFont);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    CRect titleRect(8, 7, 300, 22);
    dc.DrawText(L"Lumisho  GIF制作", titleRect, DT_SINGLELINE | DT_VCENTER);
    dc.SetTextColor(RGB(0, 0, 0));
    CRect recRect = titleRect;
    recRect.OffsetRect(15, 55);
    dc.DrawText(L"REC", recRect, DT_SINGLELINE | DT_VCENTER);

    CFont markFont;
    markFont.CreateFont(11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Verdana");
    dc.SelectObject(&markFont);
    dc.SetTextColor(RGB(255, 255, 255));
    CRect markRect(53, 0, 65, 20);
    dc.DrawText(L"TM", markRect, DT_SINGLELINE | DT_VCENTER);
    dc.SelectObject(oldFont);

    if (recBlink && state == RecorderRecording) {
        dc.FillSolidRect(CRect(15, client.bottom - 5, 40, client.bottom), kRecordMark);
        dc.FillSolidRect(CRect(client.right - 40, client.bottom - 5, client.right - 15, client.bottom), kRecordMark);
    }
}

HCURSOR CRecorderDlg::OnQueryDragIcon() { return (HCURSOR)icon; }

// Enter does not close the window.
void CRecorderDlg::OnEnterKey() {}

void CRecorderDlg::OnCloseButton() { OnCancel(); }

void CRecorderDlg::OnMinimize() { PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void CRecorderDlg::OnTutorial()
{
    // The tutorial ships beside the program.
    CString page;
    page.LoadString(IDS_TUTORIAL_URL);
    wchar_t exe[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    CString path(exe);
    path = path.Left(path.ReverseFind(L'\\') + 1) + page;
    OpenAddress(path, SW_SHOWMAXIMIZED, m_hWnd);
}

void CRecorderDlg::OnShare()
{
    if (preview)
        preview->ShareToMicroBlog();
}


void CRecorderDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == SC_RESTORE && state == RecorderReady && !editing && preview && !gifPath.IsEmpty() &&
        GetFileAttributesW(gifPath) != INVALID_FILE_ATTRIBUTES)
        preview->ShowWindow(SW_SHOWNORMAL);
    CDialog::OnSysCommand(nID, lParam);
}

// ---------------------------------------------------------------------------------------------
// Moving and resizing by mouse

namespace {

enum class Zone { None, TopLeft, TopRight, Left, Right, Top };

Zone ZoneAt(CPoint point, const CRect& client)
{
    if (point.x < kZone && point.y < kZone)
        return Zone::TopLeft;
    if (point.x >= client.right - kZone && point.y < kZone)
        return Zone::TopRight;
    if (point.x < kZone)
        return Zone::Left;
    if (point.x >= client.right - kZone)
        return Zone::Right;
    if (point.y < kZone)
        return Zone::Top;
    return Zone::None;
}

LPCWSTR ZoneCursor(Zone zone)
{
    switch (zone) {
    case Zone::TopLeft: return IDC_SIZENWSE;
    case Zone::TopRight: return IDC_SIZENESW;
    case Zone::Left:
    case Zone::Right: return IDC_SIZEWE;
    case Zone::Top: return IDC_SIZENS;
    default: return IDC_ARROW;
    }
}

}  // namespace

void CRecorderDlg::OnLButtonDown(UINT nFlags, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    const Zone zone = ZoneAt(point, client);
    dragTopLeft = zone == Zone::TopLeft;
    dragTopRight = zone == Zone::TopRight;
    dragLeft = zone == Zone::Left;
    dragRight = zone == Zone::Right;
    dragTop = zone == Zone::Top;
    // Every press moves by its own point, also one in a zone while paused (then it only moves).
    // The capture marks the drag as this window's own until the button comes up.
    grabPoint = point;
    SetCapture();
    if (zone != Zone::None)
        ::SetCursor(::LoadCursorW(nullptr, ZoneCursor(zone)));
    CDialog::OnLButtonDown(nFlags, point);
}

void CRecorderDlg::OnMouseMove(UINT nFlags, CPoint point)
{
    if (state == RecorderRecording)
        return;
    CRect client;
    GetClientRect(&client);
    if (!(nFlags & MK_LBUTTON)) {
        Zone zone = ZoneAt(point, client);
        if (zone != Zone::None && state != RecorderPaused)
            ::SetCursor(::LoadCursorW(nullptr, ZoneCursor(zone)));
        return;
    }
    // Only a drag that began with a press on this window: a button pressed elsewhere and moved
    // over it must neither move nor resize it.
    if (::GetCapture() != m_hWnd)
        return;
    CPoint p = point;
    ClientToScreen(&p);
    CRect w;
    GetWindowRect(&w);
    const bool resizing = state != RecorderPaused;
    const int heightTest = captureRect.bottom - (p.y + w.Height());
    if (resizing && dragTopLeft) {
        if (w.right - p.x >= kMinimumSize && heightTest >= kMinimumSize) {
            MoveWindow(p.x, p.y, w.right - p.x, w.Height());
            captureRect.top = p.y + w.Height();
            OnLayoutPanels(0, 0);
            if (bottomBar)
                bottomBar->Invalidate();
        }
    } else if (resizing && dragTopRight) {
        if (p.x - w.left >= kMinimumSize && heightTest >= kMinimumSize) {
            MoveWindow(w.left, p.y, p.x - w.left, w.Height());
            captureRect.top = p.y + w.Height();
            OnLayoutPanels(0, 0);
            if (bottomBar)
                bottomBar->Invalidate();
        }
    } else if (resizing && dragLeft) {
        if (w.right - p.x >= kMinimumSize) {
            MoveWindow(p.x, w.top, w.right - p.x, w.Height());
            OnLayoutPanels(0, 0);
        }
    } else if (resizing && dragRight) {
        if (p.x - w.left >= kMinimumSize) {
            MoveWindow(w.left, w.top, p.x - w.left, w.Height());
            OnLayoutPanels(0, 0);
        }
    } else if (resizing && dragTop) {
        if (heightTest >= kMinimumSize) {
            MoveWindow(w.left, p.y, w.Width(), w.Height());
            captureRect.top = p.y + w.Height();
            OnLayoutPanels(0, 0);
            if (bottomBar)
                bottomBar->Invalidate();
        }
    } else {
        MoveWindow(p.x - grabPoint.x, p.y - grabPoint.y, w.Width(), w.Height());
        OnLayoutPanels(0, 0);
    }
}

void CRecorderDlg::OnLButtonUp(UINT nFlags, CPoint point)
{
    dragLeft = dragRight = dragTop = dragTopLeft = dragTopRight = false;
    ReleaseCapture();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    CDialog::OnLButtonUp(nFlags, point);
}

// ---------------------------------------------------------------------------------------------
// Recording

void CRecorderDlg::SetTopmost(bool topmost)
{
    SetWindowPos(topmost ? &CWnd::wndTopMost : &CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CRecorderDlg::RepaintRecordingViews()
{
    if (bottomBar)
        bottomBar->Invalidate();
    if (leftBar)
        leftBar->Invalidate();
    if (rightBar)
        rightBar->Invalidate();
    Invalidate();
}

void CRecorderDlg::SetStartButton(UINT textId, int iconId)
{
    CString text;
    text.LoadString(textId);
    startButton.SetWindowText(text);
    startButton.SetIconPair(iconId, 0);
}

void CRecorderDlg::OnStartPause()
{
    if (editing)
        return;
    switch (state) {
    case RecorderMaking:
        return;
    case RecorderRecording:
        if (!engine.PostCommand(TM_PAUSE_CAPTURE, 0, 0))
            return;
        SetStartButton(IDS_RESUME, IDI_START_BUTTON);
        state = RecorderPaused;
        recBlink = false;
        RepaintRecordingViews();
        return;
    default:
        break;
    }
    // The first frame is read only once the capture thread has handed the frames over (a tick
    // begun before a pause may still be capturing); without it, nothing starts.
    if (!engine.AcquireFramesForUi())
        return;
    // A first frame of another size belongs to an older recording: begin a new frame list.
    if (CxImage* first = engine.GetFrameImage(1)) {
        if ((int)first->GetWidth() != captureRect.Width() || (int)first->GetHeight() != captureRect.Height())
            engine.PostCommand(TM_STOP_CAPTURE, 0, 0);
    }
    engine.SetCaptureRegion(captureRect.left, captureRect.top, captureRect.right, captureRect.bottom, settings.Mouse);
    recordingRate = std::max(1, settings.Rate1);
    if (!engine.PostCommand(TM_START_CAPTURE, 0, 1000 / recordingRate))
        return;
    state = RecorderRecording;
    SetStartButton(IDS_PAUSE, IDI_PAUSE_BUTTON);
    SetTopmost(true);
}

void CRecorderDlg::OnStopRecording()
{
    if (state != RecorderRecording && state != RecorderPaused)
        return;
    engine.PostCommand(TM_STOP_CAPTURE, 0, 1);
    SetStartButton(IDS_START, IDI_START_BUTTON);
    SetTopmost(settings.TopWnd);
}

void CRecorderDlg::OnPreview()
{
    if (state == RecorderIdle || state == RecorderMaking || editing)
        return;
    if (state == RecorderRecording || state == RecorderPaused) {
        // Captions of an earlier frame list do not belong on the new recording: the list is
        // emptied once the stopped thread has handed it over, before the GIF job reads it.
        OnStopRecording();
        if (!engine.AcquireFramesForUi())
            return;
        ClearCaptionList(engine.captions);
    }
    MakeGif(0);
}

void CRecorderDlg::OnEdit() { OpenEditor(); }

bool CRecorderDlg::OpenEditor()
{
    if (editing || state != RecorderReady || !engine.AcquireFramesForUi() || !engine.GetFrame(1))
        return false;
    const EditorRunner run = GetEditorRunner();
    if (!run)
        return false;
    editing = true;
    const bool previewShown = preview && preview->m_hWnd && preview->IsWindowVisible();
    if (previewShown)
        preview->ShowWindow(SW_HIDE);
    const int colours = run(*this);
    editing = false;

    // Insertions and deletions change the count that the status strip shows.
    frameCount = engine.GetFrameCount();
    RepaintRecordingViews();
    if (colours >= 16 && colours <= 256) {
        MakeGif(colours);
    } else if (previewShown && preview && preview->m_hWnd) {
        preview->ShowWindow(SW_SHOWNORMAL);  // the GIF it shows is still there
    }
    return true;
}

void CRecorderDlg::MakeGif(int mode)
{
    if (editing)
        return;
    // The GIF made before stays until the new one is shown: the preview may still show it.
    const CString previous = gifPath;
    gifPath = MakeTempGifName();
    if (gifPath.IsEmpty()) {
        gifPath = previous;
        AfxMessageBox(IDS_NO_TEMP_FILE, MB_OK | MB_ICONSTOP);
        return;
    }
    engine.SetOutput(settings.Ratio / 100.0f, gifPath);
    engine.SetWatermark(settings.EnableLogo, settings.LogoPos, settings.LogoColor, settings.LogoBKColor,
                        -MulDiv(settings.LogoFont, ScreenDpiY(), 72), settings.LOGO_FONTBOLD, settings.LOGO_FONTITALIC,
                        settings.LogoBK, settings.LogoText);
    if (!engine.PostCommand(TM_MAKE_GIF, (WPARAM)mode, 1)) {
        DeleteTempGif(gifPath);  // the name was reserved on disk
        gifPath = previous;
        return;
    }
    state = RecorderMaking;
}

// ---------------------------------------------------------------------------------------------
// Engine reports

LRESULT CRecorderDlg::OnFrameCaptured(WPARAM, LPARAM lParam)
{
    frameCount = (int)lParam;
    const int elapsed = frameCount * 1000 / recordingRate;
    recBlink = elapsed % 600 < 300;
    RepaintRecordingViews();
    return 0;
}

LRESULT CRecorderDlg::OnCaptureStopped(WPARAM wParam, LPARAM)
{
    // A stop report never overrides the making of a GIF that was asked for after it.
    if (state == RecorderRecording || state == RecorderPaused)
        state = RecorderReady;
    recBlink = false;
    RepaintRecordingViews();
    // Not while a GIF job asked for after the stop reads them (the hand-over refuses then).
    if (engine.AcquireFramesForUi())
        ClearCaptionList(engine.captions);
    if (wParam == CAPTURE_STOP_OUT_OF_MEMORY) {
        // The engine stopped by itself: the window follows as after a stop.
        SetStartButton(IDS_START, IDI_START_BUTTON);
        SetTopmost(settings.TopWnd);
        AfxMessageBox(IDS_OUT_OF_MEMORY, MB_OK | MB_ICONWARNING);
    }
    return 0;
}

LRESULT CRecorderDlg::OnGifProgress(WPARAM, LPARAM lParam)
{
    recBlink = false;
    state = RecorderMaking;
    if (bottomBar) {
        bottomBar->progress = (int)lParam;
        bottomBar->Invalidate();
    }
    return 0;
}

LRESULT CRecorderDlg::OnGifDone(WPARAM wParam, LPARAM lParam)
{
    const int mode = (int)wParam;
    state = RecorderReady;
    recBlink = false;
    if (bottomBar)
        bottomBar->Invalidate();
    if (lParam == 0) {
        // Nothing usable was written: say so, and show no preview of a missing file.
        AfxMessageBox(IDS_GIF_NOT_WRITTEN, MB_OK | MB_ICONWARNING);
        if (mode != 0 && preview)
            preview->ShowAgain();  // the micro-blog command had hidden it
        DeleteTempGif(gifPath);  // the name reserved for the GIF that was not written
        DeleteSupersededGifs();
        return 0;
    }
    if (!preview)
        return 0;
    preview->gifPath = gifPath;
    if (mode == 0) {
        preview->ShowPlainGif(gifPath);
    } else if (mode == 16 || mode == 32 || mode == 64 || mode == 128 || mode == 256) {
        preview->qualityChoice = CPreviewDlg::QualityChoiceForColours(mode);
        preview->CompressForMicroBlog(true);
    } else {
        preview->CompressForMicroBlog();
    }
    DeleteSupersededGifs();
    return 0;
}

void CRecorderDlg::DeleteSupersededGifs()
{
    // A GIF job asked for meanwhile writes to gifPath: its own report tidies up after it.
    if (state == RecorderMaking || !preview)
        return;
    // The file the preview shows stays (Save As copies it elsewhere), and so does the last GIF
    // made (the input of a micro-blog copy); every temporary GIF made before is superseded.
    DeleteTempGifsExcept({preview->gifPath, gifPath});
}

// ---------------------------------------------------------------------------------------------
// Closing

void CRecorderDlg::OnCancel()
{
    if (state == RecorderMaking) {
        AfxMessageBox(IDS_MAKING_GIF_WAIT, MB_OK);
        return;
    }
    if (state == RecorderRecording) {
        if (AfxMessageBox(IDS_CONFIRM_EXIT_RECORDING, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
        OnStopRecording();
    }
    CRect window;
    GetWindowRect(&window);
    settings.WndPosLeft = window.left;
    settings.WndPosTop = window.top;
    settings.WndPosEmptyWidth = captureRect.Width();
    settings.WndPosEmptyHeight = captureRect.Height();
    settings.Save(RecorderSettings::FilePath());
    if (!engine.StopRecorderThread())
        AfxMessageBox(IDS_ENGINE_STUCK, MB_OK | MB_ICONWARNING);
    // Every temporary GIF this run made goes with it; files of other origins stay.
    DeleteTempGifsExcept({});
    gifPath.Empty();
    EndDialog(IDCANCEL);
}

void CRecorderDlg::OnDestroy()
{
    CDialog::OnDestroy();
    CDialog* windows[] = {bottomBar, leftBar, rightBar, preview, notice};
    for (CDialog* window : windows) {
        if (window) {
            window->DestroyWindow();
            delete window;
        }
    }
    bottomBar = nullptr;
    leftBar = nullptr;
    rightBar = nullptr;
    preview = nullptr;
    notice = nullptr;
}

const wchar_t* FindExtension(const wchar_t* name)
{
    const wchar_t* dot = wcsrchr(name, L'.');
    return dot ? dot + 1 : name + wcslen(name);
}
